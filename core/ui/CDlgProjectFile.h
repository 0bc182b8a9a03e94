// The list of a project's files (name, type, format, storage folder) with check boxes; the caller
// fills the rows.
#pragma once

#include "ui/KxShowDlg.h"

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgProjectFile : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_FILE = 1216 };

    explicit CDlgProjectFile(QWidget* parent = nullptr);

    kx::ReportList* List() const { return list_; }

private:
    kx::ReportList* list_;
};
