// The studio application's commands: date ranges, quick and person queries through the server,
// the keyword query, the layouts and view states, the commands' enabled and checked states,
// the printer settings with a PDF printer, the document-window dialogs, the about box and the
// manual.
#include "studio/support/StudioTestKit.h"

#include "app/CVarniaStudioApp.h"
#include "app/StudioCommands.h"
#include "browser/BrowserMenu.h"
#include "browser/CBrowser.h"
#include "dlg/CDlgAbout.h"
#include "dlg/CDlgDocWindows.h"
#include "dlg/CDlgPrintLayout.h"
#include "dlg/CDlgQueryKeyword.h"
#include "dlg/CKeywordPickPanel.h"
#include "dlg/CDlgKeywordChooser.h"
#include "frame/CMainFrame.h"
#include "infobar/CFileInfoBar.h"
#include "print/CPrintFrame.h"
#include "print/CPrintJob.h"
#include "print/CPrinterState.h"
#include "viewer/CxImageViewer.h"

#include "base/OleDate.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "ui/CkxwFileListView.h"
#include "support/ScopedEnv.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgGetDate.h"
#include "ui/CDlgGetPerson.h"
#include "ui/CkxwDlgPowerSet.h"
#include "ui/CkxwIPC.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace studiotest;
using namespace kx;
using Cmd = CStudioCommands;

namespace {

std::string Iso(const COleDateTime& d) { return kx::IsoDateText(static_cast<DATE>(d)); }

// ---- Date ranges ----

TEST(DateRanges, FromAGivenToday) {
    struct Case {
        const char* name;
        int range;
        COleDateTime today;
        const char* from;
        const char* to;
    } const cases[] = {
        {"today on 1 January", Cmd::RANGE_TODAY, COleDateTime(2024, 1, 1, 15, 30, 0), "2024-01-01 00:00:00", "2024-01-01 23:59:59"},
        {"yesterday crosses the year", Cmd::RANGE_YESTERDAY, COleDateTime(2024, 1, 1, 0, 0, 0), "2023-12-31 00:00:00", "2023-12-31 23:59:59"},
        {"the day before crosses the year", Cmd::RANGE_DAY_BEFORE, COleDateTime(2024, 1, 1, 23, 59, 59), "2023-12-30 00:00:00", "2023-12-30 23:59:59"},
        {"this week on a Sunday", Cmd::RANGE_THIS_WEEK, COleDateTime(2024, 3, 10, 8, 0, 0), "2024-03-10 00:00:00", "2024-03-16 23:59:59"},
        {"this week on a Saturday", Cmd::RANGE_THIS_WEEK, COleDateTime(2024, 3, 16, 8, 0, 0), "2024-03-10 00:00:00", "2024-03-16 23:59:59"},
        {"last week across a month end", Cmd::RANGE_LAST_WEEK, COleDateTime(2024, 3, 5, 8, 0, 0), "2024-02-25 00:00:00", "2024-03-02 23:59:59"},
        {"this month in December", Cmd::RANGE_THIS_MONTH, COleDateTime(2023, 12, 5, 8, 0, 0), "2023-12-01 00:00:00", "2023-12-31 23:59:59"},
        {"last month in January", Cmd::RANGE_LAST_MONTH, COleDateTime(2024, 1, 20, 8, 0, 0), "2023-12-01 00:00:00", "2023-12-31 23:59:59"},
        {"last month in March of a leap year", Cmd::RANGE_LAST_MONTH, COleDateTime(2024, 3, 31, 8, 0, 0), "2024-02-01 00:00:00", "2024-02-29 23:59:59"},
        {"last month in March of another year", Cmd::RANGE_LAST_MONTH, COleDateTime(2023, 3, 1, 0, 0, 0), "2023-02-01 00:00:00", "2023-02-28 23:59:59"},
    };
    for (const Case& c : cases) {
        const CkxDt2 range = Cmd::DateRange(c.range, c.today);
        EXPECT_EQ(Iso(range.m_dtStart), c.from) << c.name;
        EXPECT_EQ(Iso(range.m_dtEnd), c.to) << c.name;
    }
}

TEST(QuickQueryTable, EachCellHasItsCommandAndCode) {
    struct Cell {
        int id, column, range, code;
    } const cells[] = {
        {32946, Cmd::COLUMN_CREATION, Cmd::RANGE_TODAY, 1}, {32949, Cmd::COLUMN_CREATION, Cmd::RANGE_SOME_DAY, 8},
        {32950, Cmd::COLUMN_CREATION, Cmd::RANGE_THIS_WEEK, 4}, {32955, Cmd::COLUMN_CREATION, Cmd::RANGE_SPAN, 10},
        {32929, Cmd::COLUMN_ENTRY, Cmd::RANGE_DAY_BEFORE, 13}, {32937, Cmd::COLUMN_ENTRY, Cmd::RANGE_SOME_DAY, 18},
        {32941, Cmd::COLUMN_ENTRY, Cmd::RANGE_SPAN, 20}, {32938, Cmd::COLUMN_MODIFICATION, Cmd::RANGE_SOME_DAY, 28},
        {32942, Cmd::COLUMN_MODIFICATION, Cmd::RANGE_SPAN, 30}, {32936, Cmd::COLUMN_MODIFICATION, Cmd::RANGE_LAST_MONTH, 27},
    };
    for (const Cell& c : cells) {
        const Cmd::QuickQuery* q = Cmd::FindQuickQuery(c.id);
        ASSERT_NE(q, nullptr) << c.id;
        EXPECT_EQ(q->column, c.column) << c.id;
        EXPECT_EQ(q->range, c.range) << c.id;
        EXPECT_EQ(q->code, c.code) << c.id;
    }
    for (int id : {32943, 32966, 32967, 32956, 32921, 32944}) EXPECT_EQ(Cmd::FindQuickQuery(id), nullptr) << id;
}

// ---- The application with its frame ----

class Commands : public StudioTest {
protected:
    void TearDown() override {
        if (studio) studio->ExitInstance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StudioTest::TearDown();
    }
    // The program's application in place of the fixture's, with its main frame up.
    void MakeStudio(const std::string& user = "") {
        if (!link) link = std::make_unique<TestStudioLink>();
        app.reset();
        auto made = std::make_unique<CVarniaStudioApp>(*link);
        studio = made.get();
        app = std::move(made);
        ASSERT_TRUE(studio->CreateMainFrame());
        studio->SetLoggedInUser(user);
        Frame()->resize(1000, 700);
        Frame()->show();
        Frame()->UpdateCommandStates();
    }
    // The server and a session logged on as that user with the start-up lists.
    void LogOnAs(const char* logon, const char* password) {
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
        ::setenv("VARNIA_PORT", std::to_string(server->Port()).c_str(), 1);
        link = std::make_unique<TestStudioLink>();
        ASSERT_EQ(link->LogOn(server->Port(), logon, password), kLogonOk);
        ASSERT_TRUE(link->RequestInitialLists());
        ASSERT_TRUE(PumpUntil([&] {
            return KX_KXXXX().m_PersonList.GetCount() == 2 && KX_KXXXX().m_UserRoleList.GetCount() > 0 &&
                   KX_KXXXX().m_KeywordList.GetCount() > 0 && KX_KXXXX().fsFind(server->Id("folder.other"));
        }));
        PumpFor(200ms);
        MakeStudio(logon);
    }
    CMainFrame* Frame() const { return studio->GetMainFrame(); }
    QAction* Action(int id) const { return Frame()->FindCommand(id); }
    void Run(int id) { studio->OnCommand(id); }
    // Runs the command with the dialog of type T driven by the step; the document it opened.
    template <class T>
    CvClientDoc* RunDriven(int id, std::function<void(T*)> step) {
        const std::vector<CvClientDoc*> before = studio->GetDocs();
        ModalDriver driver(20000);
        driver.Then<T>(std::move(step));
        Run(id);
        EXPECT_TRUE(driver.Done()) << id;
        return NewDoc(before);
    }
    CvClientDoc* RunPlain(int id) {
        const std::vector<CvClientDoc*> before = studio->GetDocs();
        Run(id);
        return NewDoc(before);
    }
    CvClientDoc* NewDoc(const std::vector<CvClientDoc*>& before) const {
        for (CvClientDoc* doc : studio->GetDocs())
            if (std::find(before.begin(), before.end(), doc) == before.end()) return doc;
        return nullptr;
    }
    std::set<std::string> Titles(CvClientDoc* doc, size_t n) {
        std::set<std::string> out;
        for (int id : WaitForFiles(doc, n))
            if (const CkxFile* f = doc->FindFile(id)) out.insert(f->m_strTitle);
        return out;
    }
    void Close(CvClientDoc* doc) {
        if (!doc) return;
        const int id = doc->GetDocID();
        doc->CloseAllViews();
        for (QWidget* view : doc->GetViews())
            if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget())) sub->close();
        ASSERT_TRUE(PumpUntil([&] { return studio->FindDoc(id) == nullptr; }));
    }
    CvClientDoc* OpenDoc(int kind) {
        CvClientDoc::SetNextDocKind(kind);
        CvClientDoc* doc = studio->OpenNewDoc();
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
        return doc;
    }

    CVarniaStudioApp* studio = nullptr;
};

