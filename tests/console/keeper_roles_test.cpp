// Keeper's file-role and folder-role panes and dialogs against the real server: from the checked
// rights to the stored mask and back, both panes of a kind following one change, and the edges
// of the lists.
#include "console/support/KeeperTestKit.h"

#include "base/Gbk.h"
#include "frame/CMainFrame.h"
#include "frame/CWorkRightView.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxReportList.h"
#include "role/CDlgRoleEdit.h"
#include "role/RoleKind.h"
#include "role/RolePanes.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"

#include <QLineEdit>

namespace keepertest {
namespace {

using namespace kx;

class KeeperRoles : public KeeperTest {
protected:
    void SetUp() override {
        KeeperTest::SetUp();
        ASSERT_TRUE(Serve().Ok());
        ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
        ASSERT_TRUE(WaitForLists());
        // One role of each kind stays throughout, so a list is never answered with nothing.
        CkxFileRole file;
        file.m_strName = "常驻";
        CkxFolderRole folder;
        folder.m_strName = "常驻";
        ASSERT_EQ(link.SendFileRoleAddRequest(file), 1);
        ASSERT_EQ(link.SendFolderRoleAddRequest(folder), 1);
        ASSERT_TRUE(PumpUntil([] {
            return KX_KXXXX().m_FileRoleList.GetCount() > 0 && KX_KXXXX().m_FolderRoleList.GetCount() > 0;
        }));
    }
    // The mask the server stored for the role of that name (asked by another workstation).
    std::optional<uint32_t> StoredMask(int type, const std::string& name) {
        auto reader = Serve().Connect();
        if (!reader || reader->LogOn("alice", "alice-pw") != 0) return std::nullopt;
        reader->Send(type, kSubList);
        const auto series = reader->WaitSeries(type, kSubList);
        if (!series) return std::nullopt;
        for (const srvtest::Answer& a : *series) {
            KxPowerRoleCom com{};
            if (a.As(com) && GetText(com.szName) == name) return static_cast<uint32_t>(com.nPower);
        }
        return std::nullopt;
    }
    static void Fill(CDlgRoleEdit* d, const std::string& name, const std::string& note,
                     const std::vector<std::string>& rights) {
        d->GetDlgItemAs<QLineEdit>(IDC_DLG_NAME)->setText(QString::fromStdString(name));
        d->GetDlgItemAs<QLineEdit>(IDC_DLG_NOTE)->setText(QString::fromStdString(note));
        ReportList* list = d->RightsList();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            const std::string text = list->GetItemText(row, 0).toStdString();
            list->SetCheck(row, std::find(rights.begin(), rights.end(), text) != rights.end());
        }
    }
    CRolePaneBase* Pane(int type) {
        CWorkRightView* right = app().GetMainFrame()->RightView();
        return right->findChild<CRolePaneBase*>(type == kMsgFileRole ? "CWndFileRole" : "CWndFolderRole");
    }
    template <class Dlg>
    void CheckMaskRow(int type, const std::string& name, const std::vector<std::string>& checked, uint32_t mask,
                      const std::vector<std::string>& shown) {
        SCOPED_TRACE(name);
        CRolePaneBase& pane = *Pane(type);
        EXPECT_TRUE(DriveCommand<Dlg>(pane, ID_ROLE_NEW, [&](Dlg* d) {
            Fill(d, name, "备注", checked);
            ClickId(d, IDOK);
        }));
        ASSERT_TRUE(PumpUntil([&] { return RowNamed(*pane.RoleList(), name) >= 0; }));
        EXPECT_EQ(StoredMask(type, name), std::optional<uint32_t>(mask));
        pane.RoleList()->SetItemSelected(RowNamed(*pane.RoleList(), name), true);
        EXPECT_EQ(CheckedNames(*pane.RightsList()), shown);
        // A modify keeps what the dialog shows; the note changes, the mask stays.
        EXPECT_TRUE(DriveCommand<Dlg>(pane, ID_ROLE_MODIFY, [&](Dlg* d) {
            EXPECT_EQ(CheckedNames(*d->RightsList()), shown);
            d->template GetDlgItemAs<QLineEdit>(IDC_DLG_NOTE)->setText("改过");
            ClickId(d, IDOK);
        }));
        const int row = RowNamed(*pane.RoleList(), name);
        ASSERT_TRUE(PumpUntil([&] { return pane.RoleList()->GetItemText(row, 2) == "改过"; }));
        EXPECT_EQ(StoredMask(type, name), std::optional<uint32_t>(mask));
        pane.RoleList()->SetItemSelected(row, true);
        prompts.Answer(AnswerOk);
        pane.OnCommand(ID_ROLE_DELETE);
        EXPECT_EQ(prompts.LastText(), "确定删除角色");
        ASSERT_TRUE(PumpUntil([&] { return RowNamed(*pane.RoleList(), name) < 0; }));
        EXPECT_EQ(StoredMask(type, name), std::nullopt);
    }
};

TEST_F(KeeperRoles, FileRightsGoFromTheChecksToTheStoredMaskAndBack) {
    CheckMaskRow<CDlgFileRoleEdit>(kMsgFileRole, "管理者", {"管理文件"}, 0xF000,
                                   {"管理文件", "操作文件", "打开文件", "浏览文件"});
    CheckMaskRow<CDlgFileRoleEdit>(kMsgFileRole, "读者", {"打开文件"}, 0xC000, {"打开文件", "浏览文件"});
    CheckMaskRow<CDlgFileRoleEdit>(kMsgFileRole, "无权", {}, 0, {});
}

TEST_F(KeeperRoles, FolderRightsGoFromTheChecksToTheStoredMaskAndBack) {
    CheckMaskRow<CDlgFolderRoleEdit>(kMsgFolderRole, "目录管理", {"管理本目录"}, 0xF03F,
                                     {"管理本目录", "操作本目录", "打开本目录", "读取本目录", "创建子目录",
                                      "创建文件", "管理文件", "操作文件", "打开文件", "浏览文件"});
    CheckMaskRow<CDlgFolderRoleEdit>(kMsgFolderRole, "建文件", {"创建文件"}, 0x002C,
                                     {"打开本目录", "读取本目录", "创建文件"});
    CheckMaskRow<CDlgFolderRoleEdit>(kMsgFolderRole, "操作者", {"操作文件", "读取本目录"}, 0xE00C,
                                     {"打开本目录", "读取本目录", "操作文件", "打开文件", "浏览文件"});
}

TEST_F(KeeperRoles, TheFullPaneAndTheListPaneOfAKindBothFollowEachChange) {
    CWndFolderRoleList list(link);
    list.resize(400, 301);
    list.show();
    list.OnNotice(kNoticeReload, 0);
    CRolePaneBase& pane = *Pane(kMsgFolderRole);
    const int before = list.RoleList()->GetItemCount();
    // The list pane creates on a double click in its empty part.
    ModalDriver driver(20000);
    driver.Then<CDlgFolderRoleEdit>([&](CDlgFolderRoleEdit* d) {
        Fill(d, "两处", "", {"读取本目录"});
        ClickId(d, IDOK);
    });
    list.OnDoubleClick(-1);
    EXPECT_TRUE(driver.Done());
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(*list.RoleList(), "两处") >= 0 && RowNamed(*pane.RoleList(), "两处") >= 0; }));
    EXPECT_EQ(list.RoleList()->GetItemCount(), before + 1);
    const int id = static_cast<int>(list.RoleList()->GetItemData(RowNamed(*list.RoleList(), "两处")));
    CkxFolderRole changed = *KX_KXXXX().m_FolderRoleList.Find(id);
    changed.m_strName = "两处改";
    ASSERT_EQ(link.SendFolderRoleUpdateRequest(changed), 1);
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(*list.RoleList(), "两处改") >= 0 && RowNamed(*pane.RoleList(), "两处改") >= 0; }));
    ASSERT_EQ(link.SendFolderRoleDeleteRequest(id), 1);
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(*list.RoleList(), "两处改") < 0 && RowNamed(*pane.RoleList(), "两处改") < 0; }));
    // A double click on a role does nothing.
    list.RoleList()->SetItemSelected(0, true);
    list.OnDoubleClick(0);
    // The halves: an odd height splits at half rounded down.
    EXPECT_EQ(list.RoleList()->geometry(), QRect(10, 0, 380, 150));
    EXPECT_EQ(list.RightsList()->geometry(), QRect(10, 160, 380, 140));
    guitest::Screenshot(&list, "keeper_folder_role_list");
}

