// Start-up against baselines from the same run.
// 1. The server core as a program of its own: a catalogue of 100,000 files and 200,000 keyword
//    links against an empty catalogue. Each round starts this program once on each catalogue
//    (opening the storage root, loading the catalogue's lists, listening on loopback, then
//    leaving); the parent times the whole process and reads its peak resident memory from the
//    kernel. Targets: time at most 2, memory at most 1.5.
// 2. The real VarniaServer program, timed from its start until it listens, with its peak memory
//    (it is ended once it listens): on the same catalogue with its 200,000 stored files (a whole
//    file and a thumbnail per file) against the empty catalogue (targets: time at most 2, memory
//    at most 1.5), and against the same catalogue without the stored files (target: time at
//    most 1.2).
// Prints the min and median of the rounds (5 unless given) and the ratios.
// Usage: server_startup_bench [rounds] [files] [links]
#include "BenchServer.h"
#include "support/LoopbackPort.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

using namespace bench;

namespace {

constexpr int kFamily = 100000001;

// Runs this program on the folder; the whole run's time in ms and its peak memory in MB.
bool StartOnce(const char* self, const fs::path& dir, double& ms, double& peakMb) {
    std::string a0 = self, a1 = "--start", a2 = dir.string();
    char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
    const auto t = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    ms = MsSince(t);
    peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A catalogue folder left in place: `files` rows in one family and `links` keyword links
// spread over them.
fs::path MakeCatalogue(int files, int links) {
    BenchServer server;
    if (!server.Ok()) return {};
    if (files > 0) server.AddRows(kFamily, -1, files, 45000.0, "f");
    if (links > 0) {
        std::lock_guard lock(server.Data().CatalogueMutex());
        CADODatabase& db = server.Data().GetDatabase();
        CADOTransaction tx(db);
        for (int i = 0; i < links; ++i) {
            const int file = 1 + i % std::max(1, files), keyword = 1 + i / std::max(1, files);
            db.Execute("INSERT INTO VUZO_KeywordLink (T_FileID, T_KeyID) VALUES (" + std::to_string(file) + ", " +
                       std::to_string(keyword) + ")");
        }
        tx.Commit();
        db.GatherStatistics(false);
    }
    server.Keep();
    return server.Dir();
}

// The folder's catalogue and storage root as the server program's data folder (the drive folder
// "C" holds the root): an ini that asks nothing and names the catalogue.
fs::path MakeProgramHome(const fs::path& dir) {
    const fs::path home = dir / "C";
    std::ofstream(home / "VarniaServer.ini") << "[SRV_INFO]\nSRV_NAME=bench\n\n[DB_CONF]\nDB_WARN=0\nDB_DEFAULT=0\n"
                                                "DB_SETPATH="
                                             << (dir / "catalogue.db").string() << "\n";
    return home;
}

// A whole file and a thumbnail for each of the first `files` ids on the folder's root 0.
void AddStoredFiles(const fs::path& dir, int files) {
    const fs::path root = dir / "C" / "KX_Storage_0" / "File" / "Image";
    const std::string bytes(512, 'x');
    for (int id = 1; id <= files; ++id) {
        std::ofstream(root / "Whole" / (std::to_string(id) + ".jpg"), std::ios::binary) << bytes;
        std::ofstream(root / "Micro" / std::to_string(id), std::ios::binary) << bytes.substr(0, 64);
    }
}

// Runs the server program on the data folder until it listens: the time in ms and its peak
// memory in MB (it is ended then).
bool ProgramOnce(const fs::path& home, double& ms, double& peakMb) {
    const int port = kxtest::FreePort();
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const std::string& x : {"VARNIA_HOME=" + home.string(), "VARNIA_PORT=" + std::to_string(port),
                                 std::string("QT_QPA_PLATFORM=offscreen"), "XDG_RUNTIME_DIR=" + home.string(),
                                 std::string("DISPLAY="), std::string("WAYLAND_DISPLAY=")})
        env.push_back(x);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string a0 = VARNIA_SERVER_BIN;
    char* argv[] = {a0.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const auto t = Clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, a0.c_str(), &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned) return false;
    bool listening = false;
    while (MsSince(t) < 120000) {
        if (kxtest::CanConnect(port)) {
            listening = true;
            break;
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ms = MsSince(t);
    ::kill(pid, listening ? SIGTERM : SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return listening;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) {
        BenchServer server{fs::path(argv[2])};
        return server.Ok() ? 0 : 1;
    }
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
    const int files = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int links = argc > 3 ? std::atoi(argv[3]) : 200000;
    const fs::path full = MakeCatalogue(files, links), empty = MakeCatalogue(0, 0);
    if (full.empty() || empty.empty()) return 1;

    std::vector<double> fullMs, fullMb, emptyMs, emptyMb;
    int status = 0;
    for (int r = 0; r < rounds; ++r) {
        double ms = 0, mb = 0;
        if (!StartOnce(argv[0], full, ms, mb)) status = 2;
        fullMs.push_back(ms);
        fullMb.push_back(mb);
        if (!StartOnce(argv[0], empty, ms, mb)) status = 2;
        emptyMs.push_back(ms);
        emptyMb.push_back(mb);
    }
    const std::string what = "start-up with " + std::to_string(files) + " files and " + std::to_string(links) +
                             " keyword links, whole program";
    PrintAgainst(what.c_str(), Figures::Of(fullMs), "an empty catalogue", Figures::Of(emptyMs), "at most 2");
    const Figures fm = Figures::Of(fullMb), em = Figures::Of(emptyMb);
    std::printf("peak memory: min %.1f MB, median %.1f MB; empty catalogue: min %.1f MB, median %.1f MB\n", fm.min,
                fm.median, em.min, em.median);
    std::printf("  ratio: min %.2f, median %.2f (target at most 1.5)\n", fm.min / em.min, fm.median / em.median);

    // The real program until it listens: the full catalogue with and without its stored files,
    // and the empty one, each round.
    const fs::path bare = MakeCatalogue(files, links);
    if (bare.empty()) return 1;
    AddStoredFiles(full, files);
    const fs::path fullHome = MakeProgramHome(full), bareHome = MakeProgramHome(bare), emptyHome = MakeProgramHome(empty);
    std::vector<double> pFullMs, pFullMb, pBareMs, pBareMb, pEmptyMs, pEmptyMb;
    for (int r = 0; r < rounds; ++r) {
        double ms = 0, mb = 0;
        if (!ProgramOnce(fullHome, ms, mb)) status = 3;
        pFullMs.push_back(ms);
        pFullMb.push_back(mb);
        if (!ProgramOnce(bareHome, ms, mb)) status = 3;
        pBareMs.push_back(ms);
        pBareMb.push_back(mb);
        if (!ProgramOnce(emptyHome, ms, mb)) status = 3;
        pEmptyMs.push_back(ms);
        pEmptyMb.push_back(mb);
    }
    const std::string program = "VarniaServer until it listens, " + std::to_string(files) + " files with " +
                                std::to_string(2 * files) + " stored files and " + std::to_string(links) +
                                " keyword links";
    PrintAgainst(program.c_str(), Figures::Of(pFullMs), "an empty catalogue", Figures::Of(pEmptyMs), "at most 2");
    const Figures pfm = Figures::Of(pFullMb), pem = Figures::Of(pEmptyMb), pbm = Figures::Of(pBareMb);
    std::printf("  peak memory: median %.1f MB; empty catalogue: median %.1f MB; ratio %.2f (target at most 1.5)\n",
                pfm.median, pem.median, pfm.median / pem.median);
    PrintAgainst(program.c_str(), Figures::Of(pFullMs), "the same catalogue without its stored files",
                 Figures::Of(pBareMs), "at most 1.2");
    std::printf("  peak memory without the stored files: median %.1f MB\n", pbm.median);

    std::error_code ec;
    fs::remove_all(full, ec);
    fs::remove_all(empty, ec);
    fs::remove_all(bare, ec);
    if (status) std::fprintf(stderr, "a start failed\n");
    return status;
}
