#pragma once

#include "ItemFileConversion.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace relicwright {

// Outcomes that finish in any order, on any thread, taken in input order on one: file n's outcome
// waits for every file before it. It holds `window` files' outcomes, so file n may be put only
// once file n - window has been taken.
class OrderedReport {
public:
    explicit OrderedReport(std::size_t window);

    void put(std::size_t index, ConversionOutcome outcome);
    // Waits for the next file's outcome in input order and takes it.
    ConversionOutcome next();

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::optional<ConversionOutcome>> slots_;
    std::size_t next_ = 0;
};

} // namespace relicwright
