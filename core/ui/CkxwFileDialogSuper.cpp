#include "ui/CkxwFileDialogSuper.h"

#include "base/KxProc.h"
#include "base/KxRegistry.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxImageList.h"
#include "qt/KxReportList.h"
#include "ui/KxShowDlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A non-native browser that lives inside another window.
QFileDialog* MakeBrowser(QWidget* parent, bool open, const std::string& defaultExt, const std::string& fileName,
                         const std::string& filter) {
    auto* browser = new QFileDialog(parent);
    browser->setWindowFlags(Qt::Widget);
    browser->setOption(QFileDialog::DontUseNativeDialog, true);
    browser->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    browser->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!defaultExt.empty()) browser->setDefaultSuffix(Q(defaultExt));
    const QString qtFilter = Q(CkxwFileSystem::ToQtFilter(filter));
    if (!qtFilter.isEmpty()) browser->setNameFilter(qtFilter);
    if (!fileName.empty()) browser->selectFile(Q(fileName));
    return browser;
}

} // namespace

// ---- CkxwFileDialog2K ----

CkxwFileDialog2K::CkxwFileDialog2K(bool open, const std::string& defaultExt, const std::string& fileName,
                                   unsigned /*flags*/, const std::string& filter, QWidget* parent)
    : m_bOpen(open), m_strDefExt(defaultExt), m_strFileName(fileName), m_strFilter(filter), m_pParent(parent) {}

CkxwFileDialog2K::~CkxwFileDialog2K() = default;

int CkxwFileDialog2K::DoModal() {
    QFileDialog* dlg = MakeBrowser(m_pParent, m_bOpen, m_strDefExt, m_strFileName, m_strFilter);
    dlg->setWindowFlags(Qt::Dialog);
    dlg->setWindowModality(Qt::ApplicationModal);
    const int result = dlg->exec();
    if (result == QDialog::Accepted && !dlg->selectedFiles().isEmpty())
        m_strPath = dlg->selectedFiles().front().toStdString();
    delete dlg;
    return result == QDialog::Accepted && !m_strPath.empty() ? kx::IDOK : kx::IDCANCEL;
}

std::string CkxwFileDialog2K::GetFileName() const { return CkxwFileDialogSuper::SplitPath(m_strPath).second; }

std::string CkxwFileDialog2K::GetFolderPath() const { return CkxwFileDialogSuper::SplitPath(m_strPath).first; }

// ---- CkxwFileDialogSuper ----

CkxwFileDialogSuper::CkxwFileDialogSuper(const std::string& caption, bool open, bool newPage,
                                         const std::string& defaultExt, const std::string& fileName,
                                         unsigned /*flags*/, const std::string& filter, QWidget* parent)
    : kx::Dialog(parent),
      m_strCaption(caption),
      m_bOpen(open),
      m_bNewPage(open && newPage),
      m_strDefExt(defaultExt),
      m_strFileName(fileName),
      m_strFilter(filter) {}

CkxwFileDialogSuper::~CkxwFileDialogSuper() = default;

void CkxwFileDialogSuper::AddNewItem(const std::string& name, const std::string& ext, int image) {
    m_newItems.push_back({name, ext, image});
}

void CkxwFileDialogSuper::SetNewImagesList(const kx::ImageList* images) { m_pNewImages = images; }

void CkxwFileDialogSuper::SetLogoBitmap(const QPixmap* logo) { m_logo = logo ? *logo : QPixmap(); }

void CkxwFileDialogSuper::SetDlgIcon(const QIcon& large, const QIcon& small) {
    m_largeIcon = large;
    m_smallIcon = small.isNull() ? large : small;
}

std::string CkxwFileDialogSuper::RecentKey() { return "SOFTWARE\\Program of Tormane\\" + kx::AppName(); }

std::pair<std::string, std::string> CkxwFileDialogSuper::SplitPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {std::string(), path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::string CkxwFileDialogSuper::BuildFilter() const {
    std::string filter;
    for (const NewItem& item : m_newItems) filter += item.name + " (*." + item.ext + ")|*." + item.ext + "|";
    filter += "All Files (*.*)|*.*|";
    filter += m_strFilter;
    return filter;
}

void CkxwFileDialogSuper::CollectRecentFiles() {
    m_recent.clear();
    const kx::RegistryStore store;
    const std::string key = RecentKey();
    for (const std::string& name : store.ValueNames(key)) {
        std::string path;
        if (!store.ReadString(key, name, path)) continue; // a value that is no text is no path
        if (!path.empty()) m_recent.push_back(path);
    }
}

void CkxwFileDialogSuper::WriteRecentFiles() const {
    // The list is written whole: its own values, then nothing beyond them.
    kx::RegistryStore store;
    const std::string key = RecentKey();
    std::vector<std::string> names;
    for (size_t i = 0; i < m_recent.size(); ++i) {
        names.push_back("File" + std::to_string(i));
        store.WriteString(key, names.back(), m_recent[i]);
    }
    for (const std::string& old : store.ValueNames(key))
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return QString::fromStdString(n).compare(Q(old), Qt::CaseInsensitive) == 0; }))
            store.DeleteValue(key, old);
}

void CkxwFileDialogSuper::RememberPath(const std::string& path) {
    if (path.empty() || std::find(m_recent.begin(), m_recent.end(), path) != m_recent.end()) return;
    m_recent.push_back(path);
    while (static_cast<int>(m_recent.size()) > kMaxRecent) m_recent.erase(m_recent.begin());
    WriteRecentFiles();
}

