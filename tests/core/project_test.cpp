#include "model/CkxPerson.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"

#include "core/support/WireText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

CkxProject Project(int id, int lev, int parent) {
    CkxProject p;
    p.m_nID = id;
    p.m_nLev = lev;
    p.m_nParentID = parent;
    return p;
}

CkxProjectData Link(int id, int project, int file) {
    CkxProjectData d;
    d.m_nID = id;
    d.m_nProjectID = project;
    d.m_nFileID = file;
    return d;
}

} // namespace

TEST(CkxPerson, GoldenRecordAndList) {
    CkxPerson p;
    p.m_nID = 6;
    p.m_strName = "张";
    p.m_nRelation = 2;
    p.m_nProfession = 3;
    p.m_strNote = "n";
    std::string expect = I32(6) + Field("\xD5\xC5", 50) + "\x02\x03" + Field("n", 50) + std::string(2, '\0');
    ASSERT_EQ(expect.size(), 108u);
    EXPECT_EQ(kx::RecordBytes(p.GetComData()), expect);
    CkxPerson::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxPerson back(c);
    EXPECT_EQ(back.m_nRelation, 2);
    EXPECT_EQ(back.m_nProfession, 3);
    EXPECT_EQ(back.m_strName, "张");
    EXPECT_EQ(CkxPerson::GetRelationName(2), "合作者");
    EXPECT_EQ(CkxPerson::GetProfessionName(3), "摄影师");
    EXPECT_EQ(CkxPerson::GetProfessionName(9), "");

    CkxPersonList list;
    EXPECT_EQ(list.AddTail(back), 1);
    EXPECT_EQ(list.AddTail(static_cast<CkxPerson*>(nullptr)), 0);
    EXPECT_EQ(list.AddTail(new CkxPerson(back)), 1);
    EXPECT_EQ(list.GetName(6), "张");
    EXPECT_EQ(list.GetName(7), "");
    EXPECT_EQ(list.Delete(6), 2);
}

TEST(CkxProject, GoldenRecordKeepsMembersApart) {
    CkxProject p = Project(3, 1, 2);
    p.m_nNodeType = 1;
    p.m_nFifth = 8;
    p.m_strName = "p";
    p.m_strNote = "n";
    p.m_nState = CkxProject::STATE_PROCESS;
    p.m_nCreatorID = 4;
    p.m_nCoworkerID = 5;
    p.m_dtCreate = COleDateTime(2006, 5, 7, 8, 5, 9);
    p.m_dtEnd = COleDateTime(2006, 6, 1, 0, 0, 0);
    p.m_strDescribe = "d";
    p.m_UserList.AddTail(CkxUserX(9, CkxUserX::TYPE_USER));
    std::string body = I32(3) + I32(1) + I32(2) + I32(1) + I32(8) + Field("p", 50) + Field("n", 50) + "\x02" +
                       std::string(3, '\0') + I32(4) + I32(5) + F64(p.m_dtCreate.m_dt) + F64(p.m_dtEnd.m_dt) +
                       Field("d", 50) + std::string(6, '\0');
    std::string bytes = kx::RecordBytes(p.GetComData());
    ASSERT_EQ(bytes.size(), 208u);
    EXPECT_EQ(bytes.substr(4), body);

    CkxProject::_COM c;
    std::string other = I32(0) + body;
    ASSERT_TRUE(kx::ReadRecord(other.data(), other.size(), c));
    CkxProject back;
    back.m_UserList.AddTail(CkxUserX(1, CkxUserX::TYPE_GROUP));
    back = c;
    EXPECT_TRUE(back.IsStateProcess());
    EXPECT_EQ(back.m_nCreatorID, 4);
    EXPECT_EQ(kx::DateText(back.m_dtCreate), "2006-5-7 8:5:9");
    EXPECT_EQ(back.m_UserList.GetCount(), 1); // the record leaves the members alone
    EXPECT_TRUE(back.m_UserList.Find(1)->IsGroup());

    CkxBuf members;
    ASSERT_EQ(p.BuildUserBuf(members), 12);
    EXPECT_EQ(back.PasyUserBuf(members.GetBuf(), members.GetLen()), 1);
    EXPECT_EQ(back.m_UserList.GetCount(), 1);
    EXPECT_NE(back.m_UserList.Find(9), nullptr);

    CkxProject copy(p);
    copy.m_UserList.DeleteAll();
    EXPECT_EQ(p.m_UserList.GetCount(), 1); // copies own their members
}

