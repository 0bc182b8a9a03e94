#include "support/gui/OrientedPhoto.h"

#include "image/CxImage.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace guitest {

const std::vector<OrientedView>& OrientedViews() {
    // Stored: red top-left, green top-right, blue bottom-left, white bottom-right.
    static const std::vector<OrientedView> kViews = {
        {1, kRed, kGreen, kBlue, kWhite, false},  // as stored
        {2, kGreen, kRed, kWhite, kBlue, false},  // mirrored left to right
        {3, kWhite, kBlue, kGreen, kRed, false},  // turned half round
        {4, kBlue, kWhite, kRed, kGreen, false},  // mirrored top to bottom
        {5, kRed, kBlue, kGreen, kWhite, true},   // mirrored about the main diagonal
        {6, kBlue, kRed, kWhite, kGreen, true},   // turned a quarter clockwise
        {7, kWhite, kGreen, kBlue, kRed, true},   // mirrored about the other diagonal
        {8, kGreen, kWhite, kRed, kBlue, true},   // turned a quarter anticlockwise
    };
    return kViews;
}

std::vector<uint8_t> WithOrientation(const std::vector<uint8_t>& jpeg, int orientation) {
    if (jpeg.size() < 2) return jpeg;
    // "Exif\0\0", a big-endian TIFF header, IFD0 with the one entry 0x0112 (SHORT, count 1), no
    // next IFD.
    const uint8_t o = static_cast<uint8_t>(orientation);
    const std::vector<uint8_t> app1 = {0xFF, 0xE1, 0x00, 34,  'E',  'x',  'i',  'f',  0, 0, 'M', 'M',
                                       0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
                                       0x00, 0x00, 0x00, 0x01, 0x00, o,    0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<uint8_t> QuarterJpeg(uint32_t w, uint32_t h, int orientation) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            const uint32_t c = bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>(c >> 16);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c);
        }
    CxImage img;
    std::vector<uint8_t> jpeg;
    img.SetJpegQuality(95);
    if (!img.CreateFromArray(px.data(), w, h, 24, w * 3) || !img.Encode(jpeg, CXIMAGE_FORMAT_JPG)) return {};
    return orientation ? WithOrientation(jpeg, orientation) : jpeg;
}

uint32_t NearestQuarterColour(uint8_t r, uint8_t g, uint8_t b, int* distance) {
    uint32_t best = kRed;
    int bestD = 1 << 30;
    for (uint32_t c : {kRed, kGreen, kBlue, kWhite}) {
        const int d = std::max({std::abs(r - static_cast<int>(c >> 16)), std::abs(g - static_cast<int>((c >> 8) & 0xFF)),
                                std::abs(b - static_cast<int>(c & 0xFF))});
        if (d < bestD) {
            bestD = d;
            best = c;
        }
    }
    if (distance) *distance = bestD;
    return best;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace guitest
