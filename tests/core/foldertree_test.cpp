// The folder tree control and the folder tree view over one small linked tree (A with B with C,
// A with D, a second top-level E; and the same list without B): one table of expected values
// per class, written from what each class is meant to do, drives the shared cases over both.
// Then the control's own calls (check boxes, positions, item data) and the view's (AddRoot,
// linked AddNode, FindNode, GetFirstLevItem), bad source lists, and a picture of the control
// with check boxes over the small catalogue's folders.
#include "core/support/FolderRecords.h"
#include "core/support/TreeShape.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxFSTree.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"
#include "ui/CxTreeCtrl.h"
#include "ui/CxTreeView.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

enum { A = 1, B = 2, C = 3, D = 4, E = 5 };

// A linked source list as the context's folder tree gives it (images 2/3 on every folder).
struct Source {
    CkxFSTree tree{1};
    Source() {
        for (const CkxFSNode& n : {Folder(A, "A", 0, -1), Folder(B, "B", 1, A), Folder(C, "C", 2, B),
                                   Folder(D, "D", 1, A), Folder(E, "E", 0, -1)})
            tree.Add(n, 2, 3);
    }
    std::vector<CkxFSNode*> List(std::vector<int> ids) const {
        std::vector<CkxFSNode*> out;
        for (int id : ids) out.push_back(tree.Find(id));
        return out;
    }
    std::vector<CkxFSNode*> All() const { return List({A, B, C, D, E}); }
};

// What each class is meant to do, where they differ.
template <class Tree>
struct Expect;

template <>
struct Expect<CxTreeCtrl> {
    static void Build(CxTreeCtrl& t, const std::vector<CkxFSNode*>& l) { t.AddToRoot(TVI_ROOT, l); }
    static constexpr int kImage = 2, kSelectedImage = 3; // the record's own
    static constexpr bool kSelectsRootForMinusOne = true;
    static constexpr int kBuildNotTopLevel = 0;          // AddToRoot refuses a level-1 first node
    static constexpr bool kUnknownIdTakesDescendants = true;
};

template <>
struct Expect<CxTreeView> {
    static void Build(CxTreeView& t, const std::vector<CkxFSNode*>& l) { t.AddTree(TVI_ROOT, l); }
    static constexpr int kImage = 0, kSelectedImage = 1;
    static constexpr bool kSelectsRootForMinusOne = false;
    static constexpr int kBuildNotTopLevel = 2;          // AddTree has no top-level test: B, C
    static constexpr bool kUnknownIdTakesDescendants = false;
};



template <class Tree>
class FolderFamilyTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        tree = std::make_unique<Tree>();
        tree->resize(220, 240);
        tree->show();
    }
    HTREEITEM ItemOf(int id) {
        CkxFSNode n;
        return tree->GetNode(id, n) ? static_cast<HTREEITEM>(n.m_hTreeItem) : nullptr;
    }
    std::unique_ptr<Tree> tree;
};

using Classes = ::testing::Types<CxTreeCtrl, CxTreeView>;
TYPED_TEST_SUITE(FolderFamilyTest, Classes);

} // namespace

TYPED_TEST(FolderFamilyTest, BuildsWhatTheListHoldsAndCopiesIt) {
    using X = Expect<TypeParam>;
    {
        Source src;
        X::Build(*this->tree, src.All());
    } // the source list is gone: the tree holds copies only
    TypeParam& t = *this->tree;
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E");
    EXPECT_EQ(CopyIds(t), (std::vector<int>{A, B, C, D, E}));
    HTREEITEM c = this->ItemOf(C);
    ASSERT_TRUE(t.IsItem(c));
    EXPECT_EQ(t.GetItemData(c), C);
    int image = -1, selected = -1;
    t.GetItemImage(c, image, selected);
    EXPECT_EQ(image, X::kImage);
    EXPECT_EQ(selected, X::kSelectedImage);
    CkxFSNode copy;
    ASSERT_EQ(t.GetNode(C, copy), 1);
    EXPECT_EQ(copy.m_hParentTreeItem, static_cast<void*>(this->ItemOf(B)));
}

