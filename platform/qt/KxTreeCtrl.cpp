#include "qt/KxTreeCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

#include <atomic>
#include <vector>

namespace kx {

namespace {

constexpr int kDataRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;
constexpr int kSelectedImageRole = Qt::UserRole + 4;
constexpr int kCheckSeenRole = Qt::UserRole + 5;

// One counter for every control of the process: a handle names one item once, in one control.
// It starts far below the insertion places' values and would need 2^63 items to reach them.
std::atomic<std::uintptr_t> g_nextHandle{1};

// The application's style with the classic dotted branch lines and boxed buttons, so a tree
// shows its lines whatever the application style draws there.
class BranchLineStyle : public QProxyStyle {
public:
    BranchLineStyle() : lines_(QStyleFactory::create(QStringLiteral("Windows"))) {}
    ~BranchLineStyle() override { delete lines_; }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_IndicatorBranch && lines_) {
            lines_->drawPrimitive(element, option, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    QStyle* lines_;
};

QStyle* TreeStyle() {
    static QPointer<QStyle> style;
    if (!style && QCoreApplication::instance()) {
        style = new BranchLineStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

TreeCtrl::TreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true); // buttons and lines at the top level
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    if (QStyle* s = TreeStyle()) setStyle(s);
    // The selection stays visible when the tree loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                // `previous` may be an item being deleted: only live items are touched.
                HTREEITEM oldItem = HandleOf(previous);
                if (oldItem) ShowIcon(previous, false);
                HTREEITEM newItem = HandleOf(current);
                if (newItem) ShowIcon(current, true);
                Q_EMIT SelChanged(newItem, oldItem);
            });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0 || !checkBoxes_) return;
        HTREEITEM h = HandleOf(item);
        if (!h) return;
        const bool checked = item->checkState(0) == Qt::Checked;
        if (item->data(0, kCheckSeenRole).toBool() == checked) return;
        item->setData(0, kCheckSeenRole, checked);
        Q_EMIT CheckChanged(h, checked);
    });
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { Q_EMIT ItemClicked(HandleOf(item)); });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { Q_EMIT ItemDoubleClicked(HandleOf(item)); });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { Q_EMIT ItemExpanded(HandleOf(item)); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { Q_EMIT ItemCollapsed(HandleOf(item)); });
}

TreeCtrl::~TreeCtrl() {
    // The widget items go with the widget; no signal may reach a handle table being torn down.
    blockSignals(true);
    items_.clear();
    handles_.clear();
}

QTreeWidgetItem* TreeCtrl::ItemOf(HTREEITEM item) const {
    if (!item) return nullptr;
    auto it = items_.find(reinterpret_cast<std::uintptr_t>(item));
    return it == items_.end() ? nullptr : it->second;
}

HTREEITEM TreeCtrl::HandleOf(const QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    // Looked up in the table, never read from the item: a deleted item's memory may already
    // hold a newer item, and only the table knows which items are alive.
    auto it = handles_.find(item);
    return it == handles_.end() ? nullptr : reinterpret_cast<HTREEITEM>(it->second);
}

HTREEITEM TreeCtrl::InsertItem(const QString& text, int image, int selectedImage, HTREEITEM parent,
                               HTREEITEM after) {
    QTreeWidgetItem* under = parent == TVI_ROOT ? invisibleRootItem() : ItemOf(parent);
    if (!under) return nullptr;
    int index = under->childCount();
    if (after == TVI_FIRST) {
        index = 0;
    } else if (after != TVI_LAST) {
        QTreeWidgetItem* prev = ItemOf(after);
        if (!prev || prev->parent() != (under == invisibleRootItem() ? nullptr : under)) return nullptr;
        index = under->indexOfChild(prev) + 1;
    }
    const std::uintptr_t handle = g_nextHandle.fetch_add(1);
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, kDataRole, QVariant::fromValue<qlonglong>(0));
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, selectedImage);
    if (checkBoxes_) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, kCheckSeenRole, false);
    }
    items_.emplace(handle, item);
    handles_.emplace(item, handle);
    under->insertChild(index, item);
    ShowIcon(item, false);
    return reinterpret_cast<HTREEITEM>(handle);
}

void TreeCtrl::Forget(QTreeWidgetItem* item) {
    std::vector<QTreeWidgetItem*> stack{item};
    while (!stack.empty()) {
        QTreeWidgetItem* cur = stack.back();
        stack.pop_back();
        auto it = handles_.find(cur);
        if (it != handles_.end()) {
            items_.erase(it->second);
            handles_.erase(it);
        }
        for (int i = 0; i < cur->childCount(); ++i) stack.push_back(cur->child(i));
    }
}

bool TreeCtrl::DeleteItem(HTREEITEM h) {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    Forget(item);
    delete item; // its children go with it
    return true;
}

void TreeCtrl::DeleteAllItems() {
    items_.clear();
    handles_.clear();
    clear();
}