// ---- Layouts ----

TEST_F(Commands, LayoutsShowTheirBarsAndMoveTheViewState) {
    MakeStudio("alice");
    CMainFrame* frame = Frame();
    const QSize client = frame->rect().size();
    struct Row {
        int id;
        const char* name;
        bool nav, info, work;
        QSize infoSize; // empty: not sized by the command
        int state;
    } const rows[] = {
        {Cmd::ID_LAYOUT_BROWSE, "browse", false, false, false, QSize(), 2},
        {Cmd::ID_LAYOUT_VIEW, "browse_and_view", false, true, false, QSize(client.width() * 3 / 5, client.height()), 3},
        {Cmd::ID_LAYOUT_BIG, "big_screen", false, true, false, client, 4},
        {Cmd::ID_LAYOUT_DEFAULT, "default", true, true, true, QSize(280, 280), 1},
    };
    int previous = studio->GetViewState();
    for (const Row& r : rows) {
        Run(r.id);
        PumpFor(50ms);
        EXPECT_EQ(frame->IsNavigationBarVisible(), r.nav ? 1 : 0) << r.name;
        EXPECT_EQ(frame->IsFileInfoBarVisible(), r.info ? 1 : 0) << r.name;
        EXPECT_EQ(frame->IsWorkBarVisible(), r.work ? 1 : 0) << r.name;
        if (!r.infoSize.isEmpty()) {
            EXPECT_EQ(frame->FileInfoBar()->m_sizeVert, r.infoSize) << r.name;
        }
        EXPECT_EQ(studio->GetViewState(), r.state) << r.name;
        EXPECT_EQ(studio->GetPrevViewState(), previous) << r.name;
        EXPECT_EQ(studio->IsBigScreen(), r.state == 4) << r.name;
        previous = r.state;
        guitest::Screenshot(frame, std::string("studio_layout_") + r.name);
    }
    EXPECT_EQ(frame->NavigationBar()->m_sizeVert, QSize(250, 250));
    EXPECT_EQ(frame->WorkBar()->m_sizeVert, QSize(200, 200));

    // Twice in a row: current and previous equal.
    Run(Cmd::ID_LAYOUT_BROWSE);
    Run(Cmd::ID_LAYOUT_BROWSE);
    EXPECT_EQ(studio->GetViewState(), 2);
    EXPECT_EQ(studio->GetPrevViewState(), 2);

    // Full screen, then the floating bar's button: the previous layout and no full screen.
    Run(Cmd::ID_LAYOUT_VIEW);
    Run(Cmd::ID_LAYOUT_FULL);
    PumpFor(50ms);
    EXPECT_EQ(frame->IsFullScreen(), 1);
    EXPECT_EQ(studio->GetViewState(), 5);
    EXPECT_FALSE(frame->IsNavigationBarVisible());
    ASSERT_NE(frame->FullScreenToolBar(), nullptr);
    guitest::Screenshot(frame, "studio_layout_full_screen");
    frame->FullScreenToolBar()->actions().front()->trigger();
    PumpFor(50ms);
    EXPECT_EQ(frame->IsFullScreen(), 0);
    EXPECT_EQ(frame->FullScreenToolBar(), nullptr);
    EXPECT_EQ(studio->GetViewState(), 3);
    EXPECT_EQ(studio->GetPrevViewState(), 5);
    EXPECT_TRUE(frame->IsFileInfoBarVisible());
    EXPECT_FALSE(frame->IsWorkBarVisible());

    // The picture's double click: big screen, and back to the default layout.
    QWidget* picture = frame->FileInfoBar()->Viewer()->viewport();
    QTest::mouseDClick(picture, Qt::LeftButton);
    EXPECT_EQ(studio->GetViewState(), 4);
    QTest::mouseDClick(picture, Qt::LeftButton);
    EXPECT_EQ(studio->GetViewState(), 1);
    EXPECT_TRUE(frame->IsNavigationBarVisible() && frame->IsWorkBarVisible());
}

