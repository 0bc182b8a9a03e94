// A report list whose rows form a tree: each row is a node with a label, sub-item texts in the
// further columns, an indent by level, tree lines and a plus/minus box, an optional check box,
// and cells edited in place. The control keeps the tree itself; the rows are the nodes reached
// from the root in depth-first order through nodes that are not folded, the root at row 0.
// Nodes open and close with the mouse and the keyboard, subtrees move by drag and drop (with
// scrolling and opening of folded targets while dragging), and children sort by label. A derived
// grid supplies copies of items, pictures, the current cell's colour and what a click does.
#pragma once

#include "grid/CTreeGridNode.h"
#include "grid/CellEditEnd.h"
#include "qt/KxImageList.h"

#include <QBasicTimer>
#include <QPixmap>
#include <QPointer>
#include <QTableWidget>

#include <memory>
#include <vector>

class CInPlaceEdit;

class CTreeGridCtrl : public QTableWidget, public CellEditSink {
    Q_OBJECT
public:
    // Editor ids: a label editor, a sub-item editor, a drop-down list.
    static constexpr int kLabelEditId = 4659;
    static constexpr int kCellEditId = 4660;
    static constexpr int kChoiceEditId = 4661;
    // The drag timer's period.
    static constexpr int kDragTimerMs = 300;

    explicit CTreeGridCtrl(QWidget* parent = nullptr);
    ~CTreeGridCtrl() override;

    // The small pictures (their size sets the indent step) and whether rows have check boxes.
    void SetImageList(const kx::ImageList& images);
    const kx::ImageList& GetImageList() const { return m_images; }
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return m_bCheckBoxes; }
    // A column: title, alignment (Qt::AlignLeft, AlignRight or AlignHCenter) and width.
    int InsertColumn(int column, const QString& title, Qt::Alignment format, int width);

    // ---- the tree ----
    int SetRootNode(std::unique_ptr<CTreeGridItem> item);
    CTreeGridNode* AddChild(CTreeGridNode* parent, std::unique_ptr<CTreeGridItem> item, int show);
    int ShowChildren(CTreeGridNode* node, int row);
    void HideChildren(CTreeGridNode* node);
    void ShowSubtree(CTreeGridNode* node, int& lastRow);
    int RevealNode(CTreeGridNode* node);
    void RemoveNodeAndRow(CTreeGridNode* node, int row);
    int DetachNode(CTreeGridNode* node, int free);
    void ClearChildren(CTreeGridNode* node);
    CTreeGridNode* NextNode(CTreeGridNode* node, int shownOnly) const;
    CTreeGridNode* PrevNode(CTreeGridNode* node, int shownOnly) const;
    int RowOfNode(const CTreeGridNode* node) const;
    int IsInSubtree(const CTreeGridNode* top, const CTreeGridNode* node) const;
    void SortChildren(CTreeGridNode* node, int allLevels);
    int HasChildren(const CTreeGridNode* node) const { return node && node->HasChildren() ? 1 : 0; }
    int IsFolded(const CTreeGridNode* node) const { return node && node->m_bFolded ? 1 : 0; }
    CTreeGridNode* GetRoot() const { return m_pRoot.get(); }
    void RenumberRows();
    // The node a row shows; null for no such row.
    CTreeGridNode* NodeOfRow(int row) const;
    // The selected row, -1 when none; selects (and focuses) a row, -1 clears.
    int GetSelectedRow() const;
    void SelectRow(int row);

    // ---- columns and cells ----
    int ColumnCount() const;
    int ColumnToOrder(int column) const;
    void ScrollColumnIntoView(int column);
    int CurrentColumn() const { return m_nCurColumn; }
    QWidget* EditCell(int row, int column);
    // A row's check box, as the list shows it.
    bool GetRowCheck(int row) const;

    // ---- geometry shared by drawing and the hit test ----
    int RowHeight() const;
    // The plus/minus box of the row (in viewport coordinates).
    QRect BoxRect(int row, const CTreeGridNode* node) const;
    // The row's picture and label in column 0.
    QRect IconRect(int row, const CTreeGridNode* node) const;
    QRect LabelRect(int row, const CTreeGridNode* node) const;
    // The text as drawn in `width` pixels: whole when it fits with the margin, else shortened by
    // whole characters and ended with "...".
    static QString FitText(const QFontMetrics& fm, const QString& text, int width, int margin);

    // ---- what a derived grid supplies ----
    virtual std::unique_ptr<CTreeGridItem> CloneItem(const CTreeGridItem* item) const;
    virtual int IconOf(const CTreeGridNode* node) const;
    virtual QColor CellColour() const;
    virtual void CommitCellText(CTreeGridNode* node, const CellEditEnd& end);
    virtual void OnCellClicked(int row, int column);
    virtual QPixmap MakeRowImage(int row) const;

    // The editor edits end here.
    void OnEndLabelEdit(const CellEditEnd& end) override;
    void TakeFocusBack() override;

    // Drag state, for the tests.
    bool IsDragging() const { return m_bDragging; }
    int DragSourceRow() const { return m_nDragSource; }
    int DropTargetRow() const { return m_nDropTarget; }

    // Paints one cell (the delegate's work).
    void DrawCell(QPainter* p, const QRect& rect, int row, int column) const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* e) override;

    // Enter on the current cell: a text editor there. A derived grid may open something else.
    virtual void OnEnterKey();
    // Opens a text editor over the label (column 0) or a sub-item cell.
    QWidget* OpenEditor(int row, int column);
    // The cell rectangle made ready for an editor (scrolled into view, cut at the client edge);
    // empty when the row cannot be shown.
    QRect PrepareCell(int row, int column);
    int m_cxImage = 0;
    int m_cyImage = 0;

private:
    void InsertRow(int row, CTreeGridNode* node);
    bool HitBox(QPoint pos, bool& rowHit);
    void ToggleNode(CTreeGridNode* node, int row);
    void CopyUnder(CTreeGridNode* target, const CTreeGridNode* source, int show);
    void BeginDrag(int row, QPoint pos);
    void EndDrag();
    void Drop();
    void OnDragTimer();
    bool InScrollBand(int y) const;
    void SetRedraw(bool on);

    std::unique_ptr<CTreeGridNode> m_pRoot;
    int m_nCurColumn = 0;
    int m_nDragSource = -1;
    int m_nDropTarget = -1;
    bool m_bDragging = false;
    bool m_bCheckBoxes = false;
    kx::ImageList m_images;
    std::vector<Qt::Alignment> m_formats;
    QBasicTimer m_dragTimer;
    QPixmap m_dragImage;
    QPoint m_dragPos;
    int m_pressRow = -1;
    QPoint m_pressPos;
};
