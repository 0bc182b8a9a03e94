// The keyword administration dialog: the keyword groups as a tree under "关键字分组", the
// keywords of the selected group (every keyword for the root), and context menus that create,
// change and delete both through the server. The views follow the server's answers.
#pragma once

#include "dlg/KeywordCommands.h"
#include "qt/KxDialog.h"
#include "qt/KxTreeCtrl.h"

#include <string>
#include <vector>

class CkxKeyword;
class CStudioLink;
namespace kx {
class PopupMenu;
class ReportList;
}

class CDlgKeywordAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_LIST = 1094, IDC_TREE = 1095 };
    enum Command {
        ID_KEYWORD_NEW = keywordcmd::ID_KEYWORD_NEW, ID_KEYWORD_MODIFY = keywordcmd::ID_KEYWORD_MODIFY,
        ID_KEYWORD_DELETE = keywordcmd::ID_KEYWORD_DELETE, ID_GROUP_NEW = keywordcmd::ID_GROUP_NEW,
        ID_GROUP_MODIFY = keywordcmd::ID_GROUP_MODIFY, ID_GROUP_DELETE = keywordcmd::ID_GROUP_DELETE,
    };

    explicit CDlgKeywordAdmin(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgKeywordAdmin() override;

    // The menus for the current selection, not run (null: no menu): the list's and the tree's.
    kx::PopupMenu* BuildListMenu();
    kx::PopupMenu* BuildTreeMenu();
    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    kx::TreeCtrl* Tree() const { return m_tree; }
    kx::ReportList* List() const { return m_list; }
    HTREEITEM RootItem() const { return m_root; }
    HTREEITEM GroupItem(int groupId) const;

protected:
    void OnInitDialog() override;

private:
    void FillTree();
    void FillList();
    // The group whose keywords the list shows: 0 for the root, -1 for no selection.
    int ShownGroup() const;
    bool Belongs(const CkxKeyword& k) const;
    void SetRow(int row, const CkxKeyword& k);
    int SelectedKeyword() const;
    kx::PopupMenu* Menu(int popup);

    CStudioLink& m_link;
    kx::TreeCtrl* m_tree = nullptr;
    kx::ReportList* m_list = nullptr;
    HTREEITEM m_root = nullptr;
    kx::PopupMenu* m_menu = nullptr;
};
