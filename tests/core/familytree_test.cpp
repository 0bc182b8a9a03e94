#include "model/CkxAttr.h"
#include "model/CkxFamilyTree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

CkxFamily Fam(int id, int level, int parent, const std::string& name, int kind = KXD_IMAGE) {
    CkxFamily f;
    f.m_nID = id;
    f.m_nLevel = level;
    f.m_nParentID = parent;
    f.m_strName = name;
    f.SetDataKind(kind);
    return f;
}

std::vector<int> Ids(const CkxFamilyPtrs& l) {
    std::vector<int> out;
    for (const CkxFamily* f : l) out.push_back(f->m_nID);
    return out;
}

constexpr int kImg = KXF_ROOT_IMAGE;
constexpr int kTxt = KXF_ROOT_TEXT;

// Three levels: two roots; A(1) and B(2) under the image root, A1(11), A2(12) under A,
// B1(21) under B; T(3) under the text root.
class FamilyTree : public ::testing::Test {
protected:
    void SetUp() override { Fill(tree); }
    static void Fill(CkxFamilyTree& t) {
        for (const CkxFamily& f :
             {Fam(kImg, 0, -1, "img"), Fam(kTxt, 0, -1, "txt", KXD_TEXT), Fam(1, 1, kImg, "A"),
              Fam(2, 1, kImg, "B"), Fam(11, 2, 1, "A1"), Fam(12, 2, 1, "A2"), Fam(21, 2, 2, "B1"),
              Fam(3, 1, kTxt, "T", KXD_TEXT)})
            ASSERT_EQ(t.t_AddTail(f), 1);
    }
    CkxFamilyTree tree{true};
};

} // namespace

TEST(CkxFamily, RecordGoldenBytesAndRoundTrip) {
    CkxFamily f = Fam(7, 2, 5, "图");
    f.SetDataStateHide();
    f.m_nValueA = 5;
    f.m_nValueB = 6;
    f.m_strNote = "图像";
    f.m_nCreatorID = 9;
    f.m_dtCreate = COleDateTime(2006, 1, 2, 0, 0, 0);

    std::string want(144, '\0');
    auto put = [&](size_t at, int32_t v) { std::memcpy(&want[at], &v, 4); };
    want[8] = 3;
    want[9] = 1;
    put(12, 7);
    put(16, 2);
    put(20, 5);
    put(24, 5);
    put(28, 6);
    want.replace(32, 2, "\xCD\xBC");
    want.replace(82, 4, "\xCD\xBC\xCF\xF1");
    put(132, 9);
    const double dt = 38719.0; // 2006-01-02
    std::memcpy(&want[136], &dt, 8);
    CkxFamily::_COM com = f.GetComData();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&com), sizeof com), want);

    com.nTypeWord = 0x55AA; // ignored on receipt
    CkxFamily back(com);
    EXPECT_EQ(back.m_nID, 7);
    EXPECT_EQ(back.m_nParentID, 5);
    EXPECT_EQ(back.m_nValueB, 6);
    EXPECT_EQ(back.m_strName, "图");
    EXPECT_EQ(back.m_strNote, "图像");
    EXPECT_TRUE(back.IsDataStateHide());
    EXPECT_EQ(kx::DateText(back.m_dtCreate), "2006-1-2");
    EXPECT_EQ(back.GetChildLev(), 3);
}

TEST(CkxFamily, ClearRootTestsAndCopiesLeaveLinks) {
    CkxFamily f;
    EXPECT_TRUE(f.IsImage());
    EXPECT_EQ(f.m_nID, -1);
    EXPECT_EQ(f.m_nParentID, -1);
    for (int id = kImg; id <= KXF_ROOT_OTHER; ++id) EXPECT_TRUE(Fam(id, 0, -1, "").IsRoot()) << id;
    EXPECT_FALSE(Fam(100000000, 0, -1, "").IsRoot());
    EXPECT_FALSE(Fam(KXF_PHOTO, 0, -1, "").IsRoot());
    EXPECT_TRUE(Fam(kTxt, 0, -1, "", KXD_TEXT).IsRootText());
    EXPECT_FALSE(Fam(kTxt, 0, -1, "", KXD_IMAGE).IsRootText());

    CkxFamily linked = Fam(1, 0, -1, "x");
    linked.m_pChild = &f;
    linked.m_pNext = &f;
    CkxFamily copy(linked);
    EXPECT_EQ(copy.m_pChild, nullptr);
    EXPECT_EQ(copy.m_pNext, nullptr);
    linked = Fam(2, 0, -1, "y");
    EXPECT_EQ(linked.m_pChild, &f); // assignment copies fields only
    EXPECT_EQ(linked.m_nID, 2);
}

