// The image viewer as a real widget on the offscreen platform: where pictures land, the bars, the
// notice, the transitions, panning, and input that must not break it. Pixels come from grabs.
#include "viewer/CxImageViewer.h"

#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "qt/KxModalDriver.h"
#include "support/TempDir.h"
#include "support/gui/OrientedPhoto.h"
#include "support/gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <fstream>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Paint = std::function<QColor(int x, int y)>;

QImage Picture(int w, int h, const Paint& paint) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixelColor(x, y, paint(x, y));
    return img;
}

QImage Solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// Four quadrants in different colours, so a picture that is cut, shifted or flipped shows it.
QImage Quadrants(int w, int h) {
    return Picture(w, h, [w, h](int x, int y) {
        const bool right = x >= w / 2, bottom = y >= h / 2;
        return right ? (bottom ? QColor(250, 220, 40) : QColor(40, 200, 60))
                     : (bottom ? QColor(40, 90, 230) : QColor(230, 40, 40));
    });
}

std::vector<uint8_t> Encode(const QImage& img, uint32_t format) {
    CxImage cx;
    EXPECT_EQ(CkxImageTool::ToImage(img, cx), 1);
    std::vector<uint8_t> out;
    EXPECT_TRUE(cx.Encode(out, format)) << cx.GetLastError();
    return out;
}

CkxFile File(const std::vector<uint8_t>& bytes, const std::string& ext, int id = -2) {
    CkxFile f;
    f.m_nID = id;
    f.m_strTitle = "picture";
    f.m_strExName = ext;
    if (!bytes.empty()) f.UpdateWhole(bytes.data(), static_cast<int>(bytes.size()));
    return f;
}

CkxFile Png(const QImage& img) { return File(Encode(img, CXIMAGE_FORMAT_PNG), "png"); }

QImage Grab(CxImageViewer& v) { return v.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool Near(QColor a, QColor b, int tol = 3) {
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}

::testing::AssertionResult AllPixels(const QImage& img, QColor c) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != c)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << img.pixelColor(x, y).name().toStdString();
    return ::testing::AssertionSuccess();
}

std::string Str(const QRect& r) {
    return "(" + std::to_string(r.x()) + ", " + std::to_string(r.y()) + ", " + std::to_string(r.width()) + " x " +
           std::to_string(r.height()) + ")";
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }

    // A shown viewer of that size (it has no frame: the client is the widget until a bar shows).
    std::unique_ptr<CxImageViewer> Viewer(int w, int h) {
        auto v = std::make_unique<CxImageViewer>();
        v->resize(w, h);
        v->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(v.get()));
        return v;
    }

    // Steps a running transition by hand until it ends; the count of steps.
    static int TicksToEnd(CxImageViewer& v) {
        int ticks = 0;
        while (!v.IsTransitionIdle() && ticks < 100000) {
            v.TransitionTick();
            ++ticks;
        }
        return ticks;
    }

    static bool HBar(CxImageViewer& v) { return v.horizontalScrollBar()->isVisible(); }
    static bool VBar(CxImageViewer& v) { return v.verticalScrollBar()->isVisible(); }
};

// ---- geometry ---------------------------------------------------------------------------------

