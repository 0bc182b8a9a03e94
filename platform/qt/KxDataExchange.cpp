#include "qt/KxDataExchange.h"

#include "qt/KxComboBox.h"
#include "qt/KxDialog.h"
#include "qt/KxPrompt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>

namespace kx {

QWidget* DataExchange::Control(int id) const {
    if (failed_) return nullptr;
    QWidget* w = dialog_ ? dialog_->GetDlgItem(id) : nullptr;
    if (!w) std::fprintf(stderr, "data exchange: no control %d\n", id);
    return w;
}

void DataExchange::Fail(QWidget* control, const char* message) {
    failed_ = true;
    Prompt(dialog_, message, PromptOk, PromptWarning);
    if (control) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    }
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    QWidget* w = dx.Control(id);
    if (!w) return;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (dx.Saving()) value = edit->text().toStdString();
        else edit->setText(QString::fromStdString(value));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (dx.Saving()) value = plain->toPlainText().toStdString();
        else plain->setPlainText(QString::fromStdString(value));
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        if (dx.Saving()) value = rich->toPlainText().toStdString();
        else rich->setPlainText(QString::fromStdString(value));
    } else {
        std::fprintf(stderr, "data exchange: control %d holds no text\n", id);
    }
}

void DDX_Text(DataExchange& dx, int id, int& value) {
    auto* edit = qobject_cast<QLineEdit*>(dx.Control(id));
    if (!edit) return;
    if (!dx.Saving()) {
        edit->setText(QString::number(value)); // QString::number ignores the locale
        return;
    }
    bool ok = false;
    int read = edit->text().trimmed().toInt(&ok, 10); // QString::toInt ignores the locale
    if (!ok) {
        dx.Fail(edit, kEnterInteger);
        return;
    }
    value = read;
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    auto* button = qobject_cast<QAbstractButton*>(dx.Control(id));
    if (!button) return;
    if (dx.Saving()) value = button->isChecked() ? 1 : 0;
    else button->setChecked(value != 0);
}

void DDX_CBData(DataExchange& dx, int id, int& value) {
    auto* combo = qobject_cast<QComboBox*>(dx.Control(id));
    if (!combo) return;
    if (dx.Saving()) value = static_cast<int>(ComboBox::CurSelData(combo));
    else ComboBox::SelectData(combo, value);
}

void DDX_DateTime(DataExchange& dx, int id, COleDateTime& value) {
    auto* picker = qobject_cast<QDateTimeEdit*>(dx.Control(id));
    if (!picker) return;
    if (dx.Saving()) {
        QDateTime t = picker->dateTime();
        value = COleDateTime(t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                             t.time().minute(), t.time().second());
    } else if (value.GetStatus() == COleDateTime::valid) {
        picker->setDateTime(QDateTime(QDate(value.GetYear(), value.GetMonth(), value.GetDay()),
                                      QTime(value.GetHour(), value.GetMinute(), value.GetSecond())));
    }
}

} // namespace kx
