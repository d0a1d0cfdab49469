#include "Application.h"
#include "ConversionReport.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace relicwright::testing {
namespace {

using Action = Application::Start::Action;

std::string fromHere(const std::string& name) {
    const std::u8string text = (std::filesystem::current_path() / name).lexically_normal().u8string();
    return std::string(text.begin(), text.end());
}

// A file manager's entry names the game once and then every selected file, relative or full.
TEST(ConvertStart, TakesTheGameAndEveryFileInOrder) {
    auto start = Application::startFrom({"--convert-to", "hellfire", "b.itm", "dir/a b.itm", "/x/c.itm"}, "relicwright");
    EXPECT_EQ(start.action, Action::Convert);
    EXPECT_EQ(start.target, GameVariant::Hellfire);
    EXPECT_EQ(start.files, (std::vector<std::string>{fromHere("b.itm"), fromHere("dir/a b.itm"),
                                                     fromHere("/x/c.itm")}));

    start = Application::startFrom({"z.hif", "--convert-to=Diablo", "--", "-y.hif"}, "relicwright");
    EXPECT_EQ(start.action, Action::Convert);
    EXPECT_EQ(start.target, GameVariant::Diablo);
    EXPECT_EQ(start.files, (std::vector<std::string>{fromHere("z.hif"), fromHere("-y.hif")}));
}

// A usage error names the problem, then the usage, and starts nothing.
TEST(ConvertStart, RefusesAMissingOrUnknownGameNoFilesAndUnknownOptions) {
    for (const auto& [arguments, problem] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"-x"}, "unknown option -x"},
             {{"a.itm", "--convert-to"}, "--convert-to needs a game: hellfire or diablo"},
             {{"--convert-to", "hellfire2", "a.itm"},
              "--convert-to: unknown game hellfire2; hellfire or diablo"},
             {{"--convert-to", "diablo"}, "--convert-to needs at least one file"},
             {{"a.itm", "b.itm"}, "one file at a time"}}) {
        const auto start = Application::startFrom(arguments, "rw");
        EXPECT_EQ(start.action, Action::UsageError);
        EXPECT_EQ(start.status, 2);
        EXPECT_EQ(start.text.rfind("rw: " + problem + "\nUsage: rw [FILE]\n", 0), 0u) << start.text;
        EXPECT_FALSE(start.file);
        EXPECT_TRUE(start.files.empty());
    }
}

// However many files fail, the box stays readable; a run where every file converted shows nothing.
TEST(ConversionReportSummary, NamesTheFirstFilesNotConvertedAndCountsTheRest) {
    ConversionReport report(GameVariant::Hellfire);
    report.addConverted();
    EXPECT_EQ(report.summary(), "");
    EXPECT_EQ(report.status(), 0);

    const std::size_t failed = ConversionReport::kListedFiles + 280;
    for (std::size_t index = 0; index < failed; ++index) {
        report.addNotConverted("/items/f" + std::to_string(index) + ".itm", "reason " + std::to_string(index));
    }
    const std::string summary = report.summary();
    EXPECT_EQ(summary.substr(0, summary.find('\n')), std::to_string(failed) + " of " + std::to_string(failed + 1) +
                                                         " files were not converted to Hellfire:");
    EXPECT_NE(summary.find("\nf0.itm: reason 0\n"), std::string::npos) << summary;
    const std::string last = std::to_string(ConversionReport::kListedFiles - 1);
    EXPECT_NE(summary.find("\nf" + last + ".itm: reason " + last + "\n... and 280 more."), std::string::npos);
    EXPECT_EQ(summary.find("reason " + std::to_string(ConversionReport::kListedFiles)), std::string::npos);
    EXPECT_EQ(report.status(), 1);
    EXPECT_EQ(report.icon(), MessageIcon::Exclamation);
}

// Every kind of file a selection may hold, in one run: only the good one written, the rest reported
// in order in the program's words; nothing replaced, nothing left over.
TEST(ConversionReportRun, ConvertsBesideEachFileAndReportsTheRestInOrder) {
    ScratchDirectory dir;
    const ItemFileImage dagger = sampleImage(GameVariant::Diablo, 113);
    const std::vector<std::string> files{
        dir.write("good.itm", dagger),      dir.write("exists.itm", dagger), dir.path("missing.itm"),
        dir.write("fake.itm", std::vector<std::uint8_t>(400, 200)), dir.write("already.hif", dagger),
        dir.write("notes.txt", dagger),     dir.path("folder.itm")};
    dir.write("exists.hif", std::vector<std::uint8_t>{'k'});
    std::filesystem::create_directory(dir.path("folder.itm"));

    const ConversionReport report = ConversionReport::run(GameVariant::Hellfire, files);
    EXPECT_EQ(report.convertedCount(), 1u);
    EXPECT_EQ(dir.read("good.hif").size(), 400u);
    EXPECT_EQ(dir.read("exists.hif"), std::vector<std::uint8_t>{'k'});
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"already.hif", "exists.hif", "exists.itm", "fake.itm",
                                                     "folder.itm", "good.hif", "good.itm", "notes.txt"}));
    using Line = std::pair<std::string, std::string>;
    const std::vector<Line>& lines = report.notConverted();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], Line(files[1], dir.path("exists.hif") + " already exists"));
    EXPECT_EQ(lines[1], Line(files[2], files[2] + " was not found."));
    EXPECT_EQ(lines[2], Line(files[3], "base item code 200 is not a registered \"Diablo\" item"));
    EXPECT_EQ(lines[3], Line(files[4], "already a Hellfire item file"));
    EXPECT_EQ(lines[4], Line(files[5], "not an item file: the extension is neither .itm nor .hif"));
    EXPECT_EQ(lines[5].first, files[6]);
    EXPECT_FALSE(lines[5].second.empty());
    EXPECT_EQ(report.status(), 1);
}

} // namespace
} // namespace relicwright::testing
