// The drawing half of CkxImageTool: micro images, scaling, framing and the exchange between
// pictures and QImage. Pixels are painted with QPainter on QImage; no screen is needed.
#include "CkxImageTool.h"

#include "CxImage.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <vector>

namespace {

QColor FromBgr(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The raised-edge rectangle of width cx and height cy at (x, y): top and left edges in one colour,
// right and bottom edges in the other (the bottom-right corner belongs to the second).
void Draw3dRect(QPainter& p, int x, int y, int cx, int cy, uint32_t topLeft, uint32_t bottomRight) {
    const QColor tl = FromBgr(topLeft), br = FromBgr(bottomRight);
    if (cx > 1) p.fillRect(x, y, cx - 1, 1, tl);
    if (cy > 1) p.fillRect(x, y, 1, cy - 1, tl);
    if (cx > 0 && cy > 0) {
        p.fillRect(x + cx - 1, y, 1, cy, br);
        p.fillRect(x, y + cy - 1, cx, 1, br);
    }
}

QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(FromBgr(CkxImageTool::BACKGROUND));
    return img;
}

// The micro image around a picture already scaled to the size MicroGeometry gives.
QImage ComposeMicro(const QImage& scaled, const CkxImageTool::MicroPlace& at, unsigned S, int frame) {
    QImage out = White(static_cast<int>(S), static_cast<int>(S));
    QPainter p(&out);
    p.drawImage(at.x, at.y, scaled);
    if (frame)
        Draw3dRect(p, 0, 0, static_cast<int>(S), static_cast<int>(S) - 1, CkxImageTool::FRAME_TOPLEFT,
                   CkxImageTool::FRAME_BOTTOMRIGHT);
    return out;
}

int MicroFromScaled(CxImage& scaled, const CkxImageTool::MicroPlace& at, unsigned S, QImage& out, int frame) {
    QImage picture = CkxImageTool::BuildBitmap(scaled);
    if (picture.isNull()) return 0;
    out = ComposeMicro(picture, at, S, frame);
    return out.isNull() ? 0 : 1;
}

// Decodes an encoded picture straight to its micro size.
int MicroFromBytes(const unsigned char* bytes, int n, unsigned S, QImage& out, int frame) {
    if (!bytes || n <= 0 || S == 0) return 0;
    CxImageInfo info;
    if (!CxImage::ReadInfo(bytes, static_cast<size_t>(n), info)) return 0;
    auto at = CkxImageTool::MicroGeometry(info.width, info.height, S);
    CxImage scaled;
    if (at.w <= 0 || !scaled.DecodeThumbnail(bytes, static_cast<size_t>(n), at.w, at.h)) return 0;
    return MicroFromScaled(scaled, at, S, out, frame);
}

template <class Out, class Make>
int ForEach(KxPtrList<CxImage>& images, KxPtrList<Out>& out, Make make) {
    while (Out* o = out.RemoveHead()) delete o;
    for (POSITION pos = images.GetHeadPosition(); pos;) {
        CxImage* img = images.GetNext(pos);
        auto* o = new Out;
        if (img && make(*img, *o)) out.AddTail(o);
        else delete o;
    }
    return out.GetCount();
}

} // namespace

