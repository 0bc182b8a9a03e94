#include "model/CkxwFileSystem.h"

#include "model/CkxBuf.h"
#include "base/KxLaunch.h"
#include "base/KxProc.h"
#include "base/KxSafeWrite.h"
#include "qt/KxGuiThread.h"
#include "qt/KxPrompt.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Hidden, system and archive marks have no place in a Linux file's status; they live here.
constexpr const char* kAttrName = "user.varnia.attr";

struct Entry {
    std::string name;
    bool dir = false;
};

// The entries of a folder in name order, "." and ".." left out; a symbolic link counts as a
// file whatever it points to. False when the folder cannot be read.
bool ListDir(const std::string& dir, std::vector<Entry>& out) {
    out.clear();
    if (dir.empty()) return false;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    int fd = ::dirfd(d);
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        bool isDir = false;
        if (e->d_type == DT_DIR) {
            isDir = true;
        } else if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            isDir = ::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        }
        out.push_back(Entry{std::move(name), isDir});
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

std::string Join(const std::string& dir, const std::string& name) {
    return CkxwFileSystem::RemoveTailSlash(dir) + "/" + name;
}

bool IsRealDir(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

enum What { Dirs = 1, Files = 2, Both = 3 };

// One level: appends the matching entries (full path or name).
int ListLevel(const std::string& dir, What what, bool fullPath, KxStrings& out) {
    std::vector<Entry> entries;
    if (!ListDir(dir, entries)) return 0;
    for (const Entry& e : entries)
        if ((e.dir && (what & Dirs)) || (!e.dir && (what & Files)))
            out.push_back(fullPath ? Join(dir, e.name) : e.name);
    return static_cast<int>(out.size());
}

// Whole tree: each folder is listed before its contents; links are never entered. False when
// the folder itself cannot be read (unreadable folders below it are listed without contents).
bool ListTree(const std::string& dir, What what, bool fullPath, KxStrings& out) {
    std::vector<Entry> entries;
    if (!ListDir(dir, entries)) return false;
    for (const Entry& e : entries) {
        std::string path = Join(dir, e.name);
        if ((e.dir && (what & Dirs)) || (!e.dir && (what & Files)))
            out.push_back(fullPath ? path : e.name);
        if (e.dir) ListTree(path, what, fullPath, out);
    }
    return true;
}

int TreeCount(const std::string& dir, What what, bool fullPath, KxStrings& out) {
    if (!ListTree(dir, what, fullPath, out)) return 0;
    return static_cast<int>(out.size());
}

uint8_t GetMarks(const std::string& path) {
    unsigned char v = 0;
    ssize_t n = ::getxattr(path.c_str(), kAttrName, &v, 1);
    return n == 1 ? v : 0;
}

int AddMark(const std::string& path, uint8_t bit) {
    if (!CkxwFileSystem::IsFileValid(path)) return 0;
    unsigned char v = static_cast<unsigned char>(GetMarks(path) | bit);
    return ::setxattr(path.c_str(), kAttrName, &v, 1, 0) == 0 ? 1 : 0;
}

COleDateTime TimeOf(const std::string& path, int which) {
    struct statx sx {};
    if (path.empty() || ::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return COleDateTime(0.0);
    statx_timestamp ts = sx.stx_mtime;
    if (which == 0)
        ts = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_mtime;
    else if (which == 2)
        ts = sx.stx_atime;
    return COleDateTime::FromTimeT(static_cast<std::time_t>(ts.tv_sec));
}

} // namespace

// ---- Path texts ----

std::string CkxwFileSystem::RemoveTailSlash(const std::string& path) {
    size_t end = path.find_last_not_of('/');
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string CkxwFileSystem::DelDirTail(const std::string& path) { return RemoveTailSlash(path); }

std::string CkxwFileSystem::GetDir(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return RemoveTailSlash(path.substr(0, slash));
}

std::string CkxwFileSystem::GetParentDir(const std::string& path) { return GetDir(path); }

std::string CkxwFileSystem::GetFileTitle(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string CkxwFileSystem::GetFileExName(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

std::string CkxwFileSystem::GetFileEx(const std::string& path) { return GetFileExName(path); }

std::string CkxwFileSystem::GetFileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int CkxwFileSystem::PasyPathToNode(const std::string& path, KxStrings& out) {
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        if (next > pos) out.push_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
    return static_cast<int>(out.size());
}

int CkxwFileSystem::CutStrForSpot(const std::string& text, const std::string& sep, KxStrings& out) {
    out.clear();
    if (text.empty()) return 0;
    if (sep.empty()) {
        out.push_back(text);
        return 1;
    }
    size_t pos = 0;
    for (;;) {
        size_t next = text.find(sep, pos);
        if (next == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, next - pos));
        pos = next + sep.size();
    }
    return static_cast<int>(out.size());
}

std::string CkxwFileSystem::GetAppDir() { return kx::ExeDir(); }

std::string CkxwFileSystem::GetAppProfilePath() {
    return RemoveTailSlash(GetAppDir()) + "/" + kx::AppName() + ".ini";
}

std::string CkxwFileSystem::GetCurDir() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

// ---- Directory walks ----

int CkxwFileSystem::FindChildDir_Path(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Dirs, true, out);
}
int CkxwFileSystem::FindChildDir_Path(const std::string& parent, const std::string& child,
                                      KxStrings& out) {
    return ListLevel(Join(parent, child), Dirs, true, out);
}
int CkxwFileSystem::FindChildDir_Name(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Dirs, false, out);
}
int CkxwFileSystem::FindChildDir_Name(const std::string& parent, const std::string& child,
                                      KxStrings& out) {
    return ListLevel(Join(parent, child), Dirs, false, out);
}
int CkxwFileSystem::FindChildFile_Path(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Files, true, out);
}
int CkxwFileSystem::FindChildFile_Name(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Files, false, out);
}
int CkxwFileSystem::FindChildNode_Path(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Both, true, out);
}
int CkxwFileSystem::FindChildNode_Name(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Both, false, out);
}
int CkxwFileSystem::FindTreeDir_Path(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Dirs, true, out);
}
int CkxwFileSystem::FindTreeDir_Name(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Dirs, false, out);
}
int CkxwFileSystem::FindTreeFile_Path(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Files, true, out);
}
int CkxwFileSystem::FindTreeFile_Name(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Files, false, out);
}
int CkxwFileSystem::FindTreeNode_Path(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Both, true, out);
}
int CkxwFileSystem::FindTreeNode_Name(const std::string& dir, KxStrings& out) {
    return TreeCount(dir, Both, false, out);
}
int CkxwFileSystem::SearchAllDir(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Dirs, false, out);
}
int CkxwFileSystem::SearchAllFile(const std::string& dir, KxStrings& out) {
    return ListLevel(dir, Files, false, out);
}
int CkxwFileSystem::SearchAllFileTitle(const std::string& dir, KxStrings& out) {
    KxStrings names;
    ListLevel(dir, Files, false, names);
    for (const std::string& n : names) {
        size_t dot = n.rfind('.');
        out.push_back(dot == std::string::npos ? n : n.substr(0, dot));
    }
    return static_cast<int>(out.size());
}
int CkxwFileSystem::SearchAllChildFile(const std::string& dir, KxStrings& out) {
    out.clear();
    KxStrings names;
    ListLevel(dir, Files, false, names);
    for (const std::string& n : names) {
        size_t dot = n.rfind('.');
        if (dot != std::string::npos && ::strcasecmp(n.c_str() + dot + 1, "db") == 0) continue;
        out.push_back(n);
    }
    return static_cast<int>(out.size());
}
int CkxwFileSystem::SearchAllTitleFile(const std::string& dir, const std::string& title,
                                       KxStrings& out) {
    KxStrings names;
    ListLevel(dir, Files, false, names);
    for (const std::string& n : names)
        if (n == title || n.compare(0, title.size() + 1, title + ".") == 0) out.push_back(n);
    return static_cast<int>(out.size());
}

