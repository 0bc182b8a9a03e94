// The query file dialog and the query template administration against the studio server (alice
// logged on, her one template "我的查询" cached): a template saved from the dialog arrives with
// her as creator, the administration dialog shows, changes and deletes it following the server's
// answers, the unlimited query asks first, and the panes' query commands open the dialog preset.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgQueryFile.h"
#include "dlg/CDlgQueryTempletAdmin.h"
#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgQueryCondition.h"
#include "ui/CDlgQueryTempletEdit.h"
#include "ui/KxShowDlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace studiotest;
using namespace kx;

namespace {

constexpr const char* kUnlimited = "没有限定范围查询会返回大量文件,可能造成系统不稳定!\n建议设定有效查询参数!\n\n确定查询?";

void SetText(Dialog* d, int id, const char* text) {
    d->findChild<QLineEdit*>(QString::number(id))->setText(QString::fromUtf8(text));
}

std::vector<std::string> Names(const ReportList* list) {
    std::vector<std::string> out;
    for (int r = 0; r < list->GetItemCount(); ++r) out.push_back(list->GetItemText(r, 0).toStdString());
    return out;
}

const CkxQueryTemplet* TempletNamed(const std::string& name) {
    const CkxQueryTemplet* found = nullptr;
    KX_QueryTempletList().ForEach([&](const CkxQueryTemplet& t) {
        if (t.m_strName == name) found = &t;
    });
    return found;
}

class QueryDialogs : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(PumpUntil([] { return KX_QueryTempletList().GetCount() == 1; }));
    }
};

TEST_F(QueryDialogs, ATemplateSavedFromTheQueryDialogIsManagedInTheAdministration) {
    // Save the conditions (folder "中层" only) as a template; the dialog stays open. A cancelled
    // name dialog sends nothing.
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryFile dlg(*link);
                      dlg.SetPanelMode(1);
                      dlg.SetFolder(Id("folder.mid"));
                      return dlg.DoModal();
                  },
                  [&](Dialog* d) {
                      auto* q = qobject_cast<CDlgQueryFile*>(d);
                      ASSERT_NE(q, nullptr);
                      guitest::Screenshot(d, "studio_query_file_full");
                      EXPECT_EQ(guitest::DriveDialog([&] { q->OnSaveTemplet(); return 1; }, [](Dialog*) {}, IDCANCEL), 1);
                      PumpFor(200ms);
                      EXPECT_EQ(KX_QueryTempletList().GetCount(), 1);
                      EXPECT_EQ(guitest::DriveDialog([&] { q->OnSaveTemplet(); return 1; },
                                                     [](Dialog* name) {
                                                         SetText(name, IDC_EDT_NAME, "中层图片");
                                                         SetText(name, IDC_EDT_NOTE, "只看中层");
                                                     }),
                                1);
                      EXPECT_TRUE(PumpUntil([] { return TempletNamed("中层图片") != nullptr; }));
                      EXPECT_TRUE(d->isVisible());
                  },
                  IDCANCEL),
              IDCANCEL);
    const CkxQueryTemplet* saved = TempletNamed("中层图片");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->m_nCreatorID, Id("user.alice"));
    EXPECT_EQ(saved->m_strRemark, "只看中层");
    EXPECT_EQ(saved->m_Fix.nDirID, Id("folder.mid"));
    EXPECT_EQ(saved->m_Fix.bDirBelow, 0);
    const int savedId = saved->GetID();

    // The administration lists both, shows the selected one read-only, and follows the answers.
    QWidget host;
    host.resize(900, 700);
    auto* admin = new CDlgQueryTempletAdmin(*link);
    ASSERT_TRUE(admin->Create(&host));
    host.show();
    ReportList* list = admin->List();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"我的查询", "中层图片"}));
    EXPECT_EQ(list->GetItemText(1, 1).toStdString(), "图像");
    EXPECT_EQ(list->GetItemText(1, 2).toStdString(), "只看中层");
    const auto buttons = [&] {
        std::vector<bool> out;
        for (int id : {CDlgQueryTempletAdmin::IDC_MODIFY, CDlgQueryTempletAdmin::IDC_DELETE, CDlgQueryTempletAdmin::IDC_QUERY})
            out.push_back(admin->GetDlgItem(id)->isEnabled());
        return out;
    };
    const auto entries = [&] {
        std::vector<std::string> out;
        for (QAction* a : admin->BuildMenu()->actions())
            if (!a->isSeparator()) out.push_back(a->text().toStdString());
        return out;
    };
    EXPECT_EQ(buttons(), std::vector<bool>(3, false));
    EXPECT_EQ(entries(), std::vector<std::string>{"添加模板"});
    list->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(buttons(), std::vector<bool>(3, true));
    EXPECT_EQ(entries(), (std::vector<std::string>{"查询文件", "添加模板", "修改模板", "删除模板"}));
    EXPECT_FALSE(admin->Panel()->GetDlgItem(CDlgQueryCondition::IDC_CHK_ALLDIR)->isEnabled());
    EXPECT_FALSE(admin->Panel()->findChild<QAbstractButton*>(QString::number(CDlgQueryCondition::IDC_CHK_ALLDIR))->isChecked());
    guitest::Screenshot(admin, "studio_query_templet_admin");
    list->topLevelItem(0)->setSelected(true); // two rows: nothing to change or run
    EXPECT_EQ(buttons(), std::vector<bool>(3, false));
    EXPECT_EQ(admin->SelectedTemplet(), nullptr);
    list->topLevelItem(0)->setSelected(false);

    ASSERT_EQ(guitest::DriveDialog([&] { admin->OnCommand(CDlgQueryTempletAdmin::ID_MODIFY); return 1; },
                                   [](Dialog* d) { SetText(d, IDC_EDT_NAME, "中层照片"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Names(list) == std::vector<std::string>{"我的查询", "中层照片"}; }));
    EXPECT_EQ(admin->SelectedTemplet() ? admin->SelectedTemplet()->GetID() : -1, savedId); // still selected

    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    admin->OnCommand(CDlgQueryTempletAdmin::ID_DELETE);
    PumpFor(200ms);
    EXPECT_EQ(list->GetItemCount(), 2);
    prompts.Answer(AnswerOk);
    admin->OnCommand(CDlgQueryTempletAdmin::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>(2, "确定删除查询模板--\"中层照片\"?")));
    ASSERT_TRUE(PumpUntil([&] { return Names(list) == std::vector<std::string>{"我的查询"}; }));
    EXPECT_EQ(buttons(), std::vector<bool>(3, false));
}

