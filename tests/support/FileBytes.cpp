#include "support/FileBytes.h"

#include <fstream>
#include <iterator>

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
