// Stored copies of a file: the 288-byte header, then the content unchanged.
#include "model/CkxFile.h"

#include "base/Gbk.h"
#include "base/KxSafeWrite.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open descriptor closed on every path out.
struct Fd {
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int fd;
};

bool ReadAt(int fd, void* out, size_t n, off_t offset) {
    auto* p = static_cast<unsigned char*>(out);
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, p + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += static_cast<size_t>(r);
    }
    return true;
}

// Opens a regular file for reading and gives its size; -1 when it cannot.
int OpenRegular(const std::string& path, off_t& size) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

} // namespace

CkxFile::_ENCRYPT_HEAD CkxFile::GetEncryptHead() const {
    _ENCRYPT_HEAD h = kx::ZeroRecord<_ENCRYPT_HEAD>();
    h.nMagic = kEncryptMagic;
    h.nFileType = m_nFileType;
    h.nEncFormat = m_nEncFormat;
    h.nProgStct = m_nProgStct;
    h.nVersion = m_nVersion;
    kx::PutText(h.szTitle, m_strTitle);
    kx::PutText(h.szExName, m_strExName);
    return h;
}

int CkxFile::SaveEncryptFile(const std::string& path) const {
    if (!m_MemWhole.IsValid()) return 0;
    return SaveEncryptFile(path, *this, m_MemWhole.GetMemPt(), m_MemWhole.GetMemLen());
}

int CkxFile::SaveEncryptFile(const std::string& path, const CkxFile& file, const void* bytes, int len) {
    // The whole copy must stay below 2 GiB, the largest file the readers accept.
    if (!bytes || len <= 0 || len > INT_MAX - kEncryptHeadSize) return 0;
    _ENCRYPT_HEAD head = file.GetEncryptHead();
    // Header and content go to disk as they are, without first copying them into one block.
    return kx::WriteFileSafely(path, {std::string_view(reinterpret_cast<const char*>(&head), sizeof head),
                                      std::string_view(static_cast<const char*>(bytes),
                                                       static_cast<size_t>(len))})
               ? 1
               : 0;
}

bool CkxFile::ReadEncryptHead(const std::string& path, _ENCRYPT_HEAD& head) {
    off_t size = 0;
    Fd f(OpenRegular(path, size));
    if (f.fd < 0 || size < kEncryptHeadSize) return false;
    return ReadAt(f.fd, &head, sizeof head, 0);
}

int CkxFile::LoadEncryptFile(const std::string& path, CkxBuf& buf) {
    off_t size = 0;
    Fd f(OpenRegular(path, size));
    if (f.fd < 0) return 0;
    // Shorter than its header: not a stored copy. 2 GiB or more: not a length an int holds.
    if (size < kEncryptHeadSize || size > INT_MAX) return 0;
    const int n = static_cast<int>(size - kEncryptHeadSize);
    if (!buf.Create(n)) return 0;
    if (n > 0 && !ReadAt(f.fd, buf.GetBuf(), static_cast<size_t>(n), kEncryptHeadSize)) {
        buf.Destroy();
        return 0;
    }
    return 1;
}