HTREEITEM TreeCtrl::GetRootItem() const {
    return topLevelItemCount() ? HandleOf(topLevelItem(0)) : nullptr;
}

HTREEITEM TreeCtrl::GetChildItem(HTREEITEM h) const {
    if (h == TVI_ROOT) return GetRootItem();
    QTreeWidgetItem* item = ItemOf(h);
    return item && item->childCount() ? HandleOf(item->child(0)) : nullptr;
}

HTREEITEM TreeCtrl::GetNextSiblingItem(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return nullptr;
    QTreeWidgetItem* under = item->parent() ? item->parent() : invisibleRootItem();
    const int next = under->indexOfChild(item) + 1;
    return next < under->childCount() ? HandleOf(under->child(next)) : nullptr;
}

HTREEITEM TreeCtrl::GetPrevSiblingItem(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return nullptr;
    QTreeWidgetItem* under = item->parent() ? item->parent() : invisibleRootItem();
    const int prev = under->indexOfChild(item) - 1;
    return prev >= 0 ? HandleOf(under->child(prev)) : nullptr;
}

HTREEITEM TreeCtrl::GetParentItem(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item ? HandleOf(item->parent()) : nullptr;
}

bool TreeCtrl::ItemHasChildren(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item && item->childCount() > 0;
}

HTREEITEM TreeCtrl::GetSelectedItem() const {
    return HandleOf(currentItem());
}

bool TreeCtrl::SelectItem(HTREEITEM h) {
    if (!h) {
        setCurrentItem(nullptr);
        clearSelection();
        return true;
    }
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    setCurrentItem(item);
    return true;
}

bool TreeCtrl::Expand(HTREEITEM h, int code) {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    switch (code) {
    case TVE_EXPAND: item->setExpanded(true); return true;
    case TVE_COLLAPSE: item->setExpanded(false); return true;
    case TVE_TOGGLE: item->setExpanded(!item->isExpanded()); return true;
    default: return false;
    }
}

bool TreeCtrl::IsExpanded(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item && item->isExpanded();
}

bool TreeCtrl::EnsureVisible(HTREEITEM h) {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    scrollToItem(item);
    return true;
}

QString TreeCtrl::GetItemText(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item ? item->text(0) : QString();
}

bool TreeCtrl::SetItemText(HTREEITEM h, const QString& text) {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    item->setText(0, text);
    return true;
}

std::intptr_t TreeCtrl::GetItemData(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item ? static_cast<std::intptr_t>(item->data(0, kDataRole).toLongLong()) : 0;
}

bool TreeCtrl::SetItemData(HTREEITEM h, std::intptr_t data) {
    static_assert(sizeof(qlonglong) >= sizeof(std::intptr_t), "item data must hold a pointer");
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    item->setData(0, kDataRole, QVariant::fromValue<qlonglong>(data));
    return true;
}

bool TreeCtrl::GetItemImage(HTREEITEM h, int& image, int& selectedImage) const {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    image = item->data(0, kImageRole).toInt();
    selectedImage = item->data(0, kSelectedImageRole).toInt();
    return true;
}

bool TreeCtrl::SetItemImage(HTREEITEM h, int image, int selectedImage) {
    QTreeWidgetItem* item = ItemOf(h);
    if (!item) return false;
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, selectedImage);
    ShowIcon(item, item == currentItem());
    return true;
}

void TreeCtrl::ShowIcon(QTreeWidgetItem* item, bool selected) {
    const int index = item->data(0, selected ? kSelectedImageRole : kImageRole).toInt();
    item->setIcon(0, images_.Icon(index));
}

void TreeCtrl::SetImageList(const ImageList& images) {
    images_ = images;
    if (images_.GetImageCount() > 0) setIconSize(images_.ImageSize());
    QTreeWidgetItem* current = currentItem();
    for (const auto& [handle, item] : items_) ShowIcon(item, item == current);
}

void TreeCtrl::SetCheckBoxes(bool on) {
    if (checkBoxes_ == on) return;
    checkBoxes_ = on;
    for (const auto& [handle, item] : items_) {
        if (on) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setData(0, kCheckSeenRole, false);
            item->setCheckState(0, Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(0, Qt::CheckStateRole, QVariant());
        }
    }
}

bool TreeCtrl::GetCheck(HTREEITEM h) const {
    QTreeWidgetItem* item = checkBoxes_ ? ItemOf(h) : nullptr;
    return item && item->checkState(0) == Qt::Checked;
}

bool TreeCtrl::SetCheck(HTREEITEM h, bool checked) {
    QTreeWidgetItem* item = checkBoxes_ ? ItemOf(h) : nullptr;
    if (!item) return false;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

HTREEITEM TreeCtrl::HitTest(const QPoint& point) const {
    return HandleOf(itemAt(point));
}

QRect TreeCtrl::GetItemRect(HTREEITEM h) const {
    QTreeWidgetItem* item = ItemOf(h);
    return item ? visualItemRect(item) : QRect();
}

void TreeCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT ItemRightClicked(HitTest(event->position().toPoint()), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

} // namespace kx
