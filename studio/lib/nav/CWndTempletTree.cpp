#include "nav/CWndTempletTree.h"

#include "app/CvClientApp.h"
#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgDataTagEdit.h"
#include "ui/CDlgQueryTempletEdit.h"

namespace {

// The name of a cached template or bookmark, or nothing.
const std::string* NameOf(int id, bool templets) {
    if (templets) {
        const CkxQueryTemplet* t = KX_QueryTempletList().Find(id);
        return t ? &t->m_strName : nullptr;
    }
    const CkxDataTag* tag = KX_KXXXX().m_DataTagList.Find(id);
    return tag ? &tag->m_strName : nullptr;
}

} // namespace

CWndTempletTree::CWndTempletTree(CStudioLink& link, QWidget* parent) : kx::TreeCtrl(parent), m_link(link), m_menu(this) {
    setObjectName("CWndTempletTree");
    m_templets = InsertItem(QStringLiteral("查询模板"), 3, 4);
    m_tags = InsertItem(QStringLiteral("文件书签"), 3, 4);
    link.Register(kSlotTemplates, this);
    ConnectContextMenu(this);
    connect(this, &kx::TreeCtrl::ItemDoubleClicked, this, [this](HTREEITEM item) {
        if (item && GetParentItem(item) == m_tags) {
            SelectItem(item);
            OnCommand(ID_TAG_BROWSE);
        }
    });
}

HTREEITEM CWndTempletTree::FindChild(HTREEITEM group, int id) const {
    for (HTREEITEM child = GetChildItem(group); child; child = GetNextSiblingItem(child))
        if (GetItemData(child) == id) return child;
    return nullptr;
}

void CWndTempletTree::Fill(HTREEITEM group, bool templets) {
    // A reload shows the cache anew, never on top of what is shown.
    while (HTREEITEM child = GetChildItem(group)) DeleteItem(child);
    auto add = [&](int id, const std::string& name) {
        const HTREEITEM item = InsertItem(QString::fromStdString(name), templets ? 5 : 9, templets ? 6 : 10, group);
        SetItemData(item, id);
    };
    if (templets) KX_QueryTempletList().ForEach([&](const CkxQueryTemplet& t) { add(t.GetID(), t.m_strName); });
    else KX_KXXXX().m_DataTagList.ForEach([&](const CkxDataTag& t) { add(t.GetID(), t.m_strName); });
    Expand(group, TVE_EXPAND);
}

void CWndTempletTree::Apply(HTREEITEM group, int notice, int id, bool templets) {
    const std::string* name = NameOf(id, templets);
    HTREEITEM item = FindChild(group, id);
    switch (notice) {
    case 0: Fill(group, templets); break;
    case 1:
    case 2:
        if (!name) break;
        if (item) SetItemText(item, QString::fromStdString(*name));
        else if (notice == 1) {
            item = InsertItem(QString::fromStdString(*name), templets ? 5 : 9, templets ? 6 : 10, group);
            SetItemData(item, id);
            Expand(group, TVE_EXPAND);
        }
        break;
    case 3:
        while ((item = FindChild(group, id))) DeleteItem(item);
        break;
    default: break;
    }
}

kx::LRESULT CWndTempletTree::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return 0;
    const int code = static_cast<int>(wParam), id = static_cast<int>(lParam);
    if (code >= kNoticeReload && code <= kNoticeRemoved) Apply(m_templets, code - kNoticeReload, id, true);
    else if (code >= kNoticeTagReload && code <= kNoticeTagRemoved) Apply(m_tags, code - kNoticeTagReload, id, false);
    // Shares and attribute templates have no group here.
    return 1;
}

kx::PopupMenu* CWndTempletTree::BuildMenu() {
    const HTREEITEM item = GetSelectedItem();
    if (!item) return nullptr;
    if (item == m_templets) return m_menu.Make({{ID_NEW, "新建模板", true}});
    const HTREEITEM group = GetParentItem(item);
    if (group == m_templets)
        return m_menu.Make({{ID_QUERY, "查询文件", true},
                            {ID_VIEW, "查看模板", true},
                            {0, "", false},
                            {ID_NEW, "新建模板", true},
                            {ID_MODIFY, "修改模板", true},
                            {ID_DELETE, "删除模板", true}});
    if (group == m_tags)
        return m_menu.Make({{ID_TAG_BROWSE, "浏览文件", true}, {0, "", false}, {ID_TAG_MODIFY, "修改书签", true}, {ID_TAG_DELETE, "删除书签", true}});
    return nullptr;
}

void CWndTempletTree::OnCommand(int id) {
    if (id == ID_NEW) {
        CkxQueryTemplet templet;
        if (KX_ShowDlg_QueryTempletEdit(1, 1, 0, templet)) m_link.SendQueryTempletAddRequest(templet);
        return;
    }
    const HTREEITEM item = GetSelectedItem();
    if (!item) return;
    const int itemId = static_cast<int>(GetItemData(item));
    if (GetParentItem(item) == m_templets) {
        const CkxQueryTemplet* stored = KX_QueryTempletList().Find(itemId);
        if (!stored) return; // deleted meanwhile
        CkxQueryTemplet copy = *stored;
        switch (id) {
        case ID_QUERY:
            if (CvClientApp* app = NavApp()) app->QueryByTemplet(m_link, copy);
            return;
        case ID_VIEW: KX_ShowDlg_QueryTempletEdit(0, 0, 0, copy); return;
        case ID_MODIFY:
            if (KX_ShowDlg_QueryTempletEdit(0, 1, 0, copy)) m_link.SendQueryTempletModifyRequest(copy);
            return;
        case ID_DELETE:
            if (kx::Prompt(this, "确定删除查询模板--\"" + copy.m_strName + "\"?", kx::PromptOkCancel, kx::PromptQuestion) ==
                kx::AnswerOk)
                m_link.SendQueryTempletDeleteRequest(itemId);
            return;
        default: return;
        }
    }
    if (GetParentItem(item) != m_tags) return;
    const CkxDataTag* stored = KX_KXXXX().m_DataTagList.Find(itemId);
    if (!stored) return;
    CkxDataTag copy = *stored;
    switch (id) {
    case ID_TAG_BROWSE:
        // A one-operand query on the bookmarked file, shown as a bookmark document.
        if (CvClientApp* app = NavApp())
            if (CvClientDoc* doc = app->ShowFileById(m_link, copy.m_nFileID)) doc->SetQuickQuery(CvClientDoc::QQ_BOOKMARK);
        return;
    case ID_TAG_MODIFY:
        // A copy is edited: the cache changes when the server's answer comes.
        if (KX_ShowDlg_FileTagEdit(copy)) m_link.SendDataTagModifyRequest(copy);
        return;
    case ID_TAG_DELETE:
        if (kx::Prompt(this, "确定删除书签 \"" + copy.m_strName + "\"", kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendDataTagDeleteRequest(itemId);
        return;
    default: return;
    }
}

void CWndTempletTree::ExpandAll() {
    Expand(m_templets, TVE_EXPAND);
    Expand(m_tags, TVE_EXPAND);
}

void CWndTempletTree::CollapseAll() {
    Expand(m_templets, TVE_COLLAPSE);
    Expand(m_tags, TVE_COLLAPSE);
}
