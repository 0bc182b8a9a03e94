#include "colour/ColorSpace.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

uint32_t Low8(int v) { return static_cast<uint32_t>(v) & 0xFFu; }

int Byte(double v) { return static_cast<int>(Low8(TruncToInt(v))); }

// Rounds a double into 0..255 before truncation; NaN gives 0.
int ClampByte(double v)
{
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<int>(v);
}

// Division whose zero divisor gives 0: the xyY and L*a*b* ratios of black or of a degenerate
// white point have no meaningful value, and a fixed one keeps the arithmetic defined.
double Ratio(double num, double den) { return den == 0.0 ? 0.0 : num / den; }

// The XYZ coefficients are single-precision constants; the sums are computed in doubles.
constexpr double F(float f) { return static_cast<double>(f); }

void Xyz(int r, int g, int b, double& x, double& y, double& z)
{
    x = F(0.412453f) * r + F(0.35758f) * g + F(0.180423f) * b;
    y = F(0.212671f) * r + F(0.71516f) * g + F(0.072169f) * b;
    z = (F(0.019334f) * r + F(0.119193f) * g + F(0.950227f) * b) * F(0.9184837f);
}

void XyzChannels(double x, double y, double z, int& r, int& g, int& b)
{
    const double zz = z * 1.088751;
    r = ClampByte(F(3.240479f) * x - F(1.53715f) * y - F(0.498535f) * zz);
    g = ClampByte(-F(0.969256f) * x + F(1.875992f) * y + F(0.041556f) * zz);
    b = ClampByte(F(0.055648f) * x - F(0.204043f) * y + F(1.057311f) * zz);
}

void Cmyk(int r, int g, int b, int& c, int& m, int& y, int& k)
{
    const int c0 = 255 - r, m0 = 255 - g, y0 = 255 - b;
    k = std::min({c0, m0, y0});
    if (k == 255) {
        c = m = y = 0;
        return;
    }
    const double span = 255 - k;
    c = TruncToInt((c0 - k) / span * 255);
    m = TruncToInt((m0 - k) / span * 255);
    y = TruncToInt((y0 - k) / span * 255);
}

ColorQuadF CmykF(int r, int g, int b)
{
    const int c0 = 255 - r, m0 = 255 - g, y0 = 255 - b;
    const int k = std::min({c0, m0, y0});
    if (k == 255) return {0.0, 0.0, 0.0, 255.0};
    const double span = 255 - k;
    return {(c0 - k) / span * 255, (m0 - k) / span * 255, (y0 - k) / span * 255, double(k)};
}

double LabF(double t) { return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 16.0 / 116.0; }

double LabInv(double f)
{
    const double f3 = f * f * f;
    return f3 > 0.008856 ? f3 : (f - 16.0 / 116.0) / 7.787;
}

double HslHue(double p, double q, double t)
{
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * (2.0 / 3.0 - t) * 6;
    return p;
}

int Sign(double a, double b) { return b > a ? 1 : (b < a ? -1 : 0); }

} // namespace

int TruncToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

ColorQuad::ColorQuad(double a, double b, double c, double d)
    : c1(TruncToInt(a)), c2(TruncToInt(b)), c3(TruncToInt(c)), c4(TruncToInt(d))
{
}

// --- Channels and packing -------------------------------------------------------------------

int ColorGetRed(ColorValue c) { return static_cast<int>(c & 0xFFu); }
int ColorGetGreen(ColorValue c) { return static_cast<int>((c >> 8) & 0xFFu); }
int ColorGetBlue(ColorValue c) { return static_cast<int>((c >> 16) & 0xFFu); }

void SplitColor(ColorValue c, uint8_t& red, uint8_t& green, uint8_t& blue)
{
    red = static_cast<uint8_t>(ColorGetRed(c));
    green = static_cast<uint8_t>(ColorGetGreen(c));
    blue = static_cast<uint8_t>(ColorGetBlue(c));
}

ColorValue ColorFromRgb(int red, int green, int blue)
{
    return Low8(red) | (Low8(green) << 8) | (Low8(blue) << 16);
}

