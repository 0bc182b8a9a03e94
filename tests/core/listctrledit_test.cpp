// The editable list: clicks open the cell's editor over the cell, commits store typed values
// with their kinds and announce changed texts to the host, choices of the drop-down and the
// tree, the picker and the IP editor, rows deleted under records and under an open editor, and
// OK by Enter keeping the last edit. Real widgets driven with QTest in a host dialog that
// records the notifications.
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"

#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxIPAddressCtrl.h"
#include "ui/CkxListCtrlEdit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kGridId = 1001;
constexpr unsigned kClick = CkxListCtrlEdit::WM_LCE_CELLCLICK;
constexpr unsigned kText = CkxListCtrlEdit::WM_LCE_TEXTCHANGED;
constexpr unsigned kIP = CkxListCtrlEdit::WM_LCE_IPCHANGED;

// Rows of the grid: the value column (1) of each holds one editor kind.
enum Row { R_EDIT, R_COMBO, R_TREE, R_DATE, R_IP, R_CHECK, R_NONE, R_OFF, kRows };
constexpr int C_NAME = 0, C_VALUE = 1, C_NARROW = 2, C_MORE = 3;

struct ComboCall {
    int row, column;
    uint32_t data;
};

class Grid : public CkxListCtrlEdit {
    Q_OBJECT
public:
    using CkxListCtrlEdit::CkxListCtrlEdit;
    std::vector<ComboCall> comboCalls;

protected:
    void _OnComboChange(int row, int column, uint32_t data) override {
        comboCalls.push_back({row, column, data});
    }
};

struct Note {
    unsigned message;
    kx::WPARAM id;
    kx::LPARAM column;
};

// The grid's parent: records every notification in order.
class Host : public kx::Dialog {
    Q_OBJECT
public:
    Host() {
        auto* layout = new QVBoxLayout(this);
        grid = new Grid(this);
        SetDlgItemId(grid, kGridId);
        layout->addWidget(grid);
        layout->addWidget(AddButton(QStringLiteral("确定"), kx::IDOK));
        resize(460, 300);
    }
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM w, kx::LPARAM l) override {
        notes.push_back({message, w, l});
        return 0;
    }
    int Count(unsigned message) const {
        int n = 0;
        for (const Note& note : notes) n += note.message == message;
        return n;
    }
    Grid* grid;
    std::vector<Note> notes;
    int okValue = -1; // the edit row's integer as OnOK saw it

protected:
    void OnOK() override {
        okValue = grid->GetCellValue_Int(R_EDIT, C_VALUE);
        kx::Dialog::OnOK();
    }
};

// One cell of each editor kind, plus a narrow column, a cell without a record, a cell with kind
// 0, a disabled edit box and a tree in the last row (no room below it).
void Fill(Grid& g) {
    g.InsertColumn(C_NAME, QStringLiteral("属性"), kx::LVCFMT_LEFT, 70);
    g.InsertColumn(C_VALUE, QStringLiteral("值"), kx::LVCFMT_LEFT, 130);
    g.InsertColumn(C_NARROW, QStringLiteral("窄"), kx::LVCFMT_LEFT, 4);
    g.InsertColumn(C_MORE, QStringLiteral("备注"), kx::LVCFMT_LEFT, 110);
    const char* names[] = {"编辑框", "下拉框", "树型控件", "时间控件", "IP控件", "选择控件", "无记录", "禁止"};
    for (int r = 0; r < kRows; ++r) g.InsertItem(r, QString::fromUtf8(names[r]));
    g.SetCellCtrl_Edit(R_EDIT, C_VALUE, KXV_INT);
    g.SetCellCtrl_Edit(R_EDIT, C_NARROW, KXV_INT);
    g.SetCellCtrl_CobText(R_COMBO, C_VALUE);
    g.LC_AddComboStr(R_COMBO, C_VALUE, "甲", 10);
    g.LC_AddComboStr(R_COMBO, C_VALUE, "乙", 20);
    g.LC_AddComboStr(R_COMBO, C_VALUE, "丙", 30);
    g.SetCellCtrl_CobText(R_COMBO, C_MORE);
    for (const char* text : {"Apple", "apricot", "Banana"}) g.LC_AddComboStr(R_COMBO, C_MORE, text, 1);
    // Children before their parents, an orphan and a loop.
    CkxListCtrlEdit::_cell* tree = g.SetCellCtrl_Tree(R_TREE, C_VALUE);
    tree->lsTree = {{"子", 2, 1}, {"孙", 3, 2}, {"根", 1, -1}, {"孤", 9, 77}, {"环甲", 5, 6}, {"环乙", 6, 5}, {"次根", 4, -1}};
    g.SetCellCtrl_Date(R_DATE, C_VALUE);
    g.SetCellCtrl_IP(R_IP, C_VALUE);
    g.SetCellCtrl_Check(R_CHECK, C_VALUE);
    g.DisableCell(R_OFF, C_VALUE);
    g.SetCellCtrl(R_OFF, C_MORE, CkxListCtrlEdit::CTRL_EDIT, 0, KXV_STR); // bound but not enabled
    g.SetCellCtrl_Tree(R_OFF, C_NAME)->lsTree = {{"上", 1, -1}};
}

class ListEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        host = std::make_unique<Host>();
        g = host->grid;
        Fill(*g);
        host->show();
        host->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        // Short enough that the last row has no room for a tree below it.
        g->setFixedHeight(g->header()->height() + g->GetItemRect(0).height() * kRows + 40);
        QApplication::processEvents();
    }

    QWidget* Editor(int id) const { return g->findChild<QWidget*>(QString::number(id)); }
    template <class T> T* EditorAs(int id) const { return qobject_cast<T*>(Editor(id)); }
    // Ids of the editors now visible.
    std::vector<int> Visible() const {
        std::vector<int> ids;
        for (int id = CkxListCtrlEdit::IDC_LCE_EDIT; id <= CkxListCtrlEdit::IDC_LCE_TREE; ++id)
            if (Editor(id)->isVisible()) ids.push_back(id);
        return ids;
    }
    QPoint Centre(int row, int column) const { return g->GetSubItemRect(row, column).center(); }
    void Click(int row, int column) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, Centre(row, column));
        QApplication::processEvents();
    }
    // Closes whatever is open by clicking the cell without a record.
    void Away() { Click(R_NONE, C_VALUE); }
    // Types into whichever widget has the focus, as a person does: keys for ASCII, the input
    // method's commit for Chinese.
    static void Type(const QString& text) { guitest::TypeText(text); }
    void Forget() {
        host->notes.clear();
        g->comboCalls.clear();
        g->DontEdited();
    }

    std::unique_ptr<Host> host;
    Grid* g = nullptr;
};

} // namespace

TEST_F(ListEditTest, AClickShowsTheCellsEditorOverTheCell) {
    const struct {
        int row, column;
        int editor; // 0: none
        const char* picture;
    } cases[] = {
        {R_EDIT, C_VALUE, CkxListCtrlEdit::IDC_LCE_EDIT, "CkxListCtrlEdit-edit"},
        {R_COMBO, C_VALUE, CkxListCtrlEdit::IDC_LCE_COMBO, "CkxListCtrlEdit-combo"},
        {R_TREE, C_VALUE, CkxListCtrlEdit::IDC_LCE_TREE, "CkxListCtrlEdit-tree"},
        {R_DATE, C_VALUE, CkxListCtrlEdit::IDC_LCE_DATE, "CkxListCtrlEdit-date"},
        {R_IP, C_VALUE, CkxListCtrlEdit::IDC_LCE_IP, "CkxListCtrlEdit-ip"},
        {R_CHECK, C_VALUE, CkxListCtrlEdit::IDC_LCE_CHECK, "CkxListCtrlEdit-check"},
        {R_OFF, C_NAME, CkxListCtrlEdit::IDC_LCE_TREE, "CkxListCtrlEdit-tree-above"},
        {R_EDIT, C_NARROW, 0, nullptr}, // narrower than 5 pixels
        {R_NONE, C_VALUE, 0, nullptr},  // no record
        {R_OFF, C_VALUE, 0, nullptr},   // kind 0
        {R_OFF, C_MORE, 0, nullptr},    // bound, not enabled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.column);
        Click(R_EDIT, C_VALUE); // an open editor first: every case must close it
        host->notes.clear();
        Click(c.row, c.column);
        ASSERT_FALSE(host->notes.empty());
        EXPECT_EQ(host->notes.front().message, kClick);
        EXPECT_EQ(host->notes.front().id, static_cast<kx::WPARAM>(kGridId));
        EXPECT_EQ(host->notes.front().column, c.column);
        EXPECT_EQ(host->Count(kText), 0); // opening changes nothing
        EXPECT_EQ(g->GetCurSelItem(), c.row);
        if (!c.editor) {
            EXPECT_EQ(Visible(), std::vector<int>{});
            continue;
        }
        ASSERT_EQ(Visible(), std::vector<int>{c.editor});
        const QRect cell = g->GetSubItemRect(c.row, c.column);
        const QRect at = Editor(c.editor)->geometry();
        EXPECT_EQ(at.left(), cell.left());
        if (c.editor == CkxListCtrlEdit::IDC_LCE_TREE) {
            EXPECT_EQ(at.height(), 100);
            const bool below = g->viewport()->height() - (cell.top() + cell.height()) >= 100;
            EXPECT_EQ(below, c.row == R_TREE); // the last row opens it above
            EXPECT_EQ(at.top(), below ? cell.top() + cell.height() + 1 : cell.top() - 101);
        } else {
            EXPECT_TRUE(at.intersects(cell));
            EXPECT_LE(at.top(), cell.top());
        }
        if (c.picture) guitest::Screenshot(g, c.picture);
    }
}

