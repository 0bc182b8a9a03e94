#include "nav/CWndFolderTree.h"

#include "app/CvClientApp.h"
#include "dlg/CDlgQueryFile.h"
#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CkxwDlgFSNodeEdit.h"
#include "ui/CkxwDlgPowerSet.h"

CWndFolderTree::CWndFolderTree(CStudioLink& link, QWidget* parent)
    : CxTreeCtrl(parent), m_link(link), m_menu(this) {
    setObjectName("CWndFolderTree");
    m_root = InsertItem(QStringLiteral("根目录"), 0, 0);
    SetItemData(m_root, -1);
    m_bin = InsertItem(QStringLiteral("回收站"), kBinImage, kBinImage);
    SetItemData(m_bin, -1);
    link.Register(kSlotFolders, this);
    ConnectContextMenu(this);
}

kx::LRESULT CWndFolderTree::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return 0;
    OnNotice(static_cast<int>(wParam), static_cast<int>(lParam));
    return 1;
}

void CWndFolderTree::OnNotice(int code, int id) {
    const CkxXXX& c = KX_KXXXX();
    const CkxFSNode* node = c.fsFind(id);
    const int user = m_link.GetCurrentUserId();
    const bool visible = node && node->IsStateAct() && c.fsUserCan_Dir_Read(user, id);
    switch (code) {
    case kNoticeAdded:
        if (!visible || IsValid(id)) break;
        if (node->IsRootChild()) AddNode(m_root, *node, kFolderImage, kOpenFolderImage);
        else AddNode(*node, kFolderImage, kOpenFolderImage);
        Expand(m_root, TVE_EXPAND);
        ExpandRoot();
        break;
    case kNoticeUpdated:
        if (!node) break;
        if (!visible) {
            DeleteNode(id);
        } else if (IsValid(id)) {
            UpdateNode(*node);
        } else {
            // Newly readable: the folder with what of its sub-tree the user may read.
            CkxXXX::NodeList tree;
            c.fsGetDirTree_CanRead(id, tree);
            if (node->IsRootChild()) AddToRoot(m_root, tree, kFolderImage, kOpenFolderImage);
            else AddToParent(node->m_nParentID, tree, kFolderImage, kOpenFolderImage);
        }
        break;
    case kNoticeRemoved: DeleteNode(id); break;
    default: break; // the list fills through one add per folder
    }
}

const CkxFSNode* CWndFolderTree::SelectedFolder() const {
    const HTREEITEM item = GetSelectedItem();
    if (!item || item == m_root || item == m_bin) return nullptr;
    return KX_KXXXX().fsFind(static_cast<int>(GetItemData(item)));
}

kx::PopupMenu* CWndFolderTree::BuildMenu() {
    const HTREEITEM item = GetSelectedItem();
    if (!item) return nullptr;
    const CkxXXX& c = KX_KXXXX();
    const int user = m_link.GetCurrentUserId();
    if (item == m_root)
        return m_menu.Make({{ID_BROWSE, "浏览文件", true},
                            {ID_QUERY, "查询文件...", true},
                            {ID_INFO, "目录信息", true},
                            {0, "", false},
                            {ID_NEW, "新建目录", c.fsUserCan_Dir_CreateDir(user) != 0},
                            {0, "", false},
                            {ID_RIGHTS_INFO, "权限信息", true}});
    if (item == m_bin)
        return m_menu.Make({{ID_BIN_SHOW, "查看回收站", true},
                            {0, "", false},
                            {ID_BIN_EMPTY, "清空回收站", true},
                            {ID_BIN_RESTORE_ALL, "全部还原", true}});
    const CkxFSNode* folder = SelectedFolder();
    if (!folder) return nullptr;
    const int id = folder->m_nID;
    const bool operate = c.fsUserCan_Dir_Operate(user, id) != 0;
    return m_menu.Make({{ID_BROWSE, "浏览文件", true},
                        {ID_QUERY, "查询文件...", true},
                        {ID_INFO, "目录信息", true},
                        {0, "", false},
                        {ID_NEW, "新建目录", c.fsUserCan_Dir_CreateSubDir(user, id) != 0},
                        {ID_MODIFY, "修改目录", operate},
                        {ID_DELETE, "删除目录", MayDeleteTree(id)},
                        {0, "", false},
                        {ID_RIGHTS, "权限设置", c.fsUserCan_Dir_FullCtrl(user, id) != 0},
                        {ID_RIGHTS_INFO, "权限信息", true}});
}

