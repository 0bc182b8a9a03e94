#include "colour/ColorDistance.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

// In 64 bits: the components of a record can be any int, and their difference must not overflow.
double Sq(int a, int b)
{
    const double d = static_cast<double>(static_cast<int64_t>(a) - b);
    return d * d;
}

double Distance3(const ColorQuad& a, const ColorQuad& b)
{
    return std::sqrt(Sq(a.c1, b.c1) + Sq(a.c2, b.c2) + Sq(a.c3, b.c3));
}

bool Within(int c, int d, int t) { return std::llabs(static_cast<int64_t>(c) - d) <= t; }

bool InRange(std::initializer_list<int> v, std::initializer_list<int> low, std::initializer_list<int> high)
{
    auto l = low.begin();
    auto h = high.begin();
    for (int x : v) {
        if (x < *l++ || x > *h++) return false;
    }
    return true;
}

} // namespace

double HsvWeightedDistance(const CColorItem& a, const CColorItem& b)
{
    const ColorQuad x = a.GetHsv(), y = b.GetHsv();
    return std::sqrt(50 * Sq(x.c1, y.c1) + Sq(x.c2, y.c2) + 2 * Sq(x.c3, y.c3));
}

double HsvDistance(const CColorItem& a, const CColorItem& b) { return Distance3(a.GetHsv(), b.GetHsv()); }
double RgbDistance(const CColorItem& a, const CColorItem& b) { return Distance3(a.GetRgb(), b.GetRgb()); }
double XyzDistance(const CColorItem& a, const CColorItem& b) { return Distance3(a.GetXyz(), b.GetXyz()); }
double LabDistance(const CColorItem& a, const CColorItem& b) { return Distance3(a.GetLab(), b.GetLab()); }

double CmykDistance(const CColorItem& a, const CColorItem& b)
{
    const ColorQuad x = a.GetCmyk(), y = b.GetCmyk();
    return std::sqrt(Sq(x.c1, y.c1) + Sq(x.c2, y.c2) + Sq(x.c3, y.c3) + Sq(x.c4, y.c4));
}

int ColorsWithinTolerance(int c1, int c2, int c3, int d1, int d2, int d3, int t1, int t2, int t3)
{
    return Within(c1, d1, t1) && Within(c2, d2, t2) && Within(c3, d3, t3) ? 1 : 0;
}

int ColorsWithinTolerance(int c1, int c2, int c3, int c4, int d1, int d2, int d3, int d4, int t1,
                          int t2, int t3, int t4)
{
    return Within(c1, d1, t1) && Within(c2, d2, t2) && Within(c3, d3, t3) && Within(c4, d4, t4) ? 1 : 0;
}

namespace {
int InRange3(const ColorQuad& q, int l1, int l2, int l3, int h1, int h2, int h3)
{
    return InRange({q.c1, q.c2, q.c3}, {l1, l2, l3}, {h1, h2, h3}) ? 1 : 0;
}
} // namespace

int ColorInRangeHsv(const CColorItem& c, int l1, int l2, int l3, int h1, int h2, int h3)
{
    return InRange3(c.GetHsv(), l1, l2, l3, h1, h2, h3);
}

int ColorInRangeRgb(const CColorItem& c, int l1, int l2, int l3, int h1, int h2, int h3)
{
    return InRange3(c.GetRgb(), l1, l2, l3, h1, h2, h3);
}

int ColorInRangeCmyk(const CColorItem& c, int l1, int l2, int l3, int l4, int h1, int h2, int h3, int h4)
{
    const ColorQuad q = c.GetCmyk();
    return InRange({q.c1, q.c2, q.c3, q.c4}, {l1, l2, l3, l4}, {h1, h2, h3, h4}) ? 1 : 0;
}

int ColorInRangeXyz(const CColorItem& c, int l1, int l2, int l3, int h1, int h2, int h3)
{
    return InRange3(c.GetXyz(), l1, l2, l3, h1, h2, h3);
}

int ColorInRangeLab(const CColorItem& c, int l1, int l2, int l3, int h1, int h2, int h3)
{
    return InRange3(c.GetLab(), l1, l2, l3, h1, h2, h3);
}
