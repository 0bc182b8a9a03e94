#include "session/CSessionList.h"

#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <algorithm>
#include <string>

CSessionList::~CSessionList() { RemoveAll(); }

int CSessionList::Add(std::unique_ptr<CClientSession> session) {
    if (!session) return 0;
    std::unique_ptr<CClientSession> failed;
    {
        std::lock_guard lock(m_mutex);
        // Started under the lock, so RemoveAll can never delete a session halfway through.
        // Only what reading the log-on needs runs until it succeeds (SetLoggedOn starts the
        // keep-alive): a stranger's connection costs three threads, not five.
        if (session->StartThreads(NetThreads::Reading)) {
            m_sessions.push_back(std::move(session));
            return 1;
        }
        failed = std::move(session);
    }
    // A session without threads would never end: it is not kept.
    failed->StopAndClose();
    return 0;
}

void CSessionList::Dispose(std::vector<std::unique_ptr<CClientSession>>& taken) {
    for (auto& s : taken) s->StopAndClose();
    taken.clear();
}

int CSessionList::RemoveIf(const std::function<bool(const CClientSession&)>& match) {
    std::vector<std::unique_ptr<CClientSession>> taken;
    {
        std::lock_guard lock(m_mutex);
        auto keep = std::stable_partition(m_sessions.begin(), m_sessions.end(),
                                          [&](const auto& s) { return !match(*s); });
        for (auto it = keep; it != m_sessions.end(); ++it) taken.push_back(std::move(*it));
        m_sessions.erase(keep, m_sessions.end());
    }
    const int n = static_cast<int>(taken.size());
    Dispose(taken);
    return n;
}

int CSessionList::Remove(uint64_t serial) {
    return RemoveIf([serial](const CClientSession& s) { return s.GetSerial() == serial; });
}

int CSessionList::RemoveUser(int userId) {
    return RemoveIf([userId](const CClientSession& s) { return s.GetUserID() == userId; });
}

void CSessionList::RemoveAll() {
    RemoveIf([](const CClientSession&) { return true; });
}

// Changes of the catalogue go only to sessions that have logged on: a connection that has not
// may ask for nothing but the log-on, and must not overhear records either.
bool CSessionList::Hears(const CClientSession& s) { return s.IsLoggedOn(); }

int CSessionList::SendToAll(const NetPacket& packet, const Tailor& tailor, const Match& only) {
    std::lock_guard lock(m_mutex);
    int sent = 0;
    for (auto& s : m_sessions) {
        if (!Hears(*s) || (only && !only(*s))) continue;
        if (tailor) {
            NetPacket copy(packet);
            tailor(*s, copy);
            sent += s->SendReply(copy);
        } else {
            sent += s->SendReply(packet);
        }
    }
    return sent;
}

int CSessionList::SendMessageToAll(const NetMessage& message, const Match& only) {
    return SendToHearers([&](const CClientSession& s) { return !only || only(s); },
                         [&](CClientSession& s) { return s.SendReplyMessage(message); });
}

int CSessionList::SendToEach(const std::function<int(CClientSession&)>& send) {
    return SendToHearers([](const CClientSession&) { return true; }, send);
}

int CSessionList::SendToUser(int userId, const NetPacket& packet) {
    return SendToHearers([&](const CClientSession& s) { return s.GetUserID() == userId; },
                         [&](CClientSession& s) { return s.SendReply(packet); });
}

int CSessionList::SendMessageToUser(int userId, const NetMessage& message) {
    return SendToHearers([&](const CClientSession& s) { return s.GetUserID() == userId; },
                         [&](CClientSession& s) { return s.SendReplyMessage(message); });
}

int CSessionList::SendToHearers(const std::function<bool(const CClientSession&)>& match,
                                const std::function<int(CClientSession&)>& send) {
    std::lock_guard lock(m_mutex);
    int sent = 0;
    for (auto& s : m_sessions)
        if (Hears(*s) && match(*s)) sent += send(*s);
    return sent;
}

int CSessionList::AnnounceUser(const CClientSession& from, int userId) {
    NetPacket notice;
    notice.InitCommand(kx::kMsgSession, kx::kSubUserOnline, 0);
    notice.SetText(std::to_string(userId));
    std::lock_guard lock(m_mutex);
    int sent = 0;
    for (auto& s : m_sessions)
        if (s.get() != &from && Hears(*s)) sent += s->SendReply(notice);
    return sent;
}

int CSessionList::GetCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_sessions.size());
}

bool CSessionList::IsUserLoggedOnElsewhere(int userId, uint64_t except) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_sessions.begin(), m_sessions.end(), [&](const auto& s) {
        return s->GetSerial() != except && s->IsLoggedOn() && !s->IsEnding() && s->GetUserID() == userId &&
               !s->HasPeerClosed();
    });
}

void CSessionList::ForEach(const std::function<void(CClientSession&)>& visit) const {
    std::lock_guard lock(m_mutex);
    for (const auto& s : m_sessions) visit(*s);
}
