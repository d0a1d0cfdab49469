#include "converter/Application.h"
#include "converter/ConversionReport.h"

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
                                                     std::filesystem::path("/x/c.itm").lexically_normal().string()}));

    start = Application::startFrom({"z.hif", "--convert-to=Diablo", "--", "-y.hif"}, "relicwright");
    EXPECT_EQ(start.action, Action::Convert);
    EXPECT_EQ(start.target, GameVariant::Diablo);
    EXPECT_EQ(start.files, (std::vector<std::string>{fromHere("z.hif"), fromHere("-y.hif")}));
}

TEST(ConvertStart, RefusesAMissingOrUnknownGameAndNoFiles) {
    for (const auto& [arguments, problem] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"a.itm", "--convert-to"}, "--convert-to needs a game: hellfire or diablo"},
             {{"--convert-to", "hellfire2", "a.itm"}, "--convert-to: unknown game hellfire2; hellfire or diablo"},
             {{"--convert-to", "diablo"}, "--convert-to needs at least one file"},
             {{"a.itm", "b.itm"}, "one file at a time"}}) {
        const auto start = Application::startFrom(arguments, "rw");
        EXPECT_EQ(start.action, Action::UsageError);
        EXPECT_EQ(start.status, 2);
        EXPECT_EQ(start.text.substr(0, start.text.find('\n')), "rw: " + problem);
    }
}

// However many files fail, the one message box stays readable: the first ones by name, the rest
// counted; and a run where every file converted shows nothing.
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

} // namespace
} // namespace relicwright::testing