TEST_F(FamilyTree, ChildrenAncestryAndSubtrees) {
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindChild(kImg, out), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 2}));
    EXPECT_EQ(tree.t_FindChild(1, out), 4); // appends
    EXPECT_EQ(Ids(out), (std::vector<int>{1, 2, 11, 12}));

    EXPECT_EQ(tree.t_FindAncestry(11, out, true), 3);
    EXPECT_EQ(Ids(out), (std::vector<int>{11, 1, kImg}));
    EXPECT_EQ(tree.t_FindAncestry(11, out, false), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{1, kImg}));
    EXPECT_EQ(tree.t_FindAncestry(999, out, true), 0);

    EXPECT_EQ(tree.t_FindTree(kImg, out), 6);
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 1, 11, 12, 2, 21}));

    out.clear();
    tree.t_GetTree(tree.t_FindPos(kImg), out);
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 1, 11, 12, 2, 21}));

    std::vector<int> ids;
    EXPECT_EQ(tree.t_GetUnder(kImg, ids), 5);
    EXPECT_EQ(ids, (std::vector<int>{1, 11, 12, 2, 21}));
    ids.clear();
    EXPECT_EQ(tree.t_GetTree(1, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{11, 12}));
    out.clear();
    EXPECT_EQ(tree.t_GetUnder(kImg, out), 2);

    CkxFamilyTree other;
    EXPECT_EQ(tree.t_GetTree(1, other), 2);
    EXPECT_NE(other.t_Find(11), tree.t_Find(11));

    EXPECT_EQ(tree.t_GetMaxLevNo(), 2);
    EXPECT_EQ(tree.t_GetMinLevNo(), 0);
    EXPECT_EQ(tree.t_GetTextFamily(out), 2);
    EXPECT_EQ(Ids(out), (std::vector<int>{kTxt, 3}));
    EXPECT_EQ(tree.t_GetImageFamily(out), 6);
    EXPECT_EQ(tree.t_GetVideoFamily(out), 0);

    // Top-level families are chained as siblings.
    EXPECT_EQ(tree.t_Find(kImg)->m_pNext, tree.t_Find(kTxt));
    EXPECT_EQ(tree.t_Find(kTxt)->m_pPrev, tree.t_Find(kImg));
}

TEST_F(FamilyTree, AllParentsStopAfterTheFirstRoot) {
    std::vector<int> ids{42};
    EXPECT_EQ(tree.t_FindAllParent(11, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{1, kImg}));
    EXPECT_EQ(tree.t_FindAllParent(1, ids), 1);
    EXPECT_EQ(ids, (std::vector<int>{kImg}));

    // A root under a plain top-level family: the walk stops at the root.
    ASSERT_EQ(tree.t_AddTail(Fam(50, 0, -1, "top")), 1);
    EXPECT_EQ(tree.t_FindAllParent(50, ids), 0);
    ASSERT_EQ(tree.t_SetParent(kTxt, 50), 1);
    CkxFamily moved = *tree.t_Find(kTxt);
    EXPECT_EQ(moved.m_nParentID, 50);
    EXPECT_EQ(tree.t_FindAllParent(3, ids), 1); // T's parent is the root; 50 is not listed
}

TEST_F(FamilyTree, IntactTreeClosesTheSelectionUnderAncestry) {
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindIntactTree(out, {11, 12, 21, 999}), 6);
    EXPECT_EQ(Ids(out), (std::vector<int>{11, 12, 21, 1, kImg, 2}));
    EXPECT_EQ(tree.t_FindIntactTree(out, {kImg, 1, 11}), 3); // every parent selected
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 1, 11}));
    EXPECT_EQ(tree.t_FindIntactTree(out, {12, kImg}), 3);
    EXPECT_EQ(Ids(out), (std::vector<int>{12, kImg, 1}));

    EXPECT_EQ(CkxFamilyTree::T_GetMinLevNo(out), 0);
    EXPECT_EQ(CkxFamilyTree::T_FindFirstNode(out)->m_nID, kImg);
    EXPECT_EQ(CkxFamilyTree::T_FindParent(12, out)->m_nID, 12);
    EXPECT_TRUE(CkxFamilyTree::T_IsAtList(out, 1));
    EXPECT_FALSE(CkxFamilyTree::T_IsAtList(out, tree.t_Find(2)));
    EXPECT_EQ(CkxFamilyTree::T_FindPrev(tree.t_Find(1))->m_nID, 12);
    CkxFamilyPtrs more{tree.t_Find(12), tree.t_Find(2)};
    EXPECT_EQ(CkxFamilyTree::T_AddListNode(out, more), 4);
    CkxFamilyPtrs level2{tree.t_Find(12), tree.t_Find(11)};
    EXPECT_EQ(CkxFamilyTree::T_FindFirstNode(level2)->m_nID, 11); // 12's previous sibling is listed
    EXPECT_EQ(CkxFamilyTree::T_GetMinLevNo({}), -1);
}

