#include "CliRun.h"
#include "WindowSave.h"

#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace relicwright::testing {
namespace {

std::string ext(GameVariant variant) {
    return std::string(variantExtension(variant));
}

std::string targetArgument(GameVariant variant) {
    return variant == GameVariant::Diablo ? "diablo" : "hellfire";
}

ItemFileImage writeItem(const std::string& path, GameVariant variant, std::uint8_t code,
                        std::uint8_t quality = 1, std::uint8_t seed = 1) {
    ItemFileImage image = sampleImage(variant, code, seed);
    image[qualityOffset(variant)] = quality;
    writeBytes(path, toBytes(image));
    return image;
}

bool exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

// The entry that stands for the file's item, found from the codes alone: the one entry whose own
// code in the file's game decodes to the same name as the file's code.
std::optional<std::size_t> entryForCode(GameVariant variant, std::uint8_t code) {
    const std::string_view name = decodeItemName(variant, code);
    if (name == kNotRegisteredItem) {
        return std::nullopt;
    }
    std::optional<std::size_t> found;
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        const std::uint8_t own = encodeListIndex(variant, index);
        if (own != 0 && decodeItemName(variant, own) == name) {
            EXPECT_FALSE(found) << "two entries for code " << int(code);
            found = index;
        }
    }
    return found;
}