TYPED_TEST(FolderFamilyTest, AListLackingAMiddleFolderLeavesItsSubtreeOut) {
    Source src;
    Expect<TypeParam>::Build(*this->tree, src.List({A, C, D, E}));
    TypeParam& t = *this->tree;
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(D) E");
    EXPECT_EQ(CopyIds(t), (std::vector<int>{A, D, E}));
}

TYPED_TEST(FolderFamilyTest, FirstNodeThatIsNotTopLevel) {
    Source src;
    Expect<TypeParam>::Build(*this->tree, src.List({B, C}));
    EXPECT_EQ(this->tree->GetCount(), Expect<TypeParam>::kBuildNotTopLevel);
    EXPECT_EQ(static_cast<int>(CopyIds(*this->tree).size()), Expect<TypeParam>::kBuildNotTopLevel);
}

TYPED_TEST(FolderFamilyTest, GettersWithNothingSelectedAndWithASelection) {
    Source src;
    Expect<TypeParam>::Build(*this->tree, src.All());
    TypeParam& t = *this->tree;
    t.SelectItem(nullptr);
    CkxFSNode out;
    EXPECT_EQ(t.GetCurSelNode(out), 0);
    EXPECT_EQ(t.GetCurSelNodeParent(out), 0);
    EXPECT_EQ(t.GetCurSelNodeID(), -1);
    EXPECT_EQ(t.GetCurSelNodeLevelNo(), -1);
    EXPECT_EQ(t.GetCurSelNodeParentID(), -1);
    EXPECT_EQ(t.GetCurSelNodeName(), "");
    EXPECT_EQ(t.GetCurSelDir(), "");
    EXPECT_EQ(t.GetCurSelItemData(), 0);
    EXPECT_EQ(t.IsSelected(), 0);
    EXPECT_EQ(t.IsCurSeLNodeHasChild(), 0);

    t.SelectItem(this->ItemOf(C));
    EXPECT_EQ(t.GetCurSelNode(out), 1);
    EXPECT_EQ(out.m_strName, "C");
    EXPECT_EQ(t.GetCurSelNodeParent(out), 1);
    EXPECT_EQ(out.m_nID, B);
    EXPECT_EQ(t.GetCurSelNodeID(), C);
    EXPECT_EQ(t.GetCurSelNodeLevelNo(), 2);
    EXPECT_EQ(t.GetCurSelNodeParentID(), B);
    EXPECT_EQ(t.GetCurSelDir(), "A\\B\\C\\");
    EXPECT_EQ(t.GetCurSelItemData(), C);
    EXPECT_EQ(t.IsSelectedItem(), 1);
    EXPECT_EQ(t.IsCurSeLNodeHasChild(), 0);
    t.SelectItem(this->ItemOf(B));
    EXPECT_EQ(t.IsCurSeLNodeHasChild(), 1);
}

TYPED_TEST(FolderFamilyTest, SelectNodeExpandsTheAncestors) {
    using X = Expect<TypeParam>;
    Source src;
    X::Build(*this->tree, src.All());
    TypeParam& t = *this->tree;
    t.SelectItem(nullptr);
    t.SelectNode(-1);
    EXPECT_EQ(t.GetSelectedItem(), X::kSelectsRootForMinusOne ? t.GetRootItem() : nullptr);
    EXPECT_EQ(t.IsExpanded(t.GetRootItem()), X::kSelectsRootForMinusOne);

    t.FurlTree();
    t.SelectNode(C);
    EXPECT_EQ(t.GetSelectedItem(), this->ItemOf(C));
    EXPECT_TRUE(t.IsExpanded(this->ItemOf(A)));
    EXPECT_TRUE(t.IsExpanded(this->ItemOf(B)));
    EXPECT_FALSE(t.IsExpanded(this->ItemOf(E)));
    t.SelectNode(std::string("D  "));
    EXPECT_EQ(t.GetSelectedItem(), this->ItemOf(D));
    t.SelectNode(77); // not held: the selection stays
    EXPECT_EQ(t.GetSelectedItem(), this->ItemOf(D));
    t.ExpandTree();
    EXPECT_TRUE(t.IsExpanded(this->ItemOf(E)));
}

