#include "print/CPrintTable.h"

#include "base/Gbk.h"
#include "qt/KxColorRef.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLine>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Texts are drawn in device space: under the y-up metric mapping the painter would otherwise
// draw the glyphs upside down.
class DeviceSpace {
public:
    explicit DeviceSpace(QPainter& p) : m_p(p) {
        m_p.save();
        m_p.setWorldMatrixEnabled(false);
        m_p.setViewTransformEnabled(false);
    }
    ~DeviceSpace() { m_p.restore(); }

private:
    QPainter& m_p;
};

QRectF DeviceRect(QPainter& p, const CPrintRect& r) {
    return p.combinedTransform().mapRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized());
}

// A single line drawn into the rectangle, left-aligned and vertically centred, clipped to it.
void DrawTextVCentred(QPainter& p, const CPrintRect& r, const std::string& text) {
    const QRectF dev = DeviceRect(p, r);
    DeviceSpace device(p);
    p.drawText(dev, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromStdString(text));
}

// The text with its top-left corner at the logical point.
void TextOutAt(QPainter& p, int x, int y, const std::string& text) {
    const QPointF dev = p.combinedTransform().map(QPointF(x, y));
    DeviceSpace device(p);
    const QFontMetricsF fm(p.font(), p.device());
    p.drawText(QPointF(dev.x(), dev.y() + fm.ascent()), QString::fromStdString(text));
}

// A pen of a width in logical units; one that would be thinner than a device pixel is drawn
// one pixel wide, as a printer draws its thinnest line.
QPen LogicalPen(QPainter& p, uint32_t colour, int width, Qt::PenCapStyle cap = Qt::RoundCap,
                Qt::PenJoinStyle join = Qt::RoundJoin) {
    QPen pen(kx::FromColorRef(colour), width, Qt::SolidLine, cap, join);
    const double scale = std::sqrt(std::abs(p.combinedTransform().determinant()));
    if (width * scale < 1.0) pen.setWidth(0);
    return pen;
}

QRectF LogicalRect(const CPrintRect& r) {
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized();
}

void DrawRect(QPainter& p, const CPrintRect& r, uint32_t fill, uint32_t line, bool withLine) {
    p.save();
    if (withLine) p.setPen(LogicalPen(p, line, 1));
    else p.setPen(Qt::NoPen);
    p.setBrush(kx::FromColorRef(fill));
    p.drawRect(LogicalRect(r));
    p.restore();
}

// Text width estimate: each GBK byte half the height wide.
int64_t TextWidth(const std::string& text, int height) {
    return static_cast<int64_t>(kx::GbkLength(text)) * height / 2;
}

} // namespace

// ---- CPrintCell ----

void CPrintCell::Draw(bool withLine) const {
    if (m_pDC) DrawRect(*m_pDC, m_rect, m_crFill, m_crLine, withLine);
}

QLine CPrintCell::BorderSideLine(const CPrintRect& r, int side, int width, int insetLeft, int insetTop, int insetRight,
                                 int insetBottom) {
    // The division first: a width under 5 gives no inset.
    const int three = width / 5 * 3, two = width / 5 * 2;
    switch (side) {
    case SIDE_LEFT:
    case SIDE_RIGHT: {
        const int x = side == SIDE_LEFT ? r.left : r.right;
        return QLine(x, insetTop ? r.top - three : r.top, x, insetBottom ? r.bottom + two : r.bottom);
    }
    case SIDE_TOP:
    case SIDE_BOTTOM: {
        const int y = side == SIDE_TOP ? r.top : r.bottom;
        return QLine(insetLeft ? r.left + three : r.left, y, insetRight ? r.right - three : r.right, y);
    }
    default:
        return QLine();
    }
}

void CPrintCell::DrawBorderSide(int side, int cellColour, uint32_t colour, int insetLeft, int insetTop,
                                int insetRight, int insetBottom) const {
    if (!m_pDC) return;
    QPainter& p = *m_pDC;
    p.save();
    p.setPen(LogicalPen(p, cellColour ? m_crFill : colour, m_nLineWidth));
    for (int flag : {SIDE_LEFT, SIDE_TOP, SIDE_RIGHT, SIDE_BOTTOM})
        if (side & flag)
            p.drawLine(BorderSideLine(m_rect, flag, m_nLineWidth, insetLeft, insetTop, insetRight, insetBottom));
    p.restore();
}

// ---- CPrintTable ----

CPrintTable::CPrintTable() = default;
CPrintTable::~CPrintTable() = default;

