// CkxImageTool: the library's image chores. The table of picture formats (the library's own ids,
// the codec ids, display names and suffixes), micro images (square thumbnails on white, optionally
// framed), scaling, framing, and encoding pictures to and from byte blocks. Every CxImage form
// works without Qt; QImage stands for a drawable bitmap in the bitmap forms (in core/ui).
#pragma once

#include "model/KxExport.h"
#include "base/PtrList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CkxBuf;
class CkxMemFile;
class CxImage;
class QImage;

// One row of the format table.
struct CkxImageFormat {
    uint8_t kxID = 0;      // the library's own id, as records store it
    uint8_t xImageID = 0;  // the codec's format number
    std::string name;      // display name
    std::string sufix;     // ".jpg"
    std::string exName;    // "jpg"
};

class KX_EXPORT CkxImageTool {
public:
    // Colours in the system's 0x00BBGGRR form.
    static constexpr uint32_t FRAME_TOPLEFT = 0x0C5490;
    static constexpr uint32_t FRAME_BOTTOMRIGHT = 0x0A0A0A;
    static constexpr uint32_t SCALE_FRAME = 0x804000;
    static constexpr uint32_t BACKGROUND = 0xFFFFFF;

    CkxImageTool();
    virtual ~CkxImageTool();

    // Builds the 17 rows; the first stands for "all formats" in pickers.
    void Init_ImageFormats();
    const std::vector<CkxImageFormat>& GetImageFormats() const { return m_formats; }

    // Lookups: 0 or an empty text when no row matches.
    int Get_kxID(const std::string& suffix) const;      // suffix compared lower-cased
    int Get_xImageID(const std::string& suffix) const;  // suffix compared lower-cased
    int Get_xImageID_kxID(int own) const;
    int Get_kxID_xImageID(int codec) const;
    std::string Get_ExName_kxID(int own) const;
    std::string Get_ExName_xImageID(int codec) const;
    std::string Get_Name_kxID(int own) const;
    std::string Get_Name_xImageID(int codec) const;
    std::string Get_Name_Sufix(const std::string& suffix) const; // exact, case-sensitive

    // Where the picture sits in a micro image of side S: its longer side S - 1 (at least 1), kept
    // in proportion (the short side truncated, at least 1), at 0 on the long axis and centred on
    // the short one (S / 2 - short / 2).
    struct MicroPlace {
        int x = 0, y = 0, w = 0, h = 0;
    };
    static MicroPlace MicroGeometry(unsigned width, unsigned height, unsigned S);

    // Micro images: an S x S white square with the picture placed as MicroGeometry says and, when
    // frame is not 0, the three-dimensional frame (0, 0)-(S, S - 1). 1, or 0 for S == 0 (or
    // above 16384) or an image without a picture. The byte and file forms decode straight to the
    // small size (a JPEG shrunk by its loader, never decoded whole); they take any format the
    // layer reads, JPEG being the one micro images travel in, and codec names a format that
    // carries no signature (TGA, WBMP). The CxImage forms need no drawing surface; the QImage
    // forms give the same pixels as a bitmap.
    static int BuildMicroImage(CxImage& image, unsigned S, QImage& out, int frame);
    static int BuildMicroImage(CxImage& image, unsigned S, CxImage& out, int frame);
    static int BuildMicroImage(const unsigned char* bytes, int n, unsigned S, QImage& out, int frame);
    static int BuildMicroImage(const unsigned char* bytes, int n, unsigned S, CxImage& out, int frame);
    static int BuildMicroImage(const unsigned char* bytes, size_t n, uint32_t codec, unsigned S, CxImage& out,
                               int frame);
    static int BuildMicroImage_File(const std::string& path, unsigned S, CxImage& out, int frame);
    // Empty out (deleting what it held), then one unframed micro image per input, in order;
    // returns out's count.
    static int BuildMicroImage_BmpList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<QImage>& out);
    static int BuildMicroImage_ImgList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<CxImage>& out);

    // A w x h picture (w, h at least 1): the whole image stretched over a white ground, then a
    // one-pixel frame in SCALE_FRAME. 1 or 0.
    static int ScaleImage(CxImage& image, unsigned w, unsigned h, QImage& out);
    static int ScaleImage(CxImage& image, unsigned w, unsigned h, CxImage& out);
    static int ScaleImage_BmpList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<QImage>& out);
    static int ScaleImage_ImgList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<CxImage>& out);

    // Replaces the image by a white square of side max(width, height) with the picture unscaled
    // at the top-left, inside the three-dimensional frame (0, 0)-(side - 1, side - 1). The second
    // argument is not used. 1, or 0 for an image without a picture.
    static int DrawFrame(CxImage& image, int unused);

    // Encoding and decoding (codec = the codec's format number). Encoders free the old block first
    // and return 0 for an image without a picture; decoders return 1 only when the block decoded
    // into a picture (an empty block never reaches the codec).
    static int MICRO_Encode(CxImage& image, CkxBuf& buf);
    static int MICRO_Decode(CkxBuf& buf, CxImage& image);
    static int XIMAGE_Encode(CxImage& image, CkxBuf& buf, int codec);
    static int XIMAGE_Encode(CxImage& image, CkxMemFile& mem, int codec);
    static int XIMAGE_Decode(CkxBuf& buf, CxImage& image, int codec);
    static int XIMAGE_Decode(CkxMemFile& mem, CxImage& image, int codec);

    // Exchange with drawing code.
    static QImage BuildBitmap(CxImage& image);            // a null QImage for no picture
    static int ToBitmap(CxImage& image, QImage& out);     // 1 or 0
    static int ToImage(const QImage& bitmap, CxImage& out); // 1 or 0

private:
    const CkxImageFormat* Row_kxID(int own) const;
    const CkxImageFormat* Row_xImageID(int codec) const;
    const CkxImageFormat* Row_Suffix(const std::string& suffix) const; // compared lower-cased

    std::vector<CkxImageFormat> m_formats;
};
