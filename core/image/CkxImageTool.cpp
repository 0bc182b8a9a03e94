#include "image/CkxImageTool.h"

#include "model/CkxBuf.h"
#include "model/CkxMemFile.h"
#include "image/CxImage.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

namespace {
std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

CkxImageTool::CkxImageTool() { Init_ImageFormats(); }
CkxImageTool::~CkxImageTool() = default;

void CkxImageTool::Init_ImageFormats() {
    struct Row {
        uint8_t own, codec;
        const char* name;
        const char* ext;
    };
    static const Row rows[] = {
        {0, 0, "<全部>", ""},
        {2, 3, "JPEG 格式", "jpg"},
        {3, 11, "JPEG2000 格式", "j2k"},
        {1, 1, "BMP 位图格式", "bmp"},
        {4, 12, "JP2", "jp2"},
        {20, 13, "JPC", "j2c"},
        {5, 2, "GIF 格式", "gif"},
        {6, 4, "PNG 格式", "png"},
        {7, 5, "ICO 图标格式", "ico"},
        {8, 6, "TIFF 格式", "tif"},
        {9, 7, "TGA 格式", "tga"},
        {16, 8, "PCX 格式", "pcx"},
        {17, 9, "WBMP 扩展位图格式", "wbp"},
        {18, 10, "WMF 格式", "wmf"},
        {21, 14, "PGX 格式", "pgx"},
        {22, 15, "PNM 格式", "pnm"},
        {23, 16, "RAS 格式", "ras"},
    };
    m_formats.clear();
    for (const Row& r : rows) {
        std::string ext = r.ext;
        m_formats.push_back({r.own, r.codec, r.name, ext.empty() ? "" : "." + ext, ext});
    }
}

const CkxImageFormat* CkxImageTool::Row_kxID(int own) const {
    for (const auto& f : m_formats)
        if (f.kxID == own) return &f;
    return nullptr;
}

const CkxImageFormat* CkxImageTool::Row_xImageID(int codec) const {
    for (const auto& f : m_formats)
        if (f.xImageID == codec) return &f;
    return nullptr;
}

const CkxImageFormat* CkxImageTool::Row_Suffix(const std::string& suffix) const {
    const std::string s = Lower(suffix);
    for (const auto& f : m_formats)
        if (Lower(f.exName) == s) return &f;
    return nullptr;
}

int CkxImageTool::Get_kxID(const std::string& suffix) const {
    const auto* r = Row_Suffix(suffix);
    return r ? r->kxID : 0;
}

int CkxImageTool::Get_xImageID(const std::string& suffix) const {
    const auto* r = Row_Suffix(suffix);
    return r ? r->xImageID : 0;
}

int CkxImageTool::Get_xImageID_kxID(int own) const {
    const auto* r = Row_kxID(own);
    return r ? r->xImageID : 0;
}

int CkxImageTool::Get_kxID_xImageID(int codec) const {
    const auto* r = Row_xImageID(codec);
    return r ? r->kxID : 0;
}

std::string CkxImageTool::Get_ExName_kxID(int own) const {
    const auto* r = Row_kxID(own);
    return r ? r->exName : std::string();
}

std::string CkxImageTool::Get_ExName_xImageID(int codec) const {
    const auto* r = Row_xImageID(codec);
    return r ? r->exName : std::string();
}

std::string CkxImageTool::Get_Name_kxID(int own) const {
    const auto* r = Row_kxID(own);
    return r ? r->name : std::string();
}

std::string CkxImageTool::Get_Name_xImageID(int codec) const {
    const auto* r = Row_xImageID(codec);
    return r ? r->name : std::string();
}

std::string CkxImageTool::Get_Name_Sufix(const std::string& suffix) const {
    for (const auto& f : m_formats)
        if (f.exName == suffix) return f.name;
    return std::string();
}

CkxImageTool::MicroPlace CkxImageTool::MicroGeometry(unsigned width, unsigned height, unsigned S) {
    MicroPlace p;
    if (width == 0 || height == 0 || S == 0) return p;
    // A side of 1 leaves no room for the "long side S - 1" rule; the picture then fills it.
    const uint64_t L = std::max(1u, S - 1);
    if (width >= height) {
        p.w = static_cast<int>(L);
        p.h = static_cast<int>(std::max<uint64_t>(1, height * L / width));
        p.y = static_cast<int>(S / 2) - p.h / 2;
    } else {
        p.h = static_cast<int>(L);
        p.w = static_cast<int>(std::max<uint64_t>(1, width * L / height));
        p.x = static_cast<int>(S / 2) - p.w / 2;
    }
    return p;
}

namespace {

// An opaque RGB picture being put together (rows top to bottom, 3 bytes a pixel): the micro
// image, the scaled image and the framed image are drawn on it without any drawing surface.
class Canvas {
public:
    Canvas(int w, int h, uint32_t bgr) : w_(w), h_(h), px_(static_cast<size_t>(w) * h * 3) {
        Fill(0, 0, w, h, bgr);
    }

