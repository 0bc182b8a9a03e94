#include "session/CServerLink.h"

#include "base/OleDate.h"
#include "model/CkxBuf.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPrompt.h"
#include "transport/NetMessage.h"
#include "transport/NetPort.h"
#include "qt/KxWindowMessage.h"

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
    if (!m_bLoggedOn || m_bLoggedOff || m_bLostTold) return;
    m_bLostTold = true;
    QPointer<QWidget> main = MainWindowToClose();
    kx::Prompt(main.data(), kLostText, kx::PromptOk, kx::PromptWarning);
    if (!main.isNull()) main->close();
}

// ---- Log-on and log-off ----

bool CServerLink::Reconnect(int port, const std::string& address) {
    StopAndClose();
    // Steps still queued for the old connection (its loss above all) do nothing now.
    NextConnection();
    m_bLoginPending = false;
    m_bLoggedOn = false;
    m_bLoggedOff = false;
    m_bLostTold = false;
    m_strConnAddr = address;
    m_nConnPort = port;
    if (Connect(port, address, kConnectLimitMs) == 1) return true;
    StopAndClose();
    m_strConnAddr.clear();
    m_nConnPort = 0;
    return false;
}

int CServerLink::SendLoginRequest(int port, const std::string& address, const CkxClient& client) {
    AssertGuiThread();
    if (address.empty() || client.m_strLogon.empty()) return 0;
    const bool live = IsRunning() && !IsFailed();
    // One log-on at a time: a second request's answer ("already logged on") would undo the first.
    if (live && m_bLoginPending) return 0;
    if (!live || m_bLoggedOff || address != m_strConnAddr || port != m_nConnPort) {
        if (!Reconnect(port, address)) return 0;
    }
    m_strServerAddr = address;
    m_strUserName = client.m_strLogon;
    const CkxClient::_COM com = client.GetComData();
    NetPacket packet;
    packet.InitCommand(kMsgSession, kSubLogon, 1);
    packet.SetQueueClass(2);
    packet.SetData(&com, sizeof com);
    const int sent = SendPacket(packet);
    if (sent > 0) m_bLoginPending = true;
    return sent;
}

int CServerLink::SendLoginRequest(const std::string& address, const CkxClient& client) {
    return SendLoginRequest(kx::ServicePort(), address, client);
}

void CServerLink::ApplyLoginAnswer(bool readable, int result, int userId) {
    // Once logged on, a late answer to a repeated request must not leave the studio as nobody.
    if (m_bLoggedOn) return;
    m_bLoginPending = false;
    m_nLoginResult = readable ? result : -1;
    if (readable && result == kLogonOk) {
        m_nCurUserId = userId;
        m_bLoggedOn = true;
        KX_KXXXX().SetCurUser(userId);
    } else if (readable && result >= kLogonAlreadyOnline && result <= kLogonWrongPassword) {
        m_nCurUserId = -1;
        m_strUserName.clear();
        m_strServerAddr.clear();
        KX_KXXXX().SetCurUser(-1);
    } else {
        KX_KXXXX().SetCurUser(-1);
    }
    if (!m_loginDialog.isNull()) kx::PostMessage(m_loginDialog.data(), kx::WM_COMMAND, kLoginAnswered, 0);
}

int CServerLink::SendLogoffRequest() {
    AssertGuiThread();
    if (!m_bLoggedOn || m_bLoggedOff) return 0;
    m_strServerAddr.clear();
    // Marked before it goes: the server answers by closing the connection, which is expected.
    m_bLoggedOff = true;
    NetPacket packet;
    packet.InitCommand(kMsgSession, kSubLogoff, 1);
    packet.SetQueueClass(2);
    packet.SetDataInt(m_nCurUserId);
    return SendPacket(packet);
}

// ---- Session lists ----

int CServerLink::SendOnlineUserListRequest() { return Queued(SendListRequest(kMsgSession)); }
int CServerLink::SendServerRecordRequest() { return Queued(SendListRequest(kMsgServerRecord)); }
int CServerLink::SendCheckedOutListRequest() { return Queued(SendListRequest(kMsgCheckoutList)); }

int CServerLink::SendHostInfoRequest() {
    NetPacket packet;
    packet.InitCommand(kMsgHostInfo, kSubNone, 1);
    packet.SetRequestQueue();
    packet.SetParam(0);
    return SendPacket(packet);
}

