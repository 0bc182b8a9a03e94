// Runs a dialog's show function under the modal driver: `edit` gets the open dialog, then the
// button with the id is clicked (0: `edit` ends the dialog itself). A dialog that never opens
// fails the test instead of hanging it. Returns what the show function returned.
#pragma once

#include "qt/KxDialog.h"

#include <functional>

namespace guitest {

int DriveDialog(const std::function<int()>& show, const std::function<void(kx::Dialog*)>& edit,
                int button = kx::IDOK);

} // namespace guitest
