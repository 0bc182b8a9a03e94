// The attribute grids: the condition grid turning rows into query operands and showing them
// again, the value and note grids with their editors and choices, and the constant list editor.
// Real widgets under the offscreen platform, driven with QTest over the small catalogue's family
// registry; the attributes belong to each test, as they belong to a dialog.
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxConst.h"
#include "model/CkxFamily.h"
#include "model/CkxQueryOperand.h"
#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxAttrListCtrl.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CkxwConstEditCtrl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

CkxConst Const(int id, int parent, const CkxValueSp& value, const std::string& alias = "") {
    CkxConst c;
    c.m_nID = id;
    c.m_nID2 = parent;
    c.m_Value = value;
    c.SetAlias(alias);
    return c;
}

CkxAttr MakeDef(int id, const char* name, uint8_t type, uint8_t editWay, int flag = 1) {
    CkxAttr a;
    a.m_nID = id;
    a.m_nFamilyID = SmallCatalogue::FAMILY_LANDSCAPE;
    a.m_strName = name;
    a.m_nDataType = type;
    a.m_nEditWay = editWay;
    a.m_nFlag = flag;
    a.m_strNote = std::string(name) + "的说明";
    return a;
}

// A dialog holding one grid, shown and active, so clicks open editors as they do for a person.
template <class Grid>
struct Host {
    Host() {
        kx::EnsureApplication();
        dialog = std::make_unique<kx::Dialog>();
        auto* layout = new QVBoxLayout(dialog.get());
        grid = new Grid(dialog.get());
        layout->addWidget(grid);
        dialog->resize(720, 320);
    }
    void Show() {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QApplication::processEvents();
    }
    void Click(int row, int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetSubItemRect(row, column).center());
        QApplication::processEvents();
    }
    QWidget* Editor(int id) const { return grid->template findChild<QWidget*>(QString::number(id)); }
    // The editor now open, 0 for none.
    int OpenEditor() const {
        for (int id = CkxListCtrlEdit::IDC_LCE_EDIT; id <= CkxListCtrlEdit::IDC_LCE_TREE; ++id)
            if (Editor(id)->isVisible()) return id;
        return 0;
    }
    // Opens the drop-down of the cell and picks entry `index`, as a person does.
    void Pick(int row, int column, int index) {
        Click(row, column);
        auto* combo = qobject_cast<QComboBox*>(Editor(CkxListCtrlEdit::IDC_LCE_COMBO));
        ASSERT_TRUE(combo && combo->isVisible());
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(index, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QApplication::processEvents();
    }
    void Type(int row, int column, const char* text) {
        Click(row, column);
        QWidget* edit = Editor(CkxListCtrlEdit::IDC_LCE_EDIT);
        ASSERT_TRUE(edit->isVisible());
        guitest::TypeText(QString::fromUtf8(text), edit);
        grid->CommitEdit();
    }

    std::unique_ptr<kx::Dialog> dialog;
    Grid* grid = nullptr;
};

std::vector<std::string> ComboTexts(const CkxListCtrlEdit& grid, int row, int column) {
    std::vector<std::string> out;
    if (const auto* cell = grid.LC_Find(row, column))
        for (const auto& e : cell->arCombo) out.push_back(e.text);
    return out;
}

// Test access to the grid's drop-down hook.
class ConditionGrid : public CkxAttrListCtrl {
public:
    using CkxAttrListCtrl::CkxAttrListCtrl;
    using CkxAttrListCtrl::_OnComboChange;
};

class AttrGrids : public SmallCatalogue {
protected:
    void SetUp() override {
        SmallCatalogue::SetUp();
        region = MakeDef(401, "地区", KXT_STR, KXE_COMBO);
        for (const auto& c : {Const(1, -1, CkxValueSp("华北")), Const(2, -1, CkxValueSp("华东"))}) region.m_Consts.AddTail(c);
        height = MakeDef(402, "海拔", KXT_INT, KXE_EDIT);
        ratio = MakeDef(403, "比例", KXT_FLOAT, KXE_EDIT);
        shot = MakeDef(404, "拍摄日期", KXT_DATE, KXE_TIME);
        other = MakeDef(405, "其他", KXT_NONE, KXE_NONE);
    }
    CkxAttr region, height, ratio, shot, other;
};

} // namespace

// ---- the condition grid ----

