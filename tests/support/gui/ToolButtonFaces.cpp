#include "support/gui/ToolButtonFaces.h"

#include <QIcon>
#include <QImage>
#include <QToolBar>
#include <QToolButton>

namespace guitest {

namespace {

// The buttons a window shows for its commands: not the tab bars' scroll arrows, not a strip's
// own extension arrow, not a button its window hid on purpose.
std::vector<QToolButton*> CommandButtons(QWidget* root) {
    std::vector<QToolButton*> buttons;
    for (QToolButton* b : root->findChildren<QToolButton*>()) {
        if (b->arrowType() != Qt::NoArrow || b->objectName() == QLatin1String("qt_toolbar_ext_button") ||
            b->objectName() == QLatin1String("qt_menubar_ext_button") || b->isHidden()) {
            continue;
        }
        buttons.push_back(b);
    }
    return buttons;
}

// True when the icon draws at least a few opaque pixels at the button's icon size.
bool Drawn(const QIcon& icon, const QSize& size) {
    if (icon.isNull()) return false;
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128) ++opaque;
    return opaque >= 4;
}

std::string Name(QWidget* w) {
    std::string name = w->objectName().toStdString();
    if (name.empty()) name = w->metaObject()->className();
    return name;
}

} // namespace

std::vector<std::string> FacelessToolButtons(QWidget* root) {
    std::vector<std::string> faceless;
    for (QToolButton* b : CommandButtons(root)) {
        const bool captionShown = !b->text().trimmed().isEmpty() && b->toolButtonStyle() != Qt::ToolButtonIconOnly;
        const bool iconShown = b->toolButtonStyle() != Qt::ToolButtonTextOnly && Drawn(b->icon(), b->iconSize());
        // An icon-only button without an icon shows its caption instead.
        const bool fallback = b->icon().isNull() && !b->text().trimmed().isEmpty();
        if (captionShown || iconShown || fallback) continue;
        faceless.push_back(Name(b) + " \"" + b->toolTip().toStdString() + "\" in " +
                           (b->parentWidget() ? Name(b->parentWidget()) : std::string("?")));
    }
    return faceless;
}

std::vector<std::string> OverflowingStrips(QWidget* root) {
    std::vector<std::string> overflowing;
    for (QToolBar* bar : root->findChildren<QToolBar*>()) {
        auto* arrow = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        if (!arrow || !arrow->isVisible()) continue;
        const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
        std::string first;
        for (QToolButton* b : buttons)
            if (b != arrow) {
                first = b->toolTip().isEmpty() ? b->text().toStdString() : b->toolTip().toStdString();
                break;
            }
        overflowing.push_back(Name(bar) + " (" + first + ")");
    }
    return overflowing;
}

int CountToolButtons(QWidget* root) { return static_cast<int>(CommandButtons(root).size()); }

} // namespace guitest