// ---- Leaves ----

int CkxwFileSystem::IsHasChildFolder(const std::string& dir) {
    std::vector<Entry> entries;
    if (!ListDir(dir, entries)) return 0;
    return std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.dir; }) ? 1 : 0;
}
int CkxwFileSystem::IsHasSubDir(const std::string& dir) { return IsHasChildFolder(dir); }

std::string CkxwFileSystem::GetFirstSubDir(const std::string& dir) {
    std::vector<Entry> entries;
    if (!ListDir(dir, entries)) return {};
    for (const Entry& e : entries)
        if (e.dir) return Join(dir, e.name);
    return {};
}

int CkxwFileSystem::GetOneLeafFolder(std::string& path) {
    if (!IsRealDir(path)) return 0;
    std::string cur = RemoveTailSlash(path);
    if (cur.empty()) cur = "/";
    // Each step goes one level down a real folder (links are not entered), so this ends.
    for (std::string next = GetFirstSubDir(cur); !next.empty(); next = GetFirstSubDir(cur)) cur = next;
    path = cur;
    return 1;
}
int CkxwFileSystem::SearchFirstLeaf(std::string& path) { return GetOneLeafFolder(path); }

// ---- Removal and creation ----

int CkxwFileSystem::RemoveFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0 ? 1 : 0;
}
int CkxwFileSystem::DeleteFileA(const std::string& path) { return RemoveFile(path); }

