#include "image/KxSmallPicture.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace kx::small {

namespace {

uint32_t Be16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

// The orientation an APP1 segment's EXIF block gives (its IFD0 entry 0x0112); 1 without one.
int ExifOrientation(const uint8_t* seg, size_t n) {
    if (n < 14 || std::memcmp(seg, "Exif\0\0", 6) != 0) return 1;
    const uint8_t* t = seg + 6;
    const size_t tn = n - 6;
    const bool le = t[0] == 'I' && t[1] == 'I';
    if (!le && !(t[0] == 'M' && t[1] == 'M')) return 1;
    auto u16 = [&](size_t o) { return le ? static_cast<uint32_t>(t[o] | t[o + 1] << 8) : Be16(t + o); };
    auto u32 = [&](size_t o) { return le ? u16(o) | u16(o + 2) << 16 : Be32(t + o); };
    if (u16(2) != 42) return 1;
    const uint32_t ifd = u32(4);
    if (ifd > tn - 2) return 1;
    const uint32_t count = u16(ifd);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = ifd + 2 + static_cast<size_t>(i) * 12;
        if (e + 12 > tn) break;
        if (u16(e) != 0x0112) continue;
        const uint32_t v = u16(e + 2) == 3 ? u16(e + 8) : 0; // SHORT
        return v >= 1 && v <= 8 ? static_cast<int>(v) : 1;
    }
    return 1;
}

bool JpegHead(const uint8_t* p, size_t n, Head& head) {
    size_t i = 2;
    int precision = 0, components = 0;
    bool frame = false, exif = false;
    while (i + 4 <= n) {
        if (p[i] != 0xFF) return false;
        const uint8_t m = p[i + 1];
        if (m == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (m == 0xDA || m == 0xD9) break; // the first scan: every header segment came before it
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {
            i += 2;
            continue;
        }
        const size_t len = Be16(p + i + 2);
        if (len < 2 || len > n - i - 2) return false;
        const uint8_t* seg = p + i + 4;
        const size_t sn = len - 2;
        if (m == 0xE1 && !exif && sn >= 6 && std::memcmp(seg, "Exif\0\0", 6) == 0) {
            exif = true;
            head.orientation = ExifOrientation(seg, sn);
        }
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            if (sn < 6) return false;
            precision = seg[0];
            head.h = static_cast<int>(Be16(seg + 1));
            head.w = static_cast<int>(Be16(seg + 3));
            components = seg[5];
            frame = true;
        }
        i += 2 + len;
    }
    // Four components are CMYK or YCCK, which libvips turns into RGB.
    return frame && precision == 8 && (components == 1 || components == 3);
}

bool PngHead(const uint8_t* p, size_t n, Head& head) {
    if (n < 33 || std::memcmp(p + 12, "IHDR", 4) != 0) return false;
    head.w = static_cast<int>(std::min<uint32_t>(Be32(p + 16), 1u << 30));
    head.h = static_cast<int>(std::min<uint32_t>(Be32(p + 20), 1u << 30));
    if (p[24] > 8) return false; // 16-bit samples: libvips' conversion
    // Chunks that change the pixels (gamma, colour profile) or the way up are left to libvips.
    size_t i = 8;
    while (n - i >= 12) {
        const uint32_t len = Be32(p + i);
        const uint8_t* type = p + i + 4;
        if (std::memcmp(type, "IDAT", 4) == 0) return true;
        for (const char* other : {"eXIf", "gAMA", "iCCP", "cHRM", "sBIT"})
            if (std::memcmp(type, other, 4) == 0) return false;
        if (len > n - i - 12) return false;
        i += 12 + static_cast<size_t>(len);
    }
    return false;
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool warned = false;
    char text[JMSG_LENGTH_MAX] = {};
};

void OnJpegError(j_common_ptr c) {
    auto* e = reinterpret_cast<JpegError*>(c->err);
    (*c->err->format_message)(c, e->text);
    std::longjmp(e->jump, 1);
}

// A warning (corrupt data, a premature end) counts as a failure here; libvips then decides.
void OnJpegMessage(j_common_ptr c, int level) {
    auto* e = reinterpret_cast<JpegError*>(c->err);
    if (level >= 0 || e->warned) return;
    e->warned = true;
    (*c->err->format_message)(c, e->text);
}

// No C++ object is made between setjmp and the last libjpeg call, so a jump skips no destructor.
bool DecodeJpeg(const uint8_t* p, size_t n, int shrink, Pixels& out, std::string& why) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.emit_message = OnJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        why = err.text;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, p, static_cast<unsigned long>(n));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(shrink);
    jpeg_start_decompress(&cinfo);
    out.w = static_cast<int>(cinfo.output_width);
    out.h = static_cast<int>(cinfo.output_height);
    out.bands = 3;
    out.px.resize(static_cast<size_t>(out.w) * out.h * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.px.data() + static_cast<size_t>(cinfo.output_scanline) * out.w * 3;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    const bool whole = cinfo.output_scanline == cinfo.output_height;
    if (whole) jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (!whole || err.warned) {
        why = err.text[0] ? err.text : "the JPEG data is cut short";
        return false;
    }
    return true;
}

