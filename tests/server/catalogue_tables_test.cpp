// Table operations of families and their attributes, keywords, keyword groups, templates and
// links, saved searches, file templates, projects and project links on a real SQLite file and
// the real PostgreSQL server: what each write stores, what loads read back, that multi-row
// changes are all-or-nothing and that saved searches stay with their owner.
#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxAttr.h"
#include "model/CkxFamily.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxQueryTemplet.h"
#include "support/TempDir.h"
#include "server/support/TestCatalogue.h"
#include "table/FamilyTables.h"
#include "table/KeywordTables.h"
#include "table/ProjectTables.h"
#include "table/TempletTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

class CatalogueTables : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        bool skipped = false;
        const std::string why = cat.Open(GetParam(), dir.str(), skipped);
        if (skipped) GTEST_SKIP() << why;
        ASSERT_EQ(why, "");
    }
    CADODatabase& db() { return cat.db; }
    int Rows(const std::string& sql) { return cat.Count(sql); }
    // Makes every insert into the table whose column equals the value fail, so a statement in
    // the middle of a multi-row change is refused.
    void RefuseInsert(const std::string& table, const std::string& column, int value) {
        const std::string v = std::to_string(value);
        if (GetParam() == KX_DB_SQLITE) {
            ASSERT_EQ(db().Execute("CREATE TRIGGER refuse BEFORE INSERT ON " + table + " WHEN NEW." + column +
                                   " = " + v + " BEGIN SELECT RAISE(ABORT, 'refused'); END"),
                      1);
        } else {
            ASSERT_EQ(db().Execute("ALTER TABLE " + table + " ADD CONSTRAINT refuse CHECK (" + column +
                                   " <> " + v + ")"),
                      1);
        }
    }
    std::vector<std::pair<int, int>> Links(int fileId) {
        std::vector<std::pair<int, int>> out;
        CADORecordset rs;
        if (!db().Query(" SELECT * FROM VUZO_KeywordLink WHERE T_FileID = " + std::to_string(fileId) +
                            " ORDER BY T_KeyID",
                        rs))
            return out;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            int32_t f = 0, k = 0;
            rs.GetLong("T_FileID", f);
            rs.GetLong("T_KeyID", k);
            out.emplace_back(f, k);
        }
        return out;
    }

    TempDir dir;
    kxtest::TestCatalogue cat;
    kxtest::DbErrorLog errors; // keeps the refused statements quiet
};

CkxFamily Family(const std::string& name, int level, int parent) {
    CkxFamily f;
    f.m_strName = name;
    f.m_nLevel = level;
    f.m_nParentID = parent;
    f.SetImage();
    f.m_nCreatorID = 4;
    f.m_strNote = "n'o";
    return f;
}

CkxAttr Attr(int familyId, int constants) {
    CkxAttr a;
    a.m_strName = "色彩";
    a.m_nFamilyID = familyId;
    a.SetImage();
    a.m_nDataType = KXT_STR;
    a.m_nEditWay = KXE_COMBO;
    a.m_strNote = "note";
    for (int i = 0; i < constants; ++i) {
        CkxConst c;
        c.SetAlias("c" + std::to_string(i));
        a.m_Consts.AddTail(c);
    }
    return a;
}

std::vector<int> ConstIds(const CkxAttr& a) {
    std::vector<int> ids;
    a.m_Consts.ForEach([&](const CkxConst& c) { ids.push_back(c.m_nID); });
    return ids;
}

