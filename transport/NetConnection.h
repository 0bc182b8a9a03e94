// NetConnection: one end of a framed TCP connection, with up to five worker threads:
//   receive   socket -> receive buffer
//   parse     buffer -> whole packets (kind 2) and joined multi-part messages (kind 3)
//   dispatch  packets and messages -> OnRequest (flag 1) / OnReply (any other flag)
//   keep-alive  a 0 byte after about 2 s of silence both ways (the peer's parser skips it)
//   send      six queues -> socket, classes 1,2,3,4,5 then 0; each send takes at most 256 KB of
//             packets from the highest class waiting, so a request overtakes queued bulk traffic
// Nothing here knows message types; the owner's handlers interpret the packets.
//
// How an owner uses it (the server's session, the clients' server links):
//  - Derive, override OnRequest / OnReply / OnClose. Handlers run on the dispatch thread, one at
//    a time, whole packets before completed messages; they borrow the packet and message,
//    which are deleted when the handler returns. A handler may send (sends only enqueue).
//  - A client calls Connect(port, host), which starts all five threads; the server Attach()es
//    an accepted handle and calls StartThreads(). StartThreads(NetThreads::Reading) starts only
//    receive, parse and dispatch, so a peer that has not yet shown who it is costs three
//    threads: the send thread starts with the first send, the keep-alive thread when the owner
//    calls StartKeepAlive() (until then no probe goes out). Stop and join cover whichever ran.
//  - The threads wait for their events (bytes, queued packets, room, Stop) without a time
//    limit: an idle connection wakes only its keep-alive thread, once a second, and one without
//    that thread wakes none.
//  - OnClose runs once, on the worker that saw the connection fail (peer gone, send or receive
//    error). The socket has been shut down but stays open; the owner calls StopAndClose() or
//    deletes the connection later, from its own thread. Never call Stop, StopAndClose or the
//    destructor from a handler or OnClose.
//  - A subclass's destructor must call StopAndClose() first: the threads call its handlers.
//  - Senders return 1 when queued, 0 when refused (payload too long, bad class, connection not
//    running). Queues are bounded: a sender waits while its queue is full, and stops waiting
//    (result 0) when the connection stops or fails. An owner that sends while holding locks
//    other connections need (the server broadcasting under its catalogue mutex) calls
//    SetNeverWaitOnSend(true): its senders then never wait, and a peer that lets more than
//    kNoWaitQueueBytes pile up is cut off (the socket is shut down and OnClose follows on the
//    connection's own thread) instead of stalling every other session.
//  - Received input that is not a valid packet or message is dropped, logged and counted
//    (GetDroppedCount); the connection keeps running.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetReassembly.h"
#include "transport/NetReceiveBuffer.h"
#include "transport/NetSeries.h"
#include "transport/NetSocket.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Which threads StartThreads starts; see the note at the top.
enum class NetThreads { All, Reading };

class NetConnection : public NetSocket {
public:
    // Packets a send queue holds before its senders wait (8 MB of payload per class).
    static constexpr size_t kSendQueueCap = 1024;
    // Bytes the queues of a never-waiting connection may hold before its peer is cut off: room
    // for the largest message (256 MB) with another in flight.
    static constexpr uint64_t kNoWaitQueueBytes = 512ull << 20;
    // Received packets and completed messages waiting for the dispatch thread.
    static constexpr size_t kReceivedCap = 4096;
    static constexpr size_t kCompletedCap = 16;

    NetConnection();
    ~NetConnection() override;

    // Client side: creates a socket, connects and starts the threads. 1, or 0 when the name
    // does not resolve, the connect fails (or does not finish within limitMs, when given) or the
    // threads cannot start.
    int Connect(int port, const std::string& host, int limitMs = -1);
    // Starts the threads on the current socket (attached or connected) after emptying every
    // queue: all five, or with Reading the three that read and dispatch (the send thread then
    // starts with the first send). 1 when running (also when it already was), 0 without a
    // socket or threads.
    int StartThreads(NetThreads threads = NetThreads::All);
    // Starts the keep-alive thread if it is not running (a start with Reading); callable from a
    // handler. 1 when it runs, 0 when the connection is not running or the thread cannot start.
    int StartKeepAlive();
    // Ends and joins the threads, then empties every queue; queued sends are dropped. The
    // socket stays open (StartThreads may run again on it).
    void Stop();
    // Stop, then close the socket.
    void StopAndClose();