TEST_F(Commands, BarTogglesPagesAndTheToolBar) {
    MakeStudio("alice");
    CMainFrame* frame = Frame();
    struct Toggle {
        int id;
        std::function<int()> visible;
    } const toggles[] = {
        {Cmd::ID_VIEW_NAVIGATION, [&] { return frame->IsNavigationBarVisible(); }},
        {Cmd::ID_VIEW_FILEINFO, [&] { return frame->IsFileInfoBarVisible(); }},
        {Cmd::ID_VIEW_WORK, [&] { return frame->IsWorkBarVisible(); }},
        {Cmd::ID_VIEW_TOOLBAR, [&] { return frame->ToolBar()->isVisibleTo(frame) ? 1 : 0; }},
    };
    for (const Toggle& t : toggles) {
        EXPECT_EQ(t.visible(), 1) << t.id;
        EXPECT_TRUE(Action(t.id)->isChecked()) << t.id;
        Run(t.id);
        EXPECT_EQ(t.visible(), 0) << t.id;
        EXPECT_FALSE(Action(t.id)->isChecked()) << t.id;
        Run(t.id);
        EXPECT_EQ(t.visible(), 1) << t.id;
        EXPECT_TRUE(Action(t.id)->isChecked()) << t.id;
    }
    Run(32983);
    EXPECT_EQ(frame->NavigationBar()->Tabs()->GetCurtab(), 2);
    EXPECT_EQ(frame->NavigationBar()->windowTitle(), "项目");
    Run(32895);
    EXPECT_EQ(frame->FileInfoBar()->Tabs()->GetCurtab(), 2);
    EXPECT_EQ(frame->FileInfoBar()->windowTitle(), "关键字");
}

TEST_F(Commands, EveryCommandIsOneActionWithItsId) {
    MakeStudio("alice");
    const int ids[] = {57664, 32785, 33071, 32976, 32796, 32816, 32839, 33090, 32830, 32851, 32842, 32946, 32922,
                       32942, 32943, 32966, 32967, 32812, 32813, 33020, 33021, 33022, 33009, 33017, 33004, 33008,
                       33018, 33019, 32877, 32879, 32867, 32868, 32869, 32985, 32989, 32981, 32984, 32893, 32897,
                       59392, 33079, 33113, 106, 57637, 57600, 57601, 57606};
    for (int id : ids) {
        const QList<QAction*> found = Frame()->findChildren<QAction*>(QString::number(id));
        EXPECT_EQ(found.size(), 1) << id;
    }
    // A menu item and a tool button of one command are one action.
    EXPECT_TRUE(Frame()->ToolBar()->actions().contains(Action(33020)));
    EXPECT_EQ(Action(106)->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
}

// ---- Enabled and checked states ----

TEST_F(Commands, StatesFollowTheUserTheClipboardAndThePlayer) {
    LogOnAs("alice", kAlicePassword);
    ASSERT_FALSE(HasFatalFailure());
    QMenu* menu = Frame()->menuBar()->findChildren<QMenu*>().front();
    auto menuShows = [&] { Q_EMIT menu->aboutToShow(); };
    menuShows();
    EXPECT_FALSE(Action(Cmd::ID_LOGIN)->isEnabled());
    // alice operates keywords but not persons.
    EXPECT_FALSE(Action(Cmd::ID_PERSON_ADMIN)->isEnabled());
    EXPECT_TRUE(Action(Cmd::ID_KEYWORD_ADMIN)->isEnabled());
    studio->SetLoggedInUser("");
    menuShows();
    EXPECT_TRUE(Action(Cmd::ID_LOGIN)->isEnabled());

    QApplication::clipboard()->clear();
    menuShows();
    EXPECT_FALSE(Action(Cmd::ID_EDIT_PASTE)->isEnabled());
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_EQ(CkxwIPC::CopyImageToClipboard(picture), 1);
    menuShows();
    EXPECT_TRUE(Action(Cmd::ID_EDIT_PASTE)->isEnabled());

    const int transitions[] = {33004, 33005, 33006, 33007, 33019, 33018, 33008};
    const int types[] = {0, 1, 2, 4, 5, 3, 6};
    for (size_t i = 0; i < std::size(transitions); ++i) {
        Run(transitions[i]);
        EXPECT_EQ(studio->GetSliderSpec(), types[i]) << transitions[i];
        EXPECT_TRUE(Frame()->FileInfoBar()->IsTransitionType(types[i]));
        for (int other : transitions) EXPECT_EQ(Action(other)->isChecked(), other == transitions[i]) << other;
    }
}

TEST_F(Commands, AdministrationIsOfferedToAUserWithThePowers) {
    LogOnAs("su", kSuPassword);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Action(Cmd::ID_PERSON_ADMIN)->isEnabled());
    EXPECT_TRUE(Action(Cmd::ID_KEYWORD_ADMIN)->isEnabled());
    EXPECT_FALSE(Action(Cmd::ID_LOGIN)->isEnabled());
}

