#include "server/support/TestServer.h"

#include "service/RequestTable.h"

#include "db/AdoFieldList.h"
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "model/CkxXXX.h"
#include "base/KxIni.h"
#include "storeadmin/StorageDrives.h"
#include "log/ServerLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace srvtest {

namespace {

int AddRole(CADODatabase& db, const std::string& name, int power) {
    CADOFieldList role;
    role.AddText("T_Name", name);
    role.AddInt("T_IsSystem", 0);
    role.AddInt("T_Type", 1);
    role.AddInt("T_Power", power);
    role.AddText("T_Remark", "");
    return db.Insert("VUZO_UserRole", role);
}

int AddUser(CADODatabase& db, const std::string& logon, const std::string& password, int state,
            int role) {
    CADOFieldList user;
    user.AddText("T_Logon", logon);
    user.AddText("T_User", logon);
    user.AddText("T_Password", password);
    user.AddInt("T_State", state);
    user.AddInt("T_Role", role);
    for (const char* col : {"T_Dept", "T_Job", "T_Tel", "T_Mobile", "T_EMail", "T_Remark"})
        user.AddText(col, "");
    return db.Insert("VUZO_User", user);
}

} // namespace

TestServer::TestServer() { m_bOk = Build(); }

TestServer::~TestServer() {
    if (m_server) m_server->Shutdown();
    m_server.reset();
    m_data.reset();
}

bool TestServer::Build() {
    m_catalogue = m_dir.file("catalogue.db");
    std::string error;
    if (!kx::CreateSqliteCatalogue(m_catalogue, kAdminPassword, error)) {
        ADD_FAILURE() << "catalogue: " << error;
        return false;
    }
    {
        CADODatabase seed;
        if (!seed.OpenAccess(m_catalogue) || !Seed(seed)) {
            ADD_FAILURE() << "seeding: " << seed.GetLastError();
            return false;
        }
    }

    // Storage root 0 on drive C, a folder of the temporary directory.
    const std::string drive = m_dir.file("C");
    m_root = drive + "/KX_Storage_0";
    fs::create_directories(m_root);
    kx::WritePrivateProfileString("BASE", "ID", "0", m_root + "/Conf");
    auto drives = std::make_shared<FolderDriveSource>();
    drives->Add('C', drive, 100000, 50000);

    m_data = std::make_unique<CDataManager>();
    m_data->GetImageStorage().SetDriveSource(drives);
    if (!m_data->GetImageStorage().Prepare("KX")) {
        ADD_FAILURE() << "no storage root";
        return false;
    }
    m_data->GetImageStorage().CreateRootFolders(0);
    m_data->SetConnection("", m_catalogue, "", "");
    if (!m_data->Open(KX_DB_SQLITE)) {
        ADD_FAILURE() << "open: " << m_data->GetLastError();
        return false;
    }

    m_server = std::make_unique<CServerListener>(m_data.get(), kx::RequestTable());
    m_server->m_Server.m_strName = "varnia-test";
    m_server->m_Server.m_strAddr = "127.0.0.1";
    m_server->m_Server.m_strDept = "测试部";
    m_server->m_Server.m_strRemark = "loopback";
    m_server->SetLimits(TestLimits());
    if (!m_server->Start(0, "127.0.0.1") || !m_server->StartServerThread()) {
        ADD_FAILURE() << "the server did not start";
        return false;
    }
    m_nPort = m_server->GetPort();
    return true;
}

bool TestServer::Seed(CADODatabase& db) {
    m_nOperatorRole = AddRole(db, "操作员", kOperatorPower);
    if (m_nOperatorRole <= 0) return false;
    const struct {
        const char* logon;
        const char* password;
        int state;
    } users[] = {
        {"alice", "alice-pw", CkxUser::STATE_ACT},
        {"bob", "bob-pw", CkxUser::STATE_ACT},
        {"carol", "carol-pw", CkxUser::STATE_PAUSE},
        {"dave", "dave-pw", CkxUser::STATE_INV},
    };
    for (const auto& u : users)
        if (AddUser(db, u.logon, u.password, u.state, m_nOperatorRole) <= 0) return false;
    return true;
}

int TestServer::UserId(const std::string& logon) const {
    std::lock_guard lock(m_data->CatalogueMutex());
    return KX_KXXXX().m_UserList.GetID(logon);
}

std::unique_ptr<TestClient> TestServer::Connect() {
    auto client = std::make_unique<TestClient>();
    if (!client->Open(m_nPort)) {
        ADD_FAILURE() << "cannot connect to port " << m_nPort;
        return nullptr;
    }
    return client;
}

std::unique_ptr<TestClient> TestServer::LogOn(const std::string& logon, const std::string& password) {
    auto client = Connect();
    if (!client) return nullptr;
    const int result = client->LogOn(logon, password);
    if (result != 0) {
        ADD_FAILURE() << "log-on of " << logon << " gave " << result;
        return nullptr;
    }
    return client;
}

bool TestServer::WaitForSessions(int n, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (m_server->Sessions().GetCount() != n) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

ServerWarnings::ServerWarnings() {
    m_previous = kx::SetServerLogSink([this](kx::ServerLogLevel level, const std::string& line) {
        if (level != kx::ServerLogLevel::Warning) return;
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    });
}

ServerWarnings::~ServerWarnings() { kx::SetServerLogSink(std::move(m_previous)); }

std::vector<std::string> ServerWarnings::Lines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

} // namespace srvtest