TEST_F(ListEditTest, ASecondClickOnTheCellBeingEditedKeepsItOpen) {
    Click(R_EDIT, C_VALUE);
    Type("77");
    Click(R_EDIT, C_VALUE);
    ASSERT_EQ(Visible(), std::vector<int>{CkxListCtrlEdit::IDC_LCE_EDIT});
    EXPECT_EQ(EditorAs<QLineEdit>(CkxListCtrlEdit::IDC_LCE_EDIT)->text(), "77");
    EXPECT_TRUE(Editor(CkxListCtrlEdit::IDC_LCE_EDIT)->hasFocus());
    EXPECT_FALSE(g->IsEdited());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, Centre(R_EDIT, C_VALUE));
    EXPECT_EQ(EditorAs<QLineEdit>(CkxListCtrlEdit::IDC_LCE_EDIT)->text(), "77");
    EXPECT_FALSE(g->IsEdited());
    Away();
    EXPECT_EQ(g->GetCellValue_Int(R_EDIT, C_VALUE), 77);

    Click(R_TREE, C_VALUE);
    Click(R_TREE, C_VALUE); // the tree lies below the row: the click reaches the cell itself
    EXPECT_EQ(Visible(), std::vector<int>{CkxListCtrlEdit::IDC_LCE_TREE});
}

TEST_F(ListEditTest, TheEditBoxStoresWhatWasTypedByTheCellsValueKind) {
    const struct {
        int valueType;
        const char* before;
        const char* typed;
        int kind; // of the stored value
        const char* shown;
        int valueTypeAfter;
        bool announced;
    } cases[] = {
        {KXV_INT, "", "12abc", KXV_INT, "12", KXV_INT, true},
        {KXV_INT, "", "abc", KXV_INT, "0", KXV_INT, true},
        {KXV_INT, "", "-7", KXV_INT, "-7", KXV_INT, true},
        {KXV_FLOAT, "", "1.5", KXV_FLOAT, "1.5000", KXV_FLOAT, true},
        {KXV_FLOAT, "", "nan", KXV_FLOAT, "0.0000", KXV_FLOAT, true},
        {KXV_FLOAT, "", "-2.5e1kg", KXV_FLOAT, "-25.0000", KXV_FLOAT, true},
        {KXV_STR, "", "你好", KXV_STR, "你好", KXV_STR, true},
        {0, "", "文字", KXV_STR, "文字", KXV_STR, true},
        {KXV_STR, "abc", "abc", KXV_STR, "abc", KXV_STR, false},
        {KXV_STR, "x", "", KXV_STR, "", KXV_STR, true},  // a remark is cleared
        {KXV_INT, "5", "", KXV_NONE, "", KXV_INT, true}, // no value, still a number cell
        {KXV_FLOAT, "5", "", KXV_NONE, "", KXV_FLOAT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.valueType << " '" << c.typed << "'");
        g->SetCellCtrl_Edit(R_EDIT, C_VALUE, c.valueType);
        g->ClearCell(R_EDIT, C_VALUE);
        g->SetItemText(R_EDIT, C_VALUE, c.before);
        Forget();
        Click(R_EDIT, C_VALUE);
        auto* edit = EditorAs<QLineEdit>(CkxListCtrlEdit::IDC_LCE_EDIT);
        ASSERT_TRUE(edit->isVisible());
        EXPECT_EQ(edit->selectedText(), QString::fromUtf8(c.before)); // the whole text, to type over
        if (*c.typed) Type(QString::fromUtf8(c.typed));
        else QTest::keyClick(edit, Qt::Key_Backspace);
        Away();
        const CkxValueSp v = g->GetCellValue(R_EDIT, C_VALUE);
        EXPECT_EQ(v.GetKind(), c.kind);
        EXPECT_EQ(v.GetText(), c.shown);
        EXPECT_EQ(g->GetItemText(R_EDIT, C_VALUE).toStdString(), c.shown);
        EXPECT_EQ(g->LC_Find(R_EDIT, C_VALUE)->nValueType, c.valueTypeAfter);
        EXPECT_TRUE(g->IsEdited(R_EDIT));
        EXPECT_EQ(host->Count(kText), c.announced ? 1 : 0);
        EXPECT_FALSE(edit->isVisible());
    }
    // The emptied integer cell takes a number again.
    g->SetCellCtrl_Edit(R_EDIT, C_VALUE, KXV_INT);
    Click(R_EDIT, C_VALUE);
    Type("8");
    Away();
    EXPECT_TRUE(g->GetCellValue(R_EDIT, C_VALUE).IsInt());
    EXPECT_EQ(g->GetCellValue_Int(R_EDIT, C_VALUE), 8);
}

