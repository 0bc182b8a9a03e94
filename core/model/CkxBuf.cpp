#include "model/CkxBuf.h"

#include <cstring>
#include <new>

int CkxBuf::operator=(const CkxBuf& o) {
    if (this == &o) return IsValid();
    return Fill(o.m_pBuf, o.m_nLen);
}

CkxBuf& CkxBuf::operator=(CkxBuf&& o) noexcept {
    if (this != &o) {
        Destroy();
        m_pBuf = o.m_pBuf;
        m_nLen = o.m_nLen;
        o.m_pBuf = nullptr;
        o.m_nLen = 0;
    }
    return *this;
}

int CkxBuf::Create(int n) {
    Destroy();
    if (n < 0) return 0;
    if (n == 0) return 1;
    m_pBuf = new (std::nothrow) unsigned char[n]();
    if (!m_pBuf) return 0;
    m_nLen = n;
    return 1;
}

void CkxBuf::Destroy() {
    delete[] m_pBuf;
    m_pBuf = nullptr;
    m_nLen = 0;
}

int CkxBuf::Fill(const void* bytes, int n) {
    if (bytes == nullptr || n <= 0) return 0;
    // The source may lie inside our own block: copy it out before the block is replaced.
    if (m_pBuf && bytes >= m_pBuf && bytes < m_pBuf + m_nLen) {
        CkxBuf tmp;
        if (!tmp.Fill(std::string(static_cast<const char*>(bytes), n).data(), n)) return 0;
        *this = std::move(tmp);
        return 1;
    }
    if (!Create(n)) return 0;
    std::memcpy(m_pBuf, bytes, n);
    return 1;
}
