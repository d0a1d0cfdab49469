#include "ConverterFixture.h"

#include <sys/stat.h>

namespace relicwright {
namespace {

using testing::ConverterFixture;
using testing::readBytes;

using SaveTest = ConverterFixture;

const std::string kItmHeader("ITM01.I'll get that al'Thor!\0\0\0\0", 32);
const std::string kHifHeader("HELLFIRE ITEM FILE\0\0\0\0\0\0\0\0\0\0", 28);

std::string slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t length) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
}

TEST_F(SaveTest, DiabloToHellfireTranslatesTheWeaponCode) {
    const auto source = readBytes(itemFile("blade.itm", GameVariant::Diablo, 118));
    load(dir.file("blade.itm"));
    EXPECT_EQ(window.itemField, "Blade");
    save(dir.file("dagger.hif"), kHellfireEntry, 33);

    ASSERT_EQ(window.saveRequests.size(), 1u);
    EXPECT_EQ(window.saveRequests[0].filter, "Hellfire Files (*.hif)|*.hif||");
    EXPECT_EQ(window.saveRequests[0].defaultExtension, "hif");
    EXPECT_EQ(window.saveRequests[0].initialName, "blade.hif");
    EXPECT_EQ(window.saveRequests[0].options, OverwritePrompt | HideReadOnly | LongFileNames);
    EXPECT_EQ(window.messages, std::vector<std::string>{"File saved to Harddrive"});

    const auto out = readBytes(dir.file("dagger.hif"));
    ASSERT_EQ(out.size(), 400u);
    EXPECT_EQ(slice(out, 0, 28), kHifHeader);
    EXPECT_EQ(out[388], 118);
    auto record = slice(source, 32, 368);
    record[360] = 118;
    EXPECT_EQ(slice(out, 28, 368), record);
    EXPECT_EQ(slice(out, 396, 4), std::string(4, '\0'));
    EXPECT_EQ(state().outputPath, dir.file("dagger.hif"));
}

TEST_F(SaveTest, HellfireToDiabloWritesTheDiabloHeaderAndCode) {
    const auto source = readBytes(itemFile("dagger.hif", GameVariant::Hellfire, 118));
    load(dir.file("dagger.hif"));
    EXPECT_EQ(items.selectedIndex(), 33u);
    save(dir.file("dagger.itm"), kDiabloEntry, 33);
    EXPECT_EQ(window.messages, std::vector<std::string>{"File saved to Harddrive"});
    const auto out = readBytes(dir.file("dagger.itm"));
    ASSERT_EQ(out.size(), 400u);
    EXPECT_EQ(slice(out, 0, 32), kItmHeader);
    EXPECT_EQ(out[392], 113);
    auto record = slice(source, 28, 368);
    record[360] = 113;
    EXPECT_EQ(slice(out, 32, 368), record);
}

TEST_F(SaveTest, SameGameCopiesAllBytesAndAddsAnExclamationMark) {
    const auto itm = readBytes(itemFile("odd.itm", GameVariant::Diablo, 60));
    load(dir.file("odd.itm"));
    save(dir.file("ring.itm"), kDiabloEntry, 76);
    auto expected = itm;
    expected[392] = 151;
    EXPECT_EQ(readBytes(dir.file("ring.itm")), expected) << "header, record and quality byte kept";

    const auto hif = readBytes(itemFile("odd.hif", GameVariant::Hellfire, 60, 9));
    load(dir.file("odd.hif"));
    save(dir.file("amulet.hif"), kHellfireEntry, 77);
    expected = hif;
    expected[388] = 159;
    EXPECT_EQ(readBytes(dir.file("amulet.hif")), expected) << "the tail is carried too";
    EXPECT_EQ(window.messages,
              (std::vector<std::string>{"File saved to Harddrive!", "File saved to Harddrive!"}));
}

TEST_F(SaveTest, UniqueAndNoveltyEntriesSetTheQualityByte) {
    load(itemFile("cap.itm", GameVariant::Diablo, 48));
    save(dir.file("cleaver.hif"), kHellfireEntry, 80);
    save(dir.file("brain.itm"), kDiabloEntry, 93);
    const auto cleaver = readBytes(dir.file("cleaver.hif"));
    EXPECT_EQ(cleaver[388], 6);
    EXPECT_EQ(cleaver[88], 2);
    const auto brain = readBytes(dir.file("brain.itm"));
    EXPECT_EQ(brain[392], 18);
    EXPECT_EQ(brain[92], 0);
    EXPECT_NE(readBytes(dir.file("cap.itm"))[92], 0) << "the sample must not already hold 0";
}

TEST_F(SaveTest, EntriesWithoutACodeAreRefusedWithTheWordingOfTheirPath) {
    load(itemFile("sword.itm", GameVariant::Diablo, 120));
    save(dir.file("x.hif"), kHellfireEntry, 32);
    save(dir.file("y.itm"), kDiabloEntry, 32);
    EXPECT_EQ(window.messages, (std::vector<std::string>{"File Not saved! Perhaps some wrong Selections.",
                                                         "File Not Saved! Perhaps some wrong Selections."}));
    // No selection, and an entry the workflow appended, have no code either.
    save(dir.file("z.hif"), kHellfireEntry, std::nullopt);
    items.append("<not specified>");
    save(dir.file("w.hif"), kHellfireEntry, 101);
    EXPECT_EQ(window.messages.size(), 4u);
    EXPECT_EQ(window.messages[3], "File Not saved! Perhaps some wrong Selections.");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"sword.itm"});
    EXPECT_EQ(state().outputPath, "") << "a refusal records no output path";
}

