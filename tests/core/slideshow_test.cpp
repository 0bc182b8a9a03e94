#include "model/CkxPlayCtrl.h"
#include "model/CkxPlayParam.h"
#include "ui/CkxPlaySpec.h"
#include "model/CkxTimer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

TEST(CkxPlayParam, DefaultsAndTimerPeriod) {
    CkxPlayParam p;
    EXPECT_TRUE(p.IsPlayOrderPos());
    EXPECT_TRUE(p.IsPlayOrderLoop());
    EXPECT_TRUE(p.IsPlaySpeed_InterTime());
    EXPECT_EQ(p.GetPlayTimerSpeed(), 1000);

    p.m_nInterTime = 3;
    EXPECT_EQ(p.GetPlaySpeed_InterTime_Sec(), 3);
    EXPECT_EQ(p.GetPlaySpeed_InterTime_MicroSec(), 3000);
    EXPECT_EQ(p.GetPlayTimerSpeed(), 3000);

    p.m_nTimeUnit = 2; // milliseconds
    p.m_nInterTime = 1500;
    EXPECT_EQ(p.GetPlaySpeed_InterTime_Sec(), 1);
    EXPECT_EQ(p.GetPlayTimerSpeed(), 1500);

    p.m_nSpeedMode = 2;
    EXPECT_TRUE(p.IsPlaySpeed_FrameNum());
    p.m_nFrameNum = 4;
    EXPECT_EQ(p.GetPlayTimerSpeed(), 250);
    p.m_nFrameNum = 0; // no division by zero
    EXPECT_EQ(p.GetPlayTimerSpeed(), 1000);

    CkxPlayParam c;
    c = p;
    EXPECT_EQ(c.m_nFrameNum, 0);
    EXPECT_EQ(c.m_nTimeUnit, 2);
    EXPECT_EQ(c.m_nInterTime, 1500);
}

TEST(CkxPlayCtrl, NextIndexSequences) {
    struct Case {
        const char* name;
        int whole, start, end, step, order, count, from;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"forward wraps to 0", 1, 0, 0, 0, 1, 4, 0, {1, 2, 3, 0, 1}},
        {"backward wraps to last", 1, 0, 0, 0, 2, 4, 0, {3, 2, 1, 0, 3}},
        {"range forward by 3", 0, 2, 8, 3, 1, 20, 2, {5, 8, 2, 5}},
        {"range forward stops at the range end", 0, 2, 9, 3, 1, 20, 2, {5, 8, 9, 2}},
        {"range backward", 0, 2, 8, 3, 2, 20, 8, {5, 2, 8, 5}},
        {"range end beyond the items", 0, 1, 10, 2, 1, 6, 1, {3, 5, 1}},
        {"step 0 moves by 1", 0, 0, 2, 0, 1, 5, 0, {1, 2, 0}},
        {"no items", 1, 0, 0, 0, 1, 0, 0, {0, 0}},
        {"one item", 1, 0, 0, 0, 2, 1, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxPlayParam p;
        p.m_bWhole = c.whole;
        p.m_nRangeStart = c.start;
        p.m_nRangeEnd = c.end;
        p.m_nStep = c.step;
        p.m_nOrder = c.order;
        CkxPlayCtrl ctrl;
        ctrl.SetPlayParam(p);
        ctrl.SetCount(c.count);
        ctrl.ToIndex(c.from);
        std::vector<int> got;
        for (size_t i = 0; i < c.expected.size(); ++i) got.push_back(ctrl.GetNextIndex());
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(ctrl.GetCurIndex(), c.expected.back());
    }
}

