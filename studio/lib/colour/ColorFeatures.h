// Colour features of a decoded image, for describing and comparing catalogue images by colour:
// channel histograms in ten colour spaces, the table of the image's distinct colours with their
// pixel counts, hue-based selections over that table and colour shares. Stateless free functions
// over caller-owned buffers of 32-bit counters.
//
// Histograms zero every buffer they are given (a null buffer is skipped) and return the largest
// count in any of them, or 0, writing nothing, for a null or invalid image. Every index is bounded
// by its buffer: signed components (L*a*b*'s a and b) go to value + 128 clamped to 0..255, and the
// YUV, YIQ and YCbCr components to their low byte (value & 0xFF).
#pragma once

#include "colour/ColorQuad.h"

#include <cstdint>
#include <vector>

class CxImage;

// One distinct colour of an image and the number of its pixels.
struct ColorTableEntry {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t count = 0;
};
static_assert(sizeof(ColorTableEntry) == 16);

inline constexpr int kHueBins = 361;    // whole degrees 0..360
inline constexpr int kHsl240Bins = 241; // 0..240
inline constexpr int kByteBins = 256;

int HistogramRgbGray(const CxImage* image, int32_t* red, int32_t* green, int32_t* blue, int32_t* grey);
int HistogramInverse(const CxImage* image, int32_t* red, int32_t* green, int32_t* blue);
int HistogramCmyk(const CxImage* image, int32_t* cyan, int32_t* magenta, int32_t* yellow, int32_t* black);
int HistogramHsv(const CxImage* image, int32_t* hue361, int32_t* saturation, int32_t* value);
int HistogramHsl240(const CxImage* image, int32_t* hue241, int32_t* saturation241, int32_t* lightness241);
int HistogramYuv(const CxImage* image, int32_t* y, int32_t* u, int32_t* v);
int HistogramYiq(const CxImage* image, int32_t* y, int32_t* i, int32_t* q);
int HistogramYCbCr(const CxImage* image, int32_t* y, int32_t* cb, int32_t* cr);
int HistogramXyz(const CxImage* image, int32_t* x, int32_t* y, int32_t* z);
int HistogramLab(const CxImage* image, int32_t* l, int32_t* a, int32_t* b);

// The image's distinct colours, most pixels first; equal counts by red, then green, then blue
// ascending. The table is one array allocated here and freed by the caller with free(). Null for
// a null or invalid image, one without pixels, or when memory runs out; for a valid image both
// outputs are set to 0 before the scan, then to the number of entries and the largest count.
ColorTableEntry* BuildColorTable(const CxImage* image, int& colorCount, int& largestCount);

// Counts entries (distinct colours, not pixels) by their whole-degree HSV hue into 361 bins.
// Each of these returns 1, or 0 for a null table or buffer or a count below 1, writing nothing.
int HueHistogram(const ColorTableEntry* table, int count, int32_t* hue361);
// For the entries whose hue is `hue`: one in their saturation and value bins (256 each), and
// (hue, saturation, value, 0) appended to records, which is cleared first.
int HueSatValHistograms(const ColorTableEntry* table, int count, int hue, int32_t* saturation,
                        int32_t* value, std::vector<ColorQuad>& records);
int ValueHistogramOfHue(const ColorTableEntry* table, int count, int hue, int32_t* value);
int SatHistogramOfHueValue(const ColorTableEntry* table, int count, int hue, int value, int32_t* saturation);

// Sums of the entries' components (not weighted by pixel count), each as a percentage of their
// total; a total of 0 gives 0 for each. 1, or 0 for a null table or a count below 1.
int RgbShares(const ColorTableEntry* table, int count, double& red, double& green, double& blue);
int CmykShares(const ColorTableEntry* table, int count, double& cyan, double& magenta, double& yellow,
               double& black);

// -1 for a null entry.
int GetEntryRed(const ColorTableEntry* entry);
int GetEntryGreen(const ColorTableEntry* entry);
int GetEntryBlue(const ColorTableEntry* entry);
int GetEntryCount(const ColorTableEntry* entry);
