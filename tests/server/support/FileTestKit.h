// Helpers of the file-request tests: file objects with content and rights, rows and stored
// copies put straight into the test server's catalogue and storage, multi-part requests, and
// the file bodies of list answers read back.
#pragma once

#include "db/AdoRecordset.h"
#include "model/CkxContainer.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileList.h"
#include "transport/NetMessage.h"
#include "server/support/TestServer.h"
#include "storage/CImageStorage.h"
#include "table/CImageFileTable.h"
#include "table/FolderTable.h"
#include "model/CkxXXX.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace srvtest {

// A 1x1 PNG, byte for byte.
inline std::string SmallPng() {
    static const unsigned char bytes[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F,
        0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8,
        0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00,
        0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

inline std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

// Everybody may browse and open the file (or nobody but its writer).
constexpr uint32_t kReadOpen = 0xC000;

// An image file in no folder with rights of its own (no inheritance).
inline CkxFileImage MakeFile(const std::string& title, const std::string& ext, int writer,
                             uint32_t everyone = kReadOpen, const std::string& whole = "",
                             const std::string& micro = "") {
    CkxFileImage f;
    f.m_nFamilyID = 100000001;
    f.m_strTitle = title;
    f.m_strExName = ext;
    f.m_nWriterID = writer;
    f.m_nWidth = 1;
    f.m_nHeight = 1;
    f.m_Power.m_nInherit = 0;
    f.m_Power.m_nEveryonePower = everyone;
    f.m_nSize = static_cast<int32_t>(whole.size());
    if (!whole.empty()) f.UpdateWhole(whole.data(), static_cast<int>(whole.size()));
    if (!micro.empty()) f.UpdateMicro(micro.data(), static_cast<int>(micro.size()));
    return f;
}

// Inserts the file's row as it stands (root 0 unless set); its id goes into the file.
inline int InsertRow(CADODatabase& db, CkxFile& f) {
    if (f.m_nStorageID < 0) f.m_nStorageID = 0;
    CkxBuf ex, power;
    f.BuildExattr(ex);
    f.BuildPower(power);
    CImageFileTable table;
    return table.InsertFile(db, f, ex, power) ? f.GetID() : -1;
}

// A folder put straight into the catalogue and the server's memory (no request): its name, its
// parent (-1: the root), its creator and what everyone may do there (its own rights, not
// inherited). Gives the folder with its id.
inline CkxFSNode AddFolderDirect(TestServer& server, const std::string& name, int parent, int creator,
                                 uint32_t everyone) {
    CkxFSNode n;
    n.m_strName = name;
    n.m_nParentID = parent;
    n.m_nLev = parent == -1 ? 0 : server.Locked([&] { return KX_KXXXX().fsFind(parent)->m_nLev + 1; });
    n.m_nCreatorID = creator;
    n.m_Power.m_nInherit = 0;
    n.m_Power.m_nEveryonePower = everyone;
    EXPECT_TRUE(DirTable::Insert(server.Db(), n));
    server.Locked([&] { return KX_KXXXX().fsAddDir(n); });
    return n;
}

// A server with alice logged on and bob's folder "共享", which everybody may browse. Start it
// through ASSERT_NO_FATAL_FAILURE.
struct SharedFolder {
    TestServer server;
    std::unique_ptr<TestClient> alice;
    int bob = -1;
    int folder = -1;
    void Start() {
        ASSERT_TRUE(server.Ok());
        alice = server.LogOn("alice", "alice-pw");
        ASSERT_TRUE(alice);
        bob = server.UserId("bob");
        folder = AddFolderDirect(server, "共享", -1, bob, 0xFFFFFFFF).m_nID;
    }
};

// The row and its two stored copies on root 0.
inline int StoreFile(TestServer& server, CkxFile& f) {
    const int id = InsertRow(server.Db(), f);
    CImageStorage& storage = server.Data().GetImageStorage();
    storage.WriteMicro(0, f.GetMicroIDName(), f.GetMemMicroBuf(), f.GetMemMicroSize());
    storage.WriteWhole(0, f.GetIDName(), f.GetMemWholeBuf(), f.GetMemWholeSize());
    return id;
}

inline std::unique_ptr<CkxFile> ReadRow(CADODatabase& db, int id) {
    CImageFileTable table;
    CkxFileList list;
    if (table.SelectFile(db, id, list) != 1) return nullptr;
    return std::unique_ptr<CkxFile>(list.RemoveHead());
}

inline std::string ReadDisk(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string MicroPath(TestServer& s, int id) {
    return s.StorageRoot() + "/File/Image/Micro/" + std::to_string(id);
}
inline std::string WholePath(TestServer& s, int id, const std::string& ext) {
    return s.StorageRoot() + "/File/Image/Whole/" + std::to_string(id) + "." + ext;
}

// A multi-part request.
inline bool SendPieces(TestClient& c, int type, int subOp, const std::vector<std::string>& pieces,
                       uint32_t param = 0) {
    NetMessage m;
    m.SetCommand(type, subOp);
    m.SetParam(param);
    for (const auto& p : pieces) m.AppendData(p);
    return c.SendMessage(m) == 1;
}

inline std::string FileData(const CkxFile& f) {
    CkxBuf buf;
    f.BuildFileData(buf);
    return std::string(reinterpret_cast<const char*>(buf.GetBuf()), static_cast<size_t>(buf.GetLen()));
}

inline std::string DeleteRecords(const std::vector<CkxFile::_COM_DelFile>& recs) {
    return std::string(reinterpret_cast<const char*>(recs.data()), recs.size() * sizeof recs[0]);
}

inline CkxFile::_COM_DelFile DeleteRecord(int id, int purge, int root = 0, int folder = -1,
                                          const char* ext = "jpg") {
    auto r = kx::ZeroRecord<CkxFile::_COM_DelFile>();
    r.nID = static_cast<uint32_t>(id);
    r.nStorageID = root;
    r.nDirID = folder;
    r.nPurge = purge;
    kx::PutText(r.szTitle, "t");
    kx::PutText(r.szExName, ext);
    return r;
}

// The file of a list answer's info body.
inline std::unique_ptr<CkxFile> InfoFile(const Answer& a) {
    CkxContainer c;
    if (!c.PasyBuf(a.payload.data(), static_cast<int>(a.payload.size()))) return nullptr;
    std::unique_ptr<CkxFile> f(CkxFile::_CreateFile(c));
    if (!f || !f->PasyFileInfo(c)) return nullptr;
    return f;
}

} // namespace srvtest
