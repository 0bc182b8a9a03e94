// The exported folder tree control: folder records (CkxFSNode) with the tree family's
// operations and its own insertion forms: by level and parent id (expanding the parent when
// asked), under an item with images 4/5, a given pair or the folder's own, builders over a
// linked folder list in the same three forms, check boxes, and an empty image list for the owner.
#pragma once

#include "model/CkxFSNode.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"

#include <list>
#include <vector>

// What the exported folder control does where the family's members differ.
struct CkxFSCtrlPolicy : KxTreePolicy<false, false, 4, 5> {
    // The whole record; the engine keeps the copy's own handles.
    static void UpdateCopy(CkxFSNode& copy, const CkxFSNode& from) { copy = from; }
};

class KX_EXPORT CkxFSCtrl : public KxTreeFamily<CkxFSNode, CkxFSCtrlPolicy> {
public:
    using Base = KxTreeFamily<CkxFSNode, CkxFSCtrlPolicy>;
    using NodeList = std::vector<CkxFSNode*>;

    explicit CkxFSCtrl(QWidget* parent = nullptr);

    using Base::InitTreeCtrl;
    using Base::GetRootNode;

    // At the top level with images 0/1; the record gets its item and a null parent item.
    HTREEITEM AddRoot(CkxFSNode& node);
    // Level 0 at the top level, any other under its parent's copy (not held: 0), expanding the
    // parent item when `expand` is not 0; images 0/1. The record gets both handles. 1 or 0.
    int AddNode(CkxFSNode& node, int expand);
    // Under `parent` with images 4/5, with the given pair, or with the folder's own.
    using Base::AddNode;
    HTREEITEM AddNode(HTREEITEM parent, const CkxFSNode& node, int image, int selectedImage);
    HTREEITEM AddNode_Icon(HTREEITEM parent, const CkxFSNode& node);

    // `first`, its siblings and their descendants that are in `nodes`, under `item`, in the
    // three image forms; AddTree starts at the list's first node, with no top-level test.
    void AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes);
    void AddChild(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes, int image, int selectedImage);
    void AddChild_Icon(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes);
    void AddTree(HTREEITEM item, const NodeList& nodes);
    void AddTree(HTREEITEM item, const NodeList& nodes, int image, int selectedImage);
    void AddTree_Icon(HTREEITEM item, const NodeList& nodes);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxFSNode>& nodes);
    // Under its parent (images 4/5): a listed copy with the parent's id, else a listed
    // sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxFSNode& node);

    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    using Base::CheckAllNode;
    using Base::DontCheckAllNode;
    using Base::DontCheckOtherNode;
};