TYPED_TEST(FolderFamilyTest, SelectNodeWithoutTheTopAncestor) {
    Source src;
    TypeParam& t = *this->tree;
    // B and C only: B shown at the top level, A not held.
    HTREEITEM b = t.AddNode(TVI_ROOT, *src.tree.Find(B));
    ASSERT_TRUE(b);
    ASSERT_TRUE(t.AddNode(b, *src.tree.Find(C)));
    t.SelectNode(C);
    EXPECT_EQ(t.GetSelectedItem(), this->ItemOf(C));
    EXPECT_TRUE(t.IsExpanded(b));
    std::list<CkxFSNode> chain;
    EXPECT_EQ(t.HuntNodeAndParentNode(C, chain), 2); // the count so far
    EXPECT_EQ(t.HuntParentNode(C, chain), 0);       // ancestors only: all or nothing
    EXPECT_EQ(t.GetCurSelDir(), "");                // a path needs every ancestor
}

TYPED_TEST(FolderFamilyTest, DeleteNodeLeavesNoCopyAndNoItem) {
    using X = Expect<TypeParam>;
    Source src;
    X::Build(*this->tree, src.All());
    TypeParam& t = *this->tree;
    std::vector<HTREEITEM> gone{this->ItemOf(A), this->ItemOf(B), this->ItemOf(C), this->ItemOf(D)};
    t.DeleteNode(A);
    EXPECT_EQ(CopyIds(t), (std::vector<int>{E}));
    EXPECT_EQ(t.GetCount(), 1);
    for (HTREEITEM h : gone) EXPECT_FALSE(t.IsItem(h));
    CkxFSNode out;
    for (int id : {A, B, C, D}) EXPECT_EQ(t.GetNode(id, out), 0) << id;
    t.DeleteNode(77); // unknown: nothing
    EXPECT_EQ(t.GetCount(), 1);

    // Copies that name a folder the tree does not hold as their ancestor.
    HTREEITEM c = t.AddNode(TVI_ROOT, *src.tree.Find(C)); // parent B is not held
    ASSERT_TRUE(c);
    t.DeleteNode(B);
    EXPECT_EQ(t.IsItem(c), !X::kUnknownIdTakesDescendants);
    EXPECT_EQ(t.GetNode(C, out), X::kUnknownIdTakesDescendants ? 0 : 1);
}

TYPED_TEST(FolderFamilyTest, NameLookupTrimsButKeepsCase) {
    Source src;
    Expect<TypeParam>::Build(*this->tree, src.All());
    TypeParam& t = *this->tree;
    CkxFSNode renamed = *src.tree.Find(E);
    renamed.m_strName = "Ee \t";
    t.UpdateNode(renamed);
    struct Case {
        const char* name;
        int found; // 0 or the id
    };
    for (const Case& c : std::vector<Case>{{"B", B}, {"B  ", B}, {"b", 0}, {"Ee", E}, {"Ee  ", E}, {"EE", 0}, {"", 0}}) {
        CkxFSNode out;
        const int r = t.GetNode(std::string(c.name), out);
        EXPECT_EQ(r, c.found ? 1 : 0) << c.name;
        if (r) EXPECT_EQ(out.m_nID, c.found) << c.name;
    }
}

