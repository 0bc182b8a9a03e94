#include "pane/CWndLog.h"

#include "dlg/CDlgLogQuery.h"
#include "link/ConsoleLink.h"
#include "model/CkxLog.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"

#include <QIcon>
#include <QStyle>

namespace {
constexpr int kLevelImageRole = Qt::UserRole + 50;
}

CWndLog::CWndLog(ConsoleLink& link, QWidget* parent) : kx::ReportList(parent), m_link(link) {
    setObjectName("CWndLog");
    const std::pair<const char*, int> columns[] = {{"类型", 50}, {"序号", 40}, {"操作类别", 60},
                                                    {"操作员", 100}, {"时间", 120}, {"描述", 400}};
    int c = 0;
    for (const auto& [title, width] : columns) InsertColumn(c++, QString::fromUtf8(title), kx::LVCFMT_LEFT, width);
    SetFullRowSelect(true);
    m_menu = new kx::PopupMenu(this);
    m_menu->setObjectName("166:log");
    m_menu->AppendMenu(QStringLiteral("查询日志"), ID_QUERY);
    m_menu->AppendSeparator();
    m_menu->AppendMenu(QStringLiteral("删除日志"), ID_DELETE);
    connect(this, &kx::ReportList::ItemRightClicked, this, [this](int, int, const QPoint& at) {
        const int id = m_menu->TrackPopupMenu(at);
        if (id > 0) OnCommand(id);
    });
    link.Observe(kx::kMsgLogQuery, this, [this](int notice, int) { OnNotice(notice); });
}

int CWndLog::LevelImage(int level) { return level == KXLOG_WARN ? 1 : level == KXLOG_ERROR ? 2 : 0; }

int CWndLog::RowLevelImage(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kLevelImageRole).toInt() : -1;
}

QTreeWidgetItem* CWndLog::MakeRow(const CkxLog& log, int row, const QIcon (&icons)[3]) const {
    QTreeWidgetItem* item = NewRow(QString::fromStdString(log.GetLevStr()));
    const int image = LevelImage(log.m_nLev);
    item->setIcon(0, icons[image]);
    item->setData(0, kLevelImageRole, image);
    item->setText(1, QString::number(row));
    item->setText(2, QString::fromUtf8(LogCategoryText(log.m_nType)));
    item->setText(3, QString::fromStdString(KX_KXXXX().m_UserList.GetName(log.m_nUser)));
    item->setText(4, QString::fromStdString(log.GetTimeStr()));
    item->setText(5, QString::fromStdString(log.m_strEvent));
    return item;
}

void CWndLog::OnNotice(int notice) {
    if (notice != kNoticeReload) return;
    DeleteAllItems();
    // The rows are made off the list and added in one step (a long answer is laid out once),
    // with the three level icons looked up once.
    const QIcon icons[3] = {style()->standardIcon(QStyle::SP_MessageBoxInformation),
                            style()->standardIcon(QStyle::SP_MessageBoxWarning),
                            style()->standardIcon(QStyle::SP_MessageBoxCritical)};
    const CkxLogList& logs = KX_LogList();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(logs.GetCount()));
    for (POSITION p = logs.GetHeadPosition(); p;) rows.append(MakeRow(logs.GetNext(p), static_cast<int>(rows.size()), icons));
    AppendRows(rows);
    // The level's word beside its icon: the column widens when 50 pixels cut it.
    const int needed = sizeHintForColumn(0);
    if (needed > GetColumnWidth(0)) SetColumnWidth(0, needed);
}

void CWndLog::OnCommand(int id) {
    switch (id) {
    case ID_QUERY: {
        CDlgLogQuery dlg(this);
        if (dlg.DoModal() != kx::IDOK) return;
        // The session empties the list (and the pane) before it asks: no answer means no line.
        m_link.SendLogQueryRequest(dlg.m_Filter);
        return;
    }
    case ID_DELETE: {
        CDlgLogDelete dlg(this);
        if (dlg.DoModal() != kx::IDOK) return;
        // The server deletes every line up to the last second of the day it is sent; the dialog
        // promises the lines before the chosen day, so the day before it goes.
        COleDateTime dayBefore = dlg.m_dtTime;
        dayBefore.m_dt -= 1.0;
        m_link.SendLogDeleteRequest(dayBefore.m_dt);
        return;
    }
    default: return;
    }
}
