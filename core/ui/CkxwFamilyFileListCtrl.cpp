#include "ui/CkxwFamilyFileListCtrl.h"

#include "base/Gbk.h"
#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFile.h"
#include "model/CkxXXX.h"
#include "ui/CkxAttrListCtrl.h"

#include <algorithm>

CkxwFamilyFileListCtrl::CkxwFamilyFileListCtrl(QWidget* parent) : CkxListCtrlEdit(parent) { InitCtrl(); }

CkxwFamilyFileListCtrl::~CkxwFamilyFileListCtrl() = default;

void CkxwFamilyFileListCtrl::InitCtrl() {
    CreateInsideCtrl();
    Clear();
}

void CkxwFamilyFileListCtrl::FreeCtrl() {
    DestroyInsideCtrl();
    Clear();
}

void CkxwFamilyFileListCtrl::Clear() {
    DeleteAllItems();
    m_cols.clear();
    while (GetColumnCount() > 0) DeleteColumn(0);
    auto serial = std::make_unique<_col>();
    serial->strTitle = "序号";
    serial->nRole = ROLE_SERIAL;
    colAddRecord(std::move(serial), 60);
}

void CkxwFamilyFileListCtrl::colAddRecord(std::unique_ptr<_col> col, int width) {
    col->nIndex = static_cast<int>(m_cols.size());
    InsertColumn(col->nIndex, QString::fromStdString(col->strTitle), kx::LVCFMT_LEFT, width);
    m_cols.push_back(std::move(col));
}

int CkxwFamilyFileListCtrl::colAdd(const std::string& title, int ctrlType, int enable, int width) {
    auto col = std::make_unique<_col>();
    col->strTitle = title;
    col->nCtrlType = ctrlType;
    col->nEnable = enable;
    const int index = static_cast<int>(m_cols.size());
    colAddRecord(std::move(col), width);
    return index;
}

int CkxwFamilyFileListCtrl::ColumnWidth(const CkxAttr& attr) {
    int byType = 80;
    switch (attr.m_nDataType) {
    case KXT_INT: byType = 60; break;
    case KXT_FLOAT: byType = 70; break;
    case KXT_DATE: byType = 130; break;
    case KXT_STR: byType = 100; break;
    default: break;
    }
    // Two GBK bytes (one Chinese character) per step.
    static const int kByName[] = {25, 25, 37, 48, 60, 73, 85, 97, 109, 120, 135, 150, 163, 178, 192, 207, 222};
    const int bytes = static_cast<int>(kx::GbkLength(attr.m_strName));
    const int byName = bytes < 4 ? 25 : bytes <= 33 ? kByName[bytes / 2] : 222 + 14 * ((bytes - 32) / 2);
    int width = std::max(byType, byName);
    if (attr.m_nEditWay == KXE_TREE) width = std::max(width, 150);
    return width;
}

void CkxwFamilyFileListCtrl::SelectFamily(const std::vector<CkxAttr*>& attrs) {
    Clear();
    for (const CkxAttr* a : attrs) {
        if (!a) continue;
        auto col = std::make_unique<_col>();
        col->strTitle = a->m_strName;
        col->nRole = ROLE_ATTR;
        col->nAttrID = a->GetID();
        col->nCtrlType = a->m_nEditWay;
        col->nEnable = a->m_nFlag;
        colAddRecord(std::move(col), ColumnWidth(*a));
    }
}

int CkxwFamilyFileListCtrl::colGetAttrColCount() const {
    return static_cast<int>(std::count_if(m_cols.begin(), m_cols.end(),
                                          [](const auto& c) { return c->nRole == ROLE_ATTR && c->nAttrID >= 0; }));
}

const CkxwFamilyFileListCtrl::_col* CkxwFamilyFileListCtrl::colGetCol_AttrID(int attrId) const {
    for (const auto& c : m_cols)
        if (c->nAttrID == attrId) return c.get();
    return nullptr;
}

const CkxwFamilyFileListCtrl::_col* CkxwFamilyFileListCtrl::colGetCol_Index(int index) const {
    for (const auto& c : m_cols)
        if (c->nIndex == index) return c.get();
    return nullptr;
}

void CkxwFamilyFileListCtrl::SetCellEditWay(int row, const _col& col) {
    const CkxAttr* attr = col.nAttrID >= 0 ? KX_FamilyXXX().attr_Find(col.nAttrID) : nullptr;
    if (!SetCellCtrl(row, col.nIndex, col.nCtrlType, col.nEnable, attr ? attr->m_nDataType : 0)) return;
    if (attr) kx::AddAttrChoices(*this, row, col.nIndex, *attr, true, true);
}

void CkxwFamilyFileListCtrl::SetItemEditWay(int row) {
    for (const auto& c : m_cols) SetCellEditWay(row, *c);
}

void CkxwFamilyFileListCtrl::SetItemEditWay() {
    for (int row = 0; row < GetItemCount(); ++row) SetItemEditWay(row);
}

void CkxwFamilyFileListCtrl::AddFile(const CkxFile* file, int fill) {
    if (!file) return;
    const int number = GetItemCount() + 1;
    const int row = InsertItem(GetItemCount(), QString::number(number));
    if (row < 0) return;
    SetItemData(row, file->GetID());
    SetItemEditWay(row);
    if (!fill) return;
    for (const auto& c : m_cols) {
        if (c->nRole != ROLE_ATTR || c->nAttrID < 0) continue;
        CkxAttrValue v;
        if (!file->GetAttrValue(c->nAttrID, v)) continue;
        SetCellValue(row, c->nIndex, v.m_Value);
    }
    // What was loaded is the file's own state, not an edit.
    DontEdited(row);
}

void CkxwFamilyFileListCtrl::SetFileAttrValue(int row, const CkxAttrValueList& values) {
    values.ForEach([&](const CkxAttrValue& v) {
        if (const _col* c = colGetCol_AttrID(v.GetAttrID())) SetCellValue(row, c->nIndex, v.m_Value);
    });
}

int CkxwFamilyFileListCtrl::GetFileAttrValue(int row, CkxAttrValueList& values) const {
    values.DeleteAll();
    const int fileId = GetItemFileID(row);
    for (const auto& c : m_cols) {
        if (c->nRole != ROLE_ATTR || c->nAttrID < 0) continue;
        if (!KX_FamilyXXX().attr_Find(c->nAttrID)) continue;
        CkxAttrValue v(fileId, c->nAttrID);
        v.m_Value = GetCellValue(row, c->nIndex);
        values.AddTail(v);
    }
    return values.GetCount();
}

void CkxwFamilyFileListCtrl::UpdateFileName(int fileId, const std::string& name) {
    const int row = GetFileItem(fileId);
    if (row >= 0) SetItemText(row, 0, name);
}

int CkxwFamilyFileListCtrl::GetFileItem(int fileId) const {
    for (int row = 0; row < GetItemCount(); ++row)
        if (GetItemData(row) == fileId) return row;
    return -1;
}

void CkxwFamilyFileListCtrl::DeleteFileA(int fileId) {
    const int row = GetFileItem(fileId);
    if (row >= 0) DeleteItem(row);
}

std::intptr_t CkxwFamilyFileListCtrl::GetCurSelItemData() const {
    const int row = GetCurSelItem();
    return row < 0 ? 0 : GetItemData(row);
}

int CkxwFamilyFileListCtrl::GetItemFileID(int row) const {
    if (row < 0 || row >= GetItemCount()) return -1;
    return static_cast<int>(GetItemData(row));
}
