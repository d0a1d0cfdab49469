#pragma once

#include "converter/Converter.h"
#include "converter/ItemFileAccess.h"
#include "converter/MemoryChoiceList.h"
#include "tests/support/FakeWindowServices.h"

#include <cstddef>
#include <optional>
#include <string>

namespace relicwright::testing {

// What the window does when the user loads `source`, picks `target` and the entry at `index`, and
// saves to `output`: the reference the command line must match byte for byte.
struct WindowSave {
    // The message the window showed: success or refusal.
    std::string message;

    static WindowSave run(const std::string& source, GameVariant target, std::size_t index,
                          const std::string& output) {
        MemoryChoiceList itemList;
        MemoryChoiceList targetList;
        FakeWindowServices window;
        PosixItemFileAccess files;
        Converter converter(itemList, targetList, window, files);
        converter.fillLists();
        window.answerOpen(source);
        converter.loadSourceFile();
        itemList.setSelection(index);
        targetList.setSelection(targetList.findExact(std::string(variantText(target))));
        window.answerSave(output);
        converter.saveOutputFile();
        WindowSave save;
        if (!window.messages.empty()) {
            save.message = window.messages.back();
        }
        return save;
    }

    bool saved() const { return message.starts_with("File saved to Harddrive"); }
};

} // namespace relicwright::testing
