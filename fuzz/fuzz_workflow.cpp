#include "FuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    relicwright::testing::workflowCase(data, size);
    return 0;
}
