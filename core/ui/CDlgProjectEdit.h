// Creates or modifies a project: name, state, coworker (a person), description and note; the
// member list and every other field travel with the dialog's copy unchanged.
#pragma once

#include "model/CkxProject.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ComboBox;
}

class KX_EXPORT CDlgProjectEdit : public kx::EntityDlg<CkxProject> {
    Q_OBJECT
public:
    enum { IDC_CMB_STATE = 1090, IDC_CMB_COWORKER = 1091, IDC_EDT_DESCRIBE = 1088 };

    explicit CDlgProjectEdit(QWidget* parent = nullptr);

    // Select the entry whose item data is the value; nothing changes when none carries it.
    void SeleteState(int state);
    void SelectCoworker(int personId);

    // The state's text: 1 "启动", 2 "过程", 3 "完成"; empty for any other code.
    static const char* StateText(int state);

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;

private:
    kx::ComboBox* state_;
    kx::ComboBox* coworker_;
};

// Runs the dialog over a copy of the project (new flag nonzero: create); after OK copies every
// field back and returns 1, else 0 with the project untouched. Creating stamps both dates with
// the current time; modifying keeps the creation date and stamps the second.
KX_EXPORT int KX_ShowDlg_ProjectEdit(int newFlag, CkxProject& project);
