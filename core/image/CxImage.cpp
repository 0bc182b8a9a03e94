#include "image/CxImage.h"

#include "model/CkxMemFile.h"
#include "image/CxFile.h"
#include "image/KxSmallPicture.h"
#include "image/KxVips.h"

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <unistd.h>

using vips::VError;
using vips::VImage;
using vips::VSource;
using vips::VTarget;

struct CxImage::Impl {
    // Pixels made without the image library (a small picture, a drawn canvas); the library's
    // picture then wraps them on the first operation that needs it. Declared before the
    // picture, which reads this memory, so it goes after it.
    kx::small::Pixels raw;
    VImage image; // decoded into memory: 8-bit sRGB, 3 bands or 4 with alpha
    std::once_flag wrapOnce;
    std::once_flag pixelsOnce;
    std::vector<uint8_t> rgba; // top-down RGBA copy, made on the first pixel query

    bool HasRaw() const { return raw.w > 0; }
    int Width() const { return HasRaw() ? raw.w : image.width(); }
    int Height() const { return HasRaw() ? raw.h : image.height(); }
    int Bands() const { return HasRaw() ? raw.bands : image.bands(); }
    // The picture as the image library sees it.
    const VImage& Vips() {
        if (HasRaw())
            std::call_once(wrapOnce, [this] {
                image = VImage::new_from_memory(raw.px.data(), raw.px.size(), raw.w, raw.h, raw.bands, VIPS_FORMAT_UCHAR)
                            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
            });
        return image;
    }
};

