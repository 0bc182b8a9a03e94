#include "CkxImageTool.h"

#include "CkxBuf.h"
#include "CkxMemFile.h"
#include "CxImage.h"

#include <algorithm>
#include <cctype>
#include <climits>

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
