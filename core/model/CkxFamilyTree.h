// CkxFamilyTree: every family of a process in one owning list, threaded into a tree with
// parent, first-child and sibling links so that ancestry, children and subtrees are listed
// without searching. A family never becomes its own ancestor (such an add, update or parent
// change is refused) and every walk along the links or parent ids is bounded by the count.
// Not guarded: one thread at a time (see CkxFamilyXXX).
#pragma once

#include "model/CkxFamily.h"
#include "model/KxExport.h"
#include "base/PtrList.h"

#include <vector>

class CkxAttr;

class KX_EXPORT CkxFamilyTree {
public:
    explicit CkxFamilyTree(bool link = false);
    CkxFamilyTree(const CkxFamilyTree&) = delete;
    CkxFamilyTree& operator=(const CkxFamilyTree&) = delete;
    virtual ~CkxFamilyTree();

    bool IsLinking() const { return m_bLink; }

    // List maintenance.
    // Appends a copy of the family's own fields and links it when linking is on; 1, or 0 when
    // memory runs out or the family would become its own ancestor.
    int t_AddTail(const CkxFamily& f);
    // Adopts the family the same way; 0 for null or a refused family (the caller keeps it).
    int t_AddTail(CkxFamily* f);
    CkxFamily* t_Find(int id) const;
    POSITION t_FindPos(int id) const;
    int t_GetCount() const { return m_list.GetCount(); }
    POSITION t_GetHeadPosition() const { return m_list.GetHeadPosition(); }
    CkxFamily* t_GetNext(POSITION& p) const { return m_list.GetNext(p); }
    // Unlinks the first family and returns it (the caller owns it); its children stay in the
    // list, unlinked. Null when empty.
    CkxFamily* t_RemoveHead();
    void t_DeleteAll();
    // Takes the family and every descendant out of the list and deletes them; 1, or 0 when
    // there is no such family. Descendants are found through the links when linking is on,
    // through parent ids otherwise.
    int t_Delete(int id);
    int t_Delete(POSITION p);
    // Unlinks, sets the parent id, links again; 1, or 0 when there is no such family or the
    // family would become its own ancestor (nothing changes then).
    int t_SetParent(POSITION p, int parentID);
    int t_SetParent(int id, int parentID);
    // Copies kind, state, level, parent id, values, name, note, creator and time into the family
    // with the same id; position and links stay. 1, or 0 when there is none or the new parent
    // id would make it its own ancestor.
    int t_Update(const CkxFamily& f);
    // The greatest level (0 when empty); the smallest level (-1 when empty).
    int t_GetMaxLevNo() const;
    int t_GetMinLevNo() const;

    // Links a tree filled while linking was off and turns linking on: top-level families are
    // chained in list order, every other family goes under t_Find(parent id), wherever it lies
    // in the list. 1, or 0 when some family's parent cannot be found (that family stays
    // unlinked, the rest are linked).
    int t_BuildTree();