TEST_F(ListEditTest, TheDropDownStoresAChoiceAndNothingElse) {
    auto* combo = EditorAs<QComboBox>(CkxListCtrlEdit::IDC_LCE_COMBO);
    auto pick = [&] {
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QApplication::processEvents();
    };
    // An empty cell preselects the second entry; opening and leaving it stores nothing.
    Forget();
    Click(R_COMBO, C_VALUE);
    EXPECT_EQ(combo->currentIndex(), 1);
    Away();
    EXPECT_TRUE(g->GetCellValue(R_COMBO, C_VALUE).IsVoid());
    EXPECT_FALSE(g->IsEdited());
    EXPECT_EQ(host->Count(kText), 0);
    EXPECT_TRUE(g->comboCalls.empty());

    // Taking the preselected entry stores its data.
    Click(R_COMBO, C_VALUE);
    host->notes.clear();
    pick();
    EXPECT_EQ(g->GetCellValue_Int(R_COMBO, C_VALUE), 20);
    EXPECT_EQ(g->GetItemText(R_COMBO, C_VALUE), QStringLiteral("乙"));
    EXPECT_EQ(host->Count(kText), 1);
    ASSERT_EQ(g->comboCalls.size(), 1u);
    EXPECT_EQ(g->comboCalls[0].row, R_COMBO);
    EXPECT_EQ(g->comboCalls[0].column, C_VALUE);
    EXPECT_EQ(g->comboCalls[0].data, 20u);
    EXPECT_FALSE(combo->isVisible());

    // The entry already shown, picked again: stored and reported again, no text change.
    Forget();
    Click(R_COMBO, C_VALUE);
    EXPECT_EQ(combo->currentIndex(), 1);
    pick();
    EXPECT_TRUE(g->IsEdited(R_COMBO));
    EXPECT_EQ(g->comboCalls.size(), 1u);
    EXPECT_EQ(host->Count(kText), 0);

    // The prefix search ignores case, starts at the second entry and wraps to the first.
    const struct {
        const char* text;
        int index;
    } prefixes[] = {{"", 1}, {"AP", 1}, {"app", 0}, {"b", 2}, {"x", -1}};
    for (const auto& p : prefixes) {
        SCOPED_TRACE(p.text);
        g->SetItemText(R_COMBO, C_MORE, p.text);
        Click(R_COMBO, C_MORE);
        EXPECT_EQ(combo->currentIndex(), p.index);
        Away();
    }
}

TEST_F(ListEditTest, TheTreeIsBuiltFromItsEntriesAndStoresAPickedEntry) {
    auto* tree = EditorAs<QTreeWidget>(CkxListCtrlEdit::IDC_LCE_TREE);
    Forget();
    Click(R_TREE, C_VALUE);
    // Children given before their parents find them; the orphan and the loop are left out.
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("根"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("次根"));
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("子"));
    ASSERT_EQ(root->child(0)->childCount(), 1);
    EXPECT_EQ(root->child(0)->child(0)->text(0), QStringLiteral("孙"));
    const auto& entries = g->LC_Find(R_TREE, C_VALUE)->lsTree;
    EXPECT_EQ(entries[0].item, root->child(0));
    EXPECT_EQ(entries[3].item, nullptr);
    EXPECT_EQ(entries[4].item, nullptr);

    // Focus in the tree (Qt makes an item current) and leaving without a choice stores nothing.
    tree->setFocus(Qt::TabFocusReason);
    Away();
    EXPECT_FALSE(tree->isVisible());
    EXPECT_TRUE(g->GetCellValue(R_TREE, C_VALUE).IsVoid());
    EXPECT_FALSE(g->IsEdited());
    EXPECT_EQ(host->Count(kText), 0);

    // A click on an entry stores its id and closes the tree; the same entry again is stored
    // again without a text change.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Forget();
        Click(R_TREE, C_VALUE);
        root = tree->topLevelItem(0);
        root->setExpanded(true);
        QApplication::processEvents();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(root->child(0)).center());
        QApplication::processEvents();
        EXPECT_FALSE(tree->isVisible());
        EXPECT_EQ(g->GetCellValue_Int(R_TREE, C_VALUE), 2);
        EXPECT_EQ(g->LC_Find(R_TREE, C_VALUE)->nValueType, KXV_INT);
        EXPECT_EQ(g->GetItemText(R_TREE, C_VALUE), QStringLiteral("子"));
        EXPECT_TRUE(g->IsEdited(R_TREE));
        EXPECT_EQ(host->Count(kText), round == 0 ? 1 : 0);
    }
}

