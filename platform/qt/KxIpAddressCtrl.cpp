#include "qt/KxIpAddressCtrl.h"

#include "qt/KxEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

namespace kx {

IpAddressCtrl::IpAddressCtrl(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // One line of text, as tall as the edits beside it in a dialog: a taller layout row leaves
    // its spare height around the control, not inside it.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            layout->addWidget(dot);
        }
        auto* field = new Edit(this);
        field->setObjectName(QStringLiteral("field%1").arg(i));
        field->SetDigitsOnly(true);
        field->SetLimitText(3);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMinimumWidth(width);
        field->installEventFilter(this);
        const int index = static_cast<int>(i);
        connect(field, &QLineEdit::textEdited, this, [this, index] { OnEdited(index); });
        layout->addWidget(field, 1);
        fields_[i] = field;
    }
    setFocusProxy(fields_[0]);
}

void IpAddressCtrl::SetAddress(uint32_t packed) {
    SetAddress({static_cast<int>(packed >> 24 & 0xFF), static_cast<int>(packed >> 16 & 0xFF),
                static_cast<int>(packed >> 8 & 0xFF), static_cast<int>(packed & 0xFF)});
}

void IpAddressCtrl::SetAddress(const std::array<int, 4>& numbers) {
    for (size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(QString::number(std::clamp(numbers[i], 0, 255)));
}

std::array<int, 4> IpAddressCtrl::GetNumbers() const {
    std::array<int, 4> numbers{};
    for (size_t i = 0; i < fields_.size(); ++i)
        numbers[i] = std::clamp(fields_[i]->text().toInt(), 0, 255);
    return numbers;
}

int IpAddressCtrl::GetAddress(uint32_t& packed) const {
    const std::array<int, 4> n = GetNumbers();
    packed = static_cast<uint32_t>(n[0]) << 24 | static_cast<uint32_t>(n[1]) << 16 |
             static_cast<uint32_t>(n[2]) << 8 | static_cast<uint32_t>(n[3]);
    int filled = 0;
    for (const Edit* f : fields_)
        if (!f->text().isEmpty()) ++filled;
    return filled;
}

void IpAddressCtrl::ClearAddress() {
    for (Edit* f : fields_) f->clear();
}

bool IpAddressCtrl::IsBlank() const {
    uint32_t packed = 0;
    return GetAddress(packed) == 0;
}

void IpAddressCtrl::SetFieldFocus(int field) {
    if (field < 0 || field >= static_cast<int>(fields_.size())) return;
    Edit* f = fields_[static_cast<size_t>(field)];
    f->setFocus(Qt::OtherFocusReason);
    f->selectAll();
}

void IpAddressCtrl::OnEdited(int field) {
    Edit* f = fields_[static_cast<size_t>(field)];
    if (f->text().toInt() > 255) f->setText(QStringLiteral("255"));
    if (f->text().size() == 3) SetFieldFocus(field + 1);
}

bool IpAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (watched != fields_[i]) continue;
            const int field = static_cast<int>(i);
            if (key->key() == Qt::Key_Period) {
                if (!fields_[i]->text().isEmpty()) SetFieldFocus(field + 1);
                return true;
            }
            if (key->key() == Qt::Key_Backspace && fields_[i]->text().isEmpty() && field > 0) {
                SetFieldFocus(field - 1);
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kx
