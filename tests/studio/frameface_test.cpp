// The studio's main frame as a person first sees it: every button of every strip and tool bar
// (the tool bar, the floating full-screen bar, the information bar's view, player and edit
// strips, the navigation strips, the work bar's and a document window's strips) shows an icon
// or its caption and fits its strip, the navigation pages and trees show their pictures, and
// the frame is pictured with a real photograph in the viewer.
#include "studio/support/StudioTestKit.h"

#include "app/CVarniaStudioApp.h"
#include "app/StudioCommands.h"
#include "browser/CxFileBrowser.h"
#include "frame/CMainFrame.h"
#include "infobar/CFileInfoBar.h"
#include "nav/CWndFolderTree.h"
#include "nav/CWndTempletTree.h"
#include "viewer/CxImageViewer.h"

#include "support/gui/Screenshot.h"
#include "support/gui/ToolButtonFaces.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTabBar>

#include <functional>

using namespace studiotest;
using Cmd = CStudioCommands;

namespace {

// A landscape drawn the way a photograph looks: a graded sky, a sun, hills and a lake, so a
// picture of the viewer shows whether it is drawn whole and in colour.
QImage Landscape(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 200, 150));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(w * 0.7, h * 0.35, h * 0.12);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(1, QColor(255, 170, 60, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(w * 0.7, h * 0.35), h * 0.12, h * 0.12);
    QPainterPath far;
    far.moveTo(0, h * 0.6);
    far.cubicTo(w * 0.2, h * 0.35, w * 0.45, h * 0.55, w * 0.6, h * 0.45);
    far.cubicTo(w * 0.75, h * 0.38, w * 0.9, h * 0.5, w, h * 0.48);
    far.lineTo(w, h);
    far.lineTo(0, h);
    p.fillPath(far, QColor(70, 110, 90));
    QPainterPath near;
    near.moveTo(0, h * 0.7);
    near.cubicTo(w * 0.3, h * 0.6, w * 0.6, h * 0.8, w, h * 0.66);
    near.lineTo(w, h);
    near.lineTo(0, h);
    p.fillPath(near, QColor(40, 120, 50));
    QLinearGradient lake(0, h * 0.8, 0, h);
    lake.setColorAt(0, QColor(90, 150, 200));
    lake.setColorAt(1, QColor(30, 70, 130));
    p.setBrush(lake);
    p.drawEllipse(QPointF(w * 0.35, h * 0.9), w * 0.25, h * 0.07);
    return image;
}

class FrameFaces : public StudioTest {
protected:
    // The frame is up before the start-up lists arrive, as in the program, so the trees fill
    // from the session's notices.
    void SetUp() override {
        StudioTest::SetUp();
        StartAndLogOn();
        if (HasFatalFailure()) return;
        MakeStudio();
        if (HasFatalFailure()) return;
        LoadInitialLists();
    }
    void TearDown() override {
        if (studio) studio->ExitInstance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StudioTest::TearDown();
    }
    // The program's application in place of the fixture's, its main frame up at a normal size.
    void MakeStudio() {
        app.reset();
        auto made = std::make_unique<CVarniaStudioApp>(*link);
        studio = made.get();
        app = std::move(made);
        ASSERT_TRUE(studio->CreateMainFrame());
        studio->SetLoggedInUser("alice");
        Frame()->resize(1200, 800);
        Frame()->show();
        Frame()->UpdateCommandStates();
    }
    CMainFrame* Frame() const { return studio->GetMainFrame(); }
    // A local document window holding the landscape, shown in the information bar.
    void ShowLandscape() {
        const std::string path = m_pictures.file("湖边.png");
        ASSERT_TRUE(Landscape(800, 600).save(QString::fromStdString(path), "PNG"));
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
        CvClientDoc* doc = studio->OpenNewDoc();
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
        ASSERT_NE(doc, nullptr);
        m_doc = doc;
        doc->SetBrowserReady(true);
        doc->RequestLocalLoad(m_pictures.str(), {path});
        ASSERT_TRUE(PumpUntil([&] { return doc->GetFileCount() == 1; }));
        Frame()->FileInfoBar()->ShowDocumentFile(doc->GetDocID(), doc->GetFileIds().front());
        ASSERT_TRUE(PumpUntil([&] { return Frame()->FileInfoBar()->Viewer()->GetImageSize() == QSize(800, 600); }));
        PumpFor(100ms);
    }

