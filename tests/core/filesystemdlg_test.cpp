#include "model/CkxwFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <functional>

using FS = CkxwFileSystem;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "core_filesystemdlg_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics (the icon loader among them) may be gone
    // before a static application object, and its destructor would reach them.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Acts on the file dialog once it is up (polled, since exec() shows it inside its own loop).
void WhenDialogShows(std::function<void(QFileDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act]() {
        if (auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
        }
    });
    timer->start();
}

// What the dialog showed when it came up.
struct Shown {
    QString title;
    QStringList filters;
};

// Once the dialog is up: notes what it shows, chooses `select` in `dir` and accepts, as the Open
// or Save button does.
void ChooseWhenShown(const std::string& dir, const QString& select, Shown& shown) {
    WhenDialogShows([dir, select, &shown](QFileDialog* dlg) {
        shown.title = dlg->windowTitle();
        shown.filters = dlg->nameFilters();
        dlg->setDirectory(QString::fromStdString(dir));
        dlg->selectFile(select);
        static_cast<QDialog*>(dlg)->accept(); // QFileDialog::accept
    });
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TEST(CkxwFileSystemDialogs, OpenPictureGivesPathAndExtension) {
    App();
    TempDir d;
    std::ofstream(d.file("p.JPG")) << "x";
    Shown shown;
    ChooseWhenShown(d.str(), Q(d.file("p.JPG")), shown);
    std::string path, ext;
    ASSERT_EQ(FS::ShowDlg_OpenFile(path, ext), 1);
    EXPECT_EQ(path, d.file("p.JPG"));
    EXPECT_EQ(ext, "JPG");
    const QStringList& filters = shown.filters;
    ASSERT_EQ(filters.size(), 11);
    EXPECT_EQ(filters.front(), QStringLiteral("BMP 文件 (*.bmp)"));
    EXPECT_EQ(filters.back(), QStringLiteral("PNM 文件 (*.pnm)"));
}

TEST(CkxwFileSystemDialogs, AFileWithoutExtensionGivesAnEmptyExtension) {
    App();
    TempDir d;
    std::ofstream(d.file("README")) << "x";
    Shown shown;
    ChooseWhenShown(d.str(), Q(d.file("README")), shown);
    std::string path, ext = "stale";
    ASSERT_EQ(FS::ShowOpenDlg_Single(path, ext), 1);
    EXPECT_EQ(path, d.file("README"));
    EXPECT_EQ(ext, "");
    EXPECT_EQ(shown.filters, QStringList{QStringLiteral("所有文件 (*.*)")});
}

TEST(CkxwFileSystemDialogs, CancelGivesZeroAndKeepsTheOutputs) {
    App();
    WhenDialogShows([](QFileDialog* dlg) { dlg->reject(); });
    std::string path = "keep", ext = "keep";
    EXPECT_EQ(FS::ShowOpenDlg_Single(path, ext), 0);
    EXPECT_EQ(path, "keep");
    WhenDialogShows([](QFileDialog* dlg) { dlg->reject(); });
    std::vector<std::string> paths{"keep"};
    EXPECT_EQ(FS::ShowOpenDlg_Multi(paths), 0);
    EXPECT_EQ(paths.size(), 1u);
}

TEST(CkxwFileSystemDialogs, SaveAddsTheChosenFormatsExtension) {
    App();
    TempDir d;
    Shown shown;
    ChooseWhenShown(d.str(), Q(d.file("picture")), shown);
    std::string path, ext;
    ASSERT_EQ(FS::ShowDlg_SaveFile("保存图像", "picture", path, ext), 1);
    EXPECT_EQ(shown.title, QStringLiteral("保存图像"));
    ASSERT_FALSE(shown.filters.isEmpty());
    EXPECT_EQ(shown.filters.back(), QStringLiteral("默认 (*.*)")); // Qt shows the blanks of a name as one
    EXPECT_EQ(path, d.file("picture.bmp"));
    EXPECT_EQ(ext, "bmp");
}

TEST(CkxwFileSystemIcons, IconsAndIndicesByExtension) {
    App();
    // The icon comes from the name alone: no file of that name needs to exist.
    for (const char* ext : {"jpg", "txt", "no-such-extension-varnia", ""}) {
        EXPECT_FALSE(FS::GetFileLargeIcon(ext).isNull()) << ext;
        EXPECT_FALSE(FS::GetFileSmallIcon(ext).isNull()) << ext;
    }
    const int jpg = FS::GetFileLargeIconIndex("jpg");
    ASSERT_GE(jpg, 0);
    EXPECT_EQ(FS::GetFileLargeIconIndex("jpg"), jpg);   // one entry per icon
    EXPECT_EQ(FS::GetFileSmallIconIndex("JPEG"), jpg);  // same type, any case
    const int txt = FS::GetFileLargeIconIndex("txt");
    EXPECT_NE(txt, jpg);
    EXPECT_GT(FS::AttachWindowsImageList(), std::max(jpg, txt));
    FS::DetachWindowsImageList();
    EXPECT_FALSE(FS::GetSystemIcon(jpg).isNull());
    EXPECT_FALSE(FS::GetSystemIcon(txt).isNull());
    EXPECT_TRUE(FS::GetSystemIcon(-1).isNull());
    EXPECT_TRUE(FS::GetSystemIcon(100000).isNull());
}

TEST(CkxwFileSystemDialogs, SeveralPicturesAreAppendedAndCounted) {
    App();
    TempDir d;
    for (const char* n : {"a.jpg", "b.png"}) std::ofstream(d.file(n)) << "x";
    Shown shown;
    ChooseWhenShown(d.str(), QStringLiteral("\"a.jpg\" \"b.png\""), shown);
    const QStringList& filters = shown.filters;
    std::vector<std::string> paths{"earlier"};
    std::string ext;
    ASSERT_EQ(FS::ShowDlg_OpenFile(paths, ext), 2);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "earlier");
    EXPECT_EQ(paths[1], d.file("a.jpg"));
    EXPECT_EQ(paths[2], d.file("b.png"));
    EXPECT_EQ(ext, "jpg");
    ASSERT_EQ(filters.size(), 14);
    EXPECT_EQ(filters[1], QStringLiteral("常用格式 (*.jpg *.j2k *.bmp)"));
    EXPECT_EQ(filters.back(), QStringLiteral("所有文件 (*.*)"));
}
