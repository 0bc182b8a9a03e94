// Chooses the users of a project: one checkable row per user account. The project's group
// entries are not shown here and come back unchanged after the ticked users.
#pragma once

#include "model/CkxUserX.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgProjectUser : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_USER = 1189 };

    explicit CDlgProjectUser(QWidget* parent = nullptr);

    CkxUserXList m_UserList;
    int m_nNew = 1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::ReportList* list_;
};

// Copies the list in (new flag nonzero: no row starts ticked); after OK replaces the caller's
// list with the ticked users followed by the list's group entries and returns 1, else 0.
KX_EXPORT int KX_ShowDlg_ProjectUser(int newFlag, CkxUserXList& users);
