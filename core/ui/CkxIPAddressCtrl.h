// CkxIPAddressCtrl: the four-field IPv4 address editor of the editable list. Each field takes
// 0 to 255: a digit that would make a field exceed 255, or a fourth digit, is refused as typed.
// A '.' or a field's third digit moves on to the next field. A blank field reads as 0.
#pragma once

#include "model/KxExport.h"

#include <QWidget>

#include <array>

class QLineEdit;

class KX_EXPORT CkxIPAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CkxIPAddressCtrl(QWidget* parent = nullptr);

    // Sets the four fields (each clamped to 0..255).
    void SetAddress(int b0, int b1, int b2, int b3);
    // Reads the four fields; returns how many of them are not blank.
    int GetAddress(int& b0, int& b1, int& b2, int& b3) const;
    // Blanks every field.
    void ClearAddress();
    // True when every field is blank.
    bool IsBlank() const;

    // The field `index` (0..3), for tests and focus handling.
    QLineEdit* Field(int index) const { return fields_[static_cast<size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int FieldIndex(QObject* watched) const;

    std::array<QLineEdit*, 4> fields_{};
};
