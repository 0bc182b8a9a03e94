// Small colour records that the colour arithmetic fills and the colour lists sort: three or four
// components in the order of the space that produced them (RGB {R, G, B, 0}, CMYK {C, M, Y, K},
// HSV {H, S, V, 0}, XYZ {X, Y, Z, 0}, L*a*b* {L, a, b, 0}, xyY {Y, x, y, 0}).
#pragma once

#include <cstdint>

// A Windows colour value: red in bits 0-7, green in bits 8-15, blue in bits 16-23, bits 24-31 zero.
using ColorValue = uint32_t;

// A double as an int: truncated toward zero; NaN gives 0 and values beyond the int range are
// clamped to it first, so no conversion is ever undefined.
int TruncToInt(double v);

// Four integers. The double constructor truncates each component with TruncToInt.
struct ColorQuad {
    int32_t c1 = 0, c2 = 0, c3 = 0, c4 = 0;

    ColorQuad() = default;
    ColorQuad(int32_t a, int32_t b, int32_t c, int32_t d) : c1(a), c2(b), c3(c), c4(d) {}
    ColorQuad(double a, double b, double c, double d);

    bool operator==(const ColorQuad&) const = default;
};

// Four doubles.
struct ColorQuadF {
    double c1 = 0, c2 = 0, c3 = 0, c4 = 0;

    ColorQuadF() = default;
    ColorQuadF(int32_t a, int32_t b, int32_t c, int32_t d) : c1(a), c2(b), c3(c), c4(d) {}
    ColorQuadF(double a, double b, double c, double d) : c1(a), c2(b), c3(c), c4(d) {}

    bool operator==(const ColorQuadF&) const = default;
};

// Three integers (the CMY record).
struct ColorTriple {
    int32_t c1 = 0, c2 = 0, c3 = 0;
    bool operator==(const ColorTriple&) const = default;
};

// Three doubles (the HSV record).
struct ColorTripleF {
    double c1 = 0, c2 = 0, c3 = 0;
    bool operator==(const ColorTripleF&) const = default;
};

// A ColorQuadF with a word of flags. The meaning of the four doubles and of the flag bits is the
// owner's: the colour lists only test bits 1, 2 and 4 and sort by the fourth double, then flags.
struct FlaggedColorQuad {
    ColorQuadF quad;
    uint32_t flags = 0;

    FlaggedColorQuad() = default;
    FlaggedColorQuad(double a, double b, double c, double d, uint32_t f = 0) : quad(a, b, c, d), flags(f) {}

    bool TestFlag1() const { return (flags & 1u) != 0; }
    bool TestFlag2() const { return (flags & 2u) != 0; }
    bool TestFlag4() const { return (flags & 4u) != 0; }
};
