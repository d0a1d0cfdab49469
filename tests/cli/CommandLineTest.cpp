#include "CliRun.h"

#include "itemdata/ItemCatalogue.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace relicwright::testing {
namespace {

using Json = nlohmann::json;

bool mentions(const std::string& text, const std::string& word) {
    return text.find(word) != std::string::npos;
}

TEST(CommandLine, HelpIsOfferedForTheProgramAndEachCommand) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{"--help"}, {"info", "convert", "items", "--version"}},
        {{"info", "--help"}, {"--json", "FILE"}},
        {{"convert", "--help"}, {"--to", "--item", "--output", "--output-dir", "--force", "FILE"}},
        {{"items", "--help"}, {"--json"}},
    };
    for (const auto& [arguments, words] : cases) {
        SCOPED_TRACE(arguments.front());
        const CliRun run = CliRun::of(arguments);
        EXPECT_EQ(run.status, kExitDone);
        EXPECT_TRUE(run.err.empty()) << run.err;
        for (const auto& word : words) {
            EXPECT_TRUE(mentions(run.out, word)) << word << " in\n" << run.out;
        }
    }
}

TEST(CommandLine, VersionNamesTheProgram) {
    const CliRun run = CliRun::of({"--version"});
    EXPECT_EQ(run.status, kExitDone);
    EXPECT_EQ(run.out, std::string("relicwright-cli ") + RELICWRIGHT_TEST_VERSION + "\n");
}

TEST(CommandLine, AMissingOrUnknownCommandIsAUsageError) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"explode"}, {"info"}, {"items", "extra"}, {"--json"}}) {
        const CliRun run = CliRun::of(arguments);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_TRUE(mentions(run.err, "--help")) << run.err;
    }
}

TEST(CommandLine, ItemsListsEveryEntryWithTheCodesThatConvertWrites) {
    const CliRun json = CliRun::of({"items", "--json"});
    ASSERT_EQ(json.status, kExitDone);
    const Json entries = Json::parse(json.out);
    ASSERT_EQ(entries.size(), 101u);

    // A few entries as players know them.
    EXPECT_EQ(entries[0]["Diablo"], nullptr);
    EXPECT_EQ(entries[33]["entry"], "Dagger");
    EXPECT_EQ(entries[33]["Diablo"], 113);
    EXPECT_EQ(entries[33]["Hellfire"], 118);
    EXPECT_EQ(entries[93]["entry"], "Brain             (Novelty)");
    EXPECT_EQ(entries[97]["Hellfire"], 22);

    // Every listed code is the one a conversion with that entry writes; headings have none.
    TempDir dir;
    writeBytes(dir.file("source.itm"), toBytes(sampleImage(GameVariant::Diablo, 113)));
    std::size_t withCode = 0;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(entries[index]["index"], index);
        for (const std::string game : {"Diablo", "Hellfire"}) {
            const std::string output = dir.file("out." + std::string(game == "Diablo" ? "itm" : "hif"));
            const CliRun run =
                CliRun::of({"convert", "--to", game == "Diablo" ? "diablo" : "hellfire", "--force", "--item",
                            std::to_string(index), "-o", output, dir.file("source.itm")});
            if (entries[index][game].is_null()) {
                EXPECT_EQ(run.status, kExitFailed);
                continue;
            }
            ASSERT_EQ(run.status, kExitDone) << run.err;
            EXPECT_EQ(readBytes(output)[game == "Diablo" ? 392 : 388], entries[index][game].get<int>());
            withCode += game == "Diablo" ? 1u : 0u;
        }
    }
    EXPECT_EQ(withCode, 90u);

    // The table holds the same rows.
    const CliRun table = CliRun::of({"items"});
    ASSERT_EQ(table.status, kExitDone);
    std::size_t start = table.out.find('\n') + 1;
    for (const auto& entry : entries) {
        const auto end = table.out.find('\n', start);
        const std::string line = table.out.substr(start, end - start);
        start = end + 1;
        // Appended piece by piece: GCC 12 at -O3 sees a false overlap in a chain of operator+.
        std::string tail = " ";
        auto column = [&tail](const Json& value, std::size_t width) {
            const std::string code = value.is_null() ? std::string("-") : value.dump();
            tail.append(code).append(width - code.size(), ' ');
        };
        column(entry["Diablo"], 8);
        column(entry["Hellfire"], 10);
        tail += entry["entry"].get<std::string>();
        EXPECT_TRUE(line.starts_with(std::to_string(entry["index"].get<int>()) + " ")) << line;
        EXPECT_TRUE(line.ends_with(tail)) << line;
    }
    EXPECT_EQ(start, table.out.size());
}

} // namespace
} // namespace relicwright::testing
