// The family tree control of the studio's family pane and the family picker: families shown
// with an icon by data kind, a server item at the top level, builds of the whole family tree or
// of the root families alone, and check boxes. A family record has no handle fields, so each
// family's item and parent item live only in the control's copy entries.
#pragma once

#include "model/CkxFamily.h"
#include "model/CkxFamilyTree.h"
#include "model/KxExport.h"
#include "ui/KxServerTreeFamily.h"
#include "ui/KxTreeRecords.h"

#include <list>

// What the family control does where the family's members differ.
struct CkxFamilyTreeCtrlPolicy : KxTreePolicy<false, false, 0, 0> {
    // The icon of the family's data kind: image 6, text 8, audio 10, video 12, any other 2; the
    // selected image is the next index.
    static int KindIcon(const CkxFamily& f);
    static void Images(const CkxFamily& f, int& image, int& selectedImage) {
        image = KindIcon(f);
        selectedImage = image + 1;
    }
    // Name and note only: kind, state, level, parent and the rest stay.
    static void UpdateCopy(CkxFamily& copy, const CkxFamily& from) {
        copy.m_strName = from.m_strName;
        copy.m_strNote = from.m_strNote;
    }
    // Everything but the copy's data modal and check-out fields.
    static void ReplaceCopy(CkxFamily& copy, const CkxFamily& from);
    static void FillServer(CkxFamily& record, const CkxServer& server);
};

class KX_EXPORT CkxFamilyTreeCtrl : public KxServerTreeFamily<CkxFamily, CkxFamilyTreeCtrlPolicy> {
public:
    using Base = KxServerTreeFamily<CkxFamily, CkxFamilyTreeCtrlPolicy>;
    using FamilyList = CkxFamilyPtrs;

    explicit CkxFamilyTreeCtrl(QWidget* parent = nullptr);

    using Base::InitTreeCtrl;
    using Base::GetRootNode;
    // The normal image of the family's kind (selected: the next index).
    int GetNodeIcon(const CkxFamily& family) const { return CkxFamilyTreeCtrlPolicy::KindIcon(family); }

    // At the top level with the kind icon.
    HTREEITEM AddRoot(const CkxFamily& family);
    // Level 0 at the top level, any other under its parent's copy (not held: 0), expanding the
    // parent item when `expand` is not 0; the kind icon. 1 or 0.
    int AddNode(const CkxFamily& family, int expand);
    // Under `parent` with the kind icon (null parent: null).
    using Base::AddNode;

    // `first`, its siblings and their descendants that are in `families`, under `item`.
    void AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families);
    void AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList* families);
    // Root families only, and only when `flag` is not 0: the walk goes on into a root family's
    // children by the same rule, so no sub-family is added.
    void AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList& families, int flag);
    void AddChild(HTREEITEM item, const CkxFamily* first, const FamilyList* families, int flag);
    // The whole tree the list holds, from its first family.
    void AddTree(HTREEITEM item, const FamilyList& families);
    // The root families of the list, when `flag` is not 0 and the list's first family is one.
    void AddTree(HTREEITEM item, const FamilyList& families, int flag);
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxFamily>& families);
    // Under its parent: a listed copy with the parent's id, else a listed sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxFamily& family);

    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    using Base::CheckAllNode;
    using Base::DontCheckAllNode;
    using Base::DontCheckOtherNode;

protected:
    // 1 when some copy is shown by `item`.
    int IsFamilyNode(HTREEITEM item) const { return FindCopyByItem(item) ? 1 : 0; }
};
