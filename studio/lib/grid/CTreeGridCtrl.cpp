#include "grid/CTreeGridCtrl.h"

#include "base/Gbk.h"
#include "grid/CInPlaceEdit.h"
#include "grid/CInPlaceCombo.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr int kNodeRole = Qt::UserRole;
constexpr int kCheckRole = Qt::UserRole + 1;
const QColor kLineGrey(192, 192, 192);
const QColor kBoxGrey(198, 198, 198);

// Hands every cell to the grid's own drawing.
class TreeGridDelegate : public QStyledItemDelegate {
public:
    explicit TreeGridDelegate(CTreeGridCtrl* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        p->save();
        grid_->DrawCell(p, option.rect, index.row(), index.column());
        p->restore();
    }

private:
    CTreeGridCtrl* grid_;
};

// Waits with the wait cursor for as long as it lives.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

bool IsShown(const CTreeGridNode* node) {
    for (const CTreeGridNode* p = node->m_pParent; p; p = p->m_pParent)
        if (p->m_bFolded) return false;
    return true;
}

// The shown descendants of a node (its rows below its own, contiguous).
int ShownDescendants(const CTreeGridNode* node) {
    if (node->m_bFolded) return 0;
    int n = 0;
    for (const auto& c : node->m_children) n += 1 + ShownDescendants(c.get());
    return n;
}

void ForgetRows(CTreeGridNode* node) {
    for (auto& c : node->m_children) {
        c->m_nRow = -1;
        ForgetRows(c.get());
    }
}

// Folds the node and every descendant with children.
void FoldAll(CTreeGridNode* node) {
    if (!node->HasChildren()) return;
    node->m_bFolded = 1;
    for (auto& c : node->m_children) FoldAll(c.get());
}

} // namespace

CTreeGridCtrl::CTreeGridCtrl(QWidget* parent) : QTableWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight());
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(true);
    setItemDelegate(new TreeGridDelegate(this));
}

CTreeGridCtrl::~CTreeGridCtrl() {
    // An editor still open hears nothing more from a grid that is going.
    for (auto* e : findChildren<CInPlaceEdit*>()) e->Detach();
    for (auto* c : findChildren<CInPlaceCombo*>()) c->Detach();
}

void CTreeGridCtrl::SetImageList(const kx::ImageList& images) {
    m_images = images;
    m_cxImage = images.ImageSize().width();
    m_cyImage = images.ImageSize().height();
    viewport()->update();
}

void CTreeGridCtrl::SetCheckBoxes(bool on) {
    m_bCheckBoxes = on;
    viewport()->update();
}

int CTreeGridCtrl::InsertColumn(int column, const QString& title, Qt::Alignment format, int width) {
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    setHorizontalHeaderItem(column, new QTableWidgetItem(title));
    setColumnWidth(column, width);
    m_formats.insert(m_formats.begin() + column, format);
    return column;
}

int CTreeGridCtrl::RowHeight() const {
    const QFontMetrics fm(font());
    return fm.height() + fm.leading() + 4;
}

// ---- rows -----------------------------------------------------------------------------------

CTreeGridNode* CTreeGridCtrl::NodeOfRow(int row) const {
    const QTableWidgetItem* cell = row >= 0 && row < rowCount() ? item(row, 0) : nullptr;
    return cell ? reinterpret_cast<CTreeGridNode*>(cell->data(kNodeRole).value<quintptr>()) : nullptr;
}

void CTreeGridCtrl::InsertRow(int row, CTreeGridNode* node) {
    insertRow(row);
    auto* label = new QTableWidgetItem(node->GetItem()->GetLabel());
    label->setData(kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(node)));
    label->setData(kCheckRole, node->GetItem()->GetCheck() ? 1 : 0);
    setItem(row, 0, label);
    for (int c = 1; c < columnCount(); ++c) setItem(row, c, new QTableWidgetItem(node->GetItem()->GetSubItemText(c - 1)));
    node->m_nRow = row;
}

void CTreeGridCtrl::RenumberRows() {
    for (int row = 0; row < rowCount(); ++row)
        if (CTreeGridNode* n = NodeOfRow(row)) n->m_nRow = row;
}

