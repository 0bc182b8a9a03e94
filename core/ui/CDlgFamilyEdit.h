// The family dialogs that edit one family:
//   CDlgFamilyEdit     its name, note, data kind and parent ("族类编辑");
//   CDlgFamilyNodeAdd  the name and note of a new sub-family or of a renamed family, refusing a
//                      name another family bears ("新建子族" / "修改族类").
#pragma once

#include "model/CkxFamily.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ComboBox;
}

class KX_EXPORT CDlgFamilyEdit : public kx::EntityDlg<CkxFamily> {
    Q_OBJECT
public:
    enum { IDC_COB_TYPE = 1057, IDC_COB_PARENT = 1055 };

    explicit CDlgFamilyEdit(QWidget* parent = nullptr);

    // The selected data kind (0: nothing selected) and parent id (-1: nothing selected).
    int GetSelMode() const;
    int GetSelParent() const;
    // Select the entry whose data is the value; nothing changes when none is.
    void SelMode(int kind);
    void SelParent(int parentId);

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;

private:
    kx::ComboBox* m_type = nullptr;
    kx::ComboBox* m_parent = nullptr;
};

class KX_EXPORT CDlgFamilyNodeAdd : public kx::EntityDlg<CkxFamily> {
    Q_OBJECT
public:
    explicit CDlgFamilyNodeAdd(QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;
};

// Run the dialog over a copy of the family (new flag nonzero: create); after OK every field is
// copied back and 1 returned, else 0 and the family is untouched.
KX_EXPORT int KX_ShowDlg_FamilyEdit(int newFlag, CkxFamily& family);
KX_EXPORT int KX_ShowDlg_FamilyNodeAdd(int newFlag, CkxFamily& family);
