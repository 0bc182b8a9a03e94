#include "session/CServerLink.h"

#include "base/OleDate.h"
#include "model/CkxBuf.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPrompt.h"
#include "transport/NetMessage.h"

#include <vector>

using namespace kx;

namespace {

// An add or modify request whose payload is the record's wire form.
template <class T>
int SendRecord(NetConnection& link, int type, int subOp, const T& rec) {
    const auto com = rec.GetComData();
    return subOp == kSubAdd ? link.SendAddRequest(type, &com, sizeof com)
                            : link.SendUpdateRequest(type, &com, sizeof com);
}

// A record and its buffer as the two pieces of one message.
template <class Com>
int SendRecordAndBuffer(NetConnection& link, int type, int subOp, const Com& com, const CkxBuf& buffer) {
    NetMessage message;
    message.SetCommand(type, subOp);
    message.SetQueueClass(3);
    if (!message.AppendData(&com, sizeof com)) return 0;
    if (!message.AppendData(buffer.GetBuf(), static_cast<size_t>(buffer.GetLen()))) return 0;
    return link.SendMessage(message);
}

// One file's whole set of entries, one record per piece, with the file id as the parameter.
// A set the transport cannot carry in one message is not cut off: nothing goes.
template <class List>
int SendFileSet(NetConnection& link, int type, int fileId, const List& entries) {
    if (entries.GetCount() > kNetMaxPieces) return CServerLink::kTooManyEntries;
    NetMessage message;
    message.SetCommand(type, kSubModify);
    message.SetQueueClass(3);
    message.SetParam(static_cast<uint32_t>(fileId));
    bool ok = true;
    entries.ForEach([&](const auto& entry) {
        const auto com = entry.GetComData();
        ok = ok && message.AppendData(&com, sizeof com);
    });
    return ok ? link.SendMessage(message) : 0;
}

int Queued(int sent) { return sent > 0 ? 1 : 0; }

} // namespace

CServerLink::CServerLink() = default;

CServerLink::~CServerLink() {
    // The threads call this object's handlers: they end before its members do.
    StopAndClose();
}

// ---- Connection lost ----

void CServerLink::OnClose() {
    Post([this] { ApplyConnectionLost(); });
}

void CServerLink::ApplyConnectionLost() {
    // Only a session in use is lost: before a log-on there is nothing to lose, and after the
    // session's own log-off the server closes the connection as expected.
    if (m_nCurUserId == -1 || m_bLoggedOff || m_bLostTold) return;
    m_bLostTold = true;
    QPointer<QWidget> main = MainWindowToClose();
    kx::Prompt(main.data(), kLostText, kx::PromptOk, kx::PromptWarning);
    if (!main.isNull()) main->close();
}

void CServerLink::SetLoggedOn(int userId, const std::string& address, const std::string& userName) {
    AssertGuiThread();
    m_nCurUserId = userId;
    m_strServerAddr = address;
    m_strUserName = userName;
    m_bLoggedOff = false;
    m_bLostTold = false;
    KX_KXXXX().SetCurUser(userId);
}

void CServerLink::MarkLoggedOff() {
    m_bLoggedOff = true;
    m_strServerAddr.clear();
}

// ---- Session lists ----

int CServerLink::SendOnlineUserListRequest() { return Queued(SendListRequest(kMsgSession)); }
int CServerLink::SendServerRecordRequest() { return Queued(SendListRequest(kMsgServerRecord)); }
int CServerLink::SendCheckoutListRequest() { return Queued(SendListRequest(kMsgCheckoutList)); }

// ---- Users, groups, roles ----

int CServerLink::SendUserListRequest() {
    KX_KXXXX().m_UserList.DeleteAll();
    return Queued(SendListRequest(kMsgUser));
}
int CServerLink::SendUserAddRequest(const CkxUser& user) { return SendRecord(*this, kMsgUser, kSubAdd, user); }
int CServerLink::SendUserModifyRequest(const CkxUser& user) { return SendRecord(*this, kMsgUser, kSubModify, user); }
int CServerLink::SendUserDeleteRequest(int id) { return SendDeleteRequest(kMsgUser, id); }

int CServerLink::SendUserGroupListRequest() { return Queued(SendListRequest(kMsgUserGroup)); }
int CServerLink::SendUserGroupAddRequest(const CkxUserGroup& group) {
    CkxBuf members;
    group.BuildQueryBuf(members);
    return SendRecordAndBuffer(*this, kMsgUserGroup, kSubAdd, group.GetComData(), members);
}
int CServerLink::SendUserGroupModifyRequest(const CkxUserGroup& group) {
    CkxBuf members;
    group.BuildQueryBuf(members);
    return SendRecordAndBuffer(*this, kMsgUserGroup, kSubModify, group.GetComData(), members);
}
int CServerLink::SendUserGroupDeleteRequest(int id) { return SendDeleteRequest(kMsgUserGroup, id); }

