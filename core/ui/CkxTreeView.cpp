#include "ui/CkxTreeView.h"

CkxTreeView::CkxTreeView(QWidget* parent) : Base(parent) {}

HTREEITEM CkxTreeView::AddRoot(CkxNode& node) { return AddTop(node, 0, 1); }

int CkxTreeView::AddNode(CkxNode& node) { return AddUnderParentLink(node, 0, 1); }

HTREEITEM CkxTreeView::AddNode_ParentRange(const PositionList& positions, const CkxNode& node) {
    return AddUnderParentRange(positions, node, [this](HTREEITEM under, const CkxNode& n) { return Base::AddNode(under, n); });
}

void CkxTreeView::AddTree(HTREEITEM item, const NodeList& nodes) { AddChild(item, FirstNode(nodes), nodes); }

void CkxTreeView::AddChild(HTREEITEM item, const CkxNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxNode& n) { return Base::AddNode(under, n); });
}

int CkxTreeView::UpdateTree(const std::list<CkxNode>& nodes) { return FillByLevels(nodes, FixedImages); }
