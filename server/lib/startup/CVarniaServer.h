// CVarniaServer: the running server as the program sees it. Start() goes from the settings file
// to listening: server description, database settings, the catalogue opened and loaded, a usable
// storage root, the listener, the server thread and the start-up log line; each failure shows
// its own message and leaves nothing running. The two settings commands of the window live here
// too, and Shutdown() ends everything in order.
#pragma once

#include "data/CDataManager.h"
#include "startup/CServerConfig.h"
#include "startup/CServerHost.h"

#include <memory>
#include <string>

class CServerListener;

namespace kx {
// The messages of start-up and of the settings commands.
inline constexpr const char* kMsgDbFileMissing = "ACCESS 数据库文件(%s) 不存在  ";
inline constexpr const char* kMsgDbOpenFailed = "连接 ACCESS 数据库失败";
inline constexpr const char* kMsgNoStorage = "没有存储器节点可用";
inline constexpr const char* kMsgDbDamaged = "数据库文件(%s)已损坏,完整性检查未通过,服务器不能启动";
inline constexpr const char* kMsgStorageTooSmall = "存储器节点的剩余空间不足 50 MB,不能存放文件";
inline constexpr const char* kMsgListenFailed = "创建通信服务器失败";
inline constexpr const char* kMsgDbConfLocked = "存在客户端连接服务器,禁止修改数据库配置!";
inline constexpr const char* kMsgDbConfLater = "数据库配置要重新启动服务器才能生效";
inline constexpr const char* kMsgStorageLocked = "存在客户端连接服务器,禁止修改存储节点!";
inline constexpr const char* kLogServerStarted = "启动服务器";
} // namespace kx

class CVarniaServer {
public:
    // The data folder holds the settings file and the default catalogue. The server fills the
    // process's context object.
    explicit CVarniaServer(std::string dataFolder = kx::DataFolder());
    ~CVarniaServer();
    CVarniaServer(const CVarniaServer&) = delete;
    CVarniaServer& operator=(const CVarniaServer&) = delete;

    // Where dialogs go; without one, nothing can be asked and the settings commands decline.
    void SetHost(CServerHost* host) { m_pHost = host; }
    // The port to listen on: kx::ServicePort() (8800 or VARNIA_PORT) unless set.
    void SetPort(int port) { m_nPort = port; }

    // 1 when the server runs; 0 after a failure, with its message shown and everything that
    // was started stopped again. Progress goes to the server's diagnostic log.
    int Start();
    // Stops the listener, every session and the server thread, then closes the catalogue.
    // Safe to call more than once.
    void Shutdown();
    bool IsRunning() const { return m_bRunning; }

    // The database settings command: refused while clients are connected; otherwise the
    // dialog, and on OK the three values written back. True when the settings were changed.
    bool DatabaseSettings();
    // The storage-root command: the dialog (read-only while clients are connected). When it
    // ends with OK and no root is usable, the person has agreed to leave and the window is
    // closed. Returns whether a usable root exists afterwards.
    bool StorageRoots();

    int GetClientCount() const;
    // The port actually listened on (0 when not listening).
    int GetListenPort() const;

    CServerConfig& GetConfig() { return m_config; }
    CDataManager& GetDataManager() { return m_data; }
    CServerListener* GetListener() { return m_listener.get(); }

private:
    int Fail(const std::string& message);
    QWidget* Window() const;

    CServerConfig m_config;
    CDataManager m_data;
    std::unique_ptr<CServerListener> m_listener;
    CServerHost* m_pHost = nullptr;
    int m_nPort = 0;
    bool m_bRunning = false;
};
