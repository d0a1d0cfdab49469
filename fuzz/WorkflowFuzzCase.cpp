#include "WorkflowFuzzCase.h"

#include "FuzzInput.h"
#include "ReferenceConversion.h"
#include "ScriptedWindow.h"

#include "converter/Converter.h"
#include "converter/ItemFileAccess.h"
#include "converter/MemoryChoiceList.h"
#include "tests/support/FaultInjectingFileSteps.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace relicwright::fuzz {

namespace {

using testing::FaultInjectingFileSteps;
using testing::FileStep;

// Names a load may pick. The first ones are plain files the action may (re)write first; the rest
// are the awkward fixtures and names that do not exist.
constexpr std::array<const char*, 15> kLoadNames = {
    "a.itm",   "b.hif",    "C.ITM",        "d.Hif",    "e.txt",        "f",           "a.b.itm", "out.hif",
    "dir.itm", "held.itm", "readonly.hif", "loop.itm", "dangling.hif", "missing.itm", "ro/x.itm"};
constexpr std::size_t kWritableLoadNames = 8;

constexpr std::array<const char*, 12> kSaveNames = {"out.hif",     "out.itm",  "OUT",          "a.itm",
                                                    "dir.itm",     "held.itm", "readonly.hif", "ro/y.hif",
                                                    "nodir/z.itm", "loop.itm", "dangling.hif", "b.hif"};

// Names whose load or save can never succeed, whatever the user's privileges.
bool alwaysRefused(const std::string& name) {
    return name == "dir.itm" || name == "held.itm" || name == "loop.itm" || name == "missing.itm" ||
           name == "nodir/z.itm";
}

constexpr std::array<int, 11> kErrors = {EIO,    EACCES, ENOSPC, EWOULDBLOCK, EINTR,       ENOENT,
                                         EMFILE, EROFS,  EDQUOT, EBADF,       ENAMETOOLONG};

constexpr std::array<FileStep, 9> kSteps = {
    FileStep::Open,  FileStep::Lock,   FileStep::Read,  FileStep::Write,          FileStep::ShortWrite,
    FileStep::Flush, FileStep::Rename, FileStep::Close, FileStep::RemoveTemporary};

using Files = std::map<std::string, Bytes>;

// Holds an exclusive lock on a file for the whole session, as another program would.
class HeldLock {
public:
    explicit HeldLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
        }
    }
    ~HeldLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int fd_;
};

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Everything the user can see or the next operation depends on, apart from the files.
struct Observed {
    ConverterState state;
    ItemFileImage image;
    std::vector<std::string> items;
    std::optional<std::size_t> itemSelection;
    std::vector<std::string> targets;
    std::optional<std::size_t> targetSelection;
    int fieldUpdates;
    std::size_t messages;

    bool operator==(const Observed&) const = default;
};

class Session {
public:
    explicit Session(const ScratchDirectory& scratch)
        : scratch_(scratch), converter_(itemList_, targetList_, window_, files_) {
        converter_.fillLists();
    }

    std::optional<std::string> run(FuzzInput& in);

private:
    const ScratchDirectory& scratch_;
    MemoryChoiceList itemList_;
    MemoryChoiceList targetList_;
    ScriptedWindow window_;
    StepsItemFileAccess<FaultInjectingFileSteps> files_;
    Converter converter_;

    Observed observe() const {
        return {converter_.state(),        converter_.sharedImage(), itemList_.entries(),
                itemList_.selectedIndex(), targetList_.entries(),    targetList_.selectedIndex(),
                window_.fieldUpdates,      window_.messages.size()};
    }
    Files files(bool& temporaryLeft) const;
    std::optional<std::string> checkAlways(const Observed& before) const;
    std::optional<std::string> load(FuzzInput& in);
    std::optional<std::string> save(FuzzInput& in);
    std::optional<std::string> cancelOpen();
    std::optional<std::string> cancelSave();
};

