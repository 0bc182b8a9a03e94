// CkxFileImage: a file of the image kind. It reads an image file (or a stored copy of one),
// fills name, extension, kind, encoding format, dimensions and size, and makes the thumbnail
// that travels in the file body. The CXI_* functions map file names to codec format numbers.
#pragma once

#include "model/CkxFile.h"
#include "model/KxExport.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CxImage;

// The codec format number of a suffix (compared lower-cased): 1 bmp, 2 gif, 3 jpg/jpeg, 4 png,
// 5 ico, 6 tiff/tif, 7 tga, 8 pcx, 9 wbmp, 10 wmf/emf, 11 j2k/jp2, 13 jpc/j2c, 14 pgx,
// 15 pnm/pgm/ppm, 16 ras; 0 for anything else.
KX_EXPORT int CXI_CheckImgType(const std::string& suffix);
// The characters after the last "." (the whole path when there is none).
KX_EXPORT std::string CXI_GetFileEx(const std::string& path);
// The characters after the last path separator ("/" or "\"; the whole path when there is none).
KX_EXPORT std::string CXI_GetFileName(const std::string& path);

class KX_EXPORT CkxFileImage : public CkxFile {
public:
    // Longest side of a thumbnail; smaller images are never enlarged.
    static constexpr int kMicroSide = 130;

    CkxFileImage() { m_nFileType = KXFK_IMAGE; }
    CkxFileImage(const CkxFileImage&) = default;
    explicit CkxFileImage(const _COM& com) : CkxFileImage() { SetComData(com); }
    CkxFileImage& operator=(const CkxFileImage&) = default;
    CkxFileImage& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    ~CkxFileImage() override = default;

    CkxFile* Clone() const override { return new CkxFileImage(*this); }

    // The codec format number of the extension.
    int GetxImageFormat() const { return CXI_CheckImgType(m_strExName); }

    // Whether a suffix names a picture format the image layer reads (compared lower-cased).
    static bool IsPictureSuffix(const std::string& suffix);
    // Reads a file. A picture: thumbnail, extension, encoding format, kind (image for a suffix
    // of the image list, else plain), title, source path, width and height as shown and size on
    // disk. A file whose suffix names no picture format and whose content the image layer cannot
    // read (WebP, SVG, PDF, sound, ...) loads as LoadPlainFileInfo does. 0 with the object
    // unchanged when the file cannot be read, holds 2 GiB or more, or has a picture suffix and
    // does not decode (it may still be being written).
    int LoadFileInfo(const std::string& path) override;
    // Reads any file as a plain file entry: kind plain (a photo stays a photo), title, extension,
    // source path and size on disk; no thumbnail, no encoding format, no size in pixels. 0 with
    // the object unchanged when the file cannot be read or holds 2 GiB or more.
    int LoadPlainFileInfo(const std::string& path);
    // LoadFileInfo, then the whole file into the content block; 1 or 0.
    int LoadFileData(const std::string& path) override;
    // Reads a stored copy whose header says image (kind 1): title and extension from the
    // header, the rest as LoadFileInfo; the kind stays. 0 with the object unchanged otherwise.
    int LoadEncryptFileInfo(const std::string& path) override;
    // LoadEncryptFileInfo, then the content behind the header into the content block.
    int LoadEncryptFileData(const std::string& path) override;
    // Decodes a stored copy's content with the format of its header's extension (its kind is
    // not checked); 1, or 0 when it cannot be read or decoded.
    static int LoadEncryptFile(const std::string& path, CxImage& image);

    // The thumbnail's side for a picture: its long side, at most kMicroSide.
    static unsigned MicroSide(unsigned width, unsigned height);
    // The thumbnail of a decoded picture: the image tool's unframed micro image (a white square
    // of side MicroSide with the picture centred in it), JPEG-encoded. 1, or 0 for no picture or
    // a failed encode.
    static int BuildMicro(CxImage& image, CkxBuf& out);
    // The same from an encoded picture, decoded straight to the small size (which also proves
    // it decodes); width and height get the picture's. codec names a format without signature
    // (TGA, WBMP), else 0. 1, or 0 (nothing set) when the bytes are no picture.
    static int BuildMicro(const unsigned char* bytes, size_t n, uint32_t codec, CkxBuf& out, int& width,
                          int& height);

private:
    // Fills the fields an image load sets, given the picture's size and thumbnail.
    void TakeImage(int width, int height, const CkxBuf& micro, const std::string& path);
};