TEST_F(ViewerTest, FitPlacesPictureTouchingTwoEdgesOrCentredAtNaturalSize) {
    struct Case {
        const char* what;
        int w, h;
        QRect expect; // in a 100 x 60 client
    };
    const Case cases[] = {
        {"wider", 200, 60, QRect(0, 15, 100, 30)},
        {"taller", 50, 120, QRect(38, 0, 24, 60)},
        {"smaller", 40, 20, QRect(30, 20, 40, 20)},
        {"equal", 100, 60, QRect(0, 0, 100, 60)},
        {"one pixel", 1, 1, QRect(50, 30, 1, 1)},
    };
    auto v = Viewer(100, 60);
    const QColor red(230, 20, 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CkxFile f = Png(Solid(c.w, c.h, red));
        v->ShowFile(&f, 0);
        EXPECT_TRUE(v->IsFitToWindow());
        EXPECT_EQ(v->GetDisplayRect(), c.expect) << Str(v->GetDisplayRect());
        EXPECT_FALSE(HBar(*v));
        EXPECT_FALSE(VBar(*v));
        const QImage shot = Grab(*v);
        EXPECT_TRUE(Near(shot.pixelColor(c.expect.center()), red));
        EXPECT_TRUE(Near(shot.pixelColor(c.expect.topLeft()), red));
        EXPECT_TRUE(Near(shot.pixelColor(c.expect.bottomRight()), red));
        // Just outside the rectangle lies the black background.
        const QPoint outside[] = {{c.expect.left() - 1, c.expect.center().y()},
                                  {c.expect.center().x(), c.expect.top() - 1},
                                  {c.expect.right() + 1, c.expect.center().y()},
                                  {c.expect.center().x(), c.expect.bottom() + 1}};
        for (const QPoint& p : outside) {
            if (shot.rect().contains(p)) {
                EXPECT_EQ(shot.pixelColor(p), QColor(Qt::black));
            }
        }
    }
}

TEST_F(ViewerTest, FittedPictureScreenshot) {
    auto v = Viewer(320, 240);
    CkxFile f = Png(Picture(640, 360, [](int x, int y) {
        const bool check = ((x / 40) + (y / 40)) % 2;
        return check ? QColor(240, 240, 240) : QColor(20 + x / 3, 60 + y / 3, 160);
    }));
    v->ShowFile(&f, 0);
    EXPECT_EQ(v->GetDisplayRect(), QRect(0, 30, 320, 180));
    guitest::Screenshot(v.get(), "CxImageViewer-fit");
}

TEST_F(ViewerTest, ZoomStepsStartFromTheUserScale) {
    auto v = Viewer(100, 60);
    CkxFile f = Png(Solid(200, 100, Qt::white));
    v->ShowFile(&f, 0);
    v->FitToWindow(1);
    v->ZoomIn(1);
    // 1.1 x the natural size, not 1.1 x the fitted one.
    EXPECT_TRUE(v->IsZoomIn());
    EXPECT_NEAR(v->GetCurZoom().scale, 1.1f, 1e-5);
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(220, 110));

    v->SetOriginalSize(1);
    EXPECT_TRUE(v->IsOriginalSize());
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(200, 100));
    for (int i = 0; i < 3; ++i) v->ZoomOut(1);
    EXPECT_TRUE(v->IsZoomOut());
    EXPECT_NEAR(v->GetCurZoom().scale, 0.7f, 1e-5);
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(140, 70));

    // Mode 4 keeps the scale.
    v->SetAutoSize(1);
    EXPECT_TRUE(v->IsAutoSize());
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(140, 70));
    v->SetScale(2.0f);
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(400, 200));
}

TEST_F(ViewerTest, ScrollBarsShowWhereThePictureExceedsTheClient) {
    struct Case {
        const char* what;
        int w, h;
        std::function<void(CxImageViewer&)> zoom;
        bool h_bar, v_bar;
    };
    const auto original = [](CxImageViewer& v) { v.SetOriginalSize(1); };
    const Case cases[] = {
        {"wide at natural size", 300, 100, original, true, false},
        {"tall at natural size", 100, 300, original, false, true},
        {"large at natural size", 300, 300, original, true, true},
        {"large fitted", 300, 300, [](CxImageViewer& v) { v.FitToWindow(1); }, false, false},
        {"small at natural size", 100, 100, original, false, false},
        // Wider than the client: the horizontal bar takes height the picture then lacks.
        {"a bar brings the other", 210, 140, original, true, true},
        {"zoomed in", 150, 100, [](CxImageViewer& v) { v.SetOriginalSize(1); v.SetScale(2.0f); }, true, true},
        {"zoomed out", 300, 300, [](CxImageViewer& v) { v.SetOriginalSize(1); for (int i = 0; i < 5; ++i) v.ZoomOut(1); }, false, false},
    };
    auto v = Viewer(200, 150);
    ASSERT_GT(v->horizontalScrollBar()->sizeHint().height(), 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CkxFile f = Png(Solid(c.w, c.h, Qt::gray));
        v->FitToWindow(0);
        v->ShowFile(&f, 0);
        c.zoom(*v);
        EXPECT_EQ(HBar(*v), c.h_bar);
        EXPECT_EQ(VBar(*v), c.v_bar);
        const QSize client = v->viewport()->size();
        const QSize shown = v->GetDisplayRect().size();
        EXPECT_EQ(v->horizontalScrollBar()->maximum(), std::max(0, shown.width() - client.width()));
        EXPECT_EQ(v->verticalScrollBar()->maximum(), std::max(0, shown.height() - client.height()));
    }
}

