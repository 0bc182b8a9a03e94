#include "link/CPipeChannel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.data(), path.size());
    return true;
}

int Connect(const std::string& path) {
    sockaddr_un addr;
    if (!FillAddress(path, addr)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

CPipeChannel::~CPipeChannel() { Close(); }

std::string CPipeChannel::SocketFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

bool CPipeChannel::Open(bool server, const std::string& host, const std::string& name) {
    if (m_listenFd >= 0 || m_clientFd >= 0 || name.empty() || name.find('/') != std::string::npos) return false;
    if (!host.empty() && host != ".") return false;
    const std::string path = SocketFolder() + "/" + name;
    sockaddr_un addr;
    if (!FillAddress(path, addr)) return false;

    if (!server) {
        m_clientFd = Connect(path);
        if (m_clientFd < 0) return false;
        m_bServer = false;
        m_strName = name;
        m_strPath = path;
        return true;
    }

    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        // A live server keeps its name; a socket file a dead one left is taken over; anything
        // else under that name is not ours to remove.
        if (!S_ISSOCK(st.st_mode)) return false;
        const int probe = Connect(path);
        if (probe >= 0) {
            ::close(probe);
            return false;
        }
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // The file is made owner-only before the socket listens, so nobody else can connect first.
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::chmod(path.c_str(), 0600) != 0 ||
        ::listen(fd, 1) != 0) {
        ::close(fd);
        ::unlink(path.c_str());
        return false;
    }
    m_listenFd = fd;
    m_bServer = true;
    m_strName = name;
    m_strPath = path;
    return true;
}

bool CPipeChannel::Write(const void* message) {
    if (m_clientFd < 0 || !message || m_nMsgSize <= 0) return false;
    const auto* p = static_cast<const unsigned char*>(message);
    std::size_t left = std::size_t(m_nMsgSize);
    while (left > 0) {
        const ssize_t n = ::send(m_clientFd, p, left, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

void CPipeChannel::SetCallback(Callback callback) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callback = std::move(callback);
}

bool CPipeChannel::StartReader(int messageId, int userValue) {
    if (m_reader.joinable() || (m_listenFd < 0 && m_clientFd < 0)) return false;
    if (m_wakeFd < 0) m_wakeFd = ::eventfd(0, EFD_CLOEXEC);
    if (m_wakeFd < 0) return false;
    m_nMessageId = messageId;
    m_nUserValue = userValue;
    m_bStop = false;
    m_reader = std::thread([this] { ReaderThread(); });
    return true;
}

bool CPipeChannel::ReadConnection(int fd) {
    std::vector<unsigned char> block(std::size_t(m_nMsgSize > 0 ? m_nMsgSize : 1));
    std::size_t have = 0;
    while (!m_bStop) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents) return false; // Close
        const ssize_t n = ::read(fd, block.data() + have, block.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true; // the writer went: wait for the next
        have += std::size_t(n);
        // Only whole messages reach the callback; a short read is gathered first.
        if (have == block.size() && m_nMsgSize > 0) {
            Callback cb;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                cb = m_callback;
            }
            if (cb) cb(block.data(), m_nUserValue);
            have = 0;
        }
    }
    return false;
}

void CPipeChannel::ReaderThread() {
    while (!m_bStop) {
        if (!m_bServer) {
            // A client end reads nothing: it waits for Close.
            pollfd wake = {m_wakeFd, POLLIN, 0};
            if (::poll(&wake, 1, -1) < 0 && errno == EINTR) continue;
            return;
        }
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        int conn = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0) continue;
        const bool more = ReadConnection(conn);
        CloseFd(conn);
        if (!more) return;
    }
}

void CPipeChannel::Close() {
    m_bStop = true;
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t w = ::write(m_wakeFd, &one, sizeof one);
    }
    if (m_reader.joinable()) m_reader.join();
    CloseFd(m_clientFd);
    if (m_listenFd >= 0) {
        CloseFd(m_listenFd);
        ::unlink(m_strPath.c_str());
    }
    CloseFd(m_wakeFd);
}
