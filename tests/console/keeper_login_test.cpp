// The login dialog in login mode, end to end against the test server program: the refusals and
// the log-on that opens the program, the field checks that keep every request back, a refused
// log-on followed by one to a second server, and one log-on however often OK is pressed.
#include "console/support/KeeperTestKit.h"

#include "frame/CMainFrame.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxEdit.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxLoginFields.h"
#include "qt/KxModalDriver.h"
#include "support/gui/Screenshot.h"
#include "transport/support/NetTestPeer.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

namespace keepertest {
namespace {

using namespace kx;

class KeeperLoginTest : public KeeperTest {};

TEST_F(KeeperLoginTest, RefusalsKeepTheDialogOpenAndASuccessOpensTheProgram) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    // su is on line elsewhere; the roles, groups and lists the console asks for all exist.
    auto su = server.LogOn("su", kSuPassword);
    ASSERT_TRUE(su && SeedAdministration(*su));
    RecordingWindow lists;
    lists.Watch(link, {kMsgUserRole, kMsgUserGroup, kMsgFileRole, kMsgFolderRole, kMsgUser, kMsgSession});

    const struct {
        const char* name;
        const char* password;
        int result;
    } refusals[] = {
        {"su", kSuPassword, kLogonAlreadyOnline},   {"alice", "alice-pw", kLogonNoRight},
        {"nobody", "x", kLogonNoSuchUser},          {"sysop-paused", "paused-pw", kLogonPaused},
        {"sysop-off", "off-pw", kLogonInvalid},     {"sysop", "not-it", kLogonWrongPassword},
    };
    kx::ModalDriver driver(30000);
    driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
        CMainFrame* frame = app().GetMainFrame();
        ASSERT_TRUE(frame);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("登录服务器"));
        EXPECT_FALSE(frame->isVisible());
        for (const auto& row : refusals) {
            SCOPED_TRACE(row.name);
            frame->SetLoginPane("登录者: old");
            frame->SetServerPane("服务器: old");
            Fill(dlg, "127.0.0.1", row.name, row.password);
            const size_t before = prompts.Count();
            ASSERT_TRUE(PressOk(dlg, prompts));
            ASSERT_EQ(prompts.Count(), before + 1);
            EXPECT_EQ(prompts.LastText(), CDlgLogin::RefusalText(row.result));
            EXPECT_EQ(prompts.Requests().back().icon, kx::PromptWarning);
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_TRUE(OkOf(dlg)->isEnabled());
            EXPECT_EQ(frame->GetLoginPane(), QStringLiteral("登录者: "));
            EXPECT_EQ(frame->GetServerPane(), QStringLiteral("服务器: "));
        }
        EXPECT_TRUE(settings.RecentNames().empty());
        Fill(dlg, "127.0.0.1", "sysop", kSysopPassword);
        guitest::Screenshot(dlg, "CDlgLogin-login");
        ASSERT_TRUE(PressOk(dlg, prompts));
        EXPECT_FALSE(dlg->isVisible());
    });
    ASSERT_TRUE(app().InitInstance());
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(prompts.Count(), std::size(refusals));

    CMainFrame* frame = app().GetMainFrame();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(app().IsLoggedIn());
    EXPECT_EQ(app().GetAdminName(), "sysop");
    EXPECT_EQ(frame->GetLoginPane(), QStringLiteral("登录者: sysop"));
    EXPECT_EQ(frame->GetServerPane(), QStringLiteral("服务器: 127.0.0.1"));
    EXPECT_EQ(settings.RecentNames(), (std::map<int, std::string>{{0, "sysop"}}));

    // Every list arrives; the user list ends after the roles it is read against.
    ASSERT_TRUE(PumpUntil([&] {
        for (int type : {kMsgUserRole, kMsgUserGroup, kMsgFileRole, kMsgFolderRole, kMsgUser, kMsgSession})
            if (lists.Count({type, kNoticeReload, 0}) != 1) return false;
        return !KX_KXXXX().m_Server.m_strName.empty();
    }));
    std::vector<int> order;
    for (const Notice& n : lists.notices)
        if (n.channel != 0 && n.channel != kMsgUserGroup) order.push_back(n.channel);
    EXPECT_EQ(order, (std::vector<int>{kMsgUserRole, kMsgFileRole, kMsgFolderRole, kMsgUser,
                                       kNoticeUserListEnd, kMsgSession}));
    const CkxXXX& c = KX_KXXXX();
    EXPECT_EQ(c.m_UserList.GetCount(), 8);
    EXPECT_EQ(c.m_UserGroupList.GetCount(), 1);
    EXPECT_EQ(c.m_FileRoleList.GetCount(), 1);
    EXPECT_EQ(c.m_FolderRoleList.GetCount(), 1);
    EXPECT_TRUE(c.m_UserOnline.IsValid(server.Id("user.sysop")));
    guitest::Screenshot(frame, "CMainFrame-logged-on");
    app().ExitInstance();
}