TEST_F(KeeperRoles, ListEdges) {
    CWndFileRoleList list(link);
    list.show();
    CRolePaneBase& pane = *Pane(kMsgFileRole);
    CkxFileRoleList& roles = KX_KXXXX().m_FileRoleList;
    // A first role that ships with the system: the list pane's rights cannot be changed.
    CkxFileRole system;
    system.m_nID = 7001;
    system.m_strName = "系统角色";
    system.m_nIsSystem = 1;
    system.m_nPower = 0;
    roles.DeleteAll();
    roles.AddTail(system);
    CkxFileRole user = system;
    user.m_nID = 7002;
    user.m_strName = "用户角色";
    user.m_nIsSystem = 0;
    user.m_nPower = 0x4000;
    roles.AddTail(user);
    for (int i = 0; i < 2; ++i) {
        list.OnNotice(kNoticeReload, 0);
        pane.OnNotice(kNoticeReload, 0);
    }
    EXPECT_EQ(list.RoleList()->GetItemCount(), 2);
    EXPECT_EQ(pane.RoleList()->GetItemCount(), 2);
    EXPECT_FALSE(list.RightsList()->isEnabled());
    EXPECT_EQ(pane.RoleList()->GetItemText(0, 1), "系统");
    // Mask 0 and nothing selected show no checked right.
    EXPECT_TRUE(CheckedNames(*pane.RightsList()).empty());
    pane.RoleList()->SetItemSelected(1, true);
    EXPECT_EQ(CheckedNames(*pane.RightsList()), std::vector<std::string>{"浏览文件"});
    pane.RoleList()->clearSelection();
    EXPECT_TRUE(CheckedNames(*pane.RightsList()).empty());
    EXPECT_EQ(pane.PopupIndex(), 1); // nothing selected: only "新建角色"
    // A removal for an id no row shows changes nothing.
    pane.OnNotice(kNoticeRemoved, 424242);
    EXPECT_EQ(pane.RoleList()->GetItemCount(), 2);
    list.resize(640, 360); // the size it has as a pane of the main frame
    guitest::Screenshot(&list, "keeper_file_role_list");
    app().GetMainFrame()->RightView()->ShowFileRolePane();
    app().GetMainFrame()->resize(900, 600);
    PumpFor(50ms);
    guitest::Screenshot(app().GetMainFrame(), "keeper_file_roles");
    app().GetMainFrame()->RightView()->ShowFolderRolePane();
    PumpFor(50ms);
    guitest::Screenshot(app().GetMainFrame(), "keeper_folder_roles");
}

