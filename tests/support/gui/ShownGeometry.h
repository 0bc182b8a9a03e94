// What a person sees of a list, tree or grid as it is laid out: how many rows show whole in its
// viewport, and whether a cell shows its whole text and icon. The tests of windows that must open
// at a size that shows their rows and captions ask these, not the sizes the code stores.
#pragma once

class QAbstractItemView;
class QModelIndex;

namespace guitest {

// The rows (of the root) from the top whose rectangles lie wholly inside the viewport.
int RowsShownWhole(const QAbstractItemView& view);

// True when the cell's rectangle is inside the viewport and as wide as its delegate asks for its
// icon and whole text (no "…").
bool CellShownWhole(const QAbstractItemView& view, const QModelIndex& index);

} // namespace guitest
