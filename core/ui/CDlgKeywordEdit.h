// Creates or modifies a keyword: its text and note.
#pragma once

#include "model/CkxKeyword.h"
#include "ui/KxNameNoteDlg.h"

class KX_EXPORT CDlgKeywordEdit : public kx::NameNoteDlg<CkxKeyword> {
    Q_OBJECT
public:
    explicit CDlgKeywordEdit(QWidget* parent = nullptr);
};

// Runs the dialog over a copy of the entity (new flag nonzero: create, zero: modify); after OK copies every field
// back and returns 1, else returns 0 and leaves the entity untouched.
KX_EXPORT int KX_ShowDlg_KeywordEdit(int newFlag, CkxKeyword& entity);
