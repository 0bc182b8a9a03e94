// The quick-key services over loopback (type 11 single keys, type 12 a file's whole set) against
// the real server core, and the whole-set replacement in the table on both engines: a file's
// replacement only ever touches that file's keys.
#include "db/AdoRecordset.h"
#include "model/CkxXXX.h"
#include "transport/NetMessage.h"
#include "table/QuickKeyTable.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TwoWorkstations.h"
#include "service/OperationLog.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace srvtest;

namespace {

struct Stored {
    int folder, file;
    bool operator==(const Stored& o) const { return folder == o.folder && file == o.file; }
};

// id -> (folder, file) of every row of the table.
std::map<int, Stored> Rows(CADODatabase& db) {
    std::map<int, Stored> rows;
    CADORecordset rs;
    EXPECT_EQ(db.Query(" SELECT * FROM VUZO_QuickKey ", rs), 1);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        int32_t id = 0, folder = 0, file = 0;
        rs.GetLong("T_ID", id);
        rs.GetLong("T_DirID", folder);
        rs.GetLong("T_FileID", file);
        rows[id] = {folder, file};
    }
    return rows;
}

CkxFSQuickKey Key(int id, int folder, int file) {
    CkxFSQuickKey k(folder, file);
    k.m_nID = id;
    k.SetImage();
    return k;
}

class QuickKeyTableTest : public kxtest::CatalogueTest {
protected:
    int Insert(int folder, int file) {
        CkxFSQuickKey k = Key(-1, folder, file);
        EXPECT_EQ(QuickKeyTable::Insert(catalogue.db, k), 1);
        return k.m_nID;
    }
};

TEST_P(QuickKeyTableTest, ReplacementTouchesOnlyTheFilesKeys) {
    constexpr int F = 40, G = 41;
    const int k1 = Insert(1, F), k2 = Insert(2, F), g1 = Insert(1, G);

    CkxFSQuickKeyList keys;
    keys.AddTail(Key(k1, 3, F));  // a stored key of F, moved to folder 3
    keys.AddTail(Key(-1, 4, F));  // a new key
    keys.AddTail(Key(g1, 5, G));  // names G's key: becomes a new key of F, G's stays
    keys.AddTail(Key(k1, 6, 99)); // repeats k1 (and names another file): a new key of F
    ASSERT_EQ(QuickKeyTable::SaveFileKeys(catalogue.db, F, keys), 1);

    std::vector<int> ids;
    keys.ForEach([&](const CkxFSQuickKey& k) {
        ids.push_back(k.m_nID);
        EXPECT_EQ(k.m_nFileID, F);
    });
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[0], k1);
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(ids[i] > 0 && ids[i] != k1 && ids[i] != k2 && ids[i] != g1);

    const std::map<int, Stored> want = {{k1, {3, F}}, {ids[1], {4, F}}, {ids[2], {5, F}},
                                        {ids[3], {6, F}}, {g1, {1, G}}};
    EXPECT_EQ(Rows(catalogue.db), want);

    // An empty set deletes every key of F and nothing else.
    CkxFSQuickKeyList none;
    ASSERT_EQ(QuickKeyTable::SaveFileKeys(catalogue.db, F, none), 1);
    EXPECT_EQ(Rows(catalogue.db), (std::map<int, Stored>{{g1, {1, G}}}));
}

