#include "converter/Converter.h"
#include "converter/ItemFileConversion.h"
#include "converter/OrderedReport.h"
#include "converter/OutputLocks.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/MemoryFileSteps.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/MemoryChoiceList.h"
#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <thread>

namespace relicwright::testing {
namespace {

ConversionOutcome outcomeNamed(std::size_t index) {
    ConversionOutcome outcome;
    outcome.message = std::to_string(index);
    return outcome;
}

// Outcomes come in out of order, each from a thread of its own, and over more files than the
// report holds at once; they are taken back in input order all the same.
TEST(BatchOrderedReport, HandsOutcomesBackInInputOrder) {
    OrderedReport report(4);
    std::vector<std::string> taken;
    for (const std::size_t first : {0u, 4u}) {
        for (const std::size_t index : {3u, 1u, 2u, 0u}) {
            std::thread([&report, index, first] { report.put(first + index, outcomeNamed(first + index)); }).join();
        }
        for (int i = 0; i < 4; ++i) {
            taken.push_back(report.next().message);
        }
    }
    EXPECT_EQ(taken, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7"}));
}

// Two spellings of one output are one lock; a source is locked as much as an output; an output
// written in the run stays marked once its file is done.
TEST(BatchOutputLocks, OnePathIsHeldByOneFileAtATime) {
    OutputLocks locks;
    const auto first = locks.claim("a.itm", "out/a.hif");
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(locks.written(*first));
    EXPECT_FALSE(locks.claim("b.itm", "./out/a.hif").has_value());
    EXPECT_FALSE(locks.claim("./a.itm", "b.hif").has_value());
    EXPECT_FALSE(locks.claim("c.itm", "a.itm").has_value());
    const auto other = locks.claim("b.itm", "b.hif");
    ASSERT_TRUE(other.has_value());
    locks.release(*first, true);
    locks.release(*other, false);
    const auto again = locks.claim("b.itm", "out/x/../a.hif");
    ASSERT_TRUE(again.has_value());
    EXPECT_TRUE(locks.written(*again));
    EXPECT_FALSE(locks.written(*locks.claim("c.itm", "b.hif")));
}

// Every code of either game: the entry a batch writes is the one the window's load selects; where
// the load selects none, the batch writes the entry that decodes back to the item the window shows,
// or refuses an unregistered item.
TEST(BatchConversion, WritesTheEntryTheWindowsLoadSelects) {
    MemoryFileSteps files;
    FakeWindow window;
    MemoryChoiceList items;
    MemoryChoiceList targets;
    Converter converter(items, targets, window, files);
    converter.fillLists();
    for (const GameVariant variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        const std::string path = variant == GameVariant::Diablo ? "/d/in.itm" : "/d/in.hif";
        ConversionOptions options;
        options.target = otherVariant(variant);
        options.existingFile = ExistingFile::Replace;
        const ItemFileConversion batch(options, files);
        for (int code = 0; code < 256; ++code) {
            files.put(path, bytesOf(sampleImage(variant, static_cast<std::uint8_t>(code))));
            converter.loadFile(FileChoice::fromPath(path));
            const std::size_t selected = items.selectedIndex().value();
            const ConversionOutcome outcome = batch.convert(path, false);
            if (selected < kItemChoiceCount) {
                EXPECT_EQ(items.findExact(window.itemField), selected) << code;
                EXPECT_TRUE(outcome.converted()) << code;
                EXPECT_EQ(outcome.itemIndex, selected) << code;
            } else if (window.itemField == kNotRegisteredItem) {
                EXPECT_EQ(outcome.result, ConversionOutcome::Result::UnregisteredItem) << code;
            } else {
                EXPECT_TRUE(outcome.converted()) << code;
                EXPECT_EQ(decodedNameOfIndex(outcome.itemIndex), window.itemField) << code;
            }
        }
    }
}

} // namespace
} // namespace relicwright::testing
