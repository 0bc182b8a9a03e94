// The name match dialog, the condition panel and the query template dialogs over the small
// catalogue (families with attributes, folders, users, persons and two saved templates): the
// patterns the match dialog reads and builds, what an untouched panel builds, a round trip of the
// block fields the panel owns, and the template dialogs' checks and results.
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxFamily.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "ui/CDlgQueryCondition.h"
#include "ui/CDlgQueryTempletEdit.h"
#include "ui/CDlgTextMatch.h"
#include "ui/CkxAttrListCtrl.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>

using guitest::DriveDialog;
using guitest::SmallCatalogue;

namespace {

class QueryDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(SU);
    }
};

QLineEdit* EditOf(QWidget* dlg, int id) { return dlg->findChild<QLineEdit*>(QString::number(id)); }

// A panel placed in a host window, as the template dialog places it.
struct PanelHost {
    explicit PanelHost(int familyChoice) {
        host = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(host.get());
        panel = new CDlgQueryCondition(host.get());
        panel->EnableFamily(familyChoice);
        panel->Create(host.get());
        layout->addWidget(panel);
        host->resize(560, 640);
    }
    std::unique_ptr<QWidget> host;
    CDlgQueryCondition* panel = nullptr;
};

const CkxQueryTemplet& Saved(int id) { return *KX_QueryTempletList().Find(id); }

} // namespace

// ---- name match ----

TEST_F(QueryDialogs, TheMatchDialogReadsAndBuildsPatterns) {
    const struct {
        const char* in;
        int mode;
        const char* word;
        const char* pattern; // after OK unchanged
        const char* shown;
    } cases[] = {
        {"abc%", CDlgTextMatch::MODE_HEAD, "abc", "abc%", "abc*"},
        {"%abc", CDlgTextMatch::MODE_TAIL, "abc", "%abc", "*abc"},
        {"%abc%", CDlgTextMatch::MODE_INCLUDE, "abc", "%abc%", "*abc*"},
        {"abc", CDlgTextMatch::MODE_WHOLE, "abc", "abc", "abc"},
        {"%", CDlgTextMatch::MODE_INCLUDE, "", "%%", "**"},
        {"", CDlgTextMatch::MODE_INCLUDE, "", "%%", "**"},
        {"%50%off%", CDlgTextMatch::MODE_INCLUDE, "50%off", "%50%off%", "*50*off*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        std::string text = c.in, pattern = "unchanged";
        ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_TextMatch(text, pattern); },
                              [&](kx::Dialog* dlg) {
                                  auto* d = static_cast<CDlgTextMatch*>(dlg);
                                  EXPECT_EQ(d->GetMode(), c.mode);
                                  const int edits[] = {0, CDlgTextMatch::IDC_EDT_HEAD, CDlgTextMatch::IDC_EDT_TAIL,
                                                       CDlgTextMatch::IDC_EDT_INCLUDE, CDlgTextMatch::IDC_EDT_WHOLE};
                                  EXPECT_EQ(EditOf(dlg, edits[c.mode])->text().toStdString(), c.word);
                                  EXPECT_TRUE(EditOf(dlg, edits[c.mode])->isEnabled());
                                  if (std::strcmp(c.in, "abc%") == 0) guitest::Screenshot(dlg, "CDlgTextMatch");
                              }),
                  1);
        EXPECT_EQ(pattern, c.pattern);
        EXPECT_EQ(text, c.shown);
    }
    // Cancel leaves both; a radio click empties the edits and enables only its own.
    std::string text = "abc%", pattern = "p";
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_TextMatch(text, pattern); },
                          [](kx::Dialog* dlg) {
                              dlg->findChild<QRadioButton*>(QString::number(CDlgTextMatch::IDC_RAD_WHOLE))->click();
                              EXPECT_EQ(EditOf(dlg, CDlgTextMatch::IDC_EDT_HEAD)->text(), "");
                              EXPECT_FALSE(EditOf(dlg, CDlgTextMatch::IDC_EDT_HEAD)->isEnabled());
                              EXPECT_TRUE(EditOf(dlg, CDlgTextMatch::IDC_EDT_WHOLE)->isEnabled());
                          },
                          kx::IDCANCEL),
              0);
    EXPECT_EQ(text, "abc%");
    EXPECT_EQ(pattern, "p");

    // The value dialogs: signs by setter, leading digits.
    CkxwDlgQTNumber number;
    number.SetDlg_FromTo_CloseLeft();
    EXPECT_EQ(number.GetSign1(), ">=");
    EXPECT_EQ(number.GetSign2(), "<");
    number.SetDlg_Equal();
    EXPECT_EQ(number.GetSign2(), "");
    EditOf(&number, CkxwDlgQTNumber::IDC_EDT_1)->setText("42");
    EXPECT_EQ(number.GetInt1(), 42);
    EXPECT_EQ(number.GetInt2(), 0);
    EXPECT_EQ(CkxwDlgQTNumber::LeadingNumber("12abc"), 12);
    EXPECT_EQ(CkxwDlgQTNumber::LeadingNumber(""), 0);
    CkxwDlgQTDatetime when;
    when.SetDlg_GreatEqual();
    EXPECT_EQ(when.GetSign1(), ">=");
}

