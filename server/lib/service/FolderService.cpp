#include "service/FolderService.h"

#include "service/RequestRights.h"

#include "db/AdoRecordset.h"
#include "model/CkxXXX.h"
#include "service/FileRequestHandlers.h"
#include "table/FolderTable.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"
#include "service/OperationLog.h"
#include "table/QuickKeyTable.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"
#include "table/CImageFileTable.h"

#include <map>
#include <set>

namespace kx {
namespace {

// The node a request's pieces describe: piece 0 the 120-byte record, piece 1 (when present)
// its rights. False when piece 0 is missing or short.
bool ReadNode(const NetMessage& message, int index, CkxFSNode& node) {
    const std::string_view record = message.GetPiece(index);
    CkxFSNode::_COM com;
    if (index >= message.GetPieceCount() || !kx::ReadRecord(record.data(), record.size(), com))
        return false;
    node.Clear();
    node.SetComData(com);
    return true;
}

// Piece 1, when present, replaces the node's rights; false when it is there but no rights
// buffer (the request is then refused rather than stored with rights nobody sent).
bool ReadRights(const NetMessage& message, CkxFSNode& node) {
    const std::string_view power = message.GetPiece(1);
    if (power.empty()) return true;
    CkxFSNode read = node;
    if (!read.PasyPower(reinterpret_cast<const unsigned char*>(power.data()), static_cast<int>(power.size())))
        return false;
    node.SetPower(read.m_Power);
    return true;
}

// The folder's record and rights as the two pieces of an announcement or list entry.
NetMessage FolderMessage(int subOp, uint32_t param, const CkxFSNode& node) {
    NetMessage m;
    m.SetCommand(kMsgFolder, subOp);
    m.SetParam(param);
    const CkxFSNode::_COM com = node.GetComData();
    m.AppendData(&com, sizeof com);
    CkxBuf power;
    node.BuildPower(power);
    m.AppendData(power.GetBuf(), static_cast<size_t>(power.GetLen()));
    return m;
}

void List(KxRequest& request) {
    CkxFSTree tree(1);
    if (DirTable::LoadAll(request.db, tree) <= 0) return; // empty or unreadable: no answer
    NetMessageSeries series(kMsgFolder, kSubList);
    for (POSITION p = tree.GetHeadPosition(); p;)
        series.Add(FolderMessage(kSubList, 0, *tree.GetNext(p)));
    request.session.SendReplyMessageSeries(series);
}

// The level a folder takes under `parent` (0 at the top); false for a parent nobody holds, which
// would leave the folder out of every tree walk. The level is the server's to set: a wrong one
// from a client would make a reload meet a child before its parent.
bool LevelUnder(const CkxFSTree& tree, int parent, int& level) {
    if (parent == -1) {
        level = 0;
        return true;
    }
    const CkxFSNode* p = tree.Find(parent);
    if (!p) return false;
    level = p->m_nLev + 1;
    return true;
}

void Add(KxRequest& request) {
    CkxFSNode node;
    if (!ReadNode(*request.message, 0, node)) return RefuseRequest("folder", request, "no 120-byte folder record");
    if (!LevelUnder(KX_KXXXX()._kxFSTree(), node.m_nParentID, node.m_nLev))
        return RefuseRequest("folder", request, "no folder has the parent id");
    if (!ReadRights(*request.message, node)) return RefuseRequest("folder", request, "its rights piece cannot be read");
    // The creator is the one who made it, whatever the record says: the creator owns the folder.
    node.m_nCreatorID = request.session.GetUserID();
    if (!DirTable::Insert(request.db, node)) return RefuseRequest("folder", request, "the database refused the folder");
    KX_KXXXX().fsAddDir(node);
    LogRequest(request, "添加目录<" + node.GetName() + ">", KXLOG_CAT_DIRADMIN);
    request.Sessions().SendMessageToAll(FolderMessage(kSubAdd, request.message->GetParam(), node));
}

void Modify(KxRequest& request) {
    CkxFSNode node;
    if (!ReadNode(*request.message, 0, node)) return RefuseRequest("folder", request, "no 120-byte folder record");
    CkxXXX& context = KX_KXXXX();
    CkxFSTree& tree = context._kxFSTree();
    CkxFSNode* held = tree.Find(node.m_nID);
    if (!held) return RefuseRequest("folder", request, "no folder has the id");
    // Without rights in the request the folder keeps its own.
    node.SetPower(held->m_Power);
    if (!ReadRights(*request.message, node)) return RefuseRequest("folder", request, "its rights piece cannot be read");

    // A move: never below itself; the folder and everything below it take the levels of the
    // new place, in the table too, so a reload still sees every parent before its children.
    std::map<int, int> levels; // folder id -> new level, for the folders below the moved one
    const bool moved = node.m_nParentID != held->m_nParentID;
    node.m_nLev = held->m_nLev; // a folder that stays where it is keeps its level
    if (moved) {
        if (!tree.CanSetParent(held, node.m_nParentID))
            return RefuseRequest("folder", request, "the folder would become its own ancestor");
        if (!LevelUnder(tree, node.m_nParentID, node.m_nLev))
            return RefuseRequest("folder", request, "no folder has the parent id");
        const int shift = node.m_nLev - held->m_nLev;
        CkxFSTree::NodeList below;
        tree.FindTree(held->m_nID, below);
        for (const CkxFSNode* n : below)
            if (n != held) levels[n->m_nID] = n->m_nLev + shift;
    }

    {
        CADOTransaction transaction(request.db);
        bool ok = transaction.IsActive() && DirTable::Update(request.db, node);
        for (const auto& [id, level] : levels)
            ok = ok && DirTable::UpdateLevel(request.db, id, level);
        if (!ok || !transaction.Commit()) return RefuseRequest("folder", request, "the database refused the change");
    }
    if (moved) tree.UpdateParent(node.m_nID, node.m_nParentID);
    context.fsUpdateDir(node);
    LogRequest(request, "修改目录<" + node.GetName() + ">", KXLOG_CAT_DIRADMIN);
    request.Sessions().SendMessageToAll(FolderMessage(kSubModify, request.message->GetParam(), node));
}

void Delete(KxRequest& request) {
    const NetMessage& message = *request.message;
    if (message.GetPieceCount() == 0) return;
    std::vector<int> listed;
    // What every session hears: the pieces that named a folder to delete, nothing skipped (a
    // client applying a skipped root piece would drop its whole tree).
    NetMessage announce;
    announce.SetCommand(kMsgFolder, kSubDelete);
    announce.SetParam(message.GetParam());
    for (int i = 0; i < message.GetPieceCount(); ++i) {
        CkxFSNode node;
        // Folder -1 is the root: "everything below it" would be the whole catalogue.
        if (ReadNode(message, i, node) && node.m_nID >= 0) {
            listed.push_back(node.m_nID);
            announce.AppendData(message.GetPiece(i));
        } else ServerWarning("folder delete from user %d: piece %d is no folder record (or the root), skipped",
                           request.session.GetUserID(), i);
    }
    if (listed.empty()) return RefuseRequest("folder", request, "no folder record");

    auto service = FileServiceOf(request);
    std::vector<int> folders;
    std::vector<CkxFile::_COM_DelFile> moved;
    if (!service->DeleteFolder(request.session.GetUserID(), listed, 0, folders, &moved))
        return RefuseRequest("folder", request, "the database refused the delete");
    // Each folder's subtree and the quick keys of every deleted folder leave memory.
    std::vector<CkxFSNode> nodes(folders.size());
    for (size_t i = 0; i < folders.size(); ++i) nodes[i].m_nID = folders[i];
    KX_KXXXX().fsDeleteDir(nodes);
    LogRequest(request, "删除目录", KXLOG_CAT_DIRADMIN, true);
    request.Sessions().SendMessageToAll(announce);
    // The files went to the requester's recycle bin: workstations drop them as they would
    // after a file delete.
    if (!moved.empty()) {
        NetMessage gone;
        gone.SetCommand(kMsgFile, kSubDelete);
        gone.AppendData(moved.data(), moved.size() * sizeof(CkxFile::_COM_DelFile));
        request.Sessions().SendMessageToAll(gone);
    }
}

// Creating a folder below `parent` (-1: at the root).
bool MayCreateUnder(const CkxXXX& c, int user, int parent) {
    return parent == -1 ? c.fsUserCan_Dir_CreateDir(user) != 0 : c.fsUserCan_Dir_CreateSubDir(user, parent) != 0;
}

bool SameRights(const CkxFSNode& a, const CkxFSNode& b) {
    CkxBuf x, y;
    a.BuildPower(x);
    b.BuildPower(y);
    return x.View() == y.View();
}

} // namespace

bool FolderChanges(KxRequest& request) {
    const int sub = request.SubOp();
    if (sub < kSubAdd || sub > kSubDelete || !request.message) return true; // the handler decides
    const NetMessage& message = *request.message;
    const CkxXXX& c = KX_KXXXX();
    const int user = request.session.GetUserID();
    CkxFSNode node;
    if (sub == kSubAdd) {
        if (!ReadNode(message, 0, node)) return true;
        return MayCreateUnder(c, user, node.m_nParentID) || RefuseForRights(request);
    }
    if (sub == kSubModify) {
        if (!ReadNode(message, 0, node)) return true;
        const CkxFSNode* held = c._kxFSTree().Find(node.m_nID);
        if (!held) return true;
        if (!c.fsUserCan_Dir_Operate(user, node.m_nID)) return RefuseForRights(request);
        if (node.m_nParentID != held->m_nParentID && !MayCreateUnder(c, user, node.m_nParentID))
            return RefuseForRights(request);
        node.SetPower(held->m_Power);
        if (ReadRights(message, node) && !SameRights(node, *held) && !c.fsUserCan_Dir_FullCtrl(user, node.m_nID))
            return RefuseForRights(request);
        return true;
    }
    // A delete: every folder named, whatever pieces the request is split into.
    for (int i = 0; i < message.GetPieceCount(); ++i)
        if (ReadNode(message, i, node) && node.m_nID >= 0 && !c.fsUserCan_Dir_Operate(user, node.m_nID))
            return RefuseForRights(request);
    return true;
}

namespace {
// The live files whose folder is `folderId`, as delete records naming that folder.
bool ReadFolderDeleteRecords(CADODatabase& db, const CFileTable& files, int folderId, int purge,
                             std::vector<CkxFile::_COM_DelFile>& out) {
    CADORecordset rs;
    if (!db.Query(" SELECT T_ID, T_LocStgID, T_Title, T_Sufix FROM " + files.GetTableName() +
                      " WHERE T_Deleted = 0 AND T_LocDirID = " + std::to_string(folderId) + " ORDER BY T_ID ",
                  rs))
        return false;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CkxFile f;
        rs.GetLong("T_ID", f.m_nID);
        rs.GetString("T_Title", f.m_strTitle);
        rs.GetString("T_Sufix", f.m_strExName);
        CkxFile::_COM_DelFile d = f.GetComData_DelFile();
        int32_t storage = -1;
        rs.GetLong("T_LocStgID", storage);
        d.nStorageID = storage;
        d.nDirID = folderId;
        d.nPurge = purge;
        out.push_back(d);
    }
    return true;
}
} // namespace

