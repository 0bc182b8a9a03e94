// Uploads through the protocol against a fair baseline from the same run. Each round:
//   - one client sends 200 generated 2 MB JPEG files with 6 KB thumbnails as capture adds
//     (type 24), all at once, timed until the last answer;
//   - the baseline, a small writer in this program, stores the same files and thumbnails from
//     fresh buffers with write, fsync and rename, plus one durable commit per file into a
//     SQLite file in WAL mode.
// Prints the min and median of the rounds (3 unless given) and their ratio (target: at most 1.5).
// Usage: server_fileupload_bench [files] [rounds]
#include "BenchServer.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>

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

// write, fsync, close and rename over the target: what a careful writer does for one file.
bool WriteDurably(const fs::path& target, const std::string& bytes) {
    const std::string temp = target.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
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

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 3;
    BenchServer server;
    if (!server.Ok()) return 1;
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
    client->StopAndClose();
    return status;
}
