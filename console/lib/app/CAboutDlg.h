// Keeper's About box (dialog 100): the program's name, version and owner lines in one text
// control (1287) filled when the box opens.
#pragma once

#include "qt/KxDialog.h"

class QLabel;

class CAboutDlg : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 100, IDC_ABOUT_TEXT = 1287 };

    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    QLabel* m_text = nullptr;
};