TEST_P(CatalogueTables, FamiliesStoreTheirColumnsAndReloadParentsFirst) {
    CkxFamily top = Family("风景", 1, KXF_ROOT_IMAGE);
    top.m_dtCreate = COleDateTime(2001, 1, 1, 0, 0, 0);
    const COleDateTime before = COleDateTime::GetCurrentTime();
    ASSERT_EQ(FamilyTable::Insert(db(), top), 1);
    EXPECT_GT(top.m_nID, 0);
    EXPECT_GE(top.m_dtCreate.m_dt, before.m_dt); // the server's time replaces the request's
    CkxFamily child = Family("山", 2, top.m_nID);
    ASSERT_EQ(FamilyTable::Insert(db(), child), 1);

    top.m_strName = "风景画";
    ASSERT_EQ(FamilyTable::Update(db(), top), 1);

    CkxFamilyXXX registry;
    ASSERT_EQ(FamilyTable::LoadAll(db(), registry), 2);
    const CkxFamily* back = registry.family_Find(top.m_nID);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_strName, "风景画");
    EXPECT_EQ(back->m_strNote, "n'o");
    EXPECT_EQ(back->m_nCreatorID, 4);
    EXPECT_EQ(back->GetDataKind(), KXD_IMAGE);
    EXPECT_DOUBLE_EQ(back->m_dtCreate.m_dt, top.m_dtCreate.m_dt);
    EXPECT_TRUE(registry.family_IsHasChild(top.m_nID));
}

TEST_P(CatalogueTables, NewConstantsGetDistinctIdsAndTravelWithTheirAttribute) {
    CkxAttr a = Attr(7, 3);
    // A stored constant keeps its id and no new one takes it.
    CkxConst kept;
    kept.m_nID = 1;
    kept.SetAlias("kept");
    a.m_Consts.AddTail(kept);
    ASSERT_EQ(FamilyAttrTable::Insert(db(), a), 1);
    ASSERT_GT(a.m_nID, 0);
    const std::vector<int> ids = ConstIds(a);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), 4u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), -1), 0);
    EXPECT_EQ(ids[3], 1);

    CkxAttrList list;
    ASSERT_EQ(FamilyAttrTable::LoadAll(db(), list), 1);
    const CkxAttr* back = list.Find(a.m_nID);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ConstIds(*back), ids);
    EXPECT_EQ(back->m_strName, "色彩");
    EXPECT_EQ(back->m_nEditWay, KXE_COMBO);
    EXPECT_EQ(back->m_nDataType, KXT_STR);
    EXPECT_EQ(back->GetDataKind(), KXD_IMAGE);

    // Removing every constant lasts.
    a.m_Consts.DeleteAll();
    ASSERT_EQ(FamilyAttrTable::Update(db(), a), 1);
    list.DeleteAll();
    ASSERT_EQ(FamilyAttrTable::LoadAll(db(), list), 1);
    EXPECT_EQ(list.Find(a.m_nID)->m_Consts.GetCount(), 0);

    CkxAttr unknown = Attr(7, 0);
    unknown.m_nID = a.m_nID + 100;
    EXPECT_EQ(FamilyAttrTable::Update(db(), unknown), 0);
}

TEST_P(CatalogueTables, DeletingASubtreeTakesEveryRowOrNone) {
    std::vector<int> ids;
    for (int i = 0; i < 3; ++i) {
        CkxFamily f = Family("f" + std::to_string(i), 1, KXF_ROOT_IMAGE);
        ASSERT_EQ(FamilyTable::Insert(db(), f), 1);
        ids.push_back(f.m_nID);
        CkxAttr a = Attr(f.m_nID, 1);
        ASSERT_EQ(FamilyAttrTable::Insert(db(), a), 1);
    }
    CkxFamily other = Family("other", 1, KXF_ROOT_IMAGE);
    ASSERT_EQ(FamilyTable::Insert(db(), other), 1);
    CkxAttr otherAttr = Attr(other.m_nID, 0);
    ASSERT_EQ(FamilyAttrTable::Insert(db(), otherAttr), 1);

    // A family table that cannot be written: nothing at all goes.
    ASSERT_EQ(db().Execute(" ALTER TABLE VUZO_Family RENAME TO VUZO_Family_off "), 1);
    EXPECT_EQ(FamilyTable::DeleteTree(db(), ids), 0);
    ASSERT_EQ(db().Execute(" ALTER TABLE VUZO_Family_off RENAME TO VUZO_Family "), 1);
    EXPECT_EQ(Rows(" SELECT * FROM VUZO_FamilyAttr "), 4);

    ASSERT_EQ(FamilyTable::DeleteTree(db(), ids), 1);
    EXPECT_EQ(Rows(" SELECT * FROM VUZO_Family "), 1);
    EXPECT_EQ(Rows(" SELECT * FROM VUZO_FamilyAttr "), 1);
    EXPECT_EQ(FamilyAttrTable::DeleteOfFamily(db(), other.m_nID), 1);
    EXPECT_EQ(Rows(" SELECT * FROM VUZO_FamilyAttr "), 0);
}

