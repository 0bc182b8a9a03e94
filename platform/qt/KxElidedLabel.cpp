#include "qt/KxElidedLabel.h"

#include <QPainter>

namespace kx {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::sizeHint() const { return QSize(0, QLabel::sizeHint().height()); }

QSize ElidedLabel::minimumSizeHint() const { return QSize(0, QLabel::minimumSizeHint().height()); }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

} // namespace kx
