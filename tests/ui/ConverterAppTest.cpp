#include "WindowFixture.h"

namespace relicwright::testing {
namespace {

TEST(ConverterAppNames, NameAndHelpFileFollowTheProgramFile) {
    const ConverterApp stored("/games/tools/Converter.exe");
    EXPECT_EQ(stored.applicationName(), "Converter");
    EXPECT_EQ(stored.helpFilePath(), "/games/tools/Converter.HLP");

    // Only the last extension goes; a dot in a directory name is not an extension.
    const ConverterApp plain("/usr/local.d/bin/relicwright");
    EXPECT_EQ(plain.applicationName(), "relicwright");
    EXPECT_EQ(plain.helpFilePath(), "/usr/local.d/bin/relicwright.HLP");

    const ConverterApp dotted("/x/relic.wright.bin");
    EXPECT_EQ(dotted.applicationName(), "relic.wright");
    EXPECT_EQ(dotted.helpFilePath(), "/x/relic.wright.HLP");
}

TEST(ConverterAppNames, TheRunningProgramIsNamedFromTheSystemNotFromItsArguments) {
    const std::string path = ConverterApp::currentProgramPath("fallback");
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(ConverterApp::applicationNameOf(path), "ui_tests");
}

class CaptionTest : public WindowFixture {};

TEST_F(CaptionTest, MessageBoxesAreCaptionedWithTheProgramFilesName) {
    app = ConverterApp("/somewhere/Converter.exe");
    shownWindow();
    load(dir.file("missing.itm"));
    load(itemFile("x.itm", GameVariant::Diablo, 113));
    save(dir.file("y.hif"));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].message.caption.toStdString(), "Converter");
    EXPECT_EQ(messages.shown[1].message.caption.toStdString(), "Converter");
    help.starts = false;
    pressKey(Qt::Key_F1);
    ASSERT_EQ(help.requests.size(), 1u);
    EXPECT_EQ(help.requests[0].helpFilePath, "/somewhere/Converter.HLP");
}

} // namespace
} // namespace relicwright::testing
