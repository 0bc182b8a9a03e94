// The studio program's start-up and exit, its login dialog against the real server (checks,
// refusals, history, lock mode), its local storage set-up and the messages other threads post.
#include "studio/support/StudioTestKit.h"

#include "app/CVarniaStudioApp.h"
#include "dlg/CDlgLogin.h"
#include "frame/CMainFrame.h"
#include "base/KxProc.h"
#include "base/KxRegistry.h"
#include "model/CkxFamilyXXX.h"
#include "qt/KxLoginFields.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "transport/support/NetTestPeer.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace studiotest;
using namespace kx;

namespace {

class StudioApp : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        app.reset(); // the program's own application object takes the place of the fixture's
        SetAppName(CVarniaStudioApp::kAppName);
    }
    void Serve() {
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
        ::setenv("VARNIA_PORT", std::to_string(server->Port()).c_str(), 1);
        link = std::make_unique<TestStudioLink>();
    }
    RegistryStore Settings() { return RegistryStore(RegistryStore::DefaultPath()); }

    static void Fill(CDlgLogin* d, const std::string& address, const std::string& name, const std::string& password) {
        auto* ip = d->GetDlgItemAs<IpAddressCtrl>(CDlgLogin::IDC_ADDRESS);
        if (address.empty()) ip->ClearAddress();
        else {
            std::array<int, 4> n{};
            std::sscanf(address.c_str(), "%d.%d.%d.%d", &n[0], &n[1], &n[2], &n[3]);
            ip->SetAddress(n);
        }
        d->GetDlgItemAs<QComboBox>(CDlgLogin::IDC_NAME)->setEditText(QString::fromStdString(name));
        d->GetDlgItemAs<QLineEdit>(CDlgLogin::IDC_PASSWORD)->setText(QString::fromStdString(password));
    }
    static QPushButton* Login(CDlgLogin* d) { return d->GetDlgItemAs<QPushButton>(CDlgLogin::IDC_LOGIN); }

    // Starts the program with the login dialog driven by the step.
    bool Start(CVarniaStudioApp& studio, std::function<void(CDlgLogin*)> step) {
        ModalDriver driver(30000);
        driver.Then<CDlgLogin>(std::move(step));
        const bool started = studio.InitInstance();
        EXPECT_TRUE(driver.Done());
        return started;
    }
};

TEST_F(StudioApp, StartsLogsOnAndLogsOffOnce) {
    Serve();
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    PromptRecorder prompts;
    CVarniaStudioApp studio(*link);
    ASSERT_TRUE(Start(studio, [&](CDlgLogin* d) {
        Fill(d, "127.0.0.1", "alice", kAlicePassword);
        guitest::Screenshot(d, "CDlgLogin");
        // The address is one line, as tall as the name's box below it.
        EXPECT_LE(d->GetDlgItem(CDlgLogin::IDC_ADDRESS)->height(), d->GetDlgItem(CDlgLogin::IDC_NAME)->height() + 4);
        QTest::mouseClick(Login(d), Qt::LeftButton);
    }));
    CMainFrame* frame = studio.GetMainFrame();
    EXPECT_EQ(frame->PaneText(1), "服务器: 127.0.0.1");
    EXPECT_EQ(frame->PaneText(2), "登录者: alice");
    EXPECT_EQ(studio.GetLoggedInUser(), "alice");
    // Logged on: the log-on command has nothing left to do.
    ASSERT_NE(frame->FindCommand(32785), nullptr);
    EXPECT_FALSE(frame->FindCommand(32785)->isEnabled());
    uint32_t ip = 0;
    EXPECT_TRUE(Settings().ReadDword(CVarniaStudioApp::kRegistryKey, "SrvIP", ip));
    EXPECT_EQ(ip, 0x7F000001u);
    std::string text;
    EXPECT_TRUE(Settings().ReadString(CVarniaStudioApp::kRegistryKey, "User", text));
    EXPECT_EQ(text, "alice");
    EXPECT_TRUE(Settings().ReadString(CVarniaStudioApp::kRegistryKey, "Logor0", text));
    EXPECT_EQ(text, "alice");
    EXPECT_FALSE(Settings().ReadBinary(CVarniaStudioApp::kRegistryKey, "Password", text));
    ASSERT_TRUE(PumpUntil([&] {
        return KX_KXXXX().fsFind(Id("folder.top")) && KX_FamilyXXX().family_Find(Id("family.fam"));
    }));
    guitest::Screenshot(frame, "studio_after_startup");
    EXPECT_TRUE(frame->close()); // answered OK
    EXPECT_EQ(studio.ExitInstance(), 0);
    const auto logoff = su->Wait(kMsgSession, kSubLogoff);
    ASSERT_TRUE(logoff);
    EXPECT_EQ(logoff->AsInt(), Id("user.alice"));
    EXPECT_TRUE(su->Quiet(kMsgSession, kSubLogoff, 300ms));
}

