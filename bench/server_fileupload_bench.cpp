// Uploading through the protocol against a plain file copy, and a 1000-file list against the
// bare SQL query. Starts the server core on a temporary SQLite catalogue and storage root,
// then:
//   1. one client uploads 200 generated 2 MB JPEG files as capture adds (type 24), all sent at
//      once, timed until the last answer; the same files are then copied with a plain file copy;
//   2. a family of 100,000 rows is listed (type 31, 1000 files answered) and timed against the
//      bare SELECT of the same rows.
// Usage: server_fileupload_bench [files] [rows]   (defaults 200 and 100000)
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "model/CkxClient.h"
#include "model/CkxFileImage.h"
#include "protocol/KxMessage.h"
#include "base/KxIni.h"
#include "transport/NetConnection.h"
#include "storeadmin/StorageDrives.h"
#include "data/CDataManager.h"
#include "service/RequestTable.h"
#include "session/CListenServer.h"
#include "table/CImageFileTable.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kFileBytes = 2u * 1024 * 1024;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Counts the answers of each type.
class BenchClient : public NetConnection {
public:
    ~BenchClient() override { StopAndClose(); }
    bool WaitFor(int type, int count, std::chrono::seconds limit) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_counts[type] >= count; });
    }
    int Count(int type) {
        std::lock_guard lock(m_mutex);
        return m_counts[type];
    }
    void Reset(int type) {
        std::lock_guard lock(m_mutex);
        m_counts[type] = 0;
    }

