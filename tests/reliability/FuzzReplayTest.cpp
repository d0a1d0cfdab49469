// The fuzz cases run on their seed corpus and on every input a fuzzing run has ever failed on, so
// that what the fuzzers check is checked by every build, sanitizers or not.
#include "fuzz/ConvertFuzzCase.h"
#include "fuzz/SeedCorpus.h"
#include "fuzz/WorkflowFuzzCase.h"

#include <gtest/gtest.h>

namespace relicwright::fuzz {
namespace {

// Inputs that once failed a fuzz target, kept as found (with what they were about).
const std::vector<Bytes> kConvertRegressions = {
    // A name with markup that holds a "/": the harness itself once stumbled over it.
    {0x04, 0x04, 0x04, 0x00, 0x00, 0x04},
};
const std::vector<Bytes> kWorkflowRegressions = {};

void replay(auto& fuzzCase, const std::vector<Bytes>& inputs, const char* what) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto broken = fuzzCase.run(inputs[i].data(), inputs[i].size());
        EXPECT_FALSE(broken) << what << " " << i << ": " << broken.value_or("");
    }
}

TEST(FuzzReplay, ConversionSeedsAndRegressionsKeepEveryPromise) {
    ConvertFuzzCase fuzzCase;
    const auto seeds = SeedCorpus::convertSeeds();
    ASSERT_GT(seeds.size(), 50u);
    replay(fuzzCase, seeds, "seed");
    replay(fuzzCase, kConvertRegressions, "regression");
}

TEST(FuzzReplay, WorkflowSeedsAndRegressionsKeepEveryPromise) {
    WorkflowFuzzCase fuzzCase;
    const auto seeds = SeedCorpus::workflowSeeds();
    ASSERT_GT(seeds.size(), 10u);
    replay(fuzzCase, seeds, "seed");
    replay(fuzzCase, kWorkflowRegressions, "regression");
}

} // namespace
} // namespace relicwright::fuzz
