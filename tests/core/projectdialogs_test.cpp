// The project dialogs over the small catalogue: what a project edit gives back (coworker, state,
// dates), its OK checks, the member list with user and group entries, the links of a file to its
// projects (existing links whole, new ones from defaults), and the alias dialog's checks.
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "ui/CDlgFileRefProjectAdmin.h"
#include "ui/CDlgProjectDataEdit.h"
#include "ui/CDlgProjectEdit.h"
#include "ui/CDlgProjectFile.h"
#include "ui/CDlgProjectUser.h"

#include <QApplication>
#include <QLineEdit>

#include <functional>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

class ProjectDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

QLineEdit* EditOf(QWidget* dlg, int id) { return dlg->findChild<QLineEdit*>(QString::number(id)); }
void SetText(QWidget* dlg, int id, const std::string& text) { EditOf(dlg, id)->setText(QString::fromStdString(text)); }
kx::ReportList* ListOf(QWidget* dlg, int id) { return dlg->findChild<kx::ReportList*>(QString::number(id)); }
kx::ComboBox* ComboOf(QWidget* dlg, int id) { return dlg->findChild<kx::ComboBox*>(QString::number(id)); }

using guitest::DriveDialog;

std::vector<int> Checked(kx::ReportList* list) {
    std::vector<int> out;
    for (int row = 0; row < list->GetItemCount(); ++row)
        if (list->GetCheck(row)) out.push_back(static_cast<int>(list->GetItemData(row)));
    return out;
}

CkxProject ProjectCopy(int id) { return *KX_KXXXX().m_ProjectList.Find(id); }

TEST_F(ProjectDialogs, NewProjectWithoutCoworkerAndModifyKeepsTheCreationDate) {
    CkxProject created;
    created.m_nCoworkerID = 3;
    const COleDateTime before = COleDateTime::GetCurrentTime();
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_ProjectEdit(1, created); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(ComboOf(dlg, CDlgProjectEdit::IDC_CMB_STATE)->currentText(), "启动");
                        EXPECT_EQ(ComboOf(dlg, CDlgProjectEdit::IDC_CMB_COWORKER)->GetCurSel(), -1);
                        EXPECT_EQ(ComboOf(dlg, CDlgProjectEdit::IDC_CMB_COWORKER)->count(), 3);
                        SetText(dlg, kx::IDC_EDT_NAME, "新项目");
                        guitest::Screenshot(dlg, "CDlgProjectEdit-new");
                    }),
              1);
    EXPECT_EQ(created.m_strName, "新项目");
    EXPECT_EQ(created.m_nCoworkerID, -1);
    EXPECT_EQ(created.m_nState, CkxProject::STATE_START);
    EXPECT_GE(created.m_dtCreate, before);

    // Modify: the state and coworker come up selected, the creation time stays, members stay.
    CkxProject album = ProjectCopy(PROJECT_ALBUM);
    album.m_nCoworkerID = 2;
    const COleDateTime createdAt = album.m_dtCreate;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_ProjectEdit(0, album); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(ComboOf(dlg, CDlgProjectEdit::IDC_CMB_STATE)->currentText(), "过程");
                        EXPECT_EQ(ComboOf(dlg, CDlgProjectEdit::IDC_CMB_COWORKER)->currentText(), "李四");
                        SetText(dlg, CDlgProjectEdit::IDC_EDT_DESCRIBE, "春季");
                        guitest::Screenshot(dlg, "CDlgProjectEdit-modify");
                    }),
              1);
    EXPECT_EQ(album.m_dtCreate, createdAt);
    EXPECT_GE(album.m_dtEnd, before);
    EXPECT_EQ(album.m_strDescribe, "春季");
    EXPECT_EQ(album.m_nCoworkerID, 2);
    EXPECT_EQ(album.m_UserList.GetCount(), 1);
}

TEST_F(ProjectDialogs, OkChecksKeepTheDialogOpenWithTheFocusOnTheFault) {
    struct Case {
        int id;
        std::string text;
        const char* message;
    } cases[] = {
        {kx::IDC_EDT_NAME, "", "名称不能为空"},
        {CDlgProjectEdit::IDC_EDT_DESCRIBE, std::string(51, 'd'), "描述长度不能超过50个字母"},
        {kx::IDC_EDT_NOTE, std::string(51, 'n'), "备注长度不能超过50个字母"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CkxProject p = ProjectCopy(PROJECT_REPORT);
        const std::string wire = p.m_strName;
        kx::PromptRecorder prompts;
        int result = DriveDialog([&] { return KX_ShowDlg_ProjectEdit(0, p); },
                           [&](kx::Dialog* dlg) {
                               // The typed limit stops at 45; set the long text past it as code can.
                               SetText(dlg, c.id, c.text);
                               EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                               EXPECT_TRUE(dlg->isVisible()) << "stays open";
                               EXPECT_EQ(prompts.LastText(), c.message);
                               EXPECT_EQ(QApplication::focusWidget(), EditOf(dlg, c.id));
                           },
                           kx::IDCANCEL);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(p.m_strName, wire);
    }
}

TEST_F(ProjectDialogs, MembersKeepTheirGroupEntriesAndOnlyUsersTickRows) {
    // The report's members: group 11 (edit group); give it also a user entry for dave and a group
    // whose id equals a user's id (group 5 must not tick user 5).
    CkxUserXList members = ProjectCopy(PROJECT_REPORT).m_UserList;
    CkxUserX dave(DAVE, CkxUserX::TYPE_USER);
    dave.Enable(1);
    members.AddTail(dave);
    members.AddTail(CkxUserX(ALICE, CkxUserX::TYPE_GROUP));
    ASSERT_EQ(members.GetCount(), 3);

    CkxUserXList result = members;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_ProjectUser(0, result); },
                    [](kx::Dialog* dlg) {
                        auto* list = ListOf(dlg, CDlgProjectUser::IDC_LIST_USER);
                        EXPECT_EQ(list->GetItemCount(), 5);
                        EXPECT_EQ(Checked(list), std::vector<int>{DAVE});
                        list->SetCheck(list->FindItemData(BOB), true);
                        guitest::Screenshot(dlg, "CDlgProjectUser");
                    }),
              1);
    std::vector<CkxUserX*> users, groups;
    result._GetAllUser(users);
    result._GetAllGroup(groups);
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0]->m_nID, BOB); // row order
    EXPECT_EQ(users[1]->m_nID, DAVE);
    EXPECT_EQ(users[0]->m_nEnable, 1);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0]->m_nID, GROUP_EDIT);
    EXPECT_EQ(groups[1]->m_nID, ALICE);

    // Create mode ticks nothing; Cancel leaves the list.
    CkxUserXList untouched = members;
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_ProjectUser(1, untouched); },
                    [](kx::Dialog* dlg) { EXPECT_TRUE(Checked(ListOf(dlg, CDlgProjectUser::IDC_LIST_USER)).empty()); },
                    kx::IDCANCEL),
              0);
    EXPECT_EQ(untouched.GetCount(), 3);
}

