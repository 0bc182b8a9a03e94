#include "ui/CkxFamilyTreeView.h"

CkxFamilyTreeView::CkxFamilyTreeView(QWidget* parent) : Base(parent) {}

HTREEITEM CkxFamilyTreeView::AddRoot(const CkxFamily& family) { return AddTopCopy(family, 0, 1); }

int CkxFamilyTreeView::AddNode(const CkxFamily& family) {
    CkxFamily record = family; // a family record keeps no handles; the copy drops the links
    record.m_pParent = family.m_pParent;
    return AddUnderParentLink(record, 0, 1);
}

void CkxFamilyTreeView::AddTree(HTREEITEM item, const FamilyList& families) {
    AddChild(item, CkxFamilyTree::T_FindFirstNode(families), families);
}

void CkxFamilyTreeView::AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families) {
    BuildFrom(item, first, families, [this](HTREEITEM under, const CkxFamily& f) { return Base::AddNode(under, f); });
}

int CkxFamilyTreeView::UpdateTree(const std::list<CkxFamily>& families) { return FillByLevels(families, FixedImages); }

HTREEITEM CkxFamilyTreeView::AddNode_ParentRange(const PositionList& positions, const CkxFamily& family) {
    return AddUnderParentRange(positions, family,
                               [this](HTREEITEM under, const CkxFamily& f) { return Base::AddNode(under, f); });
}
