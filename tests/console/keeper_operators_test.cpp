// Keeper's operators and user-role panes against the real server: accounts created, changed and
// deleted; the operator dialog's checks; the user-role powers from checks to stored word and back;
// and the guards that keep the administrators from locking themselves out.
#include "console/support/KeeperTestKit.h"

#include "dlg/CDlgOperator.h"
#include "frame/CMainFrame.h"
#include "frame/CWorkRightView.h"
#include "model/CkxXXX.h"
#include "pane/CWndOperator.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxReportList.h"
#include "role/CDlgRoleEdit.h"
#include "role/CWndUserRole.h"
#include "role/RoleKind.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"

#include <QComboBox>
#include <QLineEdit>

namespace keepertest {
namespace {

using namespace kx;


class KeeperOperators : public KeeperTest {
protected:
    void StartAs(const std::string& name, const std::string& password) {
        ASSERT_TRUE(Serve().Ok());
        ASSERT_TRUE(StartLoggedOn(app(), name, password));
        ASSERT_TRUE(WaitForLists());
        ASSERT_TRUE(PumpUntil([&] { return Operators().GetItemCount() > 0 && Roles().RoleList()->GetItemCount() > 0; }));
    }
    CWndOperator& Operators() { return *app().GetMainFrame()->RightView()->findChild<CWndOperator*>("CWndOperator"); }
    CWndUserRole& Roles() { return *app().GetMainFrame()->RightView()->findChild<CWndUserRole*>("CWndUserRole"); }

    // What the server stores, asked by another workstation: the accounts and the roles.
    std::vector<CkxUser> StoredUsers() {
        std::vector<CkxUser> out;
        auto reader = Serve().LogOn("bob", "bob-pw");
        if (!reader) return out;
        reader->Send(kMsgUser, kSubList);
        if (const auto series = reader->WaitSeries(kMsgUser, kSubList))
            for (const srvtest::Answer& a : *series) {
                CkxUser::_COM com{};
                if (a.As(com)) out.emplace_back(com);
            }
        return out;
    }
    std::optional<CkxUser> StoredUser(const std::string& logon) {
        for (const CkxUser& u : StoredUsers())
            if (u.m_strLogon == logon) return u;
        return std::nullopt;
    }
    std::optional<uint32_t> StoredWord(const std::string& role) {
        auto reader = Serve().LogOn("bob", "bob-pw");
        if (!reader) return std::nullopt;
        reader->Send(kMsgUserRole, kSubList);
        if (const auto series = reader->WaitSeries(kMsgUserRole, kSubList))
            for (const srvtest::Answer& a : *series) {
                CkxUserRole::_COM com{};
                if (a.As(com) && CkxUserRole(com).m_strName == role) return static_cast<uint32_t>(com.nPower);
            }
        return std::nullopt;
    }

    static void Fill(CDlgOperator* d, const std::string& logon, const std::string& name, const std::string& pw,
                     const std::string& confirm, const std::string& role) {
        d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_LOGON)->setText(QString::fromStdString(logon));
        d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_NAME)->setText(QString::fromStdString(name));
        d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_PASSWORD)->setText(QString::fromStdString(pw));
        d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_CONFIRM)->setText(QString::fromStdString(confirm));
        d->RoleList()->setCurrentIndex(role.empty() ? -1 : d->RoleList()->findText(QString::fromStdString(role)));
    }
    void Select(ReportList& list, const std::string& first) {
        list.clearSelection();
        const int row = RowNamed(list, first);
        ASSERT_GE(row, 0) << first;
        list.SetItemSelected(row, true);
    }
};

