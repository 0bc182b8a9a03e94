// The address control of the login dialogs: four number fields (0 to 255) separated by dots.
// The packed form puts the first number in the highest byte, as the settings store it. A blank
// field reads as 0. Typing three digits or a dot moves on to the next field; a number above 255
// becomes 255.
#pragma once

#include <QFrame>

#include <array>
#include <cstdint>

namespace kx {

class Edit;

class IpAddressCtrl : public QFrame {
    Q_OBJECT
public:
    explicit IpAddressCtrl(QWidget* parent = nullptr);

    void SetAddress(uint32_t packed);
    void SetAddress(const std::array<int, 4>& numbers);
    // The packed address; returns how many fields are not blank.
    int GetAddress(uint32_t& packed) const;
    std::array<int, 4> GetNumbers() const;
    void ClearAddress();
    bool IsBlank() const;
    // Puts the focus into field 0..3.
    void SetFieldFocus(int field);
    // The field's edit (for tests that type into it).
    Edit* Field(int field) const { return fields_[static_cast<size_t>(field)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(int field);

    std::array<Edit*, 4> fields_{};
};

} // namespace kx
