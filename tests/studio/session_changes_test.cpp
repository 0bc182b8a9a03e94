// The studio session follows the catalogue as another workstation (su) changes it: one row per
// action, each checking the cache and the exact (slot, code, id) sequence the windows are told.
#include "studio/support/StudioTestKit.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace studiotest;
using namespace kx;

namespace {

template <class List>
int IdNamed(const List& list, const std::string& name) {
    int id = -1;
    list.ForEach([&](const auto& r) {
        if (r.m_strName == name) id = r.GetID();
    });
    return id;
}

std::set<int> FileKeywords(int fileId) {
    std::vector<int> ids;
    KX_KXXXX().m_KeywordLinkList.GetFileKeyword(fileId, ids);
    return {ids.begin(), ids.end()};
}

class SessionChanges : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        su = server->LogOn("su", kSuPassword);
        ASSERT_NE(su, nullptr);
    }

    // Waits until the windows were told as much as expected, then a little longer for anything
    // more, and compares the whole sequence.
    void ExpectTold(SlotWatch& watch, const std::vector<SlotTold>& expected) {
        PumpUntil([&] { return watch.log.size() >= expected.size(); }, 5s);
        PumpFor(150ms);
        EXPECT_EQ(watch.log, expected);
    }

    CkxFSNode Folder(const std::string& name, int parent) {
        CkxFSNode n;
        n.m_strName = name;
        n.m_nParentID = parent;
        n.m_Power.m_nInherit = 1;
        return n;
    }
    void AddFolder(const std::string& name, int parent) {
        const CkxFSNode n = Folder(name, parent);
        ASSERT_TRUE(SendPieces(*su, kMsgFolder, kSubAdd, {Bytes(n.GetComData()), Rights(n)}));
        ASSERT_TRUE(PumpUntil([&] { return FolderNamed(name) > 0; }));
    }

    std::unique_ptr<srvtest::TestClient> su;
};

