// The folder service (type 10) over loopback against the real server core and its SQLite
// catalogue, with two logged-on workstations; and the database side of a folder delete on both
// engines. Each step checks the stored rows, the in-memory tree, the log and who heard what.
#include "db/AdoRecordset.h"
#include "service/OperationLog.h"
#include "model/CkxFileList.h"
#include "model/CkxXXX.h"
#include "service/FolderService.h"
#include "table/FolderTable.h"
#include "transport/NetMessage.h"
#include "table/QuickKeyTable.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TwoWorkstations.h"
#include "table/CImageFileTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include <set>

using namespace srvtest;

namespace {

CkxFSNode Folder(const std::string& name, int parent, int level, int id = -1) {
    CkxFSNode n;
    n.m_nID = id;
    n.m_strName = name;
    n.m_nParentID = parent;
    n.m_nLev = level;
    n.m_strNote = "备注";
    n.m_nCreatorID = 1;
    return n;
}

NetMessage FolderRequest(int subOp, const std::vector<CkxFSNode>& nodes, bool withRights = true) {
    NetMessage m;
    m.SetCommand(kx::kMsgFolder, subOp);
    for (const CkxFSNode& n : nodes) {
        const CkxFSNode::_COM com = n.GetComData();
        m.AppendData(&com, sizeof com);
        if (withRights) {
            CkxBuf power;
            n.BuildPower(power);
            m.AppendData(power.GetBuf(), static_cast<size_t>(power.GetLen()));
        }
    }
    return m;
}

int32_t Column(CADODatabase& db, const std::string& table, int id, const char* column) {
    CADORecordset rs;
    int32_t v = -999;
    if (db.Query(" SELECT * FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id), rs) && !rs.IsEOF())
        rs.GetLong(column, v);
    return v;
}

class FolderServiceTest : public TwoWorkstations {
protected:
    // Adds a folder through the service and returns its id (from the announcement).
    int AddFolder(const std::string& name, int parent, int level) {
        CkxFSNode n = Folder(name, parent, level);
        n.m_Power.m_nInherit = 0;
        n.m_Power.m_nEveryonePower = 0x3C;
        EXPECT_EQ(su->SendMessage(FolderRequest(kx::kSubAdd, {n})), 1);
        auto mine = su->Wait(kx::kMsgFolder, kx::kSubAdd);
        auto hers = alice->Wait(kx::kMsgFolder, kx::kSubAdd);
        if (!mine || !hers) {
            ADD_FAILURE() << "no announcement of " << name;
            return -1;
        }
        EXPECT_TRUE(mine->isMessage);
        EXPECT_EQ(mine->pieces, hers->pieces);
        CkxFSNode::_COM com{};
        EXPECT_TRUE(mine->As(com));
        EXPECT_EQ(mine->pieces.size(), 2u);
        return com.nID;
    }

    int AddFile(int folder) {
        CImageFileTable files;
        CkxFileImage f;
        f.m_strTitle = "f" + std::to_string(folder);
        f.m_nLocDirID = folder;
        CkxBuf none;
        EXPECT_EQ(files.InsertFile(server.Db(), f, none, none), 1);
        return f.m_nID;
    }

    int AddKey(int folder, int file) {
        CkxFSQuickKey k(folder, file);
        EXPECT_EQ(QuickKeyTable::Insert(server.Db(), k), 1);
        server.Locked([&] { return KX_KXXXX().m_QuickKeyList.AddTail(k); });
        return k.m_nID;
    }

    bool InMemory(int folder) {
        return server.Locked([&] { return KX_KXXXX().fsFind(folder) != nullptr; });
    }
};

TEST_F(FolderServiceTest, AddListAndModify) {
    // An empty table answers a list with nothing at all.
    ASSERT_TRUE(su->Send(kx::kMsgFolder, kx::kSubList));
    EXPECT_TRUE(su->Quiet(kx::kMsgFolder, kx::kSubList));

    const int top = AddFolder("图片", -1, 0);
    ASSERT_GT(top, 0);
    const int sub = AddFolder("O'Brien 的照片", top, 1);
    ASSERT_GT(sub, 0);
    EXPECT_TRUE(InMemory(top) && InMemory(sub));
    EXPECT_EQ(LogLines(server.Db(), "添加目录<O'Brien 的照片>", 1, KXLOG_CAT_DIRADMIN), 1);

    // The list comes from the table: two messages of record and rights, parents first.
    ASSERT_TRUE(su->Send(kx::kMsgFolder, kx::kSubList));
    auto list = su->WaitSeries(kx::kMsgFolder, kx::kSubList);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    std::vector<int> ids;
    for (const Answer& a : *list) {
        ASSERT_EQ(a.pieces.size(), 2u);
        CkxFSNode::_COM com{};
        ASSERT_TRUE(a.As(com));
        ids.push_back(com.nID);
        CkxFSNode n(com);
        ASSERT_EQ(n.PasyPower(reinterpret_cast<const unsigned char*>(a.pieces[1].data()),
                              static_cast<int>(a.pieces[1].size())),
                  1);
        EXPECT_EQ(n.m_Power.m_nEveryonePower, 0x3Cu);
        EXPECT_EQ(n.m_Power.m_nInherit, 0);
    }
    EXPECT_EQ(ids, (std::vector<int>{top, sub}));
    EXPECT_TRUE(alice->Quiet(kx::kMsgFolder, kx::kSubList)); // the list goes to the requester alone

    // A rename reaches everybody and the table.
    CkxFSNode renamed = Folder("新名字", -1, 0, top);
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {renamed})), 1);
    ASSERT_TRUE(su->Wait(kx::kMsgFolder, kx::kSubModify));
    ASSERT_TRUE(alice->Wait(kx::kMsgFolder, kx::kSubModify));
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsGetDirName(top); }), "新名字");
    EXPECT_EQ(LogLines(server.Db(), "修改目录<新名字>", 1, KXLOG_CAT_DIRADMIN), 1);

    // Making a folder its own ancestor is refused: nothing stored, nothing heard.
    CkxFSNode cycle = Folder("图片", sub, 2, top);
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {cycle})), 1);
    CkxFSNode self = Folder("图片", top, 1, top);
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {self})), 1);
    EXPECT_TRUE(su->Quiet(kx::kMsgFolder, kx::kSubModify));
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", top, "T_ParentID"), -1);
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsFind(top)->m_nParentID; }), -1);

    // A modify of an unknown folder, and changes sent as plain packets, are dropped too.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {Folder("x", -1, 0, 9999)})), 1);
    const CkxFSNode::_COM plain = Folder("plain", -1, 0).GetComData();
    ASSERT_TRUE(su->SendRecord(kx::kMsgFolder, kx::kSubAdd, plain));
    EXPECT_TRUE(su->Quiet(kx::kMsgFolder, -1));
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); }), 2);

    // A rights piece too short to be rights refuses the add or modify: the folder is neither
    // stored with rights nobody sent nor changed.
    const uint32_t everyoneBefore = server.Locked([&] { return KX_KXXXX().fsFind(top)->m_Power.m_nEveryonePower; });
    for (const auto& [subOp, node] : {std::pair{21, Folder("短", -1, 0)}, std::pair{22, Folder("短", -1, 0, top)}}) {
        NetMessage m;
        m.SetCommand(kx::kMsgFolder, subOp);
        const CkxFSNode::_COM com = node.GetComData();
        m.AppendData(&com, sizeof com);
        m.AppendData(std::string_view("\x01\x00\x00", 3));
        ASSERT_EQ(su->SendMessage(m), 1);
        EXPECT_TRUE(su->Quiet(kx::kMsgFolder, -1)) << subOp;
        EXPECT_TRUE(alice->Quiet(kx::kMsgFolder, -1, 0ms)) << subOp;
    }
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); }), 2);
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsGetDirName(top); }), "新名字");
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsFind(top)->m_Power.m_nEveryonePower; }), everyoneBefore);
    EXPECT_EQ(LogLines(server.Db(), "短", 1, KXLOG_CAT_DIRADMIN), 0);
}

