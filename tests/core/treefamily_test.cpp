// The node, folder, family and project tree controls and views over one small linked tree (A
// with B with C, A with D, a second top-level E): one table of what each class is meant to do,
// written down here, drives the shared cases over all six. Then each class's own calls (node-type
// images, the exported folder control's image forms, the family control's kind icons, root-only
// build and server item over the small catalogue's families, the project control's server item
// and member lists), and pictures of the family and project trees.
#include "core/support/TreeShape.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxServer.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxFSCtrl.h"
#include "ui/CkxFamilyTreeCtrl.h"
#include "ui/CkxFamilyTreeView.h"
#include "ui/CkxTreeCtrl.h"
#include "ui/CkxTreeView.h"
#include "ui/CkxWinProjectTreeCtrl.h"

#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

enum { A = 1, B = 2, C = 3, D = 4, E = 5 };

// A record as a test or a cache writes it down: id, name, level, parent id; no links, no
// handles (families: image kind).
template <class Rec>
Rec Make(int id, const std::string& name, int lev, int parent) {
    Rec r;
    r.m_nID = id;
    r.m_strName = name;
    r.m_nParentID = parent;
    if constexpr (requires { r.m_nLevel; }) {
        r.m_nLevel = lev;
        r.SetDataKind(KXD_IMAGE);
    } else {
        r.m_nLev = lev;
    }
    return r;
}

// A linked source list: each record under the record of its parent id, siblings in order.
template <class Rec>
struct Source {
    std::deque<Rec> recs;
    Source() : Source({Make<Rec>(A, "A", 0, -1), Make<Rec>(B, "B", 1, A), Make<Rec>(C, "C", 2, B),
                       Make<Rec>(D, "D", 1, A), Make<Rec>(E, "E", 0, -1)}) {}
    explicit Source(std::vector<Rec> list) {
        for (Rec& r : list) recs.push_back(r);
        Rec* lastTop = nullptr;
        for (Rec& r : recs) {
            Rec* parent = Find(r.m_nParentID);
            Rec* prev = parent ? LastChild(parent) : lastTop;
            r.m_pParent = parent;
            r.m_pPrev = prev;
            if (prev) prev->m_pNext = &r;
            else if (parent) parent->m_pChild = &r;
            if (!parent) lastTop = &r;
        }
    }
    Rec* Find(int id) {
        for (Rec& r : recs)
            if (r.m_nID == id) return &r;
        return nullptr;
    }
    Rec* LastChild(Rec* parent) {
        Rec* last = nullptr;
        for (Rec& r : recs)
            if (r.m_pParent == parent && &r != parent) last = &r;
        return last == nullptr ? nullptr : last;
    }
    std::vector<Rec*> List(std::vector<int> ids) {
        std::vector<Rec*> out;
        for (int id : ids) out.push_back(Find(id));
        return out;
    }
    std::vector<Rec*> All() { return List({A, B, C, D, E}); }
};

// What each class is meant to do, where they differ.
enum class Takes { NameNote, NodeFields, Whole };

template <class Tree>
struct Expect;

