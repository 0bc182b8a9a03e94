// Uploads through the protocol against fair baselines from the same run.
// 1. Each round:
//   - one client sends 200 generated 2 MB JPEG files with 6 KB thumbnails as capture adds
//     (type 24), all at once, timed until the last answer;
//   - the baseline, a small writer in this program, stores the same files and thumbnails from
//     fresh buffers with write, fsync and rename, plus one durable commit per file into a
//     SQLite file in WAL mode.
//   Prints the min and median of the rounds (3 unless given) and their ratio (target: at most 1.5).
// 2. Side by side: 1, 2, 4 and 8 sessions, each uploading its own 2 MB files (16 each unless
//    given), against 1, 2, 4 and 8 threads doing the same durable work without the server: each
//    file and thumbnail written and fsynced under a temporary name in a staging folder, linked
//    to its name by the row's id taken beforehand and both folders fsynced, then under one
//    shared lock a file row and a log row inserted in one WAL commit. Prints files per second, each side's
//    gain over its single writer and the ratio of the gains (target: 8 sessions reach at least
//    0.75 of the threads' gain).
// 3. A reader beside the writers: the su session lists a 200-file folder (type 32) over and over,
//    first on an idle server, then while 8 sessions each upload their 2 MB files; prints the
//    median and p99 of the list's time in both, and the ratio of medians (target: at most 2).
// Usage: server_fileupload_bench [files] [rounds] [files per session]
#include "BenchServer.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <atomic>
#include <random>
#include <thread>

using namespace bench;