int CServerLink::SendUserRoleListRequest() { return Queued(SendListRequest(kMsgUserRole)); }
int CServerLink::SendUserRoleAddRequest(const CkxUserRole& role) {
    return SendRecord(*this, kMsgUserRole, kSubAdd, role);
}
int CServerLink::SendUserRoleModifyRequest(const CkxUserRole& role) {
    return SendRecord(*this, kMsgUserRole, kSubModify, role);
}
int CServerLink::SendUserRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgUserRole, id); }

// ---- Folders and quick keys ----

int CServerLink::SendFolderListRequest() {
    KX_KXXXX().fsDeleteAll();
    return Queued(SendListRequest(kMsgFolder));
}

int CServerLink::SendFolderAddRequest(const CkxFSNode& node) {
    CkxFSNode folder = node;
    folder.SetUserFolder();
    folder.m_nCreatorID = m_nCurUserId;
    CkxBuf rights;
    folder.BuildPower(rights);
    return SendRecordAndBuffer(*this, kMsgFolder, kSubAdd, folder.GetComData(), rights);
}

int CServerLink::SendFolderModifyRequest(const CkxFSNode& node) {
    CkxBuf rights;
    node.BuildPower(rights);
    return SendRecordAndBuffer(*this, kMsgFolder, kSubModify, node.GetComData(), rights);
}

int CServerLink::SendFolderDeleteRequest(int folderId) {
    CkxXXX::NodeList tree;
    if (KX_KXXXX().fsFindTree(folderId, tree) <= 0 || tree.empty()) return 0;
    // The chosen folder last: every message but the last deletes sub-folders only, so a
    // request cut short by a failure never leaves a folder whose parent is gone.
    std::vector<CkxFSNode::_COM> records;
    records.reserve(tree.size());
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) records.push_back((*it)->GetComData());
    size_t at = 0;
    while (at < records.size()) {
        const size_t n = std::min(records.size() - at, static_cast<size_t>(kNetMaxPieces));
        NetMessage message;
        message.SetCommand(kMsgFolder, kSubDelete);
        message.SetQueueClass(3);
        for (size_t i = 0; i < n; ++i)
            if (!message.AppendData(&records[at + i], sizeof records[at + i])) return 0;
        if (SendMessage(message) <= 0) return 0;
        at += n;
    }
    return 1;
}

int CServerLink::SendQuickKeyListRequest() {
    KX_KXXXX().m_QuickKeyList.DeleteAll();
    return Queued(SendListRequest(kMsgQuickKey));
}
int CServerLink::SendQuickKeyAddRequest(const CkxFSQuickKey& key) {
    return SendRecord(*this, kMsgQuickKey, kSubAdd, key);
}
int CServerLink::SendQuickKeyModifyRequest(const CkxFSQuickKey& key) {
    return SendRecord(*this, kMsgQuickKey, kSubModify, key);
}
int CServerLink::SendQuickKeyDeleteRequest(int id) { return SendDeleteRequest(kMsgQuickKey, id); }
int CServerLink::SendFileQuickKeyRequest(int fileId, const CkxFSQuickKeyList& keys) {
    return SendFileSet(*this, kMsgFileQuickKeys, fileId, keys);
}

// ---- Roles of files and folders ----

int CServerLink::SendFileRoleListRequest() {
    KX_KXXXX().m_FileRoleList.DeleteAll();
    return Queued(SendListRequest(kMsgFileRole));
}
int CServerLink::SendFileRoleAddRequest(const CkxFileRole& role) {
    return SendRecord(*this, kMsgFileRole, kSubAdd, role);
}
int CServerLink::SendFileRoleModifyRequest(const CkxFileRole& role) {
    return SendRecord(*this, kMsgFileRole, kSubModify, role);
}
int CServerLink::SendFileRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgFileRole, id); }

int CServerLink::SendFolderRoleListRequest() {
    KX_KXXXX().m_FolderRoleList.DeleteAll();
    return Queued(SendListRequest(kMsgFolderRole));
}
int CServerLink::SendFolderRoleAddRequest(const CkxFolderRole& role) {
    return SendRecord(*this, kMsgFolderRole, kSubAdd, role);
}
int CServerLink::SendFolderRoleModifyRequest(const CkxFolderRole& role) {
    return SendRecord(*this, kMsgFolderRole, kSubModify, role);
}
int CServerLink::SendFolderRoleDeleteRequest(int id) { return SendDeleteRequest(kMsgFolderRole, id); }

// ---- Families and their attributes ----