// ---- the condition panel ----

TEST_F(QueryDialogs, AnUntouchedPanelAsksForEverything) {
    PanelHost h(1);
    const CkxQueryTemplet* t = h.panel->GetQueryTemplet();
    const CkxQueryTemplet::_FIX& f = t->m_Fix;
    EXPECT_EQ(t->m_nDataMode, 3);
    EXPECT_EQ(f.nFamilyID, -1);
    EXPECT_EQ(f.bFamilySelf, 1);
    EXPECT_EQ(f.bFamilyDerived, 1);
    EXPECT_EQ(f.nDirID, -1);
    EXPECT_EQ(f.bDirSelf, 1);
    EXPECT_EQ(f.bDirBelow, 1);
    EXPECT_EQ(f.nCodeForm, 0);
    EXPECT_EQ(f.nAuthorID, -1);
    EXPECT_EQ(f.nWriterID, -1);
    EXPECT_EQ(f.nEditorID, -1);
    EXPECT_EQ(f.bAuthTime + f.bWriteTime + f.bEditTime, 0);
    EXPECT_EQ(f.dtAuthFrom, 0);
    EXPECT_EQ(t->m_OperandList.GetCount(), 0);
}

TEST_F(QueryDialogs, TheBlockFieldsThePanelOwnsComeBackAsShown) {
    const COleDateTime day(2024, 3, 5, 0, 0, 0), dayEnd(2024, 3, 5, 23, 59, 59), later(2024, 4, 1, 23, 59, 59);
    const auto with = [](const std::function<void(CkxQueryTemplet::_FIX&)>& set) {
        CkxQueryTemplet t;
        t.m_nDataMode = 3;
        set(t.m_Fix);
        return t;
    };
    const struct {
        const char* name;
        CkxQueryTemplet t;
    } cases[] = {
        {"family and derived", with([](auto& f) { f.nFamilyID = FAMILY_LANDSCAPE; })},
        {"family itself", with([](auto& f) { f.nFamilyID = FAMILY_LANDSCAPE, f.bFamilyDerived = 0; })},
        {"derived only", with([](auto& f) { f.nFamilyID = KXF_ROOT_IMAGE, f.bFamilySelf = 0; })},
        {"folder and below", with([](auto& f) { f.nDirID = FOLDER_MATERIAL; })},
        {"folder itself", with([](auto& f) { f.nDirID = FOLDER_DOCS, f.bDirBelow = 0; })},
        {"folders below", with([](auto& f) { f.nDirID = FOLDER_GALLERY, f.bDirSelf = 0; })},
        {"format and persons", with([](auto& f) { f.nCodeForm = 2, f.nAuthorID = 2, f.nWriterID = 3, f.nEditorID = 4; })},
        {"time ranges", with([&](auto& f) {
             f.bAuthTime = 1, f.dtAuthFrom = day.m_dt, f.dtAuthTo = dayEnd.m_dt;
             f.bEditTime = 1, f.dtEditFrom = day.m_dt, f.dtEditTo = later.m_dt;
         })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelHost h(1);
        h.panel->SetQueryTemplet(&c.t);
        const CkxQueryTemplet::_FIX got = h.panel->GetQueryTemplet()->m_Fix;
        const CkxQueryTemplet::_FIX& want = c.t.m_Fix;
        EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0);
        EXPECT_EQ(got.nFamilyID, want.nFamilyID);
        EXPECT_EQ(got.nDirID, want.nDirID);
        EXPECT_EQ(got.bDirSelf * 2 + got.bDirBelow, want.bDirSelf * 2 + want.bDirBelow);
        EXPECT_EQ(got.nAuthorID, want.nAuthorID);
        EXPECT_EQ(got.dtEditTo, want.dtEditTo);
    }

    // A range whose pickers show one day covers all of it.
    PanelHost h(1);
    h.panel->findChild<QCheckBox*>(QString::number(CDlgQueryCondition::IDC_CHK_WRITETIME))->click();
    for (int id : {CDlgQueryCondition::IDC_DT_WRITE_FROM, CDlgQueryCondition::IDC_DT_WRITE_TO})
        h.panel->findChild<QDateTimeEdit*>(QString::number(id))->setDate(QDate(2024, 3, 5));
    const CkxQueryTemplet::_FIX f = h.panel->GetQueryTemplet()->m_Fix;
    EXPECT_EQ(f.bWriteTime, 1);
    EXPECT_EQ(f.dtWriteFrom, day.m_dt);
    EXPECT_EQ(f.dtWriteTo, dayEnd.m_dt);
}

