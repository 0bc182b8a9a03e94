#include "model/CkxFileImage.h"

#include "image/CkxImageTool.h"
#include "model/CkxMemFile.h"
#include "model/CkxwFileSystem.h"
#include "image/CxImage.h"
#include "base/Gbk.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace {

// The extension of the path's last component (empty when it has no dot).
std::string ExOfName(const std::string& path) {
    std::string name = CXI_GetFileName(path);
    return name.find('.') == std::string::npos ? std::string() : CXI_GetFileEx(name);
}

} // namespace

int CXI_CheckImgType(const std::string& suffix) {
    static const struct {
        const char* ex;
        int type;
    } kTable[] = {{"bmp", 1},  {"gif", 2},  {"jpg", 3},  {"jpeg", 3}, {"png", 4},  {"ico", 5},
                  {"tiff", 6}, {"tif", 6},  {"tga", 7},  {"pcx", 8},  {"wbmp", 9}, {"wmf", 10},
                  {"emf", 10}, {"j2k", 11}, {"jp2", 11}, {"jpc", 13}, {"j2c", 13}, {"pgx", 14},
                  {"pnm", 15}, {"pgm", 15}, {"ppm", 15}, {"ras", 16}};
    std::string s = kx::AsciiLower(suffix);
    for (const auto& row : kTable)
        if (s == row.ex) return row.type;
    return 0;
}

std::string CXI_GetFileEx(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

std::string CXI_GetFileName(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

unsigned CkxFileImage::MicroSide(unsigned width, unsigned height) {
    return std::min<unsigned>(std::max(width, height), kMicroSide);
}

int CkxFileImage::BuildMicro(CxImage& image, CkxBuf& out) {
    if (!image.IsValid()) return 0;
    CxImage micro;
    if (!CkxImageTool::BuildMicroImage(image, MicroSide(image.GetWidth(), image.GetHeight()), micro, 0)) return 0;
    return CkxImageTool::MICRO_Encode(micro, out) ? 1 : 0;
}

int CkxFileImage::BuildMicro(const unsigned char* bytes, size_t n, uint32_t codec, CkxBuf& out, int& width,
                             int& height) {
    CxImageInfo info;
    if (!bytes || n == 0 || !CxImage::ReadInfo(bytes, n, info, codec)) return 0;
    if (info.width > static_cast<uint32_t>(INT_MAX) || info.height > static_cast<uint32_t>(INT_MAX)) return 0;
    CxImage micro;
    if (!CkxImageTool::BuildMicroImage(bytes, n, codec, MicroSide(info.width, info.height), micro, 0) ||
        !CkxImageTool::MICRO_Encode(micro, out))
        return 0;
    width = static_cast<int>(info.width);
    height = static_cast<int>(info.height);
    return 1;
}

void CkxFileImage::TakeImage(int width, int height, const CkxBuf& micro, const std::string& path) {
    UpdateMicro(micro);
    m_nEncFormat = GetFormatID(m_strExName);
    m_strSourcePath = path;
    m_nWidth = width;
    m_nHeight = height;
}

bool CkxFileImage::IsPictureSuffix(const std::string& suffix) {
    const int codec = CXI_CheckImgType(suffix);
    return codec != 0 && CxImage::IsReadable(static_cast<uint32_t>(codec));
}

int CkxFileImage::LoadPlainFileInfo(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    // Files of 2 GiB or more do not fit the record's int32 size.
    if (ec || !std::filesystem::is_regular_file(path, ec) || size > static_cast<uintmax_t>(INT_MAX)) return 0;
    m_strExName = ExOfName(path);
    if (!IsFIPhoto()) m_nFileType = KXFK_FILE;
    DestroyMicro();
    m_nEncFormat = 0;
    m_nWidth = 0;
    m_nHeight = 0;
    m_strSourcePath = path;
    m_strTitle = CkxwFileSystem::GetFileTitle(path);
    m_nSize = static_cast<int32_t>(size);
    return 1;
}

int CkxFileImage::LoadFileInfo(const std::string& path) {
    // Unreadable files and files of 2 GiB or more (beyond the record's int32 size) end here.
    CkxMemFile file;
    if (file.ReadFile(path) <= 0) return 0;
    CkxBuf micro;
    int width = 0, height = 0;
    if (!BuildMicro(file.GetMemPt(), static_cast<size_t>(file.GetMemLen()), CxImage::FormatOfPath(path), micro,
                    width, height))
        // A format outside the image layer's list is no picture of size 0 x 0 but a plain file,
        // as a document or a sound is; a picture that does not decode stays refused.
        return IsPictureSuffix(ExOfName(path)) ? 0 : LoadPlainFileInfo(path);
    m_strExName = ExOfName(path);
    // A photo stays a photo; any other image file is an image when its suffix is an image
    // suffix and a plain file otherwise.
    if (!CheckFileType(m_strExName)) m_nFileType = KXFK_FILE;
    else if (!IsFIPhoto()) m_nFileType = KXFK_IMAGE;
    TakeImage(width, height, micro, path);
    m_strTitle = CkxwFileSystem::GetFileTitle(path);
    m_nSize = file.GetMemLen();
    return 1;
}

int CkxFileImage::LoadFileData(const std::string& path) {
    if (!LoadFileInfo(path)) return 0;
    return m_MemWhole.ReadFile(path) > 0 ? 1 : 0;
}

namespace {
// Reads a stored copy's header and the content behind it; false when either cannot be read or
// there is no content.
bool ReadEncrypt(const std::string& path, CkxFile::_ENCRYPT_HEAD& head, CkxBuf& content) {
    return CkxFile::ReadEncryptHead(path, head) && CkxFile::LoadEncryptFile(path, content) && content.IsValid();
}
// The codec number of the stored copy's extension.
uint32_t CodecOf(const CkxFile::_ENCRYPT_HEAD& head) {
    return static_cast<uint32_t>(CXI_CheckImgType(kx::GetText(head.szExName)));
}
} // namespace

int CkxFileImage::LoadEncryptFileInfo(const std::string& path) {
    _ENCRYPT_HEAD head;
    CkxBuf content;
    if (!ReadEncryptHead(path, head) || head.nFileType != KXFK_IMAGE) return 0;
    if (!CkxFile::LoadEncryptFile(path, content) || !content.IsValid()) return 0;
    CkxBuf micro;
    int width = 0, height = 0;
    if (!BuildMicro(content.GetBuf(), static_cast<size_t>(content.GetLen()), CodecOf(head), micro, width, height))
        return 0;
    m_strTitle = kx::GetText(head.szTitle);
    m_strExName = kx::GetText(head.szExName);
    TakeImage(width, height, micro, path);
    m_nSize = content.GetLen() + kEncryptHeadSize; // below 2 GiB: the reader refuses more
    return 1;
}

int CkxFileImage::LoadEncryptFileData(const std::string& path) {
    if (!LoadEncryptFileInfo(path)) return 0;
    return LoadEncryptFileMemWhole(path);
}

int CkxFileImage::LoadEncryptFile(const std::string& path, CxImage& image) {
    _ENCRYPT_HEAD head;
    CkxBuf content;
    if (!ReadEncrypt(path, head, content)) return 0;
    return image.Decode(content.GetBuf(), static_cast<size_t>(content.GetLen()), CodecOf(head)) && image.IsValid()
               ? 1
               : 0;
}
