// The data manager's open and load on a real catalogue file: every table lands in its list, in
// the fixed step order; folders and families arrive parents first whatever their ids; a table
// that cannot be read ends the load (except folders); a second load replaces, never doubles.
#include "db/AdoDatabase.h"
#include "data/CDataManager.h"
#include "data/CatalogueLoaders.h"
#include "db/CatalogueMaker.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const CkxBuf& b) {
    std::string s = "X'";
    char two[3];
    for (int i = 0; i < b.GetLen(); ++i) {
        std::snprintf(two, sizeof two, "%02X", b.GetBuf()[i]);
        s += two;
    }
    return s + "'";
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("catalogue.db");
        std::string error;
        ASSERT_EQ(kx::CreateSqliteCatalogue(path, "pw", error), 1) << error;
        ASSERT_EQ(db.OpenAccess(path), 1);
    }
    void Sql(const std::string& sql) { ASSERT_EQ(db.Execute(sql), 1) << sql << ": " << db.GetLastError(); }

    // A data manager on lists of the test's own, not the process's.
    std::unique_ptr<CDataManager> Manager() {
        auto m = std::make_unique<CDataManager>(context, families, shares);
        m->SetConnection("", path, "", "");
        return m;
    }

    // One or more rows in every table the server keeps in memory.
    void FillCatalogue() {
        // Folders: the child has the smaller id but the deeper level.
        CkxFSNode rights;
        rights.m_Power.m_nInherit = 0;
        rights.m_Power.m_nEveryonePower = 7;
        CkxBuf power;
        rights.BuildPower(power);
        Sql("INSERT INTO VUZO_Dir (T_ID,T_Name,T_Lev,T_ParentID,T_Type,T_State,T_CreatorID,T_Remark,T_UserPower)"
            " VALUES (9,'图片',0,-1,1,1,1,'top'," + Hex(power) + ")");
        Sql("INSERT INTO VUZO_Dir (T_ID,T_Name,T_Lev,T_ParentID,T_Type,T_State,T_CreatorID,T_Remark)"
            " VALUES (3,'2024',1,9,1,1,1,'')");
        Sql("INSERT INTO VUZO_User (T_Logon,T_User,T_Password,T_State,T_Role,T_Dept) VALUES"
            " ('ann','安','x',1,1,'Photo')");
        CkxUserGroup g;
        g.m_UserList = {1, 2};
        CkxBuf members;
        g.BuildQueryBuf(members);
        Sql("INSERT INTO VUZO_UserGroup (T_Name,T_Remark,T_UserList) VALUES ('editors','n'," + Hex(members) + ")");
        Sql("INSERT INTO VUZO_Person (T_Name,T_Type,T_Job,T_Remark) VALUES ('Li',2,3,'r')");
        Sql("INSERT INTO VUZO_FileRole (T_Name,T_IsSystem,T_Power,T_Remark) VALUES ('read',1,4,'')");
        Sql("INSERT INTO VUZO_FolderRole (T_Name,T_IsSystem,T_Power,T_Remark) VALUES ('open',0,12,'')");
        Sql("INSERT INTO VUZO_QuickKey (T_DirID,T_FileID,T_DataFormat,T_DataModal,T_DataState) VALUES (3,40,3,2,1)");
        CkxProject p;
        p.m_UserList.AddTail(CkxUserX(2, 2));
        CkxBuf team;
        p.BuildUserBuf(team);
        Sql("INSERT INTO VUZO_Project (T_Name,T_Lev,T_ParentID,T_Type,T_State,T_CreatorID,T_CoworkerID,"
            "T_CreateTime,T_Describe,T_Remark,T_UserList) VALUES ('Expo',0,-1,0,2,1,2,"
            "'2024-05-06 07:08:09','d','r'," + Hex(team) + ")");
        Sql("INSERT INTO VUZO_KeywordGroup (T_Name,T_Remark) VALUES ('places','')");
        Sql("INSERT INTO VUZO_Keyword (T_GroupID,T_Name,T_Remark) VALUES (1,'海','')");
        Sql("INSERT INTO VUZO_Keyword (T_GroupID,T_Name,T_Remark) VALUES (1,'山','')");
        Sql("INSERT INTO VUZO_KeywordLink (T_FileID,T_KeyID) VALUES (40,1)");
        Sql("INSERT INTO VUZO_FileTag (T_UserID,T_DataFormat,T_FileID,T_Name) VALUES (1,3,40,'mine')");
        Sql("INSERT INTO VUZO_FileTag (T_UserID,T_DataFormat,T_FileID,T_Name) VALUES (2,3,41,'hers')");
        Sql("INSERT INTO VUZO_FileShare (T_UserID,T_DataFormat,T_FileID,T_Name) VALUES (2,3,40,'for ann')");
        // Families: the grandchild has the smallest id.
        Sql("INSERT INTO VUZO_Family (T_ID,T_Name,T_Lev,T_ParentID,T_DataFormat,T_DataState,T_CreatorID,"
            "T_CreateTime,T_Remark) VALUES (8,'风景',1,100000001,3,1,1,'2024-01-02 03:04:05','')");
        Sql("INSERT INTO VUZO_Family (T_ID,T_Name,T_Lev,T_ParentID,T_DataFormat,T_DataState,T_CreatorID,"
            "T_CreateTime,T_Remark) VALUES (2,'山景',2,8,3,1,1,'2024-01-02 03:04:05','')");
    }

    TempDir dir;
    std::string path;
    CADODatabase db;
    CkxXXX context;
    CkxFamilyXXX families;
    CkxDataShareList shares;
};

