// CkxwFamilyFileListCtrl: files of one family as rows and the family's extended attributes as
// columns, so that the attribute values of many files are entered in one grid, each cell edited
// with its attribute's editor. The batch note dialogs and the studio's batch annotation view
// choose the attributes (SelectFamily), add the files and read each file's values back.
// Choices come from the family registry's definitions; the control keeps no attribute.
#pragma once

#include "ui/CkxListCtrlEdit.h"

#include <memory>
#include <string>
#include <vector>

class CkxAttr;
class CkxAttrValueList;
class CkxFile;

class KX_EXPORT CkxwFamilyFileListCtrl : public CkxListCtrlEdit {
    Q_OBJECT
public:
    // Column roles.
    enum : uint8_t { ROLE_OTHER = 0, ROLE_SERIAL = 1, ROLE_ATTR = 16 };

    struct _col {
        int nIndex = 0;
        std::string strTitle;
        uint8_t nRole = ROLE_OTHER;
        int nAttrID = -1;
        int nCtrlType = CTRL_NONE;
        int nEnable = 1;
    };

    explicit CkxwFamilyFileListCtrl(QWidget* parent = nullptr);
    ~CkxwFamilyFileListCtrl() override;

    void InitCtrl();
    void FreeCtrl();
    // Rows, cell records and columns go; the serial-number column "序号" is put back.
    void Clear();
    // Clear, then one attribute column per attribute, in order.
    void SelectFamily(const std::vector<CkxAttr*>& attrs);
    // Appends a column of role 0; its index.
    int colAdd(const std::string& title, int ctrlType, int enable, int width);

    // Appends a row for the file (nothing for null): its number, the file id as item data,
    // every cell bound; with `fill`, the file's own values go into the cells (loading is not
    // editing: the cells are not marked edited).
    void AddFile(const CkxFile* file, int fill);
    // Each value into the cell of its attribute's column (others ignored), marked edited.
    void SetFileAttrValue(int row, const CkxAttrValueList& values);
    // Empties the list, then per attribute column the row's value (object id = file id); columns
    // whose attribute the registry does not know are skipped. The count.
    int GetFileAttrValue(int row, CkxAttrValueList& values) const;
    void UpdateFileName(int fileId, const std::string& name);
    int GetFileItem(int fileId) const;
    // Deletes the first row holding the file id.
    void DeleteFileA(int fileId);
    // The selected row's file id; 0 when no row is selected.
    std::intptr_t GetCurSelItemData() const;
    int GetItemFileID(int row) const;

    // The number of attribute columns.
    int IsHasAttrCol() const { return colGetAttrColCount(); }
    int colGetCount() const { return static_cast<int>(m_cols.size()); }
    int colGetAttrColCount() const;
    const _col* colGetCol_AttrID(int attrId) const;
    const _col* colGetCol_Index(int index) const;

    void SetItemEditWay(int row);
    void SetItemEditWay();

    // The width of an attribute's column: the larger of the width by data type and the width
    // by the name's length in GBK bytes; a tree attribute at least 150.
    static int ColumnWidth(const CkxAttr& attr);

private:
    void colAddRecord(std::unique_ptr<_col> col, int width);
    void SetCellEditWay(int row, const _col& col);

    std::vector<std::unique_ptr<_col>> m_cols;
};
