#include "storeadmin/CDlgStorageRootAdmin.h"

#include "storeadmin/CDlgSelectDisk.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "storeadmin/ZoZI_Storage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr const char* kAskDelete =
    "删除存储节点会删除节点下的文件,导致文件无法再被访问!\n\n确定删除存储节点?";
constexpr const char* kAskExit =
    "不存在有效的存储节点,系统无法正常运行,即将退出!\n\n确定退出系统";
} // namespace

CDlgStorageRootAdmin::CDlgStorageRootAdmin(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("存储器管理"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("存储节点列表"), this));
    m_list = new QTreeWidget(this);
    SetDlgItemId(m_list, IDC_LIST_STORAGE);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("节点名称"),
                             QStringLiteral("所在磁盘"), QStringLiteral("完全路径")});
    m_list->setColumnWidth(0, 40);
    m_list->setColumnWidth(1, 150);
    m_list->setColumnWidth(2, 60);
    m_list->setColumnWidth(3, 300);
    m_list->header()->setStretchLastSection(false);
    m_list->setMinimumWidth(40 + 150 + 60 + 300 + 24);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    layout->addLayout(buttons);

    // The popup's two sub-menus: one shows for an empty slot, the other for a slot with a root.
    m_menuCreate = new kx::PopupMenu(this);
    m_menuCreate->setObjectName(QStringLiteral("create"));
    m_menuCreate->AppendMenu(QStringLiteral("创建存储节点"), ID_STORAGE_CREATE);
    m_menuDelete = new kx::PopupMenu(this);
    m_menuDelete->setObjectName(QStringLiteral("delete"));
    m_menuDelete->AppendMenu(QStringLiteral("删除存储节点"), ID_STORAGE_DELETE);

    connect(m_list, &QWidget::customContextMenuRequested, this,
            &CDlgStorageRootAdmin::OnContextMenu);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { OnDoubleClick(item); });
}

CDlgStorageRootAdmin::~CDlgStorageRootAdmin() = default;

int CDlgStorageRootAdmin::SetDF(ZoZI_Storage* storage) {
    m_pStorage = storage;
    return storage ? 1 : 0;
}

void CDlgStorageRootAdmin::EnableAdmin(int enable) {
    m_bEnableAdmin = enable;
    m_list->setEnabled(enable != 0);
}

void CDlgStorageRootAdmin::OnInitDialog() {
    m_list->setEnabled(m_bEnableAdmin != 0);
    m_list->clear();
    for (int slot = 0; slot < ZoZI_Storage::kRootCount; ++slot) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::number(slot));
        item->setData(0, Qt::UserRole, slot);
    }
    FillRows();
}

void CDlgStorageRootAdmin::FillRow(int slot) {
    QTreeWidgetItem* item = m_list->topLevelItem(slot);
    if (!item) return;
    QString name, drive, path;
    if (m_pStorage) {
        name = QString::fromStdString(m_pStorage->GetRootName(slot));
        if (m_pStorage->Exists(slot)) {
            drive = QString(QChar(m_pStorage->GetRootDrive(slot))) + QLatin1Char(':');
            path = QString::fromStdString(m_pStorage->GetRootPath(slot));
        }
    }
    item->setText(1, name);
    item->setText(2, drive);
    item->setText(3, path);
}

void CDlgStorageRootAdmin::FillRows() {
    for (int slot = 0; slot < m_list->topLevelItemCount(); ++slot) FillRow(slot);
}

int CDlgStorageRootAdmin::SelectedSlot() const {
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) return -1;
    return item->data(0, Qt::UserRole).toInt();
}

void CDlgStorageRootAdmin::OnContextMenu(const QPoint& pos) {
    if (!m_pStorage || !m_bEnableAdmin) return;
    QTreeWidgetItem* item = m_list->itemAt(pos);
    if (!item) return;
    m_list->setCurrentItem(item);
    int slot = item->data(0, Qt::UserRole).toInt();
    kx::PopupMenu* menu = m_pStorage->Exists(slot) ? m_menuDelete : m_menuCreate;
    if (int id = menu->TrackPopupMenu(m_list->viewport()->mapToGlobal(pos))) OnCommand(id);
}

void CDlgStorageRootAdmin::OnDoubleClick(QTreeWidgetItem* item) {
    if (!item || !m_pStorage || !m_bEnableAdmin) return;
    if (!m_pStorage->Exists(item->data(0, Qt::UserRole).toInt())) OnCreate();
}

void CDlgStorageRootAdmin::OnCommand(int id) {
    if (!m_bEnableAdmin) return;
    if (id == ID_STORAGE_CREATE) OnCreate();
    else if (id == ID_STORAGE_DELETE) OnDelete();
}

void CDlgStorageRootAdmin::OnCreate() {
    int slot = SelectedSlot();
    if (slot < 0 || !m_pStorage) return;
    CDlgSelectDisk dlg(this, m_pStorage->ListDrives());
    if (dlg.DoModal() != kx::IDOK) return;
    m_pStorage->CreateRoot(slot, dlg.GetSelectedDrive());
    // Creating scans the drives again, so every row may have changed.
    FillRows();
}

void CDlgStorageRootAdmin::OnDelete() {
    int slot = SelectedSlot();
    if (slot < 0 || !m_pStorage) return;
    if (kx::Prompt(this, kAskDelete, kx::PromptYesNo, kx::PromptQuestion) != kx::AnswerYes) return;
    m_pStorage->DeleteRoot(slot);
    FillRow(slot);
}

void CDlgStorageRootAdmin::OnOK() {
    if (m_pStorage && m_pStorage->HasUsableRoot()) {
        EndDialog(kx::IDOK);
        return;
    }
    if (kx::Prompt(this, kAskExit, kx::PromptYesNo, kx::PromptQuestion) == kx::AnswerYes)
        EndDialog(kx::IDOK);
}
