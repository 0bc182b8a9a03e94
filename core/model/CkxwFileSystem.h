// CkxwFileSystem: static helpers for path texts, directory walks, removal and creation, whole-
// file reads and writes, attributes and times, starting other programs on a file, and the file
// and folder dialogs. Paths use "/". No helper throws: failures give 0, an empty text or an
// empty list. Walks list entries in name order and never follow symbolic links (a link is
// listed as a file and removal removes the link, never what it points to).
#pragma once

#include "model/KxExport.h"
#include "base/OleDate.h"

#include <cstdint>
#include <string>
#include <vector>

class CkxBuf;
class QIcon;
class QWidget;

using KxStrings = std::vector<std::string>;

// The attribute bits of GetNodeAttr, and its result for a path that does not exist.
enum : uint32_t {
    KX_ATTR_READONLY = 0x01,
    KX_ATTR_HIDDEN = 0x02,
    KX_ATTR_SYSTEM = 0x04,
    KX_ATTR_DIRECTORY = 0x10,
    KX_ATTR_ARCHIVE = 0x20,
    KX_ATTR_INVALID = 0xFFFFFFFFu,
};

class KX_EXPORT CkxwFileSystem {
public:
    // ---- Path texts (an empty input gives an empty result) ----
    static std::string RemoveTailSlash(const std::string& path); // "" when only slashes
    static std::string DelDirTail(const std::string& path);
    static std::string GetDir(const std::string& path);       // before the last "/"
    static std::string GetParentDir(const std::string& path); // likewise
    static std::string GetFileTitle(const std::string& path); // name without its last extension
    static std::string GetFileExName(const std::string& path); // after the last "."
    static std::string GetFileEx(const std::string& path);
    static std::string GetFileName(const std::string& path);  // after the last "/"
    // Appends each non-empty component; returns out's count.
    static int PasyPathToNode(const std::string& path, KxStrings& out);
    // Empties out and cuts text at every separator; returns the count.
    static int CutStrForSpot(const std::string& text, const std::string& separator, KxStrings& out);
    static std::string GetAppDir();
    static std::string GetAppProfilePath();
    static std::string GetCurDir();

    // ---- Directory walks: append to out, return out's count (0 when the folder cannot be read)
    static int FindChildDir_Path(const std::string& dir, KxStrings& out);
    static int FindChildDir_Path(const std::string& parent, const std::string& child, KxStrings& out);
    static int FindChildDir_Name(const std::string& dir, KxStrings& out);
    static int FindChildDir_Name(const std::string& parent, const std::string& child, KxStrings& out);
    static int FindChildFile_Path(const std::string& dir, KxStrings& out);
    static int FindChildFile_Name(const std::string& dir, KxStrings& out);
    static int FindChildNode_Path(const std::string& dir, KxStrings& out);
    static int FindChildNode_Name(const std::string& dir, KxStrings& out);
    // Whole tree: each folder is followed by the walk of its contents.
    static int FindTreeDir_Path(const std::string& dir, KxStrings& out);
    static int FindTreeDir_Name(const std::string& dir, KxStrings& out);
    static int FindTreeFile_Path(const std::string& dir, KxStrings& out);
    static int FindTreeFile_Name(const std::string& dir, KxStrings& out);
    static int FindTreeNode_Path(const std::string& dir, KxStrings& out);
    static int FindTreeNode_Name(const std::string& dir, KxStrings& out);
    static int SearchAllDir(const std::string& dir, KxStrings& out);       // folder names
    static int SearchAllFile(const std::string& dir, KxStrings& out);      // file names
    static int SearchAllFileTitle(const std::string& dir, KxStrings& out); // file titles
    // Empties out, then the names of the files whose extension is not "db".
    static int SearchAllChildFile(const std::string& dir, KxStrings& out);
    // Names of the files "title.*" (any extension).
    static int SearchAllTitleFile(const std::string& dir, const std::string& title, KxStrings& out);

    // ---- Leaves ----
    static int IsHasChildFolder(const std::string& dir);
    static int IsHasSubDir(const std::string& dir);
    static std::string GetFirstSubDir(const std::string& dir);
    // Descend through first sub-folders to one without sub-folders; path becomes it.
    // 1 when path is a folder, 0 otherwise (path then unchanged).
    static int GetOneLeafFolder(std::string& path);
    static int SearchFirstLeaf(std::string& path);

    // ---- Removal and creation ----
    static int RemoveFile(const std::string& path);
    static int DeleteFileA(const std::string& path);
    static int RemoveChildFile(const std::string& dir);
    static int DelAllFileUnderDir(const std::string& dir);
    static int DelAllFileUnderTheDir(const std::string& dir);
    static int RemoveLeafFolder(const std::string& dir);
    static int DelDirNode(const std::string& parent, const std::string& name);
    static int DelDirNode(const std::string& path);
    // Removes the folder and everything below it; stops with 0 at the first entry it cannot
    // remove.
    static int DelDir(const std::string& dir);
    static int RemoveDir(const std::string& dir);
    static int RemoveTreeNode(const std::string& dir);
    // Creates every missing folder of the path; 1 when the path is a folder afterwards.
    static int CreateDir(const std::string& path);
    // Replaces the file's content with the n bytes (a shorter content leaves no old tail),
    // through kx::WriteFileSafely. 0 for null bytes, n <= 0, a folder, a read-only file or a
    // failed write.
    static int CreateFileA(const std::string& path, const void* bytes, int n);
    // Reads the whole file into a new block (owner: the caller, delete[]) or the buffer.
    static int ReadFile(const std::string& path, unsigned char** bytes, int& n);
    static int ReadFile(const std::string& path, CkxBuf& buf);

