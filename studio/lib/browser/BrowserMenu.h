// The file browser's context menus as plain data: which pop-up a document kind and selection
// get, and which items the selected files' rights enable. One function builds it; the browser
// turns it into a popup menu, tests read it as it is.
#pragma once

#include <string>
#include <vector>

class QWidget;
namespace kx {
class PopupMenu;
}

struct BrowserMenuItem {
    int id = 0;               // 0: a separator; -1: a sub-menu
    std::string text;
    bool enabled = true;
    std::vector<BrowserMenuItem> sub;
};

struct BrowserMenu {
    std::string name;         // "Local_SelOne", "RecycleStg_Mul", ...; empty: no menu
    std::vector<BrowserMenuItem> items;
    const BrowserMenuItem* Find(int id) const;
    // The ids of the top-level items (sub-menus as -1, separators left out).
    std::vector<int> Ids() const;
};

// What the current user may do with one selected file.
struct BrowserFileRights {
    bool fullCtrl = true;
    bool load = true;
    bool edit = true;
    bool del = true;
};

enum BrowserCommand {
    ID_MODE_LARGE = 32772, ID_MODE_SMALL = 32773, ID_MODE_LIST = 32774, ID_MODE_REPORT = 32775,
    ID_CTX_MICRO50 = 33074, ID_CTX_MICRO70 = 33075, ID_CTX_MICRO90 = 33076, ID_CTX_MICRO110 = 33077,
    ID_CTX_MICRO130 = 33078,
    ID_MICRO50 = 51024, ID_MICRO70 = 51026, ID_MICRO90 = 51028, ID_MICRO110 = 51030, ID_MICRO130 = 51032,
    ID_BATCH_NOTE = 33054, ID_SLIDE_SHOW = 33057, ID_SELECT_ALL = 33126, ID_RELOAD_LOCAL = 33082,
    ID_APPEND_LOCAL = 89,
    ID_OPEN_DEF = 33064, ID_OPEN_WAY = 33065, ID_OPEN_EDITOR = 33063, ID_COPY = 33055, ID_UPLOAD = 33119,
    ID_PRINT = 33056, ID_DELETE = 33069, ID_DOWNLOAD = 33060, ID_ATTRS = 33067, ID_RIGHTS = 33068,
    ID_KEYWORDS = 33066, ID_QUICKKEY = 33062, ID_BOOKMARK = 33058, ID_RESTORE_ALL = 33097,
    ID_RESTORE = 33095, ID_PURGE = 33094, ID_LINK_PROJECT = 33059, ID_SAVE_TO_SERVER = 33061,
};

// The menu for a document of `docKind` (the document kinds) with the rights of each selected
// file in selection order (empty: nothing selected). The last selected file decides the
// one-file pop-up; any file that passes a check enables that group in the several-files pop-up.
BrowserMenu BuildBrowserMenu(int docKind, const std::vector<BrowserFileRights>& selected, bool batchMode);

// A popup menu of the items (commands carry their ids).
kx::PopupMenu* MakePopupMenu(const BrowserMenu& menu, QWidget* parent);
