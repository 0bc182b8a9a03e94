// Replays the request streams with which the request fuzzer found faults in the server, through
// the same path the fuzzer drives: a logged-on workstation sends them to the test server, which
// must answer once it has handled them all.
#include "server/support/RequestStream.h"
#include "support/FuzzRegressions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

} // namespace

TEST(FuzzRegressions, ServerRequests) {
    requeststream::Target target;
    // A list request and a user record cut short, as packet and as a two-piece message: the
    // stream the harness reads, answered like any other.
    const std::string stream = std::string("\x05\x14\x00\x00\x00", 5) + std::string("\x05\x15\x00\x03\x00" "abc", 8) +
                               std::string("\x05\x15\x05\x04\x00\x01\x00\x00\x00\x02\x00" "xy" "\x00\x00", 15);
    EXPECT_TRUE(target.Run(Bytes(stream), stream.size()));
    for (const auto& [name, bytes] : FuzzRegressionInputs("server_requests")) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(target.Run(Bytes(bytes), bytes.size()));
    }
}
