#include "model/CkxKeyword.h"

#include "base/Gbk.h"

CkxKeyword::_COM CkxKeyword::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nID = m_nID;
    com.nGroupID = m_nGroupID;
    kx::PutText(com.szName, m_strName);
    kx::PutText(com.szNote, m_strNote);
    return com;
}

void CkxKeyword::SetComData(const _COM& com) {
    m_nID = com.nID;
    m_nGroupID = com.nGroupID;
    m_strName = kx::GetText(com.szName);
    m_strNote = kx::GetText(com.szNote);
}

int CkxKeywordList::GetGroupKeyword(int groupId, std::vector<CkxKeyword*>& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        CkxKeyword* r = GetNext(p);
        if (r->m_nGroupID == groupId) out.push_back(r);
    }
    return static_cast<int>(out.size());
}

int CkxKeywordList::GetAllPt(std::vector<CkxKeyword*>& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) out.push_back(GetNext(p));
    return static_cast<int>(out.size());
}
