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

class CServerLink : public NetConnection {
public:
    // The log-on result before any answer.
    static constexpr int kLoginResultNone = 5;
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

    // ---- Session lists ----
    int SendOnlineUserListRequest();
    int SendServerRecordRequest();
    int SendCheckoutListRequest();

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

    // A log-on that succeeded (GUI thread): the user, and the address and name it used.
    void SetLoggedOn(int userId, const std::string& address, const std::string& userName);
    // The session's own log-off: the server ends the connection, which is then no loss.
    void MarkLoggedOff();

    int m_nCurUserId = -1;
    std::string m_strUserName;
    int m_nLoginResult = kLoginResultNone;
    std::string m_strServerAddr;
    QPointer<QWidget> m_loginDialog;
    bool m_bLoggedOff = false;
    bool m_bLostTold = false;

private:
    void ApplyConnectionLost();

    kx::GuiStepPoster m_steps;
};
