#include "qt/KxDialog.h"

#include <QPushButton>

namespace kx {

Dialog::Dialog(QWidget* parent) : QDialog(parent) {}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    OnInitDialog();
    int code = exec();
    return code == IDOK ? IDOK : IDCANCEL;
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
        connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
    } else if (id == IDCANCEL) {
        connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
    }
    return button;
}

void Dialog::OnOK() {
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::reject() {
    OnCancel();
}

void Dialog::accept() {
    OnOK();
}

} // namespace kx
