#include "dlg/FileInfoFields.h"

#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CxTreeCtrl.h"

#include <vector>

namespace fileinfo {

namespace {
constexpr int kFolderBitmap = 193;
}

void FillFolderTree(CxTreeCtrl* tree) {
    tree->DeleteAllItems();
    kx::ImageList images(16, 16);
    images.LoadBitmap(kFolderBitmap);
    tree->SetImageList(images);
    HTREEITEM root = tree->InsertItem(QString::fromUtf8(kRootName), 0, 0);
    tree->SetItemData(root, -1);
    CkxXXX::NodeList readable;
    KX_KXXXX().fsGetDir_CanRead(readable);
    if (!readable.empty()) tree->AddToRoot(root, readable, 2, 3);
    tree->Expand(root, TVE_EXPAND);
}

void FillAuthors(kx::ComboBox* combo) {
    combo->ResetContent();
    combo->AddString(QString::fromUtf8(kUnknownAuthor), -1);
    KX_KXXXX().m_PersonList.ForEach(
        [&](const CkxPerson& p) { combo->AddString(QString::fromStdString(p.m_strName), p.GetID()); });
}

void FillFormats(kx::ComboBox* combo) {
    combo->ResetContent();
    const auto& formats = KX_KXXXX().m_ImageTool.GetImageFormats();
    for (size_t i = 1; i < formats.size(); ++i) combo->AddString(QString::fromStdString(formats[i].name), formats[i].kxID);
}

void FillFamilyAttrs(CkxwAttrValueListCtrl* grid, CkxAttrList& owned, int familyId, const CkxAttrValueList* values) {
    grid->CommitEdit();
    grid->DeleteAllItems();
    owned.DeleteAll();
    if (CkxFamilyXXX::family_IsRoot(familyId)) return;
    if (KX_FamilyXXX().attr_GetFamilyAllExAttr(familyId, owned) <= 0) return;
    std::vector<CkxAttr*> rows;
    owned.ForEach([&](const CkxAttr& a) { rows.push_back(const_cast<CkxAttr*>(&a)); });
    for (CkxAttr* a : rows) grid->AddAttr(a);
    if (!values) return;
    for (int row = 0; row < grid->GetAttrCount(); ++row) {
        const CkxAttr* attr = grid->GetAttr(row);
        if (!attr) continue;
        const CkxAttrValue* found = nullptr;
        values->ForEach([&](const CkxAttrValue& v) {
            if (!found && v.GetAttrID() == attr->GetID()) found = &v;
        });
        if (found) grid->SetAttrValue(row, found);
    }
}

} // namespace fileinfo