TEST_F(SaveTest, NotFoundSelectedMakesSaveDoNothing) {
    load(itemFile("mystery.itm", GameVariant::Diablo, 3));
    const int pushes = window.pushes;
    converter.saveOutputFile();
    EXPECT_TRUE(window.saveRequests.empty());
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.pushes, pushes);
    // Picking a real entry makes it work again.
    save(dir.file("cap.hif"), kHellfireEntry, 1);
    EXPECT_EQ(readBytes(dir.file("cap.hif"))[388], 48);
}

TEST_F(SaveTest, NothingLoadedOrInvalidLoadWritesNothingAndSaysNothing) {
    items.setSelection(33);
    targets.setSelection(kHellfireEntry);
    window.answerSave(dir.file("first.hif"));
    converter.saveOutputFile();
    ASSERT_EQ(window.saveRequests.size(), 1u);
    EXPECT_EQ(window.saveRequests[0].initialName, "");
    EXPECT_EQ(window.saveRequests[0].filter, "");
    EXPECT_EQ(window.saveRequests[0].defaultExtension, "");
    EXPECT_EQ(window.pushes, 1);

    load(itemFile("notes.txt", GameVariant::Diablo, 60));
    targets.setSelection(kDiabloEntry);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, "Invalid File") << "a target change after an invalid load does nothing";
    items.setSelection(33);
    window.answerSave(dir.file("second.itm"));
    converter.saveOutputFile();
    EXPECT_EQ(window.saveRequests[1].initialName, "Invalid File");
    EXPECT_EQ(window.saveRequests[1].filter, "");
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"notes.txt"});
}

TEST_F(SaveTest, CancellingTheSaveDialogWritesNothingButRefreshes) {
    load(itemFile("sword.itm", GameVariant::Diablo, 120));
    const int pushes = window.pushes;
    window.cancelSave();
    converter.saveOutputFile();
    EXPECT_EQ(window.pushes, pushes + 1);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"sword.itm"});
}

TEST_F(SaveTest, TargetChangeRederivesTheProposedName) {
    targets.setSelection(kDiabloEntry);
    converter.applyTargetGame();
    EXPECT_EQ(state(), ConverterState{}) << "before any load nothing changes";

    load(itemFile("helm.hif", GameVariant::Hellfire, 50));
    EXPECT_EQ(state().outputFileName, "helm.itm");
    targets.setSelection(kHellfireEntry);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, "helm.hif");
    EXPECT_EQ(state().outputExtension, "hif");

    targets.append("<not specified>");
    targets.setSelection(2);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, "<not specified>");
    EXPECT_EQ(state().outputExtension, "hif");
    targets.setSelection(std::nullopt);
    converter.applyTargetGame();
    EXPECT_EQ(state().targetGameText, "");
    EXPECT_EQ(state().outputFileName, "<not specified>");

    targets.setSelection(kDiabloEntry);
    converter.applyTargetGame();
    EXPECT_EQ(state().outputFileName, "helm.itm");
    EXPECT_EQ(state().outputExtension, "itm");
}

TEST_F(SaveTest, SelectionMovedWithoutClosingTheDropDownConvertsToTheNewTarget) {
    const auto source = readBytes(itemFile("axe.itm", GameVariant::Diablo, 126));
    load(dir.file("axe.itm"));
    targets.setSelection(kDiabloEntry); // arrow keys: no drop-down closed, no target change run
    items.setSelection(47);
    window.answerSave(dir.file("axe.hif"));
    converter.saveOutputFile();
    EXPECT_EQ(window.saveRequests[0].initialName, "axe.hif");
    EXPECT_EQ(window.saveRequests[0].filter, "Hellfire Files (*.hif)|*.hif||");
    EXPECT_EQ(readBytes(dir.file("axe.hif")), source) << "a Diablo copy under the proposed .hif name";
    EXPECT_EQ(window.messages, std::vector<std::string>{"File saved to Harddrive!"});
}

TEST_F(SaveTest, AFailedWriteLeavesTheTargetAndShowsNoSuccess) {
    load(itemFile("sword.itm", GameVariant::Diablo, 120));
    testing::writeBytes(dir.file("locked.hif"), {1, 2, 3});
    ASSERT_EQ(::chmod(dir.file("locked.hif").c_str(), 0444), 0);
    targets.setSelection(kHellfireEntry);
    items.setSelection(40);
    window.answerSave(dir.file("locked.hif"));
    const int pushes = window.pushes;
    try {
        converter.saveOutputFile();
        FAIL() << "expected a FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.message(), "Access to " + dir.file("locked.hif") + " was denied.");
    }
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.pushes, pushes);
    EXPECT_EQ(readBytes(dir.file("locked.hif")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(state().outputPath, dir.file("locked.hif"));
    EXPECT_EQ(state().targetGameText, "Hellfire");

    // The same item can still be saved elsewhere.
    window.answerSave(dir.file("free.hif"));
    converter.saveOutputFile();
    EXPECT_EQ(readBytes(dir.file("free.hif"))[388], 125);
}

} // namespace
} // namespace relicwright
