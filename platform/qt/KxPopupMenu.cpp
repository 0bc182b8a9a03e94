#include "qt/KxPopupMenu.h"

#include <QAction>

namespace kx {

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {}

QAction* PopupMenu::AppendMenu(const QString& text, int id) {
    QAction* action = addAction(text);
    action->setObjectName(QString::number(id));
    action->setData(id);
    return action;
}

bool PopupMenu::EnableMenuItem(int id, bool enable) {
    for (QAction* a : actions()) {
        if (!a->isSeparator() && a->data().toInt() == id) {
            a->setEnabled(enable);
            return true;
        }
    }
    return false;
}

int PopupMenu::TrackPopupMenu(const QPoint& globalPos) {
    QAction* chosen = exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

int TrackPopup(QWidget* parent, const std::vector<std::pair<QString, int>>& items,
               const QPoint& globalPos) {
    PopupMenu menu(parent);
    for (const auto& [text, id] : items) {
        if (id == 0) menu.AppendSeparator();
        else menu.AppendMenu(text, id);
    }
    return menu.TrackPopupMenu(globalPos);
}

} // namespace kx
