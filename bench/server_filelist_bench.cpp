// File lists against fair baselines from the same run, through the protocol on loopback:
//   1. a family list (type 31, 1000 files answered) of a family that fills a catalogue of 10k,
//      100k and 300k rows, against the list of a family of exactly 1000 rows in the same
//      catalogue (target: ratio at most 2 at every size);
//   2. a folder list (type 32) of a 1000-file folder in the largest catalogue, against the same
//      indexed SQL query alone, its rows stepped through (target: at most 2).
// Each figure is the min and median of the rounds (5 unless given).
// Usage: server_filelist_bench [rounds] [largest catalogue rows]
#include "BenchServer.h"

#include "db/AdoRecordset.h"

#include <cstdlib>

using namespace bench;

namespace {

constexpr int kSmallFamily = 100000001, kBigFamily = 100000002, kFolder = 77;

Figures ListRounds(BenchClient& client, int type, int id, int rounds) {
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        NetPacket req;
        req.InitCommand(type, kx::kSubNone, 1);
        req.SetRequestQueue();
        req.SetText(std::to_string(id));
        const auto t = Clock::now();
        if (!client.RoundTrip(req, type)) std::fprintf(stderr, "list %d of %d: no answer\n", type, id);
        ms.push_back(MsSince(t));
    }
    return Figures::Of(ms);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
    const int largest = argc > 2 ? std::atoi(argv[2]) : 300000;
    BenchServer server;
    if (!server.Ok()) return 1;
    auto client = server.LogOn();
    if (!client) {
        std::fprintf(stderr, "log-on failed\n");
        return 1;
    }
    // The baseline family: 1000 rows, written last, so its index range is the same at every size.
    server.AddRows(kSmallFamily, -1, 1000, 46000.0, "small");

    int rows = 1000;
    for (int size : {10000, 100000, 300000}) {
        if (size > largest) break;
        server.AddRows(kBigFamily, -1, size - rows, 45000.0 + rows * 0.00001, "big");
        rows = size;
        ListRounds(*client, kx::kMsgFamilyFiles, kBigFamily, 1); // warm
        const Figures big = ListRounds(*client, kx::kMsgFamilyFiles, kBigFamily, rounds);
        const Figures small = ListRounds(*client, kx::kMsgFamilyFiles, kSmallFamily, rounds);
        const std::string what = "list of 1000 files of a family, " + std::to_string(size) + " rows in the catalogue";
        PrintAgainst(what.c_str(), big, "the list of a 1000-row family", small, "at most 2");
    }

    // A 1000-file folder among the rows: its own files, in write-time order between the others.
    server.AddRows(kBigFamily, kFolder, 1000, 45000.5, "folder");
    ListRounds(*client, kx::kMsgFolderFiles, kFolder, 1);
    const Figures folder = ListRounds(*client, kx::kMsgFolderFiles, kFolder, rounds);
    std::vector<double> sqlMs;
    CImageFileTable table;
    long seen = 0;
    for (int r = 0; r < rounds; ++r) {
        std::shared_lock lock(server.Data().CatalogueMutex());
        const auto t = Clock::now();
        CADORecordset rs;
        server.Data().GetDatabase().QueryForward(table.ReadFolderFilesText(kFolder), rs);
        for (; !rs.IsEOF(); rs.MoveNext()) ++seen;
        sqlMs.push_back(MsSince(t));
    }
    const std::string what = "list of a 1000-file folder, " + std::to_string(rows + 2000) + " rows in the catalogue";
    PrintAgainst(what.c_str(), folder, "the indexed SQL query alone", Figures::Of(sqlMs), "at most 2");
    std::printf("  (the query gave %ld rows a round)\n", seen / rounds);
    client->StopAndClose();
    return 0;
}
