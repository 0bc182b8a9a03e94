// Rights evaluation of the context object: what a user may do with a folder or a file, read
// from the folder tree, the accounts, roles and groups, and the rights sets. Nothing here
// changes the lists. Folder look-ups go through the tree's id index, and every walk up the tree
// is bounded by the folder count, so stored data with a parent cycle never hangs a check.
#include "model/CkxXXX.h"

#include <algorithm>

namespace {

bool HasBit(uint32_t power, uint32_t bit) { return (power & bit) != 0; }

// Nobody (-1) is the creator of anything, even of what names no creator.
bool IsCreator(int creatorId, int userId) { return userId != -1 && creatorId == userId; }
bool Owns(const CkxFSNode& n, int userId) { return IsCreator(n.m_nCreatorID, userId); }

// Whether a user entry of the list names the user (a group entry with the same number is
// another grantee and does not count).
bool NamesUser(const CkxUserXList& list, int userId) {
    for (POSITION p = list.GetHeadPosition(); p;) {
        const CkxUserX* x = list.GetNext(p);
        if (x->IsUser() && x->GetID() == userId) return true;
    }
    return false;
}

} // namespace

int CkxXXX::ugIsGroupValid(const std::vector<int>& groups, int groupId) {
    return std::find(groups.begin(), groups.end(), groupId) != groups.end() ? 1 : 0;
}

CkxPowerValue CkxXXX::Evaluate(const CkxPower& first, int firstParentId, int userId) const {
    std::vector<int> userGroups;
    bool groupsKnown = false;
    std::vector<int> granted;

    const CkxPower* rights = &first;
    int parentId = firstParentId;
    int inherited = 0; // set once the walk has left the item itself
    size_t guard = static_cast<size_t>(m_FSTree.GetCount()) + 1;
    for (;;) {
        // 1. A grant to the user wins outright, whatever groups say.
        uint32_t userPower = rights->m_LicenceList.GetUserPower(userId);
        if (userPower != KX_NO_POWER) return CkxPowerValue(userPower, inherited);

        // 2. Grants to the user's groups, combined in grant order.
        rights->m_LicenceList.GetAllGroup(granted);
        if (!granted.empty()) {
            if (!groupsKnown) {
                ugGetGroupIncludeUser(userId, userGroups);
                groupsKnown = true;
            }
            bool matched = false;
            uint32_t combined = 0;
            for (int g : granted) {
                if (!ugIsGroupValid(userGroups, g)) continue;
                uint32_t p = rights->m_LicenceList.GetGroupPower(g);
                combined = (matched && combined != 0) ? (combined & p) : p;
                matched = true;
            }
            if (matched) return CkxPowerValue(combined, inherited);
        }

        // 4. No inheritance: the default power for everybody.
        if (!rights->IsInherit()) return CkxPowerValue(rights->m_nEveryonePower, inherited);

        // 3. Inheritance: the root gives its default; an unknown parent gives nothing.
        if (parentId == -1) return CkxPowerValue(CkxPower::GetRootDirEveryonePower(), 1);
        const CkxFSNode* parent = fsFind(parentId);
        if (!parent || guard-- == 0) return CkxPowerValue(0, inherited);
        rights = &parent->m_Power;
        parentId = parent->GetParentID();
        inherited = 1;
    }
}

CkxPowerValue CkxXXX::licCheckPower(const CkxPowerEx& rights, int userId) const {
    return Evaluate(rights, rights.m_nParentID, userId);
}

uint32_t CkxXXX::licCheckDirPower(int folderId, int userId) const {
    const CkxFSNode* n = fsFind(folderId);
    if (!n) return 0;
    return Evaluate(n->m_Power, n->GetParentID(), userId).m_nPower;
}

int CkxXXX::fsGetDirPower(int folderId, CkxPowerEx& out) const {
    const CkxFSNode* n = fsFind(folderId);
    size_t guard = static_cast<size_t>(m_FSTree.GetCount()) + 1;
    while (n && guard--) {
        if (!n->m_Power.IsInherit()) {
            out = n->GetPower();
            return 1;
        }
        if (n->IsRootChild()) {
            out.m_nInherit = 1;
            out.m_nEveryonePower = CkxPower::GetRootDirEveryonePower();
            out.m_LicenceList.DeleteAll();
            return 1;
        }
        n = fsFind(n->GetParentID());
    }
    return 0;
}