template <>
struct Expect<CkxTreeCtrl> {
    using Rec = CkxNode;
    static constexpr int kItemImage = 0, kItemSelected = 0;   // AddNode (item, record)
    static constexpr int kRecImage = 0, kRecSelected = 1;     // AddNode (record, 1), AddRoot
    static constexpr bool kByLevel = true;                    // else: by the parent link
    static constexpr bool kMissingAncestorGivesZero = true;
    static constexpr Takes kTakes = Takes::NodeFields;
    static constexpr bool kChecks = true;
    static int AddByRecord(CkxTreeCtrl& t, Rec& r) { return t.AddNode(r, 1); }
    static HTREEITEM Root(CkxTreeCtrl& t, Rec& r) { return t.AddRoot(r); }
};
template <>
struct Expect<CkxTreeView> {
    using Rec = CkxNode;
    static constexpr int kItemImage = 0, kItemSelected = 1;
    static constexpr int kRecImage = 0, kRecSelected = 1;
    static constexpr bool kByLevel = false;
    static constexpr bool kMissingAncestorGivesZero = false;
    static constexpr Takes kTakes = Takes::NodeFields;
    static constexpr bool kChecks = false;
    static int AddByRecord(CkxTreeView& t, Rec& r) { return t.AddNode(r); }
    static HTREEITEM Root(CkxTreeView& t, Rec& r) { return t.AddRoot(r); }
};
template <>
struct Expect<CkxFSCtrl> {
    using Rec = CkxFSNode;
    static constexpr int kItemImage = 4, kItemSelected = 5;
    static constexpr int kRecImage = 0, kRecSelected = 1;
    static constexpr bool kByLevel = true;
    static constexpr bool kMissingAncestorGivesZero = false;
    static constexpr Takes kTakes = Takes::Whole;
    static constexpr bool kChecks = true;
    static int AddByRecord(CkxFSCtrl& t, Rec& r) { return t.AddNode(r, 1); }
    static HTREEITEM Root(CkxFSCtrl& t, Rec& r) { return t.AddRoot(r); }
};
template <>
struct Expect<CkxFamilyTreeCtrl> {
    using Rec = CkxFamily;
    static constexpr int kItemImage = 6, kItemSelected = 7; // the image kind's icon
    static constexpr int kRecImage = 6, kRecSelected = 7;
    static constexpr bool kByLevel = true;
    static constexpr bool kMissingAncestorGivesZero = false;
    static constexpr Takes kTakes = Takes::NameNote;
    static constexpr bool kChecks = true;
    static int AddByRecord(CkxFamilyTreeCtrl& t, Rec& r) { return t.AddNode(r, 1); }
    static HTREEITEM Root(CkxFamilyTreeCtrl& t, Rec& r) { return t.AddRoot(r); }
};
template <>
struct Expect<CkxFamilyTreeView> {
    using Rec = CkxFamily;
    static constexpr int kItemImage = 0, kItemSelected = 1;
    static constexpr int kRecImage = 0, kRecSelected = 1;
    static constexpr bool kByLevel = false;
    static constexpr bool kMissingAncestorGivesZero = true;
    static constexpr Takes kTakes = Takes::Whole;
    static constexpr bool kChecks = false;
    static int AddByRecord(CkxFamilyTreeView& t, Rec& r) { return t.AddNode(r); }
    static HTREEITEM Root(CkxFamilyTreeView& t, Rec& r) { return t.AddRoot(r); }
};
template <>
struct Expect<CkxWinProjectTreeCtrl> {
    using Rec = CkxProject;
    static constexpr int kItemImage = 0, kItemSelected = 1;
    static constexpr int kRecImage = 0, kRecSelected = 1;
    static constexpr bool kByLevel = true;
    static constexpr bool kMissingAncestorGivesZero = true;
    static constexpr Takes kTakes = Takes::Whole;
    static constexpr bool kChecks = true;
    static int AddByRecord(CkxWinProjectTreeCtrl& t, Rec& r) { return t.AddNode(r, 1); }
    static HTREEITEM Root(CkxWinProjectTreeCtrl& t, Rec& r) { return t.AddRoot(r); }
};


// The item showing `text`, found on the screen (not through the copies).
HTREEITEM OnScreen(kx::TreeCtrl& t, const char* text) {
    const auto found = t.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? t.HandleOf(found.front()) : nullptr;
}


template <class Tree>
class TreeFamilyTest : public ::testing::Test {
protected:
    using X = Expect<Tree>;
    using Rec = typename X::Rec;
    void SetUp() override {
        kx::EnsureApplication();
        tree = std::make_unique<Tree>();
        tree->resize(220, 240);
        tree->show();
    }
    void Build() { tree->AddTree(TVI_ROOT, src.All()); }
    Source<Rec> src;
    std::unique_ptr<Tree> tree;
};

using Classes = ::testing::Types<CkxTreeCtrl, CkxTreeView, CkxFSCtrl, CkxFamilyTreeCtrl, CkxFamilyTreeView,
                                 CkxWinProjectTreeCtrl>;
TYPED_TEST_SUITE(TreeFamilyTest, Classes);

} // namespace

