// Rights buffers and member containers.
#include "core/support/ByteReaders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bytereaders::ReadRightsAndMembers(data, size);
    return 0;
}
