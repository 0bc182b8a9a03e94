// Renames a share. Also built directly (constructor, DoModal, then the public copy m_Entity).
#pragma once

#include "model/CkxDataShare.h"
#include "ui/KxNameNoteDlg.h"

class KX_EXPORT CDlgDataShareEdit : public kx::NameNoteDlg<CkxDataShare> {
    Q_OBJECT
public:
    explicit CDlgDataShareEdit(QWidget* parent = nullptr);

    // The name edit's text changed: nothing to do.
    void OnChangeEDTName() {}
};

// Runs the dialog over a copy of the entity; after OK copies every field
// back and returns 1, else returns 0 and leaves the entity untouched.
KX_EXPORT int KX_ShowDlg_FileShareEdit(CkxDataShare& entity);
