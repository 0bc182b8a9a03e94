// The library's pickers: persons, operators and operator groups over the small catalogue, and the
// day, month and time-range pickers with the ranges they return. A picker gives -1 (or no user)
// when OK is pressed with nothing chosen, and Cancel leaves the caller's value as it was.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "base/OleDate.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxReportList.h"
#include "ui/CDlgGetDate.h"
#include "ui/CDlgGetPerson.h"
#include "ui/CDlgOperatorGroupSelect.h"
#include "ui/CDlgOperatorSelect.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <string>

using guitest::SmallCatalogue;

namespace {

class PickDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

kx::ReportList* ListOf(QWidget* dlg, int id) { return dlg->findChild<kx::ReportList*>(QString::number(id)); }

QStringList Column(kx::ReportList* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->GetItemCount(); ++row) texts << list->GetItemText(row, column);
    return texts;
}

void DoubleClickRow(kx::ReportList* list, int row) {
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->GetItemRect(row).center());
}

// Runs `show` with one driven step on the dialog T.
template <class T>
int Drive(const std::function<int()>& show, const std::function<void(T*)>& step) {
    kx::ModalDriver driver;
    driver.Then<T>(step);
    int result = show();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.TimedOut());
    return result;
}

void AddUser(int id, const char* logon, int role) {
    CkxUser u;
    u.m_nID = id;
    u.m_strLogon = logon;
    u.m_strUser = logon;
    u.SetRoleID(role);
    KX_KXXXX().m_UserList.AddUser(u);
}

} // namespace

TEST_F(PickDialogs, PersonPickerGivesTheRowsIdOrMinusOne) {
    int id = 7;
    auto show = [&] { return KX_ShowDlg_GetPerson("选择作者", id); };
    EXPECT_EQ(Drive<CDlgGetPerson>(show,
                                   [](CDlgGetPerson* d) {
                                       EXPECT_EQ(d->windowTitle(), "选择作者");
                                       kx::ReportList* list = ListOf(d, 1025);
                                       EXPECT_EQ(list->GetColumnCount(), 4);
                                       EXPECT_EQ(Column(list, 0), QStringList({"张三", "李四", "王五"}));
                                       EXPECT_EQ(Column(list, 1), QStringList({"其它", "其它", "其它"}));
                                       EXPECT_EQ(list->GetItemData(2), 3);
                                       list->SetItemSelected(1, true);
                                       guitest::Screenshot(d, "CDlgGetPerson-selected");
                                       kx::ClickId(d, kx::IDOK);
                                   }),
              1);
    EXPECT_EQ(id, 2);

    // A double click on a row is OK.
    EXPECT_EQ(Drive<CDlgGetPerson>(show, [](CDlgGetPerson* d) { DoubleClickRow(ListOf(d, 1025), 2); }), 1);
    EXPECT_EQ(id, 3);
    // OK with no row: 1 and -1. Cancel: 0 and the id untouched.
    EXPECT_EQ(Drive<CDlgGetPerson>(show, [](CDlgGetPerson* d) { kx::ClickId(d, kx::IDOK); }), 1);
    EXPECT_EQ(id, -1);
    id = 7;
    EXPECT_EQ(Drive<CDlgGetPerson>(show,
                                   [](CDlgGetPerson* d) {
                                       ListOf(d, 1025)->SetItemSelected(0, true);
                                       kx::ClickId(d, kx::IDCANCEL);
                                   }),
              0);
    EXPECT_EQ(id, 7);
    // An empty caption keeps the dialog's own.
    EXPECT_EQ(Drive<CDlgGetPerson>([&] { return KX_ShowDlg_GetPerson("", id); },
                                   [](CDlgGetPerson* d) {
                                       EXPECT_EQ(d->windowTitle(), "选择人员");
                                       kx::ClickId(d, kx::IDCANCEL);
                                   }),
              0);
}

