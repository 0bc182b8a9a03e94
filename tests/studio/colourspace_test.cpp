#include "colour/ColorSpace.h"
#include "colour/ColorText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

ColorValue Rgb(int r, int g, int b) { return ColorFromRgb(r, g, b); }

// Doubles to six significant digits, enough to tell the fixed results apart.
std::string Text(const ColorQuadF& q)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "(%g,%g,%g,%g)", q.c1, q.c2, q.c3, q.c4);
    return buf;
}
std::string Text(const ColorQuad& q) { return QuadText(q.c1, q.c2, q.c3, q.c4); }

std::string HsvDoubles(double r, double g, double b)
{
    double h, s, v;
    RgbToHsv(r, g, b, h, s, v);
    return HsvText(h, s, v);
}

std::string RgbDoubles(double h, double s, double v)
{
    double r, g, b;
    HsvToRgb(h, s, v, r, g, b);
    return XyzText(r, g, b);
}

struct Case {
    const char* what;
    std::function<std::string()> got;
    const char* want;
};

void RunCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) EXPECT_EQ(c.got(), c.want) << c.what;
}

TEST(ColourSpace, FunctionsGiveTheirExactResults)
{
    RunCases({
        {"ColorToText red", [] { return ColorToText(Rgb(255, 0, 0)); }, "(255,0,0)"},
        {"CMYK of black", [] { return ColorToCmykText(Rgb(0, 0, 0)); }, "(0,0,0,255)"},
        {"CMYK of white", [] { return ColorToCmykText(Rgb(255, 255, 255)); }, "(0,0,0,0)"},
        {"CMY text is CMYK's C, M, Y", [] { return ColorToCmyText(Rgb(128, 64, 0)); }, "(0,127,255)"},
        {"HSV of grey", [] { return ColorToHsvText(Rgb(128, 128, 128)); }, "(0,0,128)"},
        {"HSV of white", [] { return ColorToHsvText(Rgb(255, 255, 255)); }, "(0,0,255)"},
        {"HSV of black", [] { return ColorToHsvText(Rgb(0, 0, 0)); }, "(0,0,0)"},
        {"RgbToHsv of blue", [] { return HsvDoubles(0, 0, 255); }, "(240,255,255)"},
        {"RgbToHsv of magenta", [] { return HsvDoubles(255, 0, 255); }, "(300,255,255)"},
        {"HsvToRgb at H 360 is (V, p, q)", [] { return RgbDoubles(360, 128, 200); }, "(200,99,200)"},
        {"HsvToRgb at H 0 is (V, t, p)", [] { return RgbDoubles(0, 128, 200); }, "(200,99,99)"},
        {"HsvToRgbInt takes ceilings",
         [] {
             int r, g, b;
             HsvToRgbInt(0, 128, 200, r, g, b);
             return RgbText(r, g, b);
         },
         "(200,100,100)"},
        {"XYZ of white", [] { return ColorToXyzText(Rgb(255, 255, 255)); }, "(242,255,255)"},
        {"L*a*b* of white", [] { return ColorToLabText(Rgb(255, 255, 255)); }, "(142,0,7)"},
        {"L*a*b* of blue is signed", [] { return ColorToLabText(Rgb(0, 0, 255)); }, "(49,108,-140)"},
        {"ColorToLab takes RGB order", [] { return Text(ColorToLab(0x0000FF)); }, "(49.9814,108.179,-140.036,0)"},
        {"XyzToColor clamps each channel", [] { return ColorToText(XyzToColor(500, -20, 0)); }, "(255,0,31)"},
        {"YiqToColor keeps the low 8 bits", [] { return ColorToText(YiqToColor(255, 255, 255)); }, "(145,20,151)"},
        {"YIQ I of green is negative", [] { return std::to_string(ColorYiqI(Rgb(0, 255, 0))); }, "-69"},
        {"YIQ text prints low bytes", [] { return ColorToYiqText(Rgb(0, 255, 0)); }, "(149,187,123)"},
        {"byte texts keep low 8 bits", [] { return RgbText(-1, 256, 300); }, "(255,0,44)"},
        {"CMYK text keeps low 8 bits", [] { return CmykText(-1, 256, 1, 2); }, "(255,0,1,2)"},
        {"quad text unchanged", [] { return QuadText(-1, 256, 300, 7); }, "(-1,256,300,7)"},
        {"YCbCr of grey", [] { return ColorToYCbCrText(Rgb(100, 100, 100)); }, "(100,128,128)"},
        {"HSL 240 of red", [] { return RgbText(ColorHslH(Rgb(255, 0, 0)), ColorHslS(Rgb(255, 0, 0)), ColorHslL(Rgb(255, 0, 0))); }, "(0,240,120)"},
        {"HslToColor takes H, L, S", [] { return ColorToText(HslToColor(0, 0.5, 1)); }, "(255,0,0)"},
        {"HslToColor L 1 is white", [] { return ColorToText(HslToColor(0, 1, 0.5)); }, "(255,255,255)"},
        {"Hsl240ToColor takes H, S, L", [] { return ColorToText(Hsl240ToColor(80, 240, 120)); }, "(0,255,0)"},
        {"SwapRedBlue clears the top byte", [] { return std::to_string(SwapRedBlue(0xFF123456u)); }, std::to_string(0x563412u).c_str()},
        {"packed CMYK of black is black", [] { return ColorToText(CmykPackedToColor(PackCmyk(0, 0, 0, 255))); }, "(0,0,0)"},
        {"CMYK of an RGB-order blue", [] { return Text(RgbOrderToCmyk(0x0000FF)); }, "(255,255,0,0)"},
        {"CMY of an RGB-order red", [] { return RgbText(RgbOrderCmyC(0xFF0000), RgbOrderCmyM(0xFF0000), RgbOrderCmyY(0xFF0000)); }, "(0,255,255)"},
        {"CmykToColor of cyan", [] { return ColorToText(CmykToColor(255, 0, 0, 0)); }, "(0,255,255)"},
        {"xyY", [] { return Text(XyzToXyy(1, 2, 1)); }, "(2,0.25,0.5,0)"},
        {"Lab comparison, c2 lighter", [] { return std::to_string(CompareLabL(0x000000, 0xFFFFFF)); }, "1"},
        {"Lab comparison, c2 bluer", [] { return std::to_string(CompareLabB(0x000000, 0x0000FF)); }, "-1"},
        {"Lab comparison, equal", [] { return std::to_string(CompareLabA(0x808080, 0x808080)); }, "0"},
        {"delta E", [] { return std::to_string(LabDeltaE(1, 2, 3, 4, 6, 3)); }, "5.000000"},
    });
}

