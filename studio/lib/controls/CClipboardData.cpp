#include "controls/CClipboardData.h"

#include "base/KxAtomTable.h"
#include "qt/KxClipboard.h"

#include <QClipboard>
#include <QMimeData>

#include <atomic>
#include <cstring>
#include <limits>
#include <memory>

namespace studio {

namespace {

std::atomic<std::uint16_t> g_format{CClipboardData::kFormatText};
// The process holds the clipboard open (only the application's thread ever changes it).
bool g_open = false;

} // namespace

CClipboardData::CClipboardData() { g_format = kFormatText; }

std::string CClipboardData::MimeType(std::uint16_t format) {
    if (format == kFormatText) return "text/plain";
    const std::string name = kx::AtomName(format);
    return name.empty() ? std::string() : "application/x-varnia-" + name;
}

std::uint16_t CClipboardData::CurrentFormat() { return g_format; }

std::uint16_t CClipboardData::RegisterFormat(const std::string& name) {
    const std::uint16_t number = kx::RegisterAtom(name);
    if (number) g_format = number;
    return number;
}

bool CClipboardData::Open() {
    if (!kx::UsableClipboard() || g_open) return false;
    g_open = true;
    return true;
}

bool CClipboardData::Close() {
    if (!kx::UsableClipboard() || !g_open) return false;
    g_open = false;
    return true;
}

bool CClipboardData::Empty() {
    QClipboard* cb = kx::UsableClipboard();
    if (!cb || !g_open) return false;
    cb->clear();
    return true;
}

bool CClipboardData::SetData(const void* bytes, std::size_t length) {
    QClipboard* cb = kx::UsableClipboard();
    const std::string mime = MimeType(g_format);
    if (!cb || !g_open || mime.empty() || (!bytes && length > 0) ||
        length > std::size_t(std::numeric_limits<int>::max()))
        return false;
    // The formats already there stay beside the new one, as they do until someone empties it.
    auto data = std::make_unique<QMimeData>();
    if (const QMimeData* old = cb->mimeData())
        for (const QString& f : old->formats()) data->setData(f, old->data(f));
    data->setData(QString::fromStdString(mime),
                  QByteArray(static_cast<const char*>(bytes), static_cast<qsizetype>(length)));
    cb->setMimeData(data.release());
    g_open = false;
    return true;
}

bool CClipboardData::GetData(void* buffer, std::size_t length) {
    QClipboard* cb = kx::UsableClipboard();
    const std::string mime = MimeType(g_format);
    if (!cb || mime.empty()) return false;
    const QMimeData* data = cb->mimeData();
    const QString type = QString::fromStdString(mime);
    if (!data || !data->hasFormat(type)) return false;
    const QByteArray block = data->data(type);
    // Never past the block: a longer request is refused rather than read beyond it.
    if (length > std::size_t(block.size()) || (!buffer && length > 0)) return false;
    if (length > 0) std::memcpy(buffer, block.constData(), length);
    return true;
}

} // namespace studio
