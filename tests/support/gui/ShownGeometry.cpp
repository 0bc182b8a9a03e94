#include "support/gui/ShownGeometry.h"

#include <QAbstractItemView>

namespace guitest {

int RowsShownWhole(const QAbstractItemView& view) {
    const QAbstractItemModel* model = view.model();
    if (!model) return 0;
    const QRect viewport = view.viewport()->rect();
    int shown = 0;
    for (int row = 0; row < model->rowCount(view.rootIndex()); ++row) {
        const QRect r = view.visualRect(model->index(row, 0, view.rootIndex()));
        if (r.isEmpty() || r.top() < viewport.top() || r.bottom() > viewport.bottom()) break;
        ++shown;
    }
    return shown;
}

bool CellShownWhole(const QAbstractItemView& view, const QModelIndex& index) {
    const QRect r = view.visualRect(index);
    if (r.isEmpty() || r.left() < 0 || r.right() > view.viewport()->rect().right()) return false;
    return r.width() >= view.sizeHintForIndex(index).width();
}

} // namespace guitest
