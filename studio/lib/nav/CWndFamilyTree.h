// The family page of the navigation bar: the whole cached family tree under "族类". Browsing
// for everyone; editing and deleting families for system administrators.
#pragma once

#include "nav/NavPane.h"
#include "qt/KxWindowMessage.h"
#include "ui/CkxFamilyTreeCtrl.h"

class CWndFamilyTree : public CkxFamilyTreeCtrl, public kx::MessageReceiver {
public:
    enum Command { ID_BROWSE = 33099, ID_QUERY = 32814, ID_INFO = 32811, ID_ATTRS = 33070, ID_MODIFY = 32801, ID_DELETE = 32803 };
    static constexpr const char* kRootRefused = "不能删除根族";

    explicit CWndFamilyTree(CStudioLink& link, QWidget* parent = nullptr);

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    void OnCommand(int id);
    kx::PopupMenu* BuildMenu();
    void ExpandAll();
    void CollapseAll();
    // Draws the cached tree again (the reload).
    void Refresh();
    HTREEITEM RootItem() const { return m_root; }
    static std::string DeleteQuestion(const std::string& name);

private:
    const CkxFamily* SelectedFamily() const;

    CStudioLink& m_link;
    HTREEITEM m_root = nullptr;
    NavPaneMenu m_menu;
};