    bool IsRunning() const { return m_bRunning.load(); }
    // True once a worker saw the connection fail (until the next start).
    bool IsFailed() const { return m_bFailed.load(); }
    // True once the peer has ended its stream: the receive thread saw it, or the socket already
    // holds the end although the thread has not read up to it yet. Bytes sent before the end
    // may still be waiting for their handlers.
    bool HasPeerClosed() const;

    // Whole packets.
    int SendPacket(const NetPacket& packet);     // flag 1, the packet's class (0..5)
    int SendReply(const NetPacket& packet);      // flag 0, class 3
    int SendListRequest(int type);               // sub-operation 20, no payload
    int SendAddRequest(int type, const void* bytes, size_t n);    // sub-operation 21
    int SendUpdateRequest(int type, const void* bytes, size_t n); // sub-operation 22
    int SendDeleteRequest(int type, int id);     // sub-operation 23, the id as decimal text

    // Multi-part messages: a new transfer id each time; all parts enter one queue together.
    int SendMessage(const NetMessage& message);      // flag 1, the message's class (0 or >5: A)
    int SendReplyMessage(const NetMessage& message); // flag 0, class 5
    // Series: every entry numbered, class 5, all entries enter queue F together.
    int SendPacketSeries(const NetPacketSeries& series);       // flag 1
    int SendReplyPacketSeries(const NetPacketSeries& series);  // flag 0
    int SendMessageSeries(const NetMessageSeries& series);     // flag 1
    int SendReplyMessageSeries(const NetMessageSeries& series); // flag 0

    // Largest message content accepted from the peer (default 256 MB); set before starting.
    void SetMaxMessageLength(uint64_t n) { m_reassembly.SetMaxMessageLength(n); }
    // Until lifted (0, at any time), a message the peer announces longer than n ends the
    // connection (a server before the peer has logged on).
    void SetUntrustedMessageLimit(uint64_t n) { m_reassembly.SetUntrustedLimit(n); }
    // Bytes the peer's unfinished messages may hold (default 512 MB), and the budget shared
    // with other connections they are also taken from (null: none; it must outlive the
    // connection's threads); set before starting.
    void SetUnfinishedLimit(uint64_t n) { m_reassembly.SetMaxHeld(n); }
    void SetMessageBudget(NetMessageBudget* budget) { m_reassembly.SetBudget(budget); }
    // Bytes the peer's unfinished messages hold now.
    uint64_t GetUnfinishedBytes() const { return m_reassembly.Held(); }
    // Senders never wait for queue space; see the note at the top.
    void SetNeverWaitOnSend(bool on, uint64_t maxQueuedBytes = kNoWaitQueueBytes) {
        m_nNoWaitCap = maxQueuedBytes;
        m_bNeverWait = on;
    }
    // Packets and messages dropped as malformed since the start.
    uint64_t GetDroppedCount() const { return m_nDropped.load() + m_nEvicted.load(); }
    // Received packets and messages not yet handed to a handler.
    size_t GetWaitingCount() const;
    // Sets the transfer-id counter: the next message gets counter % 60000 + 1 (tests).
    void SetTransferCounter(uint32_t value) { m_nTransfer.store(value); }

protected:
    // For a whole packet `message` is null; for a multi-part message `packet` is its first
    // part, whose header carries the message's type, sub-operation, flag and parameter.
    virtual void OnRequest(NetPacket& packet, NetMessage* message) {}
    virtual void OnReply(NetPacket& packet, NetMessage* message) {}
    virtual void OnClose() {}

