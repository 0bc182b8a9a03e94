#include "pane/CWndServerInfo.h"

#include "link/ConsoleLink.h"
#include "base/Record.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

QLineEdit* ReadOnly(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setObjectName(QString::number(id));
    return edit;
}

// A fixed text field of a drive record (it may fill its field without a NUL).
QString FieldText(const char* field, size_t size) {
    return QString::fromStdString(std::string(field, strnlen(field, size)));
}

QString Megabytes(uint32_t kb) { return QString::number(kb >> 10) + "M"; }

} // namespace

CWndServerInfo::CWndServerInfo(ConsoleLink& link, QWidget* parent) : QWidget(parent), m_link(link) {
    setObjectName("CWndServerInfo");
    m_memTotal = ReadOnly(this, IDC_MEM_TOTAL);
    m_memAvail = ReadOnly(this, IDC_MEM_AVAIL);
    m_cpu = ReadOnly(this, IDC_CPU);
    m_processes = ReadOnly(this, IDC_PROCESSES);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("内存总数"), m_memTotal);
    form->addRow(QStringLiteral("可用内存"), m_memAvail);
    form->addRow(QStringLiteral("CPU占用率"), m_cpu);
    form->addRow(QStringLiteral("进 程 数"), m_processes);

    m_drives = new QTreeWidget(this);
    m_drives->setObjectName(QString::number(IDC_DRIVES));
    m_drives->setRootIsDecorated(false);
    m_drives->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_drives->setHeaderLabels({QStringLiteral("驱动器名称"), QStringLiteral("驱动器类型"), QStringLiteral("总容量"),
                               QStringLiteral("可用容量"), QStringLiteral("驱动器格式")});
    const int widths[] = {80, 80, 100, 100, 74};
    for (int i = 0; i < 5; ++i) m_drives->header()->resizeSection(i, widths[i]);

    auto* refresh = new QPushButton(QStringLiteral("刷新"), this);
    refresh->setObjectName(QString::number(IDC_REFRESH));
    connect(refresh, &QPushButton::clicked, this, [this] { OnRefresh(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_drives, 1);
    layout->addLayout(buttons);

    link.Observe(kx::kMsgHostInfo, this, [this](int notice, int) {
        if (notice == kNoticeUpdated) ShowHostInfo();
    });
}

QLineEdit* CWndServerInfo::Text(ControlId id) const {
    switch (id) {
    case IDC_MEM_TOTAL: return m_memTotal;
    case IDC_MEM_AVAIL: return m_memAvail;
    case IDC_CPU: return m_cpu;
    case IDC_PROCESSES: return m_processes;
    default: return nullptr;
    }
}

void CWndServerInfo::OnRefresh() {
    for (QLineEdit* e : {m_memTotal, m_memAvail, m_cpu, m_processes}) e->clear();
    m_drives->clear();
    m_link.SendHostInfoRequest();
}

void CWndServerInfo::ShowHostInfo() {
    const CkxHostInfo& info = KX_KXXXX().m_HostInfo;
    // Unsigned counts: a machine of 2 TiB or more never shows a negative size.
    m_memTotal->setText(Megabytes(info.m_nMemTotal));
    m_memAvail->setText(Megabytes(info.m_nMemAvail));
    // A load the server could not measure is left empty rather than shown as -1%.
    m_cpu->setText(info.m_nCpu == CkxHostInfo::kCpuUnknown ? QString() : QString::number(info.m_nCpu) + "%");
    m_processes->setText(QString::number(info.m_nProcesses));
    m_drives->clear();
    for (int i = 0; i < 26; ++i) {
        const CkxHostInfo::_DRIVE& d = info.m_drives[i];
        const QString root = FieldText(d.szRoot, sizeof d.szRoot);
        if (root.isEmpty()) continue;
        auto* row = new QTreeWidgetItem({root, FieldText(d.szType, sizeof d.szType), QString::number(d.nTotalMB) + "M",
                                         QString::number(d.nFreeMB) + "M",
                                         FieldText(d.szFileSystem, sizeof d.szFileSystem)});
        m_drives->insertTopLevelItem(std::min(i, m_drives->topLevelItemCount()), row);
    }
}