TEST_F(StudioApp, CancelAtTheLoginEndsWithoutTraffic) {
    Serve();
    CVarniaStudioApp studio(*link);
    EXPECT_FALSE(Start(studio, [&](CDlgLogin* d) { QTest::mouseClick(d->GetDlgItemAs<QPushButton>(CDlgLogin::IDC_CANCEL), Qt::LeftButton); }));
    EXPECT_FALSE(link->IsRunning());
    EXPECT_EQ(studio.ExitInstance(), 0);
    EXPECT_FALSE(link->IsRunning());
}

TEST_F(StudioApp, LocalStorageIsSetUpOnceAndSharedSafely) {
    TempDir folder;
    const std::string root = folder.file("studio");
    std::filesystem::create_directories(root + "/Local_Storage/Temp/old");
    std::ofstream(root + "/Local_Storage/Temp/left.txt") << "x";
    CLocalStorage first;
    ASSERT_EQ(first.Init(root), 1);
    std::set<std::string> made;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root + "/Local_Storage"))
        if (e.is_directory()) made.insert(std::filesystem::relative(e.path(), root + "/Local_Storage").string());
    EXPECT_EQ(made, (std::set<std::string>{"CheckoutFile", "CaptureFile", "Temp", "Temp/DocFile"}));
    EXPECT_FALSE(first.IsSecondStudio());
    ASSERT_TRUE(first.CreateDocDir(3));

    // A second studio of the same user works in a scratch folder of its own.
    {
        CLocalStorage second;
        ASSERT_EQ(second.Init(root), 1);
        EXPECT_TRUE(second.IsSecondStudio());
        EXPECT_EQ(second.GetTempDir(), root + "/Local_Storage/Temp." + std::to_string(::getpid()));
        EXPECT_TRUE(std::filesystem::is_directory(first.DocDirOf(3)));
    }
    EXPECT_FALSE(std::filesystem::exists(root + "/Local_Storage/Temp." + std::to_string(::getpid())));
    EXPECT_TRUE(std::filesystem::is_directory(first.DocDirOf(3)));

    // A folder that cannot be made (a file stands where it would go).
    std::ofstream(folder.file("blocked")) << "a file";
    CLocalStorage blocked;
    EXPECT_EQ(blocked.Init(folder.file("blocked") + "/studio"), 0);
}

TEST_F(StudioApp, TheLoginDialogChecksItsFieldsAndReportsAServerItCannotReach) {
    link = std::make_unique<TestStudioLink>();
    PromptRecorder prompts;
    CVarniaStudioApp studio(*link);
    int deadPort = 0;
    {
        nettest::HandleListener gone;
        ASSERT_TRUE(gone.Start(0, "127.0.0.1"));
        deadPort = gone.GetPort();
    }
    ::setenv("VARNIA_PORT", std::to_string(deadPort).c_str(), 1);
    struct Row {
        const char* name;
        std::string address, logon, password;
        const char* message;
    };
    const Row rows[] = {
        {"no address", "", "alice", "pw", kLoginEnterAddress},
        {"no name", "127.0.0.1", "", "pw", kLoginEnterName},
        {"16 bytes", "127.0.0.1", "abcdefghijklmnop", "pw", kLoginNameTooLong},
        {"8 Chinese characters", "127.0.0.1", "八个汉字的名字呀", "pw", kLoginNameTooLong},
        {"no password", "127.0.0.1", "alice", "", kLoginEnterPassword},
        {"16-byte password", "127.0.0.1", "alice", "abcdefghijklmnop", kLoginPasswordTooLong},
        {"15 bytes each, nobody listening", "127.0.0.1", "abcdefghijklmno", "七个汉字的密码", kLoginConnectFailed},
    };
    CDlgLogin dlg(studio);
    ModalDriver driver(30000);
    driver.Then<CDlgLogin>([&](CDlgLogin* d) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            prompts.Clear();
            Fill(d, row.address, row.logon, row.password);
            QTest::mouseClick(Login(d), Qt::LeftButton);
            EXPECT_EQ(prompts.LastText(), row.message);
            EXPECT_TRUE(d->isVisible());
        }
        QTest::mouseClick(d->GetDlgItemAs<QPushButton>(CDlgLogin::IDC_CANCEL), Qt::LeftButton);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.Done());
    std::string text;
    EXPECT_FALSE(Settings().ReadString(CVarniaStudioApp::kRegistryKey, "User", text)); // nothing was sent
}

