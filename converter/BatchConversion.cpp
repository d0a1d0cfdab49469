#include "BatchConversion.h"

#include "OrderedReport.h"
#include "WorkerPool.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <utility>

namespace relicwright {

namespace {

// Files saved together: their new files are written, flushed by one flush of the file system and
// then named. A group holds two descriptors a file at most (the new file and a replaced one), so
// the groups under way stay within the usual limit of 1,024 open files.
constexpr std::size_t kGroupSize = 200;
// Groups under way at once: while one waits for the disk, the next is written.
constexpr std::size_t kWorkers = 2;
// Files started but not yet reported: one group more than the workers take, ready when one ends.
constexpr std::size_t kUnderWay = (kWorkers + 1) * kGroupSize;

} // namespace

BatchConversion::BatchConversion(ConversionOptions options, FileSteps& files)
    : file_(std::move(options), files), files_(files) {}

void BatchConversion::convertGroup(const std::vector<Started>& group, OrderedReport& outcomes) const {
    SaveGroup save(files_, file_.existingFile());
    std::vector<ConversionOutcome> results;
    results.reserve(group.size());
    for (const Started& started : group) {
        try {
            results.push_back(file_.prepare(*started.file, started.writtenBefore, save));
        } catch (const std::exception& error) {
            ConversionOutcome failed;
            failed.message = error.what();
            results.push_back(std::move(failed));
        }
    }
    // The files the group took are the converted ones so far, in order.
    std::vector<SaveGroup::Result> saves;
    try {
        saves = save.finish();
    } catch (const std::exception& error) {
        saves.assign(save.size(), {FileError(FileErrorCause::OtherError, 0, error.what()), false});
    }
    std::size_t saved = 0;
    for (std::size_t index = 0; index < group.size(); ++index) {
        if (results[index].converted()) {
            file_.settle(results[index], saves[saved++]);
        }
        outcomes.put(group[index].index, std::move(results[index]));
    }
}

void BatchConversion::run(const std::vector<std::string>& paths,
                          const std::function<void(std::size_t, const ConversionOutcome&)>& report) {
    OrderedReport outcomes(kUnderWay);
    std::deque<OutputLocks::Claim> claims; // of the files under way, in input order
    // File n in slot n % kUnderWay, planned once even when it has to wait for its claim.
    std::vector<PlannedFile> planned(std::min(kUnderWay, paths.size()));
    std::size_t plannedCount = 0;
    std::vector<Started> group;
    // Last, so that it ends first: its tasks use everything above.
    WorkerPool workers(std::min(kWorkers, (paths.size() + kGroupSize - 1) / kGroupSize));
    auto startGroup = [&] {
        if (!group.empty()) {
            workers.run([this, &outcomes, started = std::move(group)] { convertGroup(started, outcomes); });
            group.clear();
        }
    };
    std::size_t next = 0;
    for (std::size_t reported = 0; reported < paths.size(); ++reported) {
        bool waiting = false;
        for (; next < paths.size() && next - reported < kUnderWay; ++next) {
            PlannedFile& file = planned[next % kUnderWay];
            if (next == plannedCount) {
                file = file_.plan(paths[next]);
                ++plannedCount;
            }
            auto claim = locks_.claim(file.path, file.outputPath);
            if (!claim) {
                waiting = true; // its turn comes once the file holding the path is reported
                break;
            }
            group.push_back({next, &file, locks_.written(*claim)});
            claims.push_back(std::move(*claim));
            if (group.size() == kGroupSize) {
                startGroup();
            }
        }
        // A smaller group starts only when no other file could join it before the next report: at
        // the end, or while a file waits. Otherwise the files under way fill more than one group,
        // so the next file to report has started.
        if (next == paths.size() || waiting) {
            startGroup();
        }
        const ConversionOutcome outcome = outcomes.next();
        locks_.release(claims.front(), outcome.converted());
        claims.pop_front();
        report(reported, outcome);
    }
}

} // namespace relicwright
