// Picks one user group while showing its members (the rights dialogs use it). Callers build it
// themselves (constructor, DoModal) and read m_nGroupID after OK: the chosen group, or -1.
#pragma once

#include "model/CkxUser.h"
#include "ui/KxShowDlg.h"

class QListWidget;

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgOperatorGroupSelect : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_GROUP = 1182, IDC_LIST_MEMBER = 1183 };

    explicit CDlgOperatorGroupSelect(QWidget* parent = nullptr);

    // Adds the user as a member row: login name, name.
    void AddOperator(const CkxUser& user);
    // Refills the member list from the selected group (looked up by id in the process's list);
    // member ids that no user carries are skipped.
    void OnSelchangeLISTGroup();

    int m_nGroupID = -1; // after OK: the chosen group, -1 when none

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // The selected group's id, -1 when none.
    int SelectedGroupID() const;

    QListWidget* groups_;
    kx::ReportList* members_;
};
