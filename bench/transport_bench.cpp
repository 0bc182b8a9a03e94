// Throughput and latency of the framed transport over loopback, against the same bytes through
// a plain TCP socket pair. The small round trip (one packet each way, answered by the other
// side's handler) is set against a raw socket ping-pong of the same bytes, in rounds taken in
// turn; each prints the min and median over the rounds of its median and p99.
// Run by hand on a quiet machine, several times:
//   transport_bench [megabytes=100] [rounds=5] [round-trips=2000]
#include "transport/NetConnection.h"
#include "transport/NetListener.h"
#include "transport/NetLog.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time the whole program has used so far (every thread, user and system). On a
// shared machine the wall-clock rates swing with the load; the processor time each side needs
// for the same bytes shows what the transport itself costs.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class Listener : public NetListener {
public:
    ~Listener() override { CloseAndStop(); }
    int Take() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return !m_handles.empty(); });
        int h = m_handles.front();
        m_handles.pop_front();
        return h;
    }

protected:
    void OnAccept(int handle) override {
        std::lock_guard lock(m_mutex);
        m_handles.push_back(handle);
        m_cv.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<int> m_handles;
};

// Counts what arrives; answers small requests at once.
class Endpoint : public NetConnection {
public:
    ~Endpoint() override { StopAndClose(); }
    // Waits until `n` handler calls have happened; returns the time of the last one.
    Clock::time_point WaitFor(uint64_t n) {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_nCalls >= n; });
        return m_last;
    }
    uint64_t LastContent() {
        std::lock_guard lock(m_mutex);
        return m_nLastContent;
    }

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override {
        if (!message) SendReply(packet);
        Note(message);
    }
    void OnReply(NetPacket&, NetMessage* message) override { Note(message); }

private:
    void Note(NetMessage* message) {
        std::lock_guard lock(m_mutex);
        if (message) m_nLastContent = message->GetPiece(0).size();
        ++m_nCalls;
        m_last = Clock::now();
        m_cv.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    uint64_t m_nCalls = 0;
    uint64_t m_nLastContent = 0;
    Clock::time_point m_last;
};

// A connected pair of plain loopback TCP sockets: {connecting end, accepted end}.
std::pair<int, int> SocketPair() {
    int listening = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    ::bind(listening, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(listening, 1);
    ::getsockname(listening, reinterpret_cast<sockaddr*>(&sa), &len);
    int connecting = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(connecting, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    int accepted = ::accept(listening, nullptr, nullptr);
    ::close(listening);
    return {connecting, accepted};
}

// The same bytes through a plain loopback TCP connection, the ceiling: 1 MB writes, 1 MB reads
// into one reused buffer (the bytes are not kept).
double RawSeconds(const std::string& bytes) {
    const auto sockets = SocketPair();
    const int sender = sockets.first, receiver = sockets.second;
    std::vector<char> chunk(1 << 20);

    const auto start = Clock::now();
    std::thread reader([&] {
        size_t got = 0;
        while (got < bytes.size()) {
            ssize_t r = ::recv(receiver, chunk.data(), chunk.size(), 0);
            if (r <= 0) break;
            got += static_cast<size_t>(r);
        }
    });
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t r = ::send(sender, bytes.data() + sent, std::min<size_t>(1 << 20, bytes.size() - sent), MSG_NOSIGNAL);
        if (r <= 0) break;
        sent += static_cast<size_t>(r);
    }
    reader.join();
    const double seconds = Seconds(Clock::now() - start);
    ::close(sender);
    ::close(receiver);
    return seconds;
}

// A ping-pong of `bytes`-sized blocks through a plain loopback TCP connection (no delay, as the
// transport sets it), an echo thread on the other end: each round trip's time in microseconds.
std::vector<double> RawPingPong(size_t bytes, int trips) {
    const auto sockets = SocketPair();
    const int client = sockets.first, server = sockets.second;
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto readAll = [](int fd, char* p, size_t n) {
        while (n > 0) {
            const ssize_t r = ::recv(fd, p, n, 0);
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    };
    std::thread echo([&] {
        std::vector<char> block(bytes);
        while (readAll(server, block.data(), bytes))
            if (::send(server, block.data(), bytes, MSG_NOSIGNAL) != static_cast<ssize_t>(bytes)) break;
    });
    std::vector<char> block(bytes, 'p');
    std::vector<double> us;
    for (int i = 0; i < trips; ++i) {
        const auto start = Clock::now();
        if (::send(client, block.data(), bytes, MSG_NOSIGNAL) != static_cast<ssize_t>(bytes) ||
            !readAll(client, block.data(), bytes))
            break;
        us.push_back(Seconds(Clock::now() - start) * 1e6);
    }
    ::shutdown(client, SHUT_RDWR);
    echo.join();
    ::close(client);
    ::close(server);
    return us;
}

// Median and 99th percentile of a set of times.
std::pair<double, double> MedianP99(std::vector<double> v) {
    if (v.empty()) return {0, 0};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)]};
}

