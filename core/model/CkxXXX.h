// CkxXXX: the one context object of a process (reached through KX_KXXXX): the in-memory copy of
// the catalogue's folders, people and their lists, the current user and database kind, and the
// rights questions asked of them. The other process-wide lists have accessors of their own below.
#pragma once

#include "model/CkxCheckout.h"
#include "model/CkxConst.h"
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxFSNode.h"
#include "model/CkxFSQuickKey.h"
#include "model/CkxFSTree.h"
#include "model/CkxFileRole.h"
#include "model/CkxHostInfo.h"
#include "image/CkxImageTool.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxLog.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPerson.h"
#include "model/CkxPlayParam.h"
#include "model/CkxPower.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxServer.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserLicence.h"
#include "model/CkxUserOnline.h"
#include "model/CkxUserRole.h"
#include "model/CkxUserX.h"
#include "model/CkxwFileSystem.h"
#include "model/KxExport.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CkxFamilyXXX;

// Database kinds: where the catalogue lives and therefore how SQL text is written.
enum KxDatabaseKind : int32_t {
    KX_DB_POSTGRESQL = 1, // a catalogue on a PostgreSQL server
    KX_DB_SQLITE = 2,     // the catalogue file: the embedded default a new installation uses
};

// No lock of its own: the server holds its catalogue mutex around every request handler and
// the client programs touch the context only on their GUI thread. Only the local file id
// counter is atomic (file loaders on worker threads draw ids from it). The context holds no Qt
// object, so it may outlive the application object at process exit.
class KX_EXPORT CkxXXX {
public:
    using NodeList = CkxFSTree::NodeList;

    CkxXXX();
    CkxXXX(const CkxXXX&) = delete;
    CkxXXX& operator=(const CkxXXX&) = delete;
    virtual ~CkxXXX();

    // ---- Folders (forwarded to the folder tree) ----
    CkxFSTree& _kxFSTree() { return m_FSTree; }
    const CkxFSTree& _kxFSTree() const { return m_FSTree; }
    int fsAddDir(const CkxFSNode& node) { return m_FSTree.Add(node); }
    int fsAddDir(const CkxFSNode& node, int image, int selectedImage) {
        return m_FSTree.Add(node, image, selectedImage);
    }
    int fsUpdateDir(const CkxFSNode& node) { return m_FSTree.Update(node); }
    // Null for -1: that is the root, which has no folder record, even if a record that was
    // never given an id sits in the tree.
    CkxFSNode* fsFind(int folderId) const { return folderId == -1 ? nullptr : m_FSTree.Find(folderId); }
    int fsIsDirValid(int folderId) const { return fsFind(folderId) ? 1 : 0; }
    int fsIsHasChild(int folderId) const { return m_FSTree.IsHasChild(folderId); }
    int fsFindUnderDir(int folderId, NodeList& out) const { return m_FSTree.FindUnderDir(folderId, out); }
    int fsFindTree(int folderId, NodeList& out) const { return m_FSTree.FindTree(folderId, out); }
    int fsFindAncestry(int folderId, NodeList& out, int includeSelf) const {
        return m_FSTree.FindAncestry(folderId, out, includeSelf);
    }
    std::string fsFindAncestryPath(int folderId, int includeSelf) const {
        return m_FSTree.FindAncestryPath(folderId, includeSelf);
    }
    // The folder's path with the folder itself.
    std::string fsGetDirPath(int folderId) const { return fsFindAncestryPath(folderId, 1); }
    // The folder's name, or an empty text.
    std::string fsGetDirName(int folderId) const;
    int fsCanUseTheName(int parentId, int folderId, const std::string& name) const {
        return m_FSTree.CanUseTheName(parentId, folderId, name);
    }
    void fsDeleteAll() { m_FSTree.DeleteAll(); }
    // Deletes the folder and its subtree, then the quick keys of that folder id (only its own;
    // the sub-folders' keys stay). Returns how many folders were deleted.
    int fsDeleteDir(int folderId);
    // The same for each listed folder id in order; returns the folders deleted in all.
    int fsDeleteDir(const std::vector<CkxFSNode>& nodes);
    // Empties out, then lists the ids of the folder's quick keys; 0 when the folder is unknown.
    int fsGetDirQuickKey(int folderId, std::vector<int>& out) const;
    // Appends one constant per active folder in list order (id, parent id as second id, name as
    // text value); returns the list's count.
    int fsGetDirConstList(CkxConstList& out) const;

    // ---- People ----
    int usIsValid(const std::string& logon) const { return m_UserList.CheckLogonExist(logon); }
    std::string fsUser_GetName(int userId) const { return m_UserList.GetName(userId); }
    // The grantee's display name: the group's name or the account's log-on name; else empty.
    std::string licGetAlieneeName(const CkxUserLicence* grant) const;
    void SetCurUser(int userId) { m_nCurUserID = userId; }
    int GetCurUser() const { return m_nCurUserID; }

