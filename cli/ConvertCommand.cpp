#include "ConvertCommand.h"

#include "converter/BatchConversion.h"
#include "itemdata/ItemCatalogue.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string_view>

namespace relicwright {

namespace {

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

} // namespace

ConvertCommand::ConvertCommand()
    : Command("convert", "Convert each file as the window's save does, beside the file or into a directory.") {}

void ConvertCommand::addOptions(CLI::App& subcommand) {
    subcommand.add_option("--to", target_, "Target game")
        ->required()
        ->transform(CLI::IsMember({"diablo", "hellfire"}, CLI::ignore_case));
    itemOption_ = subcommand.add_option("--item", item_,
                                        "Item choice list entry to write: an index (0 to 100), an entry's text or "
                                        "its bare name; default: the item the file holds");
    CLI::Option* outputOption =
        subcommand.add_option("--output,-o", options_.outputFile, "Output file (one input file only)");
    CLI::Option* directoryOption =
        subcommand
            .add_option("--output-dir", options_.outputDirectory,
                        "Directory for the output files (default: beside each file)")
            ->check(CLI::ExistingDirectory);
    outputOption->excludes(directoryOption);
    subcommand.add_flag("--force", force_, "Replace existing output files");
    subcommand.add_option("FILE", files_, "Item files to convert (.itm or .hif)")->required();
}

int ConvertCommand::run(std::ostream& out, std::ostream& err) {
    options_.target = target_ == "diablo" ? GameVariant::Diablo : GameVariant::Hellfire;
    options_.existingFile = force_ ? ExistingFile::Replace : ExistingFile::Keep;
    if (!options_.outputFile.empty() && files_.size() > 1) {
        return usageError(err, "--output takes exactly one input file; use --output-dir for several");
    }
    if (itemOption_->count() > 0) {
        if (const auto problem = resolveItem(item_, options_.itemIndex)) {
            return usageError(err, *problem);
        }
    }

    BatchConversion conversion(options_);
    std::size_t converted = 0;
    conversion.run(files_, [&](std::size_t index, const ConversionOutcome& outcome) {
        const std::string& path = files_[index];
        if (outcome.converted()) {
            ++converted;
            out << path << " -> " << outcome.outputPath << " (" << variantText(options_.target) << ", "
                << bareEntryName(outcome.itemIndex) << ")\n";
        } else {
            err << path << ": not converted: " << outcome.message << hintFor(outcome.result) << '\n';
        }
    });
    out << "converted " << converted << " of " << files_.size() << " files\n";
    return converted == files_.size() ? kExitDone : kExitFailed;
}

std::optional<std::string> ConvertCommand::resolveItem(const std::string& given, std::optional<std::size_t>& index) {
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

} // namespace relicwright
