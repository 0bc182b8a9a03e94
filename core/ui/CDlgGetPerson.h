// Picks one person of the process's person list; the result is the person's id (-1 when OK is
// pressed with no row selected).
#pragma once

#include "model/CkxPerson.h"
#include "ui/KxShowDlg.h"

#include <string>

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgGetPerson : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_PERSON = 1025 };

    explicit CDlgGetPerson(QWidget* parent = nullptr);

    // Stores the caption shown when the dialog opens (empty keeps "选择人员").
    void SetWindowTextA(const std::string& caption) { m_strCaption = caption; }
    // Adds the person as a row: name, relation, title, note; item data = person id.
    void AddPerson(const CkxPerson& person);

    std::string m_strCaption;
    int m_nPersonID = -1; // the chosen person, -1 until chosen

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::ReportList* list_;
};

// Shows the persons under `caption`; after OK stores the chosen id in `personId` (-1 when no row
// was selected) and returns 1; otherwise returns 0 and leaves `personId` alone. The id handed
// in is not shown.
KX_EXPORT int KX_ShowDlg_GetPerson(const std::string& caption, int& personId);
