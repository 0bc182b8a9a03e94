// The folder tree control of the studio's folder pane and the folder pickers: folder records
// (CkxFSNode) shown from the context's folder tree, with the shared tree operations, building
// at the top level (AddToRoot) or under a held folder (AddToParent), the record's own images,
// check boxes on the folders, and the selection read as the folder id or the item data.
#pragma once

#include "model/CkxFSNode.h"
#include "model/KxExport.h"
#include "ui/KxTreeFamily.h"

#include <cstdint>
#include <list>
#include <vector>

// What the folder control does where the family's members differ.
struct CxTreeCtrlPolicy {
    static constexpr bool kSelectRootForNone = true;
    static constexpr bool kWholeAncestry = false;
    static void Images(const CkxFSNode& n, int& image, int& selectedImage) {
        image = n.m_nImage;
        selectedImage = n.m_nSelectedImage;
    }
    static void UpdateCopy(CkxFSNode& copy, const CkxFSNode& from) { copy.SetInfo(from); }
};

class KX_EXPORT CxTreeCtrl : public KxTreeFamily<CkxFSNode, CxTreeCtrlPolicy> {
public:
    using Base = KxTreeFamily<CkxFSNode, CxTreeCtrlPolicy>;
    // The folder lists the builders take: pointers into a linked folder list (the context's
    // folder tree), read only during the call.
    using NodeList = std::vector<CkxFSNode*>;

    explicit CxTreeCtrl(QWidget* parent = nullptr);

    // Under `parent` (TVI_ROOT: top level) at the end, with the record's own images or the
    // given pair; null parent or failed insertion: null and nothing stored.
    using Base::AddNode;
    HTREEITEM AddNode(HTREEITEM parent, const CkxFSNode& node, int image, int selectedImage);
    // Under the item of the parent's copy; a top-level folder (parent id -1) or a parent that is
    // not held: null and nothing added.
    HTREEITEM AddNode(const CkxFSNode& node);
    HTREEITEM AddNode(const CkxFSNode& node, int image, int selectedImage);

    // Adds the list's first node, its following siblings and their descendants that are in the
    // list under `item`, only when that first node is a top-level folder.
    void AddToRoot(HTREEITEM item, const NodeList& nodes);
    void AddToRoot(HTREEITEM item, const NodeList& nodes, int image, int selectedImage);
    // The same under the item of a held folder (-1 or not held: nothing), or under `item`
    // (null: nothing), without the top-level test.
    void AddToParent(int parentId, const NodeList& nodes);
    void AddToParent(int parentId, const NodeList& nodes, int image, int selectedImage);
    void AddToParent(HTREEITEM item, const NodeList& nodes);
    // The recursive builder: `first` and each next sibling that is in `nodes`, each with its
    // children; a node not in the list hides its subtree.
    void LoopTagTreeNode(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes);
    void LoopTagTreeNode(HTREEITEM item, const CkxFSNode* first, const NodeList& nodes, int image,
                         int selectedImage);
    // Fills the tree from a flat list: level 0 at the top level, then each level under its
    // parents (a record whose parent is not held is left out). Returns 1.
    int UpdateTree(const std::list<CkxFSNode>& nodes);

    // Removes the copies of every descendant of `id` with their items, then every copy with
    // `id` and its item (with its subtree). An id not held still takes its descendants' copies
    // and their items.
    void DeleteNode(int id);
    // DeleteNode on every held folder whose parent is `id`.
    void DeleteChild(int id);

    // The selected item's data in 32 bits; 0xFFFFFFFF when nothing is selected.
    uint32_t GetSelectedItemData() const;
    // Position in the copy list of the copy shown by the selected item; -1 when none.
    int GetSelectedIndex() const;
    int IsValid(int id) const { return IsHeld(id); }
    int IsHasChild(int id) const { return HasChildCopy(id); }
    // Appends the copy-list positions of every descendant of `id`, depth first; returns the
    // list's count.
    int GetChild(int id, PositionList& out) const { return ChildPositions(id, out); }

    // Check boxes (the owner turns them on with SetCheckBoxes).
    using Base::CheckAllNode;
    using Base::DontCheckAllNode;
    using Base::DontCheckOtherNode;
    // The check state of the held folder's item; nothing when not held.
    void SetCheck(int id, int check);
    using kx::TreeCtrl::SetCheck;
    // Empties `out`, then the folders whose items are checked, in copy-list order; the count.
    int GetCheckNode(RecordList& out) const { return CheckedCopies(out); }
};
