#include "ui/CkxwFileListModel.h"

#include <algorithm>

int CkxwFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CkxwFileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, static_cast<int>(columns_.size()));
}

QVariant CkxwFileListModel::data(const QModelIndex& index, int role) const {
    const Row* row = At(index.row());
    if (!row || index.column() < 0) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return Text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && picture_ && row->image >= 0) {
            QImage picture = picture_(row->image);
            if (!picture.isNull()) return picture;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() > 0 && index.column() < static_cast<int>(columns_.size())) {
            const int format = columns_[static_cast<size_t>(index.column())].format;
            const Qt::Alignment h = format == 1 ? Qt::AlignRight : format == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
            return QVariant::fromValue(h | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant CkxwFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= static_cast<int>(columns_.size())) return QString();
    return columns_[static_cast<size_t>(section)].heading;
}

int CkxwFileListModel::InsertColumn(int column, const QString& heading, int format, int width) {
    const int n = static_cast<int>(columns_.size());
    column = std::clamp(column, 0, n);
    const bool grows = n > 0; // the first column was shown already
    if (grows) beginInsertColumns({}, column, column);
    columns_.insert(columns_.begin() + column, Column{heading, format, width});
    for (Row& r : rows_)
        if (static_cast<int>(r.texts.size()) > column && grows) r.texts.insert(r.texts.begin() + column, QString());
    if (grows) endInsertColumns();
    else Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
    return column;
}

int CkxwFileListModel::AppendRow(const QString& text, int image, CkxwFileListEntry* entry) {
    return InsertRow(Count(), text, image, entry);
}

int CkxwFileListModel::InsertRow(int row, const QString& text, int image, CkxwFileListEntry* entry) {
    row = std::clamp(row, 0, Count());
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, Row{{text}, image, entry});
    endInsertRows();
    return row;
}

void CkxwFileListModel::RemoveRow(int row) {
    if (!At(row)) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void CkxwFileListModel::RemoveAll() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

const CkxwFileListModel::Row* CkxwFileListModel::At(int row) const {
    return row >= 0 && row < Count() ? &rows_[static_cast<size_t>(row)] : nullptr;
}

bool CkxwFileListModel::SetText(int row, int column, const QString& text) {
    if (!At(row) || column < 0 || column >= std::max(1, static_cast<int>(columns_.size()))) return false;
    auto& texts = rows_[static_cast<size_t>(row)].texts;
    if (static_cast<int>(texts.size()) <= column) texts.resize(static_cast<size_t>(column) + 1);
    texts[static_cast<size_t>(column)] = text;
    Q_EMIT dataChanged(index(row, column), index(row, column));
    return true;
}

QString CkxwFileListModel::Text(int row, int column) const {
    const Row* r = At(row);
    if (!r || column < 0 || column >= static_cast<int>(r->texts.size())) return {};
    return r->texts[static_cast<size_t>(column)];
}

bool CkxwFileListModel::SetImage(int row, int image) {
    if (!At(row)) return false;
    rows_[static_cast<size_t>(row)].image = image;
    Q_EMIT dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
    return true;
}

bool CkxwFileListModel::SetEntry(int row, CkxwFileListEntry* entry) {
    if (!At(row)) return false;
    rows_[static_cast<size_t>(row)].entry = entry;
    return true;
}

void CkxwFileListModel::PicturesChanged() {
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(Count() - 1, 0), {Qt::DecorationRole});
}

void CkxwFileListModel::Reorder(const std::vector<int>& order) {
    if (order.size() != rows_.size()) return;
    Q_EMIT layoutAboutToBeChanged();
    std::vector<int> newRowOf(order.size());
    std::vector<Row> moved;
    moved.reserve(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
        moved.push_back(std::move(rows_[static_cast<size_t>(order[i])]));
    }
    rows_ = std::move(moved);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}
