// What the server benchmarks share: the server core on a temporary SQLite catalogue and storage
// root, a client that counts whole answers by type (the last entry of a series, or a single
// answer), log-on, rows put straight into the file table, and the figures each benchmark
// prints (min, median and p99 of its rounds against its baseline from the same run).
#pragma once

#include "base/KxIni.h"
#include "data/CDataManager.h"
#include "db/AdoDatabase.h"
#include "db/CatalogueMaker.h"
#include "model/CkxClient.h"
#include "model/CkxFileImage.h"
#include "protocol/KxMessage.h"
#include "service/RequestTable.h"
#include "session/CListenServer.h"
#include "storeadmin/StorageDrives.h"
#include "table/CImageFileTable.h"
#include "transport/NetConnection.h"

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Min, median and 99th percentile of a set of timings.
struct Figures {
    double min = 0, median = 0, p99 = 0;
    size_t count = 0;
    static Figures Of(std::vector<double> v) {
        Figures f;
        if (v.empty()) return f;
        std::sort(v.begin(), v.end());
        f.count = v.size();
        f.min = v.front();
        f.median = v[v.size() / 2];
        f.p99 = v[std::min(v.size() - 1, static_cast<size_t>(static_cast<double>(v.size()) * 0.99))];
        return f;
    }
};

// One line: the measured figures, the baseline's and the ratios of min and median.
inline void PrintAgainst(const char* what, const Figures& m, const char* baseline, const Figures& b,
                         const char* target) {
    std::printf("%s: min %.2f ms, median %.2f ms (%zu rounds)\n", what, m.min, m.median, m.count);
    std::printf("  baseline, %s: min %.2f ms, median %.2f ms\n", baseline, b.min, b.median);
    std::printf("  ratio: min %.2f, median %.2f (target %s)\n", m.min / b.min, m.median / b.median, target);
}

// Counts whole answers of each type: a series counts once, at its last entry (series index 0).
class BenchClient : public NetConnection {
public:
    ~BenchClient() override { StopAndClose(); }
    bool WaitFor(int type, int count, std::chrono::seconds limit = std::chrono::seconds(120)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_answers[type] >= count; });
    }
    int Count(int type) {
        std::lock_guard lock(m_mutex);
        return m_answers[type];
    }
    // Sends and waits for the next whole answer of the type; false when none came.
    bool RoundTrip(NetPacket& p, int type) {
        const int before = Count(type);
        return SendPacket(p) && WaitFor(type, before + 1);
    }
    bool RoundTrip(NetMessage& m, int type) {
        const int before = Count(type);
        return SendMessage(m) && WaitFor(type, before + 1);
    }

protected:
    void OnRequest(NetPacket&, NetMessage*) override {}
    void OnReply(NetPacket& packet, NetMessage*) override {
        if (packet.GetSeriesIndex() != 0) return;
        {
            std::lock_guard lock(m_mutex);
            ++m_answers[packet.GetType() & 63];
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_answers[64] = {};
};

// The server core on a fresh catalogue ("su" / kPassword) and one storage root, on a free
// loopback port; everything goes with the object.
class BenchServer {
public:
    static constexpr const char* kPassword = "bench-pw";

    BenchServer() {
        char tmpl[] = "/tmp/varnia-bench-XXXXXX";
        if (!mkdtemp(tmpl)) return;
        m_dir = tmpl;
        std::string error;
        if (!kx::CreateSqliteCatalogue(Catalogue(), kPassword, error)) {
            std::fprintf(stderr, "catalogue: %s\n", error.c_str());
            return;
        }
        const fs::path drive = m_dir / "C", root = drive / "KX_Storage_0";
        fs::create_directories(root);
        kx::WritePrivateProfileString("BASE", "ID", "0", (root / "Conf").string());
        auto drives = std::make_shared<FolderDriveSource>();
        drives->Add('C', drive.string(), 4000000, 2000000);
        m_data = std::make_unique<CDataManager>();
        m_data->GetImageStorage().SetDriveSource(drives);
        if (!m_data->GetImageStorage().Prepare("KX")) return;
        m_data->GetImageStorage().CreateRootFolders(0);
        m_data->SetConnection("", Catalogue(), "", "");
        if (!m_data->Open(KX_DB_SQLITE)) {
            std::fprintf(stderr, "open: %s\n", m_data->GetLastError().c_str());
            return;
        }
        m_server = std::make_unique<CServerListener>(m_data.get(), kx::RequestTable());
        m_ok = m_server->Start(0, "127.0.0.1") && m_server->StartServerThread();
    }
    ~BenchServer() {
        if (m_server) m_server->Shutdown();
        m_server.reset();
        m_data.reset();
        std::error_code ec;
        if (!m_dir.empty()) fs::remove_all(m_dir, ec);
    }
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    bool Ok() const { return m_ok; }
    const fs::path& Dir() const { return m_dir; }
    std::string Catalogue() const { return (m_dir / "catalogue.db").string(); }
    CDataManager& Data() { return *m_data; }

    // A client logged on as su; null when the log-on fails.
    std::unique_ptr<BenchClient> LogOn() {
        auto client = std::make_unique<BenchClient>();
        CkxClient logon;
        logon.m_nType = CkxClient::MS_STUDIO;
        logon.m_strLogon = "su";
        logon.m_strPassword = kPassword;
        const CkxClient::_COM com = logon.GetComData();
        NetPacket p;
        p.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
        p.SetRequestQueue();
        p.SetData(&com, sizeof com);
        if (client->Connect(m_server->GetPort(), "127.0.0.1") != 1 || !client->RoundTrip(p, kx::kMsgSession))
            return nullptr;
        return client;
    }

    // Puts `count` rows of a family (and folder, -1 for none) straight into the file table, in
    // one transaction, with write times from `firstTime` on; rows everybody may read.
    void AddRows(int family, int folder, int count, double firstTime, const char* prefix) {
        std::lock_guard lock(m_data->CatalogueMutex());
        CADODatabase& db = m_data->GetDatabase();
        CImageFileTable table;
        CADOTransaction tx(db);
        CkxFileImage f;
        f.m_nFamilyID = family;
        f.m_nLocDirID = folder;
        f.m_strExName = "jpg";
        f.m_nStorageID = 0;
        f.m_nWriterID = 1;
        f.m_Power.m_nInherit = 0;
        f.m_Power.m_nEveryonePower = 0xC000;
        CkxBuf ex, power;
        f.BuildPower(power);
        for (int i = 0; i < count; ++i) {
            f.m_strTitle = prefix + std::to_string(i);
            f.m_dtWrite = COleDateTime(firstTime + i * 0.00001);
            table.InsertFile(db, f, ex, power);
        }
        tx.Commit();
        db.GatherStatistics(false);
    }

private:
    fs::path m_dir;
    std::unique_ptr<CDataManager> m_data;
    std::unique_ptr<CServerListener> m_server;
    bool m_ok = false;
};

} // namespace bench