int CkxwFileSystem::RemoveChildFile(const std::string& dir) {
    std::vector<Entry> entries;
    if (!ListDir(dir, entries)) return 0;
    int ok = 1;
    for (const Entry& e : entries)
        if (!e.dir && !RemoveFile(Join(dir, e.name))) ok = 0;
    return ok;
}

int CkxwFileSystem::DelAllFileUnderDir(const std::string& dir) {
    KxStrings names;
    if (SearchAllFile(dir, names) == 0) return 0;
    for (const std::string& n : names) RemoveFile(Join(dir, n));
    return 1;
}
int CkxwFileSystem::DelAllFileUnderTheDir(const std::string& dir) { return DelAllFileUnderDir(dir); }

int CkxwFileSystem::RemoveLeafFolder(const std::string& dir) {
    return !dir.empty() && ::rmdir(dir.c_str()) == 0 ? 1 : 0;
}

int CkxwFileSystem::DelDirNode(const std::string& parent, const std::string& name) {
    std::string path = Join(parent, name);
    if (!IsRealDir(path)) return 0;
    RemoveChildFile(path);
    return RemoveLeafFolder(path);
}

int CkxwFileSystem::DelDirNode(const std::string& path) {
    std::string p = RemoveTailSlash(path);
    size_t slash = p.rfind('/');
    if (slash == std::string::npos) return 0;
    return DelDirNode(slash == 0 ? std::string("/") : p.substr(0, slash), p.substr(slash + 1));
}

int CkxwFileSystem::DelDir(const std::string& dir) {
    std::string top = RemoveTailSlash(dir);
    if (!IsRealDir(top)) return 0;
    while (IsHasSubDir(top)) {
        std::string leaf = top;
        SearchFirstLeaf(leaf);
        // A leaf that cannot go would be found again on every pass.
        if (!DelDirNode(leaf)) return 0;
    }
    return DelDirNode(top);
}

int CkxwFileSystem::RemoveDir(const std::string& dir) {
    std::string top = RemoveTailSlash(dir);
    struct stat st {};
    if (top.empty() || ::lstat(top.c_str(), &st) != 0) return 0;
    if (!S_ISDIR(st.st_mode)) return RemoveFile(top);
    KxStrings files, dirs;
    FindTreeFile_Path(top, files);
    for (const std::string& f : files) RemoveFile(f);
    FindTreeDir_Path(top, dirs); // a folder comes before its contents: remove in reverse
    for (auto it = dirs.rbegin(); it != dirs.rend(); ++it) RemoveLeafFolder(*it);
    return RemoveLeafFolder(top);
}
int CkxwFileSystem::RemoveTreeNode(const std::string& dir) { return RemoveDir(dir); }

int CkxwFileSystem::CreateDir(const std::string& path) {
    if (path.empty()) return 0;
    KxStrings parts;
    PasyPathToNode(path, parts);
    std::string cur = path[0] == '/' ? "/" : "";
    for (const std::string& part : parts) {
        cur += part;
        ::mkdir(cur.c_str(), 0777); // an existing folder stays as it is
        cur += "/";
    }
    return IsDir(path);
}

int CkxwFileSystem::CreateFileA(const std::string& path, const void* bytes, int n) {
    if (path.empty() || bytes == nullptr || n <= 0) return 0;
    return kx::WriteFileSafely(path, std::string_view(static_cast<const char*>(bytes),
                                                      static_cast<size_t>(n)))
               ? 1
               : 0;
}

int CkxwFileSystem::ReadFile(const std::string& path, unsigned char** bytes, int& n) {
    if (bytes == nullptr || path.empty()) return 0;
    CkxBuf buf;
    if (!ReadFile(path, buf)) return 0;
    int len = buf.GetLen();
    unsigned char* block = new unsigned char[len > 0 ? len : 1];
    if (len > 0) std::copy(buf.GetBuf(), buf.GetBuf() + len, block);
    *bytes = block;
    n = len;
    return 1;
}