int CTreeGridCtrl::GetSelectedRow() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CTreeGridCtrl::SelectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return;
    }
    setCurrentCell(row, std::max(0, currentColumn()), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool CTreeGridCtrl::GetRowCheck(int row) const {
    const QTableWidgetItem* cell = row >= 0 && row < rowCount() ? item(row, 0) : nullptr;
    return cell && cell->data(kCheckRole).toInt() != 0;
}

void CTreeGridCtrl::SetRedraw(bool on) {
    setUpdatesEnabled(on);
    if (on) viewport()->update();
}

// ---- the tree -------------------------------------------------------------------------------

int CTreeGridCtrl::SetRootNode(std::unique_ptr<CTreeGridItem> item) {
    setRowCount(0);
    m_pRoot = std::make_unique<CTreeGridNode>(item ? std::move(item) : std::make_unique<CTreeGridItem>());
    m_pRoot->m_nLevel = 1;
    InsertRow(0, m_pRoot.get());
    return 1;
}

CTreeGridNode* CTreeGridCtrl::AddChild(CTreeGridNode* parent, std::unique_ptr<CTreeGridItem> item, int show) {
    if (!parent) return nullptr;
    auto node = std::make_unique<CTreeGridNode>(item ? std::move(item) : std::make_unique<CTreeGridItem>());
    node->m_nLevel = parent->m_nLevel + 1;
    node->m_pParent = parent;
    CTreeGridNode* added = node.get();
    if (!show) {
        // A parent whose children are on screen loses their rows before it is marked folded, so
        // the next show does not insert them twice.
        if (!parent->m_bFolded && parent->HasChildren() && IsShown(parent) && parent->m_nRow >= 0)
            HideChildren(parent);
        parent->m_children.push_back(std::move(node));
        parent->m_bFolded = 1;
        return added;
    }
    parent->m_children.push_back(std::move(node));
    // A row only under a parent that shows its children.
    if (!parent->m_bFolded && IsShown(parent) && parent->m_nRow >= 0) {
        InsertRow(RowOfNode(added), added);
        RenumberRows();
    }
    return added;
}

int CTreeGridCtrl::ShowChildren(CTreeGridNode* node, int row) {
    if (!node || !node->HasChildren() || !node->m_bFolded) return row;
    node->m_bFolded = 0;
    int last = row;
    for (auto& c : node->m_children) {
        // Shown children show only themselves: theirs stay folded.
        if (c->HasChildren()) c->m_bFolded = 1;
        InsertRow(++last, c.get());
    }
    RenumberRows();
    viewport()->update();
    return last;
}

void CTreeGridCtrl::HideChildren(CTreeGridNode* node) {
    if (!node || !node->HasChildren()) return;
    SetRedraw(false);
    const int count = ShownDescendants(node);
    if (node->m_nRow >= 0 && count > 0)
        for (int i = 0; i < count; ++i) removeRow(node->m_nRow + 1);
    ForgetRows(node);
    FoldAll(node);
    RenumberRows();
    SetRedraw(true);
}

void CTreeGridCtrl::ShowSubtree(CTreeGridNode* node, int& lastRow) {
    if (!node) return;
    lastRow = ShowChildren(node, node->m_nRow);
    for (auto& c : node->m_children) {
        int last = lastRow;
        ShowSubtree(c.get(), last);
    }
    // The last row shown is the subtree's last node.
    const CTreeGridNode* n = node;
    while (n->HasChildren() && !n->m_bFolded) n = n->m_children.back().get();
    lastRow = n->m_nRow;
}

int CTreeGridCtrl::RevealNode(CTreeGridNode* node) {
    if (!node) return -1;
    if (node == m_pRoot.get()) {
        SelectRow(0);
        return 0;
    }
    WaitCursor wait;
    SetRedraw(false);
    std::vector<CTreeGridNode*> chain;
    for (CTreeGridNode* p = node->m_pParent; p; p = p->m_pParent) chain.push_back(p);
    std::reverse(chain.begin(), chain.end());
    for (CTreeGridNode* a : chain)
        if (a->m_bFolded) ShowChildren(a, a->m_nRow);
    SelectRow(node->m_nRow);
    SetRedraw(true);
    if (node->m_nRow >= 0) scrollToItem(item(node->m_nRow, 0));
    return node->m_nRow;
}

void CTreeGridCtrl::RemoveNodeAndRow(CTreeGridNode* node, int row) {
    // The root never leaves: the tree would keep it while its row went.
    if (!node || node == m_pRoot.get() || row < 0 || row >= rowCount()) return;
    SetRedraw(false);
    const int count = 1 + ShownDescendants(node);
    for (int i = 0; i < count && row < rowCount(); ++i) removeRow(row);
    DetachNode(node, 1);
    RenumberRows();
    if (row - 1 >= 0) SelectRow(row < rowCount() ? row : row - 1);
    else clearSelection();
    SetRedraw(true);
}

int CTreeGridCtrl::DetachNode(CTreeGridNode* node, int free) {
    if (!node || !m_pRoot) return 0;
    std::vector<CTreeGridNode*> stack{m_pRoot.get()};
    while (!stack.empty()) {
        CTreeGridNode* n = stack.back();
        stack.pop_back();
        for (auto it = n->m_children.begin(); it != n->m_children.end(); ++it) {
            if (it->get() == node) {
                std::unique_ptr<CTreeGridNode> owned = std::move(*it);
                n->m_children.erase(it);
                owned->m_pParent = nullptr;
                if (!free) owned.release(); // the caller owns it now
                return 1;
            }
            stack.push_back(it->get());
        }
    }
    return 0;
}

void CTreeGridCtrl::ClearChildren(CTreeGridNode* node) {
    if (node) node->m_children.clear();
}

CTreeGridNode* CTreeGridCtrl::NextNode(CTreeGridNode* node, int shownOnly) const {
    if (!node) return nullptr;
    if (node->HasChildren() && !(shownOnly && node->m_bFolded)) return node->m_children.front().get();
    for (CTreeGridNode* n = node; n->m_pParent; n = n->m_pParent) {
        auto& sib = n->m_pParent->m_children;
        auto it = std::find_if(sib.begin(), sib.end(), [n](const auto& c) { return c.get() == n; });
        if (it != sib.end() && std::next(it) != sib.end()) return std::next(it)->get();
    }
    return node; // the last node's successor is itself
}

CTreeGridNode* CTreeGridCtrl::PrevNode(CTreeGridNode* node, int shownOnly) const {
    if (!node || !node->m_pParent) return node;
    auto& sib = node->m_pParent->m_children;
    auto it = std::find_if(sib.begin(), sib.end(), [node](const auto& c) { return c.get() == node; });
    if (it == sib.begin()) return node->m_pParent;
    CTreeGridNode* n = std::prev(it)->get();
    while (n->HasChildren() && !(shownOnly && n->m_bFolded)) n = n->m_children.back().get();
    return n;
}

int CTreeGridCtrl::RowOfNode(const CTreeGridNode* node) const {
    if (!m_pRoot || !node) return -1;
    int row = 0;
    // Depth-first through the shown part, counting what comes before the node.
    std::vector<const CTreeGridNode*> stack{m_pRoot.get()};
    while (!stack.empty()) {
        const CTreeGridNode* n = stack.back();
        stack.pop_back();
        if (n == node) return row;
        ++row;
        if (!n->m_bFolded)
            for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it) stack.push_back(it->get());
    }
    return row;
}

