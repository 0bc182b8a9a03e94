// The server information pane: the server machine's memory, processor load, process count and
// drives, asked for each time the pane is shown and on its refresh button, shown when the
// session has copied the answer into the context object.
#pragma once

#include <QWidget>

class ConsoleLink;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CWndServerInfo : public QWidget {
public:
    enum ControlId {
        IDC_MEM_TOTAL = 1504,
        IDC_MEM_AVAIL = 1224,
        IDC_CPU = 1226,
        IDC_PROCESSES = 1225,
        IDC_DRIVES = 1505,
        IDC_REFRESH = 1152,
    };

    CWndServerInfo(ConsoleLink& link, QWidget* parent = nullptr);

    // Empties the texts and the drive list at once, then asks the server again.
    void OnRefresh();
    // Shows the context object's host information.
    void ShowHostInfo();

    QLineEdit* Text(ControlId id) const;
    QTreeWidget* Drives() const { return m_drives; }

private:
    ConsoleLink& m_link;
    QLineEdit* m_memTotal;
    QLineEdit* m_memAvail;
    QLineEdit* m_cpu;
    QLineEdit* m_processes;
    QTreeWidget* m_drives;
};
