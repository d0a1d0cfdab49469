#include "ItemFileConversion.h"

#include "FileError.h"
#include "ItemCatalogue.h"
#include "ItemFileImage.h"
#include "PathText.h"

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

PlannedFile ItemFileConversion::plan(const std::string& path) const {
    const PathParts parts = splitPath(path);
    PlannedFile file{path, variantFromExtension(lowerAscii(parts.extension)), options_.outputFile};
    if (!file.outputPath.empty()) {
        return file;
    }
    const std::string name = parts.title + "." + std::string(variantExtension(options_.target));
    const std::string& directory = options_.outputDirectory;
    if (directory.empty()) {
        file.outputPath = path.substr(0, path.size() - parts.fileName.size()) + name;
    } else if (directory.find_last_of(pathSeparators()) + 1 == directory.size()) {
        file.outputPath = directory + name;
    } else {
        // The separator the directory is written with, where a platform knows two.
        const bool slashes = directory.find('/') != std::string::npos && directory.find('\\') == std::string::npos;
        file.outputPath = directory + (slashes ? '/' : pathSeparators().front()) + name;
    }
    return file;
}

ConversionOutcome ItemFileConversion::convert(const PlannedFile& file, bool outputWrittenBefore) const {
    SaveGroup save(files_, options_.existingFile);
    ConversionOutcome outcome = prepare(file, outputWrittenBefore, save);
    if (save.size() == 1) {
        settle(outcome, save.finish().front());
    }
    return outcome;
}

ConversionOutcome ItemFileConversion::prepare(const PlannedFile& file, bool outputWrittenBefore,
                                              SaveGroup& save) const {
    using Result = ConversionOutcome::Result;
    ConversionOutcome outcome;
    auto stop = [&](Result result, std::string message) {
        outcome.result = result;
        outcome.message = std::move(message);
        return outcome;
    };
    const auto source = file.source;
    if (!source) {
        return stop(Result::NotAnItemFile, "not an item file: the extension is neither .itm nor .hif");
    }

    ItemFileImage loaded{};
    try {
        readItemFile(files_, file.path, loaded);
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

    outcome.outputPath = file.outputPath;
    if (outputWrittenBefore) {
        return stop(Result::WrittenByThisRun, outcome.outputPath + " was already written by this run");
    }
    // A dangling link counts: the save would write where it points.
    bool exists = false;
    if (options_.existingFile == ExistingFile::Keep) {
        if (const int error = files_.exists(outcome.outputPath, exists)) {
            return stop(Result::Failed, FileError(files_.causeOf(error), error, outcome.outputPath).message());
        }
    }
    if (exists) {
        return stop(Result::OutputExists, outcome.outputPath + " already exists");
    }
    try {
        // Keep, not just the check above: another program may create the file meanwhile.
        save.add(outcome.outputPath, *image);
    } catch (const FileError& error) {
        settle(outcome, {error, false});
        return outcome;
    }
    outcome.result = Result::Converted;
    return outcome;
}

void ItemFileConversion::settle(ConversionOutcome& outcome, const SaveGroup::Result& saved) const {
    const std::optional<FileError>& error = saved.error;
    if (!error) {
        return;
    }
    // Refused (as AccessDenied) because the output has come meanwhile; not a failure once the new
    // file had its name, such as its folder's flush.
    bool exists = false;
    if (options_.existingFile == ExistingFile::Keep && !saved.named && error->cause() == FileErrorCause::AccessDenied &&
        files_.exists(outcome.outputPath, exists) == 0 && exists) {
        outcome.result = ConversionOutcome::Result::OutputExists;
        outcome.message = outcome.outputPath + " already exists";
    } else {
        outcome.result = ConversionOutcome::Result::Failed;
        outcome.message = error->message();
    }
}

} // namespace relicwright
