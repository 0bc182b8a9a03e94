// The studio's colour arithmetic: takes a colour value apart, builds one from components and
// converts it to and from CMY, CMYK, YIQ, YUV, YCbCr, HSL, HSV, CIE XYZ, xyY and L*a*b*.
// Stateless free functions. Doubles become integers by truncation toward zero (TruncToInt: NaN
// gives 0, out-of-range values are clamped first); components taken or given as bytes keep their
// low 8 bits. Every function that builds a colour value or an RGB-order value leaves bits 24-31 0.
//
// An RGB-order value holds red in bits 16-23, green in 8-15, blue in 0-7 (a pixel's blue-green-red
// quad); the XYZ and L*a*b* arithmetic computes on it. A packed CMYK value holds cyan in bits 24-31,
// magenta 16-23, yellow 8-15, black 0-7.
//
// Ranges of the results, for 8-bit input:
//   R, G, B, C, M, Y, K, HSV S and V: 0..255; HSV H: 0 up to but not including 360 degrees;
//   HSL H, S, L: fractions 0..1, or 0..240 in the scaled forms;
//   YIQ: Y 0..255, I about -151..151, Q about -133..133 (signed);
//   YUV: Y 0..255, U about -111..120, V about -156..156 (signed);
//   YCbCr: Y, Cb, Cr 0..255 (Cb and Cr carry +128);
//   XYZ: X 0..242, Y 0..255, Z 0..255 (channels are not scaled to 1 or 100);
//   L*a*b* (default white point): L 0..142, a and b signed, about -140..140 (blue gives b ~ -140).
#pragma once

#include "colour/ColorQuad.h"

#include <cstdint>

// Default white point of the L*a*b* conversions.
inline constexpr double kWhiteXn = 95.05;
inline constexpr double kWhiteYn = 100.0;
inline constexpr double kWhiteZn = 108.91;

// --- Channels and packing -------------------------------------------------------------------
int ColorGetRed(ColorValue c);   // bits 0-7
int ColorGetGreen(ColorValue c); // bits 8-15
int ColorGetBlue(ColorValue c);  // bits 16-23
void SplitColor(ColorValue c, uint8_t& red, uint8_t& green, uint8_t& blue);
ColorValue ColorFromRgb(int red, int green, int blue);
uint32_t SwapRedBlue(uint32_t v); // one order into the other; bits 24-31 cleared
uint32_t ColorToRgbOrder(ColorValue c);
uint32_t PackCmyk(int c, int m, int y, int k);
void UnpackCmyk(uint32_t packed, uint8_t& c, uint8_t& m, uint8_t& y, uint8_t& k);

// --- CMY: C = 255 - R, M = 255 - G, Y = 255 - B (0..255) ---------------------------------------
ColorQuad ColorInvert(ColorValue c); // {C, M, Y, 0}
void ColorInvert(ColorValue c, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow);
ColorTriple ColorToCmy(ColorValue c);
int ColorCmyC(ColorValue c);
int ColorCmyM(ColorValue c);
int ColorCmyY(ColorValue c);
ColorQuad RgbOrderInvert(uint32_t rgb);
void RgbOrderInvert(uint32_t rgb, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow);
ColorTriple RgbOrderToCmy(uint32_t rgb);
int RgbOrderCmyC(uint32_t rgb);
int RgbOrderCmyM(uint32_t rgb);
int RgbOrderCmyY(uint32_t rgb);
ColorValue CmyToColor(int c, int m, int y);
uint32_t CmyToRgbOrder(int c, int m, int y);
void CmyToRgbOrder(int c, int m, int y, uint32_t& rgb);
uint32_t CmyToRgbOrder(const ColorTriple& cmy);

// --- CMYK (0..255 each; black gives 0, 0, 0, 255) ---------------------------------------------
void ColorToCmyk(ColorValue c, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow, uint8_t& black);
ColorQuad ColorToCmyk(ColorValue c);   // {C, M, Y, K}
ColorQuadF ColorToCmykF(ColorValue c); // {C, M, Y, K} before truncation
int ColorCmykC(ColorValue c);
int ColorCmykM(ColorValue c);
int ColorCmykY(ColorValue c);
int ColorCmykK(ColorValue c);
void RgbOrderToCmyk(uint32_t rgb, uint8_t& cyan, uint8_t& magenta, uint8_t& yellow, uint8_t& black);
ColorQuad RgbOrderToCmyk(uint32_t rgb);
ColorQuadF RgbOrderToCmykF(uint32_t rgb);
int RgbOrderCmykC(uint32_t rgb);
int RgbOrderCmykM(uint32_t rgb);
int RgbOrderCmykY(uint32_t rgb);
int RgbOrderCmykK(uint32_t rgb);
ColorValue CmykToColor(int c, int m, int y, int k);
uint32_t CmykToRgbOrder(int c, int m, int y, int k);
ColorValue CmykPackedToColor(uint32_t packed);
ColorValue ColorFromCmyk(int c, int m, int y, int k); // = CmykToColor

// --- YIQ, YUV, YCbCr: forward results are signed integers (ranges above); the inverse reads its
// components as unsigned bytes and keeps the low 8 bits of each channel, without clamping. -----
int ColorYiqY(ColorValue c);
int ColorYiqI(ColorValue c);
int ColorYiqQ(ColorValue c);
int ColorYiqY(int red, int green, int blue);
int ColorYiqI(int red, int green, int blue);
int ColorYiqQ(int red, int green, int blue);
ColorValue YiqToColor(int y, int i, int q);
int YiqToRed(int y, int i, int q);
int YiqToGreen(int y, int i, int q);
int YiqToBlue(int y, int i, int q);

