#include "CliRun.h"

#include "itemdata/FileError.h"
#include "itemdata/ItemFileImage.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <sys/file.h>
#include <unistd.h>

namespace relicwright::testing {
namespace {

using Json = nlohmann::json;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        result.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return result;
}

// Table cells are separated by two or more spaces; names hold single spaces only.
std::vector<std::string> cells(const std::string& line) {
    static const std::regex separator(" {2,}");
    return {std::sregex_token_iterator(line.begin(), line.end(), separator, -1),
            std::sregex_token_iterator()};
}

std::string cellOf(const Json& value) {
    if (value.is_null()) {
        return "-";
    }
    if (value.is_boolean()) {
        return value.get<bool>() ? "standard" : "other";
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.dump();
}

class InfoCommand : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(InfoCommand, TableAndJsonHoldTheSameFacts) {
    ItemFileImage dagger = sampleImage(GameVariant::Diablo, 113, 3);
    dagger[92] = 5;
    writeBytes(dir.file("dagger.itm"), toBytes(dagger));

    ItemFileImage odd = sampleImage(GameVariant::Hellfire, 113, 4); // Hellfire numbers 113 nowhere
    odd[0] = 'h';
    odd[88] = 2;
    writeBytes(dir.file("ODD.HIF"), toBytes(odd));

    ItemFileImage cleaver = sampleImage(GameVariant::Hellfire, 6, 5);
    std::vector<std::uint8_t> longer = toBytes(cleaver);
    longer.resize(1000, 0x77);
    writeBytes(dir.file("long.hif"), longer);

    // Only the header and a little of the record: the rest of the image stays zero.
    std::vector<std::uint8_t> shortFile = toBytes(sampleImage(GameVariant::Diablo, 120, 6));
    shortFile.resize(100);
    writeBytes(dir.file("short.itm"), shortFile);

    writeBytes(dir.file("readme.txt"), std::vector<std::uint8_t>(17, 'r'));

    const std::vector<std::string> files = {dir.file("dagger.itm"), dir.file("ODD.HIF"), dir.file("long.hif"),
                                            dir.file("short.itm"), dir.file("readme.txt")};
    std::vector<std::string> command = {"info", "--json"};
    command.insert(command.end(), files.begin(), files.end());
    const CliRun json = CliRun::of(command);
    ASSERT_EQ(json.status, kExitDone) << json.err;
    EXPECT_TRUE(json.err.empty());
    const Json parsed = Json::parse(json.out);
    ASSERT_TRUE(parsed.is_array());
    ASSERT_EQ(parsed.size(), files.size());

    const Json expected = Json::parse(R"([
        {"variant": "Diablo",   "size": 400,  "standardHeader": true,  "code": 113, "name": "Dagger", "quality": 5},
        {"variant": "Hellfire", "size": 400,  "standardHeader": false, "code": 113, "name": "Not registered Item!!!", "quality": 2},
        {"variant": "Hellfire", "size": 1000, "standardHeader": true,  "code": 6,   "name": "Butcher's Cleaver"},
        {"variant": "Diablo",   "size": 100,  "standardHeader": true,  "code": 0,   "name": "Not registered Item!!!"},
        {"variant": "invalid",  "size": 17,   "standardHeader": null,  "code": null, "name": null, "quality": null}
    ])");
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(parsed[i]["path"], files[i]);
        for (const auto& [key, value] : expected[i].items()) {
            EXPECT_EQ(parsed[i][key], value) << key;
        }
    }
    // Quality bytes come from the file's own bytes: 88 in the long .hif, 92 within the short .itm.
    EXPECT_EQ(parsed[2]["quality"], longer[88]);
    EXPECT_EQ(parsed[3]["quality"], shortFile[92]);

    command.erase(command.begin() + 1);
    const CliRun table = CliRun::of(command);
    ASSERT_EQ(table.status, kExitDone) << table.err;
    const auto rows = lines(table.out);
    ASSERT_EQ(rows.size(), files.size() + 1);
    EXPECT_EQ(cells(rows[0]),
              (std::vector<std::string>{"PATH", "VARIANT", "SIZE", "HEADER", "CODE", "NAME", "QUALITY"}));
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Json& facts = parsed[i];
        EXPECT_EQ(cells(rows[i + 1]),
                  (std::vector<std::string>{facts["path"], facts["variant"], cellOf(facts["size"]),
                                            cellOf(facts["standardHeader"]), cellOf(facts["code"]),
                                            cellOf(facts["name"]), cellOf(facts["quality"])}));
    }
}

TEST_F(InfoCommand, UnreadableFilesAreReportedInTheWindowsWordsAndTheOthersGoOn) {
    writeBytes(dir.file("good.itm"), toBytes(sampleImage(GameVariant::Diablo, 113)));
    writeBytes(dir.file("locked.hif"), toBytes(sampleImage(GameVariant::Hellfire, 118)));
    std::filesystem::create_directory(dir.file("folder.itm"));
    const std::string missing = dir.file("missing.itm");

    // Another program holding the file: the reader's lock is refused.
    const int holder = ::open(dir.file("locked.hif").c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    const CliRun run = CliRun::of(
        {"info", "--json", missing, dir.file("good.itm"), dir.file("folder.itm"), dir.file("locked.hif")});
    ::close(holder);

    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, missing + ": " + missing + " was not found.\n" + dir.file("folder.itm") +
                           ": Access to " + dir.file("folder.itm") + " was denied.\n" +
                           dir.file("locked.hif") + ": A sharing violation occurred while accessing " +
                           dir.file("locked.hif") + ".\n");
    const Json parsed = Json::parse(run.out);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0]["path"], dir.file("good.itm"));
    EXPECT_EQ(parsed[0]["name"], "Dagger");

    // Once the other program lets go, the same file reads.
    EXPECT_EQ(CliRun::of({"info", dir.file("locked.hif")}).status, kExitDone);
}

TEST_F(InfoCommand, PathsThatAreNotUtf8StillGiveValidJson) {
    const std::string name = dir.file("caf\xE9.itm");
    writeBytes(name, toBytes(sampleImage(GameVariant::Diablo, 113)));
    const CliRun json = CliRun::of({"info", "--json", name});
    ASSERT_EQ(json.status, kExitDone) << json.err;
    const Json parsed = Json::parse(json.out);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0]["name"], "Dagger");
    EXPECT_NE(parsed[0]["path"].get<std::string>().find("caf"), std::string::npos);

    // The table shows the bytes as they are.
    EXPECT_NE(CliRun::of({"info", name}).out.find(name), std::string::npos);
}

} // namespace
} // namespace relicwright::testing