Files Session::files(bool& temporaryLeft) const {
    Files result;
    temporaryLeft = false;
    for (const std::string prefix : {"", "ro/"}) {
        const std::string base = prefix.empty() ? scratch_.path() : scratch_.file("ro");
        DIR* dir = ::opendir(base.c_str());
        if (dir == nullptr) {
            continue;
        }
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.rfind(".relicwright-", 0) == 0) {
                temporaryLeft = true;
            }
            struct stat info {};
            if (::lstat((base + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                result[prefix + name] = ScratchDirectory::readBytes(base + "/" + name).value_or(Bytes{});
            }
        }
        ::closedir(dir);
    }
    return result;
}

std::optional<std::string> Session::checkAlways(const Observed& before) const {
    auto grewFrom = [](const std::vector<std::string>& now, const std::vector<std::string>& then) {
        return now.size() >= then.size() && std::equal(then.begin(), then.end(), now.begin());
    };
    if (!grewFrom(itemList_.entries(), before.items) || !grewFrom(targetList_.entries(), before.targets)) {
        return std::string("a list lost, replaced or reordered an entry");
    }
    if (std::count(itemList_.entries().begin(), itemList_.entries().end(), "<not specified>") > 1) {
        return std::string("the item list holds more than one \"<not specified>\"");
    }
    const auto item = itemList_.selectedIndex();
    const auto target = targetList_.selectedIndex();
    if ((item && *item >= itemList_.count()) || (target && *target >= targetList_.count())) {
        return std::string("a selection points past its list");
    }
    if (window_.fieldUpdates > 0 && (window_.sourceGameField != converter_.state().sourceGameText ||
                                     window_.itemField != converter_.state().itemText)) {
        return std::string("the window's fields do not show the state");
    }
    bool temporaryLeft = false;
    files(temporaryLeft);
    if (temporaryLeft) {
        return std::string("a temporary file was left behind");
    }
    return std::nullopt;
}

std::optional<std::string> Session::load(FuzzInput& in) {
    const std::size_t choice = in.byte() % kLoadNames.size();
    const std::uint8_t sizeChoice = in.byte();
    const std::string name = kLoadNames[choice];
    const std::string path = scratch_.file(name);
    if (choice < kWritableLoadNames && sizeChoice != 255) {
        const std::size_t size = sizeChoice < WorkflowFuzzCase::kSizes.size()
                                     ? WorkflowFuzzCase::kSizes[sizeChoice]
                                     : sizeChoice * std::size_t{2};
        Bytes content = in.bytes(size);
        while (content.size() < size) {
            content.push_back(static_cast<std::uint8_t>(content.size() * 7));
        }
        ScratchDirectory::writeBytes(path, content);
    }
    bool temporaryLeft = false;
    const Files filesBefore = files(temporaryLeft);
    const auto fileBytes = ScratchDirectory::readBytes(path);
    const Observed before = observe();

    window_.openAnswers.push_back(FileChoice::fromPath(path));
    try {
        converter_.loadSourceFile();
    } catch (const FileError& error) {
        if (observe() != before) {
            return "a failed load of " + name + " changed the state, the lists or the image";
        }
        if (!error.path().empty() && error.path() != path) {
            return "a failed load of " + name + " names " + error.path();
        }
        if (error.message() != FileError::fileErrorMessage(error.cause(), error.path()) ||
            error.message().size() > kMaxMessageLength) {
            return std::string("a load error's text does not follow its cause");
        }
        return std::nullopt;
    }
    if (files(temporaryLeft) != filesBefore) {
        return "loading " + name + " changed a file";
    }
    const ConverterState& state = converter_.state();
    const auto variant = variantFromExtension(lowerAscii(FileChoice::fromPath(path).extension));
    if (!variant) {
        if (converter_.sharedImage() != before.image || state.sourceGameText != "Invalid Game" ||
            state.itemText != "<not specified>") {
            return "the invalid file " + name + " was not refused cleanly";
        }
        return std::nullopt;
    }
    if (alwaysRefused(name) || !fileBytes) {
        return "the load of " + name + " succeeded";
    }
    if (converter_.sharedImage() != expectedImageAfterRead(*fileBytes)) {
        return "the image after loading " + name + " is not the file's first 400 bytes and zeros";
    }
    if (state.sourceGameText != variantText(*variant) || !isKnownDecodedName(state.itemText)) {
        return "the load of " + name + " shows " + state.sourceGameText + " / " + state.itemText;
    }
    return std::nullopt;
}

