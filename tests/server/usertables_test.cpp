// Table operations of accounts, groups, roles, file and folder roles, persons, shares and
// bookmarks on a real SQLite file and on the real PostgreSQL server: what each write stores,
// what the loads read back, and that a refused write stores nothing and reports 0.
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxFileRole.h"
#include "model/CkxPerson.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserRole.h"
#include "table/PersonTable.h"
#include "table/RoleTables.h"
#include "table/ShareTables.h"
#include "support/TempDir.h"
#include "server/support/TestCatalogue.h"
#include "table/UserTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

// Whether two records travel as the same bytes.
template <class T> bool SameRecord(const T& a, const T& b) {
    const auto x = a.GetComData(), y = b.GetComData();
    return memcmp(&x, &y, sizeof x) == 0;
}

class PeopleTables : public kxtest::CatalogueTest {
protected:
    std::string Text(const std::string& table, int id, const char* column) {
        CADORecordset rs;
        std::string v = "<no row>";
        if (db().Query(" SELECT * FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id), rs) && !rs.IsEOF())
            rs.GetString(column, v);
        return v;
    }
    // Takes the table away (renamed) so every statement on it fails, until Restore.
    void Break(const std::string& table) {
        ASSERT_EQ(db().Execute(" ALTER TABLE " + table + " RENAME TO " + table + "_off "), 1);
        broken = table;
    }
    void Restore() {
        ASSERT_EQ(db().Execute(" ALTER TABLE " + broken + "_off RENAME TO " + broken + " "), 1);
    }
    CADODatabase& db() { return catalogue.db; }

    std::string broken;
};

TEST_P(PeopleTables, UsersKeepEveryColumnAndThePlainPassword) {
    CkxUser u;
    u.m_strLogon = "li'si";
    u.m_strUser = "李四";
    u.m_strPassword = "p'w; DROP TABLE VUZO_User;--";
    u.m_nState = CkxUser::STATE_PAUSE;
    u.m_nRoleID = 200;
    u.m_strDept = "部门";
    u.m_strJob = "job";
    u.m_strTel = "tel";
    u.m_strMobile = "mob";
    u.m_strEMail = "a@b";
    u.m_strRemark = "note";
    const int id = UserTable::Insert(db(), u);
    ASSERT_GT(id, 1); // the administrator is row 1
    EXPECT_EQ(u.m_nID, id);
    EXPECT_EQ(Text("VUZO_User", id, "T_Password"), u.m_strPassword);

    CkxUserList list;
    list.AddTail(CkxUser()); // emptied first
    ASSERT_EQ(UserTable::LoadAll(db(), list), 2);
    const CkxUser* back = list.Find(id);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(SameRecord(*back, u));

    u.m_strLogon = "wangwu";
    u.m_nRoleID = 255;
    ASSERT_EQ(UserTable::Update(db(), u), 1);
    EXPECT_EQ(Text("VUZO_User", id, "T_Logon"), "wangwu");
    EXPECT_EQ(catalogue.Long("VUZO_User", id, "T_Role"), 255);

    ASSERT_EQ(UserTable::Delete(db(), id), 1);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_User "), 1);
}

TEST_P(PeopleTables, GroupsStoreTheMemberBytesAndLoadTheMembers) {
    CkxUserGroup g;
    g.m_strName = "组一";
    g.m_strNote = "n";
    g.m_UserList = {1, 7, 9};
    CkxBuf members;
    ASSERT_EQ(g.BuildQueryBuf(members), 4 + 8 * 3);
    ASSERT_EQ(UserGroupTable::Insert(db(), g, members.GetBuf(), members.GetLen()), 1);
    ASSERT_GT(g.m_nID, 0);

    CkxUserGroupList list;
    ASSERT_EQ(UserGroupTable::LoadAll(db(), list), 1);
    ASSERT_NE(list.Find(g.m_nID), nullptr);
    EXPECT_EQ(list.Find(g.m_nID)->m_UserList, (std::vector<int32_t>{1, 7, 9}));
    EXPECT_EQ(list.Find(g.m_nID)->m_strName, "组一");

    g.m_UserList = {9};
    g.m_strName = "renamed";
    ASSERT_EQ(g.BuildQueryBuf(members), 12);
    ASSERT_EQ(UserGroupTable::Update(db(), g, members.GetBuf(), members.GetLen()), 1);
    ASSERT_EQ(UserGroupTable::LoadAll(db(), list), 1);
    EXPECT_EQ(list.Find(g.m_nID)->m_UserList, (std::vector<int32_t>{9}));
    EXPECT_EQ(list.Find(g.m_nID)->m_strName, "renamed");

    // No row with that id: nothing is written and the caller hears of it.
    CkxUserGroup ghost = g;
    ghost.m_nID = g.m_nID + 100;
    EXPECT_EQ(UserGroupTable::Update(db(), ghost, members.GetBuf(), members.GetLen()), 0);

    ASSERT_EQ(UserGroupTable::Delete(db(), g.m_nID), 1);
    EXPECT_EQ(UserGroupTable::LoadAll(db(), list), 0);
}

TEST_P(PeopleTables, RolesAndPersonsRoundTrip) {
    CkxUserRole r;
    r.m_strName = "编辑";
    r.m_nIsSystem = 0;
    r.m_nType = CkxUserRole::TYPE_OPERATOR;
    r.m_nPower = 0x1F00;
    r.m_strRemark = "r";
    const int roleId = UserRoleTable::Insert(db(), r);
    ASSERT_GT(roleId, 0);
    EXPECT_EQ(r.m_nID, roleId);
    r.m_nPower = 0x3;
    ASSERT_EQ(UserRoleTable::Update(db(), r), 1);
    CkxUserRoleList roles;
    ASSERT_EQ(UserRoleTable::LoadAll(db(), roles), 2); // with the administrators' role
    EXPECT_TRUE(SameRecord(*roles.Find(roleId), r));
    ASSERT_EQ(UserRoleTable::Delete(db(), roleId), 1);
    EXPECT_EQ(UserRoleTable::LoadAll(db(), roles), 1);

    CkxFileRole fr;
    fr.m_strName = "只读";
    fr.m_nIsSystem = 1;
    fr.m_nPower = static_cast<int32_t>(0x80000001u);
    fr.m_strRemark = "x";
    ASSERT_EQ(FileRoleTable::Insert(db(), fr), 1);
    CkxFolderRole dr;
    dr.m_strName = "目录";
    dr.m_nPower = 60;
    ASSERT_EQ(FolderRoleTable::Insert(db(), dr), 1);
    CkxFileRoleList files;
    CkxFolderRoleList folders;
    ASSERT_EQ(FileRoleTable::LoadAll(db(), files), 1);
    ASSERT_EQ(FolderRoleTable::LoadAll(db(), folders), 1);
    EXPECT_TRUE(SameRecord(*files.Find(fr.m_nID), fr));
    EXPECT_EQ(folders.Find(dr.m_nID)->m_nPower, 60);
    dr.m_strName = "改";
    ASSERT_EQ(FolderRoleTable::Update(db(), dr), 1);
    EXPECT_EQ(Text("VUZO_FolderRole", dr.m_nID, "T_Name"), "改");
    ASSERT_EQ(FileRoleTable::Delete(db(), fr.m_nID), 1);
    ASSERT_EQ(FolderRoleTable::Delete(db(), dr.m_nID), 1);
    EXPECT_EQ(FileRoleTable::LoadAll(db(), files), 0);

    CkxPerson p;
    p.m_strName = "王五";
    p.m_nRelation = 3;
    p.m_nProfession = 8;
    p.m_strNote = "n";
    ASSERT_EQ(PersonTable::Insert(db(), p), 1);
    p.m_nProfession = 2;
    ASSERT_EQ(PersonTable::Update(db(), p), 1);
    CkxPersonList persons;
    ASSERT_EQ(PersonTable::LoadAll(db(), persons), 1);
    EXPECT_TRUE(SameRecord(*persons.Find(p.m_nID), p));
    ASSERT_EQ(PersonTable::Delete(db(), p.m_nID), 1);
    EXPECT_EQ(PersonTable::LoadAll(db(), persons), 0);
}

CkxDataTag Tag(int user, int file, const char* name) {
    CkxDataTag t;
    t.m_nUserID = user;
    t.m_nFileID = file;
    t.m_nDataFormat = 3;
    t.m_strName = name;
    return t;
}

TEST_P(PeopleTables, BookmarksAreReadAndChangedOnlyForTheirOwner) {
    CkxDataTag mine = Tag(5, 10, "mine"), theirs = Tag(6, 10, "theirs");
    ASSERT_EQ(FileTagTable::Insert(db(), mine), 1);
    ASSERT_EQ(FileTagTable::Insert(db(), theirs), 1);
    CkxDataTagList list;
    ASSERT_EQ(FileTagTable::LoadUser(db(), 5, list), 1);
    EXPECT_EQ(list.GetHead()->m_strName, "mine");
    EXPECT_EQ(FileTagTable::LoadUser(db(), 99, list), 0);
    EXPECT_EQ(FileTagTable::LoadAll(db(), list), 2);

    // User 5 names the other user's bookmark: nothing changes.
    CkxDataTag steal = theirs;
    steal.m_nUserID = 5;
    steal.m_strName = "stolen";
    EXPECT_EQ(FileTagTable::Update(db(), steal), 0);
    EXPECT_EQ(Text("VUZO_FileTag", theirs.m_nID, "T_Name"), "theirs");
    EXPECT_EQ(FileTagTable::Delete(db(), theirs.m_nID, 5), 0);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FileTag "), 2);

    mine.m_strName = "renamed";
    EXPECT_EQ(FileTagTable::Update(db(), mine), 1);
    EXPECT_EQ(Text("VUZO_FileTag", mine.m_nID, "T_Name"), "renamed");
    EXPECT_EQ(FileTagTable::Delete(db(), mine.m_nID, 5), 1);
    EXPECT_EQ(FileTagTable::Delete(db(), mine.m_nID, 5), 0); // already gone
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FileTag "), 1);

    CkxDataShare s;
    s.m_nUserID = 6;
    s.m_nFileID = 11;
    s.m_nDataFormat = 1;
    s.m_strName = "共享";
    ASSERT_EQ(FileShareTable::Insert(db(), s), 1);
    s.m_strName = "x";
    ASSERT_EQ(FileShareTable::Update(db(), s), 1);
    CkxDataShareList shares;
    ASSERT_EQ(FileShareTable::LoadAll(db(), shares), 1);
    EXPECT_TRUE(SameRecord(*shares.GetHead(), s));
    ASSERT_EQ(FileShareTable::Delete(db(), s.m_nID), 1);
    EXPECT_EQ(FileShareTable::LoadAll(db(), shares), 0);
}

// Every insert into a table that cannot be written reports 0 and keeps the record's id; every
// load reports -1 and keeps the list.
TEST_P(PeopleTables, RefusedWritesReportFailure) {
    kxtest::DbErrorLog quiet;
    struct Case {
        const char* table;
        std::function<int()> insert;
        std::function<int()> load;
    };
    CkxUser u;
    CkxUserGroup g;
    CkxUserRole r;
    CkxFileRole fr;
    CkxFolderRole dr;
    CkxPerson p;
    CkxDataShare s;
    CkxDataTag t;
    const int32_t member[3] = {1, 4, 1};
    const Case cases[] = {
        {"VUZO_User", [&] { return UserTable::Insert(db(), u); },
         [&] { CkxUserList l; l.AddTail(CkxUser()); int n = UserTable::LoadAll(db(), l); return n < 0 && l.GetCount() == 1 ? -1 : n; }},
        {"VUZO_UserGroup", [&] { return UserGroupTable::Insert(db(), g, member, sizeof member); },
         [&] { CkxUserGroupList l; return UserGroupTable::LoadAll(db(), l); }},
        {"VUZO_UserRole", [&] { return UserRoleTable::Insert(db(), r); },
         [&] { CkxUserRoleList l; return UserRoleTable::LoadAll(db(), l); }},
        {"VUZO_FileRole", [&] { return FileRoleTable::Insert(db(), fr); },
         [&] { CkxFileRoleList l; return FileRoleTable::LoadAll(db(), l); }},
        {"VUZO_FolderRole", [&] { return FolderRoleTable::Insert(db(), dr); },
         [&] { CkxFolderRoleList l; return FolderRoleTable::LoadAll(db(), l); }},
        {"VUZO_Person", [&] { return PersonTable::Insert(db(), p); },
         [&] { CkxPersonList l; return PersonTable::LoadAll(db(), l); }},
        {"VUZO_FileShare", [&] { return FileShareTable::Insert(db(), s); },
         [&] { CkxDataShareList l; return FileShareTable::LoadAll(db(), l); }},
        {"VUZO_FileTag", [&] { return FileTagTable::Insert(db(), t); },
         [&] { CkxDataTagList l; return FileTagTable::LoadUser(db(), 1, l); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        Break(c.table);
        EXPECT_EQ(c.insert(), 0);
        EXPECT_EQ(c.load(), -1);
        Restore();
        EXPECT_EQ(catalogue.Count(std::string(" SELECT * FROM ") + c.table + " WHERE T_ID > 1 "), 0);
    }
    for (int id : {u.m_nID, g.m_nID, r.m_nID, fr.m_nID, dr.m_nID, p.m_nID, s.m_nID, t.m_nID}) EXPECT_EQ(id, -1);
}

KX_ON_BOTH_ENGINES(PeopleTables);

} // namespace