TEST_F(KeeperOperators, AnOperatorIsCreatedChangedAndDeletedThroughTheServer) {
    StartAs("su", kSuPassword);
    CWndOperator& pane = Operators();
    ASSERT_TRUE(DriveCommand<CDlgOperator>(pane, CWndOperator::ID_NEW, [&](CDlgOperator* d) {
        EXPECT_EQ(d->windowTitle(), "创建操作员");
        EXPECT_EQ(d->StateList()->currentText(), "启用");
        Fill(d, "erin", "艾琳", "erin-pw", "erin-pw", "操作员");
        d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_DEPT)->setText("资料室");
        guitest::Screenshot(d, "CDlgOperator-create");
        ClickId(d, IDOK);
    }));
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(pane, "erin") >= 0; }));
    const int row = RowNamed(pane, "erin");
    EXPECT_EQ(pane.GetItemText(row, 2), "操作员");
    EXPECT_EQ(pane.GetItemText(row, 3), "启用");
    EXPECT_EQ(pane.GetItemText(row, 4), "资料室");
    auto stored = StoredUser("erin");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->m_strUser, "艾琳");
    EXPECT_EQ(stored->GetRoleID(), Serve().Id("role.operator"));

    Select(pane, "erin");
    prompts.Answer(AnswerOk);
    ASSERT_TRUE(DriveCommand<CDlgOperator>(pane, CWndOperator::ID_MODIFY, [&](CDlgOperator* d) {
        EXPECT_EQ(d->windowTitle(), "修改操作员");
        EXPECT_TRUE(d->GetDlgItem(CDlgOperator::IDC_LOGON)->isEnabled());
        d->StateList()->setCurrentIndex(d->StateList()->findText("暂停"));
        guitest::Screenshot(d, "CDlgOperator-modify");
        ClickId(d, IDOK);
    }));
    EXPECT_EQ(prompts.LastText(), CWndOperator::kModifyQuestion);
    ASSERT_TRUE(PumpUntil([&] { return pane.GetItemText(RowNamed(pane, "erin"), 3) == "暂停"; }));
    EXPECT_EQ(pane.RowStateImage(RowNamed(pane, "erin")), 1); // the paused icon
    EXPECT_EQ(StoredUser("erin")->m_nState, CkxUser::STATE_PAUSE);
    // The pane as the administrator sees it, with the paused operator in its list.
    app().GetMainFrame()->RightView()->ShowOperatorPane();
    app().GetMainFrame()->resize(900, 600);
    ASSERT_TRUE(PumpUntil([&] { return pane.isVisible(); }));
    guitest::Screenshot(app().GetMainFrame(), "keeper_operators");

    Select(pane, "erin");
    prompts.Answer(AnswerOk);
    pane.OnCommand(CWndOperator::ID_DELETE);
    EXPECT_EQ(prompts.LastText(), CWndOperator::kDeleteQuestion);
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(pane, "erin") < 0; }));
    EXPECT_FALSE(StoredUser("erin"));
}

TEST_F(KeeperOperators, TheDialogChecksItsFieldsInOrder) {
    StartAs("su", kSuPassword);
    struct Row {
        const char* name;
        std::string logon, user, pw, confirm, role;
        const char* warning; // null: accepted
        int focus;
    };
    const Row rows[] = {
        {"no log-on name", "", "甲", "pw", "pw", "操作员", "登录名不能为空", CDlgOperator::IDC_LOGON},
        {"no name", "fred", "", "pw", "pw", "操作员", "用户名不能为空", CDlgOperator::IDC_NAME},
        {"no password", "fred", "甲", "", "", "操作员", "密码不能为空", CDlgOperator::IDC_PASSWORD},
        {"a taken log-on name", "alice", "甲", "pw", "pw", "操作员", "登录名已经存在,请重新输入", CDlgOperator::IDC_LOGON},
        {"another confirmation", "fred", "甲", "pw", "px", "操作员", "确认密码不一致,请重新输入", CDlgOperator::IDC_PASSWORD},
        {"no role", "fred", "甲", "pw", "pw", "", "请选择角色", CDlgOperator::IDC_ROLE},
        {"a 16-byte log-on name", "abcdefghijklmnop", "甲", "pw", "pw", "操作员", "用户名长度不能超过15", CDlgOperator::IDC_LOGON},
        {"an 8-character password", "fred", "甲", "八个汉字的密码呀", "八个汉字的密码呀", "操作员", "密码长度不能超过15",
         CDlgOperator::IDC_PASSWORD},
        {"15 bytes each", "abcdefghijklmno", "甲", "七个汉字的密码", "七个汉字的密码", "操作员", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        prompts.Clear();
        ASSERT_TRUE(DriveCommand<CDlgOperator>(Operators(), CWndOperator::ID_NEW, [&](CDlgOperator* d) {
            Fill(d, row.logon, row.user, row.pw, row.confirm, row.role);
            ClickId(d, IDOK);
            if (!row.warning) {
                EXPECT_EQ(prompts.Count(), 0u);
                return;
            }
            EXPECT_EQ(prompts.LastText(), row.warning);
            EXPECT_TRUE(d->isVisible());
            if (row.focus != CDlgOperator::IDC_ROLE) EXPECT_TRUE(d->GetDlgItem(row.focus)->hasFocus());
            if (std::string(row.warning) == "确认密码不一致,请重新输入")
                EXPECT_TRUE(d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_CONFIRM)->text().isEmpty());
            ClickId(d, IDCANCEL);
        }));
    }
    ASSERT_TRUE(PumpUntil([&] { return RowNamed(Operators(), "abcdefghijklmno") >= 0; }));
    EXPECT_TRUE(StoredUser("abcdefghijklmno"));
    // An account's texts stop at their field as typed.
    ASSERT_TRUE(DriveCommand<CDlgOperator>(Operators(), CWndOperator::ID_NEW, [&](CDlgOperator* d) {
        QLineEdit* dept = d->GetDlgItemAs<QLineEdit>(CDlgOperator::IDC_DEPT);
        guitest::TypeText(QString(30, QChar(0x90E8)), dept); // 60 GBK bytes
        EXPECT_EQ(dept->text().size(), 24);
        ClickId(d, IDCANCEL);
    }));
}