TEST_F(ListEditTest, ThePickerReadsTheCellsDateAndCommitsItsShownDate) {
    auto* picker = EditorAs<QDateTimeEdit>(CkxListCtrlEdit::IDC_LCE_DATE);
    const QDateTime known(QDate(2008, 2, 29), QTime(8, 5, 9));
    const struct {
        const char* text;
        QDateTime opens;
    } reads[] = {
        {"2008-2-29 8:5:9", known},
        {"bogus", known}, // unreadable: the picker stays as it was
        {"2008-2-29", QDateTime(QDate(2008, 2, 29), QTime(0, 0))},
        {"2008-02-29T08:05:09", known},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.text);
        g->SetItemText(R_DATE, C_VALUE, r.text);
        Forget();
        Click(R_DATE, C_VALUE);
        EXPECT_EQ(picker->dateTime(), r.opens);
        Away();
        EXPECT_FALSE(g->IsEdited()); // shown, never focused: nothing taken
    }
    // An empty cell opens at the current date and time.
    g->SetItemText(R_DATE, C_VALUE, "");
    Click(R_DATE, C_VALUE);
    EXPECT_LE(std::llabs(picker->dateTime().secsTo(QDateTime::currentDateTime())), 60);
    Away();

    // Focus loss commits the date shown, also unchanged; a user change commits at once.
    g->SetItemText(R_DATE, C_VALUE, "2008-3-1 8:5:9");
    Forget();
    Click(R_DATE, C_VALUE);
    picker->setFocus(Qt::OtherFocusReason);
    Away();
    EXPECT_TRUE(g->GetCellValue(R_DATE, C_VALUE).IsDate());
    EXPECT_EQ(g->GetCellValue(R_DATE, C_VALUE).GetText(), "2008-3-1 8:5:9");
    EXPECT_EQ(g->LC_Find(R_DATE, C_VALUE)->nValueType, KXV_DATE);
    EXPECT_TRUE(g->IsEdited(R_DATE));
    EXPECT_EQ(host->Count(kText), 0);

    Forget();
    Click(R_DATE, C_VALUE);
    picker->setFocus(Qt::OtherFocusReason); // the year is the first section
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(g->GetItemText(R_DATE, C_VALUE), "2009-3-1 8:5:9");
    EXPECT_EQ(host->Count(kText), 1);
    EXPECT_TRUE(picker->isVisible());
    Away();
    EXPECT_EQ(g->GetCellValue_Dt(R_DATE, C_VALUE).GetYear(), 2009);
}