TEST_F(QueryDialogs, TheUnlimitedQueryAsksAndOnlyOkRunsIt) {
    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    CkxQueryTemplet ran;
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryFile dlg(*link);
                      const int r = dlg.DoModal();
                      ran = dlg.m_Templet;
                      return r;
                  },
                  [&](Dialog* d) {
                      guitest::Screenshot(d, "studio_query_file_compact");
                      auto* q = qobject_cast<CDlgQueryFile*>(d);
                      // Cancel in the question keeps the dialog and its conditions.
                      const int before = q->Panel()->GetQueryTemplet()->m_Fix.nDirID;
                      EXPECT_TRUE(ClickId(d, IDOK));
                      EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kUnlimited});
                      EXPECT_TRUE(d->isVisible());
                      EXPECT_EQ(q->Panel()->GetQueryTemplet()->m_Fix.nDirID, before);
                      prompts.Answer(AnswerOk);
                  }),
              IDOK);
    EXPECT_EQ(prompts.Texts().size(), 2u);
    EXPECT_FALSE(ran.IsValid());

    // A limited query runs at once.
    prompts.Clear();
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryFile dlg(*link);
                      dlg.SetFolder(Id("folder.mid"));
                      const int r = dlg.DoModal();
                      ran = dlg.m_Templet;
                      return r;
                  },
                  [](Dialog*) {}),
              IDOK);
    EXPECT_TRUE(prompts.Texts().empty());
    EXPECT_EQ(ran.m_Fix.nDirID, Id("folder.mid"));
}

TEST_F(QueryDialogs, OpeningAStoredTemplateShowsItAndCancelKeepsThePanel) {
    const CkxQueryTemplet* mine = TempletNamed("我的查询");
    ASSERT_NE(mine, nullptr);
    CkxQueryTemplet changed = *mine;
    changed.m_Fix.nDirID = Id("folder.top");
    changed.m_Fix.bDirSelf = 1;
    changed.m_Fix.bDirBelow = 1;
    KX_QueryTempletList().Update(changed); // the cached copy, as if the server had sent it so
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryFile dlg(*link);
                      return dlg.DoModal();
                  },
                  [&](Dialog* d) {
                      auto* q = qobject_cast<CDlgQueryFile*>(d);
                      EXPECT_EQ(guitest::DriveDialog([&] { q->OnOpenTemplet(); return 1; },
                                                     [](Dialog* select) {
                                                         qobject_cast<CDlgQueryTempletSelect*>(select)->List()->SetItemSelected(0, true);
                                                     }),
                                1);
                      EXPECT_EQ(q->Panel()->GetQueryTemplet()->m_Fix.nDirID, Id("folder.top"));
                      // Cancelled: the panel keeps what it shows.
                      q->Panel()->SetFolder(Id("folder.mid"));
                      EXPECT_EQ(guitest::DriveDialog([&] { q->OnOpenTemplet(); return 1; }, [](Dialog*) {}, IDCANCEL), 1);
                      EXPECT_EQ(q->Panel()->GetQueryTemplet()->m_Fix.nDirID, Id("folder.mid"));
                  },
                  IDCANCEL),
              IDCANCEL);
}

TEST_F(QueryDialogs, TheQueryCommandWithoutATemplateSendsNothingAndCloses) {
    int result = 0;
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryTempletAdmin dlg(*link);
                      result = dlg.DoModal();
                      return result;
                  },
                  [&](Dialog* d) {
                      const int before = app->GetDocCount();
                      qobject_cast<CDlgQueryTempletAdmin*>(d)->OnCommand(CDlgQueryTempletAdmin::ID_QUERY);
                      EXPECT_EQ(app->GetDocCount(), before);
                  },
                  0),
              IDOK);
    // With a template selected, a query document opens.
    const int before = app->GetDocCount();
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryTempletAdmin dlg(*link);
                      return dlg.DoModal();
                  },
                  [&](Dialog* d) {
                      auto* a = qobject_cast<CDlgQueryTempletAdmin*>(d);
                      a->List()->topLevelItem(0)->setSelected(true);
                      a->OnCommand(CDlgQueryTempletAdmin::ID_QUERY);
                  },
                  0),
              IDOK);
    EXPECT_EQ(app->GetDocCount(), before + 1);
}

} // namespace
