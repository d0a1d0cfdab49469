#pragma once

#include "ItemFileConversion.h"
#include "OutputLocks.h"

#include "FileSteps.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace relicwright {

// Many files converted as ItemFileConversion converts one, several at once so that the disk
// flushes them together. Two files that share a source or an output path still run in the given
// order, and across runs of one batch an output it wrote is never overwritten.
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
    ConversionOutcome convertGuarded(const PlannedFile& file, bool outputWrittenBefore) const;

    ItemFileConversion file_;
    OutputLocks locks_;
};

} // namespace relicwright
