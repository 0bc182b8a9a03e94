#include "session/CListenServer.h"

#include "protocol/KxMessage.h"
#include "data/CDataManager.h"
#include "session/CServerSession.h"
#include "model/CkxXXX.h"
#include "log/ServerLog.h"
#include "transport/NetLog.h"

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

void CListenServer::ServerThreadLoop() {
    while (m_bRun.load()) {
        if (auto ended = m_EndQueue.Pop(100ms)) EndSession(*ended);
    }
}

void CListenServer::EndSession(const KxEndedSession& ended) {
    CDataManager* data = GetDataManager();
    if (ended.announce && data) {
        std::lock_guard lock(data->CatalogueMutex());
        // The user may already be back through another session; its mark then stays.
        if (!m_Sessions.IsUserLoggedOnElsewhere(ended.userId, ended.serial))
            KX_KXXXX().m_UserList.SetOffline(ended.userId);
    }
    if (!m_Sessions.Remove(ended.serial)) return; // already gone (ended twice, or at exit)
    if (!ended.announce) return;
    NetPacket gone;
    gone.InitCommand(kx::kMsgSession, kx::kSubLogoff, 0);
    gone.SetText(std::to_string(ended.userId));
    m_Sessions.SendToAll(gone);
}

void CListenServer::OnAccept(int handle) {
    std::unique_ptr<CClientSession> session;
    if (!m_bShutdown.load()) session.reset(CreateSession());
    if (!session) {
        ::close(handle);
        return;
    }
    session->Attach(handle);
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
