#include "ItemsCommand.h"

#include "itemdata/ItemCatalogue.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <optional>

namespace relicwright {

namespace {

std::optional<unsigned> codeOf(GameVariant variant, std::size_t index) {
    const std::uint8_t code = encodeListIndex(variant, index);
    return code == 0 ? std::nullopt : std::optional<unsigned>(code);
}

} // namespace

ItemsCommand::ItemsCommand() : Command("items", "List the item choice list with each entry's code per game.") {}

void ItemsCommand::addOptions(CLI::App& subcommand) {
    subcommand.add_flag("--json", asJson_, "One JSON array instead of a table");
}

int ItemsCommand::run(std::ostream& out, std::ostream&) {
    using Json = nlohmann::ordered_json;
    const auto& entries = itemChoiceEntries();
    if (asJson_) {
        Json list = Json::array();
        for (std::size_t index = 0; index < entries.size(); ++index) {
            Json entry;
            entry["index"] = index;
            entry["entry"] = std::string(entries[index]);
            for (const GameVariant variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
                const auto code = codeOf(variant, index);
                entry[std::string(variantText(variant))] = code ? Json(*code) : Json(nullptr);
            }
            list.push_back(std::move(entry));
        }
        printJson(out, list);
        return kExitDone;
    }
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"INDEX", "DIABLO", "HELLFIRE", "ENTRY"});
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const auto diablo = codeOf(GameVariant::Diablo, index);
        const auto hellfire = codeOf(GameVariant::Hellfire, index);
        rows.push_back({std::to_string(index), diablo ? std::to_string(*diablo) : "-",
                        hellfire ? std::to_string(*hellfire) : "-", std::string(entries[index])});
    }
    printTable(out, rows);
    return kExitDone;
}

} // namespace relicwright
