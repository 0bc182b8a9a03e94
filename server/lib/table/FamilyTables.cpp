#include "table/FamilyTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxAttr.h"
#include "model/CkxFamily.h"
#include "model/CkxFamilyXXX.h"
#include "table/TableOps.h"

#include <set>

namespace {

constexpr const char* kFamily = "VUZO_Family";
constexpr const char* kAttr = "VUZO_FamilyAttr";

CADOFieldList FamilyFields(const CkxFamily& f) {
    CADOFieldList fields;
    fields.AddText("T_Name", f.m_strName);
    fields.AddInt("T_Lev", f.m_nLevel);
    fields.AddInt("T_ParentID", f.m_nParentID);
    fields.AddInt("T_DataFormat", f.GetDataKind());
    fields.AddInt("T_DataState", f.GetDataState());
    fields.AddInt("T_CreatorID", f.m_nCreatorID);
    fields.AddDate("T_CreateTime", f.m_dtCreate);
    fields.AddText("T_Remark", f.m_strNote);
    return fields;
}

// On update a definition without constants stores NULL, so removing the last constant lasts.
CADOColumnList AttrColumns(const CkxAttr& a, bool forUpdate) {
    CADOColumnList c;
    c.AddColumn("T_Name", a.m_strName);
    c.AddColumn("T_FamilyID", a.m_nFamilyID);
    c.AddColumn("T_DataFormat", a.GetDataKind());
    c.AddColumn("T_DataType", static_cast<int>(a.m_nDataType));
    c.AddColumn("T_EditWay", static_cast<int>(a.m_nEditWay));
    c.AddColumn("T_Remark", a.m_strNote);
    CkxBuf consts;
    if (a.BuildBuf(consts) && consts.GetLen() > 0)
        c.AddBinary("T_Constant", consts.GetBuf(), consts.GetLen());
    else if (forUpdate)
        c.AddColumn("T_Constant");
    return c;
}

} // namespace

namespace FamilyTable {

int Insert(CADODatabase& db, CkxFamily& family) {
    family.m_dtCreate = COleDateTime::GetCurrentTime();
    return kx::StoreNewId(family, db.Insert(kFamily, FamilyFields(family)));
}

int Update(CADODatabase& db, const CkxFamily& family) {
    return db.Update(kFamily, FamilyFields(family), kx::WhereId(family.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kFamily, id); }

int DeleteTree(CADODatabase& db, const std::vector<int>& ids) {
    CADOTransaction tx(db);
    if (!tx.IsActive()) return 0;
    for (int id : ids)
        if (!Delete(db, id) || !FamilyAttrTable::DeleteOfFamily(db, id)) return 0;
    return tx.Commit();
}

int LoadAll(CADODatabase& db, CkxFamilyXXX& registry) {
    std::vector<CkxFamily> families;
    const int rows = kx::EachRow(db, " SELECT * FROM VUZO_Family ORDER BY T_Lev,T_ID ", [&](const CADORecordset& rs) {
        CkxFamily f;
        f.m_nID = rs.Long("T_ID");
        f.m_strName = rs.Text("T_Name");
        f.m_nLevel = rs.Long("T_Lev");
        f.m_nParentID = rs.Long("T_ParentID");
        f.SetDataKind(rs.Long("T_DataFormat"));
        f.SetDataState(rs.Long("T_DataState"));
        f.m_nCreatorID = rs.Long("T_CreatorID");
        f.m_dtCreate = rs.Date("T_CreateTime");
        f.m_strNote = rs.Text("T_Remark");
        families.push_back(std::move(f));
    });
    if (rows < 0) return -1;
    // Drop what an earlier load put there; the built-in root families stay.
    std::vector<int> stale;
    for (POSITION p = registry.family_GetHeadPosition(); p;) {
        const CkxFamily* f = registry.family_GetNext(p);
        if (!CkxFamily::IsRootID(f->m_nID)) stale.push_back(f->m_nID);
    }
    for (int id : stale)
        if (registry.family_Find(id)) registry.family_Delete(id);
    int added = 0;
    for (const CkxFamily& f : families) {
        // A stored row never replaces a built-in root; a row naming itself as its own ancestor
        // is refused by the tree.
        if (CkxFamily::IsRootID(f.m_nID) || registry.family_Find(f.m_nID)) continue;
        added += registry.family_AddTail(f);
    }
    return added;
}

} // namespace FamilyTable

namespace FamilyAttrTable {

int NumberNewConstants(CADODatabase& db, CkxAttr& attr) {
    const std::vector<CkxConst*> consts = attr.m_Consts.Select([](const CkxConst&) { return true; });
    std::set<int> used;
    bool anyNew = false;
    for (const CkxConst* c : consts) {
        if (c->m_nID == -1)
            anyNew = true;
        else
            used.insert(c->m_nID);
    }
    if (!anyNew) return 1;
    int next = db.GetNewID(kAttr);
    if (next < 0) return 0;
    for (CkxConst* c : consts) {
        if (c->m_nID != -1) continue;
        while (used.count(next)) ++next;
        c->m_nID = next;
        used.insert(next++);
    }
    return 1;
}

int Insert(CADODatabase& db, CkxAttr& attr) {
    if (!NumberNewConstants(db, attr)) return 0;
    return kx::StoreNewId(attr, db.InsertRecord(kAttr, AttrColumns(attr, false)));
}

int Update(CADODatabase& db, CkxAttr& attr) {
    if (!NumberNewConstants(db, attr)) return 0;
    return db.UpdateRecord(kAttr, kx::WhereId(attr.m_nID), AttrColumns(attr, true));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kAttr, id); }

int DeleteOfFamily(CADODatabase& db, int familyId) {
    return db.Execute(" DELETE FROM VUZO_FamilyAttr WHERE T_FamilyID = " + kx::SqlNumber(familyId) + " ");
}

int LoadAll(CADODatabase& db, CkxAttrList& list) {
    CADORecordset rs;
    if (!db.Query(" SELECT * FROM VUZO_FamilyAttr ", rs)) return -1;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CkxAttr a;
        int32_t v = 0;
        rs.GetLong("T_ID", a.m_nID);
        rs.GetString("T_Name", a.m_strName);
        rs.GetLong("T_FamilyID", a.m_nFamilyID);
        if (rs.GetLong("T_DataFormat", v)) a.SetDataKind(v);
        if (rs.GetLong("T_DataType", v)) a.m_nDataType = static_cast<uint8_t>(v);
        if (rs.GetLong("T_EditWay", v)) a.m_nEditWay = static_cast<uint8_t>(v);
        rs.GetString("T_Remark", a.m_strNote);
        CkxBuf consts;
        if (rs.ReadBinary("T_Constant", consts) && consts.GetLen() > 0)
            a.PasyBuf(consts.GetBuf(), consts.GetLen());
        list.AddTail(a);
    }
    return list.GetCount();
}

} // namespace FamilyAttrTable
