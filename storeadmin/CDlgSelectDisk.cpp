#include "storeadmin/CDlgSelectDisk.h"

#include "qt/KxPrompt.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CDlgSelectDisk::CDlgSelectDisk(QWidget* parent, std::vector<StorageDrive> drives)
    : kx::Dialog(parent), m_drives(std::move(drives)) {
    setWindowTitle(QStringLiteral("选择磁盘"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("可选磁盘"), this));
    m_list = new QTreeWidget(this);
    SetDlgItemId(m_list, IDC_LIST_DISK);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("驱动器名称"), QStringLiteral("总容量"),
                             QStringLiteral("可用容量")});
    m_list->setColumnWidth(0, 80);
    m_list->setColumnWidth(1, 100);
    m_list->setColumnWidth(2, 100);
    m_list->header()->setStretchLastSection(false);
    layout->addWidget(m_list);
    layout->addWidget(new QLabel(QStringLiteral("建议不在系统盘创建存储节点"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
}

CDlgSelectDisk::~CDlgSelectDisk() = default;

void CDlgSelectDisk::OnInitDialog() {
    m_list->clear();
    for (const StorageDrive& d : m_drives) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::fromStdString(d.root));
        item->setText(1, QStringLiteral("%1M").arg(d.totalMB));
        item->setText(2, QStringLiteral("%1M").arg(d.freeMB));
    }
}

void CDlgSelectDisk::OnOK() {
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        kx::Prompt(this, "没有选择目录", kx::PromptOk, kx::PromptError);
        return;
    }
    m_selected = item->text(0).toStdString();
    EndDialog(kx::IDOK);
}
