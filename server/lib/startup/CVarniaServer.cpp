#include "startup/CVarniaServer.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "table/CImageFileTable.h"
#include "session/CListenServer.h"
#include "model/CkxXXX.h"
#include "qt/KxDialog.h"
#include "qt/KxPrompt.h"
#include "transport/NetPort.h"
#include "service/OperationLog.h"
#include "service/RequestTable.h"
#include "log/ServerLog.h"

#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

namespace {

// The account and password of the catalogue server when its settings name none.
constexpr const char* kDefaultDbUser = "su";
constexpr const char* kDefaultDbPassword = "qz481";

bool IsCatalogueFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// The message with the path in place of its "%s" (the path is not a format).
std::string Format(const char* format, const std::string& arg) {
    const std::string_view f(format);
    const size_t at = f.find("%s");
    if (at == std::string_view::npos) return std::string(f);
    std::string out(f.substr(0, at));
    out += arg;
    out += f.substr(at + 2);
    return out;
}

bool AnyRootExists(const ZoZI_Storage& storage) {
    for (int i = 0; i < storage.GetCount(); ++i)
        if (storage.Exists(i)) return true;
    return false;
}

} // namespace

CVarniaServer::CVarniaServer(std::string dataFolder) : m_config(std::move(dataFolder)) {}

CVarniaServer::~CVarniaServer() { Shutdown(); }

QWidget* CVarniaServer::Window() const { return m_pHost ? m_pHost->GetWindow() : nullptr; }

int CVarniaServer::Fail(const std::string& message) {
    kx::ServerWarning("start-up failed: %s", message.c_str());
    kx::Prompt(Window(), message, kx::PromptOk, kx::PromptError);
    Shutdown();
    return 0;
}

int CVarniaServer::Start() {
    if (m_bRunning) return 1;
    CkxXXX& context = KX_KXXXX();

    // 1. Settings file; the description goes into the server record.
    m_config.Load();
    m_config.ApplyServerInfo(context.m_Server);
    kx::SetDriveMap(m_config.GetDriveMap());
    kx::ServerInfo("settings: %s", m_config.GetIniPath().c_str());

    // 2. The database settings at every start when asked for.
    if (m_config.GetDbConf().nWarn) DatabaseSettings();

    // 3. The catalogue file must exist; one more chance through the settings.
    std::string path = m_config.GetDatabasePath();
    if (!IsCatalogueFile(path)) {
        kx::Prompt(Window(), Format(kx::kMsgDbFileMissing, path), kx::PromptOk, kx::PromptWarning);
        DatabaseSettings();
        path = m_config.GetDatabasePath();
        if (!IsCatalogueFile(path)) return Fail(kx::kMsgDbOpenFailed);
    }

    // 4. A catalogue with a damaged page would open and then load half its lists: what start-up
    // reads (the schema, the planner's statistics and every table loaded into memory) is checked
    // before anything loaded is used or anything is written. The file and log tables, which grow
    // with use and are read a request at a time, are not: their pages would make the check grow
    // with the catalogue, and a damaged one fails the requests that reach it. The check runs on a
    // connection of its own beside the load, which only reads: a damaged catalogue is refused
    // after both, with nothing it loaded kept and nothing written to it.
    // The probe opens first, alone: an older catalogue is switched to write-ahead logging there,
    // which would wait for the load's reads if both opened at once.
    CADODatabase probe;
    // A file that does not open at all is told below, as any catalogue that cannot be opened.
    const bool probed = probe.OpenAccess(path);
    bool sound = true;
    std::string damage;
    std::thread check([&] { sound = !probed || probe.QuickCheck(damage, {"VUZO_FImage", "VUZO_Log"}); });

    // Open the catalogue and load it into memory.
    m_data.SetConnection("", path, kDefaultDbUser, kDefaultDbPassword);
    const bool opened = m_data.Open(KX_DB_SQLITE);
    check.join();
    probe.Close();
    if (!sound) {
        m_data.Close();
        kx::ServerWarning("catalogue %s failed its integrity check: %s", path.c_str(), damage.c_str());
        return Fail(Format(kx::kMsgDbDamaged, path));
    }
    if (!opened) {
        kx::ServerWarning("catalogue %s: %s", path.c_str(), m_data.GetLastError().c_str());
        return Fail(kx::kMsgDbOpenFailed);
    }
    kx::ServerInfo("catalogue: %s", path.c_str());
    // An older catalogue may lack the planner's statistics: gathered once, kept afterwards.
    m_data.GetDatabase().GatherStatistics(true);

    // 5. A usable storage root; one more chance through the storage-root dialog.
    CImageStorage& storage = m_data.GetImageStorage();
    storage.Prepare(kx::kStorageKindWord);
    if (!storage.HasUsableRoot()) {
        StorageRoots();
        storage.Scan();
        if (!storage.HasUsableRoot()) return Fail(AnyRootExists(storage) ? kx::kMsgStorageTooSmall : kx::kMsgNoStorage);
    }
    // Temporary files an interrupted write left behind are never part of a stored file; a new
    // file placed before a crash stays only when its row was committed. In doubt (a catalogue
    // that does not answer) the stored file stays.
    CADODatabase& db = m_data.GetDatabase();
    const std::string fileTable = CImageFileTable().GetTableName();
    const auto committed = [&](uint32_t id) {
        CADORecordset rs;
        if (!db.Query(" SELECT T_ID FROM " + fileTable + " WHERE T_ID = " + std::to_string(id) + " ", rs)) return true;
        return !rs.IsEOF();
    };
    for (const std::string& leftover : storage.RemoveLeftovers(committed))
        kx::ServerInfo("removed the unfinished file %s", leftover.c_str());

    // 6. Listen on every local address. Every new session takes a copy of the server record,
    // so it is in place before the first connection can be accepted.
    m_listener = std::make_unique<CServerListener>(&m_data, kx::RequestTable());
    m_listener->m_Server = context.m_Server;
    m_listener->SetLimits(m_config.GetLimits());
    const int port = m_nPort > 0 ? m_nPort : kx::ServicePort();
    if (!m_listener->Start(port, std::string())) return Fail(kx::kMsgListenFailed);

    // 7. The server thread ends the sessions of users who left.
    if (!m_listener->StartServerThread()) return Fail(kx::kMsgListenFailed);

    // 8. The start-up line of the operation log. Sessions may already be running handlers on
    // the one connection: the line is written under the catalogue mutex like theirs.
    {
        std::lock_guard lock(m_data.CatalogueMutex());
        WriteLog(&m_data.GetDatabase(), -1, "", kx::kLogServerStarted, KXLOG_CAT_OTHER);
    }
    kx::ServerInfo("listening on port %d", m_listener->GetPort());
    m_bRunning = true;
    return 1;
}

