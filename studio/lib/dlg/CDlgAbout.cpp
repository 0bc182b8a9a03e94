#include "dlg/CDlgAbout.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgAbout::CDlgAbout(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("关于 Varnia Studio"));
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QString::fromUtf8(kTitleLine) + QStringLiteral("\n") + QString::fromUtf8(kVersion), this);
    SetDlgItemId(title, IDC_TITLE);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    auto* particulars = new QLabel(QString::fromUtf8(kParticulars), this);
    SetDlgItemId(particulars, IDC_PARTICULARS);
    particulars->setWordWrap(true);
    layout->addWidget(particulars);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    layout->addLayout(buttons);
    resize(360, 160);
}
