// The catalogue's folder tree: every folder in one ordered list, each linked to its parent,
// first child and siblings, so that subtrees, ancestors and paths can be walked. Folder id -1
// is the root ("目录管理"), which is not in the list. A folder never becomes its own ancestor.
#pragma once

#include "model/CkxFSNode.h"
#include "model/KxExport.h"
#include "model/KxTreeEngine.h"

#include <string>
#include <vector>

class KX_EXPORT CkxFSTree : public KxTreeEngine<CkxFSNode> {
public:
    using Base = KxTreeEngine<CkxFSNode>;

    explicit CkxFSTree(int buildLink = 0);

    const CkxFSNode& GetRootNode() const { return m_RootNode; }

    // Appends a copy; linked at once when link-on-add is set. 1, or 0 when no node could be made
    // or the node names itself as its parent.
    int Add(const CkxFSNode& node);
    int Add(const CkxFSNode& node, int image, int selectedImage);

    // Copies level, parent id, name, note, kind, state, creator and rights onto the folder with
    // the same id, without relinking. 1 done, 0 refused (the new parent is the folder itself or
    // lies below it), -1 unknown id.
    int Update(const CkxFSNode& node);
    // Moves the folder to be the last child of a new parent and relevels its subtree.
    // 1 moved, 0 refused (would become its own ancestor), -1 unknown folder.
    int UpdateParent(int id, int newParentId) { return MoveNode(Find(id), newParentId); }
    int UpdateParent(POSITION pos, int newParentId) { return MoveNode(GetAt(pos), newParentId); }

    // Deletes the folder and everything below it; returns how many folders were deleted.
    int Delete(int id) { return DeleteNode(Find(id)); }
    int Delete(POSITION pos) { return DeleteNode(GetAt(pos)); }

    // State 3 on the folder and every folder below it; on each listed folder found by id.
    int SetStateDelete(int id);
    int SetStateDelete(const std::vector<CkxFSNode>& nodes);

    using Base::FindParent;
    int FindChild(int id, NodeList& out) const { return Base::FindChild(Find(id), out); }
    int FindChild(POSITION pos, NodeList& out) const { return Base::FindChild(GetAt(pos), out); }
    int FindChild(int id, std::vector<int>& out) const;
    int FindTree(int id, NodeList& out) const { return Base::FindTree(Find(id), out); }
    int FindTree(POSITION pos, NodeList& out) const { return Base::FindTree(GetAt(pos), out); }
    int FindTree(int id, std::vector<int>& out) const;
    // Every folder below the given one; for -1 every folder of the tree in list order.
    int FindUnderDir(int id, NodeList& out) const;
    int FindUnderDir(POSITION pos, NodeList& out) const { return Base::FindUnderDir(GetAt(pos), out); }
    int FindUnderDir(int id, std::vector<int>& out) const;
    int FindAncestry(int id, NodeList& out, int includeSelf) const {
        return Base::FindAncestry(Find(id), out, includeSelf);
    }
    int FindAncestry(POSITION pos, NodeList& out, int includeSelf) const {
        return Base::FindAncestry(GetAt(pos), out, includeSelf);
    }
    std::string FindAncestryPath(int id, int includeSelf) const {
        return Base::FindAncestryPath(Find(id), includeSelf);
    }
    using Base::FindIntactTree;
    using Base::FindPrev;
    CkxFSNode* FindPrev(int id) const { return Base::FindPrev(Find(id)); }
    CkxFSNode* FindPrev(POSITION pos) const { return Base::FindPrev(GetAt(pos)); }

    int IsHasChild(int id) const {
        const CkxFSNode* n = Find(id);
        return n && n->m_pChild ? 1 : 0;
    }
    int IsFamily(int) const { return 0; }

    // Empty the list, then add the folders in state 1 / 2 / 3 in list order; return the count.
    int GetAllActNode(NodeList& out) const { return ByState(CkxFSNode::STATE_ACT, out); }
    int GetAllHideNode(NodeList& out) const { return ByState(CkxFSNode::STATE_HIDE, out); }
    int GetAllDeleteNode(NodeList& out) const { return ByState(CkxFSNode::STATE_DELETE, out); }

private:
    int ByState(int state, NodeList& out) const;

    CkxFSNode m_RootNode;
};
