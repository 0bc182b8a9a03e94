// CkxMemFile: a byte block with an ownership mode (0 empty, 1 owned, 2 mapped: someone
// else's block that is never freed here), read from and written to disk files whole.
#pragma once

#include "model/KxExport.h"

#include <string>

class KX_EXPORT CkxMemFile {
public:
    enum Mode { Empty = 0, Owned = 1, Mapped = 2 };

    CkxMemFile() = default;
    CkxMemFile(const CkxMemFile& o) { *this = o; }
    CkxMemFile& operator=(const CkxMemFile& o);
    virtual ~CkxMemFile() { Destroy(); }

    unsigned char* CreateMem(int n);
    // Adopts a block allocated with new unsigned char[]; the memory file frees it later.
    unsigned char* AttachMem(unsigned char* bytes, int n);
    unsigned char* CopyMem(const void* bytes, int n);
    unsigned char* MapMem(unsigned char* bytes, int n);
    void Destroy();

    int IsValid() const { return m_pMem != nullptr && m_nLen > 0 && m_nMode != Empty; }
    unsigned char* GetMemPt() const { return m_pMem; }
    int GetMemLen() const { return m_nLen; }
    int GetMode() const { return m_nMode; }

    // Reads the whole file (or from offset to the end) into an owned block and returns the
    // count; 0 when it cannot be read, the memory file then empty. The file is opened read-only.
    int ReadFile(const std::string& path);
    int ReadFile(const std::string& path, int offset);
    // Writes the block to the file (at offset, zeros before it) through kx::WriteFileSafely;
    // 1 or 0. A failure never leaves a truncated file behind.
    int WriteFile(const std::string& path) const { return WriteFile(path, 0); }
    int WriteFile(const std::string& path, int offset) const;

private:
    unsigned char* m_pMem = nullptr;
    int m_nLen = 0;
    int m_nMode = Empty;
};
