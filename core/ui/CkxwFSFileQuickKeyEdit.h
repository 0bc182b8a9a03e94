// CkxwFSFileQuickKeyEdit: edits the quick keys of one file ("快捷键"): the folders the current
// user may create files in, with a check box each, the folders holding the file's keys ticked.
// OK makes one key per ticked folder (a kept key keeps its id and kinds, a new one has id -1);
// keys in folders the tree does not show are handed back unchanged after them, since the caller
// sends the list as the file's whole key set.
#pragma once

#include "model/CkxFSQuickKey.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"

class CxTreeCtrl;

class KX_EXPORT CkxwFSFileQuickKeyEdit : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TREE = 1095 };

    explicit CkxwFSFileQuickKeyEdit(QWidget* parent = nullptr);

    CxTreeCtrl* Tree() const { return m_tree; }

    int m_nFileID = -1;
    CkxFSQuickKeyList m_QuickKeyList;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CxTreeCtrl* m_tree = nullptr;
};

// Edits the keys of the file; after OK replaces `keys` with the result and returns 1, else 0.
KX_EXPORT int KX_ShowDlg_FSFileQuickKeyEdit(int fileId, CkxFSQuickKeyList& keys);
