#include "ui/CkxwAttrValueListCtrl.h"

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "ui/CkxAttrListCtrl.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

CkxAttr* RowAttr(const CkxListCtrlEdit& grid, int row) {
    if (row < 0 || row >= grid.GetItemCount()) return nullptr;
    return reinterpret_cast<CkxAttr*>(grid.GetItemData(row));
}

} // namespace

// ---- CkxwAttrValueListCtrl ----

CkxwAttrValueListCtrl::CkxwAttrValueListCtrl(QWidget* parent) : CkxListCtrlEdit(parent) { Init(); }

void CkxwAttrValueListCtrl::Init() {
    if (m_bInit) return;
    CreateInsideCtrl();
    const struct {
        const char* title;
        int width;
    } columns[] = {{"属性名称", 80}, {"数据类型", 70}, {"属性值", 110}, {"文件族类", 80}, {"描述", 150}};
    int i = 0;
    for (const auto& c : columns) InsertColumn(i++, QString::fromUtf8(c.title), kx::LVCFMT_LEFT, c.width);
    m_bInit = true;
}

void CkxwAttrValueListCtrl::AddAttr(CkxAttr* attr) {
    if (!attr) return;
    const int row = InsertItem(GetItemCount(), Q(attr->m_strName));
    if (row < 0) return;
    SetItemText(row, COL_TYPE, attr->GetDataTypeStr());
    kx::BindAttrValueCell(*this, row, COL_VALUE, *attr, attr->m_nFlag);
    SetItemText(row, COL_FAMILY, kx::AttrFamilyName(*attr));
    SetItemText(row, COL_NOTE, attr->m_strNote);
    SetItemData(row, reinterpret_cast<std::intptr_t>(attr));
}

void CkxwAttrValueListCtrl::SetAttrValue(int row, const CkxAttrValue* value) { SetCellValue(row, COL_VALUE, value); }

void CkxwAttrValueListCtrl::SetCellValue(int row, int column, const CkxAttrValue* value) {
    if (value) CkxListCtrlEdit::SetCellValue(row, column, value->m_Value);
}

CkxAttr* CkxwAttrValueListCtrl::GetAttr(int row) const { return RowAttr(*this, row); }

int CkxwAttrValueListCtrl::GetAttrValue(int row, CkxAttrValue& out) const {
    const CkxAttr* attr = GetAttr(row);
    if (!attr) return 0;
    out.SetObjID(-1);
    out.SetAttrID(attr->GetID());
    out.m_Value = GetCellValue(row, COL_VALUE);
    return 1;
}

int CkxwAttrValueListCtrl::GetAttrValueList(CkxAttrValueList& list) const {
    list.DeleteAll();
    for (int row = 0; row < GetItemCount(); ++row) {
        CkxAttrValue v;
        if (GetAttrValue(row, v)) list.AddTail(v);
    }
    return list.GetCount();
}

// ---- CkxwAttrNoteListCtrl ----

CkxwAttrNoteListCtrl::CkxwAttrNoteListCtrl(QWidget* parent) : CkxListCtrlEdit(parent) {}

void CkxwAttrNoteListCtrl::InitCtrl() {
    CreateInsideCtrl();
    if (m_bColumns) return;
    SetCheckBoxes(true);
    SetFullRowSelect(true);
    SetInfoTip(true);
    InsertColumn(COL_NAME, QString::fromUtf8("属性名称"), kx::LVCFMT_LEFT, 120);
    InsertColumn(COL_TYPE, QString::fromUtf8("数据类型"), kx::LVCFMT_LEFT, 70);
    InsertColumn(COL_VALUE, QString::fromUtf8("属性值"), kx::LVCFMT_LEFT, 200);
    m_bColumns = true;
}

void CkxwAttrNoteListCtrl::FreeCtrl() {
    DeleteAllItems(); // the cell records go with their rows
    DestroyInsideCtrl();
}

void CkxwAttrNoteListCtrl::SetCellCtrl(int row, int column, const CkxAttr* attr) {
    if (!attr) return;
    if (!CkxListCtrlEdit::SetCellCtrl(row, column, attr->m_nEditWay, 1, attr->m_nDataType)) return;
    kx::AddAttrChoices(*this, row, column, *attr, true, true);
}

void CkxwAttrNoteListCtrl::AddAttr(CkxAttr* attr) { AddAttr(attr, nullptr); }

void CkxwAttrNoteListCtrl::AddAttr(CkxAttr* attr, const CkxAttrValue* value) {
    if (!attr) return;
    const int row = InsertItem(GetItemCount(), Q(attr->m_strName));
    if (row < 0) return;
    SetItemText(row, COL_TYPE, attr->GetDataTypeStr());
    SetCellCtrl(row, COL_VALUE, attr);
    if (value) SetCellValue(row, COL_VALUE, value->m_Value);
    SetItemData(row, reinterpret_cast<std::intptr_t>(attr));
}

CkxAttr* CkxwAttrNoteListCtrl::GetAttr(int row) const { return RowAttr(*this, row); }

int CkxwAttrNoteListCtrl::GetAttrValue(int row, CkxAttrValue& out) const {
    const CkxAttr* attr = GetAttr(row);
    if (!attr) return 0;
    out.SetAttrID(attr->GetID());
    out.m_Value = GetCellValue(row, COL_VALUE);
    return 1;
}

int CkxwAttrNoteListCtrl::ValueList(CkxAttrValueList& list, bool checkedOnly) const {
    list.DeleteAll();
    for (int row = 0; row < GetItemCount(); ++row) {
        if (checkedOnly && !GetCheck(row)) continue;
        CkxAttrValue v;
        if (GetAttrValue(row, v)) list.AddTail(v);
    }
    return list.GetCount();
}

int CkxwAttrNoteListCtrl::GetAttrValueList(CkxAttrValueList& list) const { return ValueList(list, false); }

int CkxwAttrNoteListCtrl::GetCheckAttrValueList(CkxAttrValueList& list) const { return ValueList(list, true); }
