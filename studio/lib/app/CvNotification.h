// CvNotification: one change of files that the session hands to the application's documents:
// what to do (the code) and the file, checkout record or file ids it concerns.
#pragma once

#include "model/CkxCheckout.h"
#include "model/CkxFile.h"
#include "model/CkxFileX.h"

#include <vector>

struct CvNotification {
    enum Code {
        UPDATE_FILE = 1,       // a file's record changed: every open document
        REMOVE_FILES = 3,      // files deleted: every open document
        CHECKED_OUT = 4,       // a file was checked out: every open document
        BIN_PURGED = 5,        // files left the recycle bin for good: the bin document
        BIN_RESTORED = 6,      // files went back from the recycle bin: the bin document
        BIN_ALL_RESTORED = 7,  // the whole bin was restored: the bin document
        CHECKED_IN = 8,        // a file was checked in (with new content when `changed`)
    };

    virtual ~CvNotification() = default;

    int code = 0;
    CkxFileX file;
    CkxCheckout checkout;
    std::vector<CkxFile::_COM_DelFile> ids;
    bool changed = false;

    std::vector<int> FileIds() const {
        std::vector<int> out;
        for (const auto& r : ids) out.push_back(static_cast<int>(r.nID));
        return out;
    }
};
