// Creates, modifies or shows one folder of the catalogue's folder tree: its name and note, with
// its creator's login name shown. Only the name and the note change; every other field of the
// folder travels with the dialog's copy unchanged.
#pragma once

#include "model/CkxFSNode.h"
#include "ui/KxShowDlg.h"

class KX_EXPORT CkxwDlgFSNodeEdit : public kx::EntityDlg<CkxFSNode> {
    Q_OBJECT
public:
    enum { IDC_EDT_CREATOR = 1273 };

    explicit CkxwDlgFSNodeEdit(QWidget* parent = nullptr);

    // 0 shows the folder's information, read-only.
    int m_nEditable = 1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::string m_strName;
    std::string m_strNote;
    std::string m_strCreator;
};

// Runs the dialog over a copy of the folder; after OK copies it back (name and note as edited)
// and returns 1, else 0 with the folder untouched.
KX_EXPORT int KX_ShowDlg_FSNodeEdit(int newFlag, int editable, CkxFSNode& node);

// The quick-key administration dialog: a folder tree, an icon list and a report list that nothing
// fills; either button closes it.
class KX_EXPORT CkxwDlgFSQuickKeyAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TREE_FOLDER = 1081, IDC_LIST_ICON = 1177, IDC_LIST_REPORT = 1118 };

    explicit CkxwDlgFSQuickKeyAdmin(QWidget* parent = nullptr);
};
