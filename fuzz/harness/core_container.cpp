// The multi-section container reader, and the files a container makes.
#include "core/support/ByteReaders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bytereaders::ReadContainer(data, size);
    return 0;
}