int CkxXXX::RoleTest(int userId, RoleFn test) const {
    const CkxUser* u = m_UserList.Find(userId);
    if (!u) return 0;
    const CkxUserRole* r = m_UserRoleList.Find(u->GetRoleID());
    return r ? test(r->m_nPower) : 0;
}

int CkxXXX::usCheckInclude(const CkxUserXList& list, int userId) const {
    if (NamesUser(list, userId)) return 1;
    for (POSITION p = list.GetHeadPosition(); p;) {
        const CkxUserX* x = list.GetNext(p);
        if (!x->IsGroup()) continue;
        const CkxUserGroup* g = m_UserGroupList.Find(x->GetID());
        if (g && g->CheckIncludeUser(userId)) return 1;
    }
    return 0;
}

// ---- Folder tests ----

int CkxXXX::DirBitTest(int userId, int folderId, uint32_t bit, RoleFn role) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    if (folderId == -1) return HasBit(CkxPower::GetRootDirEveryonePower(), bit) ? 1 : 0;
    if (role && !RoleTest(userId, role)) return 0;
    const CkxFSNode* n = fsFind(folderId);
    if (!n) return 0;
    if (Owns(*n, userId)) return 1;
    return HasBit(licCheckDirPower(folderId, userId), bit) ? 1 : 0;
}

int CkxXXX::fsUserCan_Dir_FullCtrl(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_DIR_FULLCTRL, &CkxUserRole::IsHasPower_DirOperate);
}
int CkxXXX::fsUserCan_Dir_Operate(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_DIR_OPERATE, &CkxUserRole::IsHasPower_DirOperate);
}
int CkxXXX::fsUserCan_Dir_CreateSubDir(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_DIR_CREATESUBDIR, &CkxUserRole::IsHasPower_DirOperate);
}
// At the root, where no folder record can hold files, creating files is refused like
// fsUserCan_File_Create refuses it, although the root's default power names the bit.
int CkxXXX::fsUserCan_Dir_FileCreate(int userId, int folderId) const {
    if (folderId == -1 && !usHasPower_SystemAdmin(userId)) return 0;
    return DirBitTest(userId, folderId, KXP_DIR_FILECREATE, &CkxUserRole::IsHasPower_FileOperate);
}
int CkxXXX::fsUserCan_Dir_FileFullCtrl(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_FILE_FULLCTRL, &CkxUserRole::IsHasPower_FileOperate);
}
int CkxXXX::fsUserCan_Dir_FileOperate(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_FILE_OPERATE, &CkxUserRole::IsHasPower_FileOperate);
}
int CkxXXX::fsUserCan_Dir_FileOpen(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_FILE_OPEN, nullptr);
}
int CkxXXX::fsUserCan_Dir_FileRead(int userId, int folderId) const {
    return DirBitTest(userId, folderId, KXP_FILE_READ, nullptr);
}

int CkxXXX::fsUserCan_Dir_Open(int userId, int folderId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    if (folderId == -1) return HasBit(CkxPower::GetRootDirEveryonePower(), KXP_DIR_OPEN) ? 1 : 0;
    NodeList chain;
    if (fsFindAncestry(folderId, chain, 1) == 0) return 0;
    for (const CkxFSNode* n : chain)
        if (!Owns(*n, userId) && !HasBit(licCheckDirPower(n->GetID(), userId), KXP_DIR_OPEN)) return 0;
    return 1;
}

int CkxXXX::fsUserCan_Dir_Read(int userId, int folderId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    if (folderId == -1) return HasBit(CkxPower::GetRootDirEveryonePower(), KXP_DIR_READ) ? 1 : 0;
    const CkxFSNode* n = fsFind(folderId);
    if (!n) return 0;
    if (Owns(*n, userId)) return 1;
    if (const CkxFSNode* parent = fsFind(n->GetParentID())) {
        if (fsUserCan_Dir_Open(userId, parent->GetID()) && Owns(*parent, userId)) return 1;
    }
    return HasBit(licCheckDirPower(folderId, userId), KXP_DIR_READ) ? 1 : 0;
}