// ---- Queries through the server ----

// The studio as su on a catalogue with two files uploaded now: "今日图" created today (and then
// modified), "上月图" created on the 15th of last month.
class QuickQueries : public Commands {
protected:
    void SetUp() override {
        Commands::SetUp();
        LogOnAs("su", kSuPassword);
        if (HasFatalFailure()) return;
        const COleDateTime now = COleDateTime::GetCurrentTime();
        lastMonth = Cmd::DateRange(Cmd::RANGE_LAST_MONTH, now).m_dtStart;
        lastMonth15 = COleDateTime(lastMonth.GetYear(), lastMonth.GetMonth(), 15, 10, 0, 0);
        // An upload has no answer, and a later request may overtake its bulk data: a second
        // workstation watches the folder until the server lists both, and hears the change.
        auto watcher = server->LogOn("alice", kAlicePassword);
        ASSERT_NE(watcher, nullptr);
        Upload("今日图", now);
        Upload("上月图", lastMonth15);
        ASSERT_TRUE(FolderHolds(*watcher, Id("folder.top"), 5)); // the three seeded and the two new
        // The modification: today's file changed once, through the server.
        CvClientDoc* entered = studio->QueryByWriteTime(*link, Cmd::DateRange(Cmd::RANGE_TODAY, now).m_dtStart,
                                                        Cmd::DateRange(Cmd::RANGE_TODAY, now).m_dtEnd);
        int todayId = -1;
        for (int id : WaitForFiles(entered, 2))
            if (entered->FindFile(id)->m_strTitle == "今日图") todayId = id;
        ASSERT_NE(todayId, -1);
        CkxFileImage changed;
        changed.SetComData(entered->FindFile(todayId)->GetComData());
        changed.m_strRemark = "changed";
        ASSERT_TRUE(link->SendFileAttrUpdateRequest(changed));
        ASSERT_TRUE(watcher->Wait(kMsgFileModify, kSubModify));
        Close(entered);
    }

    void Upload(const std::string& title, const COleDateTime& created) {
        const std::string png = PngBytes(20, 10);
        CkxFileImage f;
        f.m_nFamilyID = 100000001;
        f.m_strTitle = title;
        f.m_strExName = "png";
        f.m_nLocDirID = Id("folder.top");
        f.m_nWidth = 20;
        f.m_nHeight = 10;
        f.m_dtAuth = created;
        f.m_Power.m_nInherit = 0;
        f.m_Power.m_nEveryonePower = 0xF000;
        f.m_nSize = static_cast<int32_t>(png.size());
        f.UpdateWhole(png.data(), static_cast<int>(png.size()));
        f.UpdateMicro(png.data(), static_cast<int>(png.size()));
        ASSERT_TRUE(link->SendFileAddRequest(f));
    }
    void ExpectQuery(CvClientDoc* doc, int code, const std::set<std::string>& titles, const std::string& row) {
        ASSERT_NE(doc, nullptr) << row;
        EXPECT_EQ(doc->GetKind(), CvClientDoc::KIND_OPERAND) << row;
        EXPECT_EQ(doc->GetQuickQuery(), code) << row;
        EXPECT_FALSE(doc->GetCaption().empty()) << row;
        EXPECT_EQ(doc->GetViews().front()->windowTitle().toStdString(), doc->GetCaption()) << row;
        EXPECT_EQ(Titles(doc, titles.size()), titles) << row;
        Close(doc);
    }
    COleDateTime lastMonth, lastMonth15;
};

TEST_F(QuickQueries, TodayAndLastMonthOnEachColumn) {
    ASSERT_FALSE(HasFatalFailure());
    struct Row {
        int id, code;
        std::set<std::string> titles;
    } const rows[] = {
        {32946, 1, {"今日图"}},           {32922, 11, {"今日图", "上月图"}}, {32930, 21, {"今日图"}},
        {32953, 7, {"上月图"}},           {32928, 17, {}},                   {32936, 27, {}},
    };
    for (const Row& r : rows) ExpectQuery(RunPlain(r.id), r.code, r.titles, std::to_string(r.id));
}

