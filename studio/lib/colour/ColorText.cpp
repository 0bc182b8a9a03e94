#include "colour/ColorText.h"

#include "colour/ColorSpace.h"

#include <cstdio>

namespace {

int Low8(int v) { return static_cast<int>(static_cast<unsigned>(v) & 0xFFu); }

std::string Three(int a, int b, int c)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "(%d,%d,%d)", a, b, c);
    return buf;
}

std::string Four(int a, int b, int c, int d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%d,%d,%d,%d)", a, b, c, d);
    return buf;
}

std::string Bytes(int a, int b, int c) { return Three(Low8(a), Low8(b), Low8(c)); }

} // namespace

std::string ColorToText(ColorValue c) { return Three(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }

std::string RgbText(int r, int g, int b) { return Bytes(r, g, b); }
std::string CmyText(int c, int m, int y) { return Bytes(c, m, y); }
std::string YiqText(int y, int i, int q) { return Bytes(y, i, q); }
std::string YuvText(int y, int u, int v) { return Bytes(y, u, v); }
std::string YCbCrText(int y, int cb, int cr) { return Bytes(y, cb, cr); }
std::string CmykText(int c, int m, int y, int k) { return Four(Low8(c), Low8(m), Low8(y), Low8(k)); }
std::string QuadText(int a, int b, int c, int d) { return Four(a, b, c, d); }
std::string HsvText(int h, int s, int v) { return Three(h, s, v); }
std::string HsvText(double h, double s, double v) { return Three(TruncToInt(h), TruncToInt(s), TruncToInt(v)); }
std::string XyzText(int x, int y, int z) { return Three(x, y, z); }
std::string XyzText(double x, double y, double z) { return Three(TruncToInt(x), TruncToInt(y), TruncToInt(z)); }

std::string ColorToCmyText(ColorValue c)
{
    const ColorQuad q = ColorToCmyk(c);
    return Three(q.c1, q.c2, q.c3);
}

std::string ColorToCmykText(ColorValue c)
{
    const ColorQuad q = ColorToCmyk(c);
    return Four(q.c1, q.c2, q.c3, q.c4);
}

std::string ColorToYiqText(ColorValue c) { return Bytes(ColorYiqY(c), ColorYiqI(c), ColorYiqQ(c)); }
std::string ColorToYuvText(ColorValue c) { return Bytes(ColorYuvY(c), ColorYuvU(c), ColorYuvV(c)); }
std::string ColorToYCbCrText(ColorValue c) { return Bytes(ColorYCbCrY(c), ColorYCbCrCb(c), ColorYCbCrCr(c)); }

std::string ColorToHsvText(ColorValue c)
{
    const ColorQuad q = ColorToHsvQuad(c);
    return Three(q.c1, q.c2, q.c3);
}

std::string ColorToXyzText(ColorValue c)
{
    const ColorQuadF f = ColorToXyz(c);
    return XyzText(f.c1, f.c2, f.c3);
}

std::string ColorToLabText(ColorValue c)
{
    const ColorQuadF f = ColorToLab(ColorToRgbOrder(c));
    return Three(TruncToInt(f.c1), TruncToInt(f.c2), TruncToInt(f.c3));
}
