#include "model/CkxMemFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor on scope exit.
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

bool WriteAll(int fd, const unsigned char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

} // namespace

CkxMemFile& CkxMemFile::operator=(const CkxMemFile& o) {
    if (this == &o) return *this;
    Destroy();
    if (o.IsValid()) CopyMem(o.m_pMem, o.m_nLen);
    return *this;
}

unsigned char* CkxMemFile::CreateMem(int n) {
    Destroy();
    if (n <= 0) return nullptr;
    m_pMem = new (std::nothrow) unsigned char[n];
    if (!m_pMem) return nullptr;
    m_nLen = n;
    m_nMode = Owned;
    return m_pMem;
}

unsigned char* CkxMemFile::AttachMem(unsigned char* bytes, int n) {
    Destroy();
    if (!bytes || n <= 0) return nullptr;
    m_pMem = bytes;
    m_nLen = n;
    m_nMode = Owned;
    return m_pMem;
}

unsigned char* CkxMemFile::CopyMem(const void* bytes, int n) {
    if (!bytes || n <= 0) {
        Destroy();
        return nullptr;
    }
    // The source may be this object's own block (UpdateWhole(GetMemWholeBuf(), n)): copy it out
    // before the old block is freed.
    unsigned char* fresh = new (std::nothrow) unsigned char[n];
    if (!fresh) {
        Destroy();
        return nullptr;
    }
    std::memcpy(fresh, bytes, n);
    Destroy();
    m_pMem = fresh;
    m_nLen = n;
    m_nMode = Owned;
    return m_pMem;
}

unsigned char* CkxMemFile::MapMem(unsigned char* bytes, int n) {
    Destroy();
    if (!bytes || n <= 0) return nullptr;
    m_pMem = bytes;
    m_nLen = n;
    m_nMode = Mapped;
    return m_pMem;
}

void CkxMemFile::Destroy() {
    if (m_pMem && m_nMode == Owned) delete[] m_pMem;
    m_pMem = nullptr;
    m_nLen = 0;
    m_nMode = Empty;
}

int CkxMemFile::ReadFile(const std::string& path) { return ReadFile(path, 0); }

int CkxMemFile::ReadFile(const std::string& path, int offset) {
    Destroy();
    if (offset < 0) return 0;
    Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (f.fd < 0) return 0;
    struct stat st {};
    if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    if (st.st_size > std::numeric_limits<int>::max() || st.st_size <= offset) return 0;
    int n = static_cast<int>(st.st_size - offset);
    if (!CreateMem(n)) return 0;
    int done = 0;
    while (done < n) {
        ssize_t r = ::pread(f.fd, m_pMem + done, static_cast<size_t>(n - done), offset + done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            Destroy();
            return 0;
        }
        done += static_cast<int>(r);
    }
    return n;
}

int CkxMemFile::WriteFile(const std::string& path, int offset) const {
    if (!IsValid() || offset < 0) return 0;
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return 0;
    bool ok = true;
    {
        Fd f(fd);
        ::fchmod(fd, 0644);
        if (offset > 0 && ::ftruncate(fd, offset) != 0) ok = false;
        if (ok && ::lseek(fd, offset, SEEK_SET) < 0) ok = false;
        ok = ok && WriteAll(fd, m_pMem, static_cast<size_t>(m_nLen));
        ok = ok && ::fsync(fd) == 0;
    }
    if (ok && std::rename(tmp.c_str(), path.c_str()) == 0) return 1;
    ::unlink(tmp.c_str());
    return 0;
}
