#include "model/CkxMemFile.h"

#include "base/KxSafeWrite.h"

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
    std::string zeros;
    try {
        zeros.assign(static_cast<size_t>(offset), '\0');
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const std::string_view block(reinterpret_cast<const char*>(m_pMem), static_cast<size_t>(m_nLen));
    return kx::WriteFileSafely(path, {zeros, block}) ? 1 : 0;
}
