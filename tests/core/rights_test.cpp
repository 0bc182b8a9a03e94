// Rights evaluation over one catalogue: three folder levels, groups and users with different
// roles. Each behaviour is a table of (user, folder or file, expected) rows.
#include "model/CkxXXX.h"
#include "support/gui/CatalogueRights.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

enum User { SU = 1, ALICE = 2, BOB = 3, CAROL = 4, DAVE = 5, NOBODY = -1 };

using guitest::Grant;
using guitest::Rights;

CkxPowerEx FileRights(int folder, int inherit, uint32_t everyone, std::vector<CkxUserLicence> grants = {}) {
    CkxPowerEx p(Rights(inherit, everyone, std::move(grants)));
    p.m_nItemType = CkxUserLicence::ITEM_FILE;
    p.m_nParentID = folder;
    return p;
}

// Roles: 1 system administrator, 2 folder and file operator, 3 viewer.
// Users: su (1), alice (2), carol (2), dave (2), bob (3).
// Groups: 10 {alice, bob, dave}, 11 {alice, dave}, 12 {dave}.
// Folders:
//   1 Top     level 0, inherits from the root (60)
//   2 Mid     level 1 under 1, own rights: everyone open|read|file-read; bob 0; groups 10 0x0C,
//             11 0x30, 12 0x3C
//   3 Low     level 2 under 2, inherits from Mid
//   4 Closed  level 0, own rights, nothing for anybody; created by carol
//   5 Inner   level 1 under 4, everyone open
//   6 Deep    level 2 under 5, everyone open
//   7 Hidden  level 1 under 1, inherits, state hidden
struct Rights_ : ::testing::Test {
    CkxXXX ctx;

    void AddRole(int id, int power) {
        CkxUserRole r;
        r.m_nID = id;
        r.m_nPower = power;
        ctx.m_UserRoleList.AddTail(r);
    }
    void AddUser(int id, const char* logon, int role) {
        CkxUser u;
        u.m_nID = id;
        u.m_strLogon = logon;
        u.SetRoleID(role);
        ctx.m_UserList.AddTail(u);
    }
    void AddGroup(int id, std::vector<int32_t> members) {
        CkxUserGroup g;
        g.m_nID = id;
        g.m_strName = "G" + std::to_string(id);
        g.m_UserList = std::move(members);
        ctx.m_UserGroupList.AddTail(g);
    }
    void AddFolder(int id, int lev, int parent, const CkxPower& rights, int creator = -1, int state = 1) {
        CkxFSNode n;
        n.m_nID = id;
        n.m_strName = "F" + std::to_string(id);
        n.m_nLev = lev;
        n.m_nParentID = parent;
        n.m_nCreatorID = creator;
        n.m_nState = static_cast<uint8_t>(state);
        n.SetPower(rights);
        ASSERT_EQ(ctx.fsAddDir(n), 1);
    }

    void SetUp() override {
        AddRole(1, KXR_SYSTEMADMIN);
        AddRole(2, KXR_DIROPERATE | KXR_FILEOPERATE);
        AddRole(3, 0);
        AddUser(SU, "su", 1);
        AddUser(ALICE, "alice", 2);
        AddUser(BOB, "bob", 3);
        AddUser(CAROL, "carol", 2);
        AddUser(DAVE, "dave", 2);
        AddGroup(10, {ALICE, BOB, DAVE});
        AddGroup(11, {ALICE, DAVE});
        AddGroup(12, {DAVE});
        AddFolder(1, 0, -1, Rights(1, 0));
        AddFolder(2, 1, 1,
                  Rights(0, KXP_DIR_OPEN | KXP_DIR_READ | KXP_FILE_READ,
                         {Grant(BOB, false, 0), Grant(10, true, 0x0C), Grant(11, true, 0x30),
                          Grant(12, true, 0x3C)}));
        AddFolder(3, 2, 2, Rights(1, 0));
        AddFolder(4, 0, -1, Rights(0, 0), CAROL);
        AddFolder(5, 1, 4, Rights(0, KXP_DIR_OPEN));
        AddFolder(6, 2, 5, Rights(0, KXP_DIR_OPEN));
        AddFolder(7, 1, 1, Rights(1, 0), -1, CkxFSNode::STATE_HIDE);
    }
};

struct PowerRow {
    int user;
    int folder;
    uint32_t power;
    int inherited;
};

