#pragma once

#include "converter/Converter.h"
#include "converter/MemoryChoiceList.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/FaultInjectingFileSteps.h"
#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>

namespace relicwright::testing {

// The workflow as the window runs it, with a fake window and real files in a scratch directory.
class Workflow : public ::testing::Test {
protected:
    ScratchDirectory dir;
    FakeWindow window;
    MemoryChoiceList items;
    MemoryChoiceList targets;
    FaultInjectingFileSteps steps;
    Converter converter{items, targets, window, steps};

    void SetUp() override {
        converter.fillLists();
        converter.pushToWindow();
    }
    void load(const std::string& path) {
        window.answer(path);
        converter.loadSourceFile();
    }
    // Picks the entries (none: leaves the selection) and saves to `name` in the scratch directory.
    void save(const std::string& name, std::optional<std::size_t> item = {}, std::optional<std::size_t> target = {}) {
        if (item) {
            items.setSelection(item);
        }
        if (target) {
            targets.setSelection(target);
        }
        window.answer(dir.path(name));
        converter.saveOutputFile();
    }
    const ConverterState& state() const { return converter.state(); }
    std::string lastMessage() const { return window.messages.empty() ? "" : window.messages.back(); }
};

inline constexpr std::size_t kHellfireEntry = 0;
inline constexpr std::size_t kDiabloEntry = 1;

} // namespace relicwright::testing