std::optional<std::string> Session::save(FuzzInput& in) {
    const std::string name = kSaveNames[in.byte() % kSaveNames.size()];
    const std::string path = scratch_.file(name);
    // A dangling link is followed: the save creates the file it points to.
    const std::string stored = name == "dangling.hif" ? "nowhere" : name;
    bool temporaryLeft = false;
    const Files filesBefore = files(temporaryLeft);
    const Observed before = observe();
    const ExpectedSave expected =
        expectedSave(before.image, before.state.sourceGameText, itemList_.selectedText(),
                     targetList_.selectedText(), before.itemSelection, true);

    window_.saveAnswers.push_back(FileChoice::fromPath(path));
    const std::size_t dialogs = window_.saveDialogs.size();
    bool failed = false;
    try {
        converter_.saveOutputFile();
    } catch (const FileError& error) {
        failed = true;
        if (expected.outcome != ExpectedSave::Outcome::Written) {
            return "a save that had nothing to write failed: " + error.message();
        }
        const std::string& errorPath = error.path();
        const std::string leaf = "/" + stored.substr(stored.find_last_of('/') + 1);
        if (!errorPath.empty() && errorPath != path &&
            (errorPath.size() < leaf.size() ||
             errorPath.compare(errorPath.size() - leaf.size(), leaf.size(), leaf) != 0)) {
            return "a failed save of " + name + " names " + errorPath;
        }
    }
    window_.saveAnswers.clear();
    const Observed after = observe();
    if (after.image != before.image || after.items != before.items ||
        after.itemSelection != before.itemSelection || after.targets != before.targets ||
        after.targetSelection != before.targetSelection ||
        after.state.sourceGameText != before.state.sourceGameText ||
        after.state.itemText != before.state.itemText) {
        return std::string("a save changed the loaded image, the lists or the loaded fields");
    }
    const bool asked = window_.saveDialogs.size() == dialogs + 1;
    if (asked != (expected.outcome != ExpectedSave::Outcome::NoDialog)) {
        return std::string("the save dialog was shown when it should not be, or not when it should");
    }
    const Files filesAfter = files(temporaryLeft);
    const std::vector<std::string> newMessages(
        window_.messages.begin() + static_cast<std::ptrdiff_t>(before.messages), window_.messages.end());
    if (failed || expected.outcome != ExpectedSave::Outcome::Written) {
        if (filesAfter != filesBefore) {
            return "a save of " + name + " that wrote nothing changed a file";
        }
        const std::vector<std::string> want = !failed && !expected.message.empty()
                                                  ? std::vector<std::string>{expected.message}
                                                  : std::vector<std::string>{};
        if (newMessages != want) {
            return "a save of " + name + " showed the wrong messages";
        }
        return std::nullopt;
    }
    if (alwaysRefused(name) || name == "readonly.hif") {
        return "the save onto " + name + " succeeded";
    }
    Files want = filesBefore;
    want[stored] = Bytes(expected.image.begin(), expected.image.end());
    if (filesAfter != want) {
        return "saving to " + name + " did not write exactly the converted image, or touched another file";
    }
    if (newMessages != std::vector<std::string>{expected.message}) {
        return "a save of " + name + " did not show its success message";
    }
    return std::nullopt;
}

std::optional<std::string> Session::cancelOpen() {
    bool temporaryLeft = false;
    const Files filesBefore = files(temporaryLeft);
    const Observed before = observe();
    window_.openAnswers.push_back(FileChoice::cancelled());
    converter_.loadSourceFile();
    if (observe() != before || files(temporaryLeft) != filesBefore) {
        return std::string("cancelling the open dialog changed something");
    }
    return std::nullopt;
}