TEST_F(KeeperRoles, NamesAndNotesStopAtTheirFieldAsTyped) {
    for (int type : {kMsgFileRole, kMsgFolderRole}) {
        SCOPED_TRACE(type);
        auto step = [&](CDlgRoleEdit* d) {
            QLineEdit* name = d->GetDlgItemAs<QLineEdit>(IDC_DLG_NAME);
            QLineEdit* note = d->GetDlgItemAs<QLineEdit>(IDC_DLG_NOTE);
            guitest::TypeText(QString(30, QChar(0x540D)), name); // 60 GBK bytes
            guitest::TypeText(QString(60, 'n'), note);
            EXPECT_EQ(name->text().size(), 25);
            EXPECT_EQ(note->text().size(), 51);
            guitest::Screenshot(d, type == kMsgFileRole ? "CDlgFileRoleEdit" : "CDlgFolderRoleEdit");
            // An emptied name is refused and the dialog stays.
            name->clear();
            ClickId(d, IDOK);
            EXPECT_EQ(prompts.LastText(), CDlgRoleEdit::kNameEmpty);
            EXPECT_TRUE(d->isVisible());
            ClickId(d, IDCANCEL);
        };
        if (type == kMsgFileRole) EXPECT_TRUE(DriveCommand<CDlgFileRoleEdit>(*Pane(type), ID_ROLE_NEW, step));
        else EXPECT_TRUE(DriveCommand<CDlgFolderRoleEdit>(*Pane(type), ID_ROLE_NEW, step));
    }
}

} // namespace
} // namespace keepertest
