#include "ui/CkxPlaySpec.h"

#include <QPainter>

#include <algorithm>
#include <chrono>

namespace {

// Copies the picture's pixels in src to dst's top-left in the window, as they are (no blending),
// clipped to both images.
void Copy(QImage& window, const QImage& picture, QRect src, QPoint dst) {
    const QPoint shift = dst - src.topLeft();
    src &= picture.rect();
    src &= window.rect().translated(-shift);
    if (src.isEmpty()) return;
    QPainter p(&window);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(src.topLeft() + shift, picture, src);
}

void Copy(QImage& window, const QImage& picture, const QRect& r) { Copy(window, picture, r, r.topLeft()); }

int Ceil(int a, int b) { return (a + b - 1) / b; }

} // namespace

CkxPlaySpec::CkxPlaySpec()
    : m_random(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count())) {}

void CkxPlaySpec::Reset() {
    m_scan = m_move = m_shutter = m_mosic = m_block = m_weaving = Run();
    m_weavingArea = QRect();
}

int CkxPlaySpec::CellCount(const QRect& area) {
    if (area.isEmpty()) return 0;
    return Ceil(area.height(), CELL) * Ceil(area.width(), CELL);
}

void CkxPlaySpec::Begin(Run& run, Draw draw, const QRect& area) {
    run = Run();
    run.started = true;
    run.area = area.normalized();
    const int w = run.area.width(), h = run.area.height();
    if (w <= 0 || h <= 0) return; // nothing to draw: the first step ends the transition
    if (draw == &CkxPlaySpec::DrawScan) run.total = h / 2 + 1;
    else if (draw == &CkxPlaySpec::DrawMove) run.total = w / 2 + 1;
    else if (draw == &CkxPlaySpec::DrawShutter) run.total = w;
    else if (draw == &CkxPlaySpec::DrawWeaving) run.total = h;
    else {
        run.total = CellCount(run.area);
        run.order.resize(run.total);
        if (&run == &m_block) {
            int at = 0;
            for (int i = 0; i < run.total; i += 2) run.order[at++] = i;
            for (int i = 1; i < run.total; i += 2) run.order[at++] = i;
        } else {
            // Every cell once, in random order: the same as drawing at random until an undrawn
            // cell comes up, without the ever longer retries near the end.
            m_random.seed(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
            for (int i = 0; i < run.total; ++i) run.order[i] = i;
            std::shuffle(run.order.begin(), run.order.end(), m_random);
        }
    }
}

int CkxPlaySpec::Step(Run& run, Draw draw, QImage& window, const QImage& picture, const QRect& area) {
    if (!run.started) Begin(run, draw, area);
    if (run.next < run.total) (this->*draw)(run, run.next++, window, picture);
    if (run.next < run.total) return 1;
    run = Run();
    return 0;
}

void CkxPlaySpec::Finish(Run& run, Draw draw, QImage& window, const QImage& picture, const QRect& area) {
    if (!run.started) Begin(run, draw, area);
    while (run.next < run.total) (this->*draw)(run, run.next++, window, picture);
    run = Run();
}

// Step k copies the rows centre - k ... centre + k.
void CkxPlaySpec::DrawScan(Run& run, int k, QImage& window, const QImage& picture) {
    const QRect& a = run.area;
    const int centre = a.top() + a.height() / 2;
    QRect band(a.left(), centre - k, a.width(), 2 * k + 1);
    Copy(window, picture, band & a);
}

// Step k (from 0) shows k + 1 columns of each half: the left half's columns ending at the
// centre at the area's left edge, the right half's columns starting at the centre at its right
// edge; the last step completes both halves.
void CkxPlaySpec::DrawMove(Run& run, int k, QImage& window, const QImage& picture) {
    const QRect& a = run.area;
    const int half = a.width() / 2, rest = a.width() - half, centre = a.left() + half;
    const int l = std::min(k + 1, half), r = std::min(k + 1, rest);
    if (l > 0) Copy(window, picture, QRect(centre - l, a.top(), l, a.height()), QPoint(a.left(), a.top()));
    if (r > 0)
        Copy(window, picture, QRect(centre, a.top(), r, a.height()), QPoint(a.left() + a.width() - r, a.top()));
}

// Increment k is the k-th column in pass order: pass p holds the columns p, p + 5, p + 10, ...
void CkxPlaySpec::DrawShutter(Run& run, int k, QImage& window, const QImage& picture) {
    const QRect& a = run.area;
    const int w = a.width();
    for (int pass = 0; pass < SHUTTER_SPACING; ++pass) {
        const int columns = pass < w ? Ceil(w - pass, SHUTTER_SPACING) : 0;
        if (k < columns) {
            Copy(window, picture, QRect(a.left() + pass + k * SHUTTER_SPACING, a.top(), SHUTTER_WIDTH, a.height()));
            return;
        }
        k -= columns;
    }
}

void CkxPlaySpec::DrawCell(Run& run, int k, QImage& window, const QImage& picture) {
    const QRect& a = run.area;
    const int perRow = Ceil(a.width(), CELL), cell = run.order[k];
    QRect r(a.left() + (cell % perRow) * CELL, a.top() + (cell / perRow) * CELL, CELL, CELL);
    Copy(window, picture, r & a);
}

// Step k stretches the picture's row bottom - k over the window's rows from the area's top down
// to that row itself, so each row ends up with its own pixels.
void CkxPlaySpec::DrawWeaving(Run& run, int k, QImage& window, const QImage& picture) {
    const QRect& a = run.area;
    const int row = a.top() + a.height() - 1 - k;
    QRect src(a.left(), row, a.width(), 1);
    src &= picture.rect();
    if (src.isEmpty()) return;
    QRect dst(src.left(), a.top(), src.width(), row - a.top() + 1);
    QPainter p(&window);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dst, picture, src);
}

