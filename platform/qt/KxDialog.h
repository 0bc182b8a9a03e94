// Base of the programs' dialogs on Qt Widgets: controls are found by their numeric id (kept as
// objectName), a modal run returns IDOK or IDCANCEL, and OnInitDialog/OnOK/OnCancel are the
// places a dialog fills itself, checks its input and decides whether it may close.
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace kx {

enum DialogResult { IDOK = 1, IDCANCEL = 2 };

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // Runs OnInitDialog, then the dialog modally; returns the code given to EndDialog
    // (IDOK or IDCANCEL; closing the window or Escape count as IDCANCEL).
    int DoModal();

    // The child control that carries `id` as its objectName, or null.
    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const {
        return findChild<T*>(QString::number(id));
    }

    // Gives a control its numeric id.
    static void SetDlgItemId(QWidget* control, int id);

    // Ends the modal run with `result`.
    void EndDialog(int result);

    // A push button with its id; IDOK and IDCANCEL buttons call OnOK/OnCancel when clicked.
    QPushButton* AddButton(const QString& text, int id);

protected:
    // Called once per DoModal before the dialog shows.
    virtual void OnInitDialog() {}
    // Default: close with IDOK / IDCANCEL. Overrides may keep the dialog open by not calling
    // EndDialog.
    virtual void OnOK();
    virtual void OnCancel();

    // Escape and the window's close button go through OnCancel, Enter through OnOK.
    void reject() override;
    void accept() override;
};

} // namespace kx
