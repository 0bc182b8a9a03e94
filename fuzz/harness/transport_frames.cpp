// The frame reader: a peer's bytes, cut as receives cut them, through the receive buffer and the parse step.
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
    framefeed::FeedFrames(data, size);
    return 0;
}
