#include "CkxFileImage.h"

#include "CkxwFileSystem.h"
#include "CxImage.h"
#include "Gbk.h"

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <vector>

namespace {

// The size of a file on disk: 0 when its status cannot be read, -1 when it is 2 GiB or more
// (more than the record's int32 size holds).
int DiskSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_size > INT_MAX ? -1 : static_cast<int>(st.st_size);
}

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

int CkxFileImage::BuildMicro(CxImage& image, CkxBuf& out) {
    if (!image.IsValid()) return 0;
    const long w = image.GetWidth(), h = image.GetHeight();
    const long side = std::min<long>(std::max(w, h), kMicroSide);
    long tw = side, th = side;
    if (w >= h) th = std::max<long>(1, h * side / w);
    else tw = std::max<long>(1, w * side / h);
    CxImage micro;
    if (!image.Resample(tw, th, CxImage::RS_LINEAR, &micro)) return 0;
    std::vector<uint8_t> bytes;
    if (!micro.Encode(bytes, CXIMAGE_FORMAT_JPG) || bytes.size() > static_cast<size_t>(INT_MAX)) return 0;
    return out.Fill(bytes.data(), static_cast<int>(bytes.size()));
}

void CkxFileImage::TakeImage(CxImage& image, const CkxBuf& micro, const std::string& path) {
    UpdateMicro(micro);
    m_nEncFormat = GetFormatID(m_strExName);
    m_strSourcePath = path;
    m_nWidth = static_cast<int32_t>(image.GetWidth());
    m_nHeight = static_cast<int32_t>(image.GetHeight());
}

int CkxFileImage::LoadFileInfo(const std::string& path) {
    const int size = DiskSize(path);
    if (size < 0) return 0;
    CxImage image;
    CkxBuf micro;
    if (!image.Load(path) || !BuildMicro(image, micro)) return 0;
    m_strExName = ExOfName(path);
    // A photo stays a photo; any other image file is an image when its suffix is an image
    // suffix and a plain file otherwise.
    if (!CheckFileType(m_strExName)) m_nFileType = KXFK_FILE;
    else if (!IsFIPhoto()) m_nFileType = KXFK_IMAGE;
    TakeImage(image, micro, path);
    m_strTitle = CkxwFileSystem::GetFileTitle(path);
    m_nSize = size;
    return 1;
}

int CkxFileImage::LoadFileData(const std::string& path) {
    if (!LoadFileInfo(path)) return 0;
    return m_MemWhole.ReadFile(path) > 0 ? 1 : 0;
}

namespace {
// Reads a stored copy's header and decodes its content; false when either fails.
bool DecodeEncrypt(const std::string& path, CkxFile::_ENCRYPT_HEAD& head, CxImage& image) {
    CkxBuf content;
    if (!CkxFile::ReadEncryptHead(path, head) || !CkxFile::LoadEncryptFile(path, content)) return false;
    if (!content.IsValid()) return false;
    const uint32_t type = static_cast<uint32_t>(CXI_CheckImgType(kx::GetText(head.szExName)));
    return image.Decode(content.GetBuf(), static_cast<size_t>(content.GetLen()), type) && image.IsValid();
}
} // namespace

int CkxFileImage::LoadEncryptFileInfo(const std::string& path) {
    _ENCRYPT_HEAD head;
    if (!ReadEncryptHead(path, head) || head.nFileType != KXFK_IMAGE) return 0;
    const int size = DiskSize(path);
    if (size < 0) return 0;
    CxImage image;
    CkxBuf micro;
    if (!DecodeEncrypt(path, head, image) || !BuildMicro(image, micro)) return 0;
    m_strTitle = kx::GetText(head.szTitle);
    m_strExName = kx::GetText(head.szExName);
    TakeImage(image, micro, path);
    m_nSize = size;
    return 1;
}

int CkxFileImage::LoadEncryptFileData(const std::string& path) {
    if (!LoadEncryptFileInfo(path)) return 0;
    return LoadEncryptFileMemWhole(path);
}

int CkxFileImage::LoadEncryptFile(const std::string& path, CxImage& image) {
    _ENCRYPT_HEAD head;
    return DecodeEncrypt(path, head, image) ? 1 : 0;
}
