// Server start-up in-process on a temporary VARNIA_HOME with a real catalogue file and storage
// root: the failure table through the prompt service, the settings and storage dialogs at start,
// the settings commands while a client is connected, and the order of exit.
#include "startup/CDlgDBConf.h"
#include "storeadmin/CDlgStorageRootAdmin.h"
#include "storeadmin/StorageDrives.h"
#include "startup/CMainFrame.h"
#include "startup/CServerConfig.h"
#include "startup/CServerHost.h"
#include "startup/CVarniaServer.h"
#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "model/CkxServer.h"
#include "model/CkxXXX.h"
#include "base/KxIni.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "support/TempDir.h"
#include "session/CListenServer.h"

#include <QCheckBox>
#include <QLineEdit>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A bound, listening socket on a free loopback port; closed when the object goes.
class TakenPort {
public:
    TakenPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        a.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 1);
        socklen_t n = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
    }
    ~TakenPort() { ::close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

int FreePort() {
    TakenPort p;
    return p.port();
}

// A plain TCP connection to the server (enough to be a connected client).
int ConnectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string ReadAll(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return out;
}

std::string Missing(const std::string& path) {
    return std::string("ACCESS 数据库文件(") + path + ") 不存在  ";
}

// The server with its main window as the host of its dialogs, shown, on a free port.
struct WindowedServer {
    WindowedServer() {
        server.SetHost(&frame);
        frame.SetServer(&server);
        server.SetPort(port);
        frame.show();
    }
    CMainFrame frame;
    CVarniaServer server;
    const int port = FreePort();
};

class StartupTest : public ::testing::Test {
public:
    void SetUp() override {
        kx::EnsureApplication();
        ::setenv("VARNIA_HOME", home.str().c_str(), 1);
        catalogue = home.file("Varnia.db");
        out = std::tmpfile();
    }
    void TearDown() override {
        ::unsetenv("VARNIA_HOME");
        if (out) std::fclose(out);
    }

    void MakeCatalogue(const std::string& path) {
        std::string error;
        ASSERT_EQ(kx::CreateSqliteCatalogue(path, "pw", error), 1) << error;
    }
    void MakeRoot(int id = 0) {
        const fs::path root = fs::path(home.str()) / ("KX_Storage_" + std::to_string(id));
        fs::create_directories(root);
        std::ofstream(root / "Conf") << "[BASE]\nID=" << id << "\n";
    }
    void WriteIni(int warn, int useDefault, const std::string& path) {
        kx::IniFile ini(home.file("VarniaServer.ini"));
        ini.SetString("SRV_INFO", "SRV_NAME", "图库一号");
        ini.SetString("SRV_INFO", "SRV_DEPT", "Archive");
        ini.SetInt("DB_CONF", "DB_WARN", warn);
        ini.SetInt("DB_CONF", "DB_DEFAULT", useDefault);
        ini.SetString("DB_CONF", "DB_SETPATH", path);
        ASSERT_TRUE(ini.Save());
    }
    // Everything a start needs: catalogue, root and an ini that asks nothing.
    void MakeReadyHome() {
        MakeCatalogue(catalogue);
        MakeRoot();
        WriteIni(0, 0, catalogue);
    }

    TempDir home;
    std::string catalogue;
    std::FILE* out = nullptr;
    std::shared_ptr<const StorageDriveSource> drives; // the machine's drives when null
};

// What start-up tells of the test's catalogue when it is damaged.
std::vector<std::string> DamagedCatalogueMessage(StartupTest& t) {
    std::string text = kx::kMsgDbDamaged;
    text.replace(text.find("%s"), 2, t.catalogue);
    return {text};
}

// The failure table: each situation shows its messages in order, and nothing stays running.
TEST_F(StartupTest, FailureTable) {
    struct Case {
        const char* name;
        std::function<void(StartupTest&)> prepare;
        std::function<std::vector<std::string>(StartupTest&)> texts;
        bool settingsAsked; // whether the settings dialog would have been shown
        bool takePort = false;
    };
    const std::vector<Case> cases = {
        {"no ini file: settings at start, empty path",
         [](StartupTest& t) { t.MakeRoot(); },
         [](StartupTest&) { return std::vector<std::string>{Missing(""), kx::kMsgDbOpenFailed}; },
         true},
        {"catalogue file missing",
         [](StartupTest& t) {
             t.MakeRoot();
             t.WriteIni(0, 0, t.home.file("gone.db"));
         },
         [](StartupTest& t) {
             return std::vector<std::string>{Missing(t.home.file("gone.db")), kx::kMsgDbOpenFailed};
         },
         true},
        {"DB_DEFAULT 1 looks for the default file whatever DB_SETPATH says",
         [](StartupTest& t) {
             t.MakeCatalogue(t.catalogue);
             t.MakeRoot();
             t.WriteIni(0, 1, t.catalogue);
         },
         [](StartupTest& t) {
             return std::vector<std::string>{Missing(t.home.file("Varnia.MDB")), kx::kMsgDbOpenFailed};
         },
         true},
        {"file that is no catalogue",
         [](StartupTest& t) {
             std::ofstream(t.catalogue) << "";
             t.MakeRoot();
             t.WriteIni(0, 0, t.catalogue);
         },
         [](StartupTest&) { return std::vector<std::string>{kx::kMsgDbOpenFailed}; },
         false},
        {"no storage root",
         [](StartupTest& t) {
             t.MakeCatalogue(t.catalogue);
             t.WriteIni(0, 0, t.catalogue);
         },
         [](StartupTest&) { return std::vector<std::string>{kx::kMsgNoStorage}; },
         false},
        {"catalogue with a damaged page",
         [](StartupTest& t) {
             t.MakeReadyHome();
             // The last page (a table or index of its own) overwritten: the file still opens.
             const auto size = fs::file_size(t.catalogue);
             ASSERT_GT(size, 8192u);
             std::fstream f(t.catalogue, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(static_cast<std::streamoff>(size - 4096));
             const std::string garbage(4096, '\x5A');
             f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
         },
         DamagedCatalogueMessage,
         false},
        {"catalogue whose keyword links, loaded at start, have a damaged page",
         [](StartupTest& t) {
             t.MakeReadyHome();
             // The check and the load both meet the damage: the catalogue is told as damaged.
             int32_t root = 0, pageSize = 0;
             {
                 CADODatabase db;
                 ASSERT_TRUE(db.OpenAccess(t.catalogue));
                 CADORecordset rs, ps;
                 ASSERT_TRUE(db.Query("SELECT rootpage FROM sqlite_master WHERE name = 'VUZO_KeywordLink'", rs));
                 ASSERT_FALSE(rs.IsEOF());
                 rs.GetLongAt(0, root);
                 ASSERT_TRUE(db.Query("PRAGMA page_size", ps));
                 ps.GetLongAt(0, pageSize);
             }
             ASSERT_GT(root, 1);
             std::fstream f(t.catalogue, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(static_cast<std::streamoff>(root - 1) * pageSize);
             const std::string garbage(static_cast<size_t>(pageSize), '\x5A');
             f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
         },
         DamagedCatalogueMessage,
         false},
        {"a storage root without the least free space",
         [](StartupTest& t) {
             t.MakeReadyHome();
             auto drives = std::make_shared<FolderDriveSource>();
             drives->Add('C', t.home.str(), 100000, 10); // 10 MB free
             t.drives = drives;
         },
         [](StartupTest&) { return std::vector<std::string>{kx::kMsgStorageTooSmall}; },
         false},
        {"port taken",
         [](StartupTest& t) { t.MakeReadyHome(); },
         [](StartupTest&) { return std::vector<std::string>{kx::kMsgListenFailed}; },
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        fs::remove_all(home.path());
        fs::create_directories(home.path());
        drives.reset();
        SetUp();
        c.prepare(*this);
        TakenPort taken;
        kx::PromptRecorder prompts;
        CTerminalHost terminal(out);
        CVarniaServer server;
        if (drives) server.GetDataManager().GetImageStorage().SetDriveSource(drives);
        server.SetHost(&terminal);
        server.SetPort(c.takePort ? taken.port() : FreePort());
        EXPECT_EQ(server.Start(), 0);
        EXPECT_EQ(prompts.Texts(), c.texts(*this));
        EXPECT_FALSE(server.IsRunning());
        EXPECT_EQ(server.GetListenPort(), 0);
        EXPECT_FALSE(server.GetDataManager().IsOpen());
        const std::string printed = ReadAll(out);
        EXPECT_EQ(printed.find("database settings would be asked") != std::string::npos,
                  c.settingsAsked)
            << printed;
    }
}

TEST_F(StartupTest, StartsListensLogsAndStopsInOrder) {
    MakeReadyHome();
    kx::PromptRecorder prompts;
    CTerminalHost terminal(out);
    CVarniaServer server;
    server.SetHost(&terminal);
    const int port = FreePort();
    server.SetPort(port);
    ASSERT_EQ(server.Start(), 1) << prompts.LastText();
    EXPECT_TRUE(prompts.Texts().empty());
    EXPECT_EQ(server.GetListenPort(), port);
    EXPECT_TRUE(server.GetListener()->IsServerThreadRunning());
    // The description from the ini reaches the record every session copies.
    EXPECT_EQ(server.GetListener()->m_Server.m_strName, "图库一号");
    EXPECT_EQ(server.GetListener()->m_Server.m_strDept, "Archive");
    {
        // The server is listening: its memory is read under the catalogue mutex.
        std::lock_guard lock(server.GetDataManager().CatalogueMutex());
        EXPECT_EQ(KX_KXXXX().GetDatabaseType(), KX_DB_SQLITE);
        EXPECT_EQ(KX_KXXXX().usIsValid("su"), 1);
    }

    CADORecordset rs;
    ASSERT_EQ(server.GetDataManager().GetDatabase().Query(
                  "SELECT T_Lev, T_Type, T_Event, T_DoUser FROM VUZO_Log", rs), 1);
    ASSERT_EQ(rs.GetRecordCount(), 1);
    std::string event;
    int32_t lev = 0, type = 0, user = 0;
    rs.GetString("T_Event", event);
    rs.GetLong("T_Lev", lev);
    rs.GetLong("T_Type", type);
    rs.GetLong("T_DoUser", user);
    EXPECT_EQ(event, "<> 启动服务器");
    EXPECT_EQ(lev, 1);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(user, -1);
    rs.Close();

    // A connected client is a session until exit ends it; exit closes the catalogue last.
    const int fd = ConnectTo(port);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 200 && server.GetClientCount() == 0; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(server.GetClientCount(), 1);
    server.Shutdown();
    EXPECT_EQ(server.GetClientCount(), 0);
    EXPECT_EQ(server.GetListenPort(), 0);
    EXPECT_FALSE(server.GetDataManager().IsOpen());
    EXPECT_LT(ConnectTo(port), 0); // nobody listens any more
    ::close(fd);
    server.Shutdown(); // a second exit is harmless
}

// Temporary files that a write cut short by a crash left in a root's staging folder are removed
// at start; stored files and names that only look alike stay.
TEST_F(StartupTest, LeftoverTemporaryFilesAreRemovedAtStart) {
    MakeReadyHome();
    const fs::path root = fs::path(home.str()) / "KX_Storage_0" / "File" / "Image";
    fs::create_directories(root / "Micro");
    fs::create_directories(root / "Whole");
    fs::create_directories(root / "Staging");
    const std::vector<fs::path> leftovers = {root / "Staging" / "17.tmp-AbC123", root / "Staging" / "17.jpg.tmp-XyZ789",
                                             root / "Staging" / "new.tmp-Q1w2E3"};
    const std::vector<fs::path> kept = {root / "Micro" / "5", root / "Whole" / "5.jpg", root / "Whole" / "6.tmp-x.jpg",
                                        root / "Staging" / "6.tmp-x.jpg"};
    for (const auto& p : leftovers) std::ofstream(p) << "half";
    for (const auto& p : kept) std::ofstream(p) << "whole";
    kx::PromptRecorder prompts;
    CTerminalHost terminal(out);
    CVarniaServer server;
    server.SetHost(&terminal);
    server.SetPort(FreePort());
    ASSERT_EQ(server.Start(), 1) << prompts.LastText();
    for (const auto& p : leftovers) EXPECT_FALSE(fs::exists(p)) << p;
    for (const auto& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
    server.Shutdown();
}

// With clients connected neither setting may change: the database dialog is refused and the
// storage dialog opens read-only.
TEST_F(StartupTest, SettingsCommandsRefusedWhileClientsAreConnected) {
    MakeReadyHome();
    kx::PromptRecorder prompts;
    CDialogHost dialogs;
    CVarniaServer server;
    server.SetHost(&dialogs);
    const int port = FreePort();
    server.SetPort(port);
    ASSERT_EQ(server.Start(), 1);
    const int fd = ConnectTo(port);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 200 && server.GetClientCount() == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(server.GetClientCount(), 1);

    const std::string iniBefore = kx::IniFile(home.file("VarniaServer.ini")).ToText();
    EXPECT_FALSE(server.DatabaseSettings());
    EXPECT_EQ(prompts.LastText(), kx::kMsgDbConfLocked);
    EXPECT_EQ(kx::IniFile(home.file("VarniaServer.ini")).ToText(), iniBefore);

    bool listEnabled = true;
    kx::ModalDriver driver;
    driver.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* dlg) {
        listEnabled = dlg->GetDlgItem(CDlgStorageRootAdmin::IDC_LIST_STORAGE)->isEnabled();
        kx::ClickId(dlg, kx::IDOK);
    });
    EXPECT_TRUE(server.StorageRoots());
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(listEnabled);
    EXPECT_EQ(prompts.Texts().back(), kx::kMsgStorageLocked);
    ::close(fd);
}

// The settings dialog at start (DB_WARN 1) names the catalogue; OK writes the three values back
// and the start goes on with them.
TEST_F(StartupTest, SettingsDialogAtStartSetsTheCatalogue) {
    MakeCatalogue(catalogue);
    MakeRoot();
    kx::PromptRecorder prompts;
    CDialogHost dialogs;
    CVarniaServer server;
    server.SetHost(&dialogs);
    server.SetPort(FreePort());
    kx::ModalDriver driver;
    driver.Then<CDlgDBConf>([&](CDlgDBConf* dlg) {
        EXPECT_TRUE(dlg->GetDlgItemAs<QCheckBox>(CDlgDBConf::IDC_CHECK_WARN)->isChecked());
        EXPECT_EQ(dlg->GetDlgItemAs<QLineEdit>(CDlgDBConf::IDC_EDIT_PATH)->text(), QString());
        dlg->GetDlgItemAs<QCheckBox>(CDlgDBConf::IDC_CHECK_WARN)->setChecked(false);
        dlg->GetDlgItemAs<QLineEdit>(CDlgDBConf::IDC_EDIT_PATH)->setText(QString::fromStdString(catalogue));
        kx::ClickId(dlg, kx::IDOK);
    });
    ASSERT_EQ(server.Start(), 1) << prompts.LastText();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(prompts.Texts().empty());
    CServerConfig saved(home.str());
    const KxDbConf conf = saved.GetDbConf();
    EXPECT_EQ(conf.nWarn, 0);
    EXPECT_EQ(conf.nDefault, 0);
    EXPECT_EQ(conf.strPath, catalogue);

    // Changed while running: stored, with the note that it counts from the next start.
    kx::ModalDriver again;
    again.Then<CDlgDBConf>([&](CDlgDBConf* dlg) {
        dlg->GetDlgItemAs<QCheckBox>(CDlgDBConf::IDC_CHECK_DEFAULT)->setChecked(true);
        EXPECT_FALSE(dlg->GetDlgItem(CDlgDBConf::IDC_EDIT_PATH)->isEnabled());
        kx::ClickId(dlg, kx::IDOK);
    });
    EXPECT_TRUE(server.DatabaseSettings());
    EXPECT_EQ(prompts.LastText(), kx::kMsgDbConfLater);
    EXPECT_EQ(CServerConfig(home.str()).GetDbConf().nDefault, 1);
}

// No root at start: the storage-root dialog opens; a root made there lets the start go on.
TEST_F(StartupTest, StorageDialogAtStartMakesARoot) {
    MakeCatalogue(catalogue);
    WriteIni(0, 0, catalogue);
    kx::PromptRecorder prompts;
    CDialogHost dialogs;
    CVarniaServer server;
    server.SetHost(&dialogs);
    server.SetPort(FreePort());
    kx::ModalDriver driver;
    driver.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* dlg) {
        EXPECT_EQ(server.GetDataManager().GetImageStorage().CreateRoot(0, "C:\\"), 1);
        kx::ClickId(dlg, kx::IDOK);
    });
    ASSERT_EQ(server.Start(), 1) << prompts.LastText();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(fs::is_directory(fs::path(home.str()) / "KX_Storage_0" / "File" / "Image" / "Whole"));
}

// The main window: its title, the close question (declining keeps the server and its clients),
// and the storage command's leave, which closes without asking again.
TEST_F(StartupTest, MainWindowAsksBeforeClosing) {
    MakeReadyHome();
    kx::PromptRecorder prompts;
    WindowedServer w;
    CMainFrame& frame = w.frame;
    CVarniaServer& server = w.server;
    ASSERT_EQ(server.Start(), 1);
    EXPECT_EQ(frame.windowTitle(), QString("Varnia Server"));
    const int fd = ConnectTo(w.port);
    for (int i = 0; i < 200 && server.GetClientCount() == 0; ++i) std::this_thread::sleep_for(10ms);

    prompts.Answer(kx::AnswerNo);
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(prompts.LastText(), CMainFrame::kAskClose);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(server.IsRunning());
    EXPECT_EQ(server.GetClientCount(), 1);

    prompts.Clear();
    frame.CloseWindow();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(prompts.Texts().empty());

    frame.show();
    prompts.Answer(kx::AnswerYes);
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(prompts.LastText(), CMainFrame::kAskClose);
    server.Shutdown();
    ::close(fd);
}

// The storage command on a running server: the last root deleted in the dialog, OK, and the
// person agrees to leave; the window closes without the close question. Declining keeps the
// dialog open, so the window stays.
TEST_F(StartupTest, StorageCommandWithoutARootLeavesOnlyWhenTheUserAgrees) {
    const std::string askExit = "不存在有效的存储节点,系统无法正常运行,即将退出!\n\n确定退出系统";
    MakeReadyHome();
    kx::PromptRecorder prompts;
    WindowedServer w;
    CMainFrame& frame = w.frame;
    CVarniaServer& server = w.server;
    ASSERT_EQ(server.Start(), 1);

    // No: the dialog stays open; the test then closes it (Cancel).
    kx::ModalDriver stay;
    stay.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* dlg) {
        EXPECT_EQ(server.GetDataManager().GetImageStorage().DeleteRoot(0), 1);
        prompts.Answer(kx::AnswerNo);
        kx::ClickId(dlg, kx::IDOK);
        EXPECT_TRUE(dlg->isVisible());
        static_cast<QDialog*>(dlg)->reject();
    });
    EXPECT_FALSE(server.StorageRoots());
    EXPECT_TRUE(stay.Done());
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{askExit});
    EXPECT_TRUE(frame.isVisible());

    prompts.Clear();
    kx::ModalDriver leave;
    leave.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* dlg) {
        prompts.Answer(kx::AnswerYes);
        kx::ClickId(dlg, kx::IDOK);
    });
    EXPECT_FALSE(server.StorageRoots());
    EXPECT_TRUE(leave.Done());
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{askExit});
    EXPECT_FALSE(frame.isVisible());
    server.Shutdown();
}

} // namespace