    // Queues a copy by its class byte (0..5 to A..F); 0 for any other class.
    int EnqueuePacket(const NetPacket& packet);

private:
    using PacketPtr = std::unique_ptr<NetPacket>;
    using MessagePtr = std::unique_ptr<NetMessage>;

    void ReceiveLoop();
    void ParseLoop();
    void DispatchLoop();
    void KeepAliveLoop();
    void SendLoop();

    // A worker saw the connection fail: shut the socket down, stop the threads, OnClose once.
    void Fail(const char* why);
    // Starts one thread of a running connection unless it runs already; sets *started once it
    // does. 0 when the connection is not running or the thread cannot start (the socket is
    // then shut down, so the connection's own threads end it).
    int StartLate(std::thread& thread, void (NetConnection::*loop)(), std::atomic<bool>* started = nullptr);
    void WakeAll();
    void JoinThreads();
    void Reset();
    int NextTransferId();

    // Blocking push of `count` packets, in order, into send queue `cls`, with the batch lock
    // of that class held by the caller. False when the connection stopped (or, never waiting,
    // cut its peer off) before all of them were in.
    bool PushSend(int cls, PacketPtr* packets, size_t count);
    // Moves up to n spare packets into out; how many.
    size_t TakeSpares(PacketPtr* out, size_t n);
    int SendRequest(int type, int subOp, const void* bytes, size_t n);
    int QueueMessage(const NetMessage& message, int flag, int cls, int seriesPos, int seriesIndex);
    int QueuePacketSeries(const NetPacketSeries& series, int flag);
    int QueueMessageSeries(const NetMessageSeries& series, int flag);
    template <class T>
    bool PushWaiting(std::deque<T>& queue, size_t cap, T item);

    NetReceiveBuffer m_buffer;
    NetReassembly m_reassembly; // parse thread only (and Reset while stopped)

    std::mutex m_lifeMutex; // start / stop
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bClosed{false};      // OnClose has run
    std::atomic<bool> m_bPeerClosed{false};  // the peer ended its stream
    std::atomic<bool> m_bParseDrained{false}; // ... and every byte it sent was parsed
    std::thread m_receiveThread, m_sendThread, m_parseThread, m_dispatchThread, m_keepAliveThread;
    // Guards the thread objects against a late start (send, keep-alive) racing a join.
    std::mutex m_lazyMutex;
    std::atomic<bool> m_bSendStarted{false}; // written under m_lazyMutex

    std::mutex m_sendMutex;
    std::condition_variable m_sendReady; // the send thread waits for packets
    std::condition_variable m_sendSpace; // senders wait for room
    std::array<std::deque<PacketPtr>, kNetQueueClasses> m_sendQueues;
    uint64_t m_nQueuedBytes = 0; // bytes in m_sendQueues, under m_sendMutex
    // Packets the send thread has written, kept (under m_sendMutex) for cutting further
    // message parts: a long message then reuses a few hundred packets instead of allocating
    // and freeing one per part.
    static constexpr size_t kSpareCap = 256;
    std::vector<PacketPtr> m_spare;
    std::atomic<bool> m_bNeverWait{false};
    std::atomic<uint64_t> m_nNoWaitCap{kNoWaitQueueBytes};
    // Held while one packet, message or series enters a class's queue, so the packets of one
    // message or series are never interleaved with others of the same class.
    std::array<std::mutex, kNetQueueClasses> m_batchMutex;

    mutable std::mutex m_receivedMutex;
    std::condition_variable m_receivedReady;
    std::condition_variable m_receivedSpace;
    std::deque<PacketPtr> m_received;
    std::deque<MessagePtr> m_completed;

    std::mutex m_idleMutex; // the keep-alive thread's one-second wait
    std::condition_variable m_idleWake;

    std::atomic<uint32_t> m_nTransfer{0};
    std::atomic<uint64_t> m_nDropped{0};
    std::atomic<uint64_t> m_nEvicted{0};
};