TEST_F(ViewerTest, SmallPictureSitsCentredOnBlack) {
    auto v = Viewer(200, 150);
    const QColor green(30, 200, 60);
    CkxFile f = Png(Solid(40, 30, green));
    v->SetOriginalSize(0);
    v->ShowFile(&f, 0);
    const QRect r(80, 60, 40, 30);
    ASSERT_EQ(v->GetDisplayRect(), r);
    QImage shot = Grab(*v);
    EXPECT_EQ(shot.pixelColor(r.topLeft()), green);
    EXPECT_EQ(shot.pixelColor(r.bottomRight()), green);
    // Everything else is the background.
    QPainter(&shot).fillRect(r, Qt::black);
    EXPECT_TRUE(AllPixels(shot, Qt::black));
}

TEST_F(ViewerTest, FileWithoutPictureLeavesTheBackground) {
    TempDir dir;
    const std::vector<uint8_t> png = Encode(Solid(60, 40, Qt::red), CXIMAGE_FORMAT_PNG);
    const std::string onDisk = dir.file("here.png");
    std::ofstream(onDisk, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));

    struct Case {
        const char* what;
        CkxFile file;
        bool picture;
    };
    CkxFile catalogue = File({}, "png", 7);
    catalogue.m_strSourcePath = onDisk; // the uploader's path: never read for a catalogue file
    CkxFile missing = File({}, "png", -3);
    missing.m_strSourcePath = dir.file("gone.png");
    CkxFile local = File({}, "png", -4);
    local.m_strSourcePath = onDisk;
    const Case cases[] = {
        {"catalogue file without content", catalogue, false},
        {"local file whose path is gone", missing, false},
        {"local file read from its path", local, true},
    };
    auto v = Viewer(120, 80);
    v->SetOriginalSize(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CkxFile big = Png(Solid(400, 300, Qt::blue)); // leaves bars behind if nothing hides them
        v->ShowFile(&big, 0);
        ASSERT_TRUE(HBar(*v));
        v->ShowFile(&c.file, 0);
        EXPECT_FALSE(HBar(*v));
        EXPECT_FALSE(VBar(*v));
        const QImage shot = Grab(*v);
        if (c.picture) {
            EXPECT_EQ(shot.pixelColor(60, 40), QColor(Qt::red));
        } else {
            EXPECT_TRUE(AllPixels(shot, Qt::black));
        }
    }
    v->RestoreView();
    EXPECT_EQ(v->GetShowState(), CxImageViewer::SHOW_EMPTY);
    EXPECT_FALSE(HBar(*v));
    EXPECT_TRUE(AllPixels(Grab(*v), Qt::black));
}

// ---- the notice -------------------------------------------------------------------------------