TEST_P(CatalogueTables, KeywordsGroupsAndTemplatesRoundTrip) {
    CkxKeywordGroup g;
    g.m_strName = "人物";
    ASSERT_EQ(KeywordGroupTable::Insert(db(), g), 1);
    CkxKeyword k;
    k.m_nGroupID = g.m_nID;
    k.m_strName = "O'Neil";
    k.m_strNote = "note";
    ASSERT_EQ(KeywordTable::Insert(db(), k), 1);
    k.m_strName = "changed";
    ASSERT_EQ(KeywordTable::Update(db(), k), 1);
    CkxKeywordList keywords;
    ASSERT_EQ(KeywordTable::LoadAll(db(), keywords), 1);
    EXPECT_EQ(keywords.Find(k.m_nID)->m_strName, "changed");
    EXPECT_EQ(keywords.Find(k.m_nID)->m_nGroupID, g.m_nID);

    CkxKeywordTemplet t;
    t.m_strName = "模板";
    t.m_listKeyword = {3, 5, 8};
    ASSERT_EQ(KeywordTempletTable::Insert(db(), t), 1);
    CkxKeywordTempletList templets;
    ASSERT_EQ(KeywordTempletTable::LoadAll(db(), templets), 1);
    EXPECT_EQ(templets.Find(t.m_nID)->m_listKeyword, (std::vector<int32_t>{3, 5, 8}));
    t.m_listKeyword.clear();
    ASSERT_EQ(KeywordTempletTable::Update(db(), t), 1);
    ASSERT_EQ(KeywordTempletTable::LoadAll(db(), templets), 1);
    EXPECT_TRUE(templets.Find(t.m_nID)->m_listKeyword.empty());

    ASSERT_EQ(KeywordTable::Delete(db(), k.m_nID), 1);
    ASSERT_EQ(KeywordGroupTable::Delete(db(), g.m_nID), 1);
    ASSERT_EQ(KeywordTempletTable::Delete(db(), t.m_nID), 1);
    EXPECT_EQ(KeywordTable::LoadAll(db(), keywords), 0);

    // Not open: nothing is written and the id stays.
    db().Close();
    CADODatabase closed;
    CkxKeyword lost;
    lost.m_nID = 77;
    EXPECT_EQ(KeywordTable::Insert(closed, lost), 0);
    EXPECT_EQ(lost.m_nID, 77);
}

TEST_P(CatalogueTables, ReplacingAFilesLinksIsAllOrNothing) {
    for (auto [f, k] : {std::pair{7, 1}, {7, 2}, {8, 1}})
        ASSERT_EQ(KeywordLinkTable::Insert(db(), CkxKeywordLink(f, k)), 1);
    CkxKeywordLinkList links;
    links.AddTail(CkxKeywordLink(7, 3));
    links.AddTail(CkxKeywordLink(7, 5));
    ASSERT_EQ(KeywordLinkTable::SetFileLinks(db(), 7, links), 1);
    EXPECT_EQ(Links(7), (std::vector<std::pair<int, int>>{{7, 3}, {7, 5}}));
    EXPECT_EQ(Links(8).size(), 1u);

    // The second insert is refused: the file keeps its rows as they were.
    RefuseInsert("VUZO_KeywordLink", "T_KeyID", 9);
    CkxKeywordLinkList refused;
    refused.AddTail(CkxKeywordLink(7, 4));
    refused.AddTail(CkxKeywordLink(7, 9));
    EXPECT_EQ(KeywordLinkTable::SetFileLinks(db(), 7, refused), 0);
    EXPECT_EQ(Links(7), (std::vector<std::pair<int, int>>{{7, 3}, {7, 5}}));

    CkxKeywordLinkList none;
    ASSERT_EQ(KeywordLinkTable::SetFileLinks(db(), 7, none), 1);
    EXPECT_TRUE(Links(7).empty());
    CkxKeywordLinkList all;
    ASSERT_EQ(KeywordLinkTable::LoadAll(db(), all), 1);
}