int CkxXXX::fsUserCan_Dir_CreateDir(int userId) const {
    return usHasPower_SystemAdmin(userId) || usHasPower_DirOperate(userId) ? 1 : 0;
}

// ---- File tests ----

int CkxXXX::FileTest(int userId, int creatorId, const CkxPowerEx& rights, uint32_t bit, RoleFn role,
                     PassFn folderTest) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    if (role && !RoleTest(userId, role)) return 0;
    int folderId = rights.m_nParentID;
    if (!fsUserCan_Dir_Open(userId, folderId)) return 0;
    if (IsCreator(creatorId, userId)) return 1;
    CkxPowerValue v = licCheckFilePower(rights, userId);
    if (v.IsInherit()) return (this->*folderTest)(userId, folderId);
    return HasBit(v.m_nPower, bit) ? 1 : 0;
}

int CkxXXX::fsUserCan_File_Read(int userId, int creatorId, const CkxPowerEx& rights) const {
    return FileTest(userId, creatorId, rights, KXP_FILE_READ, nullptr, &CkxXXX::fsUserCan_Dir_FileRead);
}
int CkxXXX::fsUserCan_File_Edit(int userId, int creatorId, const CkxPowerEx& rights) const {
    return FileTest(userId, creatorId, rights, KXP_FILE_OPERATE, &CkxUserRole::IsHasPower_FileOperate,
                    &CkxXXX::fsUserCan_Dir_FileOperate);
}
int CkxXXX::fsUserCan_File_Load(int userId, int creatorId, const CkxPowerEx& rights) const {
    return FileTest(userId, creatorId, rights, KXP_FILE_OPEN, nullptr, &CkxXXX::fsUserCan_Dir_FileOpen);
}
int CkxXXX::fsUserCan_File_FullCtrl(int userId, int creatorId, const CkxPowerEx& rights) const {
    return FileTest(userId, creatorId, rights, KXP_FILE_FULLCTRL, &CkxUserRole::IsHasPower_FileOperate,
                    &CkxXXX::fsUserCan_Dir_FileFullCtrl);
}

int CkxXXX::fsUserCan_File_Create(int userId, int folderId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    if (!usHasPower_FileOperate(userId) || !fsUserCan_Dir_Open(userId, folderId)) return 0;
    const CkxFSNode* n = fsFind(folderId);
    if (!n) return 0;
    return Owns(*n, userId) || HasBit(licCheckDirPower(folderId, userId), KXP_DIR_FILECREATE) ? 1 : 0;
}

// ---- Folder pickers ----

int CkxXXX::PickDirs(int userId, PassFn test, NodeList& out) const {
    out.clear();
    for (POSITION p = m_FSTree.GetHeadPosition(); p;) {
        CkxFSNode* n = m_FSTree.GetNext(p);
        if (n->IsStateAct() && (this->*test)(userId, n->GetID())) out.push_back(n);
    }
    return static_cast<int>(out.size());
}

int CkxXXX::fsGetDir_CanRead(NodeList& out) const { return PickDirs(m_nCurUserID, &CkxXXX::fsUserCan_Dir_Read, out); }
int CkxXXX::fsGetDir_CanOpen(NodeList& out) const { return PickDirs(m_nCurUserID, &CkxXXX::fsUserCan_Dir_Open, out); }
int CkxXXX::fsGetDir_CanOperate(NodeList& out) const {
    return PickDirs(m_nCurUserID, &CkxXXX::fsUserCan_Dir_Operate, out);
}
int CkxXXX::fsGetDir_CanFullCtrl(NodeList& out) const {
    return PickDirs(m_nCurUserID, &CkxXXX::fsUserCan_Dir_FullCtrl, out);
}

int CkxXXX::fsGetDirTree_CanRead(int folderId, NodeList& out) const {
    out.clear();
    NodeList tree;
    fsFindTree(folderId, tree);
    for (CkxFSNode* n : tree)
        if (n->IsStateAct() && fsUserCan_Dir_Read(m_nCurUserID, n->GetID())) out.push_back(n);
    return static_cast<int>(out.size());
}

