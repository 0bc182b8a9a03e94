// A static splitter that can hide and show one row and one column of panes, replace a pane's view
// by a new one of another class or switch it with an existing view, and paint its bars in a flat
// look. A hidden pane keeps an id outside the grid (kFirstPaneId + 16 x column + rows for a row,
// kFirstPaneId + 16 x row + columns for a column) so it is found again when shown.
#pragma once

#include "qt/KxSplitterWnd.h"

namespace studio {

class CFlatSplitterWnd : public kx::SplitterWnd {
    Q_OBJECT
public:
    explicit CFlatSplitterWnd(QWidget* parent = nullptr);

    // 1 paints with the flat rules, 0 as the plain splitter.
    void SetFlatLook(int flat);
    int GetFlatLook() const { return m_bFlatLook; }
    int HiddenRow() const { return m_nHiddenRow; }
    int HiddenColumn() const { return m_nHiddenCol; }

    // Nothing happens for a row or column out of range, for the only one, or while one is
    // hidden already; showing does nothing when none is hidden.
    void HideRow(int row);
    void ShowRow();
    void HideColumn(int col);
    void ShowColumn();

    // 1 when the pane's view was replaced by a new view of `cls` (with the old view's document,
    // id and size); 0 when it already was of that class or there is no such pane.
    int ReplaceView(int row, int col, const kx::ViewClass& cls);
    // 1 when `view` took the pane's place (the two exchange ids, the old one is hidden); 0 when
    // it already was there or there is no such pane.
    int SwitchView(int row, int col, QWidget* view);

protected:
    void OnDrawSplitter(QPainter* p, ESplitType type, const QRect& r) override;
    void paintEvent(QPaintEvent*) override;

private:
    int m_bFlatLook = 1;
    int m_nHiddenRow = -1;
    int m_nHiddenCol = -1;
};

} // namespace studio
