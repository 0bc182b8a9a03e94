#include "ui/CkxwFileListView.h"

#include "model/CkxwFileSystem.h"
#include "base/Gbk.h"
#include "qt/KxPrompt.h"
#include "ui/CkxwFileListModel.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>
#include <numeric>

namespace {

constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;

bool IsMicroFlag(int mode) {
    for (int i = 0; i < CkxwFileListEntry::kSizeCount; ++i)
        if (mode == CkxwFileListEntry::SizeFlag(i)) return true;
    return false;
}

bool IsPresentable(int mode) { return CkxwFileListView::IsIconFlag(mode) || IsMicroFlag(mode); }

// Case-insensitive comparison of two GBK texts: a double-byte character is one unit (its two
// bytes as a 16-bit number, so a trail byte that looks like a Latin letter is never folded),
// a single byte is its lower-case form. This orders Chinese names by their GBK codes.
int CompareGbkNoCase(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    auto unit = [](const std::string& s, size_t& k) {
        const auto c = static_cast<unsigned char>(s[k++]);
        if (c >= 0x81 && k < s.size()) return (static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(s[k++]);
        return static_cast<unsigned>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    while (i < a.size() && j < b.size()) {
        const unsigned ua = unit(a, i), ub = unit(b, j);
        if (ua != ub) return ua < ub ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

} // namespace

// Sets the play flag to 0 for the life of an operation and to 1 at every exit.
class CkxwFileListView::PlayPause {
public:
    explicit PlayPause(CkxwFileListView& v) : v_(v) { v_.DisablePlay(); }
    ~PlayPause() { v_.EnablePlay(); }

private:
    CkxwFileListView& v_;
};

// Suspends repainting and auto-arrange for an operation and restores what the caller had, so a
// caller's own DisableRedraw around many calls still holds; the view repaints once at the end.
class CkxwFileListView::RedrawPause {
public:
    explicit RedrawPause(CkxwFileListView& v) : v_(v), redraw_(v.m_bRedraw), arrange_(v.m_bAutoArrange) {
        v_.SetRedraw(false);
        v_.m_bAutoArrange = false;
    }
    ~RedrawPause() {
        v_.m_bAutoArrange = arrange_;
        v_.SetRedraw(redraw_);
    }

private:
    CkxwFileListView& v_;
    bool redraw_, arrange_;
};

CkxwFileListView::CkxwFileListView(QWidget* parent)
    : QWidget(parent), m_pModel(new CkxwFileListModel(this)), m_pStack(new QStackedLayout(this)),
      m_pIconView(new QListView(this)), m_pReport(new QTreeView(this)) {
    for (int i = 0; i < Entry::kSizeCount; ++i) m_MicroLists[i].Create(Entry::SizeEdge(i), Entry::SizeEdge(i));
    m_pModel->SetPictureSource([this](int image) { return Picture(image); });
    m_pStack->setContentsMargins(0, 0, 0, 0);

    m_pIconView->setObjectName(QStringLiteral("icons"));
    m_pIconView->setModel(m_pModel);
    m_pIconView->setMovement(QListView::Static);
    m_pIconView->setResizeMode(QListView::Adjust);
    m_pIconView->setWordWrap(true);
    m_pIconView->setTextElideMode(Qt::ElideRight);

    m_pReport->setObjectName(QStringLiteral("report"));
    m_pReport->setModel(m_pModel);
    m_pReport->setSelectionModel(m_pIconView->selectionModel());
    m_pReport->setRootIsDecorated(false);
    m_pReport->setItemsExpandable(false);
    m_pReport->setUniformRowHeights(true);
    m_pReport->setAllColumnsShowFocus(true);
    m_pReport->setIconSize(QSize(kSmallIcon, kSmallIcon));
    m_pReport->header()->setSectionsClickable(true);
    m_pReport->header()->setStretchLastSection(false);
    m_pReport->header()->setSortIndicatorShown(false);
    connect(m_pReport->header(), &QHeaderView::sectionClicked, this, [this](int c) { SortByColumn(c); });

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_pIconView), static_cast<QAbstractItemView*>(m_pReport)}) {
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        v->setAcceptDrops(false);
        v->viewport()->setAcceptDrops(false);
        connect(v, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { Q_EMIT ItemClicked(i.row()); });
        connect(v, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& i) { Q_EMIT ItemDoubleClicked(i.row()); });
        connect(v, &QWidget::customContextMenuRequested, this, [this, v](const QPoint& p) {
            const QModelIndex i = v->indexAt(p);
            Q_EMIT ItemRightClicked(i.isValid() ? i.row() : -1, v->viewport()->mapToGlobal(p));
        });
        m_pStack->addWidget(v);
    }
    connect(m_pIconView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT SelectionChanged(); });
    setAcceptDrops(true);
    Present(MODE_LARGEICON);
}

