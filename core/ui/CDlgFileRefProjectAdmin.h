// Chooses the projects a file belongs to: one checkable row per project, the file's linked
// projects ticked. After OK the result holds one link per ticked project: a copy of the existing
// link as the catalogue holds it, or a new link (id -1) for a project not linked yet.
#pragma once

#include "model/CkxProjectData.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgFileRefProjectAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_PROJECT = 1206 };

    explicit CDlgFileRefProjectAdmin(QWidget* parent = nullptr);

    int m_nFileID = -1;
    CkxProjectDataList m_Result;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::ReportList* list_;
};

// After OK appends a copy of each resulting link to the caller's list (which is not emptied
// first) and returns 1; else 0 with the list untouched.
KX_EXPORT int KX_ShowDlg_FileRefProjectAdmin(int fileId, CkxProjectDataList& links);
