// What the navigation panes share: the session they send through, the application that opens
// their documents, and the context menu built for the selected item by a function tests call
// without running it. A right click builds the menu, runs it and hands the chosen command on.
#pragma once

#include "qt/KxPopupMenu.h"
#include "qt/KxTreeCtrl.h"

#include <QPointer>

#include <functional>

class CStudioLink;
class CvClientApp;
class QWidget;

class NavPaneMenu {
public:
    explicit NavPaneMenu(QWidget* owner) : m_owner(owner) {}
    // A fresh menu with the given (command, text, enabled) entries; 0 is a separator.
    kx::PopupMenu* Make(std::initializer_list<std::tuple<int, const char*, bool>> entries);
    // Runs the menu at the position and gives the chosen command to `run`; nothing for null.
    static void Run(kx::PopupMenu* menu, const QPoint& globalPos, const std::function<void(int)>& run);

private:
    QWidget* m_owner;
    QPointer<kx::PopupMenu> m_menu;
};

// The application that opens the panes' documents (null when none is made).
CvClientApp* NavApp();

// A right click on the pane's tree selects the item, runs the pane's menu for it and gives the
// chosen command to the pane.
template <class Pane>
void ConnectContextMenu(Pane* pane) {
    QObject::connect(pane, &kx::TreeCtrl::ItemRightClicked, pane, [pane](HTREEITEM item, const QPoint& at) {
        if (item) pane->SelectItem(item);
        NavPaneMenu::Run(pane->BuildMenu(), at, [pane](int id) { pane->OnCommand(id); });
    });
}
