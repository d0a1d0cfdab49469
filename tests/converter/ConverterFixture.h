#pragma once

#include "converter/Converter.h"
#include "converter/MemoryChoiceList.h"
#include "itemdata/ItemCatalogue.h"

#include "tests/support/FakeWindowServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace relicwright::testing {

// The workflow as the window holds it: two filled lists, fake dialogs and real files.
class ConverterFixture : public ::testing::Test {
protected:
    MemoryChoiceList items;
    MemoryChoiceList targets;
    FakeWindowServices window;
    PosixItemFileAccess files;
    Converter converter{items, targets, window, files};
    TempDir dir;

    static constexpr std::size_t kHellfireEntry = 0;
    static constexpr std::size_t kDiabloEntry = 1;

    void SetUp() override { converter.fillLists(); }

    // Writes an item file of the variant with the given code and returns its path.
    std::string itemFile(const std::string& name, GameVariant variant, std::uint8_t code,
                         std::uint8_t seed = 1) {
        return dir.itemFile(name, variant, code, seed);
    }

    void load(const std::string& path) {
        window.answerOpen(path);
        converter.loadSourceFile();
    }

    // Picks the entries, closes the target drop-down as the user would and saves.
    void save(const std::string& path, std::size_t target, std::optional<std::size_t> item) {
        targets.setSelection(target);
        converter.applyTargetGame();
        items.setSelection(item);
        window.answerSave(path);
        converter.saveOutputFile();
    }

    const ConverterState& state() const { return converter.state(); }
};

} // namespace relicwright::testing
