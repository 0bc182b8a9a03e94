#include "nav/NavPane.h"

#include "app/CvClientApp.h"

kx::PopupMenu* NavPaneMenu::Make(std::initializer_list<std::tuple<int, const char*, bool>> entries) {
    delete m_menu.data();
    m_menu = new kx::PopupMenu(m_owner);
    for (const auto& [id, text, enabled] : entries) {
        if (id == 0) {
            m_menu->AppendSeparator();
            continue;
        }
        m_menu->AppendMenu(QString::fromUtf8(text), id);
        m_menu->EnableMenuItem(id, enabled);
    }
    return m_menu;
}

void NavPaneMenu::Run(kx::PopupMenu* menu, const QPoint& globalPos, const std::function<void(int)>& run) {
    if (!menu) return;
    const int id = menu->TrackPopupMenu(globalPos);
    if (id > 0) run(id);
}

CvClientApp* NavApp() { return CvClientApp::Current(); }