// ---- Files, the recycle bin and checkouts ----

namespace {

// A packet request of the type with a parameter and an optional body.
int SendPlain(NetConnection& link, int type, int subOp, uint32_t param, const void* bytes = nullptr, size_t n = 0) {
    NetPacket packet;
    packet.InitCommand(type, subOp, 1);
    packet.SetRequestQueue();
    packet.SetParam(param);
    if (n > 0 && !packet.SetData(bytes, n)) return 0;
    return link.SendPacket(packet);
}

int SendPlainText(NetConnection& link, int type, uint32_t param, int value) {
    const std::string text = std::to_string(value);
    return SendPlain(link, type, kSubNone, param, text.data(), text.size());
}

// A message of pieces; 0 when a piece cannot be added.
int SendPieces(NetConnection& link, int type, int subOp, int queueClass, uint32_t param,
               const std::vector<std::string_view>& pieces) {
    NetMessage message;
    message.SetCommand(type, subOp);
    message.SetQueueClass(queueClass);
    message.SetParam(param);
    for (std::string_view piece : pieces)
        if (!message.AppendData(piece)) return 0;
    return link.SendMessage(message);
}

std::string_view View(const CkxBuf& buf) { return buf.View(); }

template <class Com>
std::string_view ViewOf(const Com& com) {
    return {reinterpret_cast<const char*>(&com), sizeof com};
}

std::string_view RecordsView(const std::vector<CkxFile::_COM_DelFile>& records) {
    return {reinterpret_cast<const char*>(records.data()), records.size() * sizeof(CkxFile::_COM_DelFile)};
}

int SendFileData(NetConnection& link, int type, int queueClass, const CkxFile& file) {
    CkxBuf data;
    if (!file.BuildFileData(data)) return 0;
    return SendPieces(link, type, kSubAdd, queueClass, 0, {View(data)});
}

// One 4-byte piece per id.
int SendIdPieces(NetConnection& link, int type, const std::vector<int>& ids, int docId) {
    if (ids.size() > static_cast<size_t>(kNetMaxPieces)) return CServerLink::kTooManyEntries;
    std::vector<int32_t> values(ids.begin(), ids.end());
    std::vector<std::string_view> pieces;
    for (const int32_t& v : values) pieces.push_back(ViewOf(v));
    return SendPieces(link, type, kSubAdd, 3, static_cast<uint32_t>(docId), pieces);
}

} // namespace

int CServerLink::SendFileAddRequest(const CkxFile& file) { return SendFileData(*this, kMsgFile, 5, file); }
int CServerLink::SendCaptureFileAddRequest(const CkxFile& file) { return SendFileData(*this, kMsgCaptureFile, 3, file); }
int CServerLink::SendCheckinChangesRequest(const CkxFile& file) {
    return SendFileData(*this, kMsgCheckInChanged, 5, file);
}

int CServerLink::SendFileAttrUpdateRequest(const CkxFile& file) {
    CkxBuf base, exattr, rights;
    if (!file.BuildBaseAttr(base)) return 0;
    file.BuildExattr(exattr);
    file.BuildPower(rights);
    return SendPieces(*this, kMsgFileModify, kSubModify, 3, 0, {View(base), View(exattr), View(rights)});
}

int CServerLink::SendFileDeleteRequest(const std::vector<CkxFile::_COM_DelFile>& records) {
    return SendPieces(*this, kMsgFile, kSubDelete, 3, 0, {RecordsView(records)});
}

int CServerLink::SendWholeFileRequest(const CkxFile& file, int docId) {
    return SendWholeFileRequest(file.GetComData(), docId);
}

int CServerLink::SendWholeFileRequest(const CkxFile::_COM& record, int docId) {
    return SendPlain(*this, kMsgWholeFile, kSubNone, static_cast<uint32_t>(docId), &record, sizeof record);
}

int CServerLink::SendRecycleListRequest(int docId) {
    return SendPlain(*this, kMsgRecycleList, kSubNone, static_cast<uint32_t>(docId));
}

int CServerLink::SendRecycleEmptyRequest(int value) {
    return SendPlain(*this, kMsgRecycleEmpty, kSubNone, static_cast<uint32_t>(value));
}

// The server serves these with sub-operation 0 (a message's own default is not a code).
int CServerLink::SendRecycleDeleteRequest(const std::vector<CkxFile::_COM_DelFile>& records) {
    return SendPieces(*this, kMsgRecyclePurge, kSubNone, 3, 0, {RecordsView(records)});
}

