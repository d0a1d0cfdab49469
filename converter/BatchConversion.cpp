#include "BatchConversion.h"

#include "OrderedReport.h"
#include "WorkerPool.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <utility>

namespace relicwright {

namespace {

// Each save waits for the disk twice (the file, then its directory); while one thread waits, the
// others' saves join the same journal commit. Measured in bench/: more threads gain little.
constexpr std::size_t kWorkers = 16;
// Files started but not yet reported: bounds the memory and the open files whatever the count.
constexpr std::size_t kWindow = 4 * kWorkers;

} // namespace

BatchConversion::BatchConversion(ConversionOptions options, FileSteps& files)
    : file_(std::move(options), files) {}

ConversionOutcome BatchConversion::convertGuarded(const PlannedFile& file, bool outputWrittenBefore) const {
    try {
        return file_.convert(file, outputWrittenBefore);
    } catch (const std::exception& error) {
        ConversionOutcome failed;
        failed.message = error.what();
        return failed;
    }
}

void BatchConversion::run(const std::vector<std::string>& paths,
                          const std::function<void(std::size_t, const ConversionOutcome&)>& report) {
    OrderedReport outcomes(kWindow);
    std::deque<OutputLocks::Claim> claims; // of the files under way, in input order
    // File n in slot n % kWindow, planned once even when it has to wait for its claim.
    std::vector<PlannedFile> planned(std::min(kWindow, paths.size()));
    std::size_t plannedCount = 0;
    // Last, so that it ends first: its tasks use everything above.
    WorkerPool workers(std::min(kWorkers, paths.size()));
    std::size_t next = 0;
    for (std::size_t reported = 0; reported < paths.size(); ++reported) {
        for (; next < paths.size() && next - reported < kWindow; ++next) {
            PlannedFile& file = planned[next % kWindow];
            if (next == plannedCount) {
                file = file_.plan(paths[next]);
                ++plannedCount;
            }
            auto claim = locks_.claim(file.path, file.outputPath);
            if (!claim) {
                break; // its turn comes once the file holding the path is reported
            }
            const bool writtenBefore = locks_.written(*claim);
            claims.push_back(std::move(*claim));
            workers.run([this, &file, &outcomes, next, writtenBefore] {
                outcomes.put(next, convertGuarded(file, writtenBefore));
            });
        }
        const ConversionOutcome outcome = outcomes.next();
        locks_.release(claims.front(), outcome.converted());
        claims.pop_front();
        report(reported, outcome);
    }
}

} // namespace relicwright
