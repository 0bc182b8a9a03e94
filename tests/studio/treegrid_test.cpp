// The tree-list grid, the attribute grid and their in-place editors as real widgets on the
// offscreen platform: which rows show after each tree operation, which drops move what, the keys,
// the editors inside a dialog, the attribute grid's drop-down cells, copies and sorting, and text
// fitting and box geometry.
#include "grid/CAttrGridCtrl.h"
#include "grid/CInPlaceCombo.h"
#include "grid/CInPlaceEdit.h"
#include "grid/CTreeGridCtrl.h"

#include "base/Gbk.h"
#include "qt/KxDialog.h"
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"
#include "support/gui/Screenshot.h"
#include "ui/KxShowDlg.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CTreeGridItem> Item(const char* label, const char* value = "", const char* note = "") {
    auto item = std::make_unique<CTreeGridItem>();
    item->SetLabel(QString::fromUtf8(label));
    item->AddSubItemText(QString::fromUtf8(value));
    item->AddSubItemText(QString::fromUtf8(note));
    return item;
}

// R ── A (folded) ── A2 ── A2a
//   │              └ A1
//   ├─ B
//   └─ C
struct Tree {
    std::map<std::string, CTreeGridNode*> n;
};

Tree Build(CTreeGridCtrl& g) {
    Tree t;
    g.SetRootNode(Item("R"));
    t.n["R"] = g.GetRoot();
    t.n["A"] = g.AddChild(t.n["R"], Item("A", "1", "first"), 1);
    t.n["A2"] = g.AddChild(t.n["A"], Item("A2", "2"), 0);
    t.n["A2a"] = g.AddChild(t.n["A2"], Item("A2a", "3"), 0);
    t.n["A1"] = g.AddChild(t.n["A"], Item("A1", "4"), 0);
    t.n["B"] = g.AddChild(t.n["R"], Item("B", "5"), 1);
    t.n["C"] = g.AddChild(t.n["R"], Item("C", "6"), 1);
    return t;
}

std::string Labels(const CTreeGridCtrl& g) {
    std::string out;
    for (int row = 0; row < g.rowCount(); ++row) {
        CTreeGridNode* node = g.NodeOfRow(row);
        if (!out.empty()) out += ' ';
        out += node ? node->GetItem()->GetLabel().toStdString() : "?";
        // Every shown node knows its row.
        if (node) EXPECT_EQ(node->m_nRow, row) << out;
    }
    return out;
}

std::string Folded(const Tree& t) {
    std::string out;
    for (const char* name : {"A", "A2"}) out += std::string(name) + ":" + std::to_string(t.n.at(name)->m_bFolded) + " ";
    return out;
}

// A grid that copies labels and texts on a move (the base grid copies nothing).
class CopyingGrid : public CTreeGridCtrl {
public:
    std::unique_ptr<CTreeGridItem> CloneItem(const CTreeGridItem* item) const override {
        auto copy = std::make_unique<CTreeGridItem>();
        copy->SetLabel(item->GetLabel());
        for (int i = 0; i < item->GetSubItemCount(); ++i) copy->AddSubItemText(item->GetSubItemText(i));
        return copy;
    }
};

class TreeGridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kx::EnsureApplication(); }
    void SetUp() override { Make(true); }
    void Make(bool copying) {
        grid.reset();
        if (copying) grid = std::make_unique<CopyingGrid>();
        else grid = std::make_unique<CTreeGridCtrl>();
        kx::ImageList images(16, 16);
        images.LoadBitmap(193);
        grid->SetImageList(images);
        grid->InsertColumn(0, "名称", Qt::AlignLeft, 160);
        grid->InsertColumn(1, "值", Qt::AlignRight, 90);
        grid->InsertColumn(2, "说明", Qt::AlignHCenter, 120);
        grid->resize(420, 260);
        tree = Build(*grid);
        grid->show();
    }
    void TearDown() override {
        grid.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPoint CellPoint(int row, int column, int dx = 0) const {
        const QRect r = grid->visualRect(grid->model()->index(row, column));
        return QPoint(column == 0 ? grid->LabelRect(row, grid->NodeOfRow(row)).left() + 4 + dx : r.center().x() + dx,
                      r.center().y());
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, grid->viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &e);
    }
    // Drags the row onto the point with the left button.
    void DragTo(int sourceRow, QPoint target) {
        const QPoint from = CellPoint(sourceRow, 1);
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseMove, from + QPoint(0, 12), Qt::NoButton, Qt::LeftButton);
        EXPECT_TRUE(grid->IsDragging());
        Send(QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
        EXPECT_FALSE(grid->IsDragging());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class T> T* Editor() const { return grid->viewport()->findChild<T*>(); }

    std::unique_ptr<CTreeGridCtrl> grid;
    Tree tree;
};

// ---- structure -------------------------------------------------------------------------------

struct StructureCase {
    const char* name;
    std::function<void(CTreeGridCtrl&, Tree&)> ops;
    const char* labels;
    const char* folded; // null: not checked (the nodes went)
    int selected = -2;  // -2: not checked
};

TEST_F(TreeGridTest, RowsFollowTheTreeOperations) {
    auto show = [](CTreeGridCtrl& g, CTreeGridNode* n) { g.ShowChildren(n, n->m_nRow); };
    const StructureCase cases[] = {
        {"a child added folded folds its parent", [](CTreeGridCtrl&, Tree&) {}, "R A B C", "A:1 A2:1 "},
        {"showing shows direct children only", [&](CTreeGridCtrl& g, Tree& t) { show(g, t.n["A"]); }, "R A A2 A1 B C",
         "A:0 A2:1 "},
        {"subtree", [](CTreeGridCtrl& g, Tree& t) { int last = -1; g.ShowSubtree(t.n["A"], last); EXPECT_EQ(last, 4); },
         "R A A2 A2a A1 B C", "A:0 A2:0 "},
        {"hide folds what was shown",
         [](CTreeGridCtrl& g, Tree& t) {
             int last = -1;
             g.ShowSubtree(t.n["A"], last);
             g.HideChildren(t.n["A"]);
         },
         "R A B C", "A:1 A2:1 "},
        {"reveal", [](CTreeGridCtrl& g, Tree& t) { EXPECT_EQ(g.RevealNode(t.n["A2a"]), 3); }, "R A A2 A2a A1 B C",
         "A:0 A2:0 ", 3},
        {"a shown child under a shown parent gets its row",
         [](CTreeGridCtrl& g, Tree& t) { g.AddChild(t.n["B"], Item("B1"), 1); }, "R A B B1 C", "A:1 A2:1 "},
        {"a folded child under shown children hides them first",
         [&](CTreeGridCtrl& g, Tree& t) {
             show(g, t.n["A"]);
             g.AddChild(t.n["A"], Item("A3"), 0);
             EXPECT_EQ(Labels(g), "R A B C");
             show(g, t.n["A"]);
         },
         "R A A2 A1 A3 B C", "A:0 A2:1 "},
        {"a shown child under a folded parent waits for the show",
         [&](CTreeGridCtrl& g, Tree& t) {
             g.AddChild(t.n["A"], Item("A3"), 1);
             EXPECT_EQ(Labels(g), "R A B C");
             show(g, t.n["A"]);
         },
         "R A A2 A1 A3 B C", "A:0 A2:1 "},
        {"remove selects the same row", [&](CTreeGridCtrl& g, Tree& t) { show(g, t.n["A"]); g.RemoveNodeAndRow(t.n["A"], 1); },
         "R B C", nullptr, 1},
        {"remove the last row selects the one above", [](CTreeGridCtrl& g, Tree& t) { g.RemoveNodeAndRow(t.n["C"], 3); },
         "R A B", "A:1 A2:1 ", 2},
        {"the root stays", [](CTreeGridCtrl& g, Tree& t) { g.RemoveNodeAndRow(t.n["R"], 0); }, "R A B C", "A:1 A2:1 "},
        {"sort one level",
         [&](CTreeGridCtrl& g, Tree& t) {
             g.AddChild(t.n["R"], Item("b"), 1);
             g.AddChild(t.n["R"], Item("a"), 1);
             show(g, t.n["A"]);
             g.SortChildren(t.n["R"], 0);
             g.HideChildren(t.n["R"]);
             show(g, t.n["R"]);
             show(g, t.n["A"]);
         },
         "R A A2 A1 B C a b", "A:0 A2:1 "},
        {"sort all levels",
         [&](CTreeGridCtrl& g, Tree& t) {
             g.SortChildren(t.n["R"], 1);
             show(g, t.n["A"]);
         },
         "R A A1 A2 B C", "A:0 A2:1 "},
    };
    for (const StructureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Make(true);
        c.ops(*grid, tree);
        EXPECT_EQ(Labels(*grid), c.labels);
        if (c.folded) EXPECT_EQ(Folded(tree), c.folded);
        if (c.selected != -2) EXPECT_EQ(grid->GetSelectedRow(), c.selected);
    }
}

