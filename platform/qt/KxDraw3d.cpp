#include "qt/KxDraw3d.h"

#include <QPainter>

namespace kx {

void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

void DrawEdge(QPainter& p, const QRect& r, unsigned edges, const QPalette& pal) {
    const QColor light = pal.color(QPalette::Light), dark = pal.color(QPalette::Dark);
    const QColor midlight = pal.color(QPalette::Midlight), shadow = pal.color(QPalette::Shadow);
    if (edges & kRaisedOuter) Draw3dRect(p, r, midlight, shadow);
    else if (edges & kSunkenOuter) Draw3dRect(p, r, dark, light);
    const QRect inner = (edges & (kRaisedOuter | kSunkenOuter)) ? r.adjusted(1, 1, -1, -1) : r;
    if (edges & kRaisedInner) Draw3dRect(p, inner, light, dark);
    else if (edges & kSunkenInner) Draw3dRect(p, inner, shadow, midlight);
}

} // namespace kx
