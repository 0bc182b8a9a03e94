// CkxwFileListView: the library's view of catalogue files, the base of the studio's file browser
// list and of its capture and checkout lists. One row per file (or folder), each with an entry
// that holds the file; four presentations (large icons, small icons, list, details) and
// thumbnails of eleven sizes over the same rows; sorting by a column; the selection and lookup
// questions by row or file id, each with its "none" value. Every row shows its own entry's
// picture whatever the order of the rows.
#pragma once

#include "model/CkxFile.h"
#include "model/CkxFileX.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "qt/KxImageList.h"
#include "qt/KxReportList.h"
#include "ui/CkxwFileListEntry.h"

#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;
class QListView;
class QMimeData;
class QStackedLayout;
class QTreeView;
class CkxwFileListModel;

class KX_EXPORT CkxwFileListView : public QWidget {
    Q_OBJECT
public:
    // Browse modes.
    enum Mode {
        MODE_LARGEICON = 1, MODE_SMALLICON = 2, MODE_LIST = 4, MODE_REPORT = 8,
        MODE_MICRO50 = 16, MODE_MICRO60 = 32, MODE_MICRO70 = 64, MODE_MICRO80 = 128, MODE_MICRO90 = 256,
        MODE_MICRO100 = 512, MODE_MICRO110 = 1024, MODE_MICRO120 = 2048, MODE_MICRO130 = 4096,
        MODE_MICRO140 = 8192, MODE_MICRO150 = 16384,
        MODE_MICRO160 = 32768 // recorded only: no list stands behind it
    };
    using Entry = CkxwFileListEntry;
    using POSITION = kx::POSITION;

    explicit CkxwFileListView(QWidget* parent = nullptr);
    ~CkxwFileListView() override;

    // ---- Insertion: the new row, or -1 ----
    // A file row holding the file by copy / by adoption (the view owns the object from the call
    // on, also when the insert is refused) / by reference. -1 for a null file or an id that a row
    // already shows.
    int InsertFile_Create(const std::string& text, const CkxFile* file);
    int InsertFile_Attach(const std::string& text, CkxFile* file);
    int InsertFile_Map(const std::string& text, CkxFile* file);
    // A folder row: kind folder, file id -1.
    int InsertFolder(const std::string& text);
    // Another row for one of the view's entries (-1 for null or a foreign entry).
    int ReinsertFile(Entry* entry);
    // Deletes every row and inserts one per entry, in entry order.
    void ReshowFile();
    // A plain row without entry (the list-control level; the derived views' own rows).
    int InsertItem(int row, const std::string& text, int image = -1);

    // ---- Update and removal ----
    // The entry of that id holds the file anew (copy, adoption, reference) and drops its built
    // thumbnails; nothing for an unknown id (an adopted file is then destroyed) or a null file.
    void UpdateFile_Create(int fileId, const CkxFile* file);
    void UpdateFile_Attach(int fileId, CkxFile* file);
    void UpdateFile_Map(int fileId, CkxFile* file);
    void UpdateFileName(int fileId, const std::string& text);
    bool SetItemText(int row, int column, const std::string& text);
    bool SetItemImage(int row, int image);
    int GetItemImage(int row) const; // -1 out of range
    bool SetItemTime(int row, const COleDateTime& create, const COleDateTime& modify);
    bool SetFileTime(int fileId, const COleDateTime& create, const COleDateTime& modify);
    COleDateTime GetFileCreateTime(int fileId) const; // a zero date for an unknown id
    COleDateTime GetFileModifyTime(int fileId) const;
    void DeleteFileA(int fileId);
    void DeleteFileA(const std::vector<int>& fileIds);
    void DeleteItem(int row);
    void DeleteAllFile();

    // ---- Lookup ----
    int GetItemCount() const;
    Entry* GetItemData(int row) const;         // null out of range or without entry
    CkxFileX* GetItemFile(int row) const;      // null likewise
    Entry* GetFileData(int fileId) const;      // null for an unknown id
    CkxFileX* GetFile(int fileId) const;
    int GetFileItem(int fileId) const;         // -1 for an id no row shows
    bool IsFileValid(int fileId) const;
    bool IsFileValid(const std::string& text) const; // an entry's text equals it exactly
    int GetItemFileID(int row) const;          // -1 out of range or without entry
    std::string GetItemFileName(int row) const; // first-column text, empty out of range
    std::string GetItemLocalPath(int row) const; // the file's source path, empty when none
    std::string GetItemFileIDName(int row) const; // "<id>.<extension>", empty when none
    std::string GetFileIDName(int fileId) const;
    std::string GetItemText(int row, int column) const;