TEST_F(KeeperOperators, UserRolePowersGoFromTheChecksToTheStoredWordAndBack) {
    StartAs("su", kSuPassword);
    CWndUserRole& pane = Roles();
    struct Row {
        const char* role;
        std::vector<std::string> checked;
        uint32_t word;
        std::vector<std::string> shown;
    };
    const Row rows[] = {
        {"全权", {"超级管理"}, 0x1F07, {"超级管理", "系统管理", "目录操作", "文件操作", "人员操作", "关键字操作"}},
        {"系统", {"系统管理"}, 0x1F06, {"系统管理", "目录操作", "文件操作", "人员操作", "关键字操作"}},
        {"只查", {}, 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.role);
        ASSERT_TRUE(DriveCommand<CDlgUserRoleEdit>(pane, ID_ROLE_NEW, [&](CDlgUserRoleEdit* d) {
            d->GetDlgItemAs<QLineEdit>(IDC_DLG_NAME)->setText(QString::fromUtf8(row.role));
            ReportList* list = d->RightsList();
            for (int r = 0; r < list->GetItemCount(); ++r)
                list->SetCheck(r, std::count(row.checked.begin(), row.checked.end(), list->GetItemText(r, 0).toStdString()) > 0);
            ClickId(d, IDOK);
        }));
        ASSERT_TRUE(PumpUntil([&] { return RowNamed(*pane.RoleList(), row.role) >= 0; }));
        EXPECT_EQ(StoredWord(row.role), std::optional<uint32_t>(row.word));
        Select(*pane.RoleList(), row.role);
        EXPECT_EQ(CheckedNames(*pane.RightsList()), row.shown);
    }
    // Saved again, a role keeps the powers no row stands for (and drops those a bundle brought).
    struct Kept {
        const char* role;
        uint32_t word;
        std::function<void(CDlgUserRoleEdit*)> edit;
        uint32_t stored;
    };
    const Kept kept[] = {
        {"带项目", 0x0504, [](CDlgUserRoleEdit* d) { d->GetDlgItemAs<QLineEdit>(IDC_DLG_NOTE)->setText("只改备注"); }, 0x0504},
        {"去系统", 0x1F06,
         [](CDlgUserRoleEdit* d) { d->RightsList()->SetCheck(RowNamed(*d->RightsList(), "系统管理"), false); }, 0x1B00},
    };
    for (const Kept& k : kept) {
        SCOPED_TRACE(k.role);
        CkxUserRole role;
        role.m_strName = k.role;
        role.m_nPower = static_cast<int32_t>(k.word);
        ASSERT_EQ(link.SendUserRoleAddRequest(role), 1);
        ASSERT_TRUE(PumpUntil([&] { return RowNamed(*pane.RoleList(), k.role) >= 0; }));
        Select(*pane.RoleList(), k.role);
        ASSERT_TRUE(DriveCommand<CDlgUserRoleEdit>(pane, ID_ROLE_MODIFY, [&](CDlgUserRoleEdit* d) {
            k.edit(d);
            ClickId(d, IDOK);
        }));
        ASSERT_TRUE(PumpUntil([&] { return StoredWord(k.role) == std::optional<uint32_t>(k.stored); }, 5s));
    }
    // A role note stops at 199 bytes as typed; a reload shows every role once.
    ASSERT_TRUE(DriveCommand<CDlgUserRoleEdit>(pane, ID_ROLE_NEW, [&](CDlgUserRoleEdit* d) {
        QLineEdit* note = d->GetDlgItemAs<QLineEdit>(IDC_DLG_NOTE);
        guitest::TypeText(QString(120, QChar(0x6CE8)), note); // 240 GBK bytes
        EXPECT_EQ(note->text().size(), 99);
        guitest::Screenshot(d, "CDlgUserRoleEdit");
        ClickId(d, IDCANCEL);
    }));
    const int roles = pane.RoleList()->GetItemCount();
    ASSERT_EQ(link.SendUserRoleListRequest(), 1);
    PumpFor(500ms);
    EXPECT_EQ(pane.RoleList()->GetItemCount(), roles);
    app().GetMainFrame()->RightView()->ShowUserRolePane();
    guitest::Screenshot(app().GetMainFrame(), "keeper_user_roles");
}

