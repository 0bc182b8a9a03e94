#include "service/PowerRoleService.h"

#include "model/CkxXXX.h"
#include "table/RoleTables.h"

namespace kx {
namespace {

// What differs between the two: the type, the list, the table and the word in the log texts.
template <class Role, class GetList, class Insert, class Update, class Delete>
KxEntitySpec<Role> MakePowerRoleSpec(int type, const char* noun, const std::string& word, GetList list,
                                     Insert insert, Update update, Delete remove) {
    KxEntitySpec<Role> spec;
    spec.type = type;
    spec.logCategory = KXLOG_CAT_SYSADMIN;
    spec.noun = noun;
    UseMemoryList(spec, list);
    spec.insert = [insert](CADODatabase& db, Role& rec) { return insert(db, rec); };
    spec.update = [update](CADODatabase& db, const Role& rec) { return update(db, rec); };
    spec.remove = [remove](CADODatabase& db, int id) { return remove(db, id); };
    spec.logAction = [word](int subOp, const Role& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加" + word + "<" + rec.m_strName + ">";
        case kSubModify: return "修改" + word + "<" + rec.m_strName + ">";
        case kSubDelete: return "删除" + word;
        default: return {};
        }
    };
    return spec;
}

} // namespace

KxEntitySpec<CkxFileRole> MakeFileRoleSpec() {
    return MakePowerRoleSpec<CkxFileRole>(
        13, "file role", "文件角色", []() -> CkxFileRoleList& { return KX_KXXXX().m_FileRoleList; },
        FileRoleTable::Insert, FileRoleTable::Update, FileRoleTable::Delete);
}

KxEntitySpec<CkxFolderRole> MakeFolderRoleSpec() {
    return MakePowerRoleSpec<CkxFolderRole>(
        14, "folder role", "目录角色", []() -> CkxFolderRoleList& { return KX_KXXXX().m_FolderRoleList; },
        FolderRoleTable::Insert, FolderRoleTable::Update, FolderRoleTable::Delete);
}

} // namespace kx
