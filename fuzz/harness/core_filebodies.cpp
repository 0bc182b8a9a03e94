// File bodies of every kind, files made from bare records, attribute template bodies.
#include "core/support/ByteReaders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bytereaders::ReadFileBodies(data, size);
    return 0;
}
