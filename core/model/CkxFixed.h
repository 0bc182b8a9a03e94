// Small fixed values of the core library: a 256-byte text, a date range, a text pair, a cache
// block, and the empty bases Ckx, CkxDef and CkxCodeFormat.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/OleDate.h"

#include <cstring>
#include <string>

class KX_EXPORT Ckx {
public:
    virtual ~Ckx() = default;
};
class KX_EXPORT CkxDef {
public:
    virtual ~CkxDef() = default;
};
class KX_EXPORT CkxCodeFormat {
public:
    virtual ~CkxCodeFormat() = default;
};

// A text of at most 255 bytes, cut at a character boundary.
class KX_EXPORT CkxStr256 {
public:
    CkxStr256() { std::memset(m_sz, 0, sizeof m_sz); }
    CkxStr256(const std::string& s) { *this = s; } // NOLINT
    CkxStr256(const char* s) { *this = s; }        // NOLINT
    virtual ~CkxStr256() = default;
    CkxStr256& operator=(const std::string& s) {
        std::memset(m_sz, 0, sizeof m_sz);
        std::string cut = kx::CutUtf8(s, sizeof m_sz - 1);
        std::memcpy(m_sz, cut.data(), cut.size());
        return *this;
    }
    CkxStr256& operator=(const char* s) { return *this = std::string(s ? s : ""); }
    std::string Str() const { return m_sz; }
    bool IsEmpty() const { return m_sz[0] == '\0'; }
    const char* c_str() const { return m_sz; }

private:
    char m_sz[256];
};

// A date range (start, end); both zero at construction.
class KX_EXPORT CkxDt2 {
public:
    CkxDt2() = default;
    CkxDt2(const COleDateTime& s, const COleDateTime& e) : m_dtStart(s), m_dtEnd(e) {}
    virtual ~CkxDt2() = default;
    COleDateTime m_dtStart;
    COleDateTime m_dtEnd;
};

// A pair of texts.
class KX_EXPORT CkxCStr2 {
public:
    CkxCStr2() = default;
    CkxCStr2(std::string a, std::string b) : m_str1(std::move(a)), m_str2(std::move(b)) {}
    virtual ~CkxCStr2() = default;
    std::string m_str1;
    std::string m_str2;
};

// An owned block and its length; freed on destruction. Not copyable.
class KX_EXPORT CkxCache {
public:
    CkxCache() = default;
    CkxCache(const CkxCache&) = delete;
    CkxCache& operator=(const CkxCache&) = delete;
    virtual ~CkxCache() { delete[] m_pBuf; }
    unsigned char* m_pBuf = nullptr;
    int m_nLen = 0;
};