TEST(CkxPlayCtrl, MovesAreClamped) {
    CkxPlayCtrl ctrl;
    ctrl.ToNext5();
    EXPECT_EQ(ctrl.GetCurIndex(), 0); // no items
    ctrl.ToLast();
    EXPECT_EQ(ctrl.GetCurIndex(), 0);
    EXPECT_FALSE(ctrl.IsValid());

    ctrl.SetCount(10);
    EXPECT_TRUE(ctrl.IsValid());
    ctrl.ToIndex(7);
    ctrl.ToNext5(); // n - 3 stops at n - 1
    EXPECT_EQ(ctrl.GetCurIndex(), 9);
    ctrl.ToNext();
    EXPECT_EQ(ctrl.GetCurIndex(), 9);
    ctrl.ToPrev5();
    EXPECT_EQ(ctrl.GetCurIndex(), 4);
    ctrl.ToPrev5();
    ctrl.ToPrev();
    EXPECT_EQ(ctrl.GetCurIndex(), 0);
    ctrl.ToIndex(-3);
    EXPECT_EQ(ctrl.GetCurIndex(), 0);
    ctrl.ToLast();
    EXPECT_EQ(ctrl.GetCurIndex(), 9);
    ctrl.SetCount(4); // the stored index follows the clamp
    EXPECT_EQ(ctrl.GetCurIndex(), 3);

    ctrl.Start();
    EXPECT_TRUE(ctrl.IsAutoPlay());
    ctrl.Stop();
    EXPECT_FALSE(ctrl.IsAutoPlay());
    ctrl.Reset(1);
    EXPECT_EQ(ctrl.GetCurIndex(), 0);
    EXPECT_TRUE(ctrl.IsAutoPlay());
    ctrl.Reset();
    EXPECT_FALSE(ctrl.IsAutoPlay());
}

TEST(CkxTimer, CloseEndsTheWorkerAtOnce) {
    CkxTimer t;
    EXPECT_EQ(t.Open(0), 0);
    EXPECT_EQ(t.Open(-5), 0);
    EXPECT_FALSE(t.IsRunning());
    ASSERT_EQ(t.Open(60000), 1);
    EXPECT_TRUE(t.IsRunning());
    EXPECT_EQ(t.GetInterval(), 60000);
    EXPECT_EQ(t.Open(10), 1); // already running: the interval stays
    EXPECT_EQ(t.GetInterval(), 60000);
    auto start = std::chrono::steady_clock::now();
    t.Close(); // a one-minute wait is interrupted, the worker joined
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.GetInterval(), 0);
    ASSERT_EQ(t.Open(5), 1); // and it opens again; the destructor closes it
}

// Threads opening and closing one timer at once never start two workers or join one twice.
TEST(CkxTimer, OpenAndCloseFromManyThreads) {
    CkxTimer t;
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&t, i] {
            for (int k = 0; k < 200; ++k) {
                if ((k + i) % 2) t.Open(1 + k % 3);
                else t.Close();
            }
        });
    for (auto& th : threads) th.join();
    t.Close();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.Open(2), 1);
    EXPECT_TRUE(t.IsRunning());
}

namespace {

// A picture whose every pixel differs, so a shifted copy shows.
QImage Picture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 6, y * 8, 200));
    return img;
}

QImage Blank(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

// The window equals the picture inside the area and is untouched outside it.
::testing::AssertionResult Revealed(const QImage& window, const QImage& picture, const QRect& area) {
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x) {
            QRgb want = area.contains(x, y) ? picture.pixel(x, y) : qRgb(0, 0, 0);
            if (window.pixel(x, y) != want)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

int Drawn(const QImage& window) {
    int n = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x) n += window.pixel(x, y) != qRgb(0, 0, 0);
    return n;
}

} // namespace

