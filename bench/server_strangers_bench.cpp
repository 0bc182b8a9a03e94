// What connections that never log on cost the server while they wait for their deadline:
// threads and processor time. The server core runs in this process; the strangers are bare
// sockets without threads of their own, so every thread counted and every moment of processor
// time measured is the server's. Measures the process's processor time (user + system) over
// the same span with no connection (the baseline) and with the strangers connected, and prints
// both in cores (target: under 0.05 of a core with 500) and the threads per stranger (target:
// at most 3).
// Usage: server_strangers_bench [connections=500] [seconds=10]
#include "BenchServer.h"

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>

#include <cstdlib>
#include <thread>

using namespace bench;

namespace {

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

int ThreadCount() {
    std::error_code ec;
    int n = 0;
    for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
}

// Processor time over `seconds` of wall clock, in cores.
double CoresOver(int seconds) {
    const double cpu = ProcessCpuSeconds();
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    return (ProcessCpuSeconds() - cpu) / wall;
}

int Stranger(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    const int connections = argc > 1 ? std::atoi(argv[1]) : 500;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    BenchServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    // Every stranger comes from loopback and none may be closed while measured.
    KxServerLimits limits;
    limits.maxPerAddress = 0;
    limits.maxConnections = connections + 10;
    limits.logonDeadline = std::chrono::minutes(10);
    server.Server().SetLimits(limits);

    const int baseThreads = ThreadCount();
    const double baseCores = CoresOver(seconds);

    std::vector<int> strangers;
    for (int i = 0; i < connections; ++i) {
        const int fd = Stranger(server.Server().GetPort());
        if (fd < 0) {
            std::fprintf(stderr, "connection %d failed\n", i);
            return 1;
        }
        strangers.push_back(fd);
    }
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (server.Server().Sessions().GetCount() < connections && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (server.Server().Sessions().GetCount() < connections) {
        std::fprintf(stderr, "the server holds %d sessions, not %d\n", server.Server().Sessions().GetCount(),
                     connections);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the accepts' own work is over
    const int threads = ThreadCount();
    const double cores = CoresOver(seconds);
    for (int fd : strangers) ::close(fd);

    std::printf("%d never-logged-on connections, %d s each measure\n", connections, seconds);
    std::printf("  threads: %d without, %d with: %.2f per connection (target at most 3)\n", baseThreads, threads,
                static_cast<double>(threads - baseThreads) / connections);
    std::printf("  processor: %.4f cores with, baseline %.4f cores without; difference %.4f cores (target under 0.05)\n",
                cores, baseCores, cores - baseCores);
    return 0;
}