CkxwFileListView::~CkxwFileListView() {
    // The rows point at the entries: they go first.
    m_pModel->RemoveAll();
    m_ById.clear();
    m_Entries.clear();
}

// ---- insertion ----

void CkxwFileListView::Hold(CkxFileX& holder, CkxFile* file, HoldMode mode) {
    switch (mode) {
    case HOLD_CREATE: holder.CreateObj(*file); break;
    case HOLD_ATTACH: holder.AttachObj(file); break;
    case HOLD_MAP: holder.MapObj(file); break;
    }
}

int CkxwFileListView::InsertFile_Create(const std::string& text, const CkxFile* file) {
    return InsertFileAs(text, const_cast<CkxFile*>(file), HOLD_CREATE);
}
int CkxwFileListView::InsertFile_Attach(const std::string& text, CkxFile* file) {
    return InsertFileAs(text, file, HOLD_ATTACH);
}
int CkxwFileListView::InsertFile_Map(const std::string& text, CkxFile* file) {
    return InsertFileAs(text, file, HOLD_MAP);
}

int CkxwFileListView::InsertFileAs(const std::string& text, CkxFile* file, HoldMode mode) {
    PlayPause play(*this);
    // An adopted object is the view's from here on, inserted or not.
    std::unique_ptr<CkxFile> adopted(mode == HOLD_ATTACH ? file : nullptr);
    if (!file || m_ById.count(file->GetID())) return -1;

    auto entry = std::make_unique<Entry>();
    entry->m_nKind = Entry::KIND_FILE;
    entry->m_nFileID = file->GetID();
    entry->m_strExName = file->m_strExName;
    entry->m_nIconIndex = CkxwFileSystem::GetFileLargeIconIndex(entry->m_strExName);
    entry->m_strText = text;
    if (mode == HOLD_CREATE && !entry->m_File.CreateObj(*file)) return -1;
    if (mode == HOLD_ATTACH) entry->m_File.AttachObj(adopted.release());
    if (mode == HOLD_MAP) entry->m_File.MapObj(file);
    SyncIconLists(entry->m_nIconIndex);

    Entry* e = entry.get();
    m_Entries.push_back(std::move(entry));
    m_ById[e->m_nFileID] = e;
    // A thumbnail that cannot be built shows the extension's icon: the insert never fails on it.
    MicroXList_AddMicro(HeldMicroFlag(), e);

    RedrawPause pause(*this);
    return m_pModel->AppendRow(QString::fromStdString(text), RowImage(*e), e);
}

int CkxwFileListView::InsertFolder(const std::string& text) {
    auto entry = std::make_unique<Entry>();
    entry->m_nKind = Entry::KIND_FOLDER;
    entry->m_nFileID = -1;
    entry->m_strText = text;
    entry->m_nIconIndex = 0;
    Entry* e = entry.get();
    m_Entries.push_back(std::move(entry));
    MicroXList_AddMicro(HeldMicroFlag(), e);
    RedrawPause pause(*this);
    return m_pModel->AppendRow(QString::fromStdString(text), RowImage(*e), e);
}

int CkxwFileListView::ReinsertFile(Entry* entry) {
    if (!entry || std::none_of(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e.get() == entry; }))
        return -1;
    RedrawPause pause(*this);
    return m_pModel->AppendRow(QString::fromStdString(entry->m_strText), RowImage(*entry), entry);
}

void CkxwFileListView::ReshowFile() {
    RedrawPause pause(*this);
    m_pModel->RemoveAll();
    for (const auto& e : m_Entries) m_pModel->AppendRow(QString::fromStdString(e->m_strText), RowImage(*e), e.get());
}