TYPED_TEST(TreeFamilyTest, AddTreeBuildsCopiesWithTheItemImages) {
    using X = Expect<TypeParam>;
    TypeParam& t = *this->tree;
    {
        Source<typename X::Rec> src;
        t.AddTree(TVI_ROOT, src.All());
    } // the source list is gone: the tree holds copies only
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E");
    EXPECT_EQ(CopyIds(t), (std::vector<int>{A, B, C, D, E}));
    HTREEITEM c = OnScreen(t, "C");
    EXPECT_EQ(t.GetItemData(c), C);
    int image = -1, selected = -1;
    t.GetItemImage(c, image, selected);
    EXPECT_EQ(image, X::kItemImage);
    EXPECT_EQ(selected, X::kItemSelected);

    // No top-level test: a list starting at level 1 builds from there.
    t.DeleteAllItems();
    t.AddTree(TVI_ROOT, this->src.List({B, C}));
    EXPECT_EQ(Shape(t, t.GetRootItem()), "B(C)");
    // A list lacking a middle record leaves its subtree out; an empty list adds nothing.
    t.DeleteAllItems();
    t.AddTree(TVI_ROOT, this->src.List({A, C, D, E}));
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(D) E");
    t.DeleteAllItems();
    t.AddTree(TVI_ROOT, {});
    EXPECT_EQ(t.GetCount(), 0);
}

TYPED_TEST(TreeFamilyTest, AddRootAndAddNodeByRecord) {
    using X = Expect<TypeParam>;
    using Rec = typename X::Rec;
    TypeParam& t = *this->tree;
    Rec a = *this->src.Find(A);
    HTREEITEM ai = X::Root(t, a);
    ASSERT_TRUE(ai);
    int image = -1, selected = -1;
    t.GetItemImage(ai, image, selected);
    EXPECT_EQ(image, X::kRecImage);
    EXPECT_EQ(selected, X::kRecSelected);
    EXPECT_EQ(t.GetParentItem(ai), nullptr);

    Rec& b = *this->src.Find(B); // linked to A, level 1 under A: both rules put it under A
    t.Expand(ai, TVE_COLLAPSE);
    ASSERT_EQ(X::AddByRecord(t, b), 1);
    HTREEITEM bi = OnScreen(t, "B");
    EXPECT_EQ(t.GetParentItem(bi), ai);
    t.GetItemImage(bi, image, selected);
    EXPECT_EQ(image, X::kRecImage);
    EXPECT_EQ(selected, X::kRecSelected);
    if (X::kByLevel) EXPECT_TRUE(t.IsExpanded(ai)); // expanded when asked
    if constexpr (requires { b.m_hTreeItem; }) {    // written back into the caller's record
        EXPECT_EQ(b.m_hTreeItem, static_cast<void*>(bi));
        EXPECT_EQ(b.m_hParentTreeItem, static_cast<void*>(ai));
    }

    // A top-level record without a parent link; a record whose parent is linked but not held;
    // a record with neither a link nor a held parent.
    Rec e = Make<Rec>(E, "E", 0, -1);
    EXPECT_EQ(X::AddByRecord(t, e), X::kByLevel ? 1 : 0);
    Rec c = *this->src.Find(C);
    c.m_pParent = this->src.Find(D);
    c.m_nParentID = D;
    EXPECT_EQ(X::AddByRecord(t, c), X::kByLevel ? 0 : 1);
    if (!X::kByLevel) EXPECT_EQ(t.GetParentItem(OnScreen(t, "C")), nullptr); // top level
    Rec lost = Make<Rec>(9, "lost", 1, 70);
    EXPECT_EQ(X::AddByRecord(t, lost), 0);
    EXPECT_EQ(OnScreen(t, "lost"), nullptr);
    EXPECT_EQ(t.AddNode(static_cast<HTREEITEM>(nullptr), lost), nullptr);
    EXPECT_EQ(t.GetCount(), static_cast<int>(CopyIds(t).size()));

    // Under its parent: the listed copy of the parent, else beside a listed sibling.
    const int before = t.GetCount();
    POSITION posA = t.GetHeadPosition(), posB = posA;
    t.GetNext(posB);
    EXPECT_EQ(t.GetParentItem(t.AddNode_ParentRange({posA}, Make<Rec>(31, "X", 1, A))), ai);
    EXPECT_EQ(t.GetParentItem(t.AddNode_ParentRange({posB}, Make<Rec>(32, "Y", 1, A))), ai);
    EXPECT_EQ(t.AddNode_ParentRange({posB}, Make<Rec>(33, "Z", 1, 70)), nullptr);
    EXPECT_EQ(t.GetCount(), before + 2);
}

