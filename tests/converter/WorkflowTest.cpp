#include "Converter.h"
#include "MemoryChoiceList.h"
#include "ItemCatalogue.h"
#include "FakeWindow.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

namespace relicwright::testing {
namespace {

// The workflow as the window runs it, with a fake window and real files in a scratch directory.
class Workflow : public ::testing::Test {
protected:
    ScratchDirectory dir;
    FakeWindow window;
    MemoryChoiceList items, targets;
    Converter converter{items, targets, window, platformFileSteps()};

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
};

constexpr std::size_t kHellfireEntry = 0;
constexpr std::size_t kDiabloEntry = 1;

struct Load {
    const char* name;
    std::uint8_t code;
    const char* game;
    const char* item;
    const char* outputName;
    std::size_t target; // selected entry of the target-game list
    std::size_t entry;  // selected entry of the item choice list
};

class Loading : public Workflow, public ::testing::WithParamInterface<Load> {};

TEST_P(Loading, ShowsTheGameAndItemAndProposesTheOtherGame) {
    const Load row = GetParam();
    const auto variant = variantFromExtension(FileChoice::fromPath(row.name).lowerExtension());
    load(dir.write(row.name, sampleImage(variant.value_or(GameVariant::Diablo), row.code)));

    EXPECT_EQ(window.openRequests.at(0).filter, kOpenFilter);
    EXPECT_EQ(window.openRequests.at(0).options, LongFileNames | FileMustExist | HideReadOnly);
    EXPECT_EQ(window.sourceGameField, row.game);
    EXPECT_EQ(window.itemField, row.item);
    EXPECT_EQ(state().outputFileName, row.outputName);
    EXPECT_EQ(targets.selectedIndex(), row.target);
    EXPECT_EQ(items.selectedIndex(), row.entry);
    const bool invalid = row.game == std::string("Invalid Game");
    EXPECT_EQ(row.entry < 101 ? bareEntryName(row.entry) : items.entry(row.entry),
              row.entry < 101 ? row.item : invalid ? kNotSpecifiedMarker : kNotFoundMarker);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Loading,
    ::testing::Values(Load{"SWORD.ITM", 113, "Diablo", "Dagger", "SWORD.hif", kHellfireEntry, 33},
                      Load{"a.b.hif", 113, "Hellfire", "Not registered Item!!!", "a.b.itm", kDiabloEntry, 101},
                      Load{"axe.hif", 135, "Hellfire", "Great Axe", "axe.itm", kDiabloEntry, 51},
                      Load{"c.itm", 6, "Diablo", "Butcher's Cleaver", "c.hif", kHellfireEntry, 101},
                      Load{"notes.txt", 113, "Invalid Game", "<not specified>", "Invalid File", 2, 101},
                      Load{"noext", 113, "Invalid Game", "<not specified>", "Invalid File", 2, 101}));

TEST_F(Workflow, RepeatedLoadsAppendMarkersAndSelectTheFirst) {
    for (int i = 0; i < 3; ++i) {
        load(dir.write(std::to_string(i) + ".itm", sampleImage(GameVariant::Diablo, 6)));
        EXPECT_EQ(items.selectedIndex(), 101u);
    }
    EXPECT_EQ(items.count(), 104u);
    EXPECT_EQ(items.entry(103), kNotFoundMarker);
    load(dir.write("x.txt", std::vector<std::uint8_t>{}));
    load(dir.path("x.txt"));
    EXPECT_EQ(targets.count(), 4u);
    EXPECT_EQ(targets.selectedIndex(), 2u);
    EXPECT_EQ(items.count(), 105u); // one "<not specified>" only
    EXPECT_EQ(items.selectedIndex(), 104u);
    load(dir.write("ok.hif", sampleImage(GameVariant::Hellfire, 118)));
    EXPECT_EQ(targets.selectedText(), "Diablo");
    EXPECT_EQ(items.selectedIndex(), 33u);
}

struct SaveCase {
    const char* source;
    std::size_t target;
    std::size_t entry;
    const char* message;
    std::size_t codeByte;
    std::uint8_t code;
    std::uint8_t quality; // at the target's quality byte
};

class Saving : public Workflow, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Saving, WritesTheTargetImageAndTellsTheOutcome) {
    const SaveCase row = GetParam();
    const GameVariant source = row.source == std::string("in.itm") ? GameVariant::Diablo : GameVariant::Hellfire;
    const ItemFileImage loaded = sampleImage(source, 200, 9);
    load(dir.write(row.source, loaded));
    save("out", row.entry, row.target);

