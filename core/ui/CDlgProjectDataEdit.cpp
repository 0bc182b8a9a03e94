#include "ui/CDlgProjectDataEdit.h"

#include "qt/KxEdit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {
constexpr const char* kAliasEmpty = "别名不能为空";
constexpr const char* kAliasTooLong = "别名长度不能超过50个字母";
} // namespace

CDlgProjectDataEdit::CDlgProjectDataEdit(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("项目文件"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("文件信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("别  名"), kx::MakeEdit(this, IDC_EDT_ALIAS));
    form->addRow(QStringLiteral("备  注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(320, sizeHint().height());
}

void CDlgProjectDataEdit::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_EDT_ALIAS, m_strAlias);
    kx::DDX_Text(dx, kx::IDC_EDT_NOTE, m_strNote);
}

void CDlgProjectDataEdit::OnOK() {
    if (!UpdateData(true)) return;
    kx::OkChecks ok(*this);
    ok.NotEmpty(IDC_EDT_ALIAS, m_strAlias, kAliasEmpty)
        .AtMost(IDC_EDT_ALIAS, m_strAlias, kAliasTooLong)
        .AtMost(kx::IDC_EDT_NOTE, m_strNote, kx::kNoteTooLong);
    if (ok.Passed()) EndDialog(kx::IDOK);
}