std::optional<std::string> Session::cancelSave() {
    bool temporaryLeft = false;
    const Files filesBefore = files(temporaryLeft);
    const Observed before = observe();
    window_.saveAnswers.push_back(FileChoice::cancelled());
    converter_.saveOutputFile();
    window_.saveAnswers.clear();
    const Observed after = observe();
    if (files(temporaryLeft) != filesBefore || after.image != before.image || after.items != before.items ||
        after.targets != before.targets || after.messages != before.messages) {
        return std::string("cancelling the save dialog changed a file, a list or showed a message");
    }
    return std::nullopt;
}

std::optional<std::string> Session::run(FuzzInput& in) {
    for (std::size_t step = 0; step < WorkflowFuzzCase::kMaxActions && !in.empty(); ++step) {
        const Observed before = observe();
        const auto action = static_cast<WorkflowFuzzCase::Action>(in.byte() % 8u);
        std::optional<std::string> broken;
        switch (action) {
        case WorkflowFuzzCase::Load:
            broken = load(in);
            break;
        case WorkflowFuzzCase::CancelOpen:
            broken = cancelOpen();
            break;
        case WorkflowFuzzCase::PickItem: {
            const std::uint8_t entry = in.byte();
            itemList_.setSelection(entry == 255 ? std::nullopt
                                                : std::optional<std::size_t>(entry % itemList_.count()));
            break;
        }
        case WorkflowFuzzCase::PickTarget: {
            const std::uint8_t entry = in.byte();
            targetList_.setSelection(entry == 255 ? std::nullopt
                                                  : std::optional<std::size_t>(entry % targetList_.count()));
            break;
        }
        case WorkflowFuzzCase::CloseDropDown: {
            converter_.applyTargetGame();
            const Observed after = observe();
            if (after.items != before.items || after.targets != before.targets ||
                after.image != before.image) {
                broken = "closing the drop-down changed a list or the image";
            }
            break;
        }
        case WorkflowFuzzCase::Save:
            broken = save(in);
            break;
        case WorkflowFuzzCase::CancelSave:
            broken = cancelSave();
            break;
        case WorkflowFuzzCase::FailNextAction: {
            const FileStep which = kSteps[in.byte() % kSteps.size()];
            const int error = kErrors[in.byte() % kErrors.size()];
            const int occurrence = in.byte() % 3;
            files_.steps().disarm();
            files_.steps().calls.clear();
            files_.steps().failAt(which, error, occurrence);
            break;
        }
        }
        if (action != WorkflowFuzzCase::FailNextAction) {
            files_.steps().disarm();
        }
        if (!broken) {
            broken = checkAlways(before);
        }
        if (broken) {
            return "action " + std::to_string(step) + ": " + *broken;
        }
    }
    return std::nullopt;
}

} // namespace

WorkflowFuzzCase::WorkflowFuzzCase() : scratch_(ScratchDirectory::Place::PreferMemory) {}

std::optional<std::string> WorkflowFuzzCase::run(const std::uint8_t* data, std::size_t size) {
    scratch_.clear();
    ::mkdir(scratch_.file("dir.itm").c_str(), 0755);
    ScratchDirectory::writeBytes(scratch_.file("held.itm"), Bytes(kItemFileSize, 0x11));
    ScratchDirectory::writeBytes(scratch_.file("readonly.hif"), Bytes(kItemFileSize, 0x22));
    ::chmod(scratch_.file("readonly.hif").c_str(), 0444);
    ::mkdir(scratch_.file("ro").c_str(), 0755);
    ::chmod(scratch_.file("ro").c_str(), 0555);
    if (::symlink("loop.itm", scratch_.file("loop.itm").c_str()) != 0 ||
        ::symlink("nowhere", scratch_.file("dangling.hif").c_str()) != 0) {
        return std::string("cannot create the symbolic-link fixtures");
    }
    const HeldLock heldByAnotherProgram(scratch_.file("held.itm"));
    Session session(scratch_);
    FuzzInput in(data, size);
    return session.run(in);
}

} // namespace relicwright::fuzz
