// ConsoleLink: Keeper's one session with the server. The login dialog opens it with the log-on
// request; every pane sends its list, add, modify and delete requests through it; and every
// answer or change the server pushes comes back through it into the lists of the context object
// (KX_KXXXX, KX_LogList), after which the windows that registered for that message type are
// told what changed. Panes never parse messages: they read the lists when told.
//
// Threads: requests are sent from the GUI thread. The connection's dispatch thread only checks
// and decodes what arrives; each message becomes one call queued onto the GUI thread (in arrival
// order), which changes the lists and then tells the observers. The log-on answer and a lost
// connection take the same road, so lists and windows are only ever touched by the GUI thread.
//
// Lifetime: one per program, made before the windows and destroyed after them; the destructor
// stops and joins the connection's threads first, and calls still queued for a destroyed link
// do nothing. Observers are held as QPointer and leave with their windows.
#pragma once

#include "model/CkxClient.h"
#include "model/CkxLog.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserRole.h"
#include "model/CkxFileRole.h"
#include "base/OleDate.h"
#include "transport/NetConnection.h"
#include "qt/KxGuiThread.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What an observer is told about the list of its message type (the id of the entry, 0 for a
// reload and for the host information).
enum KxConsoleNotice {
    kNoticeReload = 1025,
    kNoticeAdded = 1026,
    kNoticeUpdated = 1027,
    kNoticeRemoved = 1028,
    // To the navigation tree when the user list is complete (with kNoticeReload).
    kNoticeUserListEnd = 1029,
};

class ConsoleLink : public NetConnection {
public:
    // The logon result before any answer, and after an answer too short to read.
    static constexpr int kLogonResultNone = 5;
    static constexpr int kLogonUnreadable = -1;
    static constexpr const char* kLostText = "与服务器连接已经断开，请重新运行";

    // An observer's callback: the notice (1025..1028) and the entry's id.
    using Notify = std::function<void(int notice, int id)>;

    ConsoleLink();
    ~ConsoleLink() override;
    ConsoleLink(const ConsoleLink&) = delete;
    ConsoleLink& operator=(const ConsoleLink&) = delete;

    // ---- State (GUI thread) ----
    int GetCurrentUserId() const { return m_nCurUserId; }
    const std::string& GetLogonName() const { return m_strLogonName; }
    int GetLogonResult() const { return m_nLogonResult; }
    const std::string& GetServerAddress() const { return m_strServerAddr; }
    // The context object's record of the current user, or null.
    CkxUser* GetCurrentUser() const;

    // ---- Observers (GUI thread) ----
    // The window is told every change of the list of that message type. Several windows may
    // observe one type; registering a window again replaces its callback.
    void Observe(int type, QObject* window, Notify tell);
    // The login dialog: told after every log-on answer that is applied (it reads the result).
    void ObserveLogon(QObject* dialog, std::function<void()> tell);
    // The navigation tree: told when the last entry of the user list has arrived.
    void ObserveUserListEnd(QObject* tree, std::function<void()> tell);
    // The window closed when the connection is lost while logged on.
    void SetMainWindow(QWidget* window) { m_mainWindow = window; }

