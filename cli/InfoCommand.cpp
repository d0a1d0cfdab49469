#include "InfoCommand.h"

#include "ItemFileInspector.h"

#include "FileError.h"

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
            if (const FileError* refusal = refusalOf(path)) {
                throw *refusal;
            }
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
            const auto& item = facts.contents;
            entry["standardHeader"] = item ? Json(item->standardHeader) : Json(nullptr);
            entry["code"] = item ? Json(item->code) : Json(nullptr);
            entry["name"] = item ? Json(std::string(item->itemName)) : Json(nullptr);
            entry["quality"] = item ? Json(item->quality) : Json(nullptr);
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
        const auto& item = facts.contents;
        rows.push_back({facts.path, variantName(facts.variant), std::to_string(facts.size),
                        item ? (item->standardHeader ? "standard" : "other") : none,
                        item ? std::to_string(item->code) : none, item ? std::string(item->itemName) : none,
                        item ? std::to_string(item->quality) : none});
    }
    printTable(out, rows);
    return status;
}

} // namespace relicwright
