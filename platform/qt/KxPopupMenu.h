// Popup menus built from (text, command id) pairs. Opened at a point, they return the chosen
// command's id, or 0 when the menu was closed without a choice. Each action carries its id as
// objectName, so tests pick a command by id.
#pragma once

#include <QMenu>
#include <QPoint>
#include <QString>

#include <utility>
#include <vector>

namespace kx {

class PopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit PopupMenu(QWidget* parent = nullptr);

    // Appends a command (id > 0); returns its action.
    QAction* AppendMenu(const QString& text, int id);
    void AppendSeparator() { addSeparator(); }
    // Enables or greys a command; false when no command has that id.
    bool EnableMenuItem(int id, bool enable);

    // Opens the menu at the global point and waits for the choice: the command id, or 0.
    int TrackPopupMenu(const QPoint& globalPos);
};

// One-shot form: builds the menu from `items` (an id of 0 makes a separator), opens it at the
// global point and returns the chosen id, or 0.
int TrackPopup(QWidget* parent, const std::vector<std::pair<QString, int>>& items,
               const QPoint& globalPos);

} // namespace kx
