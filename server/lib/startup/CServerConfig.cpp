#include "startup/CServerConfig.h"

#include "model/CkxServer.h"

#include "transport/NetMessage.h"

#include "log/ServerLog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    std::vector<std::string> known;
    // A value that is no whole number within the key's range keeps the default, and says so.
    const auto read = [&](const char* key, int def, int low, int high) {
        known.emplace_back(key);
        if (!m_ini.HasKey("LIMITS", key)) return def;
        const std::string text = m_ini.GetString("LIMITS", key);
        const size_t from = text.find_first_not_of(" \t"), to = text.find_last_not_of(" \t");
        long long v = 0;
        const char* end = text.data() + (to == std::string::npos ? 0 : to + 1);
        const auto parsed = std::from_chars(text.data() + (from == std::string::npos ? 0 : from), end, v);
        if (from == std::string::npos || parsed.ec != std::errc() || parsed.ptr != end || v < low || v > high) {
            kx::ServerWarning("settings: [LIMITS] %s=%s is not a whole number from %d to %d; %d is used", key,
                              text.c_str(), low, high, def);
            return def;
        }
        return static_cast<int>(v);
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
    for (auto [key, total] : {std::pair{"MSG_PENDING_CONN", &limits.unfinishedPerConnection},
                              std::pair{"MSG_PENDING_ALL", &limits.unfinishedTotal}})
        if (*total < limits.maxMessage) {
            kx::ServerWarning("settings: [LIMITS] %s is less than MSG_MAX; %llu is used", key,
                              static_cast<unsigned long long>(limits.maxMessage / kMB));
            *total = limits.maxMessage;
        }
    // Keys are told apart as the settings file tells them: without regard to case.
    const auto same = [](const std::string& a, const std::string& b) {
        return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
    };
    for (const std::string& key : m_ini.Keys("LIMITS"))
        if (std::ranges::none_of(known, [&](const std::string& k) { return same(k, key); }))
            kx::ServerWarning("settings: [LIMITS] %s is not a setting of this server; ignored", key.c_str());
    return limits;
}