int CTreeGridCtrl::IsInSubtree(const CTreeGridNode* top, const CTreeGridNode* node) const {
    for (const CTreeGridNode* n = node; n; n = n->m_pParent)
        if (n == top) return 1;
    return 0;
}

void CTreeGridCtrl::SortChildren(CTreeGridNode* node, int allLevels) {
    if (!node) return;
    if (node->m_children.size() > 1) {
        // By label in the character codes of the catalogue's text form, case sensitive.
        std::stable_sort(node->m_children.begin(), node->m_children.end(), [](const auto& a, const auto& b) {
            return kx::ToGbk(a->GetItem()->GetLabel().toStdString()) < kx::ToGbk(b->GetItem()->GetLabel().toStdString());
        });
    }
    if (allLevels)
        for (auto& c : node->m_children) SortChildren(c.get(), 1);
}

// ---- columns and cells ----------------------------------------------------------------------

int CTreeGridCtrl::ColumnCount() const { return horizontalHeader() ? horizontalHeader()->count() : 0; }

int CTreeGridCtrl::ColumnToOrder(int column) const {
    if (column < 0 || column >= ColumnCount()) return -1;
    return horizontalHeader()->visualIndex(column);
}

void CTreeGridCtrl::ScrollColumnIntoView(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    const int left = columnViewportPosition(column);
    const int right = left + columnWidth(column);
    if (left < 0 || right > viewport()->width()) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + left);
        viewport()->update();
    }
}

