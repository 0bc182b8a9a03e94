#include "service/UserGroupService.h"

#include "model/CkxXXX.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"
#include "service/OperationLog.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"
#include "table/UserTables.h"

namespace kx {
namespace {

CkxUserGroupList& Groups() { return KX_KXXXX().m_UserGroupList; }

NetMessage GroupMessage(const CkxUserGroup& group, const std::string_view members) {
    NetMessage m;
    const CkxUserGroup::_COM com = group.GetComData();
    m.AppendData(&com, sizeof com);
    m.AppendData(members);
    return m;
}

void List(KxRequest& request) {
    CkxUserGroupList groups;
    if (UserGroupTable::LoadAll(request.db, groups) <= 0) return;
    NetMessageSeries series(kMsgUserGroup, kSubList);
    groups.ForEach([&](const CkxUserGroup& g) {
        CkxBuf members;
        g.BuildQueryBuf(members);
        series.Add(GroupMessage(g, std::string_view(reinterpret_cast<const char*>(members.GetBuf()),
                                                    static_cast<size_t>(members.GetLen()))));
    });
    request.session.SendReplyMessageSeries(series);
}

// Reads the group of an add or modify: the record from piece 0, the members from piece 1. The
// member bytes are stored as they came, so they must be a member container the group list can
// read back.
bool ReadGroup(const KxRequest& request, CkxUserGroup& group, std::string_view& members) {
    if (!request.message || request.message->GetPieceCount() < 2) {
        RefuseRequest("user group", request, "it carries no member list");
        return false;
    }
    CkxUserGroup::_COM com;
    if (!ReadRequestRecord(request, com)) return false;
    group.SetComData(com);
    members = request.message->GetPiece(1);
    if (!group.PasyQueryBuf(reinterpret_cast<const unsigned char*>(members.data()),
                            static_cast<int>(members.size()))) {
        RefuseRequest("user group", request, "its member list is not a member container");
        return false;
    }
    return true;
}

// The request with piece 0 rewritten from the stored group, to every session.
void Announce(KxRequest& request, const CkxUserGroup& group) {
    NetMessage m = GroupMessage(group, request.message->GetPiece(1));
    for (int i = 2; i < request.message->GetPieceCount(); ++i) m.AppendData(request.message->GetPiece(i));
    m.SetCommand(request.Type(), request.SubOp());
    m.SetParam(request.message->GetParam());
    request.Sessions().SendMessageToAll(m);
}

// Add (a new row and list entry) or modify (the row and entry of the group's id).
void Write(KxRequest& request, bool adding) {
    CkxUserGroup group;
    std::string_view members;
    if (!ReadGroup(request, group, members)) return;
    const int length = static_cast<int>(members.size());
    const int stored = adding ? UserGroupTable::Insert(request.db, group, members.data(), length)
                              : UserGroupTable::Update(request.db, group, members.data(), length);
    if (!stored) {
        RefuseRequest("user group", request, adding ? "the database refused the new group" : "the database refused the change");
        return;
    }
    if (!adding && Groups().Find(group.m_nID))
        Groups().Update(group);
    else
        Groups().AddTail(group);
    LogRequest(request, (adding ? "添加用户分组<" : "修改用户分组<") + group.m_strName + ">",
               KXLOG_CAT_USERADMIN);
    Announce(request, group);
}

void Delete(KxRequest& request) {
    int id = -1;
    if (!ReadRequestId(request, id)) return;
    const CkxUserGroup* known = Groups().Find(id);
    const bool inMemory = known != nullptr;
    const std::string name = known ? known->m_strName : std::string();
    if (!UserGroupTable::Delete(request.db, id)) {
        RefuseRequest("user group", request, "the database refused the delete");
        return;
    }
    Groups().Delete(id);
    if (inMemory) LogRequest(request, "删除用户分组" + name, KXLOG_CAT_USERADMIN, true);
    const std::string_view payload = request.Payload();
    AnnounceToAll(request, payload.data(), payload.size());
}

} // namespace

void HandleUserGroupRequest(KxRequest& request) {
    switch (request.SubOp()) {
    case kSubList: List(request); break;
    case kSubAdd: Write(request, true); break;
    case kSubModify: Write(request, false); break;
    case kSubDelete: Delete(request); break;
    default: break;
    }
}

} // namespace kx