TEST_F(Rights_, FolderPowerFollowsGrantsGroupsAndInheritance) {
    const PowerRow rows[] = {
        {BOB, 1, 60, 1},      // under the root, nothing granted: the root's 60
        {BOB, 2, 0, 0},       // his own grant of 0 beats group 10's 0x0C
        {ALICE, 2, 0, 0},     // 0x0C AND 0x30
        {DAVE, 2, 0x3C, 0},   // a third group 0x3C replaces the empty combination
        {CAROL, 2, 0x400C, 0}, // no grant: the default power
        {DAVE, 3, 0x3C, 1},   // inherited from Mid
        {CAROL, 3, 0x400C, 1},
        {ALICE, 4, 0, 0},
        {NOBODY, 1, 60, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE("user " + std::to_string(r.user) + " folder " + std::to_string(r.folder));
        const CkxFSNode* n = ctx.fsFind(r.folder);
        ASSERT_NE(n, nullptr);
        CkxPowerValue v = ctx.licCheckPower(n->GetPower(), r.user);
        EXPECT_EQ(v.m_nPower, r.power);
        EXPECT_EQ(v.IsInherit(), r.inherited);
        EXPECT_EQ(ctx.licCheckDirPower(r.folder, r.user), r.power);
    }
    EXPECT_EQ(ctx.licCheckDirPower(99, CAROL), 0u);
}

TEST_F(Rights_, GroupCombinationAndUnknownParent) {
    // Only matching groups combine: bob is in group 10 alone of these.
    CkxPowerEx set = FileRights(1, 0, 0, {Grant(11, true, 0x30), Grant(10, true, 0x0C)});
    EXPECT_EQ(ctx.licCheckPowerMask(set, BOB), 0x0Cu);
    // A user in no granted group falls through to inheritance.
    set.m_nInherit = 1;
    EXPECT_EQ(ctx.licCheckPower(set, CAROL).m_nPower, 60u);
    // An inheriting set whose parent folder is unknown gives nothing, not inherited.
    set.m_nParentID = 99;
    CkxPowerValue v = ctx.licCheckPower(set, CAROL);
    EXPECT_EQ(v.m_nPower, 0u);
    EXPECT_EQ(v.IsInherit(), 0);
}

TEST_F(Rights_, ParentCycleInStoredDataEndsTheWalk) {
    // 8 and 9 name each other as parent; both inherit.
    AddFolder(8, 1, 9, Rights(1, 0));
    AddFolder(9, 1, 8, Rights(1, 0));
    EXPECT_EQ(ctx.licCheckDirPower(8, CAROL), 0u);
    EXPECT_EQ(ctx.fsUserCan_Dir_Open(CAROL, 8), 0);
    CkxPowerEx out;
    EXPECT_EQ(ctx.fsGetDirPower(8, out), 0);
}

TEST_F(Rights_, ARecordWithoutAnIdIsNotTheRoot) {
    // A folder record that never got an id (-1) is not the root: owning it gives nothing, and
    // the root keeps its own answers.
    AddFolder(-1, 0, -1, Rights(0, 0xFFFF), ALICE);
    EXPECT_EQ(ctx.fsUserCan_Dir_Read(ALICE, 4), 0);
    EXPECT_EQ(ctx.licCheckDirPower(-1, ALICE), 0u);
    EXPECT_EQ(ctx.fsUserCan_Dir_Operate(ALICE, -1), 0);
    EXPECT_EQ(ctx.fsUserCan_File_Create(ALICE, -1), 0);
    EXPECT_EQ(ctx.fsIsDirValid(-1), 0);
}

TEST_F(Rights_, GoverningRightsSet) {
    CkxPowerEx out;
    EXPECT_EQ(ctx.fsGetDirPower(3, out), 1); // Low inherits Mid's own set
    EXPECT_EQ(out.m_nEveryonePower, static_cast<uint32_t>(KXP_DIR_OPEN | KXP_DIR_READ | KXP_FILE_READ));
    EXPECT_EQ(out.m_LicenceList.GetCount(), 4);
    EXPECT_EQ(out.m_nItemID, 2);
    out.m_nItemID = 77;
    EXPECT_EQ(ctx.fsGetDirPower(1, out), 1); // Top inherits from the root
    EXPECT_EQ(out.IsInherit(), 1);
    EXPECT_EQ(out.m_nEveryonePower, 60u);
    EXPECT_EQ(out.m_LicenceList.GetCount(), 0);
    EXPECT_EQ(out.m_nItemID, 77); // other fields unchanged
    EXPECT_EQ(ctx.fsGetDirPower(99, out), 0);
}

TEST_F(Rights_, RoleTests) {
    struct Row {
        int user;
        int sys, userAdmin, dirOp, fileOp, projectOp;
    } rows[] = {
        {SU, 1, 0, 1, 1, 1},
        {ALICE, 0, 0, 1, 1, 0},
        {BOB, 0, 0, 0, 0, 0},
        {NOBODY, 0, 0, 0, 0, 0},
        {42, 0, 0, 0, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.user);
        EXPECT_EQ(ctx.usHasPower_SystemAdmin(r.user), r.sys);
        EXPECT_EQ(ctx.usHasPower_UserAdmin(r.user), r.userAdmin);
        EXPECT_EQ(ctx.usHasPower_DirOperate(r.user), r.dirOp);
        EXPECT_EQ(ctx.usHasPower_FileOperate(r.user), r.fileOp);
        EXPECT_EQ(ctx.usHasPower_ProjectOperate(r.user), r.projectOp);
        EXPECT_EQ(ctx.fsUserCan_Dir_CreateDir(r.user), r.dirOp);
    }
    // An account whose role is not in the list has no power.
    AddUser(6, "erin", 200);
    EXPECT_EQ(ctx.usHasPower_FileOperate(6), 0);
}

TEST_F(Rights_, FolderTests) {
    using Test = int (CkxXXX::*)(int, int) const;
    struct Row {
        const char* what;
        Test test;
        int user;
        int folder;
        int expected;
    } rows[] = {
        // The root answers from its default power 60.
        {"open root", &CkxXXX::fsUserCan_Dir_Open, BOB, -1, 1},
        {"read root", &CkxXXX::fsUserCan_Dir_Read, BOB, -1, 1},
        {"operate root", &CkxXXX::fsUserCan_Dir_Operate, ALICE, -1, 0},
        {"full root", &CkxXXX::fsUserCan_Dir_FullCtrl, ALICE, -1, 0},
        {"subdir root", &CkxXXX::fsUserCan_Dir_CreateSubDir, BOB, -1, 1},
        {"file create root", &CkxXXX::fsUserCan_Dir_FileCreate, ALICE, -1, 0},
        {"file create root su", &CkxXXX::fsUserCan_Dir_FileCreate, SU, -1, 1},
        {"file read root", &CkxXXX::fsUserCan_Dir_FileRead, ALICE, -1, 0},
        // Directly under the root, inheriting: open and read pass, operate fails.
        {"open top", &CkxXXX::fsUserCan_Dir_Open, BOB, 1, 1},
        {"read top", &CkxXXX::fsUserCan_Dir_Read, BOB, 1, 1},
        {"operate top", &CkxXXX::fsUserCan_Dir_Operate, ALICE, 1, 0},
        {"subdir top", &CkxXXX::fsUserCan_Dir_CreateSubDir, ALICE, 1, 1},
        {"subdir top needs role", &CkxXXX::fsUserCan_Dir_CreateSubDir, BOB, 1, 0},
        {"file create top", &CkxXXX::fsUserCan_Dir_FileCreate, ALICE, 1, 1},
        // Mid: bob's grant of 0, alice's empty group combination, dave's 0x3C.
        {"open mid bob", &CkxXXX::fsUserCan_Dir_Open, BOB, 2, 0},
        {"open mid alice", &CkxXXX::fsUserCan_Dir_Open, ALICE, 2, 0},
        {"open mid dave", &CkxXXX::fsUserCan_Dir_Open, DAVE, 2, 1},
        {"open mid carol", &CkxXXX::fsUserCan_Dir_Open, CAROL, 2, 1},
        {"file create mid dave", &CkxXXX::fsUserCan_Dir_FileCreate, DAVE, 2, 1},
        {"file read mid carol", &CkxXXX::fsUserCan_Dir_FileRead, CAROL, 2, 1},
        {"file read mid dave", &CkxXXX::fsUserCan_Dir_FileRead, DAVE, 2, 0},
        {"open low dave", &CkxXXX::fsUserCan_Dir_Open, DAVE, 3, 1},
        {"open low alice", &CkxXXX::fsUserCan_Dir_Open, ALICE, 3, 0},
        // Closed: nothing for anybody but its creator (and the administrator).
        {"open closed alice", &CkxXXX::fsUserCan_Dir_Open, ALICE, 4, 0},
        {"read closed alice", &CkxXXX::fsUserCan_Dir_Read, ALICE, 4, 0},
        {"open closed carol", &CkxXXX::fsUserCan_Dir_Open, CAROL, 4, 1},
        {"read closed carol", &CkxXXX::fsUserCan_Dir_Read, CAROL, 4, 1},
        {"operate closed carol", &CkxXXX::fsUserCan_Dir_Operate, CAROL, 4, 1},
        {"open closed su", &CkxXXX::fsUserCan_Dir_Open, SU, 4, 1},
        {"full closed su", &CkxXXX::fsUserCan_Dir_FullCtrl, SU, 4, 1},
        // Nobody owns what has no creator.
        {"read inner nobody", &CkxXXX::fsUserCan_Dir_Read, NOBODY, 5, 0},
        // Three levels: an ancestor without open blocks, even when the folder opens.
        {"open deep alice", &CkxXXX::fsUserCan_Dir_Open, ALICE, 6, 0},
        {"open deep carol", &CkxXXX::fsUserCan_Dir_Open, CAROL, 6, 1},
        // Reading a folder whose parent the user owns and can open.
        {"read inner carol", &CkxXXX::fsUserCan_Dir_Read, CAROL, 5, 1},
        {"read inner alice", &CkxXXX::fsUserCan_Dir_Read, ALICE, 5, 0},
        // Unknown folders.
        {"open unknown", &CkxXXX::fsUserCan_Dir_Open, CAROL, 99, 0},
        {"read unknown", &CkxXXX::fsUserCan_Dir_Read, CAROL, 99, 0},
        {"operate unknown", &CkxXXX::fsUserCan_Dir_Operate, CAROL, 99, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ((ctx.*r.test)(r.user, r.folder), r.expected);
    }
}

TEST_F(Rights_, FileTests) {
    using Test = int (CkxXXX::*)(int, int, const CkxPowerEx&) const;
    const CkxPowerEx noneInMid = FileRights(2, 0, 0);
    const CkxPowerEx inheritMid = FileRights(2, 1, 0);
    const CkxPowerEx inheritRoot = FileRights(-1, 1, 0);
    const CkxPowerEx forbidRead = FileRights(1, 0, 0, {Grant(ALICE, false, KXP_FILE_READ, true)});
    const CkxPowerEx editable = FileRights(1, 0, 0, {Grant(10, true, KXP_FILE_OPERATE | KXP_FILE_OPEN)});
    struct Row {
        const char* what;
        Test test;
        int user;
        int creator;
        const CkxPowerEx* rights;
        int expected;
    } rows[] = {
        // The creator reads without a grant only when he can open the folder.
        {"creator carol reads", &CkxXXX::fsUserCan_File_Read, CAROL, CAROL, &noneInMid, 1},
        {"creator bob blocked", &CkxXXX::fsUserCan_File_Read, BOB, BOB, &noneInMid, 0},
        {"creator alice blocked", &CkxXXX::fsUserCan_File_Read, ALICE, ALICE, &noneInMid, 0},
        {"not creator", &CkxXXX::fsUserCan_File_Read, CAROL, DAVE, &noneInMid, 0},
        {"nobody is not the creator", &CkxXXX::fsUserCan_File_Read, NOBODY, NOBODY, &noneInMid, 0},
        // An inherited evaluation hands the answer to the folder test.
        {"inherit mid carol", &CkxXXX::fsUserCan_File_Read, CAROL, DAVE, &inheritMid, 1},
        {"inherit root", &CkxXXX::fsUserCan_File_Read, CAROL, DAVE, &inheritRoot, 0},
        // A forbid grant still gives its power.
        {"forbid grant reads", &CkxXXX::fsUserCan_File_Read, ALICE, DAVE, &forbidRead, 1},
        {"others do not", &CkxXXX::fsUserCan_File_Read, CAROL, DAVE, &forbidRead, 0},
        // Edit needs the file-operate role and the bit.
        {"edit by group", &CkxXXX::fsUserCan_File_Edit, ALICE, DAVE, &editable, 1},
        {"edit needs role", &CkxXXX::fsUserCan_File_Edit, BOB, DAVE, &editable, 0},
        {"delete is edit", &CkxXXX::fsUserCan_File_Delete, ALICE, DAVE, &editable, 1},
        {"load by group", &CkxXXX::fsUserCan_File_Load, BOB, DAVE, &editable, 1},
        {"full control lacking", &CkxXXX::fsUserCan_File_FullCtrl, ALICE, DAVE, &editable, 0},
        {"administrator", &CkxXXX::fsUserCan_File_FullCtrl, SU, DAVE, &noneInMid, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ((ctx.*r.test)(r.user, r.creator, *r.rights), r.expected);
    }
    EXPECT_EQ(ctx.licCheckFilePower(inheritMid, CAROL).IsInherit(), 1);
}

TEST_F(Rights_, FileCreate) {
    struct Row {
        int user;
        int folder;
        int expected;
    } rows[] = {
        {SU, -1, 1},    {ALICE, -1, 0}, // no folder record at the root
        {ALICE, 1, 1},                  // 60 has 0x20
        {BOB, 1, 0},                    // no file-operate role
        {DAVE, 2, 1},   {ALICE, 2, 0},  {CAROL, 2, 0},
        {CAROL, 4, 1},                  // owner
        {ALICE, 6, 0},                  // cannot open
        {ALICE, 99, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.user) + "/" + std::to_string(r.folder));
        EXPECT_EQ(ctx.fsUserCan_File_Create(r.user, r.folder), r.expected);
    }
}

std::vector<int> Ids(const CkxXXX::NodeList& nodes) {
    std::vector<int> ids;
    for (const CkxFSNode* n : nodes) ids.push_back(n->GetID());
    return ids;
}

TEST_F(Rights_, FolderPickersListActiveFoldersThatPass) {
    CkxXXX::NodeList out{nullptr};
    ctx.SetCurUser(CAROL);
    EXPECT_EQ(ctx.fsGetDir_CanOpen(out), 6);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 2, 3, 4, 5, 6})); // 7 is hidden
    ctx.SetCurUser(ALICE);
    EXPECT_EQ(ctx.fsGetDir_CanOpen(out), 1);
    EXPECT_EQ(Ids(out), (std::vector<int>{1}));
    ctx.SetCurUser(BOB);
    EXPECT_EQ(ctx.fsGetDir_CanRead(out), 1); // his grant of 0 on Mid reaches Low too
    EXPECT_EQ(Ids(out), (std::vector<int>{1}));
    ctx.SetCurUser(CAROL);
    // Closed by ownership, Inner because she owns and opens its parent; Deep has no read bit.
    EXPECT_EQ(ctx.fsGetDirTree_CanRead(4, out), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{4, 5}));
    EXPECT_EQ(ctx.fsGetDir_CanOperate(out), 1);
    EXPECT_EQ(Ids(out), (std::vector<int>{4}));
    EXPECT_EQ(ctx.fsGetDir_CanReadFile(CAROL, out), 3);
    EXPECT_EQ(Ids(out), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(ctx.fsGetDir_CanCreateFile(DAVE, out), 3);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ctx.fsGetDir_CanFullCtrlFile(SU, out), 6);
}

