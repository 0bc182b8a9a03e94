#include "base/KxDrives.h"

#include "base/KxIni.h"
#include "base/KxProc.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace kx {
namespace {

std::mutex g_mutex;
bool g_mapSet = false;
DriveMap g_map;
std::shared_ptr<const DriveSource> g_source;

DriveMap DefaultMap() {
    DriveMap m;
    m[2] = DataFolder();
    return m;
}

// Mount points in /proc/self/mounts write space, tab, newline and backslash as \ooo.
std::string UnescapeMount(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' &&
            s[i + 2] >= '0' && s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool UnderMount(const std::string& folder, const std::string& mount) {
    if (mount == "/") return !folder.empty() && folder[0] == '/';
    if (folder.compare(0, mount.size(), mount) != 0) return false;
    return folder.size() == mount.size() || folder[mount.size()] == '/';
}

} // namespace

std::string DataFolder() {
    const char* home = std::getenv("VARNIA_HOME");
    if (home && *home) return home;
    return ExeDir();
}

DriveMap DriveMapFromIni(const IniFile& ini, const std::string& dataFolder) {
    if (!ini.HasSection("DRIVES")) {
        DriveMap m;
        m[2] = dataFolder;
        return m;
    }
    DriveMap m;
    for (int i = 2; i < 26; ++i) {
        std::string key(1, static_cast<char>('A' + i));
        std::string folder = ini.GetString("DRIVES", key);
        if (folder.empty()) continue;
        if (folder[0] != '/' && !dataFolder.empty()) folder = dataFolder + "/" + folder;
        m[i] = folder;
    }
    return m;
}

void SetDriveMap(const DriveMap& map) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_map = map;
    g_mapSet = true;
}

DriveMap CurrentDriveMap() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_mapSet) return g_map;
    return DefaultMap();
}

void SetDriveSource(std::shared_ptr<const DriveSource> source) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_source = std::move(source);
}

std::shared_ptr<const DriveSource> CurrentDriveSource() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_source) g_source = std::make_shared<SystemDriveSource>();
    return g_source;
}

DriveKind KindOfFileSystem(std::string_view t) {
    static constexpr std::string_view kNetwork[] = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p",
        "lustre", "gpfs", "davfs", "fuse.sshfs", "fuse.glusterfs", "fuse.davfs2", "fuse.rclone",
        "fuse.cephfs", "fuse.s3fs"};
    for (std::string_view n : kNetwork)
        if (t == n) return DriveKind::Network;
    return DriveKind::Fixed;
}

bool FileSystemOf(std::string_view mountsText, const std::string& realFolder, std::string& fsType) {
    size_t best = 0;
    bool found = false;
    size_t pos = 0;
    while (pos < mountsText.size()) {
        size_t eol = mountsText.find('\n', pos);
        if (eol == std::string_view::npos) eol = mountsText.size();
        std::string_view line = mountsText.substr(pos, eol - pos);
        pos = eol + 1;
        // device mountpoint type options dump pass
        size_t a = line.find(' ');
        if (a == std::string_view::npos) continue;
        size_t b = line.find(' ', a + 1);
        if (b == std::string_view::npos) continue;
        size_t c = line.find(' ', b + 1);
        std::string mount = UnescapeMount(line.substr(a + 1, b - a - 1));
        std::string_view type = line.substr(b + 1, c == std::string_view::npos ? std::string_view::npos : c - b - 1);
        if (!UnderMount(realFolder, mount)) continue;
        if (!found || mount.size() >= best) {
            best = mount.size();
            fsType = std::string(type);
            found = true;
        }
    }
    return found;
}

DriveMap SystemDriveSource::Map() const { return CurrentDriveMap(); }

DriveFacts SystemDriveSource::Facts(const std::string& folder) const {
    DriveFacts f;
    if (folder.empty()) return f;
    char real[PATH_MAX];
    if (!::realpath(folder.c_str(), real)) return f;
    struct stat st {};
    if (::stat(real, &st) != 0 || !S_ISDIR(st.st_mode)) return f;
    std::string mounts;
    if (ReadWholeFile("/proc/self/mounts", mounts)) FileSystemOf(mounts, real, f.fileSystem);
    f.kind = KindOfFileSystem(f.fileSystem);
    struct statvfs vs {};
    if (::statvfs(real, &vs) == 0) {
        f.sizesKnown = true;
        f.totalBytes = static_cast<uint64_t>(vs.f_blocks) * vs.f_frsize;
        f.freeBytes = static_cast<uint64_t>(vs.f_bavail) * vs.f_frsize;
    }
    return f;
}

} // namespace kx
