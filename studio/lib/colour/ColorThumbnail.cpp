#include "colour/ColorThumbnail.h"

#include "image/CxImage.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <vector>

namespace {
const QColor kFrame(0, 64, 128);
} // namespace

QImage ImageToBitmap(const CxImage* image)
{
    std::vector<uint8_t> px;
    if (!image || !image->IsValid() || !image->CopyToArray(px, true)) return {};
    const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
    if (w <= 0 || h <= 0 || px.size() < size_t(w) * size_t(h) * 4) return {};
    QImage out(w, h, QImage::Format_RGBA8888);
    if (out.isNull()) return {};
    for (int y = 0; y < h; ++y) std::copy_n(px.data() + size_t(y) * w * 4, size_t(w) * 4, out.scanLine(y));
    return out;
}

int MakeFramedThumbnailBitmap(const CxImage* image, int a, QImage& out)
{
    if (a < 3) return 0;
    const QImage picture = ImageToBitmap(image);
    if (picture.isNull()) return 0;
    QImage canvas(a, a, QImage::Format_RGB32);
    if (canvas.isNull()) return 0;

    const int width = picture.width(), height = picture.height();
    const int inner = a - 2;
    const float scale = float(inner) / float(std::max(width, height));
    QRect placed;
    if (height >= width) {
        const int g = static_cast<int>(float(width) * scale);
        placed = QRect(a / 2 - g / 2, 1, g, inner);
    } else {
        const int k = static_cast<int>(float(height) * scale);
        placed = QRect(1, a / 2 - k / 2, inner, k);
    }

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(0, 0, a, a, Qt::white);
    painter.drawImage(placed, picture);
    painter.setPen(QPen(kFrame, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, a, a));
    painter.end();
    out = canvas;
    return 1;
}

int MakeFramedThumbnail(const CxImage* image, int a, CxImage& target)
{
    QImage drawn;
    if (!MakeFramedThumbnailBitmap(image, a, drawn)) return 0;
    const QImage rgb = drawn.convertToFormat(QImage::Format_RGB888);
    CxImage made;
    if (!made.CreateFromArray(rgb.constBits(), uint32_t(rgb.width()), uint32_t(rgb.height()), 24,
                              uint32_t(rgb.bytesPerLine())))
        return 0;
    target = std::move(made);
    return 1;
}
