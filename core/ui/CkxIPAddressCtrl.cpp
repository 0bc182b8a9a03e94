#include "ui/CkxIPAddressCtrl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace {

// One field: blank, or one to three digits worth at most 255. Anything else is refused, so the
// keystroke that would make it so never reaches the field.
class OctetValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (input.isEmpty()) return Acceptable;
        if (input.size() > 3) return Invalid;
        int value = 0;
        for (QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
            value = value * 10 + (c.unicode() - '0');
        }
        return value <= 255 ? Acceptable : Invalid;
    }
};

int Clamp(int v) {
    return std::clamp(v, 0, 255);
}

} // namespace

CkxIPAddressCtrl::CkxIPAddressCtrl(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 0, 1, 0);
    layout->setSpacing(0);
    auto* validator = new OctetValidator(this);
    for (size_t i = 0; i < fields_.size(); ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(validator);
        field->installEventFilter(this);
        fields_[i] = field;
        layout->addWidget(field, 1);
        if (i + 1 < fields_.size()) layout->addWidget(new QLabel(QStringLiteral("."), this));
        // A full field hands the typing on to the next one.
        if (i + 1 < fields_.size()) {
            connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) {
                if (text.size() == 3 && fields_[i]->cursorPosition() == 3) {
                    fields_[i + 1]->setFocus(Qt::OtherFocusReason);
                    fields_[i + 1]->selectAll();
                }
            });
        }
    }
    setFocusProxy(fields_[0]);
}

void CkxIPAddressCtrl::SetAddress(int b0, int b1, int b2, int b3) {
    const int bytes[4] = {b0, b1, b2, b3};
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(QString::number(Clamp(bytes[i])));
}

int CkxIPAddressCtrl::GetAddress(int& b0, int& b1, int& b2, int& b3) const {
    int* out[4] = {&b0, &b1, &b2, &b3};
    int filled = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text();
        *out[i] = text.isEmpty() ? 0 : Clamp(text.toInt());
        if (!text.isEmpty()) ++filled;
    }
    return filled;
}

void CkxIPAddressCtrl::ClearAddress() {
    for (QLineEdit* field : fields_) field->clear();
}

bool CkxIPAddressCtrl::IsBlank() const {
    return std::all_of(fields_.begin(), fields_.end(),
                       [](const QLineEdit* f) { return f->text().isEmpty(); });
}

int CkxIPAddressCtrl::FieldIndex(QObject* watched) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i] == watched) return static_cast<int>(i);
    return -1;
}

bool CkxIPAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int i = FieldIndex(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (i >= 0 && key->key() == Qt::Key_Period) {
            // The separator is never typed into a field; it moves to the next one.
            if (i + 1 < static_cast<int>(fields_.size())) {
                fields_[static_cast<size_t>(i) + 1]->setFocus(Qt::OtherFocusReason);
                fields_[static_cast<size_t>(i) + 1]->selectAll();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
