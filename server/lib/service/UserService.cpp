#include "service/UserService.h"

#include "model/CkxXXX.h"
#include "table/UserTables.h"

#include <cstring>

namespace kx {

void HideOthersPassword(int recipientUserId, CkxUser::_COM& com) {
    if (com.nID == recipientUserId && recipientUserId > 0) return;
    if (KX_KXXXX().usHasPower_UserAdmin(recipientUserId)) return;
    std::memset(com.szPassword, 0, sizeof com.szPassword);
}

KxEntitySpec<CkxUser> MakeUserSpec() {
    KxEntitySpec<CkxUser> spec;
    spec.type = kMsgUser;
    spec.logCategory = KXLOG_CAT_USERADMIN;
    spec.noun = "user";
    UseMemoryList(spec, [] () -> CkxUserList& { return KX_KXXXX().m_UserList; });
    // The online flag is the server's own knowledge of its sessions: a new account is offline
    // and a changed one keeps the flag it had, whatever the workstation's copy says.
    spec.memoryUpdate = [](const CkxUser& rec) {
        CkxUserList& users = KX_KXXXX().m_UserList;
        CkxUser changed = rec;
        if (const CkxUser* old = users.Find(rec.m_nID)) changed.m_nOnline = old->m_nOnline;
        users.Update(changed);
    };
    spec.insert = [](CADODatabase& db, CkxUser& rec) {
        rec.m_nOnline = 0;
        return UserTable::Insert(db, rec) > 0 ? 1 : 0;
    };
    spec.update = [](CADODatabase& db, const CkxUser& rec) { return UserTable::Update(db, rec); };
    spec.remove = [](CADODatabase& db, int id) { return UserTable::Delete(db, id); };
    // Changing or removing an account or a role is a warning; adding one is not.
    spec.logAsWarning = [](int subOp) { return subOp != kSubAdd; };
    spec.logAction = [](int subOp, const CkxUser& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加用户<" + rec.m_strLogon + ">";
        case kSubModify: return "修改用户<" + rec.m_strLogon + ">";
        case kSubDelete: return "删除用户";
        default: return {};
        }
    };
    spec.tailor = [](const CClientSession& to, CkxUser::_COM& com) { HideOthersPassword(to.GetUserID(), com); };
    return spec;
}

} // namespace kx
