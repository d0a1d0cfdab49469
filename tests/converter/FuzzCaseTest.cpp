#include "FuzzCases.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace relicwright::testing {
namespace {

// The fuzz targets' properties on a few hundred generated inputs; a broken one aborts the test.
TEST(FuzzCases, HoldOnGeneratedInputs) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 150; ++round) {
        std::vector<std::uint8_t> input(random() % 480);
        for (auto& byte : input) {
            byte = static_cast<std::uint8_t>(random());
        }
        convertCase(input.data(), input.size());
        workflowCase(input.data(), std::min<std::size_t>(input.size(), 60));
    }
}

} // namespace
} // namespace relicwright::testing
