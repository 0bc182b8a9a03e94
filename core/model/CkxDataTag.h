// CkxDataTag: a user's own bookmark on a file, and CkxDataTagList, the bookmarks a program holds.
#pragma once

#include "model/CkxFileMark.h"

class KX_EXPORT CkxDataTag : public CkxFileMark {
public:
    using CkxFileMark::CkxFileMark;
    CkxDataTag() = default;
    CkxDataTag& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
};

class KX_EXPORT CkxDataTagList : public CkxFileMarkList<CkxDataTag> {};
