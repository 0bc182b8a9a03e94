#include "transport/NetSocket.h"

#include "transport/NetPacket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace {

// A write to a peer that has gone must come back as EPIPE, never end the process.
void IgnoreSigpipeOnce() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

int AddressOf(int handle, bool peer, std::string& address, int& port) {
    if (handle == -1) return 0;
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    int r = peer ? getpeername(handle, reinterpret_cast<sockaddr*>(&sa), &len)
                 : getsockname(handle, reinterpret_cast<sockaddr*>(&sa), &len);
    if (r != 0 || sa.sin_family != AF_INET) return 0;
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &sa.sin_addr, text, sizeof text) == nullptr) return 0;
    address = text;
    port = ntohs(sa.sin_port);
    return 1;
}

} // namespace

NetSocket::NetSocket(int protocol, int family) : m_nProtocol(protocol), m_nFamily(family) {
    IgnoreSigpipeOnce();
    m_hWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

NetSocket::~NetSocket() {
    Close();
    if (m_hWake != -1) ::close(m_hWake);
}

int NetSocket::Close() {
    int handle = m_hSocket.exchange(-1);
    if (handle == -1) return 1;
    return ::close(handle) == 0 ? 1 : 0;
}

int NetSocket::Create() {
    Close();
    m_hSocket = ::socket(m_nFamily, SOCK_STREAM | SOCK_CLOEXEC, m_nProtocol);
    return 1;
}

int NetSocket::CreateBound(int port, const std::string& host, int type) {
    Close();
    sockaddr_in sa{};
    if (!Resolve(port, host, sa)) return 0;
    int handle = ::socket(m_nFamily, type | SOCK_CLOEXEC, m_nProtocol);
    if (handle == -1) return 0;
    int on = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(handle, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(handle);
        return 0;
    }
    m_hSocket = handle;
    return 1;
}

int NetSocket::Resolve(int port, const std::string& host, sockaddr_in& out) const {
    std::memset(&out, 0, sizeof out);
    out.sin_family = static_cast<sa_family_t>(m_nFamily);
    out.sin_port = htons(static_cast<uint16_t>(port));
    if (host.empty() || host == "SockAddr_any") {
        out.sin_addr.s_addr = htonl(INADDR_ANY);
        return 1;
    }
    if (host == "SockAddr_broadcast") {
        out.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        return 1;
    }
    if (inet_pton(AF_INET, host.c_str(), &out.sin_addr) == 1) return 1;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return 0;
    out.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 1;
}

int NetSocket::Listen(int backlog) {
    int handle = m_hSocket.load();
    return handle != -1 && ::listen(handle, backlog) == 0 ? 1 : 0;
}

int NetSocket::Accept(int& handle) {
    int listening = m_hSocket.load();
    if (listening == -1) return 0;
    int accepted = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (accepted == -1) return 0;
    handle = accepted;
    return 1;
}

void NetSocket::Attach(int handle) {
    Close();
    m_hSocket = handle;
}

int NetSocket::Connect(int port, const std::string& host, int limitMs) {
    int handle = m_hSocket.load();
    if (handle == -1) return 0;
    sockaddr_in sa{};
    if (!Resolve(port, host, sa)) return 0;
    const int flags = limitMs >= 0 ? ::fcntl(handle, F_GETFL) : -1;
    if (flags != -1) ::fcntl(handle, F_SETFL, flags | O_NONBLOCK);
    int r;
    do {
        r = ::connect(handle, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    } while (r != 0 && errno == EINTR);
    if (r != 0 && flags != -1 && errno == EINPROGRESS) {
        // Wait for the handshake within the limit, then ask the socket how it ended.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd fd{handle, POLLOUT, 0};
            const int ready = ::poll(&fd, 1, static_cast<int>(std::max<long long>(0, left.count())));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 1) {
                int error = 0;
                socklen_t len = sizeof error;
                r = ::getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0 ? 0 : -1;
            }
            break;
        }
    }
    if (flags != -1) ::fcntl(handle, F_SETFL, flags);
    return r == 0 ? 1 : 0;
}

int NetSocket::WaitFor(bool readable, int milliseconds) {
    int handle = m_hSocket.load();
    if (handle == -1) return 0;
    pollfd fds[2] = {{handle, static_cast<short>(readable ? POLLIN : POLLOUT), 0}, {m_hWake, POLLIN, 0}};
    int r = ::poll(fds, m_hWake != -1 ? 2 : 1, milliseconds);
    if (r <= 0 || (fds[1].revents & POLLIN)) return 0;
    // An error or hang-up also counts as ready: the next receive or send reports it.
    return fds[0].revents != 0 ? 1 : 0;
}

int NetSocket::Pending() const {
    int handle = m_hSocket.load();
    int n = 0;
    if (handle == -1 || ::ioctl(handle, FIONREAD, &n) != 0) return 0;
    return n;
}

