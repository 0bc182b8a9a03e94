#include "link/ConsoleLink.h"

#include "link/ConsoleLog.h"
#include "model/CkxBuf.h"
#include "model/CkxHostInfo.h"
#include "model/CkxPerson.h"
#include "model/CkxServer.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxGuiThread.h"
#include "qt/KxPrompt.h"
#include "transport/NetPort.h"
#include "transport/NetRead.h"

#include <QObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

using namespace kx;

namespace {

// An add or modify request whose payload is the record's wire form.
template <class T>
int SendRecordRequest(NetConnection& link, int type, int subOp, const T& rec) {
    const auto com = rec.GetComData();
    return subOp == kSubAdd ? link.SendAddRequest(type, &com, sizeof com)
                            : link.SendUpdateRequest(type, &com, sizeof com);
}

CkxUserList& Users() { return KX_KXXXX().m_UserList; }
CkxUserRoleList& UserRoles() { return KX_KXXXX().m_UserRoleList; }
CkxFileRoleList& FileRoles() { return KX_KXXXX().m_FileRoleList; }
CkxFolderRoleList& FolderRoles() { return KX_KXXXX().m_FolderRoleList; }
CkxPersonList& Persons() { return KX_KXXXX().m_PersonList; }

ConsoleLink* g_installed = nullptr;

} // namespace

ConsoleLink::ConsoleLink() = default;

ConsoleLink::~ConsoleLink() {
    // The threads call the handlers of this object: they end first. Steps still queued for the
    // GUI thread see the link gone and do nothing.
    StopAndClose();
}

CkxUser* ConsoleLink::GetCurrentUser() const { return KX_KXXXX().m_UserList.Find(m_nCurUserId); }

// ---- Observers ----

void ConsoleLink::AddObserver(int channel, QObject* window, Notify tell) {
    AssertGuiThread();
    if (!window || !tell) return;
    auto& list = m_observers[channel];
    std::erase_if(list, [&](const Observer& o) { return o.window.isNull() || o.window == window; });
    list.push_back({QPointer<QObject>(window), std::move(tell)});
}

void ConsoleLink::Observe(int type, QObject* window, Notify tell) { AddObserver(type, window, std::move(tell)); }

void ConsoleLink::ObserveLogon(QObject* dialog, std::function<void()> tell) {
    if (!tell) return;
    AddObserver(kChannelLogon, dialog, [tell = std::move(tell)](int, int) { tell(); });
}

void ConsoleLink::ObserveUserListEnd(QObject* tree, std::function<void()> tell) {
    if (!tell) return;
    AddObserver(kChannelUserListEnd, tree, [tell = std::move(tell)](int, int) { tell(); });
}

void ConsoleLink::Tell(int channel, int notice, int id) {
    auto found = m_observers.find(channel);
    if (found == m_observers.end()) return;
    std::erase_if(found->second, [](const Observer& o) { return o.window.isNull(); });
    // A callback may register windows or close them: tell a copy, skipping windows gone since.
    const std::vector<Observer> observers = found->second;
    for (const Observer& o : observers)
        if (!o.window.isNull()) o.tell(notice, id);
}

// ---- Hand-over ----

void ConsoleLink::Post(std::function<void()> apply) { m_steps.Post(std::move(apply)); }

void ConsoleLink::Refuse(const NetPacket& packet, const char* why) {
    m_nRefused.fetch_add(1);
    ConsoleLog("message (%d, %d) dropped: %s", packet.GetType(), packet.GetSubOp(), why);
}

// ---- Requests ----

bool ConsoleLink::Reconnect(int port, const std::string& address) {
    StopAndClose();
    m_steps.NextGeneration();
    m_bLogonPending = false;
    m_bLoggedOn = false;
    m_bLogoffSent = false;
    m_bLostTold = false;
    m_strConnAddr = address;
    m_nConnPort = port;
    if (Connect(port, address) == 1) return true;
    StopAndClose();
    m_strConnAddr.clear();
    m_nConnPort = 0;
    return false;
}

