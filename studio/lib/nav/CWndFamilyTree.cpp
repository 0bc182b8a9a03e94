#include "nav/CWndFamilyTree.h"

#include "app/CvClientApp.h"
#include "dlg/CDlgFamilyAttrAdmin.h"
#include "dlg/CDlgQueryFile.h"
#include "session/CStudioLink.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgFamilyEdit.h"

CWndFamilyTree::CWndFamilyTree(CStudioLink& link, QWidget* parent)
    : CkxFamilyTreeCtrl(parent), m_link(link), m_menu(this) {
    setObjectName("CWndFamilyTree");
    link.Register(kSlotFamilies, this);
    Refresh();
    ConnectContextMenu(this);
}

void CWndFamilyTree::Refresh() {
    // A reload draws the cache anew: never a second set of items.
    DeleteAllItems();
    m_root = InsertItem(QStringLiteral("族类"), 0, 0);
    CkxFamilyXXX& families = KX_FamilyXXX();
    FamilyList list;
    for (POSITION p = families.family_GetHeadPosition(); p;) list.push_back(families.family_GetNext(p));
    if (!list.empty()) AddTree(m_root, list);
    Expand(m_root, TVE_EXPAND);
    ExpandRoot();
}

kx::LRESULT CWndFamilyTree::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return 0;
    const int id = static_cast<int>(lParam);
    switch (static_cast<int>(wParam)) {
    case kNoticeReload:
    case kNoticeAdded: Refresh(); break; // an added family shows at once
    case kNoticeUpdated:
        if (const CkxFamily* f = KX_FamilyXXX().t_Find(id)) UpdateNode(CkxFamily(*f));
        break;
    case kNoticeRemoved: DeleteNode(id); break;
    default: break;
    }
    return 1;
}

const CkxFamily* CWndFamilyTree::SelectedFamily() const {
    const HTREEITEM item = GetSelectedItem();
    if (!item || item == m_root || IsSelSrvNode()) return nullptr;
    return KX_FamilyXXX().t_Find(static_cast<int>(GetItemData(item)));
}

kx::PopupMenu* CWndFamilyTree::BuildMenu() {
    if (!SelectedFamily()) return nullptr;
    const int me = m_link.GetCurrentUserId();
    if (KX_KXXXX().usHasPower_SystemAdmin(me))
        return m_menu.Make({{ID_BROWSE, "浏览文件", true},
                            {ID_QUERY, "查询文件...", true},
                            {ID_INFO, "族类信息", true},
                            {0, "", false},
                            {ID_MODIFY, "修改族类", true},
                            {ID_ATTRS, "修改属性", KX_KXXXX().usHasPower_FamilyAdmin(me) != 0},
                            {0, "", false},
                            {ID_DELETE, "删除族类", true}});
    return m_menu.Make({{ID_BROWSE, "浏览文件", true}, {ID_QUERY, "查询文件...", true}, {ID_INFO, "族类信息", true}});
}

std::string CWndFamilyTree::DeleteQuestion(const std::string& name) {
    return std::string("删除族类,将会删除该族类的所有子孙族类!\n\n") + "确定删除族类--" + "\"" + name + "\" ?";
}

void CWndFamilyTree::OnCommand(int id) {
    const CkxFamily* family = SelectedFamily();
    if (!family) return;
    const int familyId = family->GetID();
    switch (id) {
    case ID_BROWSE:
        if (CvClientApp* app = NavApp()) app->OpenFamilyDoc(m_link, familyId);
        return;
    case ID_QUERY:
        CDlgQueryFile::QueryFiles(m_link, this, [familyId](CDlgQueryFile& dlg) {
            dlg.SetFamily(familyId);
            dlg.SetAnyFolder();
        });
        return;
    case ID_INFO:
    case ID_ATTRS: {
        if (id == ID_ATTRS && !KX_KXXXX().usHasPower_FamilyAdmin(m_link.GetCurrentUserId())) return;
        CDlgFamilyAttrAdmin dlg(m_link);
        dlg.m_nViewMode = id == ID_INFO ? CDlgFamilyAttrAdmin::kModeInfo : CDlgFamilyAttrAdmin::kModeEdit;
        dlg.m_nKeepTexts = 0;
        dlg.m_Family = *family;
        dlg.DoModal();
        return;
    }
    case ID_MODIFY: {
        CkxFamily copy = *family;
        if (KX_ShowDlg_FamilyNodeAdd(0, copy)) m_link.SendFamilyModifyRequest(copy);
        return;
    }
    case ID_DELETE:
        if (CkxFamily::IsRootID(familyId)) {
            kx::Prompt(this, kRootRefused, kx::PromptOk, kx::PromptWarning);
            return;
        }
        if (kx::Prompt(this, DeleteQuestion(family->m_strName), kx::PromptOkCancel, kx::PromptQuestion) ==
            kx::AnswerOk)
            m_link.SendFamilyDeleteRequest(familyId);
        return;
    default: return;
    }
}

void CWndFamilyTree::ExpandAll() {
    Expand(m_root, TVE_EXPAND);
    ExpandTree();
}

void CWndFamilyTree::CollapseAll() { FurlTree(); }
