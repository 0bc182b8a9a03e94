#include "ui/CkxwDlgFSNodeEdit.h"

#include "model/CkxXXX.h"
#include "qt/KxEdit.h"
#include "qt/KxReportList.h"
#include "qt/KxTreeCtrl.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr const char* kDirNameEmpty = "目录名称不能为空";
constexpr const char* kDirNameTooLong = "目录名称长度不能超过50个字母";
constexpr const char* kDirNameUsed = "目录名称已经存在,请重新输入";
} // namespace

CkxwDlgFSNodeEdit::CkxwDlgFSNodeEdit(QWidget* parent) : kx::EntityDlg<CkxFSNode>(parent) {
    setWindowTitle(QStringLiteral("修改目录"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("目录信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("名    称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    kx::Edit* creator = kx::MakeEdit(this, IDC_EDT_CREATOR);
    creator->setReadOnly(true);
    form->addRow(QStringLiteral("创 建 者"), creator);
    form->addRow(QStringLiteral("备    注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(320, sizeHint().height());
}

void CkxwDlgFSNodeEdit::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    auto* name = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NAME);
    auto* note = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NOTE);
    auto* creator = GetDlgItemAs<kx::Edit>(IDC_EDT_CREATOR);
    // The creator's login name; empty when no user has the id.
    const CkxUser* user = KX_KXXXX().m_UserList.Find(m_Entity.m_nCreatorID);
    const QString creatorName = user ? kx::Q(user->m_strLogon) : QString();

    if (!m_nEditable) {
        if (m_Entity.m_nID == -1) {
            name->setText(QStringLiteral("根目录"));
            note->setText(QStringLiteral("系统默认创建的最高级别目录"));
            creator->setText(QStringLiteral("系统"));
        } else {
            name->setText(kx::Q(m_Entity.m_strName));
            note->setText(kx::Q(m_Entity.m_strNote));
            creator->setText(creatorName);
        }
        name->setReadOnly(true);
        note->setReadOnly(true);
        setWindowTitle(QStringLiteral("目录信息"));
    } else if (IsNew()) {
        creator->setText(creatorName);
        setWindowTitle(QStringLiteral("新建目录"));
    } else {
        name->setText(kx::Q(m_Entity.m_strName));
        note->setText(kx::Q(m_Entity.m_strNote));
        creator->setText(creatorName);
        setWindowTitle(QStringLiteral("修改目录"));
    }
}

void CkxwDlgFSNodeEdit::OnOK() {
    auto* name = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NAME);
    m_strName = name->text().toStdString();
    m_strNote = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NOTE)->text().toStdString();
    kx::OkChecks ok(*this);
    ok.Require(!m_strName.empty(), 0, kDirNameEmpty) // the focus stays where it is
        .AtMost(kx::IDC_EDT_NAME, m_strName, kDirNameTooLong)
        .AtMost(kx::IDC_EDT_NOTE, m_strNote, kx::kNoteTooLong);
    if (!ok.Passed()) return;
    // The folder's own id lets it keep its own name.
    const bool free =
        KX_KXXXX().fsCanUseTheName(m_Entity.m_nParentID, m_Entity.m_nID, m_strName) != 0;
    ok.Require(free, kx::IDC_EDT_NAME, kDirNameUsed);
    if (!free) {
        name->clear();
        return;
    }
    m_Entity.m_strName = m_strName;
    m_Entity.m_strNote = m_strNote;
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_FSNodeEdit(int newFlag, int editable, CkxFSNode& node) {
    return kx::RunDlg<CkxwDlgFSNodeEdit>(
        [&](CkxwDlgFSNodeEdit& d) {
            d.m_nNew = newFlag;
            d.m_nEditable = editable;
            d.m_Entity = node;
        },
        [&](CkxwDlgFSNodeEdit& d) { node = d.m_Entity; });
}

CkxwDlgFSQuickKeyAdmin::CkxwDlgFSQuickKeyAdmin(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("快捷键管理"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* tree = new kx::TreeCtrl(this);
    SetDlgItemId(tree, IDC_TREE_FOLDER);
    row->addWidget(tree, 1);
    auto* icons = new QListWidget(this);
    icons->setViewMode(QListView::IconMode);
    SetDlgItemId(icons, IDC_LIST_ICON);
    row->addWidget(icons, 2);
    layout->addLayout(row);
    auto* report = new kx::ReportList(this);
    SetDlgItemId(report, IDC_LIST_REPORT);
    layout->addWidget(report);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("OK"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("Cancel"), kx::IDCANCEL));
    layout->addLayout(buttons);
    resize(480, 360);
}