TEST_F(ProjectDialogs, FileLinksComeBackWholeAndNewOnesFromDefaults) {
    CkxProjectData* album = KX_KXXXX().m_ProjectDataList.Find(PROJECT_ALBUM, FILE_A);
    ASSERT_NE(album, nullptr);
    album->m_strAlias = "封面";
    album->m_strRemark = "主图";
    album->m_dtCreate = COleDateTime(2024, 3, 2, 10, 0, 0);

    CkxProjectDataList links;
    CkxProjectData earlier;
    earlier.m_nID = 99;
    links.AddTail(earlier);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FileRefProjectAdmin(FILE_A, links); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(Checked(ListOf(dlg, CDlgFileRefProjectAdmin::IDC_LIST_PROJECT)),
                                  (std::vector<int>{PROJECT_ALBUM, PROJECT_REPORT}));
                        guitest::Screenshot(dlg, "CDlgFileRefProjectAdmin");
                    }),
              1);
    ASSERT_EQ(links.GetCount(), 3) << "appended after what the list held";
    std::vector<CkxProjectData> got;
    links.ForEach([&](const CkxProjectData& l) { got.push_back(l); });
    EXPECT_EQ(got[0].m_nID, 99);
    EXPECT_EQ(got[1].m_nID, album->m_nID);
    EXPECT_EQ(got[1].m_strAlias, "封面");
    EXPECT_EQ(got[1].m_strRemark, "主图");
    EXPECT_EQ(got[1].m_nCreatorID, ALICE);
    EXPECT_EQ(got[1].m_dtCreate, COleDateTime(2024, 3, 2, 10, 0, 0));
    EXPECT_EQ(got[2].m_nID, KX_KXXXX().m_ProjectDataList.GetID(PROJECT_REPORT, FILE_A));

    // File C is linked nowhere: ticking the album gives a new link.
    CkxProjectDataList fresh;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FileRefProjectAdmin(FILE_C, fresh); },
                    [](kx::Dialog* dlg) {
                        auto* list = ListOf(dlg, CDlgFileRefProjectAdmin::IDC_LIST_PROJECT);
                        EXPECT_TRUE(Checked(list).empty());
                        list->SetCheck(list->FindItemData(PROJECT_ALBUM), true);
                    }),
              1);
    ASSERT_EQ(fresh.GetCount(), 1);
    fresh.ForEach([](const CkxProjectData& l) {
        EXPECT_EQ(l.m_nID, -1);
        EXPECT_EQ(l.m_nProjectID, PROJECT_ALBUM);
        EXPECT_EQ(l.m_nFileID, FILE_C);
        EXPECT_TRUE(l.m_strAlias.empty());
    });
}

TEST_F(ProjectDialogs, AliasChecksAndTheFileList) {
    struct Case {
        std::string alias, note;
        const char* message; // null: OK passes
    } cases[] = {{"", "", "别名不能为空"},
                 {std::string(51, 'a'), "", "别名长度不能超过50个字母"},
                 {"别名", std::string(51, 'n'), "备注长度不能超过50个字母"},
                 {"别名", "备注", nullptr}};
    for (const Case& c : cases) {
        kx::PromptRecorder prompts;
        CDlgProjectDataEdit dlg;
        dlg.m_strAlias = "旧";
        kx::ModalDriver driver;
        driver.Then<CDlgProjectDataEdit>([&](CDlgProjectDataEdit* d) {
            EXPECT_EQ(EditOf(d, CDlgProjectDataEdit::IDC_EDT_ALIAS)->text(), "旧");
            SetText(d, CDlgProjectDataEdit::IDC_EDT_ALIAS, c.alias);
            SetText(d, kx::IDC_EDT_NOTE, c.note);
            kx::ClickId(d, kx::IDOK);
            if (c.message) {
                EXPECT_EQ(prompts.LastText(), c.message);
                kx::ClickId(d, kx::IDCANCEL);
            }
        });
        const int result = dlg.DoModal();
        EXPECT_EQ(result, c.message ? kx::IDCANCEL : kx::IDOK);
        if (!c.message) EXPECT_EQ(dlg.m_strAlias, "别名");
    }

    CDlgProjectFile files;
    EXPECT_EQ(files.List()->GetColumnCount(), 4);
    EXPECT_EQ(files.List()->GetItemCount(), 0);
    EXPECT_TRUE(files.List()->HasCheckBoxes());
    guitest::Screenshot(&files, "CDlgProjectFile");
}

} // namespace