// A database that refuses the add or the modify (its table taken away for the request): no
// answer, no log line, and the in-memory tree stays as it was.
TEST_F(FolderServiceTest, RefusedWriteLeavesTreeAndTableAlone) {
    const int top = AddFolder("顶", -1, 0);
    ASSERT_GT(top, 0);
    const int lines = LogLines(server.Db(), "目录", 1, KXLOG_CAT_DIRADMIN);
    kxtest::DbErrorLog quiet;
    const struct {
        const char* name;
        int sub;
        CkxFSNode node;
    } cases[] = {
        {"add", kx::kSubAdd, Folder("新", top, 1)},
        {"modify", kx::kSubModify, Folder("改名", -1, 0, top)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.Locked([&] { return server.Db().Execute(" ALTER TABLE VUZO_Dir RENAME TO VUZO_Dir_off "); }));
        ASSERT_EQ(su->SendMessage(FolderRequest(c.sub, {c.node})), 1);
        EXPECT_TRUE(su->Quiet(kx::kMsgFolder, -1, 400ms) && alice->Quiet(kx::kMsgFolder, -1, 0ms));
        ASSERT_TRUE(server.Locked([&] { return server.Db().Execute(" ALTER TABLE VUZO_Dir_off RENAME TO VUZO_Dir "); }));
        EXPECT_EQ(server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); }), 1);
        EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsGetDirName(top); }), "顶");
        EXPECT_EQ(LogLines(server.Db(), "目录", 1, KXLOG_CAT_DIRADMIN), lines);
    }
}

