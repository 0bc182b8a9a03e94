#include "ui/CkxwFileListEntry.h"

#include "image/CkxImageTool.h"

int CkxwFileListEntry::SizeIndex(int flag) {
    for (int i = 1; i < kSizeCount; ++i)
        if (flag == SizeFlag(i)) return i;
    return 0;
}

int CkxwFileListEntry::SizeFlag(int index) { return 16 << index; }

int CkxwFileListEntry::SizeEdge(int index) { return 50 + 10 * index; }

bool CkxwFileListEntry::HasMicroBytes() const {
    const CkxFile* file = m_File.GetFile();
    return file && file->IsMemMicroValid() && file->GetMemMicroBuf() && file->GetMemMicroSize() > 0;
}

const QImage& CkxwFileListEntry::BuildMicro(int index) {
    static const QImage kNone;
    if (index < 0 || index >= kSizeCount) return kNone;
    if (IsMicroBuilt(index)) return m_Micro[index];
    if (!HasMicroBytes()) return kNone;
    const CkxFile* file = m_File.GetFile();
    QImage built;
    if (!CkxImageTool::BuildMicroImage(file->GetMemMicroBuf(), file->GetMemMicroSize(),
                                       static_cast<unsigned>(SizeEdge(index)), built, 1))
        return kNone;
    // Kept in the image lists' own format, so every later regroup appends it without a copy.
    m_Micro[index] = built.convertToFormat(QImage::Format_ARGB32);
    m_nMicroMask |= SizeFlag(index);
    return m_Micro[index];
}

const QImage& CkxwFileListEntry::GetMicro(int index) const {
    static const QImage kNone;
    return index >= 0 && index < kSizeCount ? m_Micro[index] : kNone;
}

void CkxwFileListEntry::ClearMicro() {
    for (QImage& m : m_Micro) m = QImage();
    m_nMicroMask = 0;
}
