// The file and folder dialogs of CkxwFileSystem, built on QFileDialog. The filters keep the
// system's "desc|pattern|" texts and are converted for Qt in one place (ToQtFilter).
#include "model/CkxwFileSystem.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct DialogSpec {
    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
    QFileDialog::FileMode mode = QFileDialog::ExistingFile;
    std::string filter;
    QString defaultSuffix; // without the dot; empty = none
    QString title;
    QString defaultName;
    bool suffixFollowsFilter = false; // a save dialog adds the chosen format's extension
};

// The single extension of a filter entry such as "JPG 文件 (*.jpg)"; empty for several or "*.*".
QString SuffixOfFilter(const QString& filter) {
    QRegularExpression re(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)\\)$"));
    QRegularExpressionMatch m = re.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Runs the dialog; the chosen paths, or none when the user cancels.
QStringList Run(const DialogSpec& spec) {
    QFileDialog dlg(QApplication::activeWindow(), spec.title);
    dlg.setAcceptMode(spec.accept);
    dlg.setFileMode(spec.mode);
    dlg.setNameFilter(Q(CkxwFileSystem::ToQtFilter(spec.filter)));
    if (!spec.defaultSuffix.isEmpty()) dlg.setDefaultSuffix(spec.defaultSuffix);
    if (!spec.defaultName.isEmpty()) dlg.selectFile(spec.defaultName);
    if (spec.suffixFollowsFilter) {
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& f) {
            dlg.setDefaultSuffix(SuffixOfFilter(f));
        });
        QString first = SuffixOfFilter(dlg.selectedNameFilter());
        if (!first.isEmpty()) dlg.setDefaultSuffix(first);
    }
    if (dlg.exec() != QDialog::Accepted) return {};
    return dlg.selectedFiles();
}

// The extension of the chosen file, without the dot; empty when its name has none.
std::string ExtOf(const std::string& path) {
    std::string name = CkxwFileSystem::GetFileName(path);
    return name.find('.') == std::string::npos ? std::string() : CkxwFileSystem::GetFileEx(name);
}

int One(const DialogSpec& spec, std::string& path, std::string* ext) {
    QStringList files = Run(spec);
    if (files.isEmpty()) return 0;
    path = files.first().toStdString();
    if (ext) *ext = ExtOf(path);
    return 1;
}

} // namespace

std::string CkxwFileSystem::ShowDirBrowser(const std::string& title, QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, Q(title)).toStdString();
}

int CkxwFileSystem::ShowOpenDlg_Single(std::string& path, std::string& ext) {
    DialogSpec s;
    s.filter = kFilterAll;
    return One(s, path, &ext);
}

int CkxwFileSystem::ShowOpenDlg_Multi(KxStrings& paths) {
    DialogSpec s;
    s.mode = QFileDialog::ExistingFiles;
    s.filter = kFilterAll;
    QStringList files = Run(s);
    if (files.isEmpty()) return 0;
    for (const QString& f : files) paths.push_back(f.toStdString());
    return 1;
}

int CkxwFileSystem::ShowDlg_OpenFile(std::string& path, std::string& ext) {
    DialogSpec s;
    s.filter = kFilterPictures;
    s.defaultSuffix = QStringLiteral("bmp");
    return One(s, path, &ext);
}

int CkxwFileSystem::ShowDlg_OpenFile(KxStrings& paths, std::string& ext) {
    DialogSpec s;
    s.mode = QFileDialog::ExistingFiles;
    s.filter = kFilterPicturesMulti;
    s.defaultSuffix = QStringLiteral("jpg");
    QStringList files = Run(s);
    if (files.isEmpty()) return 0;
    for (const QString& f : files) paths.push_back(f.toStdString());
    ext = ExtOf(files.first().toStdString());
    return static_cast<int>(files.size());
}

int CkxwFileSystem::ShowDlg_OpenAccess(std::string& path) {
    DialogSpec s;
    s.filter = kFilterAccess;
    s.defaultSuffix = QStringLiteral("mdb");
    return One(s, path, nullptr);
}

int CkxwFileSystem::ShowDlg_SaveFile(std::string& path, std::string& ext) {
    DialogSpec s;
    s.accept = QFileDialog::AcceptSave;
    s.mode = QFileDialog::AnyFile;
    s.filter = kFilterPictures;
    s.suffixFollowsFilter = true;
    return One(s, path, &ext);
}

int CkxwFileSystem::ShowDlg_SaveFile(const std::string& title, const std::string& defaultName,
                                     std::string& path, std::string& ext) {
    DialogSpec s;
    s.accept = QFileDialog::AcceptSave;
    s.mode = QFileDialog::AnyFile;
    s.filter = std::string(kFilterPictures) + kFilterSaveDefault;
    s.title = Q(title);
    s.defaultName = Q(defaultName);
    s.suffixFollowsFilter = true;
    return One(s, path, &ext);
}