TYPED_TEST(TreeFamilyTest, UpdateNodeTakesTheClassShareAndDeleteStillClearsTheScreen) {
    using X = Expect<TypeParam>;
    using Rec = typename X::Rec;
    TypeParam& t = *this->tree;
    this->Build();
    t.ExpandTree();
    // A record as a cache holds it: same id, new name, note and another field, no handles.
    Rec fresh = Make<Rec>(D, "D renamed", 1, A);
    fresh.m_strNote = "note";
    if constexpr (requires { fresh.m_nLevel; }) fresh.SetDataKind(KXD_TEXT);
    else if constexpr (requires { fresh.m_UserList; }) fresh.m_nState = 3;
    else if constexpr (requires { fresh.m_nNodeType; }) fresh.m_nNodeType = 7;
    else fresh.m_nState = 2;
    HTREEITEM d = OnScreen(t, "D");
    t.UpdateNode(fresh);
    EXPECT_EQ(t.GetItemText(d), "D renamed");
    Rec copy;
    ASSERT_EQ(t.GetNode(D, copy), 1);
    EXPECT_EQ(copy.m_strName, "D renamed");
    EXPECT_EQ(copy.m_strNote, "note");
    bool other = false;
    if constexpr (requires { copy.m_nLevel; }) other = copy.GetDataKind() == KXD_TEXT;
    else if constexpr (requires { copy.m_UserList; }) other = copy.m_nState == 3;
    else if constexpr (requires { copy.m_nNodeType; }) other = copy.m_nNodeType == 7;
    else other = copy.m_nState == 2;
    EXPECT_EQ(other, X::kTakes != Takes::NameNote);
    if constexpr (requires { copy.m_hTreeItem; }) EXPECT_EQ(copy.m_hTreeItem, static_cast<void*>(d));

    t.DeleteNode(D);
    EXPECT_FALSE(t.IsItem(d));
    EXPECT_EQ(OnScreen(t, "D renamed"), nullptr);
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C)) E");

    // The two-argument form with a cache record: the given item shows it and goes on delete.
    HTREEITEM e = OnScreen(t, "E");
    t.UpdateNode(e, Make<Rec>(E, "E2", 0, -1));
    EXPECT_EQ(t.GetItemText(e), "E2");
    t.DeleteNode(E);
    EXPECT_FALSE(t.IsItem(e));
    // A record that carries its handles gives them to the copy, whichever item is named.
    if constexpr (requires { copy.m_hTreeItem; }) {
        Rec b;
        ASSERT_EQ(t.GetNode(B, b), 1); // carries B's item and parent item
        HTREEITEM own = t.InsertItem("own", 0, 0);
        b.m_strName = "B2";
        t.UpdateNode(own, b);
        EXPECT_EQ(t.GetItemText(own), "B2");
        ASSERT_EQ(t.GetNode(B, copy), 1);
        EXPECT_EQ(copy.m_hTreeItem, b.m_hTreeItem);
        t.DeleteNode(B);
        EXPECT_FALSE(t.IsItem(static_cast<HTREEITEM>(b.m_hTreeItem)));
        EXPECT_TRUE(t.IsItem(own));
        t.DeleteItem(own);
        Rec back = *this->src.Find(B);
        ASSERT_TRUE(t.AddNode(OnScreen(t, "A"), back));
        ASSERT_TRUE(t.AddNode(OnScreen(t, "B"), *this->src.Find(C)));
    }
    t.UpdateNode(static_cast<HTREEITEM>(nullptr), Make<Rec>(A, "never", 0, -1));
    t.UpdateNode(Make<Rec>(77, "never", 0, -1));
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C))");
}