TEST_F(FolderServiceTest, MoveRelevelsTheSubtreeInTableAndMemory) {
    const int a = AddFolder("a", -1, 0), b = AddFolder("b", -1, 0);
    const int a1 = AddFolder("a1", a, 1), a2 = AddFolder("a2", a1, 2);
    ASSERT_GT(a2, 0);
    // b moves under a2: b becomes level 3.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {Folder("b", a2, 0, b)})), 1);
    ASSERT_TRUE(su->Wait(kx::kMsgFolder, kx::kSubModify));
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", b, "T_Lev"), 3);
    // a1 (with a2 and b below it) moves to the top: levels 0, 1, 2.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {Folder("a1", -1, 1, a1)})), 1);
    ASSERT_TRUE(su->Wait(kx::kMsgFolder, kx::kSubModify));
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", a1, "T_Lev"), 0);
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", a2, "T_Lev"), 1);
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", b, "T_Lev"), 2);
    server.Locked([&] {
        const CkxXXX& kx = KX_KXXXX();
        EXPECT_EQ(kx.fsFind(b)->m_nLev, 2);
        CkxFSTree::NodeList under;
        kx.fsFindTree(a, under);
        EXPECT_EQ(under.size(), 1u); // a alone now
        return 0;
    });
    // A reload from the table builds the same tree: every parent before its children.
    CkxFSTree reloaded(1);
    ASSERT_EQ(DirTable::LoadAll(server.Db(), reloaded), 4);
    CkxFSTree::NodeList tree;
    reloaded.FindTree(a1, tree);
    EXPECT_EQ(tree.size(), 3u);
}

