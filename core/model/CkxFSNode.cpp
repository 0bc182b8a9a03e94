#include "model/CkxFSNode.h"

void CkxFSNode::Clear() {
    m_nID = -1;
    m_strName.clear();
    m_nLev = 0;
    m_nParentID = -1;
    m_nType = TYPE_USER;
    m_nState = STATE_ACT;
    m_nCreatorID = -1;
    ClearTreeLinks();
    ClearDisplay();
}

CkxFSNode::_COM CkxFSNode::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    c.nLev = m_nLev;
    c.nParentID = m_nParentID;
    kx::PutText(c.szNote, m_strNote);
    c.nType = m_nType;
    c.nState = m_nState;
    c.nCreatorID = m_nCreatorID;
    return c;
}

void CkxFSNode::SetComData(const _COM& c) {
    Clear();
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_nLev = c.nLev;
    m_nParentID = c.nParentID;
    m_strNote = kx::GetText(c.szNote);
    m_nType = c.nType;
    m_nState = c.nState;
    m_nCreatorID = c.nCreatorID;
}

void CkxFSNode::SetInfo(const CkxFSNode& o) {
    m_nID = o.m_nID;
    m_strName = o.m_strName;
    m_nLev = o.m_nLev;
    m_nParentID = o.m_nParentID;
    m_strNote = o.m_strNote;
    m_nType = o.m_nType;
    m_nState = o.m_nState;
    m_nCreatorID = o.m_nCreatorID;
    m_Power = o.m_Power;
}

CkxPowerEx CkxFSNode::GetPower() const {
    CkxPowerEx p(m_Power);
    p.m_nItemID = m_nID;
    p.m_nItemType = CkxUserLicence::ITEM_FOLDER;
    p.m_nParentID = m_nParentID;
    return p;
}
