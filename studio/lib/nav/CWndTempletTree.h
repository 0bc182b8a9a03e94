// The quick page of the navigation bar: the user's query templates under "查询模板" and bookmarks
// under "文件书签"; running, viewing, making, changing and deleting templates, and opening,
// changing and deleting bookmarks. Share and attribute-template notices are not its own.
#pragma once

#include "nav/NavPane.h"
#include "qt/KxTreeCtrl.h"
#include "qt/KxWindowMessage.h"

class CWndTempletTree : public kx::TreeCtrl, public kx::MessageReceiver {
public:
    enum Command {
        ID_QUERY = 32846,
        ID_VIEW = 32847,
        ID_MODIFY = 32848,
        ID_NEW = 32849,
        ID_DELETE = 32850,
        ID_TAG_BROWSE = 32853,
        ID_TAG_DELETE = 32854,
        ID_TAG_MODIFY = 32856,
    };

    explicit CWndTempletTree(CStudioLink& link, QWidget* parent = nullptr);

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    void OnCommand(int id);
    kx::PopupMenu* BuildMenu();
    void ExpandAll();
    void CollapseAll();
    HTREEITEM TempletGroup() const { return m_templets; }
    HTREEITEM TagGroup() const { return m_tags; }
    // The child of the group whose item data is the id, or null.
    HTREEITEM FindChild(HTREEITEM group, int id) const;

private:
    void Apply(HTREEITEM group, int notice, int id, bool templets);
    void Fill(HTREEITEM group, bool templets);

    CStudioLink& m_link;
    HTREEITEM m_templets;
    HTREEITEM m_tags;
    NavPaneMenu m_menu;
};