int CServerLink::SendFamilyListRequest() {
    KX_FamilyXXX().family_DeleteAll();
    return Queued(SendListRequest(kMsgFamily));
}
int CServerLink::SendFamilyAddRequest(const CkxFamily& family) {
    CkxFamily made = family;
    made.m_nCreatorID = m_nCurUserId;
    made.m_dtCreate = COleDateTime::GetCurrentTime();
    return SendRecord(*this, kMsgFamily, kSubAdd, made);
}
int CServerLink::SendFamilyModifyRequest(const CkxFamily& family) {
    return SendRecord(*this, kMsgFamily, kSubModify, family);
}
int CServerLink::SendFamilyDeleteRequest(int id) { return SendDeleteRequest(kMsgFamily, id); }

int CServerLink::SendFamilyAttrListRequest() { return Queued(SendListRequest(kMsgFamilyAttr)); }
int CServerLink::SendFamilyAttrAddRequest(const CkxAttr& attr) {
    CkxBuf values;
    attr.BuildBuf(values);
    return SendRecordAndBuffer(*this, kMsgFamilyAttr, kSubAdd, attr.GetComData(), values);
}
int CServerLink::SendFamilyAttrModifyRequest(const CkxAttr& attr) {
    CkxBuf values;
    attr.BuildBuf(values);
    return SendRecordAndBuffer(*this, kMsgFamilyAttr, kSubModify, attr.GetComData(), values);
}
int CServerLink::SendFamilyAttrDeleteRequest(int id) { return SendDeleteRequest(kMsgFamilyAttr, id); }

// ---- Query templates ----

int CServerLink::SendQueryTempletListRequest() { return Queued(SendListRequest(kMsgQueryTemplet)); }
int CServerLink::SendQueryTempletAddRequest(const CkxQueryTemplet& templet) {
    CkxQueryTemplet owned = templet;
    owned.m_nCreatorID = m_nCurUserId;
    CkxBuf query;
    owned.BuildQueryBuf(query);
    return SendRecordAndBuffer(*this, kMsgQueryTemplet, kSubAdd, owned.GetComData(), query);
}
int CServerLink::SendQueryTempletModifyRequest(const CkxQueryTemplet& templet) {
    CkxBuf query;
    templet.BuildQueryBuf(query);
    return SendRecordAndBuffer(*this, kMsgQueryTemplet, kSubModify, templet.GetComData(), query);
}
int CServerLink::SendQueryTempletDeleteRequest(int id) { return SendDeleteRequest(kMsgQueryTemplet, id); }

// ---- Projects and their files ----

int CServerLink::SendProjectListRequest() {
    KX_KXXXX().m_ProjectList.DeleteAll();
    return Queued(SendListRequest(kMsgProject));
}
int CServerLink::SendProjectAddRequest(const CkxProject& project) {
    CkxBuf users;
    project.BuildUserBuf(users);
    return SendRecordAndBuffer(*this, kMsgProject, kSubAdd, project.GetComData(), users);
}
int CServerLink::SendProjectModifyRequest(const CkxProject& project) {
    CkxBuf users;
    project.BuildUserBuf(users);
    return SendRecordAndBuffer(*this, kMsgProject, kSubModify, project.GetComData(), users);
}
int CServerLink::SendProjectDeleteRequest(int id) { return SendDeleteRequest(kMsgProject, id); }

int CServerLink::SendProjectDataListRequest() { return Queued(SendListRequest(kMsgProjectLink)); }
int CServerLink::SendProjectDataAddRequest(const CkxProjectData& data) {
    return SendRecord(*this, kMsgProjectLink, kSubAdd, data);
}
int CServerLink::SendProjectDataModifyRequest(const CkxProjectData& data) {
    return SendRecord(*this, kMsgProjectLink, kSubModify, data);
}
int CServerLink::SendProjectUnlinkRequest(const CkxProjectDataList& entries) {
    return SendFileSet(*this, kMsgProjectUnlink, 0, entries);
}
int CServerLink::SendFileProjectRequest(int fileId, const CkxProjectDataList& entries) {
    return SendFileSet(*this, kMsgFileProjects, fileId, entries);
}

// ---- Keywords ----

int CServerLink::SendKeywordListRequest() { return Queued(SendListRequest(kMsgKeyword)); }
int CServerLink::SendKeywordAddRequest(const CkxKeyword& keyword) {
    return SendRecord(*this, kMsgKeyword, kSubAdd, keyword);
}
int CServerLink::SendKeywordModifyRequest(const CkxKeyword& keyword) {
    return SendRecord(*this, kMsgKeyword, kSubModify, keyword);
}
int CServerLink::SendKeywordDeleteRequest(int id) { return SendDeleteRequest(kMsgKeyword, id); }

