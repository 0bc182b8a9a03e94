// CkxAttrListCtrl: the grid in which a user states query conditions on the attributes of a
// family: one row per attribute definition, an operator drop-down fitting its data type and one
// or two value cells edited with the attribute's own editor. Rows turn into query operands
// (GetOperandList) and stored operands are shown again (SetOperand).
//
// Rows point to attributes the grid does not own. Their owner keeps them in a list of its own for
// as long as the rows exist, never in a process-wide list that a server message may change while
// the grid is open.
#pragma once

#include "ui/CkxListCtrlEdit.h"

#include <string>
#include <vector>

class CkxAttr;
class CkxQueryOperand;
class CkxQueryOperandList;

namespace kx {
// Binds one value cell of an attribute grid to the attribute's editor: its edit way as editor
// kind, `enabled`, its data type as value kind, and for a drop-down one entry per stored
// constant (display text, constant id). The cell keeps its value.
KX_EXPORT void BindAttrValueCell(CkxListCtrlEdit& grid, int row, int column, const CkxAttr& attr, int enabled);
// Adds the attribute's choices to a bound cell: its stored constants, or else (with
// `askProvider`) what its constant provider gives now; fewer than one gives none. A drop-down
// gets one entry per constant (display text, id); a tree cell, with `withTree`, one tree entry per
// constant (text, id, parent id) in place of its entries.
KX_EXPORT void AddAttrChoices(CkxListCtrlEdit& grid, int row, int column, const CkxAttr& attr, bool askProvider,
                              bool withTree);
// The name of an attribute's family in the family registry, empty when it knows none.
KX_EXPORT std::string AttrFamilyName(const CkxAttr& attr);
} // namespace kx

class KX_EXPORT CkxAttrListCtrl : public CkxListCtrlEdit {
    Q_OBJECT
public:
    enum { COL_NAME = 0, COL_TYPE, COL_OPERATOR, COL_VALUE1, COL_VALUE2, COL_FAMILY, COL_NOTE };

    explicit CkxAttrListCtrl(QWidget* parent = nullptr);

    // Creates the editors and the seven columns, once.
    void InitCtrl();
    // Appends a row for the attribute (not owned); its index, or -1 for null.
    int AddAttr(CkxAttr* attr);
    CkxAttr* GetAttr(int row) const;

    // 1 when the row yields an operand (written into `out`), else 0.
    int GetOperand(int row, CkxQueryOperand& out) const;
    // Empties the list, then appends every row's operand in row order; the count.
    int GetOperandList(CkxQueryOperandList& list) const;
    // Shows the operand in every row whose attribute id is its column id; nothing for null.
    void SetOperand(const CkxQueryOperand* operand);

    // Binds a value cell to the attribute's editor (its edit-enable flag as enabled).
    void SetValueEditWay(int row, int column, const CkxAttr* attr);
    void SetCell_EditWay(int row, int column, int ctrlType, int valueType);
    // The same for columns 2 and 3.
    void SetItem_EditWay(int row, int ctrlType, int valueType);

    // Stored for the hosts; the grid itself does not read it (a host disables the whole grid
    // window when conditions may not be edited).
    void EnableEdit(int enable) { m_nEnableEdit = enable; }
    int IsEnableEdit() const { return m_nEnableEdit; }

    // The operator's display name; empty for 0 and any unknown code.
    static std::string OperatorName(int code);
    // The operator codes offered for a data type, in drop-down order.
    static std::vector<int> OperatorsFor(int dataType);

protected:
    void _OnComboChange(int row, int column, uint32_t data) override;

private:
    // Binds columns 3 and 4 of the row for the operator code with the attribute.
    void UpdateValueCellEditWay(int row, int code, const CkxAttr* attr);
    // Whether a value read from a cell may stand in an operand.
    static bool IsUsableValue(const CkxValueSp& v);

    bool m_bInit = false;
    int m_nEnableEdit = 0;
};