TYPED_TEST(FolderFamilyTest, UpdateThenDeleteTakesTheItemOffTheScreen) {
    Source src;
    Expect<TypeParam>::Build(*this->tree, src.All());
    TypeParam& t = *this->tree;
    t.ExpandTree();
    // A record as a cache holds it: same id, new name and note, no handles, no images.
    CkxFSNode fresh = Folder(D, "D renamed", 1, A);
    fresh.m_strNote = "note";
    t.UpdateNode(fresh);
    HTREEITEM d = this->ItemOf(D);
    EXPECT_EQ(t.GetItemText(d), "D renamed");
    CkxFSNode copy;
    t.GetNode(D, copy);
    EXPECT_EQ(copy.m_strNote, "note");
    EXPECT_EQ(copy.m_hTreeItem, static_cast<void*>(d)); // handles and images kept
    EXPECT_EQ(copy.m_nImage, 2);
    EXPECT_EQ(t.findItems("D renamed", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);

    t.DeleteNode(D);
    EXPECT_FALSE(t.IsItem(d));
    EXPECT_TRUE(t.findItems("D renamed", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C)) E");

    // The two-argument form names the given item and makes it the copy's item.
    HTREEITEM e = this->ItemOf(E);
    t.UpdateNode(e, Folder(E, "E2", 0, -1));
    EXPECT_EQ(t.GetItemText(e), "E2");
    t.DeleteNode(E);
    EXPECT_FALSE(t.IsItem(e));
    t.UpdateNode(nullptr, Folder(A, "never", 0, -1));
    EXPECT_EQ(t.GetItemText(this->ItemOf(A)), "A");
}

TYPED_TEST(FolderFamilyTest, UpdateTreeBuildsLevelByLevel) {
    TypeParam& t = *this->tree;
    std::list<CkxFSNode> flat{Folder(C, "C", 2, B), Folder(A, "A", 0, -1), Folder(B, "B", 1, A),
                              Folder(D, "D", 1, A), Folder(E, "E", 0, -1), Folder(9, "lost", 1, 70)};
    EXPECT_EQ(t.UpdateTree(flat), 1);
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E");
}

TYPED_TEST(FolderFamilyTest, LoopingSourceLinksEnd) {
    TypeParam& t = *this->tree;
    // X and Y are each other's next sibling; Y names X as its first child; Z names itself.
    CkxFSNode x = Folder(1, "X", 0, -1), y = Folder(2, "Y", 0, -1), z = Folder(3, "Z", 0, -1);
    x.m_pNext = &y;
    y.m_pNext = &x;
    y.m_pChild = &x;
    z.m_pChild = &z;
    z.m_pNext = &z;
    Expect<TypeParam>::Build(t, {&x, &y, &z});
    EXPECT_EQ(CopyIds(t), (std::vector<int>{1, 2}));
    t.DeleteAllItems();
    EXPECT_TRUE(CopyIds(t).empty());
    Expect<TypeParam>::Build(t, {&z});
    EXPECT_EQ(CopyIds(t), (std::vector<int>{3}));
    // Copies whose parent ids loop: walks up end, selection does not hang.
    CkxFSNode p = Folder(10, "P", 1, 11), q = Folder(11, "Q", 1, 10);
    HTREEITEM pi = t.AddNode(TVI_ROOT, p);
    t.AddNode(pi, q);
    std::list<CkxFSNode> chain;
    EXPECT_EQ(t.HuntNodeAndParentNode(10, chain), 2);
    t.SelectNode(10);
    EXPECT_EQ(t.GetSelectedItem(), pi);
    EXPECT_EQ(t.GetCurSelDir(), "");
    t.DeleteNode(10);
    EXPECT_TRUE(t.IsItem(t.GetRootItem()));
}

// ---- The control's own calls ----

namespace {

class FolderCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.SetCheckBoxes(true);
        tree.AddToRoot(TVI_ROOT, src.All());
    }
    HTREEITEM ItemOf(int id) {
        CkxFSNode n;
        return tree.GetNode(id, n) ? static_cast<HTREEITEM>(n.m_hTreeItem) : nullptr;
    }
    std::vector<int> Checked() {
        std::list<CkxFSNode> out;
        tree.GetCheckNode(out);
        std::vector<int> ids;
        for (const CkxFSNode& n : out) ids.push_back(n.m_nID);
        return ids;
    }
    struct App {
        App() { kx::EnsureApplication(); }
    } app; // before the widget
    Source src;
    CxTreeCtrl tree;
};

} // namespace

