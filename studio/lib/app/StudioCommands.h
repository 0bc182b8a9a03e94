// CStudioCommands: the command table of the studio's application, the commands the main frame's
// menus, tool bars and accelerators send it: log-on and lock, administration dialogs, opening
// local files, the query dialogs and the 33 quick queries, printing, the slide-show player and
// its transitions, the five layouts with their view states, the bars and pages, the
// document-window manager, the manual and the about box; and the enabled and checked states of
// those commands. The application owns one; it acts on the application's main frame.
#pragma once

#include "model/CkxFixed.h"

#include <string>

class CVarniaStudioApp;
class CvClientDoc;
class QAction;

class CStudioCommands {
public:
    enum Id {
        ID_SELECT_ALL = 106,
        ID_FILE_NEW = 57600, ID_FILE_OPEN = 57601, ID_FILE_PRINT_SETUP = 57606, ID_EDIT_PASTE = 57637,
        ID_APP_ABOUT = 57664, ID_VIEW_TOOLBAR = 59392,
        ID_LOGIN = 32785, ID_PERSON_ADMIN = 32796, ID_KEYWORD_ADMIN = 32816, ID_QUERY_FILE = 32830,
        ID_OPEN_NEW_WINDOW = 32839, ID_TEMPLET_ADMIN = 32842, ID_QUERY_KEYWORD = 32851,
        ID_VIEW_NAVIGATION = 32867, ID_VIEW_FILEINFO = 32868, ID_VIEW_WORK = 32869,
        ID_SLIDE_SETTINGS = 32877, ID_TINTWORK = 32879,
        ID_INFO_BROWSE = 32893, ID_INFO_PROJECTS = 32897,
        ID_QUERY_AUTHOR = 32943, ID_QUERY_WRITER = 32966, ID_QUERY_EDITOR = 32967,
        ID_CLOSE_CLIENT = 32976,
        ID_NAV_FAMILY = 32981, ID_NAV_QUICK = 32984,
        ID_LAYOUT_DEFAULT = 32985, ID_LAYOUT_BROWSE = 32986, ID_LAYOUT_VIEW = 32987, ID_LAYOUT_BIG = 32988,
        ID_LAYOUT_FULL = 32989, ID_LAYOUT_RESTORE = 33003,
        ID_SPEC_FRAME = 33004, ID_SPEC_SCAN = 33005, ID_SPEC_MOVE = 33006, ID_SPEC_MOSAIC = 33007,
        ID_SPEC_WEAVING = 33008, ID_SPEC_SHUTTER = 33018, ID_SPEC_BLOCK = 33019,
        ID_PLAY_START = 33009, ID_PLAY_LAST = 33017,
        ID_PRINT = 33020, ID_PRINT_LAYOUT = 33021, ID_PRINT_SETUP = 33022,
        ID_LOCK = 33071, ID_DOC_MANAGER = 33079, ID_OPEN_CHOOSE_WINDOW = 33090, ID_MANUAL = 33113,
    };

    // View states: the layout each layout command builds.
    enum ViewState { VIEW_DEFAULT = 1, VIEW_BROWSE = 2, VIEW_BROWSE_AND_VIEW = 3, VIEW_BIG = 4, VIEW_FULL = 5 };

    // The ranges of the quick queries, in the order of their columns.
    enum Range {
        RANGE_TODAY, RANGE_YESTERDAY, RANGE_DAY_BEFORE, RANGE_THIS_WEEK, RANGE_LAST_WEEK, RANGE_THIS_MONTH,
        RANGE_LAST_MONTH, RANGE_SOME_DAY, RANGE_SOME_MONTH, RANGE_SPAN,
    };
    // The date columns the quick queries select on.
    enum DateColumn { COLUMN_CREATION, COLUMN_ENTRY, COLUMN_MODIFICATION };
    struct QuickQuery {
        int id;
        int column; // DateColumn
        int range;  // Range
        int code;   // the document's quick-query code, which its caption shows
    };

    static constexpr const char* kNoPrinter = "打印机不存在,请安装打印机";
    static constexpr const char* kNotPrintable = "该文件的内容不是可以打印的图像";
    static constexpr const char* kManualName = "H_Varnia_Studio.html";
    static constexpr const char* kManualMissing = "找不到用户手册";
    static constexpr const char* kAuthorTitle = "查询创作者创作的文件";
    static constexpr const char* kWriterTitle = "查询录入者录入的文件";
    static constexpr const char* kEditorTitle = "查询修改者修改的文件";

    explicit CStudioCommands(CVarniaStudioApp& app);

    // Runs the command; false for an id that is not the application's.
    bool OnCommand(int id);
    // Works out the enabled and checked states of the frame's command actions.
    void UpdateCommandUI();

    // A range of whole days from `today` for the seven fixed ranges (today 00:00:00 to the last
    // day's 23:59:59); both ends zero for the ranges that come from a picker.
    static CkxDt2 DateRange(int range, const COleDateTime& today);
    // The quick query of that command id, or null.
    static const QuickQuery* FindQuickQuery(int id);
    // Asks for the range (the pickers' ranges) and opens the query document; null when nothing
    // was opened (a full document list, a cancelled picker).
    CvClientDoc* RunQuickQuery(int id);

    // Builds the layout of the view state and moves the state (the current one becomes the
    // previous one); the full-screen layout enters full-screen mode.
    void ApplyLayout(int state);
    // The file of the manual, shipped beside the program (or written out from the program's
    // own copy when it is not there); empty when it cannot be had.
    std::string ManualFile() const;

private:
    void OnLogin();
    void OpenLocalNewWindow();
    void OpenLocalChooseWindow();
    CvClientDoc* RunPersonQuery(int id);
    void OnPrint();
    void OnPrintLayout();
    void OnPrintSetup();
    void OnSlideSettings();
    void OnTransition(int id);
    void OnManual();
    void OnRestoreLayout();
    void ToggleBar(int id);
    QAction* Action(int id) const;
    int CurrentUserId() const;

    CVarniaStudioApp& m_app;
};