TEST_F(ViewerTest, NoticeDrawsItsLineInTheInverseOfTheBackground) {
    struct Case {
        const char* what;
        unsigned long bk; // 0x00BBGGRR
        QColor back, ink;
        const char* shot;
    };
    const Case cases[] = {
        {"black", 0x000000, Qt::black, Qt::white, "CxImageViewer-notice"},
        {"white", 0xFFFFFF, Qt::white, Qt::black, nullptr},
        {"red", 0x0000FF, QColor(255, 0, 0), QColor(0, 255, 255), nullptr},
    };
    auto v = Viewer(300, 200);
    // In a 300 x 200 client the text starts at x 100 and the line lies on row 100.
    const int textX = 100, row = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        v->SetBkColor(c.bk);
        v->ShowNoRightNotice();
        EXPECT_EQ(v->GetShowState(), CxImageViewer::SHOW_NORIGHT);
        EXPECT_EQ(v->GetDisplayRect(), QRect(0, 0, 300, 200));
        const QImage shot = Grab(*v);
        for (int x = textX; x < textX + CxImageViewer::NOTICE_WIDTH; ++x)
            ASSERT_EQ(shot.pixelColor(x, row), c.ink) << "x " << x;
        EXPECT_EQ(shot.pixelColor(textX - 1, row), c.back);
        EXPECT_EQ(shot.pixelColor(textX + CxImageViewer::NOTICE_WIDTH, row), c.back);
        EXPECT_EQ(shot.pixelColor(0, 0), c.back);
        EXPECT_EQ(shot.pixelColor(299, 199), c.back);
        // The icon (our resource) sits left of the text: a red disc.
        const QColor icon = shot.pixelColor(81, 76);
        EXPECT_GT(icon.red(), 150);
        EXPECT_LT(icon.green(), 100);
        if (c.shot) guitest::Screenshot(v.get(), c.shot);
    }
}

// ---- slide show -------------------------------------------------------------------------------

TEST_F(ViewerTest, TransitionShowsFittedWhateverTheUserZoom) {
    auto v = Viewer(200, 150);
    CkxFile f = Png(Quadrants(400, 200));
    v->SetOriginalSize(1);
    v->ShowFile(&f, 1);
    EXPECT_TRUE(v->IsFitToWindow());
    EXPECT_EQ(v->GetDisplayRect(), QRect(0, 25, 200, 100));
    EXPECT_FALSE(v->IsTransitionIdle());
    TicksToEnd(*v);
    // A zoom command during an automatic show only changes the user's zoom ...
    v->ZoomIn(0);
    EXPECT_TRUE(v->IsFitToWindow());
    EXPECT_EQ(v->GetDisplayRect(), QRect(0, 25, 200, 100));
    // ... which the next file shown without transition takes.
    v->ShowFile(&f, 0);
    EXPECT_TRUE(v->IsZoomIn());
    EXPECT_EQ(v->GetDisplayRect().size(), QSize(440, 220));
    EXPECT_TRUE(v->IsTransitionIdle());
}

// Counts the steps a fresh player needs for one transition over a rectangle.
int PlayerSteps(int type, const QRect& client, const QRect& display) {
    CkxPlaySpec ps;
    QImage screen(client.size(), QImage::Format_RGB32), picture(client.size(), QImage::Format_RGB32);
    ps.spWeavingOpen(display);
    int steps = 0;
    for (int more = 1; more && steps < 100000; ++steps) {
        switch (type) {
        case CkxPlaySpec::TYPE_FRAME: ps.spFrameDone(screen, picture, client); more = 0; break;
        case CkxPlaySpec::TYPE_SCAN: more = ps.spScanStep(screen, picture, client); break;
        case CkxPlaySpec::TYPE_MOVE: more = ps.spMoveStep(screen, picture, client); break;
        case CkxPlaySpec::TYPE_MOSIC: more = ps.spMosicStep(screen, picture, display); break;
        case CkxPlaySpec::TYPE_BLOCK: more = ps.spBlockStep(screen, picture, display); break;
        case CkxPlaySpec::TYPE_SHUTTER: more = ps.spShutterStep(screen, picture, display); break;
        case CkxPlaySpec::TYPE_WEAVING: more = ps.spWeavingStep(screen, picture); break;
        }
    }
    return steps;
}

