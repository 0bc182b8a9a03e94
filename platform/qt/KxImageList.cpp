#include "qt/KxImageList.h"

namespace kx {

void ImageList::Create(int cx, int cy) {
    size_ = QSize(cx, cy);
    images_.clear();
}

int ImageList::Add(const QImage& image) {
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    if (copy.size() != size_)
        copy = copy.scaled(size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    images_.push_back(copy);
    return GetImageCount() - 1;
}

int ImageList::AddStrip(const QImage& strip) {
    const int cell = size_.width();
    if (strip.isNull() || cell <= 0) return 0;
    const int cells = strip.width() / cell;
    for (int i = 0; i < cells; ++i) Add(StripCell(strip, i, cell));
    return cells;
}

bool ImageList::LoadStrip(const QString& path) {
    QImage strip(path);
    if (strip.isNull()) return false;
    return AddStrip(strip) > 0;
}

QImage ImageList::Image(int index) const {
    if (index < 0 || index >= GetImageCount()) return {};
    return images_[static_cast<size_t>(index)];
}

QIcon ImageList::Icon(int index) const {
    QImage image = Image(index);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QString ImageList::BitmapPath(int resourceId) {
    return QStringLiteral(":/bitmaps/%1.png").arg(resourceId);
}

QImage ImageList::StripCell(const QImage& strip, int index, int cell) {
    QImage out = strip.copy(index * cell, 0, cell, strip.height()).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            if (qRed(p) == 255 && qGreen(p) == 0 && qBlue(p) == 0) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return out;
}

} // namespace kx
