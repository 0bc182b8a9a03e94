// The storage that every file request uses: stored files of images lie under File/Image.
#pragma once

#include "storage/CFileStorage.h"

namespace kx {
// The kind word of the server's storage roots ("KX_Storage_0" ...).
inline constexpr const char* kStorageKindWord = "KX";
} // namespace kx

class CImageStorage : public CFileStorage {
public:
    using CFileStorage::CFileStorage;
    std::string GetKindFolder() const override { return "/Image"; }
};
