#include "startup/CServerConfig.h"

#include "model/CkxServer.h"

#include "transport/NetMessage.h"

#include <algorithm>
#include <filesystem>

CServerConfig::CServerConfig(std::string dataFolder) : m_strDataFolder(std::move(dataFolder)) {
    Load();
}

bool CServerConfig::Load() {
    return m_ini.Load((std::filesystem::path(m_strDataFolder) / kIniName).string());
}

void CServerConfig::ApplyServerInfo(CkxServer& server) const {
    server.m_strName = GetServerName();
    server.m_strDept = GetServerDept();
    server.m_strAddr = GetServerAddr();
    server.m_strRemark = GetServerRemark();
}

KxDbConf CServerConfig::GetDbConf() const {
    KxDbConf conf;
    conf.nWarn = m_ini.GetInt("DB_CONF", "DB_WARN", 1);
    conf.nDefault = m_ini.GetInt("DB_CONF", "DB_DEFAULT", 0);
    conf.strPath = m_ini.GetString("DB_CONF", "DB_SETPATH", "");
    return conf;
}

bool CServerConfig::SaveDbConf(const KxDbConf& conf) {
    // Start from the file as it is now, so keys written by someone else since are kept.
    Load();
    m_ini.SetInt("DB_CONF", "DB_WARN", conf.nWarn);
    m_ini.SetInt("DB_CONF", "DB_DEFAULT", conf.nDefault);
    m_ini.SetString("DB_CONF", "DB_SETPATH", conf.strPath);
    return m_ini.Save();
}

std::string CServerConfig::DatabasePathOf(const KxDbConf& conf, const std::string& dataFolder) {
    namespace fs = std::filesystem;
    if (conf.nDefault) return (fs::path(dataFolder) / kDefaultDatabase).string();
    if (conf.strPath.empty()) return {};
    const fs::path p(conf.strPath);
    return p.is_absolute() ? p.string() : (fs::path(dataFolder) / p).string();
}

std::string CServerConfig::GetDatabasePath() const {
    return DatabasePathOf(GetDbConf(), m_strDataFolder);
}

KxServerLimits CServerConfig::GetLimits() const {
    using namespace std::chrono;
    KxServerLimits limits;
    const auto read = [&](const char* key, int def, int low, int high) {
        if (!m_ini.HasKey("LIMITS", key)) return def;
        const int v = m_ini.GetInt("LIMITS", key, def);
        return v < low || v > high ? def : v;
    };
    constexpr int kDay = 86400;
    limits.logonDeadline = seconds(read("LOGON_WAIT", static_cast<int>(duration_cast<seconds>(limits.logonDeadline).count()), 1, kDay));
    limits.maxConnections = read("CONN_MAX", limits.maxConnections, 0, 1000000);
    limits.maxPerAddress = read("CONN_PER_ADDR", limits.maxPerAddress, 0, 1000000);
    limits.failuresPerName = read("LOGON_FAILS", limits.failuresPerName, 0, 1000000);
    limits.failuresPerAddress = read("LOGON_FAILS_ADDR", limits.failuresPerAddress, 0, 1000000);
    limits.failureWindow = seconds(read("LOGON_FAIL_SPAN", static_cast<int>(duration_cast<seconds>(limits.failureWindow).count()), 1, kDay));
    constexpr uint64_t kMB = 1u << 20;
    constexpr int kMaxMessageMB = static_cast<int>(kNetMaxContent / kMB);
    limits.maxMessage = kMB * static_cast<uint64_t>(read("MSG_MAX", static_cast<int>(limits.maxMessage / kMB), 1, kMaxMessageMB));
    limits.unfinishedPerConnection =
        kMB * static_cast<uint64_t>(read("MSG_PENDING_CONN", static_cast<int>(limits.unfinishedPerConnection / kMB), 1, 1000000));
    limits.unfinishedTotal =
        kMB * static_cast<uint64_t>(read("MSG_PENDING_ALL", static_cast<int>(limits.unfinishedTotal / kMB), 1, 1000000));
    // The largest message must fit both totals.
    limits.unfinishedPerConnection = std::max(limits.unfinishedPerConnection, limits.maxMessage);
    limits.unfinishedTotal = std::max(limits.unfinishedTotal, limits.maxMessage);
    return limits;
}
