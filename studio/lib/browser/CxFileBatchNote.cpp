#include "browser/CxFileBatchNote.h"

#include "app/CVarniaStudioApp.h"
#include "doc/CvClientDoc.h"
#include "doc/CvDocBrowser.h"
#include "frame/CMainFrame.h"

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CDlgSelectLocDir.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFamilyFileListCtrl.h"
#include "ui/CkxwFamilyFileTreeCtrl.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>

namespace {

struct ListHeader {
    const char* header;
    int width;
};
const ListHeader kListColumns[] = {{"序号", 60}, {"文件名称", 150}, {"编码格式", 150}, {"文件族类", 200}};

struct PopupSpec {
    const char* name;
    std::vector<std::pair<const char*, int>> items;
};
const PopupSpec kPopups[] = {
    {"FileList", {{"设置族类", CxFileBatchNote::ID_SET_FAMILY}}},
    {"BaseEdit", {{"一致注释", CxFileBatchNote::ID_BASE_NOTE}, {"选择目录", CxFileBatchNote::ID_SELECT_FOLDER}}},
    {"ExtEdit", {{"一致注释", CxFileBatchNote::ID_EX_NOTE}}},
};

CMainFrame* MainFrame() {
    CVarniaStudioApp* app = theApp();
    return app ? app->GetMainFrame() : nullptr;
}

// The tree's pictures at the indexes the family-file tree gives its nodes: families of each
// kind at 6, 8, 10, 12 and files of each kind at 16, 18, 20, 22; anything else a folder.
kx::ImageList TreeImages(const QStyle* style) {
    kx::ImageList images(16, 16);
    auto picture = [&](QStyle::StandardPixmap p) { return style->standardIcon(p).pixmap(16, 16).toImage(); };
    for (int i = 0; i < 24; ++i) {
        QStyle::StandardPixmap p = i < 16 ? QStyle::SP_DirIcon : QStyle::SP_FileIcon;
        if (i == 10) p = QStyle::SP_MediaVolume;
        if (i == 12) p = QStyle::SP_MediaPlay;
        if (i == 20) p = QStyle::SP_MediaVolume;
        if (i == 22) p = QStyle::SP_MediaPlay;
        images.Add(picture(p));
    }
    return images;
}

std::vector<CkxAttr*> Pointers(const CkxAttrList& list) {
    std::vector<CkxAttr*> out;
    list.ForEach([&](const CkxAttr& a) { out.push_back(const_cast<CkxAttr*>(&a)); });
    return out;
}

std::vector<int> SelectedRows(const kx::ReportList& control) {
    std::vector<int> rows;
    for (kx::POSITION p = control.GetFirstSelectedItemPosition(); p;) rows.push_back(control.GetNextSelectedItem(p));
    return rows;
}

// Whether `w` is the control or lies inside it (its in-place editors, their pop-ups).
bool Within(const QWidget* control, const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w == control) return true;
    return false;
}

} // namespace