TEST_F(FolderCtrlTest, CheckBoxes) {
    std::list<CkxFSNode> out{Folder(99, "stale", 0, -1)};
    EXPECT_EQ(tree.GetCheckNode(out), 0);
    EXPECT_TRUE(out.empty());
    tree.SetCheck(E, 1);
    tree.SetCheck(C, 1);
    tree.SetCheck(77, 1);
    EXPECT_EQ(Checked(), (std::vector<int>{C, E})); // copy-list order
    tree.CheckAllNode();
    EXPECT_EQ(Checked().size(), 5u);
    tree.DontCheckOtherNode(ItemOf(B));
    EXPECT_EQ(Checked(), (std::vector<int>{B}));
    tree.DontCheckAllNode();
    EXPECT_TRUE(Checked().empty());
}

TEST_F(FolderCtrlTest, PositionsItemDataAndAddNode) {
    std::list<POSITION> below;
    EXPECT_EQ(tree.GetChild(A, below), 3);
    std::vector<int> ids;
    for (POSITION p : below) {
        POSITION at = p;
        ids.push_back(tree.GetNext(at).m_nID);
    }
    EXPECT_EQ(ids, (std::vector<int>{B, C, D})); // depth first
    EXPECT_EQ(tree.IsValid(C), 1);
    EXPECT_EQ(tree.IsValid(77), 0);
    EXPECT_EQ(tree.IsHasChild(B), 1);
    EXPECT_EQ(tree.IsHasChild(C), 0);

    tree.SelectItem(nullptr);
    EXPECT_EQ(tree.GetSelectedItemData(), 0xFFFFFFFFu);
    EXPECT_EQ(tree.GetSelectedIndex(), -1);
    tree.SelectNode(D);
    EXPECT_EQ(tree.GetSelectedItemData(), static_cast<uint32_t>(D));
    EXPECT_EQ(tree.GetSelectedIndex(), 3);

    // AddNode (record): a top-level folder and an unheld parent refuse; a held parent takes it.
    EXPECT_EQ(tree.AddNode(Folder(20, "top", 0, -1)), nullptr);
    EXPECT_EQ(tree.AddNode(Folder(21, "lost", 1, 70)), nullptr);
    HTREEITEM f = tree.AddNode(Folder(22, "F", 2, D), 6, 7);
    ASSERT_TRUE(f);
    EXPECT_EQ(tree.GetParentItem(f), ItemOf(D));
    int image = 0, selected = 0;
    tree.GetItemImage(f, image, selected);
    EXPECT_EQ(image, 6);
    EXPECT_EQ(selected, 7);
    EXPECT_EQ(tree.AddNode(nullptr, Folder(23, "G", 0, -1)), nullptr);
    EXPECT_EQ(tree.IsValid(23), 0);

    // A folder id of -1 travels as item data and reads back as "none" in 32 bits.
    HTREEITEM minus = tree.AddNode(TVI_ROOT, Folder(-1, "root", 0, -1));
    tree.SelectItem(minus);
    EXPECT_EQ(tree.GetSelectedItemData(), 0xFFFFFFFFu);
    EXPECT_EQ(tree.GetCurSelItemData(), -1);
    EXPECT_EQ(tree.GetCurSelNodeID(), -1);

    // DeleteChild takes every child with its subtree; AddToParent builds under a held folder.
    tree.DeleteChild(A);
    EXPECT_EQ(Shape(tree, tree.GetRootItem()), "A E root");
    tree.AddToParent(A, src.List({B, C}));
    EXPECT_EQ(Shape(tree, tree.GetRootItem()), "A(B(C)) E root");
    tree.AddToParent(-1, src.List({D}));
    tree.AddToParent(77, src.List({D}));
    tree.AddToParent(static_cast<HTREEITEM>(nullptr), src.List({D}));
    EXPECT_EQ(tree.IsValid(D), 0);
}

TEST_F(FolderCtrlTest, DeletingAnItemThroughTheWrapperDropsItsCopies) {
    kx::TreeCtrl& wrapper = tree;
    wrapper.DeleteItem(ItemOf(B));
    EXPECT_EQ(CopyIds(tree), (std::vector<int>{A, D, E}));
    tree.DeleteAllItems();
    EXPECT_TRUE(CopyIds(tree).empty());
}

// ---- The view's own calls ----