TEST_F(TreeGridTest, NavigationAndTheBoxClick) {
    int last = -1;
    grid->ShowSubtree(tree.n["A"], last);
    // Depth-first successors and predecessors; the last node's successor is itself.
    EXPECT_EQ(grid->NextNode(tree.n["A2a"], 1), tree.n["A1"]);
    EXPECT_EQ(grid->NextNode(tree.n["C"], 1), tree.n["C"]);
    EXPECT_EQ(grid->PrevNode(tree.n["B"], 1), tree.n["A1"]);
    EXPECT_EQ(grid->PrevNode(tree.n["R"], 1), tree.n["R"]);
    EXPECT_EQ(grid->IsInSubtree(tree.n["A"], tree.n["A2a"]), 1);
    EXPECT_EQ(grid->IsInSubtree(tree.n["B"], tree.n["A2a"]), 0);
    grid->HideChildren(tree.n["A2"]);
    EXPECT_EQ(grid->NextNode(tree.n["A2"], 1), tree.n["A1"]);
    EXPECT_EQ(grid->NextNode(tree.n["A2"], 0), tree.n["A2a"]);

    // A click in A's box folds it; another opens it again (direct children only).
    const QPoint box = grid->BoxRect(1, tree.n["A"]).center();
    Send(QEvent::MouseButtonPress, box, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(Labels(*grid), "R A B C");
    Send(QEvent::MouseButtonRelease, box, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonPress, box, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(Labels(*grid), "R A A2 A1 B C");
    Send(QEvent::MouseButtonRelease, box, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Editor<CInPlaceEdit>(), nullptr) << "a box click opens no editor";
}

// ---- drag and drop ---------------------------------------------------------------------------

TEST_F(TreeGridTest, DropsMoveSubtreesOrNothing) {
    struct Case {
        const char* name;
        const char* source;
        const char* target; // null: below the last row
        const char* labels;
    } cases[] = {
        {"onto a row above", "B", "A2a", "R A A2 A2a B A1 C"},
        {"onto a row below", "A2", "C", "R A A1 B C A2"},
        {"onto itself", "B", "B", "R A A2 A2a A1 B C"},
        {"onto its parent", "A2", "A", "R A A2 A2a A1 B C"},
        {"into its own subtree", "A", "A2a", "R A A2 A2a A1 B C"},
        {"the root", "R", "B", "R A A2 A2a A1 B C"},
        {"onto no row", "B", nullptr, "R A A2 A2a A1 B C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(true);
        int last = -1;
        grid->ShowSubtree(tree.n["A"], last);
        const int source = tree.n[c.source]->m_nRow;
        const QPoint target = c.target ? CellPoint(tree.n[c.target]->m_nRow, 1)
                                       : QPoint(40, grid->rowViewportPosition(grid->rowCount() - 1) + 3 * grid->RowHeight());
        DragTo(source, target);
        EXPECT_EQ(Labels(*grid), c.labels);
        EXPECT_EQ(grid->DragSourceRow(), -1);
    }
    // The base grid copies no item: the moved node arrives with an empty label.
    Make(false);
    DragTo(tree.n["C"]->m_nRow, CellPoint(tree.n["B"]->m_nRow, 1));
    EXPECT_EQ(Labels(*grid), "R A B ");
}

TEST_F(TreeGridTest, ADropOntoAFoldedTargetWaitsForItsShow) {
    auto attr = std::make_unique<CAttrGridCtrl>();
    ASSERT_TRUE(attr->Created());
    attr->resize(700, 260);
    attr->InsertColumn(0, "名称", Qt::AlignLeft, 160);
    attr->InsertColumn(1, "值", Qt::AlignLeft, 90);
    attr->InsertColumn(2, "说明", Qt::AlignLeft, 90);
    Tree t = Build(*attr);
    attr->show();
    grid.reset();
    // C onto the folded A: no row for the copy until A is shown.
    const QRect from = attr->visualRect(attr->model()->index(t.n["C"]->m_nRow, 1));
    const QRect to = attr->visualRect(attr->model()->index(t.n["A"]->m_nRow, 1));
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent e(type, at, attr->viewport()->mapToGlobal(at), b, bs, Qt::NoModifier);
        QApplication::sendEvent(attr->viewport(), &e);
    };
    send(QEvent::MouseButtonPress, from.center(), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, from.center() + QPoint(0, 12), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to.center(), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to.center(), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Labels(*attr), "R A B");
    attr->ShowChildren(t.n["A"], t.n["A"]->m_nRow);
    EXPECT_EQ(Labels(*attr), "R A A2 A1 C B") << "the attribute grid copies the item whole";
    EXPECT_EQ(attr->NodeOfRow(4)->GetItem()->GetSubItemText(0), "6");
}

// ---- keys and editors ------------------------------------------------------------------------

TEST_F(TreeGridTest, LeftAndRightStopAtTheEnds) {
    grid->SelectRow(1);
    grid->setFocus();
    EXPECT_EQ(grid->CurrentColumn(), 0);
    const int scroll = grid->horizontalScrollBar()->value();
    QTest::keyClick(grid.get(), Qt::Key_Left);
    EXPECT_EQ(grid->CurrentColumn(), 0);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), scroll);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(grid->CurrentColumn(), 2);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(grid->CurrentColumn(), 2);
    // Keypad: + shows, - hides, * the whole subtree; Delete removes the selected node.
    QTest::keyClick(grid.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(Labels(*grid), "R A A2 A1 B C");
    QTest::keyClick(grid.get(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(Labels(*grid), "R A B C");
    QTest::keyClick(grid.get(), Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(Labels(*grid), "R A A2 A2a A1 B C");
    QTest::keyClick(grid.get(), Qt::Key_Delete);
    EXPECT_EQ(Labels(*grid), "R B C");
    grid->SelectRow(0);
    QTest::keyClick(grid.get(), Qt::Key_Delete);
    EXPECT_EQ(Labels(*grid), "R B C") << "Delete on the root does nothing";
}

TEST_F(TreeGridTest, EditorsInADialogCommitCancelAndWiden) {
    kx::Dialog dlg;
    auto* layout = new QVBoxLayout(&dlg);
    grid->setParent(&dlg);
    layout->addWidget(grid.get());
    kx::AddOkCancel(&dlg, layout);
    dlg.resize(460, 320);
    dlg.show();
    QApplication::setActiveWindow(&dlg);

    // Enter commits a sub-item edit without pressing the default button.
    const QPoint valueB = CellPoint(tree.n["B"]->m_nRow, 1);
    Send(QEvent::MouseButtonPress, valueB, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, valueB, Qt::LeftButton, Qt::NoButton);
    QPointer<CInPlaceEdit> edit = Editor<CInPlaceEdit>();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->objectName(), QString::number(CTreeGridCtrl::kCellEditId));
    EXPECT_EQ(edit->text(), "5");
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight) << "aligned as its column";
    edit->selectAll();
    QTest::keyClicks(edit, "77");
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(edit.isNull());
    EXPECT_TRUE(dlg.isVisible()) << "Enter stayed with the editor";
    EXPECT_EQ(tree.n["B"]->GetItem()->GetSubItemText(0), "77");
    EXPECT_EQ(grid->item(tree.n["B"]->m_nRow, 1)->text(), "77");

    // Escape cancels without closing the dialog; the focus is back on the grid.
    const QPoint labelC = CellPoint(tree.n["C"]->m_nRow, 0);
    Send(QEvent::MouseButtonPress, labelC, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, labelC, Qt::LeftButton, Qt::NoButton);
    edit = Editor<CInPlaceEdit>();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->objectName(), QString::number(CTreeGridCtrl::kLabelEditId));
    QTest::keyClicks(edit, "xyz");
    // Ctrl keys act on the editor's text.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "xyzC") << "typed at the caret, which starts at the left";
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(edit->text().isEmpty());
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "xyzC");
    // Typing widens it to its text plus 5 pixels, never past the grid's edge.
    const int before = edit->width();
    QTest::keyClicks(edit, QString(60, QChar('w')));
    EXPECT_GT(edit->width(), before);
    EXPECT_LE(edit->geometry().right(), grid->viewport()->width());
    guitest::Screenshot(&dlg, "CTreeGridCtrl-editing");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible()) << "Escape stayed with the editor";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(edit.isNull());
    EXPECT_EQ(tree.n["C"]->GetItem()->GetLabel(), "C") << "cancelled";
    grid->setParent(nullptr);
}

