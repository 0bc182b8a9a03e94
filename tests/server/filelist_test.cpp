// File lists (types 15, 31 to 37) and the whole content of a file (type 30) over loopback
// against the real server core, with the read-right filter and the 1000-file cap.
#include "service/CFileService.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxXXX.h"
#include "server/support/FileTestKit.h"
#include "server/support/TestCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

using namespace srvtest;

namespace {

std::vector<int> AnswerIds(const std::vector<Answer>& answers) {
    std::vector<int> ids;
    for (const auto& a : answers) {
        auto f = InfoFile(a);
        ids.push_back(f ? f->GetID() : 0);
    }
    return ids;
}

std::vector<int> Sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

// 1500 files alice may read and 300 she may not, written in shuffled time order: every list
// answers the first 1000 readable ones in write-time order.
TEST(FileList, AnswersTheFirstThousandReadableFilesInWriteTimeOrder) {
    const struct {
        const char* name;
        int type;
        std::string payload;
    } cases[] = {
        {"family", kx::kMsgFamilyFiles, "100000001"},
        {"project", kx::kMsgProjectFiles, "5"},
        {"folder", kx::kMsgFolderFiles, ""},
        {"recycle bin", kx::kMsgRecycleList, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server;
        ASSERT_TRUE(server.Ok());
        auto alice = server.LogOn("alice", "alice-pw");
        ASSERT_TRUE(alice);
        const int bob = server.UserId("bob");
        // The folder case lists a folder everybody may browse.
        std::string payload = c.payload;
        int folder = -1;
        if (c.type == kx::kMsgFolderFiles) {
            folder = AddFolderDirect(server, "共享", -1, bob, 0xFFFFFFFF).m_nID;
            payload = std::to_string(folder);
        }

        constexpr int kReadable = 1500, kHidden = 300, kAll = kReadable + kHidden;
        std::vector<int> order(kAll);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), std::mt19937(42));
        std::vector<std::pair<int, int>> readableByTime; // time slot, id
        {
            CADOTransaction tx(server.Db());
            for (int slot : order) {
                const bool readable = slot % 6 != 5;
                CkxFileImage f = MakeFile("f" + std::to_string(slot), "jpg", bob, readable ? kReadOpen : 0);
                f.m_dtWrite = COleDateTime(45000.0 + slot * 0.001);
                if (c.type == kx::kMsgFolderFiles) f.m_nLocDirID = folder;
                if (c.type == kx::kMsgRecycleList) {
                    f.m_nDeleted = 1;
                    f.m_nDeleterID = alice->UserId();
                }
                const int id = InsertRow(server.Db(), f);
                ASSERT_GT(id, 0);
                if (c.type == kx::kMsgProjectFiles)
                    ASSERT_TRUE(server.Db().Execute(
                        "INSERT INTO VUZO_ProjectFile (T_ProjectID, T_FileID, T_DataFormat) VALUES (5, " +
                        std::to_string(id) + ", 3)"));
                if (readable) readableByTime.emplace_back(slot, id);
            }
            ASSERT_TRUE(tx.Commit());
        }
        ASSERT_EQ(readableByTime.size(), static_cast<size_t>(kReadable));
        std::sort(readableByTime.begin(), readableByTime.end());
        std::vector<int> expected;
        for (int i = 0; i < 1000; ++i) expected.push_back(readableByTime[i].second);

        ASSERT_TRUE(alice->SendText(c.type, kx::kSubNone, payload));
        // The answer's parameter is the request's (0 here); a second request checks it below.
        auto answers = alice->WaitSeries(c.type, kx::kSubNone, 30s);
        ASSERT_TRUE(answers);
        EXPECT_EQ(AnswerIds(*answers), expected);
        EXPECT_TRUE(alice->Quiet(c.type, -1, 200ms)); // nothing after the 1000th
    }
}

