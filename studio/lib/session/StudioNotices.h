// What the studio's windows are told of the catalogue: the observer slots they join and the
// codes (wParam of WM_USER) of a change; lParam is the entity's id, 0 for a reload and for the
// per-file replacements of quick keys, keyword links and project entries.
#pragma once

// The slots a window joins, in the session's order.
enum StudioSlot : int {
    kSlotMainWindow,
    kSlotUsers,
    kSlotFileRoles,
    kSlotFolderRoles,
    kSlotFolders,
    kSlotPersons,
    kSlotFileBrowser,
    kSlotFamilyAttrA,
    kSlotFamilies,
    kSlotProjects,
    kSlotProjectData,
    kSlotTemplates,
    kSlotKeywords,
    kSlotKeywordLinks,
    kSlotKeywordGroups,
    kSlotFileDetails,
    kSlotUserRoles,
    kSlotUserGroups,
    kSlotFamilyAttrB,
    kSlotQuickKeys,
    kSlotCheckouts,
    kSlotCapture,
    kSlotQueryTempletAdmin,
    kSlotCount
};

// Most entities.
enum StudioNotice : int {
    kNoticeReload = 1025,
    kNoticeAdded = 1026,
    kNoticeUpdated = 1027,
    kNoticeRemoved = 1028,
    // Bookmarks (data tags) and keyword groups.
    kNoticeTagReload = 1029,
    kNoticeTagAdded = 1030,
    kNoticeTagUpdated = 1031,
    kNoticeTagRemoved = 1032,
    // Data shares; the file information bar also takes 1035 as "the file's projects changed".
    kNoticeShareReload = 1033,
    kNoticeShareAdded = 1034,
    kNoticeShareUpdated = 1035,
    kNoticeShareRemoved = 1036,
    // Object attribute templates (they are never reloaded as a whole).
    kNoticeAttrTempletAdded = 1038,
    kNoticeAttrTempletUpdated = 1039,
    kNoticeAttrTempletRemoved = 1040,
};
