// Renames a bookmark.
#pragma once

#include "model/CkxDataTag.h"
#include "ui/KxNameNoteDlg.h"

class KX_EXPORT CDlgDataTagEdit : public kx::NameNoteDlg<CkxDataTag> {
    Q_OBJECT
public:
    explicit CDlgDataTagEdit(QWidget* parent = nullptr);
};

// Runs the dialog over a copy of the entity; after OK copies every field
// back and returns 1, else returns 0 and leaves the entity untouched.
KX_EXPORT int KX_ShowDlg_FileTagEdit(CkxDataTag& entity);
