// The frame reader of a server before the peer has logged on: a peer's bytes through the
// receive buffer and the parse step while announcements above the log-on bound are refused.
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
    framefeed::FeedFramesUntrusted(data, size);
    return 0;
}
