#pragma once

#include "fuzz/ScratchDirectory.h"
#include "fuzz/ScriptedWindow.h"

#include "converter/Converter.h"
#include "converter/ItemFileAccess.h"
#include "converter/MemoryChoiceList.h"
#include "itemdata/ItemCatalogue.h"
#include "tests/support/FaultInjectingFileSteps.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace relicwright::testing {

using fuzz::Bytes;
using fuzz::ScratchDirectory;

// The workflow as the window drives it, with in-memory lists, a scripted window and file steps
// that fail on demand.
struct WorkflowHarness {
    MemoryChoiceList itemList;
    MemoryChoiceList targetList;
    fuzz::ScriptedWindow window;
    StepsItemFileAccess<FaultInjectingFileSteps> files;
    Converter converter{itemList, targetList, window, files};

    WorkflowHarness() { converter.fillLists(); }

    FaultInjectingFileSteps& steps() { return files.steps(); }

    // Runs the load with the dialog answering `path`; the FileError it raised, if any.
    std::optional<FileError> load(const std::string& path) {
        window.openAnswers.push_back(FileChoice::fromPath(path));
        try {
            converter.loadSourceFile();
        } catch (const FileError& error) {
            return error;
        }
        return std::nullopt;
    }
    std::optional<FileError> save(const std::string& path) {
        window.saveAnswers.push_back(FileChoice::fromPath(path));
        try {
            converter.saveOutputFile();
        } catch (const FileError& error) {
            window.saveAnswers.clear();
            return error;
        }
        return std::nullopt;
    }
};

// Everything a failed operation must leave as it was.
struct WorkflowSnapshot {
    ConverterState state;
    ItemFileImage image;
    std::vector<std::string> items;
    std::optional<std::size_t> itemSelection;
    std::vector<std::string> targets;
    std::optional<std::size_t> targetSelection;
    int fieldUpdates;
    std::string sourceGameField;
    std::string itemField;

    explicit WorkflowSnapshot(const WorkflowHarness& h)
        : state(h.converter.state()), image(h.converter.sharedImage()), items(h.itemList.entries()),
          itemSelection(h.itemList.selectedIndex()), targets(h.targetList.entries()),
          targetSelection(h.targetList.selectedIndex()), fieldUpdates(h.window.fieldUpdates),
          sourceGameField(h.window.sourceGameField), itemField(h.window.itemField) {}
    bool operator==(const WorkflowSnapshot&) const = default;
};

// A genuine item file of the game: a patterned record behind the game's header, stamped as the
// catalogue entry at the index.
inline Bytes itemFile(GameVariant variant, std::size_t index, std::uint8_t salt) {
    ItemFileImage hellfireLayout{};
    for (std::size_t i = 0; i < kItemRecordSize; ++i) {
        hellfireLayout[kHellfireHeaderSize + i] = static_cast<std::uint8_t>(salt + i * 13);
    }
    ItemFileImage image = buildOutputImage(hellfireLayout, GameVariant::Hellfire, GameVariant::Diablo);
    if (variant == GameVariant::Hellfire) {
        image = buildOutputImage(image, GameVariant::Diablo, GameVariant::Hellfire);
    }
    stampItem(image, variant, encodeListIndex(variant, index), index);
    return Bytes(image.begin(), image.end());
}

// The message for a cause's text with the path put in, written out here rather than taken from
// the program.
inline std::string withPath(const std::string& pattern, const std::string& path) {
    const auto at = pattern.find("%1");
    std::string text =
        pattern.substr(0, at) + (path.empty() ? "an unnamed file" : path) + pattern.substr(at + 2);
    return text.size() > 511 ? text.substr(0, 511) : text;
}

inline std::string realDirectory(const std::string& directory) {
    char buffer[PATH_MAX];
    return ::realpath(directory.c_str(), buffer) != nullptr ? std::string(buffer) : directory;
}

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

} // namespace relicwright::testing
