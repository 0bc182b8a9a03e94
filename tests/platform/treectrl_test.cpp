// The tree-control wrapper: insertion places and navigation, handles that die with their items
// and never name a newer item, pointer-sized item data, check boxes only when asked for, the
// selected image following the selection, and the click signals.
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"
#include "qt/KxTreeCtrl.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class TreeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        tree = std::make_unique<kx::TreeCtrl>();
        a = tree->InsertItem("A", 0, 1);
        b = tree->InsertItem("B", 0, 1, a);
        c = tree->InsertItem("C", 0, 1, b);
        d = tree->InsertItem("D", 0, 1, a, TVI_LAST);
        e = tree->InsertItem("E", 0, 1, TVI_ROOT);
        tree->resize(200, 200);
        tree->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    }
    std::unique_ptr<kx::TreeCtrl> tree;
    HTREEITEM a{}, b{}, c{}, d{}, e{};
};

} // namespace

TEST_F(TreeCtrlTest, InsertsWhereAskedAndNavigates) {
    ASSERT_NE(TVI_ROOT, nullptr);
    EXPECT_EQ(tree->GetCount(), 5);
    EXPECT_EQ(tree->GetRootItem(), a);
    EXPECT_EQ(tree->GetChildItem(TVI_ROOT), a);
    EXPECT_EQ(tree->GetNextSiblingItem(a), e);
    EXPECT_EQ(tree->GetPrevSiblingItem(e), a);
    EXPECT_EQ(tree->GetChildItem(a), b);
    EXPECT_EQ(tree->GetNextSiblingItem(b), d);
    EXPECT_EQ(tree->GetNextSiblingItem(d), nullptr);
    EXPECT_EQ(tree->GetParentItem(c), b);
    EXPECT_EQ(tree->GetParentItem(a), nullptr);
    EXPECT_TRUE(tree->ItemHasChildren(b));
    EXPECT_FALSE(tree->ItemHasChildren(c));
    EXPECT_EQ(tree->GetItemText(d), "D");

    // First and after-a-sibling places; a parent or sibling that is no item refuses.
    HTREEITEM first = tree->InsertItem("first", 0, 0, a, TVI_FIRST);
    EXPECT_EQ(tree->GetChildItem(a), first);
    HTREEITEM mid = tree->InsertItem("mid", 0, 0, a, b);
    EXPECT_EQ(tree->GetNextSiblingItem(b), mid);
    EXPECT_EQ(tree->InsertItem("x", 0, 0, nullptr), nullptr);
    EXPECT_EQ(tree->InsertItem("x", 0, 0, a, e), nullptr); // e is not a child of a
    EXPECT_EQ(tree->InsertItem("x", 0, 0, TVI_LAST), nullptr);

    // Created with buttons and lines at the root, no header.
    EXPECT_TRUE(tree->rootIsDecorated());
    EXPECT_TRUE(tree->isHeaderHidden());
}

TEST_F(TreeCtrlTest, DeletedHandlesNeverFindANewerItem) {
    tree->SetItemData(c, 33);
    ASSERT_TRUE(tree->DeleteItem(b)); // with its child c
    EXPECT_EQ(tree->GetCount(), 3);
    EXPECT_EQ(tree->GetChildItem(a), d);
    // Qt frees the item objects; many new items are likely to reuse their memory.
    std::vector<HTREEITEM> fresh;
    for (int i = 0; i < 2000; ++i) fresh.push_back(tree->InsertItem(QString::number(i), 0, 0, i % 2 ? a : TVI_ROOT));
    for (HTREEITEM stale : {b, c}) {
        EXPECT_FALSE(tree->IsItem(stale));
        EXPECT_EQ(tree->GetItemText(stale), QString());
        EXPECT_EQ(tree->GetItemData(stale), 0);
        EXPECT_EQ(tree->GetParentItem(stale), nullptr);
        EXPECT_EQ(tree->GetChildItem(stale), nullptr);
        EXPECT_FALSE(tree->SelectItem(stale));
        EXPECT_FALSE(tree->SetItemText(stale, "stranger"));
        EXPECT_FALSE(tree->DeleteItem(stale));
        for (HTREEITEM f : fresh) ASSERT_NE(f, stale);
    }
    EXPECT_EQ(tree->GetCount(), 3 + 2000);
    tree->DeleteAllItems();
    EXPECT_FALSE(tree->IsItem(a));
    EXPECT_EQ(tree->GetRootItem(), nullptr);
}

