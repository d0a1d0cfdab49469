#include "FileSteps.h"
#include "ItemFileIo.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace relicwright {
namespace {

using testing::ScratchDirectory;

// The checks go through the wide API directly, so a wrong conversion of a name cannot hide itself.
std::wstring wide(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), size);
    text.resize(static_cast<std::size_t>(length));
    return LR"(\\?\)" + text;
}
int firstByte(const std::string& path) {
    std::ifstream file(std::filesystem::path(wide(path)), std::ios::binary);
    return file.get();
}
ItemFileImage imageOf(unsigned char fill) {
    ItemFileImage image{};
    image.fill(fill);
    return image;
}

// Each refusal keeps the old file as it was and leaves nothing else behind.
struct Refusal {
    const char* name;
    HANDLE (*before)(const std::string&); // what another program does to the file first
    void (*save)(const std::string&);
    FileErrorCause cause;
    int code;
    friend void PrintTo(const Refusal& row, std::ostream* out) { *out << row.name; }
};
HANDLE holdOpen(const std::string& p) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    return ::CreateFileW(wide(p).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}
HANDLE makeReadOnly(const std::string& p) {
    return ::SetFileAttributesW(wide(p).c_str(), FILE_ATTRIBUTE_READONLY), INVALID_HANDLE_VALUE;
}
void read(const std::string& p) {
    ItemFileImage image{};
    readItemFile(platformFileSteps(), p, image);
}
void replace(const std::string& p) {
    writeItemFile(platformFileSteps(), p, imageOf(9));
}
void keep(const std::string& p) {
    writeItemFile(platformFileSteps(), p, imageOf(9), ExistingFile::Keep);
}
// The target appeared after the save looked for it: putting the new file in place must still refuse.
void keepAtCommit(const std::string& p) {
    FileSteps& steps = platformFileSteps();
    TemporaryFile temporary;
    steps.createTemporary(p, kNoFileHandle, temporary);
    const int error = steps.commit(temporary, p, false);
    steps.discard(temporary);
    throw FileError(steps.causeOf(error), error, p);
}

class WindowsRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(WindowsRefusal, KeepsTheFileAndReportsTheCause) {
    const ScratchDirectory dir;
    const std::string target = dir.write("old.itm", imageOf(7));
    const HANDLE other = GetParam().before ? GetParam().before(target) : INVALID_HANDLE_VALUE;
    try {
        GetParam().save(target);
        ADD_FAILURE() << "not refused";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), GetParam().cause);
        EXPECT_EQ(error.platformCode(), GetParam().code);
    }
    ::CloseHandle(other);
    EXPECT_EQ(firstByte(target), 7);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"old.itm"});
}

using Cause = FileErrorCause;
const Refusal kRefusals[] = {
    {"HeldForReading", holdOpen, read, Cause::SharingViolation, ERROR_SHARING_VIOLATION},
    {"HeldForSaving", holdOpen, replace, Cause::SharingViolation, ERROR_SHARING_VIOLATION},
    {"ReadOnly", makeReadOnly, replace, Cause::AccessDenied, ERROR_ACCESS_DENIED},
    {"KeepExisting", nullptr, keep, Cause::AccessDenied, ERROR_FILE_EXISTS},
    {"KeepCreatedMeanwhile", nullptr, keepAtCommit, Cause::AccessDenied, ERROR_ALREADY_EXISTS},
};
INSTANTIATE_TEST_SUITE_P(Files, WindowsRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

// Folders below one in French: none, one in Greek, three of 100 characters (past 260 in all).
class WindowsPath : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowsPath, SavesReplacesAndReads) {
    const ScratchDirectory dir;
    const std::string top = dir.path("\xC3\xA9t\xC3\xA9"); // été
    ASSERT_TRUE(::CreateDirectoryW(wide(top).c_str(), nullptr));
    std::string directory = top;
    for (const char* part = GetParam(); *part != '\0'; part += std::char_traits<char>::length(part) + 1) {
        directory += std::string("\\") + part;
        ASSERT_TRUE(::CreateDirectoryW(wide(directory).c_str(), nullptr));
    }
    const std::string path = directory + "\\Sch\xC3\xA4"
                                         "del-\xE6\x97\xA5\xE6\x9C\xAC.hif";
    writeItemFile(platformFileSteps(), path, imageOf(3));
    writeItemFile(platformFileSteps(), path, imageOf(4));
    ItemFileImage image{};
    readItemFile(platformFileSteps(), path, image);
    EXPECT_EQ(image, imageOf(4));
    EXPECT_EQ(firstByte(path), 4);
    // Past 260 characters the C runtime beneath std::filesystem gives up, so the long path goes here.
    ::DeleteFileW(wide(path).c_str());
    for (; directory != top; directory.resize(directory.find_last_of('\\'))) {
        ::RemoveDirectoryW(wide(directory).c_str());
    }
}

#define HUNDRED                                                                                              \
    "a-hundred-characters-long-name-of-a-folder-that-goes-on-and-on-and-on-and-on-and-on-and-on-and-"        \
    "on\0"
#define GREEK "\xCE\x94\xCE\xB9\xCE\xAC\xCE\xB2\xCE\xBF\xCE\xBB\xCE\xBF\xCF\x82\0" // Diabolos
INSTANTIATE_TEST_SUITE_P(Names, WindowsPath, ::testing::Values("", GREEK, HUNDRED HUNDRED HUNDRED));

} // namespace
} // namespace relicwright
