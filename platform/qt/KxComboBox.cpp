#include "qt/KxComboBox.h"

#include <QVariant>

namespace kx {

namespace {
constexpr int kDataRole = Qt::UserRole;
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
}

void ComboBox::SetItemData(int index, std::intptr_t data) {
    setItemData(index, QVariant::fromValue<qlonglong>(data), kDataRole);
}

int ComboBox::AddString(QComboBox* combo, const QString& text, std::intptr_t data) {
    combo->addItem(text, QVariant::fromValue<qlonglong>(data));
    return combo->count() - 1;
}

std::intptr_t ComboBox::ItemData(const QComboBox* combo, int index) {
    if (index < 0 || index >= combo->count()) return -1;
    return static_cast<std::intptr_t>(combo->itemData(index, kDataRole).toLongLong());
}

std::intptr_t ComboBox::CurSelData(const QComboBox* combo) {
    return ItemData(combo, combo->currentIndex());
}

bool ComboBox::SelectData(QComboBox* combo, std::intptr_t data) {
    for (int i = 0; i < combo->count(); ++i) {
        if (ItemData(combo, i) == data) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

} // namespace kx
