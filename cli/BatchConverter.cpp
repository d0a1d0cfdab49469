#include "BatchConverter.h"

#include "ItemEntryLookup.h"
#include "ItemFileInspector.h"

#include "converter/FileChoice.h"
#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemFileIo.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
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
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
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
        readItemFile(path, loaded);
    } catch (const FileError& error) {
        outcome.message = error.message();
        return outcome;
    }

    const std::uint8_t sourceCode = loaded[codeOffset(*source)];
    std::optional<std::size_t> index = options_.itemIndex;
    if (!index) {
        index = ItemEntryLookup::entryHolding(decodeItemName(*source, sourceCode));
        if (!index) {
            outcome.message = "base item code " + std::to_string(sourceCode) + " is not a registered " +
                              inQuotes(variantText(*source)) + " item; choose an entry with --item";
            return outcome;
        }
    }
    outcome.itemIndex = *index;

    const std::uint8_t code = encodeListIndex(options_.target, index);
    if (code == 0) {
        outcome.message = "entry " + std::to_string(*index) + " " + inQuotes(itemChoiceEntries()[*index]) +
                          " has no item code";
        return outcome;
    }
    ItemFileImage image = buildOutputImage(loaded, *source, options_.target);
    stampItem(image, options_.target, code, index);

    outcome.outputPath = outputPathFor(path);
    const std::string key = comparablePath(outcome.outputPath);
    if (written_.contains(key)) {
        outcome.message = outcome.outputPath + " was already written by this run";
        return outcome;
    }
    struct stat existing {};
    if (!options_.force && ::lstat(outcome.outputPath.c_str(), &existing) == 0) {
        outcome.message = outcome.outputPath + " already exists; use --force to replace it";
        return outcome;
    }
    try {
        // Keep, not just the check above: another program may create the file meanwhile.
        writeItemFile(outcome.outputPath, image, options_.force ? ExistingFile::Replace : ExistingFile::Keep);
    } catch (const FileError& error) {
        outcome.message = error.platformCode() == EEXIST && !options_.force
                              ? outcome.outputPath + " already exists; use --force to replace it"
                              : error.message();
        return outcome;
    }
    written_.insert(key);
    outcome.converted = true;
    return outcome;
}

} // namespace relicwright
