// The folder tree view: the folder records of the tree family in a view of its own, adding at
// the top level (AddRoot) or under the parent named by a record's link, always with images 0
// and 1, and finding an item by id. No check boxes.
#pragma once

#include "model/CkxFSNode.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"

#include <cstdint>
#include <list>
#include <vector>

// What the folder view does where the family's members differ.
struct CxTreeViewPolicy : KxTreePolicy<false, false, 0, 1> {
    static void UpdateCopy(CkxFSNode& copy, const CkxFSNode& from) { copy.SetInfo(from); }
};

class KX_EXPORT CxTreeView : public KxTreeFamily<CkxFSNode, CxTreeViewPolicy> {
public:
    using Base = KxTreeFamily<CkxFSNode, CxTreeViewPolicy>;
    using NodeList = std::vector<CkxFSNode*>;

    explicit CxTreeView(QWidget* parent = nullptr);

    // At the top level with images 0/1; the record gets its item and a null parent item. Null
    // on failure, nothing stored.
    HTREEITEM AddRoot(CkxFSNode& node);
    // Under `parent` with images 0/1 (null parent: null).
    using Base::AddNode;
    // Under the item of the copy of the record's linked parent, or at the top level when no
    // copy has it; the record's parent link must be set. 1 added (the record gets its item and
    // parent item), 0 otherwise.
    int AddNode(CkxFSNode& node);

    // Adds the list's first node, its siblings and their descendants in the list under `item`
    // (no top-level test); AddChild is the recursion.
    void AddTree(HTREEITEM item, const NodeList& nodes);
    void AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxFSNode>& nodes);
    // Puts the record under its parent: the first listed copy whose id is the record's parent
    // id, else the parent item of the first listed copy with the same parent id. Neither (or a
    // position this view does not hold): null, nothing added.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxFSNode& node);

    // Deletes the item of the first copy with `id` (with its subtree) and removes that copy and
    // its descendants' copies; an id not held: nothing.
    void DeleteNode(int id);

    // The item of the first copy with `id`; null when none.
    using Base::FindNode;
    HTREEITEM FindNode(int id) const;
    // The first child of the root item whose data equals `data`; null when none.
    HTREEITEM GetFirstLevItem(uint32_t data) const;
};
