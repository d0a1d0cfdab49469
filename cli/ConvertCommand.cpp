#include "ConvertCommand.h"

#include "BatchConversion.h"
#include "ItemCatalogue.h"

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
    // An output that does not convert can be named no other way: the command stops before any file.
    const CLI::Validator notRefused(
        [this](const std::string& value) {
            const FileError* refusal = refusalOf(value);
            return refusal != nullptr ? refusal->message() : std::string();
        },
        "");
    CLI::Option* outputOption =
        subcommand.add_option("--output,-o", options_.outputFile, "Output file (one input file only)")
            ->check(notRefused);
    CLI::Option* directoryOption =
        subcommand
            .add_option("--output-dir", options_.outputDirectory,
                        "Directory for the output files (default: beside each file)")
            ->check(notRefused)
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

    // Refused files never reach the conversion; their lines still come in the order given.
    std::vector<std::string> convertible;
    std::vector<std::size_t> positions;
    for (std::size_t position = 0; position < files_.size(); ++position) {
        if (refusalOf(files_[position]) == nullptr) {
            convertible.push_back(files_[position]);
            positions.push_back(position);
        }
    }
    std::size_t nextLine = 0;
    const auto reportRefusedBefore = [&](std::size_t end) {
        for (; nextLine < end; ++nextLine) {
            if (const FileError* refusal = refusalOf(files_[nextLine])) {
                err << files_[nextLine] << ": not converted: " << refusal->message() << '\n';
            }
        }
    };

    BatchConversion conversion(options_);
    std::size_t converted = 0;
    conversion.run(convertible, [&](std::size_t index, const ConversionOutcome& outcome) {
        reportRefusedBefore(positions[index]);
        nextLine = positions[index] + 1;
        const std::string& path = convertible[index];
        if (outcome.converted()) {
            ++converted;
            out << path << " -> " << outcome.outputPath << " (" << variantText(options_.target) << ", "
                << bareEntryName(outcome.itemIndex) << ")\n";
        } else {
            err << path << ": not converted: " << outcome.message << hintFor(outcome.result) << '\n';
        }
    });
    reportRefusedBefore(files_.size());
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