CxFileBatchNote::CxFileBatchNote(CvClientDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    m_separator = new QFrame(this);
    m_separator->setObjectName("separator");
    m_separator->setFrameStyle(QFrame::Panel | QFrame::Raised);

    m_base = new CkxwFamilyFileListCtrl(this);
    m_base->setObjectName(QString::number(ID_BASE_GRID));
    m_ex = new CkxwFamilyFileListCtrl(this);
    m_ex->setObjectName(QString::number(ID_EX_GRID));
    m_list = new kx::ReportList(this);
    m_list->setObjectName(QString::number(ID_FILE_LIST));
    for (kx::ReportList* control : {static_cast<kx::ReportList*>(m_base), static_cast<kx::ReportList*>(m_ex), m_list}) {
        control->SetMultipleSelection(true);
        control->SetFullRowSelect(true);
        control->SetInfoTip(true);
    }

    m_tree = new CkxwFamilyFileTreeCtrl(this);
    m_tree->setObjectName(QString::number(ID_FAMILY_TREE));
    m_tree->SetImageList(TreeImages(style()));
    {
        Quiet quiet(m_nQuiet);
        CkxFamilyPtrs families;
        const CkxFamilyXXX& reg = KX_FamilyXXX();
        for (POSITION p = reg.family_GetHeadPosition(); p;) families.push_back(reg.family_GetNext(p));
        m_tree->fmCreateTree(families);
        m_tree->ExpandRoot();
    }
    m_tree->viewport()->installEventFilter(this);

    // What the initial showing sets up: the numbered list's columns, grids for no family, the
    // context menu.
    int column = 0;
    for (const ListHeader& c : kListColumns) m_list->InsertColumn(column++, QString::fromUtf8(c.header), kx::LVCFMT_LEFT, c.width);
    SetupGrids(-1);
    for (size_t i = 0; i < m_popups.size(); ++i) {
        auto* menu = new kx::PopupMenu(this);
        menu->setObjectName(kPopups[i].name);
        menu->setTitle(kPopups[i].name);
        for (const auto& [text, id] : kPopups[i].items) menu->AppendMenu(QString::fromUtf8(text), id);
        m_popups[i] = menu;
    }
    m_list->hide();

    m_dragImage = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    m_dragImage->setObjectName("dragImage");
    m_dragImage->hide();

    connect(m_tree, &kx::TreeCtrl::SelChanged, this, [this](HTREEITEM item, HTREEITEM) {
        if (!m_nQuiet) ShowNode(item);
    });
    connect(m_tree, &kx::TreeCtrl::ItemClicked, this, [this](HTREEITEM item) { OnTreeClicked(item); });
    connect(m_base, &QTreeWidget::itemSelectionChanged, this, [this] { OnGridSelectionChanged(m_base); });
    connect(m_ex, &QTreeWidget::itemSelectionChanged, this, [this] { OnGridSelectionChanged(m_ex); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { OnListSelectionChanged(); });
    connect(m_list, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& at) { ShowContextMenu(POPUP_FILE_LIST, m_list, at); });
    connect(m_base, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& at) { ShowContextMenu(POPUP_BASE_EDIT, m_base, at); });
    connect(m_ex, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& at) { ShowContextMenu(POPUP_EX_EDIT, m_ex, at); });
    // Leaving a grid saves its edits (after the grid has written back its open editor).
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
    Layout();
}

CxFileBatchNote::~CxFileBatchNote() {
    // The children go after this object: nothing they or the application report may reach it.
    ++m_nQuiet;
    disconnect(m_focusConnection);
    for (QObject* child : {static_cast<QObject*>(m_tree), static_cast<QObject*>(m_base), static_cast<QObject*>(m_ex),
                           static_cast<QObject*>(m_list)})
        child->disconnect(this);
    m_tree->viewport()->removeEventFilter(this);
    if (m_bDragging) m_tree->viewport()->releaseMouse();
}

kx::PopupMenu* CxFileBatchNote::ContextMenu(int popup) const {
    return popup >= 0 && popup < static_cast<int>(m_popups.size()) ? m_popups[popup] : nullptr;
}

// ---- Layout ----

void CxFileBatchNote::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CxFileBatchNote::Layout() {
    const int w = width(), h = height();
    const int x = kTreeWidth + kSeparatorWidth, right = std::max(0, w - x);
    m_tree->setGeometry(0, 0, kTreeWidth, h);
    m_separator->setGeometry(kTreeWidth, 0, kSeparatorWidth, h);
    m_base->setGeometry(x, 0, right, h / 2);
    m_ex->setGeometry(x, h / 2, right, h / 2);
    m_list->setGeometry(x, 0, right, h);
}

void CxFileBatchNote::ShowGrids(bool grids) {
    m_base->setVisible(grids);
    m_ex->setVisible(grids);
    m_list->setVisible(!grids);
}

// ---- Showing a node ----

void CxFileBatchNote::SetupGrids(int familyId) {
    Quiet quiet(m_nQuiet);
    const CkxFamilyXXX& reg = KX_FamilyXXX();
    CkxAttrList baseAttrs;
    if (reg.family_IsImage(familyId)) CkxFileImage::_GetCanEditBaseAttrList(baseAttrs);
    m_base->SelectFamily(Pointers(baseAttrs));
    CkxAttrList exAttrs;
    if (!CkxFamilyXXX::family_IsRoot(familyId)) reg.attr_GetFamilyAllExAttr(familyId, exAttrs);
    m_ex->SelectFamily(Pointers(exAttrs));
}

void CxFileBatchNote::AddGridRows(const CkxFile& file) {
    Quiet quiet(m_nQuiet);
    // The cells show the file's own values, so that a cell left alone writes back what it held.
    if (m_base->IsHasAttrCol()) m_base->AddFile(&file, 1);
    if (m_ex->IsHasAttrCol()) m_ex->AddFile(&file, 1);
}

void CxFileBatchNote::AddListRow(const CkxFile& file) {
    const int row = m_list->InsertItem(m_list->GetItemCount(), QString::number(m_list->GetItemCount() + 1));
    if (row < 0) return;
    m_list->SetItemData(row, file.GetID());
    m_list->SetItemText(row, COL_NAME, QString::fromStdString(file.FormatName()));
    m_list->SetItemText(row, COL_ENCODING, QString::fromStdString(file.FormatEncFormat()));
    m_list->SetItemText(row, COL_FAMILY, QString::fromStdString(file.FormatFamily()));
}

