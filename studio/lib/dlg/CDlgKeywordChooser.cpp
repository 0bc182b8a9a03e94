#include "dlg/CDlgKeywordChooser.h"

#include "dlg/CKeywordPickPanel.h"
#include "dlg/KeywordCommands.h"
#include "session/CStudioLink.h"

#include "qt/KxPopupMenu.h"
#include "qt/KxReportList.h"

#include <QVBoxLayout>

CDlgKeywordChooser::CDlgKeywordChooser(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panel = new CKeywordPickPanel(this);
    layout->addWidget(m_panel);
    kx::TreeCtrl* tree = m_panel->Tree();
    connect(tree, &kx::TreeCtrl::ItemRightClicked, this, [this, tree](HTREEITEM item, const QPoint& at) {
        if (item) tree->SelectItem(item);
        if (kx::PopupMenu* menu = BuildTreeMenu())
            if (const int id = menu->TrackPopupMenu(at); id > 0) OnCommand(id);
    });
    kx::ReportList* list = m_panel->List();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& pos) {
        if (kx::PopupMenu* menu = BuildListMenu())
            if (const int id = menu->TrackPopupMenu(list->viewport()->mapToGlobal(pos)); id > 0) OnCommand(id);
    });
    link.Register(kSlotKeywords, this);
    link.Register(kSlotKeywordGroups, this);
}

CDlgKeywordChooser::~CDlgKeywordChooser() {
    m_link.Unregister(kSlotKeywords, this);
    m_link.Unregister(kSlotKeywordGroups, this);
}

void CDlgKeywordChooser::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    m_panel->Start({});
}

int CDlgKeywordChooser::GetKeywordIds(std::vector<int>& ids) const {
    ids = m_panel->BoundIds();
    return static_cast<int>(ids.size());
}

kx::PopupMenu* CDlgKeywordChooser::Menu(int popup) {
    delete m_menu;
    m_menu = keywordcmd::Popup(this, popup, keywordcmd::MayOperate(m_link));
    return m_menu;
}

kx::PopupMenu* CDlgKeywordChooser::BuildListMenu() { return Menu(m_panel->SelectedKeyword() > 0 ? 1 : 0); }

kx::PopupMenu* CDlgKeywordChooser::BuildTreeMenu() {
    const int group = m_panel->CurrentGroup();
    if (group == -2) return nullptr;
    return Menu(group == -1 ? 3 : 4);
}

void CDlgKeywordChooser::OnCommand(int id) {
    // The commands count the root as 0; the picker as -1.
    const int group = m_panel->CurrentGroup();
    keywordcmd::Run(this, m_link, id, group == -1 ? 0 : (group == -2 ? -1 : group), m_panel->SelectedKeyword());
}

kx::LRESULT CDlgKeywordChooser::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    m_panel->OnNotice(static_cast<int>(wParam), static_cast<int>(lParam));
    return 1;
}
