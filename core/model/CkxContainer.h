// CkxContainer: several byte sections framed as one body: int32 count N, N int32 lengths,
// then the sections back to back. Files, query templates and attribute templates travel so.
#pragma once

#include "model/CkxBuf.h"
#include "model/KxExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KX_EXPORT CkxContainer {
public:
    struct Sect {
        std::string bytes;
        const unsigned char* Data() const {
            return reinterpret_cast<const unsigned char*>(bytes.data());
        }
        uint32_t Len() const { return static_cast<uint32_t>(bytes.size()); }
        std::string_view View() const { return bytes; }
    };

    CkxContainer() = default;
    CkxContainer(const CkxContainer&) = default;
    CkxContainer& operator=(const CkxContainer&) = default;
    virtual ~CkxContainer() = default;

    // Appends a copy of n bytes (n may be 0); 1, or 0 when memory runs out.
    int AddSect(const void* bytes, unsigned n);
    int AddSect(std::string_view bytes) {
        return AddSect(bytes.data(), static_cast<unsigned>(bytes.size()));
    }
    // The section at i, or null when i is out of range.
    const Sect* GetSect(int i) const;
    int GetCount() const { return static_cast<int>(m_sects.size()); }
    // The sum of the section lengths.
    int GetLength() const;

    // Writes the framed form into buf; returns its total length, 0 when it cannot be allocated.
    int BuildBuf(CkxBuf& buf) const;
    // Appends the sections found in a framed buffer and returns the count read. The whole
    // header and every length are checked against n first: a null pointer, a negative or
    // oversized count, or lengths that run past the end add nothing and return 0.
    int PasyBuf(const void* bytes, int n);
    // The sections of a framed buffer as views into it, nothing copied (for a reader that takes
    // large sections straight from a received message), with the same checks as PasyBuf:
    // the count, or 0 with `out` empty.
    static int SectionViews(const void* bytes, int n, std::vector<std::string_view>& out);
    void DeleteAll() { m_sects.clear(); }

private:
    std::vector<Sect> m_sects;
};