void CPrintTable::Build(QPainter* dc, const CPrintRect& outer, int rows, int columns, uint32_t gridColour, int frame,
                        uint32_t frameColour, uint32_t spareColour) {
    m_cells.clear();
    m_pDC = dc;
    m_rect = outer;
    m_nRows = rows > 0 ? rows : 0;
    m_nCols = columns > 0 ? columns : 0;
    m_crGrid = gridColour;
    m_nFrame = frame;
    m_crFrame = frameColour;
    m_crSpare = spareColour;
    if (!dc) return;

    if (frame) {
        dc->save();
        dc->setPen(LogicalPen(*dc, frameColour, 2, Qt::FlatCap, Qt::MiterJoin));
        dc->drawRect(LogicalRect(outer));
        dc->restore();
    }
    if (m_nRows == 0 || m_nCols == 0) return;
    const int w = (outer.right - outer.left) / m_nCols;
    const int h = (outer.top - outer.bottom) / m_nRows;
    m_cells.reserve(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols));
    for (int i = 0; i < m_nRows; ++i) {
        for (int j = 0; j < m_nCols; ++j) {
            auto cell = std::make_unique<CPrintCell>();
            cell->m_pDC = dc;
            cell->m_rect = {outer.left + j * w, outer.top - i * h, outer.left + j * w + w, outer.top - i * h - h};
            cell->m_crLine = gridColour;
            cell->m_crFill = kPrintWhite;
            cell->m_nRow = i;
            cell->m_nCol = j;
            cell->Draw();
            m_cells.push_back(std::move(cell));
        }
    }
}

CPrintCell* CPrintTable::CellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= m_nRows || column >= m_nCols) return nullptr;
    const size_t at = static_cast<size_t>(row) * static_cast<size_t>(m_nCols) + static_cast<size_t>(column);
    return at < m_cells.size() ? m_cells[at].get() : nullptr;
}

bool CPrintTable::RangeRect(int firstRow, int firstCol, int lastRow, int lastCol, CPrintRect& out) const {
    const CPrintCell* first = CellAt(firstRow, firstCol);
    const CPrintCell* last = CellAt(lastRow, lastCol);
    if (!first || !last) {
        out = CPrintRect();
        return false;
    }
    out = {first->m_rect.left, first->m_rect.top, last->m_rect.right, last->m_rect.bottom};
    return true;
}

void CPrintTable::FillCell(int row, int column, uint32_t colour) {
    if (CPrintCell* cell = CellAt(row, column)) {
        cell->m_crFill = colour;
        cell->Draw();
    }
}

void CPrintTable::FillRange(int firstRow, int firstCol, int lastRow, int lastCol, uint32_t colour) {
    for (int i = firstRow; i <= lastRow; ++i)
        for (int j = firstCol; j <= lastCol; ++j) FillCell(i, j, colour);
}

void CPrintTable::FillRowPart(int row, int firstCol, int count, uint32_t colour) {
    FillRange(row, firstCol, row, firstCol + count - 1, colour);
}

void CPrintTable::FillColumnPart(int column, int firstRow, int count, uint32_t colour) {
    FillRange(firstRow, column, firstRow + count - 1, column, colour);
}

void CPrintTable::DrawMerged(const CPrintRect& r, uint32_t fill, uint32_t line, bool withLine) {
    if (m_pDC) DrawRect(*m_pDC, r, fill, line, withLine);
}

void CPrintTable::Merge(int firstRow, int firstCol, int lastRow, int lastCol, uint32_t colour) {
    CPrintRect r;
    if (!RangeRect(firstRow, firstCol, lastRow, lastCol, r)) return;
    DrawMerged(r, colour, CellAt(firstRow, firstCol)->m_crLine, true);
}

void CPrintTable::MergeRowPart(int row, int firstCol, int count, uint32_t colour) {
    Merge(row, firstCol, row, firstCol + count - 1, colour);
}

void CPrintTable::MergeColumnPart(int column, int firstRow, int count, uint32_t colour) {
    Merge(firstRow, column, firstRow + count - 1, column, colour);
}

void CPrintTable::MergeEveryRow(int firstCol, int count, uint32_t headerColour, uint32_t bodyColour) {
    MergeRowPart(0, firstCol, count, headerColour);
    if (count >= 2)
        for (int i = 1; i < m_nRows; ++i) MergeRowPart(i, firstCol, count, bodyColour);
}

void CPrintTable::MergeEveryColumn(int firstRow, int count, uint32_t headerColour, uint32_t bodyColour) {
    MergeColumnPart(0, firstRow, count, headerColour);
    if (count >= 2)
        for (int j = 1; j < m_nCols; ++j) MergeColumnPart(j, firstRow, count, bodyColour);
}

void CPrintTable::MergeStyled(const CPrintRangeFill& fill) {
    CPrintRect r;
    if (!RangeRect(fill.nFirstRow, fill.nFirstCol, fill.nLastRow, fill.nLastCol, r)) return;
    DrawMerged(r, fill.crFill, fill.crLine, fill.nLine != 0);
}