QRect CTreeGridCtrl::PrepareCell(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount()) return {};
    scrollToItem(item(row, 0), QAbstractItemView::EnsureVisible);
    QRect r = visualRect(model()->index(row, column));
    if (r.isEmpty() || r.bottom() < 0 || r.top() > viewport()->height()) return {};
    if (r.left() < 0 || r.left() > viewport()->width()) {
        QScrollBar* bar = horizontalScrollBar();
        const int shift = r.left();
        bar->setValue(bar->value() + shift);
        r = visualRect(model()->index(row, column));
    }
    r.setRight(std::min(r.left() + columnWidth(column), viewport()->width()) - 1);
    return r;
}

QWidget* CTreeGridCtrl::OpenEditor(int row, int column) {
    CTreeGridNode* node = NodeOfRow(row);
    if (!node) return nullptr;
    QRect r = PrepareCell(row, column);
    if (r.isEmpty()) return nullptr;
    if (column == 0) {
        r.setLeft(LabelRect(row, node).left());
        auto* label = new CInPlaceEdit(viewport(), this, this, kLabelEditId, row, 0, node->GetItem()->GetLabel());
        label->setGeometry(r);
        return label;
    }
    auto* edit = new CInPlaceEdit(viewport(), this, this, kCellEditId, row, column, node->GetItem()->GetSubItemText(column - 1),
                                  column < static_cast<int>(m_formats.size()) ? m_formats[std::size_t(column)] : Qt::AlignLeft);
    edit->setGeometry(r);
    return edit;
}

QWidget* CTreeGridCtrl::EditCell(int row, int column) {
    if (column <= 0) return nullptr;
    return OpenEditor(row, column);
}

void CTreeGridCtrl::OnEndLabelEdit(const CellEditEnd& end) {
    if (!end.text || end.row < 0) return;
    if (CTreeGridNode* node = NodeOfRow(end.row)) CommitCellText(node, end);
}

void CTreeGridCtrl::TakeFocusBack() { setFocus(Qt::OtherFocusReason); }

std::unique_ptr<CTreeGridItem> CTreeGridCtrl::CloneItem(const CTreeGridItem*) const { return nullptr; }

int CTreeGridCtrl::IconOf(const CTreeGridNode*) const { return 0; }

QColor CTreeGridCtrl::CellColour() const { return QColor(192, 0, 0); }

void CTreeGridCtrl::CommitCellText(CTreeGridNode* node, const CellEditEnd& end) {
    if (!node || !end.text) return;
    if (end.column == 0) node->GetItem()->SetLabel(*end.text);
    else node->GetItem()->SetSubItemText(end.column - 1, *end.text);
    if (node->m_nRow >= 0 && end.column < columnCount())
        if (QTableWidgetItem* cell = item(node->m_nRow, end.column)) cell->setText(*end.text);
}

void CTreeGridCtrl::OnCellClicked(int row, int column) { OpenEditor(row, column); }

QPixmap CTreeGridCtrl::MakeRowImage(int row) const {
    const CTreeGridNode* node = NodeOfRow(row);
    if (!node) return {};
    QPixmap pic(std::max(1, columnWidth(0)), RowHeight());
    pic.fill(palette().color(QPalette::Base));
    QPainter p(&pic);
    if (m_images.GetImageCount() > 0) {
        const int icon = IconOf(node);
        p.drawImage(0, 0, m_images.Image(icon < 0 ? 0 : icon));
    }
    p.setFont(font());
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(m_cxImage + 4, 0, pic.width(), pic.height()), Qt::AlignLeft | Qt::AlignTop,
               node->GetItem()->GetLabel());
    return pic;
}