TEST_F(ViewerTest, EachTransitionRunsThePlayersStepsAndEndsOnTheWholePicture) {
    const struct {
        const char* what;
        int type;
    } cases[] = {
        {"frame", CkxPlaySpec::TYPE_FRAME},   {"scan", CkxPlaySpec::TYPE_SCAN},
        {"move", CkxPlaySpec::TYPE_MOVE},     {"mosaic", CkxPlaySpec::TYPE_MOSIC},
        {"block", CkxPlaySpec::TYPE_BLOCK},   {"shutter", CkxPlaySpec::TYPE_SHUTTER},
        {"weaving", CkxPlaySpec::TYPE_WEAVING},
    };
    auto v = Viewer(100, 60);
    // Smaller than the client, so the client and the display rectangle differ on both axes.
    CkxFile f = Png(Quadrants(60, 30));
    CkxFile other = Png(Solid(100, 60, Qt::white));
    const QRect client(0, 0, 100, 60), display(20, 15, 60, 30);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        v->ShowFile(&other, 0); // what the screen showed before
        v->GetPlaySpec().SetType(c.type);
        v->ShowFile(&f, 1);
        ASSERT_EQ(v->GetDisplayRect(), display);
        const int expected = PlayerSteps(c.type, client, display);
        int ticks = 0;
        QImage half;
        if (expected > 2) {
            // Half way the screen is not yet the picture, and a paint (a grab) does not end it.
            for (; ticks < expected / 2; ++ticks) v->TransitionTick();
            half = Grab(*v);
            EXPECT_FALSE(v->IsTransitionIdle());
        }
        ticks += TicksToEnd(*v);
        EXPECT_EQ(ticks, expected);
        const QImage end = Grab(*v);
        if (!half.isNull()) {
            EXPECT_NE(half, end);
        }
        EXPECT_EQ(end.pixelColor(25, 20), QColor(230, 40, 40));
        EXPECT_EQ(end.pixelColor(75, 40), QColor(250, 220, 40));
        // The transition's last screen is the picture a plain paint draws.
        v->ResetEffect();
        EXPECT_EQ(end, Grab(*v));
    }
}

TEST_F(ViewerTest, TransitionHalfWayScreenshot) {
    auto v = Viewer(320, 240);
    CkxFile before = Png(Solid(320, 240, QColor(40, 40, 40)));
    CkxFile f = Png(Quadrants(480, 300));
    v->ShowFile(&before, 0);
    v->GetPlaySpec().SetType_Block();
    v->ShowFile(&f, 1);
    const int steps = PlayerSteps(CkxPlaySpec::TYPE_BLOCK, QRect(0, 0, 320, 240), v->GetDisplayRect());
    for (int i = 0; i < steps / 2 + steps / 4; ++i) v->TransitionTick();
    EXPECT_FALSE(v->IsTransitionIdle());
    guitest::Screenshot(v.get(), "CxImageViewer-transition-half");
}

TEST_F(ViewerTest, ResetEffectAndResizeEndATransitionWithTheWholePicture) {
    auto v = Viewer(100, 60);
    CkxFile f = Png(Quadrants(200, 120));
    auto plain = [&](int w, int h) {
        auto ref = Viewer(w, h);
        ref->ShowFile(&f, 0);
        return Grab(*ref);
    };
    v->GetPlaySpec().SetType_Mosic();
    v->ShowFile(&f, 1);
    for (int i = 0; i < 5; ++i) v->TransitionTick();
    v->ResetEffect();
    EXPECT_TRUE(v->IsTransitionIdle());
    EXPECT_EQ(Grab(*v), plain(100, 60));

    v->ShowFile(&f, 1);
    for (int i = 0; i < 5; ++i) v->TransitionTick();
    v->resize(120, 70);
    QCoreApplication::processEvents();
    EXPECT_TRUE(v->IsTransitionIdle());
    EXPECT_EQ(Grab(*v), plain(120, 70));
}

