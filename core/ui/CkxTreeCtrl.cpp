#include "ui/CkxTreeCtrl.h"

CkxTreeCtrl::CkxTreeCtrl(QWidget* parent) : Base(parent) {}

void CkxTreeCtrl::AddNodeTypeImage(int type, int image, int selectedImage) {
    m_TypeImages.push_back({type, image, selectedImage});
}

int CkxTreeCtrl::GetNodeTypeImage(int type, int& image, int& selectedImage) const {
    image = selectedImage = -1;
    for (const TypeImage& t : m_TypeImages)
        if (t.type == type) {
            image = t.image;
            selectedImage = t.selectedImage;
            break;
        }
    return 1;
}

int CkxTreeCtrl::AddNode(CkxNode& node, int expand) { return AddByLevel(node, expand, 0, 1); }

HTREEITEM CkxTreeCtrl::AddNode_Icon(HTREEITEM parent, const CkxNode& node) {
    return InsertCopy(parent, node, node.m_nImage, node.m_nSelectedImage);
}

HTREEITEM CkxTreeCtrl::AddRoot(CkxNode& node) { return AddTop(node, 0, 1); }

void CkxTreeCtrl::AddTree(HTREEITEM item, const NodeList& nodes) { AddChild(item, FirstNode(nodes), nodes); }

void CkxTreeCtrl::AddTree_Icon(HTREEITEM item, const NodeList& nodes) {
    AddChild_Icon(item, FirstNode(nodes), nodes);
}

void CkxTreeCtrl::AddChild(HTREEITEM item, const CkxNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxNode& n) { return Base::AddNode(under, n); });
}

void CkxTreeCtrl::AddChild(HTREEITEM item, const CkxNode* first, const NodeList* nodes) {
    if (nodes) AddChild(item, first, *nodes);
}

void CkxTreeCtrl::AddChild_Icon(HTREEITEM item, const CkxNode* first, const NodeList& nodes) {
    BuildFrom(item, first, nodes, [this](HTREEITEM under, const CkxNode& n) { return AddNode_Icon(under, n); });
}

void CkxTreeCtrl::AddChild_Icon(HTREEITEM item, const CkxNode* first, const NodeList* nodes) {
    if (nodes) AddChild_Icon(item, first, *nodes);
}

HTREEITEM CkxTreeCtrl::AddNode_ParentRange(const PositionList& positions, const CkxNode& node) {
    return AddUnderParentRange(positions, node, [this](HTREEITEM under, const CkxNode& n) { return Base::AddNode(under, n); });
}

int CkxTreeCtrl::UpdateTree(const std::list<CkxNode>& nodes) { return FillByLevels(nodes, FixedImages); }