TEST_P(CatalogueTables, KeywordQueriesSelectFilesCarryingEveryKeyword) {
    EXPECT_EQ(KeywordLinkTable::AllKeywordsQuery({}), "");
    const std::string q = [](int k) {
        return " SELECT T_FileID FROM  VUZO_KeywordLink WHERE T_KeyID = " + std::to_string(k) + " ";
    }(1);
    EXPECT_EQ(KeywordLinkTable::AllKeywordsQuery({1}), q);
    EXPECT_EQ(KeywordLinkTable::AllKeywordsQuery({1, 2, 3}),
              KeywordLinkTable::FilesOfKeywordQuery(1) + " AND T_FileID IN ( " +
                  KeywordLinkTable::FilesOfKeywordQuery(2) + " AND T_FileID IN ( " +
                  KeywordLinkTable::FilesOfKeywordQuery(3) + " ) " + " ) ");

    for (auto [f, k] : {std::pair{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 2}, {3, 3}, {4, 1}, {4, 2}, {4, 3}})
        ASSERT_EQ(KeywordLinkTable::Insert(db(), CkxKeywordLink(f, k)), 1);
    std::vector<int> files{99};
    ASSERT_EQ(KeywordLinkTable::FilesWithAllKeywords(db(), {1, 2, 3}, files), 3);
    std::sort(files.begin() + 1, files.end());
    EXPECT_EQ(files, (std::vector<int>{99, 1, 4}));
    std::vector<int> untouched;
    EXPECT_EQ(KeywordLinkTable::FilesWithAllKeywords(db(), {}, untouched), 0);
    ASSERT_EQ(db().Execute(" DROP TABLE VUZO_KeywordLink "), 1);
    EXPECT_EQ(KeywordLinkTable::FilesWithAllKeywords(db(), {1}, untouched), -1);
}

TEST_P(CatalogueTables, SavedSearchesStayWithTheirOwner) {
    CkxQueryTemplet t;
    t.m_nDataMode = 3;
    t.m_strName = "我的";
    t.m_nCreatorID = 5;
    t.SetFixTitle("海");
    CkxBuf buf;
    ASSERT_GT(t.BuildQueryBuf(buf), 0);
    const COleDateTime before = COleDateTime::GetCurrentTime();
    ASSERT_EQ(QueryTempletTable::Insert(db(), t, buf.GetBuf(), buf.GetLen()), 1);
    EXPECT_GE(t.m_dtCreate.m_dt, before.m_dt);
    CkxQueryTemplet other = t;
    other.m_nCreatorID = 6;
    ASSERT_EQ(QueryTempletTable::Insert(db(), other, buf.GetBuf(), buf.GetLen()), 1);

    CkxQueryTempletList mine;
    mine.AddTail(CkxQueryTemplet()); // emptied first
    ASSERT_EQ(QueryTempletTable::LoadOfCreator(db(), 5, mine), 1);
    const CkxQueryTemplet* back = mine.Find(t.m_nID);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetFixTitle(), "海");
    CkxBuf again;
    back->BuildQueryBuf(again);
    EXPECT_EQ(again.View(), buf.View());

    // User 6 can neither change nor delete user 5's search.
    CkxQueryTemplet theft = t;
    theft.m_nCreatorID = 6;
    theft.m_strName = "stolen";
    EXPECT_EQ(QueryTempletTable::Update(db(), theft, buf.GetBuf(), buf.GetLen()), 0);
    EXPECT_EQ(QueryTempletTable::Delete(db(), t.m_nID, 6), 1);
    ASSERT_EQ(QueryTempletTable::LoadOfCreator(db(), 5, mine), 1);
    EXPECT_EQ(mine.Find(t.m_nID)->m_strName, "我的");

    t.m_strName = "renamed";
    ASSERT_EQ(QueryTempletTable::Update(db(), t, buf.GetBuf(), buf.GetLen()), 1);
    ASSERT_EQ(QueryTempletTable::Delete(db(), t.m_nID, 5), 1);
    EXPECT_EQ(QueryTempletTable::LoadOfCreator(db(), 5, mine), 0);
    EXPECT_EQ(QueryTempletTable::LoadOfCreator(db(), 6, mine), 1);
}