TEST(CkxProjectList, UpdateAndPlainListHelpers) {
    CkxProjectList list;
    CkxProject a = Project(1, 3, 7);
    list.AddTail(a);
    a.m_strName = "renamed";
    a.m_UserList.AddTail(CkxUserX(2, CkxUserX::TYPE_USER));
    EXPECT_EQ(list.Update(a), 1);
    EXPECT_EQ(list.Find(1)->m_strName, "renamed");
    EXPECT_EQ(list.Find(1)->m_UserList.GetCount(), 1);
    EXPECT_EQ(list.Update(Project(9, 0, -1)), 0);

    // Levels 3, 2, 2: the minimum is 2; the first level-2 project whose parent is not listed
    // is the root to draw from.
    CkxProject p1 = Project(10, 3, 12), p2 = Project(11, 2, 12), p3 = Project(12, 2, 5), p4 = Project(13, 2, -1);
    std::vector<CkxProject*> plain{&p1, &p2, &p3, &p4};
    EXPECT_EQ(CkxProjectList::GetMinLevNo(plain), 2);
    EXPECT_EQ(CkxProjectList::FindFirstNode(plain), &p3);
    EXPECT_EQ(CkxProjectList::IsAtList(plain, 11), 1);
    EXPECT_EQ(CkxProjectList::IsAtList(plain, 99), 0);
    CkxProject same = Project(12, 0, -1);
    EXPECT_EQ(CkxProjectList::IsAtList(plain, &same), 1);
    EXPECT_EQ(CkxProjectList::IsAtList(plain, static_cast<CkxProject*>(nullptr)), 0);
    EXPECT_EQ(CkxProjectList::GetMinLevNo({}), -1);
    EXPECT_EQ(CkxProjectList::FindFirstNode({}), nullptr);
    std::vector<CkxProject*> cyc{&p2};
    p2.m_nParentID = 11; // names itself: still no listed parent other than itself
    EXPECT_EQ(CkxProjectList::FindFirstNode(cyc), nullptr);
}

TEST(CkxProjectData, GoldenRecordAndDefaults) {
    CkxProjectData fresh;
    EXPECT_EQ(fresh.m_nID, -1);
    EXPECT_TRUE(fresh.IsImage());
    EXPECT_FALSE(fresh.IsValid());
    EXPECT_GT(fresh.m_dtCreate.m_dt, 0.0);

    CkxProjectData d = Link(5, 2, 9);
    d.SetDataStateHide();
    d.m_nCreatorID = 4;
    d.m_dtCreate = COleDateTime(2006, 5, 7, 0, 0, 0);
    d.m_strAlias = "a";
    d.m_strRemark = "r";
    std::string expect = I32(5) + I32(2) + I32(9) + std::string("\x03\x01\0\0", 4) + I32(4) + I32(0) +
                         F64(d.m_dtCreate.m_dt) + Field("a", 50) + Field("r", 50) + I32(0);
    ASSERT_EQ(expect.size(), 136u);
    EXPECT_EQ(kx::RecordBytes(d.GetComData()), expect);
    CkxProjectData::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxProjectData back(c);
    EXPECT_TRUE(back.IsValid());
    EXPECT_EQ(back.m_strAlias, "a");
    EXPECT_EQ(kx::DateText(back.m_dtCreate), "2006-5-7");
}

TEST(CkxProjectDataList, PairsFilesAndProjects) {
    CkxProjectDataList links;
    links.AddTail(Link(1, 10, 100));
    links.AddTail(Link(0, 10, 101));
    links.AddTail(Link(-1, 11, 100));
    links.AddTail(Link(4, 12, 102));
    EXPECT_EQ(links.AddTail(static_cast<CkxProjectData*>(nullptr)), 0);

    EXPECT_EQ(links.GetID(10, 100), 1);
    EXPECT_EQ(links.GetID(10, 102), -1);
    EXPECT_EQ(links.FindData(100)->m_nProjectID, 10);
    std::vector<int> projects{77};
    EXPECT_EQ(links.GetFileRefProject(100, projects), 2);
    EXPECT_EQ(projects, (std::vector<int>{10, 11}));

    links.SetNewLinkCreator(8);
    EXPECT_EQ(links.Find(10, 101)->m_nCreatorID, 8);
    EXPECT_EQ(links.Find(11, 100)->m_nCreatorID, 8);
    EXPECT_EQ(links.Find(10, 100)->m_nCreatorID, 0); // stored links keep their creator
    EXPECT_EQ(links.Find(12, 102)->m_nCreatorID, 0);

    CkxProjectData changed = Link(1, 10, 100);
    changed.m_strAlias = "x";
    EXPECT_EQ(links.Update(changed), 1);
    EXPECT_EQ(links.Find(10, 100)->m_strAlias, "x");
    EXPECT_EQ(links.Update(Link(1, 99, 99)), 0);

    CkxProjectDataList given;
    given.AddTail(Link(-1, 13, 100));
    links.SetFile(100, given);
    EXPECT_EQ(links.GetFileRefProject(100, projects), 1);
    EXPECT_EQ(projects, (std::vector<int>{13}));
    links.SetProject(10, CkxProjectDataList());
    EXPECT_EQ(links.Find(10, 101), nullptr);
    links.SetFile(100, links); // given itself: unchanged, and it ends
    EXPECT_EQ(links.GetCount(), 2);
    EXPECT_EQ(links.Delete(13, 100), 1);
    EXPECT_EQ(links.Delete(4), 1);
    EXPECT_EQ(links.GetCount(), 0);
}