TEST_F(KeeperLoginTest, FieldChecksKeepEveryRequestBack) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    auto watcher = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(watcher);
    const std::string name15 = "张三abcdefghijk", name16 = "张三abcdefghijkl";
    const std::string password15 = "密码abcdefghijk", password16 = "密码abcdefghijkl";
    const struct {
        const char* what;
        std::string address, name, password;
        const char* text;
        int focus;                  // the control given the focus; 0: not looked at
        std::string nameAfter, passwordAfter;
    } rows[] = {
        {"address 0.0.0.0", "0.0.0.0", "sysop", "pw", kLoginEnterAddress, CDlgLogin::IDC_IPADDRESS, "sysop", "pw"},
        {"blank address", "", "sysop", "pw", kLoginEnterAddress, CDlgLogin::IDC_IPADDRESS, "sysop", "pw"},
        {"empty name", "127.0.0.1", "", "pw", kLoginEnterName, CDlgLogin::IDC_COMBO_USER, "", "pw"},
        {"name of 16 bytes", "127.0.0.1", "abcdefghijklmnop", "pw", kLoginNameTooLong,
         CDlgLogin::IDC_COMBO_USER, "", "pw"},
        {"name of 16 bytes, two of them Chinese", "127.0.0.1", name16, "pw", kLoginNameTooLong,
         CDlgLogin::IDC_COMBO_USER, "", "pw"},
        // A name of 15 bytes passes: the next check speaks.
        {"name of 15 bytes", "127.0.0.1", "abcdefghijklmno", "", kLoginEnterPassword,
         CDlgLogin::IDC_EDIT_PASSWORD, "abcdefghijklmno", ""},
        {"name of 15 bytes, two of them Chinese", "127.0.0.1", name15, "", kLoginEnterPassword,
         CDlgLogin::IDC_EDIT_PASSWORD, name15, ""},
        {"password of 16 bytes", "127.0.0.1", "sysop", "abcdefghijklmnop", kLoginPasswordTooLong,
         CDlgLogin::IDC_EDIT_PASSWORD, "sysop", ""},
        {"password of 16 bytes, two of them Chinese", "127.0.0.1", "sysop", password16,
         kLoginPasswordTooLong, CDlgLogin::IDC_EDIT_PASSWORD, "sysop", ""},
        // A password of 15 bytes passes every check; nobody listens on that address.
        {"password of 15 bytes", "127.0.0.3", "sysop", password15, CDlgLogin::kConnectFailed, 0,
         "sysop", password15},
    };
    kx::ModalDriver driver(30000);
    driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            Fill(dlg, row.address, row.name, row.password);
            OkOf(dlg)->setFocus();
            const size_t before = prompts.Count();
            ASSERT_TRUE(PressOk(dlg, prompts));
            ASSERT_EQ(prompts.Count(), before + 1);
            EXPECT_EQ(prompts.LastText(), row.text);
            EXPECT_EQ(prompts.Requests().back().icon,
                      row.focus ? kx::PromptWarning : kx::PromptError);
            if (row.focus) {
                EXPECT_TRUE(FocusIn(dlg, row.focus));
            }
            EXPECT_EQ(NameOf(dlg)->currentText().toStdString(), row.nameAfter);
            EXPECT_EQ(PasswordOf(dlg)->text().toStdString(), row.passwordAfter);
            EXPECT_TRUE(OkOf(dlg)->isEnabled());
            EXPECT_TRUE(dlg->isVisible());
        }
        // A character with no GBK form is refused as it is typed, in the name and the password.
        for (QLineEdit* edit : {NameOf(dlg)->lineEdit(), static_cast<QLineEdit*>(PasswordOf(dlg))}) {
            edit->clear();
            const size_t before = prompts.Count();
            QTest::keyClicks(edit, QStringLiteral("ab"));
            QInputMethodEvent typed;
            typed.setCommitString(QStringLiteral("한"));
            QApplication::sendEvent(edit, &typed);
            EXPECT_EQ(edit->text(), QStringLiteral("ab"));
            ASSERT_EQ(prompts.Count(), before + 1);
            EXPECT_EQ(prompts.LastText(), kx::kNoGbkForm);
        }
        kx::ClickId(dlg, kx::IDCANCEL);
    });
    EXPECT_FALSE(app().InitInstance());
    EXPECT_TRUE(driver.Done());
    // No request reached the server, and nothing was written.
    EXPECT_EQ(OnlineIds(*watcher), (std::vector<int>{server.Id("user.alice")}));
    EXPECT_FALSE(settings.Has("SrvIP"));
    EXPECT_FALSE(settings.Has("User"));
}

