// The keyword chooser: the keyword picker without a file, as a form inside the keyword query
// dialog, with the keyword administration's commands on its context menus.
#pragma once

#include "qt/KxDialog.h"

#include <vector>

class CKeywordPickPanel;
class CStudioLink;
namespace kx {
class PopupMenu;
}

class CDlgKeywordChooser : public kx::Dialog {
    Q_OBJECT
public:
    explicit CDlgKeywordChooser(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgKeywordChooser() override;

    // Empties `ids`, then appends the bound keywords in bound order; returns the count.
    int GetKeywordIds(std::vector<int>& ids) const;

    // The menus for the current selection, not run (null: no menu): the list's and the tree's.
    kx::PopupMenu* BuildListMenu();
    kx::PopupMenu* BuildTreeMenu();
    // The keyword and group commands.
    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    CKeywordPickPanel* Panel() const { return m_panel; }

protected:
    void OnInitDialog() override;

private:
    kx::PopupMenu* Menu(int popup);

    CStudioLink& m_link;
    CKeywordPickPanel* m_panel = nullptr;
    kx::PopupMenu* m_menu = nullptr;
};