TEST_F(QuickQueries, PickersAndPersonsChooseWhatIsQueried) {
    ASSERT_FALSE(HasFatalFailure());
    const QDate day(lastMonth15.GetYear(), lastMonth15.GetMonth(), lastMonth15.GetDay());
    ExpectQuery(RunDriven<CDlgGetDay>(32949, [&](CDlgGetDay* d) {
                    d->findChild<QDateEdit*>(QString::number(CDlgGetDay::IDC_DTP_DAY))->setDate(day);
                    ClickId(d, IDOK);
                }), 8, {"上月图"}, "some day");
    ExpectQuery(RunDriven<CDlgGetMonth>(32954, [&](CDlgGetMonth* d) {
                    d->findChild<QSpinBox*>(QString::number(CDlgGetMonth::IDC_SPIN_YEAR))->setValue(day.year());
                    d->findChild<QComboBox*>(QString::number(CDlgGetMonth::IDC_CMB_MONTH))->setCurrentIndex(day.month() - 1);
                    ClickId(d, IDOK);
                }), 9, {"上月图"}, "some month");
    ExpectQuery(RunDriven<CDlgGetTimeRange>(32955, [&](CDlgGetTimeRange* d) {
                    d->findChild<QDateEdit*>(QString::number(CDlgGetTimeRange::IDC_DTP_FROM))->setDate(QDate(2020, 1, 1));
                    d->findChild<QDateEdit*>(QString::number(CDlgGetTimeRange::IDC_DTP_TO))->setDate(QDate(2020, 1, 31));
                    ClickId(d, IDOK);
                }), 10, {"图a"}, "time range");

    auto pick = [](int listId, int itemId) {
        return [listId, itemId](Dialog* d) {
            auto* list = d->findChild<ReportList*>(QString::number(listId));
            ASSERT_NE(list, nullptr);
            const int row = list->FindItemData(itemId);
            ASSERT_GE(row, 0);
            list->SetItemSelected(row, true);
            ClickId(d, IDOK);
        };
    };
    std::string title;
    ExpectQuery(RunDriven<CDlgGetPerson>(32943, [&](CDlgGetPerson* d) {
                    title = d->windowTitle().toStdString();
                    pick(CDlgGetPerson::IDC_LIST_PERSON, Id("person.wang"))(d);
                }), 31, {"图a"}, "author");
    EXPECT_EQ(title, Cmd::kAuthorTitle);
    ExpectQuery(RunDriven<CkxwDlgSelectUser>(32966, [&](CkxwDlgSelectUser* d) {
                    title = d->windowTitle().toStdString();
                    pick(CkxwDlgSelectUser::IDC_LIST, Id("user.alice"))(d);
                }), 32, {"图d", "图e"}, "writer");
    EXPECT_EQ(title, Cmd::kWriterTitle);
    ExpectQuery(RunDriven<CkxwDlgSelectUser>(32967, [&](CkxwDlgSelectUser* d) {
                    pick(CkxwDlgSelectUser::IDC_LIST, Id("user.bob"))(d);
                }), 33, {"图b"}, "editor");
}

TEST_F(QuickQueries, CancelledOrEmptyChoicesAndAFullListOpenNothing) {
    ASSERT_FALSE(HasFatalFailure());
    PromptRecorder prompts;
    EXPECT_EQ(RunDriven<CDlgGetDay>(32937, [](CDlgGetDay* d) { ClickId(d, IDCANCEL); }), nullptr);
    EXPECT_EQ(RunDriven<CDlgGetTimeRange>(32942, [](CDlgGetTimeRange* d) { ClickId(d, IDCANCEL); }), nullptr);
    EXPECT_EQ(RunDriven<CDlgGetPerson>(32943, [](CDlgGetPerson* d) { ClickId(d, IDCANCEL); }), nullptr);
    // OK with no row chosen: an id not in the list.
    EXPECT_EQ(RunDriven<CDlgGetPerson>(32943, [](CDlgGetPerson* d) { ClickId(d, IDOK); }), nullptr);
    EXPECT_EQ(RunDriven<CkxwDlgSelectUser>(32967, [](CkxwDlgSelectUser* d) { ClickId(d, IDOK); }), nullptr);
    EXPECT_EQ(studio->GetDocCount(), 0);
    EXPECT_EQ(prompts.Count(), 0u);

    for (int i = 0; i < CvClientApp::kMaxDocs; ++i) ASSERT_NE(OpenDoc(CvClientDoc::KIND_LOCAL), nullptr);
    std::vector<int> ids = {32943, 32966, 32967};
    for (int id = 32900; id < 33000; ++id)
        if (Cmd::FindQuickQuery(id)) ids.push_back(id);
    ASSERT_EQ(ids.size(), 33u);
    for (int id : ids) {
        prompts.Clear();
        EXPECT_EQ(RunPlain(id), nullptr) << id; // no picker opens either: the driver would be needed
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CvClientApp::kLimitText}) << id;
    }
    EXPECT_EQ(studio->GetDocCount(), CvClientApp::kMaxDocs);
}

