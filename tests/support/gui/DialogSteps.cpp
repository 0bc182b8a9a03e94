#include "support/gui/DialogSteps.h"

#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"

#include <gtest/gtest.h>

namespace guitest {

int DriveDialog(const std::function<int()>& show, const std::function<void(kx::Dialog*)>& edit, int button) {
    kx::ModalDriver driver;
    driver.Then<kx::Dialog>([&](kx::Dialog* dlg) {
        edit(dlg);
        if (button) EXPECT_TRUE(kx::ClickId(dlg, button));
    });
    const int result = show();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.TimedOut());
    return result;
}

} // namespace guitest
