// CDlgFamilySelect: picks one family from the family tree ("选择族类"): the registry's families
// under a root item "族类", opening on the family handed in; OK or a double click chooses the
// selected family (-1 for the root item or nothing).
#pragma once

#include "qt/KxDialog.h"
#include "model/KxExport.h"

class CkxFamilyTreeCtrl;

class KX_EXPORT CDlgFamilySelect : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TREE = 1095 };

    explicit CDlgFamilySelect(QWidget* parent = nullptr);

    int GetCurSelFamily() const { return m_nFamilyID; }
    CkxFamilyTreeCtrl* Tree() const { return m_tree; }

    // The family selected when the tree opens; after OK the chosen one.
    int m_nFamilyID = -1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CkxFamilyTreeCtrl* m_tree = nullptr;
};

// Opens on the family id; after OK stores the chosen id and returns 1, else 0 (id untouched).
KX_EXPORT int KX_ShowDlg_FamilySelect(int& familyId);
