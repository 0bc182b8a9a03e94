// The folder page of the navigation bar: the folders the current user may read under "根目录",
// and "回收站". It follows the session's folder notices and sends the folder and recycle-bin
// requests of its menu; the tree changes only when the server's pushes arrive.
#pragma once

#include "nav/NavPane.h"
#include "qt/KxWindowMessage.h"
#include "ui/CxTreeCtrl.h"

class CWndFolderTree : public CxTreeCtrl, public kx::MessageReceiver {
public:
    enum Command {
        ID_BROWSE = 33118,
        ID_QUERY = 33073,
        ID_INFO = 33110,
        ID_NEW = 32882,
        ID_MODIFY = 32883,
        ID_DELETE = 32884,
        ID_RIGHTS = 32881,
        ID_RIGHTS_INFO = 33117,
        ID_BIN_SHOW = 33088,
        ID_BIN_EMPTY = 33086,
        ID_BIN_RESTORE_ALL = 33120,
    };
    // Pictures of the navigation bar's folder image list (bitmap 138): the root is 0.
    static constexpr int kFolderImage = 2, kOpenFolderImage = 3, kBinImage = 8;
    static constexpr const char* kEmptyBinQuestion = "清空回收站将彻底删除文件! \n\n确定清空回收站?";

    explicit CWndFolderTree(CStudioLink& link, QWidget* parent = nullptr);

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    void OnCommand(int id);
    // The menu for the selected item (null: none), not run.
    kx::PopupMenu* BuildMenu();
    void ExpandAll();
    void CollapseAll();
    HTREEITEM RootItem() const { return m_root; }
    HTREEITEM BinItem() const { return m_bin; }
    // True when the user may operate the folder and every folder below it: the server refuses a
    // delete that names any other.
    bool MayDeleteTree(int folderId) const;
    // The text asked before a folder is deleted.
    static std::string DeleteQuestion(const std::string& name);

private:
    // The selected folder's cached record, or null (root, bin, nothing, or gone).
    const CkxFSNode* SelectedFolder() const;
    void OnNotice(int code, int id);

    CStudioLink& m_link;
    HTREEITEM m_root;
    HTREEITEM m_bin;
    NavPaneMenu m_menu;
};