bool CWndFolderTree::MayDeleteTree(int folderId) const {
    const CkxXXX& c = KX_KXXXX();
    const int user = m_link.GetCurrentUserId();
    CkxXXX::NodeList tree;
    if (c.fsFindTree(folderId, tree) <= 0) return false;
    for (const CkxFSNode* n : tree)
        if (!c.fsUserCan_Dir_Operate(user, n->m_nID)) return false;
    return !tree.empty();
}

std::string CWndFolderTree::DeleteQuestion(const std::string& name) {
    return "删除目录,将会删除该目录下所有子目录和文件!\n\n确定删除目录--\"" + name + "\"?";
}

void CWndFolderTree::OnCommand(int id) {
    const HTREEITEM item = GetSelectedItem();
    const CkxFSNode* folder = SelectedFolder();
    switch (id) {
    case ID_BROWSE:
        if (!item || item == m_bin) return;
        if (CvClientApp* app = NavApp()) app->OpenFolderDoc(m_link, item == m_root ? -1 : (folder ? folder->m_nID : -1));
        return;
    case ID_QUERY:
        if (!item || item == m_bin) return;
        // The root item asks over every folder.
        CDlgQueryFile::QueryFiles(m_link, this, [folderId = folder ? folder->m_nID : -1](CDlgQueryFile& dlg) {
            if (folderId >= 0) dlg.SetFolder(folderId);
            else dlg.SetAnyFolder();
        });
        return;
    case ID_INFO: {
        CkxFSNode copy = folder ? *folder : CkxFSNode();
        KX_ShowDlg_FSNodeEdit(0, 0, copy);
        return;
    }
    case ID_NEW: {
        if (!item) return;
        CkxFSNode node;
        // Explicitly at the top level unless a held folder is the parent.
        node.m_nLev = 0;
        node.m_nParentID = -1;
        if (folder) {
            node.m_nLev = folder->GetChildLev();
            node.m_nParentID = folder->m_nID;
        }
        node.m_nCreatorID = m_link.GetCurrentUserId();
        if (KX_ShowDlg_FSNodeEdit(1, 1, node)) m_link.SendFolderAddRequest(node);
        return;
    }
    case ID_MODIFY: {
        if (!folder) return;
        CkxFSNode copy = *folder;
        if (KX_ShowDlg_FSNodeEdit(0, 1, copy)) m_link.SendFolderModifyRequest(copy);
        return;
    }
    case ID_DELETE: {
        if (!folder || !MayDeleteTree(folder->m_nID)) return;
        const int folderId = folder->m_nID;
        if (kx::Prompt(this, DeleteQuestion(KX_KXXXX().fsGetDirName(folderId)), kx::PromptOkCancel,
                       kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendFolderDeleteRequest(folderId);
        return;
    }
    case ID_RIGHTS: {
        if (!folder) return;
        CkxFSNode copy = *folder;
        CkxPowerEx rights = copy.GetPower();
        if (!KX_ShowDlg_PowerSet(0, rights)) return;
        copy.SetPower(static_cast<const CkxPower&>(rights));
        m_link.SendFolderModifyRequest(copy);
        return;
    }
    case ID_RIGHTS_INFO: {
        CkxPowerEx rights;
        rights.m_nItemType = CkxUserLicence::ITEM_FOLDER;
        KX_ShowDlg_PowerSet(1, rights);
        return;
    }
    case ID_BIN_SHOW:
        if (CvClientApp* app = NavApp()) app->ShowRecycleBin(m_link);
        return;
    case ID_BIN_EMPTY:
        if (kx::Prompt(this, kEmptyBinQuestion, kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendRecycleEmptyRequest(0);
        return;
    case ID_BIN_RESTORE_ALL: m_link.SendRestoreAllRequest(); return;
    default: return;
    }
}

void CWndFolderTree::ExpandAll() {
    Expand(m_root, TVE_EXPAND);
    ExpandTree();
}

void CWndFolderTree::CollapseAll() { FurlTree(); }
