// Drop-down lists whose entries carry item data: entries stay in the order added (never sorted),
// and selecting by data leaves the selection alone when no entry carries it. The static forms
// work on any QComboBox, so data exchange reads plain combo boxes the same way.
#pragma once

#include <QComboBox>

#include <cstdint>

namespace kx {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    // Appends an entry; returns its index.
    int AddString(const QString& text, std::intptr_t data = 0) { return AddString(this, text, data); }
    std::intptr_t GetItemData(int index) const { return ItemData(this, index); }
    void SetItemData(int index, std::intptr_t data);
    // The selected index, -1 when none.
    int GetCurSel() const { return currentIndex(); }
    void SetCurSel(int index) { setCurrentIndex(index); }
    // The selected entry's data, -1 when none is selected.
    std::intptr_t GetCurSelData() const { return CurSelData(this); }
    // Selects the first entry carrying `data`; false (selection unchanged) when none does.
    bool SelectData(std::intptr_t data) { return SelectData(this, data); }
    void ResetContent() { clear(); }

    static int AddString(QComboBox* combo, const QString& text, std::intptr_t data);
    static std::intptr_t ItemData(const QComboBox* combo, int index);
    static std::intptr_t CurSelData(const QComboBox* combo);
    static bool SelectData(QComboBox* combo, std::intptr_t data);
};

} // namespace kx
