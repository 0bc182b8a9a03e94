// Many sessions at once against one session alone, through the protocol on loopback. Each
// client, logged on in its own session, repeats for the given time: the user list (type 5),
// the list of a 200-file folder (type 32) and a small upload with its thumbnail (type 24),
// each timed from send to its whole answer. Each round runs one client alone, then 50 at once;
// a request without an answer within 10 s counts as a failure.
// Prints, per kind of request, the median and p99 latency of the rounds (min and median over
// the rounds) against the lone client's, and their ratios (targets: median at most 3, p99 at
// most 10, no failure).
// Usage: server_sessions_bench [seconds=30] [rounds=3] [clients=50]
#include "BenchServer.h"

#include <atomic>
#include <cstdlib>
#include <thread>

using namespace bench;

namespace {

constexpr int kFolder = 77, kFamily = 100000001;
constexpr const char* kKinds[] = {"user list", "200-file folder list", "small upload"};
constexpr int kKindCount = 3;

// Latencies of one run, by kind, and the requests that got no answer.
struct Run {
    std::vector<double> ms[kKindCount];
    int failures = 0;
    void Take(Run& o) {
        for (int k = 0; k < kKindCount; ++k) ms[k].insert(ms[k].end(), o.ms[k].begin(), o.ms[k].end());
        failures += o.failures;
    }
};

// A 20 KB file with a 2 KB thumbnail, as a capture add of the client's own numbering.
std::string SmallUpload(int client, int n) {
    std::string whole(20000, '\0'), thumb(2000, '\0');
    for (size_t i = 0; i < whole.size(); ++i) whole[i] = static_cast<char>((i * 131 + n) & 0xFF);
    for (size_t i = 0; i < thumb.size(); ++i) thumb[i] = static_cast<char>((i * 7 + client) & 0xFF);
    CkxFileImage f;
    f.m_nID = -3 - n;
    f.m_nFamilyID = kFamily;
    f.m_strTitle = "c" + std::to_string(client) + "-" + std::to_string(n);
    f.m_strExName = "jpg";
    f.UpdateWhole(whole.data(), static_cast<int>(whole.size()));
    f.UpdateMicro(thumb.data(), static_cast<int>(thumb.size()));
    CkxBuf body;
    f.BuildFileData(body);
    return std::string(reinterpret_cast<const char*>(body.GetBuf()), static_cast<size_t>(body.GetLen()));
}

// One client's loop until the deadline.
void Work(BenchClient& client, int id, Clock::time_point deadline, Run& run) {
    const auto limit = std::chrono::seconds(10);
    for (int n = 0; Clock::now() < deadline; ++n) {
        for (int kind = 0; kind < kKindCount; ++kind) {
            const int type = kind == 0 ? kx::kMsgUser : kind == 1 ? kx::kMsgFolderFiles : kx::kMsgCaptureFile;
            const int before = client.Count(type);
            bool sent = false;
            const auto t = Clock::now();
            if (kind == 0) {
                NetPacket p;
                p.InitCommand(kx::kMsgUser, kx::kSubList, 1);
                p.SetRequestQueue();
                sent = client.SendPacket(p);
            } else if (kind == 1) {
                NetPacket p;
                p.InitCommand(kx::kMsgFolderFiles, kx::kSubNone, 1);
                p.SetRequestQueue();
                p.SetText(std::to_string(kFolder));
                sent = client.SendPacket(p);
            } else {
                NetMessage m;
                m.SetCommand(kx::kMsgCaptureFile, kx::kSubAdd);
                m.AppendData(SmallUpload(id, n));
                sent = client.SendMessage(m);
            }
            if (!sent) { // the connection is gone: one failure, and this client stops
                ++run.failures;
                return;
            }
            if (!client.WaitFor(type, before + 1, limit)) {
                ++run.failures;
                continue;
            }
            run.ms[kind].push_back(MsSince(t));
        }
    }
}

// `clients` sessions working together for `seconds`; their latencies pooled.
Run RunClients(BenchServer& server, int clients, int seconds) {
    std::vector<std::unique_ptr<BenchClient>> links;
    for (int i = 0; i < clients; ++i) {
        links.push_back(server.LogOn("bench" + std::to_string(i + 1)));
        if (!links.back()) {
            std::fprintf(stderr, "log-on %d failed\n", i);
            std::exit(1);
        }
    }
    std::vector<Run> runs(static_cast<size_t>(clients));
    std::vector<std::thread> threads;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&, i] { Work(*links[static_cast<size_t>(i)], i, deadline, runs[static_cast<size_t>(i)]); });
    for (auto& t : threads) t.join();
    for (auto& l : links) l->StopAndClose();
    Run all;
    for (auto& r : runs) all.Take(r);
    return all;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 3;
    const int clients = argc > 3 ? std::max(2, std::atoi(argv[3])) : 50;
    BenchServer server;
    if (!server.Ok()) return 1;
    server.AddRows(kFamily, kFolder, 200, 45000.0, "folder");
    if (!server.AddUsers(clients)) {
        std::fprintf(stderr, "the clients' accounts could not be made\n");
        return 1;
    }

    // Per kind: the medians and p99s of each round, alone and together.
    std::vector<double> aloneMedian[kKindCount], aloneP99[kKindCount], manyMedian[kKindCount], manyP99[kKindCount];
    int aloneFailures = 0, manyFailures = 0;
    size_t aloneCount = 0, manyCount = 0;
    for (int r = 0; r < rounds; ++r) {
        Run alone = RunClients(server, 1, seconds);
        Run many = RunClients(server, clients, seconds);
        aloneFailures += alone.failures;
        manyFailures += many.failures;
        for (int k = 0; k < kKindCount; ++k) {
            const Figures a = Figures::Of(alone.ms[k]), m = Figures::Of(many.ms[k]);
            aloneMedian[k].push_back(a.median);
            aloneP99[k].push_back(a.p99);
            manyMedian[k].push_back(m.median);
            manyP99[k].push_back(m.p99);
            aloneCount += a.count;
            manyCount += m.count;
        }
        std::printf("round %d: alone %zu requests, %d clients %zu requests\n", r + 1, aloneCount, clients, manyCount);
        aloneCount = manyCount = 0;
    }
    std::printf("%d clients for %d s against one client alone, %d rounds\n", clients, seconds, rounds);
    for (int k = 0; k < kKindCount; ++k) {
        const Figures am = Figures::Of(aloneMedian[k]), ap = Figures::Of(aloneP99[k]);
        const Figures mm = Figures::Of(manyMedian[k]), mp = Figures::Of(manyP99[k]);
        std::printf("%s:\n", kKinds[k]);
        std::printf("  median latency: %d clients min %.2f ms, median %.2f ms; alone min %.2f ms, median %.2f ms;"
                    " ratio of medians %.2f (target at most 3)\n",
                    clients, mm.min, mm.median, am.min, am.median, mm.median / am.median);
        std::printf("  p99 latency:    %d clients min %.2f ms, median %.2f ms; alone min %.2f ms, median %.2f ms;"
                    " ratio of medians %.2f (target at most 10)\n",
                    clients, mp.min, mp.median, ap.min, ap.median, mp.median / ap.median);
    }
    std::printf("failures: %d with %d clients, %d alone (target none)\n", manyFailures, clients, aloneFailures);
    return manyFailures + aloneFailures > 0 ? 2 : 0;
}