TEST_F(ListEditTest, TheIPEditorShowsTheCellsAddressAndStoresWhatWasTyped) {
    auto* ip = EditorAs<CkxIPAddressCtrl>(CkxListCtrlEdit::IDC_LCE_IP);
    g->SetItemText(R_IP, C_VALUE, "192.168.0.1");
    Click(R_IP, C_VALUE);
    int b[4] = {};
    EXPECT_EQ(ip->GetAddress(b[0], b[1], b[2], b[3]), 4);
    EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{192, 168, 0, 1}));
    ASSERT_EQ(QApplication::focusWidget(), ip->Field(0));

    // A field over 255 is refused as typed.
    QTest::keyClick(ip->Field(3), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(ip->Field(3), "300");
    EXPECT_EQ(ip->Field(3)->text(), "30");

    Forget();
    QTest::keyClick(ip->Field(0), Qt::Key_A, Qt::ControlModifier);
    Type("10.1.2.3"); // a point moves on to the next field
    Away();
    EXPECT_EQ(g->GetCellValue_Str(R_IP, C_VALUE), "10.1.2.3");
    EXPECT_TRUE(g->GetCellValue(R_IP, C_VALUE).IsStr());
    EXPECT_EQ(g->GetItemText(R_IP, C_VALUE), "10.1.2.3");
    EXPECT_TRUE(g->IsEdited(R_IP));
    std::vector<unsigned> order;
    for (const Note& n : host->notes) {
        order.push_back(n.message);
        EXPECT_EQ(n.column, C_VALUE);
    }
    EXPECT_EQ(order, (std::vector<unsigned>{kText, kIP, kClick})); // then the click on Away's cell

    // A text that is no address opens blank, never with the address of the cell before, and
    // passing through it stores nothing.
    g->SetCellCtrl_IP(R_IP, C_MORE);
    Forget();
    Click(R_IP, C_MORE);
    EXPECT_TRUE(ip->IsBlank());
    Away();
    EXPECT_EQ(g->GetItemText(R_IP, C_MORE), "");
    EXPECT_FALSE(g->IsEdited());
    EXPECT_EQ(host->Count(kText) + host->Count(kIP), 0);

    // Blanking an address clears it.
    Click(R_IP, C_VALUE);
    for (int f = 0; f < 4; ++f) {
        QTest::keyClick(ip->Field(f), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(ip->Field(f), Qt::Key_Backspace);
    }
    Away();
    EXPECT_EQ(g->GetItemText(R_IP, C_VALUE), "");
    EXPECT_TRUE(g->GetCellValue(R_IP, C_VALUE).IsStr());
    EXPECT_EQ(host->Count(kIP), 1);
}

TEST_F(ListEditTest, TheCheckBoxLoadsItsStateAndStoresAToggle) {
    auto* check = EditorAs<QCheckBox>(CkxListCtrlEdit::IDC_LCE_CHECK);
    Forget();
    Click(R_CHECK, C_VALUE);
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(g->IsEdited());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    EXPECT_EQ(g->GetCellValue_Int(R_CHECK, C_VALUE), 1);
    EXPECT_EQ(g->GetItemText(R_CHECK, C_VALUE), "1");
    EXPECT_EQ(host->Count(kText), 1);
    Away();
    EXPECT_FALSE(check->isVisible());
    Click(R_CHECK, C_VALUE);
    EXPECT_TRUE(check->isChecked());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    EXPECT_EQ(g->GetCellValue_Int(R_CHECK, C_VALUE), 0);
    EXPECT_TRUE(g->GetCellValue(R_CHECK, C_VALUE).IsInt());
}

TEST_F(ListEditTest, SetCellValueShowsTheValueAndAnnouncesOnlyAChange) {
    Forget();
    g->SetCellValue(R_EDIT, C_VALUE, CkxValueSp(5));
    EXPECT_EQ(g->GetItemText(R_EDIT, C_VALUE), "5");
    EXPECT_EQ(host->Count(kText), 1);
    EXPECT_EQ(host->notes.back().column, C_VALUE);
    Forget();
    g->SetCellValue(R_EDIT, C_VALUE, CkxValueSp(5));
    EXPECT_EQ(host->Count(kText), 0);
    EXPECT_TRUE(g->IsEdited(R_EDIT));
    EXPECT_FALSE(g->IsEdited(R_COMBO));
    // Choices show their entry's text; a value no entry carries shows nothing.
    g->SetCellValue(R_COMBO, C_VALUE, CkxValueSp(30));
    EXPECT_EQ(g->GetItemText(R_COMBO, C_VALUE), QStringLiteral("丙"));
    g->SetCellValue(R_TREE, C_VALUE, CkxValueSp(3));
    EXPECT_EQ(g->GetItemText(R_TREE, C_VALUE), QStringLiteral("孙"));
    g->SetCellValue(R_TREE, C_VALUE, CkxValueSp(42));
    EXPECT_EQ(g->GetItemText(R_TREE, C_VALUE), "");
    g->SetCellValue(R_DATE, C_VALUE, CkxValueSp(COleDateTime(2008, 2, 29, 0, 0, 0)));
    EXPECT_EQ(g->GetItemText(R_DATE, C_VALUE), "2008-2-29");
    // A cell without a record takes nothing and reads empty.
    Forget();
    g->SetCellValue(R_NONE, C_VALUE, CkxValueSp(9));
    EXPECT_EQ(g->GetItemText(R_NONE, C_VALUE), "");
    EXPECT_TRUE(host->notes.empty());
    EXPECT_TRUE(g->GetCellValue(R_NONE, C_VALUE).IsVoid());
    EXPECT_EQ(g->GetCellValue_Int(R_NONE, C_VALUE), 0);
    EXPECT_EQ(g->GetCellValue_Str(R_NONE, C_VALUE), "");
    EXPECT_EQ(g->GetCellValue_Dt(R_NONE, C_VALUE).m_dt, 0);
    EXPECT_EQ(g->GetCellValue_Dt(R_NONE, C_VALUE).GetStatus(), COleDateTime::valid);
    g->SetCellValue(R_EDIT, C_VALUE, CkxValueSp(1));
    g->SetCellValue(R_COMBO, C_VALUE, CkxValueSp(10));
    g->DontEdited(R_EDIT);
    EXPECT_FALSE(g->IsEdited(R_EDIT));
    EXPECT_TRUE(g->IsEdited());
    g->DontEdited();
    EXPECT_FALSE(g->IsEdited());
}

TEST_F(ListEditTest, BindersKeepOneRecordPerCell) {
    CkxListCtrlEdit::_cell* cell = g->SetCellCtrl_CobText(R_NONE, C_MORE);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->nEnable, 1);
    EXPECT_EQ(cell->nValueType, 0);
    g->LC_AddComboStr(R_NONE, C_MORE, "一", 1);
    cell->lsTree = {{"树", 1, -1}};
    g->SetCellValue(R_NONE, C_MORE, CkxValueSp(1));
    // Rebinding rewrites the kind, empties the choices, keeps tree entries and value.
    EXPECT_EQ(g->SetCellCtrl(R_NONE, C_MORE, CkxListCtrlEdit::CTRL_EDIT, 0, KXV_INT), cell);
    EXPECT_TRUE(cell->arCombo.empty());
    EXPECT_EQ(cell->lsTree.size(), 1u);
    EXPECT_EQ(cell->value.GetInt(), 1);
    EXPECT_EQ(g->LC_IsEnableEdit(R_NONE, C_MORE), 0);
    EXPECT_EQ(g->SetCellCtrl_Edit(R_NONE, C_MORE, KXV_FLOAT), cell);
    EXPECT_EQ(cell->nValueType, KXV_FLOAT);
    EXPECT_EQ(cell->nEnable, 0); // only the kind and value kind change
    g->LC_AddComboStr(R_NONE, C_NAME, "无", 1); // no record: nothing
    EXPECT_EQ(g->LC_Find(R_NONE, C_NAME), nullptr);

    const struct {
        CkxListCtrlEdit::_cell* (CkxListCtrlEdit::*bind)(int, int);
        int (CkxListCtrlEdit::*is)(int, int) const;
        int kind;
    } kinds[] = {
        {&CkxListCtrlEdit::SetCellCtrl_CobText, &CkxListCtrlEdit::IsCellCtrl_CobText, CkxListCtrlEdit::CTRL_COMBO},
        {&CkxListCtrlEdit::SetCellCtrl_Date, &CkxListCtrlEdit::IsCellCtrl_Dt, CkxListCtrlEdit::CTRL_DATE},
        {&CkxListCtrlEdit::SetCellCtrl_IP, &CkxListCtrlEdit::IsCellCtrl_IP, CkxListCtrlEdit::CTRL_IP},
        {&CkxListCtrlEdit::SetCellCtrl_Check, &CkxListCtrlEdit::IsCellCtrl_Chk, CkxListCtrlEdit::CTRL_CHECK},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        EXPECT_EQ((g->*k.bind)(R_NONE, C_MORE), cell);
        EXPECT_EQ(cell->nCtrlType, k.kind);
        EXPECT_EQ((g->*k.is)(R_NONE, C_MORE), 1);
        EXPECT_EQ(g->IsCellCtrl_Edit(R_NONE, C_MORE), 0);
        EXPECT_EQ((g->*k.is)(R_NONE, C_NAME), 0);
    }
    g->SetItemText(R_NONE, C_MORE, "旧");
    g->EnableCell(R_NONE, C_MORE);
    EXPECT_EQ(cell->nCtrlType, CkxListCtrlEdit::CTRL_NONE);
    EXPECT_EQ(g->GetItemText(R_NONE, C_MORE), QStringLiteral("旧"));
    g->DisableCell(R_NONE, C_MORE);
    EXPECT_EQ(g->GetItemText(R_NONE, C_MORE), "");
    EXPECT_TRUE(cell->value.IsVoid());
    g->DisableCell(R_NONE, C_NAME); // a record with kind 0 is made
    ASSERT_NE(g->LC_Find(R_NONE, C_NAME), nullptr);
    EXPECT_EQ(g->LC_Find(R_NONE, C_NAME)->nEnable, 1);

    // The list texts written directly.
    g->SetItemText(R_NONE, C_MORE, 12);
    EXPECT_EQ(g->GetItemText(R_NONE, C_MORE), "12");
    g->SetItemText(R_NONE, C_MORE, 1.5f);
    EXPECT_EQ(g->GetItemText(R_NONE, C_MORE), "1.5000");
    g->SetItemText(R_NONE, C_MORE, COleDateTime(2008, 2, 29, 0, 0, 0));
    EXPECT_EQ(g->GetItemText(R_NONE, C_MORE), "2008-2-29 0:0:0");
    EXPECT_TRUE(cell->value.IsVoid()); // no record touched
}

