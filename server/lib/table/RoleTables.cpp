#include "table/RoleTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kFileRole = "VUZO_FileRole";
constexpr const char* kFolderRole = "VUZO_FolderRole";

template <class Role>
CADOFieldList Fields(const Role& r) {
    CADOFieldList f;
    f.AddText("T_Name", r.m_strName);
    f.AddInt("T_IsSystem", r.m_nIsSystem);
    f.AddInt("T_Power", r.m_nPower);
    f.AddText("T_Remark", r.m_strRemark);
    return f;
}

template <class Role>
Role ReadRole(const CADORecordset& rs) {
    Role r;
    r.m_nID = rs.Long("T_ID");
    r.m_strName = rs.Text("T_Name");
    r.m_nIsSystem = rs.Long("T_IsSystem");
    r.m_nPower = rs.Long("T_Power");
    r.m_strRemark = rs.Text("T_Remark");
    return r;
}

template <class Role>
int InsertRole(CADODatabase& db, const char* table, Role& role) {
    return kx::StoreNewId(role, db.Insert(table, Fields(role)));
}

template <class Role>
int UpdateRole(CADODatabase& db, const char* table, const Role& role) {
    return db.Update(table, Fields(role), kx::WhereId(role.m_nID));
}

} // namespace

namespace FileRoleTable {
int Insert(CADODatabase& db, CkxFileRole& role) { return InsertRole(db, kFileRole, role); }
int Update(CADODatabase& db, const CkxFileRole& role) { return UpdateRole(db, kFileRole, role); }
int Delete(CADODatabase& db, int id) { return db.Delete(kFileRole, id); }
int LoadAll(CADODatabase& db, CkxFileRoleList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FileRole ", list, ReadRole<CkxFileRole>);
}
} // namespace FileRoleTable

namespace FolderRoleTable {
int Insert(CADODatabase& db, CkxFolderRole& role) { return InsertRole(db, kFolderRole, role); }
int Update(CADODatabase& db, const CkxFolderRole& role) { return UpdateRole(db, kFolderRole, role); }
int Delete(CADODatabase& db, int id) { return db.Delete(kFolderRole, id); }
int LoadAll(CADODatabase& db, CkxFolderRoleList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FolderRole ", list, ReadRole<CkxFolderRole>);
}
} // namespace FolderRoleTable
