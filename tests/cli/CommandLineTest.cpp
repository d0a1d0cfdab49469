#include "CommandLine.h"
#include "WideText.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace relicwright::testing {
namespace {

class CommandLineTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    std::string out, err;

    int run(std::vector<std::string> arguments, const std::vector<FileError>& refused = {}) {
        std::ostringstream o, e;
        const int status = CommandLine::run(arguments, o, e, refused);
        out = o.str();
        err = e.str();
        return status;
    }
};

// An entry named in any letter case; the output named after the file's title, as the window proposes.
TEST_F(CommandLineTest, ConvertTakesAnEntryByNameAndNamesTheOutputAsTheWindowProposes) {
    const std::string source = dir.write("Sword.ITM", sampleImage(GameVariant::Diablo, 120, 4));
    ASSERT_EQ(run({"convert", "--to", "HELLFIRE", "--item", "brain", source}), 0) << err;
    EXPECT_EQ(out, source + " -> " + dir.path("Sword.hif") + " (Hellfire, Brain)\nconverted 1 of 1 files\n");
    EXPECT_EQ(dir.read("Sword.hif").at(388), 18);
}

TEST_F(CommandLineTest, EachFileSucceedsOrFailsOnItsOwnAndTheStatusSaysWhich) {
    const std::string a = dir.write("a.itm", sampleImage(GameVariant::Diablo, 113));
    const std::string unknown = dir.write("u.hif", sampleImage(GameVariant::Hellfire, 113));
    const std::string hif = dir.write("a.hif", sampleImage(GameVariant::Hellfire, 1));

    // An existing output is kept without --force; the unregistered item needs --item.
    EXPECT_EQ(run({"convert", "--to", "hellfire", a, unknown}), 1);
    EXPECT_NE(err.find("a.hif already exists; use --force to replace it"), std::string::npos) << err;
    EXPECT_NE(err.find("base item code 113 is not a registered \"Hellfire\" item"), std::string::npos) << err;
    EXPECT_EQ(out, "converted 0 of 2 files\n");
    EXPECT_EQ(dir.read("a.hif"), bytesOf(sampleImage(GameVariant::Hellfire, 1)));

    // With --force it is replaced, but one run never overwrites its own output.
    EXPECT_EQ(run({"convert", "--force", "--to", "hellfire", a, a}), 1);
    EXPECT_EQ(dir.read("a.hif").at(388), 118);
    EXPECT_NE(err.find("was already written by this run"), std::string::npos) << err;
    EXPECT_EQ(run({"convert", "--to", "diablo", "--item", "32", "-o", dir.path("x.itm"), hif}), 1);
    EXPECT_NE(err.find("has no item code"), std::string::npos);
    std::filesystem::create_directory(dir.path("out"));
    EXPECT_EQ(run({"convert", "--to", "diablo", "--item", "Ring", "--output-dir", dir.path("out"), unknown}), 0);
    EXPECT_EQ(dir.read("out/u.itm").at(392), 151);
}

TEST_F(CommandLineTest, ManyFilesAreReportedInTheOrderGiven) {
    std::vector<std::string> arguments{"convert", "--to", "hellfire"};
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        arguments.push_back(dir.write(std::to_string(i) + ".itm", sampleImage(GameVariant::Diablo, 113)));
        expected +=
            arguments.back() + " -> " + dir.path(std::to_string(i) + ".hif") + " (Hellfire, Dagger)\n";
    }
    ASSERT_EQ(run(arguments), 0) << err;
    EXPECT_EQ(out, expected + "converted 40 of 40 files\n");
}

TEST_F(CommandLineTest, UsageErrorsExitWithTwo) {
    const std::string a = dir.write("a.itm", sampleImage(GameVariant::Diablo, 113));
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"convert", a},
             {"convert", "--to", "doom", a},
             {"convert", "--to", "diablo", "--item", "sword", a},
             {"convert", "--to", "diablo", "--item", "101", a},
             {"convert", "--to", "diablo", "-o", dir.path("o.itm"), a, a},
             {"frobnicate"}}) {
        EXPECT_EQ(run(arguments), 2) << arguments.back() << err;
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.itm"});
}

// A Windows name that did not convert is refused by its shown name, never read as that; others go on.
TEST_F(CommandLineTest, AnArgumentThatDidNotConvertIsRefusedAndTheOthersGoOn) {
    const std::string good = dir.write("good.itm", sampleImage(GameVariant::Diablo, 113));
    const std::string shown = dir.write("shown.itm", sampleImage(GameVariant::Diablo, 113));
    const std::string shownOutput = dir.path("shown.hif");
    const std::vector<FileError> refused{FileError(FileErrorCause::InvalidPath, kNoUnicodeTranslation, shown),
                                         FileError(FileErrorCause::InvalidPath, kNoUnicodeTranslation, shownOutput)};
    const std::string refusal = shown + " contains an invalid path.\n";

    EXPECT_EQ(run({"info", shown, good}, refused), 1);
    EXPECT_EQ(err, shown + ": " + refusal);
    EXPECT_EQ(out.find(shown), std::string::npos) << out;
    EXPECT_NE(out.find(good), std::string::npos) << out;

    EXPECT_EQ(run({"convert", "--to", "hellfire", good, shown}, refused), 1);
    EXPECT_EQ(err, shown + ": not converted: " + refusal);
    EXPECT_EQ(out, good + " -> " + dir.path("good.hif") + " (Hellfire, Dagger)\nconverted 1 of 2 files\n");

    // As the output it stops the command before any file.
    EXPECT_EQ(run({"convert", "--force", "--to", "hellfire", "-o", shownOutput, good}, refused), 2);
    EXPECT_NE(err.find(shownOutput + " contains an invalid path."), std::string::npos) << err;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"good.hif", "good.itm", "shown.itm"}));
}

TEST_F(CommandLineTest, InfoAndItemsDescribeFilesAndEntries) {
    const std::string hif = dir.write("m.hif", sampleImage(GameVariant::Hellfire, 22, 0));
    const std::string txt = dir.write("n.txt", std::vector<std::uint8_t>(10, 1));
    ASSERT_EQ(run({"info", "--json", hif, txt}), 0) << err;
    const auto json = nlohmann::json::parse(out);
    EXPECT_EQ(json.at(0).at("variant"), "Hellfire");
    EXPECT_EQ(json.at(0).at("code"), 22);
    EXPECT_EQ(json.at(0).at("name"), "Map of Stars");
    EXPECT_EQ(json.at(0).at("standardHeader"), true);
    EXPECT_EQ(json.at(0).at("quality"), 0);
    EXPECT_EQ(json.at(1).at("variant"), "invalid");
    EXPECT_EQ(json.at(1).at("size"), 10);
    EXPECT_EQ(run({"info", dir.path("missing.itm")}), 1);
    EXPECT_NE(err.find("was not found."), std::string::npos);
    ASSERT_EQ(run({"items", "--json"}), 0);
    EXPECT_EQ(nlohmann::json::parse(out).size(), 101u);
    EXPECT_EQ(nlohmann::json::parse(out).at(33).at("Hellfire"), 118);
}

} // namespace
} // namespace relicwright::testing