namespace {

constexpr uint32_t kMaxSide = 10000000;
// Pictures are decoded whole into memory; a header that claims more pixels than this (a
// "decompression bomb") is refused before any pixel is decoded.
constexpr uint64_t kMaxPixels = uint64_t(256) << 20;

bool Is(const uint8_t* p, size_t n, const char* sig, size_t len) {
    return n >= len && std::memcmp(p, sig, len) == 0;
}

// The format a block's signature names; 0 when it carries none we know (TGA and WBMP carry
// none at all).
uint32_t Sniff(const uint8_t* p, size_t n) {
    if (Is(p, n, "\xFF\xD8\xFF", 3)) return CXIMAGE_FORMAT_JPG;
    if (Is(p, n, "\x89PNG\r\n\x1A\n", 8)) return CXIMAGE_FORMAT_PNG;
    if (Is(p, n, "GIF87a", 6) || Is(p, n, "GIF89a", 6)) return CXIMAGE_FORMAT_GIF;
    if (Is(p, n, "II*\0", 4) || Is(p, n, "MM\0*", 4)) return CXIMAGE_FORMAT_TIF;
    if (Is(p, n, "\0\0\0\x0CjP  \r\n\x87\n", 12)) return CXIMAGE_FORMAT_JP2;
    if (Is(p, n, "\xFF\x4F\xFF\x51", 4)) return CXIMAGE_FORMAT_J2K;
    if (Is(p, n, "\x59\xA6\x6A\x95", 4)) return CXIMAGE_FORMAT_RAS;
    if (Is(p, n, "\xD7\xCD\xC6\x9A", 4)) return CXIMAGE_FORMAT_WMF;
    if (n >= 6 && (p[0] == 1 || p[0] == 2) && p[1] == 0 && p[2] == 9 && p[3] == 0 && p[4] == 0 &&
        (p[5] == 1 || p[5] == 3))
        return CXIMAGE_FORMAT_WMF;
    if (Is(p, n, "PG ", 3)) return CXIMAGE_FORMAT_PGX;
    if (n >= 3 && p[0] == 'P' && p[1] >= '1' && p[1] <= '6' && std::isspace(p[2]))
        return CXIMAGE_FORMAT_PNM;
    if (Is(p, n, "BM", 2)) return CXIMAGE_FORMAT_BMP;
    if (n >= 6 && p[0] == 0 && p[1] == 0 && (p[2] == 1 || p[2] == 2) && p[3] == 0 && (p[4] || p[5]))
        return CXIMAGE_FORMAT_ICO;
    if (n >= 4 && p[0] == 0x0A && p[1] <= 5 && p[2] <= 1 &&
        (p[3] == 1 || p[3] == 2 || p[3] == 4 || p[3] == 8))
        return CXIMAGE_FORMAT_PCX;
    return CXIMAGE_FORMAT_UNKNOWN;
}

// Formats only the ImageMagick loader reads, and the name it knows each by.
const char* MagickName(uint32_t type) {
    switch (type) {
    case CXIMAGE_FORMAT_BMP: return "BMP";
    case CXIMAGE_FORMAT_ICO: return "ICO";
    case CXIMAGE_FORMAT_TGA: return "TGA";
    case CXIMAGE_FORMAT_PCX: return "PCX";
    case CXIMAGE_FORMAT_WBMP: return "WBMP";
    case CXIMAGE_FORMAT_WMF: return "WMF";
    case CXIMAGE_FORMAT_PGX: return "PGX";
    case CXIMAGE_FORMAT_RAS: return "SUN";
    default: return nullptr;
    }
}

// The loader (and saver) operation that serves a format in this build.
const char* LoaderOf(uint32_t type) {
    switch (type) {
    case CXIMAGE_FORMAT_JPG: return "jpegload_source";
    case CXIMAGE_FORMAT_PNG: return "pngload_source";
    case CXIMAGE_FORMAT_GIF: return "gifload_source";
    case CXIMAGE_FORMAT_TIF: return "tiffload_source";
    case CXIMAGE_FORMAT_J2K:
    case CXIMAGE_FORMAT_JP2:
    case CXIMAGE_FORMAT_JPC: return "jp2kload_source";
    case CXIMAGE_FORMAT_PNM: return "ppmload_source";
    default: return MagickName(type) ? "magickload_buffer" : nullptr;
    }
}

const char* SaverOf(uint32_t type) {
    switch (type) {
    case CXIMAGE_FORMAT_JPG: return "jpegsave_buffer";
    case CXIMAGE_FORMAT_PNG: return "pngsave_buffer";
    case CXIMAGE_FORMAT_GIF: return "gifsave_buffer";
    case CXIMAGE_FORMAT_TIF: return "tiffsave_buffer";
    case CXIMAGE_FORMAT_J2K:
    case CXIMAGE_FORMAT_JP2:
    case CXIMAGE_FORMAT_JPC: return "jp2ksave_buffer";
    case CXIMAGE_FORMAT_PNM: return "ppmsave_target";
    case CXIMAGE_FORMAT_WMF: return nullptr; // a vector format: read, never written
    default: return MagickName(type) ? "magicksave_buffer" : nullptr;
    }
}

bool HaveOperation(const char* nick) {
    return nick && kx::VipsReady() && vips_type_find("VipsOperation", nick) != 0;
}

// The format to report: the signature's, kept as the caller named it within one family (a
// JPEG 2000 code stream asked for as JPC stays JPC), else the caller's when there is no signature.
uint32_t Named(uint32_t sniffed, uint32_t hint) {
    if (sniffed == CXIMAGE_FORMAT_UNKNOWN) return hint < CMAX_IMAGE_FORMATS ? hint : 0;
    if (sniffed == CXIMAGE_FORMAT_J2K && hint == CXIMAGE_FORMAT_JPC) return hint;
    return sniffed;
}

std::string Clean(const char* what) {
    std::string s = what ? what : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    for (char& c : s)
        if (c == '\n') c = ';';
    vips_error_clear();
    return s.empty() ? "image library error" : s;
}


// A private copy of a block on disk, for the one loader path that only names formats by file.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Write(const uint8_t* p, size_t n) {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/varnia-img-XXXXXX";
        int fd = ::mkstemp(pattern.data());
        if (fd < 0) throw std::runtime_error("no temporary file for the picture");
        path_ = pattern;
        size_t done = 0;
        while (done < n) {
            ssize_t w = ::write(fd, p + done, n - done);
            if (w <= 0) {
                ::close(fd);
                throw std::runtime_error("cannot write the temporary picture file");
            }
            done += static_cast<size_t>(w);
        }
        ::close(fd);
        return path_;
    }

private:
    std::string path_;
};

vips::VOption* LoadOptions() {
    return VImage::option()->set("access", VIPS_ACCESS_RANDOM)->set("fail_on", VIPS_FAIL_ON_ERROR);
}