TEST_F(TreeGridTest, AnEditorOpenWhenTheGridGoesEndsCleanly) {
    const QPoint value = CellPoint(tree.n["A"]->m_nRow, 2);
    Send(QEvent::MouseButtonPress, value, Qt::LeftButton, Qt::LeftButton);
    QPointer<CInPlaceEdit> edit = Editor<CInPlaceEdit>();
    ASSERT_TRUE(edit);
    grid.reset(); // deletes the editor with it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(edit.isNull());
}

// ---- fitting and geometry --------------------------------------------------------------------

TEST_F(TreeGridTest, FitTextAndTheBox) {
    const QFontMetrics fm(grid->font());
    const QString chinese = QStringLiteral("一个很长很长的中文属性名称");
    struct Case {
        QString text;
        int width, margin;
        bool shortened;
    } cases[] = {{"", 10, 4, false},
                 {"ab", fm.horizontalAdvance("ab") + 5, 4, false},
                 {"ab", fm.horizontalAdvance("ab") + 4, 4, true},
                 {chinese, fm.horizontalAdvance(chinese) / 2, 4, true},
                 {chinese, 5, 4, true}};
    for (const Case& c : cases) {
        const QString fitted = CTreeGridCtrl::FitText(fm, c.text, c.width, c.margin);
        EXPECT_EQ(fitted != c.text, c.shortened) << c.text.toStdString();
        if (c.shortened) {
            EXPECT_TRUE(fitted.endsWith("..."));
            const QString kept = fitted.chopped(3);
            EXPECT_TRUE(c.text.startsWith(kept)) << "whole characters only";
            EXPECT_TRUE(kept.isEmpty() || fm.horizontalAdvance(kept) + fm.horizontalAdvance("...") + c.margin < c.width);
        }
    }
    // The box of a level-2 row: centre at 2 x 16 - 8 from the row's left, 11 x 11.
    const int row = tree.n["A"]->m_nRow;
    const QRect box = grid->BoxRect(row, tree.n["A"]);
    EXPECT_EQ(box.size(), QSize(11, 11));
    EXPECT_EQ(box.center().x(), grid->columnViewportPosition(0) + 2 * 16 - 8);
    EXPECT_EQ(box.center().y(), grid->rowViewportPosition(row) + 8 + (grid->RowHeight() - 16) / 2);
}

