// Expected wire bytes written field by field by the test itself (never by the code under test):
// little-endian integers and DATEs at given offsets, raw GBK text, zeros everywhere else.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

class GoldenBytes {
public:
    explicit GoldenBytes(size_t n) : bytes_(n, '\0') {}

    GoldenBytes& I32(size_t off, int32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.at(off + i) = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    GoldenBytes& U8(size_t off, uint8_t v) {
        bytes_.at(off) = static_cast<char>(v);
        return *this;
    }
    GoldenBytes& Date(size_t off, double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) bytes_.at(off + i) = static_cast<char>((bits >> (8 * i)) & 0xFF);
        return *this;
    }
    // Raw bytes (GBK text as the field must hold it, without its NUL).
    GoldenBytes& Raw(size_t off, const std::string& b) {
        bytes_.replace(off, b.size(), b);
        return *this;
    }
    const std::string& Str() const { return bytes_; }

private:
    std::string bytes_;
};

// GBK bytes used by the record tests: 中 is D6 D0, 图像 is CD BC CF F1.
inline std::string GbkZhong(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\xD6\xD0";
    return s;
}
inline std::string Utf8Zhong(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "中";
    return s;
}
