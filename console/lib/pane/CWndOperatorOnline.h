// The online operators pane: one row per account logged on to the server (log-on name and
// name, the user id as the row's data), kept current from the session's online list.
#pragma once

#include <QTreeWidget>

class ConsoleLink;

class CWndOperatorOnline : public QTreeWidget {
public:
    CWndOperatorOnline(ConsoleLink& link, QWidget* parent = nullptr);

    // The notices of the online list (1025 reload, 1026 added, 1027 updated, 1028 removed).
    void OnNotice(int notice, int userId);
    // The row whose data is the user id, or -1.
    int FindRow(int userId) const;
    int GetRowUserId(int row) const;

private:
    void AddRow(int userId);
    void FillRow(QTreeWidgetItem* item, int userId);
};
