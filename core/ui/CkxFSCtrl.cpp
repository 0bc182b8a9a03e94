#include "ui/CkxFSCtrl.h"

CkxFSCtrl::CkxFSCtrl(QWidget* parent) : Base(parent) {}

HTREEITEM CkxFSCtrl::AddRoot(CkxFSNode& node) { return AddTop(node, 0, 1); }

int CkxFSCtrl::AddNode(CkxFSNode& node, int expand) { return AddByLevel(node, expand, 0, 1); }

HTREEITEM CkxFSCtrl::AddNode(HTREEITEM parent, const CkxFSNode& node, int image, int selectedImage) {
    return InsertCopy(parent, node, image, selectedImage);
}

HTREEITEM CkxFSCtrl::AddNode_Icon(HTREEITEM parent, const CkxFSNode& node) {
    return InsertCopy(parent, node, node.m_nImage, node.m_nSelectedImage);
}

void CkxFSCtrl::AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxFSNode& n) { return Base::AddNode(under, n); });
}

void CkxFSCtrl::AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes, int image,
                         int selectedImage) {
    BuildFrom(item, first, nodes,
              [&](HTREEITEM under, const CkxFSNode& n) { return InsertCopy(under, n, image, selectedImage); });
}

void CkxFSCtrl::AddChild_Icon(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxFSNode& n) { return AddNode_Icon(under, n); });
}

void CkxFSCtrl::AddTree(HTREEITEM item, const NodeList& nodes) { AddChild(item, FirstNode(nodes), nodes); }

void CkxFSCtrl::AddTree(HTREEITEM item, const NodeList& nodes, int image, int selectedImage) {
    AddChild(item, FirstNode(nodes), nodes, image, selectedImage);
}

void CkxFSCtrl::AddTree_Icon(HTREEITEM item, const NodeList& nodes) { AddChild_Icon(item, FirstNode(nodes), nodes); }

int CkxFSCtrl::UpdateTree(const std::list<CkxFSNode>& nodes) { return FillByLevels(nodes, FixedImages); }

HTREEITEM CkxFSCtrl::AddNode_ParentRange(const PositionList& positions, const CkxFSNode& node) {
    return AddUnderParentRange(positions, node,
                               [this](HTREEITEM under, const CkxFSNode& n) { return Base::AddNode(under, n); });
}
