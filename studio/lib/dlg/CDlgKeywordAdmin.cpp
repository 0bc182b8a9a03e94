#include "dlg/CDlgKeywordAdmin.h"

#include "dlg/KeywordCommands.h"
#include "dlg/KeywordGroupTree.h"
#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxReportList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgKeywordAdmin::CDlgKeywordAdmin(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("关键字管理"));
    auto* layout = new QVBoxLayout(this);
    auto* panes = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("关键字分组")));
    m_tree = new kx::TreeCtrl(this);
    SetDlgItemId(m_tree, IDC_TREE);
    left->addWidget(m_tree);
    auto* right = new QVBoxLayout;
    auto* caption = new QLabel(QStringLiteral("关键字列表"));
    SetDlgItemId(caption, 1243);
    right->addWidget(caption);
    m_list = new kx::ReportList(this);
    SetDlgItemId(m_list, IDC_LIST);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    right->addWidget(m_list);
    panes->addLayout(left, 1);
    panes->addLayout(right, 2);
    layout->addLayout(panes);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    layout->addLayout(buttons);
    connect(m_tree, &kx::TreeCtrl::SelChanged, this, [this](HTREEITEM, HTREEITEM) { FillList(); });
    connect(m_tree, &kx::TreeCtrl::ItemRightClicked, this, [this](HTREEITEM item, const QPoint& at) {
        if (item) m_tree->SelectItem(item);
        if (kx::PopupMenu* menu = BuildTreeMenu())
            if (const int id = menu->TrackPopupMenu(at); id > 0) OnCommand(id);
    });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (kx::PopupMenu* menu = BuildListMenu())
            if (const int id = menu->TrackPopupMenu(m_list->viewport()->mapToGlobal(pos)); id > 0) OnCommand(id);
    });
    resize(560, 380);
    link.Register(kSlotKeywords, this);
    link.Register(kSlotKeywordGroups, this);
}

CDlgKeywordAdmin::~CDlgKeywordAdmin() {
    m_link.Unregister(kSlotKeywords, this);
    m_link.Unregister(kSlotKeywordGroups, this);
}

void CDlgKeywordAdmin::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (m_list->GetColumnCount() == 0) {
        int i = 0;
        for (const char* title : {"关键字", "所属分组", "备注"}) m_list->InsertColumn(i++, QString::fromUtf8(title), kx::LVCFMT_LEFT, 100);
    }
    FillTree();
}

HTREEITEM CDlgKeywordAdmin::GroupItem(int groupId) const { return keywordtree::Find(*m_tree, m_root, groupId); }

void CDlgKeywordAdmin::FillTree() {
    m_root = keywordtree::Fill(*m_tree, "关键字分组", ShownGroup());
    FillList();
}

int CDlgKeywordAdmin::ShownGroup() const { return keywordtree::Selected(*m_tree, m_root); }

bool CDlgKeywordAdmin::Belongs(const CkxKeyword& k) const {
    const int shown = ShownGroup();
    return shown == 0 || (shown > 0 && k.m_nGroupID == shown);
}

void CDlgKeywordAdmin::SetRow(int row, const CkxKeyword& k) {
    m_list->SetItemText(row, 0, QString::fromStdString(k.m_strName));
    m_list->SetItemText(row, 1, QString::fromStdString(KX_KXXXX().m_KeywordGroupList.GetName(k.m_nGroupID)));
    m_list->SetItemText(row, 2, QString::fromStdString(k.m_strNote));
    m_list->SetItemData(row, k.GetID());
}

void CDlgKeywordAdmin::FillList() {
    m_list->DeleteAllItems();
    if (ShownGroup() < 0) return;
    KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) {
        if (Belongs(k)) SetRow(m_list->InsertItem(m_list->GetItemCount(), {}), k);
    });
}

int CDlgKeywordAdmin::SelectedKeyword() const {
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->topLevelItem(row)->isSelected()) return static_cast<int>(m_list->GetItemData(row));
    return 0;
}

kx::PopupMenu* CDlgKeywordAdmin::Menu(int popup) {
    delete m_menu;
    m_menu = keywordcmd::Popup(this, popup, keywordcmd::MayOperate(m_link));
    return m_menu;
}

kx::PopupMenu* CDlgKeywordAdmin::BuildListMenu() {
    const int shown = ShownGroup();
    if (shown < 0) return nullptr;
    const bool row = SelectedKeyword() != 0;
    if (shown == 0) return row ? Menu(2) : nullptr;
    return Menu(row ? 1 : 0);
}

kx::PopupMenu* CDlgKeywordAdmin::BuildTreeMenu() {
    const int shown = ShownGroup();
    if (shown < 0) return nullptr;
    return Menu(shown == 0 ? 3 : 4);
}

void CDlgKeywordAdmin::OnCommand(int id) { keywordcmd::Run(this, m_link, id, ShownGroup(), SelectedKeyword()); }

kx::LRESULT CDlgKeywordAdmin::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    const int id = static_cast<int>(lParam);
    const CkxXXX& c = KX_KXXXX();
    switch (static_cast<int>(wParam)) {
    case kNoticeReload: FillList(); break;
    case kNoticeAdded:
    case kNoticeUpdated: {
        const CkxKeyword* k = c.m_KeywordList.Find(id);
        if (!k) break;
        // A keyword shows only where it belongs; a move to another group takes it out.
        const int row = m_list->FindItemData(id);
        if (!Belongs(*k)) {
            if (row >= 0) m_list->DeleteItem(row);
        } else {
            SetRow(row >= 0 ? row : m_list->InsertItem(m_list->GetItemCount(), {}), *k);
        }
        break;
    }
    case kNoticeRemoved:
        for (int row; (row = m_list->FindItemData(id)) >= 0;) m_list->DeleteItem(row);
        break;
    case kNoticeTagReload: FillTree(); break;
    case kNoticeTagAdded:
    case kNoticeTagUpdated:
    case kNoticeTagRemoved:
        keywordtree::Apply(*m_tree, m_root, static_cast<int>(wParam), id);
        FillList(); // the group names in the list, or the root's list after the shown group went
        break;
    default: break;
    }
    return 1;
}
