#include "CClientSession.h"

#include "CListenServer.h"
#include "CkxXXX.h"

namespace {
std::atomic<uint64_t> g_nextSerial{1};
}

CClientSession::CClientSession() : m_nSerial(g_nextSerial.fetch_add(1)) {}

CClientSession::~CClientSession() { StopAndClose(); }

void CClientSession::SetUserID(int id) {
    m_nUserID = id;
    m_Server.m_nUserID = id;
}

void CClientSession::OnClose() {
    if (!BeginEnding()) return; // already logged off: queued once
    CListenServer* owner = GetOwner();
    if (!owner) return;
    const int user = GetUserID();
    const bool loggedOn = IsLoggedOn();
    if (loggedOn) {
        std::lock_guard lock(owner->CatalogueMutex());
        if (KX_KXXXX().m_UserList.Find(user)) KX_KXXXX().m_UserList.SetOffline(user);
    }
    // A session that never logged on is removed too, without a notice.
    owner->EndQueue().Push({GetSerial(), user, loggedOn});
}