TEST_F(AttrGrids, TheConditionGridOffersTheOperatorsOfEachDataType) {
    Host<ConditionGrid> h;
    auto& g = *h.grid;
    EXPECT_EQ(g.GetColumnCount(), 7);
    for (CkxAttr* a : {&height, &ratio, &shot, &region, &other}) g.AddAttr(a);
    EXPECT_EQ(g.AddAttr(nullptr), -1);
    const std::vector<std::string> numbers = {"", "?未知", "＝值1", "≠值1", "＞值1", "≥值1", "＜值1", "≤值1",
                                              "＞值1,＜值2", "≥值1,≤值2", "≥值1,＜值2", "＞值1,≤值2"};
    const struct {
        int row;
        std::vector<std::string> texts;
    } cases[] = {
        {0, numbers},
        {1, numbers},
        {2, {"", "?未知", "＝值1", "≥值1", "≤值1", "≥值1,≤值2"}},
        {3, {"", "?未知", "＝值1", "≠值1"}},
        {4, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ComboTexts(g, c.row, CkxAttrListCtrl::COL_OPERATOR), c.texts) << c.row;
    EXPECT_EQ(g.GetItemText(0, CkxAttrListCtrl::COL_TYPE).toStdString(), "整数");
    EXPECT_EQ(g.GetItemText(0, CkxAttrListCtrl::COL_FAMILY).toStdString(), "风景");
    EXPECT_EQ(g.GetItemText(0, CkxAttrListCtrl::COL_NOTE).toStdString(), "海拔的说明");
    EXPECT_EQ(g.GetAttr(3), &region);
    EXPECT_EQ(CkxAttrListCtrl::OperatorName(30), "匹配值1字符串");
    EXPECT_EQ(CkxAttrListCtrl::OperatorName(21), "");
    g.EnableEdit(1);
    EXPECT_EQ(g.IsEnableEdit(), 1);
}

TEST_F(AttrGrids, RowsTurnIntoOperandsAndUnusableValuesAreSkipped) {
    Host<ConditionGrid> h;
    auto& g = *h.grid;
    for (CkxAttr* a : {&height, &region, &shot}) g.AddAttr(a);
    h.Show();

    // Untouched rows still say which attribute they are about.
    CkxQueryOperand op;
    ASSERT_EQ(g.GetOperand(0, op), 1);
    EXPECT_EQ(op.GetOperateSign(), 0);
    EXPECT_EQ(op.GetLinkType(), CkxQueryOperand::LINK_ATTR);
    EXPECT_EQ(op.GetAttrID(), height.GetID());
    EXPECT_EQ(op.GetValueLen(), 0);

    // "＝值1" (entry 2) on every row: the text row is empty and the date row zero, so only the
    // number row makes a condition.
    for (int row = 0; row < 3; ++row) h.Pick(row, CkxAttrListCtrl::COL_OPERATOR, 2);
    EXPECT_EQ(g.GetCellValue_Int(0, CkxAttrListCtrl::COL_OPERATOR), 11);
    EXPECT_EQ(g.LC_Find(0, CkxAttrListCtrl::COL_VALUE1)->nCtrlType, CkxListCtrlEdit::CTRL_EDIT);
    EXPECT_EQ(ComboTexts(g, 1, CkxAttrListCtrl::COL_VALUE1), (std::vector<std::string>{"华北", "华东"}));
    h.Type(0, CkxAttrListCtrl::COL_VALUE1, "12");
    g.SetCellValue(1, CkxAttrListCtrl::COL_VALUE1, CkxValueSp(""));
    g.SetCellValue(2, CkxAttrListCtrl::COL_VALUE1, CkxValueSp(COleDateTime()));
    CkxQueryOperandList list;
    ASSERT_EQ(g.GetOperandList(list), 1);
    const CkxQueryOperand* only = list.GetHead();
    EXPECT_EQ(only->GetAttrID(), height.GetID());
    EXPECT_EQ(only->GetOperateSign(), 11);
    EXPECT_EQ(only->GetValue1().GetInt(), 12);

    // "?未知" names the attribute with code 1 and nothing else.
    h.Pick(1, CkxAttrListCtrl::COL_OPERATOR, 1);
    ASSERT_EQ(g.GetOperand(1, op), 1);
    EXPECT_EQ(op.GetOperateSign(), 1);
    EXPECT_EQ(op.GetAttrID(), region.GetID());
    EXPECT_EQ(g.LC_Find(1, CkxAttrListCtrl::COL_VALUE1)->nCtrlType, CkxListCtrlEdit::CTRL_NONE);
    guitest::Screenshot(h.dialog.get(), "CkxAttrListCtrl-conditions");
}

TEST_F(AttrGrids, ARangeNarrowedToOneValueClearsTheSecondAndKeepsTheFirst) {
    Host<ConditionGrid> h;
    auto& g = *h.grid;
    g.AddAttr(&height);
    h.Show();
    h.Pick(0, CkxAttrListCtrl::COL_OPERATOR, 8); // "＞值1,＜值2" (17)
    ASSERT_EQ(g.GetCellValue_Int(0, CkxAttrListCtrl::COL_OPERATOR), 17);
    h.Type(0, CkxAttrListCtrl::COL_VALUE1, "3");
    h.Type(0, CkxAttrListCtrl::COL_VALUE2, "9");
    h.Pick(0, CkxAttrListCtrl::COL_OPERATOR, 2); // "＝值1" (11)
    EXPECT_EQ(g.GetCellValue_Int(0, CkxAttrListCtrl::COL_VALUE1), 3);
    EXPECT_EQ(g.GetItemText(0, CkxAttrListCtrl::COL_VALUE1).toStdString(), "3");
    EXPECT_TRUE(g.GetCellValue(0, CkxAttrListCtrl::COL_VALUE2).IsVoid());
    EXPECT_EQ(g.GetItemText(0, CkxAttrListCtrl::COL_VALUE2).toStdString(), "");
    EXPECT_EQ(g.LC_Find(0, CkxAttrListCtrl::COL_VALUE2)->nCtrlType, CkxListCtrlEdit::CTRL_NONE);
}

TEST_F(AttrGrids, StoredOperandsComeBackAsTheyWere) {
    Host<ConditionGrid> h;
    auto& g = *h.grid;
    CkxAttr name = MakeDef(406, "名称", KXT_STR, KXE_EDIT);
    for (CkxAttr* a : {&height, &shot, &name}) g.AddAttr(a);
    const COleDateTime from(2024, 1, 1, 0, 0, 0), to(2024, 6, 30, 0, 0, 0);
    const struct {
        const char* name;
        CkxQueryOperand operand;
        int row;
        int value1Editor, value2Editor;
    } cases[] = {
        {"equal", CkxQueryOperand(height.GetID(), 11, CkxValueSp(5)), 0, CkxListCtrlEdit::CTRL_EDIT, CkxListCtrlEdit::CTRL_NONE},
        {"closed range", CkxQueryOperand(shot.GetID(), 18, CkxValueSp(from), CkxValueSp(to)), 1, CkxListCtrlEdit::CTRL_DATE,
         CkxListCtrlEdit::CTRL_DATE},
        {"match", CkxQueryOperand(name.GetID(), 30, CkxValueSp("山")), 2, CkxListCtrlEdit::CTRL_EDIT, CkxListCtrlEdit::CTRL_NONE},
        {"contains", CkxQueryOperand(name.GetID(), 31, CkxValueSp("湖")), 2, CkxListCtrlEdit::CTRL_NONE, CkxListCtrlEdit::CTRL_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.operand.IsValid());
        g.SetOperand(&c.operand);
        EXPECT_EQ(g.LC_Find(c.row, CkxAttrListCtrl::COL_VALUE1)->nCtrlType, c.value1Editor);
        EXPECT_EQ(g.LC_Find(c.row, CkxAttrListCtrl::COL_VALUE2)->nCtrlType, c.value2Editor);
        CkxQueryOperand back;
        ASSERT_EQ(g.GetOperand(c.row, back), 1);
        EXPECT_EQ(back.GetOperateSign(), c.operand.GetOperateSign());
        EXPECT_EQ(back.GetAttrID(), c.operand.GetAttrID());
        EXPECT_EQ(back.GetValueBytes(), c.operand.GetValueBytes());
        EXPECT_TRUE(back.IsValid()); // a match or contains condition keeps its SQL form
    }
    // 31 is never offered in the drop-down, so its cell shows no name; the value is shown.
    EXPECT_EQ(g.GetItemText(2, CkxAttrListCtrl::COL_OPERATOR).toStdString(), "");
    EXPECT_EQ(g.GetItemText(2, CkxAttrListCtrl::COL_VALUE1).toStdString(), "湖");

    // An operand for an attribute that is not shown changes nothing.
    g.DontEdited();
    const CkxQueryOperand stranger(999, 11, CkxValueSp(1));
    g.SetOperand(&stranger);
    g.SetOperand(nullptr);
    EXPECT_FALSE(g.IsEdited());
    CkxQueryOperandList list;
    EXPECT_EQ(g.GetOperandList(list), 3);
}

TEST_F(AttrGrids, EachRowIsBoundWithItsOwnAttributeWhateverIsSelected) {
    Host<ConditionGrid> h;
    auto& g = *h.grid;
    g.SetMultipleSelection(true);
    g.AddAttr(&region);
    g.AddAttr(&height);
    g.SetItemSelected(0, true);
    g.SetItemSelected(1, true);
    g.SetCellValue(1, CkxAttrListCtrl::COL_OPERATOR, CkxValueSp(11));
    g._OnComboChange(1, CkxAttrListCtrl::COL_OPERATOR, 11);
    const auto* cell = g.LC_Find(1, CkxAttrListCtrl::COL_VALUE1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->nCtrlType, CkxListCtrlEdit::CTRL_EDIT); // height's edit box, not region's list
    EXPECT_EQ(cell->nValueType, KXT_INT);
    EXPECT_TRUE(cell->arCombo.empty());
    EXPECT_EQ(g.LC_Find(0, CkxAttrListCtrl::COL_VALUE1), nullptr); // the other row is untouched
}

// ---- the value and note grids ----

TEST_F(AttrGrids, TheValueGridsOpenTheirEditorsAndListTheirChoicesAsTheAttributeSays) {
    const auto provider = [](int n) {
        return [n](CkxConstList& list) {
            for (int i = 0; i < n; ++i) list.AddTail(Const(90 + i, -1, CkxValueSp(std::string("人") + std::to_string(i))));
        };
    };
    enum GridKind { VALUE, NOTE };
    const struct {
        const char* name;
        GridKind grid;
        uint8_t editWay;
        int flag;
        int stored;    // constants stored with the attribute
        int provided;  // -1: no provider
        int editor;    // 0: no editor opens
        int choices;
    } cases[] = {
        {"value grid, drop-down", VALUE, KXE_COMBO, 1, 2, -1, CkxListCtrlEdit::IDC_LCE_COMBO, 2},
        {"value grid, edit-enable off", VALUE, KXE_COMBO, 0, 2, -1, 0, 2},
        {"note grid, edit-enable off", NOTE, KXE_COMBO, 0, 2, -1, CkxListCtrlEdit::IDC_LCE_COMBO, 2},
        {"value grid ignores the provider", VALUE, KXE_COMBO, 1, 0, 3, CkxListCtrlEdit::IDC_LCE_COMBO, 0},
        {"note grid asks the provider", NOTE, KXE_COMBO, 1, 0, 3, CkxListCtrlEdit::IDC_LCE_COMBO, 3},
        {"note grid prefers stored constants", NOTE, KXE_COMBO, 1, 2, 3, CkxListCtrlEdit::IDC_LCE_COMBO, 2},
        {"a provider that gives nothing", NOTE, KXE_COMBO, 1, 0, 0, CkxListCtrlEdit::IDC_LCE_COMBO, 0},
        {"nothing at all", VALUE, KXE_COMBO, 1, 0, -1, CkxListCtrlEdit::IDC_LCE_COMBO, 0},
        {"value grid, edit way 0", VALUE, KXE_NONE, 1, 0, -1, 0, 0},
        {"note grid, edit way 0", NOTE, KXE_NONE, 1, 0, -1, 0, 0},
        {"note grid, tree from the provider", NOTE, KXE_TREE, 1, 0, 2, CkxListCtrlEdit::IDC_LCE_TREE, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxAttr a = MakeDef(410, "摄影师", KXT_INT, c.editWay, c.flag);
        for (int i = 0; i < c.stored; ++i) a.m_Consts.AddTail(Const(80 + i, -1, CkxValueSp(80 + i)));
        if (c.provided >= 0) a.SetConstProvider(provider(c.provided));
        const auto check = [&](auto& h, int column) {
            h.Show();
            h.Click(0, column);
            EXPECT_EQ(h.OpenEditor(), c.editor);
            const auto* cell = h.grid->LC_Find(0, column);
            ASSERT_NE(cell, nullptr);
            const size_t choices = c.editWay == KXE_TREE ? cell->lsTree.size() : cell->arCombo.size();
            EXPECT_EQ(choices, static_cast<size_t>(c.choices));
        };
        if (c.grid == VALUE) {
            Host<CkxwAttrValueListCtrl> h;
            h.grid->AddAttr(&a);
            check(h, CkxwAttrValueListCtrl::COL_VALUE);
        } else {
            Host<CkxwAttrNoteListCtrl> h;
            h.grid->InitCtrl();
            h.grid->AddAttr(&a);
            check(h, CkxwAttrNoteListCtrl::COL_VALUE);
        }
    }
}

TEST_F(AttrGrids, ValuesComeBackPerRowOrPerCheckedRow) {
    CkxAttr category = MakeDef(407, "分类", KXT_INT, KXE_TREE);
    category.m_Consts.AddTail(Const(10, -1, CkxValueSp("自然")));
    category.m_Consts.AddTail(Const(11, 10, CkxValueSp("山川")));
    CkxAttrValue mountains(5, category.GetID());
    mountains.m_Value = CkxValueSp(11);
    CkxAttrValue high(5, height.GetID());
    high.m_Value = CkxValueSp(1200);

    Host<CkxwAttrNoteListCtrl> note;
    note.grid->InitCtrl();
    note.grid->AddAttr(&category, &mountains);
    note.grid->AddAttr(&height, &high);
    note.grid->AddAttr(nullptr);
    ASSERT_EQ(note.grid->GetItemCount(), 2);
    // A tree value shows its entry's text; the entries carry their parents.
    EXPECT_EQ(note.grid->GetItemText(0, CkxwAttrNoteListCtrl::COL_VALUE).toStdString(), "山川");
    const auto& tree = note.grid->LC_Find(0, CkxwAttrNoteListCtrl::COL_VALUE)->lsTree;
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[1].parentId, 10);

    CkxAttrValueList list;
    list.AddTail(CkxAttrValue(1, 2));
    EXPECT_EQ(note.grid->GetCheckAttrValueList(list), 0);
    EXPECT_TRUE(list.IsEmpty());
    note.grid->SetCheck(1, true);
    ASSERT_EQ(note.grid->GetCheckAttrValueList(list), 1);
    EXPECT_EQ(list.GetHead()->GetAttrID(), height.GetID());
    EXPECT_EQ(list.GetHead()->GetInt(), 1200);
    EXPECT_EQ(note.grid->GetAttrValueList(list), 2);
    note.Show();
    guitest::Screenshot(note.dialog.get(), "CkxwAttrNoteListCtrl");

    // The value grid gives tree cells no entries: the same value shows no text there.
    Host<CkxwAttrValueListCtrl> value;
    value.grid->AddAttr(&category);
    value.grid->AddAttr(&region);
    value.grid->SetAttrValue(0, &mountains);
    value.grid->SetAttrValue(1, nullptr);
    EXPECT_EQ(value.grid->GetItemText(0, CkxwAttrValueListCtrl::COL_VALUE).toStdString(), "");
    EXPECT_EQ(value.grid->GetItemText(1, CkxwAttrValueListCtrl::COL_FAMILY).toStdString(), "风景");
    CkxAttrValue back(7, 7);
    ASSERT_EQ(value.grid->GetAttrValue(0, back), 1);
    EXPECT_EQ(back.GetObjID(), -1);
    EXPECT_EQ(back.GetAttrID(), category.GetID());
    EXPECT_EQ(back.GetInt(), 11);
    EXPECT_EQ(value.grid->GetAttrValue(5, back), 0);
    EXPECT_EQ(value.grid->GetAttrValueList(list), 2);
    EXPECT_EQ(value.grid->GetAttrCount(), 2);
    CkxAttrValue east(5, region.GetID());
    east.m_Value = CkxValueSp(2);
    value.grid->SetAttrValue(1, &east);
    EXPECT_EQ(value.grid->GetItemText(1, CkxwAttrValueListCtrl::COL_VALUE).toStdString(), "华东");
    value.Show();
    guitest::Screenshot(value.dialog.get(), "CkxwAttrValueListCtrl");
}

// ---- the constant editor ----

TEST_F(AttrGrids, TheConstantEditorTakesOnlyTheTypesItOffers) {
    Host<CkxwConstEditCtrl> h;
    auto& g = *h.grid;
    g.Init();
    EXPECT_EQ(g.colGetCount(), 1);
    EXPECT_TRUE(g.IsConstTypeNull());
    g.SetConstType(KXV_INT);
    g.cstAddVoid();
    g.cstAddVoid();
    g.SetConstType(KXV_STR);
    EXPECT_TRUE(g.IsConstTypeStr());
    EXPECT_EQ(g.GetItemCount(), 0);
    ASSERT_EQ(g.GetColumnCount(), 3);
    const std::vector<std::string> titles = {"", "字符串常量", "常量别名"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(g.headerItem()->text(i).toStdString(), titles[i]);
    g.cstAddVoid();
    for (int kind : {0, 3, 16}) {
        g.SetConstType(kind);
        EXPECT_TRUE(g.IsConstTypeStr()) << kind;
        EXPECT_EQ(g.GetItemCount(), 1) << kind;
        EXPECT_EQ(g.GetColumnCount(), 3) << kind;
    }
    const struct {
        int kind;
        const char* title;
        int editor;
    } types[] = {{KXV_INT, "整型常量", CkxListCtrlEdit::CTRL_EDIT},
                 {KXV_FLOAT, "浮点型常量", CkxListCtrlEdit::CTRL_EDIT},
                 {KXV_DATE, "时间常量", CkxListCtrlEdit::CTRL_DATE},
                 {KXV_STR, "字符串常量", CkxListCtrlEdit::CTRL_EDIT}};
    for (const auto& t : types) {
        g.SetConstType(t.kind);
        ASSERT_NE(g.colGetConst(), nullptr);
        EXPECT_EQ(g.colGetConst()->strTitle, t.title);
        EXPECT_EQ(g.colGetConst()->nCtrlType, t.editor);
        EXPECT_EQ(g.colGetAlias()->strTitle, "常量别名");
        EXPECT_EQ(g.colGetIndex()->nCtrlType, CkxListCtrlEdit::CTRL_NONE);
    }
}

TEST_F(AttrGrids, ConstantsAreEditedReadBackAndReordered) {
    Host<CkxwConstEditCtrl> h;
    auto& g = *h.grid;
    g.Init();
    g.SetConstType(KXV_INT);
    g.cstAdd(Const(1, -1, CkxValueSp(100)));          // no alias
    g.cstAdd(Const(2, -1, CkxValueSp(200), "二百"));
    const int blank = g.cstAddVoid();
    EXPECT_EQ(g.GetItemText(0, 0).toStdString(), ">");
    h.Show();

    // Untouched, a blank row reads back as nothing.
    CkxConst c;
    g.cstGet(blank, c);
    EXPECT_EQ(c.GetID(), -1);
    EXPECT_TRUE(c.m_Value.IsVoid());
    EXPECT_EQ(c.GetAlias(), "");

    // Typed digits become an integer; a name typed as alias is the alias.
    h.Type(blank, 1, "12");
    h.Type(blank, 2, "十二");
    g.cstGet(blank, c);
    EXPECT_TRUE(c.m_Value.IsInt());
    EXPECT_EQ(c.m_Value.GetInt(), 12);

    // A constant loaded without alias keeps none, and takes its new value.
    EXPECT_EQ(g.GetItemText(0, 2).toStdString(), "");
    h.Type(0, 1, "150");
    g.cstGet(0, c);
    EXPECT_EQ(c.GetID(), 1);
    EXPECT_EQ(c.m_Value.GetInt(), 150);
    EXPECT_EQ(c.GetAlias(), "");
    EXPECT_EQ(c.GetText(), "150");

    // Moves exchange neighbours; at the edges, or with nothing selected, nothing moves.
    const auto ids = [&] {
        CkxConstList all;
        g.cstGetAll(all);
        std::vector<int> out;
        all.ForEach([&](const CkxConst& k) { out.push_back(k.GetID()); });
        return out;
    };
    g.SetItemSelected(0, false);
    g.cstMoveUp();
    g.cstMoveDown();
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, -1}));
    g.SelectItem(0);
    g.cstMoveUp();
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, -1}));
    g.cstMoveDown();
    EXPECT_EQ(ids(), (std::vector<int>{2, 1, -1}));
    EXPECT_EQ(g.GetCurSelItem(), 1);
    g.SelectItem(2);
    g.cstMoveDown();
    EXPECT_EQ(ids(), (std::vector<int>{2, 1, -1}));
    g.cstMoveUp();
    EXPECT_EQ(ids(), (std::vector<int>{2, -1, 1}));

    CkxConstList all;
    ASSERT_EQ(g.cstGetAll(all), 3);
    std::vector<CkxConst> read;
    all.ForEach([&](const CkxConst& k) { read.push_back(k); });
    EXPECT_EQ(read[0].GetAlias(), "二百");
    EXPECT_EQ(read[0].m_Value.GetInt(), 200);
    EXPECT_EQ(read[1].m_Value.GetInt(), 12);
    EXPECT_EQ(read[1].GetAlias(), "十二");
    guitest::Screenshot(h.dialog.get(), "CkxwConstEditCtrl");
}
