// The generic node tree view: CkxNode records in a view of their own, always with images 0
// and 1, adding at the top level (AddRoot) or under the parent a record's link names, finding
// an item by id. No check boxes and no node-type images.
#pragma once

#include "model/CkxNode.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"
#include "ui/KxTreeRecords.h"

#include <cstdint>
#include <list>
#include <vector>

// What the node view does where the family's members differ.
struct CkxTreeViewPolicy : KxTreePolicy<false, false, 0, 1> {
    static void UpdateCopy(CkxNode& copy, const CkxNode& from) { KxTakeNodeFields(copy, from); }
};

class KX_EXPORT CkxTreeView : public KxTreeFamily<CkxNode, CkxTreeViewPolicy> {
public:
    using Base = KxTreeFamily<CkxNode, CkxTreeViewPolicy>;
    using NodeList = std::vector<CkxNode*>;

    explicit CkxTreeView(QWidget* parent = nullptr);

    // At the top level with images 0/1; the record gets its item and a null parent item.
    HTREEITEM AddRoot(CkxNode& node);
    // Under `parent` with images 0/1 (null parent: null).
    using Base::AddNode;
    // Under the item of the copy of the record's linked parent, or at the top level when no copy
    // has it; no parent link: 0. The record gets both handles. 1 or 0.
    int AddNode(CkxNode& node);
    // Under its parent: a listed copy with the parent's id, else a listed sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxNode& node);
    // The list's first node, its siblings and their descendants in the list, under `item`.
    void AddTree(HTREEITEM item, const NodeList& nodes);
    void AddChild(HTREEITEM item, const CkxNode* first, const NodeList& nodes);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxNode>& nodes);
    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    // The item of the first copy with `id`; null when none.
    using Base::FindNode;
    HTREEITEM FindNode(int id) const { return ItemOfId(id); }
    // The first child of the root item whose data equals `data`; null when none.
    HTREEITEM GetFirstLevItem(uint32_t data) const { return FirstLevItem(data); }
};