// ---- geometry and drawing -------------------------------------------------------------------

QRect CTreeGridCtrl::BoxRect(int row, const CTreeGridNode* node) const {
    const int left = columnViewportPosition(0), top = rowViewportPosition(row);
    const int half = m_cxImage / 2;
    const int voff = (RowHeight() - m_cyImage) / 2;
    const int cx = node->m_nLevel * m_cxImage + left - half, cy = top + half + voff;
    const int w = m_cxImage / 2 + 3, h = m_cyImage / 2 + 3;
    return QRect(cx - w / 2, cy - h / 2, w, h);
}

QRect CTreeGridCtrl::IconRect(int row, const CTreeGridNode* node) const {
    const int left = columnViewportPosition(0), top = rowViewportPosition(row);
    return QRect(node->m_nLevel * m_cxImage + left, top, m_cxImage, RowHeight());
}

QRect CTreeGridCtrl::LabelRect(int row, const CTreeGridNode* node) const {
    const QRect icon = IconRect(row, node);
    const int left = icon.right() + 1 + (m_bCheckBoxes ? m_cxImage : 0) + 2;
    const int right = columnViewportPosition(0) + columnWidth(0);
    return QRect(QPoint(left, icon.top()), QPoint(std::max(left, right) - 1, icon.bottom()));
}

QString CTreeGridCtrl::FitText(const QFontMetrics& fm, const QString& text, int width, int margin) {
    if (text.isEmpty() || fm.horizontalAdvance(text) + margin < width) return text;
    const QString dots = QStringLiteral("...");
    const int dotsWidth = fm.horizontalAdvance(dots);
    QString left = text;
    while (!left.isEmpty() && fm.horizontalAdvance(left) + dotsWidth + margin >= width) {
        // Whole characters only: a surrogate pair goes as one.
        left.chop(left.size() >= 2 && left.back().isLowSurrogate() ? 2 : 1);
    }
    return left + dots;
}

