// CServerLink: the studio's connection to the server as far as requests go: the log-on state
// (who is logged on, where, with what result) and one builder per request the studio sends for
// the catalogue's entities. CStudioLink adds the observers and the handling of what comes back.
//
// Requests are built and sent on the GUI thread. List requests of the lists that the answer does
// not empty itself (its first entry does) empty their cache before they go, so an answer of no
// entries leaves an empty list. Builders return the transport's send result (1 sent, 0 not);
// list builders return 1 when queued and 0 otherwise.
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxCheckout.h"
#include "model/CkxClient.h"
#include "model/CkxFile.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxFSNode.h"
#include "model/CkxFSQuickKey.h"
#include "model/CkxFamily.h"
#include "model/CkxFileRole.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPerson.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserRole.h"
#include "qt/KxGuiThread.h"
#include "transport/NetConnection.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CServerLink : public NetConnection {
public:
    // The log-on result before any answer.
    static constexpr int kLoginResultNone = 5;
    // The command the waiting login dialog receives (WM_COMMAND) once the answer is applied.
    static constexpr int kLoginAnswered = 1025;
    // What a per-file replacement returns when the file has more entries than one message can
    // carry (255 pieces): nothing is sent.
    static constexpr int kTooManyEntries = -2;
    static constexpr const char* kLostText = "与服务器连接已经断开，请重新运行";

    CServerLink();
    ~CServerLink() override;
    CServerLink(const CServerLink&) = delete;
    CServerLink& operator=(const CServerLink&) = delete;

    // ---- Log-on state (GUI thread) ----
    int GetCurrentUserId() const { return m_nCurUserId; }
    const std::string& GetUserName() const { return m_strUserName; }
    int GetLoginResult() const { return m_nLoginResult; }
    const std::string& GetServerAddress() const { return m_strServerAddr; }
    // The login dialog waiting for the answer to its request (null when none waits).
    QWidget* GetLoginDialog() const { return m_loginDialog.data(); }
    void SetLoginDialog(QWidget* dialog) { m_loginDialog = dialog; }

    // ---- Log-on and log-off ----
    // How long a log-on waits for the server to answer the connection.
    static constexpr int kConnectLimitMs = 5000;
    // Connects when no connection runs or it runs to another address or port (or the session
    // logged off on it), stores the address and the user name, and sends the client record.
    // 0 for an empty address or user name, while an earlier log-on awaits its answer, or when
    // the connection cannot be made.
    int SendLoginRequest(int port, const std::string& address, const CkxClient& client);
    // The same on the system's port.
    int SendLoginRequest(const std::string& address, const CkxClient& client);
    // Once per successful log-on: the server then ends the connection, which is no loss.
    int SendLogoffRequest();
    bool IsLoggedOn() const { return m_bLoggedOn; }

    // ---- Session lists ----
    int SendOnlineUserListRequest();
    int SendServerRecordRequest();
    int SendHostInfoRequest();
    int SendCheckedOutListRequest();

    // ---- Files, the recycle bin and checkouts ----
    // What a check-out asks for: the file, where it is stored, its name, and the caller's value
    // (the requesting document's id) that comes back with the answer.
    struct CheckoutSpec {
        int fileId = -1;
        int storageId = -1;
        std::string title;
        std::string ext;
        int callerValue = 0;
    };
    int SendFileAddRequest(const CkxFile& file);
    int SendCaptureFileAddRequest(const CkxFile& file);
    int SendCheckinChangesRequest(const CkxFile& file);
    int SendFileAttrUpdateRequest(const CkxFile& file);
    int SendFileDeleteRequest(const std::vector<CkxFile::_COM_DelFile>& records);
    int SendWholeFileRequest(const CkxFile& file, int docId);
    int SendWholeFileRequest(const CkxFile::_COM& record, int docId);
    int SendRecycleListRequest(int docId);
    int SendRecycleEmptyRequest(int value);
    int SendRecycleDeleteRequest(const std::vector<CkxFile::_COM_DelFile>& records);
    int SendRecycleRestoreRequest(const std::vector<CkxFile::_COM_DelFile>& records);
    int SendRestoreAllRequest();
    int SendCheckoutOnlyRequest(const CheckoutSpec& spec);
    int SendCheckoutOpenDefRequest(const CheckoutSpec& spec);
    int SendCheckoutOpenWayRequest(const CheckoutSpec& spec);
    int SendCheckoutOpenInEditorRequest(const CheckoutSpec& spec);
    int SendCheckinOnlyRequest(int fileId);

    // ---- File lists; the answer names the document by the id sent here ----
    int SendFamilyFilesRequest(int familyId, int docId);
    int SendFolderFilesRequest(int folderId, int docId);
    int SendProjectFilesRequest(int projectId, int docId);
    // kTooManyEntries (nothing sent) for more than 255 operands or ids.
    int SendTempletQueryRequest(const CkxQueryTemplet::_FIX& head, const CkxQueryOperandList& operands, int docId);
    // Files bound to all the keywords.
    int SendFileIdsRequest(const std::vector<int>& keywordIds, int docId);
    // Files bound to any of the keywords.
    int SendKeywordFilesRequest(const std::vector<int>& keywordIds, int docId);
    // The operand's extra data names the document.
    int SendOperandQueryRequest(const CkxQueryOperand& operand);

    // ---- Catalogue entities ----
    int SendUserListRequest();
    int SendUserAddRequest(const CkxUser& user);
    int SendUserModifyRequest(const CkxUser& user);
    int SendUserDeleteRequest(int id);

    int SendUserGroupListRequest();
    int SendUserGroupAddRequest(const CkxUserGroup& group);
    int SendUserGroupModifyRequest(const CkxUserGroup& group);
    int SendUserGroupDeleteRequest(int id);

    int SendUserRoleListRequest();
    int SendUserRoleAddRequest(const CkxUserRole& role);
    int SendUserRoleModifyRequest(const CkxUserRole& role);
    int SendUserRoleDeleteRequest(int id);

    // The new folder goes as a user folder made by the current user.
    int SendFolderListRequest();
    int SendFolderAddRequest(const CkxFSNode& node);
    int SendFolderModifyRequest(const CkxFSNode& node);
    // The folder and every folder below it; the server takes at most 255 in one message, so a
    // larger sub-tree goes as several messages, the chosen folder in the last. 0 when the folder
    // is not in the tree.
    int SendFolderDeleteRequest(int folderId);

    int SendQuickKeyListRequest();
    int SendQuickKeyAddRequest(const CkxFSQuickKey& key);
    int SendQuickKeyModifyRequest(const CkxFSQuickKey& key);
    int SendQuickKeyDeleteRequest(int id);
    // The file's whole set of quick keys (every key of the list goes as one of the file's).
    int SendFileQuickKeyRequest(int fileId, const CkxFSQuickKeyList& keys);

    int SendFileRoleListRequest();
    int SendFileRoleAddRequest(const CkxFileRole& role);
    int SendFileRoleModifyRequest(const CkxFileRole& role);
    int SendFileRoleDeleteRequest(int id);

    int SendFolderRoleListRequest();
    int SendFolderRoleAddRequest(const CkxFolderRole& role);
    int SendFolderRoleModifyRequest(const CkxFolderRole& role);
    int SendFolderRoleDeleteRequest(int id);

    // A new family is made by the current user, now.
    int SendFamilyListRequest();
    int SendFamilyAddRequest(const CkxFamily& family);
    int SendFamilyModifyRequest(const CkxFamily& family);
    int SendFamilyDeleteRequest(int id);

    int SendFamilyAttrListRequest();
    int SendFamilyAttrAddRequest(const CkxAttr& attr);
    int SendFamilyAttrModifyRequest(const CkxAttr& attr);
    int SendFamilyAttrDeleteRequest(int id);

    // A new template belongs to the current user.
    int SendQueryTempletListRequest();
    int SendQueryTempletAddRequest(const CkxQueryTemplet& templet);
    int SendQueryTempletModifyRequest(const CkxQueryTemplet& templet);
    int SendQueryTempletDeleteRequest(int id);

    int SendProjectListRequest();
    int SendProjectAddRequest(const CkxProject& project);
    int SendProjectModifyRequest(const CkxProject& project);
    int SendProjectDeleteRequest(int id);

    int SendProjectDataListRequest();
    int SendProjectDataAddRequest(const CkxProjectData& data);
    int SendProjectDataModifyRequest(const CkxProjectData& data);
    // Unlinks every entry of the list (one piece each).
    int SendProjectUnlinkRequest(const CkxProjectDataList& entries);
    // The file's whole set of project entries.
    int SendFileProjectRequest(int fileId, const CkxProjectDataList& entries);

    int SendKeywordListRequest();
    int SendKeywordAddRequest(const CkxKeyword& keyword);
    int SendKeywordModifyRequest(const CkxKeyword& keyword);
    int SendKeywordDeleteRequest(int id);

    int SendKeywordLinkListRequest();
    // The file's whole set of keyword links.
    int SendFileKeywordLinkRequest(int fileId, const CkxKeywordLinkList& links);

    int SendKeywordGroupListRequest();
    int SendKeywordGroupAddRequest(const CkxKeywordGroup& group);
    int SendKeywordGroupModifyRequest(const CkxKeywordGroup& group);
    int SendKeywordGroupDeleteRequest(int id);

    int SendKeywordTempletListRequest();
    int SendKeywordTempletAddRequest(const CkxKeywordTemplet& templet);
    int SendKeywordTempletModifyRequest(const CkxKeywordTemplet& templet);
    int SendKeywordTempletDeleteRequest(int id);

    int SendDataTagListRequest();
    int SendDataTagAddRequest(const CkxDataTag& tag);
    int SendDataTagModifyRequest(const CkxDataTag& tag);
    int SendDataTagDeleteRequest(int id);

    int SendDataShareListRequest();
    int SendDataShareAddRequest(const CkxDataShare& share);
    int SendDataShareModifyRequest(const CkxDataShare& share);
    int SendDataShareDeleteRequest(int id);

    // A new attribute template is made by the current user.
    int SendObjAttrTempletListRequest();
    int SendObjAttrTempletAddRequest(const CkxObjAttrTemplet& templet);
    int SendObjAttrTempletModifyRequest(const CkxObjAttrTemplet& templet);
    int SendObjAttrTempletDeleteRequest(int id);

    int SendPersonListRequest();
    int SendPersonAddRequest(const CkxPerson& person);
    int SendPersonModifyRequest(const CkxPerson& person);
    int SendPersonDeleteRequest(int id);

