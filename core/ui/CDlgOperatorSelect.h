// Picks one user account (an operator). Callers build it themselves (constructor, DoModal) and
// read m_User after OK: a copy of the chosen user, or none. A copy and not a pointer into the
// process's user list, because queued server messages handled while the dialog runs may replace
// or delete that entry.
#pragma once

#include "model/CkxUser.h"
#include "ui/KxShowDlg.h"

#include <optional>
#include <string>

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgOperatorSelect : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_OPERATOR = 1157 };

    explicit CDlgOperatorSelect(QWidget* parent = nullptr);

    // The id of the first selected row, -1 when none.
    int GetCurSelOperatorID() const;
    // Adds the user as a row: login name, role, department; item data = user id.
    void AddOperator(const CkxUser& user);

    // The role's text as the operator lists show it: 1 "管理员", 2 "编辑员", 3 "检索员",
    // 4 "设备", anything else "无效".
    static std::string RoleText(int role);

    std::optional<CkxUser> m_User; // after OK: the chosen user as it was then, or none

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::ReportList* list_;
};
