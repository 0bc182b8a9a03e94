#include "qt/KxReportList.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace kx {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
}

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setColumnCount(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        Q_EMIT ItemChanged(indexOfTopLevelItem(item), column);
    });
}

void ReportList::SetMinimumRows(int rows) {
    if (minimumRows_ == 0 && rows > 0) {
        // The rows' height is known once there is one: the layout asks again.
        connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { updateGeometry(); });
    }
    minimumRows_ = std::max(0, rows);
    updateGeometry();
}

QSize ReportList::minimumSizeHint() const {
    QSize hint = QTreeWidget::minimumSizeHint();
    if (minimumRows_ <= 0) return hint;
    // Rows are of one height; before the first, a line of text beside a small icon.
    int row = topLevelItemCount() > 0 ? indexRowSizeHint(model()->index(0, 0)) : 0;
    if (row <= 0) row = std::max(fontMetrics().height(), 16) + 4;
    int height = 2 * frameWidth() + minimumRows_ * row;
    if (!isHeaderHidden()) height += header()->sizeHint().height();
    if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) height += horizontalScrollBar()->sizeHint().height();
    hint.setHeight(std::max(hint.height(), height));
    return hint;
}

QTreeWidgetItem* ReportList::Row(int row) const {
    return row >= 0 && row < topLevelItemCount() ? topLevelItem(row) : nullptr;
}

Qt::Alignment ReportList::Align(int format) const {
    switch (format) {
    case LVCFMT_RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int ReportList::InsertColumn(int column, const QString& title, int format, int width) {
    const int count = columnCount();
    if (column < 0 || column > count) column = count;
    QTreeWidgetItem* head = headerItem();
    // Shift the titles, alignments and cells right of the new column.
    setColumnCount(count + 1);
    for (int c = count; c > column; --c) {
        head->setText(c, head->text(c - 1));
        head->setTextAlignment(c, Qt::Alignment(head->textAlignment(c - 1)));
        setColumnWidth(c, columnWidth(c - 1));
        for (int r = 0; r < topLevelItemCount(); ++r) {
            QTreeWidgetItem* item = topLevelItem(r);
            item->setText(c, item->text(c - 1));
            item->setTextAlignment(c, Qt::Alignment(item->textAlignment(c - 1)));
        }
    }
    head->setText(column, title);
    head->setTextAlignment(column, Align(format));
    for (int r = 0; r < topLevelItemCount(); ++r) {
        topLevelItem(r)->setText(column, QString());
        topLevelItem(r)->setTextAlignment(column, Align(format));
    }
    setColumnWidth(column, width);
    return column;
}

int ReportList::GetColumnWidth(int column) const {
    return column >= 0 && column < columnCount() ? header()->sectionSize(column) : 0;
}

void ReportList::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < columnCount()) setColumnWidth(column, width);
}

bool ReportList::DeleteColumn(int column) {
    const int count = columnCount();
    if (column < 0 || column >= count) return false;
    QTreeWidgetItem* head = headerItem();
    for (int c = column; c + 1 < count; ++c) {
        head->setText(c, head->text(c + 1));
        head->setTextAlignment(c, Qt::Alignment(head->textAlignment(c + 1)));
        setColumnWidth(c, columnWidth(c + 1));
        for (int r = 0; r < topLevelItemCount(); ++r) {
            QTreeWidgetItem* item = topLevelItem(r);
            item->setText(c, item->text(c + 1));
        }
    }
    setColumnCount(count - 1);
    return true;
}

QTreeWidgetItem* ReportList::NewRow(const QString& text) const {
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    for (int c = 0; c < columnCount(); ++c)
        item->setTextAlignment(c, Qt::Alignment(headerItem()->textAlignment(c)));
    item->setData(0, kDataRole, QVariant::fromValue<qlonglong>(0));
    if (checkBoxes_) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    return item;
}

int ReportList::InsertItem(int row, const QString& text) {
    if (row < 0 || row > topLevelItemCount()) row = topLevelItemCount();
    insertTopLevelItem(row, NewRow(text));
    return row;
}

void ReportList::AppendRows(const QList<QTreeWidgetItem*>& rows) {
    if (!rows.isEmpty()) addTopLevelItems(rows);
}

bool ReportList::DeleteItem(int row) {
    QTreeWidgetItem* item = Row(row);
    if (!item) return false;
    delete takeTopLevelItem(row);
    return true;
}

bool ReportList::SetItemText(int row, int column, const QString& text) {
    QTreeWidgetItem* item = Row(row);
    if (!item || column < 0 || column >= columnCount()) return false;
    item->setText(column, text);
    return true;
}

QString ReportList::GetItemText(int row, int column) const {
    QTreeWidgetItem* item = Row(row);
    return item && column >= 0 && column < columnCount() ? item->text(column) : QString();
}

bool ReportList::SetItemData(int row, std::intptr_t data) {
    QTreeWidgetItem* item = Row(row);
    if (!item) return false;
    item->setData(0, kDataRole, QVariant::fromValue<qlonglong>(data));
    return true;
}

std::intptr_t ReportList::GetItemData(int row) const {
    QTreeWidgetItem* item = Row(row);
    return item ? static_cast<std::intptr_t>(item->data(0, kDataRole).toLongLong()) : 0;
}