TYPED_TEST(TreeFamilyTest, DeleteNodeTakesDescendantsAndIgnoresUnknownIds) {
    TypeParam& t = *this->tree;
    this->Build();
    std::vector<HTREEITEM> gone{OnScreen(t, "A"), OnScreen(t, "B"), OnScreen(t, "C"), OnScreen(t, "D")};
    t.DeleteNode(77);
    EXPECT_EQ(t.GetCount(), 5);
    t.DeleteNode(A);
    EXPECT_EQ(CopyIds(t), (std::vector<int>{E}));
    EXPECT_EQ(t.GetCount(), 1);
    for (HTREEITEM h : gone) EXPECT_FALSE(t.IsItem(h));
    typename Expect<TypeParam>::Rec out;
    for (int id : {A, B, C, D}) EXPECT_EQ(t.GetNode(id, out), 0) << id;
}

TYPED_TEST(TreeFamilyTest, SelectNodeWithAMissingTopAncestor) {
    using X = Expect<TypeParam>;
    TypeParam& t = *this->tree;
    HTREEITEM b = t.AddNode(TVI_ROOT, *this->src.Find(B)); // A is not held
    ASSERT_TRUE(b);
    HTREEITEM c = t.AddNode(b, *this->src.Find(C));
    t.SelectItem(nullptr);
    std::list<typename X::Rec> chain;
    EXPECT_EQ(t.HuntNodeAndParentNode(C, chain), X::kMissingAncestorGivesZero ? 0 : 2);
    t.SelectNode(C);
    EXPECT_EQ(t.GetSelectedItem(), X::kMissingAncestorGivesZero ? nullptr : c);
    t.SelectNode(-1); // no class selects the root for -1
    EXPECT_EQ(t.GetSelectedItem(), X::kMissingAncestorGivesZero ? nullptr : c);
    t.SelectNode(std::string("B "));
    EXPECT_EQ(t.GetSelectedItem(), X::kMissingAncestorGivesZero ? nullptr : b); // B is level 1 too
}

TYPED_TEST(TreeFamilyTest, SelectionValues) {
    TypeParam& t = *this->tree;
    this->Build();
    t.SelectItem(nullptr);
    typename Expect<TypeParam>::Rec out;
    EXPECT_EQ(t.GetCurSelNode(out), 0);
    EXPECT_EQ(t.GetCurSelNodeParent(out), 0);
    EXPECT_EQ(t.GetCurSelNodeID(), -1);
    EXPECT_EQ(t.GetCurSelNodeLevelNo(), -1);
    EXPECT_EQ(t.GetCurSelNodeParentID(), -1);
    EXPECT_EQ(t.GetCurSelNodeName(), "");
    EXPECT_EQ(t.GetCurSelDir(), "");
    EXPECT_EQ(t.GetCurSelItemData(), 0);
    EXPECT_EQ(t.IsCurSeLNodeHasChild(), 0);
    t.FurlTree();
    t.SelectNode(C);
    EXPECT_TRUE(t.IsExpanded(OnScreen(t, "A")));
    EXPECT_EQ(t.GetCurSelNodeID(), C);
    EXPECT_EQ(t.GetCurSelNodeParent(out), 1);
    EXPECT_EQ(out.m_nID, B);
    EXPECT_EQ(t.GetCurSelDir(), "A\\B\\C\\");
    EXPECT_EQ(t.GetCurSelItemData(), C);
    static_assert(requires { t.CheckAllNode(); } == Expect<TypeParam>::kChecks);
}

TYPED_TEST(TreeFamilyTest, UpdateTreeBuildsLevelByLevelAndLoopingListsEnd) {
    using Rec = typename Expect<TypeParam>::Rec;
    TypeParam& t = *this->tree;
    std::list<Rec> flat{Make<Rec>(C, "C", 2, B), Make<Rec>(A, "A", 0, -1), Make<Rec>(B, "B", 1, A),
                        Make<Rec>(D, "D", 1, A),  Make<Rec>(E, "E", 0, -1), Make<Rec>(9, "lost", 1, 70)};
    EXPECT_EQ(t.UpdateTree(flat), 1);
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E");

    t.DeleteAllItems();
    // X and Y are each other's next sibling; Y names X as its first child.
    Rec x = Make<Rec>(1, "X", 0, -1), y = Make<Rec>(2, "Y", 0, -1);
    x.m_pNext = &y;
    y.m_pNext = &x;
    y.m_pChild = &x;
    t.AddTree(TVI_ROOT, {&x, &y});
    EXPECT_EQ(CopyIds(t), (std::vector<int>{1, 2}));
}

