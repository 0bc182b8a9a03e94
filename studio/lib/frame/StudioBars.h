// The main frame's three docking bars: navigation (left), file information (right) and work
// (bottom). Their pages come with the navigation and information-bar work; here they are the
// bars with their sizes and the operations the frame forwards to the information bar.
#pragma once

#include "qt/GuiToolkit.h"

class CkxFile;
class CStudioLink;
class CWndFamilyTree;
class CWndFolderTree;
class CWndProjectTree;
class CWndTempletTree;
class CWndCaptureFileCtrl;
class CWndCheckoutFileCtrl;

class CStudioBar : public CGuiControlBar {
public:
    using CGuiControlBar::CGuiControlBar;
    // Sets all four size members and asks the frame to give the bar that size.
    void SetBarSize(int width, int height);

protected:
    // The bars' icons: cells of bitmap 131.
    enum BarIcon { kBarIconInfo = 0, kBarIconNavigation = 1, kBarIconWork = 3 };
    void SetBarIcon(BarIcon icon);
};

// Four pages, in the order the selection commands address them: families, folders, projects,
// quick (templates and bookmarks), each a tool strip over its tree.
class CNavigationBar : public CStudioBar {
public:
    enum Page { PAGE_FAMILY, PAGE_FOLDER, PAGE_PROJECT, PAGE_QUICK };
    enum Command {
        ID_FAMILY_EXPAND = 4097, ID_FAMILY_COLLAPSE = 4098,
        ID_FAMILY_BROWSE = 4099, ID_FAMILY_QUERY = 4100, ID_FAMILY_INFO = 4101,
        ID_FOLDER_EXPAND = 8193, ID_FOLDER_COLLAPSE = 8194, ID_FOLDER_BROWSE = 8195, ID_FOLDER_INFO = 8196,
        ID_FOLDER_QUERY = 8197,
        ID_PROJECT_EXPAND = 12289, ID_PROJECT_COLLAPSE = 12290,
        ID_PROJECT_BROWSE = 12291, ID_PROJECT_VIEW = 12292, ID_PROJECT_CREATE = 12293,
        ID_QUICK_EXPAND = 16385, ID_QUICK_COLLAPSE = 16386,
    };

    CNavigationBar(CStudioLink& link, QWidget* parent = nullptr);

    // Selects page 0 to 3 and names the bar after it ("族类", "目录", "项目", "快捷").
    void SelectPage(int page);
    void OnCommand(int id);
    CGuiTabWnd* Tabs() const { return m_tabs; }
    CWndFamilyTree* FamilyTree() const { return m_family; }
    CWndFolderTree* FolderTree() const { return m_folder; }
    CWndProjectTree* ProjectTree() const { return m_project; }
    CWndTempletTree* TempletTree() const { return m_quick; }
    CGuiMiniTool* Strip(int page) const { return m_strips[page]; }

private:
    CGuiTabWnd* m_tabs;
    CWndFamilyTree* m_family;
    CWndFolderTree* m_folder;
    CWndProjectTree* m_project;
    CWndTempletTree* m_quick;
    CGuiMiniTool* m_strips[4];
};

// The checked-out files and the capture cache, as two pages.
class CWorkBar : public CStudioBar {
public:
    // With a session: the checkout window on the first page, and the capture window sending its
    // uploads through the link (none: no checkout window, and the capture window sends nothing).
    explicit CWorkBar(QWidget* parent = nullptr, CStudioLink* link = nullptr);
    CGuiTabWnd* Tabs() const { return m_tabs; }
    CWndCaptureFileCtrl* CaptureWindow() const { return m_capture; }
    CWndCheckoutFileCtrl* CheckoutWindow() const { return m_checkout; }
    // Forwarded to the checkout window (a copy of the file takes the row).
    void AddCheckoutFile(const CkxFile* file);
    void RemoveCheckoutFile(int fileId);

private:
    CGuiTabWnd* m_tabs;
    CWndCaptureFileCtrl* m_capture;
    CWndCheckoutFileCtrl* m_checkout = nullptr;
};
