#include "InfoCommand.h"

#include "ItemFileInspector.h"

#include "itemdata/FileError.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <ostream>

namespace relicwright {

namespace {

using Json = nlohmann::ordered_json;

std::string variantName(const std::optional<GameVariant>& variant) {
    return variant ? std::string(variantText(*variant)) : std::string("invalid");
}

} // namespace

InfoCommand::InfoCommand()
    : Command("info", "Show variant, size, header, item code, name and quality of each file.") {}

void InfoCommand::addOptions(CLI::App& subcommand) {
    subcommand.add_flag("--json", asJson_, "One JSON array instead of a table");
    subcommand.add_option("FILE", files_, "Item files to inspect")->required();
}

int InfoCommand::run(std::ostream& out, std::ostream& err) {
    int status = kExitDone;
    std::vector<ItemFileFacts> inspected;
    inspected.reserve(files_.size());
    for (const auto& path : files_) {
        try {
            inspected.push_back(ItemFileInspector::inspect(path));
        } catch (const FileError& error) {
            err << path << ": " << error.message() << '\n';
            status = kExitFailed;
        }
    }

    if (asJson_) {
        Json list = Json::array();
        for (const auto& facts : inspected) {
            Json entry;
            entry["path"] = facts.path;
            entry["variant"] = variantName(facts.variant);
            entry["size"] = facts.size;
            entry["standardHeader"] = facts.standardHeader ? Json(*facts.standardHeader) : Json(nullptr);
            entry["code"] = facts.code ? Json(*facts.code) : Json(nullptr);
            entry["name"] = facts.variant ? Json(facts.itemName) : Json(nullptr);
            entry["quality"] = facts.quality ? Json(*facts.quality) : Json(nullptr);
            list.push_back(std::move(entry));
        }
        printJson(out, list);
        return status;
    }

    std::vector<std::vector<std::string>> rows;
    rows.reserve(inspected.size() + 1);
    rows.push_back({"PATH", "VARIANT", "SIZE", "HEADER", "CODE", "NAME", "QUALITY"});
    for (const auto& facts : inspected) {
        const std::string none = "-";
        rows.push_back({facts.path, variantName(facts.variant), std::to_string(facts.size),
                        facts.standardHeader ? (*facts.standardHeader ? "standard" : "other") : none,
                        facts.code ? std::to_string(*facts.code) : none,
                        facts.variant ? facts.itemName : none,
                        facts.quality ? std::to_string(*facts.quality) : none});
    }
    printTable(out, rows);
    return status;
}

} // namespace relicwright