std::string lastLine(const std::string& text) {
    const auto end = text.find_last_not_of('\n');
    const auto start = text.find_last_of('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

class ConvertCommand : public ::testing::Test {
protected:
    TempDir dir;

    std::string makeDirectory(const std::string& name) {
        std::filesystem::create_directory(dir.file(name));
        return dir.file(name);
    }
};

TEST_F(ConvertCommand, EveryCodeOfEitherGameConvertsLikeTheWindowSave) {
    for (const GameVariant source : {GameVariant::Diablo, GameVariant::Hellfire}) {
        const std::string sources = makeDirectory("from-" + ext(source));
        std::vector<std::string> arguments;
        for (int code = 0; code < 256; ++code) {
            char name[32];
            std::snprintf(name, sizeof name, "item-%03d.%s", code, ext(source).c_str());
            writeItem(sources + "/" + name, source, static_cast<std::uint8_t>(code),
                      static_cast<std::uint8_t>(code / 3), static_cast<std::uint8_t>(code));
            arguments.push_back(sources + "/" + name);
        }
        for (const GameVariant target : {GameVariant::Diablo, GameVariant::Hellfire}) {
            SCOPED_TRACE(ext(source) + " to " + ext(target));
            const std::string outputs = makeDirectory(ext(source) + "-to-" + ext(target));
            const std::string references = makeDirectory(ext(source) + "-to-" + ext(target) + "-window");
            std::vector<std::string> command = {"convert", "--to", targetArgument(target), "--output-dir",
                                                outputs};
            command.insert(command.end(), arguments.begin(), arguments.end());
            const CliRun run = CliRun::of(command);

            std::size_t converted = 0;
            for (int code = 0; code < 256; ++code) {
                const std::string input = arguments[static_cast<std::size_t>(code)];
                const std::string title = std::filesystem::path(input).stem().string();
                const std::string output = outputs + "/" + title + "." + ext(target);
                const auto entry = entryForCode(source, static_cast<std::uint8_t>(code));
                if (!entry) {
                    EXPECT_FALSE(exists(output)) << code;
                    EXPECT_NE(run.err.find(input + ": not converted: base item code " + std::to_string(code)),
                              std::string::npos)
                        << code;
                    continue;
                }
                ++converted;
                const std::string reference = references + "/" + title + "." + ext(target);
                const WindowSave window = WindowSave::run(input, target, *entry, reference);
                ASSERT_TRUE(window.saved()) << code << ": " << window.message;
                EXPECT_EQ(readBytes(output), readBytes(reference)) << "code " << code;
            }
            EXPECT_GT(converted, 80u);
            EXPECT_LT(converted, 256u);
            EXPECT_EQ(run.status, kExitFailed);
            EXPECT_EQ(lastLine(run.out), "converted " + std::to_string(converted) + " of 256 files");
        }
    }
}

TEST_F(ConvertCommand, EveryChosenEntryConvertsLikeTheWindowSave) {
    for (const GameVariant source : {GameVariant::Diablo, GameVariant::Hellfire}) {
        const std::string input = dir.file("held." + ext(source));
        writeItem(input, source, source == GameVariant::Diablo ? 113 : 118, 7);
        for (const GameVariant target : {GameVariant::Diablo, GameVariant::Hellfire}) {
            const std::string outputs = makeDirectory(ext(source) + "-to-" + ext(target));
            for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
                SCOPED_TRACE(ext(source) + " to " + ext(target) + ", entry " + std::to_string(index));
                const std::string output = outputs + "/" + std::to_string(index) + "." + ext(target);
                const std::string reference =
                    outputs + "/" + std::to_string(index) + "-window." + ext(target);
                const CliRun run = CliRun::of({"convert", "--to", targetArgument(target), "--item",
                                               std::to_string(index), "--output", output, input});
                const WindowSave window = WindowSave::run(input, target, index, reference);
                if (window.saved()) {
                    EXPECT_EQ(run.status, kExitDone) << run.err;
                    EXPECT_EQ(readBytes(output), readBytes(reference));
                } else {
                    EXPECT_EQ(run.status, kExitFailed);
                    EXPECT_FALSE(exists(output));
                    EXPECT_NE(run.err.find(input + ": not converted: entry " + std::to_string(index)),
                              std::string::npos)
                        << run.err;
                    EXPECT_NE(run.err.find("has no item code"), std::string::npos) << run.err;
                }
            }
        }
    }
}

TEST_F(ConvertCommand, DaggerMovesToHellfireNumberingAndKeepsTheRecord) {
    const ItemFileImage source = writeItem(dir.file("dagger.itm"), GameVariant::Diablo, 113, 4);
    const CliRun run = CliRun::of({"convert", "--to", "hellfire", dir.file("dagger.itm")});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_EQ(run.out, dir.file("dagger.itm") + " -> " + dir.file("dagger.hif") +
                           " (Hellfire, Dagger)\nconverted 1 of 1 files\n");
    EXPECT_TRUE(run.err.empty());

    const auto output = readBytes(dir.file("dagger.hif"));
    ASSERT_EQ(output.size(), 400u);
    EXPECT_EQ(std::string(output.begin(), output.begin() + 28),
              std::string("HELLFIRE ITEM FILE") + std::string(10, '\0'));
    for (std::size_t i = 0; i < 368; ++i) {
        const std::uint8_t expected = i == 360 ? 118 : source[32 + i];
        EXPECT_EQ(output[28 + i], expected) << "record byte " << i;
    }
    EXPECT_EQ(std::vector<std::uint8_t>(output.begin() + 396, output.end()), std::vector<std::uint8_t>(4, 0));
}

TEST_F(ConvertCommand, UniqueNoveltyRingAndAmuletFindTheirOwnEntries) {
    struct Case {
        const char* name;
        GameVariant source;
        std::uint8_t code;
        std::uint8_t expectedCode;
        std::uint8_t expectedQuality;
        const char* shownAs;
    };
    // Quality 9 in every source, so a byte left alone is told apart from one that was set.
    const Case cases[] = {
        {"cleaver.itm", GameVariant::Diablo, 6, 6, 2, "Butcher's Cleaver"},
        {"map.hif", GameVariant::Hellfire, 22, 22, 0, "Map of the Stars"},
        {"brain.itm", GameVariant::Diablo, 18, 18, 0, "Brain"},
        {"ring.itm", GameVariant::Diablo, 153, 156, 9, "Ring"},
        {"amulet.hif", GameVariant::Hellfire, 160, 154, 9, "Amulet"},
        {"axe.hif", GameVariant::Hellfire, 135, 130, 9, "Great Axe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeItem(dir.file(c.name), c.source, c.code, 9);
        const GameVariant target = otherVariant(c.source);
        const CliRun run = CliRun::of({"convert", "--to", targetArgument(target), dir.file(c.name)});
        ASSERT_EQ(run.status, kExitDone) << run.err;
        EXPECT_NE(run.out.find(std::string(variantText(target)) + ", " + c.shownAs + ")"), std::string::npos)
            << run.out;
        const std::string output =
            dir.file(std::filesystem::path(c.name).stem().string() + "." + ext(target));
        const auto bytes = readBytes(output);
        ASSERT_EQ(bytes.size(), 400u);
        EXPECT_EQ(bytes[codeOffset(target)], c.expectedCode);
        EXPECT_EQ(bytes[qualityOffset(target)], c.expectedQuality);
    }
}

TEST_F(ConvertCommand, SameGameKeepsTheSourceHeaderAndTail) {
    ItemFileImage source = sampleImage(GameVariant::Hellfire, 135, 5);
    source[3] = 'x'; // not the standard header
    writeBytes(dir.file("odd.hif"), toBytes(source));
    const std::string outputs = makeDirectory("out");
    const CliRun run =
        CliRun::of({"convert", "--to", "hellfire", "--output-dir", outputs, dir.file("odd.hif")});
    ASSERT_EQ(run.status, kExitDone) << run.err;
    EXPECT_EQ(readBytes(outputs + "/odd.hif"), toBytes(source));
}

TEST_F(ConvertCommand, ItemNamesIgnoreCaseAndRunsOfSpaces) {
    writeItem(dir.file("any.itm"), GameVariant::Diablo, 113, 9);
    struct Case {
        const char* given;
        std::uint8_t code;
        std::uint8_t quality;
    };
    const Case cases[] = {
        {"brain", 18, 0},
        {"Brain             (Novelty)", 18, 0},
        {"  BUTCHER'S   cleaver  (unique) ", 6, 2},
        {"map of the stars", 22, 0},
        {"Map of Stars", 22, 0},
        {"long  war bow", 150, 9},
        {"93", 18, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const std::string output = dir.file("named.hif");
        const CliRun run = CliRun::of(
            {"convert", "--to", "hellfire", "--force", "--item", c.given, "-o", output, dir.file("any.itm")});
        ASSERT_EQ(run.status, kExitDone) << run.err;
        const auto bytes = readBytes(output);
        EXPECT_EQ(bytes[388], c.code);
        EXPECT_EQ(bytes[88], c.quality);
    }
}

TEST_F(ConvertCommand, AnItemThatNamesNoEntryIsAUsageErrorBeforeAnyFile) {
    writeItem(dir.file("any.itm"), GameVariant::Diablo, 113);
    for (const std::string value : {"Excalibur", "101", "-1", "Dagge"}) {
        SCOPED_TRACE(value);
        const CliRun run =
            CliRun::of({"convert", "--to", "hellfire", "--item=" + value, dir.file("any.itm")});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_NE(run.err.find(value), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"any.itm"});
}

TEST_F(ConvertCommand, RefusedAndFailedFilesAreNamedWhileTheOthersGoOn) {
    writeItem(dir.file("first.itm"), GameVariant::Diablo, 113);
    writeItem(dir.file("notes.txt"), GameVariant::Diablo, 113);
    writeItem(dir.file("strange.itm"), GameVariant::Diablo, 200);
    writeItem(dir.file("last.hif"), GameVariant::Hellfire, 118);
    const std::string missing = dir.file("missing.itm");
    const std::string out = makeDirectory("out");
    const CliRun run =
        CliRun::of({"convert", "--to", "diablo", "--output-dir", out, dir.file("first.itm"),
                    dir.file("notes.txt"), dir.file("strange.itm"), missing, dir.file("last.hif")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(lastLine(run.out), "converted 2 of 5 files");
    EXPECT_EQ(TempDir::entriesOf(out), (std::vector<std::string>{"first.itm", "last.itm"}));
    EXPECT_EQ(readBytes(out + "/last.itm")[392], 113);
    EXPECT_NE(run.err.find(dir.file("notes.txt") + ": not converted: not an item file"), std::string::npos)
        << run.err;
    EXPECT_NE(
        run.err.find(dir.file("strange.itm") + ": not converted: base item code 200 is not a registered"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(missing + ": not converted: " +
                           FileError(FileErrorCause::NotFound, ENOENT, missing).message()),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(missing + " was not found."), std::string::npos) << run.err;
}

TEST_F(ConvertCommand, ConvertingToTheFilesOwnGameNeverReplacesItWithoutForce) {
    const ItemFileImage original = writeItem(dir.file("keep.itm"), GameVariant::Diablo, 113);
    const CliRun run = CliRun::of({"convert", "--to", "diablo", dir.file("keep.itm")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find("already exists; use --force"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(dir.file("keep.itm")), toBytes(original));
}

TEST_F(ConvertCommand, AnExistingOutputIsReplacedOnlyWithForce) {
    writeItem(dir.file("sword.itm"), GameVariant::Diablo, 120);
    const std::vector<std::uint8_t> previous(123, 0xAB);
    writeBytes(dir.file("sword.hif"), previous);

    const CliRun refused = CliRun::of({"convert", "--to", "hellfire", dir.file("sword.itm")});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find(dir.file("sword.hif") + " already exists; use --force to replace it"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(lastLine(refused.out), "converted 0 of 1 files");
    EXPECT_EQ(readBytes(dir.file("sword.hif")), previous);

    const CliRun forced = CliRun::of({"convert", "--to", "hellfire", "--force", dir.file("sword.itm")});
    EXPECT_EQ(forced.status, kExitDone) << forced.err;
    const WindowSave window =
        WindowSave::run(dir.file("sword.itm"), GameVariant::Hellfire, 40, dir.file("window.hif"));
    ASSERT_TRUE(window.saved());
    EXPECT_EQ(readBytes(dir.file("sword.hif")), readBytes(dir.file("window.hif")));
}

TEST_F(ConvertCommand, OneRunNeverOverwritesWhatItWroteItself) {
    writeItem(dir.file("twin.itm"), GameVariant::Diablo, 113);
    writeItem(dir.file("twin.ITM"), GameVariant::Diablo, 120);
    const CliRun run =
        CliRun::of({"convert", "--to", "hellfire", "--force", dir.file("twin.itm"), dir.file("twin.ITM")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find(dir.file("twin.ITM") + ": not converted: " + dir.file("twin.hif") +
                           " was already written by this run"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(readBytes(dir.file("twin.hif"))[388], 118); // the first file's Dagger
}

TEST_F(ConvertCommand, OutputsAreNamedLikeTheWindowProposes) {
    writeItem(dir.file("SWORD.ITM"), GameVariant::Diablo, 120);
    writeItem(dir.file("a.b.hif"), GameVariant::Hellfire, 125);
    const std::string elsewhere = makeDirectory("elsewhere");

    EXPECT_EQ(CliRun::of({"convert", "--to", "hellfire", dir.file("SWORD.ITM")}).status, kExitDone);
    EXPECT_TRUE(exists(dir.file("SWORD.hif")));

    EXPECT_EQ(CliRun::of({"convert", "--to", "diablo", "--output-dir", elsewhere + "/", dir.file("a.b.hif")})
                  .status,
              kExitDone);
    EXPECT_EQ(TempDir::entriesOf(elsewhere), std::vector<std::string>{"a.b.itm"});

    // The format follows --to, whatever the chosen name says.
    const CliRun named =
        CliRun::of({"convert", "--to", "diablo", "--output", dir.file("chosen.hif"), dir.file("a.b.hif")});
    EXPECT_EQ(named.status, kExitDone) << named.err;
    EXPECT_EQ(named.out, dir.file("a.b.hif") + " -> " + dir.file("chosen.hif") +
                             " (Diablo, Long Sword)\n"
                             "converted 1 of 1 files\n");
    EXPECT_EQ(readBytes(dir.file("chosen.hif"))[392], 120);
}

TEST_F(ConvertCommand, UsageErrorsWriteNothing) {
    writeItem(dir.file("one.itm"), GameVariant::Diablo, 113);
    writeItem(dir.file("two.itm"), GameVariant::Diablo, 114);
    const std::string out = makeDirectory("out");
    const std::vector<std::vector<std::string>> commands = {
        {"convert", "--to", "hellfire", "--output", dir.file("x.hif"), dir.file("one.itm"),
         dir.file("two.itm")},
        {"convert", "--to", "hellfire", "--output", dir.file("x.hif"), "--output-dir", out,
         dir.file("one.itm")},
        {"convert", dir.file("one.itm")},
        {"convert", "--to", "hellfire"},
        {"convert", "--to", "elfland", dir.file("one.itm")},
        {"convert", "--to", "hellfire", "--output-dir", dir.file("nowhere"), dir.file("one.itm")},
        {"convert", "--to", "hellfire", "--frobnicate", dir.file("one.itm")},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.back());
        const CliRun run = CliRun::of(command);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"one.itm", "out", "two.itm"}));
    EXPECT_TRUE(TempDir::entriesOf(out).empty());
    EXPECT_NE(CliRun::of(commands.front()).err.find("--output"), std::string::npos);
}

TEST_F(ConvertCommand, AFailedWriteIsReportedInTheWindowsWords) {
    writeItem(dir.file("one.itm"), GameVariant::Diablo, 113);
    const std::string unreachable = dir.file("no-such-directory/one.hif");
    const CliRun run =
        CliRun::of({"convert", "--to", "hellfire", "--output", unreachable, dir.file("one.itm")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, dir.file("one.itm") + ": not converted: " +
                           FileError(FileErrorCause::NotFound, ENOENT, unreachable).message() + "\n");
    EXPECT_EQ(lastLine(run.out), "converted 0 of 1 files");
}

} // namespace
} // namespace relicwright::testing
