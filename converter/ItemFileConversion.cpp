#include "ItemFileConversion.h"

#include "Utf8Path.h"

#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/PathText.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace relicwright {

std::string inQuotes(std::string_view text) {
    // Appended piece by piece: GCC 12 at -O3 misreads `"\"" + std::string(...)` as overlapping copies.
    std::string result;
    result.reserve(text.size() + 2);
    result.push_back('"');
    result.append(text);
    result.push_back('"');
    return result;
}

ItemFileConversion::ItemFileConversion(ConversionOptions options, FileSteps& files)
    : options_(std::move(options)), files_(files) {}

std::string ItemFileConversion::outputPathFor(const std::string& path) const {
    if (!options_.outputFile.empty()) {
        return options_.outputFile;
    }
    const std::string name = splitPath(path).title + "." + std::string(variantExtension(options_.target));
    if (!options_.outputDirectory.empty()) {
        const std::string& directory = options_.outputDirectory;
        if (directory.find_last_of(pathSeparators()) + 1 == directory.size()) {
            return directory + name;
        }
        // The separator the directory is written with, where a platform knows two.
        const bool slashes =
            directory.find('/') != std::string::npos && directory.find('\\') == std::string::npos;
        return directory + (slashes ? '/' : pathSeparators().front()) + name;
    }
    return path.substr(0, fileNameStart(path)) + name;
}

ConversionOutcome ItemFileConversion::convert(const std::string& path, bool outputWrittenBefore) const {
    using Result = ConversionOutcome::Result;
    ConversionOutcome outcome;
    auto stop = [&](Result result, std::string message) {
        outcome.result = result;
        outcome.message = std::move(message);
        return outcome;
    };
    const auto source = variantFromExtension(lowerAscii(splitPath(path).extension));
    if (!source) {
        return stop(Result::NotAnItemFile, "not an item file: the extension is neither .itm nor .hif");
    }

    ItemFileImage loaded{};
    try {
        readItemFile(files_, path, loaded);
    } catch (const FileError& error) {
        return stop(Result::Failed, error.message());
    }

    std::optional<std::size_t> index = options_.itemIndex;
    if (!index) {
        index = proposedItem(loaded, *source).entry;
        if (!index) {
            return stop(Result::UnregisteredItem, "base item code " + std::to_string(loaded[codeOffset(*source)]) +
                                                      " is not a registered " + inQuotes(variantText(*source)) +
                                                      " item");
        }
    }
    outcome.itemIndex = *index;

    const auto image = convertItem(loaded, *source, options_.target, index);
    if (!image) {
        return stop(Result::EntryWithoutCode, "entry " + std::to_string(*index) + " " +
                                                  inQuotes(itemChoiceEntries()[*index]) + " has no item code");
    }

    outcome.outputPath = outputPathFor(path);
    if (outputWrittenBefore) {
        return stop(Result::WrittenByThisRun, outcome.outputPath + " was already written by this run");
    }
    auto exists = [&] {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(pathFromUtf8(outcome.outputPath), error));
    };
    const bool keep = options_.existingFile == ExistingFile::Keep;
    if (keep && exists()) {
        return stop(Result::OutputExists, outcome.outputPath + " already exists");
    }
    try {
        // Keep, not just the check above: another program may create the file meanwhile.
        writeItemFile(files_, outcome.outputPath, *image, options_.existingFile);
    } catch (const FileError& error) {
        if (keep && exists()) {
            return stop(Result::OutputExists, outcome.outputPath + " already exists");
        }
        return stop(Result::Failed, error.message());
    }
    outcome.result = Result::Converted;
    return outcome;
}

} // namespace relicwright