// "min a, median b" of a set of per-round figures.
std::pair<double, double> MinMedian(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int trips = argc > 3 ? std::atoi(argv[3]) : 2000;
    kx::SetNetLogEnabled(false);

    std::string content(megabytes << 20, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 2654435761u >> 13);

    Listener listener;
    Endpoint client, server;
    if (!listener.Start(0, "127.0.0.1") || !client.Connect(listener.GetPort(), "127.0.0.1")) {
        std::printf("cannot open a loopback connection\n");
        return 1;
    }
    server.Attach(listener.Take());
    server.SetMaxMessageLength(content.size() + (1 << 20));
    server.StartThreads();

    NetMessage message;
    message.SetCommand(1, 21);
    message.SetQueueClass(5);
    message.AppendData(content);

    double bestTransport = 1e9, bestRaw = 1e9, cpuTransport = 0, cpuRaw = 0;
    uint64_t calls = 0;
    for (int r = 0; r < rounds; ++r) {
        double cpu = CpuSeconds();
        const auto start = Clock::now();
        client.SendMessage(message);
        const auto done = server.WaitFor(++calls);
        if (server.LastContent() != content.size()) std::printf("message arrived with the wrong size!\n");
        bestTransport = std::min(bestTransport, Seconds(done - start));
        cpuTransport += CpuSeconds() - cpu;
        cpu = CpuSeconds();
        bestRaw = std::min(bestRaw, RawSeconds(content));
        cpuRaw += CpuSeconds() - cpu;
    }

    // Small request and answer: one packet each way, against the same bytes through a raw
    // socket ping-pong; the two take turns round by round.
    NetPacket ping;
    ping.InitCommand(2, 20, 1);
    ping.SetQueueClass(3);
    ping.SetDataInt(12345);
    const size_t pingBytes = kNetHeaderSize + sizeof(int32_t);
    std::vector<double> netMedian, netP99, rawMedian, rawP99;
    uint64_t replies = 0;
    for (int r = 0; r < std::max(3, rounds); ++r) {
        std::vector<double> rtt;
        for (int i = 0; i < trips; ++i) {
            const auto start = Clock::now();
            client.SendPacket(ping);
            client.WaitFor(++replies);
            rtt.push_back(Seconds(Clock::now() - start) * 1e6);
        }
        const auto [nm, np] = MedianP99(rtt);
        const auto [rm, rp] = MedianP99(RawPingPong(pingBytes, trips));
        netMedian.push_back(nm);
        netP99.push_back(np);
        rawMedian.push_back(rm);
        rawP99.push_back(rp);
    }

    const double mb = static_cast<double>(content.size()) / (1 << 20);
    const double transportRate = mb / bestTransport;
    const double rawRate = mb / bestRaw;
    std::printf("message of %zu MB, best of %d rounds\n", megabytes, rounds);
    std::printf("  NetConnection message : %8.1f MB/s (%.3f s)\n", transportRate, bestTransport);
    std::printf("  plain socket pair     : %8.1f MB/s (%.3f s)\n", rawRate, bestRaw);
    std::printf("  ratio                 : %8.2f (target at least 0.50)\n", transportRate / rawRate);
    std::printf("  processor time a round: %8.3f s transport, %.3f s plain\n", cpuTransport / rounds, cpuRaw / rounds);
    const auto [nmMin, nmMed] = MinMedian(netMedian);
    const auto [npMin, npMed] = MinMedian(netP99);
    const auto [rmMin, rmMed] = MinMedian(rawMedian);
    const auto [rpMin, rpMed] = MinMedian(rawP99);
    std::printf("small request and answer (%zu bytes each way), %zu rounds of %d round trips\n", pingBytes,
                netMedian.size(), trips);
    std::printf("  transport median : min %.1f us, median %.1f us\n", nmMin, nmMed);
    std::printf("  transport p99    : min %.1f us, median %.1f us (target under 1000 us)\n", npMin, npMed);
    std::printf("  raw socket median: min %.1f us, median %.1f us\n", rmMin, rmMed);
    std::printf("  raw socket p99   : min %.1f us, median %.1f us\n", rpMin, rpMed);
    std::printf("  ratio of medians : min %.2f, median %.2f (target at most 3)\n", nmMin / rmMin, nmMed / rmMed);
    return 0;
}
