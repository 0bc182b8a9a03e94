#include "table/UserTables.h"

#include "db/AdoDatabase.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserRole.h"
#include "db/AdoRecordset.h"
#include "log/ServerLog.h"
#include "table/TableOps.h"

#include <optional>

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

int LoadAll(CADODatabase& db, CkxUserList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_User ", list, [](const CADORecordset& rs) -> std::optional<CkxUser> {
        CkxUser u;
        u.m_nID = rs.Long("T_ID");
        // The role travels in one byte: a stored role outside 0-255 would name another role
        // with other powers, so such an account is not loaded (it cannot log on).
        if (!u.SetRoleID(rs.Long("T_Role"))) {
            kx::ServerWarning("user %d has role %d, which no account can carry; not loaded", u.m_nID,
                          rs.Long("T_Role"));
            return std::nullopt;
        }
        u.m_strLogon = rs.Text("T_Logon");
        u.m_strUser = rs.Text("T_User");
        u.m_strPassword = rs.Text("T_Password");
        u.m_nState = static_cast<uint8_t>(rs.Long("T_State"));
        u.m_strDept = rs.Text("T_Dept");
        u.m_strJob = rs.Text("T_Job");
        u.m_strTel = rs.Text("T_Tel");
        u.m_strMobile = rs.Text("T_Mobile");
        u.m_strEMail = rs.Text("T_EMail");
        u.m_strRemark = rs.Text("T_Remark");
        return u;
    });
}

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

int LoadAll(CADODatabase& db, CkxUserGroupList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_UserGroup ", list, [](const CADORecordset& rs) {
        CkxUserGroup g;
        g.m_nID = rs.Long("T_ID");
        g.m_strName = rs.Text("T_Name");
        g.m_strNote = rs.Text("T_Remark");
        const CkxBuf members = rs.Bytes("T_UserList");
        if (members.GetLen() > 0) g.PasyQueryBuf(members.GetBuf(), members.GetLen());
        return g;
    });
}

} // namespace UserGroupTable

namespace UserRoleTable {

int Insert(CADODatabase& db, CkxUserRole& role) {
    return kx::StoreNewId(role, db.Insert(kRole, RoleFields(role))) ? role.m_nID : 0;
}

int Update(CADODatabase& db, const CkxUserRole& role) {
    return db.Update(kRole, RoleFields(role), kx::WhereId(role.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kRole, id); }

int LoadAll(CADODatabase& db, CkxUserRoleList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_UserRole ", list, [](const CADORecordset& rs) {
        CkxUserRole r;
        r.m_nID = rs.Long("T_ID");
        r.m_strName = rs.Text("T_Name");
        r.m_nIsSystem = rs.Long("T_IsSystem");
        r.m_nType = static_cast<uint8_t>(rs.Long("T_Type"));
        r.m_nPower = rs.Long("T_Power");
        r.m_strRemark = rs.Text("T_Remark");
        return r;
    });
}

} // namespace UserRoleTable