int DeleteFolderData(CADODatabase& db, int userId, const std::vector<int>& folderIds, int purge,
                     std::vector<int>& deleted, std::vector<CkxFile::_COM_DelFile>* moved) {
    CImageFileTable files;
    std::vector<int> all;
    std::vector<CkxFile::_COM_DelFile> records;
    CADOTransaction transaction(db);
    if (!transaction.IsActive() || !DirTable::WithSubtrees(db, folderIds, all)) return 0;
    for (int id : all) {
        if (moved && !ReadFolderDeleteRecords(db, files, id, purge, records)) return 0;
        if (!files.RemoveFolderFiles(db, userId, id, purge) || !QuickKeyTable::DeleteFolder(db, id) ||
            !DirTable::Delete(db, id))
            return 0;
    }
    if (!transaction.Commit()) return 0;
    deleted = std::move(all);
    if (moved) *moved = std::move(records);
    return 1;
}

void HandleFolder(KxRequest& request) {
    const int sub = request.SubOp();
    if (sub == kSubList) return List(request);
    if (sub < kSubAdd || sub > kSubDelete) return;
    // Changes come as multi-part messages; a plain packet carries no folder.
    if (!request.message) return RefuseRequest("folder", request, "not a multi-part message");
    if (sub == kSubAdd) return Add(request);
    if (sub == kSubModify) return Modify(request);
    Delete(request);
}

} // namespace kx