TEST_F(TreeCtrlTest, ItemDataHoldsAPointerAndMinusOne) {
    const std::intptr_t address = static_cast<std::intptr_t>(0x7F12345678ABLL);
    ASSERT_TRUE(tree->SetItemData(a, address));
    ASSERT_TRUE(tree->SetItemData(b, -1));
    EXPECT_EQ(tree->GetItemData(a), address);
    EXPECT_EQ(tree->GetItemData(b), -1);
    EXPECT_EQ(tree->GetItemData(c), 0);
    EXPECT_EQ(tree->GetItemData(nullptr), 0);
}

TEST_F(TreeCtrlTest, CheckBoxesOnlyWhenAskedFor) {
    EXPECT_FALSE(tree->SetCheck(a, true));
    EXPECT_FALSE(tree->GetCheck(a));
    EXPECT_FALSE(tree->ItemOf(a)->data(0, Qt::CheckStateRole).isValid());

    tree->SetCheckBoxes(true);
    QSignalSpy checks(tree.get(), &kx::TreeCtrl::CheckChanged);
    EXPECT_TRUE(tree->SetCheck(c, true));
    EXPECT_TRUE(tree->GetCheck(c));
    EXPECT_FALSE(tree->GetCheck(b));
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks.at(0).at(0).value<HTREEITEM>(), c);
    HTREEITEM later = tree->InsertItem("later", 0, 0, e);
    EXPECT_TRUE(tree->ItemOf(later)->flags() & Qt::ItemIsUserCheckable);

    // A click on the box ticks it, as a user would.
    tree->expandAll();
    const QRect box = tree->GetItemRect(later);
    ASSERT_TRUE(box.isValid());
    tree->SelectItem(later);
    QTest::keyClick(tree.get(), Qt::Key_Space);
    EXPECT_TRUE(tree->GetCheck(later));

    tree->SetCheckBoxes(false);
    EXPECT_FALSE(tree->GetCheck(c));
}

TEST_F(TreeCtrlTest, SelectionShowsTheSelectedImageAndSignals) {
    kx::ImageList images(16, 16);
    QImage red(16, 16, QImage::Format_ARGB32), blue(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::darkRed);
    blue.fill(Qt::blue);
    images.Add(red);
    images.Add(blue);
    tree->SetImageList(images);
    auto shown = [&](HTREEITEM h) {
        return tree->ItemOf(h)->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const QImage normal = images.Image(0).convertToFormat(QImage::Format_ARGB32);
    const QImage selected = images.Image(1).convertToFormat(QImage::Format_ARGB32);
    ASSERT_NE(normal, selected);
    EXPECT_EQ(shown(b), normal);

    QSignalSpy changes(tree.get(), &kx::TreeCtrl::SelChanged);
    ASSERT_TRUE(tree->SelectItem(b));
    EXPECT_EQ(tree->GetSelectedItem(), b);
    EXPECT_EQ(shown(b), selected);
    ASSERT_TRUE(tree->SelectItem(d));
    EXPECT_EQ(shown(b), normal);
    EXPECT_EQ(shown(d), selected);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).value<HTREEITEM>(), d);
    EXPECT_EQ(changes.at(1).at(1).value<HTREEITEM>(), b);

    // Deleting the selected item leaves no handle to it behind.
    tree->DeleteItem(d);
    EXPECT_NE(tree->GetSelectedItem(), d);
    tree->SelectItem(nullptr);
    EXPECT_EQ(tree->GetSelectedItem(), nullptr);
}

TEST_F(TreeCtrlTest, ExpandCollapseAndClicks) {
    EXPECT_TRUE(tree->Expand(a, TVE_EXPAND));
    EXPECT_TRUE(tree->IsExpanded(a));
    EXPECT_TRUE(tree->Expand(a, TVE_TOGGLE));
    EXPECT_FALSE(tree->IsExpanded(a));
    EXPECT_FALSE(tree->Expand(nullptr, TVE_EXPAND));
    EXPECT_FALSE(tree->Expand(a, 99));

    QSignalSpy right(tree.get(), &kx::TreeCtrl::ItemRightClicked);
    QSignalSpy doubles(tree.get(), &kx::TreeCtrl::ItemDoubleClicked);
    const QPoint onE = tree->GetItemRect(e).center();
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, onE);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).value<HTREEITEM>(), e);
    EXPECT_EQ(tree->HitTest(onE), e);
    // The widget's own double-click signal arrives as the item's handle.
    Q_EMIT tree->itemDoubleClicked(tree->ItemOf(e), 0);
    ASSERT_EQ(doubles.count(), 1);
    EXPECT_EQ(doubles.at(0).at(0).value<HTREEITEM>(), e);
}