TEST_F(SessionChanges, EachChangeOfAnotherWorkstationReachesTheCacheAndTheRightWindows) {
    SlotWatch watch(*link, {kSlotKeywords, kSlotKeywordGroups, kSlotKeywordLinks, kSlotPersons, kSlotFolders,
                            kSlotFamilies, kSlotFamilyAttrA, kSlotFileDetails, kSlotProjectData, kSlotTemplates});
    CkxXXX& c = KX_KXXXX();
    const int fileA = Id("file.a"), fileB = Id("file.b"), fileC = Id("file.c");

    struct Row {
        const char* name;
        std::function<void()> run;
    };
    const Row rows[] = {
        {"keyword added",
         [&] {
             CkxKeyword k;
             k.m_strName = "新词";
             k.m_nGroupID = Id("group.people");
             ASSERT_TRUE(su->SendRecord(kMsgKeyword, kSubAdd, k.GetComData()));
             ASSERT_TRUE(PumpUntil([&] { return IdNamed(c.m_KeywordList, "新词") > 0; }));
             ExpectTold(watch, {{kSlotKeywords, kNoticeAdded, IdNamed(c.m_KeywordList, "新词")}});
         }},
        {"keyword modified",
         [&] {
             CkxKeyword k = *c.m_KeywordList.Find(Id("keyword.face"));
             k.m_strName = "脸庞";
             ASSERT_TRUE(su->SendRecord(kMsgKeyword, kSubModify, k.GetComData()));
             ExpectTold(watch, {{kSlotKeywords, kNoticeUpdated, Id("keyword.face")}});
             EXPECT_EQ(c.m_KeywordList.GetName(Id("keyword.face")), "脸庞");
         }},
        {"keyword deleted",
         [&] {
             ASSERT_TRUE(su->SendText(kMsgKeyword, kSubDelete, std::to_string(Id("keyword.smile"))));
             ExpectTold(watch, {{kSlotKeywords, kNoticeRemoved, Id("keyword.smile")}});
             EXPECT_EQ(c.m_KeywordList.Find(Id("keyword.smile")), nullptr);
         }},
        {"keyword group added",
         [&] {
             CkxKeywordGroup g;
             g.m_strName = "物品";
             ASSERT_TRUE(su->SendRecord(kMsgKeywordGroup, kSubAdd, g.GetComData()));
             ASSERT_TRUE(PumpUntil([&] { return IdNamed(c.m_KeywordGroupList, "物品") > 0; }));
             ExpectTold(watch, {{kSlotKeywordGroups, kNoticeTagAdded, IdNamed(c.m_KeywordGroupList, "物品")}});
         }},
        {"person added",
         [&] {
             CkxPerson p;
             p.m_strName = "张";
             ASSERT_TRUE(su->SendRecord(kMsgPerson, kSubAdd, p.GetComData()));
             ASSERT_TRUE(PumpUntil([&] { return IdNamed(c.m_PersonList, "张") > 0; }));
             ExpectTold(watch, {{kSlotPersons, kNoticeAdded, IdNamed(c.m_PersonList, "张")}});
         }},
        {"folder added",
         [&] {
             AddFolder("新目录", Id("folder.top"));
             const int id = FolderNamed("新目录");
             ExpectTold(watch, {{kSlotFolders, kNoticeAdded, id}});
             EXPECT_EQ(c.fsFind(id)->m_nParentID, Id("folder.top"));
         }},
        {"folder modified",
         [&] {
             CkxFSNode n = *c.fsFind(Id("folder.other"));
             n.m_strName = "别的";
             ASSERT_TRUE(SendPieces(*su, kMsgFolder, kSubModify, {Bytes(n.GetComData()), Rights(n)}));
             ExpectTold(watch, {{kSlotFolders, kNoticeUpdated, Id("folder.other")}});
             EXPECT_EQ(c.fsGetDirName(Id("folder.other")), "别的");
         }},
        {"folder with two sub-folders deleted",
         [&] {
             AddFolder("甲", Id("folder.other"));
             AddFolder("甲一", FolderNamed("甲"));
             AddFolder("甲二", FolderNamed("甲"));
             PumpFor(100ms);
             watch.Clear();
             const int x = FolderNamed("甲"), x1 = FolderNamed("甲一"), x2 = FolderNamed("甲二");
             ASSERT_TRUE(SendPieces(*su, kMsgFolder, kSubDelete,
                                    {Bytes(c.fsFind(x)->GetComData()), Bytes(c.fsFind(x1)->GetComData()),
                                     Bytes(c.fsFind(x2)->GetComData())}));
             ExpectTold(watch, {{kSlotFolders, kNoticeRemoved, x}});
             EXPECT_EQ(c.fsFind(x), nullptr);
             EXPECT_EQ(c.fsFind(x1), nullptr);
             EXPECT_EQ(c.fsFind(x2), nullptr);
             EXPECT_NE(c.fsFind(Id("folder.other")), nullptr);
         }},
        {"family with two children deleted",
         [&] {
             ASSERT_TRUE(su->SendText(kMsgFamily, kSubDelete, std::to_string(Id("family.fam"))));
             ExpectTold(watch, {{kSlotFamilies, kNoticeRemoved, Id("family.fam")},
                                {kSlotFamilyAttrA, kNoticeRemoved, Id("family.fam")}});
             for (const char* key : {"family.fam", "family.fam.a", "family.fam.b"})
                 EXPECT_EQ(KX_FamilyXXX().family_Find(Id(key)), nullptr) << key;
             EXPECT_NE(KX_FamilyXXX().family_Find(KXF_ROOT_IMAGE), nullptr);
         }},
        {"quick keys of one file",
         [&] {
             CkxFSQuickKey key;
             key.m_nDirID = Id("folder.low");
             key.m_nFileID = fileB;
             ASSERT_TRUE(SendPieces(*su, kMsgFileQuickKeys, kSubModify, {Bytes(key.GetComData())},
                                    static_cast<uint32_t>(fileB)));
             ExpectTold(watch, {{kSlotFileDetails, kNoticeTagUpdated, 0}});
             EXPECT_NE(c.m_QuickKeyList.Find(Id("folder.low"), fileB), nullptr);
             EXPECT_NE(c.m_QuickKeyList.Find(Id("folder.mid"), fileA), nullptr); // another file's key stays
         }},
        {"keyword links of one file",
         [&] {
             ASSERT_TRUE(SendPieces(*su, kMsgKeywordLink, kSubModify,
                                    {Bytes(CkxKeywordLink(fileB, Id("keyword.beach")).GetComData())},
                                    static_cast<uint32_t>(fileB)));
             ExpectTold(watch, {{kSlotKeywordLinks, kNoticeUpdated, 0}, {kSlotFileDetails, kNoticeUpdated, 0}});
             EXPECT_EQ(FileKeywords(fileB), std::set<int>{Id("keyword.beach")});
             EXPECT_EQ(FileKeywords(fileA), (std::set<int>{Id("keyword.face"), Id("keyword.beach")}));
         }},
        {"the file's last keyword removed",
         [&] {
             ASSERT_TRUE(SendPieces(*su, kMsgKeywordLink, kSubModify, {}, static_cast<uint32_t>(fileB)));
             ExpectTold(watch, {{kSlotKeywordLinks, kNoticeUpdated, 0}, {kSlotFileDetails, kNoticeUpdated, 0}});
             EXPECT_TRUE(FileKeywords(fileB).empty());
             EXPECT_EQ(FileKeywords(fileA).size(), 2u);
         }},
        {"a project link of a file",
         [&] {
             CkxProjectData d;
             d.m_nProjectID = Id("project.proj");
             d.m_nFileID = fileC;
             d.m_strAlias = "页3";
             ASSERT_TRUE(su->SendRecord(kMsgProjectLink, kSubAdd, d.GetComData()));
             ASSERT_TRUE(PumpUntil([&] { return c.m_ProjectDataList.Find(Id("project.proj"), fileC) != nullptr; }));
             const int id = c.m_ProjectDataList.GetID(Id("project.proj"), fileC);
             ExpectTold(watch, {{kSlotProjectData, kNoticeAdded, id}, {kSlotFileDetails, kNoticeShareUpdated, 0}});
         }},
        {"the studio's own bookmark",
         [&] {
             CkxDataTag tag;
             tag.m_strName = "书签二";
             tag.m_nUserID = link->GetCurrentUserId();
             tag.m_nFileID = fileB;
             ASSERT_EQ(link->SendDataTagAddRequest(tag), 1);
             ASSERT_TRUE(PumpUntil([&] { return IdNamed(c.m_DataTagList, "书签二") > 0; }));
             ExpectTold(watch, {{kSlotTemplates, kNoticeTagAdded, IdNamed(c.m_DataTagList, "书签二")}});
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        watch.Clear();
        row.run();
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(link->GetDroppedCount(), 0u);
}

} // namespace