VImage MagickBuffer(const uint8_t* p, size_t n) {
    VipsBlob* blob = vips_blob_new(nullptr, p, n);
    try {
        VImage im = VImage::magickload_buffer(blob, LoadOptions());
        vips_area_unref(VIPS_AREA(blob));
        return im;
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
}

// Opens a block lazily (header read, pixels on demand). The block (and keep) must outlive the
// returned picture's pixel reads.
VImage Open(const uint8_t* p, size_t n, uint32_t sniffed, uint32_t hint, TempFile& keep) {
    if (MagickName(sniffed)) {
        if (!HaveOperation("magickload_buffer"))
            throw std::runtime_error("no codec for this picture format on this system");
        return MagickBuffer(p, n);
    }
    if (sniffed == CXIMAGE_FORMAT_UNKNOWN && (hint == CXIMAGE_FORMAT_TGA || hint == CXIMAGE_FORMAT_WBMP)) {
        if (!HaveOperation("magickload"))
            throw std::runtime_error("no codec for this picture format on this system");
        // Nothing in these formats identifies them, so the loader is told by name.
        std::string name = std::string(MagickName(hint)) + ":" + keep.Write(p, n);
        return VImage::magickload(name.c_str(), LoadOptions());
    }
    // Bytes without the signature of a format this system reads are no picture. The library's
    // own sniffing would offer them to the loaders of every other format, ImageMagick's
    // catch-all among them, which renders a few hundred bytes taken for a font or a drawing
    // script for seconds and into hundreds of megabytes.
    if (sniffed == CXIMAGE_FORMAT_UNKNOWN) throw std::runtime_error("not a picture format this system reads");
    return VImage::new_from_source(VSource::new_from_memory(p, n), "", LoadOptions());
}

// Whether the picture's orientation tag turns it by a quarter, so the picture as shown has its
// width and height swapped.
bool TurnsQuarter(const VImage& im) { return vips_image_get_orientation_swap(im.get_image()) != 0; }

// The picture the way its orientation tag says it is shown (all eight values: turns and
// mirrors); the tag itself is dropped so nothing turns it twice.
VImage Upright(const VImage& im) {
    const int o = vips_image_get_orientation(im.get_image());
    return o > 1 && o <= 8 ? im.autorot() : im;
}

// Opens a block for a picture of about tw x th: a JPEG is decoded at 1/2, 1/4 or 1/8 of its
// size by the loader itself (leaving at least a factor of two for the final resample, which keeps
// it sharp), other formats at full size. The strict error check stays on, which the library's
// own thumbnail operation does not pass on to its loaders here (a cut JPEG would come out grey).
// Whether a JPEG's last scan is followed by its end marker. Scan data stuffs every 0xFF byte, so
// the markers found are real ones; a file cut short within its last scan has none after it.
// (The decoder's own error for such a file may be lost between its worker threads.)
bool JpegEndsWhole(const uint8_t* p, size_t n) {
    size_t lastScan = 0;
    bool scan = false;
    for (size_t i = 0; i + 1 < n; ++i)
        if (p[i] == 0xFF && p[i + 1] == 0xDA) {
            lastScan = i;
            scan = true;
        }
    if (!scan) return false;
    for (size_t i = lastScan + 2; i + 1 < n; ++i)
        if (p[i] == 0xFF && p[i + 1] == 0xD9) return true;
    return false;
}

VImage OpenShrunk(const uint8_t* p, size_t n, uint32_t sniffed, uint32_t hint, int tw, int th, TempFile& keep) {
    if (sniffed != CXIMAGE_FORMAT_JPG) return Open(p, n, sniffed, hint, keep);
    VImage head = VImage::new_from_source(VSource::new_from_memory(p, n), "",
                                          VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
    // tw x th is the size as shown; a picture turned by a quarter is stored the other way round.
    if (TurnsQuarter(head)) std::swap(tw, th);
    double shrink = std::min(static_cast<double>(head.width()) / tw, static_cast<double>(head.height()) / th);
    int factor = shrink >= 16 ? 8 : shrink >= 8 ? 4 : shrink >= 4 ? 2 : 1;
    return VImage::new_from_source(VSource::new_from_memory(p, n), "",
                                   VImage::option()
                                       ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                       ->set("fail_on", VIPS_FAIL_ON_ERROR)
                                       ->set("shrink", factor));
}

// 8-bit sRGB with 3 bands, or 4 with alpha, whatever the file held (grey, 16-bit, CMYK, ...).
VImage Normalise(VImage im) {
    VipsInterpretation was = vips_image_guess_interpretation(im.get_image());
    if (was != VIPS_INTERPRETATION_sRGB || im.format() != VIPS_FORMAT_UCHAR)
        im = im.colourspace(VIPS_INTERPRETATION_sRGB, VImage::option()->set("source_space", was));
    if (im.format() != VIPS_FORMAT_UCHAR) im = im.cast(VIPS_FORMAT_UCHAR);
    if (im.bands() == 1) im = im.bandjoin({im, im});
    else if (im.bands() == 2) im = im[0].bandjoin({im[0], im[0], im[1]});
    else if (im.bands() > 4) im = im.extract_band(0, VImage::option()->set("n", 4));
    if (im.interpretation() != VIPS_INTERPRETATION_sRGB)
        im = im.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    return im;
}

// Decodes the whole picture into memory first (a loader's late errors, such as a cut file noticed
// at its end, reach the caller only from a pipeline that reads the loader to its end), then brings
// it to the common form.
VImage Materialise(const VImage& opened) {
    if (static_cast<uint64_t>(opened.width()) * static_cast<uint64_t>(opened.height()) > kMaxPixels)
        throw std::runtime_error("picture too large to decode");
    const VImage whole = opened.copy_memory();
    VImage raw = Upright(whole);
    if (raw.get_image() != whole.get_image()) raw = raw.copy_memory();
    VImage norm = Normalise(raw);
    return norm.get_image() == raw.get_image() ? raw : norm.copy_memory();
}

std::vector<uint8_t> TakeBlob(VipsBlob* blob) {
    size_t len = 0;
    const void* data = vips_blob_get(blob, &len);
    std::vector<uint8_t> out(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + len);
    vips_area_unref(VIPS_AREA(blob));
    return out;
}

std::vector<uint8_t> SaveSuffix(const VImage& im, const char* suffix, vips::VOption* opts = nullptr) {
    void* buf = nullptr;
    size_t len = 0;
    im.write_to_buffer(suffix, &buf, &len, opts);
    std::vector<uint8_t> out(static_cast<uint8_t*>(buf), static_cast<uint8_t*>(buf) + len);
    g_free(buf);
    return out;
}

VImage NoAlpha(const VImage& im) {
    return im.bands() == 4
               ? im.flatten(VImage::option()->set("background", std::vector<double>{255, 255, 255}))
                     .cast(VIPS_FORMAT_UCHAR)
               : im;
}

// The code stream inside a JP2 file (its "jp2c" box); empty when there is none.
std::vector<uint8_t> Jp2CodeStream(const std::vector<uint8_t>& jp2) {
    size_t at = 0;
    const size_t n = jp2.size();
    auto be = [&](size_t i, int bytes) {
        uint64_t v = 0;
        for (int k = 0; k < bytes; ++k) v = (v << 8) | jp2[i + k];
        return v;
    };
    while (n - at >= 8) {
        uint64_t len = be(at, 4);
        size_t head = 8;
        if (len == 1) {
            if (n - at < 16) break;
            len = be(at + 8, 8);
            head = 16;
        } else if (len == 0) {
            len = n - at;
        }
        if (len < head || len > n - at) break;
        if (std::memcmp(jp2.data() + at + 4, "jp2c", 4) == 0)
            return std::vector<uint8_t>(jp2.begin() + at + head, jp2.begin() + at + len);
        at += len;
    }
    return {};
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    CkxMemFile m;
    if (m.ReadFile(path) <= 0) return false;
    out.assign(m.GetMemPt(), m.GetMemPt() + m.GetMemLen());
    return true;
}

// TGA and WBMP files are known only by their suffix.
uint32_t HintFromPath(const std::string& path, uint32_t type) {
    if (type != CXIMAGE_FORMAT_UNKNOWN) return type;
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos) return type;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "tga") return CXIMAGE_FORMAT_TGA;
    if (ext == "wbmp" || ext == "wbp") return CXIMAGE_FORMAT_WBMP;
    return type;
}

} // namespace

