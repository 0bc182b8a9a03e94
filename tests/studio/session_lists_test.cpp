// The studio session's start-up lists against the real server: after the log-on and the list
// requests every cache holds the seeded catalogue, and each window is told once per list.
#include "studio/support/StudioTestKit.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace studiotest;

namespace {

template <class List>
std::set<int> IdsOf(const List& list) {
    std::set<int> ids;
    list.ForEach([&](const auto& r) { ids.insert(r.GetID()); });
    return ids;
}

std::vector<Told> Sorted(std::vector<Told> told) {
    std::sort(told.begin(), told.end(), [](const Told& a, const Told& b) { return a.code < b.code; });
    return told;
}

class SessionLists : public StudioTest {};

TEST_F(SessionLists, StartUpFillsEveryCacheWithTheCatalogueAndTellsEachWindowOnce) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    SlotWatch watch(*link, {kSlotUsers, kSlotUserRoles, kSlotUserGroups, kSlotFileRoles, kSlotFolderRoles,
                            kSlotFolders, kSlotPersons, kSlotKeywords, kSlotKeywordLinks, kSlotKeywordGroups,
                            kSlotFileDetails, kSlotQuickKeys, kSlotTemplates, kSlotFamilies, kSlotFamilyAttrA,
                            kSlotProjects, kSlotProjectData});
    ASSERT_TRUE(link->RequestInitialLists());

    CkxXXX& c = KX_KXXXX();
    // Every list complete (their answers may come in any order), then a while for anything more.
    ASSERT_TRUE(PumpUntil([&] {
        for (StudioSlot slot : {kSlotUsers, kSlotUserRoles, kSlotPersons, kSlotKeywords, kSlotKeywordLinks,
                                kSlotQuickKeys, kSlotFamilies, kSlotProjectData})
            if (watch.Window(slot).Count(kNoticeReload) == 0) return false;
        return watch.Window(kSlotKeywordGroups).Count(kNoticeTagReload) > 0 &&
               watch.Window(kSlotFolders).told.size() >= 4 && watch.Window(kSlotProjects).told.size() >= 1 &&
               watch.Window(kSlotTemplates).told.size() >= 2 && watch.Window(kSlotFamilyAttrA).Count(kNoticeReload) > 0;
    }));
    PumpFor(300ms);

    EXPECT_EQ(IdsOf(c.m_KeywordList), (std::set<int>{Id("keyword.face"), Id("keyword.smile"), Id("keyword.beach")}));
    EXPECT_EQ(c.m_KeywordList.GetName(Id("keyword.beach")), "海滩");
    EXPECT_EQ(c.m_KeywordList.Find(Id("keyword.smile"))->m_nGroupID, Id("group.people"));
    EXPECT_EQ(IdsOf(c.m_KeywordGroupList), (std::set<int>{Id("group.people"), Id("group.places")}));
    EXPECT_EQ(IdsOf(c.m_PersonList), (std::set<int>{Id("person.wang"), Id("person.li")}));
    EXPECT_EQ(c.m_PersonList.GetName(Id("person.li")), "李");
    EXPECT_EQ(c.m_UserList.GetCount(), 5);
    EXPECT_EQ(c.m_UserList.GetName(Id("user.alice")), "alice");
    EXPECT_GE(c.m_UserRoleList.GetCount(), 2);

    // Folders with their tree and rights: alice alone may read the lowest one.
    for (const char* key : {"folder.top", "folder.mid", "folder.low", "folder.other"})
        EXPECT_NE(c.fsFind(Id(key)), nullptr) << key;
    EXPECT_EQ(c.fsGetDirPath(Id("folder.low")), "根目录\\作品\\二级\\三级\\");
    EXPECT_EQ(c.fsFind(Id("folder.top"))->m_Power.m_nEveryonePower, 0xC03Cu);
    EXPECT_TRUE(c.fsUserCan_Dir_Read(Id("user.alice"), Id("folder.low")));
    EXPECT_FALSE(c.fsUserCan_Dir_Read(Id("user.bob"), Id("folder.low")));
    EXPECT_TRUE(c.fsUserCan_Dir_Read(Id("user.bob"), Id("folder.mid"))); // inherited from the top

    // The family registry with its image root and the seeded sub-tree.
    CkxFamilyXXX& families = KX_FamilyXXX();
    EXPECT_NE(families.family_Find(KXF_ROOT_IMAGE), nullptr);
    ASSERT_NE(families.family_Find(Id("family.fam.a")), nullptr);
    EXPECT_EQ(families.family_Find(Id("family.fam.a"))->m_nParentID, Id("family.fam"));
    EXPECT_EQ(families.family_GetName(Id("family.fam.b")), "水");