TEST_F(Rights_, MemberListIncludesUsersAndGroupMembers) {
    CkxUserXList members;
    members.AddTail(CkxUserX(BOB, CkxUserX::TYPE_USER));
    members.AddTail(CkxUserX(11, CkxUserX::TYPE_GROUP));
    members.AddTail(CkxUserX(77, CkxUserX::TYPE_GROUP)); // no such group
    EXPECT_EQ(ctx.usCheckInclude(members, BOB), 1);
    EXPECT_EQ(ctx.usCheckInclude(members, ALICE), 1);
    EXPECT_EQ(ctx.usCheckInclude(members, CAROL), 0);
}

struct ProjectRights : Rights_ {
    void SetUp() override {
        Rights_::SetUp();
        AddRole(4, KXR_PROJECTOPERATE);
        AddUser(FRANK, "frank", 4);
        // 20: carol's, members alice and group 12 (dave); 21: bob's, a group entry numbered
        // like alice; 22: frank's, no members.
        AddProject(20, CAROL, {CkxUserX(ALICE, CkxUserX::TYPE_USER), CkxUserX(12, CkxUserX::TYPE_GROUP)});
        AddProject(21, BOB, {CkxUserX(ALICE, CkxUserX::TYPE_GROUP)});
        AddProject(22, FRANK, {});
        AddLink(20, 300, ALICE);
        AddLink(21, 301, ALICE);
        AddLink(20, 302, DAVE);
    }
    void AddProject(int id, int creator, std::vector<CkxUserX> members) {
        CkxProject p;
        p.m_nID = id;
        p.m_nCreatorID = creator;
        for (auto& m : members) p.m_UserList.AddTail(m);
        ctx.m_ProjectList.AddTail(p);
    }
    void AddLink(int project, int file, int creator) {
        CkxProjectData d;
        d.m_nID = project * 1000 + file;
        d.m_nProjectID = project;
        d.m_nFileID = file;
        d.m_nCreatorID = creator;
        ctx.m_ProjectDataList.AddTail(d);
    }
    static constexpr int FRANK = 6;
};

