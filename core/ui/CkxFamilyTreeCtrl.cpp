#include "ui/CkxFamilyTreeCtrl.h"

int CkxFamilyTreeCtrlPolicy::KindIcon(const CkxFamily& f) {
    switch (f.GetDataKind()) {
    case KXD_IMAGE: return 6;
    case KXD_TEXT: return 8;
    case KXD_AUDIO: return 10;
    case KXD_VIDEO: return 12;
    default: return 2;
    }
}

void CkxFamilyTreeCtrlPolicy::ReplaceCopy(CkxFamily& copy, const CkxFamily& from) {
    const int modal = copy.GetDataModal();
    const int32_t checkout = copy.m_nCheckout, checkoutUser = copy.m_nCheckoutUser;
    copy = from;
    copy.SetDataModal(modal);
    copy.m_nCheckout = checkout;
    copy.m_nCheckoutUser = checkoutUser;
}

void CkxFamilyTreeCtrlPolicy::FillServer(CkxFamily& record, const CkxServer& server) {
    record.m_strName = server.m_strName;
    record.m_strNote = server.m_strRemark;
    record.m_nID = 0;
    record.m_nLevel = 0;
    record.m_nParentID = 0;
    record.m_nValueA = 2; // node kind: server
    // The data reference is the server record's address, which only the item data (pointer
    // sized) can carry; the record's 32-bit field stays 0.
    record.m_nValueB = 0;
    record.ClearUpperLink();
}

CkxFamilyTreeCtrl::CkxFamilyTreeCtrl(QWidget* parent) : Base(parent) {}

HTREEITEM CkxFamilyTreeCtrl::AddRoot(const CkxFamily& family) {
    int image = 0, selectedImage = 0;
    CkxFamilyTreeCtrlPolicy::Images(family, image, selectedImage);
    return AddTopCopy(family, image, selectedImage);
}

int CkxFamilyTreeCtrl::AddNode(const CkxFamily& family, int expand) {
    int image = 0, selectedImage = 0;
    CkxFamilyTreeCtrlPolicy::Images(family, image, selectedImage);
    CkxFamily record = family; // a family record keeps no handles
    return AddByLevel(record, expand, image, selectedImage);
}

void CkxFamilyTreeCtrl::AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families) {
    BuildFrom(item, first, families, [this](HTREEITEM under, const CkxFamily& f) { return Base::AddNode(under, f); });
}

void CkxFamilyTreeCtrl::AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList* families) {
    if (families) AddChild(item, first, *families);
}

void CkxFamilyTreeCtrl::AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families, int flag) {
    if (!flag) return;
    BuildFrom(item, first, families, [this](HTREEITEM under, const CkxFamily& f) {
        return f.IsRoot() ? Base::AddNode(under, f) : nullptr;
    });
}

void CkxFamilyTreeCtrl::AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList* families, int flag) {
    if (families) AddChild(item, first, *families, flag);
}

void CkxFamilyTreeCtrl::AddTree(HTREEITEM item, const FamilyList& families) {
    AddChild(item, CkxFamilyTree::T_FindFirstNode(families), families);
}

void CkxFamilyTreeCtrl::AddTree(HTREEITEM item, const FamilyList& families, int flag) {
    const CkxFamily* first = CkxFamilyTree::T_FindFirstNode(families);
    if (flag && first && first->IsRoot()) AddChild(item, first, families, flag);
}

int CkxFamilyTreeCtrl::UpdateTree(const std::list<CkxFamily>& families) {
    return FillByLevels(families, CkxFamilyTreeCtrlPolicy::Images);
}

HTREEITEM CkxFamilyTreeCtrl::AddNode_ParentRange(const PositionList& positions, const CkxFamily& family) {
    return AddUnderParentRange(positions, family,
                               [this](HTREEITEM under, const CkxFamily& f) { return Base::AddNode(under, f); });
}