int ConsoleLink::SendLogonRequest(int port, const std::string& address, const CkxClient& client) {
    AssertGuiThread();
    if (address.empty() || client.m_strLogon.empty()) return 0;
    const bool live = IsRunning();
    // A second press while the first answer is outstanding would send a second log-on, whose
    // refusal ("already logged on") would then make the console forget its user.
    if (live && m_bLogonPending) return 0;
    // Another server, a dead connection, or one the server is closing after our log-off: the
    // request must go to the server named now, on a connection of its own.
    if (!live || m_bLogoffSent || address != m_strConnAddr || port != m_nConnPort) {
        if (!Reconnect(port, address)) return 0;
    }
    m_strServerAddr = address;
    m_strLogonName = client.m_strLogon;
    const CkxClient::_COM com = client.GetComData();
    NetPacket packet;
    packet.InitCommand(kMsgSession, kSubLogon, 1);
    packet.SetQueueClass(2);
    packet.SetData(&com, sizeof com);
    if (!SendPacket(packet)) return 0;
    m_bLogonPending = true;
    return 1;
}

int ConsoleLink::SendLogonRequest(const std::string& address, const CkxClient& client) {
    return SendLogonRequest(kx::ServicePort(), address, client);
}

int ConsoleLink::SendLogoffRequest() {
    AssertGuiThread();
    if (!m_bLoggedOn || m_bLogoffSent) return 0;
    m_strServerAddr.clear();
    // Remembered before it goes: the server answers by closing the connection, which is then
    // expected and not reported as a loss.
    m_bLogoffSent = true;
    NetPacket packet;
    packet.InitCommand(kMsgSession, kSubLogoff, 1);
    packet.SetQueueClass(2);
    packet.SetDataInt(m_nCurUserId);
    return SendPacket(packet);
}

int ConsoleLink::SendOnlineListRequest() { return SendListRequest(kMsgSession); }
int ConsoleLink::SendServerListRequest() { return SendListRequest(kMsgServerRecord); }

int ConsoleLink::SendHostInfoRequest() {
    NetPacket packet;
    packet.InitCommand(kMsgHostInfo, kSubNone, 1);
    packet.SetRequestQueue();
    packet.SetParam(0);
    return SendPacket(packet);
}

int ConsoleLink::SendUserListRequest() {
    AssertGuiThread();
    Users().DeleteAll();
    return SendListRequest(kMsgUser);
}

int ConsoleLink::SendUserAddRequest(const CkxUser& user) {
    return SendRecordRequest(*this, kMsgUser, kSubAdd, user);
}

int ConsoleLink::SendUserUpdateRequest(const CkxUser& user) {
    return SendRecordRequest(*this, kMsgUser, kSubModify, user);
}

int ConsoleLink::SendUserDeleteRequest(int id) { return SendDeleteRequest(kMsgUser, id); }

int ConsoleLink::SendGroupListRequest() { return SendListRequest(kMsgUserGroup); }

int ConsoleLink::SendGroup(int subOp, const CkxUserGroup& group) {
    const CkxUserGroup::_COM com = group.GetComData();
    CkxBuf members;
    group.BuildQueryBuf(members);
    NetMessage message;
    message.SetCommand(kMsgUserGroup, subOp);
    message.SetQueueClass(3);
    if (!message.AppendData(&com, sizeof com)) return 0;
    if (!message.AppendData(members.GetBuf(), static_cast<size_t>(members.GetLen()))) return 0;
    return SendMessage(message);
}

int ConsoleLink::SendGroupAddRequest(const CkxUserGroup& group) { return SendGroup(kSubAdd, group); }
int ConsoleLink::SendGroupUpdateRequest(const CkxUserGroup& group) { return SendGroup(kSubModify, group); }
int ConsoleLink::SendGroupDeleteRequest(int id) { return SendDeleteRequest(kMsgUserGroup, id); }

int ConsoleLink::SendUserRoleListRequest() { return SendListRequest(kMsgUserRole); }

int ConsoleLink::SendUserRoleAddRequest(const CkxUserRole& role) {
    return SendRecordRequest(*this, kMsgUserRole, kSubAdd, role);
}

int ConsoleLink::SendUserRoleUpdateRequest(const CkxUserRole& role) {
    return SendRecordRequest(*this, kMsgUserRole, kSubModify, role);
}

