// The keyword binding dialog: the keywords bound to one file, chosen from the keyword groups.
// The caller sets the file (none: a pick without a file) and, after OK, reads the bound
// keywords as links in the order they were bound and sends them.
#pragma once

#include "qt/KxDialog.h"

class CkxFile;
class CkxKeywordLinkList;
class CKeywordPickPanel;
class CStudioLink;
class QLineEdit;

class CDlgKeywordBind : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_NAME = 1030, IDC_FAMILY = 1131, IDC_NOTE = 1020 };

    explicit CDlgKeywordBind(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgKeywordBind() override;

    // The file whose keywords are bound; set before DoModal (null: no file).
    const CkxFile* m_pFile = nullptr;

    // Appends one link per bound keyword in bound order, with the file's id (-1 without a
    // file); returns how many.
    int GetKeywordLinks(CkxKeywordLinkList& links) const;

    CKeywordPickPanel* Panel() const { return m_panel; }
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

protected:
    void OnInitDialog() override;

private:
    CStudioLink& m_link;
    CKeywordPickPanel* m_panel = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_family = nullptr;
    QLineEdit* m_note = nullptr;
};