void CVarniaServer::Shutdown() {
    // Nothing may reach the catalogue once it is closed: the listener, the sessions and the
    // server thread stop first.
    if (m_listener) {
        m_listener->Shutdown();
        m_listener.reset();
    }
    m_data.Close();
    m_bRunning = false;
}

int CVarniaServer::GetClientCount() const {
    return m_listener ? m_listener->Sessions().GetCount() : 0;
}

int CVarniaServer::GetListenPort() const { return m_listener ? m_listener->GetPort() : 0; }

bool CVarniaServer::DatabaseSettings() {
    if (GetClientCount() > 0) {
        kx::Prompt(Window(), kx::kMsgDbConfLocked, kx::PromptOk, kx::PromptWarning);
        return false;
    }
    if (!m_pHost) return false;
    KxDbConf conf = m_config.GetDbConf();
    if (!m_pHost->EditDbConf(conf)) return false;
    if (!m_config.SaveDbConf(conf)) {
        kx::ServerWarning("the settings file %s could not be written", m_config.GetIniPath().c_str());
        return false;
    }
    if (m_bRunning) kx::Prompt(Window(), kx::kMsgDbConfLater, kx::PromptOk, kx::PromptInfo);
    return true;
}

bool CVarniaServer::StorageRoots() {
    CImageStorage& storage = m_data.GetImageStorage();
    int enable = 1;
    if (GetClientCount() > 0) {
        kx::Prompt(Window(), kx::kMsgStorageLocked, kx::PromptOk, kx::PromptWarning);
        enable = 0;
    }
    if (!m_pHost) return storage.HasUsableRoot() != 0;
    const int result = m_pHost->AdministerStorage(storage, enable);
    const bool usable = storage.HasUsableRoot() != 0;
    // The dialog closes with OK and no usable root only when the person agreed to leave.
    if (result == kx::IDOK && !usable && m_bRunning) m_pHost->CloseWindow();
    return usable;
}
