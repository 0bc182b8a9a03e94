#include "model/CkxFSTree.h"
#include "model/CkxNode.h"
#include "base/Gbk.h"
#include "core/support/WireText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
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

template <class N>
std::vector<int> Ids(const std::vector<N*>& nodes) {
    std::vector<int> ids;
    for (const N* n : nodes) ids.push_back(n->GetID());
    return ids;
}

// A (1) and B (2) on top; C (3) and D (4) under A; E (5) under C.
struct FolderTree : ::testing::Test {
    CkxFSTree tree{1};
    void SetUp() override {
        ASSERT_EQ(tree.Add(Folder(1, "A", 0, -1)), 1);
        ASSERT_EQ(tree.Add(Folder(2, "B", 0, -1)), 1);
        ASSERT_EQ(tree.Add(Folder(3, "C", 1, 1)), 1);
        ASSERT_EQ(tree.Add(Folder(4, "D", 1, 1)), 1);
        ASSERT_EQ(tree.Add(Folder(5, "E", 2, 3)), 1);
    }
    std::vector<int> Tree(int id) {
        std::vector<CkxFSNode*> out;
        tree.FindTree(id, out);
        return Ids(out);
    }
    std::vector<int> Children(int id) {
        std::vector<CkxFSNode*> out;
        tree.FindChild(id, out);
        return Ids(out);
    }
};

} // namespace

TEST(CkxFSNode, GoldenRecordAndClear) {
    CkxFSNode n = Folder(7, "图片", 2, 4);
    n.m_strNote = "note";
    n.SetSystemFolder();
    n.SetStateHide();
    n.m_nCreatorID = 9;
    std::string expect = I32(7) + Field("\xCD\xBC\xC6\xAC", 52) + I32(2) + I32(4) + Field("note", 50) +
                         std::string("\x00\x02", 2) + I32(9);
    ASSERT_EQ(expect.size(), 120u);
    EXPECT_EQ(kx::RecordBytes(n.GetComData()), expect);

    CkxFSNode::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxFSNode back(c);
    EXPECT_EQ(back.m_strName, "图片");
    EXPECT_EQ(back.m_nLev, 2);
    EXPECT_EQ(back.m_nParentID, 4);
    EXPECT_TRUE(back.IsSystemFolder());
    EXPECT_TRUE(back.IsStateHide());
    EXPECT_EQ(back.m_nCreatorID, 9);

    // A name longer than its field is cut, never running into the level.
    n.m_strName = std::string(80, 'x');
    CkxFSNode::_COM cut = n.GetComData();
    EXPECT_EQ(cut.szName[51], '\0');
    EXPECT_EQ(cut.nLev, 2);

    CkxFSNode fresh;
    EXPECT_EQ(fresh.m_nID, -1);
    EXPECT_TRUE(fresh.IsUserFolder());
    EXPECT_TRUE(fresh.IsStateAct());
    EXPECT_EQ(fresh.m_Power.m_nInherit, 1);
    CkxPowerEx p = back.GetPower();
    EXPECT_EQ(p.m_nItemID, 7);
    EXPECT_EQ(p.m_nItemType, 1);
    EXPECT_EQ(p.m_nParentID, 4);
}

