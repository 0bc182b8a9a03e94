// The server's settings file "VarniaServer.ini" in its data folder: the description of the
// server (section SRV_INFO) copied into the server record, where the catalogue lies (section
// DB_CONF) and the drive map the storage roots are found on (section DRIVES).
#pragma once

#include "base/KxDrives.h"
#include "base/KxIni.h"
#include "session/KxServerLimits.h"

#include <string>

class CkxServer;

// The three database settings the settings dialog edits.
struct KxDbConf {
    int nWarn = 1;       // DB_WARN: non-zero shows the settings dialog at every start
    int nDefault = 0;    // DB_DEFAULT: non-zero uses the default catalogue in the data folder
    std::string strPath; // DB_SETPATH: the catalogue's path when DB_DEFAULT is 0

    bool operator==(const KxDbConf&) const = default;
};

class CServerConfig {
public:
    static constexpr const char* kIniName = "VarniaServer.ini";
    // The default catalogue's file name: the product name and the database extension.
    static constexpr const char* kDefaultDatabase = "Varnia.MDB";

    // The data folder holds the ini file and the default catalogue (kx::DataFolder() unless a
    // test names another).
    explicit CServerConfig(std::string dataFolder = kx::DataFolder());

    // Reads the ini file again; a missing file gives every default. False when it is missing.
    bool Load();

    const std::string& GetDataFolder() const { return m_strDataFolder; }
    const std::string& GetIniPath() const { return m_ini.Path(); }

    std::string GetServerName() const { return m_ini.GetString("SRV_INFO", "SRV_NAME"); }
    std::string GetServerDept() const { return m_ini.GetString("SRV_INFO", "SRV_DEPT"); }
    std::string GetServerAddr() const { return m_ini.GetString("SRV_INFO", "SRV_ADDR"); }
    std::string GetServerRemark() const { return m_ini.GetString("SRV_INFO", "SRV_REMARK"); }
    // Copies the four SRV_INFO texts into the record.
    void ApplyServerInfo(CkxServer& server) const;

    KxDbConf GetDbConf() const;
    // Writes the three DB_CONF keys back to the ini file; false when it cannot be written.
    bool SaveDbConf(const KxDbConf& conf);

    // DB_DEFAULT non-zero: the data folder's default catalogue; else DB_SETPATH (a relative
    // path counts from the data folder; empty stays empty).
    std::string GetDatabasePath() const;
    static std::string DatabasePathOf(const KxDbConf& conf, const std::string& dataFolder);

    // Section LIMITS: LOGON_WAIT (seconds a connection may stay without logging on),
    // CONN_MAX and CONN_PER_ADDR (connections in all and from one address, 0: no cap),
    // LOGON_FAILS and LOGON_FAILS_ADDR (passwords checked without success for one name, from
    // addresses that failed, and from one address, within LOGON_FAIL_SPAN seconds; further
    // attempts are refused unchecked; 0: no bound), MSG_MAX (the largest message a session may send, in MB),
    // MSG_PENDING_CONN and MSG_PENDING_ALL (what unfinished messages may hold on one connection
    // and on all of them, in MB; at least MSG_MAX). A key that is missing keeps its default; a
    // value that is no whole number in range keeps it too, and is logged with the value used,
    // as is each key that is no setting.
    KxServerLimits GetLimits() const;

    // The drive letters the storage roots lie on (C is the data folder without a DRIVES
    // section).
    kx::DriveMap GetDriveMap() const { return kx::DriveMapFromIni(m_ini, m_strDataFolder); }

private:
    std::string m_strDataFolder;
    kx::IniFile m_ini;
};