TEST(FileList, WholeFileLargerThanOnePartArrivesWhole) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    const int bob = server.UserId("bob");
    const std::string bytes = RandomBytes(50000, 3);
    CkxFileImage open = MakeFile("big", "tif", bob, kReadOpen, bytes, "m");
    CkxFileImage closed = MakeFile("secret", "tif", bob, 0, "no", "m");
    // Open without read: the file is in no list of hers, so its content is not hers either.
    CkxFileImage unreadable = MakeFile("hidden", "tif", bob, KXP_FILE_OPEN, "no", "m");
    const int idOpen = StoreFile(server, open), idClosed = StoreFile(server, closed);
    const int idUnreadable = StoreFile(server, unreadable);
    // In bob's recycle bin: out of alice's reach, though she may read and open it.
    CkxFileImage binned = MakeFile("binned", "tif", bob, kReadOpen, "bin", "m");
    binned.m_nDeleted = 1;
    binned.m_nDeleterID = bob;
    const int idBinned = StoreFile(server, binned);

    // The request names the file by id; its root and extension are not trusted.
    CkxFileImage request = open;
    request.m_nStorageID = 4;
    request.m_strExName = "../../etc";
    NetPacket packet;
    const CkxFile::_COM com = request.GetComData();
    packet.InitCommand(kx::kMsgWholeFile, kx::kSubNone, 1);
    packet.SetParam(77);
    packet.SetData(&com, sizeof com);
    ASSERT_TRUE(alice->SendPacket(packet));
    auto a = alice->Wait(kx::kMsgWholeFile, kx::kSubNone, 10s);
    ASSERT_TRUE(a);
    ASSERT_EQ(a->pieces.size(), 2u);
    EXPECT_EQ(a->param, 77u);
    CkxFile::_COM back;
    ASSERT_TRUE(a->As(back));
    EXPECT_EQ(back.nID, idOpen);
    EXPECT_STREQ(back.szExName, "tif");
    EXPECT_TRUE(a->pieces[1] == bytes);

    // A file alice may not load, one she may open but not read, one in bob's recycle bin, and
    // an id without a row: no answer at all.
    for (int id : {idClosed, idUnreadable, idBinned, idOpen + 1000}) {
        CkxFile::_COM other = com;
        other.nID = id;
        ASSERT_TRUE(alice->SendRecord(kx::kMsgWholeFile, kx::kSubNone, other));
        EXPECT_TRUE(alice->Quiet(kx::kMsgWholeFile, -1, 300ms)) << id;
    }
}

TEST(FileList, KeywordListsAllAndAny) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    std::vector<int> ids;
    for (const char* t : {"a", "b", "c"}) {
        CkxFileImage f = MakeFile(t, "jpg", alice->UserId());
        ids.push_back(InsertRow(server.Db(), f));
    }
    // a: keywords 1 and 2; b: 1; c: 2.
    const std::pair<int, int> links[] = {{ids[0], 1}, {ids[0], 2}, {ids[1], 1}, {ids[2], 2}};
    for (auto [file, key] : links)
        ASSERT_TRUE(server.Db().Execute("INSERT INTO VUZO_KeywordLink (T_FileID, T_KeyID) VALUES (" +
                                        std::to_string(file) + ", " + std::to_string(key) + ")"));
    auto idPiece = [](int32_t id) { return std::string(reinterpret_cast<const char*>(&id), 4); };
    const struct {
        int type;
        std::vector<int32_t> keys;
        std::vector<int> want;
    } cases[] = {
        {kx::kMsgKeywordFilesAll, {1, 2}, {ids[0]}},
        {kx::kMsgKeywordFilesAny, {1, 2}, {ids[0], ids[1], ids[2]}},
        {kx::kMsgKeywordFilesAny, {2}, {ids[0], ids[2]}},
        {kx::kMsgKeywordFilesAll, {1, 3}, {}},
        {kx::kMsgKeywordFilesAny, {}, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces;
        for (int32_t k : c.keys) pieces.push_back(idPiece(k));
        ASSERT_TRUE(SendPieces(*alice, c.type, kx::kSubAdd, pieces, 9));
        if (c.want.empty()) {
            EXPECT_TRUE(alice->Quiet(c.type, -1, 300ms)) << c.type;
            continue;
        }
        auto answers = alice->WaitSeries(c.type, kx::kSubNone);
        ASSERT_TRUE(answers) << c.type;
        EXPECT_EQ(Sorted(AnswerIds(*answers)), Sorted(c.want)) << c.type;
        EXPECT_EQ(answers->front().param, 9u);
    }
}