    CVarniaStudioApp* studio = nullptr;
    CvClientDoc* m_doc = nullptr; // ShowLandscape's
    TempDir m_pictures;
};

TEST_F(FrameFaces, EveryStripAndToolBarButtonShowsAnIconOrItsCaptionAndFits) {
    ShowLandscape();
    // The default layout, then full screen with its floating bar.
    for (const auto& [layout, name] : {std::pair{int(Cmd::ID_LAYOUT_DEFAULT), "studio_frame_default"},
                                       std::pair{int(Cmd::ID_LAYOUT_FULL), "studio_frame_full_screen"}}) {
        SCOPED_TRACE(name);
        studio->OnCommand(layout);
        PumpFor(100ms);
        EXPECT_GT(guitest::CountToolButtons(Frame()), 40);
        EXPECT_EQ(guitest::FacelessToolButtons(Frame()), std::vector<std::string>{});
        EXPECT_EQ(guitest::OverflowingStrips(Frame()), std::vector<std::string>{});
        guitest::Screenshot(Frame(), name);
    }
    ASSERT_NE(Frame()->FullScreenToolBar(), nullptr);
    EXPECT_EQ(guitest::FacelessToolButtons(Frame()->FullScreenToolBar()), std::vector<std::string>{});
    studio->OnCommand(Cmd::ID_LAYOUT_RESTORE);
}

TEST_F(FrameFaces, TheNavigationPagesAndTreesShowTheirPictures) {
    CNavigationBar* nav = Frame()->NavigationBar();
    for (int page = 0; page < nav->Tabs()->count(); ++page) {
        SCOPED_TRACE(page);
        EXPECT_FALSE(nav->Tabs()->tabIcon(page).isNull());
    }
    EXPECT_FALSE(nav->windowIcon().isNull());
    EXPECT_FALSE(Frame()->WorkBar()->windowIcon().isNull());
    EXPECT_FALSE(Frame()->FileInfoBar()->windowIcon().isNull());
    // The folder tree: the root, each folder and the recycle bin with a picture.
    nav->SelectPage(CNavigationBar::PAGE_FOLDER);
    CWndFolderTree* folders = nav->FolderTree();
    ASSERT_TRUE(PumpUntil([&] { return folders->topLevelItemCount() >= 2 && folders->topLevelItem(0)->childCount() > 0; }));
    int shown = 0;
    for (QTreeWidgetItemIterator it(folders); *it; ++it) {
        SCOPED_TRACE((*it)->text(0).toStdString());
        EXPECT_FALSE((*it)->icon(0).isNull());
        ++shown;
    }
    EXPECT_GT(shown, 3);
    folders->expandAll();
    guitest::Screenshot(nav, "studio_frame_navigation_folders");
    nav->SelectPage(CNavigationBar::PAGE_QUICK);
    nav->TempletTree()->expandAll();
    guitest::Screenshot(nav, "studio_frame_navigation_quick");
}

} // namespace

namespace {

TEST_F(FrameFaces, ALongStatusTextNeverWidensTheWindow) {
    const QSize before = Frame()->size();
    std::string path = "本地文件\"湖边.png\"  目录＝";
    for (int i = 0; i < 30; ++i) path += "/很长的目录名称" + std::to_string(i);
    Frame()->SetReadyText(path);
    PumpFor(100ms);
    EXPECT_EQ(Frame()->size(), before);
    EXPECT_EQ(Frame()->PaneText(0).toStdString(), path); // the whole text stays readable (tip, copy)
    guitest::Screenshot(Frame(), "studio_frame_long_status");
}

} // namespace