CxImage::CxImage() = default;
CxImage::CxImage(uint32_t type) : m_type(type < CMAX_IMAGE_FORMATS ? type : 0) {}
CxImage::CxImage(const uint8_t* buffer, size_t size, uint32_t type) { Decode(buffer, size, type); }
CxImage::CxImage(const CxImage& o) = default;
CxImage& CxImage::operator=(const CxImage& o) = default;
CxImage::CxImage(CxImage&& o) noexcept = default;
CxImage& CxImage::operator=(CxImage&& o) noexcept = default;
CxImage::~CxImage() = default;

bool CxImage::Fail(const std::string& why) {
    m_error = why;
    return false;
}

bool CxImage::Take(std::shared_ptr<Impl> impl, uint32_t type) {
    m_impl = std::move(impl);
    m_type = type;
    m_error.clear();
    return true;
}

#define KX_VIPS_GUARD(...)                                                                        \
    do {                                                                                           \
        std::string why_;                                                                          \
        if (!kx::VipsReady(&why_)) return Fail(why_);                                              \
        try {                                                                                      \
            __VA_ARGS__                                                                            \
        } catch (const VError& e) {                                                                \
            return Fail(Clean(e.what()));                                                          \
        } catch (const std::exception& e) {                                                        \
            return Fail(e.what());                                                                 \
        }                                                                                          \
    } while (0)

