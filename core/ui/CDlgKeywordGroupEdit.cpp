#include "ui/CDlgKeywordGroupEdit.h"

namespace {
const kx::NameNoteTexts kTexts{"关键字分组", "分组信息", kx::kNameEmpty, kx::kNameTooLong};
} // namespace

CDlgKeywordGroupEdit::CDlgKeywordGroupEdit(QWidget* parent) : kx::NameNoteDlg<CkxKeywordGroup>(kTexts, true, parent) {}

int KX_ShowDlg_KeywordGroupEdit(int newFlag, CkxKeywordGroup& entity) {
    return kx::ShowEntityDlg<CDlgKeywordGroupEdit>(newFlag, entity);
}
