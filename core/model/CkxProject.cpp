#include "model/CkxProject.h"

CkxProject::_COM CkxProject::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.node = CkxNode::GetComData();
    c.nState = m_nState;
    c.nCreatorID = m_nCreatorID;
    c.nCoworkerID = m_nCoworkerID;
    c.dtCreate = m_dtCreate.m_dt;
    c.dtEnd = m_dtEnd.m_dt;
    kx::PutText(c.szDescribe, m_strDescribe);
    return c;
}

void CkxProject::SetComData(const _COM& c) {
    SetNodeFields(c.node);
    m_nState = c.nState;
    m_nCreatorID = c.nCreatorID;
    m_nCoworkerID = c.nCoworkerID;
    m_dtCreate = COleDateTime(c.dtCreate);
    m_dtEnd = COleDateTime(c.dtEnd);
    m_strDescribe = kx::GetText(c.szDescribe);
}

int CkxProjectList::IsAtList(const Projects& list, const CkxProject* project) {
    return project ? IsAtList(list, project->m_nID) : 0;
}

int CkxProjectList::IsAtList(const Projects& list, int id) {
    for (const CkxProject* p : list)
        if (p && p->m_nID == id) return 1;
    return 0;
}

int CkxProjectList::GetMinLevNo(const Projects& list) {
    int lev = -1;
    bool first = true;
    for (const CkxProject* p : list) {
        if (!p) continue;
        if (first || p->m_nLev < lev) lev = p->m_nLev;
        first = false;
    }
    return lev;
}

CkxProject* CkxProjectList::FindFirstNode(const Projects& list) {
    const int lev = GetMinLevNo(list);
    for (CkxProject* p : list) {
        if (!p || p->m_nLev != lev) continue;
        bool parentListed = (p->m_nParentID != -1 && IsAtList(list, p->m_nParentID)) ||
                            (p->m_pParent && IsAtList(list, p->m_pParent->m_nID));
        if (!parentListed) return p;
    }
    return nullptr;
}
