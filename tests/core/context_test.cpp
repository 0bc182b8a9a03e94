#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

CkxFSNode Folder(int id, const std::string& name, int lev, int parent, int state = 1) {
    CkxFSNode n;
    n.m_nID = id;
    n.m_strName = name;
    n.m_nLev = lev;
    n.m_nParentID = parent;
    n.m_nState = static_cast<uint8_t>(state);
    return n;
}

CkxFSQuickKey Key(int id, int folder, int file) {
    CkxFSQuickKey k(folder, file);
    k.m_nID = id;
    return k;
}

} // namespace

TEST(CkxXXX, FreshContextDefaultsAndLocalIds) {
    auto ctx = std::make_unique<CkxXXX>();
    EXPECT_EQ(ctx->GetCurUser(), -1);
    EXPECT_EQ(ctx->GetDatabaseType(), KX_DB_POSTGRESQL);
    ctx->SetDatabase_SQLite();
    EXPECT_EQ(ctx->GetDatabaseType(), KX_DB_SQLITE);
    EXPECT_EQ(ctx->_GetLocalFileID(), -3);
    EXPECT_EQ(ctx->_GetLocalFileID(), -4);
    EXPECT_EQ(ctx->_GetLocalFileID(), -5);
    EXPECT_EQ(ctx->_kxFSTree().GetBuildLink(), 1);
    EXPECT_EQ(ctx->m_ImageTool.GetImageFormats().size(), 17u); // ready on construction
}

TEST(CkxXXX, LocalIdsNeverRepeatAcrossThreads) {
    CkxXXX ctx;
    constexpr int kThreads = 4, kEach = 2000;
    std::vector<std::vector<int>> got(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) got[t].push_back(ctx._GetLocalFileID());
        });
    for (auto& th : threads) th.join();
    std::set<int> all;
    for (auto& v : got) all.insert(v.begin(), v.end());
    EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
    EXPECT_EQ(*all.rbegin(), -3);
    EXPECT_EQ(*all.begin(), -2 - kThreads * kEach);
}

TEST(CkxXXX, AccessorsGiveOneObjectPerProcess) {
    EXPECT_EQ(&KX_KXXXX(), &KX_KXXXX());
    EXPECT_EQ(&KX_FamilyXXX(), &KX_FamilyXXX());
    EXPECT_EQ(&KX_FileShareList(), &KX_FileShareList());
    EXPECT_EQ(&KX_KeywordTempletList(), &KX_KeywordTempletList());
    EXPECT_EQ(&KX_QueryTempletList(), &KX_QueryTempletList());
    EXPECT_EQ(&KX_FileAttrTempletList(), &KX_FileAttrTempletList());
    EXPECT_EQ(&KX_LogList(), &KX_LogList());
}

TEST(CkxXXX, DeleteDirRemovesOnlyThatFoldersQuickKeys) {
    CkxXXX ctx;
    ASSERT_EQ(ctx.fsAddDir(Folder(1, "A", 0, -1)), 1);
    ASSERT_EQ(ctx.fsAddDir(Folder(2, "B", 1, 1)), 1);
    ASSERT_EQ(ctx.fsAddDir(Folder(3, "C", 0, -1)), 1);
    ctx.m_QuickKeyList.AddTail(Key(10, 1, 100));
    ctx.m_QuickKeyList.AddTail(Key(11, 2, 101));
    ctx.m_QuickKeyList.AddTail(Key(12, 1, 102));
    ctx.m_QuickKeyList.AddTail(Key(13, 3, 103));

    std::vector<int> ids;
    EXPECT_EQ(ctx.fsGetDirQuickKey(1, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{10, 12}));
    EXPECT_EQ(ctx.fsGetDirQuickKey(99, ids), 0);
    EXPECT_TRUE(ids.empty());

    EXPECT_EQ(ctx.fsDeleteDir(1), 2); // A and B below it
    EXPECT_EQ(ctx.fsFind(1), nullptr);
    EXPECT_EQ(ctx.fsFind(2), nullptr);
    EXPECT_EQ(ctx.m_QuickKeyList.Find(10), nullptr);
    EXPECT_EQ(ctx.m_QuickKeyList.Find(12), nullptr);
    EXPECT_NE(ctx.m_QuickKeyList.Find(11), nullptr); // the sub-folder's key stays
    EXPECT_NE(ctx.m_QuickKeyList.Find(13), nullptr);

    // The list form deletes each listed folder in order.
    ASSERT_EQ(ctx.fsAddDir(Folder(4, "D", 0, -1)), 1);
    ctx.m_QuickKeyList.AddTail(Key(14, 4, 104));
    EXPECT_EQ(ctx.fsDeleteDir(std::vector<CkxFSNode>{Folder(3, "C", 0, -1), Folder(4, "D", 0, -1)}), 2);
    EXPECT_EQ(ctx.m_QuickKeyList.GetCount(), 1);
}