int CkxXXX::fsGetDir_CanReadFile(int userId, NodeList& out) const {
    return PickDirs(userId, &CkxXXX::fsUserCan_Dir_FileRead, out);
}
int CkxXXX::fsGetDir_CanOpenFile(int userId, NodeList& out) const {
    return PickDirs(userId, &CkxXXX::fsUserCan_Dir_FileOpen, out);
}
int CkxXXX::fsGetDir_CanOperateFile(int userId, NodeList& out) const {
    return PickDirs(userId, &CkxXXX::fsUserCan_Dir_FileOperate, out);
}
int CkxXXX::fsGetDir_CanFullCtrlFile(int userId, NodeList& out) const {
    return PickDirs(userId, &CkxXXX::fsUserCan_Dir_FileFullCtrl, out);
}
int CkxXXX::fsGetDir_CanCreateFile(int userId, NodeList& out) const {
    return PickDirs(userId, &CkxXXX::fsUserCan_Dir_FileCreate, out);
}

// ---- Projects ----

int CkxXXX::prjCheckProjectUser(int projectId, int userId) const {
    const CkxProject* p = m_ProjectList.Find(projectId);
    return p ? usCheckInclude(p->m_UserList, userId) : 0;
}

int CkxXXX::prjCheckUserCreateProject(int userId, int projectId) const {
    const CkxProject* p = m_ProjectList.Find(projectId);
    return p && IsCreator(p->m_nCreatorID, userId) ? 1 : 0;
}

int CkxXXX::prjUserCanAdminProject(int userId, int projectId) const {
    const CkxProject* p = m_ProjectList.Find(projectId);
    if (!p) return 0;
    return IsCreator(p->m_nCreatorID, userId) || usHasPower_ProjectOperate(userId) ? 1 : 0;
}

int CkxXXX::prjUserCanAddProjectFile(int userId, int projectId) const {
    const CkxProject* p = m_ProjectList.Find(projectId);
    if (!p) return 0;
    return IsCreator(p->m_nCreatorID, userId) || usHasPower_ProjectOperate(userId) ||
                   usCheckInclude(p->m_UserList, userId)
               ? 1
               : 0;
}

// The link is the file's link in this project (a link of the same file in another project
// says nothing about this one).
int CkxXXX::prjUserCanDeleteProjectFile(int userId, int projectId, int fileId) const {
    const CkxProject* p = m_ProjectList.Find(projectId);
    if (!p) return 0;
    if (IsCreator(p->m_nCreatorID, userId) || usHasPower_ProjectOperate(userId)) return 1;
    if (!usCheckInclude(p->m_UserList, userId)) return 0;
    const CkxProjectData* link = m_ProjectDataList.Find(projectId, fileId);
    return link && IsCreator(link->m_nCreatorID, userId) ? 1 : 0;
}

int CkxXXX::fsUserCan_Project_Admin(int userId, int projectId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    const CkxProject* p = m_ProjectList.Find(projectId);
    return p && usHasPower_ProjectOperate(userId) && IsCreator(p->m_nCreatorID, userId) ? 1 : 0;
}

int CkxXXX::fsUserCan_Project_Create(int userId) const {
    return usHasPower_SystemAdmin(userId) || usHasPower_ProjectOperate(userId) ? 1 : 0;
}

int CkxXXX::fsUserCan_Project_DilinkFile(int userId, int projectId, int fileId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    const CkxProject* p = m_ProjectList.Find(projectId);
    if (!p) return 0;
    if (usHasPower_ProjectOperate(userId) && IsCreator(p->m_nCreatorID, userId)) return 1;
    if (!NamesUser(p->m_UserList, userId)) return 0;
    const CkxProjectData* link = m_ProjectDataList.Find(projectId, fileId);
    return link && IsCreator(link->m_nCreatorID, userId) ? 1 : 0;
}

int CkxXXX::fsUserCan_Project_BrowseFile(int userId, int projectId) const {
    if (usHasPower_SystemAdmin(userId)) return 1;
    const CkxProject* p = m_ProjectList.Find(projectId);
    if (!p) return 0;
    if (usHasPower_ProjectOperate(userId) && IsCreator(p->m_nCreatorID, userId)) return 1;
    return NamesUser(p->m_UserList, userId) ? 1 : 0;
}
