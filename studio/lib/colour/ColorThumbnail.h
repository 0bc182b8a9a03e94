// Framed square thumbnails of catalogue images for the colour features: the picture scaled into
// an a x a white square (a - 2 inside, centred on its short side) with a one-pixel frame of
// RGB(0, 64, 128), drawn with QPainter; and an image's pixels as a QImage.
#pragma once

#include <QImage>

class CxImage;

// Draws the framed thumbnail into target. 1 when it was made; 0, leaving target as it was, for a
// null or empty image, an edge a below 3, or when no drawing surface could be made.
int MakeFramedThumbnail(const CxImage* image, int a, CxImage& target);
// The same drawing as a QImage (RGB32) in out.
int MakeFramedThumbnailBitmap(const CxImage* image, int a, QImage& out);
// The image's pixels with alpha as a QImage owned by the caller; a null QImage for a null or
// invalid image.
QImage ImageToBitmap(const CxImage* image);