uint32_t SwapRedBlue(uint32_t v) { return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu); }

uint32_t ColorToRgbOrder(ColorValue c) { return SwapRedBlue(c); }

uint32_t PackCmyk(int c, int m, int y, int k)
{
    return (Low8(c) << 24) | (Low8(m) << 16) | (Low8(y) << 8) | Low8(k);
}

void UnpackCmyk(uint32_t packed, uint8_t& c, uint8_t& m, uint8_t& y, uint8_t& k)
{
    c = static_cast<uint8_t>(packed >> 24);
    m = static_cast<uint8_t>(packed >> 16);
    y = static_cast<uint8_t>(packed >> 8);
    k = static_cast<uint8_t>(packed);
}

// --- CMY ------------------------------------------------------------------------------------

ColorQuad ColorInvert(ColorValue c)
{
    return {255 - ColorGetRed(c), 255 - ColorGetGreen(c), 255 - ColorGetBlue(c), 0};
}

void ColorInvert(ColorValue c, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow)
{
    cyan = static_cast<uint8_t>(255 - ColorGetRed(c));
    magenta = static_cast<uint8_t>(255 - ColorGetGreen(c));
    yellow = static_cast<uint8_t>(255 - ColorGetBlue(c));
}

ColorTriple ColorToCmy(ColorValue c)
{
    return {255 - ColorGetRed(c), 255 - ColorGetGreen(c), 255 - ColorGetBlue(c)};
}

int ColorCmyC(ColorValue c) { return 255 - ColorGetRed(c); }
int ColorCmyM(ColorValue c) { return 255 - ColorGetGreen(c); }
int ColorCmyY(ColorValue c) { return 255 - ColorGetBlue(c); }

ColorQuad RgbOrderInvert(uint32_t rgb) { return ColorInvert(SwapRedBlue(rgb)); }

void RgbOrderInvert(uint32_t rgb, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow)
{
    ColorInvert(SwapRedBlue(rgb), cyan, magenta, yellow);
}

ColorTriple RgbOrderToCmy(uint32_t rgb) { return ColorToCmy(SwapRedBlue(rgb)); }
int RgbOrderCmyC(uint32_t rgb) { return ColorCmyC(SwapRedBlue(rgb)); }
int RgbOrderCmyM(uint32_t rgb) { return ColorCmyM(SwapRedBlue(rgb)); }
int RgbOrderCmyY(uint32_t rgb) { return ColorCmyY(SwapRedBlue(rgb)); }

ColorValue CmyToColor(int c, int m, int y)
{
    return ColorFromRgb(255 - int(Low8(c)), 255 - int(Low8(m)), 255 - int(Low8(y)));
}

uint32_t CmyToRgbOrder(int c, int m, int y) { return SwapRedBlue(CmyToColor(c, m, y)); }

void CmyToRgbOrder(int c, int m, int y, uint32_t& rgb) { rgb = CmyToRgbOrder(c, m, y); }

uint32_t CmyToRgbOrder(const ColorTriple& cmy) { return CmyToRgbOrder(cmy.c1, cmy.c2, cmy.c3); }

// --- CMYK -----------------------------------------------------------------------------------

void ColorToCmyk(ColorValue c, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow, uint8_t& black)
{
    const ColorQuad q = ColorToCmyk(c);
    cyan = static_cast<uint8_t>(q.c1);
    magenta = static_cast<uint8_t>(q.c2);
    yellow = static_cast<uint8_t>(q.c3);
    black = static_cast<uint8_t>(q.c4);
}

ColorQuad ColorToCmyk(ColorValue c)
{
    ColorQuad q;
    Cmyk(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c), q.c1, q.c2, q.c3, q.c4);
    return q;
}

