// The Keeper program around its login: the stop with or without a log-off, the settings the
// dialog puts back and writes, the recent names after a log-on, and the commands of the menu.
#include "console/support/KeeperTestKit.h"

#include "app/CAboutDlg.h"
#include "frame/CMainFrame.h"
#include "frame/KeeperCommands.h"
#include "protocol/KxMessage.h"
#include "qt/KxIpAddressCtrl.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxModalDriver.h"
#include "support/FileBytes.h"
#include "support/gui/Screenshot.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

#include <filesystem>
#include <fstream>

namespace keepertest {

namespace {

using namespace kx;

class KeeperAppTest : public KeeperTest {
protected:
    // Starts the program with one dialog step and returns what the start-up said.
    bool Start(CKeeperApp& app, std::function<void(CDlgLogin*)> step) {
        kx::ModalDriver driver(20000);
        driver.Then<CDlgLogin>(std::move(step));
        const bool started = app.InitInstance();
        EXPECT_TRUE(driver.Done());
        return started;
    }
};

TEST_F(KeeperAppTest, CancelAfterARefusalEndsWithoutALogoff) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    auto watcher = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(watcher);
    // A refused log-on leaves the connection open; Cancel still ends the program.
    EXPECT_FALSE(Start(app(), [&](CDlgLogin* dlg) {
        Fill(dlg, "127.0.0.1", "nobody", "pw");
        ASSERT_TRUE(PressOk(dlg, prompts));
        EXPECT_EQ(prompts.LastText(), "用户不存在");
        kx::ClickId(dlg, kx::IDCANCEL);
    }));
    EXPECT_FALSE(app().GetMainFrame()->isVisible());
    EXPECT_FALSE(app().IsLoggedIn());
    // The request went, so address and name were written; no recent name, never a password.
    EXPECT_EQ(settings.Text("User"), std::optional<std::string>("nobody"));
    EXPECT_EQ(settings.Dword("SrvIP"), std::optional<uint32_t>(0x7F000001u));
    EXPECT_FALSE(settings.Has("Password"));
    EXPECT_TRUE(settings.RecentNames().empty());
    EXPECT_EQ(app().ExitInstance(), 0);
    EXPECT_FALSE(link.IsRunning());
    EXPECT_TRUE(watcher->Quiet(kMsgSession, kSubLogoff, 500ms));
}

TEST_F(KeeperAppTest, ExitAfterALogonSendsExactlyOneLogoff) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    auto watcher = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(watcher);
    ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
    ASSERT_TRUE(WaitForLists());
    CMainFrame* frame = app().GetMainFrame();
    frame->FindCommand(ID_APP_CLOSE)->trigger();
    ASSERT_TRUE(PumpUntil([&] { return !frame->isVisible(); }));
    EXPECT_EQ(app().ExitInstance(), 0);
    EXPECT_FALSE(link.IsRunning());
    const auto logoff = watcher->Wait(kMsgSession, kSubLogoff);
    ASSERT_TRUE(logoff);
    EXPECT_EQ(logoff->AsInt(), server.Id("user.su"));
    EXPECT_TRUE(watcher->Quiet(kMsgSession, kSubLogoff, 500ms));
    EXPECT_EQ(OnlineIds(*watcher), (std::vector<int>{server.Id("user.alice")}));
}

