// The file record's fields seen as attributes: their fixed ids and the image file's list of
// base attribute definitions, so lists, query panels and property editors treat a file's own
// fields like family attributes. The family registry starts from this list.
#pragma once

#include "CkxAttr.h"
#include "KxExport.h"

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

namespace kx {

// Appends the image file's 14 base definitions (data kind image, attribute kind base, family
// of the image root) in their fixed order; returns how many were appended. The author, writer,
// editor and folder entries carry no constant provider here: whoever holds the persons, users
// and folders sets it.
KX_EXPORT int AppendFileBaseAttrs(CkxAttrList& list);

} // namespace kx