void CxFileBatchNote::FillList(const std::vector<int>& fileIds) {
    Quiet quiet(m_nQuiet);
    m_list->DeleteAllItems();
    for (int id : fileIds)
        if (const CkxFile* file = m_doc.FindFile(id)) AddListRow(*file);
}

void CxFileBatchNote::RenumberList() {
    for (int row = 0; row < m_list->GetItemCount(); ++row) m_list->SetItemText(row, COL_NUMBER, QString::number(row + 1));
}

void CxFileBatchNote::ShowNode(HTREEITEM item) {
    SaveEdits();
    {
        Quiet quiet(m_nQuiet);
        m_base->Clear();
        m_ex->Clear();
    }
    const CkxwFFNode* node = item ? m_tree->GetNode(item) : nullptr;
    if (!node) return;
    const int familyId = m_tree->GetItemFamilyID(item);
    if (node->IsFamilyRoot()) {
        ShowGrids(false);
        FillList(m_doc.GetFileIds());
    } else if (node->IsFamilyUnknown()) {
        ShowGrids(false);
        std::vector<int> ids;
        m_tree->fmGetLinkFile(item, ids);
        FillList(ids);
    } else if (node->IsFamilyNode()) {
        ShowGrids(true);
        SetupGrids(familyId);
        std::vector<int> ids;
        m_tree->fmGetLinkFile(item, ids);
        for (int id : ids)
            if (const CkxFile* file = m_doc.FindFile(id)) AddGridRows(*file);
    } else if (node->IsFileNode()) {
        ShowGrids(true);
        SetupGrids(familyId);
        const int fileId = m_tree->GetLinkFileID(item);
        if (const CkxFile* file = m_doc.FindFile(fileId)) {
            AddGridRows(*file);
            Preview(fileId);
        }
    }
}

void CxFileBatchNote::OnTreeClicked(HTREEITEM item) {
    // A click on the node already shown shows it again; a click on another node was shown by
    // the selection change of its press.
    if (item && item == m_hSelectedAtPress && item == m_tree->GetSelectedItem()) ShowNode(item);
}

void CxFileBatchNote::Preview(int fileId) {
    const CkxFile* file = m_doc.FindFile(fileId);
    if (!file) return;
    ++m_nPreviews;
    m_nLastPreview = fileId;
    if (CMainFrame* frame = MainFrame()) {
        frame->ShowFileStatus(file);
        frame->PreviewFile(fileId);
    }
}

void CxFileBatchNote::OnGridSelectionChanged(CkxwFamilyFileListCtrl* grid) {
    if (m_nQuiet || grid->GetSelectedCount() != 1) return;
    Preview(grid->GetItemFileID(grid->GetSelectedRow()));
}

void CxFileBatchNote::OnListSelectionChanged() {
    if (m_nQuiet || m_list->GetSelectedCount() != 1) return;
    Preview(static_cast<int>(m_list->GetItemData(m_list->GetSelectedRow())));
}

void CxFileBatchNote::OnFocusChanged(QWidget* old, QWidget* now) {
    if (m_nQuiet) return;
    for (CkxwFamilyFileListCtrl* grid : {m_base, m_ex})
        if (Within(grid, old) && !Within(grid, now)) {
            SaveEdits();
            return;
        }
}

// ---- What the browser forwards ----

void CxFileBatchNote::AddFile(CkxFile* file) {
    if (!file) return;
    if (m_tree->flFindNode(file->GetID())) return RenameFile(*file); // one node a file
    Quiet quiet(m_nQuiet);
    CkxFileX handle;
    handle.MapObj(file); // the node keeps its own copy
    // A file whose family the tree does not hold still gets a node: there its family can be set.
    if (!m_tree->flAddFile(handle) && m_tree->GetUnlinkedItem()) m_tree->flAddFile(m_tree->GetUnlinkedItem(), handle);
}

void CxFileBatchNote::RenameFile(const CkxFile& file) { m_tree->flUpdateName(file.GetID(), file.FormatName()); }

void CxFileBatchNote::RemoveFile(int fileId) {
    Quiet quiet(m_nQuiet);
    m_tree->flDeleteFile(fileId);
    m_base->DeleteFileA(fileId);
    m_ex->DeleteFileA(fileId);
    for (int row = m_list->FindItemData(fileId); row >= 0; row = m_list->FindItemData(fileId)) m_list->DeleteItem(row);
    RenumberList();
}