    EXPECT_EQ(window.messages, std::vector<std::string>{row.message});
    const std::vector<std::uint8_t> written = dir.read("out");
    if (row.code == 0) {
        EXPECT_TRUE(written.empty());
        return;
    }
    ASSERT_EQ(written.size(), 400u);
    EXPECT_EQ(written[row.codeByte], row.code);
    EXPECT_EQ(written[row.codeByte - 300], row.quality);
    const GameVariant target = row.target == kHellfireEntry ? GameVariant::Hellfire : GameVariant::Diablo;
    ItemFileImage image{};
    std::copy(written.begin(), written.end(), image.begin());
    EXPECT_TRUE(hasStandardHeader(image, target));
    EXPECT_EQ(state().outputPath, dir.path("out"));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, Saving,
    ::testing::Values(SaveCase{"in.itm", kHellfireEntry, 33, "File saved to Harddrive", 388, 118, 9},
                      SaveCase{"in.hif", kDiabloEntry, 33, "File saved to Harddrive", 392, 113, 9},
                      SaveCase{"in.itm", kDiabloEntry, 76, "File saved to Harddrive!", 392, 151, 9},
                      SaveCase{"in.hif", kHellfireEntry, 77, "File saved to Harddrive!", 388, 159, 9},
                      SaveCase{"in.itm", kHellfireEntry, 80, "File saved to Harddrive", 388, 6, 2},
                      SaveCase{"in.hif", kHellfireEntry, 93, "File saved to Harddrive!", 388, 18, 0},
                      SaveCase{"in.itm", kHellfireEntry, 32, "File Not saved! Perhaps some wrong Selections.", 0, 0, 0},
                      SaveCase{"in.hif", kHellfireEntry, 89, "File Not Saved! Perhaps some wrong Selections.", 0, 0, 0}));

TEST_F(Workflow, SaveDialogFollowsTheProposalWhileTheConversionFollowsTheList) {
    load(dir.write("s.itm", sampleImage(GameVariant::Diablo, 113)));
    save("a.hif");
    EXPECT_EQ(window.saveRequests.back().filter, "Hellfire Files (*.hif)|*.hif||");
    EXPECT_EQ(window.saveRequests.back().defaultExtension, "hif");
    EXPECT_EQ(window.saveRequests.back().initialName, "s.hif");
    EXPECT_EQ(window.saveRequests.back().options, OverwritePrompt | HideReadOnly | LongFileNames);
    // The selection moved without the drop-down closing: same proposal, a Diablo copy.
    save("b.hif", std::nullopt, kDiabloEntry);
    EXPECT_EQ(window.saveRequests.back().initialName, "s.hif");
    EXPECT_EQ(dir.read("b.hif"), bytesOf(sampleImage(GameVariant::Diablo, 113)));
    converter.applyTargetGame();
    save("c.itm");
    EXPECT_EQ(window.saveRequests.back().filter, "Diablo Files (*.itm)|*.itm||");
    EXPECT_EQ(window.saveRequests.back().initialName, "s.itm");
    targets.append(kNotSpecifiedMarker);
    targets.setSelection(2);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, kNotSpecifiedMarker);
    EXPECT_EQ(state().outputExtension, "itm");
    EXPECT_EQ(window.messages.size(), 3u);
}

TEST_F(Workflow, NothingIsWrittenWithoutALoadedItemOrATarget) {
    converter.applyTargetGame(); // before any load: nothing changes
    EXPECT_EQ(state(), ConverterState{});
    save("before.itm", 33, kHellfireEntry);
    EXPECT_EQ(window.saveRequests.at(0).initialName, "");
    EXPECT_EQ(window.saveRequests.at(0).filter, "");
    load(dir.write("bad.txt", std::vector<std::uint8_t>{}));
    targets.setSelection(kDiabloEntry);
    converter.applyTargetGame();
    save("invalid.itm", 33);
    EXPECT_EQ(window.saveRequests.at(1).initialName, "Invalid File");
    // An unregistered item selects "<not found>": Save does nothing at all until an entry is picked.
    load(dir.write("u.itm", sampleImage(GameVariant::Diablo, 200)));
    save("silent.hif");
    EXPECT_EQ(window.saveRequests.size(), 2u);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bad.txt", "u.itm"}));
}

TEST(ChoiceList, SearchesLookAtTheFirstEntryLastIgnoringCase) {
    MemoryChoiceList list(std::vector<std::string>{"Abc", "x", "abcd", "ABC"});
    EXPECT_EQ(list.findExact("abc"), 3u);
    list.selectByPrefix("AB");
    EXPECT_EQ(list.selectedIndex(), 2u);
    list.selectByPrefix("zzz");
    EXPECT_EQ(list.selectedIndex(), 2u);
    EXPECT_EQ(MemoryChoiceList(std::vector<std::string>{"Only"}).findExact("ONLY"), 0u);
    EXPECT_EQ(FileChoice::fromPath("/d.x/a.b.HiF").title, "a.b");
    EXPECT_EQ(FileChoice::fromPath("/d.x/a.b.HiF").lowerExtension(), "hif");
    EXPECT_EQ(FileChoice::fromPath("/d.x/name.").extension, "");
}

} // namespace
} // namespace relicwright::testing
