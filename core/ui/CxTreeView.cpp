#include "ui/CxTreeView.h"

CxTreeView::CxTreeView(QWidget* parent) : Base(parent) {}

HTREEITEM CxTreeView::AddRoot(CkxFSNode& node) { return AddTop(node, 0, 1); }

int CxTreeView::AddNode(CkxFSNode& node) { return AddUnderParentLink(node, 0, 1); }

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
    return AddUnderParentRange(positions, node, [this](HTREEITEM under, const CkxFSNode& n) { return Base::AddNode(under, n); });
}

void CxTreeView::DeleteNode(int id) { DeleteSubtree(id); }

HTREEITEM CxTreeView::FindNode(int id) const { return ItemOfId(id); }

HTREEITEM CxTreeView::GetFirstLevItem(uint32_t data) const { return FirstLevItem(data); }