int ConsoleLink::SendUserRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgUserRole, id); }

int ConsoleLink::SendFileRoleListRequest() {
    AssertGuiThread();
    FileRoles().DeleteAll();
    return SendListRequest(kMsgFileRole);
}

int ConsoleLink::SendFileRoleAddRequest(const CkxFileRole& role) {
    return SendRecordRequest(*this, kMsgFileRole, kSubAdd, role);
}

int ConsoleLink::SendFileRoleUpdateRequest(const CkxFileRole& role) {
    return SendRecordRequest(*this, kMsgFileRole, kSubModify, role);
}

int ConsoleLink::SendFileRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgFileRole, id); }

int ConsoleLink::SendFolderRoleListRequest() {
    AssertGuiThread();
    FolderRoles().DeleteAll();
    return SendListRequest(kMsgFolderRole);
}

int ConsoleLink::SendFolderRoleAddRequest(const CkxFolderRole& role) {
    return SendRecordRequest(*this, kMsgFolderRole, kSubAdd, role);
}

int ConsoleLink::SendFolderRoleUpdateRequest(const CkxFolderRole& role) {
    return SendRecordRequest(*this, kMsgFolderRole, kSubModify, role);
}

int ConsoleLink::SendFolderRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgFolderRole, id); }

int ConsoleLink::SendLogDeleteRequest(DATE date) {
    NetPacket packet;
    packet.InitCommand(kMsgLogDelete, kSubNone, 1);
    packet.SetRequestQueue();
    packet.SetData(&date, sizeof date);
    return SendPacket(packet);
}

int ConsoleLink::SendLogQueryRequest(const CkxLog& filter) {
    AssertGuiThread();
    // The server answers nothing when no line matches: the old lines must not stand as the
    // answer to this query.
    KX_LogList().DeleteAll();
    Tell(kMsgLogQuery, kNoticeReload, 0);
    const CkxLog::_COM com = filter.GetComData();
    NetPacket packet;
    packet.InitCommand(kMsgLogQuery, kSubNone, 1);
    packet.SetRequestQueue();
    packet.SetData(&com, sizeof com);
    return SendPacket(packet);
}

// ---- Dispatch (the connection's dispatch thread) ----

void ConsoleLink::OnRequest(NetPacket&, NetMessage*) {
    // The server never asks the console anything; whatever comes as a request is dropped.
}

void ConsoleLink::OnReply(NetPacket& packet, NetMessage* message) {
    switch (packet.GetType()) {
    case kMsgSession: OnSessionMessage(packet, message); break;
    case kMsgServerRecord: OnServerMessage(packet, message); break;
    case kMsgHostInfo: OnHostInfoMessage(packet, message); break;
    case kMsgUser: OnRecordMessage<CkxUser>(packet, message, &Users, false); break;
    case kMsgUserGroup: OnGroupMessage(packet, message); break;
    case kMsgUserRole: OnRecordMessage<CkxUserRole>(packet, message, &UserRoles, true); break;
    case kMsgFileRole: OnRecordMessage<CkxFileRole>(packet, message, &FileRoles, true); break;
    case kMsgFolderRole: OnRecordMessage<CkxFolderRole>(packet, message, &FolderRoles, true); break;
    case kMsgLogQuery: OnLogMessage(packet, message); break;
    case kMsgPerson: OnRecordMessage<CkxPerson>(packet, message, &Persons, true); break;
    default: break; // every other type is not the console's
    }
}

void ConsoleLink::OnClose() {
    Post([this] { ApplyConnectionLost(); });
}

