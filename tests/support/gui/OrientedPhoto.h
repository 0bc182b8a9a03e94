// Small JPEGs that carry an EXIF orientation tag, for the tests of pictures shown the right way
// up. The stored picture has four quarters of clearly different colours, so every turn and
// mirror shows in where each colour lands; the tag is written by hand into an APP1 segment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace guitest {

// The quarters of the stored picture, as 0xRRGGBB.
enum QuarterColour : uint32_t { kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF };

// What a viewer must show for one orientation value: the colours of the shown picture's
// top-left, top-right, bottom-left and bottom-right quarters, and whether width and height swap.
struct OrientedView {
    int orientation;
    uint32_t tl, tr, bl, br;
    bool swapped;
};
// Orientations 1 to 8, for the stored picture red | green over blue | white.
const std::vector<OrientedView>& OrientedViews();

// A JPEG of w x h stored pixels (red | green over blue | white) tagged with the orientation;
// orientation 0 writes no tag at all. Empty when the image layer could not encode it.
std::vector<uint8_t> QuarterJpeg(uint32_t w, uint32_t h, int orientation);

// The JPEG with an EXIF APP1 segment holding only the orientation, right after its start marker.
std::vector<uint8_t> WithOrientation(const std::vector<uint8_t>& jpeg, int orientation);

// The quarter colour nearest to the pixel, and how far it is (the largest channel difference).
uint32_t NearestQuarterColour(uint8_t r, uint8_t g, uint8_t b, int* distance = nullptr);

// Writes the bytes to a file; false when they could not all be written.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace guitest
