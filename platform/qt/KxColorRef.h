// The programs' colour values (0x00BBGGRR: red in the low byte) and Qt's colours, converted in
// one place so no widget swaps red and blue by hand.
#pragma once

#include <QColor>

#include <cstdint>

namespace kx {

using COLORREF = std::uint32_t;

// The colour of the low three bytes; the high byte is ignored.
inline QColor FromColorRef(COLORREF c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline COLORREF ToColorRef(const QColor& c) {
    return COLORREF(c.red()) | (COLORREF(c.green()) << 8) | (COLORREF(c.blue()) << 16);
}

} // namespace kx
