#pragma once

#include "ItemFileConversion.h"
#include "OrderedReport.h"
#include "OutputLocks.h"

#include "FileSteps.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace relicwright {

// Many files converted as ItemFileConversion converts one, in groups whose saves the disk flushes
// together (SaveGroup), each file with its own outcome. Two files that share a source or an output
// path still run in the given order, and across runs of one batch an output it wrote is never
// overwritten. Every step goes through the file steps given, so a batch runs on files in memory as
// on a disk; where no thread can be started, the calling thread does the work.
class BatchConversion {
public:
    explicit BatchConversion(ConversionOptions options, FileSteps& files = platformFileSteps());

    const ItemFileConversion& file() const { return file_; }

    // `report` runs on the calling thread, in input order, once the file's output is durable or its
    // conversion has failed; at most a fixed number of files is under way at once. When it
    // returns, every output is on disk.
    void run(const std::vector<std::string>& paths,
             const std::function<void(std::size_t, const ConversionOutcome&)>& report);

private:
    struct Started {
        std::size_t index;
        const PlannedFile* file;
        bool writtenBefore;
    };
    void convertGroup(const std::vector<Started>& group, OrderedReport& outcomes) const;

    ItemFileConversion file_;
    FileSteps& files_;
    OutputLocks locks_;
};

} // namespace relicwright
