#include "dlg/CDlgOperatorGroup.h"

#include "model/CkxXXX.h"
#include "qt/KxDataExchange.h"
#include "qt/KxEdit.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CDlgOperatorGroup::CDlgOperatorGroup(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("操作员分组修改"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int id : {static_cast<int>(IDC_NAME), static_cast<int>(IDC_NOTE)}) {
        auto* edit = new kx::Edit(this);
        edit->SetLimitText(kTextBytes);
        SetDlgItemId(edit, id);
        form->addRow(id == IDC_NAME ? QStringLiteral("名  称") : QStringLiteral("备  注"), edit);
    }
    layout->addLayout(form);
    auto* group = new QGroupBox(QStringLiteral("关联操作员"), this);
    auto* groupLayout = new QHBoxLayout(group);
    m_users = new kx::ReportList(group);
    SetDlgItemId(m_users, IDC_USERS);
    m_users->InsertColumn(0, QStringLiteral("操作员"), kx::LVCFMT_LEFT, 150);
    m_users->SetCheckBoxes(true);
    m_users->SetFullRowSelect(true);
    groupLayout->addWidget(m_users, 1);
    auto* side = new QVBoxLayout;
    const std::pair<const char*, int> buttons[] = {{"重置", IDC_RESET}, {"全选", IDC_ALL}, {"反选", IDC_INVERT}};
    for (const auto& [text, id] : buttons) {
        QPushButton* b = AddButton(QString::fromUtf8(text), id);
        side->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, id = id] {
            if (id == IDC_RESET) OnReset();
            else if (id == IDC_ALL) OnSelectAll();
            else OnInvert();
        });
    }
    side->addStretch();
    groupLayout->addLayout(side);
    layout->addWidget(group, 1);
    auto* okCancel = new QHBoxLayout;
    okCancel->addStretch();
    okCancel->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    okCancel->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(okCancel);
    resize(360, 400);
}

void CDlgOperatorGroup::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_NAME, m_Group.m_strName);
    kx::DDX_Text(dx, IDC_NOTE, m_Group.m_strNote);
}

void CDlgOperatorGroup::OnInitDialog() {
    m_users->DeleteAllItems();
    KX_KXXXX().m_UserList.ForEach([&](const CkxUser& u) {
        const int row = m_users->InsertItem(m_users->GetItemCount(), QString::fromStdString(u.m_strLogon));
        m_users->SetItemData(row, u.GetID());
        if (!m_bCreate) m_users->SetCheck(row, m_Group.CheckIncludeUser(u.GetID()) != 0);
    });
    for (int id : {static_cast<int>(IDC_NAME), static_cast<int>(IDC_NOTE)})
        if (auto* e = GetDlgItemAs<QLineEdit>(id)) e->setReadOnly(m_bReadOnly != 0);
    kx::Dialog::OnInitDialog();
}

void CDlgOperatorGroup::OnReset() {
    for (int row = 0; row < m_users->GetItemCount(); ++row) m_users->SetCheck(row, false);
}

void CDlgOperatorGroup::OnSelectAll() {
    for (int row = 0; row < m_users->GetItemCount(); ++row) m_users->SetCheck(row, true);
}

void CDlgOperatorGroup::OnInvert() {
    for (int row = 0; row < m_users->GetItemCount(); ++row) m_users->SetCheck(row, !m_users->GetCheck(row));
}

void CDlgOperatorGroup::OnOK() {
    if (!UpdateData(true)) return;
    if (m_Group.m_strName.empty()) {
        kx::Prompt(this, kNameEmpty, kx::PromptOk, kx::PromptWarning);
        if (QWidget* name = GetDlgItem(IDC_NAME)) name->setFocus();
        return;
    }
    // The members are the checked rows, in row order: an id no account has is dropped.
    m_Group.m_UserList.clear();
    for (int row = 0; row < m_users->GetItemCount(); ++row)
        if (m_users->GetCheck(row)) m_Group.m_UserList.push_back(static_cast<int32_t>(m_users->GetItemData(row)));
    EndDialog(kx::IDOK);
}
