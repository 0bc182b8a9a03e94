// A static splitter: a fixed grid of panes (rows x columns) with shared row heights and column
// widths, bars between them that the user drags, an active pane, and a virtual that paints each
// part (border, bar, intersection, split box) so a subclass can give it another look. Each pane
// is a child widget whose control id (its objectName) follows the grid rule
// kFirstPaneId + 16 x row + column; a pane is found by its id, so a subclass can take a pane out
// of the grid by giving it another id.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QPainter;

namespace kx {

// A kind of view a pane can hold: its class (to tell whether a pane already holds one) and how to
// make one in a parent for a document (which may be null).
struct ViewClass {
    const QMetaObject* metaObject = nullptr;
    std::function<QWidget*(QWidget* parent, QObject* document)> create;
};

// The view class of T, made by T(parent).
template <class T> ViewClass ViewClassOf() {
    return {&T::staticMetaObject, [](QWidget* parent, QObject*) -> QWidget* { return new T(parent); }};
}

// A control id kept in the objectName, as the dialogs keep theirs; 0 when there is none.
int CtrlId(const QWidget* w);
void SetCtrlId(QWidget* w, int id);

class SplitterWnd : public QWidget {
    Q_OBJECT
public:
    enum ESplitType { splitBox = 0, splitBar = 1, splitIntersection = 2, splitBorder = 3 };
    static constexpr int kFirstPaneId = 0xE900;
    static int IdFromRowCol(int row, int col) { return kFirstPaneId + 16 * row + col; }

    explicit SplitterWnd(QWidget* parent = nullptr);
    ~SplitterWnd() override;

    // Makes the grid; false when it exists already or for a count below 1 or above 16.
    bool CreateStatic(int rows, int cols);
    // Makes the view of a pane, `size` its first size (its row's height and column's width).
    bool CreateView(int row, int col, const ViewClass& cls, QSize size, QObject* document = nullptr);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetMaxRowCount() const { return m_nMaxRows; }
    int GetMaxColumnCount() const { return m_nMaxCols; }
    QWidget* GetPane(int row, int col) const;
    // The child with the control id, shown or hidden.
    QWidget* PaneById(int id) const;
    // The document a view was made for.
    QObject* DocumentOf(const QWidget* view) const;

    void SetRowInfo(int row, int ideal, int min);
    void GetRowInfo(int row, int& cur, int& min) const;
    void SetColumnInfo(int col, int ideal, int min);
    void GetColumnInfo(int col, int& cur, int& min) const;

    // The active pane and where it is; null when none is.
    QWidget* GetActivePane(int* row = nullptr, int* col = nullptr) const;
    void SetActivePane(int row, int col);

    // Places every pane of the grid by the row and column sizes.
    virtual void RecalcLayout();

    // Width of a bar and of the border around each pane.
    int SplitterWidth() const { return m_cxSplitter; }
    int BorderWidth() const { return m_cxBorder; }

protected:
    struct CRowColInfo {
        int nMinSize = 0;
        int nIdealSize = 0;
        int nCurSize = 0;
    };

    // Paints one part of the splitter; with no painter the part is only marked for repainting.
    virtual void OnDrawSplitter(QPainter* p, ESplitType type, const QRect& r);
    // Every bar and every pane border, within cxInside x cyInside.
    void DrawAllSplitBars(QPainter& p, int cxInside, int cyInside);
    // Each crossing of a row bar and a column bar.
    std::vector<QRect> Intersections() const;

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Tells the splitter a view belongs to a document (ReplaceView hands it on).
    void SetDocumentOf(QWidget* view, QObject* document);
    void Adopt(QWidget* view);

    int m_nRows = 0, m_nCols = 0, m_nMaxRows = 0, m_nMaxCols = 0;
    std::vector<CRowColInfo> m_pRowInfo, m_pColInfo; // sized by the maximum counts
    int m_cxSplitter = 7, m_cySplitter = 7;
    int m_cxBorder = 2, m_cyBorder = 2;
    QPointer<QWidget> m_pActive;

private:
    // The bar under a point: (true, index) for the bar after row `index`, (false, index) after
    // column `index`; index -1 when there is none.
    std::pair<bool, int> BarAt(QPoint p) const;
    QRect CellRect(int row, int col) const;

    std::map<const QWidget*, QPointer<QObject>> m_documents;
    bool m_bTrackRow = false;
    int m_nTrack = -1;
    int m_nTrackOffset = 0;
};

} // namespace kx
