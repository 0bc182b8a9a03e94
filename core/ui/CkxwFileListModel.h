// The rows of the file list view, shared by its icon-mode list and its report view: per row the
// cell texts, the picture index and the entry (item data); the report columns with heading,
// alignment and width. The picture of an index comes from the view, through the image list of
// its current presentation.
#pragma once

#include <QAbstractTableModel>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class CkxwFileListEntry;

class CkxwFileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        std::vector<QString> texts;
        int image = -1;
        CkxwFileListEntry* entry = nullptr;
    };
    struct Column {
        QString heading;
        int format = 0; // 0 left, 1 right, 2 centre
        int width = 80;
    };
    using PictureSource = std::function<QImage(int image)>;

    explicit CkxwFileListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetPictureSource(PictureSource source) { picture_ = std::move(source); }

    int rowCount(const QModelIndex& parent = {}) const override;
    // At least one column: the icon presentations show column 0 even before any is inserted.
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int InsertColumn(int column, const QString& heading, int format, int width);
    const std::vector<Column>& Columns() const { return columns_; }

    int AppendRow(const QString& text, int image, CkxwFileListEntry* entry);
    int InsertRow(int row, const QString& text, int image, CkxwFileListEntry* entry);
    void RemoveRow(int row);
    void RemoveAll();
    const Row* At(int row) const;
    int Count() const { return static_cast<int>(rows_.size()); }
    bool SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    bool SetImage(int row, int image);
    bool SetEntry(int row, CkxwFileListEntry* entry);
    // Changes a row's picture index without telling the views (PicturesChanged follows).
    void SetImageQuietly(int row, int image) {
        if (At(row)) rows_[static_cast<size_t>(row)].image = image;
    }
    // Every row's picture is asked for again (the presentation or the row images changed).
    void PicturesChanged();
    // Puts the rows in the order given (order[i] = the old row now at i); selections and
    // persistent indices follow their rows.
    void Reorder(const std::vector<int>& order);

private:
    std::vector<Row> rows_;
    std::vector<Column> columns_;
    PictureSource picture_;
};