TEST_F(ListEditTest, HitTestAndCheckBoxRows) {
    const QRect cell = g->GetSubItemRect(R_DATE, C_VALUE);
    int row = -1, column = -1;
    EXPECT_EQ(g->GetHitCell(cell.right(), cell.center().y(), row, column), 1);
    EXPECT_EQ(row, R_DATE);
    EXPECT_EQ(column, C_VALUE);
    EXPECT_EQ(g->GetHitCell(cell.left(), cell.center().y(), row, column), 1);
    EXPECT_EQ(column, C_NAME); // a border belongs to the column on its left
    EXPECT_EQ(g->HitTestEx(cell.center().x(), cell.center().y()), R_DATE);
    EXPECT_EQ(g->GetCurSelCell(), g->LC_Find(R_DATE, C_VALUE));
    g->GetHitCell(Centre(R_IP, C_MORE).x(), Centre(R_IP, C_MORE).y(), row, column);
    EXPECT_EQ(g->GetCurSelCell(), g->LC_Find(R_DATE, C_VALUE)); // left alone
    EXPECT_EQ(g->HitTestEx(400, cell.center().y()), -1); // right of the last column
    EXPECT_EQ(g->GetCurSelCell(), nullptr);
    EXPECT_EQ(g->HitTestEx(10, g->GetItemRect(kRows - 1).bottom() + 30), -1);

    g->SetStyle_Check();
    g->SetCheck(1, true);
    g->SelectInvert();
    std::vector<bool> checks;
    for (int r = 0; r < kRows; ++r) checks.push_back(g->GetCheck(r));
    EXPECT_EQ(checks, (std::vector<bool>{true, false, true, true, true, true, true, true}));
    g->SelectNo();
    for (int r = 0; r < kRows; ++r) EXPECT_FALSE(g->GetCheck(r));
    g->SelectAll();
    for (int r = 0; r < kRows; ++r) EXPECT_TRUE(g->GetCheck(r));

    EXPECT_EQ(g->GetCurSelItemData(), g->GetCurSelItem() < 0 ? -1 : g->GetItemData(g->GetCurSelItem()));
    g->SelectItem(kRows); // past the last row: nothing
    g->SelectItem(2);
    g->SetItemData(2, 77);
    EXPECT_EQ(g->GetCurSelItem(), 2);
    EXPECT_EQ(g->GetCurSelItemData(), 77);
    EXPECT_EQ(g->GetSelectCount(), 1);
    g->clearSelection();
    EXPECT_EQ(g->GetCurSelItemData(), -1);
}

