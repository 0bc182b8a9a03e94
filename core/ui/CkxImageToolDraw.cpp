// The bitmap half of CkxImageTool: the exchange between pictures and QImage, and the QImage
// forms of micro images and scaling, which draw through the picture forms and hand the result
// over as a bitmap (so both give the same pixels). No screen is needed.
#include "image/CkxImageTool.h"

#include "image/CxImage.h"

#include <QImage>

#include <vector>

namespace {

int AsBitmap(int made, CxImage& picture, QImage& out) { return made ? CkxImageTool::ToBitmap(picture, out) : 0; }

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
    CxImage micro;
    return AsBitmap(BuildMicroImage(image, S, micro, frame), micro, out);
}

int CkxImageTool::BuildMicroImage(const unsigned char* bytes, int n, unsigned S, QImage& out, int frame) {
    CxImage micro;
    return AsBitmap(BuildMicroImage(bytes, n, S, micro, frame), micro, out);
}

int CkxImageTool::BuildMicroImage_BmpList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<QImage>& out) {
    return ForEach(images, out, [S](CxImage& img, QImage& o) { return BuildMicroImage(img, S, o, 0); });
}

int CkxImageTool::BuildMicroImage_ImgList(KxPtrList<CxImage>& images, unsigned S, KxPtrList<CxImage>& out) {
    return ForEach(images, out, [S](CxImage& img, CxImage& o) { return BuildMicroImage(img, S, o, 0); });
}

int CkxImageTool::ScaleImage(CxImage& image, unsigned w, unsigned h, QImage& out) {
    CxImage scaled;
    return AsBitmap(ScaleImage(image, w, h, scaled), scaled, out);
}

int CkxImageTool::ScaleImage_BmpList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<QImage>& out) {
    return ForEach(images, out, [w, h](CxImage& img, QImage& o) { return ScaleImage(img, w, h, o); });
}

int CkxImageTool::ScaleImage_ImgList(KxPtrList<CxImage>& images, unsigned w, unsigned h, KxPtrList<CxImage>& out) {
    return ForEach(images, out, [w, h](CxImage& img, CxImage& o) { return ScaleImage(img, w, h, o); });
}
