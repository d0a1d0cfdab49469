// Awkward files, names and places, each loaded or saved through the workflow: the exact text the
// user is shown (or what the program does instead), and no file of the user's changed or left over.
#include "WorkflowHarness.h"

#include "fuzz/ReferenceConversion.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>

namespace relicwright::testing {
namespace {

enum class Action { Load, Save };

// What the user sees. A null message means the operation succeeds: a load shows `game` and `item`
// and proposes `stored` as the output name (when given), a save writes the converted item to `stored`
// (relative to the scratch directory).
struct Outcome {
    const char* message = nullptr;
    std::string game;
    std::string item;
    std::string stored;
};

struct Setting {
    ScratchDirectory dir;
    std::vector<int> held; // descriptors standing for another program that holds a lock
    ~Setting() {
        for (const int fd : held) {
            ::close(fd);
        }
    }
    void hold(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        held.push_back(fd);
    }
};

struct BadInput {
    const char* label;
    Action action;
    // Creates whatever the row needs and returns the path the file dialog answers with.
    std::function<std::string(Setting&)> prepare;
    Outcome ordinaryUser;
    std::optional<Outcome> root; // when root is treated differently
};

const Bytes kDagger = itemFile(GameVariant::Diablo, 33, 1);
const Bytes kAmulet = itemFile(GameVariant::Hellfire, 77, 2);

Bytes resized(Bytes bytes, std::size_t size, std::uint8_t fill = 0xEE) {
    bytes.resize(size, fill);
    return bytes;
}

std::function<std::string(Setting&)> file(std::string name, Bytes content) {
    return [name, content](Setting& s) {
        ScratchDirectory::writeBytes(s.dir.file(name), content);
        return s.dir.file(name);
    };
}
std::function<std::string(Setting&)> nothingAt(std::string name) {
    return [name](Setting& s) {
        return s.dir.file(name);
    };
}
std::string longerThanPathMax(const ScratchDirectory& dir) {
    std::string path = dir.path();
    while (path.size() <= PATH_MAX) {
        path += "/" + std::string(200, 'p');
    }
    return path + "/item.itm";
}

// Regular files anywhere under the directory with their bytes; fails the test on a temporary file.
void collect(const std::string& base, const std::string& prefix, std::map<std::string, Bytes>& files) {
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        EXPECT_NE(name.rfind(".relicwright-", 0), 0u) << "temporary file left: " << prefix << name;
        struct stat info {};
        const std::string path = base + "/" + name;
        if (::lstat(path.c_str(), &info) != 0) {
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            collect(path, prefix + name + "/", files);
        } else if (S_ISREG(info.st_mode)) {
            files[prefix + name] = ScratchDirectory::readBytes(path).value_or(Bytes{});
        }
    }
    ::closedir(dir);
}
std::map<std::string, Bytes> filesUnder(const ScratchDirectory& dir) {
    std::map<std::string, Bytes> files;
    collect(dir.path(), "", files);
    return files;
}

void PrintTo(const BadInput& row, std::ostream* out) {
    *out << row.label;
}

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, ShowTheRightTextAndLoseNothing) {
    const BadInput& row = GetParam();
    const Outcome& want = runningAsRoot() && row.root ? *row.root : row.ordinaryUser;
    Setting setting;
    ScratchDirectory sourceDir;
    WorkflowHarness h;
    if (row.action == Action::Save) {
        // Something to save: a dagger loaded from elsewhere, headed for Hellfire.
        ScratchDirectory::writeBytes(sourceDir.file("source.itm"), kDagger);
        ASSERT_FALSE(h.load(sourceDir.file("source.itm")));
    }
    const std::string path = row.prepare(setting);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    const auto filesBefore = filesUnder(setting.dir);
    const WorkflowSnapshot before(h);

    const auto error = row.action == Action::Load ? h.load(path) : h.save(path);

    auto filesAfter = filesUnder(setting.dir);
    if (want.message != nullptr) {
        ASSERT_TRUE(error) << "the operation succeeded";
        EXPECT_EQ(error->message(), withPath(want.message, path));
        EXPECT_TRUE(h.window.messages.empty());
        if (row.action == Action::Load) {
            EXPECT_TRUE(WorkflowSnapshot(h) == before);
        }
        EXPECT_EQ(filesAfter, filesBefore);
        return;
    }
    ASSERT_FALSE(error) << error->message();
    if (row.action == Action::Load) {
        EXPECT_EQ(h.window.sourceGameField, want.game);
        EXPECT_EQ(h.window.itemField, want.item);
        if (!want.stored.empty()) {
            EXPECT_EQ(h.converter.state().outputFileName, want.stored);
        }
        const auto bytes = ScratchDirectory::readBytes(path);
        if (want.game != "Invalid Game") {
            ASSERT_TRUE(bytes);
            EXPECT_EQ(h.converter.sharedImage(), fuzz::expectedImageAfterRead(*bytes));
        }
        EXPECT_EQ(filesAfter, filesBefore);
        return;
    }
    const auto expected =
        fuzz::expectedSave(before.image, "Diablo", h.itemList.selectedText(), "Hellfire", 33, true);
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"File saved to Harddrive"});
    ASSERT_TRUE(filesAfter.count(want.stored)) << "nothing at " << want.stored;
    EXPECT_EQ(filesAfter[want.stored], Bytes(expected.image.begin(), expected.image.end()));
    filesAfter.erase(want.stored);
    auto unchanged = filesBefore;
    unchanged.erase(want.stored);
    EXPECT_EQ(filesAfter, unchanged);
}