TEST_F(KeeperOperators, TheAdministratorsCannotLockThemselvesOut) {
    StartAs("su", kSuPassword);
    auto watcher = Serve().LogOn("alice", "alice-pw");
    ASSERT_NE(watcher, nullptr);
    CWndOperator& ops = Operators();
    CWndUserRole& roles = Roles();
    const int suRole = KX_KXXXX().m_UserList.Find("su")->GetRoleID();
    const std::string suRoleName = KX_KXXXX().m_UserRoleList.Find(suRole)->m_strName;

    Select(ops, "su");
    prompts.Clear();
    ops.OnCommand(CWndOperator::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndOperator::kDeleteSu});
    // su's own dialog keeps its name, role and state.
    ASSERT_TRUE(DriveCommand<CDlgOperator>(ops, CWndOperator::ID_MODIFY, [&](CDlgOperator* d) {
        for (int id : {CDlgOperator::IDC_LOGON, CDlgOperator::IDC_ROLE, CDlgOperator::IDC_STATE})
            EXPECT_FALSE(d->GetDlgItem(id)->isEnabled()) << id;
        EXPECT_TRUE(d->GetDlgItem(CDlgOperator::IDC_PASSWORD)->isEnabled());
        ClickId(d, IDCANCEL);
    }));

    Select(*roles.RoleList(), suRoleName);
    prompts.Clear();
    roles.OnCommand(ID_ROLE_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndUserRole::kDeleteProtected});
    prompts.Clear();
    ASSERT_TRUE(DriveCommand<CDlgUserRoleEdit>(roles, ID_ROLE_MODIFY, [&](CDlgUserRoleEdit* d) {
        d->RightsList()->SetCheck(RowNamed(*d->RightsList(), "超级管理"), false);
        ClickId(d, IDOK);
    }));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndUserRole::kModifyProtected});
    // Nothing reached the server.
    EXPECT_TRUE(watcher->Quiet(kMsgUser, -1, 300ms));
    EXPECT_TRUE(watcher->Quiet(kMsgUserRole, -1, 300ms));
    EXPECT_EQ(StoredWord(suRoleName), std::optional<uint32_t>(0x1F07));
}

TEST_F(KeeperOperators, ASecondSuperAdministratorCannotDeleteItself) {
    ASSERT_TRUE(Serve().Ok());
    auto su = Serve().LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    CkxUser root;
    root.m_strLogon = "root2";
    root.m_strUser = "第二";
    root.m_strPassword = "root2-pw";
    root.m_nState = CkxUser::STATE_ACT;
    int superRole = -1;
    // su's role is the super administration role of the seeded catalogue.
    su->Send(kMsgUser, kSubList);
    if (const auto series = su->WaitSeries(kMsgUser, kSubList))
        for (const srvtest::Answer& a : *series) {
            CkxUser::_COM com{};
            if (a.As(com) && CkxUser(com).m_strLogon == "su") superRole = CkxUser(com).GetRoleID();
        }
    ASSERT_GE(superRole, 0);
    root.SetRoleID(superRole);
    ASSERT_TRUE(su->SendRecord(kMsgUser, kSubAdd, root.GetComData()));
    ASSERT_TRUE(su->Wait(kMsgUser, kSubAdd));
    su.reset();
    StartAs("root2", "root2-pw");
    Select(Operators(), "root2");
    prompts.Clear();
    Operators().OnCommand(CWndOperator::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndOperator::kDeleteSelf});
    ASSERT_TRUE(DriveCommand<CDlgOperator>(Operators(), CWndOperator::ID_MODIFY, [&](CDlgOperator* d) {
        EXPECT_FALSE(d->GetDlgItem(CDlgOperator::IDC_STATE)->isEnabled());
        ClickId(d, IDCANCEL);
    }));
    EXPECT_TRUE(StoredUser("root2"));
}

TEST_F(KeeperOperators, ListEdges) {
    StartAs("su", kSuPassword);
    CWndOperator& ops = Operators();
    const int users = ops.GetItemCount();
    ASSERT_EQ(link.SendUserListRequest(), 1);
    ASSERT_EQ(link.SendUserRoleListRequest(), 1);
    ASSERT_TRUE(WaitForLists());
    PumpFor(300ms);
    EXPECT_EQ(ops.GetItemCount(), users);
    ops.OnNotice(kNoticeAdded, 987654);
    EXPECT_EQ(ops.GetItemCount(), users);
    const int firstId = static_cast<int>(ops.GetItemData(0));
    ops.OnNotice(kNoticeRemoved, firstId);
    EXPECT_EQ(ops.GetItemCount(), users - 1);
    EXPECT_EQ(ops.FindItemData(firstId), -1);
    ops.clearSelection();
    EXPECT_EQ(ops.PopupIndex(), 1);
    EXPECT_EQ(ops.Menu(1)->actions().size(), 1);
    EXPECT_EQ(ops.Menu(1)->actions().front()->text(), "新建操作员");
    Roles().RoleList()->clearSelection();
    EXPECT_EQ(Roles().UserPopupIndex(), 1);
}

} // namespace
} // namespace keepertest
