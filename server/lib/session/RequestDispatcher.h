// The request dispatcher: one table from message type to handler for the whole protocol.
// Each service registers its handlers from its own source file with KX_REQUEST_HANDLER, so
// adding a service touches no shared switch. Dispatch applies the rules every request obeys:
// only types 1..52 that the protocol serves (2, 8, 9 and 46 are not), only the log-on request
// before a session has logged on, nothing for a session that is ending, and the catalogue
// mutex held around the handler unless it registered to run without it.
#pragma once

#include <functional>
#include <shared_mutex>
#include <string_view>

class CADODatabase;
class CListenServer;
class CSessionList;
class CServerSession;
class NetMessage;
class NetPacket;

// What a handler gets: the session, the request and the database connection.
struct KxRequest {
    CServerSession& session;
    NetPacket& packet;    // the request; for a multi-part message its first part (header)
    NetMessage* message;  // the joined multi-part message, or null for a whole packet
    CADODatabase* db;     // the data manager's connection (null without a data manager)

    int Type() const;
    int SubOp() const;
    // The request's bytes: the packet's payload, or a message's first piece.
    std::string_view Payload() const;
    // The registry of the session's server.
    CSessionList& Sessions() const;
    CListenServer& Server() const;
};

using KxRequestHandler = std::function<void(KxRequest&)>;

class CRequestDispatcher {
public:
    static constexpr int kFirstType = 1;
    static constexpr int kLastType = 52;
    enum class Locking { Catalogue, None };
    struct Entry {
        KxRequestHandler handler;
        Locking locking = Locking::Catalogue;
    };

    // The process's table.
    static CRequestDispatcher& Table();

    // Whether the protocol serves the type: 1..52 except 2, 8, 9 and 46.
    static bool IsServedType(int type);

    // Registers the handler of a type; false (nothing registered) for a type that is not
    // served or that already has a handler.
    bool Register(int type, KxRequestHandler handler, Locking locking = Locking::Catalogue);
    // Puts an entry in place of the type's current one and returns the old one (tests); an
    // empty entry removes the handler. Not for types that are not served.
    Entry Swap(int type, Entry entry);
    bool HasHandler(int type) const;

    // Runs the handler for a request (flag 1) of the session; false when it was ignored.
    bool Dispatch(CServerSession& session, NetPacket& packet, NetMessage* message);

private:
    mutable std::shared_mutex m_mutex;
    Entry m_entries[kLastType + 1];
};

// Registers a handler at program start from a service's source file:
//   KX_REQUEST_HANDLER(42, HandleKeyword);
//   KX_REQUEST_HANDLER(4, HandleHostInfo, CRequestDispatcher::Locking::None);
#define KX_REQUEST_HANDLER_JOIN2(a, b) a##b
#define KX_REQUEST_HANDLER_JOIN(a, b) KX_REQUEST_HANDLER_JOIN2(a, b)
#define KX_REQUEST_HANDLER(type, ...)                                                              \
    static const bool KX_REQUEST_HANDLER_JOIN(kxRequestHandler_, __LINE__) =                        \
        CRequestDispatcher::Table().Register((type), __VA_ARGS__)
