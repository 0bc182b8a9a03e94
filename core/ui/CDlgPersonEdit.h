// Creates or modifies a person named in file data: name, business relation, title and note.
#pragma once

#include "model/CkxPerson.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ComboBox;
}

class KX_EXPORT CDlgPersonEdit : public kx::EntityDlg<CkxPerson> {
    Q_OBJECT
public:
    enum { IDC_CMB_RELATION = 1031, IDC_CMB_TITLE = 1032 };

    explicit CDlgPersonEdit(QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;

private:
    kx::ComboBox* relation_;
    kx::ComboBox* title_;
};

// Runs the dialog over a copy of the person (new flag nonzero: create, zero: modify); after OK
// copies every field back and returns 1, else returns 0 and leaves the person untouched.
KX_EXPORT int KX_ShowDlg_PersonEdit(int newFlag, CkxPerson& person);
