// CkxFamilyXXX: the process's family registry, the linked family tree together with every
// attribute definition. It answers which families exist per kind, what a family is called and
// which attributes a file of a family has (base fields of its kind, inherited, its own).
//
// Threading: the registry is confined to one thread at a time. Clients fill and read it only on
// their GUI thread (each server answer is applied there); the server touches it only while it
// holds its catalogue mutex. It therefore takes no lock around the tree; the attribute list
// keeps its own busy flag, as every attribute list does. Pointers handed out by the queries stay
// valid until that thread changes the registry.
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFamilyTree.h"
#include "model/KxExport.h"

#include <string>
#include <vector>

class KX_EXPORT CkxFamilyXXX : public CkxFamilyTree {
public:
    // Linking on; holds the image root family and the image file's base attributes.
    CkxFamilyXXX();
    ~CkxFamilyXXX() override = default;

    // ---- families ----
    int family_AddTail(const CkxFamily& f) { return t_AddTail(f); }
    int family_AddTail(CkxFamily* f) { return t_AddTail(f); }
    CkxFamily* family_Find(int id) const { return t_Find(id); }
    int family_Delete(int id) { return t_Delete(id); }
    void family_DeleteAll() { t_DeleteAll(); }
    int family_GetCount() const { return t_GetCount(); }
    CkxFamily* family_RemoveHead() { return t_RemoveHead(); }
    POSITION family_GetHeadPosition() const { return t_GetHeadPosition(); }
    CkxFamily* family_GetNext(POSITION& p) const { return t_GetNext(p); }

    // The fixed name of a root id (100000006 has an empty one), else the family's name;
    // "普通文件" for an unknown id.
    std::string family_GetName(int id) const;

    static bool family_IsRoot(int id) { return CkxFamily::IsRootID(id); }
    static bool family_IsImageRoot(int id) { return id == KXF_ROOT_IMAGE; }
    static bool family_IsTextRoot(int id) { return id == KXF_ROOT_TEXT; }
    static bool family_IsAudioRoot(int id) { return id == KXF_ROOT_AUDIO; }
    static bool family_IsVideoRoot(int id) { return id == KXF_ROOT_VIDEO; }
    static bool family_IsBinaryRoot(int id) { return id == KXF_ROOT_BINARY; }
    static bool family_IsOtherRoot(int id) { return id == KXF_ROOT_OTHER; }

    // The family exists and has that data kind.
    bool family_IsImage(int id) const { return IsKind(id, KXD_IMAGE); }
    bool family_IsText(int id) const { return IsKind(id, KXD_TEXT); }
    bool family_IsAudio(int id) const { return IsKind(id, KXD_AUDIO); }
    bool family_IsVideo(int id) const { return IsKind(id, KXD_VIDEO); }
    bool family_IsBinary(int id) const { return IsKind(id, KXD_BINARY); }

    int family_GetImageFamily(CkxFamilyPtrs& out) const { return t_GetImageFamily(out); }
    int family_GetTextFamily(CkxFamilyPtrs& out) const { return t_GetTextFamily(out); }
    int family_GetAudioFamily(CkxFamilyPtrs& out) const { return t_GetAudioFamily(out); }
    int family_GetVideoFamily(CkxFamilyPtrs& out) const { return t_GetVideoFamily(out); }
    int family_GetBinaryFamily(CkxFamilyPtrs& out) const { return t_GetBinaryFamily(out); }

    // Clears out; the root families present, in list order.
    int family_GetBaseFamily(CkxFamilyPtrs& out) const;
    // The root family of that kind, or null.
    CkxFamily* family_GetBaseImage() const { return BaseOfKind(KXD_IMAGE); }
    CkxFamily* family_GetBaseText() const { return BaseOfKind(KXD_TEXT); }
    CkxFamily* family_GetBaseAudio() const { return BaseOfKind(KXD_AUDIO); }
    CkxFamily* family_GetBaseVideo() const { return BaseOfKind(KXD_VIDEO); }
    CkxFamily* family_GetBaseBinary() const { return BaseOfKind(KXD_BINARY); }

    // Appends the families whose parent id is id, in list order.
    int family_GetChild(int id, CkxFamilyPtrs& out) const;
    // Appends all descendants, each child followed by its own descendants.
    int family_GetOffspring(int id, CkxFamilyPtrs& out) const;
    int family_GetOffspring(int id, std::vector<int>& ids) const { return t_GetUnder(id, ids); }
    // The family and its subtree in pre-order (out is cleared first).
    int family_GetTree(int id, CkxFamilyPtrs& out) const { return t_FindTree(id, out); }
    bool family_IsHasChild(int id) const;
    int family_GetAllParent(int id, std::vector<int>& ids) const { return t_FindAllParent(id, ids); }
    // 1 when a family with that id exists and its parent id differs from f's.
    int family_IsParentChange(const CkxFamily& f) const;
    // At the first family (list order) named name: 1 when it is family id, else 0; 1 when no
    // family has that name.
    int family_CanUseName(int id, const std::string& name) const;