protected:
    void OnRequest(NetPacket&, NetMessage*) override {}
    void OnReply(NetPacket& packet, NetMessage*) override {
        {
            std::lock_guard lock(m_mutex);
            ++m_counts[packet.GetType() & 63];
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_counts[64] = {};
};

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

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 200;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 100000;
    char tmpl[] = "/tmp/varnia-bench-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const fs::path dir = tmpl;
    const std::string catalogue = (dir / "catalogue.db").string();
    std::string error;
    if (!kx::CreateSqliteCatalogue(catalogue, "bench-pw", error)) {
        std::fprintf(stderr, "catalogue: %s\n", error.c_str());
        return 1;
    }
    const fs::path drive = dir / "C";
    const fs::path root = drive / "KX_Storage_0";
    fs::create_directories(root);
    kx::WritePrivateProfileString("BASE", "ID", "0", (root / "Conf").string());
    auto drives = std::make_shared<FolderDriveSource>();
    drives->Add('C', drive.string(), 400000, 200000);

    int status = 0;
    {
        CDataManager data;
        data.GetImageStorage().SetDriveSource(drives);
        if (!data.GetImageStorage().Prepare("KX")) return 1;
        data.GetImageStorage().CreateRootFolders(0);
        data.SetConnection("", catalogue, "", "");
        if (!data.Open(KX_DB_SQLITE)) {
            std::fprintf(stderr, "open: %s\n", data.GetLastError().c_str());
            return 1;
        }
        CServerListener server(&data, kx::RequestTable());
        if (!server.Start(0, "127.0.0.1") || !server.StartServerThread()) return 1;

        BenchClient client;
        CkxClient logon;
        logon.m_nType = CkxClient::MS_STUDIO;
        logon.m_strLogon = "su";
        logon.m_strPassword = "bench-pw";
        const CkxClient::_COM logonCom = logon.GetComData();
        NetPacket p;
        p.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
        p.SetRequestQueue();
        p.SetData(&logonCom, sizeof logonCom);
        if (client.Connect(server.GetPort(), "127.0.0.1") != 1 || !client.SendPacket(p) ||
            !client.WaitFor(kx::kMsgSession, 1, std::chrono::seconds(10))) {
            std::fprintf(stderr, "log-on failed\n");
            return 1;
        }

        // ---- 1. uploads against a plain copy ----
        const fs::path source = dir / "source", copies = dir / "copies";
        fs::create_directories(source);
        fs::create_directories(copies);
        std::vector<std::string> bodies;
        for (int i = 0; i < files; ++i) {
            const std::string jpeg = MakeJpeg(static_cast<unsigned>(i));
            std::ofstream(source / ("p" + std::to_string(i) + ".jpg"), std::ios::binary) << jpeg;
            CkxFileImage f;
            f.m_nID = -3 - i;
            f.m_nFamilyID = 100000001;
            f.m_strTitle = "p" + std::to_string(i);
            f.m_strExName = "jpg";
            f.UpdateWhole(jpeg.data(), static_cast<int>(jpeg.size()));
            f.UpdateMicro(jpeg.data(), 6000);
            CkxBuf body;
            f.BuildFileData(body);
            bodies.emplace_back(reinterpret_cast<const char*>(body.GetBuf()), static_cast<size_t>(body.GetLen()));
        }
        const double mb = static_cast<double>(files) * kFileBytes / (1024.0 * 1024.0);

        const auto upStart = Clock::now();
        for (const auto& body : bodies) {
            NetMessage m;
            m.SetCommand(kx::kMsgCaptureFile, kx::kSubAdd);
            m.AppendData(body);
            client.SendMessage(m);
        }
        const bool all = client.WaitFor(kx::kMsgCaptureFile, files, std::chrono::seconds(600));
        const double up = Seconds(upStart);

        const auto copyStart = Clock::now();
        for (int i = 0; i < files; ++i) {
            const std::string name = "p" + std::to_string(i) + ".jpg";
            fs::copy_file(source / name, copies / name, fs::copy_options::overwrite_existing);
        }
        const double copy = Seconds(copyStart);

        std::printf("upload (type 24): %d of %d files answered in %.2f s: %.1f files/s, %.1f MB/s\n",
                    client.Count(24), files, up, files / up, mb / up);
        std::printf("plain file copy:  %d files in %.2f s: %.1f files/s, %.1f MB/s\n", files, copy,
                    files / copy, mb / copy);
        std::printf("upload / copy time ratio: %.1f\n", up / copy);
        if (!all) status = 2;

        // ---- 2. a 1000-file list from 100,000 rows against the bare query ----
        {
            std::lock_guard lock(data.CatalogueMutex());
            CADODatabase& db = data.GetDatabase();
            CImageFileTable table;
            CADOTransaction tx(db);
            CkxFileImage f;
            f.m_nFamilyID = 100000002;
            f.m_strExName = "jpg";
            f.m_nStorageID = 0;
            f.m_nWriterID = 1;
            f.m_Power.m_nInherit = 0;
            f.m_Power.m_nEveryonePower = 0xC000;
            CkxBuf ex, power;
            f.BuildPower(power);
            for (int i = 0; i < rows; ++i) {
                f.m_strTitle = "row" + std::to_string(i);
                f.m_dtWrite = COleDateTime(45000.0 + i * 0.0001);
                table.InsertFile(db, f, ex, power);
            }
            tx.Commit();
        }
        constexpr int kRuns = 5;
        double listTotal = 0;
        for (int run = 0; run < kRuns; ++run) {
            client.Reset(31);
            NetPacket req;
            req.InitCommand(kx::kMsgFamilyFiles, kx::kSubNone, 1);
            req.SetRequestQueue();
            req.SetText("100000002");
            const auto t = Clock::now();
            client.SendPacket(req);
            if (!client.WaitFor(kx::kMsgFamilyFiles, 1000, std::chrono::seconds(120))) status = 3;
            listTotal += Seconds(t);
        }
        double sqlTotal = 0;
        long seen = 0;
        CImageFileTable table;
        for (int run = 0; run < kRuns; ++run) {
            std::lock_guard lock(data.CatalogueMutex());
            const auto t = Clock::now();
            CADORecordset rs;
            data.GetDatabase().Query(table.ReadFamilyFilesText(100000002), rs);
            for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) ++seen;
            sqlTotal += Seconds(t);
        }
        std::printf("list of 1000 files (type 31) from %d rows: %.1f ms; bare SELECT of the rows "
                    "(%ld read): %.1f ms; ratio %.1f\n",
                    rows, 1000 * listTotal / kRuns, seen / kRuns, 1000 * sqlTotal / kRuns,
                    listTotal / sqlTotal);
        client.StopAndClose();
        server.Shutdown();
    }
    fs::remove_all(dir);
    return status;
}