TEST(CkxPlaySpec, EveryTransitionEndsWithThePictureInPlace) {
    const QImage picture = Picture(40, 32);
    const QRect area(5, 3, 30, 25);
    using Step = std::function<int(CkxPlaySpec&, QImage&)>;
    using First = std::function<int(const CkxPlaySpec&)>;
    struct Case {
        const char* name;
        Step step;
        First first;
        int steps;
    };
    const Case cases[] = {
        {"scan", [&](CkxPlaySpec& s, QImage& w) { return s.spScanStep(w, picture, area); },
         [](const CkxPlaySpec& s) { return s.spScanIsFirst(); }, 25 / 2 + 1},
        {"move", [&](CkxPlaySpec& s, QImage& w) { return s.spMoveStep(w, picture, area); },
         [](const CkxPlaySpec& s) { return s.spMoveIsFirst(); }, 30 / 2 + 1},
        {"shutter", [&](CkxPlaySpec& s, QImage& w) { return s.spShutterStep(w, picture, area); },
         [](const CkxPlaySpec& s) { return s.spShutterIsFirst(); }, 30},
        {"mosaic", [&](CkxPlaySpec& s, QImage& w) { return s.spMosicStep(w, picture, area); },
         [](const CkxPlaySpec& s) { return s.spMosicIsFirst(); }, 9},
        {"block", [&](CkxPlaySpec& s, QImage& w) { return s.spBlockStep(w, picture, area); },
         [](const CkxPlaySpec& s) { return s.spBlockIsFirst(); }, 9},
        {"weaving", [&](CkxPlaySpec& s, QImage& w) { return s.spWeavingStep(w, picture); },
         [](const CkxPlaySpec& s) { return s.spWeavingIsFirst(); }, 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxPlaySpec spec;
        spec.spWeavingOpen(area);
        for (int round = 0; round < 2; ++round) { // the state is cleared for the next run
            QImage window = Blank(40, 32);
            EXPECT_TRUE(c.first(spec));
            int steps = 0;
            int more = 1;
            while (more && steps < 1000) {
                more = c.step(spec, window);
                ++steps;
                if (steps == 1) EXPECT_FALSE(c.first(spec));
            }
            EXPECT_EQ(steps, c.steps);
            EXPECT_TRUE(Revealed(window, picture, area));
            EXPECT_TRUE(c.first(spec));
            spec.spWeavingOpen(area);
        }
    }
}

TEST(CkxPlaySpec, FirstStepsDrawTheirIncrement) {
    const QImage picture = Picture(40, 32);
    const QRect area(5, 3, 30, 25);
    CkxPlaySpec spec;

    QImage w = Blank(40, 32);
    spec.spScanStep(w, picture, area); // the centre row
    EXPECT_TRUE(Revealed(w, picture, QRect(5, 3 + 12, 30, 1)));
    spec.spScanStep(w, picture, area); // then a row on each side
    EXPECT_TRUE(Revealed(w, picture, QRect(5, 3 + 11, 30, 3)));

    w = Blank(40, 32);
    spec.spShutterStep(w, picture, area);
    spec.spShutterStep(w, picture, area); // columns 0 and 5 of the first pass
    EXPECT_EQ(w.pixel(5, 10), picture.pixel(5, 10));
    EXPECT_EQ(w.pixel(10, 10), picture.pixel(10, 10));
    EXPECT_EQ(Drawn(w), 2 * 25);

    w = Blank(40, 32);
    spec.spMoveStep(w, picture, area); // the columns at the centre arrive at the edges first
    EXPECT_EQ(w.pixel(5, 4), picture.pixel(5 + 14, 4));
    EXPECT_EQ(w.pixel(34, 4), picture.pixel(5 + 15, 4));
    EXPECT_EQ(Drawn(w), 2 * 25);

    w = Blank(40, 32);
    spec.spBlockStep(w, picture, area);
    spec.spBlockStep(w, picture, area); // cells 0 and 2 of the first row
    EXPECT_EQ(w.pixel(5, 3), picture.pixel(5, 3));
    EXPECT_EQ(w.pixel(5 + 24, 3), picture.pixel(5 + 24, 3));
    EXPECT_EQ(w.pixel(5 + 12, 3), qRgb(0, 0, 0));
    EXPECT_EQ(Drawn(w), 12 * 12 + 6 * 12);

    w = Blank(40, 32);
    for (int k = 0; k < 4; ++k) spec.spMosicStep(w, picture, area);
    int cells = 0; // four different cells, each whole
    for (int cy = 0; cy < 3; ++cy)
        for (int cx = 0; cx < 3; ++cx) cells += w.pixel(5 + cx * 12, 3 + cy * 12) != qRgb(0, 0, 0);
    EXPECT_EQ(cells, 4);

    w = Blank(40, 32);
    spec.spWeavingOpen(area);
    spec.spWeavingStep(w, picture); // the bottom row stretched over the whole area
    EXPECT_EQ(w.pixel(6, 3), picture.pixel(6, 27));
    EXPECT_EQ(w.pixel(6, 27), picture.pixel(6, 27));
    EXPECT_EQ(w.pixel(6, 2), qRgb(0, 0, 0));
}

TEST(CkxPlaySpec, DoneCompletesAndEmptyAreasEndAtOnce) {
    const QImage picture = Picture(40, 32);
    const QRect area(2, 2, 31, 27);
    CkxPlaySpec spec;
    using Done = std::function<void(QImage&)>;
    const Done dones[] = {
        [&](QImage& w) { spec.spFrameDone(w, picture, area); },
        [&](QImage& w) { spec.spScanStep(w, picture, area); spec.spScanDone(w, picture, area); },
        [&](QImage& w) { spec.spMoveDone(w, picture, area); },
        [&](QImage& w) { spec.spShutterStep(w, picture, area); spec.spShutterDone(w, picture, area); },
        [&](QImage& w) { spec.spMosicDone(w, picture, area); },
        [&](QImage& w) { spec.spBlockDone(w, picture, area); },
        [&](QImage& w) { spec.spWeavingOpen(area); spec.spWeavingDone(w, picture); },
    };
    for (size_t i = 0; i < std::size(dones); ++i) {
        SCOPED_TRACE(i);
        QImage w = Blank(40, 32);
        dones[i](w);
        EXPECT_TRUE(Revealed(w, picture, area));
    }
    EXPECT_TRUE(spec.spScanIsFirst());
    EXPECT_TRUE(spec.spShutterIsFirst());

    // An area partly outside both images is clipped, never read or written outside them.
    QImage w = Blank(40, 32);
    const QRect wide(-10, -10, 80, 80);
    while (spec.spMoveStep(w, picture, wide)) {}
    spec.spWeavingOpen(wide);
    while (spec.spWeavingStep(w, picture)) {}

    QImage empty = Blank(40, 32);
    EXPECT_EQ(spec.spScanStep(empty, picture, QRect()), 0);
    EXPECT_EQ(spec.spMosicStep(empty, picture, QRect(3, 3, 0, 5)), 0);
    spec.spWeavingOpen(QRect());
    EXPECT_EQ(spec.spWeavingStep(empty, picture), 0);
    EXPECT_EQ(Drawn(empty), 0);

    EXPECT_EQ(CkxPlaySpec::CellCount(QRect(0, 0, 30, 25)), 9);
    EXPECT_EQ(CkxPlaySpec::CellCount(QRect(0, 0, 24, 12)), 2);
}

TEST(CkxPlaySpec, TypesAndBackground) {
    CkxPlaySpec s;
    EXPECT_TRUE(s.IsType_Frame());
    EXPECT_EQ(s.GetBkgroundColor(), 0xFFFFFFul);
    s.SetType_Weaving();
    EXPECT_TRUE(s.IsType_Weaving());
    s.SetType(4);
    EXPECT_TRUE(s.IsType_Mosic());
    s.SetType_Shutter();
    EXPECT_EQ(s.GetType(), 3);
    s.SetBkgroundColor(0x123456);
    EXPECT_EQ(s.GetBkgroundColor(), 0x123456ul);
}