void CTreeGridCtrl::DrawCell(QPainter* p, const QRect& rect, int row, int column) const {
    const CTreeGridNode* node = NodeOfRow(row);
    if (!node || m_images.GetImageCount() == 0) return;
    const QPalette& pal = palette();
    const bool selected = row == GetSelectedRow();
    const QColor bg = selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
    const QColor fg = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    const QFontMetrics fm(font());
    p->setFont(font());

    if (column != 0) {
        p->fillRect(rect, bg);
        const QString text = node->GetItem()->GetSubItemText(column - 1);
        const QString fitted = FitText(fm, text, rect.width(), 12);
        Qt::Alignment align = Qt::AlignLeft;
        // A shortened text starts at the left, whatever the column's alignment.
        if (fitted == text && column < static_cast<int>(m_formats.size())) align = m_formats[std::size_t(column)];
        const QRect r = rect.adjusted(6, 0, -6, 0);
        if (selected && !m_bDragging && ColumnToOrder(column) == m_nCurColumn) {
            p->fillRect(rect, CellColour());
            QStyleOptionFocusRect focus;
            focus.rect = rect;
            focus.palette = pal;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, this);
        }
        p->setPen(fg);
        p->drawText(r, int(align) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, fitted);
        int kind = 0;
        if (selected && node->GetItem()->GetColumnKind(column - 1, kind) && kind == CTreeGridItem::kDropDown) {
            const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            QStyleOptionButton button;
            button.rect = QRect(rect.right() - w + 1, rect.top(), w, rect.height());
            button.palette = pal;
            button.state = QStyle::State_Enabled | QStyle::State_Raised;
            style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, p, this);
            button.rect = button.rect.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &button, p, this);
        }
        return;
    }

    // Column 0: picture, tree lines and box, check, label.
    p->fillRect(rect, pal.color(QPalette::Base));
    p->setClipRect(rect);
    const int left = rect.left();
    const int W = m_cxImage, H = m_cyImage, half = W / 2;
    const int iconX = node->m_nLevel * W + left;
    const int iconY = rect.top() + (rect.height() - H) / 2;
    const int icon = IconOf(node);
    if (icon >= 0 && icon < m_images.GetImageCount()) p->drawImage(iconX, iconY, m_images.Image(icon));

    // Tree lines: at the node's level from its parent's children, above from each ancestor's.
    const QRect box = BoxRect(row, node);
    const int cy = box.center().y();
    const int col0Right = left + columnWidth(0);
    p->setPen(kLineGrey);
    auto xOf = [&](int level) { return level * W + left - half; };
    if (node->m_pParent) {
        const int x = xOf(node->m_nLevel);
        const auto& sibs = node->m_pParent->m_children;
        const bool later = sibs.back().get() != node;
        if (later) p->drawLine(x, rect.top(), x, rect.bottom());
        else p->drawLine(x, rect.top(), x, cy);
        p->drawLine(x, cy, std::min(x + half, col0Right), cy);
        for (const CTreeGridNode* a = node->m_pParent; a && a->m_pParent; a = a->m_pParent) {
            if (a->m_pParent->m_children.back().get() != a) {
                const int ax = xOf(a->m_nLevel);
                p->drawLine(ax, rect.top(), ax, rect.bottom());
            }
        }
    }
    if (node->HasChildren()) {
        p->fillRect(box, Qt::white);
        p->setPen(kBoxGrey);
        p->drawRect(box.adjusted(0, 0, -1, -1));
        p->setPen(Qt::black);
        const QPoint c = box.center();
        p->drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
        if (node->m_bFolded) p->drawLine(c.x(), c.y() - 2, c.x(), c.y() + 2);
        else {
            p->setPen(kLineGrey);
            p->drawLine(iconX + half, iconY + H, iconX + half, rect.bottom());
        }
    }

    const QRect label = LabelRect(row, node);
    const int fillLeft = std::min((node->m_nLevel + 1) * W + left + 2, col0Right);
    p->fillRect(QRect(QPoint(fillLeft, rect.top()), QPoint(rect.right(), rect.bottom())), bg);
    if (selected && m_nCurColumn == 0) {
        const QRect cell(QPoint(fillLeft, rect.top()), QPoint(label.right(), rect.bottom()));
        p->fillRect(cell, CellColour());
        QStyleOptionFocusRect focus;
        focus.rect = cell;
        focus.palette = pal;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, this);
    }
    if (m_bCheckBoxes && (node->m_nLevel + 1) * W + left + W < col0Right) {
        QStyleOptionButton check;
        check.rect = QRect((node->m_nLevel + 1) * W + left, iconY, W, H);
        check.palette = pal;
        check.state = QStyle::State_Enabled | (GetRowCheck(row) ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, p, this);
    }
    p->setPen(fg);
    p->drawText(label.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                FitText(fm, node->GetItem()->GetLabel(), label.width(), 4));
}

void CTreeGridCtrl::paintEvent(QPaintEvent* e) {
    QTableWidget::paintEvent(e);
    if (m_bDragging && !m_dragImage.isNull()) {
        QPainter p(viewport());
        p.setOpacity(0.6);
        p.drawPixmap(m_dragPos, m_dragImage);
    }
}

// ---- mouse and keys -------------------------------------------------------------------------

bool CTreeGridCtrl::HitBox(QPoint pos, bool& rowHit) {
    const int row = rowAt(pos.y());
    rowHit = row >= 0 && columnAt(pos.x()) >= 0;
    CTreeGridNode* node = NodeOfRow(row);
    if (!rowHit || !node) return false;
    if (m_bCheckBoxes && columnAt(pos.x()) == 0) {
        const int iconLeft = IconRect(row, node).left(), labelLeft = LabelRect(row, node).left();
        if (pos.x() > iconLeft && pos.x() < labelLeft) {
            item(row, 0)->setData(kCheckRole, GetRowCheck(row) ? 0 : 1);
            node->GetItem()->SetCheck(node->GetItem()->GetCheck() ? 0 : 1);
        }
    }
    if (node->HasChildren() && BoxRect(row, node).contains(pos)) {
        ToggleNode(node, row);
        return true;
    }
    return false;
}

void CTreeGridCtrl::ToggleNode(CTreeGridNode* node, int row) {
    SetRedraw(false);
    int last = row;
    if (node->m_bFolded) last = ShowChildren(node, row);
    else HideChildren(node);
    SetRedraw(true);
    if (last >= 0 && last < rowCount()) scrollToItem(item(last, 0));
}

