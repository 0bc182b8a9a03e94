#include "qt/KxSplitterWnd.h"

#include "qt/KxDraw3d.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace kx {

namespace {
constexpr int kMaxPanes = 16; // ids leave 16 per row
}

int CtrlId(const QWidget* w) {
    if (!w) return 0;
    bool ok = false;
    const int id = w->objectName().toInt(&ok);
    return ok ? id : 0;
}

void SetCtrlId(QWidget* w, int id) {
    if (w) w->setObjectName(QString::number(id));
}

SplitterWnd::SplitterWnd(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

SplitterWnd::~SplitterWnd() {
    // The views go first, while the table of their documents still exists for their farewells.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

bool SplitterWnd::CreateStatic(int rows, int cols) {
    if (m_nMaxRows || rows < 1 || cols < 1 || rows > kMaxPanes || cols > kMaxPanes) return false;
    m_nRows = m_nMaxRows = rows;
    m_nCols = m_nMaxCols = cols;
    m_pRowInfo.assign(std::size_t(rows), CRowColInfo{});
    m_pColInfo.assign(std::size_t(cols), CRowColInfo{});
    return true;
}

bool SplitterWnd::CreateView(int row, int col, const ViewClass& cls, QSize size, QObject* document) {
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !cls.create || GetPane(row, col)) return false;
    QWidget* view = cls.create(this, document);
    if (!view) return false;
    Adopt(view);
    SetCtrlId(view, IdFromRowCol(row, col));
    SetDocumentOf(view, document);
    m_pRowInfo[std::size_t(row)].nIdealSize = size.height();
    m_pColInfo[std::size_t(col)].nIdealSize = size.width();
    view->show();
    RecalcLayout();
    return true;
}

void SplitterWnd::Adopt(QWidget* view) {
    if (view->parentWidget() != this) view->setParent(this);
    view->installEventFilter(this);
    connect(view, &QObject::destroyed, this, [this, view] { m_documents.erase(view); });
}

void SplitterWnd::SetDocumentOf(QWidget* view, QObject* document) { m_documents[view] = document; }

QObject* SplitterWnd::DocumentOf(const QWidget* view) const {
    auto it = m_documents.find(view);
    return it == m_documents.end() ? nullptr : it->second.data();
}

QWidget* SplitterWnd::PaneById(int id) const {
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && CtrlId(w) == id) return w;
    }
    return nullptr;
}

QWidget* SplitterWnd::GetPane(int row, int col) const {
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols) return nullptr;
    return PaneById(IdFromRowCol(row, col));
}

void SplitterWnd::SetRowInfo(int row, int ideal, int min) {
    if (row < 0 || row >= m_nMaxRows) return;
    m_pRowInfo[std::size_t(row)].nIdealSize = std::max(0, ideal);
    m_pRowInfo[std::size_t(row)].nMinSize = std::max(0, min);
}

void SplitterWnd::GetRowInfo(int row, int& cur, int& min) const {
    cur = min = 0;
    if (row < 0 || row >= m_nMaxRows) return;
    cur = m_pRowInfo[std::size_t(row)].nCurSize;
    min = m_pRowInfo[std::size_t(row)].nMinSize;
}

void SplitterWnd::SetColumnInfo(int col, int ideal, int min) {
    if (col < 0 || col >= m_nMaxCols) return;
    m_pColInfo[std::size_t(col)].nIdealSize = std::max(0, ideal);
    m_pColInfo[std::size_t(col)].nMinSize = std::max(0, min);
}

void SplitterWnd::GetColumnInfo(int col, int& cur, int& min) const {
    cur = min = 0;
    if (col < 0 || col >= m_nMaxCols) return;
    cur = m_pColInfo[std::size_t(col)].nCurSize;
    min = m_pColInfo[std::size_t(col)].nMinSize;
}