bool CxImage::TakeSmall(const uint8_t* buffer, size_t size, uint32_t width, uint32_t height, uint32_t type) {
    kx::small::Head head;
    if (!kx::small::ReadHead(buffer, size, head)) return false;
    int factor = 1;
    if (width && height && head.jpeg) {
        // As the library's own loader shrinks: at most to twice the size asked for.
        const double shrink = std::min(static_cast<double>(head.ShownW()) / width, static_cast<double>(head.ShownH()) / height);
        factor = shrink >= 16 ? 8 : shrink >= 8 ? 4 : shrink >= 4 ? 2 : 1;
    }
    auto impl = std::make_shared<Impl>();
    std::string why;
    // A picture this path cannot read is given to the library, which has the last word.
    if (!kx::small::Decode(buffer, size, head, factor, impl->raw, why)) return false;
    if (width && height && (impl->raw.w != static_cast<int>(width) || impl->raw.h != static_cast<int>(height)))
        impl->raw = kx::small::Resize(impl->raw, static_cast<int>(width), static_cast<int>(height));
    return Take(std::move(impl), Named(Sniff(buffer, size), type));
}

bool CxImage::Decode(const uint8_t* buffer, size_t size, uint32_t type) {
    if (!buffer || size == 0) return Fail("no bytes to decode");
    if (TakeSmall(buffer, size, 0, 0, type)) return true;
    KX_VIPS_GUARD({
        uint32_t sniffed = Sniff(buffer, size);
        TempFile keep;
        VImage im = Open(buffer, size, sniffed, type, keep);
        auto impl = std::make_shared<Impl>();
        impl->image = Materialise(im);
        return Take(std::move(impl), Named(sniffed, type));
    });
}

bool CxImage::Decode(CxFile* file, uint32_t type) {
    if (!file) return Fail("no file to decode");
    int64_t at = file->Tell(), end = file->Size();
    if (at < 0 || end < at) return Fail("cannot read the file");
    // The same bound as every other read of a picture file: what an int32 length holds.
    if (end - at > std::numeric_limits<int32_t>::max()) return Fail("picture file too large");
    std::vector<uint8_t> bytes(static_cast<size_t>(end - at));
    if (!bytes.empty() && file->Read(bytes.data(), 1, bytes.size()) != bytes.size())
        return Fail("cannot read the file");
    return Decode(bytes.data(), bytes.size(), type);
}

bool CxImage::Load(const std::string& path, uint32_t type) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return Fail("cannot read " + path);
    return Decode(bytes.data(), bytes.size(), HintFromPath(path, type));
}