void CxFileBatchNote::RemoveFiles(const std::vector<int>& fileIds) {
    for (int id : fileIds) RemoveFile(id);
}

void CxFileBatchNote::RemoveAll() {
    Quiet quiet(m_nQuiet);
    m_tree->flDeleteAllFile();
    m_list->DeleteAllItems();
    m_base->DeleteAllItems();
    m_ex->DeleteAllItems();
}

// ---- Saving ----

bool CxFileBatchNote::SaveEdits() {
    Quiet quiet(m_nQuiet);
    m_base->CommitEdit();
    m_ex->CommitEdit();
    const bool baseEdited = m_base->IsEdited() != 0, exEdited = m_ex->IsEdited() != 0;
    if (!baseEdited && !exEdited) return false;
    // Only the cells that hold something are written: an empty cell would set the author to 0,
    // empty the dates, place and remark and move the file to no folder.
    for (int row = 0; baseEdited && row < m_base->GetItemCount(); ++row) {
        if (!m_base->IsEdited(row)) continue;
        CkxAttrValueList values;
        m_base->GetFileAttrValue(row, values);
        const CkxAttrValueList filled = values.GetFilled();
        if (filled.GetCount() > 0) m_doc.SetFileAttrValue(m_base->GetItemFileID(row), filled);
    }
    m_base->DontEdited();
    for (int row = 0; exEdited && row < m_ex->GetItemCount(); ++row) {
        if (!m_ex->IsEdited(row)) continue;
        CkxAttrValueList values;
        m_ex->GetFileAttrValue(row, values);
        const CkxAttrValueList filled = values.GetFilled();
        if (filled.GetCount() > 0) m_doc.SetFileExAttrValue(m_ex->GetItemFileID(row), filled);
    }
    m_ex->DontEdited();
    for (int id : m_doc.GetFileIds()) {
        if (const CkxFile* file = m_doc.FindFile(id)) RenameFile(*file);
        RefreshBrowserRow(id);
    }
    return true;
}

