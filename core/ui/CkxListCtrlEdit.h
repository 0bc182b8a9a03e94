// CkxListCtrlEdit: the report list whose cells are edited in place. A cell record binds a cell to
// one of six editors (edit box, drop-down list, tree, date-time picker, IP address, check box)
// and holds its typed value, its choices and an edited mark. The control owns one editor of each
// kind, moved over whichever cell is being edited; at most one is visible. The grids of the
// library derive from it. The parent (the nearest ancestor that takes window messages) is told
// synchronously, with the control's id and the column:
//   WM_LCE_CELLCLICK    a click selected a cell, before its editor is prepared;
//   WM_LCE_TEXTCHANGED  a cell's shown text changed (a commit or SetCellValue);
//   WM_LCE_IPCHANGED    the IP address editor wrote its address.
// An open editor is written back when it loses the focus, before the next clicked cell is
// prepared, before a host dialog's OnOK (CommitEdit), and before rows are deleted.
#pragma once

#include "model/CkxValue.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"
#include "qt/KxReportList.h"
#include "qt/KxWindowMessage.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CkxIPAddressCtrl;
class QCheckBox;
class QDateTimeEdit;
class QTreeWidget;
class QTreeWidgetItem;
namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class KX_EXPORT CkxListCtrlEdit : public kx::ReportList, public kx::InPlaceEditorHost {
    Q_OBJECT
public:
    // Editor kinds (the numbers of an attribute's edit way; 3 is not used).
    enum {
        CTRL_NONE = 0,
        CTRL_EDIT = 1,
        CTRL_COMBO = 2,
        CTRL_TREE = 4,
        CTRL_DATE = 5,
        CTRL_IP = 6,
        CTRL_CHECK = 7,
    };
    // The editors' control ids (their objectName, in decimal).
    enum {
        IDC_LCE_EDIT = 0x5000,
        IDC_LCE_COMBO = 0x5001,
        IDC_LCE_DATE = 0x5002,
        IDC_LCE_CHECK = 0x5003,
        IDC_LCE_IP = 0x5004,
        IDC_LCE_TREE = 0x5005,
    };
    // Notifications to the parent: wParam the control's id (objectName), lParam the column.
    static constexpr unsigned WM_LCE_CELLCLICK = kx::WM_USER + 200;   // 1224
    static constexpr unsigned WM_LCE_TEXTCHANGED = kx::WM_USER + 201; // 1225
    static constexpr unsigned WM_LCE_IPCHANGED = kx::WM_USER + 202;   // 1226

    // A drop-down entry: its text and the data a choice stores.
    struct _combo {
        std::string text;
        uint32_t data = 0;
    };
    // A tree entry: parent id -1 is the top level. `item` is the entry's node while the tree
    // editor shows this cell (null otherwise and for entries left out of the tree).
    struct _tree {
        std::string text;
        int id = -1;
        int parentId = -1;
        QTreeWidgetItem* item = nullptr;
    };
    // A cell record.
    struct _cell {
        int nRow = 0;
        int nCol = 0;
        int nCtrlType = CTRL_NONE; // editor kind
        int nEnable = 1;           // non-zero: a click shows the editor
        int nValueType = 0;        // how an edit-box text is taken: 1 integer, 2 float, else text
        int nEdited = 0;
        std::vector<_combo> arCombo;
        std::vector<_tree> lsTree;
        CkxValueSp value;
    };

    explicit CkxListCtrlEdit(QWidget* parent = nullptr);
    ~CkxListCtrlEdit() override;

    // --- Binding cells to editors (each returns the record, null when none could be made) ---
    // Creates the record (edited 0, empty value) or rewrites kind, enabled and value kind of the
    // existing one; either way its drop-down entries are emptied (tree entries and value stay).
    _cell* SetCellCtrl(int row, int column, int ctrlType, int enable, int valueType);
    _cell* SetCellCtrl_Edit(int row, int column, int valueType);
    _cell* SetCellCtrl_CobText(int row, int column);
    _cell* SetCellCtrl_Tree(int row, int column);
    _cell* SetCellCtrl_Date(int row, int column);
    _cell* SetCellCtrl_IP(int row, int column);
    _cell* SetCellCtrl_Check(int row, int column);
    // Appends a drop-down entry; nothing when the cell has no record.
    void LC_AddComboStr(int row, int column, const std::string& text, uint32_t data);
    // Kind 0 and no drop-down entries (a record is made when missing); DisableCell also clears
    // the cell.
    void DisableCell(int row, int column);
    void EnableCell(int row, int column);
    _cell* LC_Find(int row, int column) const;
    _cell* GetCurSelCell() const;
    int LC_IsEnableEdit(int row, int column) const;
    int IsCellCtrl_Edit(int row, int column) const;
    int IsCellCtrl_CobText(int row, int column) const;
    int IsCellCtrl_IP(int row, int column) const;
    int IsCellCtrl_Dt(int row, int column) const;
    int IsCellCtrl_Chk(int row, int column) const;

    // --- Values ---
    // Copies the value into the record, marks it edited and refreshes the shown text.
    void SetCellValue(int row, int column, const CkxValueSp& value);
    CkxValueSp GetCellValue(int row, int column) const;
    int GetCellValue_Int(int row, int column) const;
    float GetCellValue_Float(int row, int column) const;
    std::string GetCellValue_Str(int row, int column) const;
    COleDateTime GetCellValue_Dt(int row, int column) const;
    // Empties the shown text and voids the record's value.
    void ClearCell(int row, int column);
    // List text only, no record is touched: int "%d", float "%0.4f", a date "%d-%d-%d %d:%d:%d".
    using kx::ReportList::SetItemText;
    bool SetItemText(int row, int column, const std::string& text);
    bool SetItemText(int row, int column, const char* text);
    bool SetItemText(int row, int column, int value);
    bool SetItemText(int row, int column, float value);
    bool SetItemText(int row, int column, double value);
    bool SetItemText(int row, int column, const COleDateTime& value);

    // --- Edited marks ---
    int IsEdited() const;
    int IsEdited(int row) const;
    void DontEdited();
    void DontEdited(int row);

    // --- Rows and selection ---
    // Deletes the row and its records; the records below move up one row. An open editor is
    // written to its own cell first, or dropped when its own row goes.
    bool DeleteItem(int row);
    void DeleteAllItems();
    bool DeleteCurSelItem();
    int GetCurSelItem() const { return GetSelectedRow(); }
    // The first selected row's data, -1 when no row is selected.
    std::intptr_t GetCurSelItemData() const;
    int GetSelectCount() const { return GetSelectedCount(); }
    void SelectItem(int row);
    void SelectAllItem();
    // Every row's check box on, off or inverted.
    void SelectAll();
    void SelectNo();
    void SelectInvert();
    void SetStyle_Check();
    void SetStyle_FullRowSelect();

    // --- Hit testing (viewport coordinates) ---
    // The row under the point, -1 when no cell is there; sets the current cell.
    int HitTestEx(int x, int y);
    // The same into row and column, leaving the current cell alone; 1 on a cell, else 0.
    int GetHitCell(int x, int y, int& row, int& column) const;
    // 1 when the press being handled lies on the current cell or inside the last editor's
    // rectangle: the open editor then stays open. 0 when no press is being handled.
    int CheckHitLastCell() const;

    // --- Editors ---
    void CreateInsideCtrl();
    void DestroyInsideCtrl();
    // Writes the open editor back to its cell and closes it (a host dialog's pre-OK step).
    void CommitEdit();
    void CommitInPlaceEditor() override { CommitEdit(); }
    bool IsInPlaceEditorOpen() const override { return IsEditorOpen(); }

protected:
    // Called after a drop-down choice was stored, with the cell and the entry's data.
    virtual void _OnComboChange(int row, int column, uint32_t data);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // The current cell: the last cell a click hit (column -1 when it hit none).
    int m_nRow = -1;
    int m_nCol = -1;

private:
    QWidget* EditorOf(int ctrlType) const;
    QWidget* CurEditor() const { return EditorOf(m_nCurCtrl); }
    bool IsEditorOpen() const;
    bool IsInsideEditor(QWidget* w) const;
    void Notify(unsigned message, int column);

    _cell* BindKind(int row, int column, int ctrlType, const int* valueType);
    int HasKind(int row, int column, int ctrlType) const;
    // A left press or double click: the list's own handling, then the clicked cell's editor.
    void Press(QMouseEvent* event, bool doubleClick);
    void OpenAt(const QPoint& point);
    void PrepareCell();
    // Places and shows the current cell's editor; `fresh` after loading (the edit box's text
    // is then selected whole).
    void ShowEditor(bool fresh);
    void HideEditor();
    void LoadCombo(_cell& cell, const QString& text);
    void LoadTree(_cell& cell);
    void LoadDate(const QString& text);
    void LoadIP(const QString& text);

    void OnFocusChanged(QWidget* old, QWidget* now);
    void FlushFocusLoss();
    void EditorLostFocus();
    void CommitEditBox();
    void CommitCombo(int index);
    void CommitDate();
    void CommitTree();
    void CommitIP();
    void CommitCheck(bool checked);
    void Refresh(_cell& cell);

    void OnRowsAboutToBeRemoved(int first, int last);
    void OnRowsRemoved(int first, int last);
    void DropAllRecords();

    std::vector<std::unique_ptr<_cell>> m_cells; // in order of creation
    bool m_bCreated = false;
    int m_nCurCtrl = CTRL_NONE; // the editor bound to the current cell
    int m_nCanOpen = 0;
    QRect m_rcLast;             // the last shown editor's rectangle

    kx::Edit* m_edit = nullptr;
    kx::ComboBox* m_combo = nullptr;
    QDateTimeEdit* m_date = nullptr;
    QCheckBox* m_check = nullptr;
    CkxIPAddressCtrl* m_ip = nullptr;
    QTreeWidget* m_tree = nullptr;
    QMetaObject::Connection m_focusConnection;

    bool m_selfChange = false;        // the control moves its editors: their signals are not the user's
    bool m_focusLossPending = false;  // the editor lost the focus to a press on the list
    std::optional<QPoint> m_press;    // the press being handled, viewport coordinates
};
