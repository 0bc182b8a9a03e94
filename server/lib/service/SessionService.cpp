#include "service/SessionService.h"

#include "data/CDataManager.h"
#include "model/CkxClient.h"
#include "model/CkxXXX.h"
#include "service/RequestIO.h"
#include "session/CListenServer.h"
#include "session/CServerSession.h"
#include "service/OperationLog.h"

#include <optional>
#include <string>
#include <vector>

void HandleSessionRequest(KxRequest& request) {
    // The log-on takes the catalogue lock itself, after the guessing bounds had their say.
    if (request.SubOp() == kx::kSubLogon) return HandleLogon(request);
    KxCatalogueWriter lock(request.data);
    switch (request.SubOp()) {
    case kx::kSubLogoff: HandleLogoff(request); break;
    case kx::kSubOnlineUsers: HandleOnlineUsers(request); break;
    default: break;
    }
}

void HandleLogon(KxRequest& request) {
    CServerSession& session = request.session;
    CkxClient::_COM com{};
    const bool already = session.IsLoggedOn();
    if (!already && !kx::ReadRequestRecord(request, com)) return;
    const CkxClient client(com);
    const std::string& address = session.GetPeerAddress();
    CLogonThrottle& throttle = request.Server().LogonThrottle();
    std::optional<CLogonThrottle::Admission> admitted;
    if (!already) {
        admitted = throttle.Admit(client.m_strLogon, address);
        if (!admitted) {
            // Over a guessing bound: refused at once, the password unchecked.
            NetPacket answer = kx::MakeAnswer(kx::kMsgSession, kx::kSubLogon);
            answer.SetDataInt64(static_cast<uint32_t>(-1), static_cast<uint32_t>(kx::kLogonNoRight));
            session.SendReply(answer);
            return;
        }
    }

    KxCatalogueWriter lock(request.data);
    CkxXXX& kx = KX_KXXXX();
    int result = CV_USER_LOGIN_OK;
    int userId = -1;
    if (session.IsLoggedOn()) {
        // One user per session: a second log-on is refused and the first stays.
        result = CV_USER_LOGIN_ONLINE;
        userId = session.GetUserID();
    } else {
        const CkxUser* user = kx.m_UserList.Find(client.m_strLogon);
        userId = kx.m_UserList.GetID(client.m_strLogon);
        if (!user) {
            result = CV_USER_LOGIN_NOUSER;
            session.SetUserName(std::string());
            session.SetUserID(0);
        } else {
            // A user whose last connection has ended (or whose peer closed it) while its end
            // still waits for the server thread is not online any more: one who reconnects at
            // once, or logs off and on again, must not be refused as already logged on.
            if (user->m_nOnline && !request.Sessions().IsUserLoggedOnElsewhere(userId, session.GetSerial()))
                kx.m_UserList.SetOffline(userId);
            result = kx.m_UserList.CheckCanLogin(client.m_strLogon, client.m_strPassword);
            // A console without the system-administration right hears so only after the right
            // password: otherwise the answer would tell a stranger that the name exists.
            if (result == CV_USER_LOGIN_OK && client.Is_MS_Manager() && !kx.usHasPower_SystemAdmin(user->GetID()))
                result = kx::kLogonNoRight;
        }
        if (result == CV_USER_LOGIN_OK) throttle.RecordSuccess(*admitted);
        // A connection that failed while this request waited is already queued for removal
        // without a log-off: marking its user online now would never be undone.
        if (result == CV_USER_LOGIN_OK && session.IsEnding()) return;
        if (result == CV_USER_LOGIN_OK) {
            kx.m_UserList.SetOnline(userId);
            session.SetUserName(client.m_strLogon);
            session.SetUserID(userId);
            session.SetLoggedOn(true);
        } else {
            // Refused log-ons reach the operation log gathered, a line per name and address per
            // window with a count (the server thread writes them); the password never.
            throttle.RecordFailure(*admitted, result, user ? user->GetID() : -1);
        }
    }

    NetPacket answer = kx::MakeAnswer(kx::kMsgSession, kx::kSubLogon);
    answer.SetDataInt64(static_cast<uint32_t>(userId), static_cast<uint32_t>(result));
    session.SendReply(answer);
    if (result == CV_USER_LOGIN_OK)
        request.Sessions().AnnounceUser(session, userId);
}

void HandleLogoff(KxRequest& request) {
    CServerSession& session = request.session;
    // The session's own user ends, whatever id the payload names.
    const int userId = session.GetUserID();
    if (!session.IsLoggedOn() || !session.BeginEnding()) return;
    CkxXXX& kx = KX_KXXXX();
    // A new connection of the same user may have logged on before this request was handled.
    if (kx.m_UserList.Find(userId) && !request.Sessions().IsUserLoggedOnElsewhere(userId, session.GetSerial()))
        kx.m_UserList.SetOffline(userId);
    request.Server().EndQueue().Push({session.GetSerial(), userId, true});
}

void HandleOnlineUsers(KxRequest& request) {
    NetPacketSeries series(kx::kMsgSession, kx::kSubOnlineUsers, 0);
    // Connections that have not logged on yet have no user to show.
    request.Sessions().ForEach([&](CClientSession& s) {
        if (s.IsLoggedOn()) series.AddInt(s.GetUserID());
    });
    kx::SendListAnswer(request.session, series);
}