    // ---- Database kind ----
    void SetDatabase_PostgreSQL() { m_nDatabaseType = KX_DB_POSTGRESQL; }
    void SetDatabase_SQLite() { m_nDatabaseType = KX_DB_SQLITE; }
    int GetDatabaseType() const { return m_nDatabaseType; }

    // ---- Checkouts and bookmarks ----
    int coIsFileCheckouted(int fileId) const { return m_CheckoutList.IsFileCheckouted(fileId); }
    // Checked out by someone other than the current user.
    int coIsFileCheckoutedByOthers(int fileId) const;
    int coIsUserCheckoutFile(int fileId, int userId) const {
        return m_CheckoutList.IsUserCheckoutFile(fileId, userId);
    }
    // Whether the user has a bookmark on the file.
    int tagIsTagFile(int userId, int fileId) const;

    // ---- Local ids of files not yet stored: -3, -4, -5 ... ----
    int _GetLocalFileID() { return m_nLocalFileID.fetch_sub(1) - 1; }

    // ---- Rights evaluation (a user id of -1 is nobody, a folder id of -1 the root) ----
    // Groups that have the user as a member, in list order (out emptied first).
    int ugGetGroupIncludeUser(int userId, std::vector<int>& out) const {
        out.clear();
        return m_UserGroupList.GetGroupIncludeUser(userId, out);
    }
    static int ugIsGroupValid(const std::vector<int>& groups, int groupId);

    CkxPowerValue licCheckPower(const CkxPowerEx& rights, int userId) const;
    uint32_t licCheckPowerMask(const CkxPowerEx& rights, int userId) const {
        return licCheckPower(rights, userId).m_nPower;
    }
    uint32_t licCheckDirPower(int folderId, int userId) const;
    CkxPowerValue licCheckFilePower(const CkxPowerEx& fileRights, int userId) const {
        return licCheckPower(fileRights, userId);
    }
    // The rights set that governs a folder; 1, or 0 when the folder (or an ancestor it
    // inherits from) is not in the tree.
    int fsGetDirPower(int folderId, CkxPowerEx& out) const;

    int usHasPower_UserAdmin(int userId) const { return RoleTest(userId, &CkxUserRole::IsHasPower_UserAdmin); }
    int usHasPower_SystemAdmin(int userId) const { return RoleTest(userId, &CkxUserRole::IsHasPower_SystemAdmin); }
    int usHasPower_FamilyAdmin(int userId) const { return RoleTest(userId, &CkxUserRole::IsHasPower_FamilyAdmin); }
    int usHasPower_DirOperate(int userId) const { return RoleTest(userId, &CkxUserRole::IsHasPower_DirOperate); }
    int usHasPower_FileOperate(int userId) const { return RoleTest(userId, &CkxUserRole::IsHasPower_FileOperate); }
    int usHasPower_ProjectOperate(int userId) const {
        return RoleTest(userId, &CkxUserRole::IsHasPower_ProjectOperate);
    }
    int usHasPower_PersonOperate(int userId) const {
        return RoleTest(userId, &CkxUserRole::IsHasPower_PersonOperate);
    }
    int usHasPower_KeywordOperate(int userId) const {
        return RoleTest(userId, &CkxUserRole::IsHasPower_KeywordOperate);
    }
    // Whether an entry of the list names the user, or names a group that has the user.
    int usCheckInclude(const CkxUserXList& list, int userId) const;

    int fsUserCan_Dir_FullCtrl(int userId, int folderId) const;
    int fsUserCan_Dir_Operate(int userId, int folderId) const;
    int fsUserCan_Dir_Open(int userId, int folderId) const;
    int fsUserCan_Dir_Read(int userId, int folderId) const;
    int fsUserCan_Dir_CreateSubDir(int userId, int folderId) const;
    int fsUserCan_Dir_FileCreate(int userId, int folderId) const;
    int fsUserCan_Dir_FileFullCtrl(int userId, int folderId) const;
    int fsUserCan_Dir_FileOperate(int userId, int folderId) const;
    int fsUserCan_Dir_FileOpen(int userId, int folderId) const;
    int fsUserCan_Dir_FileRead(int userId, int folderId) const;
    int fsUserCan_Dir_CreateDir(int userId) const;

    // File tests: the file's folder is the rights' parent folder id.
    int fsUserCan_File_Read(int userId, int creatorId, const CkxPowerEx& fileRights) const;
    int fsUserCan_File_Edit(int userId, int creatorId, const CkxPowerEx& fileRights) const;
    int fsUserCan_File_Delete(int userId, int creatorId, const CkxPowerEx& fileRights) const {
        return fsUserCan_File_Edit(userId, creatorId, fileRights);
    }
    int fsUserCan_File_Load(int userId, int creatorId, const CkxPowerEx& fileRights) const;
    int fsUserCan_File_FullCtrl(int userId, int creatorId, const CkxPowerEx& fileRights) const;
    int fsUserCan_File_Create(int userId, int folderId) const;

