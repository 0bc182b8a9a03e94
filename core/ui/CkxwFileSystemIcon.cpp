// The file-type icons of CkxwFileSystem: the desktop's icon for a file name's MIME type, looked up
// by name alone, and the one process-wide list that icon indices point into.
#include "model/CkxwFileSystem.h"

#include <QFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <mutex>
#include <string>
#include <vector>

namespace {

struct IconList {
    std::mutex mutex;
    std::vector<QString> names; // the MIME icon name of each entry
    std::vector<QIcon> icons;
};

IconList& List() {
    static IconList* list = new IconList; // lives to the end: indices handed out stay valid
    return *list;
}

// The MIME type a file named "*.<ext>" has by its name (the generic binary type when unknown).
QMimeType TypeOf(const std::string& ext) {
    QMimeDatabase db;
    return db.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(ext), QMimeDatabase::MatchExtension);
}

QIcon IconOf(const QMimeType& type) {
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    return icon;
}

int IndexOf(const std::string& ext) {
    QMimeType type = TypeOf(ext);
    IconList& l = List();
    std::lock_guard<std::mutex> lock(l.mutex);
    for (size_t i = 0; i < l.names.size(); ++i)
        if (l.names[i] == type.iconName()) return static_cast<int>(i);
    l.names.push_back(type.iconName());
    l.icons.push_back(IconOf(type));
    return static_cast<int>(l.icons.size() - 1);
}

} // namespace

QIcon CkxwFileSystem::GetFileSmallIcon(const std::string& ext) { return IconOf(TypeOf(ext)); }
QIcon CkxwFileSystem::GetFileLargeIcon(const std::string& ext) { return IconOf(TypeOf(ext)); }
int CkxwFileSystem::GetFileSmallIconIndex(const std::string& ext) { return IndexOf(ext); }
int CkxwFileSystem::GetFileLargeIconIndex(const std::string& ext) { return IndexOf(ext); }

QIcon CkxwFileSystem::GetSystemIcon(int index) {
    IconList& l = List();
    std::lock_guard<std::mutex> lock(l.mutex);
    return index >= 0 && static_cast<size_t>(index) < l.icons.size() ? l.icons[index] : QIcon();
}

int CkxwFileSystem::AttachWindowsImageList() {
    IconList& l = List();
    std::lock_guard<std::mutex> lock(l.mutex);
    return static_cast<int>(l.icons.size());
}

// The list stays for the whole run, so there is nothing to let go.
void CkxwFileSystem::DetachWindowsImageList() {}
