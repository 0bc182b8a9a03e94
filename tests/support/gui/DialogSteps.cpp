#include "support/gui/DialogSteps.h"

#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace guitest {

void TypeText(const QString& text, QWidget* target) {
    for (QChar c : text) {
        QWidget* to = target ? target : QApplication::focusWidget();
        ASSERT_NE(to, nullptr) << "nothing has the focus to type into";
        if (c.unicode() < 0x80) {
            QTest::keyClicks(to, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(to, &commit);
        }
    }
}

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
