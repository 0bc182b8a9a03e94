// Writers against a stream of readers, through the protocol on loopback: 10 sessions list a
// 200-file folder (among 50,000 more rows) over and over without pause, while one more session
// uploads a 2 MB file (type 24) and a fresh connection logs on. Each is timed until its answer,
// against the same upload and log-on on the same server with no readers (the baseline, same
// run). Prints the min and median of the rounds (5 unless given) and their ratios.
// Usage: server_fairness_bench [rounds] [readers]
#include "BenchServer.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>

using namespace bench;

namespace {

constexpr int kFolder = 77;

std::string UploadBody(int round) {
    std::mt19937 gen(static_cast<unsigned>(round));
    std::string bytes(2u * 1024 * 1024, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen() & 0xFF);
    CkxFileImage f;
    f.m_nID = -1 - round;
    f.m_nFamilyID = 100000001;
    f.m_strTitle = "u" + std::to_string(round);
    f.m_strExName = "jpg";
    f.UpdateWhole(bytes.data(), static_cast<int>(bytes.size()));
    f.UpdateMicro(bytes.data(), 6000);
    CkxBuf body;
    f.BuildFileData(body);
    return std::string(reinterpret_cast<const char*>(body.GetBuf()), static_cast<size_t>(body.GetLen()));
}

struct Times {
    std::vector<double> upload, logon;
};

// One upload by `uploader` and one log-on of a fresh connection as `user` (logged off after).
bool Measure(BenchServer& server, BenchClient& uploader, const std::string& body, const std::string& user,
             Times& out) {
    NetMessage m;
    m.SetCommand(kx::kMsgCaptureFile, kx::kSubAdd);
    m.AppendData(body);
    auto t = Clock::now();
    if (!uploader.RoundTrip(m, kx::kMsgCaptureFile)) return false;
    out.upload.push_back(MsSince(t));
    t = Clock::now();
    auto fresh = server.LogOn(user);
    if (!fresh) return false;
    out.logon.push_back(MsSince(t));
    NetPacket off;
    off.InitCommand(kx::kMsgSession, kx::kSubLogoff, 1);
    off.SetRequestQueue();
    fresh->SendPacket(off);
    fresh->StopAndClose();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
    const int readerCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    BenchServer server;
    if (!server.Ok() || !server.AddUsers(readerCount + 2 * rounds + 2)) return 1;
    server.AddRows(100000002, -1, 50000, 45000.0, "other");
    server.AddRows(100000001, kFolder, 200, 45000.2, "folder");
    auto uploader = server.LogOn();
    if (!uploader) return 1;
    std::vector<std::string> bodies;
    for (int r = 0; r < 2 * rounds; ++r) bodies.push_back(UploadBody(r));
    int nextUser = readerCount + 1;
    const auto user = [&] { return "bench" + std::to_string(nextUser++); };

    Times idle, busy;
    int status = 0;
    for (int r = 0; r < rounds; ++r)
        if (!Measure(server, *uploader, bodies[static_cast<size_t>(r)], user(), idle)) status = 2;

    std::vector<std::unique_ptr<BenchClient>> readers;
    for (int i = 1; i <= readerCount; ++i) {
        readers.push_back(server.LogOn("bench" + std::to_string(i)));
        if (!readers.back()) return 1;
    }
    std::atomic<bool> stop{false};
    std::atomic<long> lists{0};
    std::vector<std::thread> threads;
    for (auto& reader : readers)
        threads.emplace_back([&, c = reader.get()] {
            while (!stop) {
                NetPacket req;
                req.InitCommand(kx::kMsgFolderFiles, kx::kSubNone, 1);
                req.SetRequestQueue();
                req.SetText(std::to_string(kFolder));
                if (!c->RoundTrip(req, kx::kMsgFolderFiles)) return;
                ++lists;
            }
        });
    while (lists < readerCount) std::this_thread::yield();
    for (int r = 0; r < rounds; ++r)
        if (!Measure(server, *uploader, bodies[static_cast<size_t>(rounds + r)], user(), busy)) status = 2;
    const long listsDuring = lists;
    stop = true;
    for (auto& t : threads) t.join();

    const std::string readersText = std::to_string(readerCount) + " sessions listing a 200-file folder without pause";
    PrintAgainst(("upload of 2 MB (type 24) while " + readersText).c_str(), Figures::Of(busy.upload),
                 "the same upload on the idle server", Figures::Of(idle.upload), "a few times at most, never unbounded");
    PrintAgainst(("log-on of a fresh connection while " + readersText).c_str(), Figures::Of(busy.logon),
                 "the same log-on on the idle server", Figures::Of(idle.logon), "a few times at most, never unbounded");
    std::printf("  (the readers answered %ld lists meanwhile)\n", listsDuring);
    return status;
}