QWidget* SplitterWnd::GetActivePane(int* row, int* col) const {
    QWidget* active = m_pActive.data();
    if (active && active->isHidden()) active = nullptr;
    if (row) *row = -1;
    if (col) *col = -1;
    if (!active) return nullptr;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (GetPane(r, c) == active) {
                if (row) *row = r;
                if (col) *col = c;
                return active;
            }
    return nullptr;
}

void SplitterWnd::SetActivePane(int row, int col) {
    QWidget* pane = GetPane(row, col);
    if (!pane) return;
    m_pActive = pane;
    pane->setFocus(Qt::OtherFocusReason);
}

bool SplitterWnd::eventFilter(QObject* watched, QEvent* event) {
    // A pane that takes the focus becomes the active one.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->parentWidget() == this) m_pActive = w;
    return QWidget::eventFilter(watched, event);
}

namespace {
// Sizes along one axis: each row or column but the last gets its ideal size as far as the
// room allows; the last gets what is left.
void Layout(std::vector<int>& cur, const std::vector<int>& ideal, int count, int room, int border, int bar) {
    int left = room;
    for (int i = 0; i < count; ++i) {
        const int frame = 2 * border;
        int size = 0;
        if (i == count - 1) size = left - frame;
        else size = std::min(ideal[std::size_t(i)], left - frame - bar);
        size = std::max(0, size);
        cur[std::size_t(i)] = size;
        left -= size + frame + bar;
    }
}
} // namespace

void SplitterWnd::RecalcLayout() {
    if (!m_nMaxRows) return;
    std::vector<int> cur(std::size_t(std::max(m_nMaxRows, m_nMaxCols)), 0), ideal(cur.size(), 0);
    for (int r = 0; r < m_nRows; ++r) ideal[std::size_t(r)] = m_pRowInfo[std::size_t(r)].nIdealSize;
    Layout(cur, ideal, m_nRows, height(), m_cyBorder, m_cySplitter);
    for (int r = 0; r < m_nRows; ++r) m_pRowInfo[std::size_t(r)].nCurSize = cur[std::size_t(r)];
    for (int c = 0; c < m_nCols; ++c) ideal[std::size_t(c)] = m_pColInfo[std::size_t(c)].nIdealSize;
    Layout(cur, ideal, m_nCols, width(), m_cxBorder, m_cxSplitter);
    for (int c = 0; c < m_nCols; ++c) m_pColInfo[std::size_t(c)].nCurSize = cur[std::size_t(c)];

    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (QWidget* pane = GetPane(r, c))
                pane->setGeometry(CellRect(r, c).adjusted(m_cxBorder, m_cyBorder, -m_cxBorder, -m_cyBorder));
    update();
}

QRect SplitterWnd::CellRect(int row, int col) const {
    int x = 0, y = 0;
    for (int c = 0; c < col; ++c) x += m_pColInfo[std::size_t(c)].nCurSize + 2 * m_cxBorder + m_cxSplitter;
    for (int r = 0; r < row; ++r) y += m_pRowInfo[std::size_t(r)].nCurSize + 2 * m_cyBorder + m_cySplitter;
    return QRect(x, y, m_pColInfo[std::size_t(col)].nCurSize + 2 * m_cxBorder,
                 m_pRowInfo[std::size_t(row)].nCurSize + 2 * m_cyBorder);
}

std::vector<QRect> SplitterWnd::Intersections() const {
    std::vector<QRect> out;
    for (int r = 0; r + 1 < m_nRows; ++r)
        for (int c = 0; c + 1 < m_nCols; ++c) {
            const QRect cell = CellRect(r, c);
            out.emplace_back(cell.right() + 1, cell.bottom() + 1, m_cxSplitter, m_cySplitter);
        }
    return out;
}

