#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace guitest {

std::string ScreenshotDir() {
    const char* dir = std::getenv("VARNIA_SCREENSHOTS");
    return dir && *dir ? dir : "screenshots";
}

std::string Screenshot(QWidget* widget, const std::string& name) {
    if (!widget) {
        ADD_FAILURE() << "screenshot " << name << ": no widget";
        return {};
    }
    if (!widget->isVisible()) widget->show();
    if (QLayout* layout = widget->layout()) layout->activate();
    if (widget->size().isEmpty()) widget->adjustSize();
    QApplication::processEvents();
    const QString dir = QString::fromStdString(ScreenshotDir());
    if (!QDir().mkpath(dir)) {
        ADD_FAILURE() << "screenshot " << name << ": cannot make " << dir.toStdString();
        return {};
    }
    const QString path = QDir(dir).filePath(QString::fromStdString(name) + ".png");
    // Each picture names the test that wrote it, so a name two tests share is found (the
    // second would overwrite the first's picture) whatever order the tests run in.
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString owner = test ? QString("%1.%2").arg(test->test_suite_name(), test->name()) : QString();
    if (QFile::exists(path)) {
        const QString before = QImageReader(path).text("Test");
        if (!before.isEmpty() && !owner.isEmpty() && before != owner) {
            ADD_FAILURE() << "screenshot " << name << ": the name is already used by " << before.toStdString();
            return {};
        }
    }
    QImage picture = widget->grab().toImage();
    if (!owner.isEmpty()) picture.setText("Test", owner);
    if (picture.isNull() || !picture.save(path, "PNG")) {
        ADD_FAILURE() << "screenshot " << name << ": cannot write " << path.toStdString();
        return {};
    }
    return path.toStdString();
}

} // namespace guitest
