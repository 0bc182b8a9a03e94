// The INI reader over a file of arbitrary bytes.
#include "platform/support/TextFileReaders.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TempDir dir;
    static const std::string path = dir.file("ini.ini");
    textreaders::ReadIni(data, size, path);
    return 0;
}
