#pragma once

#include "ChoiceList.h"

#include <vector>

namespace relicwright {

// A ChoiceList held in memory, for the tests and benchmarks.
class MemoryChoiceList final : public ChoiceList {
public:
    MemoryChoiceList() = default;
    template <class Range> explicit MemoryChoiceList(const Range& texts) {
        for (const auto& text : texts) {
            entries_.emplace_back(text);
        }
    }

    std::size_t count() const override { return entries_.size(); }
    std::string entry(std::size_t index) const override { return entries_.at(index); }
    const std::string* heldEntry(std::size_t index) const override { return &entries_.at(index); }
    void append(const std::string& text) override { entries_.push_back(text); }
    void setSelection(std::optional<std::size_t> index) override {
        selection_ = (index && *index < entries_.size()) ? index : std::nullopt;
    }
    std::optional<std::size_t> selectedIndex() const override { return selection_; }

private:
    std::vector<std::string> entries_;
    std::optional<std::size_t> selection_;
};

} // namespace relicwright
