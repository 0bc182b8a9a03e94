// CPrintTable and CPrintCell: a report page laid out as a table of equal cells over a rectangle of
// logical units (metric with y growing upwards: a top is greater than its bottom, row 0 is the
// top row), drawn on any painter. Building the table draws its cells; fills, merges, borders and
// texts are drawn over them in call order. Texts are UTF-8; their lengths are counted in GBK
// bytes (each byte taken as half the text height wide) and multi-line texts are cut on GBK
// character boundaries. Colours are 0x00BBGGRR values.
#pragma once

#include <QFont>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QColor;
class QLine;
class QPainter;

constexpr uint32_t PrintRgb(int r, int g, int b) {
    return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}
constexpr uint32_t kPrintWhite = PrintRgb(255, 255, 255);
constexpr uint32_t kPrintBlack = PrintRgb(0, 0, 0);

// A rectangle in logical units as the table keeps it.
struct CPrintRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right > left ? right - left : left - right; }
    int Height() const { return top > bottom ? top - bottom : bottom - top; }
    bool operator==(const CPrintRect&) const = default;
};

class CPrintCell {
public:
    enum { SIDE_LEFT = 1, SIDE_TOP = 2, SIDE_RIGHT = 4, SIDE_BOTTOM = 8 };

    // Draws the cell: a 1-unit solid outline in the line colour (none when withLine is false)
    // around a fill in the fill colour.
    void Draw(bool withLine = true) const;
    // One side of the border (side flag), with a pen of the cell's line width in the fill colour
    // (cellColour set) or the given colour; each inset flag shortens the line at that end by
    // width / 5 * 3 (width / 5 * 2 at the bottom), the division taken first.
    void DrawBorderSide(int side, int cellColour, uint32_t colour, int insetLeft, int insetTop, int insetRight,
                        int insetBottom) const;
    // The line DrawBorderSide draws (x1, y1, x2, y2 in logical units); a null line for no side.
    static QLine BorderSideLine(const CPrintRect& r, int side, int width, int insetLeft, int insetTop, int insetRight,
                                int insetBottom);

    QPainter* m_pDC = nullptr;
    CPrintRect m_rect;
    int m_nLineWidth = 1;
    uint32_t m_crLine = kPrintBlack;
    uint32_t m_crFill = kPrintWhite;
    int m_nRow = 0;
    int m_nCol = 0;
};

// A text over a range of cells.
struct CPrintTableText {
    int nFirstRow = 0, nFirstCol = 0, nLastRow = 0, nLastCol = 0;
    std::string strText;           // UTF-8
    const QFont* pFont = nullptr;  // null: the painter's current font
    uint32_t crText = kPrintBlack;
    int nHeight = 450;             // text height in logical units
    int nAlign = 1;                // 1 left with a margin, 2 centred
    int nLineMode = 1;             // 1 one line; n > 1: n lines, one per row of an n-row range
};

// A merged range with its own styles.
struct CPrintRangeFill {
    int nFirstRow = 0, nFirstCol = 0, nLastRow = 0, nLastCol = 0;
    uint32_t crFill = kPrintWhite;
    int nLine = 1;                 // 0: no outline
    uint32_t crLine = kPrintWhite;
};

class CPrintTable {
public:
    CPrintTable();
    ~CPrintTable();
    CPrintTable(const CPrintTable&) = delete;
    CPrintTable& operator=(const CPrintTable&) = delete;

    // Makes and draws rows x columns cells over the outer rectangle (the frame first, when
    // frame is set): column width (right - left) / columns, row height (top - bottom) / rows,
    // whole-number divisions, so a remainder stays outside every cell. 0 rows or columns make
    // no cells. A table built again drops its old cells.
    void Build(QPainter* dc, const CPrintRect& outer, int rows, int columns, uint32_t gridColour = kPrintWhite,
               int frame = 1, uint32_t frameColour = kPrintBlack, uint32_t spareColour = kPrintWhite);

    CPrintCell* CellAt(int row, int column) const;
    // From the first cell's left and top to the last cell's right and bottom; false (and an
    // empty rectangle) when either cell does not exist.
    bool RangeRect(int firstRow, int firstCol, int lastRow, int lastCol, CPrintRect& out) const;

    void FillCell(int row, int column, uint32_t colour);
    void FillRange(int firstRow, int firstCol, int lastRow, int lastCol, uint32_t colour);
    void FillRowPart(int row, int firstCol, int count, uint32_t colour);
    void FillColumnPart(int column, int firstRow, int count, uint32_t colour);

    void Merge(int firstRow, int firstCol, int lastRow, int lastCol, uint32_t colour);
    void MergeRowPart(int row, int firstCol, int count, uint32_t colour);
    void MergeColumnPart(int column, int firstRow, int count, uint32_t colour);
    // Row 0 merged over the columns in the header colour; with count >= 2 every further row
    // merged in the body colour. The column form likewise down the rows.
    void MergeEveryRow(int firstCol, int count, uint32_t headerColour, uint32_t bodyColour);
    void MergeEveryColumn(int firstRow, int count, uint32_t headerColour, uint32_t bodyColour);
    void MergeStyled(const CPrintRangeFill& fill);
    void MergeStyled(const std::vector<CPrintRangeFill>& fills);

    // Texts; each returns 1 when it wrote, 0 when it wrote nothing (no such cells, a height of 0
    // or less, a line mode that does not match the range's rows, no room for a character).
    int TextInCell(int row, int column, const std::string& text, int height = 450, int align = 1);
    int TextInRange(const CPrintTableText& text);
    int TextInRange(const std::vector<CPrintTableText>& texts);
    // One line over row 0 from firstCol (count columns), in the painter's font and pen.
    int Heading(int firstCol, int count, const std::string& text, int height = 450, int align = 1);
    int RowText(int row, int firstCol, int count, const std::string& text, int height = 450, int align = 1);
    int ColumnText(int column, int firstRow, int count, const std::string& text, int height = 450, int align = 1);

    void BorderSide(int row, int column, int side, int cellColour, uint32_t colour, int insetLeft, int insetTop,
                    int insetRight, int insetBottom);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    const CPrintRect& GetRect() const { return m_rect; }
    // The pieces a multi-line text is cut into: up to bytesPerLine GBK bytes each, never ending
    // inside a double-byte character; lines pieces (UTF-8), none when bytesPerLine < 1.
    static std::vector<std::string> CutLines(const std::string& text, int bytesPerLine, int lines);
    int GetCellCount() const { return static_cast<int>(m_cells.size()); }

private:
    void DrawMerged(const CPrintRect& r, uint32_t fill, uint32_t line, bool withLine);
    // One line of text into r moved right by margin (alignment 1) or centred (2), and down by
    // the vertical inset of a text of the height.
    int WriteLine(const CPrintRect& r, const std::string& text, int height, int align, int margin);

    QPainter* m_pDC = nullptr;
    CPrintRect m_rect;
    int m_nRows = 0;
    int m_nCols = 0;
    uint32_t m_crGrid = kPrintWhite;
    int m_nFrame = 1;
    uint32_t m_crFrame = kPrintBlack;
    uint32_t m_crSpare = kPrintWhite;
    std::vector<std::unique_ptr<CPrintCell>> m_cells;
};
