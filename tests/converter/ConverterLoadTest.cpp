#include "ConverterFixture.h"

#include "tests/support/FaultInjectingFileSteps.h"

namespace relicwright {
namespace {

using testing::ConverterFixture;

using LoadTest = ConverterFixture;

TEST_F(LoadTest, StartsEmptyAndACancelledDialogChangesNothing) {
    EXPECT_EQ(items.count(), 101u);
    EXPECT_EQ(targets.entries(), (std::vector<std::string>{"Hellfire", "Diablo"}));
    EXPECT_FALSE(items.selectedIndex().has_value());
    EXPECT_FALSE(targets.selectedIndex().has_value());
    EXPECT_EQ(state(), ConverterState{});
    EXPECT_EQ(state().sourceGameText, "<Empty>");

    window.cancelOpen();
    converter.loadSourceFile();
    EXPECT_EQ(state(), ConverterState{});
    EXPECT_EQ(window.pushes, 0);
    EXPECT_FALSE(items.selectedIndex().has_value());
    ASSERT_EQ(window.openRequests.size(), 1u);
    EXPECT_EQ(window.openRequests[0].filter,
              "Both Files (*.itm;*.hif)|*.itm;*.hif|Diablo Files (*.itm)|*.itm|"
              "Hellfire Files (*.hif)|*.hif|All Files (*.*)|*.*||");
    EXPECT_EQ(window.openRequests[0].options, LongFileNames | FileMustExist | HideReadOnly);
}

TEST_F(LoadTest, UpperCaseExtensionIsADiabloFile) {
    load(itemFile("SWORD.ITM", GameVariant::Diablo, 113));
    EXPECT_EQ(state().sourceExtension, "itm");
    EXPECT_EQ(state().sourceFileName, "SWORD.ITM");
    EXPECT_EQ(state().outputFileName, "SWORD.hif");
    EXPECT_EQ(state().outputExtension, "hif");
    EXPECT_EQ(state().sourceGameText, "Diablo");
    EXPECT_EQ(targets.selectedText(), "Hellfire");
    EXPECT_EQ(window.itemField, "Dagger");
    EXPECT_EQ(window.sourceGameField, "Diablo");
    EXPECT_EQ(items.selectedIndex(), 33u);
}

TEST_F(LoadTest, TitleKeepsEarlierDotsAndTheSameCodeMeansAnotherItemInHellfire) {
    load(itemFile("a.b.hif", GameVariant::Hellfire, 113));
    EXPECT_EQ(state().sourceTitle, "a.b");
    EXPECT_EQ(state().outputFileName, "a.b.itm");
    EXPECT_EQ(targets.selectedText(), "Diablo");
    EXPECT_EQ(state().itemText, "Not registered Item!!!");
    EXPECT_EQ(items.selectedText(), "<not found>");
    EXPECT_EQ(items.selectedIndex(), 101u);
}

TEST_F(LoadTest, UniqueItemsShowTheirBareNameAndEachAddsANotFoundEntry) {
    const std::uint8_t codes[] = {6, 22, 28};
    const char* names[] = {"Butcher's Cleaver", "Map of Stars", "Arkaine's Valor"};
    for (int i = 0; i < 3; ++i) {
        load(itemFile("u" + std::to_string(i) + ".itm", GameVariant::Diablo, codes[i]));
        EXPECT_EQ(window.itemField, names[i]);
        EXPECT_EQ(items.selectedIndex(), 101u) << "the first <not found> wins";
        EXPECT_EQ(items.count(), 102u + static_cast<std::size_t>(i));
    }
    EXPECT_EQ(items.entry(103), "<not found>");
}

TEST_F(LoadTest, OtherExtensionsAreInvalidAndAddOneNotSpecifiedItem) {
    const std::string text = itemFile("notes.txt", GameVariant::Diablo, 60);
    load(text);
    load(text);
    EXPECT_EQ(window.sourceGameField, "Invalid Game");
    EXPECT_EQ(window.itemField, "<not specified>");
    EXPECT_EQ(state().sourceFileName, "Invalid File");
    EXPECT_EQ(state().outputFileName, "Invalid File");
    EXPECT_EQ(state().outputExtension, "");
    EXPECT_EQ(targets.count(), 4u);
    EXPECT_EQ(targets.entry(3), "<not specified>");
    EXPECT_EQ(targets.selectedIndex(), 2u);
    EXPECT_EQ(items.count(), 102u);
    EXPECT_EQ(items.selectedIndex(), 101u);
    EXPECT_EQ(converter.sharedImage(), ItemFileImage{}) << "an invalid file is never read";

    // A valid load afterwards selects a real target again; the markers stay in the lists.
    load(itemFile("ring.itm", GameVariant::Diablo, 152));
    EXPECT_EQ(targets.selectedText(), "Hellfire");
    EXPECT_EQ(window.itemField, "Ring");
    EXPECT_EQ(items.selectedIndex(), 76u);
    EXPECT_EQ(targets.count(), 4u);
    EXPECT_EQ(items.count(), 102u);
}

TEST_F(LoadTest, ExtensionlessAndTrailingDotNamesAreInvalid) {
    for (const std::string name : {"noextension", "item.itm.", ".hifx"}) {
        load(itemFile(name, GameVariant::Diablo, 60));
        EXPECT_EQ(state().sourceGameText, "Invalid Game") << name;
    }
    load(itemFile(".itm", GameVariant::Diablo, 60));
    EXPECT_EQ(state().sourceGameText, "Diablo");
    EXPECT_EQ(state().outputFileName, ".hif");
}

TEST_F(LoadTest, ShortFileAfterAFullOneShowsNothingOfTheEarlierItem) {
    load(itemFile("full.itm", GameVariant::Diablo, 120));
    EXPECT_EQ(window.itemField, "Long Sword");
    testing::writeBytes(dir.file("empty.itm"), {});
    load(dir.file("empty.itm"));
    EXPECT_EQ(window.itemField, "Not registered Item!!!");
    EXPECT_EQ(converter.sharedImage(), ItemFileImage{});
}

TEST_F(LoadTest, AFileThatCannotBeOpenedLeavesEverythingAsItWas) {
    load(itemFile("good.itm", GameVariant::Diablo, 120));
    const ConverterState before = state();
    const ItemFileImage image = converter.sharedImage();
    const auto itemSelection = items.selectedIndex();
    const int pushes = window.pushes;

    window.answerOpen(dir.file("gone.hif"));
    try {
        converter.loadSourceFile();
        FAIL() << "expected a FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.message(), dir.file("gone.hif") + " was not found.");
    }
    EXPECT_EQ(state(), before);
    EXPECT_EQ(converter.sharedImage(), image);
    EXPECT_EQ(items.selectedIndex(), itemSelection);
    EXPECT_EQ(targets.selectedText(), "Hellfire");
    EXPECT_EQ(window.pushes, pushes);

    // The next target change still proposes the name of the file that was loaded.
    targets.setSelection(kDiabloEntry);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, "good.itm");
}

TEST(LoadFaults, AFailedReadLeavesStateListsAndImageAsTheyWere) {
    using testing::FaultInjectingFileSteps;
    using testing::FileStep;
    for (const FileStep step : {FileStep::Open, FileStep::Lock, FileStep::Read, FileStep::Close}) {
        SCOPED_TRACE(testing::fileStepName(step));
        MemoryChoiceList items;
        MemoryChoiceList targets;
        testing::FakeWindowServices window;
        StepsItemFileAccess<FaultInjectingFileSteps> files;
        Converter converter(items, targets, window, files);
        converter.fillLists();
        testing::TempDir dir;
        testing::writeBytes(dir.file("a.hif"),
                            testing::toBytes(testing::sampleImage(GameVariant::Hellfire, 118)));
        testing::writeBytes(dir.file("b.itm"),
                            testing::toBytes(testing::sampleImage(GameVariant::Diablo, 50)));
        window.answerOpen(dir.file("a.hif"));
        converter.loadSourceFile();
        const ConverterState before = converter.state();
        const ItemFileImage image = converter.sharedImage();

        files.steps().failAt(step, EIO);
        window.answerOpen(dir.file("b.itm"));
        EXPECT_THROW(converter.loadSourceFile(), FileError);
        EXPECT_EQ(converter.state(), before);
        EXPECT_EQ(converter.sharedImage(), image);
        EXPECT_EQ(items.selectedText(), "Dagger");
        EXPECT_EQ(targets.selectedText(), "Diablo");
        EXPECT_EQ(window.itemField, "Dagger");
    }
}

TEST(PushToWindow, ReportsOutOfMemoryItselfAndCarriesOn) {
    struct StarvedWindow : testing::FakeWindowServices {
        void setItemField(const std::string&) override { throw std::bad_alloc(); }
    };
    MemoryChoiceList items;
    MemoryChoiceList targets;
    StarvedWindow window;
    PosixItemFileAccess files;
    Converter converter(items, targets, window, files);
    EXPECT_NO_THROW(converter.pushToWindow());
    EXPECT_EQ(window.outOfMemoryReports, 1);
    EXPECT_EQ(window.sourceGameField, "<Empty>") << "fields set before the failure stay set";
}

} // namespace
} // namespace relicwright