    // A solid rectangle, clipped to the canvas.
    void Fill(int x, int y, int cx, int cy, uint32_t bgr) {
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + cx, w_), y1 = std::min(y + cy, h_);
        const uint8_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
        for (int yy = y0; yy < y1; ++yy)
            for (int xx = x0; xx < x1; ++xx) {
                uint8_t* p = At(xx, yy);
                p[0] = r;
                p[1] = g;
                p[2] = b;
            }
    }

    // The picture with its top-left at (x, y), clipped; a picture with alpha is laid over what
    // is there. False when its pixels cannot be read.
    bool Paste(const CxImage& image, int x, int y) {
        const bool alpha = image.AlphaIsValid();
        std::vector<uint8_t> src;
        if (!image.CopyToArray(src, alpha)) return false;
        const int iw = static_cast<int>(image.GetWidth()), ih = static_cast<int>(image.GetHeight());
        const int bands = alpha ? 4 : 3;
        if (src.size() != static_cast<size_t>(iw) * ih * bands) return false;
        for (int sy = 0; sy < ih; ++sy) {
            const int yy = y + sy;
            if (yy < 0 || yy >= h_) continue;
            for (int sx = 0; sx < iw; ++sx) {
                const int xx = x + sx;
                if (xx < 0 || xx >= w_) continue;
                const uint8_t* s = &src[(static_cast<size_t>(sy) * iw + sx) * bands];
                uint8_t* d = At(xx, yy);
                const unsigned a = alpha ? s[3] : 255;
                for (int k = 0; k < 3; ++k) d[k] = static_cast<uint8_t>((s[k] * a + d[k] * (255 - a) + 127) / 255);
            }
        }
        return true;
    }

    // The raised-edge rectangle of width cx and height cy at (x, y): top and left edges in one
    // colour, right and bottom edges in the other (the bottom-right corner belongs to the second).
    void Draw3dRect(int x, int y, int cx, int cy, uint32_t topLeft, uint32_t bottomRight) {
        if (cx > 1) Fill(x, y, cx - 1, 1, topLeft);
        if (cy > 1) Fill(x, y, 1, cy - 1, topLeft);
        if (cx > 0 && cy > 0) {
            Fill(x + cx - 1, y, 1, cy, bottomRight);
            Fill(x, y + cy - 1, cx, 1, bottomRight);
        }
    }

    // A one-pixel border around the whole canvas.
    void Border(uint32_t bgr) {
        Fill(0, 0, w_, 1, bgr);
        Fill(0, h_ - 1, w_, 1, bgr);
        Fill(0, 0, 1, h_, bgr);
        Fill(w_ - 1, 0, 1, h_, bgr);
    }

    int Into(CxImage& out) const {
        return out.CreateFromArray(px_.data(), static_cast<uint32_t>(w_), static_cast<uint32_t>(h_), 24,
                                   static_cast<uint32_t>(w_) * 3)
                   ? 1
                   : 0;
    }

private:
    uint8_t* At(int x, int y) { return &px_[(static_cast<size_t>(y) * w_ + x) * 3]; }

    int w_, h_;
    std::vector<uint8_t> px_;
};

// The micro image around a picture already scaled to the size MicroGeometry gives.
int ComposeMicro(const CxImage& scaled, const CkxImageTool::MicroPlace& at, unsigned S, CxImage& out, int frame) {
    const int side = static_cast<int>(S);
    Canvas c(side, side, CkxImageTool::BACKGROUND);
    if (!c.Paste(scaled, at.x, at.y)) return 0;
    if (frame) c.Draw3dRect(0, 0, side, side - 1, CkxImageTool::FRAME_TOPLEFT, CkxImageTool::FRAME_BOTTOMRIGHT);
    return c.Into(out);
}

// Largest side a micro image, a scaled image or a framed square may have.
constexpr unsigned kMaxCanvasSide = 16384;

} // namespace

int CkxImageTool::BuildMicroImage(CxImage& image, unsigned S, CxImage& out, int frame) {
    if (!image.IsValid() || S == 0 || S > kMaxCanvasSide) return 0;
    auto at = MicroGeometry(image.GetWidth(), image.GetHeight(), S);
    CxImage scaled;
    if (!image.Resample(at.w, at.h, CxImage::RS_LANCZOS, &scaled)) return 0;
    return ComposeMicro(scaled, at, S, out, frame);
}

