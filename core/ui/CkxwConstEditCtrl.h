// CkxwConstEditCtrl: the editor of an attribute's constant list (the fixed choices of a drop-down
// or tree attribute), one constant per row: its value in the constant column, typed by the
// constant type, and its alias (the text shown instead of the value) in the alias column. The
// family attribute dialog sets the type, loads the constants, lets rows be added, removed and
// reordered, and reads the list back.
#pragma once

#include "ui/CkxListCtrlEdit.h"

#include <memory>
#include <string>
#include <vector>

class CkxConst;
class CkxConstList;

class KX_EXPORT CkxwConstEditCtrl : public CkxListCtrlEdit {
    Q_OBJECT
public:
    // Constant types.
    enum : uint8_t { CT_NONE = 0, CT_INT = 1, CT_FLOAT = 2, CT_DATE = 3, CT_STR = 4 };
    // Column roles.
    enum : uint8_t { ROLE_INDEX = 1, ROLE_CONST = 2, ROLE_ALIAS = 3 };

    // A column record.
    struct _col {
        int nIndex = 0;
        std::string strTitle;
        uint8_t nRole = 0;
        int nCtrlType = CTRL_NONE;
        int nEnable = 1;
    };

    explicit CkxwConstEditCtrl(QWidget* parent = nullptr);
    ~CkxwConstEditCtrl() override;

    // Creates the editors and clears; the owner calls it once.
    void Init();
    // Every row, cell record and column goes; the index column alone is put back.
    void Clear();

    uint8_t GetConstType() const { return m_nConstType; }
    bool IsConstTypeNull() const { return m_nConstType == CT_NONE; }
    bool IsConstTypeInt() const { return m_nConstType == CT_INT; }
    bool IsConstTypeFloat() const { return m_nConstType == CT_FLOAT; }
    bool IsConstTypeDate() const { return m_nConstType == CT_DATE; }
    bool IsConstTypeStr() const { return m_nConstType == CT_STR; }
    // By value kind: 1 integer, 2 float, 4 date-time, 8 text; any other kind changes nothing.
    void SetConstType(int valueKind);
    void SetConstType_Int();
    void SetConstType_Float();
    void SetConstType_Date();
    void SetConstType_Str();

    // An empty row (id -1).
    int cstAddVoid();
    int cstAdd(const CkxConst& c);
    void cstAdd(const CkxConstList& list);
    void cstUpdate(int row, const CkxConst& c);
    // The row's id, the constant cell's value and the alias cell's text.
    void cstGet(int row, CkxConst& c) const;
    // Empties the list, then a fresh constant per row, in order; the count.
    int cstGetAll(CkxConstList& list) const;
    // The first selected row changes places with the one above (below); nothing at the edges or
    // without a selection.
    void cstMoveUp();
    void cstMoveDown();

    int colGetCount() const { return static_cast<int>(m_cols.size()); }
    const _col* colGetIndex() const { return colGetRole(ROLE_INDEX); }
    const _col* colGetConst() const { return colGetRole(ROLE_CONST); }
    const _col* colGetAlias() const { return colGetRole(ROLE_ALIAS); }

    void SetItemEditWay(int row);
    void SetCellValue_Const(int row, const CkxConst& c);
    void SetCellValue_Alias(int row, const CkxConst& c);
    void GetCellValue_Const(int row, CkxConst& c) const;
    void GetCellValue_Alias(int row, CkxConst& c) const;

private:
    const _col* colGetRole(uint8_t role) const;
    void colAdd(const std::string& title, uint8_t role, int ctrlType, int width);
    void SetTyped(uint8_t type, const char* title, int ctrlType);
    // The value kind a constant cell takes for the constant type.
    int ConstValueKind() const;
    void SetCellEditWay(int row, const _col& col);
    void Swap(int row, int other);

    uint8_t m_nConstType = CT_NONE;
    std::vector<std::unique_ptr<_col>> m_cols;
};