    // ---- Selection ----
    int GetSelectedCount() const;
    int GetSelectedItem() const;               // first selected row, -1 when none
    Entry* GetSelectedItemData() const;
    int GetSelectedFileID() const;             // -1 nothing selected, 0 a row without entry
    std::string GetSelectedFileIDName() const;
    CkxFileX* GetSelectedFilePtr() const;
    // The held object of the first selected row (null when none). GetSelectedAs gives it as the
    // caller's class, null when the object is not of that class (never a wrongly typed pointer).
    CkxFile* GetSelectedFile() const;
    template <class T> T* GetSelectedAs() const { return dynamic_cast<T*>(GetSelectedFile()); }
    CkxFile* GetSelectedText() const { return GetSelectedFile(); }
    CkxFile* GetSelectedAudio() const { return GetSelectedFile(); }
    CkxFile* GetSelectedVideo() const { return GetSelectedFile(); }
    CkxFile* GetSelectedBinary() const { return GetSelectedFile(); }
    // Positions: selected row + 1, 0 when none is left.
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    CkxFileX* GetNextSelectedFile(POSITION& pos) const;
    void SelectItem(int row);
    void SelectAllItem();
    void SetLastSelItem(int row) { m_nLastSelItem = row; }
    int GetLastSelItem() const { return m_nLastSelItem; }

    // ---- Presentation ----
    void SetBrowseMode(int mode);
    int GetShowMode() const { return m_nShowMode; }
    void SetMode_LargeIcon() { SetBrowseMode(MODE_LARGEICON); }
    void SetMode_SmallIcon() { SetBrowseMode(MODE_SMALLICON); }
    void SetMode_List() { SetBrowseMode(MODE_LIST); }
    void SetMode_Report() { SetBrowseMode(MODE_REPORT); }
    void SetMode_Micro50() { SetBrowseMode(MODE_MICRO50); }
    void SetMode_Micro60() { SetBrowseMode(MODE_MICRO60); }
    void SetMode_Micro70() { SetBrowseMode(MODE_MICRO70); }
    void SetMode_Micro80() { SetBrowseMode(MODE_MICRO80); }
    void SetMode_Micro90() { SetBrowseMode(MODE_MICRO90); }
    void SetMode_Micro100() { SetBrowseMode(MODE_MICRO100); }
    void SetMode_Micro110() { SetBrowseMode(MODE_MICRO110); }
    void SetMode_Micro120() { SetBrowseMode(MODE_MICRO120); }
    void SetMode_Micro130() { SetBrowseMode(MODE_MICRO130); }
    void SetMode_Micro140() { SetBrowseMode(MODE_MICRO140); }
    void SetMode_Micro150() { SetBrowseMode(MODE_MICRO150); }
    void SetMode_Micro160() { SetBrowseMode(MODE_MICRO160); }
    bool IsMode_LargeIcon() const { return m_nShowMode == MODE_LARGEICON; }
    bool IsMode_SmallIcon() const { return m_nShowMode == MODE_SMALLICON; }
    bool IsMode_List() const { return m_nShowMode == MODE_LIST; }
    bool IsMode_Report() const { return m_nShowMode == MODE_REPORT; }
    bool IsMode_Micro50() const { return m_nShowMode == MODE_MICRO50; }
    bool IsMode_Micro60() const { return m_nShowMode == MODE_MICRO60; }
    bool IsMode_Micro70() const { return m_nShowMode == MODE_MICRO70; }
    bool IsMode_Micro80() const { return m_nShowMode == MODE_MICRO80; }
    bool IsMode_Micro90() const { return m_nShowMode == MODE_MICRO90; }
    bool IsMode_Micro100() const { return m_nShowMode == MODE_MICRO100; }
    bool IsMode_Micro110() const { return m_nShowMode == MODE_MICRO110; }
    bool IsMode_Micro120() const { return m_nShowMode == MODE_MICRO120; }
    bool IsMode_Micro130() const { return m_nShowMode == MODE_MICRO130; }
    bool IsMode_Micro140() const { return m_nShowMode == MODE_MICRO140; }
    bool IsMode_Micro150() const { return m_nShowMode == MODE_MICRO150; }
    bool IsMode_Micro160() const { return m_nShowMode == MODE_MICRO160; }
    static bool IsIconFlag(int mode) { return mode == 1 || mode == 2 || mode == 4 || mode == 8; }
    bool IsModeIcon() const { return IsIconFlag(m_nShowMode); }
    bool IsModeMicro() const { return !IsModeIcon(); }

