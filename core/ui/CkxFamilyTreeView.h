// The family tree view: families in a view of their own, always with images 0 and 1, adding at
// the top level (AddRoot) or under the parent a family's link names, building the whole tree a
// list holds. No server item, no check boxes, no kind icons.
#pragma once

#include "model/CkxFamily.h"
#include "model/CkxFamilyTree.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"
#include "ui/KxTreeRecords.h"

#include <cstdint>
#include <list>

// What the family view does where the family's members differ.
struct CkxFamilyTreeViewPolicy : KxTreePolicy<false, true, 0, 1> {
    // The whole family; the engine keeps the copy's own handles.
    static void UpdateCopy(CkxFamily& copy, const CkxFamily& from) { copy = from; }
};

class KX_EXPORT CkxFamilyTreeView : public KxTreeFamily<CkxFamily, CkxFamilyTreeViewPolicy> {
public:
    using Base = KxTreeFamily<CkxFamily, CkxFamilyTreeViewPolicy>;
    using FamilyList = CkxFamilyPtrs;

    explicit CkxFamilyTreeView(QWidget* parent = nullptr);

    // At the top level with images 0/1.
    HTREEITEM AddRoot(const CkxFamily& family);
    // Under the item of the copy of the family's linked parent, or at the top level when no
    // copy has it; no parent link: 0. 1 or 0.
    int AddNode(const CkxFamily& family);
    // Under `parent` with images 0/1 (null parent: null).
    using Base::AddNode;
    // The whole tree the list holds, from its first family, under `item`.
    void AddTree(HTREEITEM item, const FamilyList& families);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxFamily>& families);
    // Under its parent: a listed copy with the parent's id, else a listed sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxFamily& family);
    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    // The root item, or null.
    HTREEITEM GetTitleNode() const { return GetRootItem(); }
    // The first child of the root item whose data equals `data`; null when none.
    HTREEITEM GetFirstLevItem(uint32_t data) const { return FirstLevItem(data); }

protected:
    using Base::InitTreeCtrl;
    // The item of the first copy with `id`; null when none.
    using Base::FindNode;
    HTREEITEM FindNode(int id) const { return ItemOfId(id); }

private:
    void AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families);
};