void SplitterWnd::DrawAllSplitBars(QPainter& p, int cxInside, int cyInside) {
    if (!m_nRows || !m_nCols) return;
    for (int c = 0; c + 1 < m_nCols; ++c) {
        const QRect cell = CellRect(0, c);
        if (cell.right() + 1 > cxInside) break;
        OnDrawSplitter(&p, splitBar, QRect(cell.right() + 1, 0, m_cxSplitter, cyInside));
    }
    for (int r = 0; r + 1 < m_nRows; ++r) {
        const QRect cell = CellRect(r, 0);
        if (cell.bottom() + 1 > cyInside) break;
        OnDrawSplitter(&p, splitBar, QRect(0, cell.bottom() + 1, cxInside, m_cySplitter));
    }
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c) OnDrawSplitter(&p, splitBorder, CellRect(r, c));
}

void SplitterWnd::OnDrawSplitter(QPainter* p, ESplitType type, const QRect& r) {
    if (!p) {
        update(r);
        return;
    }
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button), shadow = pal.color(QPalette::Dark);
    const QColor highlight = pal.color(QPalette::Light), frame = pal.color(QPalette::Shadow);
    QRect rect = r;
    switch (type) {
    case splitBorder:
        Draw3dRect(*p, rect, shadow, highlight);
        Draw3dRect(*p, rect.adjusted(1, 1, -1, -1), frame, face);
        return;
    case splitBox:
        Draw3dRect(*p, rect, face, frame);
        rect.adjust(1, 1, -1, -1);
        Draw3dRect(*p, rect, highlight, shadow);
        rect.adjust(1, 1, -1, -1);
        break;
    case splitBar:
    case splitIntersection:
        break;
    }
    p->fillRect(rect, face);
}

void SplitterWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawAllSplitBars(p, width(), height());
}

void SplitterWnd::resizeEvent(QResizeEvent*) { RecalcLayout(); }

std::pair<bool, int> SplitterWnd::BarAt(QPoint pt) const {
    for (int r = 0; r + 1 < m_nRows; ++r) {
        const QRect cell = CellRect(r, 0);
        if (pt.y() > cell.bottom() && pt.y() <= cell.bottom() + m_cySplitter) return {true, r};
    }
    for (int c = 0; c + 1 < m_nCols; ++c) {
        const QRect cell = CellRect(0, c);
        if (pt.x() > cell.right() && pt.x() <= cell.right() + m_cxSplitter) return {false, c};
    }
    return {false, -1};
}

void SplitterWnd::mousePressEvent(QMouseEvent* e) {
    const auto [row, index] = BarAt(e->position().toPoint());
    if (index < 0 || e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    m_bTrackRow = row;
    m_nTrack = index;
    const QRect cell = CellRect(row ? index : 0, row ? 0 : index);
    m_nTrackOffset = row ? e->position().toPoint().y() - cell.bottom() : e->position().toPoint().x() - cell.right();
}

void SplitterWnd::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (m_nTrack < 0) {
        const auto [row, index] = BarAt(pt);
        if (index < 0) unsetCursor();
        else setCursor(row ? Qt::SplitVCursor : Qt::SplitHCursor);
        return;
    }
    // The dragged bar's row or column takes the size that puts the bar under the pointer.
    const QRect cell = CellRect(m_bTrackRow ? m_nTrack : 0, m_bTrackRow ? 0 : m_nTrack);
    if (m_bTrackRow) {
        const int size = pt.y() - m_nTrackOffset - cell.top() + 1 - 2 * m_cyBorder;
        m_pRowInfo[std::size_t(m_nTrack)].nIdealSize = std::max(m_pRowInfo[std::size_t(m_nTrack)].nMinSize, size);
    } else {
        const int size = pt.x() - m_nTrackOffset - cell.left() + 1 - 2 * m_cxBorder;
        m_pColInfo[std::size_t(m_nTrack)].nIdealSize = std::max(m_pColInfo[std::size_t(m_nTrack)].nMinSize, size);
    }
    RecalcLayout();
}

void SplitterWnd::mouseReleaseEvent(QMouseEvent* e) {
    if (m_nTrack < 0) return QWidget::mouseReleaseEvent(e);
    m_nTrack = -1;
}

} // namespace kx
