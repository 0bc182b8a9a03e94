#include "pane/CWndLog.h"

#include "dlg/CDlgLogQuery.h"
#include "link/ConsoleLink.h"
#include "model/CkxLog.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"

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

void CWndLog::AppendRow(const CkxLog& log) {
    static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning,
                                                    QStyle::SP_MessageBoxCritical};
    const int row = InsertItem(GetItemCount(), QString::fromStdString(log.GetLevStr()));
    if (row < 0) return;
    const int image = LevelImage(log.m_nLev);
    topLevelItem(row)->setIcon(0, style()->standardIcon(kIcons[image]));
    topLevelItem(row)->setData(0, kLevelImageRole, image);
    SetItemText(row, 1, QString::number(row));
    SetItemText(row, 2, QString::fromUtf8(LogCategoryText(log.m_nType)));
    SetItemText(row, 3, QString::fromStdString(KX_KXXXX().m_UserList.GetName(log.m_nUser)));
    SetItemText(row, 4, QString::fromStdString(log.GetTimeStr()));
    SetItemText(row, 5, QString::fromStdString(log.m_strEvent));
}

void CWndLog::OnNotice(int notice) {
    if (notice != kNoticeReload) return;
    DeleteAllItems();
    const CkxLogList& logs = KX_LogList();
    for (POSITION p = logs.GetHeadPosition(); p;) AppendRow(logs.GetNext(p));
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
