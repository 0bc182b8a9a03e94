// Conversion between the programs' UTF-8 text and the GBK (CP936) bytes of wire records, list
// buffers and stored copies, plus the bounded writer and reader of fixed-width text fields.
// Inside the programs text is UTF-8; these functions are the only crossing point.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx {

// UTF-8 to GBK. A character with no GBK form becomes '?'; invalid UTF-8 bytes become '?'.
std::string ToGbk(std::string_view utf8);

// GBK to UTF-8. A cut double-byte character at the end is dropped; any other byte that is
// not GBK becomes '?', so a reader never fails.
std::string FromGbk(std::string_view gbk);

// True when every character of the UTF-8 text has a GBK form (for refusing typed input).
bool HasGbkForm(std::string_view utf8);

// Length of the text in GBK bytes (the unit of every length limit).
size_t GbkLength(std::string_view utf8);

// Largest prefix length (in bytes of the GBK text) not above max that ends on a character
// boundary of that GBK text.
size_t GbkCutPoint(std::string_view gbk, size_t max);

// Writes UTF-8 text into a fixed GBK field of `width` bytes: at most width-1 bytes, cut at a
// character boundary, always NUL-terminated; the rest of the field is zeroed.
void PutFixedText(char* field, size_t width, std::string_view utf8);

// Reads a fixed GBK field of `width` bytes as UTF-8: stops at the first NUL or at the width,
// tolerating a cut double-byte character at the end.
std::string GetFixedText(const char* field, size_t width);

// Array forms that take the width from the field itself.
template <size_t N>
inline void PutText(char (&field)[N], std::string_view utf8) { PutFixedText(field, N, utf8); }
template <size_t N>
inline std::string GetText(const char (&field)[N]) { return GetFixedText(field, N); }

} // namespace kx

namespace kx {

// The UTF-8 text as it survives a fixed GBK field of `width` bytes (at most width-1 GBK bytes,
// cut at a character boundary): what a receiver of the record would read back.
std::string FitText(std::string_view utf8, size_t width);

// The longest prefix of a UTF-8 text of at most max bytes that ends on a character boundary.
std::string CutUtf8(std::string_view utf8, size_t max);

} // namespace kx
