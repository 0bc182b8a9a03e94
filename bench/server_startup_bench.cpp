// Start-up of the server core as a program of its own: a catalogue of 100,000 files and
// 200,000 keyword links against an empty catalogue, in the same run. Each round starts this
// program once on each catalogue (opening the storage root, loading the catalogue's lists,
// listening on loopback, then leaving); the parent times the whole process and reads its peak
// resident memory from the kernel.
// Prints the min and median of the rounds (5 unless given) and the ratios (targets: time at
// most 2, memory at most 1.5).
// Usage: server_startup_bench [rounds] [files] [links]
#include "BenchServer.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>

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
    std::error_code ec;
    fs::remove_all(full, ec);
    fs::remove_all(empty, ec);
    if (status) std::fprintf(stderr, "a start failed\n");
    return status;
}
