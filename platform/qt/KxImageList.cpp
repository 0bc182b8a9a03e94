#include "qt/KxImageList.h"

#include <QFile>
#include <QPainter>

namespace kx {

void ImageList::Create(int cx, int cy) {
    size_ = QSize(cx, cy);
    images_.clear();
}

int ImageList::Add(const QImage& image) {
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    if (copy.size() != size_) {
        // Scaled to fit and centred on a transparent cell, so every image has the list's size.
        const QImage scaled = copy.scaled(size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        copy = QImage(size_, QImage::Format_ARGB32);
        copy.fill(Qt::transparent);
        QPainter painter(&copy);
        painter.drawImage((size_.width() - scaled.width()) / 2, (size_.height() - scaled.height()) / 2,
                          scaled);
    }
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

std::vector<QIcon> ImageList::BitmapIcons(int resourceId) {
    ImageList list(16, 16);
    std::vector<QIcon> icons;
    if (!list.LoadBitmap(resourceId)) return icons;
    for (int i = 0; i < list.GetImageCount(); ++i) icons.push_back(list.Icon(i));
    return icons;
}

QIcon ToolIcon(const char* name) {
    const QString path = QStringLiteral(":/icons/%1.png").arg(QString::fromUtf8(name));
    return QFile::exists(path) ? QIcon(path) : QIcon();
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
