// Stored copies on disk: the fuzzer's bytes are written as a copy's file and read back by every
// file kind's loader.
#include "core/support/ByteReaders.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TempDir dir;
    static const std::string path = dir.file("copy.kx");
    bytereaders::ReadStoredCopy(data, size, path);
    return 0;
}
