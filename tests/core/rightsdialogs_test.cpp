// The rights dialogs over the small catalogue's users, groups and roles: the rights dialog (rows
// by item kind, implied masks, inherit, grants added and removed, the OK rules, root-folder
// mode), the detail table against the context's own evaluation, the user picker, and the folder
// security dialog with role grants. The sanitizer build turns a read of a freed grant into a
// failure.
#include "support/gui/CatalogueRights.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "qt/KxReportList.h"
#include "ui/CDlgOperatorGroupSelect.h"
#include "ui/CkxwDlgFolderSafeSet.h"
#include "ui/CkxwDlgPowerSet.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using guitest::DriveDialog;
using guitest::Grant;
using guitest::SmallCatalogue;

namespace {

class RightsDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(SU);
    }
};

CkxPowerEx FolderRights(int inherit, uint32_t everyone, std::vector<CkxUserLicence> grants = {}) {
    CkxPowerEx p(guitest::Rights(inherit, everyone, std::move(grants)));
    p.m_nItemID = SmallCatalogue::FOLDER_MATERIAL;
    p.m_nItemType = CkxUserLicence::ITEM_FOLDER;
    p.m_nParentID = SmallCatalogue::FOLDER_GALLERY;
    return p;
}

std::vector<std::string> Captions(kx::ReportList* list) {
    std::vector<std::string> out;
    for (int r = 0; r < list->GetItemCount(); ++r) out.push_back(list->GetItemText(r, 0).toStdString());
    return out;
}

// Ticks exactly the rows with these captions (the stored mask follows at once).
void Tick(kx::ReportList* power, std::initializer_list<const char*> captions) {
    for (int r = 0; r < power->GetItemCount(); ++r) {
        bool on = false;
        for (const char* c : captions) on |= power->GetItemText(r, 0).toStdString() == c;
        power->SetCheck(r, on);
    }
}

std::vector<std::pair<int, uint32_t>> Grants(const CkxPowerEx& p) {
    std::vector<std::pair<int, uint32_t>> out;
    for (POSITION pos = p.m_LicenceList.GetHeadPosition(); pos;) {
        const CkxUserLicence* g = p.m_LicenceList.GetNext(pos);
        out.emplace_back(g->IsGroup() ? -g->m_nAlieneeID : g->m_nAlieneeID, g->m_nPower);
    }
    return out;
}

} // namespace

TEST_F(RightsDialogs, PowersAreShownAndStoredByTheirImpliedMasks) {
    // Inherit set: everyone's power is reset and its row is gone; turning inherit off brings it.
    CkxPowerEx rights = FolderRights(1, 0x3F);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_PowerSet(0, rights); },
                          [](kx::Dialog* dlg) {
                              auto* d = static_cast<CkxwDlgPowerSet*>(dlg);
                              EXPECT_EQ(Captions(d->PowerList()),
                                        (std::vector<std::string>{"管理本目录", "操作本目录", "打开本目录", "读取本目录", "创建子目录",
                                                                  "创建文件", "管理文件", "操作文件", "打开文件", "浏览文件"}));
                              EXPECT_EQ(d->m_Power.m_nEveryonePower, 0u);
                              EXPECT_EQ(d->GroupList()->GetItemCount(), 0);
                              dlg->findChild<QCheckBox*>(QString::number(CkxwDlgPowerSet::IDC_CHK_INHERIT))->click();
                              ASSERT_EQ(d->GroupList()->GetItemCount(), 1);
                              EXPECT_EQ(d->GroupList()->GetItemText(0, 0), "所有人");
                              d->GroupList()->SetItemSelected(0, true);
                              EXPECT_EQ(d->GetTarget(), CkxwDlgPowerSet::TARGET_EVERYONE);
                              Tick(d->PowerList(), {"管理本目录"});
                              guitest::Screenshot(dlg, "CkxwDlgPowerSet-folder");
                          }),
              1);
    EXPECT_EQ(rights.m_nInherit, 0);
    EXPECT_EQ(rights.m_nEveryonePower, 0xF03Fu);

    // A file: four rows; "打开文件" alone stores 0xC000, and Enter keeps it.
    CkxPowerEx file = FolderRights(0, 0);
    file.m_nItemType = CkxUserLicence::ITEM_FILE;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_PowerSet(0, file); },
                          [](kx::Dialog* dlg) {
                              auto* d = static_cast<CkxwDlgPowerSet*>(dlg);
                              EXPECT_EQ(Captions(d->PowerList()), (std::vector<std::string>{"管理文件", "操作文件", "打开文件", "浏览文件"}));
                              d->GroupList()->SetItemSelected(0, true);
                              Tick(d->PowerList(), {"打开文件"});
                              guitest::Screenshot(dlg, "CkxwDlgPowerSet-file");
                              QTest::keyClick(dlg, Qt::Key_Return);
                          },
                          0),
              1);
    EXPECT_EQ(file.m_nEveryonePower, 0xC000u);
}