bool DecodePng(const uint8_t* p, size_t n, Pixels& out, std::string& why) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, p, n)) {
        why = img.message;
        return false;
    }
    const bool alpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    out.w = static_cast<int>(img.width);
    out.h = static_cast<int>(img.height);
    out.bands = alpha ? 4 : 3;
    out.px.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, out.px.data(), 0, nullptr)) {
        why = img.message;
        png_image_free(&img);
        return false;
    }
    return true;
}

// The picture the way the orientation says it is shown.
Pixels Orient(Pixels in, int o) {
    if (o <= 1 || o > 8) return in;
    Pixels out;
    const int W = in.w, H = in.h, b = in.bands;
    out.bands = b;
    out.w = o >= 5 ? H : W;
    out.h = o >= 5 ? W : H;
    out.px.resize(in.px.size());
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            int sx = x, sy = y;
            switch (o) {
            case 2: sx = W - 1 - x; break;
            case 3: sx = W - 1 - x; sy = H - 1 - y; break;
            case 4: sy = H - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = H - 1 - x; break;
            case 7: sx = W - 1 - y; sy = H - 1 - x; break;
            case 8: sx = W - 1 - y; sy = x; break;
            default: break;
            }
            std::memcpy(&out.px[(static_cast<size_t>(y) * out.w + x) * b], &in.px[(static_cast<size_t>(sy) * W + sx) * b],
                        static_cast<size_t>(b));
        }
    return out;
}

// For each output position along one axis: the source positions and their weights.
struct Taps {
    std::vector<int> first, count, index;
    std::vector<float> weight;
};

Taps MakeTaps(int in, int out) {
    Taps t;
    const double scale = static_cast<double>(in) / out, support = std::max(1.0, scale);
    for (int o = 0; o < out; ++o) {
        const double centre = (o + 0.5) * scale;
        const int lo = static_cast<int>(std::floor(centre - support)), hi = static_cast<int>(std::ceil(centre + support));
        t.first.push_back(static_cast<int>(t.index.size()));
        double sum = 0;
        const size_t start = t.weight.size();
        for (int i = lo; i <= hi; ++i) {
            const double w = 1.0 - std::abs(i + 0.5 - centre) / support;
            if (w <= 0) continue;
            t.index.push_back(std::clamp(i, 0, in - 1));
            t.weight.push_back(static_cast<float>(w));
            sum += w;
        }
        for (size_t k = start; k < t.weight.size(); ++k) t.weight[k] = static_cast<float>(t.weight[k] / sum);
        t.count.push_back(static_cast<int>(t.weight.size() - start));
    }
    return t;
}

} // namespace

bool ReadHead(const uint8_t* p, size_t n, Head& head) {
    head = Head();
    bool ok = false;
    if (n >= 4 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) {
        head.jpeg = true;
        ok = JpegHead(p, n, head);
    } else if (n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1A\n", 8) == 0) {
        ok = PngHead(p, n, head);
    }
    return ok && head.w > 0 && head.h > 0 && static_cast<uint64_t>(head.w) * static_cast<uint64_t>(head.h) <= kMaxPixels;
}

bool Decode(const uint8_t* p, size_t n, const Head& head, int shrink, Pixels& out, std::string& why) {
    Pixels raw;
    const bool ok = head.jpeg ? DecodeJpeg(p, n, shrink, raw, why) : DecodePng(p, n, raw, why);
    if (!ok || raw.w <= 0 || raw.h <= 0) return false;
    out = Orient(std::move(raw), head.orientation);
    return true;
}

Pixels Resize(const Pixels& in, int w, int h) {
    const Taps tx = MakeTaps(in.w, w), ty = MakeTaps(in.h, h);
    const int b = in.bands;
    // Across first (in.h rows of w pixels), then down.
    std::vector<float> across(static_cast<size_t>(w) * in.h * b);
    for (int y = 0; y < in.h; ++y) {
        const uint8_t* src = &in.px[static_cast<size_t>(y) * in.w * b];
        float* dst = &across[static_cast<size_t>(y) * w * b];
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < b; ++c) {
                float s = 0;
                for (int k = tx.first[x], e = k + tx.count[x]; k < e; ++k) s += src[tx.index[k] * b + c] * tx.weight[k];
                dst[x * b + c] = s;
            }
    }
    Pixels out;
    out.w = w;
    out.h = h;
    out.bands = b;
    out.px.resize(static_cast<size_t>(w) * h * b);
    const size_t row = static_cast<size_t>(w) * b;
    for (int y = 0; y < h; ++y) {
        uint8_t* dst = &out.px[y * row];
        for (size_t i = 0; i < row; ++i) {
            float s = 0;
            for (int k = ty.first[y], e = k + ty.count[y]; k < e; ++k) s += across[ty.index[k] * row + i] * ty.weight[k];
            dst[i] = static_cast<uint8_t>(std::clamp(s + 0.5f, 0.0f, 255.0f));
        }
    }
    return out;
}

} // namespace kx::small
