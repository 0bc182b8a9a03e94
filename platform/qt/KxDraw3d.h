// The classic bevels of owner-drawn controls on a QPainter: a one-pixel 3D rectangle (two colours,
// the bottom-right corner in the second) and the raised and sunken edges built from it, coloured
// from a widget's palette.
#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>

class QPainter;

namespace kx {

// The rectangle's top and left sides in `topLeft`, right and bottom in `bottomRight`. The rect is
// inclusive of its right and bottom pixels as QRect keeps them.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight);

// The edges of a bevel, each one pixel wide, outer first.
enum EdgeFlags : unsigned {
    kRaisedOuter = 0x1,
    kSunkenOuter = 0x2,
    kRaisedInner = 0x4,
    kSunkenInner = 0x8,
    kEdgeRaised = kRaisedOuter | kRaisedInner,
    kEdgeSunken = kSunkenOuter | kSunkenInner,
};

// Draws the outer edge on r and the inner one a pixel inside, in the palette's bevel colours
// (Light and Dark for the inner edge; Midlight and Shadow for the outer one).
void DrawEdge(QPainter& p, const QRect& r, unsigned edges, const QPalette& pal);

} // namespace kx