void CkxPlaySpec::spFrameDone(QImage& window, const QImage& picture, const QRect& area) {
    Copy(window, picture, area.normalized());
}

void CkxPlaySpec::spScanOpen() { m_scan = Run(); }
int CkxPlaySpec::spScanStep(QImage& w, const QImage& p, const QRect& a) { return Step(m_scan, &CkxPlaySpec::DrawScan, w, p, a); }
void CkxPlaySpec::spScanDone(QImage& w, const QImage& p, const QRect& a) { Finish(m_scan, &CkxPlaySpec::DrawScan, w, p, a); }
int CkxPlaySpec::spScanIsFirst() const { return !m_scan.started; }

void CkxPlaySpec::spMoveOpen() { m_move = Run(); }
int CkxPlaySpec::spMoveStep(QImage& w, const QImage& p, const QRect& a) { return Step(m_move, &CkxPlaySpec::DrawMove, w, p, a); }
void CkxPlaySpec::spMoveDone(QImage& w, const QImage& p, const QRect& a) { Finish(m_move, &CkxPlaySpec::DrawMove, w, p, a); }
int CkxPlaySpec::spMoveIsFirst() const { return !m_move.started; }

void CkxPlaySpec::spShutterOpen() { m_shutter = Run(); }
int CkxPlaySpec::spShutterStep(QImage& w, const QImage& p, const QRect& a) { return Step(m_shutter, &CkxPlaySpec::DrawShutter, w, p, a); }
void CkxPlaySpec::spShutterDone(QImage& w, const QImage& p, const QRect& a) { Finish(m_shutter, &CkxPlaySpec::DrawShutter, w, p, a); }
int CkxPlaySpec::spShutterIsFirst() const { return !m_shutter.started; }

void CkxPlaySpec::spMosicOpen() { m_mosic = Run(); }
int CkxPlaySpec::spMosicStep(QImage& w, const QImage& p, const QRect& a) { return Step(m_mosic, &CkxPlaySpec::DrawCell, w, p, a); }
void CkxPlaySpec::spMosicDone(QImage& w, const QImage& p, const QRect& a) { Finish(m_mosic, &CkxPlaySpec::DrawCell, w, p, a); }
int CkxPlaySpec::spMosicIsFirst() const { return !m_mosic.started; }

void CkxPlaySpec::spBlockOpen() { m_block = Run(); }
int CkxPlaySpec::spBlockStep(QImage& w, const QImage& p, const QRect& a) { return Step(m_block, &CkxPlaySpec::DrawCell, w, p, a); }
void CkxPlaySpec::spBlockDone(QImage& w, const QImage& p, const QRect& a) { Finish(m_block, &CkxPlaySpec::DrawCell, w, p, a); }
int CkxPlaySpec::spBlockIsFirst() const { return !m_block.started; }

void CkxPlaySpec::spWeavingOpen(const QRect& area) {
    m_weaving = Run();
    m_weavingArea = area;
}
int CkxPlaySpec::spWeavingStep(QImage& w, const QImage& p) {
    return Step(m_weaving, &CkxPlaySpec::DrawWeaving, w, p, m_weavingArea);
}
void CkxPlaySpec::spWeavingDone(QImage& w, const QImage& p) {
    Finish(m_weaving, &CkxPlaySpec::DrawWeaving, w, p, m_weavingArea);
}
int CkxPlaySpec::spWeavingIsFirst() const { return !m_weaving.started; }
