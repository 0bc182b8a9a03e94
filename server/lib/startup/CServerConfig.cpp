#include "startup/CServerConfig.h"

#include "model/CkxServer.h"

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
