// Pieces of expected wire bytes that record tests concatenate by hand (never produced by the
// code under test): little-endian int32 and DATE, and a fixed text field padded with zeros.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

inline std::string I32(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
}

inline std::string F64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return s;
}

// The raw bytes of a text (GBK as the field must hold it) padded with zeros to the width.
inline std::string Field(const std::string& raw, size_t width) {
    std::string f = raw;
    f.resize(width, '\0');
    return f;
}