TEST_F(FolderServiceTest, DeleteTakesTheWholeSubtree) {
    const int top = AddFolder("top", -1, 0);
    const int left = AddFolder("left", top, 1), right = AddFolder("right", top, 1);
    const int deep = AddFolder("deep", left, 2);
    const int other = AddFolder("other", -1, 0);
    ASSERT_GT(other, 0);
    std::vector<int> files;
    for (int folder : {top, left, right, deep}) files.push_back(AddFile(folder));
    const int otherFile = AddFile(other);
    std::vector<int> keys;
    for (int folder : {top, left, right, deep}) keys.push_back(AddKey(folder, otherFile));
    const int otherKey = AddKey(other, files[0]);

    // The workstation lists only the top folder: the server still takes everything below it.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubDelete, {Folder("top", -1, 0, top)}, false)), 1);
    auto mine = su->Wait(kx::kMsgFolder, kx::kSubDelete);
    ASSERT_TRUE(mine);
    ASSERT_TRUE(alice->Wait(kx::kMsgFolder, kx::kSubDelete));
    EXPECT_EQ(mine->pieces.size(), 1u);

    // The files went to su's recycle bin: every workstation hears them leave, as after a file
    // delete, each named with the folder it was in.
    auto gone = alice->Wait(kx::kMsgFile, kx::kSubDelete);
    ASSERT_TRUE(gone);
    ASSERT_EQ(gone->payload.size(), files.size() * sizeof(CkxFile::_COM_DelFile));
    std::map<int, int> folderOf;
    for (size_t i = 0; i < files.size(); ++i) {
        CkxFile::_COM_DelFile rec{};
        std::memcpy(&rec, gone->payload.data() + i * sizeof rec, sizeof rec);
        EXPECT_EQ(rec.nPurge, 0);
        folderOf[static_cast<int>(rec.nID)] = rec.nDirID;
    }
    EXPECT_EQ(folderOf, (std::map<int, int>{{files[0], top}, {files[1], left}, {files[2], right}, {files[3], deep}}));

    const int suId = server.UserId("su");
    for (int id : files) {
        EXPECT_EQ(Column(server.Db(), "VUZO_FImage", id, "T_Deleted"), 1);
        EXPECT_EQ(Column(server.Db(), "VUZO_FImage", id, "T_DeleterID"), suId);
        EXPECT_EQ(Column(server.Db(), "VUZO_FImage", id, "T_LocDirID"), -1);
    }
    for (int id : {top, left, right, deep}) {
        EXPECT_EQ(Column(server.Db(), "VUZO_Dir", id, "T_ID"), -999) << id;
        EXPECT_FALSE(InMemory(id)) << id;
    }
    for (int id : keys) EXPECT_EQ(Column(server.Db(), "VUZO_QuickKey", id, "T_ID"), -999);
    // What lies elsewhere stays, including a key that shows a deleted folder's file elsewhere.
    EXPECT_EQ(Column(server.Db(), "VUZO_FImage", otherFile, "T_Deleted"), 0);
    EXPECT_EQ(Column(server.Db(), "VUZO_QuickKey", otherKey, "T_ID"), otherKey);
    EXPECT_TRUE(InMemory(other));
    server.Locked([&] {
        std::set<int> left_;
        KX_KXXXX().m_QuickKeyList.ForEach([&](const CkxFSQuickKey& k) { left_.insert(k.m_nID); });
        EXPECT_EQ(left_, std::set<int>{otherKey});
        return 0;
    });
    EXPECT_EQ(LogLines(server.Db(), "删除目录", 2, KXLOG_CAT_DIRADMIN), 1);

    // A delete with no pieces changes nothing and sends nothing.
    NetMessage empty;
    empty.SetCommand(kx::kMsgFolder, kx::kSubDelete);
    ASSERT_EQ(su->SendMessage(empty), 1);
    EXPECT_TRUE(su->Quiet(kx::kMsgFolder, kx::kSubDelete));
    EXPECT_TRUE(InMemory(other));
}

TEST_F(FolderServiceTest, DeleteListingFolderAndSubFoldersDeletesEachOnce) {
    const int top = AddFolder("top", -1, 0);
    const int s1 = AddFolder("s1", top, 1), s2 = AddFolder("s2", top, 1);
    const int f1 = AddFile(top), f2 = AddFile(s1), f3 = AddFile(s2);
    AddKey(s1, f1);
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubDelete, {Folder("top", -1, 0, top), Folder("s1", top, 1, s1),
                                                 Folder("s2", top, 1, s2)},
                                            false)),
              1);
    auto mine = su->Wait(kx::kMsgFolder, kx::kSubDelete);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->pieces.size(), 3u);
    CImageFileTable files;
    CkxFileList bin;
    EXPECT_EQ(files.ReadRecycleBin(server.Db(), server.UserId("su"), bin), 3);
    (void)f2;
    (void)f3;
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().m_QuickKeyList.GetCount(); }), 0);
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); }), 0);
}