bool CxImage::ReadInfo(const uint8_t* buffer, size_t size, CxImageInfo& info, uint32_t type) {
    if (!buffer || size == 0) return false;
    if (kx::small::Head head; kx::small::ReadHead(buffer, size, head)) {
        info.width = static_cast<uint32_t>(head.ShownW());
        info.height = static_cast<uint32_t>(head.ShownH());
        info.type = Named(Sniff(buffer, size), type);
        return true;
    }
    if (!kx::VipsReady()) return false;
    try {
        uint32_t sniffed = Sniff(buffer, size);
        TempFile keep;
        VImage im = Open(buffer, size, sniffed, type, keep);
        const bool turned = TurnsQuarter(im);
        info.width = static_cast<uint32_t>(turned ? im.height() : im.width());
        info.height = static_cast<uint32_t>(turned ? im.width() : im.height());
        info.type = Named(sniffed, type);
        return true;
    } catch (const VError& e) {
        Clean(e.what());
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

uint32_t CxImage::FormatOfPath(const std::string& path) { return HintFromPath(path, CXIMAGE_FORMAT_UNKNOWN); }

bool CxImage::ReadFileInfo(const std::string& path, CxImageInfo& info, uint32_t type) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, bytes) && ReadInfo(bytes.data(), bytes.size(), info, HintFromPath(path, type));
}

bool CxImage::DecodeThumbnail(const uint8_t* buffer, size_t size, uint32_t width, uint32_t height,
                              uint32_t type) {
    if (!buffer || size == 0) return Fail("no bytes to decode");
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return Fail("thumbnail size out of range");
    if (Sniff(buffer, size) == CXIMAGE_FORMAT_JPG && !JpegEndsWhole(buffer, size))
        return Fail("the JPEG data is cut short");
    if (TakeSmall(buffer, size, width, height, type)) return true;
    KX_VIPS_GUARD({
        uint32_t sniffed = Sniff(buffer, size);
        TempFile keep;
        VImage im = Materialise(
            OpenShrunk(buffer, size, sniffed, type, static_cast<int>(width), static_cast<int>(height), keep));
        im = im.resize(static_cast<double>(width) / im.width(),
                       VImage::option()
                           ->set("vscale", static_cast<double>(height) / im.height())
                           ->set("kernel", VIPS_KERNEL_LANCZOS3));
        if (im.width() != static_cast<int>(width) || im.height() != static_cast<int>(height))
            im = im.embed(0, 0, static_cast<int>(width), static_cast<int>(height),
                          VImage::option()->set("extend", VIPS_EXTEND_COPY));
        auto impl = std::make_shared<Impl>();
        impl->image = im.copy_memory();
        return Take(std::move(impl), Named(sniffed, type));
    });
}

bool CxImage::LoadThumbnail(const std::string& path, uint32_t width, uint32_t height, uint32_t type) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return Fail("cannot read " + path);
    return DecodeThumbnail(bytes.data(), bytes.size(), width, height, HintFromPath(path, type));
}

bool CxImage::Encode(std::vector<uint8_t>& out, uint32_t type) {
    if (!IsValid()) return Fail("no picture to encode");
    if (type == CXIMAGE_FORMAT_WMF) return Fail("WMF pictures are read, never written");
    if (!HaveOperation(SaverOf(type))) return Fail("no encoder for this format on this system");
    KX_VIPS_GUARD({
        const VImage& im = m_impl->Vips();
        switch (type) {
        case CXIMAGE_FORMAT_JPG:
            out = SaveSuffix(NoAlpha(im), ".jpg", VImage::option()->set("Q", static_cast<int>(m_quality)));
            break;
        case CXIMAGE_FORMAT_PNG: out = SaveSuffix(im, ".png"); break;
        case CXIMAGE_FORMAT_GIF: out = SaveSuffix(im, ".gif"); break;
        case CXIMAGE_FORMAT_TIF: out = SaveSuffix(im, ".tif"); break;
        case CXIMAGE_FORMAT_JP2: out = SaveSuffix(im, ".jp2", VImage::option()->set("lossless", true)); break;
        case CXIMAGE_FORMAT_J2K:
        case CXIMAGE_FORMAT_JPC:
            // The encoder writes JP2 files; these two formats are the bare code stream inside.
            out = Jp2CodeStream(SaveSuffix(im, ".jp2", VImage::option()->set("lossless", true)));
            break;
        case CXIMAGE_FORMAT_PNM: {
            VTarget target = VTarget::new_to_memory();
            NoAlpha(im).write_to_target(".ppm", target);
            VipsBlob* blob = nullptr;
            g_object_get(target.get_target(), "blob", &blob, nullptr);
            if (!blob) return Fail("the PNM encoder gave no bytes");
            out = TakeBlob(blob);
            break;
        }
        default:
            out = TakeBlob(im.magicksave_buffer(VImage::option()->set("format", MagickName(type))));
            break;
        }
        if (out.empty()) return Fail("the encoder gave no bytes");
        m_error.clear();
        return true;
    });
}

