#include "ui/CkxwFFNode.h"

#include "model/CkxFile.h"

CkxwFFNode::CkxwFFNode(const CkxwFFNode& o) { *this = o; }

CkxwFFNode& CkxwFFNode::operator=(const CkxwFFNode& o) {
    if (this == &o) return *this;
    m_hItem = o.m_hItem;
    m_hParent = o.m_hParent;
    m_nKind = o.m_nKind;
    m_nDrag = o.m_nDrag;
    m_nDrop = o.m_nDrop;
    m_nImage = o.m_nImage;
    m_nSelImage = o.m_nSelImage;
    m_Family = o.m_Family;
    m_File.Destroy();
    if (const CkxFile* f = o.m_File.GetObj()) m_File.CreateObj(*f);
    return *this;
}

int CkxwFFNode::GetID() const {
    if (IsFamilyNode()) return m_Family.GetID();
    if (IsFileNode()) return m_File.GetID();
    return -1;
}

CkxwFFNode* CkxwFFNodeList::AddTail(const CkxwFFNode& node) { return AddTail(new CkxwFFNode(node)); }

CkxwFFNode* CkxwFFNodeList::AddTail(CkxwFFNode* node) {
    if (!node) return nullptr;
    m_nodes.emplace_back(node);
    return node;
}

CkxwFFNode* CkxwFFNodeList::Find(HTREEITEM item) const {
    if (!item) return nullptr;
    for (const auto& n : m_nodes)
        if (n->m_hItem == item) return n.get();
    return nullptr;
}

CkxwFFNode* CkxwFFNodeList::Find(int id) const {
    for (const auto& n : m_nodes)
        if (n->GetID() == id) return n.get();
    return nullptr;
}

void CkxwFFNodeList::Update(const CkxwFFNode& node) {
    if (CkxwFFNode* found = Find(node.m_hItem); found && found != &node) *found = node;
}

void CkxwFFNodeList::Delete(HTREEITEM item) {
    for (auto it = m_nodes.begin(); it != m_nodes.end(); ++it) {
        if ((*it)->m_hItem == item) {
            m_nodes.erase(it);
            return;
        }
    }
}

int CkxwFFNodeList::IsFamilyNode(HTREEITEM item) const {
    const CkxwFFNode* n = Find(item);
    return n && n->IsFamilyNode() ? 1 : 0;
}

int CkxwFFNodeList::IsFileNode(HTREEITEM item) const {
    const CkxwFFNode* n = Find(item);
    return n && n->IsFileNode() ? 1 : 0;
}

HTREEITEM CkxwFFNodeList::GetFamilyItem(int familyId) const {
    for (const auto& n : m_nodes)
        if (n->IsFamilyNode() && n->m_Family.GetID() == familyId) return n->m_hItem;
    return nullptr;
}

int CkxwFFNodeList::GetFamilyAttachFile(HTREEITEM family, Nodes& out) const {
    if (!family || !IsFamilyNode(family)) return 0;
    for (const auto& n : m_nodes)
        if (n->IsFileNode() && n->m_hParent == family) out.push_back(n.get());
    return static_cast<int>(out.size());
}

int CkxwFFNodeList::GetFamilyAttachFile(int familyId, Nodes& out) const {
    return GetFamilyAttachFile(GetFamilyItem(familyId), out);
}