bool CxFileBatchNote::AskSaveEdits() {
    m_base->CommitEdit();
    m_ex->CommitEdit();
    if (!m_base->IsEdited() && !m_ex->IsEdited()) return false;
    if (kx::Prompt(this, "文件信息已经修改,是否保存", kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return false;
    return SaveEdits();
}

void CxFileBatchNote::RefreshBrowserRow(int fileId) {
    if (CvDocBrowser* browser = m_doc.GetBrowser()) browser->OnFileUpdated(fileId);
}

// ---- Commands ----

void CxFileBatchNote::ShowContextMenu(int popup, kx::ReportList* control, const QPoint& globalPos) {
    kx::PopupMenu* menu = ContextMenu(popup);
    if (!menu || control->GetSelectedCount() < 1) return;
    const int chosen = menu->TrackPopupMenu(globalPos);
    if (chosen > 0) OnCommand(chosen);
}

void CxFileBatchNote::OnCommand(int id) {
    switch (id) {
    case ID_SET_FAMILY: return SetFamily();
    case ID_BASE_NOTE: return UniformNote(m_base);
    case ID_EX_NOTE: return UniformNote(m_ex);
    case ID_SELECT_FOLDER: return SelectFolder();
    default: return;
    }
}

bool CxFileBatchNote::ChangeFamily(int fileId, int familyId, HTREEITEM target) {
    if (!m_doc.SetFileFamily(fileId, familyId)) return false;
    const CkxFile* file = m_doc.FindFile(fileId);
    if (const int row = m_list->FindItemData(fileId); row >= 0 && file)
        m_list->SetItemText(row, COL_FAMILY, QString::fromStdString(file->FormatFamily()));
    {
        Quiet quiet(m_nQuiet);
        const CkxwFFNode* node = m_tree->flFindNode(fileId);
        const bool selected = node && node->m_hItem == m_tree->GetSelectedItem();
        HTREEITEM moved = node && target ? m_tree->ChangeFileFamily(node->m_hItem, target)
                                         : m_tree->ChangeFileFamily(fileId, familyId);
        // The moved node keeps the selection it had (the view still shows it).
        if (moved && selected) m_tree->SelectItem(moved);
    }
    RefreshBrowserRow(fileId);
    return true;
}

void CxFileBatchNote::SetFamily() {
    const std::vector<int> rows = SelectedRows(*m_list);
    if (rows.empty()) return;
    int familyId = -1;
    if (!KX_ShowDlg_FamilySelect(familyId)) return;
    for (int row : rows) ChangeFamily(static_cast<int>(m_list->GetItemData(row)), familyId);
}

void CxFileBatchNote::UniformNote(CkxwFamilyFileListCtrl* grid) {
    grid->CommitEdit();
    const std::vector<int> rows = SelectedRows(*grid);
    if (rows.empty()) return;
    CkxAttrValueList values;
    grid->GetFileAttrValue(rows.front(), values);
    if (!KX_ShowDlg_FileAttrNote(values)) return;
    for (int row : rows) grid->SetFileAttrValue(row, values);
}

void CxFileBatchNote::SelectFolder() {
    const std::vector<int> rows = SelectedRows(*m_base);
    if (rows.empty()) return;
    int folder = -1;
    if (!KX_ShowDlg_SelectCreateLocDir(this, folder)) return;
    // The grid shows the folder as the value of the storage folder attribute; the document's
    // files take it at once.
    CkxAttrValue value(-1, KXB_LOCDIRID);
    value.m_Value = CkxValueSp(folder);
    CkxAttrValueList values;
    values.AddTail(value);
    for (int row : rows) {
        m_doc.SetFileFolder(m_base->GetItemFileID(row), folder);
        m_base->SetFileAttrValue(row, values);
    }
}

// ---- Dragging ----

bool CxFileBatchNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_tree->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) break;
        m_bLeftDown = true;
        m_pressPos = e->position().toPoint();
        m_hPressItem = m_tree->HitTest(m_pressPos);
        m_hSelectedAtPress = m_tree->GetSelectedItem();
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint at = e->position().toPoint();
        if (m_bDragging) {
            DragMove(at);
            return true;
        }
        if (m_bLeftDown && m_hPressItem && (at - m_pressPos).manhattanLength() >= QApplication::startDragDistance() &&
            BeginDrag(m_hPressItem)) {
            DragMove(at);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) break;
        m_bLeftDown = false;
        m_hPressItem = nullptr;
        if (m_bDragging) {
            EndDrag();
            return true;
        }
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void CxFileBatchNote::SetDropHighlight(HTREEITEM item, bool on) {
    QTreeWidgetItem* w = m_tree->ItemOf(item);
    if (!w) return;
    if (on) {
        w->setBackground(0, palette().highlight());
        w->setForeground(0, palette().highlightedText());
    } else {
        w->setBackground(0, QBrush());
        w->setForeground(0, QBrush());
    }
}

bool CxFileBatchNote::BeginDrag(HTREEITEM item) {
    if (m_bDragging || !m_tree->IsEnableDrag(item)) return false;
    m_bDragging = true;
    m_hDragItem = item;
    m_hDropItem = nullptr;
    // The drag image: the node's picture and text, following the cursor from its top left.
    int image = 0, selected = 0;
    m_tree->GetItemImage(item, image, selected);
    const QPixmap picture = QPixmap::fromImage(m_tree->GetImageList().Image(image));
    m_dragImage->setText(m_tree->GetItemText(item));
    if (!picture.isNull()) {
        m_dragImage->setPixmap(picture);
        m_dragImage->setToolTip(m_tree->GetItemText(item));
    }
    m_dragImage->adjustSize();
    m_dragImage->move(QCursor::pos());
    m_dragImage->show();
    m_tree->viewport()->grabMouse();
    return true;
}

void CxFileBatchNote::DragMove(const QPoint& viewportPos) {
    if (!m_bDragging) return;
    m_dragImage->move(m_tree->viewport()->mapToGlobal(viewportPos));
    HTREEITEM target = m_tree->HitTest(viewportPos);
    if (target == m_hDropItem) return;
    m_dragImage->hide();
    SetDropHighlight(m_hDropItem, false);
    m_hDropItem = target;
    SetDropHighlight(m_hDropItem, true);
    m_dragImage->show();
}

void CxFileBatchNote::EndDrag() {
    if (!m_bDragging) return;
    m_bDragging = false;
    m_dragImage->hide();
    m_tree->viewport()->releaseMouse();
    SetDropHighlight(m_hDropItem, false);
    HTREEITEM dragged = m_hDragItem, target = m_hDropItem;
    m_hDragItem = m_hDropItem = nullptr;
    if (!target || !dragged || target == dragged || !m_tree->IsEnableDrop(target)) return;
    // A node that names no family (the files of no family take none by dropping) changes nothing.
    const int familyId = m_tree->GetItemFamilyID(target);
    const CkxwFFNode* node = m_tree->GetNode(dragged);
    if (familyId < 0 || !node || !node->IsFileNode()) return;
    m_tree->Expand(target, TVE_EXPAND);
    ChangeFamily(node->m_File.GetID(), familyId, target);
}
