// The two grids that edit attribute values of a file, one row per attribute definition, the
// value in column 2 edited in place with the attribute's own editor:
//   CkxwAttrValueListCtrl  a file's extended attributes with family and description; a cell
//                          opens only when the attribute's edit-enable flag is set, and its
//                          choices are the attribute's stored constants;
//   CkxwAttrNoteListCtrl   the attribute note dialog's grid: check boxes choose the rows to
//                          apply, every cell opens, and an attribute without stored constants
//                          draws its choices from its constant provider.
//
// Rows point to attributes the grids do not own. Their owner keeps them in a list of its own for
// as long as the rows exist, never in a process-wide list that a server message may change while
// the grid is open.
#pragma once

#include "ui/CkxListCtrlEdit.h"

class CkxAttr;
class CkxAttrValue;
class CkxAttrValueList;

class KX_EXPORT CkxwAttrValueListCtrl : public CkxListCtrlEdit {
    Q_OBJECT
public:
    enum { COL_NAME = 0, COL_TYPE, COL_VALUE, COL_FAMILY, COL_NOTE };

    explicit CkxwAttrValueListCtrl(QWidget* parent = nullptr);

    // Creates the editors and the five columns, once.
    void Init();
    // Appends a row for the attribute (not owned); nothing for null.
    void AddAttr(CkxAttr* attr);
    // Column 2 (or any column) takes the value's typed value; nothing for null.
    void SetAttrValue(int row, const CkxAttrValue* value);
    void SetCellValue(int row, int column, const CkxAttrValue* value);
    using CkxListCtrlEdit::SetCellValue;
    // 0 when the row has no attribute; else object id -1, the attribute id and column 2's value.
    int GetAttrValue(int row, CkxAttrValue& out) const;
    // Empties the list, then a value per row that yields one; the count.
    int GetAttrValueList(CkxAttrValueList& list) const;
    int GetAttrCount() const { return GetItemCount(); }
    CkxAttr* GetAttr(int row) const;

private:
    bool m_bInit = false;
};

class KX_EXPORT CkxwAttrNoteListCtrl : public CkxListCtrlEdit {
    Q_OBJECT
public:
    enum { COL_NAME = 0, COL_TYPE, COL_VALUE };

    explicit CkxwAttrNoteListCtrl(QWidget* parent = nullptr);

    // Editors (once), check boxes, full-row select, info tips and the three columns; the owner
    // calls it once.
    void InitCtrl();
    // Destroys the editors and every cell record.
    void FreeCtrl();
    // Appends a row for the attribute (not owned), and with a value shows it; nothing for a
    // null attribute.
    void AddAttr(CkxAttr* attr);
    void AddAttr(CkxAttr* attr, const CkxAttrValue* value);
    // 0 without attribute; else the attribute id and column 2's value (the object id stays).
    int GetAttrValue(int row, CkxAttrValue& out) const;
    int GetAttrValueList(CkxAttrValueList& list) const;
    // The same for the checked rows only.
    int GetCheckAttrValueList(CkxAttrValueList& list) const;
    CkxAttr* GetAttr(int row) const;

    // Binds the cell to the attribute's editor, always enabled; drop-down and tree choices come
    // from the stored constants, or else from the attribute's constant provider.
    void SetCellCtrl(int row, int column, const CkxAttr* attr);
    using CkxListCtrlEdit::SetCellCtrl;

private:
    int ValueList(CkxAttrValueList& list, bool checkedOnly) const;
    bool m_bColumns = false;
};
