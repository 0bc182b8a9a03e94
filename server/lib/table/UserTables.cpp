#include "table/UserTables.h"

#include "db/AdoDatabase.h"
#include "data/CatalogueLoaders.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserRole.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kUser = "VUZO_User";
constexpr const char* kGroup = "VUZO_UserGroup";
constexpr const char* kRole = "VUZO_UserRole";

CADOFieldList UserFields(const CkxUser& u) {
    CADOFieldList f;
    f.AddText("T_Logon", u.m_strLogon);
    f.AddText("T_User", u.m_strUser);
    f.AddText("T_Password", u.m_strPassword);
    f.AddInt("T_State", u.m_nState);
    f.AddInt("T_Role", u.m_nRoleID);
    f.AddText("T_Dept", u.m_strDept);
    f.AddText("T_Job", u.m_strJob);
    f.AddText("T_Tel", u.m_strTel);
    f.AddText("T_Mobile", u.m_strMobile);
    f.AddText("T_EMail", u.m_strEMail);
    f.AddText("T_Remark", u.m_strRemark);
    return f;
}

CADOColumnList GroupColumns(const CkxUserGroup& g, const void* members, int length) {
    CADOColumnList c;
    c.AddColumn("T_Name", g.m_strName);
    c.AddColumn("T_Remark", g.m_strNote);
    c.AddBinary("T_UserList", members, members ? length : 0);
    return c;
}

CADOFieldList RoleFields(const CkxUserRole& r) {
    CADOFieldList f;
    f.AddText("T_Name", r.m_strName);
    f.AddInt("T_IsSystem", r.m_nIsSystem);
    f.AddInt("T_Type", r.m_nType);
    f.AddInt("T_Power", r.m_nPower);
    f.AddText("T_Remark", r.m_strRemark);
    return f;
}

} // namespace

namespace UserTable {

int Insert(CADODatabase& db, CkxUser& user) {
    return kx::StoreNewId(user, db.Insert(kUser, UserFields(user))) ? user.m_nID : 0;
}

int Update(CADODatabase& db, const CkxUser& user) {
    return db.Update(kUser, UserFields(user), kx::WhereId(user.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kUser, id); }

int LoadAll(CADODatabase& db, CkxUserList& list) { return kx::LoadUsers(db, list); }

} // namespace UserTable

namespace UserGroupTable {

int Insert(CADODatabase& db, CkxUserGroup& group, const void* members, int length) {
    if (length < 0) return 0;
    return kx::StoreNewId(group, db.InsertRecord(kGroup, GroupColumns(group, members, length)));
}

int Update(CADODatabase& db, const CkxUserGroup& group, const void* members, int length) {
    if (length < 0) return 0;
    return db.UpdateRecord(kGroup, kx::WhereId(group.m_nID), GroupColumns(group, members, length));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kGroup, id); }

int LoadAll(CADODatabase& db, CkxUserGroupList& list) { return kx::LoadUserGroups(db, list); }

} // namespace UserGroupTable

namespace UserRoleTable {

int Insert(CADODatabase& db, CkxUserRole& role) {
    return kx::StoreNewId(role, db.Insert(kRole, RoleFields(role))) ? role.m_nID : 0;
}

int Update(CADODatabase& db, const CkxUserRole& role) {
    return db.Update(kRole, RoleFields(role), kx::WhereId(role.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kRole, id); }

int LoadAll(CADODatabase& db, CkxUserRoleList& list) { return kx::LoadUserRoles(db, list); }

} // namespace UserRoleTable
