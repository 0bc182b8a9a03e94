#include "model/CkxFamilyXXX.h"

#include "model/CkxFileBaseAttr.h"

CkxFamilyXXX::CkxFamilyXXX() : CkxFamilyTree(true) { InitBaseFamily(); }

void CkxFamilyXXX::InitBaseFamily() {
    CkxFamily root;
    root.m_nID = KXF_ROOT_IMAGE;
    root.SetImage();
    root.m_nValueA = 5;
    root.m_nLevel = 0;
    root.m_strName = "图像根族";
    t_AddTail(root);

    CkxAttrList base;
    kx::AppendFileBaseAttrs(base);
    base.ForEach([&](const CkxAttr& a) {
        CkxAttr copy(a);
        copy.SetAttrType_Base();
        m_attrs.AddTail(copy);
    });
}

// ---- families ----

std::string CkxFamilyXXX::family_GetName(int id) const {
    switch (id) {
    case KXF_ROOT_IMAGE: return "图像根族";
    case KXF_ROOT_TEXT: return "文本根族";
    case KXF_ROOT_AUDIO: return "音频根族";
    case KXF_ROOT_VIDEO: return "视频根族";
    case KXF_ROOT_BINARY: return "二进制根族";
    case KXF_ROOT_OTHER: return "";
    default: break;
    }
    const CkxFamily* f = t_Find(id);
    return f ? f->m_strName : "普通文件";
}

bool CkxFamilyXXX::IsKind(int id, int kind) const {
    const CkxFamily* f = t_Find(id);
    return f && f->GetDataKind() == kind;
}

int CkxFamilyXXX::family_GetBaseFamily(CkxFamilyPtrs& out) const {
    out.clear();
    for (POSITION p = t_GetHeadPosition(); p;) {
        CkxFamily* f = t_GetNext(p);
        if (f->IsRoot()) out.push_back(f);
    }
    return static_cast<int>(out.size());
}

CkxFamily* CkxFamilyXXX::BaseOfKind(int kind) const {
    for (POSITION p = t_GetHeadPosition(); p;) {
        CkxFamily* f = t_GetNext(p);
        if (f->IsRoot() && f->GetDataKind() == kind) return f;
    }
    return nullptr;
}

int CkxFamilyXXX::family_GetChild(int id, CkxFamilyPtrs& out) const {
    for (POSITION p = t_GetHeadPosition(); p;) {
        CkxFamily* f = t_GetNext(p);
        if (f->m_nParentID == id) out.push_back(f);
    }
    return static_cast<int>(out.size());
}

int CkxFamilyXXX::family_GetOffspring(int id, CkxFamilyPtrs& out) const {
    CkxFamilyPtrs tree;
    if (t_FindTree(id, tree) > 0) out.insert(out.end(), tree.begin() + 1, tree.end());
    return static_cast<int>(out.size());
}

bool CkxFamilyXXX::family_IsHasChild(int id) const {
    const CkxFamily* f = t_Find(id);
    return f && f->m_pChild;
}

int CkxFamilyXXX::family_IsParentChange(const CkxFamily& f) const {
    const CkxFamily* held = t_Find(f.m_nID);
    return held && held->m_nParentID != f.m_nParentID ? 1 : 0;
}

int CkxFamilyXXX::family_CanUseName(int id, const std::string& name) const {
    for (POSITION p = t_GetHeadPosition(); p;) {
        const CkxFamily* f = t_GetNext(p);
        if (f->m_strName == name) return f->m_nID == id ? 1 : 0;
    }
    return 1;
}

// ---- attribute definitions ----

int CkxFamilyXXX::attr_GetDateType(int id) const {
    const CkxAttr* a = m_attrs.Find(id);
    return a ? a->m_nDataType : 0;
}

int CkxFamilyXXX::CopyInto(const CkxAttrPtrs& attrs, CkxAttrList& list) {
    list.DeleteAll();
    return list.AddCopies(attrs);
}

int CkxFamilyXXX::attr_GetModeBaseAttr(int kind, CkxAttrList& list) const {
    CkxAttrPtrs base;
    if (kind >= KXD_BINARY && kind <= KXD_AUDIO)
        base = m_attrs.Select([&](const CkxAttr& a) { return a.IsBaseAttr() && a.GetDataKind() == kind; });
    return CopyInto(base, list);
}

int CkxFamilyXXX::attr_GetFamilyBaseAttr(int id, CkxAttrList& list) const {
    const CkxFamily* f = t_Find(id);
    return attr_GetModeBaseAttr(f ? f->GetDataKind() : -1, list);
}