TEST_F(ViewerTest, TheTimerBringsATransitionToItsEnd) {
    auto v = Viewer(100, 60);
    CkxFile f = Png(Quadrants(100, 60));
    v->GetPlaySpec().SetType_Scan();
    v->ShowFile(&f, 1);
    EXPECT_FALSE(v->IsTransitionIdle());
    EXPECT_TRUE(QTest::qWaitFor([&] { return v->IsTransitionIdle() != 0; }, 10000));
    EXPECT_EQ(Grab(*v).pixelColor(75, 45), QColor(250, 220, 40));
}

// ---- panning ----------------------------------------------------------------------------------

TEST_F(ViewerTest, DragKeysAndWheelPanALargePicture) {
    auto v = Viewer(400, 300);
    CkxFile f = Png(Quadrants(2000, 1500));
    v->SetOriginalSize(0);
    v->ShowFile(&f, 0);
    QScrollBar* h = v->horizontalScrollBar();
    QScrollBar* vb = v->verticalScrollBar();
    ASSERT_TRUE(HBar(*v) && VBar(*v));
    QWidget* port = v->viewport();
    const QSize client = port->size();
    EXPECT_EQ(h->maximum(), 2000 - client.width());
    EXPECT_EQ(vb->maximum(), 1500 - client.height());

    auto drag = [&](QPoint from, QPoint by) {
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
        EXPECT_EQ(port->cursor().shape(), Qt::BitmapCursor); // our drag cursor
        QMouseEvent move(QEvent::MouseMove, QPointF(from + by), port->mapToGlobal(QPointF(from + by)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, from + by);
        EXPECT_EQ(port->cursor().shape(), Qt::ArrowCursor);
    };
    h->setValue(100);
    vb->setValue(100);
    drag({200, 150}, {-50, -30});
    EXPECT_EQ(h->value(), 150);
    EXPECT_EQ(vb->value(), 130);
    // The picture follows the pointer.
    EXPECT_EQ(v->GetDisplayRect().topLeft(), QPoint(-150, -130));
    drag({200, 150}, {300, 250});
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(vb->value(), 0);
    drag({300, 200}, {-5000, -5000});
    EXPECT_EQ(h->value(), h->maximum());
    EXPECT_EQ(vb->value(), vb->maximum());
    // At the bottom-right end the picture's corner meets the client's.
    EXPECT_EQ(v->GetDisplayRect().bottomRight(), QPoint(client.width() - 1, client.height() - 1));
    EXPECT_EQ(Grab(*v).pixelColor(client.width() - 1, client.height() - 1), QColor(250, 220, 40));

    h->setValue(0);
    vb->setValue(0);
    QTest::keyClick(v.get(), Qt::Key_PageDown);
    EXPECT_EQ(vb->value(), client.height());
    QTest::keyClick(v.get(), Qt::Key_Down);
    EXPECT_EQ(vb->value(), 2 * client.height());
    QTest::keyClick(v.get(), Qt::Key_PageUp);
    EXPECT_EQ(vb->value(), client.height());
    QTest::keyClick(v.get(), Qt::Key_Right);
    EXPECT_EQ(h->value(), client.width());
    QTest::keyClick(v.get(), Qt::Key_Left);
    EXPECT_EQ(h->value(), 0);

    const int before = vb->value();
    QWheelEvent wheel(QPointF(100, 100), port->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(port, &wheel);
    EXPECT_GT(vb->value(), before);
}

TEST_F(ViewerTest, DoubleClickAsksForTheOtherLayout) {
    auto v = Viewer(100, 60);
    QSignalSpy spy(v.get(), &CxImageViewer::LayoutSwitchRequested);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 30));
    EXPECT_EQ(spy.count(), 1);
}

// ---- bad input --------------------------------------------------------------------------------

