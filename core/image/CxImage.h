// CxImage: one decoded picture (8-bit RGB, optionally with alpha) over libvips. Decodes the
// formats below from memory, streams or files with the format found from the content, encodes
// them again, resamples, crops, and exchanges raw pixel rows with drawing code.
// Results are bools; a failed call leaves a readable reason in GetLastError().
#pragma once

#include "model/KxExport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CxFile;

// The codec numbers that records and format tables store.
enum ENUM_CXIMAGE_FORMATS : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_ICO = 5,
    CXIMAGE_FORMAT_TIF = 6,
    CXIMAGE_FORMAT_TGA = 7,
    CXIMAGE_FORMAT_PCX = 8,
    CXIMAGE_FORMAT_WBMP = 9,
    CXIMAGE_FORMAT_WMF = 10,
    CXIMAGE_FORMAT_J2K = 11,
    CXIMAGE_FORMAT_JP2 = 12,
    CXIMAGE_FORMAT_JPC = 13,
    CXIMAGE_FORMAT_PGX = 14,
    CXIMAGE_FORMAT_PNM = 15,
    CXIMAGE_FORMAT_RAS = 16,
    CMAX_IMAGE_FORMATS = 17
};

// One pixel as drawing code sees it.
struct CxPixel {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

// What a header says, read without decoding the pixels.
struct CxImageInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t type = CXIMAGE_FORMAT_UNKNOWN;
};

class KX_EXPORT CxImage {
public:
    // Resampling kernels of Resample.
    enum { RS_NEAREST = 0, RS_LINEAR = 1, RS_CUBIC = 2, RS_LANCZOS = 3 };

    CxImage();
    explicit CxImage(uint32_t type);
    CxImage(const uint8_t* buffer, size_t size, uint32_t type);
    CxImage(const CxImage& o);
    CxImage& operator=(const CxImage& o);
    CxImage(CxImage&& o) noexcept;
    CxImage& operator=(CxImage&& o) noexcept;
    ~CxImage();

    // Decoding. The format is always found from the content; type only helps with the formats
    // that carry no signature (TGA, WBMP) and names the format a nameless block was read as.
    // The pixels are decoded whole (a truncated or damaged block fails here, not later).
    bool Decode(const uint8_t* buffer, size_t size, uint32_t type = CXIMAGE_FORMAT_UNKNOWN);
    bool Decode(CxFile* file, uint32_t type = CXIMAGE_FORMAT_UNKNOWN); // from its position on
    bool Load(const std::string& path, uint32_t type = CXIMAGE_FORMAT_UNKNOWN);

    // Header only: size and format without decoding the pixels.
    static bool ReadInfo(const uint8_t* buffer, size_t size, CxImageInfo& info,
                         uint32_t type = CXIMAGE_FORMAT_UNKNOWN);
    // The format a path's suffix names for the formats that carry no signature (TGA, WBMP):
    // what the file forms pass on as the type; 0 for any other suffix.
    static uint32_t FormatOfPath(const std::string& path);
    static bool ReadFileInfo(const std::string& path, CxImageInfo& info,
                             uint32_t type = CXIMAGE_FORMAT_UNKNOWN);

    // Picture of exactly width x height (proportions are the caller's business) decoded straight
    // from the encoded block or file, a JPEG at a fraction of its size by the loader itself
    // (shrink-on-load), so a large photo is never decoded whole.
    bool DecodeThumbnail(const uint8_t* buffer, size_t size, uint32_t width, uint32_t height,
                         uint32_t type = CXIMAGE_FORMAT_UNKNOWN);
    bool LoadThumbnail(const std::string& path, uint32_t width, uint32_t height,
                       uint32_t type = CXIMAGE_FORMAT_UNKNOWN);

    // Encoding. The block form allocates with new[] (free with FreeMemory); WMF and formats
    // this machine cannot write fail with a reason.
    bool Encode(uint8_t*& buffer, int32_t& size, uint32_t type);
    bool Encode(std::vector<uint8_t>& out, uint32_t type);
    bool Encode(CxFile* file, uint32_t type);
    bool Save(const std::string& path, uint32_t type);
    static void FreeMemory(void* p);

    // True when a codec of this build reads (or writes) the format.
    static bool IsReadable(uint32_t type);
    static bool IsWritable(uint32_t type);

    bool IsValid() const;
    void Destroy();
    uint32_t GetWidth() const;
    uint32_t GetHeight() const;
    uint32_t GetType() const { return m_type; }
    bool AlphaIsValid() const;
    const char* GetLastError() const { return m_error.c_str(); }
    void SetJpegQuality(uint8_t q) { m_quality = q < 1 ? 1 : q > 100 ? 100 : q; }
    uint8_t GetJpegQuality() const { return m_quality; }

    // Stretches to newx x newy (each at least 1). With iDst the result goes there and this
    // image is kept.
    bool Resample(long newx, long newy, int mode = RS_LINEAR, CxImage* iDst = nullptr);
    // Keeps the rectangle [left, right) x [top, bottom), clipped to the picture; an empty
    // rectangle fails.
    bool Crop(long left, long top, long right, long bottom, CxImage* iDst = nullptr);

    // Raw pixels, rows top to bottom. bpp 24 = R,G,B bytes, 32 = R,G,B,A bytes; bytesPerLine
    // may pad rows; flip takes the rows bottom to top.
    bool CreateFromArray(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bpp,
                         uint32_t bytesPerLine, bool flip = false);
    // Copies the picture out as tightly packed rows (3 or 4 bytes a pixel).
    bool CopyToArray(std::vector<uint8_t>& out, bool withAlpha) const;
    // The pixel at (x, y) with y counted from the bottom row; outside gives black, alpha 0.
    CxPixel GetPixelColor(long x, long y, bool withAlpha = true) const;

private:
    struct Impl;
    bool Fail(const std::string& why);
    bool Take(std::shared_ptr<Impl> impl, uint32_t type);
    // The quick path for a small JPEG or PNG (at width x height when both are given, else whole);
    // false, with nothing changed, when it does not take the bytes.
    bool TakeSmall(const uint8_t* buffer, size_t size, uint32_t width, uint32_t height, uint32_t type);

    std::shared_ptr<Impl> m_impl; // shared between copies; pictures are never changed in place
    uint32_t m_type = CXIMAGE_FORMAT_UNKNOWN;
    uint8_t m_quality = 90;
    std::string m_error;
};