QImage CkxImageTool::BuildBitmap(CxImage& image) {
    if (!image.IsValid()) return QImage();
    const bool alpha = image.AlphaIsValid();
    std::vector<uint8_t> px;
    if (!image.CopyToArray(px, alpha)) return QImage();
    const int w = static_cast<int>(image.GetWidth()), h = static_cast<int>(image.GetHeight());
    const int stride = w * (alpha ? 4 : 3);
    QImage view(px.data(), w, h, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return view.copy(); // owns its pixels; px dies here
}

int CkxImageTool::ToBitmap(CxImage& image, QImage& out) {
    QImage b = BuildBitmap(image);
    if (b.isNull()) return 0;
    out = std::move(b);
    return 1;
}

int CkxImageTool::ToImage(const QImage& bitmap, CxImage& out) {
    if (bitmap.isNull()) return 0;
    const bool alpha = bitmap.hasAlphaChannel();
    QImage c = bitmap.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return out.CreateFromArray(c.constBits(), static_cast<uint32_t>(c.width()), static_cast<uint32_t>(c.height()),
                               alpha ? 32 : 24, static_cast<uint32_t>(c.bytesPerLine()))
               ? 1
               : 0;
}

int CkxImageTool::BuildMicroImage(CxImage& image, unsigned S, QImage& out, int frame) {
    if (!image.IsValid() || S == 0) return 0;
    auto at = MicroGeometry(image.GetWidth(), image.GetHeight(), S);
    CxImage scaled;
    if (!image.Resample(at.w, at.h, CxImage::RS_LANCZOS, &scaled)) return 0;
    return MicroFromScaled(scaled, at, S, out, frame);
}

int CkxImageTool::BuildMicroImage(CxImage& image, unsigned S, CxImage& out, int frame) {
    QImage micro;
    return BuildMicroImage(image, S, micro, frame) ? ToImage(micro, out) : 0;
}

int CkxImageTool::BuildMicroImage(const unsigned char* bytes, int n, unsigned S, QImage& out, int frame) {
    return MicroFromBytes(bytes, n, S, out, frame);
}

int CkxImageTool::BuildMicroImage(const unsigned char* bytes, int n, unsigned S, CxImage& out, int frame) {
    QImage micro;
    return MicroFromBytes(bytes, n, S, micro, frame) ? ToImage(micro, out) : 0;
}

int CkxImageTool::BuildMicroImage_File(const std::string& path, unsigned S, CxImage& out, int frame) {
    CxImageInfo info;
    if (S == 0 || !CxImage::ReadFileInfo(path, info)) return 0;
    auto at = MicroGeometry(info.width, info.height, S);
    CxImage scaled;
    QImage micro;
    if (at.w <= 0 || !scaled.LoadThumbnail(path, at.w, at.h, info.type)) return 0;
    return MicroFromScaled(scaled, at, S, micro, frame) ? ToImage(micro, out) : 0;
}

int CkxImageTool::BuildMicroImage_BmpList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<QImage>& out) {
    return ForEach(images, out, [S](CxImage& img, QImage& o) { return BuildMicroImage(img, S, o, 0); });
}

int CkxImageTool::BuildMicroImage_ImgList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<CxImage>& out) {
    return ForEach(images, out, [S](CxImage& img, CxImage& o) { return BuildMicroImage(img, S, o, 0); });
}

int CkxImageTool::ScaleImage(CxImage& image, unsigned w, unsigned h, QImage& out) {
    if (!image.IsValid() || w == 0 || h == 0) return 0;
    CxImage stretched;
    if (!image.Resample(w, h, CxImage::RS_LANCZOS, &stretched)) return 0;
    QImage picture = BuildBitmap(stretched);
    if (picture.isNull()) return 0;
    QImage result = White(static_cast<int>(w), static_cast<int>(h));
    QPainter p(&result);
    p.drawImage(0, 0, picture);
    const QColor c = FromBgr(SCALE_FRAME);
    const int W = static_cast<int>(w), H = static_cast<int>(h);
    p.fillRect(0, 0, W, 1, c);
    p.fillRect(0, H - 1, W, 1, c);
    p.fillRect(0, 0, 1, H, c);
    p.fillRect(W - 1, 0, 1, H, c);
    p.end();
    out = std::move(result);
    return 1;
}

int CkxImageTool::ScaleImage(CxImage& image, unsigned w, unsigned h, CxImage& out) {
    QImage scaled;
    return ScaleImage(image, w, h, scaled) ? ToImage(scaled, out) : 0;
}

int CkxImageTool::ScaleImage_BmpList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<QImage>& out) {
    return ForEach(images, out, [w, h](CxImage& img, QImage& o) { return ScaleImage(img, w, h, o); });
}

int CkxImageTool::ScaleImage_ImgList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<CxImage>& out) {
    return ForEach(images, out, [w, h](CxImage& img, CxImage& o) { return ScaleImage(img, w, h, o); });
}

int CkxImageTool::DrawFrame(CxImage& image, int) {
    QImage picture = BuildBitmap(image);
    if (picture.isNull()) return 0;
    const int side = std::max(picture.width(), picture.height());
    QImage result = White(side, side);
    QPainter p(&result);
    p.drawImage(0, 0, picture);
    Draw3dRect(p, 0, 0, side - 1, side - 1, FRAME_TOPLEFT, FRAME_BOTTOMRIGHT);
    p.end();
    return ToImage(result, image);
}
