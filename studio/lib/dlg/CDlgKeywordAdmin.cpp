#include "dlg/CDlgKeywordAdmin.h"

#include "dlg/KeywordCommands.h"
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

HTREEITEM CDlgKeywordAdmin::GroupItem(int groupId) const {
    for (HTREEITEM c = m_root ? m_tree->GetChildItem(m_root) : nullptr; c; c = m_tree->GetNextSiblingItem(c))
        if (m_tree->GetItemData(c) == groupId) return c;
    return nullptr;
}

void CDlgKeywordAdmin::FillTree() {
    // The cache anew: a reload never doubles the items.
    const int shown = ShownGroup();
    m_tree->DeleteAllItems();
    m_root = m_tree->InsertItem(QStringLiteral("关键字分组"), 0, 0);
    m_tree->SetItemData(m_root, 0);
    KX_KXXXX().m_KeywordGroupList.ForEach([&](const CkxKeywordGroup& g) {
        const HTREEITEM item = m_tree->InsertItem(QString::fromStdString(g.m_strName), 1, 1, m_root);
        m_tree->SetItemData(item, g.GetID());
    });
    m_tree->Expand(m_root, TVE_EXPAND);
    const HTREEITEM again = shown > 0 ? GroupItem(shown) : (shown == 0 ? m_root : nullptr);
    if (again) m_tree->SelectItem(again);
    FillList();
}

int CDlgKeywordAdmin::ShownGroup() const {
    const HTREEITEM item = m_tree->GetSelectedItem();
    if (!item) return -1;
    return item == m_root ? 0 : static_cast<int>(m_tree->GetItemData(item));
}

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

kx::PopupMenu* CDlgKeywordAdmin::Menu(std::initializer_list<std::pair<int, const char*>> items) {
    delete m_menu;
    m_menu = new kx::PopupMenu(this);
    const bool may = keywordcmd::MayOperate(m_link);
    for (const auto& [id, text] : items) {
        if (id == 0) {
            m_menu->AppendSeparator();
            continue;
        }
        m_menu->AppendMenu(QString::fromUtf8(text), id);
        m_menu->EnableMenuItem(id, may); // the server refuses changes to a user without the power
    }
    return m_menu;
}

kx::PopupMenu* CDlgKeywordAdmin::BuildListMenu() {
    const int shown = ShownGroup();
    if (shown < 0) return nullptr;
    const bool row = SelectedKeyword() != 0;
    if (shown == 0)
        return row ? Menu({{ID_KEYWORD_MODIFY, "修改关键字"}, {0, ""}, {ID_KEYWORD_DELETE, "删除关键字"}}) : nullptr;
    if (row)
        return Menu({{ID_KEYWORD_NEW, "新建关键字"}, {ID_KEYWORD_MODIFY, "修改关键字"}, {0, ""}, {ID_KEYWORD_DELETE, "删除关键字"}});
    return Menu({{ID_KEYWORD_NEW, "新建关键字"}});
}

kx::PopupMenu* CDlgKeywordAdmin::BuildTreeMenu() {
    const int shown = ShownGroup();
    if (shown < 0) return nullptr;
    if (shown == 0) return Menu({{ID_GROUP_NEW, "新建分组"}});
    return Menu({{ID_KEYWORD_NEW, "新建关键字"}, {0, ""}, {ID_GROUP_MODIFY, "修改分组"}, {0, ""}, {ID_GROUP_DELETE, "删除分组"}});
}

void CDlgKeywordAdmin::OnCommand(int id) {
    const int shown = ShownGroup();
    switch (id) {
    // A new keyword joins the selected group; at the root it has none.
    case ID_KEYWORD_NEW: return keywordcmd::NewKeyword(this, m_link, shown > 0 ? shown : -1);
    case ID_KEYWORD_MODIFY: return keywordcmd::ModifyKeyword(this, m_link, SelectedKeyword());
    case ID_KEYWORD_DELETE: return keywordcmd::DeleteKeyword(this, m_link, SelectedKeyword());
    case ID_GROUP_NEW:
        if (shown == 0) keywordcmd::NewGroup(this, m_link);
        return;
    case ID_GROUP_MODIFY:
        if (shown > 0) keywordcmd::ModifyGroup(this, m_link, shown);
        return;
    case ID_GROUP_DELETE:
        if (shown > 0) keywordcmd::DeleteGroup(this, m_link, shown);
        return;
    default: return;
    }
}

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
        if (const CkxKeywordGroup* g = c.m_KeywordGroupList.Find(id); g && !GroupItem(id)) {
            const HTREEITEM item = m_tree->InsertItem(QString::fromStdString(g->m_strName), 1, 1, m_root);
            m_tree->SetItemData(item, id);
            m_tree->Expand(m_root, TVE_EXPAND);
        }
        break;
    case kNoticeTagUpdated:
        if (const CkxKeywordGroup* g = c.m_KeywordGroupList.Find(id))
            if (const HTREEITEM item = GroupItem(id)) m_tree->SetItemText(item, QString::fromStdString(g->m_strName));
        FillList(); // the group names in the list
        break;
    case kNoticeTagRemoved:
        if (const HTREEITEM item = GroupItem(id)) {
            const bool wasShown = m_tree->GetSelectedItem() == item;
            m_tree->DeleteItem(item);
            if (wasShown) m_tree->SelectItem(m_root);
        }
        FillList();
        break;
    default: break;
    }
    return 1;
}
