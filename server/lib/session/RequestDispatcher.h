// The request dispatcher: from message type to handler, built from the request table (one row
// per type 1..52, in type order; see service/RequestTable.cpp). Dispatch applies the rules
// every request obeys: only types whose row has a handler, only the log-on request before a
// session has logged on, nothing for a session that is ending or has no data manager, nothing
// the session's user is not allowed (the row's test), and the data manager's catalogue lock held
// around the test and the handler as its row says: alone for a change, shared for a read.
#pragma once

#include "data/CCatalogueMutex.h"

#include <cstdint>
#include <functional>
#include <shared_mutex>
#include <span>
#include <string_view>

class CADODatabase;
class CDataManager;
class CListenServer;
class CSessionList;
class CServerSession;
class NetMessage;
class NetPacket;

// What a handler gets: the session, the request, the data manager and its connection.
struct KxRequest {
    CServerSession& session;
    NetPacket& packet;    // the request; for a multi-part message its first part (header)
    NetMessage* message;  // the joined multi-part message, or null for a whole packet
    CDataManager& data;   // the session's data manager
    CADODatabase& db;     // the data manager's connection

    int Type() const;
    int SubOp() const;
    // The request's bytes: the packet's payload, or a message's first piece.
    std::string_view Payload() const;
    // The registry of the session's server.
    CSessionList& Sessions() const;
    CListenServer& Server() const;

    // For a reader that has read what it needs of the catalogue into its own lists: from here
    // on it holds only the in-memory lists' lock (shared, for the rights its answer is filtered
    // by) and lets the catalogue go, so that a change waiting for it goes in while the reader
    // reads stored files and sends. Nothing for a handler that does not hold the catalogue
    // shared.
    void KeepOnlyMemory();

    // Set by the dispatcher while the handler runs under the catalogue lock shared.
    std::shared_lock<CCatalogueMutex>* sharedCatalogue = nullptr;
    std::shared_lock<CCatalogueMutex> sharedMemory; // held from KeepOnlyMemory on
};

using KxRequestHandler = std::function<void(KxRequest&)>;

// One row of the request table.
struct KxRequestRow {
    // What the session must have done before the type is served.
    enum class Needs : uint8_t {
        LoggedOn,       // a successful log-on
        LogOnRequest,   // a log-on, except for the log-on request itself (type 1 only)
    };
    enum class Locking : uint8_t {
        Exclusive,     // the catalogue lock held alone around the handler (changes)
        Shared,        // held shared with other readers (handlers that only read and send)
        SharedForList, // shared for the list sub-operation, alone for every other one
        MemoryForList, // for the list sub-operation only the in-memory lists' lock, shared (a
                       // list that reads nothing but them); alone for every other one
        AloneButAdd,   // alone for every sub-operation but the add, whose handler writes the
                       // new file's content first and then takes the lock itself
        None,          // runs outside it (long samples that touch no catalogue state, and
                       // handlers that take it themselves)
    };

    int type = 0;
    void (*handler)(KxRequest&) = nullptr; // null: the type is not served
    Needs needs = Needs::LoggedOn;
    Locking locking = Locking::Exclusive;
    // What the session's user must be allowed, tested before the handler (under the catalogue
    // lock when the row takes it); null: nothing beyond the log-on. A test that fails has
    // already written its refusal; the request is then dropped.
    bool (*allowed)(KxRequest&) = nullptr;
};

class CRequestDispatcher {
public:
    static constexpr int kFirstType = 1;
    static constexpr int kLastType = 52;
    using Locking = KxRequestRow::Locking;
    struct Entry {
        KxRequestHandler handler;
        Locking locking = Locking::Exclusive;
        KxRequestRow::Needs needs = KxRequestRow::Needs::LoggedOn;
        bool (*allowed)(KxRequest&) = nullptr;
        bool served = false; // the table's row has a handler
    };

    // The table's rows, one per type 1..52 in type order (rows out of place are ignored).
    explicit CRequestDispatcher(std::span<const KxRequestRow> rows);

    // Whether the table serves the type (its row has a handler).
    bool HasHandler(int type) const;

    // Puts a handler in place of the type's current one and returns the old entry (tests); an
    // empty handler removes it. A type the table does not serve is left alone (an empty entry
    // returned): no test can make the server answer it.
    Entry Swap(int type, Entry entry);

    // Runs the handler for a request (flag 1) of the session; false when it was ignored.
    bool Dispatch(CServerSession& session, NetPacket& packet, NetMessage* message);

private:
    mutable std::shared_mutex m_mutex;
    Entry m_entries[kLastType + 1];
};
