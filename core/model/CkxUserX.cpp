#include "model/CkxUserX.h"

#include <cstring>

CkxUserX::_COM CkxUserX::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    c.nType = m_nType;
    c.nEnable = m_nEnable;
    return c;
}

void CkxUserX::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_nType = c.nType;
    m_nEnable = c.nEnable;
}

int CkxUserXList::OfType(uint8_t type, std::vector<CkxUserX*>& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        CkxUserX* x = GetNext(p);
        if (x->m_nType == type) out.push_back(x);
    }
    return static_cast<int>(out.size());
}

int CkxUserXList::BuildBuf(CkxBuf& buf) const {
    if (GetCount() == 0) return 0;
    int len = GetCount() * static_cast<int>(sizeof(CkxUserX::_COM));
    if (!buf.Create(len)) return 0;
    unsigned char* dst = buf.GetBuf();
    ForEach([&](const CkxUserX& x) {
        CkxUserX::_COM c = x.GetComData();
        std::memcpy(dst, &c, sizeof c);
        dst += sizeof c;
    });
    return len;
}

int CkxUserXList::PasyBuf(const unsigned char* data, int length) {
    if (!data || length <= 0) return 0;
    size_t n = kx::RecordCount<CkxUserX::_COM>(static_cast<size_t>(length));
    int added = 0;
    for (size_t i = 0; i < n; ++i) {
        CkxUserX::_COM c;
        if (kx::ReadRecordAt(data, static_cast<size_t>(length), i, c)) added += AddTail(CkxUserX(c));
    }
    return added;
}
