// Steps of the dialog tests.
//
// Runs a dialog's show function under the modal driver: `edit` gets the open dialog, then the
// button with the id is clicked (0: `edit` ends the dialog itself). A dialog that never opens
// fails the test instead of hanging it. Returns what the show function returned.
#pragma once

#include "qt/KxDialog.h"

#include <functional>

class QString;
class QWidget;

namespace guitest {

// Types the text as a person does: keys for ASCII, the input method's commit for anything else
// (Chinese), each character into `target`, or into whichever widget has the focus when null.
void TypeText(const QString& text, QWidget* target = nullptr);

int DriveDialog(const std::function<int()>& show, const std::function<void(kx::Dialog*)>& edit,
                int button = kx::IDOK);

} // namespace guitest
