#include "ui/CDlgDataTagEdit.h"

namespace {
const kx::NameNoteTexts kTexts{"修改书签", "书签信息", kx::kNameEmpty, kx::kNameTooLong};
} // namespace

CDlgDataTagEdit::CDlgDataTagEdit(QWidget* parent) : kx::NameNoteDlg<CkxDataTag>(kTexts, false, parent) {}

int KX_ShowDlg_FileTagEdit(CkxDataTag& entity) {
    return kx::ShowEntityDlg<CDlgDataTagEdit>(entity);
}
