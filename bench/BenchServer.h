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
#include "model/CkxUser.h"
#include "protocol/KxMessage.h"
#include "service/RequestTable.h"
#include "session/CListenServer.h"
#include "transport/NetRead.h"
#include "storeadmin/StorageDrives.h"
#include "table/CImageFileTable.h"
#include "table/UserTables.h"
#include "model/CkxXXX.h"
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
    // The result of the last log-on answer (CV_USER_LOGIN_OK when it was taken), or -1.
    int LogonResult() {
        std::lock_guard lock(m_mutex);
        return m_logonResult;
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
        if (!kx::NetIsLastEntry(packet)) return;
        {
            std::lock_guard lock(m_mutex);
            ++m_answers[packet.GetType() & 63];
            uint32_t user = 0, result = 0;
            if (packet.GetType() == kx::kMsgSession && packet.GetSubOp() == kx::kSubLogon &&
                packet.GetDataInt64(user, result))
                m_logonResult = static_cast<int>(result);
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_answers[64] = {};
    int m_logonResult = -1;
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
        Start(true);
    }
    // The server on the catalogue and storage root another BenchServer left in `dir` (see Keep).
    explicit BenchServer(const fs::path& dir) : m_dir(dir), m_keep(true) { Start(false); }
    ~BenchServer() {
        if (m_server) m_server->Shutdown();
        m_server.reset();
        m_data.reset();
        std::error_code ec;
        if (!m_dir.empty() && !m_keep) fs::remove_all(m_dir, ec);
    }
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    bool Ok() const { return m_ok; }
    // Leaves the folder (catalogue and storage root) in place when the server goes.
    void Keep() { m_keep = true; }
    const fs::path& Dir() const { return m_dir; }
    std::string Catalogue() const { return (m_dir / "catalogue.db").string(); }
    CDataManager& Data() { return *m_data; }
    CServerListener& Server() { return *m_server; }

    // Accounts "bench1" to "bench<count>" (password kPassword) with su's role: a user logs on in
    // one session at a time, so each of many clients needs its own.
    bool AddUsers(int count) {
        std::lock_guard lock(m_data->CatalogueMutex());
        CkxUserList& users = KX_KXXXX().m_UserList;
        const CkxUser* su = users.Find(std::string("su"));
        if (!su) return false;
        for (int i = 1; i <= count; ++i) {
            CkxUser u = *su;
            u.m_strLogon = u.m_strUser = "bench" + std::to_string(i);
            u.m_strPassword = kPassword;
            u.m_nOnline = 0;
            if (!UserTable::Insert(m_data->GetDatabase(), u)) return false;
            users.AddTail(u);
        }
        return true;
    }

    // A client logged on as the user (su unless named); null when the log-on fails.
    std::unique_ptr<BenchClient> LogOn(const std::string& user = "su") {
        auto client = std::make_unique<BenchClient>();
        CkxClient logon;
        logon.m_nType = CkxClient::MS_STUDIO;
        logon.m_strLogon = user;
        logon.m_strPassword = kPassword;
        const CkxClient::_COM com = logon.GetComData();
        NetPacket p;
        p.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
        p.SetRequestQueue();
        p.SetData(&com, sizeof com);
        if (client->Connect(m_server->GetPort(), "127.0.0.1") != 1 || !client->RoundTrip(p, kx::kMsgSession))
            return nullptr;
        if (client->LogonResult() != CV_USER_LOGIN_OK) {
            std::fprintf(stderr, "log-on refused: %d\n", client->LogonResult());
            return nullptr;
        }
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
    // Storage root and catalogue opened, the listener on a free loopback port.
    void Start(bool makeRoot) {
        const fs::path drive = m_dir / "C", root = drive / "KX_Storage_0";
        if (makeRoot) {
            fs::create_directories(root);
            kx::WritePrivateProfileString("BASE", "ID", "0", (root / "Conf").string());
        }
        auto drives = std::make_shared<FolderDriveSource>();
        drives->Add('C', drive.string(), 4000000, 2000000);
        m_data = std::make_unique<CDataManager>();
        m_data->GetImageStorage().SetDriveSource(drives);
        if (!m_data->GetImageStorage().Prepare("KX")) return;
        if (makeRoot) m_data->GetImageStorage().CreateRootFolders(0);
        m_data->SetConnection("", Catalogue(), "", "");
        if (!m_data->Open(KX_DB_SQLITE)) {
            std::fprintf(stderr, "open: %s\n", m_data->GetLastError().c_str());
            return;
        }
        m_server = std::make_unique<CServerListener>(m_data.get(), kx::RequestTable());
        m_ok = m_server->Start(0, "127.0.0.1") && m_server->StartServerThread();
    }

    fs::path m_dir;
    bool m_keep = false;
    std::unique_ptr<CDataManager> m_data;
    std::unique_ptr<CServerListener> m_server;
    bool m_ok = false;
};

} // namespace bench