// ---- The node control's own calls ----

TEST(NodeTreeCtrlTest, NodeTypeImagesAndIconForms) {
    kx::EnsureApplication();
    CkxTreeCtrl t;
    int image = 0, selected = 0;
    EXPECT_EQ(t.GetNodeTypeImage(CkxNode::NODE_FOLDER, image, selected), 1);
    EXPECT_EQ(image, -1);
    EXPECT_EQ(selected, -1);
    t.AddNodeTypeImage(CkxNode::NODE_FOLDER, 2, 3);
    t.AddNodeTypeImage(CkxNode::NODE_FOLDER, 8, 9);
    t.AddNodeTypeImage(CkxNode::NODE_DATA, 4, 5);
    EXPECT_EQ(t.GetNodeTypeImage(CkxNode::NODE_FOLDER, image, selected), 1);
    EXPECT_EQ(image, 2); // the first entry wins
    EXPECT_EQ(selected, 3);

    Source<CkxNode> src;
    for (CkxNode& n : src.recs) t.GetNodeTypeImage(CkxNode::NODE_FOLDER, n.m_nImage, n.m_nSelectedImage);
    t.AddTree_Icon(TVI_ROOT, src.All());
    EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E");
    t.GetItemImage(OnScreen(t, "C"), image, selected);
    EXPECT_EQ(image, 2);
    EXPECT_EQ(selected, 3);
    t.AddChild(TVI_ROOT, src.Find(E), static_cast<const CkxTreeCtrl::NodeList*>(nullptr));
    EXPECT_EQ(t.GetCount(), 5);
}

// ---- The exported folder control's own calls ----

TEST(FSCtrlTest, ImageFormsRootNodeAndImageList) {
    kx::EnsureApplication();
    CkxFSCtrl t;
    EXPECT_EQ(t.GetRootNode(), nullptr);
    t.InitTreeCtrl();
    EXPECT_EQ(t.GetImageList().GetImageCount(), 0);
    Source<CkxFSNode> src;
    for (CkxFSNode& n : src.recs) n.m_nImage = 2, n.m_nSelectedImage = 3;
    struct Case {
        const char* form;
        int image, selected;
    };
    for (const Case& c : std::vector<Case>{{"pair", 6, 7}, {"icon", 2, 3}, {"plain", 4, 5}}) {
        t.DeleteAllItems();
        const std::string form = c.form;
        if (form == "pair") t.AddTree(TVI_ROOT, src.All(), 6, 7);
        else if (form == "icon") t.AddTree_Icon(TVI_ROOT, src.All());
        else t.AddTree(TVI_ROOT, src.All());
        EXPECT_EQ(Shape(t, t.GetRootItem()), "A(B(C),D) E") << c.form;
        int image = 0, selected = 0;
        t.GetItemImage(OnScreen(t, "D"), image, selected);
        EXPECT_EQ(image, c.image) << c.form;
        EXPECT_EQ(selected, c.selected) << c.form;
    }
    EXPECT_EQ(t.GetRootNode(), OnScreen(t, "A"));
}

// ---- The family controls over the small catalogue ----

namespace {

class FamilyTrees : public guitest::SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        CkxFamilyXXX& reg = KX_FamilyXXX();
        for (POSITION p = reg.family_GetHeadPosition(); p;) families.push_back(reg.family_GetNext(p));
    }
    CkxFamilyPtrs families;
};

// Reaches the protected IsFamilyNode.
struct FamilyCtrl : CkxFamilyTreeCtrl {
    using CkxFamilyTreeCtrl::IsFamilyNode;
};

std::vector<int> TopImages(kx::TreeCtrl& t) {
    std::vector<int> images;
    for (HTREEITEM h = t.GetRootItem(); h; h = t.GetNextSiblingItem(h)) {
        int image = 0, selected = 0;
        t.GetItemImage(h, image, selected);
        EXPECT_EQ(selected, image + 1);
        images.push_back(image);
    }
    return images;
}

} // namespace

