#include "qt/KxDialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace kx {

Dialog::Dialog(QWidget* parent) : QDialog(parent) {}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    OnInitDialog();
    int code = exec();
    return code == IDOK ? IDOK : IDCANCEL;
}

bool Dialog::Create(QWidget* parent) {
    if (form_ || !parent) return false;
    form_ = true;
    setParent(parent, Qt::Widget);
    OnInitDialog();
    show();
    return true;
}

bool Dialog::UpdateData(bool save) {
    DataExchange dx(this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

QWidget* Dialog::GetDlgItem(int id) const {
    return findChild<QWidget*>(QString::number(id));
}

void Dialog::SetDlgItemId(QWidget* control, int id) {
    if (control) control->setObjectName(QString::number(id));
}

void Dialog::EndDialog(int result) {
    done(result);
}

QPushButton* Dialog::AddButton(const QString& text, int id) {
    auto* button = new QPushButton(text, this);
    SetDlgItemId(button, id);
    if (id == IDOK) {
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this] { RunOK(); });
    } else if (id == IDCANCEL) {
        connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
    }
    return button;
}

LRESULT Dialog::OnWindowMessage(unsigned, WPARAM, LPARAM) {
    return 0;
}

void Dialog::OnInitDialog() {
    UpdateData(false);
}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::CommitInPlaceEditors() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (auto* host = dynamic_cast<InPlaceEditorHost*>(child)) host->CommitInPlaceEditor();
    }
}

void Dialog::RunOK() {
    CommitInPlaceEditors();
    OnOK();
}

void Dialog::reject() {
    OnCancel();
}

void Dialog::accept() {
    RunOK();
}

void Dialog::keyPressEvent(QKeyEvent* event) {
    // A form inside another window leaves Enter and Escape to the window around it.
    if (form_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && EnterEndsCellEditFirst()) {
        bool ended = false;
        for (QWidget* child : findChildren<QWidget*>()) {
            auto* host = dynamic_cast<InPlaceEditorHost*>(child);
            if (!host || !host->IsInPlaceEditorOpen()) continue;
            host->CommitInPlaceEditor();
            ended = true;
        }
        if (ended) {
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace kx
