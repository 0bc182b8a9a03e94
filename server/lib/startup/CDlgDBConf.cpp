#include "startup/CDlgDBConf.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CDlgDBConf::CDlgDBConf(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("数据库配置"));
    auto* layout = new QVBoxLayout(this);

    m_default = new QCheckBox(QStringLiteral("使用默认数据库"), this);
    SetDlgItemId(m_default, IDC_CHECK_DEFAULT);
    layout->addWidget(m_default);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("数据库文件:"), this));
    m_path = new QLineEdit(this);
    SetDlgItemId(m_path, IDC_EDIT_PATH);
    m_path->setMinimumWidth(320);
    pathRow->addWidget(m_path, 1);
    m_browse = new QPushButton(QStringLiteral("浏览..."), this);
    SetDlgItemId(m_browse, IDC_BUTTON_BROWSE);
    pathRow->addWidget(m_browse);
    layout->addLayout(pathRow);

    m_warn = new QCheckBox(QStringLiteral("每次启动服务器时显示此对话框"), this);
    SetDlgItemId(m_warn, IDC_CHECK_WARN);
    layout->addWidget(m_warn);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);

    connect(m_default, &QCheckBox::toggled, this, [this] { UpdatePathState(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
}

CDlgDBConf::~CDlgDBConf() = default;

void CDlgDBConf::OnInitDialog() {
    m_warn->setChecked(m_conf.nWarn != 0);
    m_default->setChecked(m_conf.nDefault != 0);
    m_path->setText(QString::fromStdString(m_conf.strPath));
    UpdatePathState();
}

void CDlgDBConf::OnOK() {
    m_conf.nWarn = m_warn->isChecked() ? 1 : 0;
    m_conf.nDefault = m_default->isChecked() ? 1 : 0;
    m_conf.strPath = m_path->text().trimmed().toStdString();
    EndDialog(kx::IDOK);
}

void CDlgDBConf::UpdatePathState() {
    const bool own = !m_default->isChecked();
    m_path->setEnabled(own);
    m_browse->setEnabled(own);
}

void CDlgDBConf::OnBrowse() {
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("选择数据库文件"),
                                                      m_path->text());
    if (!file.isEmpty()) m_path->setText(file);
}
