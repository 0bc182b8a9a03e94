// Edits the alias and note of a file within a project. Callers set the two texts, run it and read
// them back after OK.
#pragma once

#include "ui/KxShowDlg.h"

#include <string>

class KX_EXPORT CDlgProjectDataEdit : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_EDT_ALIAS = 1092 };

    explicit CDlgProjectDataEdit(QWidget* parent = nullptr);

    std::string m_strAlias;
    std::string m_strNote;

protected:
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;
};
