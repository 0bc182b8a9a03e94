#include "model/CkxNode.h"

#include "model/CkxData.h"

void CkxNode::Clear() {
    m_nID = -1;
    m_nLev = 0;
    m_nParentID = -1;
    m_nNodeType = NODE_UNKNOWN;
    m_nFifth = 0;
    ClearTreeLinks();
    ClearDisplay();
}

CkxNode::_COM_NODE CkxNode::GetComData() const {
    _COM_NODE c = kx::ZeroRecord<_COM_NODE>();
    c.nClassMark = KX_NODE_CLASS_MARK;
    c.nID = m_nID;
    c.nLev = m_nLev;
    c.nParentID = m_nParentID;
    c.nNodeType = m_nNodeType;
    c.nFifth = m_nFifth;
    kx::PutText(c.szName, m_strName);
    kx::PutText(c.szNote, m_strNote);
    return c;
}

void CkxNode::SetComData(const _COM_NODE& c) {
    Clear();
    SetNodeFields(c);
}

void CkxNode::SetNodeFields(const _COM_NODE& c) {
    m_nID = c.nID;
    m_nLev = c.nLev;
    m_nParentID = c.nParentID;
    m_nNodeType = c.nNodeType;
    m_nFifth = c.nFifth;
    m_strName = kx::GetText(c.szName);
    m_strNote = kx::GetText(c.szNote);
}

int CkxNode::GetDataMode() const {
    if (IsNode_Text()) return KXD_TEXT;
    if (IsNode_Image()) return KXD_IMAGE;
    if (IsNode_Video()) return KXD_VIDEO;
    if (IsNode_Audio()) return KXD_AUDIO;
    if (IsNode_Binary()) return KXD_BINARY;
    return KXD_UNKNOWN;
}

CkxTree::CkxTree(int buildLink) : Base(buildLink) {
    m_TitleNode.m_nID = -1;
    m_TitleNode.m_nLev = -1;
    m_TitleNode.m_nParentID = -1;
}

int CkxTree::t_Add(const CkxNode& node) {
    // A node that names itself as its parent would be its own ancestor.
    if (node.m_nID != -1 && node.m_nParentID == node.m_nID) return 0;
    return AddNode(node) ? 1 : 0;
}

int CkxTreeTool::GetMaxLev(const std::vector<CkxNode*>& list) { return KxLevelExtreme(list, true); }

int CkxTreeTool::GetMinLev(const std::vector<CkxNode*>& list) { return KxLevelExtreme(list, false); }

CkxNode* CkxTreeTool::Find(const std::vector<CkxNode*>& list, int id) {
    for (CkxNode* n : list)
        if (n && n->m_nID == id) return n;
    return nullptr;
}

CkxNode* CkxTreeTool::FindFirstLevLastNode(const std::vector<CkxNode*>& list) {
    for (CkxNode* n : list)
        if (n && n->m_nLev == 0 && !n->m_pNext) return n;
    return nullptr;
}
