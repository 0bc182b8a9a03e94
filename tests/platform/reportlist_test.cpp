// The report-list wrapper: the hit test by the header's widths (a border point belongs to the
// left column), selection walked by position, item data, check boxes and the click signals.
#include "qt/KxModalDriver.h"
#include "qt/KxReportList.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ReportListTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        owner = std::make_unique<kx::ReportList>();
        kx::ReportList& list = *owner;
        list.InsertColumn(0, QStringLiteral("名称"), kx::LVCFMT_LEFT, 50);
        list.InsertColumn(1, QStringLiteral("大小"), kx::LVCFMT_RIGHT, 80);
        list.InsertColumn(2, QStringLiteral("√"), kx::LVCFMT_CENTER, 30);
        for (int r = 0; r < 5; ++r) {
            list.InsertItem(r, QStringLiteral("行%1").arg(r));
            list.SetItemText(r, 1, QString::number(r * 100));
        }
        list.resize(300, 200);
        list.show();
        QTest::qWaitForWindowExposed(&list);
    }
    std::unique_ptr<kx::ReportList> owner;
};

} // namespace

TEST_F(ReportListTest, HitTestTakesColumnsFromTheHeaderWidths) {
    kx::ReportList& list = *owner;
    const QRect row2 = list.GetItemRect(2);
    ASSERT_FALSE(row2.isEmpty());
    const int y = row2.center().y();
    const struct {
        int x;
        int column;
    } cases[] = {
        {0, 0}, {49, 0}, {50, 0}, {51, 1}, {129, 1}, {130, 1}, {131, 2}, {160, 2}, {161, -1}, {250, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        kx::ListHit hit = list.HitTest(QPoint(c.x, y));
        EXPECT_EQ(hit.column, c.column);
        EXPECT_EQ(hit.row, 2); // the row is found right of the last column too
    }
    EXPECT_EQ(list.HitTest(QPoint(10, list.GetItemRect(4).bottom() + 40)).row, -1);
    EXPECT_EQ(list.GetSubItemRect(2, 1).left(), 50);
    EXPECT_EQ(list.GetSubItemRect(2, 1).width(), 80);
    EXPECT_EQ(list.GetItemRect(2).width(), 160);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_GE(list.GetCountPerPage(), 5);
}

TEST_F(ReportListTest, RowsCarryTextDataAndChecksAndSelectionIsWalkedByPosition) {
    kx::ReportList& list = *owner;
    // A column inserted in the middle moves the cells to its right.
    list.InsertColumn(1, QStringLiteral("类型"), kx::LVCFMT_LEFT, 40);
    EXPECT_EQ(list.GetItemText(3, 2), "300");
    EXPECT_EQ(list.GetItemText(3, 1), "");
    EXPECT_EQ(list.GetColumnWidth(2), 80);

    int payload = 0;
    list.SetItemData(1, reinterpret_cast<std::intptr_t>(&payload));
    EXPECT_EQ(reinterpret_cast<int*>(list.GetItemData(1)), &payload);
    EXPECT_EQ(list.FindItemData(reinterpret_cast<std::intptr_t>(&payload)), 1);
    EXPECT_EQ(list.GetItemData(99), 0);

    list.SetCheckBoxes(true);
    EXPECT_TRUE(list.SetCheck(4, true));
    EXPECT_TRUE(list.GetCheck(4));
    EXPECT_FALSE(list.GetCheck(3));

    EXPECT_EQ(list.GetFirstSelectedItemPosition(), 0); // null when nothing is selected
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.SetMultipleSelection(true);
    list.SetItemSelected(1, true);
    list.SetItemSelected(3, true);
    kx::POSITION pos = list.GetFirstSelectedItemPosition();
    EXPECT_EQ(pos, 2); // row + 1
    std::vector<int> rows;
    while (pos) rows.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ(rows, (std::vector<int>{1, 3}));
    list.SetMultipleSelection(false);
    list.SetItemSelected(4, true);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetSelectedRow(), 4);
    EXPECT_TRUE(list.SetFocusedRow(2));
    EXPECT_EQ(list.GetFocusedRow(), 2);
    EXPECT_EQ(list.GetSelectedRow(), 4);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("行1"));
}

TEST_F(ReportListTest, ClicksReportRowAndColumn) {
    kx::ReportList& list = *owner;
    QSignalSpy clicked(&list, &kx::ReportList::ItemClicked);
    QSignalSpy right(&list, &kx::ReportList::ItemRightClicked);
    QSignalSpy twice(&list, &kx::ReportList::ItemDoubleClicked);
    const QPoint cell = list.GetSubItemRect(3, 1).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, cell);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_GE(clicked.count(), 1);
    EXPECT_EQ(clicked.first().at(0).toInt(), 3);
    EXPECT_EQ(clicked.first().at(1).toInt(), 1);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.first().at(0).toInt(), 3);
    ASSERT_EQ(twice.count(), 1);
    EXPECT_EQ(twice.first().at(1).toInt(), 1);
}