TEST_F(LoadTest, StepsRunInTheServersOrder) {
    CDataManager m(context, families, shares);
    const std::vector<std::string> expected = {
        "folders", "users", "user groups", "user roles", "persons", "file roles", "folder roles",
        "quick keys", "projects", "keywords", "keyword groups", "keyword links", "bookmarks",
        "file shares", "families"};
    EXPECT_EQ(m.GetLoaders().Names(), expected);
}

TEST_F(LoadTest, EveryTableReachesItsList) {
    FillCatalogue();
    auto m = Manager();
    ASSERT_EQ(m->Open(KX_DB_SQLITE), 1) << m->GetLastError();
    EXPECT_EQ(context.GetDatabaseType(), KX_DB_SQLITE);

    ASSERT_EQ(context.m_FSTree.GetCount(), 2);
    const CkxFSNode* child = context.fsFind(3);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(context.m_FSTree.FindParent(3), context.fsFind(9)); // linked although loaded later id-wise
    EXPECT_EQ(context.fsGetDirPath(3), context.fsGetDirPath(9) + "2024\\");
    EXPECT_EQ(context.fsFind(9)->m_Power.m_nEveryonePower, 7u);
    EXPECT_EQ(context.fsFind(9)->m_Power.m_nInherit, 0);

    EXPECT_EQ(context.m_UserList.GetCount(), 2); // "su" from the catalogue tool, and ann
    EXPECT_EQ(context.usIsValid("su"), 1);
    EXPECT_EQ(context.usIsValid("ann"), 1);
    EXPECT_EQ(context.m_UserRoleList.GetCount(), 1);
    ASSERT_EQ(context.m_UserGroupList.GetCount(), 1);
    std::vector<int> groups;
    EXPECT_EQ(context.ugGetGroupIncludeUser(2, groups), 1);
    EXPECT_EQ(context.m_PersonList.GetCount(), 1);
    EXPECT_EQ(context.m_FileRoleList.GetCount(), 1);
    EXPECT_EQ(context.m_FolderRoleList.GetCount(), 1);
    ASSERT_EQ(context.m_QuickKeyList.GetCount(), 1);
    EXPECT_EQ(context.m_QuickKeyList.Find(1)->m_nDirID, 3);
    ASSERT_EQ(context.m_ProjectList.GetCount(), 1);
    EXPECT_EQ(context.m_ProjectList.Find(1)->m_UserList.GetCount(), 1);
    EXPECT_EQ(context.m_KeywordList.GetCount(), 2);
    EXPECT_EQ(context.m_KeywordGroupList.GetCount(), 1);
    EXPECT_EQ(context.m_KeywordLinkList.GetCount(), 1);
    EXPECT_EQ(context.m_DataTagList.GetCount(), 2); // every user's bookmarks
    EXPECT_EQ(shares.GetCount(), 1);

    // Families: built-in image root, then 8 below it and 2 below 8.
    ASSERT_NE(families.family_Find(2), nullptr);
    EXPECT_EQ(families.family_Find(2)->m_strName, "山景");
    CkxFamilyPtrs kids;
    families.family_GetChild(8, kids);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(kids[0]->m_nID, 2);
    EXPECT_NE(families.family_Find(KXF_ROOT_IMAGE), nullptr);
}

