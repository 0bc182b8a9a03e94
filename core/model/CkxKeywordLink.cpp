#include "model/CkxKeywordLink.h"

#include "model/KxDeleteIf.h"

CkxKeywordLink* CkxKeywordLinkList::Find(const CkxKeywordLink& link) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxKeywordLink* r = GetNext(p);
        if (r->SamePair(link)) return r;
    }
    return nullptr;
}

int CkxKeywordLinkList::Set(const CkxKeywordLink& link) {
    if (Find(link)) return 0;
    return Base::AddTail(link);
}

int CkxKeywordLinkList::Delete(const CkxKeywordLink& link) {
    const CkxKeywordLink pair = link; // the argument may be one of the records destroyed
    return kx::DeleteIf(*this, [&pair](const CkxKeywordLink& r) { return r.SamePair(pair); });
}

int CkxKeywordLinkList::DeleteObj(int fileId) { return Base::Delete(fileId); }

void CkxKeywordLinkList::Set(int fileId, const CkxKeywordLinkList& links) {
    // Given itself, the list already holds the links it is asked to take; appending to the list
    // being walked would never end.
    if (&links == this) return;
    DeleteObj(fileId);
    links.ForEach([this](const CkxKeywordLink& r) { Base::AddTail(r); });
}

void CkxKeywordLinkList::SetFile(unsigned long fileId) {
    const int id = static_cast<int>(fileId);
    for (POSITION p = GetHeadPosition(); p;) GetNext(p)->m_nFileID = id;
}

int CkxKeywordLinkList::GetFileKeyword(int fileId, std::vector<int>& out) const {
    out.clear();
    ForEach([&](const CkxKeywordLink& r) {
        if (r.m_nFileID == fileId) out.push_back(r.m_nKeywordID);
    });
    return static_cast<int>(out.size());
}