TEST_F(KeeperLoginTest, RefusedThenSecondServerAndOneLogonPerPress) {
    ConsoleServer first("127.0.0.1");
    ASSERT_TRUE(first.Ok());
    ConsoleServer second("127.0.0.2", first.Port());
    ASSERT_TRUE(second.Ok());
    UseServer(first);
    auto watcher1 = first.LogOn("alice", "alice-pw");
    auto watcher2 = second.LogOn("alice", "alice-pw");
    ASSERT_TRUE(watcher1 && watcher2);

    kx::ModalDriver driver(30000);
    driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
        Fill(dlg, "127.0.0.1", "su", "not-it");
        kx::ClickId(dlg, kx::IDOK);
        // Pressed again (button and Enter) while the answer is awaited: nothing more goes.
        EXPECT_FALSE(OkOf(dlg)->isEnabled());
        EXPECT_TRUE(dlg->IsWaiting());
        kx::ClickId(dlg, kx::IDOK);
        QTest::keyClick(dlg, Qt::Key_Return);
        ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
        PumpFor(300ms);
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"用户密码错误"}));
        EXPECT_TRUE(OkOf(dlg)->isEnabled());

        Fill(dlg, "127.0.0.2", "su", kSuPassword);
        ASSERT_TRUE(PressOk(dlg, prompts));
        EXPECT_FALSE(dlg->isVisible());
    });
    ASSERT_TRUE(app().InitInstance());
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(app().GetMainFrame()->GetServerPane(), QStringLiteral("服务器: 127.0.0.2"));
    EXPECT_EQ(settings.Dword("SrvIP"), std::optional<uint32_t>(0x7F000002u));
    EXPECT_EQ(settings.Text("User"), std::optional<std::string>("su"));
    // The second server has the console's su on line; the first no longer has the console.
    EXPECT_EQ(Sorted(OnlineIds(*watcher2)), Sorted({second.Id("user.alice"), second.Id("user.su")}));
    EXPECT_TRUE(PumpUntil([&] { return OnlineIds(*watcher1) == std::vector<int>{first.Id("user.alice")}; }));
    app().ExitInstance();
}

TEST_F(KeeperLoginTest, ConnectionEndingBeforeTheAnswerGivesOkBack) {
    // A peer that takes the log-on and hangs up without answering.
    nettest::HandleListener listener;
    ASSERT_TRUE(listener.Start(0, "127.0.0.1"));
    std::optional<ScopedEnv> portEnv;
    portEnv.emplace("VARNIA_PORT", std::to_string(listener.GetPort()));
    nettest::RecordingConnection peer;
    kx::ModalDriver driver(30000);
    driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
        Fill(dlg, "127.0.0.1", "su", kSuPassword);
        kx::ClickId(dlg, kx::IDOK);
        EXPECT_FALSE(OkOf(dlg)->isEnabled());
        const int handle = listener.TakeHandle();
        ASSERT_GE(handle, 0);
        peer.Attach(handle);
        ASSERT_EQ(peer.StartThreads(), 1);
        ASSERT_TRUE(peer.WaitForCount(1));
        EXPECT_EQ(peer.Items()[0].type, kMsgSession);
        EXPECT_EQ(peer.Items()[0].subOp, kSubLogon);
        peer.StopAndClose();
        ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{CDlgLogin::kConnectFailed}));
        EXPECT_EQ(prompts.Requests().back().icon, kx::PromptError);
        EXPECT_TRUE(OkOf(dlg)->isEnabled());
        EXPECT_TRUE(dlg->isVisible());
        kx::ClickId(dlg, kx::IDCANCEL);
    });
    EXPECT_FALSE(app().InitInstance());
    EXPECT_TRUE(driver.Done());
    app().ExitInstance();
}

} // namespace
} // namespace keepertest