    // ---- attribute definitions ----
    int attr_AddTail(CkxAttr* a) { return m_attrs.AddTail(a); }
    int attr_AddTail(const CkxAttr& a) { return m_attrs.AddTail(a) ? 1 : 0; }
    CkxAttr* attr_Find(int id) const { return m_attrs.Find(id); }
    int attr_Delete(int id) { return m_attrs.Delete(id); }
    void attr_DeleteAll() { m_attrs.DeleteAll(); }
    int attr_GetCount() const { return m_attrs.GetCount(); }
    CkxAttr* attr_RemoveHead() { return m_attrs.RemoveHead(); }
    int attr_Update(const CkxAttr& a) { return m_attrs.Update(a); }
    int attr_Update(const CkxAttr* a) { return a ? m_attrs.Update(*a) : 0; }

    // The definition's data type, or 0 when there is none.
    int attr_GetDateType(int id) const;

    // Clear list, then copy each base attribute of that data kind.
    int attr_GetImageBaseAttr(CkxAttrList& list) const { return attr_GetModeBaseAttr(KXD_IMAGE, list); }
    int attr_GetTextBaseAttr(CkxAttrList& list) const { return attr_GetModeBaseAttr(KXD_TEXT, list); }
    int attr_GetAudioBaseAttr(CkxAttrList& list) const { return attr_GetModeBaseAttr(KXD_AUDIO, list); }
    int attr_GetVideoBaseAttr(CkxAttrList& list) const { return attr_GetModeBaseAttr(KXD_VIDEO, list); }
    int attr_GetBinaryBaseAttr(CkxAttrList& list) const { return attr_GetModeBaseAttr(KXD_BINARY, list); }
    // Kinds 1 binary, 2 text, 3 image, 4 video, 5 audio; any other kind an empty list.
    int attr_GetModeBaseAttr(int kind, CkxAttrList& list) const;
    // The base attributes of the family's data kind (an empty list for an unknown family).
    int attr_GetFamilyBaseAttr(int id, CkxAttrList& list) const;

    // The definitions whose family id is id (0 when the family does not exist): copies, or
    // the definitions themselves. Every attribute query below clears its list first.
    int attr_GetFamilyLocalAttr(int id, CkxAttrList& list) const;
    int attr_GetFamilyLocalAttr(int id, CkxAttrPtrs& out) const;
    // For each ancestor of family_GetAllParent (parent first, up to the root), its local
    // definitions; the Ex forms keep the extended ones only.
    int attr_GetFamilyInheritAttr(int id, CkxAttrList& list) const;
    int attr_GetFamilyInheritExAttr(int id, CkxAttrList& list) const;
    int attr_GetFamilyInheritExAttr(int id, CkxAttrPtrs& out) const;
    // The same over the whole ancestry (t_FindAncestry without the family itself).
    int attr_GetAllInheritAttr(int id, CkxAttrPtrs& out) const;
    int attr_GetAllInheritExAttr(int id, CkxAttrPtrs& out) const;
    // Inherited definitions followed by the family's own; the Ex forms extended ones only.
    int attr_GetFamilyAllAttr(int id, CkxAttrList& list) const;
    int attr_GetFamilyAllExAttr(int id, CkxAttrList& list) const;
    int attr_GetFamilyAllExAttr(int id, CkxAttrPtrs& out) const;
    // The image base attributes whose edit way is not 0, and one empty value for each.
    int attr_GetImageEditBaseAttr(CkxAttrList& list) const;
    int attr_GetImageEditBaseAttrValue(CkxAttrValueList& values) const;

    // ---- empty value lists for a family (cleared first; object id 0) ----
    int GetFamilyAllAttrValue(int id, CkxAttrValueList& values) const {
        return FamilyValues(id, false, false, values);
    }
    int GetFamilyAllAttrValueEnableEdit(int id, CkxAttrValueList& values) const {
        return FamilyValues(id, false, true, values);
    }
    int GetFamilyAllExAttrValue(int id, CkxAttrValueList& values) const {
        return FamilyValues(id, true, false, values);
    }
    int GetFamilyAllExAttrValueEnableEdit(int id, CkxAttrValueList& values) const {
        return FamilyValues(id, true, true, values);
    }

private:
    void InitBaseFamily();
    bool IsKind(int id, int kind) const;
    CkxFamily* BaseOfKind(int kind) const;
    // Appends the local definitions of each family in turn (extended ones only when exOnly).
    void AppendLocal(const std::vector<int>& familyIDs, bool exOnly, CkxAttrPtrs& out) const;
    void InheritPtrs(int id, bool exOnly, CkxAttrPtrs& out) const;
    void AllInheritPtrs(int id, bool exOnly, CkxAttrPtrs& out) const;
    void AllPtrs(int id, bool exOnly, CkxAttrPtrs& out) const;
    CkxAttrPtrs ImageEditBase() const;
    static int CopyInto(const CkxAttrPtrs& attrs, CkxAttrList& list);
    // One empty value (object id 0) per definition of attr_GetFamilyAll(Ex)Attr.
    int FamilyValues(int id, bool exOnly, bool editableOnly, CkxAttrValueList& values) const;
    static int EmptyValues(const CkxAttrPtrs& attrs, bool editableOnly, int objID, CkxAttrValueList& values);

    CkxAttrList m_attrs;
};
