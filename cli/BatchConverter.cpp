#include "BatchConverter.h"

#include "ItemFileInspector.h"

#include "converter/FileChoice.h"
#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemFileIo.h"
#include "itemdata/PathText.h"

#include <filesystem>
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

BatchConverter::BatchConverter(ConvertOptions options) : options_(std::move(options)) {
    std::error_code error;
    workingDirectory_ = std::filesystem::current_path(error).string();
}

// Two spellings of one output ("out/a.hif", "./out/a.hif") must be seen as the same file.
std::string BatchConverter::comparablePath(const std::string& path) const {
    const std::filesystem::path given(path);
    if (given.is_absolute() || workingDirectory_.empty()) {
        return given.lexically_normal().string();
    }
    return (std::filesystem::path(workingDirectory_) / given).lexically_normal().string();
}

std::string BatchConverter::outputPathFor(const std::string& path) const {
    if (!options_.outputFile.empty()) {
        return options_.outputFile;
    }
    const std::string name =
        FileChoice::fromPath(path).title + "." + std::string(variantExtension(options_.target));
    if (!options_.outputDirectory.empty()) {
        const std::string& directory = options_.outputDirectory;
        return directory.ends_with('/') ? directory + name : directory + "/" + name;
    }
    return path.substr(0, fileNameStart(path)) + name;
}

ConversionOutcome BatchConverter::convert(const std::string& path) {
    ConversionOutcome outcome;
    const auto source = ItemFileInspector::variantOfPath(path);
    if (!source) {
        outcome.message = "not an item file: the extension is neither .itm nor .hif";
        return outcome;
    }

    ItemFileImage loaded{};
    try {
        readItemFile(platformFileSteps(), path, loaded);
    } catch (const FileError& error) {
        outcome.message = error.message();
        return outcome;
    }

    const std::uint8_t sourceCode = loaded[codeOffset(*source)];
    std::optional<std::size_t> index = options_.itemIndex;
    if (!index) {
        index = entryHoldingName(decodeItemName(*source, sourceCode));
        if (!index) {
            outcome.message = "base item code " + std::to_string(sourceCode) + " is not a registered " +
                              inQuotes(variantText(*source)) + " item; choose an entry with --item";
            return outcome;
        }
    }
    outcome.itemIndex = *index;

    const auto image = convertItem(loaded, *source, options_.target, index);
    if (!image) {
        outcome.message = "entry " + std::to_string(*index) + " " + inQuotes(itemChoiceEntries()[*index]) +
                          " has no item code";
        return outcome;
    }

    outcome.outputPath = outputPathFor(path);
    const std::string key = comparablePath(outcome.outputPath);
    if (written_.contains(key)) {
        outcome.message = outcome.outputPath + " was already written by this run";
        return outcome;
    }
    auto exists = [&] {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(outcome.outputPath, error));
    };
    const std::string refusal = outcome.outputPath + " already exists; use --force to replace it";
    if (!options_.force && exists()) {
        outcome.message = refusal;
        return outcome;
    }
    try {
        // Keep, not just the check above: another program may create the file meanwhile.
        writeItemFile(platformFileSteps(), outcome.outputPath, *image,
                      options_.force ? ExistingFile::Replace : ExistingFile::Keep);
    } catch (const FileError& error) {
        outcome.message = !options_.force && exists() ? refusal : error.message();
        return outcome;
    }
    written_.insert(key);
    outcome.converted = true;
    return outcome;
}

} // namespace relicwright