TEST(CkxXXX, FolderForwardsNamesPathsAndConstants) {
    CkxXXX ctx;
    ctx.fsAddDir(Folder(1, "图片", 0, -1));
    ctx.fsAddDir(Folder(2, "风景", 1, 1));
    ctx.fsAddDir(Folder(3, "旧", 1, 1, CkxFSNode::STATE_DELETE));
    EXPECT_EQ(ctx.fsGetDirName(2), "风景");
    EXPECT_EQ(ctx.fsGetDirName(42), "");
    EXPECT_EQ(ctx.fsGetDirPath(2), "根目录\\图片\\风景\\");
    EXPECT_EQ(ctx.fsIsDirValid(2), 1);
    EXPECT_EQ(ctx.fsIsHasChild(1), 1);
    EXPECT_EQ(ctx.fsCanUseTheName(1, 9, "风景"), 0);
    EXPECT_EQ(ctx.fsCanUseTheName(1, 2, "风景"), 1);

    CkxConstList consts;
    EXPECT_EQ(ctx.fsGetDirConstList(consts), 2); // the deleted folder is left out
    const CkxConst* c = consts.Find(2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_nID2, 1);
    EXPECT_EQ(c->m_Value.GetStr(), "风景");
}

TEST(CkxXXX, CheckoutsBookmarksAndGranteeNames) {
    CkxXXX ctx;
    ctx.SetCurUser(7);
    CkxCheckout mine, theirs;
    mine.m_nFileID = 1;
    mine.m_nUserID = 7;
    theirs.m_nFileID = 2;
    theirs.m_nUserID = 8;
    ctx.m_CheckoutList.AddTail(mine);
    ctx.m_CheckoutList.AddTail(theirs);
    EXPECT_EQ(ctx.coIsFileCheckouted(1), 1);
    EXPECT_EQ(ctx.coIsFileCheckoutedByOthers(1), 0); // mine
    EXPECT_EQ(ctx.coIsFileCheckoutedByOthers(3), 0); // nobody's
    EXPECT_EQ(ctx.coIsFileCheckoutedByOthers(2), 1);
    EXPECT_EQ(ctx.coIsUserCheckoutFile(2, 8), 1);
    EXPECT_EQ(ctx.coIsUserCheckoutFile(2, 7), 0);

    CkxDataTag tag;
    tag.m_nID = 50;
    tag.m_nUserID = 7;
    tag.m_nFileID = 1;
    ctx.m_DataTagList.AddTail(tag);
    EXPECT_EQ(ctx.tagIsTagFile(7, 1), 1);
    EXPECT_EQ(ctx.tagIsTagFile(8, 1), 0);
    EXPECT_EQ(ctx.tagIsTagFile(7, 2), 0);

    CkxUserGroup g;
    g.m_nID = 4;
    g.m_strName = "编辑组";
    ctx.m_UserGroupList.AddTail(g);
    CkxUser u;
    u.m_nID = 7;
    u.m_strLogon = "wang";
    ctx.m_UserList.AddTail(u);
    CkxUserLicence grant;
    grant.m_nAlieneeID = 4;
    grant.SetGroup();
    EXPECT_EQ(ctx.licGetAlieneeName(&grant), "编辑组");
    grant.m_nAlieneeID = 7;
    grant.SetUser();
    EXPECT_EQ(ctx.licGetAlieneeName(&grant), "wang");
    grant.m_nAlieneeType = 9;
    EXPECT_EQ(ctx.licGetAlieneeName(&grant), "");
    EXPECT_EQ(ctx.licGetAlieneeName(nullptr), "");
    EXPECT_EQ(ctx.usIsValid("wang"), 1);
    EXPECT_EQ(ctx.fsUser_GetName(7), "wang");
}
