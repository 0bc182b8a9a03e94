// Replays the inputs with which the fuzzers found faults in the frame reader and the reassembly.
#include "support/FuzzRegressions.h"
#include "transport/support/FrameFeeder.h"

#include <gtest/gtest.h>

TEST(FuzzRegressions, FramesAndParts) {
    const struct {
        const char* harness;
        void (*feed)(const uint8_t*, size_t);
    } feeders[] = {{"transport_frames", framefeed::FeedFrames},
                   {"transport_untrusted", framefeed::FeedFramesUntrusted},
                   {"transport_reassembly", framefeed::FeedParts}};
    for (const auto& f : feeders)
        for (const auto& [name, bytes] : FuzzRegressionInputs(f.harness)) {
            SCOPED_TRACE(std::string(f.harness) + "/" + name);
            f.feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        }
}
