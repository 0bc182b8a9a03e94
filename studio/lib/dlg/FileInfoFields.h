// The controls that the dialogs editing a file's descriptive fields share, and how each is
// filled from the context's lists: the folder tree under "根目录", the author list under "未知",
// the picture formats, and the extended attributes of a family with a file's values.
#pragma once

#include "qt/KxComboBox.h"

#include <functional>

class CkxAttrList;
class CkxAttrValueList;
class CkxwAttrValueListCtrl;
class CxTreeCtrl;

namespace fileinfo {

inline constexpr const char* kRootName = "根目录";
inline constexpr const char* kUnknownAuthor = "未知";

// A drop-down list that runs `onDropDown` each time it opens (the author list is rebuilt then,
// so persons added meanwhile show).
class DropDownCombo : public kx::ComboBox {
public:
    using kx::ComboBox::ComboBox;
    std::function<void()> onDropDown;
    void showPopup() override {
        if (onDropDown) onDropDown();
        kx::ComboBox::showPopup();
    }
};

// The root item "根目录" (data -1) with the folders the current user may read under it, expanded.
void FillFolderTree(CxTreeCtrl* tree);
// "未知" (data -1), then every person (data its id).
void FillAuthors(kx::ComboBox* combo);
// Every picture format but the first row ("all formats"): its name, data its format id.
void FillFormats(kx::ComboBox* combo);
// Empties the grid and `owned`; unless the family is a root family, one row per extended
// attribute of the family (its own and inherited, copies kept in `owned`), each showing the
// value of the same attribute in `values` when given.
void FillFamilyAttrs(CkxwAttrValueListCtrl* grid, CkxAttrList& owned, int familyId, const CkxAttrValueList* values);

} // namespace fileinfo
