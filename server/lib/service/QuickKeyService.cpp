#include "service/QuickKeyService.h"

#include "model/CkxXXX.h"
#include "service/RequestIO.h"
#include "service/RequestRights.h"
#include "session/CServerSession.h"
#include "transport/NetMessage.h"
#include "table/QuickKeyTable.h"

namespace kx {
namespace {

CkxFSQuickKeyList& QuickKeys() { return KX_KXXXX().m_QuickKeyList; }

} // namespace

bool QuickKeyChanges(KxRequest& request) {
    const int sub = request.SubOp();
    int folder = -2;
    if (sub == kSubAdd || sub == kSubModify) {
        CkxFSQuickKey::_COM com;
        if (!ReadRequestRecord(request, com)) return true; // the handler drops it
        folder = com.nDirID;
        if (sub == kSubModify) {
            // Moving a key away from a folder operates on that folder too.
            const CkxFSQuickKey* held = QuickKeys().Find(com.nID);
            if (held && !KX_KXXXX().fsUserCan_Dir_Operate(request.session.GetUserID(), held->m_nDirID))
                return RefuseForRights(request);
        }
    } else if (sub == kSubDelete) {
        int id = -1;
        if (!ParseDecimal(request.Payload(), id)) return true;
        const CkxFSQuickKey* held = QuickKeys().Find(id);
        if (!held) return true;
        folder = held->m_nDirID;
    } else {
        return true;
    }
    return KX_KXXXX().fsUserCan_Dir_Operate(request.session.GetUserID(), folder) || RefuseForRights(request);
}

KxEntitySpec<CkxFSQuickKey> MakeQuickKeySpec() {
    KxEntitySpec<CkxFSQuickKey> spec;
    spec.type = kMsgQuickKey;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "quick key";
    UseMemoryList(spec, QuickKeys);
    spec.insert = [](CADODatabase& db, CkxFSQuickKey& k) { return QuickKeyTable::Insert(db, k); };
    spec.update = [](CADODatabase& db, const CkxFSQuickKey& k) { return QuickKeyTable::Update(db, k); };
    spec.remove = [](CADODatabase& db, int id) { return QuickKeyTable::Delete(db, id); };
    spec.logAction = [](int subOp, const CkxFSQuickKey&) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加快捷键";
        case kSubModify: return "修改快捷键";
        case kSubDelete: return "删除快捷键";
        default: return {};
        }
    };
    return spec;
}

void HandleFileQuickKeys(KxRequest& request) {
    if (!request.message) return; // the keys travel as a multi-part message
    const NetMessage& message = *request.message;
    const int fileId = static_cast<int>(message.GetParam());
    if (fileId <= 0) {
        ServerWarning("quick keys of a file from user %d dropped: no file id (%d)",
                      request.session.GetUserID(), fileId);
        return;
    }
    CkxFSQuickKeyList keys;
    for (int i = 0; i < message.GetPieceCount(); ++i) {
        const std::string_view piece = message.GetPiece(i);
        CkxFSQuickKey::_COM com;
        // The pieces are the file's whole set: a key that cannot be read would be deleted, so
        // the request goes instead.
        if (!kx::ReadRecord(piece.data(), piece.size(), com)) {
            ServerWarning("quick keys of file %d from user %d dropped: piece %d holds no 24-byte key",
                          fileId, request.session.GetUserID(), i);
            return;
        }
        keys.AddTail(CkxFSQuickKey(com));
    }
    if (!QuickKeyTable::SaveFileKeys(request.db, fileId, keys)) {
        ServerWarning("quick keys of file %d from user %d dropped: the database refused them", fileId,
                      request.session.GetUserID());
        return;
    }
    QuickKeys().SetFile(fileId, keys);

    NetMessage answer;
    answer.SetCommand(kMsgFileQuickKeys, request.SubOp());
    answer.SetParam(message.GetParam());
    keys.ForEach([&](const CkxFSQuickKey& k) {
        const CkxFSQuickKey::_COM com = k.GetComData();
        answer.AppendData(&com, sizeof com);
    });
    LogRequest(request, "更新快捷键", KXLOG_CAT_FILEADMIN);
    request.Sessions().SendMessageToAll(answer, FileReaders(request, fileId));
}

} // namespace kx
