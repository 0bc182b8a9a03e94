#include "controls/CFlatSplitterWnd.h"

#include "qt/KxDraw3d.h"

#include <QPainter>

namespace studio {

using kx::CtrlId;
using kx::SetCtrlId;

CFlatSplitterWnd::CFlatSplitterWnd(QWidget* parent) : kx::SplitterWnd(parent) {}

void CFlatSplitterWnd::SetFlatLook(int flat) {
    m_bFlatLook = flat;
    update();
}

void CFlatSplitterWnd::HideRow(int rowHide) {
    // Hiding the only row would leave no pane to activate; one hidden row at a time.
    if (rowHide < 0 || rowHide >= m_nRows || m_nRows < 2 || m_nHiddenRow != -1) return;

    int activeRow = -1, activeCol = -1;
    if (GetActivePane(&activeRow, &activeCol) && activeRow == rowHide)
        SetActivePane(rowHide + 1 < m_nRows ? rowHide + 1 : 0, activeCol);

    // Every row keeps the size it shows now, so showing the row again gives back the same layout.
    for (int r = 0; r < m_nRows; ++r) m_pRowInfo[std::size_t(r)].nIdealSize = m_pRowInfo[std::size_t(r)].nCurSize;

    m_nHiddenRow = rowHide;
    const int rows = m_nRows;
    for (int c = 0; c < m_nCols; ++c) {
        QWidget* hide = GetPane(rowHide, c);
        if (hide) {
            hide->hide();
            SetCtrlId(hide, kFirstPaneId + 16 * c + rows);
        }
        for (int r = rowHide + 1; r < rows; ++r)
            if (QWidget* below = PaneById(IdFromRowCol(r, c))) SetCtrlId(below, IdFromRowCol(r - 1, c));
    }
    // The rows below move up a slot; the hidden row's size waits in the slot past the last row.
    const CRowColInfo kept = m_pRowInfo[std::size_t(rowHide)];
    for (int r = rowHide; r + 1 < rows; ++r) m_pRowInfo[std::size_t(r)] = m_pRowInfo[std::size_t(r + 1)];
    m_nRows = rows - 1;
    m_pRowInfo[std::size_t(m_nRows)] = kept;
    RecalcLayout();
}

void CFlatSplitterWnd::ShowRow() {
    if (m_nHiddenRow == -1) return;
    const int rowShow = m_nHiddenRow;
    m_nHiddenRow = -1;
    const CRowColInfo kept = m_pRowInfo[std::size_t(m_nRows)];
    ++m_nRows;
    for (int c = 0; c < m_nCols; ++c) {
        QWidget* show = PaneById(kFirstPaneId + 16 * c + m_nRows);
        for (int r = m_nRows - 2; r >= rowShow; --r)
            if (QWidget* pane = PaneById(IdFromRowCol(r, c))) SetCtrlId(pane, IdFromRowCol(r + 1, c));
        if (show) {
            SetCtrlId(show, IdFromRowCol(rowShow, c));
            show->show(); // shown without taking the activation
        }
    }
    for (int r = m_nRows - 1; r > rowShow; --r) m_pRowInfo[std::size_t(r)] = m_pRowInfo[std::size_t(r - 1)];
    m_pRowInfo[std::size_t(rowShow)] = kept;
    RecalcLayout();
}

void CFlatSplitterWnd::HideColumn(int colHide) {
    if (colHide < 0 || colHide >= m_nCols || m_nCols < 2 || m_nHiddenCol != -1) return;

    int activeRow = -1, activeCol = -1;
    if (GetActivePane(&activeRow, &activeCol) && activeCol == colHide)
        SetActivePane(activeRow, colHide + 1 < m_nCols ? colHide + 1 : 0);

    for (int c = 0; c < m_nCols; ++c) m_pColInfo[std::size_t(c)].nIdealSize = m_pColInfo[std::size_t(c)].nCurSize;

    m_nHiddenCol = colHide;
    const int cols = m_nCols;
    for (int r = 0; r < m_nRows; ++r) {
        QWidget* hide = GetPane(r, colHide);
        if (hide) {
            hide->hide();
            SetCtrlId(hide, kFirstPaneId + 16 * r + cols);
        }
        for (int c = colHide + 1; c < cols; ++c)
            if (QWidget* right = PaneById(IdFromRowCol(r, c))) SetCtrlId(right, IdFromRowCol(r, c - 1));
    }
    const CRowColInfo kept = m_pColInfo[std::size_t(colHide)];
    for (int c = colHide; c + 1 < cols; ++c) m_pColInfo[std::size_t(c)] = m_pColInfo[std::size_t(c + 1)];
    m_nCols = cols - 1;
    m_pColInfo[std::size_t(m_nCols)] = kept;
    RecalcLayout();
}

void CFlatSplitterWnd::ShowColumn() {
    if (m_nHiddenCol == -1) return;
    const int colShow = m_nHiddenCol;
    m_nHiddenCol = -1;
    const CRowColInfo kept = m_pColInfo[std::size_t(m_nCols)];
    ++m_nCols;
    for (int r = 0; r < m_nRows; ++r) {
        QWidget* show = PaneById(kFirstPaneId + 16 * r + m_nCols);
        for (int c = m_nCols - 2; c >= colShow; --c)
            if (QWidget* pane = PaneById(IdFromRowCol(r, c))) SetCtrlId(pane, IdFromRowCol(r, c + 1));
        if (show) {
            SetCtrlId(show, IdFromRowCol(r, colShow));
            show->show();
        }
    }
    for (int c = m_nCols - 1; c > colShow; --c) m_pColInfo[std::size_t(c)] = m_pColInfo[std::size_t(c - 1)];
    m_pColInfo[std::size_t(colShow)] = kept;
    RecalcLayout();
}

int CFlatSplitterWnd::ReplaceView(int row, int col, const kx::ViewClass& cls) {
    QWidget* old = GetPane(row, col);
    if (!old || !cls.create || old->metaObject() == cls.metaObject) return 0;
    QObject* document = DocumentOf(old);
    const int id = CtrlId(old);
    const QSize size = old->size();
    const bool wasActive = GetActivePane() == old;
    std::vector<CRowColInfo> rows = m_pRowInfo, cols = m_pColInfo;

    old->hide();
    delete old;
    QWidget* view = cls.create(this, document);
    if (!view) return 0;
    Adopt(view);
    SetDocumentOf(view, document);
    SetCtrlId(view, id);
    view->resize(size);
    m_pRowInfo = rows;
    m_pColInfo = cols;
    view->show();
    if (wasActive) SetActivePane(row, col);
    RecalcLayout();
    return 1;
}

int CFlatSplitterWnd::SwitchView(int row, int col, QWidget* view) {
    QWidget* old = GetPane(row, col);
    if (!old || !view || old == view) return 0;
    Adopt(view);
    const int id = CtrlId(old);
    SetCtrlId(old, CtrlId(view));
    SetCtrlId(view, id);
    old->hide();
    view->show();
    RecalcLayout();
    return 1;
}

void CFlatSplitterWnd::OnDrawSplitter(QPainter* p, ESplitType type, const QRect& r) {
    // The split box has the same newer look either way.
    if (!m_bFlatLook || !p || type == splitBox) return kx::SplitterWnd::OnDrawSplitter(p, type, r);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    if (type == splitBorder) {
        kx::Draw3dRect(*p, r, face, face);
        kx::Draw3dRect(*p, r.adjusted(1, 1, -1, -1), pal.color(QPalette::Dark), pal.color(QPalette::Light));
        return;
    }
    p->fillRect(r, face);
}

void CFlatSplitterWnd::paintEvent(QPaintEvent* e) {
    if (!m_bFlatLook) return kx::SplitterWnd::paintEvent(e);
    QPainter p(this);
    // The bars run out to the window's edges; the crossings are drawn over them inside.
    const QRect inside = rect().adjusted(-4, -4, 4, 4);
    DrawAllSplitBars(p, inside.right() + 1, inside.bottom() + 1);
    p.setClipRect(inside);
    for (const QRect& cross : Intersections()) OnDrawSplitter(&p, splitIntersection, cross);
}

} // namespace studio
