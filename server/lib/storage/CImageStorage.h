// The storage that every file request uses: stored files of images lie under File/Image.
#pragma once

#include "storage/CFileStorage.h"

class CImageStorage : public CFileStorage {
public:
    using CFileStorage::CFileStorage;
    std::string GetKindFolder() const override { return "/Image"; }
};
