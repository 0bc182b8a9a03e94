#include "ui/CDlgKeywordEdit.h"

namespace {
const kx::NameNoteTexts kTexts{"关键字", "关键字信息", "关键字不能为空", "关键字长度不能超过50个字母"};
} // namespace

CDlgKeywordEdit::CDlgKeywordEdit(QWidget* parent) : kx::NameNoteDlg<CkxKeyword>(kTexts, true, parent) {}

int KX_ShowDlg_KeywordEdit(int newFlag, CkxKeyword& entity) {
    return kx::ShowEntityDlg<CDlgKeywordEdit>(newFlag, entity);
}