int CkxwFileListView::InsertItem(int row, const std::string& text, int image) {
    return m_pModel->InsertRow(row, QString::fromStdString(text), image, nullptr);
}

// ---- update and removal ----

void CkxwFileListView::UpdateFile_Create(int fileId, const CkxFile* file) {
    UpdateFileAs(fileId, const_cast<CkxFile*>(file), HOLD_CREATE);
}
void CkxwFileListView::UpdateFile_Attach(int fileId, CkxFile* file) { UpdateFileAs(fileId, file, HOLD_ATTACH); }
void CkxwFileListView::UpdateFile_Map(int fileId, CkxFile* file) { UpdateFileAs(fileId, file, HOLD_MAP); }

void CkxwFileListView::UpdateFileAs(int fileId, CkxFile* file, HoldMode mode) {
    std::unique_ptr<CkxFile> adopted(mode == HOLD_ATTACH ? file : nullptr);
    Entry* e = GetFileData(fileId);
    if (!e || !file) return;
    if (mode == HOLD_ATTACH) adopted.release();
    Hold(e->m_File, file, mode);
    e->m_strExName = file->m_strExName;
    e->m_nIconIndex = CkxwFileSystem::GetFileLargeIconIndex(e->m_strExName);
    SyncIconLists(e->m_nIconIndex);
    e->ClearMicro();
    RedrawPause pause(*this);
    MicroXList_Regroup(HeldMicroFlag());
    RelinkItemToMicroImage(m_nShown);
}

void CkxwFileListView::UpdateFileName(int fileId, const std::string& text) {
    PlayPause play(*this);
    Entry* e = GetFileData(fileId);
    const int row = RowOf(e);
    if (row < 0) return;
    e->m_strText = text;
    m_pModel->SetText(row, 0, QString::fromStdString(text));
}

bool CkxwFileListView::SetItemText(int row, int column, const std::string& text) {
    return m_pModel->SetText(row, column, QString::fromStdString(text));
}

bool CkxwFileListView::SetItemImage(int row, int image) { return m_pModel->SetImage(row, image); }

int CkxwFileListView::GetItemImage(int row) const {
    const auto* r = m_pModel->At(row);
    return r ? r->image : -1;
}

bool CkxwFileListView::SetItemTime(int row, const COleDateTime& create, const COleDateTime& modify) {
    Entry* e = GetItemData(row);
    if (!e) return false;
    e->m_dtCreate = create;
    e->m_dtModify = modify;
    return true;
}

bool CkxwFileListView::SetFileTime(int fileId, const COleDateTime& create, const COleDateTime& modify) {
    Entry* e = GetFileData(fileId);
    if (!e) return false;
    e->m_dtCreate = create;
    e->m_dtModify = modify;
    return true;
}

COleDateTime CkxwFileListView::GetFileCreateTime(int fileId) const {
    const Entry* e = GetFileData(fileId);
    return e ? e->m_dtCreate : COleDateTime(0.0);
}

COleDateTime CkxwFileListView::GetFileModifyTime(int fileId) const {
    const Entry* e = GetFileData(fileId);
    return e ? e->m_dtModify : COleDateTime(0.0);
}

void CkxwFileListView::RemoveEntry(Entry* entry) {
    for (int row = m_pModel->Count() - 1; row >= 0; --row)
        if (m_pModel->At(row)->entry == entry) m_pModel->RemoveRow(row);
    if (entry->m_nKind == Entry::KIND_FILE) m_ById.erase(entry->m_nFileID);
    m_Entries.erase(std::find_if(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e.get() == entry; }));
}

void CkxwFileListView::DeleteFileA(int fileId) {
    Entry* e = GetFileData(fileId);
    if (!e) return;
    RedrawPause pause(*this);
    RemoveEntry(e);
    UpdateView(); // rebuilds the thumbnail list without the file
}

void CkxwFileListView::DeleteFileA(const std::vector<int>& fileIds) {
    RedrawPause pause(*this);
    bool any = false;
    for (int id : fileIds)
        if (Entry* e = GetFileData(id)) {
            RemoveEntry(e);
            any = true;
        }
    if (any) UpdateView();
}