TEST_F(ProjectRights, ProjectTests) {
    using Fn = std::function<int(const CkxXXX&)>;
    struct Row {
        const char* what;
        Fn test;
        int expected;
    } rows[] = {
        {"member user", [](auto& c) { return c.prjCheckProjectUser(20, ALICE); }, 1},
        {"member through group", [](auto& c) { return c.prjCheckProjectUser(20, DAVE); }, 1},
        {"not member", [](auto& c) { return c.prjCheckProjectUser(20, BOB); }, 0},
        {"group entry is not the user", [](auto& c) { return c.prjCheckProjectUser(21, ALICE); }, 0},
        {"unknown project", [](auto& c) { return c.prjCheckProjectUser(99, ALICE); }, 0},
        {"creator", [](auto& c) { return c.prjCheckUserCreateProject(CAROL, 20); }, 1},
        {"not creator", [](auto& c) { return c.prjCheckUserCreateProject(ALICE, 20); }, 0},
        {"admin by creator", [](auto& c) { return c.prjUserCanAdminProject(CAROL, 20); }, 1},
        {"admin by role", [](auto& c) { return c.prjUserCanAdminProject(FRANK, 20); }, 1},
        {"admin member", [](auto& c) { return c.prjUserCanDeleteProject(ALICE, 20); }, 0},
        {"admin unknown", [](auto& c) { return c.prjUserCanAdminProject(CAROL, 99); }, 0},
        {"add file member", [](auto& c) { return c.prjUserCanAddProjectFile(ALICE, 20); }, 1},
        {"add file outsider", [](auto& c) { return c.prjUserCanAddProjectFile(BOB, 20); }, 0},
        {"delete own link", [](auto& c) { return c.prjUserCanDeleteProjectFile(ALICE, 20, 300); }, 1},
        {"delete other's link", [](auto& c) { return c.prjUserCanDeleteProjectFile(ALICE, 20, 302); }, 0},
        {"delete group member's link", [](auto& c) { return c.prjUserCanDeleteProjectFile(DAVE, 20, 302); }, 1},
        // Alice linked file 301 in project 21, not in 20.
        {"link of another project", [](auto& c) { return c.prjUserCanDeleteProjectFile(ALICE, 20, 301); }, 0},
        {"project admin creator without role", [](auto& c) { return c.fsUserCan_Project_Admin(CAROL, 20); }, 0},
        {"project admin role and creator", [](auto& c) { return c.fsUserCan_Project_Admin(FRANK, 22); }, 1},
        {"project admin role only", [](auto& c) { return c.fsUserCan_Project_Admin(FRANK, 20); }, 0},
        {"project admin su", [](auto& c) { return c.fsUserCan_Project_Admin(SU, 20); }, 1},
        {"create", [](auto& c) { return c.fsUserCan_Project_Create(FRANK); }, 1},
        {"create without role", [](auto& c) { return c.fsUserCan_Project_Create(ALICE); }, 0},
        {"unlink own", [](auto& c) { return c.fsUserCan_Project_DilinkFile(ALICE, 20, 300); }, 1},
        {"unlink other's", [](auto& c) { return c.fsUserCan_Project_DilinkFile(ALICE, 20, 302); }, 0},
        {"unlink needs own entry", [](auto& c) { return c.fsUserCan_Project_DilinkFile(DAVE, 20, 302); }, 0},
        {"unlink role and creator", [](auto& c) { return c.fsUserCan_Project_DilinkFile(FRANK, 22, 5); }, 1},
        {"browse member", [](auto& c) { return c.fsUserCan_Project_BrowseFile(ALICE, 20); }, 1},
        {"browse group member", [](auto& c) { return c.fsUserCan_Project_LinkFile(DAVE, 20); }, 0},
        {"browse group numbered like user", [](auto& c) { return c.fsUserCan_Project_BrowseFile(ALICE, 21); }, 0},
        {"browse su", [](auto& c) { return c.fsUserCan_Project_BrowseFile(SU, 21); }, 1},
        {"browse unknown", [](auto& c) { return c.fsUserCan_Project_BrowseFile(FRANK, 99); }, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.test(ctx), r.expected);
    }
}

} // namespace