TEST_F(ListEditTest, DeletingARowMovesTheRecordsBelowIt) {
    g->DeleteAllItems();
    EXPECT_EQ(g->LC_Find(R_EDIT, C_VALUE), nullptr);
    for (int r = 0; r < 5; ++r) {
        g->InsertItem(r, QString::number(r));
        g->SetCellCtrl_Edit(r, C_VALUE, KXV_INT);
        g->SetCellValue(r, C_VALUE, CkxValueSp(r * 10));
    }
    EXPECT_FALSE(g->DeleteItem(-1));
    EXPECT_TRUE(g->DeleteItem(2));
    std::vector<int> values;
    for (int r = 0; r < 4; ++r) values.push_back(g->GetCellValue_Int(r, C_VALUE));
    EXPECT_EQ(values, (std::vector<int>{0, 10, 30, 40}));
    EXPECT_EQ(g->LC_Find(4, C_VALUE), nullptr);
    EXPECT_EQ(g->LC_Find(3, C_VALUE)->nRow, 3);
}

TEST_F(ListEditTest, DeletingRowsNeverShiftsAnOpenEditor) {
    g->DeleteAllItems();
    for (int r = 0; r < 5; ++r) {
        g->InsertItem(r, QString::number(r));
        g->SetCellCtrl_Edit(r, C_VALUE, KXV_INT);
        g->SetCellValue(r, C_VALUE, CkxValueSp(r * 10));
    }
    auto* edit = EditorAs<QLineEdit>(CkxListCtrlEdit::IDC_LCE_EDIT);
    // Its own row goes: what it held is dropped.
    Click(3, C_VALUE);
    Type("99");
    g->DeleteItem(3);
    QApplication::processEvents();
    EXPECT_FALSE(edit->isVisible());
    std::vector<int> values;
    for (int r = 0; r < 4; ++r) values.push_back(g->GetCellValue_Int(r, C_VALUE));
    EXPECT_EQ(values, (std::vector<int>{0, 10, 20, 40}));
    Click(1, C_MORE); // focus elsewhere writes nothing either
    EXPECT_EQ(g->GetCellValue_Int(3, C_VALUE), 40);

    // A row above goes: the editor is written to its own cell first.
    Click(2, C_VALUE);
    Type("55");
    g->DeleteItem(0);
    QApplication::processEvents();
    values.clear();
    for (int r = 0; r < 3; ++r) values.push_back(g->GetCellValue_Int(r, C_VALUE));
    EXPECT_EQ(values, (std::vector<int>{10, 55, 40}));
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(ListEditTest, EnterInTheHostKeepsTheTypedValue) {
    Host dlg;
    Fill(*dlg.grid);
    kx::ModalDriver drive;
    drive.Then<Host>([](Host* d) {
        Grid* grid = d->grid;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->GetSubItemRect(R_EDIT, C_VALUE).center());
        QWidget* edit = QApplication::focusWidget();
        ASSERT_EQ(edit, grid->findChild<QWidget*>(QString::number(CkxListCtrlEdit::IDC_LCE_EDIT)));
        QTest::keyClicks(edit, "42");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(drive.Done());
    EXPECT_EQ(dlg.okValue, 42);
    EXPECT_EQ(dlg.grid->GetItemText(R_EDIT, C_VALUE), "42");
}

#include "listctrledit_test.moc"