void CTreeGridCtrl::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) return;
    const QPoint pos = e->position().toPoint();
    bool rowHit = false;
    if (HitBox(pos, rowHit) || !rowHit) return;
    const int row = rowAt(pos.y()), column = columnAt(pos.x());
    m_nCurColumn = ColumnToOrder(column);
    ScrollColumnIntoView(column);
    SelectRow(row);
    m_pressRow = row;
    m_pressPos = pos;
    OnCellClicked(row, column);
    viewport()->update();
}

void CTreeGridCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = e->position().toPoint();
    bool rowHit = false;
    if (HitBox(pos, rowHit) || !rowHit) return;
    const int row = GetSelectedRow();
    if (CTreeGridNode* node = NodeOfRow(row); node && node->HasChildren()) ToggleNode(node, row);
}

void CTreeGridCtrl::BeginDrag(int row, QPoint pos) {
    if (!NodeOfRow(row)) return;
    const QPixmap image = MakeRowImage(row);
    if (image.isNull()) return;
    // An editor the press opened gives up: the row it edits may move.
    for (auto* e : findChildren<CInPlaceEdit*>()) e->Detach(), e->deleteLater();
    m_nDragSource = row;
    m_dragImage = image;
    m_dragPos = pos;
    m_bDragging = true;
    viewport()->grabMouse();
}

void CTreeGridCtrl::EndDrag() {
    m_dragTimer.stop();
    m_bDragging = false;
    m_nDropTarget = -1;
    m_dragImage = QPixmap();
    if (QWidget::mouseGrabber() == viewport()) viewport()->releaseMouse();
    viewport()->update();
}

bool CTreeGridCtrl::InScrollBand(int y) const {
    const int band = std::max(m_cyImage, 1);
    return (y >= 0 && y <= band) || (y >= viewport()->height() - band);
}

void CTreeGridCtrl::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (!m_bDragging) {
        if ((e->buttons() & Qt::LeftButton) && m_pressRow >= 0 &&
            (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance())
            BeginDrag(m_pressRow, pos);
        return;
    }
    m_dragTimer.stop();
    const Qt::MouseButtons b = e->buttons();
    if (b == Qt::RightButton || b == Qt::MiddleButton) {
        EndDrag();
        return;
    }
    m_dragPos = pos;
    m_nDropTarget = rowAt(pos.y());
    const CTreeGridNode* target = NodeOfRow(m_nDropTarget);
    if (InScrollBand(pos.y()) || (target && target->HasChildren() && target->m_bFolded))
        m_dragTimer.start(kDragTimerMs, this);
    viewport()->update();
}

void CTreeGridCtrl::mouseReleaseEvent(QMouseEvent* e) {
    m_pressRow = -1;
    if (!m_bDragging) return QTableWidget::mouseReleaseEvent(e);
    m_nDropTarget = rowAt(e->position().toPoint().y());
    Drop();
}

void CTreeGridCtrl::timerEvent(QTimerEvent* e) {
    if (e->timerId() != m_dragTimer.timerId()) return QTableWidget::timerEvent(e);
    OnDragTimer();
}

void CTreeGridCtrl::OnDragTimer() {
    if (!m_bDragging) {
        m_dragTimer.stop();
        return;
    }
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    const int band = std::max(m_cyImage, 1);
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    if (pos.y() >= 0 && pos.y() <= band) bar->setValue(before - 1);
    else if (pos.y() >= viewport()->height() - band) bar->setValue(before + 1);
    if (bar->value() != before) {
        m_dragPos = pos;
        viewport()->update();
        return; // keeps running while it scrolls
    }
    m_dragPos = pos;
    const int targetRow = rowAt(pos.y());
    m_nDropTarget = targetRow;
    CTreeGridNode* target = NodeOfRow(targetRow);
    CTreeGridNode* source = NodeOfRow(m_nDragSource);
    if (target && target->HasChildren() && target->m_bFolded && source) {
        SetRedraw(false);
        const int last = ShowChildren(target, targetRow);
        m_nDragSource = source->m_nRow;
        SetRedraw(true);
        if (last >= 0 && last < rowCount()) scrollToItem(item(last, 0));
    }
    m_dragTimer.stop();
}