TEST_P(QuickKeyTableTest, FailedReplacementChangesNothing) {
    constexpr int F = 40;
    const int k1 = Insert(1, F), k2 = Insert(2, F);
    const auto before = Rows(catalogue.db);
    CkxFSQuickKeyList keys;
    keys.AddTail(Key(k1, 7, F));
    keys.AddTail(Key(-1, 8, F));
    {
        kxtest::DbErrorLog quiet;
        // A column the insert needs is gone: the update of k1 ran, the insert fails.
        ASSERT_EQ(catalogue.db.Execute("ALTER TABLE VUZO_QuickKey RENAME COLUMN T_DataState TO T_Away"), 1);
        EXPECT_EQ(QuickKeyTable::SaveFileKeys(catalogue.db, F, keys), 0);
        ASSERT_EQ(catalogue.db.Execute("ALTER TABLE VUZO_QuickKey RENAME COLUMN T_Away TO T_DataState"), 1);
    }
    EXPECT_EQ(Rows(catalogue.db), before);
    std::vector<int> ids;
    keys.ForEach([&](const CkxFSQuickKey& k) { ids.push_back(k.m_nID); });
    EXPECT_EQ(ids, (std::vector<int>{k1, -1})); // the caller's keys as they came
    (void)k2;
}

KX_ON_BOTH_ENGINES(QuickKeyTableTest);

class QuickKeyServiceTest : public TwoWorkstations {
protected:
    std::map<int, Stored> Memory() {
        return server.Locked([&] {
            std::map<int, Stored> m;
            KX_KXXXX().m_QuickKeyList.ForEach(
                [&](const CkxFSQuickKey& k) { m[k.m_nID] = {k.m_nDirID, k.m_nFileID}; });
            return m;
        });
    }
    NetMessage FileKeys(int file, const std::vector<CkxFSQuickKey>& keys) {
        NetMessage m;
        m.SetCommand(kx::kMsgFileQuickKeys, kx::kSubModify);
        m.SetParam(static_cast<uint32_t>(file));
        for (const CkxFSQuickKey& k : keys) {
            const CkxFSQuickKey::_COM com = k.GetComData();
            m.AppendData(&com, sizeof com);
        }
        return m;
    }
};

TEST_F(QuickKeyServiceTest, SingleKeysAddModifyDeleteAndList) {
    ASSERT_TRUE(su->SendRecord(kx::kMsgQuickKey, kx::kSubAdd, Key(-1, 7, 70).GetComData()));
    auto added = alice->Wait(kx::kMsgQuickKey, kx::kSubAdd);
    ASSERT_TRUE(added);
    ASSERT_TRUE(su->Wait(kx::kMsgQuickKey, kx::kSubAdd));
    CkxFSQuickKey::_COM com{};
    ASSERT_TRUE(added->As(com));
    const int id = com.nID;
    ASSERT_GT(id, 0);
    EXPECT_EQ(com.nDirID, 7);
    EXPECT_EQ(Rows(server.Db()), (std::map<int, Stored>{{id, {7, 70}}}));
    EXPECT_EQ(Memory(), Rows(server.Db()));
    EXPECT_EQ(LogLines(server.Db(), "添加快捷键", 1, KXLOG_CAT_FILEADMIN), 1);

    ASSERT_TRUE(su->SendRecord(kx::kMsgQuickKey, kx::kSubModify, Key(id, 8, 70).GetComData()));
    ASSERT_TRUE(alice->Wait(kx::kMsgQuickKey, kx::kSubModify));
    EXPECT_EQ(Rows(server.Db()), (std::map<int, Stored>{{id, {8, 70}}}));
    EXPECT_EQ(Memory(), Rows(server.Db()));
    EXPECT_EQ(LogLines(server.Db(), "修改快捷键", 1, KXLOG_CAT_FILEADMIN), 1);

    ASSERT_TRUE(su->Send(kx::kMsgQuickKey, kx::kSubList));
    auto list = su->WaitSeries(kx::kMsgQuickKey, kx::kSubList);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);

    // A modify of an unknown key and a delete id that is no number are dropped.
    ASSERT_TRUE(su->SendRecord(kx::kMsgQuickKey, kx::kSubModify, Key(id + 50, 9, 70).GetComData()));
    ASSERT_TRUE(su->SendText(kx::kMsgQuickKey, kx::kSubDelete, "7x"));
    EXPECT_TRUE(alice->Quiet(kx::kMsgQuickKey, -1));

    ASSERT_TRUE(su->SendText(kx::kMsgQuickKey, kx::kSubDelete, std::to_string(id)));
    auto gone = alice->Wait(kx::kMsgQuickKey, kx::kSubDelete);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->AsInt(), id);
    EXPECT_TRUE(Rows(server.Db()).empty());
    EXPECT_TRUE(Memory().empty());
    EXPECT_EQ(LogLines(server.Db(), "删除快捷键", 2, KXLOG_CAT_FILEADMIN), 1);
}