int CServerLink::SendKeywordLinkListRequest() { return Queued(SendListRequest(kMsgKeywordLink)); }
int CServerLink::SendFileKeywordLinkRequest(int fileId, const CkxKeywordLinkList& links) {
    return SendFileSet(*this, kMsgKeywordLink, fileId, links);
}

int CServerLink::SendKeywordGroupListRequest() { return Queued(SendListRequest(kMsgKeywordGroup)); }
int CServerLink::SendKeywordGroupAddRequest(const CkxKeywordGroup& group) {
    return SendRecord(*this, kMsgKeywordGroup, kSubAdd, group);
}
int CServerLink::SendKeywordGroupModifyRequest(const CkxKeywordGroup& group) {
    return SendRecord(*this, kMsgKeywordGroup, kSubModify, group);
}
int CServerLink::SendKeywordGroupDeleteRequest(int id) { return SendDeleteRequest(kMsgKeywordGroup, id); }

int CServerLink::SendKeywordTempletListRequest() { return Queued(SendListRequest(kMsgKeywordTemplet)); }
int CServerLink::SendKeywordTempletAddRequest(const CkxKeywordTemplet& templet) {
    CkxBuf ids;
    templet.PackBuf(ids);
    return SendRecordAndBuffer(*this, kMsgKeywordTemplet, kSubAdd, templet.GetComData(), ids);
}
int CServerLink::SendKeywordTempletModifyRequest(const CkxKeywordTemplet& templet) {
    CkxBuf ids;
    templet.PackBuf(ids);
    return SendRecordAndBuffer(*this, kMsgKeywordTemplet, kSubModify, templet.GetComData(), ids);
}
int CServerLink::SendKeywordTempletDeleteRequest(int id) { return SendDeleteRequest(kMsgKeywordTemplet, id); }

// ---- Bookmarks and shares ----

int CServerLink::SendDataTagListRequest() {
    KX_KXXXX().m_DataTagList.DeleteAll();
    return Queued(SendListRequest(kMsgBookmark));
}
int CServerLink::SendDataTagAddRequest(const CkxDataTag& tag) { return SendRecord(*this, kMsgBookmark, kSubAdd, tag); }
int CServerLink::SendDataTagModifyRequest(const CkxDataTag& tag) {
    return SendRecord(*this, kMsgBookmark, kSubModify, tag);
}
int CServerLink::SendDataTagDeleteRequest(int id) { return SendDeleteRequest(kMsgBookmark, id); }

int CServerLink::SendDataShareListRequest() {
    KX_FileShareList().DeleteAll();
    return Queued(SendListRequest(kMsgShare));
}
int CServerLink::SendDataShareAddRequest(const CkxDataShare& share) {
    return SendRecord(*this, kMsgShare, kSubAdd, share);
}
int CServerLink::SendDataShareModifyRequest(const CkxDataShare& share) {
    return SendRecord(*this, kMsgShare, kSubModify, share);
}
int CServerLink::SendDataShareDeleteRequest(int id) { return SendDeleteRequest(kMsgShare, id); }

// ---- Attribute templates ----

int CServerLink::SendObjAttrTempletListRequest() { return Queued(SendListRequest(kMsgFileTemplet)); }
int CServerLink::SendObjAttrTempletAddRequest(const CkxObjAttrTemplet& templet) {
    CkxObjAttrTemplet made = templet;
    made.m_nCreatorID = m_nCurUserId;
    CkxBuf attrs;
    made.BuildBuf(attrs);
    return SendRecordAndBuffer(*this, kMsgFileTemplet, kSubAdd, made.GetComData(), attrs);
}
int CServerLink::SendObjAttrTempletModifyRequest(const CkxObjAttrTemplet& templet) {
    CkxBuf attrs;
    templet.BuildBuf(attrs);
    return SendRecordAndBuffer(*this, kMsgFileTemplet, kSubModify, templet.GetComData(), attrs);
}
int CServerLink::SendObjAttrTempletDeleteRequest(int id) { return SendDeleteRequest(kMsgFileTemplet, id); }

// ---- Persons ----

int CServerLink::SendPersonListRequest() {
    KX_KXXXX().m_PersonList.DeleteAll();
    return Queued(SendListRequest(kMsgPerson));
}
int CServerLink::SendPersonAddRequest(const CkxPerson& person) { return SendRecord(*this, kMsgPerson, kSubAdd, person); }
int CServerLink::SendPersonModifyRequest(const CkxPerson& person) {
    return SendRecord(*this, kMsgPerson, kSubModify, person);
}
int CServerLink::SendPersonDeleteRequest(int id) { return SendDeleteRequest(kMsgPerson, id); }