TEST_F(QuickQueries, TheKeywordQueryFollowsTheDialogsChoice) {
    ASSERT_FALSE(HasFatalFailure());
    for (const bool all : {true, false}) {
        CvClientDoc* doc = RunDriven<CDlgQueryKeyword>(Cmd::ID_QUERY_KEYWORD, [&](CDlgQueryKeyword* d) {
            const int mode = all ? CDlgQueryKeyword::IDC_MATCH_ALL : CDlgQueryKeyword::IDC_MATCH_ANY;
            QTest::mouseClick(d->findChild<QRadioButton*>(QString::number(mode)), Qt::LeftButton);
            d->Chooser()->Panel()->Bind(Id("keyword.face"));
            d->Chooser()->Panel()->Bind(Id("keyword.beach"));
            ClickId(d, IDOK);
        });
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetKind(), CvClientDoc::KIND_KEYWORDS);
        const std::set<std::string> expected = all ? std::set<std::string>{"图a"} : std::set<std::string>{"图a", "图b"};
        EXPECT_EQ(Titles(doc, expected.size()), expected) << (all ? "all" : "any");
        Close(doc);
    }
}

// ---- Printing ----

class PrintCommands : public Commands {
protected:
    void SetUp() override {
        Commands::SetUp();
        MakeStudio("alice");
    }
    // The application's printer prints into the PDF file.
    void PdfPrinter() {
        studio->EnsurePrinter();
        QPrinter* printer = studio->Printer().GetPrinter();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        printer->setPageSize(QPageSize(QPageSize::A4));
    }
    // A local picture shown in the information bar.
    void ShowPicture(const std::string& bytes = PngBytes(60, 40)) {
        CkxFileImage f;
        f.m_nID = -5;
        f.m_strTitle = "local";
        f.m_strExName = "png";
        f.UpdateWhole(bytes.data(), static_cast<int>(bytes.size()));
        Frame()->FileInfoBar()->ShowFile(&f);
        ASSERT_NE(Frame()->FileInfoBar()->ShownFile(), nullptr);
    }
    std::string StoredDevMode() {
        std::string bytes;
        return studio->ReadPrinterDevMode(bytes) ? bytes : std::string();
    }
    static int Orientation(const std::string& record) {
        uint16_t value = 0;
        std::memcpy(&value, record.data() + CPrinterState::kOrientationOffset, sizeof value);
        return value;
    }
    TempDir dir;
    std::string pdf = dir.file("out.pdf");
};

TEST_F(PrintCommands, WithoutAPrinterPrintAndLayoutSaySo) {
    PromptRecorder prompts;
    ShowPicture();
    Run(Cmd::ID_PRINT);
    Run(Cmd::ID_PRINT_LAYOUT);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{Cmd::kNoPrinter, Cmd::kNoPrinter}));
    EXPECT_EQ(prompts.Requests().front().icon, PromptError);
    EXPECT_FALSE(studio->GetPrintJob().IsPreviewOpen());
}

TEST_F(PrintCommands, PrintsTheShownFileInTheStoredLayoutWithoutTheDialog) {
    PdfPrinter();
    studio->SetPrintShow(0);
    studio->SetPrintFitMode(CPrintJob::FIT_PAPER);
    studio->SetPrintLandscape();
    // Nothing shown: nothing printed.
    Run(Cmd::ID_PRINT);
    EXPECT_FALSE(studio->GetPrintJob().IsPreviewOpen());
    ShowPicture();
    Run(Cmd::ID_PRINT);
    CPrintJob& job = studio->GetPrintJob();
    ASSERT_TRUE(job.IsPreviewOpen());
    EXPECT_EQ(job.GetOrientation(), CPrintJob::ORIENT_LANDSCAPE);
    EXPECT_EQ(job.GetFitMode(), CPrintJob::FIT_PAPER);
    CPrintFrame* preview = job.GetPreviewFrame();
    ModalDriver driver;
    driver.Then<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
    preview->PrintAction()->trigger();
    EXPECT_TRUE(driver.Done());
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile out(QString::fromStdString(pdf));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray bytes = out.readAll();
    // One A4 page, wider than high.
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 842") || bytes.contains("/MediaBox [0 0 841")) << bytes.left(2000).toStdString();

    // Content that is no picture is told, not swallowed.
    PromptRecorder prompts;
    ShowPicture("no picture at all");
    Run(Cmd::ID_PRINT);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{Cmd::kNotPrintable});
}

