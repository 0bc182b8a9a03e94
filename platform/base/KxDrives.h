// The drive letters the system talks about, on a machine that has none: the server's
// configuration maps letters to folders (ini section "DRIVES", keys "C" to "Z"); each folder's
// size comes from statvfs and its kind from the file system it lies on (/proc/self/mounts).
// The source of drives can be replaced, so the drive-table logic can run on a fake machine.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kx {

class IniFile;

// Folder of each drive letter, index 0 = A .. 25 = Z; empty = no such drive.
using DriveMap = std::array<std::string, 26>;

enum class DriveKind { None, Fixed, Network };

// What the machine says about one drive folder. Kind None: the folder is missing or not a
// folder, so the drive is not listed. sizesKnown false: the sizes could not be read.
struct DriveFacts {
    DriveKind kind = DriveKind::None;
    bool sizesKnown = false;
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;     // free to an unprivileged caller
    std::string fileSystem;     // e.g. "ext4", "nfs4"
};

class DriveSource {
public:
    virtual ~DriveSource() = default;
    virtual DriveMap Map() const = 0;
    virtual DriveFacts Facts(const std::string& folder) const = 0;
};

// The real machine: the map set with SetDriveMap (or the default map), statvfs sizes and the
// mount table's file-system kinds.
class SystemDriveSource : public DriveSource {
public:
    DriveMap Map() const override;
    DriveFacts Facts(const std::string& folder) const override;
};

// The server's data folder: $VARNIA_HOME when set and not empty, else the program's folder.
std::string DataFolder();

// The map from an ini file's "DRIVES" section: keys "C" to "Z" (any case), values folders;
// a relative folder counts from dataFolder. Without that section, C is the data folder.
DriveMap DriveMapFromIni(const IniFile& ini, const std::string& dataFolder);

// The process-wide map that SystemDriveSource reports; until set, C is DataFolder().
void SetDriveMap(const DriveMap& map);
DriveMap CurrentDriveMap();

// The source every drive query uses; nullptr restores the real machine.
void SetDriveSource(std::shared_ptr<const DriveSource> source);
std::shared_ptr<const DriveSource> CurrentDriveSource();

// Network file systems (NFS, SMB, sshfs, ...) are network drives; every other one is fixed.
DriveKind KindOfFileSystem(std::string_view fsType);

// The file-system type of the mount that holds `realFolder` (an absolute path without symbolic
// links): the longest mount point that is a prefix of it in the given /proc/self/mounts text;
// the last such mount wins (later mounts hide earlier ones). False when none matches.
bool FileSystemOf(std::string_view mountsText, const std::string& realFolder, std::string& fsType);

} // namespace kx
