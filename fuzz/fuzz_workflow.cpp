// libFuzzer entry point: one session of user actions per input; see WorkflowFuzzCase.
#include "WorkflowFuzzCase.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static relicwright::fuzz::WorkflowFuzzCase fuzzCase;
    if (const auto broken = fuzzCase.run(data, size)) {
        std::fprintf(stderr, "fuzz_workflow: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
