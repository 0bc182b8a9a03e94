// The byte streams the image layer reads from and writes to: CxFile is the common face,
// CxMemFile a block in memory (growable, or someone else's fixed block), CxIOFile a disk file.
#pragma once

#include "model/KxExport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class KX_EXPORT CxFile {
public:
    virtual ~CxFile() = default;
    virtual bool Close() = 0;
    // Reads up to size * count bytes; returns the number of whole items read.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin is SEEK_SET, SEEK_CUR or SEEK_END; false (position unchanged) outside the data.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
};

class KX_EXPORT CxMemFile : public CxFile {
public:
    // With a block: reads (and overwrites within) that block, which stays the caller's and never
    // grows. Without: an empty owned block that Open prepares and writes grow.
    explicit CxMemFile(uint8_t* buffer = nullptr, size_t size = 0);
    ~CxMemFile() override;
    CxMemFile(const CxMemFile&) = delete;
    CxMemFile& operator=(const CxMemFile&) = delete;

    bool Open();
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override { return static_cast<int64_t>(m_pos); }
    int64_t Size() override { return static_cast<int64_t>(m_size); }

    // The block. With detach the caller takes an owned block (free it with delete[]) and this
    // file becomes empty; a caller's own block is never handed over (null is returned).
    uint8_t* GetBuffer(bool detach = true);

private:
    bool Reserve(size_t n);

    uint8_t* m_pBuffer = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    size_t m_pos = 0;
    bool m_owned = true;
};

class KX_EXPORT CxIOFile : public CxFile {
public:
    // Wraps a stream the caller keeps (never closed here), or none until Open.
    explicit CxIOFile(FILE* fp = nullptr) : m_fp(fp) {}
    ~CxIOFile() override { Close(); }
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    // mode as fopen's ("rb", "wb", ...); false when a stream is already open or fopen fails.
    bool Open(const std::string& path, const char* mode);
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;

private:
    FILE* m_fp = nullptr;
    bool m_owned = false;
};