    // ---- Attributes and times ----
    // Read-only: no write permission. Hidden: a name starting with "." or the hidden mark.
    // Hidden, system and archive marks are kept in the extended attribute "user.varnia.attr".
    static uint32_t GetNodeAttr(const std::string& path);
    static int IsDir(const std::string& path);
    static int IsFileValid(const std::string& path);
    static int64_t GetFileSize(const std::string& path); // -1 when it cannot be read
    static COleDateTime GetFileCreateTime(const std::string& path);
    static COleDateTime GetFileModifyTime(const std::string& path);
    static COleDateTime GetFileAccessTime(const std::string& path);
    static int IsFileModify(const std::string& path);
    static int SetFileReadOnly(const std::string& path);
    static int SetFileHidden(const std::string& path);
    static int SetFileSystemFile(const std::string& path);
    static int IsFileReadOnly(const std::string& path);
    static int IsFileHidden(const std::string& path);
    static int IsFileSystemFile(const std::string& path);
    static int IsFileOpening(const std::string& path) { return 0; }

    // ---- Starting programs (an argument list, never a shell) ----
    // Every opener of a file says so when no program opens it: when the program cannot be
    // started, at once; when it ends in failure (the default opener found nothing for the file),
    // once it has ended, on the GUI thread. The message (NoProgramText) names the file and the
    // program tried. A file that is not there is named as missing (NoFileText) and nothing is
    // started. The results say whether the program was started.
    // The desktop's default program for the file ("xdg-open"); 1 when it was started.
    static int OpenFileDef(const std::string& path);
    // The desktop's "open with" chooser ("mimeopen --ask"); waits for it to end.
    static int OpenFileWay(const std::string& path);
    // The default program, or the chooser when the default opener cannot be started.
    static int OpenFileMay(const std::string& path);
    // The command line split into program and arguments; 1 when started.
    static int RunSoftware(const std::string& command);
    // program with the path as its one argument (no argument when the path is empty).
    static int OpenFileOnSoftware(const std::string& program, const std::string& path);
    static int OpenFileOnTintwork(const std::string& path);
    // "没有程序能打开 <path> (试过 <program>)", or for no file "无法启动程序 <program>".
    static std::string NoProgramText(const std::string& path, const std::string& program);
    // "找不到文件 <path>".
    static std::string NoFileText(const std::string& path);
    static constexpr const char* kOpenProgram = "xdg-open";
    static constexpr const char* kOpenWithProgram = "mimeopen";
    static constexpr const char* kTintworkProgram = "Tintwork";

    // ---- File-type icons (Qt; found from the extension alone, the disk is never touched) ----
    // The icon of files "*.<ext>" (a QIcon holds every size: small and large differ only in the
    // size the caller draws).
    static QIcon GetFileSmallIcon(const std::string& ext);
    static QIcon GetFileLargeIcon(const std::string& ext);
    // Its index in the process-wide list of file-type icons (one entry per icon, added on first
    // use, never removed), and the icon at an index (a null icon when out of range).
    static int GetFileSmallIconIndex(const std::string& ext);
    static int GetFileLargeIconIndex(const std::string& ext);
    static QIcon GetSystemIcon(int index);
    // Take and let go of that list (Attach gives the number of icons in it). The list lives as
    // long as the process, so indices handed out stay valid.
    static int AttachWindowsImageList();
    static void DetachWindowsImageList();

    // ---- Dialogs (Qt; 1 when the user confirms, 0 otherwise) ----
    static std::string ShowDirBrowser(const std::string& title, QWidget* owner);
    static int ShowOpenDlg_Single(std::string& path, std::string& ext);
    // The multi-selection forms append the chosen paths to the list.
    static int ShowOpenDlg_Multi(KxStrings& paths);
    static int ShowDlg_OpenFile(std::string& path, std::string& ext);
    // Returns the number of pictures chosen (0 when cancelled); ext is the first one's.
    static int ShowDlg_OpenFile(KxStrings& paths, std::string& ext);
    static int ShowDlg_OpenAccess(std::string& path);
    static int ShowDlg_SaveFile(std::string& path, std::string& ext);
    static int ShowDlg_SaveFile(const std::string& title, const std::string& defaultName,
                                std::string& path, std::string& ext);

    // Filter texts of the dialogs ("desc|pattern|..."), and their form for a Qt file dialog
    // ("desc (p1 p2)" entries joined by ";;").
    static const char* const kFilterAll;
    static const char* const kFilterPictures;      // the eleven single-format filters
    static const char* const kFilterPicturesMulti; // system formats, common formats, singles, all
    static const char* const kFilterAccess;
    static const char* const kFilterSaveDefault;   // "默认     (*.*)|*.*|"
    static std::string ToQtFilter(const std::string& filter);
};