void CTreeGridCtrl::CopyUnder(CTreeGridNode* target, const CTreeGridNode* source, int show) {
    CTreeGridNode* copy = AddChild(target, CloneItem(source->GetItem()), show);
    for (const auto& c : source->m_children) CopyUnder(copy, c.get(), 0);
}

void CTreeGridCtrl::Drop() {
    const int targetRow = m_nDropTarget;
    CTreeGridNode* target = NodeOfRow(targetRow);
    CTreeGridNode* source = NodeOfRow(m_nDragSource);
    EndDrag();
    if (!target || !source || target == source || source == m_pRoot.get() || target == source->m_pParent ||
        IsInSubtree(source, target)) {
        m_nDragSource = -1;
        return;
    }
    WaitCursor wait;
    SetRedraw(false);
    CopyUnder(target, source, target->m_bFolded ? 0 : 1);
    SelectRow(target->m_nRow);
    m_nDragSource = -1;
    // The source's row is found from its node now: inserting the copy above it moved it.
    const int sourceRow = source->m_nRow;
    const int count = 1 + ShownDescendants(source);
    for (int i = 0; i < count && sourceRow >= 0 && sourceRow < rowCount(); ++i) removeRow(sourceRow);
    DetachNode(source, 1);
    RenumberRows();
    SetRedraw(true);
}

bool CTreeGridCtrl::event(QEvent* e) {
    // Enter, Left and Right belong to the grid (not to a dialog's default button).
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    return QTableWidget::event(e);
}

void CTreeGridCtrl::OnEnterKey() {
    const int row = GetSelectedRow();
    if (row < 0 || m_nCurColumn < 0 || m_nCurColumn >= ColumnCount()) return;
    OpenEditor(row, horizontalHeader()->logicalIndex(m_nCurColumn));
}

void CTreeGridCtrl::keyPressEvent(QKeyEvent* e) {
    const int row = GetSelectedRow();
    CTreeGridNode* node = NodeOfRow(row);
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (m_bDragging && e->key() == Qt::Key_Escape) {
        EndDrag();
        m_nDragSource = -1;
        return;
    }
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnEnterKey();
        e->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        e->accept();
        const int next = m_nCurColumn + (e->key() == Qt::Key_Left ? -1 : 1);
        if (next < 0 || next > ColumnCount() - 1) return;
        m_nCurColumn = next;
        ScrollColumnIntoView(horizontalHeader()->logicalIndex(next));
        viewport()->update();
        return;
    }
    case Qt::Key_Space:
        if (node && m_bCheckBoxes) {
            item(row, 0)->setData(kCheckRole, GetRowCheck(row) ? 0 : 1);
            node->GetItem()->SetCheck(node->GetItem()->GetCheck() ? 0 : 1);
            viewport()->update();
        }
        e->accept();
        return;
    case Qt::Key_Delete:
        if (node) RemoveNodeAndRow(node, row);
        e->accept();
        return;
    case Qt::Key_Asterisk:
        if (keypad && node) {
            WaitCursor wait;
            SetRedraw(false);
            int last = row;
            ShowSubtree(node, last);
            SetRedraw(true);
            if (last >= 0 && last < rowCount()) scrollToItem(item(last, 0));
            e->accept();
            return;
        }
        break;
    case Qt::Key_Plus:
        if (keypad && node) {
            WaitCursor wait;
            const int last = ShowChildren(node, row);
            if (last >= 0 && last < rowCount()) scrollToItem(item(last, 0));
            e->accept();
            return;
        }
        break;
    case Qt::Key_Minus:
        if (keypad && node) {
            WaitCursor wait;
            HideChildren(node);
            e->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTableWidget::keyPressEvent(e);
}

void CTreeGridCtrl::scrollContentsBy(int dx, int dy) {
    // A scroll ends an open edit: the grid takes the focus first.
    if (QWidget* f = QApplication::focusWidget(); f && f != this && isAncestorOf(f)) setFocus(Qt::OtherFocusReason);
    QTableWidget::scrollContentsBy(dx, dy);
}
