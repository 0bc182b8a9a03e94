// Base of the programs' dialogs and forms on Qt Widgets: controls are found by their numeric id
// (kept as objectName), a modal run returns IDOK or IDCANCEL, OnInitDialog/OnOK/OnCancel are the
// places a dialog fills itself, checks its input and decides whether it may close, and
// DoDataExchange binds members to controls both ways.
//
// Rule for every dialog and form class built on this layer (and every window a test drives):
// the class carries Q_OBJECT, so qobject_cast and the tests' modal driver (Then<CDlgX>) match it
// by its own class, not by a base.
#pragma once

#include "qt/KxDataExchange.h"
#include "qt/KxWindowMessage.h"

#include <QDialog>
#include <QString>

class QPushButton;

namespace kx {

enum DialogResult { IDOK = 1, IDCANCEL = 2 };

// A control that can hold an open in-place editor (the editable lists). Before a dialog runs
// OnOK it asks each such child to write its open editor back, so the last edit is not lost when
// Enter in the editor reaches the dialog's OK first.
class InPlaceEditorHost {
public:
    virtual ~InPlaceEditorHost() = default;
    // Writes the open editor's text into the control and closes the editor; nothing when none.
    virtual void CommitInPlaceEditor() = 0;
    // True while an editor is open in the control.
    virtual bool IsInPlaceEditorOpen() const { return false; }
};

class Dialog : public QDialog, public MessageReceiver {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // Runs OnInitDialog, then the dialog modally; returns the code given to EndDialog
    // (IDOK or IDCANCEL; closing the window or Escape count as IDCANCEL).
    int DoModal();

    // Makes the dialog a modeless child form of `parent` (a panel or tab page): runs
    // OnInitDialog once and shows it inside the parent. Enter and Escape do not close a form.
    bool Create(QWidget* parent);
    // True after Create.
    bool IsForm() const { return form_; }

    // Moves the members into the controls (save false) or reads the controls back into the
    // members (save true) through DoDataExchange. A failed read has told the user, put the focus
    // on the control at fault and returns false; members read before it keep their new values.
    bool UpdateData(bool save = true);

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

    // Window messages sent or posted to the dialog (SendMessage/PostMessage); 0 by default.
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Called once per DoModal (or by Create) before the dialog shows. The base moves the members
    // into the controls (UpdateData(false)).
    virtual void OnInitDialog();
    // The base reads the controls back (UpdateData(true)) and, when that succeeds, closes with
    // IDOK. Overrides may keep the dialog open by not calling EndDialog. OnCancel closes with
    // IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    // Binds members to controls with the DDX_ functions; nothing by default.
    virtual void DoDataExchange(DataExchange& dx);

    // Escape and the window's close button go through OnCancel, Enter through OnOK (after every
    // open in-place editor was committed).
    void reject() override;
    void accept() override;
    void keyPressEvent(QKeyEvent* event) override;

protected:
    // The hook before Enter runs OK: a dialog whose grids are edited cell by cell answers true,
    // and then Enter while a cell's editor is open only ends that edit (the dialog stays open);
    // the next Enter runs OK. By default Enter commits every open editor and runs OK at once.
    virtual bool EnterEndsCellEditFirst() const { return false; }

private:
    void RunOK();
    void CommitInPlaceEditors();

    bool form_ = false;
};

} // namespace kx
