#include "model/CkxConst.h"

#include "base/Gbk.h"

#include <cstring>
#include <new>

void CkxConst::SetAlias(const std::string& alias) {
    m_strAlias = kx::FitText(alias, sizeof(_COM::szAlias));
}

CkxConst::_COM CkxConst::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nID = m_nID;
    com.nID2 = m_nID2;
    com.value = m_Value.GetComData();
    kx::PutText(com.szAlias, m_strAlias);
    return com;
}

void CkxConst::SetComData(const _COM& com) {
    m_nID = com.nID;
    m_nID2 = com.nID2;
    m_Value.SetComData(com.value);
    m_strAlias = kx::GetText(com.szAlias);
}

int CkxConstList::BuildBuf(CkxBuf& buf) const {
    CkxAutoLock g(&lock_);
    const int count = list_.GetCount();
    if (count == 0) return 0;
    CkxBuf out;
    if (!out.Create(count * static_cast<int>(sizeof(CkxConst::_COM)))) return 0;
    unsigned char* at = out.GetBuf();
    list_.ForEach([&](const CkxConst& c) {
        const CkxConst::_COM com = c.GetComData();
        std::memcpy(at, &com, sizeof com);
        at += sizeof com;
    });
    buf = std::move(out);
    return 1;
}

int CkxConstList::PasyBuf(const void* bytes, int len) {
    CkxAutoLock g(&lock_);
    list_.DeleteAll();
    if (!bytes || len <= 0) return 0;
    const size_t n = kx::RecordCount<CkxConst::_COM>(static_cast<size_t>(len));
    int read = 0;
    for (size_t i = 0; i < n; ++i) {
        CkxConst::_COM com;
        if (!kx::ReadRecordAt(bytes, static_cast<size_t>(len), i, com)) break;
        CkxConst* c = new (std::nothrow) CkxConst(com);
        if (!c) break;
        list_.AddTail(c);
        ++read;
    }
    return read;
}
