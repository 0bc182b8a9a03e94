// The file record's fields seen as attributes: their fixed ids and the image file's list of
// base attribute definitions, so lists, query panels and property editors treat a file's own
// fields like family attributes. The family registry starts from this list.
#pragma once

#include "model/CkxAttr.h"
#include "model/KxExport.h"

enum KxFileBaseAttrID : int {
    KXB_ID = 0x2000065,
    KXB_FAMILYID = 0x2000066,
    KXB_ENCFORMAT = 0x2000067,
    KXB_FILETITLE = 0x2000068,
    KXB_FILEEXNAME = 0x2000069,
    KXB_WIDTH = 0x200006A,
    KXB_HEIGHT = 0x200006B,
    KXB_FILESIZE = 0x200006C,
    KXB_LOCDIRID = 0x200006D,
    KXB_AUTHORID = 0x200006E,
    KXB_WRITERID = 0x200006F,
    KXB_EDITORID = 0x2000070,
    KXB_AUTHTIME = 0x2000071,
    KXB_WRITETIME = 0x2000072,
    KXB_EDITTIME = 0x2000073,
    KXB_AUTHADDR = 0x2000074,
    KXB_REMARK = 0x2000075
};

// Capture attributes of a photo-studio image file.
enum KxPhotoBaseAttrID : int {
    KXP_CLIENT = 0x20003E9,
    KXP_DEPT = 0x20003EA,
    KXP_SRVCOMB = 0x20003EB,
    KXP_THEME = 0x20003EC,
    KXP_DRESSID = 0x20003ED,
    KXP_POSE = 0x20003EE,
    KXP_PHOTOTYPE = 0x20003EF,
    KXP_MANTYPE = 0x20003F0,
    KXP_PARTTYPE = 0x20003F1,
    KXP_CAMERAID = 0x20003F2,
    KXP_CAMERAWAY = 0x20003F3,
    KXP_EXPOSAL = 0x20003F4,
    KXP_CAMERAMAN = 0x20003F5,
    KXP_DRESSER = 0x20003F6,
    KXP_PROCESSOR = 0x20003F7,
    KXP_CAMERATIME = 0x20003F8,
    KXP_DRESSTIME = 0x20003F9,
    KXP_SELECTTIME = 0x20003FA,
    KXP_PROCESSTIME = 0x20003FB,
    KXP_WEATHER = 0x20003FC,
    KXP_CAMERAADDR = 0x20003FD,
    KXP_ADVSSELECTED = 0x20003FE,
    KXP_USERSELECTED = 0x20003FF,
    KXP_USERMARK = 0x2000400,
    KXP_MAKESELMASK = 0x2000401
};

namespace kx {

// Appends the image file's 14 base definitions (data kind image, attribute kind base, family
// of the image root) in their fixed order; returns how many were appended. The author entry's
// constant provider lists the context's persons (one integer constant per person: id and value
// the person's id, alias the name), the writer's and editor's the users (alias the log-on name),
// the folder's the context's folder constants.
KX_EXPORT int AppendFileBaseAttrs(CkxAttrList& list);

// Appends the photo file's 25 capture definitions (data kind image, attribute kind base,
// family of photo files, flag 1, note = name); returns how many were appended.
KX_EXPORT int AppendPhotoBaseAttrs(CkxAttrList& list);

} // namespace kx