TEST(FileList, TemplateQueryByTitleKeepsTheReadRightFilter) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    const int bob = server.UserId("bob");
    CkxFileImage hit = MakeFile("match", "jpg", bob), hidden = MakeFile("match", "jpg", bob, 0),
                 other = MakeFile("other", "jpg", bob);
    const int idHit = InsertRow(server.Db(), hit);
    InsertRow(server.Db(), hidden);
    InsertRow(server.Db(), other);
    CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
    kx::PutText(block.szTitle, "match");
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgQueryFiles, kx::kSubAdd, {std::string(reinterpret_cast<const char*>(&block), sizeof block)}, 3));
    auto answers = alice->WaitSeries(kx::kMsgQueryFiles, kx::kSubNone);
    ASSERT_TRUE(answers);
    EXPECT_EQ(AnswerIds(*answers), std::vector<int>{idHit});
    EXPECT_EQ(answers->front().param, 3u);
}

// A keyword list that names no keyword reads no table and answers nothing: with the link table
// taken away, any statement on it would fail and be reported. The same request with an id does
// reach the table, which shows the check would see it.
TEST(FileList, KeywordListsWithoutIdsTouchNoTable) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    ASSERT_TRUE(server.Locked([&] { return server.Db().Execute(" ALTER TABLE VUZO_KeywordLink RENAME TO VUZO_KeywordLink_off "); }));
    kxtest::DbErrorLog errors;
    const struct {
        const char* name;
        std::function<bool(int type)> send;
    } requests[] = {
        {"a message of no pieces", [&](int type) { return SendPieces(*alice, type, kx::kSubAdd, {}, 4); }},
        {"pieces too short for an id", [&](int type) { return SendPieces(*alice, type, kx::kSubAdd, {"", "ab"}, 4); }},
        {"an empty packet", [&](int type) { return alice->Send(type, kx::kSubAdd); }},
    };
    for (int type : {kx::kMsgKeywordFilesAll, kx::kMsgKeywordFilesAny}) {
        for (const auto& r : requests) {
            SCOPED_TRACE(std::to_string(type) + " " + r.name);
            ASSERT_TRUE(r.send(type));
            EXPECT_TRUE(alice->Quiet(type, -1, 300ms));
            server.Locked([] { return 0; }); // the handler has run
            EXPECT_TRUE(errors.lines.empty()) << errors.lines.front();
        }
    }
    // The service itself refuses an empty list before any statement.
    {
        CImageFileService service(server.Data());
        CkxFileList list;
        EXPECT_EQ(server.Locked([&] { return service.GetKeywordFilesAny({}, list); }), 0);
        EXPECT_EQ(server.Locked([&] { return service.GetKeywordFilesAll({}, list); }), 0);
        EXPECT_TRUE(errors.lines.empty());
    }
    const int32_t one = 1;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgKeywordFilesAny, kx::kSubAdd, {std::string(reinterpret_cast<const char*>(&one), 4)}, 4));
    EXPECT_TRUE(alice->Quiet(kx::kMsgKeywordFilesAny, -1, 300ms));
    server.Locked([] { return 0; });
    EXPECT_TRUE(errors.Contains("VUZO_KeywordLink"));
    ASSERT_TRUE(server.Locked([&] { return server.Db().Execute(" ALTER TABLE VUZO_KeywordLink_off RENAME TO VUZO_KeywordLink "); }));
}

