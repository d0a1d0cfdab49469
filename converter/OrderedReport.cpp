#include "OrderedReport.h"

#include <utility>

namespace relicwright {

OrderedReport::OrderedReport(std::size_t window) : slots_(window) {}

void OrderedReport::put(std::size_t index, ConversionOutcome outcome) {
    {
        const std::lock_guard lock(mutex_);
        slots_[index % slots_.size()] = std::move(outcome);
    }
    // Only the taker waits, for one slot, which may not be this one.
    arrived_.notify_one();
}

ConversionOutcome OrderedReport::next() {
    std::unique_lock lock(mutex_);
    auto& slot = slots_[next_ % slots_.size()];
    arrived_.wait(lock, [&] { return slot.has_value(); });
    ConversionOutcome outcome = std::move(*slot);
    slot.reset();
    ++next_;
    return outcome;
}

} // namespace relicwright