// ---- the attribute grid ----------------------------------------------------------------------

class AttrGridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kx::EnsureApplication(); }
    void SetUp() override {
        grid = std::make_unique<CAttrGridCtrl>();
        ASSERT_TRUE(grid->Created());
        grid->resize(820, 260);
        grid->SetUpColumns();
        grid->show();
    }
    void TearDown() override {
        grid.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Click(int row, int column) {
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, grid->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, grid->viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &release);
    }
    std::unique_ptr<CAttrGridCtrl> grid;
};

TEST_F(AttrGridTest, DropDownCellsStoreTheChosenEntry) {
    EXPECT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->horizontalHeaderItem(4)->text(), "属性描述");
    EXPECT_EQ(grid->GetSelectedRow(), 0);
    EXPECT_EQ(grid->IconOf(grid->GetRoot()), 0);
    EXPECT_EQ(grid->IconOf(grid->NodeOfRow(1)), 1) << "the folded group";

    Click(0, 1);
    QPointer<CInPlaceCombo> combo = grid->viewport()->findChild<CInPlaceCombo*>();
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->objectName(), QString::number(CTreeGridCtrl::kChoiceEditId));
    EXPECT_EQ(combo->currentText(), "选项一") << "the cell's value is selected";
    guitest::Screenshot(grid.get(), "CAttrGridCtrl-choices");
    combo->setCurrentIndex(2);
    combo->hidePopup();
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(combo.isNull());
    EXPECT_EQ(grid->item(0, 1)->text(), "选项三");
    EXPECT_EQ(grid->GetRoot()->GetItem()->GetSubItemText(0), "选项三");

    // A text cell opens nothing on a click; Enter there opens a text editor.
    Click(0, 2);
    EXPECT_EQ(grid->viewport()->findChild<CInPlaceCombo*>(), nullptr);
    EXPECT_EQ(grid->viewport()->findChild<CInPlaceEdit*>(), nullptr);
    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_NE(grid->viewport()->findChild<CInPlaceEdit*>(), nullptr);
    guitest::Screenshot(grid.get(), "CAttrGridCtrl-text-edit");
}

TEST_F(AttrGridTest, HeaderClickSortsTheWholeTreeAscending) {
    // The labels of the group's leaves as shown after a header click.
    auto leaves = [this](int headerColumn) {
        grid->horizontalHeader()->sectionClicked(headerColumn);
        CTreeGridNode* group = grid->NodeOfRow(1);
        grid->ShowChildren(group, 1);
        std::vector<std::string> out;
        for (int row = 2; row < grid->rowCount(); ++row) out.push_back(grid->NodeOfRow(row)->GetItem()->GetLabel().toStdString());
        return out;
    };
    const std::vector<std::string> before = {"名称", "尺寸", "颜色"};
    const std::vector<std::string> once = leaves(0);
    ASSERT_EQ(once.size(), 3u);
    EXPECT_NE(once, before);
    for (size_t i = 1; i < once.size(); ++i) EXPECT_LT(kx::ToGbk(once[i - 1]), kx::ToGbk(once[i]));
    EXPECT_EQ(leaves(0), once) << "ascending only";
    grid->HideChildren(grid->NodeOfRow(1));
    EXPECT_EQ(leaves(2), once) << "other headers change nothing";
}

} // namespace