TEST_F(KeeperAppTest, StoredAddressNameAndRecentNamesComeBack) {
    const struct {
        const char* what;
        std::optional<uint32_t> stored;
        std::optional<std::array<int, 4>> shown; // nothing: the address stays blank
    } rows[] = {
        {"192.168.1.20", 0xC0A80114u, std::array<int, 4>{192, 168, 1, 20}},
        {"first number 128 or more", 0x80000001u, std::array<int, 4>{128, 0, 0, 1}},
        {"-1", 0xFFFFFFFFu, std::nullopt},
        {"0", 0u, std::nullopt},
        {"missing", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(config.file("varnia/Keeper.ini"));
        if (row.stored) settings.Put("SrvIP", *row.stored);
        settings.Put("User", std::string("carol"));
        // Recent names with gaps come back in stored order.
        settings.Put("Logor0", std::string("dave"));
        settings.Put("Logor2", std::string("bob"));
        settings.Put("Logor4", std::string("alice"));
        CKeeperApp keeper(link);
        EXPECT_FALSE(Start(keeper, [&](CDlgLogin* dlg) {
            kx::IpAddressCtrl* ip = AddressOf(dlg);
            if (row.shown) {
                EXPECT_EQ(ip->GetNumbers(), *row.shown);
            } else {
                EXPECT_TRUE(ip->IsBlank());
            }
            QComboBox* names = NameOf(dlg);
            EXPECT_EQ(names->currentText(), QStringLiteral("carol"));
            ASSERT_EQ(names->count(), 3);
            EXPECT_EQ(names->itemText(0), QStringLiteral("dave"));
            EXPECT_EQ(names->itemText(1), QStringLiteral("bob"));
            EXPECT_EQ(names->itemText(2), QStringLiteral("alice"));
            EXPECT_TRUE(PasswordOf(dlg)->text().isEmpty());
            EXPECT_TRUE(FocusIn(dlg, CDlgLogin::IDC_EDIT_PASSWORD));
            kx::ClickId(dlg, kx::IDCANCEL);
        }));
        keeper.ExitInstance();
    }
}

TEST_F(KeeperAppTest, RecentNamesAfterALogon) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    using Names = std::map<int, std::string>;
    const struct {
        const char* what;
        Names stored, after;
    } rows[] = {
        {"the sixth distinct name drops the oldest", {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {4, "e"}},
         {{0, "sysop"}, {1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}}},
        {"the name moves to the head, no duplicate", {{0, "a"}, {1, "sysop"}, {2, "b"}},
         {{0, "sysop"}, {1, "a"}, {2, "b"}}},
        // Gaps close up; a value beyond the new list's length stays as it was.
        {"values beyond the list are left", {{0, "x"}, {3, "y"}}, {{0, "sysop"}, {1, "x"}, {2, "y"}, {3, "y"}}},
        {"none stored", {}, {{0, "sysop"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(config.file("varnia/Keeper.ini"));
        for (const auto& [i, name] : row.stored) settings.Put("Logor" + std::to_string(i), name);
        CKeeperApp keeper(link);
        ASSERT_TRUE(StartLoggedOn(keeper, "sysop", kSysopPassword));
        EXPECT_EQ(settings.RecentNames(), row.after);
        EXPECT_EQ(settings.Text("User"), std::optional<std::string>("sysop"));
        EXPECT_EQ(settings.Dword("SrvIP"), std::optional<uint32_t>(0x7F000001u));
        EXPECT_FALSE(settings.Has("Password"));
        keeper.ExitInstance();
    }
}

TEST_F(KeeperAppTest, MenuCommands) {
    ConsoleServer& server = Serve();
    ASSERT_TRUE(server.Ok());
    ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
    CMainFrame* frame = app().GetMainFrame();

    // Tool bar and status bar go and come back, their menu items checked as they are.
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        SCOPED_TRACE(id);
        QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(frame->GetToolBar()) : frame->statusBar();
        QAction* item = frame->FindCommand(id);
        ASSERT_TRUE(item);
        EXPECT_TRUE(bar->isVisible());
        item->trigger();
        EXPECT_FALSE(bar->isVisible());
        EXPECT_FALSE(item->isChecked());
        item->trigger();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(item->isChecked());
    }

    // The manual beside the program goes to the desktop's opener; when no program opens it, a
    // message names the manual and the opener; "not found" is said only of a missing manual.
    {
        namespace fs = std::filesystem;
        const std::string manual = CKeeperApp::GetManualPath();
        EXPECT_TRUE(manual.ends_with("/Keeper.html"));
        const bool made = !fs::exists(manual);
        if (made) std::ofstream(manual) << "<html></html>";
        TempDir bin;
        const std::string opened = bin.file("opened");
        const std::string noProgram = CkxwFileSystem::NoProgramText(manual, CkxwFileSystem::kOpenProgram);
        struct Case {
            const char* what;
            std::string opener; // the script on PATH as "xdg-open"; empty: none
            std::string message;
        };
        const Case cases[] = {
            {"an opener that opens", "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened + "'\n", ""},
            {"an opener that finds no program", "#!/bin/sh\nexit 3\n", noProgram},
            {"no opener at all", "", noProgram},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const std::string script = bin.file(CkxwFileSystem::kOpenProgram);
            fs::remove(script);
            if (!c.opener.empty()) {
                std::ofstream(script) << c.opener;
                fs::permissions(script, fs::perms::owner_all);
            }
            ScopedEnv path("PATH", bin.str());
            prompts.Clear();
            frame->FindCommand(ID_HELP_FINDER)->trigger();
            if (c.message.empty()) {
                ASSERT_TRUE(PumpUntil([&] { return fs::exists(opened); }));
                guitest::PumpFor(300ms);
                EXPECT_EQ(FileBytes(opened), manual);
                EXPECT_EQ(prompts.Count(), 0u);
            } else {
                ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
                EXPECT_EQ(prompts.LastText(), c.message);
            }
        }
        if (made) {
            fs::remove(manual);
            prompts.Clear();
            frame->FindCommand(ID_HELP_FINDER)->trigger();
            EXPECT_EQ(prompts.LastText(), std::string(CKeeperApp::kManualMissing) + ": " + manual);
        }
    }

    kx::ModalDriver driver;
    driver.Then<CAboutDlg>([&](CAboutDlg* about) {
        auto* text = about->GetDlgItemAs<QLabel>(CAboutDlg::IDC_ABOUT_TEXT);
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->text().startsWith(QStringLiteral("Keeper")));
        guitest::Screenshot(about, "CAboutDlg");
        kx::ClickId(about, kx::IDOK);
    });
    frame->FindCommand(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(frame->isVisible());
    app().ExitInstance();
}

} // namespace
} // namespace keepertest
