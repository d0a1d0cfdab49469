#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace relicwright::fuzz {

// Reads a fuzzer's bytes as a stream of choices. Running out is not an error: every further choice
// is 0, so every input, however short, is a complete case.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : std::uint8_t{0}; }
    std::vector<std::uint8_t> bytes(std::size_t count) {
        const std::size_t n = std::min(count, size_ - std::min(position_, size_));
        std::vector<std::uint8_t> out(data_ + position_, data_ + position_ + n);
        position_ += n;
        return out;
    }
    std::vector<std::uint8_t> rest() { return bytes(size_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace relicwright::fuzz
