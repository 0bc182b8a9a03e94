// The print layout dialog "打印排版": the paper's orientation and how the picture is laid on the
// paper, and whether the dialog shows before every print. OK puts the orientation on the
// application's printer and stores the choices; Cancel stores nothing.
#pragma once

#include "qt/KxDialog.h"

class CVarniaStudioApp;
class QCheckBox;
class QRadioButton;

class CDlgPrintLayout : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 223 };
    enum ControlId {
        IDC_PORTRAIT = 1226, IDC_LANDSCAPE = 1227,
        IDC_FIT_NATURAL = 1228, IDC_FIT_PAPER = 1229, IDC_FIT_FILL = 1230, IDC_SHOW_ALWAYS = 1231,
    };

    explicit CDlgPrintLayout(CVarniaStudioApp& app, QWidget* parent = nullptr);

    // 1 portrait, 2 landscape; 1 natural size, 2 fit the paper, 3 fill it. Read after OK.
    int m_nOrientation = 1;
    int m_nFitMode = 1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Checks the radio and unchecks the others of its group.
    void Check(int id);

    CVarniaStudioApp& m_app;
    QRadioButton* m_radios[5] = {};
    QCheckBox* m_showAlways = nullptr;
};