TEST_F(FamilyTree, DeleteTakesTheWholeSubtreeOutOfTheList) {
    ASSERT_EQ(tree.t_Delete(1), 1);
    EXPECT_EQ(tree.t_GetCount(), 5);
    for (int gone : {1, 11, 12}) EXPECT_EQ(tree.t_Find(gone), nullptr) << gone;
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindChild(kImg, out), 1);
    EXPECT_EQ(Ids(out), (std::vector<int>{2}));
    EXPECT_EQ(tree.t_Find(2)->m_pPrev, nullptr);
    EXPECT_EQ(tree.t_Delete(999), 0);

    // Re-adding under the surviving family links after its children.
    ASSERT_EQ(tree.t_AddTail(Fam(22, 2, 2, "B2")), 1);
    EXPECT_EQ(tree.t_FindTree(kImg, out), 4);
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 2, 21, 22}));

    // Deleting a root takes its whole branch.
    ASSERT_EQ(tree.t_Delete(kImg), 1);
    EXPECT_EQ(tree.t_GetCount(), 2);
}

TEST(FamilyTreeUnlinked, DeleteFollowsParentIdsAndBuildTreeLinks) {
    CkxFamilyTree t(false);
    // Children ahead of their parents in list order.
    for (const CkxFamily& f : {Fam(11, 2, 1, "A1"), Fam(1, 1, kImg, "A"), Fam(kImg, 0, -1, "img"),
                               Fam(12, 2, 1, "A2"), Fam(kTxt, 0, -1, "txt")})
        ASSERT_EQ(t.t_AddTail(f), 1);
    CkxFamilyPtrs out;
    EXPECT_EQ(t.t_FindChild(1, out), 0); // nothing linked yet
    std::vector<int> ids;
    EXPECT_EQ(t.t_FindAllParent(11, ids), 2); // parent ids without links
    EXPECT_EQ(ids, (std::vector<int>{1, kImg}));

    ASSERT_EQ(t.t_BuildTree(), 1);
    EXPECT_TRUE(t.IsLinking());
    EXPECT_EQ(t.t_FindTree(kImg, out), 4);
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 1, 11, 12}));
    EXPECT_EQ(t.t_Find(kImg)->m_pNext, t.t_Find(kTxt));

    CkxFamilyTree u(false);
    for (const CkxFamily& f : {Fam(kImg, 0, -1, "img"), Fam(1, 1, kImg, "A"), Fam(11, 2, 1, "A1"),
                               Fam(12, 2, 1, "A2"), Fam(5, 1, 777, "orphan")})
        ASSERT_EQ(u.t_AddTail(f), 1);
    ASSERT_EQ(u.t_Delete(1), 1); // unlinked: descendants by parent id go too
    EXPECT_EQ(u.t_GetCount(), 2);
    EXPECT_EQ(u.t_BuildTree(), 0); // the orphan's parent is missing
    EXPECT_EQ(u.t_Find(5)->m_pParent, nullptr);
}

TEST_F(FamilyTree, ChildBeforeParentStaysUnlinked) {
    ASSERT_EQ(tree.t_AddTail(Fam(41, 2, 40, "early child")), 1);
    ASSERT_EQ(tree.t_AddTail(Fam(40, 1, kImg, "late parent")), 1);
    ASSERT_NE(tree.t_Find(41), nullptr);
    EXPECT_EQ(tree.t_Find(41)->m_pParent, nullptr);
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindChild(40, out), 0);
    EXPECT_EQ(tree.t_FindChild(kImg, out), 3);
    EXPECT_EQ(Ids(out).back(), 40);
}

TEST_F(FamilyTree, NoFamilyBecomesItsOwnAncestor) {
    const int before = tree.t_GetCount();
    // Parent changes into itself or its own subtree are refused and change nothing.
    for (int p : {1, 11, 12}) EXPECT_EQ(tree.t_SetParent(1, p), 0) << p;
    EXPECT_EQ(tree.t_Find(1)->m_nParentID, kImg);
    EXPECT_EQ(tree.t_Find(1)->m_pParent, tree.t_Find(kImg));

    CkxFamily upd = *tree.t_Find(1);
    upd.m_nParentID = 12;
    upd.m_strName = "renamed";
    EXPECT_EQ(tree.t_Update(upd), 0);
    EXPECT_EQ(tree.t_Find(1)->m_strName, "A");

    // An add whose parent chain already leads back to the new id.
    ASSERT_EQ(tree.t_AddTail(Fam(61, 2, 60, "waits for 60")), 1);
    EXPECT_EQ(tree.t_AddTail(Fam(60, 3, 61, "would loop")), 0);
    auto self = std::make_unique<CkxFamily>(Fam(70, 1, 70, "self"));
    EXPECT_EQ(tree.t_AddTail(self.get()), 0); // refused: the caller still owns it
    EXPECT_EQ(tree.t_GetCount(), before + 1);

    // A legal move re-links the whole branch under its new parent.
    ASSERT_EQ(tree.t_SetParent(1, 2), 1);
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindTree(kImg, out), 6);
    EXPECT_EQ(Ids(out), (std::vector<int>{kImg, 2, 21, 1, 11, 12}));
}