TEST_F(FamilyTrees, RootOnlyBuildShowsTheRootFamiliesWithKindIcons) {
    FamilyCtrl t;
    t.AddTree(TVI_ROOT, families, 0);
    EXPECT_EQ(t.GetCount(), 0);
    t.AddTree(TVI_ROOT, families, 1);
    EXPECT_EQ(TopImages(t), (std::vector<int>{6, 8, 10, 12, 2, 2}));
    EXPECT_EQ(CopyIds(t), (std::vector<int>{KXF_ROOT_IMAGE, KXF_ROOT_TEXT, KXF_ROOT_AUDIO, KXF_ROOT_VIDEO,
                                           KXF_ROOT_BINARY, KXF_ROOT_OTHER}));
    EXPECT_EQ(t.GetCount(), 6); // no sub-family
    // A list whose first family is not a root family adds nothing in this form.
    t.DeleteAllItems();
    t.AddTree(TVI_ROOT, {KX_FamilyXXX().family_Find(FAMILY_LANDSCAPE)}, 1);
    EXPECT_EQ(t.GetCount(), 0);

    t.AddTree(TVI_ROOT, families);
    EXPECT_EQ(t.GetCount(), 8);
    HTREEITEM landscape = OnScreen(t, "风景");
    EXPECT_EQ(t.GetParentItem(landscape), OnScreen(t, "图像根族"));
    EXPECT_EQ(t.IsFamilyNode(landscape), 1);
    EXPECT_EQ(t.IsFamilyNode(nullptr), 0);
    t.AddChild(TVI_ROOT, families.front(), static_cast<const CkxFamilyPtrs*>(nullptr));
    EXPECT_EQ(t.GetCount(), 8);
}

TEST_F(FamilyTrees, ServerItemIsNoFamily) {
    FamilyCtrl t;
    CkxServer& server = ServerRecord();
    EXPECT_EQ(t.AddNode_Server(nullptr), nullptr);
    HTREEITEM s = t.AddNode_Server(&server);
    ASSERT_TRUE(s);
    t.AddTree(s, families, 1);
    EXPECT_EQ(t.GetItemText(s), "图库服务器");
    EXPECT_EQ(t.GetServerNode().m_strNote, "本机测试");
    EXPECT_EQ(t.GetServerNode().m_nValueA, 2);
    int image = -1, selected = -1;
    t.GetItemImage(s, image, selected);
    EXPECT_EQ(image, 0);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(t.IsFamilyNode(s), 0);

    t.SelectItem(s);
    CkxFamily out;
    EXPECT_EQ(t.IsSelSrvNode(), 1);
    EXPECT_EQ(t.GetCurSelNode(out), 0);
    EXPECT_EQ(t.GetCurSelNodeID(), -1);
    EXPECT_EQ(t.GetCurSelItemData(), reinterpret_cast<std::intptr_t>(&server));
    t.SelectNode(KXF_ROOT_TEXT);
    EXPECT_EQ(t.IsSelSrvNode(), 0);
    EXPECT_EQ(t.GetCurSelNodeID(), KXF_ROOT_TEXT);
}

TEST_F(FamilyTrees, UpdateNodeOfTheControlKeepsTheDataKind) {
    CkxFamilyTreeCtrl t;
    t.AddTree(TVI_ROOT, families);
    CkxFamily changed = *KX_FamilyXXX().family_Find(FAMILY_LANDSCAPE);
    changed.m_strName = "山水";
    changed.m_strNote = "新备注";
    changed.SetDataKind(KXD_AUDIO);
    t.UpdateNode(changed);
    t.SelectNode(FAMILY_LANDSCAPE);
    CkxFamily out;
    ASSERT_EQ(t.GetCurSelNode(out), 1);
    EXPECT_EQ(out.m_strName, "山水");
    EXPECT_EQ(out.m_strNote, "新备注");
    EXPECT_EQ(out.GetDataKind(), KXD_IMAGE);
    EXPECT_EQ(t.GetCurSelDir(), "图像根族\\山水\\");

    // The two-argument form takes the kind and keeps the copy's modal and check-out fields.
    changed.SetDataModalLink();
    changed.Checkout(3);
    t.UpdateNode(t.GetSelectedItem(), changed);
    ASSERT_EQ(t.GetCurSelNode(out), 1);
    EXPECT_EQ(out.GetDataKind(), KXD_AUDIO);
    EXPECT_TRUE(out.IsDataModalFile());
    EXPECT_FALSE(out.IsCheckout());

    // The view takes the whole family.
    CkxFamilyTreeView v;
    v.AddTree(TVI_ROOT, families);
    v.UpdateNode(changed);
    ASSERT_EQ(v.GetNode(FAMILY_LANDSCAPE, out), 1);
    EXPECT_EQ(out.GetDataKind(), KXD_AUDIO);
    EXPECT_EQ(v.GetTitleNode(), OnScreen(v, "图像根族"));
    EXPECT_EQ(v.GetFirstLevItem(FAMILY_LANDSCAPE), OnScreen(v, "山水"));
}

