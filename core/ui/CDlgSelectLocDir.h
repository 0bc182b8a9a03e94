// Picks a folder of the catalogue's folder tree that the current user may read (where captured
// files are to be stored). The root item stands for "no folder" (-1).
#pragma once

#include "ui/KxShowDlg.h"

class CxTreeCtrl;
class QPlainTextEdit;

class KX_EXPORT CDlgSelectLocDir : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TREE_DIR = 1007, IDC_EDT_PATH = 1024 };

    explicit CDlgSelectLocDir(QWidget* parent = nullptr);

    // The chosen folder id; -1 for the root or nothing chosen.
    int GetCurSelLocDir() const { return m_nDirID; }
    int m_nDirID = -1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void ShowPath();

    CxTreeCtrl* tree_;
    QPlainTextEdit* path_;
};

// Starts at the folder `folderId` names; after OK stores the chosen folder id (-1 for the root or
// when no item is selected) and returns 1, else 0 with `folderId` untouched.
KX_EXPORT int KX_ShowDlg_SelectLocDir(int& folderId);
// The same for files about to be stored there: a chosen folder the current user may not create
// files in is refused with "您没有在"%s"目录下创建文件的权限" (a warning over `parent`) and 0
// returned with `folderId` untouched; 1 with the folder otherwise, 0 on Cancel.
KX_EXPORT int KX_ShowDlg_SelectCreateLocDir(QWidget* parent, int& folderId);
