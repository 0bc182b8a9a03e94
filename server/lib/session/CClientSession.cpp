#include "session/CClientSession.h"

#include "data/CDataManager.h"
#include "session/CListenServer.h"
#include "model/CkxXXX.h"

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
    CDataManager* data = GetDataManager();
    if (!owner) return;
    int user = -1;
    bool loggedOn = false;
    if (data) { // without a data manager no handler runs: nobody can have logged on
        // Read under the catalogue mutex: a log-on handler may be running on the dispatch
        // thread. Either it has finished (its user is marked offline here) or it sees the
        // session ending and marks nobody online.
        KxCatalogueWriter lock(*data);
        user = GetUserID();
        loggedOn = IsLoggedOn();
        // The user may already be back through a new connection: its mark then stays.
        if (loggedOn && KX_KXXXX().m_UserList.Find(user) && !owner->Sessions().IsUserLoggedOnElsewhere(user, GetSerial()))
            KX_KXXXX().m_UserList.SetOffline(user);
    }
    // A session that never logged on is removed too, without a notice.
    owner->EndQueue().Push({GetSerial(), user, loggedOn});
}