TEST_F(QueryDialogs, ConditionsShowOnlyWithAFamily) {
    const CkxQueryTemplet& north = Saved(TEMPLET_NORTH_LANDSCAPES);
    ASSERT_EQ(north.m_Fix.nFamilyID, FAMILY_LANDSCAPE);
    ASSERT_EQ(north.m_OperandList.GetCount(), 2);
    PanelHost h(1);
    h.panel->SetQueryTemplet(&north);
    CkxAttrListCtrl* grid = h.panel->Grid();
    EXPECT_EQ(grid->GetItemCount(), 4); // 风景's attributes with the inherited one
    CkxQueryOperandList back;
    EXPECT_EQ(grid->GetOperandList(back), 4);
    int conditions = 0;
    back.ForEach([&](const CkxQueryOperand& op) { conditions += op.GetOperateSign() != 0; });
    EXPECT_EQ(conditions, 2);
    h.host->show();
    guitest::Screenshot(h.host.get(), "CDlgQueryCondition-family");

    CkxQueryTemplet all = north;
    all.m_Fix.nFamilyID = -1;
    PanelHost h2(1);
    h2.panel->SetQueryTemplet(&all);
    EXPECT_EQ(h2.panel->Grid()->GetItemCount(), 0);
    EXPECT_TRUE(h2.panel->findChild<QCheckBox*>(QString::number(CDlgQueryCondition::IDC_CHK_ALLFAMILY))->isChecked());
    EXPECT_EQ(h2.panel->GetQueryTemplet()->m_OperandList.GetCount(), 0);
}