void ConsoleLink::OnSessionMessage(const NetPacket& packet, const NetMessage* message) {
    const std::string_view body = NetBody(packet, message);
    const int subOp = packet.GetSubOp();
    if (subOp == kSubLogon) {
        const bool readable = body.size() >= 8;
        if (!readable) Refuse(packet, "a log-on answer shorter than 8 bytes");
        const int result = readable ? kx::LoadI32(body.data()) : kLogonUnreadable;
        const int userId = readable ? kx::LoadI32(body.data() + 4) : -1;
        Post([this, readable, result, userId] { ApplyLogonAnswer(readable, result, userId); });
        return;
    }
    if (subOp != kSubLogoff && subOp != kSubOnlineUsers && subOp != kSubUserOnline) return;
    const std::optional<int> id = NetReadIdText(body);
    if (!id) {
        Refuse(packet, "the user id is not decimal text");
        return;
    }
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    Post([this, subOp, id = *id, first, last] {
        CkxUserOnline& online = KX_KXXXX().m_UserOnline;
        switch (subOp) {
        case kSubLogoff:
            online.Delete(id);
            Tell(kMsgSession, kNoticeRemoved, id);
            break;
        case kSubOnlineUsers:
            if (first) online.DeleteAll();
            online.AddTail(id);
            if (last) Tell(kMsgSession, kNoticeReload, 0);
            break;
        case kSubUserOnline:
            if (online.IsValid(id)) break;
            online.AddTail(id);
            Tell(kMsgSession, kNoticeAdded, id);
            break;
        default: break;
        }
    });
}

void ConsoleLink::OnServerMessage(const NetPacket& packet, const NetMessage* message) {
    if (packet.GetSubOp() != kSubList) return;
    const auto com = NetReadCom<CkxServer::_COM>(NetBody(packet, message));
    if (!com) {
        Refuse(packet, "a server record shorter than 316 bytes");
        return;
    }
    Post([this, com = *com] {
        CkxServer server;
        server.SetComData(com);
        // The record's first text is the console's own: the address it reached the server by.
        server.m_strText1 = m_strServerAddr;
        KX_KXXXX().m_Server = server;
    });
}

void ConsoleLink::OnHostInfoMessage(const NetPacket& packet, const NetMessage* message) {
    const auto com = NetReadCom<CkxHostInfo::_COM>(NetBody(packet, message));
    if (!com) {
        Refuse(packet, "a host information image shorter than 1616 bytes");
        return;
    }
    Post([this, com = *com] {
        KX_KXXXX().m_HostInfo.SetComData(com);
        Tell(kMsgHostInfo, kNoticeUpdated, 0);
    });
}

// Users, user roles, file roles, folder roles and persons share one shape. Users take only the
// request codes 20..23; the others take the pushed codes 30..32 as 21..23.
template <class T, class List>
void ConsoleLink::OnRecordMessage(const NetPacket& packet, const NetMessage* message, List& (*list)(),
                                  bool pushed) {
    const int type = packet.GetType();
    const int raw = packet.GetSubOp();
    if (!pushed && raw >= kSubAdded && raw <= kSubDeleted) return;
    const int subOp = CanonicalSubOp(raw);
    const std::string_view body = NetBody(packet, message);
    if (subOp == kSubDelete) {
        const std::optional<int> id = NetReadIdText(body);
        if (!id) {
            Refuse(packet, "the deleted id is not decimal text");
            return;
        }
        Post([this, type, list, id = *id] {
            list().Delete(id);
            Tell(type, kNoticeRemoved, id);
        });
        return;
    }
    if (subOp != kSubList && subOp != kSubAdd && subOp != kSubModify) return;
    const auto com = NetReadCom<typename T::_COM>(body);
    if (!com) {
        Refuse(packet, "a record shorter than its size");
        return;
    }
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    Post([this, type, list, subOp, first, last, com = *com] {
        const T rec(com);
        const int id = rec.GetID();
        switch (subOp) {
        case kSubList:
            if (first) list().DeleteAll();
            list().AddTail(rec);
            if (last) {
                Tell(type, kNoticeReload, 0);
                if (type == kMsgUser) Tell(kChannelUserListEnd, kNoticeUserListEnd, kNoticeReload);
            }
            break;
        case kSubAdd:
            list().AddTail(rec);
            Tell(type, kNoticeAdded, id);
            break;
        case kSubModify:
            list().Update(rec);
            Tell(type, kNoticeUpdated, id);
            break;
        default: break;
        }
    });
}

