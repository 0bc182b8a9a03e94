// A picture drawn off screen and written as a BMP file: Attach gives a canvas of the size to draw
// on; SaveBitmapFile writes it (24 bits per pixel, rows bottom-up, each padded to 4 bytes) and
// lets the canvas go, SaveBitmapFileKeep writes it and keeps the canvas.
#pragma once

#include <QImage>

#include <optional>
#include <string>

class CBitmapSnapshot {
public:
    // A canvas of width x height filled white; null for a size that is not positive.
    QImage* Attach(int width, int height);
    // False when there is no canvas or the file cannot be written (nothing is left behind).
    bool SaveBitmapFile(const std::string& path);
    bool SaveBitmapFileKeep(const std::string& path) const;

    // The BMP file's bytes for a picture.
    static std::string Encode(const QImage& image);

private:
    std::optional<QImage> m_bitmap;
};
