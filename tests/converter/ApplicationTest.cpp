#include "Application.h"
#include "Converter.h"
#include "FakeWindow.h"
#include "MemoryChoiceList.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace relicwright::testing {
namespace {

using Action = Application::Start::Action;

TEST(Application, ArgumentsBecomeTheStart) {
    const auto plain = Application::startFrom({}, "relicwright");
    EXPECT_EQ(plain.action, Action::ShowWindow);
    EXPECT_FALSE(plain.file);

    // A file manager passes a relative name from its own folder; the window needs it in full.
    const auto relative = Application::startFrom({"sub/../dagger.itm"}, "relicwright");
    ASSERT_EQ(relative.action, Action::ShowWindow);
    ASSERT_TRUE(relative.file);
    EXPECT_EQ(*relative.file, (std::filesystem::current_path() / "dagger.itm").string());

    const auto dashed = Application::startFrom({"--", "-odd.itm"}, "relicwright");
    ASSERT_TRUE(dashed.file);
    EXPECT_EQ(std::filesystem::path(*dashed.file).filename(), "-odd.itm");

    const auto version = Application::startFrom({"--version", "x.itm"}, "relicwright");
    EXPECT_EQ(version.action, Action::Print);
    EXPECT_EQ(version.text, "relicwright 1.02\n");
    EXPECT_EQ(version.status, 0);

    const auto help = Application::startFrom({"--help"}, "rw");
    EXPECT_EQ(help.action, Action::Print);
    EXPECT_EQ(help.text.rfind("Usage: rw [FILE]\n", 0), 0u);
    EXPECT_EQ(help.status, 0);
}

TEST(Application, NameHelpAndIconsFollowTheProgramsRules) {
    EXPECT_EQ(Application::nameOf("/usr/bin/relicwright"), "relicwright");
    EXPECT_EQ(Application::nameOf("/opt/rw/Relic.Wright.exe"), "Relic.Wright");

    EXPECT_EQ(Application::helpTopic(kMainWindowDialog), 131174u);
    EXPECT_EQ(Application::helpTopic(kAboutBoxDialog), 131172u);
    EXPECT_EQ(Application::helpAddress("help.html", 131174), "help.html#main-window");
    EXPECT_EQ(Application::helpAddress("file:///C:/p/help.html", 131172), "file:///C:/p/help.html#about-box");
    EXPECT_EQ(Application::helpAddress("help.html", 7), "help.html");

    EXPECT_EQ(Application::iconFor(HandlerFailure::Kind::File), MessageIcon::Stop);
    EXPECT_EQ(Application::iconFor(HandlerFailure::Kind::Unexpected), MessageIcon::Stop);
    EXPECT_EQ(Application::iconFor(HandlerFailure::Kind::OutOfMemory), MessageIcon::Exclamation);
    EXPECT_EQ(Application::iconFor(Action::UsageError), MessageIcon::Stop);
    EXPECT_EQ(Application::iconFor(Action::Print), MessageIcon::None);

    EXPECT_EQ(Application::windowTitle(), "Ostrand's Relicwright v1.02");
    EXPECT_EQ(Application::aboutBoxTitle(), "About Relicwright v1.02");
    EXPECT_EQ(Application::aboutText(), "Ostrand's Relicwright v1.02 done by Tamsrook.");
    EXPECT_NE(Application::copyrightText().find("Copyright"), std::string::npos);
    EXPECT_NE(Application::contactText().find('@'), std::string::npos); // an e-mail line
}

TEST(Application, EveryControlHasANameOfItsOwn) {
    std::set<std::string_view> names;
    for (const Control control : {Control::LoadButton, Control::SaveButton, Control::ItemField,
                                  Control::ItemList, Control::SourceGameField, Control::TargetList}) {
        const auto name = Application::accessibleName(control);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second) << name;
    }
}

// A file from outside the window takes the same road as the dialog's answer, without the dialog.
TEST(Application, AFileFromOutsideLoadsWithoutAskingAndAsTheDialogWould) {
    ScratchDirectory dir;
    const std::string path = dir.write("dagger.itm", sampleImage(GameVariant::Diablo, 48));
    FakeWindow dialogWindow, directWindow;
    MemoryChoiceList items1, targets1, items2, targets2;
    Converter viaDialog(items1, targets1, dialogWindow, platformFileSteps());
    Converter direct(items2, targets2, directWindow, platformFileSteps());
    viaDialog.fillLists();
    direct.fillLists();

    dialogWindow.answer(path);
    viaDialog.loadSourceFile();
    direct.loadFile(FileChoice::fromPath(path));

    EXPECT_TRUE(directWindow.openRequests.empty());
    EXPECT_EQ(direct.state(), viaDialog.state());
    EXPECT_EQ(direct.sharedImage(), viaDialog.sharedImage());
    EXPECT_EQ(items2.selectedIndex(), items1.selectedIndex());
    EXPECT_EQ(targets2.selectedIndex(), targets1.selectedIndex());
    EXPECT_EQ(directWindow.itemField, dialogWindow.itemField);

    direct.loadFile(FileChoice::cancelled());
    EXPECT_EQ(direct.state(), viaDialog.state());
}

} // namespace
} // namespace relicwright::testing