void ConsoleLink::OnGroupMessage(const NetPacket& packet, const NetMessage* message) {
    const int subOp = CanonicalSubOp(packet.GetSubOp());
    if (subOp == kSubDelete) {
        const std::optional<int> id = NetReadIdText(NetBody(packet, message));
        if (!id) {
            Refuse(packet, "the deleted id is not decimal text");
            return;
        }
        Post([this, id = *id] {
            KX_KXXXX().m_UserGroupList.Delete(id);
            Tell(kMsgUserGroup, kNoticeRemoved, id);
        });
        return;
    }
    if (subOp != kSubList && subOp != kSubAdd && subOp != kSubModify) return;
    // A group travels as a message: its record, then its member container.
    if (!message) return;
    const auto com = NetReadCom<CkxUserGroup::_COM>(message->GetPiece(0));
    if (!com) {
        Refuse(packet, "a group record shorter than 104 bytes");
        return;
    }
    CkxUserGroup group(*com);
    if (message->GetPieceCount() > 1) {
        const std::string_view members = message->GetPiece(1);
        if (!members.empty() &&
            !group.PasyQueryBuf(reinterpret_cast<const unsigned char*>(members.data()),
                                static_cast<int>(members.size()))) {
            Refuse(packet, "a group's member list that does not read");
            return;
        }
    }
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    Post([this, subOp, first, last, group = std::move(group)] {
        CkxUserGroupList& groups = KX_KXXXX().m_UserGroupList;
        switch (subOp) {
        case kSubList:
            if (first) groups.DeleteAll();
            groups.AddTail(group);
            if (last) Tell(kMsgUserGroup, kNoticeReload, 0);
            break;
        case kSubAdd:
            groups.AddTail(group);
            Tell(kMsgUserGroup, kNoticeAdded, group.GetID());
            break;
        case kSubModify:
            groups.Update(group); // name, note and members
            Tell(kMsgUserGroup, kNoticeUpdated, group.GetID());
            break;
        default: break;
        }
    });
}

void ConsoleLink::OnLogMessage(const NetPacket& packet, const NetMessage* message) {
    const auto com = NetReadCom<CkxLog::_COM>(NetBody(packet, message));
    if (!com) {
        Refuse(packet, "a log record shorter than 88 bytes");
        return;
    }
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    Post([this, first, last, com = *com] {
        CkxLogList& logs = KX_LogList();
        if (first) logs.DeleteAll();
        logs.AddTail(CkxLog(com));
        if (last) Tell(kMsgLogQuery, kNoticeReload, 0);
    });
}

// ---- Apply steps (GUI thread) ----

void ConsoleLink::ForgetUser() {
    m_nCurUserId = -1;
    m_strLogonName.clear();
    m_strServerAddr.clear();
    KX_KXXXX().SetCurUser(-1);
}

void ConsoleLink::ApplyLogonAnswer(bool readable, int result, int userId) {
    // Once logged on, a later answer (to a repeated request) must not undo the session.
    if (m_bLoggedOn) {
        ConsoleLog("a log-on answer after a successful log-on was ignored");
        return;
    }
    m_bLogonPending = false;
    m_nLogonResult = result;
    if (readable && result == kLogonOk) {
        m_nCurUserId = userId;
        m_bLoggedOn = true;
        KX_KXXXX().SetCurUser(userId);
    } else {
        ForgetUser();
    }
    Tell(kChannelLogon, 0, 0);
}

void ConsoleLink::ApplyConnectionLost() {
    m_bLogonPending = false;
    // Only a session in use is lost: after our own log-off the server closes the connection as
    // expected, and before a log-on the next request simply connects anew.
    if (!m_bLoggedOn || m_bLogoffSent || m_bLostTold) return;
    m_bLostTold = true;
    QPointer<QWidget> main = m_mainWindow;
    kx::Prompt(main.data(), kLostText, kx::PromptOk, kx::PromptWarning);
    if (!main.isNull()) main->close();
}

// ---- The program's one link ----

void InstallConsoleLink(ConsoleLink* link) { g_installed = link; }

ConsoleLink& TheConsoleLink() {
    if (!g_installed) {
        std::fprintf(stderr, "keeper: the console link is used before it was made\n");
        std::abort();
    }
    return *g_installed;
}
