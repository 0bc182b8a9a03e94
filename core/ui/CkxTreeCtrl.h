// The generic node tree control: CkxNode records on the tree family's engine, with a table of
// images per node type for the owner, icon forms that use a node's own image indices, adding by
// level (expanding the parent when asked), and check boxes.
#pragma once

#include "model/CkxNode.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"
#include "ui/KxTreeRecords.h"

#include <list>
#include <vector>

// What the node control does where the family's members differ.
struct CkxTreeCtrlPolicy : KxTreePolicy<false, true, 0, 0> {
    static void UpdateCopy(CkxNode& copy, const CkxNode& from) { KxTakeNodeFields(copy, from); }
};

class KX_EXPORT CkxTreeCtrl : public KxTreeFamily<CkxNode, CkxTreeCtrlPolicy> {
public:
    using Base = KxTreeFamily<CkxNode, CkxTreeCtrlPolicy>;
    // Pointers into a linked node list, read only during the call.
    using NodeList = std::vector<CkxNode*>;

    explicit CkxTreeCtrl(QWidget* parent = nullptr);

    // Node-type images: an entry per call; a type added twice keeps its first entry.
    void AddNodeTypeImage(int type, int image, int selectedImage);
    // The first entry's two indices, or -1/-1 for a type never added; 1 either way.
    int GetNodeTypeImage(int type, int& image, int& selectedImage) const;

    // Level 0 at the top level, any other under its parent's copy (not held: 0), expanding the
    // parent item when `expand` is not 0; images 0/1. The record gets both handles. 1 or 0.
    int AddNode(CkxNode& node, int expand);
    // Under `parent` with images 0/0 (null parent: null).
    using Base::AddNode;
    // Under `parent` with the node's own images.
    HTREEITEM AddNode_Icon(HTREEITEM parent, const CkxNode& node);
    // At the top level with images 0/1; the record gets its item and a null parent item.
    HTREEITEM AddRoot(CkxNode& node);

    // The list's first node (lowest level, previous sibling not listed), its siblings and their
    // descendants in the list, under `item`; no top-level test. AddChild is the recursion.
    void AddTree(HTREEITEM item, const NodeList& nodes);
    void AddTree_Icon(HTREEITEM item, const NodeList& nodes);
    void AddChild(HTREEITEM item, const CkxNode* first, const NodeList& nodes);
    void AddChild(HTREEITEM item, const CkxNode* first, const NodeList* nodes);
    void AddChild_Icon(HTREEITEM item, const CkxNode* first, const NodeList& nodes);
    void AddChild_Icon(HTREEITEM item, const CkxNode* first, const NodeList* nodes);
    // Under its parent: a listed copy with the parent's id, else a listed sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxNode& node);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxNode>& nodes);

    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    using Base::CheckAllNode;
    using Base::DontCheckAllNode;
    using Base::DontCheckOtherNode;

private:
    struct TypeImage {
        int type, image, selectedImage;
    };
    std::vector<TypeImage> m_TypeImages;
};
