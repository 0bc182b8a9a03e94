#include "ui/CxTree.h"

#include "ui/KxTreeText.h"

#include <unordered_set>

const CkxFSNode* CxTree::Find(int id) const {
    for (const CkxFSNode& n : m_nodes)
        if (n.GetID() == id) return &n;
    return nullptr;
}

void CxTree::AddNode(const CkxFSNode& node) {
    m_nodes.push_back(node);
    m_nodes.back().m_strName = KxRightTrim(node.m_strName);
}

void CxTree::UpdateNode(const CkxFSNode& node) {
    for (CkxFSNode& n : m_nodes)
        if (n.GetID() == node.GetID()) {
            n = node;
            return;
        }
}

void CxTree::DeleteNode(int id) {
    for (auto it = m_nodes.begin(); it != m_nodes.end(); ++it)
        if (it->GetID() == id) {
            m_nodes.erase(it);
            return;
        }
}

int CxTree::GetNode(int id, CkxFSNode& out) const {
    const CkxFSNode* n = Find(id);
    if (!n) return 0;
    out = *n;
    return 1;
}

int CxTree::GetNodeLevelNo(int id) const {
    const CkxFSNode* n = Find(id);
    return n ? n->GetLev() : -1;
}

std::string CxTree::GetNodeName(int id) const {
    const CkxFSNode* n = Find(id);
    return n ? n->GetName() : std::string();
}

int CxTree::GetNodeParentID(int id) const {
    const CkxFSNode* n = Find(id);
    return n ? n->GetParentID() : -1;
}

int CxTree::IsHasChildNode(int id) const {
    for (const CkxFSNode& n : m_nodes)
        if (n.GetParentID() == id) return 1;
    return 0;
}

int CxTree::GetChild(int id, NodeArray& out) const {
    out.clear();
    for (const CkxFSNode& n : m_nodes)
        if (n.GetParentID() == id) out.push_back(n);
    return static_cast<int>(out.size());
}

int CxTree::GetChild(int id, IdArray& out) const {
    out.clear();
    for (const CkxFSNode& n : m_nodes)
        if (n.GetParentID() == id) out.push_back(n.GetID());
    return static_cast<int>(out.size());
}

void CxTree::HuntChildNodeID(int id, IdArray* ids, NodeArray* nodes) const {
    // Each generation is listed whole before the first noted child's own generation, and that
    // child's whole line before the next noted child's. An id already met (a parent cycle, or a
    // node that names itself) is neither listed nor entered again.
    std::unordered_set<int> seen{id};
    struct Pending {
        std::vector<int> noted;
        std::size_t next = 0;
    };
    std::vector<Pending> stack;
    auto generation = [&](int parentId) {
        Pending p;
        for (const CkxFSNode& n : m_nodes) {
            if (n.GetParentID() != parentId || !seen.insert(n.GetID()).second) continue;
            const bool hasChildren = IsHasChildNode(n.GetID()) != 0;
            if (ids) ids->push_back(n.GetID());
            if (nodes && !hasChildren) nodes->push_back(n);
            if (hasChildren) p.noted.push_back(n.GetID());
        }
        stack.push_back(std::move(p));
    };
    generation(id);
    while (!stack.empty()) {
        Pending& top = stack.back();
        if (top.next >= top.noted.size()) {
            stack.pop_back();
            continue;
        }
        const int child = top.noted[top.next++];
        generation(child);
    }
}

int CxTree::HuntChildTree(int id, IdArray& out) const {
    HuntChildNodeID(id, &out, nullptr);
    return static_cast<int>(out.size());
}

int CxTree::HuntChildTree(int id, NodeArray& out) const {
    HuntChildNodeID(id, nullptr, &out);
    return static_cast<int>(out.size());
}

int CxTree::HuntNodeAndChildTree(int id, IdArray& out) const {
    out.push_back(id);
    return HuntChildTree(id, out);
}

int CxTree::HuntNodeAndChildTree(int id, NodeArray& out) const {
    const CkxFSNode* n = Find(id);
    if (!n) return 0;
    out.push_back(*n);
    return HuntChildTree(id, out);
}

int CxTree::HuntNodeAndParentNode(int id, NodeList& out) const {
    const CkxFSNode* n = Find(id);
    if (!n) return 0;
    out.push_front(*n);
    std::unordered_set<int> seen{id};
    for (std::size_t guard = m_nodes.size(); n->GetLev() >= 1; --guard) {
        const int parentId = n->GetParentID();
        // An id met again is a parent cycle: that ancestor counts as not held.
        const CkxFSNode* p = guard && !seen.count(parentId) ? Find(parentId) : nullptr;
        if (!p) return 0;
        seen.insert(parentId);
        out.push_front(*p);
        n = p;
    }
    return static_cast<int>(out.size());
}

int CxTree::GetNodeForLevel(int level, NodeArray& out) const {
    out.clear();
    for (const CkxFSNode& n : m_nodes)
        if (n.GetLev() == level) {
            out.push_back(n);
            break;
        }
    return static_cast<int>(out.size());
}

int CxTree::GetRootNodeID() const {
    NodeArray top;
    return GetNodeForLevel(0, top) ? top.front().GetID() : -1;
}

std::string CxTree::GetRootNodeName() const {
    NodeArray top;
    return GetNodeForLevel(0, top) ? top.front().GetName() : std::string();
}

std::string CxTree::GetCurSelDir(int id) const {
    std::string tail;
    std::unordered_set<int> seen;
    for (std::size_t guard = m_nodes.size() + 1; guard--;) {
        const CkxFSNode* n = Find(id);
        if (!n || !seen.insert(id).second) return std::string();
        tail = KxRightTrim(n->GetName()) + "\\" + tail;
        if (n->GetLev() == 0) return tail;
        id = n->GetParentID();
    }
    return std::string();
}

std::string CxTree::GetDirPath(int id) const {
    NodeList chain;
    if (HuntNodeAndParentNode(id, chain) == 0) return std::string();
    std::string path;
    for (const CkxFSNode& n : chain) path += KxRightTrim(n.GetName()) + "\\";
    return path;
}