TEST_P(CatalogueTables, FileTemplatesKeepTheirAttributeBuffer) {
    CkxObjAttrTemplet t;
    t.m_strName = "tpl";
    t.m_nDataMode = KXD_IMAGE;
    t.m_nFamilyID = 12;
    t.m_nCreatorID = 3;
    CkxBuf buf;
    ASSERT_GT(t.BuildBuf(buf), 0);
    ASSERT_EQ(FileTempletTable::Insert(db(), t, buf.GetBuf(), buf.GetLen()), 1);
    CkxObjAttrTemplet plain = t;
    plain.m_nDataMode = KXD_TEXT;
    ASSERT_EQ(FileTempletTable::Insert(db(), plain, buf.GetBuf(), buf.GetLen()), 1);

    CkxObjAttrTempletList list;
    ASSERT_EQ(FileTempletTable::LoadAll(db(), list), 2);
    CkxBuf back;
    list.Find(t.m_nID)->BuildBuf(back);
    EXPECT_EQ(back.View(), buf.View());
    EXPECT_EQ(list.Find(plain.m_nID)->m_nFamilyID, 12);

    t.m_strName = "renamed";
    ASSERT_EQ(FileTempletTable::Update(db(), t, buf.GetBuf(), buf.GetLen()), 1);
    CkxObjAttrTemplet unknown = t;
    unknown.m_nID = 999;
    EXPECT_EQ(FileTempletTable::Update(db(), unknown, buf.GetBuf(), buf.GetLen()), 0);
    ASSERT_EQ(FileTempletTable::Delete(db(), t.m_nID), 1);
    ASSERT_EQ(FileTempletTable::LoadAll(db(), list), 1);
}

CkxProjectData Link(int id, int project, int file) {
    CkxProjectData d;
    d.m_nID = id;
    d.m_nProjectID = project;
    d.m_nFileID = file;
    d.m_nCreatorID = 2;
    d.m_strAlias = "alias";
    return d;
}

