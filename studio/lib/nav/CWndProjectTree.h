// The project page of the navigation bar: the projects under "项目"; creating, viewing, changing,
// giving users to and deleting projects by the current user's project rights.
#pragma once

#include "nav/NavPane.h"
#include "qt/KxWindowMessage.h"
#include "ui/CkxWinProjectTreeCtrl.h"

#include <vector>

class CWndProjectTree : public CkxWinProjectTreeCtrl, public kx::MessageReceiver {
public:
    enum Command { ID_CREATE = 32815, ID_VIEW = 32824, ID_MODIFY = 32827, ID_USERS = 32972, ID_DELETE = 32826, ID_BROWSE = 32831 };

    explicit CWndProjectTree(CStudioLink& link, QWidget* parent = nullptr);

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    void OnCommand(int id);
    kx::PopupMenu* BuildMenu();
    void ExpandAll();
    void CollapseAll();
    HTREEITEM RootItem() const { return m_root; }
    bool CanCreate() const;
    // The items shown for a project id.
    int CountItems(int projectId) const;

private:
    struct Entry {
        HTREEITEM item;
        int projectId;
    };
    void AddProjectItem(const CkxProject& project);
    void RemoveProjectItems(int projectId);
    const CkxProject* SelectedProject() const;

    CStudioLink& m_link;
    HTREEITEM m_root;
    std::vector<Entry> m_items;
    NavPaneMenu m_menu;
};
