// Creates or modifies a keyword group: its name and note.
#pragma once

#include "model/CkxKeywordGroup.h"
#include "ui/KxNameNoteDlg.h"

class KX_EXPORT CDlgKeywordGroupEdit : public kx::NameNoteDlg<CkxKeywordGroup> {
    Q_OBJECT
public:
    explicit CDlgKeywordGroupEdit(QWidget* parent = nullptr);
};

// Runs the dialog over a copy of the entity (new flag nonzero: create, zero: modify); after OK copies every field
// back and returns 1, else returns 0 and leaves the entity untouched.
KX_EXPORT int KX_ShowDlg_KeywordGroupEdit(int newFlag, CkxKeywordGroup& entity);
