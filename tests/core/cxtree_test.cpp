// The window-less folder model: hunt order of descendants (ids and childless nodes), ancestors
// and paths with their "none" values, first-copy-only update and delete, and copies whose
// parent ids loop ending as "ancestor not held" instead of hanging.
#include "core/support/FolderRecords.h"
#include "ui/CxTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> Ids(const CxTree::NodeArray& nodes) {
    std::vector<int> ids;
    for (const CkxFSNode& n : nodes) ids.push_back(n.m_nID);
    return ids;
}
std::vector<int> Ids(const CxTree::NodeList& nodes) {
    std::vector<int> ids;
    for (const CkxFSNode& n : nodes) ids.push_back(n.m_nID);
    return ids;
}

enum { A = 1, B = 2, C = 3, D = 4, E = 5, F = 6 };

// A with B (with D) and C (with E); F below D.
class CxTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.AddNode(Folder(A, "A  ", 0, -1));
        tree.AddNode(Folder(B, "B", 1, A));
        tree.AddNode(Folder(C, "C\t", 1, A));
        tree.AddNode(Folder(D, "D", 2, B));
        tree.AddNode(Folder(E, "E", 2, C));
    }
    CxTree tree;
};

} // namespace

TEST_F(CxTreeTest, HuntOrderOfDescendants) {
    CxTree::IdArray ids{99}; // appended to, not emptied
    EXPECT_EQ(tree.HuntChildTree(A, ids), 5);
    EXPECT_EQ(ids, (std::vector<int>{99, B, C, D, E}));
    CxTree::NodeArray leaves;
    EXPECT_EQ(tree.HuntChildTree(A, leaves), 2);
    EXPECT_EQ(Ids(leaves), (std::vector<int>{D, E}));

    // A deeper line: each noted child's whole line comes before the next noted child's.
    tree.AddNode(Folder(F, "F", 3, D));
    ids.clear();
    tree.HuntChildTree(A, ids);
    EXPECT_EQ(ids, (std::vector<int>{B, C, D, F, E}));

    struct Case {
        int id;
        std::vector<int> idsWithNode; // HuntNodeAndChildTree, id form
        std::vector<int> nodesWithNode; // node form
    };
    for (const Case& c : std::vector<Case>{
             {B, {B, D, F}, {B, F}},
             {E, {E}, {E}},
             {77, {77}, {}}, // not held: the id form still holds it, the node form gives 0
         }) {
        CxTree::IdArray i;
        CxTree::NodeArray n;
        EXPECT_EQ(tree.HuntNodeAndChildTree(c.id, i), static_cast<int>(c.idsWithNode.size())) << c.id;
        EXPECT_EQ(i, c.idsWithNode) << c.id;
        EXPECT_EQ(tree.HuntNodeAndChildTree(c.id, n), static_cast<int>(c.nodesWithNode.size())) << c.id;
        EXPECT_EQ(Ids(n), c.nodesWithNode) << c.id;
    }

    // Children: emptied first, list order, both forms.
    CxTree::IdArray kids{42};
    EXPECT_EQ(tree.GetChild(A, kids), 2);
    EXPECT_EQ(kids, (std::vector<int>{B, C}));
    CxTree::NodeArray kidNodes(3);
    EXPECT_EQ(tree.GetChild(77, kidNodes), 0);
    EXPECT_TRUE(kidNodes.empty());
}