TEST_F(ViewerTest, BadInputNeverBreaksTheView) {
    const QImage pic = Quadrants(200, 100);
    const std::vector<uint8_t> png = Encode(pic, CXIMAGE_FORMAT_PNG);
    const std::vector<uint8_t> jpg = Encode(pic, CXIMAGE_FORMAT_JPG);
    std::vector<uint8_t> cut(jpg.begin(), jpg.begin() + jpg.size() / 3);
    const std::vector<uint8_t> noise = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', 0, 1, 2, 3};
    auto repeat = [](int n, void (CxImageViewer::*op)(int)) {
        return [n, op](CxImageViewer& v) {
            for (int i = 0; i < n; ++i) (v.*op)(1);
        };
    };
    const auto none = [](CxImageViewer&) {};
    struct Case {
        const char* what;
        CkxFile file;
        std::function<void(CxImageViewer&)> op;
        bool picture; // a picture on screen, else the plain background
    };
    const Case cases[] = {
        {"twenty zoom-outs", File(png, "png"), repeat(20, &CxImageViewer::ZoomOut), true},
        {"forty zoom-ins", File(png, "png"), repeat(40, &CxImageViewer::ZoomIn), true},
        {"two hundred zoom-ins", File(png, "png"), repeat(200, &CxImageViewer::ZoomIn), true},
        {"bytes that do not decode", File(noise, "jpg"), none, false},
        {"a 0-byte content", File({}, "png", -5), none, false},
        {"a truncated JPEG", File(cut, "jpg"), none, false},
        {"PNG bytes named .jpg", File(png, "jpg"), none, true},
        {"JPEG bytes named .tga", File(jpg, "tga"), none, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto v = Viewer(160, 120);
        v->ShowFile(&c.file, 0);
        v->SetOriginalSize(1);
        c.op(*v);
        const float scale = v->GetCurZoom().scale;
        EXPECT_GE(scale, CxImageViewer::SCALE_MIN - 1e-6f);
        EXPECT_LE(scale, CxImageViewer::SCALE_MAX + 1e-6f);
        const QImage shot = Grab(*v);
        if (c.picture) {
            const QRect r = v->GetDisplayRect();
            ASSERT_FALSE(r.isEmpty());
            const QRect seen = r & QRect(0, 0, shot.width(), shot.height());
            ASSERT_FALSE(seen.isEmpty());
            EXPECT_NE(shot.pixelColor(seen.topLeft()), QColor(Qt::black)) << Str(r);
        } else {
            EXPECT_TRUE(AllPixels(shot, Qt::black));
        }
    }
}

} // namespace

TEST_F(ViewerTest, APhotoTakenSidewaysShowsUpright) {
    // Stored 160 x 80 with the tag "turn a quarter clockwise": shown 80 x 160, at its own size in
    // 200 x 200; the same at 1600 x 800 (the shrinking path) is fitted.
    for (const uint32_t storedW : {160u, 1600u}) {
        SCOPED_TRACE(storedW);
        const guitest::OrientedView& turned = guitest::OrientedViews()[5];
        ASSERT_EQ(turned.orientation, 6);
        CkxFile f = File(guitest::QuarterJpeg(storedW, storedW / 2, 6), "jpg");
        auto v = Viewer(200, 200);
        v->ShowFile(&f, 0);
        const QRect shown = v->GetDisplayRect();
        EXPECT_EQ(shown, storedW == 160u ? QRect(60, 20, 80, 160) : QRect(50, 0, 100, 200)) << Str(shown);
        const QImage shot = Grab(*v);
        const struct {
            const char* where;
            QPoint at;
            uint32_t want;
        } spots[] = {{"top-left", {shown.left() + shown.width() / 4, shown.top() + shown.height() / 4}, turned.tl},
                     {"top-right", {shown.left() + 3 * shown.width() / 4, shown.top() + shown.height() / 4}, turned.tr},
                     {"bottom-left", {shown.left() + shown.width() / 4, shown.top() + 3 * shown.height() / 4}, turned.bl},
                     {"bottom-right", {shown.left() + 3 * shown.width() / 4, shown.top() + 3 * shown.height() / 4}, turned.br}};
        for (const auto& s : spots) {
            const QColor c = shot.pixelColor(s.at);
            EXPECT_EQ(guitest::NearestQuarterColour(c.red(), c.green(), c.blue()), s.want) << s.where;
        }
        if (storedW == 160u) guitest::Screenshot(v.get(), "CxImageViewer-oriented-photo");
    }
}