TEST(FamilyTreeUnlinked, WalksEndOnAHandMadeCycle) {
    CkxFamilyTree t(false);
    ASSERT_EQ(t.t_AddTail(Fam(1, 1, 2, "a")), 1);
    ASSERT_EQ(t.t_AddTail(Fam(2, 1, 3, "b")), 1);
    t.t_Find(2)->m_nParentID = 1; // bypasses every check: a cycle 1 -> 2 -> 1
    std::vector<int> ids;
    EXPECT_LE(t.t_FindAllParent(1, ids), 3);
    CkxFamilyPtrs out;
    EXPECT_LE(t.t_FindAncestry(1, out, true), 3);
    EXPECT_EQ(t.t_SetParent(1, 2), 0);
    EXPECT_EQ(t.t_Delete(1), 1); // descendants by id, each once
    EXPECT_EQ(t.t_GetCount(), 0);
}

TEST_F(FamilyTree, UpdateKeepsChildrenAndRemoveHeadDetaches) {
    CkxFamily upd = Fam(1, 1, kImg, "A renamed");
    upd.m_strNote = "note";
    ASSERT_EQ(tree.t_Update(upd), 1);
    CkxFamilyPtrs out;
    EXPECT_EQ(tree.t_FindChild(1, out), 2);
    EXPECT_EQ(tree.t_Find(1)->m_strName, "A renamed");
    EXPECT_EQ(tree.t_Update(Fam(999, 1, kImg, "none")), 0);

    CkxAttr a;
    a.m_nFamilyID = 21;
    EXPECT_EQ(tree.t_AddAttr(&a), 1);
    a.m_nFamilyID = 999;
    EXPECT_EQ(tree.t_AddAttr(&a), 0);

    std::unique_ptr<CkxFamily> head(tree.t_RemoveHead());
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->m_nID, kImg);
    EXPECT_EQ(tree.t_GetCount(), 7);
    EXPECT_EQ(tree.t_Find(1)->m_pParent, nullptr); // no link into the removed family
    EXPECT_EQ(tree.t_Find(kTxt)->m_pPrev, nullptr);
    EXPECT_EQ(tree.t_FindTree(1, out), 3); // the branch below stays linked
    head.reset();
    tree.t_DeleteAll();
    EXPECT_EQ(tree.t_GetCount(), 0);
    EXPECT_EQ(tree.t_GetMaxLevNo(), 0);
    EXPECT_EQ(tree.t_GetMinLevNo(), -1);
}

// Whatever arrives (any level, any parent, moves, updates, deletes), the links stay a forest:
// every subtree lists each family once and no family lies below itself; deletes free each
// family once (the sanitizer build checks the last).
TEST(FamilyTreeUnlinked, RandomEditsKeepTheLinksAForest) {
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    CkxFamilyTree tree(true);
    for (int step = 0; step < 3000; ++step) {
        const int id = pick(1, 30), parent = pick(0, 4) == 0 ? -1 : pick(1, 30), lev = pick(0, 4);
        switch (pick(0, 5)) {
        case 0:
        case 1:
            if (!tree.t_Find(id)) tree.t_AddTail(Fam(id, lev, parent, "f"));
            break;
        case 2: tree.t_Update(Fam(id, lev, parent, "f")); break;
        case 3: tree.t_SetParent(id, parent); break;
        case 4:
            if (pick(0, 3) == 0) tree.t_Delete(id);
            break;
        default:
            if (pick(0, 10) == 0) delete tree.t_RemoveHead();
            break;
        }
        for (POSITION p = tree.t_GetHeadPosition(); p;) {
            CkxFamily* f = tree.t_GetNext(p);
            CkxFamilyPtrs sub, anc;
            tree.t_FindTree(f->m_pos, sub);
            ASSERT_EQ(std::set<CkxFamily*>(sub.begin(), sub.end()).size(), sub.size()) << "step " << step;
            tree.t_FindAncestry(f->m_pos, anc, false);
            for (CkxFamily* a : anc) ASSERT_EQ(std::count(sub.begin(), sub.end(), a), 0) << "step " << step;
        }
    }
    while (tree.t_GetCount() > 0) ASSERT_EQ(tree.t_Delete(tree.t_GetHeadPosition()), 1);
}
