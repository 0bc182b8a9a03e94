#include "session/CListenServer.h"

#include "protocol/KxMessage.h"
#include "data/CDataManager.h"
#include "session/CServerSession.h"
#include "model/CkxXXX.h"
#include "log/ServerLog.h"
#include "table/LogTable.h"
#include "db/AdoDatabase.h"
#include "transport/NetLog.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

using namespace std::chrono_literals;

namespace {
// The transport's dropped-input lines join the server's one warning channel.
void NetLineToServerLog(const char* text) { kx::ServerWarning("net: %s", text); }
} // namespace

CListenServer::CListenServer() { kx::SetNetLogSink(&NetLineToServerLog); }

CListenServer::~CListenServer() { Shutdown(); }

void CListenServer::Shutdown() {
    m_bShutdown = true;
    CloseAndStop();
    StopServerThread();
    m_Sessions.RemoveAll();
}

int CListenServer::StartServerThread() {
    std::lock_guard lock(m_threadMutex);
    if (m_thread.joinable()) return 1;
    m_bRun = true;
    try {
        m_thread = std::thread([this] { ServerThreadLoop(); });
    } catch (const std::exception&) {
        m_bRun = false;
        return 0;
    }
    return 1;
}

void CListenServer::StopServerThread() {
    std::lock_guard lock(m_threadMutex);
    m_bRun = false;
    m_EndQueue.Wake();
    if (m_thread.joinable()) m_thread.join();
}

void CListenServer::SetLimits(const KxServerLimits& limits) {
    {
        std::lock_guard lock(m_limitsMutex);
        m_Limits = limits;
    }
    m_MessageBudget.SetLimit(limits.unfinishedTotal);
    m_Throttle.SetLimits(limits);
}

KxServerLimits CListenServer::GetLimits() const {
    std::lock_guard lock(m_limitsMutex);
    return m_Limits;
}

void CListenServer::ServerThreadLoop() {
    auto nextSweep = std::chrono::steady_clock::now();
    while (m_bRun.load()) {
        if (auto ended = m_EndQueue.Pop(100ms)) EndSession(*ended);
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextSweep) {
            CloseLateConnections();
            WriteLogonLines(m_Throttle.TakeLogLines(now));
            nextSweep = now + 200ms;
        }
    }
    // What the last windows gathered is not lost at exit.
    WriteLogonLines(m_Throttle.TakeLogLines(std::chrono::steady_clock::now(), true));
}

void CListenServer::WriteLogonLines(const std::vector<CLogonThrottle::LogLine>& lines) {
    CDataManager* data = GetDataManager();
    if (lines.empty() || !data) return;
    std::lock_guard lock(data->CatalogueMutex());
    CADODatabase& db = data->GetDatabase();
    if (!db.IsOpen()) return;
    for (const auto& line : lines)
        LogTable::InsertLine(db, KXLOG_WARN, KXLOG_CAT_LOGON, line.userId, line.name, CLogonThrottle::LineText(line));
}

void CListenServer::CloseLateConnections() {
    const auto deadline = GetLimits().logonDeadline;
    if (deadline.count() <= 0) return;
    const auto now = std::chrono::steady_clock::now();
    m_Sessions.ForEach([&](CClientSession& s) {
        if (s.IsLoggedOn() || s.IsEnding() || now - s.GetAcceptTime() < deadline || !s.MarkLate()) return;
        kx::ServerInfo("connection from %s closed: no log-on within %lld s", s.GetPeerAddress().c_str(),
                       static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(deadline).count()));
        // Shutting the socket down ends the connection on its own threads; its end reaches the
        // end queue like any lost connection.
        s.Shutdown();
    });
}

bool CListenServer::AdmitConnection(const std::string& address) {
    const KxServerLimits limits = GetLimits();
    int total = 0, fromAddress = 0;
    m_Sessions.ForEach([&](CClientSession& s) {
        ++total;
        if (s.GetPeerAddress() == address) ++fromAddress;
    });
    const char* cap = nullptr;
    if (limits.maxConnections > 0 && total >= limits.maxConnections) cap = "the server holds its most connections";
    else if (limits.maxPerAddress > 0 && fromAddress >= limits.maxPerAddress) cap = "that address holds its most connections";
    if (!cap) return true;
    ++m_nRefusedSince;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastRefusalLine >= 1s) {
        kx::ServerWarning("connection from %s refused: %s (%d in all, %d from it; %d refused since the last line)",
                          address.c_str(), cap, total, fromAddress, m_nRefusedSince);
        m_lastRefusalLine = now;
        m_nRefusedSince = 0;
    }
    return false;
}

void CListenServer::EndSession(const KxEndedSession& ended) {
    // Removal joins the session's threads: never under the catalogue mutex, which a handler on
    // one of them may be waiting for.
    if (!m_Sessions.Remove(ended.serial)) return; // already gone (ended twice, or at exit)
    if (!ended.announce) return;
    NetPacket gone;
    gone.InitCommand(kx::kMsgSession, kx::kSubLogoff, 0);
    gone.SetText(std::to_string(ended.userId));
    CDataManager* data = GetDataManager();
    if (!data) {
        m_Sessions.SendToAll(gone);
        return;
    }
    // Under the catalogue mutex, as log-ons are: a log-on of the same user either came first
    // (the user is back, keeps the mark, and the others, who heard the arrival, are not told
    // the user left) or comes after this notice.
    KxCatalogueWriter lock(*data);
    if (m_Sessions.IsUserLoggedOnElsewhere(ended.userId, ended.serial)) return;
    KX_KXXXX().m_UserList.SetOffline(ended.userId);
    m_Sessions.SendToAll(gone);
}

void CListenServer::OnAccept(int handle) {
    std::string address;
    {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        char text[INET6_ADDRSTRLEN] = {0};
        if (::getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
            if (peer.ss_family == AF_INET)
                ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&peer)->sin_addr, text, sizeof text);
            else if (peer.ss_family == AF_INET6)
                ::inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&peer)->sin6_addr, text, sizeof text);
        }
        address = text;
    }
    std::unique_ptr<CClientSession> session;
    if (!m_bShutdown.load() && AdmitConnection(address)) session.reset(CreateSession());
    if (!session) {
        ::close(handle);
        return;
    }
    session->SetPeer(address, std::chrono::steady_clock::now());
    session->Attach(handle);
    // What a stranger's messages may cost; the log-on lifts the first bound.
    const KxServerLimits limits = GetLimits();
    session->SetUntrustedMessageLimit(limits.messageBeforeLogon);
    session->SetMaxMessageLength(limits.maxMessage);
    session->SetUnfinishedLimit(limits.unfinishedPerConnection);
    session->SetMessageBudget(&m_MessageBudget);
    // Handlers broadcast under the catalogue mutex: a client that stops reading must be cut
    // off, never make the broadcaster wait.
    session->SetNeverWaitOnSend(true);
    session->SetOwner(this);
    session->ServerRecord() = m_Server;
    if (!m_Sessions.Add(std::move(session))) kx::ServerWarning("a session's threads did not start");
}

CServerListener::~CServerListener() {
    // Sessions call back into the data manager: end them before this object goes.
    Shutdown();
}

CClientSession* CServerListener::CreateSession() { return new CServerSession(m_pData, m_dispatcher); }
