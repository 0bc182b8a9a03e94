// One colour in a colour list, with two integers and two texts that the item only carries (their
// meaning is the owner's). The colour is a colour value, or a packed CMYK value when isCmyk is set;
// the Get* forms always answer for the colour value it stands for.
#pragma once

#include "colour/ColorQuad.h"

#include <cstdint>
#include <string>

class CColorItem {
public:
    CColorItem() = default;

    void SetColor(ColorValue c); // stores a colour value and clears isCmyk
    void Clear();                // integers to 0, texts empty
    void Assign(const CColorItem& other) { *this = other; }

    ColorValue GetColor() const; // a packed CMYK value goes through CmykToColor
    int GetRed() const;
    int GetGreen() const;
    int GetBlue() const;
    ColorQuad GetRgb() const;  // {R, G, B, 0}
    ColorQuad GetHsv() const;  // {H 0..359, S 0..255, V 0..255, 0}
    int GetHue() const;
    int GetSaturation() const;
    int GetValue() const;
    ColorQuad GetCmyk() const; // {C, M, Y, K}: the packed bytes themselves when isCmyk is set
    ColorQuad GetXyz() const;  // truncated {X, Y, Z, 0}
    ColorQuad GetLab() const;  // truncated {L, a, b, 0}, default white point; a and b signed

    uint32_t color = 0;
    int32_t isCmyk = 0;
    int32_t tag1 = 0;
    int32_t tag2 = 0;
    std::string text1;
    std::string text2;
};