TEST_F(QuickKeyServiceTest, FileSetIsReplacedAndAnnouncedWithIds) {
    constexpr int F = 50, G = 51;
    std::map<int, int> ids; // folder -> id of the keys set up through type 11
    for (auto [folder, file] : {std::pair{1, F}, std::pair{2, F}, std::pair{1, G}}) {
        ASSERT_TRUE(su->SendRecord(kx::kMsgQuickKey, kx::kSubAdd, Key(-1, folder, file).GetComData()));
        auto a = su->Wait(kx::kMsgQuickKey, kx::kSubAdd);
        ASSERT_TRUE(a);
        CkxFSQuickKey::_COM com{};
        ASSERT_TRUE(a->As(com));
        ids[folder * 100 + file] = com.nID;
    }
    const int f1 = ids[100 + F], g1 = ids[100 + G];

    // Keep F's key in folder 1, add one in folder 3; F's key in folder 2 goes.
    ASSERT_EQ(alice->SendMessage(FileKeys(F, {Key(f1, 1, F), Key(-1, 3, F)})), 1);
    auto mine = alice->Wait(kx::kMsgFileQuickKeys, kx::kSubModify);
    auto his = su->Wait(kx::kMsgFileQuickKeys, kx::kSubModify);
    ASSERT_TRUE(mine && his);
    ASSERT_EQ(mine->pieces.size(), 2u);
    EXPECT_EQ(mine->param, static_cast<uint32_t>(F));
    CkxFSQuickKey::_COM kept{}, added{};
    std::memcpy(&kept, mine->pieces[0].data(), sizeof kept);
    std::memcpy(&added, mine->pieces[1].data(), sizeof added);
    EXPECT_EQ(kept.nID, f1);
    EXPECT_GT(added.nID, 0);
    EXPECT_EQ(added.nDirID, 3);
    const std::map<int, Stored> want = {{f1, {1, F}}, {added.nID, {3, F}}, {g1, {1, G}}};
    EXPECT_EQ(Rows(server.Db()), want);
    EXPECT_EQ(Memory(), want);
    EXPECT_EQ(LogLines(server.Db(), "更新快捷键", 1, KXLOG_CAT_FILEADMIN), 1);

    // No pieces: the file keeps no key, in the table and in memory; the announcement is empty.
    ASSERT_EQ(su->SendMessage(FileKeys(F, {})), 1);
    auto empty = alice->Wait(kx::kMsgFileQuickKeys, kx::kSubModify);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->pieces.empty());
    EXPECT_EQ(Rows(server.Db()), (std::map<int, Stored>{{g1, {1, G}}}));
    EXPECT_EQ(Memory(), Rows(server.Db()));

    // A plain packet, or a message without a file id, is dropped.
    ASSERT_TRUE(su->SendRecord(kx::kMsgFileQuickKeys, kx::kSubModify, Key(-1, 4, G).GetComData()));
    ASSERT_EQ(su->SendMessage(FileKeys(0, {Key(-1, 4, G)})), 1);
    // So is a set with a piece that is no key: G's stored key must not go for it.
    NetMessage broken = FileKeys(G, {Key(-1, 4, G)});
    broken.AppendData("short", 5);
    ASSERT_EQ(su->SendMessage(broken), 1);
    EXPECT_TRUE(alice->Quiet(kx::kMsgFileQuickKeys, -1));
    EXPECT_EQ(Rows(server.Db()).size(), 1u);
    EXPECT_EQ(Memory(), Rows(server.Db()));
}

} // namespace
