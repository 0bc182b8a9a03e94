#include "support/gui/MenuSteps.h"

#include "qt/KxModalDriver.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace guitest {

void ChooseMenu(QMenu* menu, int id) {
    if (kx::ClickMenuId(menu, id)) return;
    ADD_FAILURE() << "no menu command " << id;
    if (menu) menu->close();
}

} // namespace guitest