// Every 51 per channel: 216 colours, each conversion there and back within one unit.
TEST(ColourSpace, RoundTripsStayWithinOneUnit)
{
    auto near = [](ColorValue a, ColorValue b) {
        return std::abs(ColorGetRed(a) - ColorGetRed(b)) <= 1 && std::abs(ColorGetGreen(a) - ColorGetGreen(b)) <= 1 &&
               std::abs(ColorGetBlue(a) - ColorGetBlue(b)) <= 1;
    };
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51) {
                const ColorValue c = Rgb(r, g, b);
                const ColorQuad hsv = ColorToHsvQuad(c);
                EXPECT_TRUE(near(c, ColorFromHsv(hsv.c1, hsv.c2, hsv.c3))) << "HSV " << ColorToText(c);
                const ColorQuad cmyk = ColorToCmyk(c);
                EXPECT_TRUE(near(c, CmykToColor(cmyk.c1, cmyk.c2, cmyk.c3, cmyk.c4))) << "CMYK " << ColorToText(c);
                EXPECT_TRUE(near(c, XyzToColor(ColorToXyz(c)))) << "XYZ " << ColorToText(c);
            }
}

// Inputs with no meaningful answer still give a fixed one, with no undefined conversion.
TEST(ColourSpace, DegenerateInputGivesFixedResults)
{
    EXPECT_EQ(TruncToInt(kNaN), 0);
    EXPECT_EQ(TruncToInt(kInf), INT_MAX);
    EXPECT_EQ(TruncToInt(-kInf), INT_MIN);
    EXPECT_EQ(TruncToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT_MIN);
    EXPECT_EQ(TruncToInt(2147483647.9), INT_MAX);
    EXPECT_EQ(TruncToInt(-2.9), -2);

    RunCases({
        {"quad from doubles", [] { return Text(ColorQuad(kNaN, kInf, -1e300, -1.9)); }, "(0,2147483647,-2147483648,-1)"},
        {"HSV text of NaN, inf", [] { return HsvText(kNaN, kInf, -kInf); }, "(0,2147483647,-2147483648)"},
        {"HsvToRgb H 1e300", [] { return ColorToText(HsvToColor(1e300, 128, 200)); }, "(200,99,200)"},
        {"HsvToRgb H -1e300", [] { return ColorToText(HsvToColor(-1e300, 128, 200)); }, "(200,99,200)"},
        {"HsvToRgb H NaN", [] { return ColorToText(HsvToColor(kNaN, 128, 200)); }, "(200,99,0)"},
        {"HsvToRgb H infinite", [] { return ColorToText(HsvToColor(kInf, 128, 200)); }, "(200,99,0)"},
        {"HsvToRgbInt of NaN V",
         [] {
             int r, g, b;
             HsvToRgbInt(10, 100, kNaN, r, g, b);
             return RgbText(r, g, b);
         },
         "(0,0,0)"},
        {"HsvToColor V 1e300", [] { return ColorToText(HsvToColor(0, 0, 1e300)); }, "(255,255,255)"},
        {"XyzToColor of NaN", [] { return ColorToText(XyzToColor(kNaN, 1, 1)); }, "(0,0,0)"},
        {"XyzToColor far out", [] { return ColorToText(XyzToColor(1e300, 0, 0)); }, "(255,0,255)"},
        {"XyzToColor infinite", [] { return ColorToText(XyzToColor(kInf, kInf, kInf)); }, "(0,0,0)"},
        {"LabToColor far out", [] { return ColorToText(LabToColor(1e300, 0, 0)); }, "(0,0,0)"},
        {"LabToColor NaN", [] { return ColorToText(LabToColor(kNaN, 0, 0)); }, "(0,0,0)"},
        {"HslToColor NaN", [] { return ColorToText(HslToColor(kNaN, kNaN, 1)); }, "(0,0,0)"},
        {"HslToColor huge L", [] { return ColorToText(HslToColor(0, 1e300, 0)); }, "(255,255,255)"},
        {"XYZ text of huge", [] { return XyzText(1e300, -1e300, kNaN); }, "(2147483647,-2147483648,0)"},
        {"xyY of black", [] { return Text(XyzToXyy(0, 0, 0)); }, "(0,0,0,0)"},
        {"XYZ of y = 0", [] { return Text(XyyToXyz(50, 0.3, 0)); }, "(0,50,0,0)"},
        {"white point with a zero", [] { return Text(XyzToLab(50, 100, 0, 0, 100, 0)); }, "(100,-431.034,172.414,0)"},
    });
    // A zero white point component makes only that ratio 0: finite everywhere.
    const ColorQuadF lab = XyzToLab(50, 50, 50, 95.05, 0, 108.91);
    EXPECT_TRUE(std::isfinite(lab.c1) && std::isfinite(lab.c2) && std::isfinite(lab.c3));
}

} // namespace
