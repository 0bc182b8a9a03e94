// Query templates and operands, read and turned into SQL.
#include "core/support/ByteReaders.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bytereaders::ReadQuery(data, size);
    return 0;
}