void CkxwFileListView::DeleteItem(int row) {
    const auto* r = m_pModel->At(row);
    if (!r) return;
    if (!r->entry) {
        m_pModel->RemoveRow(row);
        return;
    }
    Entry* e = r->entry;
    RedrawPause pause(*this);
    RemoveEntry(e);
    UpdateView();
}

void CkxwFileListView::DeleteAllFile() {
    RedrawPause pause(*this);
    m_pModel->RemoveAll();
    // Empty lists hold every entry's picture, so the size they were built for stays.
    for (kx::ImageList& l : m_MicroLists) l.RemoveAll();
    m_ById.clear();
    m_Entries.clear();
}

// ---- lookup ----

int CkxwFileListView::GetItemCount() const { return m_pModel->Count(); }

CkxwFileListEntry* CkxwFileListView::GetItemData(int row) const {
    const auto* r = m_pModel->At(row);
    return r ? r->entry : nullptr;
}

CkxFileX* CkxwFileListView::GetItemFile(int row) const {
    Entry* e = GetItemData(row);
    return e ? &e->m_File : nullptr;
}

CkxwFileListEntry* CkxwFileListView::GetFileData(int fileId) const {
    auto it = m_ById.find(fileId);
    return it == m_ById.end() ? nullptr : it->second;
}

CkxFileX* CkxwFileListView::GetFile(int fileId) const {
    Entry* e = GetFileData(fileId);
    return e ? &e->m_File : nullptr;
}

int CkxwFileListView::RowOf(const Entry* entry) const {
    if (!entry) return -1;
    for (int row = 0; row < m_pModel->Count(); ++row)
        if (m_pModel->At(row)->entry == entry) return row;
    return -1;
}

int CkxwFileListView::GetFileItem(int fileId) const { return RowOf(GetFileData(fileId)); }

bool CkxwFileListView::IsFileValid(int fileId) const { return GetFileItem(fileId) >= 0; }

bool CkxwFileListView::IsFileValid(const std::string& text) const {
    return std::any_of(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e->m_strText == text; });
}

int CkxwFileListView::GetItemFileID(int row) const {
    const Entry* e = GetItemData(row);
    return e ? e->m_nFileID : -1;
}

std::string CkxwFileListView::GetItemFileName(int row) const { return GetItemText(row, 0); }

std::string CkxwFileListView::GetItemText(int row, int column) const {
    return m_pModel->Text(row, column).toStdString();
}

// A row out of range gives an empty text too: callers test for empty, and no byte that is not
// UTF-8 ever enters the program's texts.
std::string CkxwFileListView::GetItemLocalPath(int row) const {
    const Entry* e = GetItemData(row);
    return e ? e->m_File.GetSourcePath() : std::string();
}

std::string CkxwFileListView::GetItemFileIDName(int row) const {
    const Entry* e = GetItemData(row);
    return e ? std::to_string(e->m_nFileID) + "." + e->m_strExName : std::string();
}

std::string CkxwFileListView::GetFileIDName(int fileId) const {
    const Entry* e = GetFileData(fileId);
    return e ? std::to_string(e->m_nFileID) + "." + e->m_strExName : std::string();
}

// ---- selection ----

std::vector<int> CkxwFileListView::SelectedRows() const {
    std::vector<int> rows;
    const QItemSelectionModel* sel = m_pIconView->selectionModel();
    for (int row = 0; row < m_pModel->Count(); ++row)
        if (sel->isRowSelected(row, {})) rows.push_back(row);
    return rows;
}

int CkxwFileListView::GetSelectedCount() const { return static_cast<int>(SelectedRows().size()); }

int CkxwFileListView::GetSelectedItem() const {
    const QItemSelectionModel* sel = m_pIconView->selectionModel();
    for (int row = 0; row < m_pModel->Count(); ++row)
        if (sel->isRowSelected(row, {})) return row;
    return -1;
}

CkxwFileListEntry* CkxwFileListView::GetSelectedItemData() const { return GetItemData(GetSelectedItem()); }

int CkxwFileListView::GetSelectedFileID() const {
    const int row = GetSelectedItem();
    if (row < 0) return -1;
    const Entry* e = GetItemData(row);
    return e ? e->m_nFileID : 0;
}

std::string CkxwFileListView::GetSelectedFileIDName() const { return GetItemFileIDName(GetSelectedItem()); }

