// Multi-part reassembly: first parts and data parts in any order, with any transfer ids.
#include "transport/NetLog.h"
#include "transport/support/FrameFeeder.h"

#include <cstddef>
#include <cstdint>

// Every dropped frame would print a line: the fuzzer drops millions.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kx::SetNetLogEnabled(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    framefeed::FeedParts(data, size);
    return 0;
}
