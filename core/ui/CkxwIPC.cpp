#include "ui/CkxwIPC.h"

#include "image/CxImage.h"
#include "qt/KxClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <vector>

using kx::UsableClipboard;

int CkxwIPC::CopyImageToClipboard(const QImage& image) {
    if (image.isNull()) return 0;
    QClipboard* cb = UsableClipboard();
    if (!cb) return 0;
    cb->setImage(image);
    const QMimeData* data = cb->mimeData();
    return data && data->hasImage() ? 1 : 0;
}

int CkxwIPC::CopyImageToClipboard(const CxImage& image) {
    if (!image.IsValid()) return 0;
    const bool alpha = image.AlphaIsValid();
    std::vector<uint8_t> pixels;
    if (!image.CopyToArray(pixels, alpha)) return 0;
    const int w = static_cast<int>(image.GetWidth());
    const int h = static_cast<int>(image.GetHeight());
    const int bpp = alpha ? 4 : 3;
    if (pixels.size() != static_cast<size_t>(w) * h * bpp) return 0;
    QImage view(pixels.data(), w, h, w * bpp, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return CopyImageToClipboard(view.copy());
}

int CkxwIPC::CopyImageFromClipboard(CxImage& image) {
    image.Destroy();
    QClipboard* cb = UsableClipboard();
    if (!cb) return 0;
    QImage picture = cb->image();
    if (picture.isNull()) return 0;
    const bool alpha = picture.hasAlphaChannel();
    QImage rows = picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    image.CreateFromArray(rows.constBits(), static_cast<uint32_t>(rows.width()), static_cast<uint32_t>(rows.height()),
                          alpha ? 32 : 24, static_cast<uint32_t>(rows.bytesPerLine()));
    return image.IsValid() ? 1 : 0;
}