int ColorYuvY(ColorValue c);
int ColorYuvU(ColorValue c);
int ColorYuvV(ColorValue c);
int ColorYuvY(int red, int green, int blue);
int ColorYuvU(int red, int green, int blue);
int ColorYuvV(int red, int green, int blue);
ColorValue YuvToColor(int y, int u, int v);
int YuvToRed(int y, int u, int v); // does not depend on u
int YuvToGreen(int y, int u, int v);
int YuvToBlue(int y, int u);

int ColorYCbCrY(ColorValue c);
int ColorYCbCrCb(ColorValue c);
int ColorYCbCrCr(ColorValue c);
int ColorYCbCrY(int red, int green, int blue);
int ColorYCbCrCb(int red, int green, int blue);
int ColorYCbCrCr(int red, int green, int blue);
ColorValue YCbCrToColor(int y, int cb, int cr);
int YCbCrToRed(int y, int cr);
int YCbCrToGreen(int y, int cb, int cr);
int YCbCrToBlue(int y, int cb);

// --- HSL: fractions 0..1, or 0..240 scaled. Note the argument order of HslToColor. -------------
void ColorToHsl(ColorValue c, double& h, double& s, double& l);
void ColorToHsl240(ColorValue c, uint8_t& h, uint8_t& s, uint8_t& l);
int ColorHslH(ColorValue c); // 0..240
int ColorHslS(ColorValue c); // 0..240
int ColorHslL(ColorValue c); // 0..240
ColorValue HslToColor(double h, double l, double s);
ColorValue Hsl240ToColor(int h, int s, int l);

// --- HSV: H in degrees 0 <= H < 360, S and V 0..255 --------------------------------------------
void RgbToHsv(double red, double green, double blue, double& h, double& s, double& v);
void ColorToHsv(ColorValue c, int& h, int& s, int& v);
int ColorGetHue(ColorValue c);
int ColorGetSaturation(ColorValue c);
int ColorGetValue(ColorValue c);
ColorQuad ColorToHsvQuad(ColorValue c);   // {H, S, V, 0}, truncated
ColorTripleF ColorToHsvF(ColorValue c);   // {H, S, V} as doubles
// Channels as doubles (0..255 for S and V in range). H outside 0..360 takes the sector of its
// floor(H / 60); sectors other than 0..5 (NaN and infinities included) give (V, p, q).
void HsvToRgb(double h, double s, double v, double& red, double& green, double& blue);
void HsvToRgbInt(double h, double s, double v, int& red, int& green, int& blue); // ceilings
ColorValue HsvToColor(double h, double s, double v);
uint32_t HsvToRgbOrder(double h, double s, double v);
ColorValue ColorFromHsv(int h, int s, int v);

// --- CIE XYZ (X 0..242, Y 0..255, Z 0..255 for 8-bit input) -----------------------------------
ColorQuadF ColorToXyz(ColorValue c); // {X, Y, Z, 0}
ColorQuad ColorToXyzQuad(ColorValue c);
void ColorToXyz(ColorValue c, double& x, double& y, double& z);
ColorQuadF RgbOrderToXyz(uint32_t rgb);
ColorQuad RgbOrderToXyzQuad(uint32_t rgb);
void RgbOrderToXyz(uint32_t rgb, double& x, double& y, double& z);
// Each channel is clamped to 0..255 (NaN gives 0) before truncation.
ColorValue XyzToColor(double x, double y, double z);
ColorValue XyzToColor(const ColorQuadF& xyz);
uint32_t XyzToRgbOrder(double x, double y, double z);
void XyzToRgb(double x, double y, double z, uint8_t& red, uint8_t& green, uint8_t& blue);
ColorValue ColorFromXyz(int x, int y, int z);

// --- CIE xyY: {Y, x, y, 0}. A zero sum gives {Y, 0, 0, 0} (black: all 0); y = 0 gives
// {0, Y, 0, 0}. ------------------------------------------------------------------------------
ColorQuadF XyzToXyy(double x, double y, double z);
ColorQuadF XyyToXyz(double bigY, double x, double y); // {X, Y, Z, 0}

// --- CIE L*a*b*: {L, a, b, 0}; a and b are signed. A white-point component of 0 makes its ratio
// 0. ------------------------------------------------------------------------------------------
ColorQuadF XyzToLab(double x, double y, double z, double xn, double yn, double zn);
ColorQuadF LabToXyz(double l, double a, double b, double xn, double yn, double zn);
ColorQuadF ColorToLab(uint32_t rgb); // takes an RGB-order value, default white point
ColorQuadF ColorToLabWhite(uint32_t rgb, double xn, double yn, double zn);
ColorQuad ColorToLabQuad(ColorValue c); // colour value turned into RGB order first; truncated
ColorValue LabToColor(double l, double a, double b);
ColorValue LabToColorWhite(double l, double a, double b, double xn, double yn, double zn);
ColorValue LabToColor(const ColorQuadF& lab);
ColorValue ColorFromLab(int l, int a, int b);
// 1 when c2's component is greater than c1's, -1 when smaller, 0 when equal (RGB-order values).
int CompareLabL(uint32_t rgb1, uint32_t rgb2);
int CompareLabA(uint32_t rgb1, uint32_t rgb2);
int CompareLabB(uint32_t rgb1, uint32_t rgb2);
double LabDeltaE(double l1, double a1, double b1, double l2, double a2, double b2);