TEST_P(CatalogueTables, ProjectsAndTheirMembersRoundTrip) {
    CkxProject p;
    p.m_strName = "项目";
    p.m_nLev = 1;
    p.m_nParentID = -1;
    p.m_nNodeType = 3;
    p.m_nState = CkxProject::STATE_PROCESS;
    p.m_nCreatorID = 2;
    p.m_nCoworkerID = 3;
    p.m_dtCreate = COleDateTime(2020, 5, 6, 7, 8, 9);
    p.m_dtEnd = COleDateTime(2021, 1, 2, 0, 0, 0);
    p.m_strDescribe = "desc";
    p.m_strNote = "note";
    CkxUserX member;
    member.m_nID = 9;
    p.m_UserList.AddTail(member);
    ASSERT_EQ(ProjectTable::Insert(db(), p), 1);
    ASSERT_GT(p.m_nID, 0);
    CkxProjectList list;
    ASSERT_EQ(ProjectTable::LoadAll(db(), list), 1);
    const CkxProject* back = list.Find(p.m_nID);
    ASSERT_NE(back, nullptr);
    const auto a = back->GetComData(), b = p.GetComData();
    EXPECT_EQ(memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(back->m_UserList.GetCount(), 1);

    p.m_UserList.DeleteAll();
    ASSERT_EQ(ProjectTable::Update(db(), p), 1);
    ASSERT_EQ(ProjectTable::LoadAll(db(), list), 1);
    EXPECT_EQ(list.Find(p.m_nID)->m_UserList.GetCount(), 0);

    CkxProjectData link = Link(-1, p.m_nID, 4);
    ASSERT_EQ(ProjectFileTable::Insert(db(), link), 1);
    ASSERT_EQ(ProjectTable::Delete(db(), p.m_nID), 1);
    EXPECT_EQ(Rows(" SELECT * FROM VUZO_ProjectFile "), 1); // links stay
}

TEST_P(CatalogueTables, SavingAFilesProjectLinksKeepsInsertsAndDeletes) {
    CkxProjectData keep = Link(-1, 1, 7), drop = Link(-1, 2, 7), otherFile = Link(-1, 1, 8);
    for (CkxProjectData* d : {&keep, &drop, &otherFile}) ASSERT_EQ(ProjectFileTable::Insert(db(), *d), 1);
    keep.m_strAlias = "changed in the request";

    CkxProjectDataList set;
    set.AddTail(keep);
    set.AddTail(Link(0, 3, 7));
    ASSERT_EQ(ProjectFileTable::SaveFileLinks(db(), 7, set), 1);
    EXPECT_GT(set.Find(3, 7)->m_nID, 0);

    CkxProjectDataList all;
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 3);
    EXPECT_NE(all.Find(keep.m_nID), nullptr);
    EXPECT_EQ(all.Find(keep.m_nID)->m_strAlias, "alias"); // a stored link is never rewritten
    EXPECT_EQ(all.Find(drop.m_nID), nullptr);
    EXPECT_NE(all.Find(otherFile.m_nID), nullptr);

    // A refused insert leaves the file's links as they were.
    RefuseInsert("VUZO_ProjectFile", "T_ProjectID", 66);
    CkxProjectDataList refused;
    refused.AddTail(Link(0, 66, 7));
    EXPECT_EQ(ProjectFileTable::SaveFileLinks(db(), 7, refused), 0);
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 3);

    ASSERT_EQ(ProjectFileTable::DeleteLinks(db(), set), 1);
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 1);
    CkxProjectDataList none;
    ASSERT_EQ(ProjectFileTable::SaveFileLinks(db(), 8, none), 1);
    EXPECT_EQ(ProjectFileTable::LoadAll(db(), all), 0);

    // Listed ids that are no link of this file (another file's, one removed meanwhile) are
    // stored anew for this file: the other file's link is untouched, and every link of the
    // list that comes back is in the table.
    CkxProjectData foreign = Link(-1, 1, 8);
    ASSERT_EQ(ProjectFileTable::Insert(db(), foreign), 1);
    CkxProjectDataList stale;
    stale.AddTail(Link(foreign.m_nID, 5, 7));
    stale.AddTail(Link(foreign.m_nID + 100, 6, 7));
    ASSERT_EQ(ProjectFileTable::SaveFileLinks(db(), 7, stale, 42), 1);
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 3);
    EXPECT_EQ(all.Find(foreign.m_nID)->m_nFileID, 8);
    EXPECT_EQ(all.Find(foreign.m_nID)->m_nProjectID, 1);
    stale.ForEach([&](const CkxProjectData& d) {
        EXPECT_NE(d.m_nID, foreign.m_nID);
        const CkxProjectData* row = all.Find(d.m_nID);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->m_nFileID, 7);
        EXPECT_EQ(row->m_nProjectID, d.m_nProjectID);
        EXPECT_EQ(row->m_nCreatorID, 42);
    });
}

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueTables, ::testing::Values(KX_DB_SQLITE, KX_DB_POSTGRESQL),
                         [](const auto& p) { return kxtest::EngineName(p.param); });

} // namespace