namespace {

// What the window shows, not what the bar stores: the information bar's width in each layout
// that sizes it, the document area beside it, and a picture of each.
TEST_F(FrameFaces, TheLayoutsShowTheInformationBarAtTheirWidths) {
    ShowLandscape();
    const int client = Frame()->width();
    const struct {
        int layout;
        const char* name;
        bool documents;
        std::function<int()> width; // asked once the layout is shown
    } rows[] = {
        {Cmd::ID_LAYOUT_VIEW, "studio_layout_shown_browse_and_view", true, [&] { return client * 3 / 5; }},
        {Cmd::ID_LAYOUT_BIG, "studio_layout_shown_big_screen", false, [&] { return client; }},
        {Cmd::ID_LAYOUT_DEFAULT, "studio_layout_shown_default", true, [] { return 280; }},
        {Cmd::ID_LAYOUT_FULL, "studio_layout_shown_full_screen", false, [&] { return Frame()->width(); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        studio->OnCommand(r.layout);
        ASSERT_TRUE(PumpUntil([&] { return Frame()->FileInfoBar()->width() == r.width(); }))
            << Frame()->FileInfoBar()->width() << " of " << Frame()->width();
        const QRect bar = Frame()->FileInfoBar()->geometry();
        EXPECT_EQ(bar.right(), Frame()->rect().right()); // the bar keeps the right edge
        EXPECT_EQ(Frame()->IsDocumentAreaVisible(), r.documents ? 1 : 0);
        EXPECT_EQ(Frame()->centralWidget()->isVisible(), r.documents);
        guitest::Screenshot(Frame(), r.name);
    }
    EXPECT_EQ(Frame()->IsFullScreen(), 1);
    EXPECT_EQ(Frame()->width(), Frame()->screen()->geometry().width());
    studio->OnCommand(Cmd::ID_LAYOUT_RESTORE);
    ASSERT_TRUE(PumpUntil([&] { return Frame()->FileInfoBar()->width() == 280; }));
    EXPECT_EQ(Frame()->IsFullScreen(), 0);
    EXPECT_TRUE(Frame()->centralWidget()->isVisible());
    guitest::Screenshot(Frame(), "studio_layout_shown_restored");
}

} // namespace

namespace {

// The document window's strip in a wide, a narrow and a narrowest window: the caption ends
// before the first button (the buttons never lie over its text), whole when it fits, else cut
// in the middle, and the whole caption stays its tip.
TEST_F(FrameFaces, TheDocumentStripKeepsItsCaptionClearOfItsButtons) {
    ShowLandscape();
    studio->OnCommand(Cmd::ID_LAYOUT_VIEW);
    ASSERT_NE(m_doc, nullptr);
    ASSERT_FALSE(m_doc->GetViews().empty());
    auto* browser = dynamic_cast<CxFileBrowser*>(m_doc->GetViews().front());
    ASSERT_NE(browser, nullptr);
    const QString whole = QString::fromStdString(browser->Document().GetCaption());
    ASSERT_FALSE(whole.isEmpty());
    for (const auto& [frameWidth, name] : {std::pair{1600, "studio_document_strip_wide"},
                                           std::pair{1046, "studio_document_strip_narrow"},
                                           std::pair{900, "studio_document_strip_narrowest"}}) {
        SCOPED_TRACE(name);
        Frame()->resize(frameWidth, 800);
        ASSERT_TRUE(PumpUntil([&] { return Frame()->width() == frameWidth; }));
        PumpFor(100ms);
        const QLabel* caption = browser->CaptionBar()->Caption();
        int buttons = browser->width();
        for (int id = CxFileBrowser::BTN_LARGE; id <= CxFileBrowser::BTN_SLIDE; ++id)
            if (!browser->ToolButton(id)->isHidden()) buttons = std::min(buttons, browser->ToolButton(id)->x());
        if (caption->width() > 0) {
            EXPECT_LT(caption->mapTo(browser, QPoint(caption->width() - 1, 0)).x(), buttons) << browser->width();
        } else {
            EXPECT_TRUE(caption->text().isEmpty()); // the buttons take the whole strip
        }
        const QFontMetrics metrics = caption->fontMetrics();
        EXPECT_LE(metrics.horizontalAdvance(caption->text()), caption->width());
        if (metrics.horizontalAdvance(whole) <= caption->width()) {
            EXPECT_EQ(caption->text(), whole);
        } else if (caption->width() > metrics.horizontalAdvance(QStringLiteral("本…>"))) {
            EXPECT_TRUE(caption->text().contains(QChar(0x2026))) << caption->text().toStdString();
        }
        EXPECT_EQ(caption->toolTip(), whole);
        guitest::Screenshot(Frame(), name);
    }
}

} // namespace