TEST_F(FolderTree, LinksFollowAddOrder) {
    EXPECT_EQ(Children(1), (std::vector<int>{3, 4}));
    EXPECT_EQ(tree.Find(1)->m_pNext, tree.Find(2));
    EXPECT_EQ(tree.Find(2)->m_pPrev, tree.Find(1));
    EXPECT_EQ(Tree(1), (std::vector<int>{1, 3, 5, 4}));
    std::vector<CkxFSNode*> under;
    tree.FindUnderDir(1, under);
    EXPECT_EQ(Ids(under), (std::vector<int>{3, 5, 4}));
    under.clear();
    tree.FindUnderDir(-1, under);
    EXPECT_EQ(Ids(under), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(tree.FindParent(5)->GetID(), 3);
    EXPECT_EQ(tree.FindParent(1), nullptr);
    EXPECT_EQ(tree.FindPrev(4)->GetID(), 3);
    EXPECT_EQ(tree.FindFirstLevLastNode()->GetID(), 2);
    EXPECT_EQ(tree.GetMaxLevNo(), 2);
    EXPECT_EQ(tree.GetMinLevNo(), 0);
    EXPECT_EQ(tree.IsHasChild(1), 1);
    EXPECT_EQ(tree.IsHasChild(4), 0);
}

TEST_F(FolderTree, AncestryAndPath) {
    std::vector<CkxFSNode*> anc;
    EXPECT_EQ(tree.FindAncestry(5, anc, 1), 3);
    EXPECT_EQ(Ids(anc), (std::vector<int>{5, 3, 1}));
    EXPECT_EQ(tree.FindAncestryPath(5, 1), "根目录\\A\\C\\E\\");
    EXPECT_EQ(tree.FindAncestryPath(5, 0), "根目录\\A\\C\\");
    EXPECT_EQ(tree.FindAncestryPath(99, 1), "根目录\\");
    anc.clear();
    EXPECT_EQ(tree.FindAncestry(99, anc, 1), 0);
}

TEST_F(FolderTree, DeleteTakesTheSubtree) {
    EXPECT_EQ(tree.Delete(1), 4);
    EXPECT_EQ(tree.GetCount(), 1);
    EXPECT_EQ(tree.Find(3), nullptr);
    EXPECT_EQ(tree.Find(2)->m_pPrev, nullptr);
    // The top chain still works: a new top-level folder follows B.
    tree.Add(Folder(6, "F", 0, -1));
    EXPECT_EQ(tree.Find(2)->m_pNext, tree.Find(6));
    EXPECT_EQ(tree.Delete(42), 0);
}

TEST_F(FolderTree, DeletingAMiddleChildKeepsSiblingsChained) {
    tree.Add(Folder(6, "G", 1, 1));
    EXPECT_EQ(tree.Delete(4), 1);
    EXPECT_EQ(Children(1), (std::vector<int>{3, 6}));
    EXPECT_EQ(tree.Delete(3), 2);
    EXPECT_EQ(Children(1), (std::vector<int>{6}));
    EXPECT_EQ(tree.Find(6)->m_pPrev, nullptr);
}

TEST(CkxFSTree, UnloadedParentLeavesNodeUnlinked) {
    CkxFSTree tree(1);
    tree.Add(Folder(1, "A", 0, -1));
    tree.Add(Folder(9, "orphan", 1, 77));
    ASSERT_NE(tree.Find(9), nullptr);
    EXPECT_EQ(tree.Find(9)->m_pParent, nullptr);
    std::vector<CkxFSNode*> kids;
    EXPECT_EQ(tree.FindChild(1, kids), 0);

    // Without link-on-add nothing is linked until BuildTree.
    CkxFSTree loose(0);
    loose.Add(Folder(3, "C", 1, 1));
    loose.Add(Folder(1, "A", 0, -1));
    loose.Add(Folder(2, "B", 0, -1));
    EXPECT_EQ(loose.Find(1)->m_pChild, nullptr);
    loose.BuildTree();
    EXPECT_EQ(loose.Find(1)->m_pChild, loose.Find(3));
    EXPECT_EQ(loose.Find(1)->m_pNext, loose.Find(2));
}

TEST(CkxFSTree, BuildTreeChainsTheTopLevelInListOrder) {
    // Top-level folders interleaved with children that arrive before their parents.
    CkxFSTree loose(0);
    loose.Add(Folder(4, "D", 1, 2));
    loose.Add(Folder(1, "A", 0, -1));
    loose.Add(Folder(2, "B", 0, -1));
    loose.Add(Folder(5, "E", 1, 2));
    loose.Add(Folder(3, "C", 0, -1));
    loose.BuildTree();
    // Walk the chain from its head: every top-level folder once, in list order, then the end.
    const CkxFSNode* head = loose.Find(1);
    EXPECT_EQ(head->m_pPrev, nullptr);
    std::vector<int> chain;
    for (const CkxFSNode* n = head; n && chain.size() < 10; n = n->m_pNext) chain.push_back(n->GetID());
    EXPECT_EQ(chain, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(loose.Find(3)->m_pPrev, loose.Find(2));
    std::vector<CkxFSNode*> kids;
    loose.FindChild(2, kids);
    EXPECT_EQ(Ids(kids), (std::vector<int>{4, 5}));
    // A folder added after the rebuild joins the end of the chain.
    loose.SetBuildLink(1);
    loose.Add(Folder(6, "F", 0, -1));
    EXPECT_EQ(loose.Find(3)->m_pNext, loose.Find(6));
    EXPECT_EQ(loose.FindFirstLevLastNode(), loose.Find(6));
}

TEST_F(FolderTree, CanUseTheName) {
    struct Case {
        int parent, id;
        const char* name;
        int expect;
    } cases[] = {
        {1, 4, "C", 0},  // a sibling's name
        {1, 3, "C", 1},  // its own name
        {1, -1, "c", 1}, // case matters
        {1, -1, "Z", 1}, // unused
        {-1, -1, "A", 0},
        {3, -1, "C", 1}, // the same name under another parent
    };
    for (const Case& c : cases) EXPECT_EQ(tree.CanUseTheName(c.parent, c.id, c.name), c.expect) << c.name;
}

TEST_F(FolderTree, UpdateCopiesFieldsButNeverMakesACycle) {
    CkxFSNode moved = *tree.Find(4);
    moved.m_nParentID = 2;
    moved.m_strName = "D2";
    EXPECT_EQ(tree.Update(moved), 1);
    EXPECT_EQ(tree.Find(4)->m_nParentID, 2);
    EXPECT_EQ(tree.Find(4)->m_strName, "D2");
    EXPECT_EQ(Children(1), (std::vector<int>{3, 4})); // links unchanged

    struct Case {
        int id, newParent;
    } refused[] = {{1, 1}, {1, 3}, {1, 5}, {3, 5}};
    for (const Case& c : refused) {
        CkxFSNode n = *tree.Find(c.id);
        int before = n.m_nParentID;
        n.m_nParentID = c.newParent;
        EXPECT_EQ(tree.Update(n), 0) << c.id << "->" << c.newParent;
        EXPECT_EQ(tree.Find(c.id)->m_nParentID, before);
        EXPECT_EQ(tree.UpdateParent(c.id, c.newParent), 0) << c.id << "->" << c.newParent;
    }
    EXPECT_EQ(Tree(1), (std::vector<int>{1, 3, 5, 4}));
    EXPECT_EQ(tree.Update(Folder(99, "x", 0, -1)), -1);
    EXPECT_EQ(tree.UpdateParent(99, -1), -1);
    EXPECT_EQ(tree.Add(Folder(8, "self", 1, 8)), 0);
}

TEST_F(FolderTree, UpdateParentMovesAndRelevelsTheSubtree) {
    ASSERT_EQ(tree.UpdateParent(3, 2), 1);
    EXPECT_EQ(Children(1), (std::vector<int>{4}));
    EXPECT_EQ(Children(2), (std::vector<int>{3}));
    EXPECT_EQ(tree.Find(3)->m_nLev, 1);
    EXPECT_EQ(tree.Find(5)->m_nLev, 2);

    // To the top: joins the end of the top chain even though it was added before others.
    ASSERT_EQ(tree.UpdateParent(3, -1), 1);
    EXPECT_EQ(tree.Find(3)->m_nLev, 0);
    EXPECT_EQ(tree.Find(5)->m_nLev, 1);
    EXPECT_EQ(tree.Find(2)->m_pNext, tree.Find(3));
    EXPECT_EQ(tree.FindAncestryPath(5, 1), "根目录\\C\\E\\");

    // Deep again under D (level 1): C becomes 2, E 3.
    ASSERT_EQ(tree.UpdateParent(3, 4), 1);
    EXPECT_EQ(tree.Find(3)->m_nLev, 2);
    EXPECT_EQ(tree.Find(5)->m_nLev, 3);
    EXPECT_EQ(tree.Find(2)->m_pNext, nullptr);
    EXPECT_EQ(Tree(1), (std::vector<int>{1, 4, 3, 5}));
}

TEST(CkxFSTree, CyclicStoredDataStaysBounded) {
    // Rows as a damaged table could hold them: 1 under 2 and 2 under 1.
    CkxFSTree tree(1);
    tree.Add(Folder(1, "A", 1, 2));
    tree.Add(Folder(2, "B", 1, 1));
    tree.Add(Folder(3, "C", 2, 2));
    std::vector<CkxFSNode*> anc;
    EXPECT_LE(tree.FindAncestry(3, anc, 1), 3);
    EXPECT_FALSE(tree.FindAncestryPath(3, 1).empty());
    std::vector<CkxFSNode*> sub;
    EXPECT_LE(tree.FindTree(1, sub), 3);
    std::vector<CkxFSNode*> intact;
    EXPECT_LE(tree.FindIntactTree(intact, {3}), 3);
    tree.BuildTree();
    sub.clear();
    EXPECT_LE(tree.FindTree(2, sub), 3);
    int deleted = tree.Delete(1);
    EXPECT_GE(deleted, 1);
    EXPECT_EQ(tree.GetCount(), 3 - deleted);
}

TEST(CkxFSTree, AStoredLevelThatDisagreesWithTheLinksNeverLoopsTheTree) {
    // T and B on top; A under T with C under it. A modify that keeps C's parent but claims
    // level 0 leaves C linked under A with a top-level number.
    CkxFSTree tree(1);
    tree.Add(Folder(1, "T", 0, -1));
    tree.Add(Folder(2, "A", 1, 1));
    tree.Add(Folder(3, "C", 2, 2));
    tree.Add(Folder(4, "B", 0, -1));
    ASSERT_EQ(tree.UpdateParent(2, 4), 1);
    ASSERT_EQ(tree.Update(Folder(3, "C", 0, 2)), 1);

    // Moving A to the top must chain it after B, not after its own child.
    ASSERT_EQ(tree.UpdateParent(2, -1), 1);
    EXPECT_EQ(tree.Find(4)->m_pNext, tree.Find(2));
    EXPECT_EQ(tree.Find(2)->m_pPrev, tree.Find(4));
    std::vector<CkxFSNode*> sub;
    EXPECT_EQ(tree.FindTree(2, sub), 2);
    EXPECT_EQ(Ids(sub), (std::vector<int>{2, 3}));
    // A new top-level folder joins the real end of the top chain.
    tree.Add(Folder(5, "N", 0, -1));
    EXPECT_EQ(tree.Find(2)->m_pNext, tree.Find(5));
    EXPECT_EQ(tree.Find(3)->m_pNext, nullptr);
    EXPECT_EQ(tree.Delete(2), 2);
    EXPECT_EQ(tree.GetCount(), 3);
}

// Whatever a peer sends (any level, any parent, moves, deletes), the links stay a forest: every
// subtree lists each folder once, every parent link is matched by a child chain, and deleting
// frees each folder exactly once (the sanitizer build checks the last).
TEST(CkxFSTree, RandomEditsKeepTheLinksAForest) {
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    CkxFSTree tree(1);
    for (int step = 0; step < 3000; ++step) {
        const int id = pick(1, 30), parent = pick(0, 4) == 0 ? -1 : pick(1, 30), lev = pick(0, 4);
        switch (pick(0, 4)) {
        case 0:
        case 1:
            if (!tree.Find(id)) tree.Add(Folder(id, "f", lev, parent));
            break;
        case 2: tree.Update(Folder(id, "f", lev, parent)); break;
        case 3: tree.UpdateParent(id, parent); break;
        default:
            if (pick(0, 3) == 0) tree.Delete(id);
            break;
        }
        std::vector<CkxFSNode*> all;
        tree.FindAll(all);
        for (CkxFSNode* n : all) {
            std::vector<CkxFSNode*> sub;
            tree.FindTree(n->GetID(), sub);
            ASSERT_EQ(std::set<CkxFSNode*>(sub.begin(), sub.end()).size(), sub.size()) << "step " << step;
            if (CkxFSNode* p = n->m_pParent) {
                std::vector<CkxFSNode*> kids;
                tree.FindChild(p->GetID(), kids);
                ASSERT_NE(std::find(kids.begin(), kids.end(), n), kids.end()) << "step " << step;
                ASSERT_EQ(std::find(sub.begin(), sub.end(), p), sub.end()) << "step " << step;
            }
        }
    }
    while (tree.GetCount() > 0) {
        POSITION head = tree.GetHeadPosition();
        ASSERT_GE(tree.Delete(head), 1);
    }
}

TEST_F(FolderTree, IntactTreeAddsMissingAncestors) {
    tree.Add(Folder(6, "F", 1, 2));
    std::vector<CkxFSNode*> out;
    EXPECT_EQ(tree.FindIntactTree(out, {5, 6, 99, 3}), 5);
    EXPECT_EQ(Ids(out), (std::vector<int>{5, 6, 3, 1, 2}));
}

TEST_F(FolderTree, StatesAndStateLists) {
    tree.Find(2)->SetStateHide();
    EXPECT_EQ(tree.SetStateDelete(3), 2);
    std::vector<CkxFSNode*> out{tree.Find(1)};
    EXPECT_EQ(tree.GetAllActNode(out), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 4}));
    EXPECT_EQ(tree.GetAllHideNode(out), 1);
    EXPECT_EQ(tree.GetAllDeleteNode(out), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{3, 5}));
    EXPECT_EQ(tree.SetStateDelete(std::vector<CkxFSNode>{Folder(4, "", 1, 1), Folder(99, "", 0, -1)}), 1);
    EXPECT_TRUE(tree.Find(4)->IsStateDelete());
    EXPECT_EQ(tree.GetRootNode().m_strName, "目录管理");
    EXPECT_EQ(tree.GetRootNode().m_nLev, -1);
}

