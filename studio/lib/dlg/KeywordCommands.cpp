#include "dlg/KeywordCommands.h"

#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgKeywordEdit.h"
#include "ui/CDlgKeywordGroupEdit.h"

#include <vector>

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

kx::PopupMenu* Popup(QWidget* parent, int index, bool mayOperate) {
    struct Entry {
        int id; // 0: a separator
        const char* text;
    };
    static const std::vector<Entry> kPopups[5] = {
        {{ID_KEYWORD_NEW, "新建关键字"}},
        {{ID_KEYWORD_NEW, "新建关键字"}, {ID_KEYWORD_MODIFY, "修改关键字"}, {0, ""}, {ID_KEYWORD_DELETE, "删除关键字"}},
        {{ID_KEYWORD_MODIFY, "修改关键字"}, {0, ""}, {ID_KEYWORD_DELETE, "删除关键字"}},
        {{ID_GROUP_NEW, "新建分组"}},
        {{ID_KEYWORD_NEW, "新建关键字"}, {0, ""}, {ID_GROUP_MODIFY, "修改分组"}, {0, ""}, {ID_GROUP_DELETE, "删除分组"}},
    };
    if (index < 0 || index > 4) return nullptr;
    auto* menu = new kx::PopupMenu(parent);
    for (const Entry& e : kPopups[index]) {
        if (e.id == 0) {
            menu->AppendSeparator();
            continue;
        }
        menu->AppendMenu(QString::fromUtf8(e.text), e.id);
        menu->EnableMenuItem(e.id, mayOperate); // the server refuses changes to a user without the power
    }
    return menu;
}

void Run(QWidget* parent, CStudioLink& link, int command, int group, int keyword) {
    switch (command) {
    // A new keyword joins the selected group; at the root it has none.
    case ID_KEYWORD_NEW: return NewKeyword(parent, link, group > 0 ? group : -1);
    case ID_KEYWORD_MODIFY: return ModifyKeyword(parent, link, keyword);
    case ID_KEYWORD_DELETE: return DeleteKeyword(parent, link, keyword);
    case ID_GROUP_NEW:
        if (group == 0) NewGroup(parent, link);
        return;
    case ID_GROUP_MODIFY:
        if (group > 0) ModifyGroup(parent, link, group);
        return;
    case ID_GROUP_DELETE:
        if (group > 0) DeleteGroup(parent, link, group);
        return;
    default: return;
    }
}

} // namespace keywordcmd