TEST_F(StudioApp, RefusalsKeepTheDialogOpenForAnotherTry) {
    Serve();
    auto bob = server->LogOn("bob", "bob-pw");
    ASSERT_NE(bob, nullptr);
    PromptRecorder prompts;
    CVarniaStudioApp studio(*link);
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"nobody", "x", "用户不存在"},        {"carol", "carol-pw", "用户被暂停"}, {"dave", "dave-pw", "用户被禁止"},
        {"alice", "wrong", "用户密码错误"},    {"bob", "bob-pw", "用户已经登录"},
    };
    ASSERT_TRUE(Start(studio, [&](CDlgLogin* d) {
        for (const auto& [name, password, text] : refused) {
            SCOPED_TRACE(name);
            prompts.Clear();
            Fill(d, "127.0.0.1", name, password);
            QTest::mouseClick(Login(d), Qt::LeftButton);
            ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
            EXPECT_EQ(prompts.LastText(), text);
            EXPECT_TRUE(d->isVisible());
            EXPECT_TRUE(Login(d)->isEnabled());
            EXPECT_EQ(studio.GetMainFrame()->PaneText(2), "登录者: ");
            EXPECT_EQ(studio.GetMainFrame()->PaneText(1), "服务器: ");
        }
        // The right one, pressed twice: one log-on goes.
        Fill(d, "127.0.0.1", "alice", kAlicePassword);
        QTest::mouseClick(Login(d), Qt::LeftButton);
        EXPECT_FALSE(Login(d)->isEnabled());
        QTest::mouseClick(Login(d), Qt::LeftButton);
    }));
    EXPECT_EQ(link->GetCurrentUserId(), Id("user.alice"));
    studio.ExitInstance();
}

TEST_F(StudioApp, TheHistoryPutsTheLatestNameFirstAndTheAddressComesBack) {
    Serve();
    CVarniaStudioApp studio(*link);
    studio.GetProfile().Reg_SetDefaultDir(CVarniaStudioApp::kRegistryKey);
    studio.WriteLoginHistory({"alice", "bob", "carol"});
    studio.GetProfile().Reg_Write(CDlgLogin::kSrvIP, static_cast<uint32_t>(0xC0A8010A));
    ASSERT_TRUE(Start(studio, [&](CDlgLogin* d) {
        EXPECT_EQ(d->GetDlgItemAs<IpAddressCtrl>(CDlgLogin::IDC_ADDRESS)->GetNumbers(), (std::array<int, 4>{192, 168, 1, 10}));
        EXPECT_EQ(d->GetDlgItemAs<QComboBox>(CDlgLogin::IDC_NAME)->count(), 3);
        Fill(d, "127.0.0.1", "bob", "bob-pw");
        QTest::mouseClick(Login(d), Qt::LeftButton);
    }));
    std::vector<std::string> names;
    studio.ReadLoginHistory(names);
    EXPECT_EQ(names, (std::vector<std::string>{"bob", "alice", "carol"}));
    studio.WriteLoginHistory({"a", "b", "c", "d", "e"});
    names.clear();
    studio.ReadLoginHistory(names);
    studio.WriteLoginHistory(PushLoginHistory(names, "f"));
    names.clear();
    studio.ReadLoginHistory(names);
    EXPECT_EQ(names, (std::vector<std::string>{"f", "a", "b", "c", "d"}));
    studio.ExitInstance();
}

