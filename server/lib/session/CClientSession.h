// CClientSession: the server's end of one accepted connection, with the user that logged on
// through it and its copy of the server record. CServerSession adds the request dispatcher and
// the program's data manager.
#pragma once

#include "model/CkxServer.h"
#include "transport/NetConnection.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

class CDataManager;
class CListenServer;

class CClientSession : public NetConnection {
public:
    CClientSession();
    ~CClientSession() override;

    // Process-unique number of the session: the registry and the end-of-session queue name
    // sessions by it, never by user id (several sessions may carry the same user id).
    uint64_t GetSerial() const { return m_nSerial; }

    // -1 until a log-on attempt, 0 after one with an unknown name, the user's id once logged on.
    int GetUserID() const { return m_nUserID.load(); }
    void SetUserID(int id);
    // Whether a log-on succeeded; before that only the log-on request is served, only short
    // messages are taken from the peer and no keep-alive goes out (the log-on lifts the bound
    // and starts the keep-alive thread).
    bool IsLoggedOn() const { return m_bLoggedOn.load(); }
    void SetLoggedOn(bool on) {
        m_bLoggedOn = on;
        if (on) {
            SetUntrustedMessageLimit(0);
            StartKeepAlive();
        }
    }
    // Read and written by handlers only, under the catalogue mutex.
    const std::string& GetUserName() const { return m_strUserName; }
    void SetUserName(const std::string& name) { m_strUserName = name; }

    // The session's copy of the server record (its user id field follows the log-on).
    CkxServer& ServerRecord() { return m_Server; }
    const CkxServer& ServerRecord() const { return m_Server; }

    // The remote address (dotted text) and when the connection was accepted; set at accept.
    const std::string& GetPeerAddress() const { return m_strPeer; }
    std::chrono::steady_clock::time_point GetAcceptTime() const { return m_acceptTime; }
    void SetPeer(const std::string& address, std::chrono::steady_clock::time_point accepted) {
        m_strPeer = address;
        m_acceptTime = accepted;
    }

    // Marks the connection as closed for a missed log-on deadline; true for the first caller.
    bool MarkLate() { return !m_bLate.exchange(true); }

    void SetOwner(CListenServer* owner) { m_pOwner = owner; }
    CListenServer* GetOwner() const { return m_pOwner; }

    // Marks the session as ending (log-off or lost connection); true for the first caller only,
    // so a session is queued for removal once.
    bool BeginEnding() { return !m_bEnding.exchange(true); }
    bool IsEnding() const { return m_bEnding.load(); }

    virtual CDataManager* GetDataManager() { return nullptr; }

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override {}
    void OnReply(NetPacket& packet, NetMessage* message) override {}
    // The connection failed: the user goes offline and the session is queued for the server
    // thread, which removes it and tells the other sessions.
    void OnClose() override;

private:
    const uint64_t m_nSerial;
    std::atomic<int> m_nUserID{-1};
    std::atomic<bool> m_bLoggedOn{false};
    std::atomic<bool> m_bEnding{false};
    std::atomic<bool> m_bLate{false};
    std::string m_strUserName;
    CkxServer m_Server;
    CListenServer* m_pOwner = nullptr;
    std::string m_strPeer;
    std::chrono::steady_clock::time_point m_acceptTime = std::chrono::steady_clock::now();
};
