#include "table/TempletTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxQueryTemplet.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kQuery = "VUZO_QueryTemplet";
constexpr const char* kFile = "VUZO_FileTemplet";

CADOColumnList QueryColumns(const CkxQueryTemplet& t, const void* bytes, int len) {
    CADOColumnList c;
    c.AddColumn("T_Name", t.m_strName);
    c.AddColumn("T_DataMode", t.m_nDataMode);
    c.AddColumn("T_CreatorID", t.m_nCreatorID);
    c.AddColumn("T_CreateTime", t.m_dtCreate);
    c.AddBinary("T_OperandValue", bytes, len);
    c.AddColumn("T_Remark", t.m_strRemark);
    return c;
}

CADOColumnList FileColumns(const CkxObjAttrTemplet& t, const void* bytes, int len) {
    CADOColumnList c;
    c.AddColumn("T_Name", t.m_strName);
    c.AddColumn("T_DataMode", t.m_nDataMode);
    c.AddColumn("T_FamilyID", t.m_nFamilyID);
    c.AddColumn("T_CreatorID", t.m_nCreatorID);
    c.AddBinary("T_AttrValue", bytes, len);
    c.AddColumn("T_Remark", t.m_strRemark);
    return c;
}

CkxQueryTemplet ReadQueryTemplet(const CADORecordset& rs) {
    CkxQueryTemplet t;
    t.m_nID = rs.Long("T_ID");
    t.m_strName = rs.Text("T_Name");
    t.m_nDataMode = rs.Long("T_DataMode");
    t.m_nCreatorID = rs.Long("T_CreatorID");
    t.m_dtCreate = rs.Date("T_CreateTime");
    t.m_strRemark = rs.Text("T_Remark");
    const CkxBuf buf = rs.Bytes("T_OperandValue");
    if (buf.GetLen() > 0) t.PasyQueryBuf(buf);
    return t;
}

CkxObjAttrTemplet ReadFileTemplet(const CADORecordset& rs) {
    CkxObjAttrTemplet t;
    t.m_nID = rs.Long("T_ID");
    t.m_strName = rs.Text("T_Name");
    t.m_nDataMode = rs.Long("T_DataMode");
    t.m_nFamilyID = rs.Long("T_FamilyID");
    t.m_nCreatorID = rs.Long("T_CreatorID");
    t.m_strRemark = rs.Text("T_Remark");
    const CkxBuf buf = rs.Bytes("T_AttrValue");
    if (buf.GetLen() > 0) t.PasyBuf(buf);
    return t;
}

CADOFieldList WhereOwned(int id, int ownerId) {
    CADOFieldList where = kx::WhereId(id);
    where.AddInt(" T_CreatorID = ", ownerId);
    return where;
}

} // namespace

namespace QueryTempletTable {

int Insert(CADODatabase& db, CkxQueryTemplet& templet, const void* bytes, int len) {
    if (len < 0) return 0;
    templet.m_dtCreate = COleDateTime::GetCurrentTime();
    return kx::StoreNewId(templet, db.InsertRecord(kQuery, QueryColumns(templet, bytes, len)));
}

int Update(CADODatabase& db, const CkxQueryTemplet& templet, const void* bytes, int len) {
    if (len < 0) return 0;
    return db.UpdateRecord(kQuery, WhereOwned(templet.m_nID, templet.m_nCreatorID),
                           QueryColumns(templet, bytes, len));
}

int Delete(CADODatabase& db, int id, int ownerId) {
    return db.Execute(" DELETE FROM VUZO_QueryTemplet" + CADODatabase::BuildWhere(WhereOwned(id, ownerId)) + " ");
}

int LoadOfCreator(CADODatabase& db, int creatorId, CkxQueryTempletList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_QueryTemplet WHERE T_CreatorID = " + kx::SqlNumber(creatorId) + " ",
                        list, ReadQueryTemplet);
}

} // namespace QueryTempletTable

namespace FileTempletTable {

int Insert(CADODatabase& db, CkxObjAttrTemplet& templet, const void* bytes, int len) {
    if (len < 0) return 0;
    return kx::StoreNewId(templet, db.InsertRecord(kFile, FileColumns(templet, bytes, len)));
}

int Update(CADODatabase& db, const CkxObjAttrTemplet& templet, const void* bytes, int len) {
    if (len < 0) return 0;
    return db.UpdateRecord(kFile, kx::WhereId(templet.m_nID), FileColumns(templet, bytes, len));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kFile, id); }

int LoadAll(CADODatabase& db, CkxObjAttrTempletList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FileTemplet ", list, ReadFileTemplet);
}

} // namespace FileTempletTable
