#include "BatchConversion.h"
#include "Converter.h"
#include "ItemFileConversion.h"
#include "OrderedReport.h"
#include "OutputLocks.h"
#include "ItemCatalogue.h"
#include "MemoryFileSteps.h"
#include "FakeWindow.h"
#include "FaultInjectingFileSteps.h"
#include "MemoryChoiceList.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

namespace relicwright::testing {
namespace {

using Step = FaultInjectingFileSteps::Step;

// Outcomes put out of order from threads, over more files than it holds, come back in input order.
TEST(BatchOrderedReport, HandsOutcomesBackInInputOrder) {
    OrderedReport report(4);
    std::vector<std::string> taken;
    for (const std::size_t first : {0u, 4u}) {
        for (const std::size_t index : {3u, 1u, 2u, 0u}) {
            ConversionOutcome outcome;
            outcome.message = std::to_string(first + index);
            std::thread([&] { report.put(first + index, outcome); }).join();
        }
        for (int i = 0; i < 4; ++i) {
            taken.push_back(report.next().message);
        }
    }
    EXPECT_EQ(taken, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7"}));
}

// Two spellings are one lock, a source locks as an output does, and a written output stays marked.
TEST(BatchOutputLocks, OnePathIsHeldByOneFileAtATime) {
    OutputLocks locks;
    const auto first = locks.claim("a.itm", "out/a.hif");
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(locks.written(*first));
    EXPECT_FALSE(locks.claim("b.itm", "./out/a.hif").has_value());
    EXPECT_FALSE(locks.claim("./a.itm", "b.hif").has_value());
    EXPECT_FALSE(locks.claim("c.itm", "a.itm").has_value());
    const auto other = locks.claim("b.itm", "b.hif");
    ASSERT_TRUE(other.has_value());
    locks.release(*first, true);
    locks.release(*other, false);
    const auto again = locks.claim("b.itm", "out/x/../a.hif");
    ASSERT_TRUE(again.has_value());
    EXPECT_TRUE(locks.written(*again));
    EXPECT_FALSE(locks.written(*locks.claim("c.itm", "b.hif")));
}

// Every code of either game: the batch writes the entry the window's load selects, else the one that
// decodes back to the shown item, or refuses an unregistered item.
TEST(BatchConversion, WritesTheEntryTheWindowsLoadSelects) {
    MemoryFileSteps files;
    FakeWindow window;
    MemoryChoiceList items, targets;
    Converter converter(items, targets, window, files);
    converter.fillLists();
    for (const GameVariant variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        const std::string path = variant == GameVariant::Diablo ? "/d/in.itm" : "/d/in.hif";
        ConversionOptions options;
        options.target = otherVariant(variant);
        options.existingFile = ExistingFile::Replace;
        const ItemFileConversion batch(options, files);
        for (int code = 0; code < 256; ++code) {
            files.put(path, bytesOf(sampleImage(variant, static_cast<std::uint8_t>(code))));
            converter.loadFile(FileChoice::fromPath(path));
            const std::size_t selected = items.selectedIndex().value();
            const ConversionOutcome outcome = batch.convert(batch.plan(path), false);
            if (selected < kItemChoiceCount) {
                EXPECT_EQ(items.findExact(window.itemField), selected) << code;
                EXPECT_TRUE(outcome.converted()) << code;
                EXPECT_EQ(outcome.itemIndex, selected) << code;
            } else if (window.itemField == kNotRegisteredItem) {
                EXPECT_EQ(outcome.result, ConversionOutcome::Result::UnregisteredItem) << code;
            } else {
                EXPECT_TRUE(outcome.converted()) << code;
                EXPECT_EQ(decodedNameOfIndex(outcome.itemIndex), window.itemField) << code;
            }
        }
    }
}

// Appended piece by piece: GCC 12 at -O3 misreads `"f" + std::to_string(...)` as overlapping copies.
std::string numbered(const char* before, std::size_t number, const char* after) {
    std::string text = before;
    text += std::to_string(number);
    text += after;
    return text;
}

std::vector<ConversionOutcome> runBatch(FileSteps& steps, const std::vector<std::string>& paths,
                                        ExistingFile existing = ExistingFile::Keep) {
    std::vector<ConversionOutcome> outcomes;
    BatchConversion batch(ConversionOptions{GameVariant::Hellfire, std::nullopt, {}, {}, existing}, steps);
    batch.run(paths, [&](std::size_t index, const ConversionOutcome& outcome) {
        EXPECT_EQ(index, outcomes.size());
        outcomes.push_back(outcome);
    });
    return outcomes;
}

// A batch on files in memory never looks at the disk, whatever the disk holds.
TEST(BatchConversion, RunsOnFilesInMemoryAlone) {
    ScratchDirectory dir;
    const std::string onDisk = dir.write("a.hif", std::vector<std::uint8_t>{'d'});
    MemoryFileSteps memory;
    const ItemFileImage dagger = sampleImage(GameVariant::Diablo, 113);
    memory.put(dir.path("a.itm"), bytesOf(dagger));
    memory.put("/m/b.itm", bytesOf(dagger));
    memory.put("/m/b.hif", {'m'});
    const auto outcomes = runBatch(memory, {dir.path("a.itm"), "/m/b.itm", dir.path("gone.itm")});
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_TRUE(outcomes[0].converted()) << outcomes[0].message;
    ASSERT_NE(memory.find(onDisk), nullptr);
    EXPECT_EQ(memory.find(onDisk)->size(), 400u);
    EXPECT_EQ(outcomes[1].result, ConversionOutcome::Result::OutputExists);
    EXPECT_EQ(outcomes[1].message, "/m/b.hif already exists");
    EXPECT_EQ(*memory.find("/m/b.hif"), std::vector<std::uint8_t>{'m'});
    EXPECT_EQ(outcomes[2].message, dir.path("gone.itm") + " was not found.");
    EXPECT_EQ(memory.openHandles(), 0u);
    EXPECT_EQ(dir.read("a.hif"), std::vector<std::uint8_t>{'d'});
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.hif"});
}

// More files than a group holds, a hundred given twice: each output written once, the second told so.
TEST(BatchConversion, GroupsManyFilesAndWritesEachOutputOnce) {
    MemoryFileSteps memory;
    std::vector<std::string> paths;
    for (std::size_t index = 0; index < 450; ++index) {
        paths.push_back(numbered("/m/f", index < 100 ? index : index - 100, ".itm"));
        memory.put(paths.back(), bytesOf(sampleImage(GameVariant::Diablo, 113)));
    }
    const auto outcomes = runBatch(memory, paths);
    ASSERT_EQ(outcomes.size(), paths.size());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        const bool again = index >= 100 && index < 200;
        EXPECT_EQ(outcomes[index].result,
                  again ? ConversionOutcome::Result::WrittenByThisRun : ConversionOutcome::Result::Converted)
            << index;
        EXPECT_EQ(outcomes[index].outputPath, paths[index].substr(0, paths[index].size() - 3) + "hif");
    }
    EXPECT_EQ(memory.openHandles(), 0u);
}

struct BatchFault {
    Step step;
    int error;
    bool groupFlushFails = false;
};

class BatchStepFault : public ::testing::TestWithParam<BatchFault> {};

// One step fails for one file: it alone gets its message and no output, and no new file is left.
// A folder's flush fails for every file in it, each complete.
TEST_P(BatchStepFault, FailsOnlyItsFileAndLeavesNothingHalfWritten) {
    const BatchFault fault = GetParam();
    const bool folder = fault.step == Step::FlushDirectory;
    ScratchDirectory dir;
    FaultInjectingFileSteps steps;
    steps.failing = fault.step;
    steps.error = fault.error;
    steps.failingCall = folder ? 1 : 2; // the folder's flush is taken once for all
    steps.groupFlushFails = fault.groupFlushFails;
    std::vector<std::string> paths;
    for (const char* name : {"f0.itm", "f1.itm", "f2.itm"}) {
        paths.push_back(dir.write(name, sampleImage(GameVariant::Diablo, 113)));
    }
    const auto outcomes = runBatch(steps, paths);
    ASSERT_EQ(outcomes.size(), 3u);
    std::size_t failed = 0;
    for (std::size_t index = 0; index < 3; ++index) {
        const std::string output = numbered("f", index, ".hif");
        if (outcomes[index].converted()) {
            EXPECT_EQ(dir.read(output).size(), 400u);
            continue;
        }
        ++failed;
        EXPECT_EQ(outcomes[index].result, ConversionOutcome::Result::Failed);
        EXPECT_NE(outcomes[index].message.find(numbered("f", index, ".")), std::string::npos)
            << outcomes[index].message;
        EXPECT_EQ(dir.read(output).size(), folder ? 400u : 0u);
    }
    EXPECT_EQ(failed, folder ? 3u : 1u);
    // Flushed together; each on its own only after that failed (or where the platform cannot group).
    EXPECT_EQ(steps.calls, folder ? 1 : 3);
    EXPECT_EQ(std::count(steps.taken.begin(), steps.taken.end(), Step::FlushTogether), 1);
    const auto ownFlushes = std::count(steps.taken.begin(), steps.taken.end(), Step::Flush);
    if (fault.groupFlushFails) {
        EXPECT_EQ(ownFlushes, 3);
    } else if (platformFileSteps().flushTogether({}) == 0) {
        EXPECT_EQ(ownFlushes, 0);
    }
    const std::vector<std::string> left = dir.names();
    for (const std::string& name : left) {
        EXPECT_NE(name.front(), '.') << name;
    }
    EXPECT_EQ(left.size(), folder ? 6u : 5u);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, BatchStepFault,
                         ::testing::Values(BatchFault{Step::Open, ENOENT}, BatchFault{Step::Exists, EACCES},
                                           BatchFault{Step::Claim, EACCES}, BatchFault{Step::Create, EROFS},
                                           BatchFault{Step::Write, ENOSPC}, BatchFault{Step::ShortWrite, 0},
                                           BatchFault{Step::Flush, EIO, true}, BatchFault{Step::Commit, EIO},
                                           BatchFault{Step::FlushDirectory, EACCES}));

// Another program creates one output and removes another while a batch saves: kept, and written.
TEST(BatchConversion, KeepsWhatAnotherProgramCreatesMeanwhile) {
    ScratchDirectory dir;
    FaultInjectingFileSteps steps;
    const std::string created = dir.path("b.hif");
    const std::string removed = dir.path("c.hif");
    steps.beforeCommit = [&](const std::string& target) {
        if (target == created) {
            std::ofstream(created) << 'x';
        } else if (target == removed) {
            std::filesystem::remove(removed);
        }
    };
    const std::vector<std::string> paths{dir.write("b.itm", sampleImage(GameVariant::Diablo, 113)),
                                         dir.write("c.itm", sampleImage(GameVariant::Diablo, 113))};
    dir.write("c.hif", std::vector<std::uint8_t>{'o'});
    auto outcomes = runBatch(steps, {paths[0]});
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::OutputExists);
    EXPECT_EQ(outcomes[0].message, created + " already exists");
    EXPECT_EQ(dir.read("b.hif"), std::vector<std::uint8_t>{'x'});
    outcomes = runBatch(steps, {paths[1]}, ExistingFile::Replace);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].converted()) << outcomes[0].message;
    EXPECT_EQ(dir.read("c.hif").size(), 400u);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"b.hif", "b.itm", "c.hif", "c.itm"}));
}

} // namespace
} // namespace relicwright::testing
