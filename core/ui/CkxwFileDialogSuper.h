// The library's file dialogs:
//   CkxwFileDialog2K     an open or save dialog with the framework's results (IDOK, IDCANCEL;
//                        IDCANCEL also when it could not run);
//   CkxwFileDialogSuper  an open dialog with pages on tabs: "新建" (new documents of the types
//                        the caller lists, only when offered), "现存" (the file browser) and
//                        "最新" (the files recently opened through it, at most ten, kept in the
//                        registry store). The caller reads the page it ended on and the choice.
#pragma once

#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <QIcon>
#include <QPixmap>

#include <string>
#include <vector>

class QFileDialog;
class QLabel;
class QListWidget;
class QTabWidget;
namespace kx {
class ImageList;
class ReportList;
} // namespace kx

class KX_EXPORT CkxwFileDialog2K {
public:
    // `filter` in the "desc|pattern|..." form of the library.
    CkxwFileDialog2K(bool open, const std::string& defaultExt = {}, const std::string& fileName = {},
                     unsigned flags = 0, const std::string& filter = {}, QWidget* parent = nullptr);
    virtual ~CkxwFileDialog2K();

    int DoModal();
    // The chosen file's full path, its name and its folder (empty before OK).
    std::string GetPathName() const { return m_strPath; }
    std::string GetFileName() const;
    std::string GetFolderPath() const;

protected:
    bool m_bOpen;
    std::string m_strDefExt;
    std::string m_strFileName;
    std::string m_strFilter;
    QWidget* m_pParent;
    std::string m_strPath;
};

class KX_EXPORT CkxwFileDialogSuper : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TAB = 200, IDC_LIST_NEW = 201, IDC_LIST_RECENT = 202 };
    enum Page { PAGE_NEW = 0, PAGE_EXIST = 1, PAGE_RECENT = 2 };
    static constexpr int kMaxRecent = 10;

    // `newPage` offers the "新建" page (open dialogs only); `filter` in the "desc|pattern|" form.
    CkxwFileDialogSuper(const std::string& caption, bool open = true, bool newPage = false,
                        const std::string& defaultExt = {}, const std::string& fileName = {}, unsigned flags = 0,
                        const std::string& filter = {}, QWidget* parent = nullptr);
    ~CkxwFileDialogSuper() override;

    void AddNewItem(const std::string& name, const std::string& ext, int image);
    void SetNewImagesList(const kx::ImageList* images);
    void SetLogoBitmap(const QPixmap* logo);
    void SetDlgIcon(const QIcon& large, const QIcon& small = QIcon());

    int DoModal();
    int GetPage() const { return m_nPage; }
    int GetNewItemIndex() const { return m_nNewItem; }
    std::string GetRecentFilePath() const { return m_strRecentPath; }
    // The file chosen on the "现存" page.
    std::string GetPathName() const { return m_strPath; }

    // The filter the browser shows: each new-document type, "All Files (*.*)", then the
    // caller's; in the "desc|pattern|" form.
    std::string BuildFilter() const;
    // The remembered paths, oldest first.
    const std::vector<std::string>& RecentFiles() const { return m_recent; }
    // The registry key of the list: "SOFTWARE\Program of Tormane\" and the program's name.
    static std::string RecentKey();
    // A path split at its last "/": (folder, name); no "/": ("", path).
    static std::pair<std::string, std::string> SplitPath(const std::string& path);

    QTabWidget* Tabs() const { return m_tabs; }
    QListWidget* NewList() const { return m_newList; }
    kx::ReportList* RecentList() const { return m_recentList; }
    QFileDialog* Browser() const { return m_browser; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    struct NewItem {
        std::string name, ext;
        int image = -1;
    };
    void CollectRecentFiles();
    void WriteRecentFiles() const;
    void RememberPath(const std::string& path);
    void OnTabSelchange();
    void OnItemDblClick();

    std::string m_strCaption;
    bool m_bOpen;
    bool m_bNewPage;
    std::string m_strDefExt, m_strFileName, m_strFilter;
    std::vector<NewItem> m_newItems;
    const kx::ImageList* m_pNewImages = nullptr;
    QPixmap m_logo;
    QIcon m_largeIcon, m_smallIcon;

    int m_nPage = PAGE_EXIST;
    int m_nNewItem = -1;
    std::string m_strRecentPath;
    std::string m_strPath;
    std::vector<std::string> m_recent;

    QLabel* m_logoBand = nullptr;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_newList = nullptr;
    kx::ReportList* m_recentList = nullptr;
    QFileDialog* m_browser = nullptr;
};
