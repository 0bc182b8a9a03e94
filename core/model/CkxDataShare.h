// CkxDataShare: a file a user offers to others under a name, and CkxDataShareList, the shares
// a program holds (the process-wide one is the context object's share list).
#pragma once

#include "model/CkxFileMark.h"

#include <vector>

class KX_EXPORT CkxDataShare : public CkxFileMark {
public:
    using CkxFileMark::CkxFileMark;
    CkxDataShare() = default;
    CkxDataShare& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
};

class KX_EXPORT CkxDataShareList : public CkxFileMarkList<CkxDataShare> {
public:
    // Appends (without clearing out) every share the user created; returns out's size after.
    int GetUserCreate(int userId, std::vector<CkxDataShare*>& out) const;
};
