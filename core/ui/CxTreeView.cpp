#include "ui/CxTreeView.h"

CxTreeView::CxTreeView(QWidget* parent) : Base(parent) {}

HTREEITEM CxTreeView::AddRoot(CkxFSNode& node) {
    HTREEITEM item = InsertCopy(TVI_ROOT, node, 0, 1);
    if (!item) return nullptr;
    Copy* c = m_copies.GetTail();
    c->parentItem = nullptr;
    R::SetHandles(c->node, item, nullptr);
    R::SetHandles(node, item, nullptr);
    return item;
}

int CxTreeView::AddNode(CkxFSNode& node) {
    const CkxFSNode* parentLink = node.m_pParent;
    if (!parentLink) return 0;
    const Copy* parent = FindCopy(parentLink->GetID());
    HTREEITEM under = parent ? parent->item : TVI_ROOT;
    HTREEITEM item = InsertCopy(under, node, 0, 1);
    if (!item) return 0;
    R::SetHandles(node, item, under);
    return 1;
}

void CxTreeView::AddTree(HTREEITEM item, const NodeList& nodes) {
    if (!item) return;
    if (const CkxFSNode* first = FirstNode(nodes)) AddChild(item, first, nodes);
}

void CxTreeView::AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxFSNode& n) { return Base::AddNode(under, n); });
}

int CxTreeView::UpdateTree(const std::list<CkxFSNode>& nodes) {
    return BuildByLevels(
        nodes, [this](const CkxFSNode& n) { Base::AddNode(TVI_ROOT, n); },
        [this](HTREEITEM under, const CkxFSNode& n) { Base::AddNode(under, n); });
}

HTREEITEM CxTreeView::AddNode_ParentRange(const PositionList& positions, const CkxFSNode& node) {
    for (POSITION p : positions)
        if (HoldsPosition(p) && m_copies.GetAt(p)->node.GetID() == node.GetParentID())
            return Base::AddNode(m_copies.GetAt(p)->item, node);
    for (POSITION p : positions)
        if (HoldsPosition(p) && m_copies.GetAt(p)->node.GetParentID() == node.GetParentID())
            return Base::AddNode(m_copies.GetAt(p)->parentItem, node);
    return nullptr;
}

void CxTreeView::DeleteNode(int id) {
    POSITION at = nullptr;
    for (POSITION p = m_copies.GetHeadPosition(); p && !at;) {
        POSITION here = p;
        if (m_copies.GetNext(p)->node.GetID() == id) at = here;
    }
    if (!at) return;
    PositionList below;
    ChildPositions(id, below);
    RemoveCopyAndItem(at);
    for (POSITION p : below) RemoveCopyAndItem(p);
    PurgeOrphans();
}

HTREEITEM CxTreeView::FindNode(int id) const {
    const Copy* c = FindCopy(id);
    return c ? c->item : nullptr;
}

HTREEITEM CxTreeView::GetFirstLevItem(uint32_t data) const {
    HTREEITEM root = GetRootItem();
    if (!root) return nullptr;
    for (HTREEITEM child = GetChildItem(root); child; child = GetNextSiblingItem(child))
        if (static_cast<uint32_t>(GetItemData(child)) == data) return child;
    return nullptr;
}