    // Folder pickers: empty out, add the active folders (list order) that pass; return the count.
    int fsGetDir_CanRead(NodeList& out) const;
    int fsGetDir_CanOpen(NodeList& out) const;
    int fsGetDir_CanOperate(NodeList& out) const;
    int fsGetDir_CanFullCtrl(NodeList& out) const;
    // The folder and everything below it (tree order) that the current user can read.
    int fsGetDirTree_CanRead(int folderId, NodeList& out) const;
    int fsGetDir_CanReadFile(int userId, NodeList& out) const;
    int fsGetDir_CanOpenFile(int userId, NodeList& out) const;
    int fsGetDir_CanOperateFile(int userId, NodeList& out) const;
    int fsGetDir_CanFullCtrlFile(int userId, NodeList& out) const;
    int fsGetDir_CanCreateFile(int userId, NodeList& out) const;

    // Projects: the creator is the project's creator id; a member is named by the project's
    // member list, directly or through a group.
    int prjCheckProjectUser(int projectId, int userId) const;
    int prjCheckUserCreateProject(int userId, int projectId) const;
    int prjUserCanAdminProject(int userId, int projectId) const;
    int prjUserCanDeleteProject(int userId, int projectId) const { return prjUserCanAdminProject(userId, projectId); }
    int prjUserCanAddProjectFile(int userId, int projectId) const;
    // Creator, project operator, or a member who made the file's link in this project.
    int prjUserCanDeleteProjectFile(int userId, int projectId, int fileId) const;
    int fsUserCan_Project_Admin(int userId, int projectId) const;
    int fsUserCan_Project_Create(int userId) const;
    int fsUserCan_Project_DilinkFile(int userId, int projectId, int fileId) const;
    int fsUserCan_Project_BrowseFile(int userId, int projectId) const;
    int fsUserCan_Project_LinkFile(int userId, int projectId) const { return fsUserCan_Project_BrowseFile(userId, projectId); }

    // ---- Members, in order of construction ----
    CkxFSTree m_FSTree{1};
    CkxUserList m_UserList;
    CkxUserGroupList m_UserGroupList;
    CkxUserRoleList m_UserRoleList;
    CkxUserOnline m_UserOnline;
    CkxFileRoleList m_FileRoleList;
    CkxFolderRoleList m_FolderRoleList;
    CkxFSQuickKeyList m_QuickKeyList;
    CkxImageTool m_ImageTool;
    CkxPersonList m_PersonList;
    CkxProjectList m_ProjectList;
    CkxProjectDataList m_ProjectDataList;
    CkxDataTagList m_DataTagList;
    CkxKeywordList m_KeywordList;
    CkxKeywordGroupList m_KeywordGroupList;
    CkxKeywordLinkList m_KeywordLinkList;
    CkxPlayParam m_PlayParam;
    CkxCheckoutList m_CheckoutList;
    CkxwFileSystem m_FileSystem;
    CkxHostInfo m_HostInfo;
    CkxServer m_Server;

private:
    using PassFn = int (CkxXXX::*)(int userId, int folderId) const;
    using RoleFn = int (*)(int power);

    int RoleTest(int userId, RoleFn test) const;
    // Power of a rights set with its parent folder, following inheritance upward.
    CkxPowerValue Evaluate(const CkxPower& rights, int parentId, int userId) const;
    // The shared shape of the folder tests that need a role and check one power bit.
    int DirBitTest(int userId, int folderId, uint32_t bit, RoleFn role) const;
    // The shared shape of the file tests.
    int FileTest(int userId, int creatorId, const CkxPowerEx& rights, uint32_t bit, RoleFn role,
                 PassFn folderTest) const;
    int PickDirs(int userId, PassFn test, NodeList& out) const;

    std::atomic<int32_t> m_nLocalFileID{-2};
    int32_t m_nCurUserID = -1;
    // The server sets the kind of the catalogue it opened; until then SQL is written for kind 1.
    int32_t m_nDatabaseType = KX_DB_POSTGRESQL;
};

// The process's context object; made on first use, destroyed at process exit.
KX_EXPORT CkxXXX& KX_KXXXX();
// The other process-wide lists.
KX_EXPORT CkxFamilyXXX& KX_FamilyXXX();
KX_EXPORT CkxDataShareList& KX_FileShareList();
KX_EXPORT CkxQueryTempletList& KX_QueryTempletList();
KX_EXPORT CkxKeywordTempletList& KX_KeywordTempletList();
KX_EXPORT CkxObjAttrTempletList& KX_FileAttrTempletList();
KX_EXPORT CkxLogList& KX_LogList();
