// CxFileBatchNote: the file browser's batch annotation view. Every file the browser lists sits
// in a tree under its family; the user shows a family to edit the base and extended attributes
// of its files in two grids, or the root to see every file in a numbered list, and gives many
// files a family, a storage folder or a uniform note at once (files also move by dragging them
// to another family). Edits go into the browser document's own file objects, under its file-set
// lock, when another node is shown, when a grid is left, or when the browser asks before it
// sends the files.
#pragma once

#include "qt/KxTreeCtrl.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <vector>

class CkxFile;
class CkxwFamilyFileListCtrl;
class CkxwFamilyFileTreeCtrl;
class CvClientDoc;
class QFrame;
class QLabel;
namespace kx {
class PopupMenu;
class ReportList;
} // namespace kx

class CxFileBatchNote : public QWidget {
public:
    enum ChildId { ID_BASE_GRID = 11025, ID_EX_GRID = 11026, ID_FILE_LIST = 11027, ID_FAMILY_TREE = 11028 };
    enum Command { ID_SET_FAMILY = 33048, ID_BASE_NOTE = 33049, ID_EX_NOTE = 33050, ID_SELECT_FOLDER = 33112 };
    // The pop-ups of the context menu, in order: the numbered list's, the base grid's, the
    // extended grid's.
    enum Popup { POPUP_FILE_LIST = 0, POPUP_BASE_EDIT = 1, POPUP_EX_EDIT = 2 };
    enum ListColumn { COL_NUMBER = 0, COL_NAME = 1, COL_ENCODING = 2, COL_FAMILY = 3 };
    static constexpr int kTreeWidth = 200;
    static constexpr int kSeparatorWidth = 6;

    // The view of the browser's document: the tree is built from the family registry now.
    explicit CxFileBatchNote(CvClientDoc& doc, QWidget* parent = nullptr);
    ~CxFileBatchNote() override;

    // ---- What the browser forwards ----
    // A node for the file under its family (under the unlinked files when its family is not
    // in the tree).
    void AddFile(CkxFile* file);
    // The file's node shows its display name.
    void RenameFile(const CkxFile& file);
    // Its node and its rows go; the numbered list is numbered 1, 2, 3, ... again.
    void RemoveFile(int fileId);
    void RemoveFiles(const std::vector<int>& fileIds);
    void RemoveAll();
    // Writes the grids' edited rows into the document's files (only the cells that hold
    // something), then refreshes every file's node and browser row. True when there were edits.
    bool SaveEdits();
    // "文件信息已经修改,是否保存" when the grids hold edits; saves on OK. True when it saved.
    bool AskSaveEdits();

    // Shows a tree node by its kind (what a click or a selection change does).
    void ShowNode(HTREEITEM item);
    void OnCommand(int id);

    // ---- Dragging a file node to another family (the tree's mouse drives these) ----
    // Starts when the node may be dragged; false otherwise.
    bool BeginDrag(HTREEITEM item);
    // The node under the point (tree viewport coordinates) becomes the drop target.
    void DragMove(const QPoint& viewportPos);
    // Drops on the target: nothing on the dragged node itself or a node that takes no drop.
    void EndDrag();
    bool IsDragging() const { return m_bDragging; }
    HTREEITEM DropTarget() const { return m_hDropItem; }

    CkxwFamilyFileTreeCtrl* Tree() const { return m_tree; }
    CkxwFamilyFileListCtrl* BaseGrid() const { return m_base; }
    CkxwFamilyFileListCtrl* ExGrid() const { return m_ex; }
    kx::ReportList* FileList() const { return m_list; }
    QFrame* Separator() const { return m_separator; }
    kx::PopupMenu* ContextMenu(int popup) const;
    // How often a file was handed to the main frame to be shown, and the last one's id.
    int PreviewCount() const { return m_nPreviews; }
    int LastPreviewId() const { return m_nLastPreview; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Signals of the children while the view itself changes them are not the user's.
    struct Quiet {
        explicit Quiet(int& n) : n_(n) { ++n_; }
        ~Quiet() { --n_; }
        int& n_;
    };

    void Layout();
    // Either the two grids or the numbered list, never both.
    void ShowGrids(bool grids);
    // Columns for the family: the image base attributes for an image family, the family's
    // extended attributes (inherited first) for any family but a root.
    void SetupGrids(int familyId);
    void AddGridRows(const CkxFile& file);
    void FillList(const std::vector<int>& fileIds);
    void AddListRow(const CkxFile& file);
    void RenumberList();
    void Preview(int fileId);
    void OnTreeClicked(HTREEITEM item);
    void OnGridSelectionChanged(CkxwFamilyFileListCtrl* grid);
    void OnListSelectionChanged();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void ShowContextMenu(int popup, kx::ReportList* control, const QPoint& globalPos);
    // The command handlers.
    void SetFamily();
    void UniformNote(CkxwFamilyFileListCtrl* grid);
    void SelectFolder();
    // The file takes the family: the document's file, its numbered-list row, its tree node
    // (under `target`, or the family's node) and its browser row. False for a file the document
    // does not hold.
    bool ChangeFamily(int fileId, int familyId, HTREEITEM target = nullptr);
    void RefreshBrowserRow(int fileId);
    void SetDropHighlight(HTREEITEM item, bool on);

    CvClientDoc& m_doc;
    CkxwFamilyFileTreeCtrl* m_tree = nullptr;
    QFrame* m_separator = nullptr;
    CkxwFamilyFileListCtrl* m_base = nullptr;
    CkxwFamilyFileListCtrl* m_ex = nullptr;
    kx::ReportList* m_list = nullptr;
    std::array<kx::PopupMenu*, 3> m_popups{};
    QLabel* m_dragImage = nullptr;

    QMetaObject::Connection m_focusConnection;
    int m_nQuiet = 0;
    // The tree's mouse: the press, and the item that was selected before it.
    bool m_bLeftDown = false;
    QPoint m_pressPos;
    HTREEITEM m_hPressItem = nullptr;
    HTREEITEM m_hSelectedAtPress = nullptr;
    // Dragging.
    bool m_bDragging = false;
    HTREEITEM m_hDragItem = nullptr;
    HTREEITEM m_hDropItem = nullptr;

    int m_nPreviews = 0;
    int m_nLastPreview = 0;
};
