#include "image/CxFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {
// size * count without wrapping; false when the product does not fit.
bool Bytes(size_t size, size_t count, size_t& out) {
    if (size != 0 && count > std::numeric_limits<size_t>::max() / size) return false;
    out = size * count;
    return true;
}
} // namespace

CxMemFile::CxMemFile(uint8_t* buffer, size_t size) {
    if (buffer) {
        m_pBuffer = buffer;
        m_size = m_capacity = size;
        m_owned = false;
    }
}

CxMemFile::~CxMemFile() { Close(); }

bool CxMemFile::Open() {
    if (m_pBuffer) return false;
    m_owned = true;
    m_size = m_pos = 0;
    return Reserve(4096);
}

bool CxMemFile::Close() {
    if (m_owned) delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_size = m_capacity = m_pos = 0;
    m_owned = true;
    return true;
}

bool CxMemFile::Reserve(size_t n) {
    if (n <= m_capacity) return true;
    if (!m_owned) return false;
    size_t cap = std::max<size_t>(n, m_capacity < (SIZE_MAX / 2) ? m_capacity * 2 : n);
    auto* p = new (std::nothrow) uint8_t[cap];
    if (!p) return false;
    if (m_size) std::memcpy(p, m_pBuffer, m_size);
    delete[] m_pBuffer;
    m_pBuffer = p;
    m_capacity = cap;
    return true;
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count) {
    size_t want;
    if (!buffer || size == 0 || !Bytes(size, count, want) || m_pos >= m_size) return 0;
    size_t items = std::min(want, m_size - m_pos) / size;
    std::memcpy(buffer, m_pBuffer + m_pos, items * size);
    m_pos += items * size;
    return items;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count) {
    size_t n;
    if (!buffer || size == 0 || !Bytes(size, count, n) || n > SIZE_MAX - m_pos) return 0;
    if (!m_pBuffer && m_owned && !Reserve(4096)) return 0;
    if (!Reserve(m_pos + n)) return 0;
    std::memcpy(m_pBuffer + m_pos, buffer, n);
    m_pos += n;
    m_size = std::max(m_size, m_pos);
    return count;
}

bool CxMemFile::Seek(int64_t offset, int origin) {
    int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<int64_t>(m_pos)
                 : origin == SEEK_END ? static_cast<int64_t>(m_size) : -1;
    if (base < 0) return false;
    int64_t to = base + offset;
    if (to < 0 || to > static_cast<int64_t>(m_size)) return false;
    m_pos = static_cast<size_t>(to);
    return true;
}

uint8_t* CxMemFile::GetBuffer(bool detach) {
    if (!detach) return m_pBuffer;
    if (!m_owned) return nullptr;
    uint8_t* p = m_pBuffer;
    m_pBuffer = nullptr;
    m_size = m_capacity = m_pos = 0;
    return p;
}

bool CxIOFile::Open(const std::string& path, const char* mode) {
    if (m_fp || !mode) return false;
    m_fp = std::fopen(path.c_str(), mode);
    m_owned = m_fp != nullptr;
    return m_fp != nullptr;
}

bool CxIOFile::Close() {
    bool ok = true;
    if (m_fp && m_owned) ok = std::fclose(m_fp) == 0;
    m_fp = nullptr;
    m_owned = false;
    return ok;
}

size_t CxIOFile::Read(void* buffer, size_t size, size_t count) {
    return m_fp && buffer ? std::fread(buffer, size, count, m_fp) : 0;
}

size_t CxIOFile::Write(const void* buffer, size_t size, size_t count) {
    return m_fp && buffer ? std::fwrite(buffer, size, count, m_fp) : 0;
}

bool CxIOFile::Seek(int64_t offset, int origin) {
    return m_fp && ::fseeko(m_fp, static_cast<off_t>(offset), origin) == 0;
}

int64_t CxIOFile::Tell() { return m_fp ? static_cast<int64_t>(::ftello(m_fp)) : -1; }

int64_t CxIOFile::Size() {
    if (!m_fp) return -1;
    off_t here = ::ftello(m_fp);
    if (here < 0 || ::fseeko(m_fp, 0, SEEK_END) != 0) return -1;
    off_t end = ::ftello(m_fp);
    ::fseeko(m_fp, here, SEEK_SET);
    return static_cast<int64_t>(end);
}
