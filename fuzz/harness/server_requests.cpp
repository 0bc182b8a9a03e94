// The server's request decoding for every message type and sub-operation: requests decoded from
// the fuzzer's bytes go from a logged-on workstation to the test server, whose handlers read
// them against its catalogue (a SQLite file in TMPDIR; scripts/fuzz-all puts it in memory).
#include "server/support/RequestStream.h"
#include "transport/NetLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kx::SetNetLogEnabled(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* target = new requeststream::Target; // one server for the whole run
    if (!target->Run(data, size)) {
        std::fprintf(stderr, "the server stopped answering its session\n");
        std::abort();
    }
    return 0;
}