int CServerLink::SendRecycleRestoreRequest(const std::vector<CkxFile::_COM_DelFile>& records) {
    return SendPieces(*this, kMsgRecycleRestore, kSubNone, 3, 0, {RecordsView(records)});
}

int CServerLink::SendRestoreAllRequest() {
    NetPacket packet;
    packet.InitCommand(kMsgRecycleRestoreAll);
    packet.Header().nReserved = static_cast<uint32_t>(m_nCurUserId);
    return SendPacket(packet);
}

int CServerLink::SendCheckout(const CheckoutSpec& spec, int openMode) {
    CkxCheckout rec;
    rec.m_nFileID = spec.fileId;
    rec.m_nStorageID = spec.storageId;
    rec.m_strTitle = spec.title;
    rec.m_strExt = spec.ext;
    rec.m_nUserID = m_nCurUserId;
    rec.m_nOpenMode = openMode;
    rec.m_nTag = spec.callerValue;
    const CkxCheckout::_COM com = rec.GetComData();
    return SendPlain(*this, kMsgCheckOut, kSubNone, static_cast<uint32_t>(spec.callerValue), &com, sizeof com);
}

int CServerLink::SendCheckoutOnlyRequest(const CheckoutSpec& spec) { return SendCheckout(spec, KXCO_ONLY); }
int CServerLink::SendCheckoutOpenDefRequest(const CheckoutSpec& spec) { return SendCheckout(spec, KXCO_OPEN_DEF); }
int CServerLink::SendCheckoutOpenWayRequest(const CheckoutSpec& spec) { return SendCheckout(spec, KXCO_OPEN_WAY); }
int CServerLink::SendCheckoutOpenInEditorRequest(const CheckoutSpec& spec) {
    return SendCheckout(spec, KXCO_OPEN_TINTWORK);
}

int CServerLink::SendCheckinOnlyRequest(int fileId) {
    CkxCheckout rec;
    rec.m_nFileID = fileId;
    rec.m_nUserID = m_nCurUserId;
    rec.SetCheckinOnly();
    const CkxCheckout::_COM com = rec.GetComData();
    return SendPlain(*this, kMsgCheckIn, kSubNone, 0, &com, sizeof com);
}

// ---- File lists ----

int CServerLink::SendFamilyFilesRequest(int familyId, int docId) {
    return SendPlainText(*this, kMsgFamilyFiles, static_cast<uint32_t>(docId), familyId);
}
int CServerLink::SendFolderFilesRequest(int folderId, int docId) {
    return SendPlainText(*this, kMsgFolderFiles, static_cast<uint32_t>(docId), folderId);
}
int CServerLink::SendProjectFilesRequest(int projectId, int docId) {
    return SendPlainText(*this, kMsgProjectFiles, static_cast<uint32_t>(docId), projectId);
}

int CServerLink::SendTempletQueryRequest(const CkxQueryTemplet::_FIX& head, const CkxQueryOperandList& operands,
                                         int docId) {
    if (operands.GetCount() + 1 > kNetMaxPieces) return kTooManyEntries;
    std::vector<CkxBuf> bufs;
    operands.ForEach([&](const CkxQueryOperand& op) {
        bufs.emplace_back();
        op.BuildBuf(bufs.back());
    });
    std::vector<std::string_view> pieces = {ViewOf(head)};
    for (const CkxBuf& b : bufs) pieces.push_back(View(b));
    return SendPieces(*this, kMsgQueryFiles, kSubAdd, 3, static_cast<uint32_t>(docId), pieces);
}

int CServerLink::SendFileIdsRequest(const std::vector<int>& keywordIds, int docId) {
    return SendIdPieces(*this, kMsgKeywordFilesAll, keywordIds, docId);
}

int CServerLink::SendKeywordFilesRequest(const std::vector<int>& keywordIds, int docId) {
    return SendIdPieces(*this, kMsgKeywordFilesAny, keywordIds, docId);
}

int CServerLink::SendOperandQueryRequest(const CkxQueryOperand& operand) {
    CkxBuf buf;
    if (!operand.BuildBuf(buf)) return 0;
    return SendPlain(*this, kMsgOperandFiles, kSubNone, 0, buf.GetBuf(), static_cast<size_t>(buf.GetLen()));
}

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
