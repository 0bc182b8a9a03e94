// The login dialog in lock mode, run from the main window while logged on: only the administrator
// who is logged on passes, with the password of his own record in the user list; Escape and the
// close button leave the console covered. Run as su and as the system administrator, whose user
// list carries the other users' passwords zeroed and his own kept.
#include "console/support/KeeperTestKit.h"

#include "frame/CMainFrame.h"
#include "frame/KeeperCommands.h"
#include "model/CkxXXX.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxModalDriver.h"
#include "support/gui/Screenshot.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace keepertest {
namespace {

class KeeperLockTest : public KeeperTest {};

TEST_F(KeeperLockTest, OnlyTheAdministratorsOwnPasswordUnlocks) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    const struct {
        const char* admin;
        const char* password;
        const char* other;         // another account in the user list
        const char* otherPassword; // its password as the list holds it
    } admins[] = {
        {"su", kSuPassword, "alice", "alice-pw"},
        // The system administrator's role lacks user administration.
        {"sysop", kSysopPassword, "su", ""},
    };
    for (const auto& a : admins) {
        SCOPED_TRACE(a.admin);
        ResetContext();
        prompts.Clear();
        CKeeperApp app(link);
        ASSERT_TRUE(StartLoggedOn(app, a.admin, a.password));
        ASSERT_TRUE(WaitForLists());
        CkxUserList& users = KX_KXXXX().m_UserList;
        ASSERT_TRUE(users.Find(a.admin) && users.Find(a.other));
        EXPECT_EQ(users.Find(a.admin)->m_strPassword, a.password);
        EXPECT_EQ(users.Find(a.other)->m_strPassword, a.otherPassword);
        // What an accepted OK writes is seen anew.
        settings.Put("User", std::string("someone"));
        settings.Put("SrvIP", 0x0A000001u);

        kx::ModalDriver driver(30000);
        driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QStringLiteral("锁定管理器"));
            EXPECT_FALSE(AddressOf(dlg)->isEnabled());
            EXPECT_FALSE(NameOf(dlg)->isEnabled());
            EXPECT_FALSE(dlg->GetDlgItem(kx::IDCANCEL)->isVisible());
            EXPECT_EQ(qobject_cast<QAbstractButton*>(OkOf(dlg))->text(), QStringLiteral("进入系统"));
            // The name shown is the stored "User".
            EXPECT_EQ(NameOf(dlg)->currentText().toStdString(), "someone");
            EXPECT_TRUE(FocusIn(dlg, CDlgLogin::IDC_EDIT_PASSWORD));
            if (std::string(a.admin) == "su") guitest::Screenshot(dlg, "CDlgLogin-lock-keeper");

            const CkxUser own = *users.Find(a.admin);
            const struct {
                const char* what;
                std::string name, password;
                bool recordMissing;
                const char* text;
                int focus; // 0: not looked at (the name's combo is disabled, it takes no focus)
                std::string passwordAfter;
            } rows[] = {
                // The name is looked at before the password.
                {"another name", a.other, a.password, false, CDlgLogin::kNotTheAdministrator, 0,
                 a.password},
                {"wrong password", a.admin, "not-it", false, CDlgLogin::kWrongPassword,
                 CDlgLogin::IDC_EDIT_PASSWORD, ""},
                {"own record missing", a.admin, a.password, true, CDlgLogin::kWrongPassword,
                 CDlgLogin::IDC_EDIT_PASSWORD, ""},
            };
            for (const auto& row : rows) {
                SCOPED_TRACE(row.what);
                if (row.recordMissing) users.Delete(own.m_nID);
                Fill(dlg, "127.0.0.1", row.name, row.password);
                OkOf(dlg)->setFocus();
                const size_t before = prompts.Count();
                ASSERT_TRUE(PressOk(dlg, prompts));
                ASSERT_EQ(prompts.Count(), before + 1);
                EXPECT_EQ(prompts.LastText(), row.text);
                EXPECT_EQ(prompts.Requests().back().icon, kx::PromptWarning);
                if (row.focus) {
                    EXPECT_TRUE(FocusIn(dlg, row.focus));
                }
                EXPECT_EQ(PasswordOf(dlg)->text().toStdString(), row.passwordAfter);
                EXPECT_TRUE(dlg->isVisible());
                if (row.recordMissing) users.AddUser(own);
            }
            // Escape and the window's close button leave the console covered.
            const size_t before = prompts.Count();
            QTest::keyClick(dlg, Qt::Key_Escape);
            EXPECT_TRUE(dlg->isVisible());
            dlg->close();
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(prompts.Count(), before);
            EXPECT_EQ(settings.Text("User"), std::optional<std::string>("someone"));

            Fill(dlg, "127.0.0.1", a.admin, a.password);
            ASSERT_TRUE(PressOk(dlg, prompts));
            EXPECT_FALSE(dlg->isVisible());
        });
        app.GetMainFrame()->FindCommand(ID_APP_LOCK)->trigger();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(prompts.Count(), 3u);
        // Locking changes nothing of the session; the accepted OK wrote address and name.
        EXPECT_TRUE(app.IsLoggedIn());
        EXPECT_TRUE(app.GetMainFrame()->isVisible());
        EXPECT_EQ(link.GetCurrentUserId(), server.Id(std::string("user.") + a.admin));
        EXPECT_EQ(settings.Text("User"), std::optional<std::string>(a.admin));
        EXPECT_EQ(settings.Dword("SrvIP"), std::optional<uint32_t>(0x7F000001u));
        EXPECT_FALSE(settings.Has("Password"));
        app.ExitInstance();
    }
}

} // namespace
} // namespace keepertest
