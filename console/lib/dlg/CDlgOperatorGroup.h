// The dialog in which an operator group is created or modified, or only given other members
// (the associate mode keeps name and note read-only): every account as a checkable row, with
// "重置", "全选" and "反选". OK refuses an empty name and rebuilds the members from the checked rows.
#pragma once

#include "model/CkxUserGroup.h"
#include "qt/KxDialog.h"

namespace kx {
class ReportList;
}

class CDlgOperatorGroup : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_USERS = 1011, IDC_RESET = 1012, IDC_ALL = 1013, IDC_INVERT = 1014, IDC_NAME = 1019, IDC_NOTE = 1016 };
    static constexpr const char* kNameEmpty = "名称不能为空,请输入名称";
    // The group's name and note hold 49 GBK bytes.
    static constexpr int kTextBytes = 49;

    explicit CDlgOperatorGroup(QWidget* parent = nullptr);

    int m_bReadOnly = 0;
    CkxUserGroup m_Group;
    int m_bCreate = 1;

    kx::ReportList* UserList() const { return m_users; }
    void OnReset();
    void OnSelectAll();
    void OnInvert();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    kx::ReportList* m_users;
};