    void ArrangeItem();
    void EnableAutoArrange(bool on = true);
    void DisableAutoArrange() { EnableAutoArrange(false); }
    bool IsAutoArrange() const { return m_bAutoArrange; }
    void EnableRedraw() { SetRedraw(true); }
    void DisableRedraw() { SetRedraw(false); }
    void SetRedraw(bool on);
    void UpdateView();
    void RelinkItemToMicroImage(int mode);
    // Thumbnail lists: one entry's picture appended to the list of a size (1, or 0 for no
    // entry); the whole list built when empty; every list emptied, then the size's list rebuilt
    // in entry order; every list emptied.
    int MicroXList_AddMicro(int flag, Entry* entry);
    int MicroXList_Group(int flag);
    int MicroXList_Regroup(int flag);
    void MicroXList_Clear();
    const kx::ImageList& GetMicroImageList(int index) const;
    // The picture a row shows in the current presentation (null when none).
    QImage GetItemPicture(int row) const;
    // Report columns (the using program defines them). Format 0 left, 1 right, 2 centre.
    int InsertColumn(int column, const std::string& heading, int format = kx::LVCFMT_LEFT, int width = 80,
                     int subItem = -1);
    // The sort: a click on a column's heading; again on the same column reverses the order.
    void SortByColumn(int column);
    int GetSortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }
    // The widget of the current presentation.
    QAbstractItemView* GetCurrentView() const;

    // ---- Play flag: off while the view changes its rows ----
    void EnablePlay() { m_nCanPlay = 1; }
    void DisablePlay() { m_nCanPlay = 0; }
    int IsCanPlay() const { return m_nCanPlay; }

    // "确定删除文件", a line break, then each selected file's display name and ";\t"; 1 for OK.
    int MsgBox_QuestionDeleteSelectedFile();

Q_SIGNALS:
    // The rows' selection changed.
    void SelectionChanged();
    void ItemClicked(int row);
    void ItemDoubleClicked(int row);
    // A right click on a row (-1 on empty space); `globalPos` is where a popup menu opens.
    void ItemRightClicked(int row, const QPoint& globalPos);

protected:
    // What a drag over the view is answered with; the view accepts a copy of anything and drops
    // nothing itself.
    virtual Qt::DropAction OnDragEnter(const QMimeData* data);
    virtual Qt::DropAction OnDragOver(const QMimeData* data);
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    enum HoldMode { HOLD_CREATE = 1, HOLD_ATTACH = 2, HOLD_MAP = 3 };
    class PlayPause;
    class RedrawPause;

    int InsertFileAs(const std::string& text, CkxFile* file, HoldMode mode);
    void UpdateFileAs(int fileId, CkxFile* file, HoldMode mode);
    static void Hold(CkxFileX& holder, CkxFile* file, HoldMode mode);
    void RemoveEntry(Entry* entry);
    int RowOf(const Entry* entry) const;
    std::vector<int> SelectedRows() const;
    // The flag of the thumbnail list the view keeps current: the presented size, else the last
    // one built, else 50 pixels.
    int HeldMicroFlag() const;
    int RowImage(const Entry& entry) const;
    void SyncIconLists(int index);
    QImage IconPicture(const std::string& ext, int sizeIndex);
    QImage Picture(int image) const;
    void Present(int mode);
    int CompareEntries(int column, const Entry* a, const Entry* b) const;

    CkxwFileListModel* m_pModel;
    QStackedLayout* m_pStack;
    QListView* m_pIconView;
    QTreeView* m_pReport;
    std::vector<std::unique_ptr<Entry>> m_Entries;
    std::map<int, Entry*> m_ById;
    std::array<kx::ImageList, Entry::kSizeCount> m_MicroLists;
    kx::ImageList m_LargeIcons{32, 32};
    kx::ImageList m_SmallIcons{16, 16};
    std::array<std::map<std::string, QImage>, Entry::kSizeCount> m_IconPictures;

    int m_nShowMode = -1;      // the recorded mode
    int m_nShown = MODE_LARGEICON; // the presentation on screen (never the recorded-only 32768)
    int m_nLastMicroSize = -1; // the size flag the thumbnail lists were last built for
    int m_nSortColumn = 0;
    bool m_bSortAscending = true;
    bool m_bSorted = false;
    int m_nCanPlay = 1;
    int m_nLastSelItem = -1;
    bool m_bAutoArrange = true;
    bool m_bRedraw = true;
};