ColorQuadF ColorToCmykF(ColorValue c) { return CmykF(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }

int ColorCmykC(ColorValue c) { return ColorToCmyk(c).c1; }
int ColorCmykM(ColorValue c) { return ColorToCmyk(c).c2; }
int ColorCmykY(ColorValue c) { return ColorToCmyk(c).c3; }
int ColorCmykK(ColorValue c) { return ColorToCmyk(c).c4; }

void RgbOrderToCmyk(uint32_t rgb, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow, uint8_t& black)
{
    ColorToCmyk(SwapRedBlue(rgb), cyan, magenta, yellow, black);
}

ColorQuad RgbOrderToCmyk(uint32_t rgb) { return ColorToCmyk(SwapRedBlue(rgb)); }
ColorQuadF RgbOrderToCmykF(uint32_t rgb) { return ColorToCmykF(SwapRedBlue(rgb)); }
int RgbOrderCmykC(uint32_t rgb) { return ColorCmykC(SwapRedBlue(rgb)); }
int RgbOrderCmykM(uint32_t rgb) { return ColorCmykM(SwapRedBlue(rgb)); }
int RgbOrderCmykY(uint32_t rgb) { return ColorCmykY(SwapRedBlue(rgb)); }
int RgbOrderCmykK(uint32_t rgb) { return ColorCmykK(SwapRedBlue(rgb)); }

ColorValue CmykToColor(int c, int m, int y, int k)
{
    const int cb = int(Low8(c)), mb = int(Low8(m)), yb = int(Low8(y)), kb = int(Low8(k));
    const double f = (255 - kb) / 255.0;
    return ColorFromRgb(255 - TruncToInt(cb * f + kb), 255 - TruncToInt(mb * f + kb),
                        255 - TruncToInt(yb * f + kb));
}

uint32_t CmykToRgbOrder(int c, int m, int y, int k) { return SwapRedBlue(CmykToColor(c, m, y, k)); }

ColorValue CmykPackedToColor(uint32_t packed)
{
    uint8_t c, m, y, k;
    UnpackCmyk(packed, c, m, y, k);
    return CmykToColor(c, m, y, k);
}

ColorValue ColorFromCmyk(int c, int m, int y, int k) { return CmykToColor(c, m, y, k); }

// --- YIQ, YUV, YCbCr ------------------------------------------------------------------------

namespace {
double Luma(int r, int g, int b) { return 0.299 * int(Low8(r)) + 0.587 * int(Low8(g)) + 0.114 * int(Low8(b)); }
double B8(int v) { return int(Low8(v)); }
} // namespace

int ColorYiqY(int r, int g, int b) { return TruncToInt(Luma(r, g, b)); }
int ColorYiqI(int r, int g, int b) { return TruncToInt(0.596 * B8(r) - 0.274 * B8(g) - 0.322 * B8(b)); }
int ColorYiqQ(int r, int g, int b) { return TruncToInt(0.211 * B8(r) - 0.523 * B8(g) + 0.312 * B8(b)); }
int ColorYiqY(ColorValue c) { return ColorYiqY(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYiqI(ColorValue c) { return ColorYiqI(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYiqQ(ColorValue c) { return ColorYiqQ(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }

int YiqToRed(int y, int i, int q) { return Byte(B8(y) + 0.956 * B8(i) + 0.621 * B8(q)); }
int YiqToGreen(int y, int i, int q) { return Byte(B8(y) - 0.272 * B8(i) - 0.647 * B8(q)); }
int YiqToBlue(int y, int i, int q) { return Byte(B8(y) - 1.106 * B8(i) + 1.703 * B8(q)); }
ColorValue YiqToColor(int y, int i, int q)
{
    return ColorFromRgb(YiqToRed(y, i, q), YiqToGreen(y, i, q), YiqToBlue(y, i, q));
}

int ColorYuvY(int r, int g, int b) { return TruncToInt(Luma(r, g, b)); }
int ColorYuvU(int r, int g, int b) { return TruncToInt(-0.148 * B8(r) - 0.289 * B8(g) + 0.473 * B8(b)); }
int ColorYuvV(int r, int g, int b) { return TruncToInt(0.615 * B8(r) - 0.515 * B8(g) - 0.1 * B8(b)); }
int ColorYuvY(ColorValue c) { return ColorYuvY(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYuvU(ColorValue c) { return ColorYuvU(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYuvV(ColorValue c) { return ColorYuvV(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }

int YuvToRed(int y, int /*u*/, int v) { return Byte(B8(y) + 1.14 * B8(v)); }
int YuvToGreen(int y, int u, int v) { return Byte(B8(y) - 0.395 * B8(u) - 0.581 * B8(v)); }
int YuvToBlue(int y, int u) { return Byte(B8(y) + 2.032 * B8(u)); }
ColorValue YuvToColor(int y, int u, int v)
{
    return ColorFromRgb(YuvToRed(y, u, v), YuvToGreen(y, u, v), YuvToBlue(y, u));
}

int ColorYCbCrY(int r, int g, int b) { return TruncToInt(Luma(r, g, b)); }
int ColorYCbCrCb(int r, int g, int b)
{
    return TruncToInt(-0.1687 * B8(r) - 0.3313 * B8(g) + 0.5 * B8(b) + 128);
}
int ColorYCbCrCr(int r, int g, int b)
{
    return TruncToInt(0.5 * B8(r) - 0.4187 * B8(g) - 0.0813 * B8(b) + 128);
}
int ColorYCbCrY(ColorValue c) { return ColorYCbCrY(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYCbCrCb(ColorValue c) { return ColorYCbCrCb(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }
int ColorYCbCrCr(ColorValue c) { return ColorYCbCrCr(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c)); }

int YCbCrToRed(int y, int cr) { return Byte(B8(y) + 1.402 * (B8(cr) - 128)); }
int YCbCrToGreen(int y, int cb, int cr)
{
    return Byte(B8(y) - 0.34414 * (B8(cb) - 128) - 0.71414 * (B8(cr) - 128));
}
int YCbCrToBlue(int y, int cb) { return Byte(B8(y) + 1.772 * (B8(cb) - 128)); }
ColorValue YCbCrToColor(int y, int cb, int cr)
{
    return ColorFromRgb(YCbCrToRed(y, cr), YCbCrToGreen(y, cb, cr), YCbCrToBlue(y, cb));
}

// --- HSL ------------------------------------------------------------------------------------

void ColorToHsl(ColorValue c, double& h, double& s, double& l)
{
    const double r = ColorGetRed(c) / 255.0, g = ColorGetGreen(c) / 255.0, b = ColorGetBlue(c) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = s = 0;
        return;
    }
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h /= 6;
    if (h < 0) h += 1;
}

void ColorToHsl240(ColorValue c, uint8_t& h, uint8_t& s, uint8_t& l)
{
    double hf, sf, lf;
    ColorToHsl(c, hf, sf, lf);
    h = static_cast<uint8_t>(Byte(hf * 240));
    s = static_cast<uint8_t>(Byte(sf * 240));
    l = static_cast<uint8_t>(Byte(lf * 240));
}

int ColorHslH(ColorValue c)
{
    uint8_t h, s, l;
    ColorToHsl240(c, h, s, l);
    return h;
}

int ColorHslS(ColorValue c)
{
    uint8_t h, s, l;
    ColorToHsl240(c, h, s, l);
    return s;
}

int ColorHslL(ColorValue c)
{
    uint8_t h, s, l;
    ColorToHsl240(c, h, s, l);
    return l;
}

ColorValue HslToColor(double h, double l, double s)
{
    if (s == 0) {
        const int v = TruncToInt(l * 255);
        return ColorFromRgb(v, v, v);
    }
    const double q = l > 0.5 ? l + s - l * s : l * (1 + s);
    const double p = 2 * l - q;
    return ColorFromRgb(TruncToInt(HslHue(p, q, h + 1.0 / 3.0) * 255), TruncToInt(HslHue(p, q, h) * 255),
                        TruncToInt(HslHue(p, q, h - 1.0 / 3.0) * 255));
}

ColorValue Hsl240ToColor(int h, int s, int l) { return HslToColor(h / 240.0, l / 240.0, s / 240.0); }

// --- HSV ------------------------------------------------------------------------------------

void RgbToHsv(double red, double green, double blue, double& h, double& s, double& v)
{
    const double mx = std::max({red, green, blue}), mn = std::min({red, green, blue});
    v = mx;
    if (mx == 0) {
        h = s = 0;
        return;
    }
    s = (mx - mn) * 255 / mx;
    if (mx == mn) {
        h = 0;
        return;
    }
    const double d = mx - mn;
    if (red == mx)
        h = (green - blue) / d;
    else if (green == mx)
        h = (blue - red) / d + 2;
    else
        h = (red - green) / d + 4;
    h *= 60;
    if (h < 0) h += 360;
}

void ColorToHsv(ColorValue c, int& h, int& s, int& v)
{
    double hf, sf, vf;
    RgbToHsv(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c), hf, sf, vf);
    h = TruncToInt(hf);
    s = TruncToInt(sf);
    v = TruncToInt(vf);
}

int ColorGetHue(ColorValue c) { return ColorToHsvQuad(c).c1; }
int ColorGetSaturation(ColorValue c) { return ColorToHsvQuad(c).c2; }
int ColorGetValue(ColorValue c) { return ColorToHsvQuad(c).c3; }

ColorQuad ColorToHsvQuad(ColorValue c)
{
    ColorQuad q;
    ColorToHsv(c, q.c1, q.c2, q.c3);
    return q;
}

ColorTripleF ColorToHsvF(ColorValue c)
{
    ColorTripleF t;
    RgbToHsv(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c), t.c1, t.c2, t.c3);
    return t;
}

void HsvToRgb(double h, double s, double v, double& red, double& green, double& blue)
{
    if (s == 0) {
        red = green = blue = v;
        return;
    }
    // The sector stays a double: an H far outside 0..360 (or NaN) must not become an int first.
    const double hh = h / 60;
    const double i = std::floor(hh);
    const double f = hh - i;
    const double m = s / 255;
    const double p = v * (1 - m), q = v * (1 - m * f), t = v * (1 - m * (1 - f));
    if (i == 0) {
        red = v, green = t, blue = p;
    } else if (i == 1) {
        red = q, green = v, blue = p;
    } else if (i == 2) {
        red = p, green = v, blue = t;
    } else if (i == 3) {
        red = p, green = q, blue = v;
    } else if (i == 4) {
        red = t, green = p, blue = v;
    } else {
        red = v, green = p, blue = q;
    }
}

void HsvToRgbInt(double h, double s, double v, int& red, int& green, int& blue)
{
    double r, g, b;
    HsvToRgb(h, s, v, r, g, b);
    red = TruncToInt(std::ceil(r));
    green = TruncToInt(std::ceil(g));
    blue = TruncToInt(std::ceil(b));
}

ColorValue HsvToColor(double h, double s, double v)
{
    double r, g, b;
    HsvToRgb(h, s, v, r, g, b);
    return ColorFromRgb(TruncToInt(r), TruncToInt(g), TruncToInt(b));
}

uint32_t HsvToRgbOrder(double h, double s, double v) { return SwapRedBlue(HsvToColor(h, s, v)); }

ColorValue ColorFromHsv(int h, int s, int v) { return HsvToColor(h, s, v); }

// --- CIE XYZ --------------------------------------------------------------------------------

ColorQuadF ColorToXyz(ColorValue c)
{
    ColorQuadF q;
    ColorToXyz(c, q.c1, q.c2, q.c3);
    return q;
}

ColorQuad ColorToXyzQuad(ColorValue c)
{
    const ColorQuadF f = ColorToXyz(c);
    return {f.c1, f.c2, f.c3, f.c4};
}

void ColorToXyz(ColorValue c, double& x, double& y, double& z)
{
    Xyz(ColorGetRed(c), ColorGetGreen(c), ColorGetBlue(c), x, y, z);
}

ColorQuadF RgbOrderToXyz(uint32_t rgb) { return ColorToXyz(SwapRedBlue(rgb)); }
ColorQuad RgbOrderToXyzQuad(uint32_t rgb) { return ColorToXyzQuad(SwapRedBlue(rgb)); }
void RgbOrderToXyz(uint32_t rgb, double& x, double& y, double& z) { ColorToXyz(SwapRedBlue(rgb), x, y, z); }

ColorValue XyzToColor(double x, double y, double z)
{
    int r, g, b;
    XyzChannels(x, y, z, r, g, b);
    return ColorFromRgb(r, g, b);
}

ColorValue XyzToColor(const ColorQuadF& xyz) { return XyzToColor(xyz.c1, xyz.c2, xyz.c3); }

uint32_t XyzToRgbOrder(double x, double y, double z) { return SwapRedBlue(XyzToColor(x, y, z)); }

void XyzToRgb(double x, double y, double z, uint8_t& red, uint8_t& green, uint8_t& blue)
{
    int r, g, b;
    XyzChannels(x, y, z, r, g, b);
    red = static_cast<uint8_t>(r);
    green = static_cast<uint8_t>(g);
    blue = static_cast<uint8_t>(b);
}

ColorValue ColorFromXyz(int x, int y, int z) { return XyzToColor(x, y, z); }

// --- CIE xyY --------------------------------------------------------------------------------

ColorQuadF XyzToXyy(double x, double y, double z)
{
    const double s = x + y + z;
    return {y, Ratio(x, s), Ratio(y, s), 0.0};
}

ColorQuadF XyyToXyz(double bigY, double x, double y)
{
    if (y == 0) return {0.0, bigY, 0.0, 0.0};
    return {x * bigY / y, bigY, (1 - x - y) * bigY / y, 0.0};
}

// --- CIE L*a*b* -----------------------------------------------------------------------------

ColorQuadF XyzToLab(double x, double y, double z, double xn, double yn, double zn)
{
    const double fx = LabF(Ratio(x, xn)), fy = LabF(Ratio(y, yn)), fz = LabF(Ratio(z, zn));
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz), 0.0};
}

ColorQuadF LabToXyz(double l, double a, double b, double xn, double yn, double zn)
{
    const double fy = (l + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
    return {LabInv(fx) * xn, LabInv(fy) * yn, LabInv(fz) * zn, 0.0};
}

ColorQuadF ColorToLab(uint32_t rgb) { return ColorToLabWhite(rgb, kWhiteXn, kWhiteYn, kWhiteZn); }

ColorQuadF ColorToLabWhite(uint32_t rgb, double xn, double yn, double zn)
{
    const ColorQuadF xyz = RgbOrderToXyz(rgb);
    return XyzToLab(xyz.c1, xyz.c2, xyz.c3, xn, yn, zn);
}

ColorQuad ColorToLabQuad(ColorValue c)
{
    const ColorQuadF f = ColorToLab(ColorToRgbOrder(c));
    return {f.c1, f.c2, f.c3, f.c4};
}

ColorValue LabToColor(double l, double a, double b) { return LabToColorWhite(l, a, b, kWhiteXn, kWhiteYn, kWhiteZn); }

ColorValue LabToColorWhite(double l, double a, double b, double xn, double yn, double zn)
{
    return XyzToColor(LabToXyz(l, a, b, xn, yn, zn));
}

ColorValue LabToColor(const ColorQuadF& lab) { return LabToColor(lab.c1, lab.c2, lab.c3); }

ColorValue ColorFromLab(int l, int a, int b) { return LabToColor(l, a, b); }

int CompareLabL(uint32_t rgb1, uint32_t rgb2) { return Sign(ColorToLab(rgb1).c1, ColorToLab(rgb2).c1); }
int CompareLabA(uint32_t rgb1, uint32_t rgb2) { return Sign(ColorToLab(rgb1).c2, ColorToLab(rgb2).c2); }
int CompareLabB(uint32_t rgb1, uint32_t rgb2) { return Sign(ColorToLab(rgb1).c3, ColorToLab(rgb2).c3); }

double LabDeltaE(double l1, double a1, double b1, double l2, double a2, double b2)
{
    const double dl = l2 - l1, da = a2 - a1, db = b2 - b1;
    return std::sqrt(dl * dl + da * da + db * db);
}
