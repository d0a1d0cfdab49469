#pragma once

#include "FileSteps.h"
#include "GameVariant.h"
#include "ItemFileIo.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace relicwright {

// The text in double quotes, as messages name entries and names.
std::string inQuotes(std::string_view text);

// What a batch does with every file alike.
struct ConversionOptions {
    GameVariant target = GameVariant::Hellfire;
    // The item choice list entry to write; none means the entry the file's own item proposes.
    std::optional<std::size_t> itemIndex;
    // At most one of these: an exact output path (one input only) or the directory for all
    // outputs; with neither, each output goes beside its file.
    std::string outputFile;
    std::string outputDirectory;
    // Keep: an existing output is never replaced.
    ExistingFile existingFile = ExistingFile::Keep;
};

struct ConversionOutcome {
    enum class Result {
        Converted,
        NotAnItemFile,
        UnregisteredItem, // no entry given, and the file's item proposes none
        EntryWithoutCode,
        WrittenByThisRun,
        OutputExists, // and may not be replaced
        Failed,       // a file step or something unexpected; the message says which
    };
    Result result = Result::Failed;
    std::string outputPath; // empty when the conversion stopped before choosing one
    std::size_t itemIndex = 0;
    // Why the file was not converted, in the program's words; empty when it was.
    std::string message;

    bool converted() const { return result == Result::Converted; }
};

// A file of a batch with what its path says worked out once: the game its extension names and
// the output it is written to.
struct PlannedFile {
    std::string path;
    std::optional<GameVariant> source; // none: not an item file
    std::string outputPath;
};

// One file converted exactly as the window's save does for the same source, target and item entry,
// under the name the save dialog proposes for it. Every look at the disk goes through the file steps.
class ItemFileConversion {
public:
    ItemFileConversion(ConversionOptions options, FileSteps& files);

    // The output is the title plus ".hif" or ".itm", beside the source or in the chosen directory.
    PlannedFile plan(const std::string& path) const;
    ExistingFile existingFile() const { return options_.existingFile; }

    // Safe on several threads at once where the file steps are. `outputWrittenBefore`: this run
    // has already written the file's output, which is then never replaced.
    ConversionOutcome convert(const PlannedFile& file, bool outputWrittenBefore) const;

    // convert() in two halves, for files saved together. Reads and converts the file and adds its
    // output to the group, with the outcome Converted; or stops with the outcome why not.
    ConversionOutcome prepare(const PlannedFile& file, bool outputWrittenBefore, SaveGroup& save) const;
    // The outcome of a file the group took, once the group is finished with it.
    void settle(ConversionOutcome& outcome, const SaveGroup::Result& saved) const;

private:
    ConversionOptions options_;
    FileSteps& files_;
};

} // namespace relicwright
