// What differs between file roles and folder roles in Keeper's panes and dialogs: the message
// type, the list of the context object, the session's senders, the rights table, the caption of
// the dialog, the role list's id, the height of the rights strip and the menu's id.
#pragma once

#include "link/ConsoleLink.h"
#include "model/CkxFileRole.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "role/RoleRights.h"

template <class Role>
struct RoleKind;

template <>
struct RoleKind<CkxFileRole> {
    static constexpr int kType = kx::kMsgFileRole;
    static constexpr const char* kCaption = "文件角色";
    static constexpr int kRoleListId = 1045;
    static constexpr int kStrip = 200;
    static constexpr int kMenuId = 132;
    static const std::vector<kx::RoleRight>& Rights() { return kx::FileRoleRights(); }
    static CkxFileRoleList& List() { return KX_KXXXX().m_FileRoleList; }
    static int SendAdd(ConsoleLink& link, const CkxFileRole& r) { return link.SendFileRoleAddRequest(r); }
    static int SendModify(ConsoleLink& link, const CkxFileRole& r) { return link.SendFileRoleUpdateRequest(r); }
    static int SendDelete(ConsoleLink& link, int id) { return link.SendFileRoleDeleteRequest(id); }
};

template <>
struct RoleKind<CkxFolderRole> {
    static constexpr int kType = kx::kMsgFolderRole;
    static constexpr const char* kCaption = "文件夹角色";
    static constexpr int kRoleListId = 1043;
    static constexpr int kStrip = 300;
    static constexpr int kMenuId = 133;
    static const std::vector<kx::RoleRight>& Rights() { return kx::FolderRoleRights(); }
    static CkxFolderRoleList& List() { return KX_KXXXX().m_FolderRoleList; }
    static int SendAdd(ConsoleLink& link, const CkxFolderRole& r) { return link.SendFolderRoleAddRequest(r); }
    static int SendModify(ConsoleLink& link, const CkxFolderRole& r) { return link.SendFolderRoleUpdateRequest(r); }
    static int SendDelete(ConsoleLink& link, int id) { return link.SendFolderRoleDeleteRequest(id); }
};

// Control and command ids shared by the role panes and dialogs.
enum RoleIds {
    IDC_ROLE_RIGHTS = 1046,    // the rights list of a pane
    IDC_DLG_RIGHTS = 1008,     // the rights list of a dialog
    IDC_DLG_NAME = 1019,
    IDC_DLG_NOTE = 1016,
    ID_ROLE_NEW = 32771,       // "新建角色"
    ID_ROLE_MODIFY = 32772,    // "修改角色"
    ID_ROLE_DELETE = 32773,    // "删除角色"
};

// Name and note fields hold 51 GBK bytes.
constexpr int kRoleTextBytes = 51;