TEST_F(StudioApp, LockModeLetsOnlyTheRightPasswordIn) {
    Serve();
    PromptRecorder prompts;
    CVarniaStudioApp studio(*link);
    ASSERT_TRUE(Start(studio, [&](CDlgLogin* d) {
        Fill(d, "127.0.0.1", "alice", kAlicePassword);
        QTest::mouseClick(Login(d), Qt::LeftButton);
    }));
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_UserList.Find(Id("user.alice")) != nullptr; }));
    auto lock = [&](std::function<void(CDlgLogin*)> step) {
        CDlgLogin dlg(studio);
        dlg.SetLockMode();
        ModalDriver driver(20000);
        driver.Then<CDlgLogin>(std::move(step));
        const int result = dlg.DoModal();
        EXPECT_TRUE(driver.Done());
        return result;
    };
    EXPECT_EQ(lock([&](CDlgLogin* d) {
        guitest::Screenshot(d, "CDlgLogin-lock-studio");
        EXPECT_FALSE(d->GetDlgItem(CDlgLogin::IDC_NAME)->isEnabled());
        QTest::keyClick(d, Qt::Key_Escape);
        d->close();
        QTest::mouseClick(d->GetDlgItemAs<QPushButton>(CDlgLogin::IDC_CANCEL), Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        d->GetDlgItemAs<QLineEdit>(CDlgLogin::IDC_PASSWORD)->setText("wrong");
        QTest::mouseClick(Login(d), Qt::LeftButton);
        EXPECT_EQ(prompts.LastText(), "用户密码错误");
        EXPECT_TRUE(d->isVisible());
        d->GetDlgItemAs<QLineEdit>(CDlgLogin::IDC_PASSWORD)->setText(kAlicePassword);
        QTest::mouseClick(Login(d), Qt::LeftButton);
    }), IDOK);
    // Without the user's record nothing proves who is at the keyboard: the studio stays locked.
    KX_KXXXX().m_UserList.Delete(Id("user.alice"));
    prompts.Clear();
    bool stayed = false;
    lock([&](CDlgLogin* d) {
        d->GetDlgItemAs<QLineEdit>(CDlgLogin::IDC_PASSWORD)->setText(kAlicePassword);
        QTest::mouseClick(Login(d), Qt::LeftButton);
        stayed = d->isVisible();
        EXPECT_EQ(prompts.LastText(), "用户密码错误");
        d->done(IDCANCEL); // the test's own way out
    });
    EXPECT_TRUE(stayed);
    studio.ExitInstance();
}

TEST_F(StudioApp, MessagesOfOtherThreadsFindTheirDocumentsById) {
    link = std::make_unique<TestStudioLink>();
    CVarniaStudioApp studio(*link);
    studio.SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); }, [](CvClientDoc&) { return new QWidget; }});
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = studio.OpenNewDoc();
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_RECYCLE);
    CvClientDoc* bin = studio.OpenNewDoc();
    auto file = [](int id) {
        auto* f = new CkxFileImage;
        f->m_nID = id;
        f->m_strTitle = "f";
        return f;
    };
    // A file for a document that has closed is freed by the handler (the sanitizer build checks).
    SendMessage(&studio, CVarniaStudioApp::WM_LOCAL_FILE, 999, reinterpret_cast<LPARAM>(file(-7)));
    SendMessage(&studio, CVarniaStudioApp::WM_LOCAL_FILE, local->GetDocID(), reinterpret_cast<LPARAM>(file(-8)));
    SendMessage(&studio, CVarniaStudioApp::WM_LOCAL_FILE, bin->GetDocID(), reinterpret_cast<LPARAM>(file(-8)));
    SendMessage(&studio, CVarniaStudioApp::WM_LOCAL_FILE, bin->GetDocID(), reinterpret_cast<LPARAM>(file(-9)));
    EXPECT_EQ(local->GetFileCount(), 1);
    EXPECT_EQ(bin->GetFileCount(), 2);
    SendMessage(&studio, CVarniaStudioApp::WM_BIN_REMOVE, -9, 0);
    EXPECT_EQ(bin->GetFileCount(), 1);
    EXPECT_EQ(local->GetFileCount(), 1);
    SendMessage(&studio, CVarniaStudioApp::WM_REMOVE_FILE, 0, -8);
    EXPECT_EQ(bin->GetFileCount(), 0);
    EXPECT_EQ(local->GetFileCount(), 0);
    studio.ExitInstance();
}

TEST_F(StudioApp, TheSingleInstanceGuardLetsOneHolderThrough) {
    TempDir runtime;
    const std::string old = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.str().c_str(), 1);
    {
        CSingleInstanceGuard first, second;
        EXPECT_EQ(first.CheckSingleInstance("VarniaStudio"), 1);
        EXPECT_EQ(second.CheckSingleInstance("VarniaStudio"), 0);
        EXPECT_EQ(first.GetPath(), runtime.str() + "/VarniaStudio.lock");
    }
    CSingleInstanceGuard later;
    EXPECT_EQ(later.CheckSingleInstance("VarniaStudio"), 1); // the first let go with its life
    if (old.empty()) ::unsetenv("XDG_RUNTIME_DIR");
    else ::setenv("XDG_RUNTIME_DIR", old.c_str(), 1);
}

} // namespace