int NetSocket::GetLocalAddress(std::string& address, int& port) const {
    return AddressOf(m_hSocket.load(), false, address, port);
}

int NetSocket::GetPeerAddress(std::string& address, int& port) const {
    return AddressOf(m_hSocket.load(), true, address, port);
}

int NetSocket::ShutdownSend() {
    int handle = m_hSocket.load();
    return handle != -1 && ::shutdown(handle, SHUT_WR) == 0 ? 1 : 0;
}

int NetSocket::ShutdownReceive() {
    int handle = m_hSocket.load();
    return handle != -1 && ::shutdown(handle, SHUT_RD) == 0 ? 1 : 0;
}

int NetSocket::Shutdown() {
    int handle = m_hSocket.load();
    return handle != -1 && ::shutdown(handle, SHUT_RDWR) == 0 ? 1 : 0;
}

int NetSocket::Receive(void* buffer, int size, int flags) {
    int handle = m_hSocket.load();
    if (handle == -1) return -1;
    if (buffer == nullptr || size <= 0) return 0;
    ssize_t r;
    {
        std::lock_guard lock(m_receiveMutex);
        do {
            r = ::recv(handle, buffer, static_cast<size_t>(size), flags);
        } while (r < 0 && errno == EINTR);
    }
    m_nReceiveIdle.store(0, std::memory_order_relaxed);
    return static_cast<int>(r);
}

// Sends the parts without blocking in the kernel, waiting for room with poll so that
// Interrupt() can end the wait. Called with the send mutex held.
int NetSocket::SendVector(iovec* parts, int count, size_t total) {
    int handle = m_hSocket.load();
    size_t sent = 0;
    while (sent < total) {
        msghdr msg{};
        msg.msg_iov = parts;
        msg.msg_iovlen = static_cast<size_t>(count);
        ssize_t r = ::sendmsg(handle, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (r < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd fds[2] = {{handle, POLLOUT, 0}, {m_hWake, POLLIN, 0}};
                int w = ::poll(fds, m_hWake != -1 ? 2 : 1, 1000);
                if (w > 0 && (fds[1].revents & POLLIN)) {
                    if (sent == 0) return 0;
                    ::shutdown(handle, SHUT_RDWR);
                    return -1;
                }
                continue;
            }
            ::shutdown(handle, SHUT_RDWR);
            return -1;
        }
        sent += static_cast<size_t>(r);
        // Step over what went out.
        size_t done = static_cast<size_t>(r);
        while (count > 0 && done >= parts->iov_len) {
            done -= parts->iov_len;
            ++parts;
            --count;
        }
        if (count > 0) {
            parts->iov_base = static_cast<char*>(parts->iov_base) + done;
            parts->iov_len -= done;
        }
    }
    m_nSendIdle.store(0, std::memory_order_relaxed);
    return static_cast<int>(total);
}

int NetSocket::SendAll(const void* bytes, int n) {
    if (m_hSocket.load() == -1) return -1;
    if (bytes == nullptr || n <= 0) return 0;
    iovec part{const_cast<void*>(bytes), static_cast<size_t>(n)};
    std::lock_guard lock(m_sendMutex);
    return SendVector(&part, 1, static_cast<size_t>(n));
}

int NetSocket::WritePacket(const NetPacket& packet) {
    const NetPacket* one = &packet;
    return WritePackets(&one, 1);
}

int NetSocket::WritePackets(const NetPacket* const* packets, int count) {
    if (m_hSocket.load() == -1) return -1;
    if (count <= 0 || count > kMaxWriteBatch) return 0;
    uint8_t headers[kMaxWriteBatch][kNetHeaderSize];
    iovec parts[2 * kMaxWriteBatch];
    int used = 0;
    size_t total = 0;
    for (int i = 0; i < count; ++i) {
        const NetPacket& packet = *packets[i];
        packet.WriteHeader(headers[i]);
        parts[used++] = {headers[i], kNetHeaderSize};
        if (packet.GetDataLength() > 0)
            parts[used++] = {const_cast<uint8_t*>(packet.GetData()), static_cast<size_t>(packet.GetDataLength())};
        total += static_cast<size_t>(packet.GetTotalLength());
    }
    std::lock_guard lock(m_sendMutex);
    return SendVector(parts, used, total);
}

int NetSocket::SendProbe(uint8_t byte) {
    return SendAll(&byte, 1);
}

void NetSocket::Interrupt() {
    if (m_hWake == -1) return;
    uint64_t one = 1;
    ssize_t r = ::write(m_hWake, &one, sizeof one);
    (void)r;
}

void NetSocket::ClearInterrupt() {
    if (m_hWake == -1) return;
    uint64_t value;
    ssize_t r = ::read(m_hWake, &value, sizeof value);
    (void)r;
}
