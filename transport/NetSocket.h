// NetSocket: a TCP socket handle with the few operations the transport needs (create, bind,
// listen, accept, connect, wait, receive, send all) and the idle counters of the keep-alive
// probe. Sends are serialised so that a probe byte never lands inside a packet; every send
// uses MSG_NOSIGNAL and the process ignores SIGPIPE, so a vanished peer is an error result,
// never a signal.
//
// Waits (WaitReadable, WaitWritable and a send waiting for room) also end when another thread
// calls Interrupt(), which is how an owner stops threads blocked on the socket without closing
// a descriptor they still use. Results: 1 success, 0 failure, unless a method says otherwise.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class NetPacket;

class NetSocket {
public:
    explicit NetSocket(int protocol = 0, int family = AF_INET);
    virtual ~NetSocket();
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    int IsValid() const { return m_hSocket.load() != -1; }
    int GetHandle() const { return m_hSocket.load(); }
    // Closes the descriptor. Never call it while another thread may still use the socket:
    // the number is reused by the next socket the process opens.
    int Close();

    void SetProtocol(int protocol, int family) { m_nProtocol = protocol; m_nFamily = family; }
    // Closes any current socket and creates a stream socket; 1 (a failure shows as !IsValid()).
    int Create();
    // Closes any current socket, creates one of `type` (SO_REUSEADDR set) and binds it to
    // (port, host); an empty host binds every local address. On failure nothing stays open.
    int CreateBound(int port, const std::string& host, int type = SOCK_STREAM);
    // IPv4 address of (port, host): "" or "SockAddr_any" is INADDR_ANY, "SockAddr_broadcast"
    // INADDR_BROADCAST, a dotted address as written, anything else a name looked up with
    // getaddrinfo (first IPv4 address). 0 when the name cannot be resolved.
    int Resolve(int port, const std::string& host, sockaddr_in& out) const;
    int Listen(int backlog);
    // 1 and the new handle (owned by the caller) when a connection was accepted.
    int Accept(int& handle);
    // Closes the current socket and takes `handle` (an accepted connection).
    void Attach(int handle);
    // Resolves and connects; 0 without a connect call when the name does not resolve.
    // 1 when connected. A limit in milliseconds (>= 0) bounds the wait for a peer that does not
    // answer; -1 waits as long as the system does.
    int Connect(int port, const std::string& host, int limitMs = -1);

    // 1 when the socket becomes readable / writable within the time, else 0 (timeout, error,
    // invalid socket or Interrupt()).
    int WaitReadable(int seconds) { return WaitFor(true, seconds * 1000); }
    int WaitWritable(int seconds) { return WaitFor(false, seconds * 1000); }
    int WaitFor(bool readable, int milliseconds);
    // Bytes waiting to be received; 0 on error or an invalid socket.
    int Pending() const;

    // Dotted address and port (host order); 0 on an invalid socket or failure.
    int GetLocalAddress(std::string& address, int& port) const;
    int GetPeerAddress(std::string& address, int& port) const;

    int ShutdownSend();
    int ShutdownReceive();
    // Both directions: a thread blocked on the socket returns at once; the descriptor stays open.
    int Shutdown();

    // One recv (with recv's `flags`): -1 on an invalid socket, 0 for a null buffer or size 0,
    // else recv's result.
    int Receive(void* buffer, int size, int flags = 0);
    // Sends all n bytes: n, 0 for nothing to send (or interrupted before the first byte),
    // -1 on an invalid socket or an error. An error, or an interruption after part of the
    // bytes went out, shuts the socket down: the stream can no longer be trusted.
    int SendAll(const void* bytes, int n);
    // Writes one packet as it travels (header then payload); its total length, or as SendAll.
    int WritePacket(const NetPacket& packet);
    // Writes up to kMaxWriteBatch packets back to back in one send: their total length, or as
    // SendAll.
    static constexpr int kMaxWriteBatch = 32;
    int WritePackets(const NetPacket* const* packets, int count);
    // Sends exactly one byte (the keep-alive probe sends 0).
    int SendProbe(uint8_t byte = 0);

    // Seconds since the last send / receive, counted by the keep-alive thread.
    void IncSendIdle() { m_nSendIdle.fetch_add(1, std::memory_order_relaxed); }
    void IncReceiveIdle() { m_nReceiveIdle.fetch_add(1, std::memory_order_relaxed); }
    uint32_t GetSendIdle() const { return m_nSendIdle.load(std::memory_order_relaxed); }
    uint32_t GetReceiveIdle() const { return m_nReceiveIdle.load(std::memory_order_relaxed); }
    void ResetIdle() { m_nSendIdle = 0; m_nReceiveIdle = 0; }

    // Ends current and later waits on this socket until ClearInterrupt().
    void Interrupt();
    void ClearInterrupt();

private:
    int SendVector(struct iovec* parts, int count, size_t total);

    std::atomic<int> m_hSocket{-1};
    int m_nProtocol;
    int m_nFamily;
    int m_hWake = -1; // eventfd that Interrupt() makes readable
    std::atomic<uint32_t> m_nSendIdle{0};
    std::atomic<uint32_t> m_nReceiveIdle{0};
    std::mutex m_sendMutex;
    std::mutex m_receiveMutex;
};
