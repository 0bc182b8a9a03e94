#include "ui/CDlgDataShareEdit.h"

namespace {
const kx::NameNoteTexts kTexts{"修改共享", "共享信息", kx::kNameEmpty, kx::kNameTooLong};
} // namespace

CDlgDataShareEdit::CDlgDataShareEdit(QWidget* parent) : kx::NameNoteDlg<CkxDataShare>(kTexts, false, parent) {}

int KX_ShowDlg_FileShareEdit(CkxDataShare& entity) {
    return kx::ShowEntityDlg<CDlgDataShareEdit>(entity);
}
