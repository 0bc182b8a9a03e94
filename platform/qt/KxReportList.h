// The report-view list the grids and the dialogs' lists are built on: columns with title,
// alignment and width; rows with cell texts, pointer-sized item data and optional check boxes;
// single or multiple selection walked by position (first selected row + 1, 0 when none); the
// geometry calls the in-place editors need; and a hit test by the header's widths. Rows stay in
// the order inserted: the list never sorts.
#pragma once

#include <QTreeWidget>

#include <cstdint>

namespace kx {

enum ColumnFormat { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };

// A selection position: selected row + 1, 0 (null) when there is none left.
using POSITION = std::intptr_t;

struct ListHit {
    int row = -1;    // -1 when the point is below the last row or outside the rows
    int column = -1; // -1 when the point is right of the last column
};

class ReportList : public QTreeWidget {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent = nullptr);

    // Columns. InsertColumn adds at `column` (at most the column count); returns its index.
    int InsertColumn(int column, const QString& title, int format = LVCFMT_LEFT, int width = 80);
    int GetColumnCount() const { return columnCount(); }
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    bool DeleteColumn(int column);

    // Rows. InsertItem puts a row with the first cell's text at `row` (clamped to the count);
    // returns its index.
    int InsertItem(int row, const QString& text);
    // Many rows at once: NewRow makes a row as InsertItem would (not yet in the list), and
    // AppendRows adds them all at the end in one step, so a long answer is laid out once and not
    // once per row. The list owns the rows afterwards.
    QTreeWidgetItem* NewRow(const QString& text) const;
    void AppendRows(const QList<QTreeWidgetItem*>& rows);
    int GetItemCount() const { return topLevelItemCount(); }
    bool DeleteItem(int row);
    void DeleteAllItems() { clear(); }
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemData(int row, std::intptr_t data);
    // The row's data, 0 for a row out of range.
    std::intptr_t GetItemData(int row) const;
    // The first row carrying `data`, -1 when none.
    int FindItemData(std::intptr_t data) const;

    // Check boxes in the first column of every row.
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return checkBoxes_; }
    bool SetCheck(int row, bool checked);
    bool GetCheck(int row) const;

    // Selection: single by default.
    void SetMultipleSelection(bool multiple);
    int GetSelectedCount() const { return static_cast<int>(selectedItems().size()); }
    POSITION GetFirstSelectedItemPosition() const;
    // The row at `pos`; moves `pos` on to the next selected row (0 after the last).
    int GetNextSelectedItem(POSITION& pos) const;
    bool SetItemSelected(int row, bool selected);
    bool IsItemSelected(int row) const;
    // The first selected row, -1 when none.
    int GetSelectedRow() const;
    // The focused (current) row, -1 when none; SetFocusedRow moves the focus without selecting.
    int GetFocusedRow() const;
    bool SetFocusedRow(int row);

    // The list's smallest height shows this many rows whole below the header (with room for
    // the horizontal scroll bar), so a dialog opens at a size that shows them; 0: Qt's own.
    void SetMinimumRows(int rows);
    QSize minimumSizeHint() const override;

    void SetFullRowSelect(bool on);
    // Shows a cell's whole text as its tool tip.
    void SetInfoTip(bool on) { infoTip_ = on; }

    // Scrolling and geometry (in viewport coordinates).
    int GetTopIndex() const;
    int GetCountPerPage() const;
    bool EnsureVisible(int row);
    QRect GetItemRect(int row) const;
    QRect GetSubItemRect(int row, int column) const;

    // The row and column under a viewport point; columns come from the header's widths and a
    // point on the border between two columns belongs to the left one.
    ListHit HitTest(const QPoint& point) const;
    // The column under a viewport x from the header's widths alone (-1 right of the last).
    int ColumnAt(int x) const;

Q_SIGNALS:
    // A cell's text, the row's check or its data changed (checks and data are held in column 0).
    void ItemChanged(int row, int column);
    void ItemClicked(int row, int column);
    void ItemDoubleClicked(int row, int column);
    // A right click; `globalPos` is where a popup menu opens.
    void ItemRightClicked(int row, int column, const QPoint& globalPos);

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* Row(int row) const;
    Qt::Alignment Align(int format) const;

    bool checkBoxes_ = false;
    bool infoTip_ = false;
    int minimumRows_ = 0;
};

} // namespace kx