namespace {

constexpr size_t kFileBytes = 2u * 1024 * 1024, kThumbBytes = 6000;

// A JPEG-framed block of random bytes (start and end markers, JFIF head); the server does not
// decode what it stores.
std::string MakeJpeg(unsigned seed) {
    std::mt19937_64 gen(seed);
    std::string s(kFileBytes, '\0');
    for (size_t i = 0; i + 8 <= s.size(); i += 8) {
        const uint64_t v = gen();
        std::memcpy(&s[i], &v, 8);
    }
    const unsigned char head[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    std::memcpy(&s[0], head, sizeof head);
    s[s.size() - 2] = static_cast<char>(0xFF);
    s[s.size() - 1] = static_cast<char>(0xD9);
    return s;
}

// Writes all the bytes to the open file, fsyncs and closes it; false when a step failed.
bool WriteAndSync(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// write, fsync, close and rename over the target: what a careful writer does for one file.
bool WriteDurably(const fs::path& target, const std::string& bytes) {
    const std::string temp = target.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = WriteAndSync(fd, bytes);
    return ok && std::rename(temp.c_str(), target.c_str()) == 0;
}

// The baseline writer: the same files from fresh buffers, one durable WAL commit each.
double Baseline(const fs::path& dir, const std::vector<std::string>& wholes, const std::vector<std::string>& thumbs) {
    fs::remove_all(dir);
    fs::create_directories(dir / "whole");
    fs::create_directories(dir / "micro");
    sqlite3* db = nullptr;
    sqlite3_open((dir / "rows.db").c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; CREATE TABLE f (id INTEGER PRIMARY KEY, title TEXT, size INTEGER)",
                 nullptr, nullptr, nullptr);
    const auto t = Clock::now();
    for (size_t i = 0; i < wholes.size(); ++i) {
        const std::string whole(wholes[i]), thumb(thumbs[i]); // fresh buffers, as a receiver has
        if (!WriteDurably(dir / "whole" / (std::to_string(i) + ".jpg"), whole) ||
            !WriteDurably(dir / "micro" / std::to_string(i), thumb))
            std::fprintf(stderr, "baseline write %zu failed\n", i);
        const std::string sql = "INSERT INTO f (title, size) VALUES ('p" + std::to_string(i) + "', " +
                                std::to_string(whole.size()) + ")";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    const double ms = MsSince(t);
    sqlite3_close(db);
    return ms;
}

// fsync of a folder's entry list, as a rename that must survive a crash needs.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes and fsyncs the bytes under a temporary name for `target` in `staging`; the name, or empty.
std::string StageDurably(const fs::path& staging, const std::string& target, const std::string& bytes) {
    std::string temp = (staging / (target + ".tmp-XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return {};
    const bool ok = WriteAndSync(fd, bytes);
    if (!ok) ::unlink(temp.c_str());
    return ok ? temp : std::string();
}

// The same durable work as the server's upload on `writers` threads, `perWriter` files each,
// with no lock held: the row's id taken from a counter, content and thumbnail written and
// fsynced under temporary names in a staging folder, linked to their names by the id and both
// folders fsynced; then under one lock a file row and a log row in one WAL commit; then the
// temporary names dropped. Gives the files per second.
double ThreadsRound(const fs::path& dir, int writers, int perWriter, const std::vector<std::string>& wholes,
                    const std::vector<std::string>& thumbs) {
    fs::remove_all(dir);
    for (const char* sub : {"staging", "whole", "micro"}) fs::create_directories(dir / sub);
    sqlite3* db = nullptr;
    sqlite3_open((dir / "rows.db").c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; "
                     "CREATE TABLE f (id INTEGER PRIMARY KEY, title TEXT, size INTEGER); "
                     "CREATE TABLE log (id INTEGER PRIMARY KEY, event TEXT)",
                 nullptr, nullptr, nullptr);
    std::mutex lock;
    std::atomic<int> nextId{1};
    const auto t = Clock::now();
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            for (int i = 0; i < perWriter; ++i) {
                const size_t k = static_cast<size_t>(w * perWriter + i) % wholes.size();
                const std::string whole(wholes[k]), thumb(thumbs[k]); // fresh buffers, as a receiver has
                const std::string id = std::to_string(nextId++);
                const std::string title = "w" + std::to_string(w) + "-" + std::to_string(i);
                const std::string stagedWhole = StageDurably(dir / "staging", id + ".jpg", whole);
                const std::string stagedMicro = StageDurably(dir / "staging", id, thumb);
                if (stagedWhole.empty() || stagedMicro.empty() ||
                    ::link(stagedWhole.c_str(), (dir / "whole" / (id + ".jpg")).c_str()) != 0 ||
                    ::link(stagedMicro.c_str(), (dir / "micro" / id).c_str()) != 0)
                    std::fprintf(stderr, "baseline write of %s failed\n", title.c_str());
                SyncFolder(dir / "whole");
                SyncFolder(dir / "micro");
                {
                    std::lock_guard held(lock);
                    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
                    sqlite3_exec(db, ("INSERT INTO f (id, title, size) VALUES (" + id + ", '" + title + "', " +
                                      std::to_string(whole.size()) + ")").c_str(),
                                 nullptr, nullptr, nullptr);
                    sqlite3_exec(db, ("INSERT INTO log (event) VALUES ('add " + title + "')").c_str(), nullptr,
                                 nullptr, nullptr);
                    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
                }
                ::unlink(stagedWhole.c_str());
                ::unlink(stagedMicro.c_str());
            }
        });
    for (auto& th : threads) th.join();
    const double seconds = MsSince(t) / 1000.0;
    sqlite3_close(db);
    return writers * perWriter / seconds;
}

// `clients.size()` sessions, each sending its `perSession` uploads back to back and waiting for
// all their answers. Gives the files per second.
double SessionsRound(const std::vector<BenchClient*>& clients, int perSession, const std::vector<std::string>& bodies) {
    const auto t = Clock::now();
    std::vector<std::thread> threads;
    std::atomic<bool> ok{true};
    for (size_t c = 0; c < clients.size(); ++c)
        threads.emplace_back([&, c] {
            BenchClient& client = *clients[c];
            const int before = client.Count(kx::kMsgCaptureFile);
            for (int i = 0; i < perSession; ++i) {
                NetMessage m;
                m.SetCommand(kx::kMsgCaptureFile, kx::kSubAdd);
                m.AppendData(bodies[(c * static_cast<size_t>(perSession) + static_cast<size_t>(i)) % bodies.size()]);
                client.SendMessage(m);
            }
            if (!client.WaitFor(kx::kMsgCaptureFile, before + perSession, std::chrono::seconds(900))) ok = false;
        });
    for (auto& th : threads) th.join();
    if (!ok) std::fprintf(stderr, "an upload got no answer\n");
    return static_cast<double>(clients.size()) * perSession / (MsSince(t) / 1000.0);
}

// Lists folder `folder` once, timed from send to its whole answer; negative when no answer came.
double ListFolder(BenchClient& client, int folder) {
    NetPacket p;
    p.InitCommand(kx::kMsgFolderFiles, kx::kSubNone, 1);
    p.SetRequestQueue();
    p.SetText(std::to_string(folder));
    const int before = client.Count(kx::kMsgFolderFiles);
    const auto t = Clock::now();
    if (!client.SendPacket(p) || !client.WaitFor(kx::kMsgFolderFiles, before + 1, std::chrono::seconds(30))) return -1;
    return MsSince(t);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 3;
    const int perSession = argc > 3 ? std::max(1, std::atoi(argv[3])) : 16;
    BenchServer server;
    if (!server.Ok() || !server.AddUsers(8)) return 1;
    auto client = server.LogOn();
    if (!client) {
        std::fprintf(stderr, "log-on failed\n");
        return 1;
    }
    std::vector<std::string> bodies, wholes, thumbs;
    for (int i = 0; i < files; ++i) {
        wholes.push_back(MakeJpeg(static_cast<unsigned>(i)));
        thumbs.push_back(wholes.back().substr(0, kThumbBytes));
        CkxFileImage f;
        f.m_nID = -3 - i;
        f.m_nFamilyID = 100000001;
        f.m_strTitle = "p" + std::to_string(i);
        f.m_strExName = "jpg";
        f.UpdateWhole(wholes.back().data(), static_cast<int>(kFileBytes));
        f.UpdateMicro(thumbs.back().data(), static_cast<int>(kThumbBytes));
        CkxBuf body;
        f.BuildFileData(body);
        bodies.emplace_back(reinterpret_cast<const char*>(body.GetBuf()), static_cast<size_t>(body.GetLen()));
    }

    std::vector<double> uploadMs, baseMs;
    int status = 0;
    for (int r = 0; r < rounds; ++r) {
        const int before = client->Count(kx::kMsgCaptureFile);
        const auto t = Clock::now();
        for (const auto& body : bodies) {
            NetMessage m;
            m.SetCommand(kx::kMsgCaptureFile, kx::kSubAdd);
            m.AppendData(body);
            client->SendMessage(m);
        }
        if (!client->WaitFor(kx::kMsgCaptureFile, before + files, std::chrono::seconds(900))) status = 2;
        uploadMs.push_back(MsSince(t));
        baseMs.push_back(Baseline(server.Dir() / "baseline", wholes, thumbs));
    }
    const double mb = static_cast<double>(files) * kFileBytes / (1024.0 * 1024.0);
    const Figures up = Figures::Of(uploadMs), base = Figures::Of(baseMs);
    const std::string what = std::to_string(files) + " uploads of 2 MB with thumbnails (type 24)";
    PrintAgainst(what.c_str(), up, "write, fsync and rename of the same files plus one WAL commit each", base,
                 "at most 1.5");
    std::printf("  throughput: uploads %.1f MB/s, baseline %.1f MB/s (medians)\n", mb / (up.median / 1000),
                mb / (base.median / 1000));

    // Side by side: sessions against threads doing the same durable work, rounds interleaved.
    std::vector<std::unique_ptr<BenchClient>> sessions;
    for (int i = 1; i <= 8; ++i) {
        sessions.push_back(server.LogOn("bench" + std::to_string(i)));
        if (!sessions.back()) return 1;
    }
    const int counts[] = {1, 2, 4, 8};
    std::vector<double> sessionFps[4], threadFps[4];
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < 4; ++k) {
            std::vector<BenchClient*> clients;
            for (int i = 0; i < counts[k]; ++i) clients.push_back(sessions[static_cast<size_t>(i)].get());
            sessionFps[k].push_back(SessionsRound(clients, perSession, bodies));
            threadFps[k].push_back(ThreadsRound(server.Dir() / "threads", counts[k], perSession, wholes, thumbs));
        }
    std::printf("\n%d uploads of 2 MB per session (type 24) against the same durable work on threads "
                "without the server\n(baseline: each file and thumbnail written and fsynced under a temporary "
                "name in a staging folder, linked to its name by the row's id and both folders fsynced, then "
                "under one lock a file row and a log row in one WAL commit); medians of %d rounds:\n",
                perSession, rounds);
    const double s1 = Median(sessionFps[0]), t1 = Median(threadFps[0]);
    for (int k = 0; k < 4; ++k) {
        const double sf = Median(sessionFps[k]), tf = Median(threadFps[k]);
        std::printf("  %d writer(s): sessions %.1f files/s (gain %.2f), threads %.1f files/s (gain %.2f), "
                    "ratio of gains %.2f%s\n",
                    counts[k], sf, sf / s1, tf, tf / t1, (sf / s1) / (tf / t1),
                    counts[k] == 8 ? " (target: at least 0.75)" : "");
    }

    // A reader beside the writers: the folder list idle, then while 8 sessions upload.
    constexpr int kFolder = 77;
    server.AddRows(100000001, kFolder, 200, 45000.0, "folder");
    std::vector<BenchClient*> eight;
    for (auto& s : sessions) eight.push_back(s.get());
    std::vector<double> idleMedian, idleP99, busyMedian, busyP99;
    for (int i = 0; i < 20; ++i) ListFolder(*client, kFolder); // warm caches and the session
    for (int r = 0; r < rounds; ++r) {
        std::vector<double> idle, busy;
        for (int i = 0; i < 200; ++i) {
            const double ms = ListFolder(*client, kFolder);
            if (ms < 0) status = 2;
            else idle.push_back(ms);
        }
        std::atomic<bool> uploading{true};
        std::thread writers([&] {
            SessionsRound(eight, perSession, bodies);
            uploading = false;
        });
        while (uploading) {
            const double ms = ListFolder(*client, kFolder);
            if (ms < 0) status = 2;
            else if (uploading) busy.push_back(ms); // only lists that ran wholly beside the uploads
        }
        writers.join();
        const Figures fi = Figures::Of(idle), fb = Figures::Of(busy);
        idleMedian.push_back(fi.median);
        idleP99.push_back(fi.p99);
        busyMedian.push_back(fb.median);
        busyP99.push_back(fb.p99);
        std::printf("%sround %d: %zu lists idle, %zu beside the uploads\n", r == 0 ? "\n" : "", r + 1, fi.count,
                    fb.count);
    }
    const double im = Median(idleMedian), bm = Median(busyMedian);
    std::printf("200-file folder list (type 32) while 8 sessions upload %d files of 2 MB each, against the same "
                "list on an idle server; medians of %d rounds:\n",
                perSession, rounds);
    std::printf("  median: beside the uploads %.2f ms, idle %.2f ms, ratio %.2f (target at most 2)\n", bm, im, bm / im);
    std::printf("  p99:    beside the uploads %.2f ms, idle %.2f ms, ratio %.2f\n", Median(busyP99),
                Median(idleP99), Median(busyP99) / Median(idleP99));

    for (auto& c : sessions) c->StopAndClose();
    client->StopAndClose();
    return status;
}
