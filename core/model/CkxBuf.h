// CkxBuf: an owned byte block (pointer and length), the carrier of every variable-length wire
// body. Empty means no block and length 0.
#pragma once

#include "model/KxExport.h"

#include <string>
#include <string_view>

class KX_EXPORT CkxBuf {
public:
    CkxBuf() = default;
    CkxBuf(const CkxBuf& o) { Fill(o.m_pBuf, o.m_nLen); }
    CkxBuf(CkxBuf&& o) noexcept : m_pBuf(o.m_pBuf), m_nLen(o.m_nLen) {
        o.m_pBuf = nullptr;
        o.m_nLen = 0;
    }
    virtual ~CkxBuf() { Destroy(); }

    // Copies the other's bytes; assigning an empty buffer returns 0 and leaves this as it was.
    int operator=(const CkxBuf& o);
    CkxBuf& operator=(CkxBuf&& o) noexcept;

    // Frees the current block and allocates n bytes (zeroed). n == 0 gives an empty buffer and
    // returns 1; a negative n or a failed allocation returns 0 and leaves the buffer empty.
    int Create(int n);
    void Destroy();
    int IsValid() const { return m_pBuf != nullptr && m_nLen > 0; }
    // Copies n bytes; 0 when bytes is null, n <= 0 or the allocation fails (buffer untouched
    // in the first two cases).
    int Fill(const void* bytes, int n);
    int Fill(std::string_view bytes) { return Fill(bytes.data(), static_cast<int>(bytes.size())); }

    unsigned char* GetBuf() const { return m_pBuf; }
    int GetLen() const { return m_nLen; }
    std::string_view View() const {
        return m_pBuf ? std::string_view(reinterpret_cast<const char*>(m_pBuf), m_nLen)
                      : std::string_view();
    }

private:
    unsigned char* m_pBuf = nullptr;
    int m_nLen = 0;
};