int ReportList::FindItemData(std::intptr_t data) const {
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (GetItemData(r) == data) return r;
    return -1;
}

void ReportList::SetCheckBoxes(bool on) {
    checkBoxes_ = on;
    for (int r = 0; r < topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = topLevelItem(r);
        if (on) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(0, Qt::CheckStateRole, QVariant());
        }
    }
}

bool ReportList::SetCheck(int row, bool checked) {
    QTreeWidgetItem* item = Row(row);
    if (!item || !checkBoxes_) return false;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

bool ReportList::GetCheck(int row) const {
    QTreeWidgetItem* item = Row(row);
    return item && checkBoxes_ && item->checkState(0) == Qt::Checked;
}

void ReportList::SetMultipleSelection(bool multiple) {
    setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                              : QAbstractItemView::SingleSelection);
}

POSITION ReportList::GetFirstSelectedItemPosition() const {
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (topLevelItem(r)->isSelected()) return r + 1;
    return 0;
}

int ReportList::GetNextSelectedItem(POSITION& pos) const {
    const int row = static_cast<int>(pos) - 1;
    pos = 0;
    for (int r = row + 1; r < topLevelItemCount(); ++r) {
        if (topLevelItem(r)->isSelected()) {
            pos = r + 1;
            break;
        }
    }
    return row;
}

bool ReportList::SetItemSelected(int row, bool selected) {
    QTreeWidgetItem* item = Row(row);
    if (!item) return false;
    if (selected && selectionMode() == QAbstractItemView::SingleSelection) clearSelection();
    item->setSelected(selected);
    return true;
}

bool ReportList::IsItemSelected(int row) const {
    QTreeWidgetItem* item = Row(row);
    return item && item->isSelected();
}

int ReportList::GetSelectedRow() const {
    return static_cast<int>(GetFirstSelectedItemPosition()) - 1;
}

int ReportList::GetFocusedRow() const {
    QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

bool ReportList::SetFocusedRow(int row) {
    QTreeWidgetItem* item = Row(row);
    if (!item) return false;
    selectionModel()->setCurrentIndex(indexFromItem(item, 0), QItemSelectionModel::NoUpdate);
    return true;
}

void ReportList::SetFullRowSelect(bool on) {
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setAllColumnsShowFocus(on);
}

int ReportList::GetTopIndex() const {
    QModelIndex index = indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : (topLevelItemCount() > 0 ? 0 : -1);
}

int ReportList::GetCountPerPage() const {
    int h = topLevelItemCount() > 0 ? rowHeight(indexFromItem(topLevelItem(0), 0)) : 0;
    if (h <= 0) h = fontMetrics().height() + 4;
    return viewport()->height() / h;
}

bool ReportList::EnsureVisible(int row) {
    QTreeWidgetItem* item = Row(row);
    if (!item) return false;
    scrollToItem(item, QAbstractItemView::EnsureVisible);
    return true;
}

QRect ReportList::GetItemRect(int row) const {
    QTreeWidgetItem* item = Row(row);
    if (!item || columnCount() == 0) return {};
    QRect first = visualItemRect(item);
    int width = 0;
    for (int c = 0; c < columnCount(); ++c) width += header()->sectionSize(c);
    return QRect(header()->sectionViewportPosition(0), first.top(), width, first.height());
}

QRect ReportList::GetSubItemRect(int row, int column) const {
    QTreeWidgetItem* item = Row(row);
    if (!item || column < 0 || column >= columnCount()) return {};
    QRect r = visualRect(indexFromItem(item, column));
    return QRect(header()->sectionViewportPosition(column), r.top(),
                 header()->sectionSize(column), r.height());
}

int ReportList::ColumnAt(int x) const {
    int left = -header()->offset();
    for (int c = 0; c < columnCount(); ++c) {
        const int right = left + header()->sectionSize(c);
        if (x >= left && x <= right) return c; // the border belongs to the left column
        left = right;
    }
    return -1;
}

ListHit ReportList::HitTest(const QPoint& point) const {
    ListHit hit;
    hit.column = ColumnAt(point.x());
    if (columnCount() == 0) return hit;
    // The row is the one under the point's height in the first column, wherever the x lies.
    QModelIndex index = indexAt(QPoint(header()->sectionViewportPosition(0) + 1, point.y()));
    hit.row = index.isValid() ? index.row() : -1;
    return hit;
}

bool ReportList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && infoTip_) {
        auto* help = static_cast<QHelpEvent*>(event);
        ListHit hit = HitTest(help->pos());
        QString text = hit.row >= 0 && hit.column >= 0 ? GetItemText(hit.row, hit.column) : QString();
        if (text.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void ReportList::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    ListHit hit = HitTest(p);
    if (event->button() == Qt::LeftButton) Q_EMIT ItemClicked(hit.row, hit.column);
    else if (event->button() == Qt::RightButton)
        Q_EMIT ItemRightClicked(hit.row, hit.column, viewport()->mapToGlobal(p));
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    ListHit hit = HitTest(event->position().toPoint());
    if (event->button() == Qt::LeftButton) Q_EMIT ItemDoubleClicked(hit.row, hit.column);
}

} // namespace kx