TEST(CkxNode, GoldenRecordAndTypes) {
    CkxNode n;
    n.m_nID = 5;
    n.m_nLev = 1;
    n.m_nParentID = 2;
    n.m_nNodeType = CkxNode::NODE_DATA_IMAGE;
    n.m_nFifth = 7;
    n.m_strName = "n";
    n.m_strNote = "m";
    std::string bytes = kx::RecordBytes(n.GetComData());
    std::string expect = I32(5) + I32(1) + I32(2) + I32(10) + I32(7) + Field("n", 50) + Field("m", 50);
    ASSERT_EQ(bytes.size(), 124u);
    EXPECT_EQ(bytes.substr(4), expect); // the class marker word is the sender's
    CkxNode::_COM_NODE c;
    std::string other = I32(0x12345678) + expect;
    ASSERT_TRUE(kx::ReadRecord(other.data(), other.size(), c));
    CkxNode back(c);
    EXPECT_EQ(back.m_nNodeType, 10);
    EXPECT_EQ(back.m_nFifth, 7);
    EXPECT_EQ(back.m_strNote, "m");

    // Node type -> data kind, and the family group.
    const int kinds[19] = {0, 0, 0, 0, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 3, 2, 5, 4, 1};
    for (int t = 0; t < 19; ++t) {
        n.m_nNodeType = t;
        EXPECT_EQ(n.GetDataMode(), kinds[t]) << t;
        EXPECT_EQ(n.IsNodeFamily(), t >= 3 && t <= 13) << t;
    }
}