int CkxwFileDialogSuper::DoModal() {
    const int result = kx::Dialog::DoModal();
    if (result == kx::IDOK && m_nPage == PAGE_EXIST) RememberPath(m_strPath);
    return result;
}

void CkxwFileDialogSuper::OnInitDialog() {
    setWindowTitle(Q(m_strCaption));
    if (!m_largeIcon.isNull()) setWindowIcon(m_largeIcon);
    auto* layout = new QVBoxLayout(this);
    if (!m_logo.isNull()) {
        m_logoBand = new QLabel(this);
        m_logoBand->setPixmap(m_logo);
        m_logoBand->setAlignment(Qt::AlignCenter);
        m_logoBand->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        layout->addWidget(m_logoBand, 0, Qt::AlignHCenter);
    }
    m_tabs = new QTabWidget(this);
    SetDlgItemId(m_tabs, IDC_TAB);
    layout->addWidget(m_tabs, 1);

    // "新建": one icon per new-document type.
    if (m_bNewPage) {
        m_newList = new QListWidget(m_tabs);
        SetDlgItemId(m_newList, IDC_LIST_NEW);
        m_newList->setViewMode(QListView::IconMode);
        m_newList->setSelectionMode(QAbstractItemView::SingleSelection);
        m_newList->setFrameShape(QFrame::StyledPanel);
        for (const NewItem& item : m_newItems) {
            auto* entry = new QListWidgetItem(Q(item.name), m_newList);
            if (m_pNewImages && item.image >= 0 && item.image < m_pNewImages->GetImageCount())
                entry->setIcon(QIcon(QPixmap::fromImage(m_pNewImages->Image(item.image))));
        }
        connect(m_newList, &QListWidget::itemDoubleClicked, this, [this] { OnItemDblClick(); });
        m_tabs->addTab(m_newList, QStringLiteral("新建"));
    }

    // "现存": the browser, whose own buttons give way to the dialog's.
    m_browser = MakeBrowser(m_tabs, m_bOpen, m_strDefExt, m_strFileName, BuildFilter());
    if (auto* box = m_browser->findChild<QDialogButtonBox*>()) box->hide();
    connect(m_browser, &QFileDialog::accepted, this, [this] {
        const QStringList files = m_browser->selectedFiles();
        if (files.isEmpty()) return;
        m_strPath = files.front().toStdString();
        m_nPage = PAGE_EXIST;
        EndDialog(kx::IDOK);
    });
    connect(m_browser, &QFileDialog::rejected, this, [this] { EndDialog(kx::IDCANCEL); });
    m_tabs->addTab(m_browser, QStringLiteral("现存"));

    // "最新": name and folder of each remembered path.
    m_recentList = new kx::ReportList(m_tabs);
    SetDlgItemId(m_recentList, IDC_LIST_RECENT);
    m_recentList->InsertColumn(0, QStringLiteral("名称"), kx::LVCFMT_LEFT, 100);
    m_recentList->InsertColumn(1, QStringLiteral("所在文件夹"), kx::LVCFMT_LEFT, 100);
    CollectRecentFiles();
    int widest = 0;
    const QFontMetrics metrics(m_recentList->font());
    QFileIconProvider icons;
    for (const std::string& path : m_recent) {
        const auto [folder, name] = SplitPath(path);
        const int row = m_recentList->InsertItem(m_recentList->GetItemCount(), Q(name));
        m_recentList->SetItemText(row, 1, Q(folder));
        if (QTreeWidgetItem* item = m_recentList->topLevelItem(row))
            item->setIcon(0, icons.icon(QFileInfo(Q(path))));
        widest = std::max(widest, metrics.horizontalAdvance(Q(folder)));
    }
    m_recentList->SetColumnWidth(1, std::max(100, widest + 20));
    connect(m_recentList, &kx::ReportList::ItemDoubleClicked, this, [this] { OnItemDblClick(); });
    m_tabs->addTab(m_recentList, QStringLiteral("最新"));

    kx::AddOkCancel(this, layout);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { OnTabSelchange(); });
    m_tabs->setCurrentWidget(m_browser);
    OnTabSelchange();
    resize(640, 480 + (m_logoBand ? m_logo.height() + 20 : 0));
    kx::Dialog::OnInitDialog();
}

void CkxwFileDialogSuper::OnTabSelchange() {
    m_nPage = m_tabs->currentIndex() + (m_bNewPage ? 0 : 1);
}

void CkxwFileDialogSuper::OnItemDblClick() {
    if (m_nPage == PAGE_RECENT) {
        const int row = m_recentList->GetSelectedRow();
        if (row < 0) return;
        const std::string name = m_recentList->GetItemText(row, 0).toStdString();
        const std::string folder = m_recentList->GetItemText(row, 1).toStdString();
        m_strRecentPath = folder.empty() ? name : folder + "/" + name;
    } else {
        if (!m_newList || m_newList->selectedItems().isEmpty()) return;
        m_nNewItem = m_newList->row(m_newList->selectedItems().front());
    }
    EndDialog(kx::IDOK);
}

void CkxwFileDialogSuper::OnOK() {
    if (m_nPage == PAGE_EXIST) {
        // The browser's choice: a folder is entered, an existing file (any name when saving)
        // ends the dialog, nothing else does anything.
        const QStringList files = m_browser->selectedFiles();
        if (files.isEmpty()) return;
        const QFileInfo info(files.front());
        if (info.isDir()) {
            m_browser->setDirectory(info.absoluteFilePath());
            return;
        }
        if (m_bOpen && !info.isFile()) return;
        m_strPath = files.front().toStdString();
        EndDialog(kx::IDOK);
        return;
    }
    OnItemDblClick();
}
