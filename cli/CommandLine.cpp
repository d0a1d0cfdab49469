#include "CommandLine.h"

#include "ItemFileInspector.h"

#include "converter/BatchConversion.h"

#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <ostream>

#ifndef RELICWRIGHT_VERSION
#define RELICWRIGHT_VERSION "unknown"
#endif

namespace relicwright {

namespace {

constexpr const char* kProgramName = "relicwright-cli";
constexpr const char* kInvalidVariant = "invalid";

using Json = nlohmann::ordered_json;

// Paths are bytes, not necessarily UTF-8; a stray byte must not cost the whole listing.
std::string dumpJson(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

int usageError(std::ostream& err, const std::string& message) {
    err << message << "\nRun with --help for more information.\n";
    return kExitUsage;
}

// Left-aligned columns wide enough for every row; the last column is not padded.
void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) {
        return;
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string line;
    for (const auto& row : rows) {
        line.clear();
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line.append(widths[column] - row[column].size() + 2, ' ');
            }
        }
        out << line << '\n';
    }
}

std::string variantName(const std::optional<GameVariant>& variant) {
    return variant ? std::string(variantText(*variant)) : std::string(kInvalidVariant);
}

int runInfo(const std::vector<std::string>& files, bool asJson, std::ostream& out, std::ostream& err) {
    int status = kExitDone;
    std::vector<ItemFileFacts> inspected;
    inspected.reserve(files.size());
    for (const auto& path : files) {
        try {
            inspected.push_back(ItemFileInspector::inspect(path));
        } catch (const FileError& error) {
            err << path << ": " << error.message() << '\n';
            status = kExitFailed;
        }
    }

    if (asJson) {
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
        out << dumpJson(list) << '\n';
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

// What the person at the shell can do about a refusal.
std::string_view hintFor(ConversionOutcome::Result result) {
    switch (result) {
    case ConversionOutcome::Result::UnregisteredItem:
        return "; choose an entry with --item";
    case ConversionOutcome::Result::OutputExists:
        return "; use --force to replace it";
    default:
        return {};
    }
}

int runConvert(const ConversionOptions& options, const std::vector<std::string>& files, std::ostream& out,
               std::ostream& err) {
    BatchConversion conversion(options);
    std::size_t converted = 0;
    conversion.run(files, [&](std::size_t index, const ConversionOutcome& outcome) {
        const std::string& path = files[index];
        if (outcome.converted()) {
            ++converted;
            out << path << " -> " << outcome.outputPath << " (" << variantText(options.target) << ", "
                << bareEntryName(outcome.itemIndex) << ")\n";
        } else {
            err << path << ": not converted: " << outcome.message << hintFor(outcome.result) << '\n';
        }
    });
    out << "converted " << converted << " of " << files.size() << " files\n";
    return converted == files.size() ? kExitDone : kExitFailed;
}

int runItems(bool asJson, std::ostream& out) {
    const auto& entries = itemChoiceEntries();
    auto codeOf = [](GameVariant variant, std::size_t index) -> std::optional<unsigned> {
        const std::uint8_t code = encodeListIndex(variant, index);
        return code == 0 ? std::nullopt : std::optional<unsigned>(code);
    };
    if (asJson) {
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
        out << dumpJson(list) << '\n';
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

// An index (0 to 100) or a name; returns the usage error's text when it names no single entry.
std::optional<std::string> resolveItem(const std::string& given, std::optional<std::size_t>& index) {
    const std::string trimmed = normalisedName(given);
    if (!trimmed.empty() &&
        std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::size_t value = 0;
        const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
        if (error != std::errc() || end != trimmed.data() + trimmed.size() || value >= kItemChoiceCount) {
            return "--item: index " + trimmed + " is out of range; entries are numbered 0 to " +
                   std::to_string(kItemChoiceCount - 1);
        }
        index = value;
        return std::nullopt;
    }
    const std::vector<std::size_t> found = entriesNamed(given);
    if (found.empty()) {
        return "--item: " + inQuotes(given) + " matches no item entry; \"" + kProgramName +
               " items\" lists them";
    }
    if (found.size() > 1) {
        std::string text = "--item: " + inQuotes(given) + " matches several entries:";
        for (const std::size_t match : found) {
            text += " " + std::to_string(match) + " " + inQuotes(itemChoiceEntries()[match]);
            text += match == found.back() ? "" : ",";
        }
        return text + "; give the index instead";
    }
    index = found.front();
    return std::nullopt;
}

} // namespace

int CommandLine::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CLI::App app{"Converts and inspects Diablo (.itm) and Hellfire (.hif) item files.", kProgramName};
    app.set_version_flag("--version", std::string(kProgramName) + " " + RELICWRIGHT_VERSION);
    app.require_subcommand(1);
    // "/dir/x.itm" is a path, also on Windows: only the "--" options are options. Subcommands
    // take this over when they are added.
    app.allow_windows_style_options(false);

    std::vector<std::string> files;
    bool asJson = false;

    CLI::App* info = app.add_subcommand("info", "Show variant, size, header, item code, name and quality "
                                                "of each file.");
    info->add_flag("--json", asJson, "One JSON array instead of a table");
    info->add_option("FILE", files, "Item files to inspect")->required();

    std::string target;
    std::string item;
    ConversionOptions options;
    bool force = false;
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert each file as the window's save does, beside the file or into a directory.");
    convert->add_option("--to", target, "Target game")
        ->required()
        ->transform(CLI::IsMember({"diablo", "hellfire"}, CLI::ignore_case));
    CLI::Option* itemOption = convert->add_option(
        "--item", item,
        "Item choice list entry to write: an index (0 to 100), an entry's text or its bare "
        "name; default: the item the file holds");
    CLI::Option* outputOption =
        convert->add_option("--output,-o", options.outputFile, "Output file (one input file only)");
    CLI::Option* directoryOption =
        convert
            ->add_option("--output-dir", options.outputDirectory,
                         "Directory for the output files (default: beside each file)")
            ->check(CLI::ExistingDirectory);
    outputOption->excludes(directoryOption);
    convert->add_flag("--force", force, "Replace existing output files");
    convert->add_option("FILE", files, "Item files to convert (.itm or .hif)")->required();

    CLI::App* items =
        app.add_subcommand("items", "List the item choice list with each entry's code per game.");
    items->add_flag("--json", asJson, "One JSON array instead of a table");

    std::vector<const char*> argv;
    argv.reserve(arguments.size() + 1);
    argv.push_back(kProgramName);
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        return status == 0 ? kExitDone : kExitUsage;
    }

    if (info->parsed()) {
        return runInfo(files, asJson, out, err);
    }
    if (items->parsed()) {
        return runItems(asJson, out);
    }
    options.target = target == "diablo" ? GameVariant::Diablo : GameVariant::Hellfire;
    options.existingFile = force ? ExistingFile::Replace : ExistingFile::Keep;
    if (!options.outputFile.empty() && files.size() > 1) {
        return usageError(err, "--output takes exactly one input file; use --output-dir for several");
    }
    if (itemOption->count() > 0) {
        if (const auto problem = resolveItem(item, options.itemIndex)) {
            return usageError(err, *problem);
        }
    }
    return runConvert(options, files, out, err);
}

} // namespace relicwright
