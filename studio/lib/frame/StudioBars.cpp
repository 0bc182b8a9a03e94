#include "frame/StudioBars.h"

#include "capture/CWndCaptureFileCtrl.h"
#include "checkout/CWndCheckoutFileCtrl.h"
#include "doc/CLocalStorage.h"
#include "model/CkxFile.h"
#include "nav/CWndFamilyTree.h"
#include "nav/CWndFolderTree.h"
#include "nav/CWndProjectTree.h"
#include "nav/CWndTempletTree.h"
#include "qt/KxImageList.h"

#include <QMainWindow>
#include <QVBoxLayout>

void CStudioBar::SetBarSize(int width, int height) {
    const QSize size(width, height);
    m_sizeHorz = m_sizeVert = m_sizeFloat = m_sizeMinFloating = size;
    if (auto* frame = qobject_cast<QMainWindow*>(parentWidget())) {
        frame->resizeDocks({this}, {width}, Qt::Horizontal);
        frame->resizeDocks({this}, {height}, Qt::Vertical);
    }
}

void CStudioBar::SetBarIcon(BarIcon icon) {
    const std::vector<QIcon> icons = kx::ImageList::BitmapIcons(131);
    if (static_cast<size_t>(icon) < icons.size()) SetIcon(icons[static_cast<size_t>(icon)]);
}

CNavigationBar::CNavigationBar(CStudioLink& link, QWidget* parent) : CStudioBar(parent) {
    m_sizeHorz = m_sizeVert = m_sizeFloat = QSize(250, 250);
    m_tabs = new CGuiTabWnd(this);
    m_tabs->setObjectName("39321");
    // The tabs' pictures, in page order.
    m_tabs->SetImageList(kx::ImageList::BitmapIcons(130));
    m_family = new CWndFamilyTree(link);
    m_folder = new CWndFolderTree(link);
    m_project = new CWndProjectTree(link);
    m_quick = new CWndTempletTree(link);
    struct Button {
        int page, id;
        const char* caption;
        const char* icon;
    };
    const Button buttons[] = {{PAGE_FOLDER, ID_FOLDER_EXPAND, "展开", "tree-expand"},
                              {PAGE_FOLDER, ID_FOLDER_COLLAPSE, "收缩", "tree-collapse"},
                              {PAGE_FOLDER, ID_FOLDER_INFO, "目录信息", "dialog-information"},
                              {PAGE_FOLDER, ID_FOLDER_QUERY, "查询文件", "edit-find"},
                              {PAGE_QUICK, ID_QUICK_EXPAND, "展开", "tree-expand"},
                              {PAGE_QUICK, ID_QUICK_COLLAPSE, "收缩", "tree-collapse"}};
    kx::TreeCtrl* trees[4] = {m_family, m_folder, m_project, m_quick};
    // Each tree's pictures: families by kind, folders, projects, templates and bookmarks.
    const int treeBitmaps[4] = {139, 138, 140, 141};
    const char* titles[4] = {"族类", "目录", "项目", "快速"};
    for (int page = 0; page < 4; ++page) {
        kx::ImageList images(16, 16);
        images.LoadBitmap(treeBitmaps[page]);
        trees[page]->SetImageList(images);
        auto* container = new CGuiContainer;
        container->setObjectName("124");
        m_strips[page] = new CGuiMiniTool;
        m_strips[page]->SetReceiver([this](int id) { OnCommand(id); });
        for (const Button& b : buttons) {
            if (b.page != page) continue;
            m_strips[page]->AddButton(-1, b.id, nullptr, QString(), QString::fromUtf8(b.caption))->SethIcon(kx::ToolIcon(b.icon));
        }
        container->AddComponen(m_strips[page]);
        container->AddComponen(trees[page]);
        m_tabs->Addtab(container, QString::fromUtf8(titles[page]), page);
    }
    setWidget(m_tabs);
    SetBarIcon(kBarIconNavigation);
}

void CNavigationBar::SelectPage(int page) {
    static const char* const kTitles[4] = {"族类", "目录", "项目", "快捷"};
    if (page < 0 || page > 3) return;
    m_tabs->SetCurtab(page);
    setWindowTitle(QString::fromUtf8(kTitles[page]));
}

void CNavigationBar::OnCommand(int id) {
    switch (id) {
    case ID_FAMILY_EXPAND: m_family->ExpandAll(); break;
    case ID_FAMILY_COLLAPSE: m_family->CollapseAll(); break;
    case ID_FAMILY_BROWSE: m_family->OnCommand(CWndFamilyTree::ID_BROWSE); break;
    case ID_FAMILY_QUERY: m_family->OnCommand(CWndFamilyTree::ID_QUERY); break;
    case ID_FAMILY_INFO: m_family->OnCommand(CWndFamilyTree::ID_INFO); break;
    case ID_FOLDER_EXPAND: m_folder->ExpandAll(); break;
    case ID_FOLDER_COLLAPSE: m_folder->CollapseAll(); break;
    case ID_FOLDER_BROWSE: m_folder->OnCommand(CWndFolderTree::ID_BROWSE); break;
    case ID_FOLDER_INFO: m_folder->OnCommand(CWndFolderTree::ID_INFO); break;
    case ID_FOLDER_QUERY: m_folder->OnCommand(CWndFolderTree::ID_QUERY); break;
    case ID_PROJECT_EXPAND: m_project->ExpandAll(); break;
    case ID_PROJECT_COLLAPSE: m_project->CollapseAll(); break;
    case ID_PROJECT_BROWSE: m_project->OnCommand(CWndProjectTree::ID_BROWSE); break;
    case ID_PROJECT_VIEW: m_project->OnCommand(CWndProjectTree::ID_VIEW); break;
    case ID_PROJECT_CREATE:
        // Creating stays with those who may create projects, as the pane's menu has it.
        if (m_project->CanCreate()) m_project->OnCommand(CWndProjectTree::ID_CREATE);
        break;
    case ID_QUICK_EXPAND: m_quick->ExpandAll(); break;
    case ID_QUICK_COLLAPSE: m_quick->CollapseAll(); break;
    default: break;
    }
}

CWorkBar::CWorkBar(QWidget* parent, CStudioLink* link) : CStudioBar(parent) {
    m_tabs = new CGuiTabWnd(this);
    auto* checkout = new QWidget;
    checkout->setObjectName(QString::fromUtf8("签出文件管理"));
    m_tabs->Addtab(checkout, QString::fromUtf8("签出文件管理"), -1);
    m_capture = new CWndCaptureFileCtrl(link);
    m_capture->SetLocalStorage(&TheLocalStorage());
    m_tabs->Addtab(m_capture, QString::fromUtf8("捕获缓存站"), -1);
    setWidget(m_tabs);
    SetBarIcon(kBarIconWork);
    if (!link) return;
    // The checkout window follows the session's checkouts.
    auto* layout = new QVBoxLayout(checkout);
    layout->setContentsMargins(0, 0, 0, 0);
    m_checkout = new CWndCheckoutFileCtrl(*link, checkout);
    m_checkout->SetLocalStorage(&TheLocalStorage());
    layout->addWidget(m_checkout);
}

void CWorkBar::AddCheckoutFile(const CkxFile* file) {
    if (m_checkout && file) m_checkout->AddFile(file->Clone());
}

void CWorkBar::RemoveCheckoutFile(int fileId) {
    if (m_checkout) m_checkout->RemoveFile(fileId);
}
