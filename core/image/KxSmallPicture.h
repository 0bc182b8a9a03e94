// The image layer's quick path for small JPEG and PNG pictures (micro images above all): header,
// decode, EXIF orientation and resampling straight with libjpeg-turbo and libpng, without the
// image library's per-call set-up and thread-pool wake-ups, which cost far more than the pixels
// of a picture this size. Anything it does not take (large, CMYK, 16-bit, other formats) is left
// to libvips. Only the image layer's own sources include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kx::small {

// At most this many stored pixels go the quick path; larger pictures decode faster in libvips'
// threads.
constexpr uint64_t kMaxPixels = 1u << 20;

// Packed rows top to bottom, 3 bytes a pixel (R, G, B) or 4 with alpha.
struct Pixels {
    int w = 0, h = 0, bands = 0;
    std::vector<uint8_t> px;
};

// What the header of a picture the quick path takes says: the stored size and the EXIF
// orientation (1 to 8).
struct Head {
    bool jpeg = false;
    int w = 0, h = 0;
    int orientation = 1;
    // Width and height of the picture as shown.
    int ShownW() const { return orientation >= 5 ? h : w; }
    int ShownH() const { return orientation >= 5 ? w : h; }
};

// True when the bytes are a small 8-bit JPEG (grey, YCbCr or RGB) or PNG this path decodes.
bool ReadHead(const uint8_t* p, size_t n, Head& head);

// Decodes the picture as shown, the JPEG shrunk by its loader by `shrink` (1, 2, 4 or 8). False,
// with the reason, when the data is damaged or cut short.
bool Decode(const uint8_t* p, size_t n, const Head& head, int shrink, Pixels& out, std::string& why);

// The picture stretched to w x h (each at least 1) with a triangle filter widened to the scale,
// so a reduction averages every source pixel.
Pixels Resize(const Pixels& in, int w, int h);

} // namespace kx::small