CkxFileX* CkxwFileListView::GetSelectedFilePtr() const { return GetItemFile(GetSelectedItem()); }

CkxFile* CkxwFileListView::GetSelectedFile() const {
    CkxFileX* f = GetSelectedFilePtr();
    return f ? f->GetFile() : nullptr;
}

kx::POSITION CkxwFileListView::GetFirstSelectedItemPosition() const {
    const int row = GetSelectedItem();
    return row < 0 ? 0 : row + 1;
}

int CkxwFileListView::GetNextSelectedItem(POSITION& pos) const {
    const int row = static_cast<int>(pos) - 1;
    if (pos <= 0 || row >= m_pModel->Count()) {
        pos = 0;
        return -1;
    }
    pos = 0;
    const QItemSelectionModel* sel = m_pIconView->selectionModel();
    for (int next = row + 1; next < m_pModel->Count(); ++next)
        if (sel->isRowSelected(next, {})) {
            pos = next + 1;
            break;
        }
    return row;
}

CkxFileX* CkxwFileListView::GetNextSelectedFile(POSITION& pos) const { return GetItemFile(GetNextSelectedItem(pos)); }

void CkxwFileListView::SelectItem(int row) {
    if (!m_pModel->At(row)) return;
    QItemSelectionModel* sel = m_pIconView->selectionModel();
    const QModelIndex index = m_pModel->index(row, 0);
    sel->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CkxwFileListView::SelectAllItem() {
    PlayPause play(*this);
    if (m_pModel->Count() == 0) return;
    RedrawPause pause(*this);
    QItemSelectionModel* sel = m_pIconView->selectionModel();
    const QItemSelection all(m_pModel->index(0, 0), m_pModel->index(m_pModel->Count() - 1, m_pModel->columnCount() - 1));
    sel->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->setCurrentIndex(m_pModel->index(m_pModel->Count() - 1, 0), QItemSelectionModel::NoUpdate);
}

// ---- presentation ----

void CkxwFileListView::SetBrowseMode(int mode) {
    if (mode == m_nShowMode) return;
    if (IsPresentable(mode)) {
        RedrawPause pause(*this);
        if (IsMicroFlag(mode) && mode != m_nLastMicroSize) MicroXList_Regroup(mode);
        Present(mode);
        RelinkItemToMicroImage(mode);
    }
    // Any other value (the 160-pixel size among them) is only recorded.
    m_nShowMode = mode;
    ArrangeItem();
}

void CkxwFileListView::Present(int mode) {
    m_nShown = mode;
    if (mode == MODE_REPORT) {
        m_pStack->setCurrentWidget(m_pReport);
        return;
    }
    QListView* v = m_pIconView;
    if (mode == MODE_LARGEICON || IsMicroFlag(mode)) {
        const int index = mode == MODE_LARGEICON ? 0 : Entry::SizeIndex(mode);
        const int icon = mode == MODE_LARGEICON ? kLargeIcon : Entry::SizeEdge(index);
        v->setViewMode(QListView::IconMode);
        // Each label as tall as its own name needs (up to the grid's two lines): one size for
        // all would be the last item's, cutting longer names above a short last one.
        v->setUniformItemSizes(false);
        v->setFlow(QListView::LeftToRight);
        v->setWrapping(true);
        v->setIconSize(QSize(icon, icon));
        v->setGridSize(QSize(Entry::SpacingX(index), Entry::SpacingY(index)));
    } else {
        v->setViewMode(QListView::ListMode);
        // One line a row: every row has the same size.
        v->setUniformItemSizes(true);
        // Small icons fill rows left to right; the list fills columns top to bottom.
        v->setFlow(mode == MODE_SMALLICON ? QListView::LeftToRight : QListView::TopToBottom);
        v->setWrapping(true);
        v->setIconSize(QSize(kSmallIcon, kSmallIcon));
        v->setGridSize(mode == MODE_SMALLICON ? QSize(160, 20) : QSize());
    }
    v->setMovement(QListView::Static);
    v->setResizeMode(QListView::Adjust);
    m_pStack->setCurrentWidget(v);
}

QAbstractItemView* CkxwFileListView::GetCurrentView() const {
    return m_nShown == MODE_REPORT ? static_cast<QAbstractItemView*>(m_pReport) : m_pIconView;
}

void CkxwFileListView::ArrangeItem() {
    m_pIconView->doItemsLayout();
}

void CkxwFileListView::EnableAutoArrange(bool on) {
    m_bAutoArrange = on;
    if (on) ArrangeItem();
}

void CkxwFileListView::SetRedraw(bool on) {
    if (on == m_bRedraw) return;
    m_bRedraw = on;
    m_pIconView->setUpdatesEnabled(on);
    m_pReport->setUpdatesEnabled(on);
    if (on) GetCurrentView()->viewport()->update();
}

void CkxwFileListView::UpdateView() {
    {
        RedrawPause pause(*this);
        MicroXList_Regroup(HeldMicroFlag());
        RelinkItemToMicroImage(m_nShown);
    }
    m_bAutoArrange = true;
    ArrangeItem();
    GetCurrentView()->viewport()->update();
}

void CkxwFileListView::RelinkItemToMicroImage(int mode) {
    PlayPause play(*this);
    RedrawPause pause(*this);
    // A recorded-only mode relinks for what is on screen.
    if (!IsPresentable(mode)) mode = m_nShown;
    for (int row = 0; row < m_pModel->Count(); ++row) {
        const Entry* e = m_pModel->At(row)->entry;
        if (!e) continue;
        const int image = IsIconFlag(mode) ? e->m_nIconIndex : e->m_nMicroIndex;
        m_pModel->SetImageQuietly(row, image);
    }
    m_pModel->PicturesChanged();
}

int CkxwFileListView::HeldMicroFlag() const {
    if (IsMicroFlag(m_nShown)) return m_nShown;
    return m_nLastMicroSize > 0 ? m_nLastMicroSize : MODE_MICRO50;
}

int CkxwFileListView::RowImage(const Entry& entry) const {
    return IsIconFlag(m_nShown) ? entry.m_nIconIndex : entry.m_nMicroIndex;
}

void CkxwFileListView::SyncIconLists(int index) {
    while (m_LargeIcons.GetImageCount() <= index) {
        const QIcon icon = CkxwFileSystem::GetSystemIcon(m_LargeIcons.GetImageCount());
        m_LargeIcons.Add(icon.pixmap(kLargeIcon, kLargeIcon).toImage());
        m_SmallIcons.Add(icon.pixmap(kSmallIcon, kSmallIcon).toImage());
    }
}

// The extension's icon as a thumbnail: drawn at its own size (at most the edge) in the middle of
// a clear square of the size's edge, made once per extension and size.
QImage CkxwFileListView::IconPicture(const std::string& ext, int sizeIndex) {
    auto& cache = m_IconPictures[static_cast<size_t>(sizeIndex)];
    auto it = cache.find(ext);
    if (it != cache.end()) return it->second;
    const int edge = Entry::SizeEdge(sizeIndex);
    QImage cell(edge, edge, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    const QPixmap icon = CkxwFileSystem::GetFileLargeIcon(ext).pixmap(edge, edge);
    if (!icon.isNull()) {
        QPainter p(&cell);
        p.drawPixmap((edge - icon.width()) / 2, (edge - icon.height()) / 2, icon);
    }
    return cache[ext] = cell;
}

int CkxwFileListView::MicroXList_AddMicro(int flag, Entry* entry) {
    if (!entry) return 0;
    const int index = Entry::SizeIndex(flag);
    kx::ImageList& list = m_MicroLists[static_cast<size_t>(index)];
    const QImage& built = entry->BuildMicro(index);
    entry->m_nMicroIndex = list.Add(built.isNull() ? IconPicture(entry->m_strExName, index) : built);
    return 1;
}

int CkxwFileListView::MicroXList_Group(int flag) {
    const int index = Entry::SizeIndex(flag);
    if (m_MicroLists[static_cast<size_t>(index)].GetImageCount() > 0) return 0;
    for (const auto& e : m_Entries) MicroXList_AddMicro(flag, e.get());
    m_nLastMicroSize = Entry::SizeFlag(index);
    return 1;
}

int CkxwFileListView::MicroXList_Regroup(int flag) {
    MicroXList_Clear();
    return MicroXList_Group(flag);
}

void CkxwFileListView::MicroXList_Clear() {
    for (kx::ImageList& l : m_MicroLists) l.RemoveAll();
    m_nLastMicroSize = -1;
}

const kx::ImageList& CkxwFileListView::GetMicroImageList(int index) const {
    return m_MicroLists[static_cast<size_t>(std::clamp(index, 0, Entry::kSizeCount - 1))];
}

QImage CkxwFileListView::Picture(int image) const {
    if (m_nShown == MODE_LARGEICON) return m_LargeIcons.Image(image);
    if (IsIconFlag(m_nShown)) return m_SmallIcons.Image(image);
    return m_MicroLists[static_cast<size_t>(Entry::SizeIndex(m_nShown))].Image(image);
}

QImage CkxwFileListView::GetItemPicture(int row) const {
    const auto* r = m_pModel->At(row);
    return r ? Picture(r->image) : QImage();
}

int CkxwFileListView::InsertColumn(int column, const std::string& heading, int format, int width, int) {
    const int at = m_pModel->InsertColumn(column, QString::fromStdString(heading), format, width);
    for (int c = 0; c < static_cast<int>(m_pModel->Columns().size()); ++c)
        m_pReport->setColumnWidth(c, m_pModel->Columns()[static_cast<size_t>(c)].width);
    return at;
}

// ---- sorting ----

int CkxwFileListView::CompareEntries(int column, const Entry* a, const Entry* b) const {
    if (!a || !b) return 0;
    switch (column) {
    case 0:
        return CompareGbkNoCase(kx::ToGbk(a->m_strText), kx::ToGbk(b->m_strText));
    case 1: {
        const auto sa = static_cast<uint32_t>(a->m_File.GetFileSize());
        const auto sb = static_cast<uint32_t>(b->m_File.GetFileSize());
        return sa > sb ? 1 : sa == sb ? 0 : -1;
    }
    case 2:
        return CompareGbkNoCase(kx::ToGbk(a->m_File.GetExName()), kx::ToGbk(b->m_File.GetExName()));
    case 3: {
        const COleDateTime ta = a->m_File.GetWriteTime(), tb = b->m_File.GetWriteTime();
        if (ta.m_dt > tb.m_dt) return 1;
        if (ta.m_dt == tb.m_dt && ta.GetStatus() == tb.GetStatus()) return 0;
        return -1;
    }
    default:
        return 0;
    }
}

void CkxwFileListView::SortByColumn(int column) {
    if (m_bSorted && column == m_nSortColumn) {
        m_bSortAscending = !m_bSortAscending;
    } else {
        m_nSortColumn = column;
        m_bSortAscending = true;
    }
    m_bSorted = true;
    const int n = m_pModel->Count();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Column 0 orders by what the row shows, not by the entry's text.
    std::vector<std::string> names;
    if (column == 0)
        for (int row = 0; row < n; ++row) names.push_back(kx::ToGbk(m_pModel->Text(row, 0).toStdString()));
    auto compare = [&](int x, int y) {
        const Entry* a = m_pModel->At(x)->entry;
        const Entry* b = m_pModel->At(y)->entry;
        if (!a || !b) return 0;
        if (column == 0) return CompareGbkNoCase(names[static_cast<size_t>(x)], names[static_cast<size_t>(y)]);
        return CompareEntries(column, a, b);
    };
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const int c = compare(x, y);
        return m_bSortAscending ? c < 0 : c > 0;
    });
    m_pModel->Reorder(order);
}

// ---- the delete question ----

int CkxwFileListView::MsgBox_QuestionDeleteSelectedFile() {
    std::string text = "确定删除文件\n";
    for (int row : SelectedRows())
        if (const Entry* e = GetItemData(row)) text += e->m_File.GetFileName() + ";\t";
    return kx::Prompt(this, text, kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk ? 1 : 0;
}

// ---- drag and drop ----

Qt::DropAction CkxwFileListView::OnDragEnter(const QMimeData*) { return Qt::CopyAction; }
Qt::DropAction CkxwFileListView::OnDragOver(const QMimeData*) { return Qt::CopyAction; }

void CkxwFileListView::dragEnterEvent(QDragEnterEvent* event) {
    const Qt::DropAction action = OnDragEnter(event->mimeData());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void CkxwFileListView::dragMoveEvent(QDragMoveEvent* event) {
    const Qt::DropAction action = OnDragOver(event->mimeData());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