TEST_F(RightsDialogs, TheRootFolderIsOnlyShown) {
    CkxPowerEx rights = FolderRights(1, 0);
    const auto before = Grants(rights);
    for (bool byEnter : {false, true}) {
        EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_PowerSet(1, rights); },
                              [&](kx::Dialog* dlg) {
                                  auto* d = static_cast<CkxwDlgPowerSet*>(dlg);
                                  EXPECT_EQ(dlg->windowTitle(), "根目录基本权限信息");
                                  EXPECT_FALSE(dlg->findChild<QPushButton*>(QString::number(kx::IDOK))->isVisible());
                                  EXPECT_EQ(dlg->findChild<QPushButton*>(QString::number(kx::IDCANCEL))->text(), "关闭");
                                  EXPECT_FALSE(d->PowerList()->isEnabled());
                                  d->GroupList()->SetItemSelected(0, true);
                                  std::vector<std::string> checked;
                                  for (int r = 0; r < d->PowerList()->GetItemCount(); ++r)
                                      if (d->PowerList()->GetCheck(r)) checked.push_back(d->PowerList()->GetItemText(r, 0).toStdString());
                                  EXPECT_EQ(checked, (std::vector<std::string>{"打开本目录", "读取本目录", "创建子目录", "创建文件"}));
                                  if (!byEnter) guitest::Screenshot(dlg, "CkxwDlgPowerSet-root");
                                  if (byEnter) {
                                      QTest::keyClick(dlg, Qt::Key_Return);
                                      if (dlg->isVisible()) {
                                          ADD_FAILURE() << "Enter did not close the dialog";
                                          dlg->EndDialog(kx::IDCANCEL);
                                      }
                                  }
                              },
                              byEnter ? 0 : kx::IDCANCEL),
                  0);
    }
    EXPECT_EQ(rights.m_nInherit, 1);
    EXPECT_EQ(Grants(rights), before);
}