void CkxFamilyXXX::AppendLocal(const std::vector<int>& familyIDs, bool exOnly, CkxAttrPtrs& out) const {
    for (int fid : familyIDs) {
        CkxAttrPtrs local;
        m_attrs.FindFamilyAttr(fid, local);
        for (CkxAttr* a : local)
            if (!exOnly || a->IsExAttr()) out.push_back(a);
    }
}

int CkxFamilyXXX::attr_GetFamilyLocalAttr(int id, CkxAttrPtrs& out) const {
    out.clear();
    if (t_Find(id)) AppendLocal({id}, false, out);
    return static_cast<int>(out.size());
}

int CkxFamilyXXX::attr_GetFamilyLocalAttr(int id, CkxAttrList& list) const {
    CkxAttrPtrs local;
    attr_GetFamilyLocalAttr(id, local);
    return CopyInto(local, list);
}

void CkxFamilyXXX::InheritPtrs(int id, bool exOnly, CkxAttrPtrs& out) const {
    std::vector<int> parents;
    family_GetAllParent(id, parents);
    AppendLocal(parents, exOnly, out);
}

void CkxFamilyXXX::AllInheritPtrs(int id, bool exOnly, CkxAttrPtrs& out) const {
    CkxFamilyPtrs ancestry;
    t_FindAncestry(id, ancestry, false);
    std::vector<int> ids;
    for (const CkxFamily* f : ancestry) ids.push_back(f->m_nID);
    AppendLocal(ids, exOnly, out);
}

void CkxFamilyXXX::AllPtrs(int id, bool exOnly, CkxAttrPtrs& out) const {
    InheritPtrs(id, exOnly, out);
    if (t_Find(id)) AppendLocal({id}, exOnly, out);
}

int CkxFamilyXXX::attr_GetFamilyInheritAttr(int id, CkxAttrList& list) const {
    CkxAttrPtrs attrs;
    InheritPtrs(id, false, attrs);
    return CopyInto(attrs, list);
}

int CkxFamilyXXX::attr_GetFamilyInheritExAttr(int id, CkxAttrList& list) const {
    CkxAttrPtrs attrs;
    InheritPtrs(id, true, attrs);
    return CopyInto(attrs, list);
}

int CkxFamilyXXX::attr_GetFamilyInheritExAttr(int id, CkxAttrPtrs& out) const {
    out.clear();
    InheritPtrs(id, true, out);
    return static_cast<int>(out.size());
}

int CkxFamilyXXX::attr_GetAllInheritAttr(int id, CkxAttrPtrs& out) const {
    out.clear();
    AllInheritPtrs(id, false, out);
    return static_cast<int>(out.size());
}

int CkxFamilyXXX::attr_GetAllInheritExAttr(int id, CkxAttrPtrs& out) const {
    out.clear();
    AllInheritPtrs(id, true, out);
    return static_cast<int>(out.size());
}

int CkxFamilyXXX::attr_GetFamilyAllAttr(int id, CkxAttrList& list) const {
    CkxAttrPtrs attrs;
    AllPtrs(id, false, attrs);
    return CopyInto(attrs, list);
}

int CkxFamilyXXX::attr_GetFamilyAllExAttr(int id, CkxAttrList& list) const {
    CkxAttrPtrs attrs;
    AllPtrs(id, true, attrs);
    return CopyInto(attrs, list);
}

int CkxFamilyXXX::attr_GetFamilyAllExAttr(int id, CkxAttrPtrs& out) const {
    out.clear();
    AllPtrs(id, true, out);
    return static_cast<int>(out.size());
}

CkxAttrPtrs CkxFamilyXXX::ImageEditBase() const {
    return m_attrs.Select([](const CkxAttr& a) { return a.IsBaseAttr() && a.IsImage() && a.IsEnableEdit(); });
}

int CkxFamilyXXX::attr_GetImageEditBaseAttr(CkxAttrList& list) const { return CopyInto(ImageEditBase(), list); }

int CkxFamilyXXX::attr_GetImageEditBaseAttrValue(CkxAttrValueList& values) const {
    return EmptyValues(ImageEditBase(), false, -1, values);
}

// ---- empty value lists ----

int CkxFamilyXXX::EmptyValues(const CkxAttrPtrs& attrs, bool editableOnly, int objID,
                              CkxAttrValueList& values) {
    values.DeleteAll();
    for (const CkxAttr* a : attrs)
        if (!editableOnly || a->IsEnableEdit()) values.AddTail(CkxAttrValue(objID, a->m_nID));
    return values.GetCount();
}

int CkxFamilyXXX::FamilyValues(int id, bool exOnly, bool editableOnly, CkxAttrValueList& values) const {
    CkxAttrPtrs attrs;
    AllPtrs(id, exOnly, attrs);
    return EmptyValues(attrs, editableOnly, 0, values);
}
