// CSessionList: the registry of the server's sessions. It owns them, starts their threads when
// they join, and sends replies and notices to all of them. Sessions leave the list under its
// lock but are stopped and deleted outside it, so no session thread is ever joined while the
// lock is held (a handler on that thread may be waiting for it). Removal joins the session's
// threads, so it is never called from a handler: handlers queue ended sessions for the server
// thread instead.
#pragma once

#include "session/CClientSession.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class NetMessage;
class NetPacket;

class CSessionList {
public:
    // Called for each recipient with its own copy of the packet before it is sent.
    using Tailor = std::function<void(const CClientSession& to, NetPacket& copy)>;
    // Whether a session is to hear something (what the rights hide from some users).
    using Match = std::function<bool(const CClientSession& to)>;

    CSessionList() = default;
    ~CSessionList();
    CSessionList(const CSessionList&) = delete;
    CSessionList& operator=(const CSessionList&) = delete;

    // Appends the session and starts its threads; the start result (the session stays listed
    // without threads when they cannot start).
    int Add(std::unique_ptr<CClientSession> session);
    // Takes the session with that serial out of the list, stops it, closes its socket and
    // deletes it; 1 when it was listed.
    int Remove(uint64_t serial);
    // The same for every session whose user id is `userId`; returns how many.
    int RemoveUser(int userId);
    // Every session (at exit).
    void RemoveAll();

    // A copy to every logged-on session (that matches `only`, when given) as a reply (flag 0,
    // class 3), the sender's own included. Returns how many sessions took it.
    int SendToAll(const NetPacket& packet, const Tailor& tailor = {}, const Match& only = {});
    // A multi-part message to every logged-on session (that matches) as a reply message.
    int SendMessageToAll(const NetMessage& message, const Match& only = {});
    // Calls `send` for every logged-on session, for what differs from one to the next; how many
    // took something (the sum of what `send` returned).
    int SendToEach(const std::function<int(CClientSession&)>& send);
    // The same, only to the logged-on sessions of one user (what concerns that user alone).
    int SendToUser(int userId, const NetPacket& packet);
    int SendMessageToUser(int userId, const NetMessage& message);
    // (kMsgSession, kSubUserOnline) with the user id as decimal text, to every logged-on session except `from`.
    int AnnounceUser(const CClientSession& from, int userId);

    int GetCount() const;
    // Whether a session other than `except` is logged on as the user and still connected: one
    // that is ending, or whose peer has closed although its end is not handled yet, holds no
    // one (its user may log on again at once).
    bool IsUserLoggedOnElsewhere(int userId, uint64_t except) const;
    // Visits every session in list order under the lock; the visitor may send (sends only
    // queue) but must not add or remove sessions.
    void ForEach(const std::function<void(CClientSession&)>& visit) const;

private:
    // Whether a session hears announcements (it has logged on).
    static bool Hears(const CClientSession& s);
    // Stops, closes and deletes sessions already taken out of the list.
    static void Dispose(std::vector<std::unique_ptr<CClientSession>>& taken);
    int RemoveIf(const std::function<bool(const CClientSession&)>& match);
    // Sends through `send` to every logged-on session that matches; how many took it.
    int SendToHearers(const std::function<bool(const CClientSession&)>& match,
                      const std::function<int(CClientSession&)>& send);

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<CClientSession>> m_sessions;
};