TEST_F(RightsDialogs, GrantsAreAddedOnceAndDeletedExactly) {
    CkxPowerEx rights = FolderRights(0, 4, {Grant(GROUP_DESIGN, true, 0x8), Grant(GROUP_EDIT, true, 0xC), Grant(ALICE, false, 0x2C)});
    kx::ModalDriver driver;
    driver.Then<CkxwDlgPowerSet>([&](CkxwDlgPowerSet* d) {
        kx::ReportList* groups = d->GroupList();
        ASSERT_EQ(Captions(groups), (std::vector<std::string>{"所有人", "设计组", "编辑组"}));
        // Adding a group that has a row selects it.
        EXPECT_TRUE(kx::ClickId(d, CkxwDlgPowerSet::IDC_BTN_ADDGROUP));
        EXPECT_EQ(groups->GetItemCount(), 3);
        EXPECT_EQ(groups->GetSelectedRow(), 2);
        // The second of the two groups goes, and only its own grant.
        EXPECT_TRUE(kx::ClickId(d, CkxwDlgPowerSet::IDC_BTN_DELGROUP));
        EXPECT_EQ(Captions(groups), (std::vector<std::string>{"所有人", "设计组"}));
        groups->SetItemSelected(1, true);
        EXPECT_EQ(d->GetSelectGroupLic()->m_nPower, 0x8u);
        // A new user with a power.
        EXPECT_TRUE(kx::ClickId(d, CkxwDlgPowerSet::IDC_BTN_ADDUSER));
        ASSERT_EQ(d->UserList()->GetItemCount(), 2);
        d->UserList()->SetItemSelected(1, true);
        Tick(d->PowerList(), {"读取本目录"});
        // The remaining group goes too: no group grants are left, the users' stay.
        groups->SetItemSelected(1, true);
        EXPECT_TRUE(kx::ClickId(d, CkxwDlgPowerSet::IDC_BTN_DELGROUP));
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    driver.Then<CDlgOperatorGroupSelect>([](CDlgOperatorGroupSelect* g) {
        g->m_nGroupID = GROUP_EDIT;
        g->EndDialog(kx::IDOK);
    });
    driver.Then<CkxwDlgSelectUser>([](CkxwDlgSelectUser* u) {
        kx::ReportList* list = u->List();
        for (int r = 0; r < list->GetItemCount(); ++r)
            if (list->GetItemData(r) == BOB) list->SetItemSelected(r, true);
        EXPECT_TRUE(kx::ClickId(u, kx::IDOK));
    });
    ASSERT_EQ(KX_ShowDlg_PowerSet(0, rights), 1);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(Grants(rights), (std::vector<std::pair<int, uint32_t>>{{ALICE, 0x2C}, {BOB, 0x8}}));
    for (POSITION p = rights.m_LicenceList.GetHeadPosition(); p;) {
        const CkxUserLicence* g = rights.m_LicenceList.GetNext(p);
        if (g->m_nAlieneeID == BOB) {
            EXPECT_EQ(g->m_nItemID, FOLDER_MATERIAL); // the item of the rights being edited
            EXPECT_EQ(g->m_nItemType, CkxUserLicence::ITEM_FOLDER);
        }
    }
}

TEST_F(RightsDialogs, TheDetailTableAndTheUserPicker) {
    CkxPowerEx rights = FolderRights(0, 0x4, {Grant(GROUP_EDIT, true, 0x2C), Grant(BOB, false, 0x0001)});
    CkxwDlgPowerList table;
    table.m_Power = rights;
    kx::ModalDriver driver;
    driver.Then<CkxwDlgPowerList>([&](CkxwDlgPowerList* d) {
        kx::ReportList* list = d->List();
        EXPECT_EQ(list->GetColumnWidth(1), 73); // ten bytes
        EXPECT_EQ(list->GetColumnWidth(6), 60); // eight bytes
        const auto rows = kx::PowerRowsFor(CkxUserLicence::ITEM_FOLDER);
        for (int r = 0; r < list->GetItemCount(); ++r) {
            const int user = static_cast<int>(list->GetItemData(r));
            const uint32_t mask = KX_KXXXX().licCheckPowerMask(rights, user);
            for (size_t c = 0; c < rows.size(); ++c) {
                const bool want = (mask & 0x0001) || (mask & rows[c].bit) == rows[c].bit;
                EXPECT_EQ(list->GetItemText(r, static_cast<int>(c) + 1) == "√", want) << user << " " << rows[c].caption;
            }
        }
        guitest::Screenshot(d, "CkxwDlgPowerList");
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    table.DoModal();
    EXPECT_TRUE(driver.Done());

    int id = 99;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_SelectUser("挑选", id); },
                          [](kx::Dialog* dlg) { EXPECT_EQ(dlg->windowTitle(), "挑选"); }),
              1);
    EXPECT_EQ(id, -1);
}

// ---- the folder security dialog ----

TEST_F(RightsDialogs, TheSecurityDialogGrantsRolesAndFollowsTheParent) {
    // 素材's parent 图库 has grants of its own in the fixture; this folder starts with one grant.
    CkxPowerEx parent;
    ASSERT_TRUE(KX_KXXXX().fsGetDirPower(FOLDER_GALLERY, parent));
    CkxwDlgFolderSafeSet dlg;
    dlg.m_Power = FolderRights(0, 2, {Grant(GROUP_DESIGN, true, 1)});
    dlg.m_strTitle = "素材";
    kx::ModalDriver driver;
    driver.Then<CkxwDlgFolderSafeSet>([&](CkxwDlgFolderSafeSet* d) {
        EXPECT_EQ(d->windowTitle(), "权限设置(素材)");
        EXPECT_EQ(d->Tabs()->tabText(0), "授予权限");
        EXPECT_EQ(d->findChild<QPushButton*>(QString::number(kx::IDOK))->text(), "保  存");
        CkxwDlgFolderSafeSet_Allow* page = d->AllowPage();
        EXPECT_EQ(Captions(page->Roles()), (std::vector<std::string>{"完全控制", "只读"}));
        EXPECT_FALSE(page->Powers()->isEnabled());

        // A role chosen for everyone changes only the everyone word.
        page->Everyone()->setCurrentRow(0);
        EXPECT_EQ(page->GetTarget(), CkxwDlgFolderSafeSet_Allow::TARGET_EVERYONE);
        page->Roles()->SetItemSelected(0, true);
        EXPECT_EQ(d->m_Power.m_nEveryonePower, 1u);
        EXPECT_EQ(Grants(d->m_Power), (std::vector<std::pair<int, uint32_t>>{{-GROUP_DESIGN, 1}}));

        // After initialising from the parent with a grant selected, a role writes nothing freed.
        page->Groups()->setCurrentRow(0);
        EXPECT_EQ(page->GetTarget(), CkxwDlgFolderSafeSet_Allow::TARGET_GROUP);
        EXPECT_TRUE(kx::ClickId(page, CkxwDlgFolderSafeSet_Allow::IDC_BTN_PARENT));
        EXPECT_EQ(Grants(d->m_Power), Grants(parent));
        page->Roles()->SetItemSelected(1, true);
        EXPECT_EQ(Grants(d->m_Power), Grants(parent));

        // Inherit on: the parent's grants, the editing controls off.
        page->findChild<QCheckBox*>(QString::number(CkxwDlgFolderSafeSet_Allow::IDC_CHK_INHERIT))->click();
        EXPECT_EQ(d->m_Power.m_nInherit, 1);
        EXPECT_FALSE(page->Groups()->isEnabled());
        EXPECT_FALSE(page->Roles()->isEnabled());
        guitest::Screenshot(d, "CkxwDlgFolderSafeSet-grants");

        // The detail page shows what the roles allow.
        d->Tabs()->setCurrentIndex(1);
        kx::ReportList* info = d->InfoPage()->List();
        const CkxPowerEx effective = d->EffectiveRights();
        EXPECT_EQ(effective.m_nEveryonePower, 0x3Fu); // role 1 "完全控制" of folders
        for (int r = 0; r < info->GetItemCount(); ++r) {
            const uint32_t mask = KX_KXXXX().licCheckPowerMask(effective, static_cast<int>(info->GetItemData(r)));
            EXPECT_EQ(info->GetItemText(r, 1) == "√", (mask & 0x0001) != 0);
        }
        guitest::Screenshot(d, "CkxwDlgFolderSafeSet-detail");
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(driver.Done());
}
