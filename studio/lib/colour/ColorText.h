// Short texts of colour components, "(%d,%d,%d)" or "(%d,%d,%d,%d)", as the studio shows them.
// Forms over bytes print the low 8 bits of each component as an unsigned number; HSV, XYZ and the
// quad forms print the integers unchanged. Texts are only written: there is no parser.
#pragma once

#include "colour/ColorQuad.h"

#include <string>

std::string ColorToText(ColorValue c); // red, green, blue

std::string RgbText(int r, int g, int b);
std::string CmyText(int c, int m, int y);
std::string YiqText(int y, int i, int q);
std::string YuvText(int y, int u, int v);
std::string YCbCrText(int y, int cb, int cr);
std::string CmykText(int c, int m, int y, int k);
std::string QuadText(int a, int b, int c, int d);
std::string HsvText(int h, int s, int v);
std::string HsvText(double h, double s, double v); // truncated
std::string XyzText(int x, int y, int z);
std::string XyzText(double x, double y, double z); // truncated

std::string ColorToCmyText(ColorValue c);   // C, M, Y of the CMYK conversion
std::string ColorToCmykText(ColorValue c);
std::string ColorToYiqText(ColorValue c);   // low 8 bits of the signed components
std::string ColorToYuvText(ColorValue c);
std::string ColorToYCbCrText(ColorValue c);
std::string ColorToHsvText(ColorValue c);
std::string ColorToXyzText(ColorValue c);   // truncated
std::string ColorToLabText(ColorValue c);   // colour value turned into RGB order; truncated, signed
