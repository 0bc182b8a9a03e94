#include "ui/CxTreeCtrl.h"

#include <algorithm>

CxTreeCtrl::CxTreeCtrl(QWidget* parent) : Base(parent) {}

HTREEITEM CxTreeCtrl::AddNode(HTREEITEM parent, const CkxFSNode& node, int image, int selectedImage) {
    return InsertCopy(parent, node, image, selectedImage);
}

HTREEITEM CxTreeCtrl::AddNode(const CkxFSNode& node) {
    return AddNode(node, node.m_nImage, node.m_nSelectedImage);
}

HTREEITEM CxTreeCtrl::AddNode(const CkxFSNode& node, int image, int selectedImage) {
    if (node.IsRootChild()) return nullptr;
    const Copy* parent = FindCopy(node.GetParentID());
    return parent ? InsertCopy(parent->item, node, image, selectedImage) : nullptr;
}

void CxTreeCtrl::AddToRoot(HTREEITEM item, const NodeList& nodes) {
    const CkxFSNode* first = FirstNode(nodes);
    if (first && first->IsRootChild()) LoopTagTreeNode(item, first, nodes);
}

void CxTreeCtrl::AddToRoot(HTREEITEM item, const NodeList& nodes, int image, int selectedImage) {
    const CkxFSNode* first = FirstNode(nodes);
    if (first && first->IsRootChild()) LoopTagTreeNode(item, first, nodes, image, selectedImage);
}

void CxTreeCtrl::AddToParent(int parentId, const NodeList& nodes) {
    if (parentId == -1) return;
    if (const Copy* parent = FindCopy(parentId)) AddToParent(parent->item, nodes);
}

void CxTreeCtrl::AddToParent(int parentId, const NodeList& nodes, int image, int selectedImage) {
    const Copy* parent = parentId == -1 ? nullptr : FindCopy(parentId);
    const CkxFSNode* first = parent ? FirstNode(nodes) : nullptr;
    if (first) LoopTagTreeNode(parent->item, first, nodes, image, selectedImage);
}

void CxTreeCtrl::AddToParent(HTREEITEM item, const NodeList& nodes) {
    if (!item) return;
    if (const CkxFSNode* first = FirstNode(nodes)) LoopTagTreeNode(item, first, nodes);
}

void CxTreeCtrl::LoopTagTreeNode(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxFSNode& n) { return AddNode(under, n); });
}

void CxTreeCtrl::LoopTagTreeNode(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes, int image,
                                 int selectedImage) {
    BuildFrom(item, first, nodes, [&](HTREEITEM under, const CkxFSNode& n) {
        return AddNode(under, n, image, selectedImage);
    });
}

int CxTreeCtrl::UpdateTree(const std::list<CkxFSNode>& nodes) {
    return BuildByLevels(
        nodes, [this](const CkxFSNode& n) { AddNode(TVI_ROOT, n); },
        [this](HTREEITEM under, const CkxFSNode& n) { AddNode(under, n); });
}

void CxTreeCtrl::DeleteNode(int id) {
    PositionList below;
    ChildPositions(id, below);
    for (POSITION p : below) RemoveCopyAndItem(p);
    for (POSITION p = m_copies.GetHeadPosition(); p;) {
        POSITION here = p;
        if (m_copies.GetNext(p)->node.GetID() == id) RemoveCopyAndItem(here);
    }
    PurgeOrphans();
}

void CxTreeCtrl::DeleteChild(int id) {
    std::vector<int> children;
    for (POSITION p = m_copies.GetHeadPosition(); p;) {
        const CkxFSNode& n = m_copies.GetNext(p)->node;
        if (n.GetParentID() == id && std::find(children.begin(), children.end(), n.GetID()) == children.end())
            children.push_back(n.GetID());
    }
    for (int child : children) DeleteNode(child);
}

uint32_t CxTreeCtrl::GetSelectedItemData() const {
    HTREEITEM item = GetSelectedItem();
    return item ? static_cast<uint32_t>(GetItemData(item)) : 0xFFFFFFFFu;
}

int CxTreeCtrl::GetSelectedIndex() const {
    HTREEITEM item = GetSelectedItem();
    if (!item) return -1;
    int index = 0;
    for (POSITION p = m_copies.GetHeadPosition(); p; ++index)
        if (m_copies.GetNext(p)->item == item) return index;
    return -1;
}

void CxTreeCtrl::SetCheck(int id, int check) {
    if (const Copy* c = FindCopy(id)) kx::TreeCtrl::SetCheck(c->item, check != 0);
}