// A query's folder and its two flags pick the folders: the folder itself, the folders below it,
// both, or no folder condition; a folder without sub-folders stands for itself. Files a quick key
// shows in a picked folder join when they match the rest of the query.
TEST(FileList, QueryFolderFlagsAndQuickKeys) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    // Folders: 910 with 911 and 912 below it, 913 below 912; 920 elsewhere.
    const int folders[][3] = {{910, -1, 0}, {911, 910, 1}, {912, 910, 1}, {913, 912, 2}, {920, -1, 0}};
    std::map<std::string, int> id;
    server.Locked([&] {
        for (const auto& f : folders) {
            CkxFSNode node;
            node.m_nID = f[0];
            node.m_nParentID = f[1];
            node.m_nLev = f[2];
            node.m_strName = "d" + std::to_string(f[0]);
            KX_KXXXX().fsAddDir(node);
        }
        // One file in each folder but 912, one in the recycle bin, one more (other title) in 920.
        const struct {
            const char* title;
            int folder;
            int deleted;
        } files[] = {{"f910", 910, 0}, {"f911", 911, 0}, {"f913", 913, 0}, {"f920", 920, 0},
                     {"bin", 912, 1}, {"x920", 920, 0}};
        for (const auto& f : files) {
            CkxFileImage file = MakeFile(f.title, "jpg", 1);
            file.m_nLocDirID = f.folder;
            file.m_nDeleted = f.deleted;
            id[f.title] = InsertRow(server.Db(), file);
        }
        // Quick keys in 911 show f920, x920 and the binned file.
        int keyId = 7000;
        for (const char* shown : {"f920", "x920", "bin"}) {
            CkxFSQuickKey key(911, id[shown]);
            key.m_nID = ++keyId;
            KX_KXXXX().m_QuickKeyList.AddTail(key);
        }
        return 0;
    });

    const struct {
        const char* name;
        int folder, self, below;
        const char* title;
        std::vector<std::string> want;
    } cases[] = {
        {"the folder itself", 910, 1, 0, "", {"f910"}},
        {"only the folders below", 910, 0, 1, "", {"f911", "f913", "f920", "x920"}},
        {"folder and below", 910, 1, 1, "", {"f910", "f911", "f913", "f920", "x920"}},
        {"no folder condition", 910, 0, 0, "", {"f910", "f911", "f913", "f920", "x920"}},
        {"a leaf stands for itself", 913, 0, 1, "", {"f913"}},
        {"every folder", -1, 1, 1, "", {"f910", "f911", "f913", "f920", "x920"}},
        {"a shown file must match the title", 911, 1, 0, "f920", {"f920"}},
        {"the title holds for the folder's own files", 911, 1, 0, "f911", {"f911"}},
    };
    CImageFileService service(server.Data());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
        block.nDirID = c.folder;
        block.bDirSelf = c.self;
        block.bDirBelow = c.below;
        kx::PutText(block.szTitle, c.title);
        CkxFileList list;
        CkxQueryOperandList none;
        server.Locked([&] { return service.QueryFiles(block, none, KX_KXXXX(), list); });
        std::vector<int> got, want;
        for (POSITION p = list.GetHeadPosition(); p;) got.push_back(list.GetNext(p)->GetID());
        for (const auto& t : c.want) want.push_back(id[t]);
        EXPECT_EQ(Sorted(got), Sorted(want));
    }
    server.Locked([&] {
        for (int top : {910, 920}) KX_KXXXX().fsDeleteDir(top);
        for (int k = 7001; k <= 7003; ++k) KX_KXXXX().m_QuickKeyList.Delete(k);
        return 0;
    });
}

// Every list answer carries each sent file's stored thumbnail (read after the rows, once the
// catalogue is let go); a file without one is sent without.
TEST(FileList, AnswersCarryTheStoredThumbnails) {
    SharedFolder shared;
    ASSERT_NO_FATAL_FAILURE(shared.Start());
    auto& [server, alice, bob, folder] = shared;
    std::map<int, std::string> thumbs; // by id; empty: none stored
    for (int i = 0; i < 3; ++i) {
        CkxFileImage f = MakeFile("t" + std::to_string(i), "jpg", bob);
        f.m_nLocDirID = folder;
        f.m_dtWrite = COleDateTime(45000.0 + i);
        const int id = InsertRow(server.Db(), f);
        ASSERT_GT(id, 0);
        const std::string thumb = i == 1 ? "" : RandomBytes(3000 + i, static_cast<unsigned>(i));
        if (!thumb.empty())
            ASSERT_EQ(server.Data().GetImageStorage().WriteMicro(0, f.GetMicroIDName(), thumb.data(),
                                                                 static_cast<int>(thumb.size())),
                      1);
        thumbs[id] = thumb;
    }
    for (const auto& [type, payload] : {std::pair{kx::kMsgFolderFiles, std::to_string(folder)},
                                        {kx::kMsgFamilyFiles, std::string("100000001")}}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(alice->SendText(type, kx::kSubNone, payload));
        const auto answers = alice->WaitSeries(type, kx::kSubNone, 60s);
        ASSERT_TRUE(answers);
        ASSERT_EQ(answers->size(), thumbs.size());
        for (const auto& a : *answers) {
            const auto f = InfoFile(a);
            ASSERT_TRUE(f);
            const std::string sent = f->IsMemMicroValid()
                                         ? std::string(reinterpret_cast<const char*>(f->GetMemMicroBuf()),
                                                       static_cast<size_t>(f->GetMemMicroSize()))
                                         : std::string();
            EXPECT_EQ(sent, thumbs[f->GetID()]) << "file " << f->GetID();
        }
    }
}