void CPrintTable::MergeStyled(const std::vector<CPrintRangeFill>& fills) {
    for (const CPrintRangeFill& f : fills) MergeStyled(f);
}

int CPrintTable::WriteLine(const CPrintRect& r, const std::string& text, int height, int align, int margin) {
    if (!m_pDC || height <= 0) return 0;
    const int v = (r.Height() - height) / 2;
    // A text far wider than its range starts far to the left; kept within the int range.
    const int64_t dx = std::max<int64_t>(align == 2 ? (r.Width() - TextWidth(text, height)) / 2 : margin, -(1 << 28));
    const CPrintRect moved{static_cast<int>(r.left + dx), r.top - v, static_cast<int>(r.right + dx), r.bottom - v};
    DrawTextVCentred(*m_pDC, moved, text);
    return 1;
}

std::vector<std::string> CPrintTable::CutLines(const std::string& text, int bytesPerLine, int lines) {
    std::vector<std::string> out;
    if (bytesPerLine <= 0 || lines <= 0) return out;
    const std::string gbk = kx::ToGbk(text);
    size_t at = 0;
    for (int i = 0; i < lines; ++i) {
        // A piece that would end inside a double-byte character takes one byte less.
        const size_t n = kx::GbkCutPoint(std::string_view(gbk).substr(at), static_cast<size_t>(bytesPerLine));
        out.push_back(kx::FromGbk(std::string_view(gbk).substr(at, n)));
        at += n;
    }
    return out;
}

int CPrintTable::TextInRange(const CPrintTableText& t) {
    if (!m_pDC || t.nHeight <= 0 || t.nLineMode < 1) return 0;
    CPrintRect r;
    if (!RangeRect(t.nFirstRow, t.nFirstCol, t.nLastRow, t.nLastCol, r)) return 0;
    std::vector<std::string> lines;
    if (t.nLineMode > 1) {
        const int rows = t.nLastRow >= t.nFirstRow ? t.nLastRow - t.nFirstRow + 1 : 0;
        if (rows != t.nLineMode) return 0;
        lines = CutLines(t.strText, (r.Width() - 30) / t.nHeight, rows);
        if (lines.empty()) return 0; // no room for a single character
    }

    QPainter& p = *m_pDC;
    p.save(); // the font and the colour come back afterwards
    if (t.pFont) p.setFont(*t.pFont);
    p.setPen(kx::FromColorRef(t.crText));
    if (t.nLineMode == 1) {
        WriteLine(r, t.strText, t.nHeight, t.nAlign, 30);
    } else {
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            CPrintRect row;
            if (RangeRect(t.nFirstRow + i, t.nFirstCol, t.nFirstRow + i, t.nLastCol, row))
                WriteLine(row, lines[static_cast<size_t>(i)], t.nHeight, t.nAlign, 30);
        }
    }
    p.restore();
    return 1;
}

int CPrintTable::TextInRange(const std::vector<CPrintTableText>& texts) {
    int written = 0;
    for (const CPrintTableText& t : texts) written += TextInRange(t);
    return written;
}

int CPrintTable::TextInCell(int row, int column, const std::string& text, int height, int align) {
    const CPrintCell* cell = CellAt(row, column);
    if (!cell || !m_pDC || height <= 0) return 0;
    const CPrintRect& r = cell->m_rect;
    const int64_t estimate = TextWidth(text, height);
    const int inset = std::abs(r.Height() - height) / 2;
    const int64_t x = align == 2 ? r.left + std::min<int64_t>(std::llabs(r.Width() - estimate) / 2, 1 << 28) : r.left + 15;
    TextOutAt(*m_pDC, static_cast<int>(x), r.top - inset, text);
    return 1;
}

int CPrintTable::Heading(int firstCol, int count, const std::string& text, int height, int align) {
    return RowText(0, firstCol, count, text, height, align);
}

int CPrintTable::RowText(int row, int firstCol, int count, const std::string& text, int height, int align) {
    CPrintRect r;
    if (!RangeRect(row, firstCol, row, firstCol + count - 1, r)) return 0;
    return WriteLine(r, text, height, align, 15);
}

int CPrintTable::ColumnText(int column, int firstRow, int count, const std::string& text, int height, int align) {
    CPrintRect r;
    if (!RangeRect(firstRow, column, firstRow + count - 1, column, r)) return 0;
    return WriteLine(r, text, height, align, 15);
}

void CPrintTable::BorderSide(int row, int column, int side, int cellColour, uint32_t colour, int insetLeft,
                             int insetTop, int insetRight, int insetBottom) {
    if (const CPrintCell* cell = CellAt(row, column))
        cell->DrawBorderSide(side, cellColour, colour, insetLeft, insetTop, insetRight, insetBottom);
}
