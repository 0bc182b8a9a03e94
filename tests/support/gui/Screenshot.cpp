#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QDir>
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
    const QPixmap picture = widget->grab();
    if (picture.isNull() || !picture.save(path, "PNG")) {
        ADD_FAILURE() << "screenshot " << name << ": cannot write " << path.toStdString();
        return {};
    }
    return path.toStdString();
}

} // namespace guitest
