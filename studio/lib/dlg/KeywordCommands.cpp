#include "dlg/KeywordCommands.h"

#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgKeywordEdit.h"
#include "ui/CDlgKeywordGroupEdit.h"

namespace keywordcmd {

bool MayOperate(const CStudioLink& link) { return KX_KXXXX().usHasPower_KeywordOperate(link.GetCurrentUserId()) != 0; }

std::string DeleteKeywordQuestion(const std::string& name) { return "确定删除关键字 \"" + name + "\""; }
std::string DeleteGroupQuestion(const std::string& name) { return "确定删除关键字分组 \"" + name + "\""; }

void NewKeyword(QWidget*, CStudioLink& link, int groupId) {
    if (!MayOperate(link)) return;
    CkxKeyword keyword;
    // The group selected where the command was given: otherwise no keyword could join a group.
    keyword.m_nGroupID = groupId;
    if (KX_ShowDlg_KeywordEdit(1, keyword)) link.SendKeywordAddRequest(keyword);
}

void ModifyKeyword(QWidget*, CStudioLink& link, int keywordId) {
    const CkxKeyword* stored = KX_KXXXX().m_KeywordList.Find(keywordId);
    if (!stored || !MayOperate(link)) return;
    CkxKeyword copy = *stored;
    if (KX_ShowDlg_KeywordEdit(0, copy)) link.SendKeywordModifyRequest(copy);
}

void DeleteKeyword(QWidget* parent, CStudioLink& link, int keywordId) {
    const CkxKeyword* stored = KX_KXXXX().m_KeywordList.Find(keywordId);
    if (!stored || !MayOperate(link)) return;
    const int id = stored->GetID();
    if (kx::Prompt(parent, DeleteKeywordQuestion(stored->m_strName), kx::PromptOkCancel, kx::PromptQuestion) ==
        kx::AnswerOk)
        link.SendKeywordDeleteRequest(id);
}

void NewGroup(QWidget*, CStudioLink& link) {
    if (!MayOperate(link)) return;
    CkxKeywordGroup group;
    if (KX_ShowDlg_KeywordGroupEdit(1, group)) link.SendKeywordGroupAddRequest(group);
}

void ModifyGroup(QWidget*, CStudioLink& link, int groupId) {
    const CkxKeywordGroup* stored = KX_KXXXX().m_KeywordGroupList.Find(groupId);
    if (!stored || !MayOperate(link)) return;
    CkxKeywordGroup copy = *stored;
    if (KX_ShowDlg_KeywordGroupEdit(0, copy)) link.SendKeywordGroupModifyRequest(copy);
}

void DeleteGroup(QWidget* parent, CStudioLink& link, int groupId) {
    const CkxKeywordGroup* stored = KX_KXXXX().m_KeywordGroupList.Find(groupId);
    if (!stored || !MayOperate(link)) return;
    const int id = stored->GetID();
    if (kx::Prompt(parent, DeleteGroupQuestion(stored->m_strName), kx::PromptOkCancel, kx::PromptQuestion) ==
        kx::AnswerOk)
        link.SendKeywordGroupDeleteRequest(id);
}

} // namespace keywordcmd