TEST_F(FamilyTrees, Picture) {
    CkxFamilyTreeCtrl t;
    kx::ImageList images(16, 16);
    ASSERT_TRUE(images.LoadBitmap(139));
    t.SetImageList(images);
    HTREEITEM s = t.AddNode_Server(&ServerRecord());
    t.AddTree(s, families);
    t.ExpandRoot();
    t.ExpandTree();
    t.SelectNode(FAMILY_CONTRACT);
    t.resize(240, 260);
    EXPECT_FALSE(guitest::Screenshot(&t, "CkxFamilyTreeCtrl-families").empty());
}

// ---- The project control ----

TEST_F(FamilyTrees, ProjectTreeServerItemMembersAndPicture) {
    // The fixture's projects, linked as siblings, with a sub-project of the first.
    std::vector<CkxProject> list;
    for (POSITION p = KX_KXXXX().m_ProjectList.GetHeadPosition(); p;) list.push_back(*KX_KXXXX().m_ProjectList.GetNext(p));
    CkxProject sub = Make<CkxProject>(3, "封面", 1, PROJECT_ALBUM);
    list.push_back(sub);
    Source<CkxProject> src(list);
    CkxProjectList::Projects projects;
    for (CkxProject& p : src.recs) projects.push_back(&p);

    CkxWinProjectTreeCtrl t, icons;
    t.InitTreeCtrl();
    kx::ImageList images(16, 16);
    ASSERT_TRUE(images.LoadBitmap(139));
    t.SetImageList(images);
    HTREEITEM s = t.AddNode_Server(&ServerRecord());
    t.AddTree(s, projects);
    icons.AddTree_Icon(TVI_ROOT, projects);
    t.ExpandTree();
    t.ExpandRoot();
    EXPECT_EQ(Shape(t, t.GetRootItem()), "图库服务器(春季画册(封面),年报)");
    EXPECT_EQ(Shape(icons, icons.GetRootItem()), "春季画册(封面) 年报");
    int image = -1, selected = -1;
    icons.GetItemImage(OnScreen(icons, "封面"), image, selected);
    EXPECT_EQ(image, 0);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(t.GetServerNode().m_nNodeType, CkxNode::NODE_SERVER);

    t.SelectItem(s);
    CkxProject out;
    EXPECT_EQ(t.IsSelSrvNode(), 1);
    EXPECT_EQ(t.GetCurSelNode(out), 0);
    EXPECT_EQ(t.GetCurSelNodeID(), -1);
    EXPECT_EQ(t.GetCurSelItemData(), reinterpret_cast<std::intptr_t>(&ServerRecord()));

    // A new name and member list replace the copy's.
    CkxProject changed = *src.Find(PROJECT_REPORT);
    changed.m_strName = "年度报告";
    changed.m_UserList.DeleteAll();
    CkxUserX member;
    member.m_nID = DAVE;
    changed.m_UserList.AddTail(member);
    t.UpdateNode(changed);
    ASSERT_EQ(t.GetNode(PROJECT_REPORT, out), 1);
    EXPECT_EQ(out.m_strName, "年度报告");
    EXPECT_EQ(out.m_UserList.GetCount(), 1);
    EXPECT_EQ(out.m_UserList.CheckValid(DAVE), 1);
    t.SelectNode(3);
    EXPECT_EQ(t.GetCurSelDir(), "春季画册\\封面\\");
    t.resize(240, 200);
    EXPECT_FALSE(guitest::Screenshot(&t, "CkxWinProjectTreeCtrl-projects").empty());
}