TEST(CkxTree, SharesTheFolderTreeLinking) {
    CkxTree tree(1);
    auto node = [](int id, int lev, int parent) {
        CkxNode n;
        n.m_nID = id;
        n.m_nLev = lev;
        n.m_nParentID = parent;
        return n;
    };
    tree.t_Add(node(1, 0, -1));
    tree.t_Add(node(2, 0, -1));
    tree.t_Add(node(3, 1, 1));
    tree.t_Add(node(4, 2, 3));
    std::vector<CkxNode*> out;
    tree.t_FindTree(1, out);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(tree.t_SetParent(1, 4), 0);
    EXPECT_EQ(tree.t_SetParent(3, 2), 1);
    EXPECT_EQ(tree.Find(4)->m_nLev, 2);
    EXPECT_EQ(tree.t_FindParent(3)->GetID(), 2);
    EXPECT_EQ(tree.t_FindFirstLevLastNode()->GetID(), 2);
    EXPECT_EQ(tree.t_GetTitleNode().m_nID, -1);
    EXPECT_EQ(tree.t_Delete(2), 3);
    EXPECT_EQ(tree.GetCount(), 1);

    std::vector<CkxNode*> plain{tree.Find(1)};
    EXPECT_EQ(CkxTreeTool::Find(plain, 1), tree.Find(1));
    EXPECT_EQ(CkxTreeTool::FindFirstLevLastNode(plain), tree.Find(1));
    EXPECT_EQ(CkxTreeTool::GetMaxLev({}), 0);
}