TEST_F(FolderServiceTest, TheServerSetsLevelsAndNeverDeletesTheRoot) {
    const int top = AddFolder("top", -1, 0);
    // A client's wrong level is not stored: the level follows the parent.
    const int sub = AddFolder("sub", top, 7);
    ASSERT_GT(sub, 0);
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", sub, "T_Lev"), 1);
    // A rename without a move keeps the level, whatever the request says.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubModify, {Folder("renamed", top, 0, sub)})), 1);
    ASSERT_TRUE(su->Wait(kx::kMsgFolder, kx::kSubModify));
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", sub, "T_Lev"), 1);
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX().fsFind(sub)->m_nLev; }), 1);

    // A parent nobody holds is refused for an add and for a move.
    const int rows = server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); });
    for (int sub_op : {kx::kSubAdd, kx::kSubModify}) {
        SCOPED_TRACE(sub_op);
        CkxFSNode orphan = Folder("orphan", 99999, 1, sub_op == 22 ? sub : -1);
        ASSERT_EQ(su->SendMessage(FolderRequest(sub_op, {orphan})), 1);
        EXPECT_TRUE(su->Quiet(kx::kMsgFolder, sub_op, 400ms));
    }
    EXPECT_EQ(server.Locked([&] { return KX_KXXXX()._kxFSTree().GetCount(); }), rows);
    EXPECT_EQ(Column(server.Db(), "VUZO_Dir", sub, "T_ParentID"), top);

    // Deleting folder -1 (the root) is refused: it would take every folder with it.
    const int file = AddFile(top);
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubDelete, {Folder("root", -1, 0, -1)}, false)), 1);
    EXPECT_TRUE(su->Quiet(kx::kMsgFolder, kx::kSubDelete, 400ms));
    EXPECT_TRUE(InMemory(top));
    EXPECT_TRUE(InMemory(sub));
    EXPECT_EQ(Column(server.Db(), "VUZO_FImage", file, "T_Deleted"), 0);

    // Beside a real folder the root piece is skipped, and nobody hears it: a workstation
    // applying it would drop its whole tree.
    ASSERT_EQ(su->SendMessage(FolderRequest(kx::kSubDelete, {Folder("root", -1, 0, -1), Folder("top", -1, 0, top)}, false)), 1);
    for (TestClient* c : {su.get(), alice.get()}) {
        auto heard = c->Wait(kx::kMsgFolder, kx::kSubDelete);
        ASSERT_TRUE(heard);
        ASSERT_EQ(heard->pieces.size(), 1u);
        CkxFSNode::_COM com{};
        ASSERT_TRUE(heard->As(com));
        EXPECT_EQ(com.nID, top);
    }
    EXPECT_FALSE(InMemory(top));
    EXPECT_FALSE(InMemory(sub));
}

// The database side on both engines: a refused statement leaves every row as it was.
using FolderDataTest = kxtest::CatalogueTest;

TEST_P(FolderDataTest, DeleteIsWholeOrNothing) {
    CkxFSNode a = Folder("a", -1, 0), b = Folder("b", -1, 1);
    ASSERT_EQ(DirTable::Insert(catalogue.db, a), 1);
    b.m_nParentID = a.m_nID;
    ASSERT_EQ(DirTable::Insert(catalogue.db, b), 1);
    CImageFileTable files;
    CkxFileImage f;
    f.m_nLocDirID = b.m_nID;
    CkxBuf none;
    ASSERT_EQ(files.InsertFile(catalogue.db, f, none, none), 1);

    // With the quick-key table gone the delete fails part-way: nothing may change.
    {
        kxtest::DbErrorLog quiet;
        ASSERT_EQ(catalogue.db.Execute("ALTER TABLE VUZO_QuickKey RENAME TO VUZO_QuickKeyAway"), 1);
        std::vector<int> deleted;
        EXPECT_EQ(kx::DeleteFolderData(catalogue.db, 3, {a.m_nID}, 0, deleted), 0);
        EXPECT_TRUE(deleted.empty());
        ASSERT_EQ(catalogue.db.Execute("ALTER TABLE VUZO_QuickKeyAway RENAME TO VUZO_QuickKey"), 1);
    }
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_Dir "), 2);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", f.m_nID, "T_Deleted"), 0);

    std::vector<int> deleted;
    ASSERT_EQ(kx::DeleteFolderData(catalogue.db, 3, {a.m_nID}, 0, deleted), 1);
    EXPECT_EQ(deleted, (std::vector<int>{a.m_nID, b.m_nID}));
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_Dir "), 0);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", f.m_nID, "T_Deleted"), 1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", f.m_nID, "T_DeleterID"), 3);
}

KX_ON_BOTH_ENGINES(FolderDataTest);

} // namespace