std::string printable(const ::testing::TestParamInfo<BadInput>& info) {
    std::string name;
    for (const char* c = info.param.label; *c != '\0'; ++c) {
        name.push_back(std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_');
    }
    return name;
}

const std::string kName255 = std::string(251, 'n') + ".itm";
const std::string kName256 = std::string(252, 'n') + ".itm";
const std::string kSaveName255 = std::string(251, 's') + ".hif";

constexpr const char* kAccessDenied = "Access to %1 was denied.";
constexpr const char* kNotFound = "%1 was not found.";
constexpr const char* kInvalidPath = "%1 contains an invalid path.";
constexpr const char* kSharing = "A sharing violation occurred while accessing %1.";

Outcome loads(std::string game, std::string item, std::string proposed = "") {
    return Outcome{nullptr, std::move(game), std::move(item), std::move(proposed)};
}
Outcome saves(std::string stored) {
    return Outcome{nullptr, "", "", std::move(stored)};
}
Outcome refused(const char* message) {
    return Outcome{message, "", "", ""};
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadInputs,
    ::testing::Values(
        // Sizes: never rejected, the first 400 bytes count, the rest of the image is zero.
        BadInput{"load 0 bytes",
                 Action::Load,
                 file("empty.itm", {}),
                 loads("Diablo", "Not registered Item!!!"),
                 {}},
        BadInput{
            "load 1 byte", Action::Load, file("one.itm", {7}), loads("Diablo", "Not registered Item!!!"), {}},
        BadInput{"load 399 bytes",
                 Action::Load,
                 file("short.itm", resized(kDagger, 399)),
                 loads("Diablo", "Dagger"),
                 {}},
        BadInput{"load 400 bytes", Action::Load, file("full.hif", kAmulet), loads("Hellfire", "Amulet"), {}},
        BadInput{"load 401 bytes",
                 Action::Load,
                 file("long.itm", resized(kDagger, 401)),
                 loads("Diablo", "Dagger"),
                 {}},
        BadInput{"load 1 MiB",
                 Action::Load,
                 file("huge.hif", resized(kAmulet, 1 << 20)),
                 loads("Hellfire", "Amulet"),
                 {}},
        // Things named like item files that are not regular files.
        BadInput{"load a directory",
                 Action::Load,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("folder.itm").c_str(), 0755);
                     return s.dir.file("folder.itm");
                 },
                 refused(kAccessDenied),
                 {}},
        BadInput{"load a FIFO",
                 Action::Load,
                 [](Setting& s) {
                     ::mkfifo(s.dir.file("pipe.hif").c_str(), 0644);
                     return s.dir.file("pipe.hif");
                 },
                 refused(kAccessDenied),
                 {}},
        BadInput{"load a dangling link",
                 Action::Load,
                 [](Setting& s) {
                     ::symlink("gone.itm", s.dir.file("dangling.itm").c_str());
                     return s.dir.file("dangling.itm");
                 },
                 refused(kNotFound),
                 {}},
        BadInput{"load a link loop",
                 Action::Load,
                 [](Setting& s) {
                     ::symlink("loop.hif", s.dir.file("loop.hif").c_str());
                     return s.dir.file("loop.hif");
                 },
                 refused(kInvalidPath),
                 {}},
        BadInput{"load without read permission", Action::Load,
                 [](Setting& s) {
                     ScratchDirectory::writeBytes(s.dir.file("secret.itm"), kDagger);
                     ::chmod(s.dir.file("secret.itm").c_str(), 0);
                     return s.dir.file("secret.itm");
                 },
                 refused(kAccessDenied), loads("Diablo", "Dagger")},
        BadInput{"load a file another program holds locked",
                 Action::Load,
                 [](Setting& s) {
                     ScratchDirectory::writeBytes(s.dir.file("held.itm"), kDagger);
                     s.hold(s.dir.file("held.itm"));
                     return s.dir.file("held.itm");
                 },
                 refused(kSharing),
                 {}},
        // Names: shown as they are, never interpreted.
        BadInput{"load a name with percent one",
                 Action::Load,
                 file("100%1 sure.itm", kDagger),
                 loads("Diablo", "Dagger", "100%1 sure.hif"),
                 {}},
        BadInput{"load a missing name with percent one",
                 Action::Load,
                 nothingAt("%1%1.itm"),
                 refused(kNotFound),
                 {}},
        BadInput{"load a name with markup",
                 Action::Load,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("<b>x<").c_str(), 0755);
                     ScratchDirectory::writeBytes(s.dir.file("<b>x</b>.itm"), kDagger);
                     return s.dir.file("<b>x</b>.itm");
                 },
                 loads("Diablo", "Dagger", "b>.hif"),
                 {}},
        BadInput{"load a file name with markup",
                 Action::Load,
                 file("<i>x&amp;<i>.itm", kDagger),
                 loads("Diablo", "Dagger", "<i>x&amp;<i>.hif"),
                 {}},
        BadInput{"load a missing name with markup",
                 Action::Load,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("<i>gone<").c_str(), 0755);
                     return s.dir.file("<i>gone</i>.itm");
                 },
                 refused(kNotFound),
                 {}},
        BadInput{"load a name that is not UTF-8",
                 Action::Load,
                 file("\xff\xfe\x80.hif", kAmulet),
                 loads("Hellfire", "Amulet", "\xff\xfe\x80.itm"),
                 {}},
        BadInput{"load a missing name that is not UTF-8",
                 Action::Load,
                 nothingAt("\xc3\x28.itm"),
                 refused(kNotFound),
                 {}},
        BadInput{
            "load a 255 byte name", Action::Load, file(kName255, kDagger), loads("Diablo", "Dagger"), {}},
        BadInput{"load a 256 byte name", Action::Load, nothingAt(kName256), refused(kInvalidPath), {}},
        BadInput{"load a path longer than allowed",
                 Action::Load,
                 [](Setting& s) { return longerThanPathMax(s.dir); },
                 refused(kInvalidPath),
                 {}},
        // Extensions: only the lower-cased text after the last dot counts.
        BadInput{
            "load ITM", Action::Load, file("SWORD.ITM", kDagger), loads("Diablo", "Dagger", "SWORD.hif"), {}},
        BadInput{"load Hif", Action::Load, file("x.Hif", kAmulet), loads("Hellfire", "Amulet", "x.itm"), {}},
        BadInput{"load itm dot",
                 Action::Load,
                 file("x.itm.", kDagger),
                 loads("Invalid Game", "<not specified>", "Invalid File"),
                 {}},
        BadInput{"load dot itm", Action::Load, file(".itm", kDagger), loads("Diablo", "Dagger", ".hif"), {}},

        // Saving onto awkward targets: refused with the path as chosen, the target keeps its bytes.
        // Refused even for root, who could write it: read-only means the user wants it kept.
        BadInput{"save over a read-only file",
                 Action::Save,
                 [](Setting& s) {
                     ScratchDirectory::writeBytes(s.dir.file("ro.hif"), kAmulet);
                     ::chmod(s.dir.file("ro.hif").c_str(), 0444);
                     return s.dir.file("ro.hif");
                 },
                 refused(kAccessDenied),
                 {}},
        BadInput{"save into a read-only directory", Action::Save,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("rodir").c_str(), 0555);
                     return s.dir.file("rodir/new.hif");
                 },
                 refused(kAccessDenied), saves("rodir/new.hif")},
        BadInput{"save over a file in a read-only directory", Action::Save,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("rodir").c_str(), 0755);
                     ScratchDirectory::writeBytes(s.dir.file("rodir/old.hif"), kAmulet);
                     ::chmod(s.dir.file("rodir").c_str(), 0555);
                     return s.dir.file("rodir/old.hif");
                 },
                 refused(kAccessDenied), saves("rodir/old.hif")},
        BadInput{"save onto a directory",
                 Action::Save,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("folder.hif").c_str(), 0755);
                     return s.dir.file("folder.hif");
                 },
                 refused(kAccessDenied),
                 {}},
        BadInput{"save onto a FIFO",
                 Action::Save,
                 [](Setting& s) {
                     ::mkfifo(s.dir.file("pipe.hif").c_str(), 0644);
                     return s.dir.file("pipe.hif");
                 },
                 refused(kAccessDenied),
                 {}},
        BadInput{"save over a file another program holds locked",
                 Action::Save,
                 [](Setting& s) {
                     ScratchDirectory::writeBytes(s.dir.file("held.hif"), kAmulet);
                     s.hold(s.dir.file("held.hif"));
                     return s.dir.file("held.hif");
                 },
                 refused(kSharing),
                 {}},
        BadInput{"save through a dangling link",
                 Action::Save,
                 [](Setting& s) {
                     ::symlink("made.hif", s.dir.file("link.hif").c_str());
                     return s.dir.file("link.hif");
                 },
                 saves("made.hif"),
                 {}},
        BadInput{"save onto a link loop",
                 Action::Save,
                 [](Setting& s) {
                     ::symlink("loop.hif", s.dir.file("loop.hif").c_str());
                     return s.dir.file("loop.hif");
                 },
                 refused(kInvalidPath),
                 {}},
        BadInput{"save a name with percent one", Action::Save, nothingAt("50%1.hif"), saves("50%1.hif"), {}},
        BadInput{"save a name with markup",
                 Action::Save,
                 [](Setting& s) {
                     ::mkdir(s.dir.file("<b>x<").c_str(), 0755);
                     return s.dir.file("<b>x</b>.hif");
                 },
                 saves("<b>x</b>.hif"),
                 {}},
        BadInput{"save a name that is not UTF-8",
                 Action::Save,
                 nothingAt("\xff\x80.hif"),
                 saves("\xff\x80.hif"),
                 {}},
        BadInput{"save a 255 byte name", Action::Save, nothingAt(kSaveName255), saves(kSaveName255), {}},
        BadInput{"save a 256 byte name",
                 Action::Save,
                 nothingAt(std::string(252, 's') + ".hif"),
                 refused(kInvalidPath),
                 {}},
        BadInput{"save a path longer than allowed",
                 Action::Save,
                 [](Setting& s) { return longerThanPathMax(s.dir); },
                 refused(kInvalidPath),
                 {}}),
    printable);

// A short file read after a full one: the rest of the image is zero, never the earlier file's bytes.
TEST(ShortFiles, NeverShowTheBytesOfTheFileBefore) {
    ScratchDirectory dir;
    ScratchDirectory::writeBytes(dir.file("full.itm"), kDagger);
    for (const std::size_t size : {0u, 1u, 100u, 392u, 399u}) {
        SCOPED_TRACE(size);
        const Bytes shortBytes = resized(itemFile(GameVariant::Diablo, 38, 7), size);
        ScratchDirectory::writeBytes(dir.file("short.itm"), shortBytes);
        WorkflowHarness h;
        ASSERT_FALSE(h.load(dir.file("full.itm")));
        ASSERT_EQ(h.window.itemField, "Dagger");
        ASSERT_FALSE(h.load(dir.file("short.itm")));
        EXPECT_EQ(h.converter.sharedImage(), fuzz::expectedImageAfterRead(shortBytes));
        // Byte 392 (the code) is only in the file from 393 bytes on; before that it reads as zero.
        EXPECT_EQ(h.window.itemField, size > 392 ? "Blade" : "Not registered Item!!!");
    }
}

} // namespace
} // namespace relicwright::testing
