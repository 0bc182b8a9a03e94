// One row's entry of the file list view: the file it shows (held by copy, adoption or reference),
// its texts and icon index, and its thumbnails, built once per size from the file's stored
// thumbnail bytes and kept with the mask of the sizes built. The view owns its entries.
#pragma once

#include "model/CkxFileX.h"
#include "model/KxExport.h"
#include "base/OleDate.h"

#include <QImage>

#include <array>
#include <string>

class KX_EXPORT CkxwFileListEntry {
public:
    enum Kind { KIND_FILE = 0, KIND_FOLDER = 1 };
    static constexpr int kSizeCount = 11;

    // Size index of a browse-mode flag: 32 -> 1, 64 -> 2, ... 16384 -> 10; every other value 0.
    static int SizeIndex(int flag);
    // The flag of a size index (16 << index), its thumbnail edge (50 + 10 * index) and the
    // icon spacing of that size (edge + 10 by edge + 35).
    static int SizeFlag(int index);
    static int SizeEdge(int index);
    static int SpacingX(int index) { return SizeEdge(index) + 10; }
    static int SpacingY(int index) { return SizeEdge(index) + 35; }

    CkxwFileListEntry() = default;
    CkxwFileListEntry(const CkxwFileListEntry&) = delete;
    CkxwFileListEntry& operator=(const CkxwFileListEntry&) = delete;

    // True when the held file carries thumbnail bytes.
    bool HasMicroBytes() const;
    // The bitmap of a size, built from the stored bytes at that size's edge the first time it is
    // asked for (its flag then joins the built-size mask). A null image when the file has no
    // thumbnail bytes or they cannot be decoded (nothing is recorded then).
    const QImage& BuildMicro(int index);
    // The cached bitmap of a size (null when never built).
    const QImage& GetMicro(int index) const;
    bool IsMicroBuilt(int index) const { return (m_nMicroMask & SizeFlag(index)) != 0; }
    // Drops every cached bitmap and clears the mask (the file changed).
    void ClearMicro();

    int m_nKind = KIND_FILE;
    int m_nIconIndex = 0;   // the extension's index in the file-type icon list
    int m_nMicroIndex = -1; // where the entry's picture sits in the current thumbnail list
    std::string m_strText;  // the text of the first column (UTF-8)
    int m_nFileID = -1;     // -1 for a folder
    std::string m_strExName;
    CkxFileX m_File;
    int m_nMicroMask = 0;   // OR of the size flags whose bitmap is built
    COleDateTime m_dtCreate{0.0};
    COleDateTime m_dtModify{0.0};

private:
    std::array<QImage, kSizeCount> m_Micro;
};