    // Queries; each returns the size of the filled list.
    int t_FindChild(POSITION p, CkxFamilyPtrs& out) const; // appends, sibling order
    int t_FindChild(int id, CkxFamilyPtrs& out) const;
    // Clears out; the family when withSelf, then its parent, grandparent ... up to the top.
    int t_FindAncestry(int id, CkxFamilyPtrs& out, bool withSelf) const;
    int t_FindAncestry(POSITION p, CkxFamilyPtrs& out, bool withSelf) const;
    // The family and its subtree in depth-first pre-order (the id form clears out first).
    int t_FindTree(int id, CkxFamilyPtrs& out) const;
    int t_FindTree(POSITION p, CkxFamilyPtrs& out) const;
    // The family, then each child followed by that child's children (two levels).
    int t_GetTree(POSITION p, CkxFamilyPtrs& out) const;
    // Adds copies of the family's children to other; returns other's count.
    int t_GetTree(int id, CkxFamilyTree& other) const;
    int t_GetUnder(int id, CkxFamilyTree& other) const { return t_GetTree(id, other); }
    // Appends the ids of the family's children.
    int t_GetTree(int id, std::vector<int>& ids) const;
    // Appends the ids of all descendants, each child followed by its own descendants.
    int t_GetUnder(int id, std::vector<int>& ids) const;
    // Appends the children (as t_FindChild).
    int t_GetUnder(int id, CkxFamilyPtrs& out) const { return t_FindChild(id, out); }
    // Clears ids; the parent, grandparent ... stopping after the first root family. Follows
    // the links when linking is on, parent ids otherwise.
    int t_FindAllParent(int id, std::vector<int>& ids) const;
    // Clears out; the families of ids, then for each of them whose level is not 0 and whose
    // parent is not among them, its ancestors (each family once).
    int t_FindIntactTree(CkxFamilyPtrs& out, const std::vector<int>& ids) const;
    // Clear out and fill it with the families of one data kind, in list order.
    int t_GetImageFamily(CkxFamilyPtrs& out) const { return t_GetKindFamily(KXD_IMAGE, out); }
    int t_GetTextFamily(CkxFamilyPtrs& out) const { return t_GetKindFamily(KXD_TEXT, out); }
    int t_GetAudioFamily(CkxFamilyPtrs& out) const { return t_GetKindFamily(KXD_AUDIO, out); }
    int t_GetVideoFamily(CkxFamilyPtrs& out) const { return t_GetKindFamily(KXD_VIDEO, out); }
    int t_GetBinaryFamily(CkxFamilyPtrs& out) const { return t_GetKindFamily(KXD_BINARY, out); }

    // 1 when the attribute's family exists, else 0 (the tree keeps no attributes).
    int t_AddAttr(const CkxAttr* a) const;
    void t_DeleteAttr(int /*familyID*/, int /*attrID*/) {}

    // Helpers over a plain selection of families.
    static bool T_IsAtList(const CkxFamilyPtrs& list, const CkxFamily* f);
    static bool T_IsAtList(const CkxFamilyPtrs& list, int id);
    static int T_GetMinLevNo(const CkxFamilyPtrs& list); // -1 when empty
    // The first family of the smallest level whose previous sibling is absent or not listed.
    static CkxFamily* T_FindFirstNode(const CkxFamilyPtrs& list);
    // The listed family with that id, or null.
    static CkxFamily* T_FindParent(int id, const CkxFamilyPtrs& list);
    // The last child of the family, or null.
    static CkxFamily* T_FindPrev(const CkxFamily* f);
    // Appends the families of other that list does not hold yet; returns list's size.
    static int T_AddListNode(CkxFamilyPtrs& list, const CkxFamilyPtrs& other);

protected:
    CkxFamily m_Root; // id, level and parent id -1; not part of the list
    bool m_bLink;
    KxPtrList<CkxFamily> m_list; // owns its families

private:
    // Links the family: a top-level one after the last top-level family, any other as the last
    // child of t_Find(parent id). False when it stays unlinked (no parent, or linking would put
    // it inside its own subtree).
    bool t_Family_In(CkxFamily* f);
    void t_Family_Out(CkxFamily* f);
    // The first top-level family (level 0, no parent link) other than f without a next sibling.
    CkxFamily* t_FindFirstLevLastNode(const CkxFamily* f) const;
    CkxFamily* LastChild(const CkxFamily* parent) const;
    // True when a is f or lies below f (walking up a's parent links).
    bool IsInSubtree(const CkxFamily* a, const CkxFamily* f) const;
    // True when following parent ids from parentID reaches id.
    bool IdChainReaches(int parentID, int id) const;
    // A family's parent: its link when linking is on, else t_Find(parent id).
    CkxFamily* ParentOf(const CkxFamily* f) const;
    // Appends the family (when withSelf) and its linked descendants in pre-order.
    void PreOrder(CkxFamily* f, CkxFamilyPtrs& out, bool withSelf) const;
    // The descendants by parent ids (for a tree that is not linking).
    void IdDescendants(const CkxFamily* f, CkxFamilyPtrs& out) const;
    int t_GetKindFamily(int kind, CkxFamilyPtrs& out) const;
    int Bound() const { return m_list.GetCount() + 1; }
};
