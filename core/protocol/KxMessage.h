// The protocol's vocabulary: every message type (header offset 8) and sub-operation (offset 10)
// that the server, the studio and the console exchange, by name. The numbers are the wire values
// and never change; code on either side says kMsgUser, not 5.
#pragma once

#include <cstdint>

namespace kx {

// Message types 1 to 52. Types 2, 8, 9 and 46 exist in the numbering but nobody serves them.
enum KxMsgType : uint16_t {
    kMsgSession = 1,            // log on, log off, online users, user came online / went offline
    kMsgUnused2 = 2,            // not served
    kMsgServerRecord = 3,       // the server's description (CkxServer)
    kMsgHostInfo = 4,           // the server machine's processor, memory and drives
    kMsgUser = 5,               // accounts
    kMsgUserGroup = 6,          // user groups with their members
    kMsgUserRole = 7,           // user roles
    kMsgUnused8 = 8,            // not served
    kMsgUnused9 = 9,            // not served
    kMsgFolder = 10,            // folders (directory tree nodes) with their rights
    kMsgQuickKey = 11,          // quick keys
    kMsgFileQuickKeys = 12,     // the quick keys of one file
    kMsgFileRole = 13,          // file roles
    kMsgFolderRole = 14,        // folder roles
    kMsgRecycleList = 15,       // browse the requester's recycle bin
    kMsgRecycleEmpty = 16,      // purge the whole bin
    kMsgRecyclePurge = 17,      // purge one file of the bin
    kMsgRecycleRestore = 18,    // restore one file of the bin
    kMsgRecycleRestoreAll = 19, // restore every file of the bin
    kMsgFamily = 20,            // families (file classes)
    kMsgFamilyAttr = 21,        // family attributes and their constants
    kMsgQueryTemplet = 22,      // query templates
    kMsgFile = 23,              // file records: add (21), delete to the recycle bin (23)
    kMsgCaptureFile = 24,       // a file uploaded from the capture station
    kMsgFileModify = 25,        // a file's attributes and rights
    kMsgCheckoutList = 26,      // the checked-out files
    kMsgCheckOut = 27,          // check a file out
    kMsgCheckIn = 28,           // check in without changes
    kMsgCheckInChanged = 29,    // check in with new content
    kMsgWholeFile = 30,         // a file's whole content
    kMsgFamilyFiles = 31,       // files of a family, with thumbnails
    kMsgFolderFiles = 32,       // files of a folder, with thumbnails
    kMsgProjectFiles = 33,      // files of a project, with thumbnails
    kMsgQueryFiles = 34,        // files matching a query template's operand list
    kMsgKeywordFilesAll = 35,   // files linked to every keyword of an id list
    kMsgKeywordFilesAny = 36,   // files linked to any keyword of an id list
    kMsgOperandFiles = 37,      // files matching one query operand
    kMsgProject = 38,           // projects
    kMsgProjectLink = 39,       // link files to a project
    kMsgProjectUnlink = 40,     // unlink files from a project
    kMsgFileProjects = 41,      // replace one file's project links
    kMsgKeyword = 42,           // keywords
    kMsgKeywordLink = 43,       // keyword links (one file's set)
    kMsgKeywordGroup = 44,      // keyword groups
    kMsgKeywordTemplet = 45,    // keyword templates
    kMsgUnused46 = 46,          // not served
    kMsgBookmark = 47,          // bookmarks (data tags)
    kMsgShare = 48,             // data shares
    kMsgFileTemplet = 49,       // object attribute (file) templates
    kMsgLogDelete = 50,         // console: delete the operation log up to a day
    kMsgLogQuery = 51,          // operation log lines of a period
    kMsgPerson = 52,            // persons
};

constexpr int kMsgTypeFirst = kMsgSession;
constexpr int kMsgTypeLast = kMsgPerson;

// Sub-operations. Entity requests use 20..23; the server's answers repeat the request's code,
// and receivers take 30..32 as added, updated and deleted too. Single-purpose requests carry 0.
enum KxSubOp : uint8_t {
    kSubNone = 0,
    kSubLogon = 10,      // type 1: log on with a client record
    kSubLogoff = 11,     // type 1: log off (request), a user went offline (notice)
    kSubOnlineUsers = 20,// type 1: the online-user list
    kSubList = 20,
    kSubAdd = 21,
    kSubModify = 22,
    kSubDelete = 23,
    kSubAdded = 30,      // type 1: a user came online; elsewhere: taken as added
    kSubUserOnline = 30,
    kSubUpdated = 31,
    kSubDeleted = 32,
};

// A sub-operation as receivers apply it: the pushed codes 30..32 mean 21..23.
constexpr int CanonicalSubOp(int subOp) {
    switch (subOp) {
    case kSubAdded: return kSubAdd;
    case kSubUpdated: return kSubModify;
    case kSubDeleted: return kSubDelete;
    default: return subOp;
    }
}

// Client kinds of the log-on record.
enum KxClientKind : int32_t { kClientStudio = 2, kClientConsole = 3 };

// Log-on results (the answer's first int32).
enum KxLogonResult : int32_t {
    kLogonOk = 0,
    kLogonAlreadyOnline = 1,
    kLogonNoRight = 2,
    kLogonNoSuchUser = 3,
    kLogonPaused = 4,
    kLogonInvalid = 5,
    kLogonWrongPassword = 6,
};

} // namespace kx
