// CListenServer: the server's listening end. It accepts connections, makes a session for each
// (with a copy of the server record), keeps them in the session registry, and runs the server
// thread that ends sessions whose user logged off or whose connection failed. CServerListener
// makes CServerSession objects bound to the program's data manager (which owns the catalogue
// mutex) and to the request dispatcher.
#pragma once

#include "session/CEndSessionQueue.h"
#include "session/CLogonThrottle.h"
#include "session/CSessionList.h"
#include "session/KxServerLimits.h"
#include "model/CkxServer.h"
#include "transport/NetListener.h"
#include "transport/NetMessageBudget.h"

#include <atomic>
#include <mutex>
#include <thread>

class CClientSession;
class CDataManager;
class CRequestDispatcher;

class CListenServer : public NetListener {
public:
    CListenServer();
    ~CListenServer() override;

    // Sets the run flag and starts the server thread unless it runs; 1, or 0 when it cannot.
    int StartServerThread();
    // Clears the run flag and waits for the server thread to end.
    void StopServerThread();
    bool IsServerThreadRunning() const { return m_bRun.load(); }

    // Stops accepting, stops the server thread and ends every session (at exit; also run by
    // the destructor). Safe to call more than once.
    void Shutdown();

    // What connections may cost (set before Start; the log-on throttle takes the new values at
    // once).
    void SetLimits(const KxServerLimits& limits);
    KxServerLimits GetLimits() const;
    CLogonThrottle& LogonThrottle() { return m_Throttle; }
    // What the unfinished messages of all sessions hold, within the limits' total.
    const NetMessageBudget& MessageBudget() const { return m_MessageBudget; }

    CSessionList& Sessions() { return m_Sessions; }
    CEndSessionQueue& EndQueue() { return m_EndQueue; }
    // The data manager whose catalogue the sessions serve; none in this class.
    virtual CDataManager* GetDataManager() const { return nullptr; }

    // The server's own record, filled at start-up from its settings; each accepted session
    // takes a copy.
    CkxServer m_Server;

protected:
    void OnAccept(int handle) override;
    // A new session for an accepted connection; none in this class.
    virtual CClientSession* CreateSession() { return nullptr; }

private:
    void ServerThreadLoop();
    // Closes the connections that have not logged on within the deadline.
    void CloseLateConnections();
    // Whether one more connection from `address` stays within the caps; logs a refusal (at
    // most one line a second, with how many were refused since).
    bool AdmitConnection(const std::string& address);
    // Writes the throttle's gathered failed log-ons to the operation log.
    void WriteLogonLines(const std::vector<CLogonThrottle::LogLine>& lines);
    // Removes one ended session and tells the others its user went offline.
    void EndSession(const KxEndedSession& ended);

    // Before the sessions: they give their bytes back when they end.
    NetMessageBudget m_MessageBudget;
    CSessionList m_Sessions;
    CEndSessionQueue m_EndQueue;
    mutable std::mutex m_limitsMutex;
    KxServerLimits m_Limits;
    CLogonThrottle m_Throttle;
    std::chrono::steady_clock::time_point m_lastRefusalLine{};
    int m_nRefusedSince = 0; // accept thread only
    std::mutex m_threadMutex; // start / stop of the server thread
    std::atomic<bool> m_bRun{false};
    std::atomic<bool> m_bShutdown{false};
    std::thread m_thread;
};

class CServerListener : public CListenServer {
public:
    CServerListener(CDataManager* data, CRequestDispatcher& dispatcher)
        : m_pData(data), m_dispatcher(dispatcher) {}
    ~CServerListener() override;

    CDataManager* GetDataManager() const override { return m_pData; }

protected:
    CClientSession* CreateSession() override;

private:
    CDataManager* m_pData;
    CRequestDispatcher& m_dispatcher;
};
