#include "dlg/CKeywordPickPanel.h"

#include "dlg/KeywordGroupTree.h"
#include "session/StudioNotices.h"

#include "model/CkxXXX.h"
#include "qt/KxDialog.h"
#include "qt/KxReportList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

std::vector<int> CacheKeywordIds() {
    std::vector<int> ids;
    KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) { ids.push_back(k.GetID()); });
    return ids;
}

} // namespace

CKeywordPickPanel::CKeywordPickPanel(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_tree = new kx::TreeCtrl(this);
    kx::Dialog::SetDlgItemId(m_tree, IDC_TREE);
    m_list = new kx::ReportList(this);
    kx::Dialog::SetDlgItemId(m_list, IDC_LIST);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->InsertColumn(0, QStringLiteral("名称"), kx::LVCFMT_LEFT, 100);
    m_list->InsertColumn(1, QStringLiteral("备注"), kx::LVCFMT_LEFT, 100);
    m_bound = new QListWidget(this);
    kx::Dialog::SetDlgItemId(m_bound, IDC_BOUND);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    const std::pair<int, const char*> buttons[] = {
        {IDC_BIND, ">>"}, {IDC_UNBIND, "<<"}, {IDC_BIND_GROUP, ">|"}, {IDC_UNBIND_ALL, "|<"}};
    for (const auto& [id, text] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        kx::Dialog::SetDlgItemId(b, id);
        b->setFixedWidth(40);
        moves->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, id = id] {
            switch (id) {
            case IDC_BIND: return BindSelected();
            case IDC_UNBIND: return UnbindCurrent();
            case IDC_BIND_GROUP: return BindCurrentGroup();
            default: return UnbindAll();
            }
        });
    }
    moves->addStretch();

    grid->addWidget(new QLabel(QStringLiteral("关键字列表")), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("绑定关键字列表")), 0, 3);
    grid->addWidget(m_tree, 1, 0);
    grid->addWidget(m_list, 1, 1);
    grid->addLayout(moves, 1, 2);
    grid->addWidget(m_bound, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("双击关键字列表框中的关键字,则绑定该关键字;\n"
                                              "双击绑定关键字列表框中的关键字,则断开该关键字绑定.")),
                    2, 0, 1, 4);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);

    connect(m_tree, &kx::TreeCtrl::SelChanged, this, [this](HTREEITEM, HTREEITEM) { ShowList(); });
    connect(m_list, &kx::ReportList::ItemDoubleClicked, this, [this](int row, int) {
        if (row >= 0) Bind(static_cast<int>(m_list->GetItemData(row)));
    });
    connect(m_bound, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item) Unbind(item->data(Qt::UserRole).toInt());
    });
}

void CKeywordPickPanel::Start(const std::vector<int>& bound) {
    m_root = keywordtree::Fill(*m_tree, "关键字组", 0);
    m_picking.Reset(CacheKeywordIds());
    for (int id : bound) m_picking.Bind(id);
    ShowBoth();
}

HTREEITEM CKeywordPickPanel::GroupItem(int groupId) const { return keywordtree::Find(*m_tree, m_root, groupId); }

int CKeywordPickPanel::CurrentGroup() const {
    const int selected = keywordtree::Selected(*m_tree, m_root);
    return selected < 0 ? -2 : (selected == 0 ? -1 : selected);
}

int CKeywordPickPanel::SelectedKeyword() const {
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->topLevelItem(row)->isSelected()) return static_cast<int>(m_list->GetItemData(row));
    return 0;
}

void CKeywordPickPanel::Bind(int id) {
    if (id > 0 && m_picking.Bind(id)) ShowBoth();
}

void CKeywordPickPanel::Unbind(int id) {
    if (m_picking.Unbind(id)) ShowBoth();
}

void CKeywordPickPanel::BindSelected() { Bind(SelectedKeyword()); }

void CKeywordPickPanel::UnbindCurrent() {
    if (const QListWidgetItem* item = m_bound->currentItem()) Unbind(item->data(Qt::UserRole).toInt());
}

void CKeywordPickPanel::BindCurrentGroup() {
    const int group = CurrentGroup();
    if (group < 0) return; // the root binds nothing
    const CkxKeywordList& keywords = KX_KXXXX().m_KeywordList;
    if (m_picking.BindWhere([&](int id) {
            const CkxKeyword* k = keywords.Find(id);
            return k && k->m_nGroupID == group;
        }) > 0)
        ShowBoth();
}

void CKeywordPickPanel::UnbindAll() {
    if (m_picking.UnbindAll() > 0) ShowBoth();
}

void CKeywordPickPanel::ShowList() {
    const int group = CurrentGroup();
    const CkxKeywordList& keywords = KX_KXXXX().m_KeywordList;
    if (group == -2) {
        // Nothing selected: the rows stay, but no keyword that went away or was bound.
        const std::vector<int>& available = m_picking.Available();
        for (int row = m_list->GetItemCount() - 1; row >= 0; --row)
            if (std::find(available.begin(), available.end(), m_list->GetItemData(row)) == available.end())
                m_list->DeleteItem(row);
        return;
    }
    m_list->DeleteAllItems();
    for (int id : m_picking.Available()) {
        const CkxKeyword* k = keywords.Find(id);
        if (!k || (group > 0 && k->m_nGroupID != group)) continue;
        const int row = m_list->InsertItem(m_list->GetItemCount(), QString::fromStdString(k->m_strName));
        m_list->SetItemText(row, 1, QString::fromStdString(k->m_strNote));
        m_list->SetItemData(row, id);
    }
}

void CKeywordPickPanel::ShowBound() {
    const int current = m_bound->currentRow();
    m_bound->clear();
    const CkxKeywordList& keywords = KX_KXXXX().m_KeywordList;
    for (int id : m_picking.Bound()) {
        const CkxKeyword* k = keywords.Find(id);
        auto* item = new QListWidgetItem(k ? QString::fromStdString(k->m_strName) : QString(), m_bound);
        item->setData(Qt::UserRole, id);
    }
    if (current >= 0 && current < m_bound->count()) m_bound->setCurrentRow(current);
}

void CKeywordPickPanel::ShowBoth() {
    ShowList();
    ShowBound();
}

void CKeywordPickPanel::OnNotice(int code, int id) {
    switch (code) {
    case kNoticeReload: m_picking.Keep(CacheKeywordIds()); break;
    case kNoticeAdded:
        if (KX_KXXXX().m_KeywordList.Find(id)) m_picking.Offer(id);
        break;
    case kNoticeUpdated: break; // names, notes and groups are read from the cache when shown
    case kNoticeRemoved: m_picking.Forget(id); break;
    case kNoticeTagReload: m_root = keywordtree::Fill(*m_tree, "关键字组", keywordtree::Selected(*m_tree, m_root)); break;
    case kNoticeTagAdded:
    case kNoticeTagUpdated:
    case kNoticeTagRemoved: keywordtree::Apply(*m_tree, m_root, code, id); break;
    default: return;
    }
    ShowBoth();
}
