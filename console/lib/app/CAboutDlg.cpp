#include "app/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("关于 Keeper"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    m_text = new QLabel(this);
    SetDlgItemId(m_text, IDC_ABOUT_TEXT);
    m_text->setTextFormat(Qt::PlainText);
    top->addWidget(m_text, 1);
    layout->addLayout(top);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确定"), kx::IDOK));
    layout->addLayout(buttons);
}

void CAboutDlg::OnInitDialog() {
    m_text->setText(QStringLiteral("Keeper 1.0 版\n"
                                   "Varnia 媒体库管理控制台\n"
                                   "管理操作员、操作员组、角色、在线用户、服务器磁盘和日志\n\n"
                                   "版权所有 (C) Varnia 项目组"));
    kx::Dialog::OnInitDialog();
}