int CkxImageTool::BuildMicroImage(const unsigned char* bytes, int n, unsigned S, CxImage& out, int frame) {
    if (!bytes || n <= 0) return 0;
    return BuildMicroImage(bytes, static_cast<size_t>(n), CXIMAGE_FORMAT_UNKNOWN, S, out, frame);
}

int CkxImageTool::BuildMicroImage(const unsigned char* bytes, size_t n, uint32_t codec, unsigned S, CxImage& out,
                                  int frame) {
    if (!bytes || n == 0 || S == 0 || S > kMaxCanvasSide) return 0;
    CxImageInfo info;
    if (!CxImage::ReadInfo(bytes, n, info, codec)) return 0;
    auto at = MicroGeometry(info.width, info.height, S);
    CxImage scaled;
    if (at.w <= 0 || !scaled.DecodeThumbnail(bytes, n, at.w, at.h, info.type)) return 0;
    return ComposeMicro(scaled, at, S, out, frame);
}

int CkxImageTool::BuildMicroImage_File(const std::string& path, unsigned S, CxImage& out, int frame) {
    CkxMemFile file;
    if (S == 0 || file.ReadFile(path) <= 0) return 0;
    return BuildMicroImage(file.GetMemPt(), static_cast<size_t>(file.GetMemLen()), CxImage::FormatOfPath(path), S,
                           out, frame);
}

int CkxImageTool::ScaleImage(CxImage& image, unsigned w, unsigned h, CxImage& out) {
    if (!image.IsValid() || w == 0 || h == 0 || w > kMaxCanvasSide || h > kMaxCanvasSide) return 0;
    CxImage stretched;
    if (!image.Resample(w, h, CxImage::RS_LANCZOS, &stretched)) return 0;
    Canvas c(static_cast<int>(w), static_cast<int>(h), BACKGROUND);
    if (!c.Paste(stretched, 0, 0)) return 0;
    c.Border(SCALE_FRAME);
    return c.Into(out);
}

int CkxImageTool::DrawFrame(CxImage& image, int) {
    if (!image.IsValid()) return 0;
    const unsigned side = std::max(image.GetWidth(), image.GetHeight());
    if (side > kMaxCanvasSide) return 0;
    Canvas c(static_cast<int>(side), static_cast<int>(side), BACKGROUND);
    if (!c.Paste(image, 0, 0)) return 0;
    c.Draw3dRect(0, 0, static_cast<int>(side) - 1, static_cast<int>(side) - 1, FRAME_TOPLEFT, FRAME_BOTTOMRIGHT);
    return c.Into(image);
}

namespace {
int EncodeInto(CxImage& image, CkxBuf& buf, int codec) {
    buf.Destroy();
    if (!image.IsValid()) return 0;
    std::vector<uint8_t> out;
    if (!image.Encode(out, static_cast<uint32_t>(codec))) return 0;
    if (out.size() > static_cast<size_t>(INT_MAX)) return 0;
    return buf.Fill(out.data(), static_cast<int>(out.size()));
}

int DecodeFrom(const unsigned char* bytes, int n, CxImage& image, int codec) {
    if (!bytes || n <= 0) return 0;
    return image.Decode(bytes, static_cast<size_t>(n), static_cast<uint32_t>(codec)) && image.IsValid() ? 1 : 0;
}
} // namespace

int CkxImageTool::MICRO_Encode(CxImage& image, CkxBuf& buf) { return EncodeInto(image, buf, CXIMAGE_FORMAT_JPG); }

int CkxImageTool::MICRO_Decode(CkxBuf& buf, CxImage& image) {
    return buf.IsValid() ? DecodeFrom(buf.GetBuf(), buf.GetLen(), image, CXIMAGE_FORMAT_JPG) : 0;
}

int CkxImageTool::XIMAGE_Encode(CxImage& image, CkxBuf& buf, int codec) { return EncodeInto(image, buf, codec); }

int CkxImageTool::XIMAGE_Encode(CxImage& image, CkxMemFile& mem, int codec) {
    mem.Destroy();
    if (!image.IsValid()) return 0;
    uint8_t* block = nullptr;
    int32_t size = 0;
    if (!image.Encode(block, size, static_cast<uint32_t>(codec))) return 0;
    if (mem.AttachMem(block, size)) return 1; // the memory file owns the block from here
    CxImage::FreeMemory(block);
    return 0;
}

int CkxImageTool::XIMAGE_Decode(CkxBuf& buf, CxImage& image, int codec) {
    return buf.IsValid() ? DecodeFrom(buf.GetBuf(), buf.GetLen(), image, codec) : 0;
}

int CkxImageTool::XIMAGE_Decode(CkxMemFile& mem, CxImage& image, int codec) {
    return mem.IsValid() ? DecodeFrom(mem.GetMemPt(), mem.GetMemLen(), image, codec) : 0;
}