TEST_F(QueryDialogs, FolderSettersRootItemUnknownIdsAndTheReadOnlyState) {
    const auto checked = [](CDlgQueryCondition* p, int id) { return p->findChild<QAbstractButton*>(QString::number(id))->isChecked(); };
    const auto enabled = [](CDlgQueryCondition* p, int id) { return p->GetDlgItem(id)->isEnabled(); };
    PanelHost h(1);
    CDlgQueryCondition* p = h.panel;
    // This folder only: the folder controls open, "所有目录" clear.
    p->SetFolder(FOLDER_MATERIAL);
    EXPECT_FALSE(checked(p, CDlgQueryCondition::IDC_CHK_ALLDIR));
    EXPECT_TRUE(checked(p, CDlgQueryCondition::IDC_RAD_DIR_SELF));
    EXPECT_FALSE(checked(p, CDlgQueryCondition::IDC_RAD_DIR_BOTH));
    EXPECT_TRUE(enabled(p, CDlgQueryCondition::IDC_TREE_DIR));
    CkxQueryTemplet::_FIX f = p->GetQueryTemplet()->m_Fix;
    EXPECT_EQ(std::make_tuple(f.nDirID, f.bDirSelf, f.bDirBelow), std::make_tuple(int32_t(FOLDER_MATERIAL), 1, 0));
    // The root item with "所有目录" clear: folder -1 with the radio's flags.
    p->Tree()->SelectItem(p->Tree()->GetRootItem());
    f = p->GetQueryTemplet()->m_Fix;
    EXPECT_EQ(std::make_tuple(f.nDirID, f.bDirSelf, f.bDirBelow), std::make_tuple(-1, 1, 0));
    // Any folder: "所有目录" set, the folder controls closed.
    p->SetAnyFolder();
    EXPECT_TRUE(checked(p, CDlgQueryCondition::IDC_CHK_ALLDIR));
    EXPECT_FALSE(enabled(p, CDlgQueryCondition::IDC_TREE_DIR));
    EXPECT_FALSE(enabled(p, CDlgQueryCondition::IDC_RAD_DIR_SELF));
    f = p->GetQueryTemplet()->m_Fix;
    EXPECT_EQ(std::make_tuple(f.nDirID, f.bDirSelf, f.bDirBelow), std::make_tuple(-1, 1, 1));
    p->SetQueryTemplet(nullptr); // ignored
    EXPECT_TRUE(checked(p, CDlgQueryCondition::IDC_CHK_ALLDIR));

    // Ids the lists no longer hold leave their combos on the row they were on.
    CkxQueryTemplet known;
    known.m_Fix.nAuthorID = 2;
    known.m_Fix.nWriterID = BOB;
    known.m_Fix.nCodeForm = 2;
    p->SetQueryTemplet(&known);
    CkxQueryTemplet gone = known;
    gone.m_Fix.nAuthorID = 999;
    gone.m_Fix.nWriterID = 999;
    gone.m_Fix.nCodeForm = 250;
    p->SetQueryTemplet(&gone);
    f = p->GetQueryTemplet()->m_Fix;
    EXPECT_EQ(std::make_tuple(f.nAuthorID, f.nWriterID, f.nCodeForm), std::make_tuple(2, int32_t(BOB), 2));

    // Read only: every control stays disabled once a template is shown, folder and family ones too.
    PanelHost ro(1);
    ro.panel->EnableEdit(0);
    CkxQueryTemplet north = Saved(TEMPLET_NORTH_LANDSCAPES);
    north.m_Fix.nDirID = FOLDER_MATERIAL;
    north.m_Fix.bAuthTime = 1;
    ro.panel->SetQueryTemplet(&north);
    for (int id : {CDlgQueryCondition::IDC_BTN_TITLE, CDlgQueryCondition::IDC_COB_FORMAT, CDlgQueryCondition::IDC_COB_AUTHOR,
                   CDlgQueryCondition::IDC_COB_WRITER, CDlgQueryCondition::IDC_COB_EDITOR, CDlgQueryCondition::IDC_GRID,
                   CDlgQueryCondition::IDC_CHK_ALLFAMILY, CDlgQueryCondition::IDC_BTN_FAMILY, CDlgQueryCondition::IDC_RAD_FAM_SELF,
                   CDlgQueryCondition::IDC_CHK_AUTHTIME, CDlgQueryCondition::IDC_DT_AUTH_FROM, CDlgQueryCondition::IDC_CHK_ALLDIR,
                   CDlgQueryCondition::IDC_TREE_DIR, CDlgQueryCondition::IDC_RAD_DIR_BOTH}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(enabled(ro.panel, id));
    }
}

// ---- template dialogs ----