TEST_F(PrintCommands, TheBrowserPrintsItsSelectedFileNotTheShownOne) {
    PdfPrinter();
    studio->SetPrintShow(0);
    ShowPicture(PngBytes(60, 40)); // "local", shown in the information bar
    TempDir pictures;
    const std::string path = pictures.file("chosen.png");
    std::ofstream(path, std::ios::binary) << PngBytes(30, 20);
    CvClientDoc* doc = OpenDoc(CvClientDoc::KIND_LOCAL);
    ASSERT_NE(doc, nullptr);
    CBrowser* browser = nullptr;
    for (QWidget* view : doc->GetViews())
        if (auto* b = dynamic_cast<CBrowser*>(view)) browser = b;
    ASSERT_NE(browser, nullptr);
    doc->SetBrowserReady(true);
    doc->RequestLocalLoad(pictures.str(), {path});
    ASSERT_TRUE(PumpUntil([&] { return doc->GetFileCount() == 1; }));
    PumpFor(100ms);
    CkxwFileListView* list = browser->FileList();
    list->SelectItem(list->GetFileItem(doc->GetFileIds().front()));
    browser->OnCommand(ID_PRINT);
    CPrintJob& job = studio->GetPrintJob();
    ASSERT_TRUE(job.IsPreviewOpen());
    ASSERT_NE(job.GetFile(), nullptr);
    EXPECT_EQ(job.GetFile()->m_strTitle, "chosen");
    job.GetPreviewFrame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(PrintCommands, TheLayoutDialogStoresItsChoicesOnlyOnOk) {
    PdfPrinter();
    ShowPicture();
    // With "PrintShow" 1 the print command asks first; its Cancel prints nothing.
    ModalDriver cancelPrint;
    cancelPrint.Then<CDlgPrintLayout>([](CDlgPrintLayout* d) { ClickId(d, IDCANCEL); });
    Run(Cmd::ID_PRINT);
    EXPECT_TRUE(cancelPrint.Done());
    EXPECT_FALSE(studio->GetPrintJob().IsPreviewOpen());

    auto radio = [](Dialog* d, int id) { return d->findChild<QRadioButton*>(QString::number(id)); };
    ModalDriver cancel;
    cancel.Then<CDlgPrintLayout>([&](CDlgPrintLayout* d) {
        EXPECT_TRUE(radio(d, CDlgPrintLayout::IDC_PORTRAIT)->isChecked());
        EXPECT_TRUE(radio(d, CDlgPrintLayout::IDC_FIT_NATURAL)->isChecked());
        QTest::mouseClick(radio(d, CDlgPrintLayout::IDC_LANDSCAPE), Qt::LeftButton);
        QTest::mouseClick(radio(d, CDlgPrintLayout::IDC_FIT_PAPER), Qt::LeftButton);
        ClickId(d, IDCANCEL);
    });
    Run(Cmd::ID_PRINT_LAYOUT);
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(StoredDevMode(), "");
    EXPECT_EQ(studio->GetPrintFitMode(), 1);
    EXPECT_TRUE(studio->IsPrintPortrait());

    ModalDriver ok;
    ok.Then<CDlgPrintLayout>([&](CDlgPrintLayout* d) {
        QTest::mouseClick(radio(d, CDlgPrintLayout::IDC_LANDSCAPE), Qt::LeftButton);
        EXPECT_FALSE(radio(d, CDlgPrintLayout::IDC_PORTRAIT)->isChecked());
        QTest::mouseClick(radio(d, CDlgPrintLayout::IDC_FIT_PAPER), Qt::LeftButton);
        QTest::mouseClick(radio(d, CDlgPrintLayout::IDC_FIT_FILL), Qt::LeftButton);
        EXPECT_FALSE(radio(d, CDlgPrintLayout::IDC_FIT_PAPER)->isChecked());
        auto* show = d->findChild<QCheckBox*>(QString::number(CDlgPrintLayout::IDC_SHOW_ALWAYS));
        EXPECT_TRUE(show->isChecked());
        show->setChecked(false);
        guitest::Screenshot(d, "studio_print_layout");
        ClickId(d, IDOK);
    });
    Run(Cmd::ID_PRINT_LAYOUT);
    EXPECT_TRUE(ok.Done());
    const std::string record = StoredDevMode();
    ASSERT_EQ(record.size(), CPrinterState::kDevModeBytes);
    EXPECT_EQ(Orientation(record), 2);
    EXPECT_EQ(studio->GetPrintFitMode(), 3);
    EXPECT_EQ(studio->GetPrintShow(), 0);
    EXPECT_TRUE(studio->IsPrintLandscape());
    EXPECT_EQ(studio->Printer().GetPrinter()->pageLayout().orientation(), QPageLayout::Landscape);
}

TEST_F(PrintCommands, ACancelledPrinterSetUpStillStoresThePrinterAndStartUpRestoresIt) {
    PdfPrinter();
    studio->SetPrintLandscape();
    ModalDriver driver;
    driver.Then<QPrintDialog>([](QPrintDialog* d) { d->reject(); });
    Run(Cmd::ID_PRINT_SETUP);
    EXPECT_TRUE(driver.Done());
    const std::string record = StoredDevMode();
    ASSERT_EQ(record.size(), CPrinterState::kDevModeBytes);
    EXPECT_EQ(Orientation(record), 2);
    // Only the fields we keep are set: the device name's field and the orientation.
    EXPECT_EQ(record.find_first_not_of('\0', CPrinterState::kDeviceNameBytes), CPrinterState::kOrientationOffset);

    // A new program start puts the stored record over its printer.
    CPrinterState restored;
    ASSERT_EQ(restored.SetDevMode(record), 1);
    EXPECT_TRUE(restored.IsLandscape());
    EXPECT_EQ(restored.SetDevMode(record.substr(1)), 0);
}

// ---- Document windows ----

TEST_F(Commands, TheChooserListsLocalDocumentsAndTheManagerClosesTheChosenOne) {
    MakeStudio("alice");
    CvClientDoc* local1 = OpenDoc(CvClientDoc::KIND_LOCAL);
    CvClientDoc* bin = OpenDoc(CvClientDoc::KIND_RECYCLE);
    CvClientDoc* query = OpenDoc(CvClientDoc::KIND_OPERAND);
    CvClientDoc* local2 = OpenDoc(CvClientDoc::KIND_LOCAL);
    ASSERT_TRUE(local1 && bin && query && local2);
    const int ids[] = {local1->GetDocID(), bin->GetDocID(), query->GetDocID(), local2->GetDocID()};
    auto rows = [](ReportList* list) {
        std::vector<std::pair<std::string, int>> out;
        for (int r = 0; r < list->GetItemCount(); ++r)
            out.emplace_back(list->GetItemText(r, 1).toStdString(), static_cast<int>(list->GetItemData(r)));
        return out;
    };

    CDlgDocWindowChooser chooser(*studio);
    ModalDriver pick;
    pick.Then<CDlgDocWindowChooser>([&](CDlgDocWindowChooser* d) {
        EXPECT_EQ(d->List()->GetItemText(0, 0), CDlgDocWindowChooser::kNewWindow);
        EXPECT_EQ(rows(d->List()), (std::vector<std::pair<std::string, int>>{
                                       {"本地文档", -1}, {"本地文档", ids[0]}, {"本地文档", ids[3]}}));
        guitest::Screenshot(d, "studio_doc_window_chooser");
        ClickId(d, IDOK);
    });
    EXPECT_EQ(chooser.DoModal(), IDOK);
    EXPECT_TRUE(pick.Done());
    EXPECT_EQ(chooser.m_nDocID, -1);

    CDlgDocWindowChooser chosen(*studio);
    ModalDriver second;
    second.Then<CDlgDocWindowChooser>([&](CDlgDocWindowChooser* d) {
        d->List()->SetItemSelected(2, true);
        ClickId(d, IDOK);
    });
    chosen.DoModal();
    EXPECT_EQ(chosen.m_nDocID, ids[3]);

    QMdiArea* area = Frame()->MdiArea();
    ASSERT_EQ(area->subWindowList().size(), 4);
    ModalDriver manage(20000);
    manage.Then<CDlgDocWindowManager>([&](CDlgDocWindowManager* d) {
        ReportList* list = d->List();
        EXPECT_EQ(rows(list).size(), 4u);
        EXPECT_EQ(list->GetItemText(1, 1), "回收站");
        auto* close = d->findChild<QPushButton*>(QString::number(CDlgDocWindowManager::IDC_CLOSE));
        EXPECT_FALSE(close->isEnabled());
        guitest::Screenshot(d, "studio_doc_window_manager");
        // The query document, not the head: its own window goes, and its row at once.
        list->SetItemSelected(list->FindItemData(ids[2]), true);
        EXPECT_TRUE(close->isEnabled());
        QTest::mouseClick(close, Qt::LeftButton);
        EXPECT_EQ(list->FindItemData(ids[2]), -1);
        EXPECT_EQ(list->GetItemCount(), 3);
        EXPECT_TRUE(PumpUntil([&] { return studio->FindDoc(ids[2]) == nullptr; }));
        for (int id : {ids[0], ids[1], ids[3]}) EXPECT_NE(studio->FindDoc(id), nullptr) << id;
        EXPECT_EQ(area->subWindowList().size(), 3);
        // Again: acts on what is still listed.
        list->SetItemSelected(list->FindItemData(ids[1]), true);
        QTest::mouseClick(close, Qt::LeftButton);
        EXPECT_TRUE(PumpUntil([&] { return studio->FindDoc(ids[1]) == nullptr; }));
        EXPECT_EQ(rows(list).size(), 2u);
        EXPECT_NE(studio->FindDoc(ids[0]), nullptr);
        EXPECT_NE(studio->FindDoc(ids[3]), nullptr);
        ClickId(d, IDCANCEL);
    });
    Run(Cmd::ID_DOC_MANAGER);
    EXPECT_TRUE(manage.Done());
    EXPECT_EQ(area->subWindowList().size(), 2);
}

TEST_F(Commands, NewDocumentsStayWithinTheLimitAndCtrlASelectsTheHeadDocument) {
    MakeStudio("alice");
    PromptRecorder prompts;
    for (int i = 0; i < CvClientApp::kMaxDocs; ++i) Run(Cmd::ID_FILE_NEW);
    EXPECT_EQ(studio->GetDocCount(), CvClientApp::kMaxDocs);
    for (CvClientDoc* doc : studio->GetDocs()) EXPECT_EQ(doc->GetKind(), CvClientDoc::KIND_LOCAL);
    EXPECT_EQ(prompts.Count(), 0u);
    Run(Cmd::ID_FILE_NEW);
    EXPECT_EQ(studio->GetDocCount(), CvClientApp::kMaxDocs);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CvClientApp::kLimitText});
    Run(Cmd::ID_SELECT_ALL); // an empty head document: nothing to select, nothing breaks
}

