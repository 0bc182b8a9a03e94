#include "console/support/ConsoleTestKit.h"

#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <filesystem>

namespace keepertest {

ConsoleServer::ConsoleServer(const std::string& address, int port, const std::vector<std::string>& extraOptions)
    : m_address(address) {
    m_driveC = m_dir.file("drive-c");
    m_driveE = m_dir.file("drive-e");
    std::filesystem::create_directories(m_driveC);
    std::filesystem::create_directories(m_driveE);
    std::vector<std::string> options = {"--console", "--log-day", "2021-03-04:3", "--log-day",
                                        "2021-03-09:2", "--drive", "C=" + m_driveC, "--drive",
                                        "E=" + m_driveE};
    options.insert(options.end(), {"--address", address, "--port", std::to_string(port)});
    options.insert(options.end(), extraOptions.begin(), extraOptions.end());
    m_bOk = m_process.Start(VARNIA_TESTSERVER_BIN, options, m_dir.str());
    if (!m_bOk) ADD_FAILURE() << m_process.Error();
}

std::unique_ptr<srvtest::TestClient> ConsoleServer::Connect() {
    auto client = std::make_unique<srvtest::TestClient>();
    if (client->Connect(Port(), m_address) != 1) {
        ADD_FAILURE() << "cannot connect to port " << Port();
        return nullptr;
    }
    return client;
}

std::unique_ptr<srvtest::TestClient> ConsoleServer::LogOn(const std::string& logon, const std::string& password) {
    auto client = Connect();
    if (!client) return nullptr;
    const int result = client->LogOn(logon, password);
    if (result != 0) {
        ADD_FAILURE() << "log-on of " << logon << " gave " << result;
        return nullptr;
    }
    return client;
}

void RecordingWindow::Watch(ConsoleLink& link, const std::vector<int>& types) {
    for (int type : types)
        link.Observe(type, this, [this, type](int notice, int id) { notices.push_back({type, notice, id}); });
    link.ObserveLogon(this, [this] { notices.push_back({0, 0, 0}); });
    link.ObserveUserListEnd(this, [this] { notices.push_back({kNoticeUserListEnd, kNoticeReload, 0}); });
}

int RecordingWindow::Count(const Notice& n) const {
    return static_cast<int>(std::count(notices.begin(), notices.end(), n));
}

int RecordingWindow::CountOf(int channel) const {
    return static_cast<int>(
        std::count_if(notices.begin(), notices.end(), [&](const Notice& n) { return n.channel == channel; }));
}

void RecordingWindow::closeEvent(QCloseEvent* event) {
    ++closes;
    QWidget::closeEvent(event);
}

CkxClient ConsoleClient(const std::string& logon, const std::string& password) {
    CkxClient client;
    client.Set_MS_Manager();
    client.m_strLogon = logon;
    client.m_strPassword = password;
    return client;
}

int LogOn(ConsoleLink& link, int port, const std::string& logon, const std::string& password,
          const std::string& address) {
    RecordingWindow dialog;
    int answers = 0;
    link.ObserveLogon(&dialog, [&answers] { ++answers; });
    if (!link.SendLogonRequest(port, address, ConsoleClient(logon, password))) return -100;
    if (!PumpUntil([&] { return answers > 0; })) return -101;
    return link.GetLogonResult();
}

void ResetContext() {
    CkxXXX& c = KX_KXXXX();
    c.m_UserList.DeleteAll();
    c.m_UserGroupList.DeleteAll();
    c.m_UserRoleList.DeleteAll();
    c.m_UserOnline.DeleteAll();
    c.m_FileRoleList.DeleteAll();
    c.m_FolderRoleList.DeleteAll();
    c.m_PersonList.DeleteAll();
    c.m_Server = CkxServer();
    c.m_HostInfo = CkxHostInfo();
    c.SetCurUser(-1);
    KX_LogList().DeleteAll();
}

ConsoleTest::ConsoleTest() { kx::EnsureApplication(); }

void ConsoleTest::SetUp() {
    ResetContext();
}

void ConsoleTest::TearDown() {
    // Calls a test's links left queued find their links gone.
    QCoreApplication::processEvents();
    ResetContext();
}

} // namespace keepertest
