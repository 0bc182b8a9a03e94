#include "model/CkxUserLicence.h"

#include <cstring>

CkxUserLicence::_COM CkxUserLicence::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nItemType = m_nItemType;
    c.nItemID = m_nItemID;
    c.nPower = m_nPower;
    c.nAlieneeID = m_nAlieneeID;
    c.nAlieneeType = m_nAlieneeType;
    c.nState = m_nState;
    return c;
}

void CkxUserLicence::SetComData(const _COM& c) {
    m_nItemType = c.nItemType;
    m_nItemID = c.nItemID;
    m_nPower = c.nPower;
    m_nAlieneeID = c.nAlieneeID;
    m_nAlieneeType = c.nAlieneeType;
    m_nState = c.nState;
}

CkxUserLicenceList& CkxUserLicenceList::operator=(const CkxUserLicenceList& o) {
    if (this != &o) {
        DeleteAll();
        CopyFrom(o);
    }
    return *this;
}

void CkxUserLicenceList::CopyFrom(const CkxUserLicenceList& o) {
    for (POSITION p = o.GetHeadPosition(); p;) AddTail(*o.GetNext(p));
}

CkxUserLicence* CkxUserLicenceList::AddTail(const CkxUserLicence& l) {
    auto* copy = new (std::nothrow) CkxUserLicence(l);
    if (copy) m_list.AddTail(copy);
    return copy;
}

CkxUserLicence* CkxUserLicenceList::AddTail(CkxUserLicence* l) {
    if (l) m_list.AddTail(l);
    return l;
}

void CkxUserLicenceList::DeleteAll() {
    while (CkxUserLicence* l = m_list.RemoveHead()) delete l;
}

uint32_t CkxUserLicenceList::FirstPower(uint8_t kind, int id) const {
    for (POSITION p = GetHeadPosition(); p;) {
        const CkxUserLicence* l = GetNext(p);
        if (l->m_nAlieneeType == kind && l->m_nAlieneeID == id) return l->m_nPower;
    }
    return KX_NO_POWER;
}

int CkxUserLicenceList::AllOfKind(uint8_t kind, std::vector<int>& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        const CkxUserLicence* l = GetNext(p);
        if (l->m_nAlieneeType == kind) out.push_back(l->m_nAlieneeID);
    }
    return static_cast<int>(out.size());
}

int CkxUserLicenceList::Remove(uint8_t kind, const int* id) {
    int removed = 0;
    for (POSITION p = GetHeadPosition(); p;) {
        POSITION at = p;
        CkxUserLicence* l = GetNext(p);
        if (l->m_nAlieneeType != kind || (id && l->m_nAlieneeID != *id)) continue;
        m_list.RemoveAt(at);
        delete l;
        ++removed;
        if (id) break;
    }
    return removed;
}

int CkxUserLicenceList::DeleteLicence(const CkxUserLicence* grant) {
    for (POSITION p = GetHeadPosition(); p;) {
        POSITION at = p;
        CkxUserLicence* l = GetNext(p);
        if (l != grant) continue;
        m_list.RemoveAt(at);
        delete l;
        return 1;
    }
    return 0;
}

bool CkxUserLicenceList::Contains(const CkxUserLicence* grant) const {
    for (POSITION p = GetHeadPosition(); p;)
        if (GetNext(p) == grant) return true;
    return false;
}

int CkxUserLicenceList::BuildTo(unsigned char* dst) const {
    if (!dst) return 0;
    for (POSITION p = GetHeadPosition(); p;) {
        CkxUserLicence::_COM c = GetNext(p)->GetComData();
        std::memcpy(dst, &c, sizeof c);
        dst += sizeof c;
    }
    return GetLength();
}

int CkxUserLicenceList::BuildBuf(CkxBuf& buf) const {
    if (GetCount() == 0) return 0;
    if (!buf.Create(GetLength())) return 0;
    return BuildTo(buf.GetBuf());
}

int CkxUserLicenceList::PasyBuf(const unsigned char* data, int length) {
    if (!data || length < static_cast<int>(sizeof(CkxUserLicence::_COM))) return 0;
    DeleteAll();
    size_t n = kx::RecordCount<CkxUserLicence::_COM>(static_cast<size_t>(length));
    for (size_t i = 0; i < n; ++i) {
        CkxUserLicence::_COM c;
        if (kx::ReadRecordAt(data, static_cast<size_t>(length), i, c)) AddTail(CkxUserLicence(c));
    }
    return GetCount();
}
