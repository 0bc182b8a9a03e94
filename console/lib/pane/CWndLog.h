// Keeper's log pane: the log lines of the last query, one row each (level with its icon, row
// number from 0, category, operator, time, text); menu 166 runs the query and delete dialogs.
#pragma once

#include "qt/KxReportList.h"

class ConsoleLink;
class QIcon;
class QTreeWidgetItem;
class CkxLog;
namespace kx {
class PopupMenu;
}

class CWndLog : public kx::ReportList {
public:
    enum { ID_QUERY = 32774, ID_DELETE = 32775 };

    explicit CWndLog(ConsoleLink& link, QWidget* parent = nullptr);

    void OnNotice(int notice);
    void OnCommand(int id);
    kx::PopupMenu* Menu() const { return m_menu; }
    // The level icon's index of a row: 0 normal (and any unknown level), 1 warning, 2 severe.
    int RowLevelImage(int row) const;
    static int LevelImage(int level);

private:
    // The row of a log line at index `row`, not yet in the list.
    QTreeWidgetItem* MakeRow(const CkxLog& log, int row, const QIcon (&icons)[3]) const;

    ConsoleLink& m_link;
    kx::PopupMenu* m_menu;
};