bool CxImage::Encode(uint8_t*& buffer, int32_t& size, uint32_t type) {
    buffer = nullptr;
    size = 0;
    std::vector<uint8_t> out;
    if (!Encode(out, type)) return false;
    if (out.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return Fail("encoded picture too large");
    buffer = new uint8_t[out.size()];
    std::memcpy(buffer, out.data(), out.size());
    size = static_cast<int32_t>(out.size());
    return true;
}

bool CxImage::Encode(CxFile* file, uint32_t type) {
    if (!file) return Fail("no file to encode into");
    std::vector<uint8_t> out;
    if (!Encode(out, type)) return false;
    if (file->Write(out.data(), 1, out.size()) != out.size()) return Fail("cannot write the file");
    return true;
}

bool CxImage::Save(const std::string& path, uint32_t type) {
    std::vector<uint8_t> out;
    if (!Encode(out, type)) return false;
    if (out.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return Fail("encoded picture too large");
    CkxMemFile m;
    m.MapMem(out.data(), static_cast<int>(out.size()));
    return m.WriteFile(path) ? true : Fail("cannot write " + path);
}

void CxImage::FreeMemory(void* p) { delete[] static_cast<uint8_t*>(p); }

bool CxImage::IsReadable(uint32_t type) {
    if (type == CXIMAGE_FORMAT_TGA || type == CXIMAGE_FORMAT_WBMP)
        return HaveOperation("magickload") && HaveOperation("magickload_buffer");
    return HaveOperation(LoaderOf(type));
}

bool CxImage::IsWritable(uint32_t type) { return HaveOperation(SaverOf(type)); }

bool CxImage::IsValid() const { return m_impl && m_impl->Width() > 0; }

void CxImage::Destroy() {
    m_impl.reset();
    m_error.clear();
}

uint32_t CxImage::GetWidth() const { return IsValid() ? static_cast<uint32_t>(m_impl->Width()) : 0; }
uint32_t CxImage::GetHeight() const {
    return IsValid() ? static_cast<uint32_t>(m_impl->Height()) : 0;
}
bool CxImage::AlphaIsValid() const { return IsValid() && m_impl->Bands() == 4; }

bool CxImage::Resample(long newx, long newy, int mode, CxImage* iDst) {
    if (!IsValid()) return Fail("no picture to resample");
    if (newx < 1 || newy < 1 || newx > static_cast<long>(kMaxSide) || newy > static_cast<long>(kMaxSide))
        return Fail("resample size out of range");
    KX_VIPS_GUARD({
        const VImage& im = m_impl->Vips();
        VipsKernel kernel = mode == RS_NEAREST ? VIPS_KERNEL_NEAREST
                          : mode == RS_CUBIC   ? VIPS_KERNEL_CUBIC
                          : mode == RS_LANCZOS ? VIPS_KERNEL_LANCZOS3
                                               : VIPS_KERNEL_LINEAR;
        double sx = static_cast<double>(newx) / im.width(), sy = static_cast<double>(newy) / im.height();
        VImage out = im.resize(sx, VImage::option()->set("vscale", sy)->set("kernel", kernel));
        // Rounding inside the resampler may leave a pixel more or less; settle on the exact size.
        if (out.width() != newx || out.height() != newy)
            out = out.embed(0, 0, static_cast<int>(newx), static_cast<int>(newy),
                            VImage::option()->set("extend", VIPS_EXTEND_COPY));
        auto impl = std::make_shared<Impl>();
        impl->image = out.copy_memory();
        CxImage& dst = iDst ? *iDst : *this;
        dst.Take(std::move(impl), m_type);
        return true;
    });
}

bool CxImage::Crop(long left, long top, long right, long bottom, CxImage* iDst) {
    if (!IsValid()) return Fail("no picture to crop");
    long w = GetWidth(), h = GetHeight();
    left = std::max(left, 0L);
    top = std::max(top, 0L);
    right = std::min(right, w);
    bottom = std::min(bottom, h);
    if (right <= left || bottom <= top) return Fail("empty crop rectangle");
    KX_VIPS_GUARD({
        auto impl = std::make_shared<Impl>();
        impl->image = m_impl->Vips()
                          .extract_area(static_cast<int>(left), static_cast<int>(top),
                                        static_cast<int>(right - left), static_cast<int>(bottom - top))
                          .copy_memory();
        CxImage& dst = iDst ? *iDst : *this;
        dst.Take(std::move(impl), m_type);
        return true;
    });
}

bool CxImage::CreateFromArray(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bpp,
                              uint32_t bytesPerLine, bool flip) {
    if (!pixels || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return Fail("no pixels or size out of range");
    if (bpp != 24 && bpp != 32) return Fail("only 24 and 32 bits a pixel are taken");
    const size_t bands = bpp / 8, row = static_cast<size_t>(width) * bands;
    if (bytesPerLine < row) return Fail("rows shorter than the width");
    if (static_cast<size_t>(height) > std::numeric_limits<size_t>::max() / row) return Fail("picture too large");
    // Kept as they are: the image library wraps them only when an operation of its own needs it.
    auto impl = std::make_shared<Impl>();
    kx::small::Pixels& raw = impl->raw;
    raw.px.resize(row * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(flip ? height - 1 - y : y) * bytesPerLine;
        std::memcpy(raw.px.data() + y * row, src, row);
    }
    raw.w = static_cast<int>(width);
    raw.h = static_cast<int>(height);
    raw.bands = static_cast<int>(bands);
    return Take(std::move(impl), m_type);
}

bool CxImage::CopyToArray(std::vector<uint8_t>& out, bool withAlpha) const {
    if (!IsValid()) return false;
    if (m_impl->HasRaw()) {
        const kx::small::Pixels& raw = m_impl->raw;
        const int want = withAlpha ? 4 : 3;
        if (raw.bands == want) {
            out = raw.px;
            return true;
        }
        const size_t n = static_cast<size_t>(raw.w) * raw.h;
        out.resize(n * want);
        for (size_t i = 0; i < n; ++i) {
            std::memcpy(&out[i * want], &raw.px[i * raw.bands], 3);
            if (withAlpha) out[i * 4 + 3] = 255;
        }
        return true;
    }
    if (!kx::VipsReady()) return false;
    try {
        VImage im = m_impl->image;
        if (withAlpha && im.bands() == 3) im = im.bandjoin_const({255});
        else if (!withAlpha && im.bands() == 4) im = im.extract_band(0, VImage::option()->set("n", 3));
        size_t len = 0;
        void* mem = im.write_to_memory(&len);
        out.assign(static_cast<uint8_t*>(mem), static_cast<uint8_t*>(mem) + len);
        g_free(mem);
        return true;
    } catch (const VError& e) {
        Clean(e.what());
        return false;
    }
}

CxPixel CxImage::GetPixelColor(long x, long y, bool withAlpha) const {
    CxPixel px{0, 0, 0, 0};
    if (!IsValid()) return px;
    const long w = GetWidth(), h = GetHeight();
    if (x < 0 || y < 0 || x >= w || y >= h) return px;
    Impl& impl = *m_impl;
    std::call_once(impl.pixelsOnce, [&] { CopyToArray(impl.rgba, true); });
    if (impl.rgba.size() != static_cast<size_t>(w) * h * 4) return px;
    const uint8_t* p = impl.rgba.data() + (static_cast<size_t>(h - 1 - y) * w + x) * 4;
    px = {p[0], p[1], p[2], withAlpha ? p[3] : uint8_t(255)};
    return px;
}
