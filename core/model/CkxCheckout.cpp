#include "model/CkxCheckout.h"

#include "base/Gbk.h"

#include <new>

std::string CkxCheckout::GetFileName() const { return m_strTitle + "." + m_strExt; }

std::string CkxCheckout::GetIDName() const { return std::to_string(m_nFileID) + "." + m_strExt; }

CkxCheckout::_COM CkxCheckout::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nFileID = m_nFileID;
    com.nStorageID = m_nStorageID;
    kx::PutText(com.szTitle, m_strTitle);
    kx::PutText(com.szExt, m_strExt);
    com.nUserID = m_nUserID;
    com.dtCheckout = m_dtCheckout;
    com.dtTime2 = m_dtTime2;
    com.nOpenMode = m_nOpenMode;
    com.nTag = m_nTag;
    return com;
}

void CkxCheckout::SetComData(const _COM& com) {
    m_nFileID = com.nFileID;
    m_nStorageID = com.nStorageID;
    m_strTitle = kx::GetText(com.szTitle);
    m_strExt = kx::GetText(com.szExt);
    m_nUserID = com.nUserID;
    m_dtCheckout = COleDateTime(com.dtCheckout);
    m_dtTime2 = COleDateTime(com.dtTime2);
    m_nOpenMode = com.nOpenMode;
    m_nTag = com.nTag;
}

CkxCheckoutList::~CkxCheckoutList() { DeleteAll(); }

int CkxCheckoutList::AddTail(const CkxCheckout& r) {
    // Copy outside the lock: the allocation needs no guard.
    CkxCheckout* copy = new (std::nothrow) CkxCheckout(r);
    if (!copy) return 0;
    CkxAutoLock guard(&m_lock);
    Base::AddTail(copy);
    return 1;
}

void CkxCheckoutList::AddTail(CkxCheckout* r) {
    if (!r) return;
    CkxAutoLock guard(&m_lock);
    Base::AddTail(r);
}

int CkxCheckoutList::Delete(int fileId) {
    CkxAutoLock guard(&m_lock);
    return Base::Delete(fileId);
}

void CkxCheckoutList::DeleteAll() {
    CkxAutoLock guard(&m_lock);
    Base::DeleteAll();
}

int CkxCheckoutList::Find(int fileId, CkxCheckout& out) const {
    CkxAutoLock guard(&m_lock);
    const CkxCheckout* r = Base::Find(fileId);
    if (!r) return 0;
    out = *r;
    return 1;
}

int CkxCheckoutList::GetCount() const {
    CkxAutoLock guard(&m_lock);
    return Base::GetCount();
}

int CkxCheckoutList::IsFileCheckouted(int fileId) const {
    CkxAutoLock guard(&m_lock);
    return Base::Find(fileId) ? 1 : 0;
}

int CkxCheckoutList::IsUserCheckoutFile(int fileId, int userId) const {
    CkxAutoLock guard(&m_lock);
    for (POSITION p = Base::GetHeadPosition(); p;) {
        const CkxCheckout* r = Base::GetNext(p);
        if (r->m_nFileID == fileId && r->m_nUserID == userId) return 1;
    }
    return 0;
}

int CkxCheckoutList::UpdateFileTitle(unsigned long fileId, const std::string& title) {
    const int id = static_cast<int>(fileId);
    int renamed = 0;
    CkxAutoLock guard(&m_lock);
    for (POSITION p = Base::GetHeadPosition(); p;) {
        CkxCheckout* r = Base::GetNext(p);
        if (r->m_nFileID != id) continue;
        r->m_strTitle = title;
        ++renamed;
    }
    return renamed;
}

int CkxCheckoutList::GetStorageRootID(int fileId) const {
    CkxAutoLock guard(&m_lock);
    const CkxCheckout* r = Base::Find(fileId);
    return r ? r->m_nStorageID : -1;
}