    // The links, the quick key, the project and its two files.
    std::vector<int> linked;
    c.m_KeywordLinkList.GetFileKeyword(Id("file.a"), linked);
    EXPECT_EQ(std::set<int>(linked.begin(), linked.end()), (std::set<int>{Id("keyword.face"), Id("keyword.beach")}));
    EXPECT_NE(c.m_QuickKeyList.Find(Id("folder.mid"), Id("file.a")), nullptr);
    EXPECT_EQ(IdsOf(c.m_ProjectList), std::set<int>{Id("project.proj")});
    EXPECT_EQ(IdsOf(c.m_ProjectDataList), (std::set<int>{Id("projectdata.1"), Id("projectdata.2")}));

    // Alice's own template and bookmark.
    EXPECT_EQ(IdsOf(KX_QueryTempletList()), std::set<int>{Id("templet.alice")});
    EXPECT_EQ(IdsOf(c.m_DataTagList), std::set<int>{Id("bookmark.alice")});

    // Reloaded lists: one reload each. Lists filled one by one: one add per entry.
    for (StudioSlot slot : {kSlotUsers, kSlotUserRoles, kSlotPersons, kSlotKeywords, kSlotKeywordLinks,
                            kSlotQuickKeys, kSlotFamilies, kSlotProjectData}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(watch.Window(slot).told, (std::vector<Told>{{kNoticeReload, 0}}));
    }
    EXPECT_EQ(watch.Window(kSlotKeywordGroups).told, (std::vector<Told>{{kNoticeTagReload, 0}}));
    // (in the server's tree order)
    std::set<int> folders;
    for (const Told& t : watch.Window(kSlotFolders).told)
        if (t.code == kNoticeAdded) folders.insert(t.id);
    EXPECT_EQ(watch.Window(kSlotFolders).told.size(), 4u);
    EXPECT_EQ(folders, (std::set<int>{Id("folder.top"), Id("folder.mid"), Id("folder.low"), Id("folder.other")}));
    EXPECT_EQ(watch.Window(kSlotProjects).told, (std::vector<Told>{{kNoticeAdded, Id("project.proj")}}));
    // The family registry's attributes arrive one by one to the same slot as the families.
    const int attrs = families.attr_GetCount();
    EXPECT_EQ(watch.Window(kSlotFamilyAttrA).Count(kNoticeAdded), attrs);
    EXPECT_EQ(watch.Window(kSlotFamilyAttrA).Count(kNoticeReload), 1);
    // The templates pane: alice's template added, her bookmarks reloaded. The information bar
    // hears of the keyword links and of the project entries. (Answers of different lists may
    // arrive in either order.)
    EXPECT_EQ(Sorted(watch.Window(kSlotTemplates).told),
              (std::vector<Told>{{kNoticeAdded, Id("templet.alice")}, {kNoticeTagReload, 0}}));
    EXPECT_EQ(Sorted(watch.Window(kSlotFileDetails).told),
              (std::vector<Told>{{kNoticeReload, 0}, {kNoticeShareUpdated, 0}}));

    // Lists the server answers with nothing stay empty and tell nobody.
    EXPECT_EQ(c.m_FileRoleList.GetCount(), 0);
    EXPECT_TRUE(watch.Window(kSlotFileRoles).told.empty());
    EXPECT_EQ(KX_FileShareList().GetCount(), 0);
    EXPECT_EQ(link->GetDroppedCount(), 0u);
}

// A list asked for again replaces what the first answer left, for lists reloaded as a whole and
// for lists filled one entry at a time alike.
TEST_F(SessionLists, AskingAgainLeavesNoDuplicates) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    SlotWatch watch(*link, {kSlotKeywords, kSlotFolders, kSlotProjects});
    for (int round = 0; round < 2; ++round) {
        watch.Clear();
        ASSERT_EQ(link->SendKeywordListRequest(), 1);
        ASSERT_EQ(link->SendUserGroupListRequest(), 1);
        ASSERT_EQ(link->SendQueryTempletListRequest(), 1);
        ASSERT_EQ(link->SendProjectListRequest(), 1);
        ASSERT_TRUE(PumpUntil([&] {
            return watch.Window(kSlotProjects).Count(kNoticeAdded) == 1 && watch.Window(kSlotKeywords).Count(kNoticeReload) == 1;
        }));
        PumpFor(200ms);
        EXPECT_EQ(KX_KXXXX().m_KeywordList.GetCount(), 3);
        EXPECT_EQ(KX_QueryTempletList().GetCount(), 1);
        EXPECT_EQ(KX_KXXXX().m_ProjectList.GetCount(), 1);
        EXPECT_EQ(watch.Window(kSlotKeywords).told, (std::vector<Told>{{kNoticeReload, 0}}));
    }
}

} // namespace
