// Image lists of equal-sized pictures (the trees' and lists' icons), and the loader that cuts a
// bitmap strip into 16-pixel cells with pure red (255, 0, 0) as the transparent colour. The
// programs' strips are compiled into kxdll as ":/bitmaps/<resource id>.png", their tool-button
// icons as ":/icons/<name>.png" (freedesktop icon names).
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <vector>

namespace kx {

class ImageList {
public:
    ImageList() = default;
    ImageList(int cx, int cy) { Create(cx, cy); }

    // Empties the list and sets the size of its images.
    void Create(int cx, int cy);
    QSize ImageSize() const { return size_; }

    // Appends an image, scaled to the list's size when it differs; returns its index.
    int Add(const QImage& image);
    // Cuts `strip` into cells of the list's width (left to right), makes pure red transparent in
    // each and appends them; returns the number added.
    int AddStrip(const QImage& strip);
    // Loads a strip from a file or resource path and adds it; false when it cannot be read.
    bool LoadStrip(const QString& path);
    // Loads the strip compiled in under `resourceId`.
    bool LoadBitmap(int resourceId) { return LoadStrip(BitmapPath(resourceId)); }

    int GetImageCount() const { return static_cast<int>(images_.size()); }
    void RemoveAll() { images_.clear(); }
    // The image at `index`; a null image for an index out of range.
    QImage Image(int index) const;
    QIcon Icon(int index) const;

    // ":/bitmaps/<id>.png".
    static QString BitmapPath(int resourceId);
    // Every cell of the strip compiled in under `resourceId` as an icon; empty when it is missing.
    static std::vector<QIcon> BitmapIcons(int resourceId);
    // A cell of `strip` (cell width `cell`, the strip's height) with pure red made transparent.
    static QImage StripCell(const QImage& strip, int index, int cell = 16);

private:
    QSize size_{16, 16};
    std::vector<QImage> images_;
};

// The tool-button icon compiled in under `name` (":/icons/<name>.png"); a null icon when there
// is none, so a button without one shows its caption.
QIcon ToolIcon(const char* name);

} // namespace kx
