#include "transport/NetListener.h"

#include "transport/NetLog.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <exception>
#include <system_error>

NetListener::NetListener() : NetSocket(0, AF_INET) {}

NetListener::~NetListener() { CloseAndStop(); }

int NetListener::Start(int port, const std::string& host) {
    {
        std::lock_guard life(m_lifeMutex);
        if (m_bRunning.load()) return 1;
    }
    Stop(); // joins a thread that ended on its own
    SetProtocol(0, AF_INET);
    if (!CreateBound(port, host)) return 0;
    if (!Listen(kBacklog)) {
        Close();
        return 0;
    }
    if (!StartAcceptThread()) {
        Close();
        return 0;
    }
    return 1;
}

int NetListener::StartAcceptThread() {
    std::lock_guard life(m_lifeMutex);
    if (m_acceptThread.joinable()) return 1;
    ClearInterrupt();
    m_bRunning = true;
    try {
        m_acceptThread = std::thread(&NetListener::AcceptLoop, this);
    } catch (const std::system_error& e) {
        kx::NetLog("cannot start the accept thread: %s", e.what());
        m_bRunning = false;
        return 0;
    }
    return 1;
}

void NetListener::Stop() {
    std::lock_guard life(m_lifeMutex);
    m_bRunning = false;
    Interrupt(); // ends the accept thread's wait at once
    if (m_acceptThread.joinable()) m_acceptThread.join();
    ClearInterrupt();
}

void NetListener::CloseAndStop() {
    // Shutting the listening socket down makes a blocked accept return; the descriptor is
    // closed only once the accept thread has ended.
    Shutdown();
    Stop();
    Close();
}

int NetListener::GetPort() const {
    std::string address;
    int port = 0;
    return GetLocalAddress(address, port) ? port : 0;
}

void NetListener::OnAccept(int handle) { ::close(handle); }

void NetListener::AcceptLoop() {
    while (m_bRunning.load()) {
        // Waits for a connection or for Stop; a wait that ends without one just loops.
        if (!WaitReadable(1)) continue;
        if (!m_bRunning.load()) break;
        int handle = -1;
        if (!Accept(handle)) {
            // No connection after all, or the socket is shut down: pause, then look again.
            pollfd none{-1, 0, 0};
            ::poll(&none, 1, 50);
            continue;
        }
        try {
            OnAccept(handle);
        } catch (const std::exception& e) {
            kx::NetLog("OnAccept threw: %s", e.what());
        } catch (...) {
            kx::NetLog("OnAccept threw");
        }
    }
}
