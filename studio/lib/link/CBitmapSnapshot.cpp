#include "link/CBitmapSnapshot.h"

#include "base/KxSafeWrite.h"

#include <cstdint>

namespace {

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QImage* CBitmapSnapshot::Attach(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    m_bitmap = QImage(width, height, QImage::Format_RGB32);
    m_bitmap->fill(Qt::white);
    return &*m_bitmap;
}

std::string CBitmapSnapshot::Encode(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height();
    const std::uint32_t stride = (std::uint32_t(w) * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * std::uint32_t(h);
    std::string out;
    out.reserve(54 + pixels);
    // The 14-byte file header.
    out += "BM";
    Put32(out, 54 + pixels);
    Put32(out, 0);
    Put32(out, 54);
    // The 40-byte information header: no compression, 24 bits per pixel.
    Put32(out, 40);
    Put32(out, std::uint32_t(w));
    Put32(out, std::uint32_t(h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixels);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    // Rows bottom-up, blue, green, red, each padded to 4 bytes.
    for (int y = h - 1; y >= 0; --y) {
        const uchar* line = rgb.constScanLine(y);
        std::string row;
        for (int x = 0; x < w; ++x) {
            row.push_back(char(line[3 * x + 2]));
            row.push_back(char(line[3 * x + 1]));
            row.push_back(char(line[3 * x]));
        }
        row.resize(stride, '\0');
        out += row;
    }
    return out;
}

bool CBitmapSnapshot::SaveBitmapFileKeep(const std::string& path) const {
    if (!m_bitmap) return false;
    return kx::WriteFileSafely(path, Encode(*m_bitmap)).ok();
}

bool CBitmapSnapshot::SaveBitmapFile(const std::string& path) {
    const bool ok = SaveBitmapFileKeep(path);
    m_bitmap.reset();
    return ok;
}
