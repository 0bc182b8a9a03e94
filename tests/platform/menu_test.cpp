// Popup menus built from (text, id) pairs: the command chosen through the modal driver comes back
// as its id; a menu closed without a choice gives 0.
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};
} // namespace

TEST_F(MenuTest, TheChosenCommandComesBackAsItsId) {
    QWidget owner;
    owner.show();
    const std::vector<std::pair<QString, int>> items = {
        {QStringLiteral("新建"), 32771}, {QString(), 0}, {QStringLiteral("删除"), 32772}};
    for (int id : {32771, 32772}) {
        SCOPED_TRACE(id);
        kx::ModalDriver driver;
        driver.Then<QMenu>([&](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, id)); });
        EXPECT_EQ(kx::TrackPopup(&owner, items, owner.mapToGlobal(QPoint(5, 5))), id);
        EXPECT_TRUE(driver.Done());
    }
    kx::ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) {
        EXPECT_FALSE(kx::ClickMenuId(m, 4711));
        m->close();
    });
    EXPECT_EQ(kx::TrackPopup(&owner, items, owner.mapToGlobal(QPoint(5, 5))), 0);

    kx::PopupMenu menu(&owner);
    menu.AppendMenu(QStringLiteral("打开"), 7);
    EXPECT_TRUE(menu.EnableMenuItem(7, false));
    EXPECT_FALSE(menu.EnableMenuItem(8, false));
}
