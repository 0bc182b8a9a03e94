#include "model/CkxFSTree.h"

namespace {
int Ids(const std::vector<CkxFSNode*>& nodes, std::vector<int>& out) {
    for (const CkxFSNode* n : nodes) out.push_back(n->GetID());
    return static_cast<int>(nodes.size());
}
} // namespace

CkxFSTree::CkxFSTree(int buildLink) : Base(buildLink) {
    m_RootNode.m_nID = -1;
    m_RootNode.m_nLev = -1;
    m_RootNode.m_nParentID = -1;
    m_RootNode.m_strName = "目录管理";
}

int CkxFSTree::Add(const CkxFSNode& node) {
    // A folder that names itself as its parent would be its own ancestor.
    if (node.m_nID != -1 && node.m_nParentID == node.m_nID) return 0;
    return AddNode(node) ? 1 : 0;
}

int CkxFSTree::Add(const CkxFSNode& node, int image, int selectedImage) {
    if (node.m_nID != -1 && node.m_nParentID == node.m_nID) return 0;
    CkxFSNode* n = AddNode(node);
    if (!n) return 0;
    n->m_nImage = image;
    n->m_nSelectedImage = selectedImage;
    return 1;
}

int CkxFSTree::Update(const CkxFSNode& node) {
    CkxFSNode* n = Find(node.m_nID);
    if (!n) return -1;
    if (node.m_nParentID != n->m_nParentID && !CanSetParent(n, node.m_nParentID)) return 0;
    n->m_nLev = node.m_nLev;
    n->m_nParentID = node.m_nParentID;
    n->m_strName = node.m_strName;
    n->m_strNote = node.m_strNote;
    n->m_nType = node.m_nType;
    n->m_nState = node.m_nState;
    n->m_nCreatorID = node.m_nCreatorID;
    n->m_Power = node.m_Power;
    return 1;
}

int CkxFSTree::SetStateDelete(int id) {
    NodeList sub;
    Base::FindTree(Find(id), sub);
    for (CkxFSNode* n : sub) n->SetStateDelete();
    return static_cast<int>(sub.size());
}

int CkxFSTree::SetStateDelete(const std::vector<CkxFSNode>& nodes) {
    int count = 0;
    for (const CkxFSNode& listed : nodes) {
        if (CkxFSNode* n = Find(listed.m_nID)) {
            n->SetStateDelete();
            ++count;
        }
    }
    return count;
}

int CkxFSTree::FindChild(int id, std::vector<int>& out) const {
    NodeList nodes;
    FindChild(id, nodes);
    return Ids(nodes, out);
}

int CkxFSTree::FindTree(int id, std::vector<int>& out) const {
    NodeList nodes;
    FindTree(id, nodes);
    return Ids(nodes, out);
}

int CkxFSTree::FindUnderDir(int id, NodeList& out) const {
    if (id == -1) return FindAll(out);
    return Base::FindUnderDir(Find(id), out);
}

int CkxFSTree::FindUnderDir(int id, std::vector<int>& out) const {
    NodeList nodes;
    FindUnderDir(id, nodes);
    return Ids(nodes, out);
}

int CkxFSTree::ByState(int state, NodeList& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        CkxFSNode* n = GetNext(p);
        if (n->m_nState == state) out.push_back(n);
    }
    return static_cast<int>(out.size());
}
