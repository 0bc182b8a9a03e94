#include "colour/CColorItem.h"

#include "colour/ColorSpace.h"

void CColorItem::SetColor(ColorValue c)
{
    color = c;
    isCmyk = 0;
}

void CColorItem::Clear()
{
    color = 0;
    isCmyk = 0;
    tag1 = 0;
    tag2 = 0;
    text1.clear();
    text2.clear();
}

ColorValue CColorItem::GetColor() const { return isCmyk ? CmykPackedToColor(color) : color; }

int CColorItem::GetRed() const { return ColorGetRed(GetColor()); }
int CColorItem::GetGreen() const { return ColorGetGreen(GetColor()); }
int CColorItem::GetBlue() const { return ColorGetBlue(GetColor()); }

ColorQuad CColorItem::GetRgb() const { return {GetRed(), GetGreen(), GetBlue(), 0}; }

ColorQuad CColorItem::GetHsv() const { return ColorToHsvQuad(GetColor()); }
int CColorItem::GetHue() const { return GetHsv().c1; }
int CColorItem::GetSaturation() const { return GetHsv().c2; }
int CColorItem::GetValue() const { return GetHsv().c3; }

ColorQuad CColorItem::GetCmyk() const
{
    if (!isCmyk) return ColorToCmyk(GetColor());
    uint8_t c, m, y, k;
    UnpackCmyk(color, c, m, y, k);
    return {c, m, y, k};
}

ColorQuad CColorItem::GetXyz() const { return ColorToXyzQuad(GetColor()); }

ColorQuad CColorItem::GetLab() const { return ColorToLabQuad(GetColor()); }
