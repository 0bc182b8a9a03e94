// Steps for the modal driver that work on popup menus: choose a command by its id (the action's
// objectName, as kx::PopupMenu and the programs' menus set it).
#pragma once

class QMenu;

namespace guitest {

// Clicks the command `id` of an open popup menu; fails the test and closes the menu when the
// menu has no such command.
void ChooseMenu(QMenu* menu, int id);

} // namespace guitest
