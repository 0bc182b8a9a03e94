// Binding of a dialog's members to its controls, both ways, by control id: what the dialogs'
// DoDataExchange lists. One DataExchange runs one direction; the first failed read stops it.
#pragma once

#include "base/OleDate.h"

#include <string>

class QWidget;

namespace kx {

class Dialog;

// The one message for an int edit that holds no whole number.
inline constexpr const char* kEnterInteger = "请输入一个整数。";

class DataExchange {
public:
    DataExchange(Dialog* dialog, bool save) : dialog_(dialog), save_(save) {}

    // True when the controls are read into the members, false when members fill the controls.
    bool Saving() const { return save_; }
    // True once a read failed; every later binding does nothing.
    bool Failed() const { return failed_; }
    Dialog* GetDialog() const { return dialog_; }

    // The control with id `id` (null, with a warning on the error output, when there is none).
    QWidget* Control(int id) const;
    // Marks the exchange failed: `message` through the prompt service and the focus on `control`.
    void Fail(QWidget* control, const char* message);

private:
    Dialog* dialog_;
    bool save_;
    bool failed_ = false;
};

// UTF-8 text to or from a line edit or a multi-line edit.
void DDX_Text(DataExchange& dx, int id, std::string& value);
// A whole number to or from a line edit, written and read independently of the locale; a read
// of anything but a whole number fails with kEnterInteger.
void DDX_Text(DataExchange& dx, int id, int& value);
// A flag (0 or 1) to or from a check box or radio button.
void DDX_Check(DataExchange& dx, int id, int& value);
// The item data of a drop-down list's selected entry; -1 when none is selected. Writing a value
// that no entry carries leaves the selection as it is.
void DDX_CBData(DataExchange& dx, int id, int& value);
// A date and time to or from a date-time picker.
void DDX_DateTime(DataExchange& dx, int id, COleDateTime& value);

} // namespace kx