TEST_F(CxTreeTest, AncestorsPathsAndTheirNoneValues) {
    struct Case {
        int id;
        int hunt; // HuntNodeAndParentNode count (out starts empty)
        std::string path;
    };
    tree.AddNode(Folder(8, "orphan", 2, 70)); // level-1 parent 70 missing
    for (const Case& c : std::vector<Case>{
             {A, 1, "A\\"},
             {D, 3, "A\\B\\D\\"},
             {E, 3, "A\\C\\E\\"}, // "C\t" was trimmed on add
             {8, 0, ""},
             {77, 0, ""},
         }) {
        CxTree::NodeList out;
        EXPECT_EQ(tree.HuntNodeAndParentNode(c.id, out), c.hunt) << c.id;
        EXPECT_EQ(tree.GetCurSelDir(c.id), c.path) << c.id;
        EXPECT_EQ(tree.GetDirPath(c.id), c.path) << c.id;
    }
    CxTree::NodeList out{Folder(50, "held before", 0, -1)};
    EXPECT_EQ(tree.HuntNodeAndParentNode(D, out), 4); // counts what the list held before
    EXPECT_EQ(Ids(out), (std::vector<int>{A, B, D, 50}));
    CxTree::NodeList partial;
    EXPECT_EQ(tree.HuntNodeAndParentNode(8, partial), 0);
    EXPECT_EQ(Ids(partial), (std::vector<int>{8})); // what was put at the head stays

    EXPECT_EQ(tree.GetRootNodeID(), A);
    EXPECT_EQ(tree.GetRootNodeName(), "A");
    CxTree::NodeArray level{Folder(9, "x", 0, -1)};
    EXPECT_EQ(tree.GetNodeForLevel(1, level), 1);
    EXPECT_EQ(Ids(level), (std::vector<int>{B}));
    EXPECT_EQ(tree.GetNodeForLevel(7, level), 0);
}

TEST_F(CxTreeTest, UpdateAndDeleteTouchTheFirstCopyOnly) {
    tree.AddNode(Folder(B, "second B", 1, A));
    CkxFSNode renamed = Folder(B, "B2  ", 1, A);
    tree.UpdateNode(renamed);
    EXPECT_EQ(tree.GetNodeName(B), "B2  "); // stored as given
    tree.DeleteNode(B);
    EXPECT_EQ(tree.GetNodeName(B), "second B");
    tree.DeleteNode(B);
    EXPECT_EQ(tree.GetNodeName(B), "");
    // D stays, and B still has a child.
    EXPECT_EQ(tree.GetNodeLevelNo(D), 2);
    EXPECT_EQ(tree.IsHasChildNode(B), 1);
    EXPECT_EQ(tree.GetCurSelDir(D), "");
    tree.UpdateNode(Folder(77, "nobody", 0, -1)); // not held: nothing
    EXPECT_EQ(tree.GetNodeName(77), "");
}

TEST(CxTreeEmpty, NoneValues) {
    CxTree tree;
    CkxFSNode out;
    EXPECT_EQ(tree.GetNode(1, out), 0);
    EXPECT_EQ(tree.GetNodeLevelNo(1), -1);
    EXPECT_EQ(tree.GetNodeName(1), "");
    EXPECT_EQ(tree.GetNodeParentID(1), -1);
    EXPECT_EQ(tree.IsHasChildNode(-1), 0);
    EXPECT_EQ(tree.GetRootNodeID(), -1);
    EXPECT_EQ(tree.GetRootNodeName(), "");
    EXPECT_EQ(tree.GetCurSelDir(1), "");
    EXPECT_EQ(tree.GetDirPath(1), "");
    CxTree::NodeList list;
    EXPECT_EQ(tree.HuntNodeAndParentNode(1, list), 0);
    CxTree::IdArray ids;
    EXPECT_EQ(tree.HuntChildTree(-1, ids), 0);
}

TEST(CxTreeBadInput, ParentCyclesEndAsAncestorNotHeld) {
    CxTree tree;
    tree.AddNode(Folder(1, "X", 1, 2));
    tree.AddNode(Folder(2, "Y", 1, 1));
    tree.AddNode(Folder(3, "Self", 2, 3));
    tree.AddNode(Folder(4, "Under", 2, 1));
    for (int id : {1, 2, 3, 4}) {
        CxTree::NodeList out;
        EXPECT_EQ(tree.HuntNodeAndParentNode(id, out), 0) << id;
        EXPECT_EQ(tree.GetCurSelDir(id), "") << id;
        EXPECT_EQ(tree.GetDirPath(id), "") << id;
    }
    // Downward hunts visit each id once.
    CxTree::IdArray ids;
    EXPECT_EQ(tree.HuntChildTree(1, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{2, 4}));
    ids.clear();
    EXPECT_EQ(tree.HuntChildTree(3, ids), 0);
    CxTree::NodeArray nodes;
    tree.HuntNodeAndChildTree(2, nodes);
    EXPECT_EQ(Ids(nodes), (std::vector<int>{2, 4}));
}