TEST(FolderViewTest, AddRootLinkedAddNodeAndFinding) {
    kx::EnsureApplication();
    Source src;
    CxTreeView view;
    CkxFSNode a = *src.tree.Find(A);
    HTREEITEM ai = view.AddRoot(a);
    ASSERT_TRUE(ai);
    EXPECT_EQ(a.m_hTreeItem, static_cast<void*>(ai)); // written into the caller's record
    EXPECT_EQ(a.m_hParentTreeItem, nullptr);

    CkxFSNode b = *src.tree.Find(B); // linked to A, which the view holds
    EXPECT_EQ(view.AddNode(b), 1);
    EXPECT_EQ(view.GetParentItem(static_cast<HTREEITEM>(b.m_hTreeItem)), ai);
    EXPECT_EQ(b.m_hParentTreeItem, static_cast<void*>(ai));
    CkxFSNode d = *src.tree.Find(D);
    EXPECT_EQ(view.AddNode(d), 1);
    CkxFSNode unlinked = Folder(30, "unlinked", 1, A);
    EXPECT_EQ(view.AddNode(unlinked), 0);
    CkxFSNode c = *src.tree.Find(C);
    c.m_pParent = src.tree.Find(E); // a linked parent the view does not hold: the top level
    EXPECT_EQ(view.AddNode(c), 1);
    EXPECT_EQ(view.GetParentItem(static_cast<HTREEITEM>(c.m_hTreeItem)), nullptr);
    EXPECT_EQ(Shape(view, view.GetRootItem()), "A(B,D) C");

    EXPECT_EQ(view.FindNode(D), d.m_hTreeItem);
    EXPECT_EQ(view.FindNode(77), nullptr);
    EXPECT_EQ(view.GetFirstLevItem(D), d.m_hTreeItem);
    EXPECT_EQ(view.GetFirstLevItem(C), nullptr); // a top-level item, not a child of the root item

    // Under the parent: a listed copy with the parent's id, else a listed sibling's parent item.
    POSITION posA = view.GetHeadPosition();
    POSITION posB = posA;
    view.GetNext(posB);
    HTREEITEM x = view.AddNode_ParentRange({posA}, Folder(31, "X", 1, A));
    EXPECT_EQ(view.GetParentItem(x), ai);
    HTREEITEM y = view.AddNode_ParentRange({posB}, Folder(32, "Y", 1, A));
    EXPECT_EQ(view.GetParentItem(y), ai);
    EXPECT_EQ(view.AddNode_ParentRange({posB}, Folder(33, "Z", 1, 70)), nullptr);
    EXPECT_EQ(view.AddNode_ParentRange({reinterpret_cast<POSITION>(&view)}, Folder(34, "W", 1, A)), nullptr);
}

// ---- A picture ----

namespace {
class FolderCtrlPicture : public guitest::SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};
} // namespace

TEST_F(FolderCtrlPicture, CheckBoxesOverTheCataloguesFolders) {
    CxTreeCtrl tree;
    kx::ImageList images(16, 16);
    ASSERT_TRUE(images.LoadBitmap(193));
    tree.SetImageList(images);
    tree.SetCheckBoxes(true);
    CkxXXX::NodeList folders;
    KX_KXXXX()._kxFSTree().FindAll(folders);
    tree.AddToRoot(TVI_ROOT, folders);
    EXPECT_EQ(tree.GetCount(), static_cast<int>(folders.size()));
    tree.ExpandTree();
    tree.SetCheck(FOLDER_PHOTOS, 1);
    tree.SetCheck(FOLDER_DRAFTS, 1);
    tree.SelectNode(FOLDER_DOCS);
    EXPECT_EQ(tree.GetCurSelDir(), "图库\\文档\\");
    tree.resize(220, 260);
    EXPECT_FALSE(guitest::Screenshot(&tree, "CxTreeCtrl-checkboxes").empty());

    CxTreeView view;
    view.SetImageList(images);
    view.AddTree(TVI_ROOT, folders);
    view.ExpandTree();
    view.SelectNode(FOLDER_DEEP);
    view.resize(220, 260);
    EXPECT_FALSE(guitest::Screenshot(&view, "CxTreeView-folders").empty());
}