// ---- About and manual ----

TEST_F(Commands, TheAboutBoxAndTheManual) {
    MakeStudio("alice");
    ModalDriver driver;
    driver.Then<CDlgAbout>([](CDlgAbout* d) {
        auto* title = d->findChild<QLabel*>(QString::number(CDlgAbout::IDC_TITLE));
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(title->text().startsWith(QString::fromUtf8(CDlgAbout::kTitleLine)));
        guitest::Screenshot(d, "studio_about");
        ClickId(d, IDOK);
    });
    Run(Cmd::ID_APP_ABOUT);
    EXPECT_TRUE(driver.Done());

    const std::string manual = studio->Commands().ManualFile();
    ASSERT_FALSE(manual.empty());
    QFile file(QString::fromStdString(manual));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Varnia Studio 用户手册")));

    // Without a program to open it, the command names the manual and the opener it tried; the
    // manual is there, so it is never "not found".
    TempDir bin;
    const std::string opener = bin.file(CkxwFileSystem::kOpenProgram);
    for (const char* script : {"#!/bin/sh\nexit 3\n", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(script ? "an opener that finds no program" : "no opener at all");
        std::filesystem::remove(opener);
        if (script) {
            std::ofstream(opener) << script;
            std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        }
        ScopedEnv path("PATH", bin.str());
        PromptRecorder prompts;
        Run(Cmd::ID_MANUAL);
        ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CkxwFileSystem::NoProgramText(manual, CkxwFileSystem::kOpenProgram)});
    }
}

} // namespace
