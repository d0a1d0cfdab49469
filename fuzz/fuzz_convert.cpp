// libFuzzer entry point: one whole conversion per input; see ConvertFuzzCase.
#include "ConvertFuzzCase.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static relicwright::fuzz::ConvertFuzzCase fuzzCase;
    if (const auto broken = fuzzCase.run(data, size)) {
        std::fprintf(stderr, "fuzz_convert: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