int CkxwFileSystem::ReadFile(const std::string& path, CkxBuf& buf) {
    if (path.empty()) return 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > INT_MAX) {
        ::close(fd);
        return 0;
    }
    CkxBuf tmp;
    int size = static_cast<int>(st.st_size);
    if (!tmp.Create(size)) {
        ::close(fd);
        return 0;
    }
    int got = 0;
    while (got < size) {
        ssize_t r = ::read(fd, tmp.GetBuf() + got, static_cast<size_t>(size - got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<int>(r);
    }
    ::close(fd);
    if (got != size) return 0; // the file changed under us: report, keep the buffer as it was
    buf = std::move(tmp);
    return 1;
}

// ---- Attributes and times ----

uint32_t CkxwFileSystem::GetNodeAttr(const std::string& path) {
    struct stat st {};
    if (path.empty() || (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0))
        return KX_ATTR_INVALID;
    uint32_t a = 0;
    if (S_ISDIR(st.st_mode)) a |= KX_ATTR_DIRECTORY;
    if ((st.st_mode & 0222) == 0) a |= KX_ATTR_READONLY;
    std::string name = GetFileName(RemoveTailSlash(path));
    if (name.size() > 1 && name[0] == '.' && name != "..") a |= KX_ATTR_HIDDEN;
    a |= GetMarks(path) & (KX_ATTR_HIDDEN | KX_ATTR_SYSTEM | KX_ATTR_ARCHIVE);
    return a;
}

namespace {
int HasAttr(const std::string& path, uint32_t bit) {
    uint32_t a = CkxwFileSystem::GetNodeAttr(path);
    return a != KX_ATTR_INVALID && (a & bit) ? 1 : 0;
}
} // namespace

int CkxwFileSystem::IsDir(const std::string& path) { return HasAttr(path, KX_ATTR_DIRECTORY); }

int CkxwFileSystem::IsFileValid(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0 ? 1 : 0;
}

int64_t CkxwFileSystem::GetFileSize(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

COleDateTime CkxwFileSystem::GetFileCreateTime(const std::string& path) { return TimeOf(path, 0); }
COleDateTime CkxwFileSystem::GetFileModifyTime(const std::string& path) { return TimeOf(path, 1); }
COleDateTime CkxwFileSystem::GetFileAccessTime(const std::string& path) { return TimeOf(path, 2); }

int CkxwFileSystem::IsFileModify(const std::string& path) { return HasAttr(path, KX_ATTR_ARCHIVE); }

int CkxwFileSystem::SetFileReadOnly(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
    return ::chmod(path.c_str(), st.st_mode & 07777 & ~0222u) == 0 ? 1 : 0;
}
int CkxwFileSystem::SetFileHidden(const std::string& path) { return AddMark(path, KX_ATTR_HIDDEN); }
int CkxwFileSystem::SetFileSystemFile(const std::string& path) { return AddMark(path, KX_ATTR_SYSTEM); }
int CkxwFileSystem::IsFileReadOnly(const std::string& path) { return HasAttr(path, KX_ATTR_READONLY); }
int CkxwFileSystem::IsFileHidden(const std::string& path) { return HasAttr(path, KX_ATTR_HIDDEN); }
int CkxwFileSystem::IsFileSystemFile(const std::string& path) { return HasAttr(path, KX_ATTR_SYSTEM); }

// ---- Starting programs ----

namespace {

void SayNoProgram(const std::string& path, const std::string& program) {
    kx::Prompt(nullptr, CkxwFileSystem::NoProgramText(path, program), kx::PromptOk, kx::PromptWarning);
}

// For the reaping thread: a program that ended in failure is told on the GUI thread.
std::function<void(bool)> TellFailedEnd(const std::string& path, const std::string& program) {
    return [path, program](bool succeeded) {
        if (!succeeded) kx::PostToGui([path, program] { SayNoProgram(path, program); });
    };
}

// Starts argv for the file at path and tells the user when no program opens it. wait: the
// program's end is waited for (the chooser asks the user first). Otherwise a failed end is
// reported from the reaping thread through the GUI thread's queue.
int StartOrSay(const std::vector<std::string>& argv, const std::string& path, bool wait) {
    if (argv.empty() || argv[0].empty()) return 0;
    if (!path.empty() && !CkxwFileSystem::IsFileValid(path)) {
        kx::Prompt(nullptr, CkxwFileSystem::NoFileText(path), kx::PromptOk, kx::PromptWarning);
        return 0;
    }
    const std::string& program = argv[0];
    const int started = wait ? kx::StartProgram(argv, true) : kx::StartProgram(argv, TellFailedEnd(path, program));
    if (!started) SayNoProgram(path, program);
    return started;
}

} // namespace

std::string CkxwFileSystem::NoProgramText(const std::string& path, const std::string& program) {
    if (path.empty()) return "无法启动程序 " + program;
    return "没有程序能打开 " + path + " (试过 " + program + ")";
}

std::string CkxwFileSystem::NoFileText(const std::string& path) { return "找不到文件 " + path; }

int CkxwFileSystem::OpenFileDef(const std::string& path) {
    if (path.empty()) return 0;
    return StartOrSay({kOpenProgram, path}, path, false);
}

int CkxwFileSystem::OpenFileWay(const std::string& path) {
    if (path.empty()) return 0;
    return StartOrSay({kOpenWithProgram, "--ask", path}, path, true);
}

int CkxwFileSystem::OpenFileMay(const std::string& path) {
    if (path.empty()) return 0;
    if (!IsFileValid(path)) return OpenFileWay(path); // which says the file is missing
    // The default opener's later failure is reported; only one that cannot start hands over.
    return kx::StartProgram({kOpenProgram, path}, TellFailedEnd(path, kOpenProgram)) ? 1 : OpenFileWay(path);
}

int CkxwFileSystem::RunSoftware(const std::string& command) {
    const std::vector<std::string> argv = kx::SplitCommandLine(command);
    return StartOrSay(argv, {}, false);
}

int CkxwFileSystem::OpenFileOnSoftware(const std::string& program, const std::string& path) {
    if (path.empty()) return StartOrSay({program}, path, false);
    return StartOrSay({program, path}, path, false);
}

int CkxwFileSystem::OpenFileOnTintwork(const std::string& path) {
    return OpenFileOnSoftware(kTintworkProgram, path);
}

// ---- Dialog filters ----

const char* const CkxwFileSystem::kFilterAll = "所有文件 (*.*)|*.*|";
const char* const CkxwFileSystem::kFilterPictures =
    "BMP 文件 (*.bmp)|*.bmp|GIF 文件 (*.gif)|*.gif|JPG 文件 (*.jpg)|*.jpg|PNG 文件 (*.png)|*.png|"
    "TIF 文件 (*.tif)|*.tif|TGA 文件 (*.tga)|*.tga|PCX 文件 (*.pcx)|*.pcx|JP2 文件 (*.j2k)|*.j2k|"
    "JPC 文件 (*.j2c)|*.j2c|RAS 文件 (*.ras)|*.ras|PNM 文件 (*.pnm)|*.pnm|";
const char* const CkxwFileSystem::kFilterPicturesMulti =
    "系统支持格式 (*.jpg;*.j2k;*.bmp;*.gif;*.png;*.tif;*.tga;*.j2c;*.pcx;*.pnm;*.ras)|"
    "*.jpg;*.j2k;*.bmp;*.gif;*.png;*.tif;*.tga;*.j2c;*.pcx;*.pnm;*.ras|"
    "常用格式 (*.jpg;*.j2k;*.bmp)|*.jpg;*.j2k;*.bmp|"
    "BMP 文件 (*.bmp)|*.bmp|GIF 文件 (*.gif)|*.gif|JPG 文件 (*.jpg)|*.jpg|PNG 文件 (*.png)|*.png|"
    "TIF 文件 (*.tif)|*.tif|TGA 文件 (*.tga)|*.tga|PCX 文件 (*.pcx)|*.pcx|JP2 文件 (*.j2k)|*.j2k|"
    "JPC 文件 (*.j2c)|*.j2c|RAS 文件 (*.ras)|*.ras|PNM 文件 (*.pnm)|*.pnm|"
    "所有文件 (*.*)|*.*|";
const char* const CkxwFileSystem::kFilterAccess = "ACCESS 文件 (*.mdb)|*.mdb|";
const char* const CkxwFileSystem::kFilterSaveDefault = "默认     (*.*)|*.*|";

std::string CkxwFileSystem::ToQtFilter(const std::string& filter) {
    // Pairs of description and ";"-separated patterns; a Qt dialog reads the patterns from the
    // last parentheses of each entry, separated by blanks.
    KxStrings parts;
    CutStrForSpot(filter, "|", parts);
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string desc = parts[i];
        std::string patterns = parts[i + 1];
        if (desc.empty() && patterns.empty()) continue;
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        size_t paren = desc.rfind('(');
        if (paren != std::string::npos && desc.back() == ')')
            desc = desc.substr(0, paren + 1) + patterns + ")";
        else
            desc += " (" + patterns + ")";
        if (!out.empty()) out += ";;";
        out += desc;
    }
    return out;
}
