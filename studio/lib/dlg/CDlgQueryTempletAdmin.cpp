#include "dlg/CDlgQueryTempletAdmin.h"

#include "app/CvClientApp.h"
#include "session/CStudioLink.h"

#include "model/CkxData.h"
#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"
#include "ui/CDlgQueryCondition.h"
#include "ui/CDlgQueryTempletEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgQueryTempletAdmin::CDlgQueryTempletAdmin(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("查询模板管理"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("查询模板列表")));
    m_list = new kx::ReportList(this);
    SetDlgItemId(m_list, IDC_LIST);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    left->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    const std::pair<int, const char*> specs[4] = {
        {IDC_ADD, "添加模板"}, {IDC_MODIFY, "修改模板"}, {IDC_DELETE, "删除模板"}, {IDC_QUERY, "查询文件"}};
    const int commands[4] = {ID_ADD, ID_MODIFY, ID_DELETE, ID_QUERY};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(QString::fromUtf8(specs[i].second), this);
        SetDlgItemId(m_buttons[i], specs[i].first);
        m_buttons[i]->setAutoDefault(false);
        buttons->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, command = commands[i]] { OnCommand(command); });
    }
    left->addLayout(buttons);
    auto* close = new QHBoxLayout;
    close->addStretch();
    close->addWidget(AddButton(QStringLiteral("关  闭"), kx::IDOK));
    left->addLayout(close);
    layout->addLayout(left, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("查询模板信息")));
    m_frame = new QGroupBox(QStringLiteral("模板编辑"), this);
    SetDlgItemId(m_frame, IDC_FRAME);
    new QVBoxLayout(m_frame);
    right->addWidget(m_frame, 1);
    layout->addLayout(right, 3);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (kx::PopupMenu* menu = BuildMenu())
            if (const int id = menu->TrackPopupMenu(m_list->viewport()->mapToGlobal(pos)); id > 0) OnCommand(id);
    });
    resize(900, 720);
    // The templates change through the server's answers; the list follows them.
    link.Register(kSlotTemplates, this);
}

CDlgQueryTempletAdmin::~CDlgQueryTempletAdmin() { m_link.Unregister(kSlotTemplates, this); }

void CDlgQueryTempletAdmin::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (!m_panel) {
        m_panel = new CDlgQueryCondition(m_frame);
        m_panel->EnableFamily(m_nPanelMode);
        m_panel->EnableEdit(0); // only ever shows a template
        m_panel->Create(m_frame);
        m_frame->layout()->addWidget(m_panel);
    }
    if (m_list->GetColumnCount() == 0) {
        m_list->InsertColumn(0, QStringLiteral("名称"), kx::LVCFMT_LEFT, 120);
        m_list->InsertColumn(1, QStringLiteral("文件类型"), kx::LVCFMT_LEFT, 60);
        m_list->InsertColumn(2, QStringLiteral("备注"), kx::LVCFMT_LEFT, 150);
    }
    FillList();
}

void CDlgQueryTempletAdmin::FillList() {
    // The selected template stays selected while it exists.
    const CkxQueryTemplet* selected = SelectedTemplet();
    const int keep = selected ? selected->GetID() : -1;
    const QSignalBlocker quiet(m_list);
    m_list->DeleteAllItems();
    KX_QueryTempletList().ForEach([&](const CkxQueryTemplet& t) {
        const int row = m_list->InsertItem(m_list->GetItemCount(), QString::fromStdString(t.m_strName));
        m_list->SetItemText(row, 1, QString::fromStdString(KX_DataKindName(t.m_nDataMode)));
        m_list->SetItemText(row, 2, QString::fromStdString(t.m_strRemark));
        m_list->SetItemData(row, t.GetID());
        if (t.GetID() == keep) m_list->topLevelItem(row)->setSelected(true);
    });
    OnSelectionChanged();
}

const CkxQueryTemplet* CDlgQueryTempletAdmin::SelectedTemplet() const {
    int found = -1;
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        if (!m_list->topLevelItem(row)->isSelected()) continue;
        if (found >= 0) return nullptr; // several
        found = row;
    }
    return found < 0 ? nullptr : KX_QueryTempletList().Find(static_cast<int>(m_list->GetItemData(found)));
}

void CDlgQueryTempletAdmin::OnSelectionChanged() {
    const CkxQueryTemplet* t = SelectedTemplet();
    if (t && m_panel) m_panel->SetQueryTemplet(t);
    for (int i = 1; i < 4; ++i) m_buttons[i]->setEnabled(t != nullptr);
}

kx::PopupMenu* CDlgQueryTempletAdmin::BuildMenu() {
    delete m_menu;
    m_menu = new kx::PopupMenu(this);
    if (SelectedTemplet()) {
        m_menu->AppendMenu(QStringLiteral("查询文件"), ID_QUERY);
        m_menu->AppendSeparator();
        m_menu->AppendMenu(QStringLiteral("添加模板"), ID_ADD);
        m_menu->AppendMenu(QStringLiteral("修改模板"), ID_MODIFY);
        m_menu->AppendSeparator();
        m_menu->AppendMenu(QStringLiteral("删除模板"), ID_DELETE);
    } else {
        m_menu->AppendMenu(QStringLiteral("添加模板"), ID_ADD);
    }
    return m_menu;
}

void CDlgQueryTempletAdmin::OnCommand(int id) {
    const CkxQueryTemplet* selected = SelectedTemplet();
    switch (id) {
    case ID_ADD: {
        CkxQueryTemplet t;
        if (KX_ShowDlg_QueryTempletEdit(1, 1, 0, t)) m_link.SendQueryTempletAddRequest(t);
        return;
    }
    case ID_MODIFY: {
        if (!selected) return;
        CkxQueryTemplet copy = *selected;
        if (KX_ShowDlg_QueryTempletEdit(0, 1, 0, copy)) m_link.SendQueryTempletModifyRequest(copy);
        return;
    }
    case ID_DELETE: {
        if (!selected) return;
        const int templetId = selected->GetID();
        if (kx::Prompt(this, "确定删除查询模板--\"" + selected->m_strName + "\"?", kx::PromptOkCancel,
                       kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendQueryTempletDeleteRequest(templetId);
        return;
    }
    case ID_QUERY:
        // Nothing to run without a template; the dialog closes either way.
        if (selected)
            if (CvClientApp* app = CvClientApp::Current()) app->QueryByTemplet(m_link, CkxQueryTemplet(*selected));
        EndDialog(kx::IDOK);
        return;
    case ID_REFILL: FillList(); return;
    default: return;
    }
}

kx::LRESULT CDlgQueryTempletAdmin::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message == kx::WM_COMMAND) {
        OnCommand(static_cast<int>(wParam));
        return 1;
    }
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    const int code = static_cast<int>(wParam);
    if (code >= kNoticeReload && code <= kNoticeRemoved) FillList();
    return 1;
}