TEST_F(PickDialogs, OperatorPickerShowsRolesAndKeepsACopyOfTheChosenUser) {
    AddUser(20, "scanner", 4);
    AddUser(21, "ghost", 0);
    AddUser(22, "temp", 5);
    CDlgOperatorSelect dlg;
    kx::ModalDriver driver;
    driver.Then<CDlgOperatorSelect>([](CDlgOperatorSelect* d) {
        kx::ReportList* list = ListOf(d, 1157);
        EXPECT_EQ(Column(list, 0), QStringList({"su", "alice", "bob", "carol", "dave", "scanner", "ghost", "temp"}));
        EXPECT_EQ(Column(list, 1),
                  QStringList({"管理员", "编辑员", "检索员", "编辑员", "编辑员", "设备", "无效", "无效"}));
        EXPECT_EQ(d->GetCurSelOperatorID(), -1);
        list->SetItemSelected(1, true);
        EXPECT_EQ(d->GetCurSelOperatorID(), ALICE);
        guitest::Screenshot(d, "CDlgOperatorSelect-selected");
        kx::ClickId(d, kx::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    ASSERT_TRUE(dlg.m_User.has_value());
    // A later server message deletes alice from the process's list: the result stays whole.
    KX_KXXXX().m_UserList.Delete(ALICE);
    EXPECT_EQ(dlg.m_User->m_nID, ALICE);
    EXPECT_EQ(dlg.m_User->m_strLogon, "alice");

    // Deleted while the dialog runs: OK gives no user. A double click is OK; no row gives none.
    const struct {
        const char* name;
        std::function<void(CDlgOperatorSelect*)> step;
        int expected; // user id, -1 for none
    } cases[] = {
        {"deleted while open",
         [](CDlgOperatorSelect* d) {
             ListOf(d, 1157)->SetItemSelected(1, true); // bob, now the second row
             KX_KXXXX().m_UserList.Delete(BOB);
             kx::ClickId(d, kx::IDOK);
         },
         -1},
        {"double click", [](CDlgOperatorSelect* d) { DoubleClickRow(ListOf(d, 1157), 0); }, SU},
        {"no row", [](CDlgOperatorSelect* d) { kx::ClickId(d, kx::IDOK); }, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDlgOperatorSelect pick;
        kx::ModalDriver steps;
        steps.Then<CDlgOperatorSelect>(c.step);
        EXPECT_EQ(pick.DoModal(), kx::IDOK);
        EXPECT_TRUE(steps.Done());
        EXPECT_EQ(pick.m_User ? pick.m_User->m_nID : -1, c.expected);
    }
}

TEST_F(PickDialogs, GroupPickerRefillsMembersAndSkipsUnknownOnes) {
    CkxUserGroup group;
    group.m_nID = 13, group.m_strName = "外包组", group.m_UserList = {BOB, 99};
    KX_KXXXX().m_UserGroupList.AddTail(group);

    CDlgOperatorGroupSelect dlg;
    kx::ModalDriver driver;
    driver.Then<CDlgOperatorGroupSelect>([](CDlgOperatorGroupSelect* d) {
        auto* groups = d->findChild<QListWidget*>("1182");
        kx::ReportList* members = ListOf(d, 1183);
        ASSERT_EQ(groups->count(), 4);
        EXPECT_EQ(groups->item(0)->text(), "设计组");
        EXPECT_EQ(members->GetItemCount(), 0);
        groups->setCurrentRow(0);
        EXPECT_EQ(Column(members, 0), QStringList({"alice", "bob", "dave"}));
        EXPECT_EQ(Column(members, 1), QStringList({"艾丽丝", "鲍勃", "戴夫"}));
        guitest::Screenshot(d, "CDlgOperatorGroupSelect-selected");
        groups->setCurrentRow(3);
        EXPECT_EQ(Column(members, 0), QStringList({"bob"})); // 99 is nobody
        kx::ClickId(d, kx::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_EQ(dlg.m_nGroupID, 13);

    CDlgOperatorGroupSelect none;
    kx::ModalDriver noneDriver;
    noneDriver.Then<CDlgOperatorGroupSelect>([](CDlgOperatorGroupSelect* d) { kx::ClickId(d, kx::IDOK); });
    EXPECT_EQ(none.DoModal(), kx::IDOK);
    EXPECT_EQ(none.m_nGroupID, -1);
}

namespace {

void SetDate(QWidget* dlg, int id, int y, int m, int d) {
    dlg->findChild<QDateEdit*>(QString::number(id))->setDate(QDate(y, m, d));
}

void SetMonth(QWidget* dlg, int year, int month) {
    dlg->findChild<QSpinBox*>("1211")->setValue(year);
    dlg->findChild<kx::ComboBox*>("1107")->SelectData(month);
}

} // namespace

TEST_F(PickDialogs, PickersReturnWholeDays) {
    const struct {
        const char* name;
        std::function<int(CkxDt2&)> show;
        std::function<void(kx::Dialog*)> choose;
        const char* start;
        const char* end;
    } rows[] = {
        {"leap day", KX_ShowDlg_GetDay, [](kx::Dialog* d) { SetDate(d, 1085, 2008, 2, 29); },
         "2008-02-29 00:00:00", "2008-02-29 23:59:59"},
        {"February 2009", KX_ShowDlg_GetMonth, [](kx::Dialog* d) { SetMonth(d, 2009, 2); },
         "2009-02-01 00:00:00", "2009-02-28 23:59:59"},
        {"February 2008", KX_ShowDlg_GetMonth, [](kx::Dialog* d) { SetMonth(d, 2008, 2); },
         "2008-02-01 00:00:00", "2008-02-29 23:59:59"},
        {"December 2009", KX_ShowDlg_GetMonth, [](kx::Dialog* d) { SetMonth(d, 2009, 12); },
         "2009-12-01 00:00:00", "2009-12-31 23:59:59"},
        {"reversed range", KX_ShowDlg_GetTimeRange,
         [](kx::Dialog* d) {
             SetDate(d, 1212, 2009, 3, 10);
             SetDate(d, 1109, 2009, 3, 1);
         },
         "2009-03-10 00:00:00", "2009-03-01 23:59:59"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const CkxDt2 before(COleDateTime(2001, 1, 2, 3, 4, 5), COleDateTime(2001, 1, 3, 3, 4, 5));
        CkxDt2 range = before;
        auto driven = [&](int button) {
            return Drive<kx::Dialog>([&] { return r.show(range); },
                                     [&](kx::Dialog* d) {
                                         r.choose(d);
                                         kx::ClickId(d, button);
                                     });
        };
        EXPECT_EQ(driven(kx::IDCANCEL), 0);
        EXPECT_EQ(range.m_dtStart.m_dt, before.m_dtStart.m_dt);
        EXPECT_EQ(range.m_dtEnd.m_dt, before.m_dtEnd.m_dt);
        EXPECT_EQ(driven(kx::IDOK), 1);
        EXPECT_EQ(kx::IsoDateText(range.m_dtStart), r.start);
        EXPECT_EQ(kx::IsoDateText(range.m_dtEnd), r.end);
    }
}

TEST_F(PickDialogs, PickersOpenOnTodayAndTheYearMovesOnlyByTheArrows) {
    const QDate today = QDate::currentDate();
    CkxDt2 range;
    Drive<CDlgGetDay>([&] { return KX_ShowDlg_GetDay(range); }, [&](CDlgGetDay* d) {
        EXPECT_EQ(d->findChild<QDateEdit*>("1085")->date(), today);
        guitest::Screenshot(d, "CDlgGetDay-today");
        kx::ClickId(d, kx::IDCANCEL);
    });
    Drive<CDlgGetTimeRange>([&] { return KX_ShowDlg_GetTimeRange(range); }, [&](CDlgGetTimeRange* d) {
        EXPECT_EQ(d->findChild<QDateEdit*>("1212")->date(), today);
        EXPECT_EQ(d->findChild<QDateEdit*>("1109")->date(), today);
        SetDate(d, 1212, 2009, 3, 1);
        guitest::Screenshot(d, "CDlgGetTimeRange-filled");
        kx::ClickId(d, kx::IDCANCEL);
    });
    Drive<CDlgGetMonth>([&] { return KX_ShowDlg_GetMonth(range); }, [&](CDlgGetMonth* d) {
        auto* spin = d->findChild<QSpinBox*>("1211");
        auto* year = d->findChild<QLineEdit*>("1209");
        auto* month = d->findChild<kx::ComboBox*>("1107");
        EXPECT_EQ(year->text(), QString::number(today.year()));
        EXPECT_EQ(month->GetCurSelData(), today.month());
        EXPECT_EQ(month->count(), 12);
        EXPECT_EQ(month->itemText(11), "十二月");
        guitest::Screenshot(d, "CDlgGetMonth-current");
        EXPECT_TRUE(year->isReadOnly());
        spin->setFocus();
        QTest::keyClicks(year, "1900");
        EXPECT_EQ(year->text(), QString::number(today.year())); // typing does nothing
        spin->setValue(CDlgGetMonth::kLastYear);
        QTest::keyClick(spin, Qt::Key_Up);
        EXPECT_EQ(year->text(), "1949"); // wraps past the last year to the first
        QTest::keyClick(spin, Qt::Key_Down);
        EXPECT_EQ(year->text(), "2099");
        EXPECT_EQ(spin->minimum(), 1949);
        EXPECT_EQ(spin->maximum(), 2099);
        month->SelectData(12);
        kx::ClickId(d, kx::IDOK);
    });
    EXPECT_EQ(kx::IsoDateText(range.m_dtStart), "2099-12-01 00:00:00");
    EXPECT_EQ(kx::IsoDateText(range.m_dtEnd), "2099-12-31 23:59:59");
}
