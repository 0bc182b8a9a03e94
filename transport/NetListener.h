// NetListener: the listening side. Binds (SO_REUSEADDR), listens with a backlog of 100 and
// runs one accept thread that hands every accepted socket to OnAccept.
//
// How an owner uses it (the server): derive, override OnAccept(handle) and take ownership of
// the handle there (attach it to a NetConnection and start its threads). OnAccept runs on the
// accept thread, so whatever it touches must be safe against the owner's other threads.
// Stop and CloseAndStop end a blocked accept at once; call them from the owner's thread, and a
// subclass's destructor must call CloseAndStop() first.
#pragma once

#include "transport/NetSocket.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class NetListener : public NetSocket {
public:
    static constexpr int kBacklog = 100;

    NetListener();
    ~NetListener() override;

    // Binds (port, host; an empty host is every local address), listens and starts the accept
    // thread. 1, or 0 when the port is taken or binding, listening or the thread fails. A
    // listener that is already running is left as it is (1). Port 0 picks a free port:
    // GetPort() tells which.
    int Start(int port, const std::string& host = std::string());
    // Starts the accept thread on the listening socket; 1 at once when it already runs.
    int StartAcceptThread();
    // Ends the accept thread and waits for it; the socket stays open.
    void Stop();
    // Shuts the listening socket down, ends the accept thread, then closes the socket.
    void CloseAndStop();

    bool IsRunning() const { return m_bRunning.load(); }
    // The bound port (host order), 0 without a socket.
    int GetPort() const;

protected:
    // Called on the accept thread for every accepted connection; the callee owns `handle`.
    // The default closes it.
    virtual void OnAccept(int handle);

private:
    void AcceptLoop();

    std::mutex m_lifeMutex;
    std::atomic<bool> m_bRunning{false};
    std::thread m_acceptThread;
};