TEST_F(QueryDialogs, TemplateEditChecksNamesAndKeepsTheFamilyOfTheCompactPanel) {
    kx::PromptRecorder prompts;
    CkxQueryTemplet created;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletEdit(1, 1, 0, created); },
                          [](kx::Dialog* dlg) {
                              EXPECT_EQ(dlg->windowTitle(), "新建模板");
                              auto* kind = dlg->findChild<kx::ComboBox*>(QString::number(CDlgQueryTempletEdit::IDC_COB_KIND));
                              EXPECT_EQ(kind->currentText(), "图像");
                              EXPECT_FALSE(kind->isEnabled());
                              EXPECT_EQ(kind->count(), 5);
                              guitest::Screenshot(dlg, "CDlgQueryTempletEdit-new");
                              // Taken, 51 bytes, then 50 bytes.
                              EditOf(dlg, kx::IDC_EDT_NAME)->setText("全部图像");
                              EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                              EditOf(dlg, kx::IDC_EDT_NAME)->setText(QString(51, 'n'));
                              EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                              EditOf(dlg, kx::IDC_EDT_NAME)->setText(QString(50, 'n'));
                          }),
              1);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"查询模板名称已经被使用，请重新命名", "查询模板名称长度不能超过50个字母"}));
    EXPECT_EQ(created.m_nDataMode, 3);
    EXPECT_EQ(created.m_strName, std::string(50, 'n'));
    EXPECT_EQ(created.m_Fix.nFamilyID, -1);

    // Modify with the compact panel: its own name passes, family, scope and conditions stay.
    CkxQueryTemplet north = Saved(TEMPLET_NORTH_LANDSCAPES);
    north.m_Fix.bFamilyDerived = 0;
    prompts.Clear();
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletEdit(0, 1, 0, north); },
                          [](kx::Dialog* dlg) {
                              EXPECT_EQ(dlg->windowTitle(), "修改模板");
                              EXPECT_EQ(EditOf(dlg, kx::IDC_EDT_NAME)->text(), "华北风景");
                              guitest::Screenshot(dlg, "CDlgQueryTempletEdit-modify");
                          }),
              1);
    EXPECT_TRUE(prompts.Texts().empty());
    const CkxQueryTemplet& saved = Saved(TEMPLET_NORTH_LANDSCAPES);
    EXPECT_EQ(north.m_Fix.nFamilyID, FAMILY_LANDSCAPE);
    EXPECT_EQ(north.m_Fix.bFamilySelf, 1);
    EXPECT_EQ(north.m_Fix.bFamilyDerived, 0);
    EXPECT_EQ(north.m_nID, saved.m_nID);
    ASSERT_EQ(north.m_OperandList.GetCount(), saved.m_OperandList.GetCount());
    std::vector<std::pair<int, int>> want, got;
    saved.m_OperandList.ForEach([&](const CkxQueryOperand& o) { want.emplace_back(o.GetAttrID(), o.GetOperateSign()); });
    north.m_OperandList.ForEach([&](const CkxQueryOperand& o) { got.emplace_back(o.GetAttrID(), o.GetOperateSign()); });
    EXPECT_EQ(got, want);

    // Read only: "查看模板".
    CkxQueryTemplet view = Saved(TEMPLET_ALL_IMAGES);
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletEdit(0, 0, 0, view); },
                          [](kx::Dialog* dlg) { EXPECT_EQ(dlg->windowTitle(), "查看模板"); }, kx::IDCANCEL),
              0);
}

TEST_F(QueryDialogs, TemplateBaseAndSelect) {
    CkxQueryTemplet t = Saved(TEMPLET_NORTH_LANDSCAPES);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletBase(0, t); },
                          [](kx::Dialog* dlg) {
                              EXPECT_EQ(EditOf(dlg, kx::IDC_EDT_NAME)->text(), "");
                              EditOf(dlg, kx::IDC_EDT_NAME)->setText("另存");
                              EditOf(dlg, kx::IDC_EDT_NOTE)->setText("说明");
                          }),
              1);
    EXPECT_EQ(t.m_strName, "另存");
    EXPECT_EQ(t.m_strRemark, "说明");
    EXPECT_EQ(t.m_nID, -1);
    EXPECT_EQ(t.m_OperandList.GetCount(), 0);
    EXPECT_EQ(t.m_Fix.nFamilyID, -1);

    int id = 77;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletSelect(id); },
                          [](kx::Dialog* dlg) {
                              auto* d = static_cast<CDlgQueryTempletSelect*>(dlg);
                              ASSERT_EQ(d->List()->GetItemCount(), 2);
                              EXPECT_EQ(d->List()->GetItemText(1, 0), "华北风景");
                              EXPECT_EQ(d->List()->GetItemText(1, 1), "图像");
                              EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK)); // nothing chosen: stays
                              EXPECT_TRUE(dlg->isVisible());
                              guitest::Screenshot(dlg, "CDlgQueryTempletSelect");
                              d->List()->SetItemSelected(1, true);
                          }),
              1);
    EXPECT_EQ(id, TEMPLET_NORTH_LANDSCAPES);
    id = 77;
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_QueryTempletSelect(id); }, [](kx::Dialog*) {}, kx::IDCANCEL), 0);
    EXPECT_EQ(id, 77);
}
