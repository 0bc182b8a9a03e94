#include "service/UserRoleService.h"

#include "model/CkxXXX.h"
#include "table/UserTables.h"

namespace kx {
namespace {

// Stores the role only when its new id can be named by an account; otherwise the insert is
// rolled back and 0 returned.
int InsertNameableRole(CADODatabase& db, CkxUserRole& rec) {
    CADOTransaction tx(db);
    if (!tx.IsActive()) return 0;
    CkxUserRole stored = rec;
    if (UserRoleTable::Insert(db, stored) <= 0) return 0;
    if (!CkxUser::IsRoleIDStorable(stored.m_nID)) {
        ServerWarning("user role <%s> not created: its id %d cannot be named by an account",
                      stored.m_strName.c_str(), stored.m_nID);
        return 0;
    }
    if (!tx.Commit()) return 0;
    rec = stored;
    return 1;
}

} // namespace

KxEntitySpec<CkxUserRole> MakeUserRoleSpec() {
    KxEntitySpec<CkxUserRole> spec;
    spec.type = kMsgUserRole;
    spec.logCategory = KXLOG_CAT_USERADMIN;
    spec.noun = "user role";
    UseMemoryList(spec, [] () -> CkxUserRoleList& { return KX_KXXXX().m_UserRoleList; });
    spec.insert = InsertNameableRole;
    spec.update = [](CADODatabase& db, const CkxUserRole& rec) { return UserRoleTable::Update(db, rec); };
    spec.remove = [](CADODatabase& db, int id) { return UserRoleTable::Delete(db, id); };
    // Changing or removing an account or a role is a warning; adding one is not.
    spec.logAsWarning = [](int subOp) { return subOp != kSubAdd; };
    spec.logAction = [](int subOp, const CkxUserRole& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加用户角色<" + rec.m_strName + ">";
        case kSubModify: return "修改用户角色<" + rec.m_strName + ">";
        case kSubDelete: return "删除用户角色";
        default: return {};
        }
    };
    return spec;
}

} // namespace kx