// A role number that cannot travel in the user record's one byte would name another role (300
// would become 44): such an account stays out of memory and cannot log on.
TEST_F(LoadTest, AnAccountWithARoleOutsideOneByteIsNotLoaded) {
    Sql("INSERT INTO VUZO_User (T_Logon,T_User,T_Password,T_State,T_Role) VALUES ('bad','b','x',1,300)");
    Sql("INSERT INTO VUZO_User (T_Logon,T_User,T_Password,T_State,T_Role) VALUES ('good','g','x',1,255)");
    auto m = Manager();
    ASSERT_EQ(m->Open(KX_DB_SQLITE), 1) << m->GetLastError();
    EXPECT_EQ(context.usIsValid("bad"), 0);
    EXPECT_EQ(context.usIsValid("good"), 1);
    EXPECT_EQ(context.m_UserList.GetCount(), 2); // "su" and good
}

// A second load (the next start) replaces what the first put in memory, and brings families
// added in between.
TEST_F(LoadTest, LoadingAgainReplacesAndKeepsLaterFamilies) {
    FillCatalogue();
    auto m = Manager();
    ASSERT_EQ(m->Open(KX_DB_SQLITE), 1);
    const int familyCount = families.family_GetCount();
    Sql("INSERT INTO VUZO_Family (T_ID,T_Name,T_Lev,T_ParentID,T_DataFormat,T_DataState,T_CreatorID,"
        "T_Remark) VALUES (20,'城市',1,100000001,3,1,1,'')");
    ASSERT_EQ(m->LoadAll(), 1);
    EXPECT_EQ(families.family_GetCount(), familyCount + 1);
    EXPECT_NE(families.family_Find(20), nullptr);
    EXPECT_EQ(context.m_UserList.GetCount(), 2);
    EXPECT_EQ(context.m_FSTree.GetCount(), 2);
    EXPECT_EQ(context.m_KeywordList.GetCount(), 2);
}

// A table that cannot be read: the folder step's failure is passed over (the tree stays as it
// was); any other ends the open, names the step and closes the connection.
TEST_F(LoadTest, UnreadableTables) {
    FillCatalogue();
    {
        auto m = Manager();
        ASSERT_EQ(m->Open(KX_DB_SQLITE), 1);
    }
    Sql("DROP TABLE VUZO_Dir");
    {
        auto m = Manager();
        EXPECT_EQ(m->Open(KX_DB_SQLITE), 1) << m->GetLastError();
        EXPECT_EQ(context.m_FSTree.GetCount(), 2);
    }
    Sql("DROP TABLE VUZO_Keyword");
    auto m = Manager();
    EXPECT_EQ(m->Open(KX_DB_SQLITE), 0);
    EXPECT_NE(m->GetLastError().find("keywords"), std::string::npos) << m->GetLastError();
    EXPECT_FALSE(m->IsOpen());
    EXPECT_EQ(context.m_KeywordList.GetCount(), 2); // left as it was
}

// Services add steps of their own and swap a loader for theirs.
TEST_F(LoadTest, ServicesExtendTheList) {
    auto m = Manager();
    std::vector<std::string> ran;
    m->GetLoaders().InsertAfter(kx::kLoadUsers, "licences", [&](CADODatabase&) {
        ran.push_back("licences");
        return 0;
    });
    ASSERT_EQ(m->GetLoaders().Replace(kx::kLoadPersons, [&](CADODatabase&) {
        ran.push_back("persons");
        return 5;
    }), 1);
    EXPECT_EQ(m->GetLoaders().Replace("nothing", nullptr), 0);
    m->GetLoaders().Add("late", [&](CADODatabase&) {
        ran.push_back("late");
        return -1;
    });
    EXPECT_EQ(m->GetLoaders().Names()[2], "licences");
    EXPECT_EQ(m->Open(KX_DB_SQLITE), 0);
    EXPECT_EQ(ran, (std::vector<std::string>{"licences", "persons", "late"}));
    EXPECT_NE(m->GetLastError().find("late"), std::string::npos);
}

} // namespace