protected:
    // The window closed when the connection is lost (CStudioLink's main-window slot).
    virtual QWidget* MainWindowToClose() const { return nullptr; }

    // The transport found the connection broken (a worker thread): one call goes to the GUI
    // thread. The connection is never stopped or deleted from here.
    void OnClose() override;

    // Queues a step for the GUI thread; it runs only while this link lives and its connection is
    // the one the step was queued for.
    void Post(std::function<void()> step) { m_steps.Post(std::move(step)); }
    void NextConnection() { m_steps.NextGeneration(); }

    // The answer to the log-on (GUI thread): the result and, on success, the user.
    void ApplyLoginAnswer(bool readable, int result, int userId);

    int m_nCurUserId = -1;
    std::string m_strUserName;
    int m_nLoginResult = kLoginResultNone;
    std::string m_strServerAddr;
    QPointer<QWidget> m_loginDialog;
    // Per connection.
    std::string m_strConnAddr;
    int m_nConnPort = 0;
    bool m_bLoginPending = false;
    bool m_bLoggedOn = false;
    bool m_bLoggedOff = false;
    bool m_bLostTold = false;

private:
    void ApplyConnectionLost();
    bool Reconnect(int port, const std::string& address);
    int SendCheckout(const CheckoutSpec& spec, int openMode);

    kx::GuiStepPoster m_steps;
};
