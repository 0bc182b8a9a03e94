#include "model/CkxValue.h"

#include "base/Gbk.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>

// ---- CkxValue ----

CkxValue& CkxValue::operator=(const CkxValue& o) {
    if (this == &o) return *this;
    m_nType = o.m_nType;
    std::memcpy(m_slot, o.m_slot, sizeof m_slot);
    m_strText = o.m_strText;
    delete[] m_pBinary;
    m_pBinary = nullptr;
    m_nBinaryLen = 0;
    if (o.m_pBinary && o.m_nBinaryLen > 0) {
        m_pBinary = new (std::nothrow) unsigned char[o.m_nBinaryLen];
        if (m_pBinary) {
            std::memcpy(m_pBinary, o.m_pBinary, o.m_nBinaryLen);
            m_nBinaryLen = o.m_nBinaryLen;
        }
    }
    return *this;
}

CkxValue::~CkxValue() { delete[] m_pBinary; }

void CkxValue::SetValue(int v) {
    m_nType = KXV_INT;
    std::memset(m_slot, 0, sizeof m_slot);
    std::memcpy(m_slot, &v, 4);
}
void CkxValue::SetValue(float v) {
    m_nType = KXV_FLOAT;
    std::memset(m_slot, 0, sizeof m_slot);
    std::memcpy(m_slot, &v, 4);
}
void CkxValue::SetValue(const COleDateTime& v) {
    m_nType = KXV_DATE;
    double d = v.m_dt;
    std::memcpy(m_slot, &d, 8);
}
void CkxValue::SetValue(const std::string& v) {
    m_nType = KXV_STR;
    m_strText = v;
}

int CkxValue::GetInt() const {
    int v;
    std::memcpy(&v, m_slot, 4);
    return v;
}
float CkxValue::GetFloat() const {
    float v;
    std::memcpy(&v, m_slot, 4);
    return v;
}
COleDateTime CkxValue::GetDate() const {
    double d;
    std::memcpy(&d, m_slot, 8);
    return COleDateTime(d);
}

int CkxValue::GetDataLen() const {
    switch (m_nType) {
    case KXV_INT:
    case KXV_FLOAT: return 4;
    case KXV_DATE: return 8;
    case KXV_STR: return static_cast<int>(m_strText.size());
    default: return 0;
    }
}

const void* CkxValue::GetDataBuf() const {
    switch (m_nType) {
    case KXV_INT:
    case KXV_FLOAT:
    case KXV_DATE: return m_slot;
    case KXV_STR: return m_strText.c_str();
    default: return nullptr;
    }
}

int CkxValue::CopyBinary(void* bytes, int& n) const {
    if (bytes == nullptr || n <= 0) return 0;
    int count = n < m_nBinaryLen ? n : m_nBinaryLen;
    if (count > 0) std::memcpy(bytes, m_pBinary, count);
    n = count;
    return count;
}

// ---- CkxValueSp ----

void CkxValueSp::Void() {
    m_nKind = KXV_NONE;
    m_nInt = 0;
    m_fFloat = 0;
    m_dtDate = 0;
    m_strText.clear();
}

CkxValueSp& CkxValueSp::SetIntValue(int v) {
    Void();
    m_nKind = KXV_INT;
    m_nInt = v;
    return *this;
}

CkxValueSp& CkxValueSp::operator=(float v) {
    Void();
    m_nKind = KXV_FLOAT;
    m_fFloat = v;
    return *this;
}

CkxValueSp& CkxValueSp::operator=(double v) {
    Void();
    m_nKind = KXV_DATE;
    m_dtDate = v;
    return *this;
}

CkxValueSp& CkxValueSp::operator=(const std::string& v) {
    std::string fitted = kx::FitText(v, 256);
    Void();
    m_nKind = KXV_STR;
    m_strText = std::move(fitted);
    return *this;
}

bool CkxValueSp::IsValid() const {
    switch (m_nKind) {
    case KXV_INT:
    case KXV_FLOAT: return true;
    case KXV_DATE: return m_dtDate != 0;
    case KXV_STR: return !m_strText.empty();
    default: return false;
    }
}

std::string CkxValueSp::GetText() const {
    char buf[64];
    switch (m_nKind) {
    case KXV_INT: std::snprintf(buf, sizeof buf, "%d", m_nInt); return buf;
    case KXV_FLOAT: {
        // "%0.4f" with a point whatever the process locale (a GUI program runs in the user's
        // locale, where printf may write a comma).
        auto [end, error] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(m_fFloat),
                                          std::chars_format::fixed, 4);
        return error == std::errc() ? std::string(buf, end) : std::string();
    }
    case KXV_DATE: return kx::DateText(m_dtDate);
    case KXV_STR: return m_strText;
    default: return {};
    }
}

CkxValueSp::_COM CkxValueSp::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nKind = m_nKind;
    com.nInt = m_nInt;
    com.fFloat = m_fFloat;
    com.dtDate = m_dtDate;
    kx::PutText(com.szText, m_strText);
    return com;
}

void CkxValueSp::SetComData(const _COM& com) {
    m_nKind = com.nKind;
    m_nInt = com.nInt;
    m_fFloat = com.fFloat;
    m_dtDate = com.dtDate;
    m_strText = kx::GetText(com.szText);
}