    // ---- Requests (GUI thread); 1 when queued, 0 when refused or not connected ----
    // Connects when needed (no live connection, another address or port, or after a log-off),
    // then sends the client record. 0 for an empty address or log-on name, while an earlier
    // log-on on this connection still awaits its answer, or when the connection fails.
    int SendLogonRequest(int port, const std::string& address, const CkxClient& client);
    // The same on the system's port (kx::ServicePort()).
    int SendLogonRequest(const std::string& address, const CkxClient& client);
    // Once per successful log-on; a second call, or one before a log-on succeeded, does nothing.
    int SendLogoffRequest();
    int SendOnlineListRequest();
    int SendServerListRequest();
    int SendHostInfoRequest();
    int SendUserListRequest();
    int SendUserAddRequest(const CkxUser& user);
    int SendUserUpdateRequest(const CkxUser& user);
    int SendUserDeleteRequest(int id);
    int SendGroupListRequest();
    int SendGroupAddRequest(const CkxUserGroup& group);
    int SendGroupUpdateRequest(const CkxUserGroup& group);
    int SendGroupDeleteRequest(int id);
    int SendUserRoleListRequest();
    int SendUserRoleAddRequest(const CkxUserRole& role);
    int SendUserRoleUpdateRequest(const CkxUserRole& role);
    int SendUserRoleDeleteRequest(int id);
    int SendFileRoleListRequest();
    int SendFileRoleAddRequest(const CkxFileRole& role);
    int SendFileRoleUpdateRequest(const CkxFileRole& role);
    int SendFileRoleDeleteRequest(int id);
    int SendFolderRoleListRequest();
    int SendFolderRoleAddRequest(const CkxFolderRole& role);
    int SendFolderRoleUpdateRequest(const CkxFolderRole& role);
    int SendFolderRoleDeleteRequest(int id);
    // The server deletes every log line up to 23:59:59 of that date's day; it answers nothing.
    int SendLogDeleteRequest(DATE date);
    // Empties the log list (and tells the log observers), then asks for the lines matching the
    // filter; the server answers nothing when none match.
    int SendLogQueryRequest(const CkxLog& filter);

    // Messages checked and refused on arrival (short records, unreadable ids, ...).
    uint64_t GetRefusedCount() const { return m_nRefused.load(); }

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override;
    void OnReply(NetPacket& packet, NetMessage* message) override;
    void OnClose() override;

private:
    struct Observer {
        QPointer<QObject> window;
        Notify tell;
    };
    // Observer channels besides the message types.
    static constexpr int kChannelLogon = -1;
    static constexpr int kChannelUserListEnd = -2;

    void AddObserver(int channel, QObject* window, Notify tell);
    void Tell(int channel, int notice, int id);

    // Queues the apply step onto the GUI thread; it runs only while this link lives and its
    // connection is the one that received the message.
    void Post(std::function<void()> apply);
    void Refuse(const NetPacket& packet, const char* why);

    // Decoders (dispatch thread): check and read, then Post the apply step.
    void OnSessionMessage(const NetPacket& packet, const NetMessage* message);
    void OnServerMessage(const NetPacket& packet, const NetMessage* message);
    void OnHostInfoMessage(const NetPacket& packet, const NetMessage* message);
    template <class T, class List>
    void OnRecordMessage(const NetPacket& packet, const NetMessage* message, List& (*list)(), bool pushed);
    void OnGroupMessage(const NetPacket& packet, const NetMessage* message);
    void OnLogMessage(const NetPacket& packet, const NetMessage* message);

    // Apply steps (GUI thread).
    void ApplyLogonAnswer(bool readable, int result, int userId);
    void ApplyConnectionLost();
    void ForgetUser();

    int SendGroup(int subOp, const CkxUserGroup& group);
    // Stops any connection and connects anew; resets the per-connection state.
    bool Reconnect(int port, const std::string& address);

    int m_nCurUserId = -1;
    std::string m_strLogonName;
    int m_nLogonResult = kLogonResultNone;
    std::string m_strServerAddr;

    // Per connection (GUI thread).
    std::string m_strConnAddr;
    int m_nConnPort = 0;
    bool m_bLogonPending = false; // a log-on request awaits its answer
    bool m_bLoggedOn = false;     // a log-on succeeded on this connection
    bool m_bLogoffSent = false;
    bool m_bLostTold = false;

    std::map<int, std::vector<Observer>> m_observers;
    QPointer<QWidget> m_mainWindow;

    // Queued apply steps do nothing once the link is gone or has reconnected.
    kx::GuiStepPoster m_steps;
    std::atomic<uint64_t> m_nRefused{0};
};

// The program's one session, reached by every window. main() makes it before the windows,
// installs it, and uninstalls (nullptr) and destroys it after them. Tests make their own links.
void InstallConsoleLink(ConsoleLink* link);
// The installed link; ends the program when none is installed (a window made too early).
ConsoleLink& TheConsoleLink();
