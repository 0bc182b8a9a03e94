// The registry store's file reader over a file of arbitrary bytes.
#include "platform/support/TextFileReaders.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TempDir dir;
    static const std::string path = dir.file("registry.ini");
    textreaders::ReadRegistry(data, size, path);
    return 0;
}
