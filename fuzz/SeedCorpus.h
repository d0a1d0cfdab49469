#pragma once

#include "ScratchDirectory.h"

#include <string>
#include <vector>

namespace relicwright::fuzz {

// Starting inputs for the fuzz targets, made with our own item data code: genuine item files of
// both games for a spread of entries, files of awkward sizes and names, and short user sessions
// that reach every action and every awkward file at least once.
class SeedCorpus {
public:
    static std::vector<Bytes> convertSeeds();
    static std::vector<Bytes> workflowSeeds();
    // Writes the seeds into <directory>/convert and <directory>/workflow (created when missing).
    static void writeTo(const std::string& directory);
};

} // namespace relicwright::fuzz
