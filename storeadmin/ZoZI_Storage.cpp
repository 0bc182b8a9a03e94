#include "storeadmin/ZoZI_Storage.h"

#include "model/CkxwFileSystem.h"
#include "base/KxIni.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <limits>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_rememberedIndex{0};

// Folder + "/" + name, without doubling a trailing separator of the folder.
std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

uint32_t KBFromMB(uint32_t mb) {
    uint64_t kb = static_cast<uint64_t>(mb) * 1024u;
    return kb > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                     : static_cast<uint32_t>(kb);
}

std::string ConfPath(const std::string& folder) {
    return Join(folder, "Conf");
}

} // namespace

ZoZI_Storage::ZoZI_Storage() = default;

ZoZI_Storage::ZoZI_Storage(std::shared_ptr<const StorageDriveSource> drives)
    : m_drives(std::move(drives)) {}

ZoZI_Storage::~ZoZI_Storage() = default;

std::string ZoZI_Storage::GetKindFolder() const {
    return {};
}

void ZoZI_Storage::SetDriveSource(std::shared_ptr<const StorageDriveSource> drives) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_drives = std::move(drives);
}

std::vector<StorageDrive> ZoZI_Storage::ListDrives() const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (m_drives) return m_drives->ListDrives();
    return HostDriveSource().ListDrives();
}

int ZoZI_Storage::Prepare(const std::string& kindWord) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_prefix = kindWord.empty() ? std::string(kDefaultPrefix) : kindWord + "_Storage_";
    Scan();
    return Exists(0);
}

std::string ZoZI_Storage::GetPrefix() const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_prefix;
}

int ZoZI_Storage::Scan() {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_table.assign(kRootCount, Entry{});
    std::vector<uint32_t> driveFreeKB(kRootCount, 0);
    int found = 0;
    for (const StorageDrive& drive : ListDrives()) {
        int driveIndex = StorageDrive::IndexOf(drive.letter);
        if (driveIndex < 0 || drive.folder.empty()) continue;
        driveFreeKB[driveIndex] = KBFromMB(drive.freeMB);
        // Child folders that match the prefix, in name order so a scan is repeatable.
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(drive.folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code dirEc;
            if (!it->is_directory(dirEc)) continue;
            std::string name = it->path().filename().string();
            if (StartsWithNoCase(name, m_prefix)) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            std::string folder = Join(drive.folder, name);
            int id = ReadRootID(folder);
            if (id < 0 || id >= kRootCount) continue;
            Entry& e = m_table[id];
            e.id = id;
            e.path = folder;
            e.drive = drive.letter;
            ++found;
        }
    }
    // A drive's free space is counted once: the root with the lowest id on a drive gets it,
    // every other root there gets 0, whatever order the folders were found in.
    for (int i = 0; i < kRootCount; ++i) {
        Entry& e = m_table[i];
        if (e.path.empty()) continue;
        e.capacity = IsDriveInUse(e.drive, i) ? 0 : driveFreeKB[StorageDrive::IndexOf(e.drive)];
    }
    return found;
}

int ZoZI_Storage::GetCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return static_cast<int>(m_table.size());
}

ZoZI_Storage::Entry ZoZI_Storage::GetEntry(int index) const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return InTable(index) ? m_table[index] : Entry{};
}

std::string ZoZI_Storage::GetRootPath(int index) const {
    return GetEntry(index).path;
}

int ZoZI_Storage::Exists(int index) const {
    return GetRootPath(index).empty() ? 0 : 1;
}

uint32_t ZoZI_Storage::GetCapacity(int index) const {
    return GetEntry(index).capacity;
}

char ZoZI_Storage::GetRootDrive(int index) const {
    Entry e = GetEntry(index);
    return e.path.empty() ? 0 : e.drive;
}

std::string ZoZI_Storage::SubFolder(int index, const char* leaf) const {
    std::string root = GetRootPath(index);
    if (root.empty()) return {};
    return Join(root, "File") + GetKindFolder() + "/" + leaf;
}

std::string ZoZI_Storage::GetMicroFolder(int index) const {
    return SubFolder(index, "Micro");
}

std::string ZoZI_Storage::GetWholeFolder(int index) const {
    return SubFolder(index, "Whole");
}

std::string ZoZI_Storage::GetStagingFolder(int index) const {
    return SubFolder(index, "Staging");
}

namespace {

// Creates `folder` and its missing parents from `root` down, each readable by the server's
// account only (0700 whatever the umask; one that exists is made so too: the stored files are
// nobody else's business). True when it is a folder afterwards.
bool CreatePrivateFolder(const std::string& root, const std::string& folder) {
    std::error_code ec;
    const fs::path relative = fs::path(folder).lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return false;
    fs::path at(root);
    for (const fs::path& part : relative) {
        at /= part;
        ::mkdir(at.c_str(), 0700);
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
        if ((st.st_mode & 07777) != 0700) ::chmod(at.c_str(), 0700);
    }
    return fs::is_directory(folder, ec);
}

} // namespace

int ZoZI_Storage::CreateRootFolders(int index) const {
    const std::string root = GetRootPath(index);
    std::string micro = GetMicroFolder(index);
    std::string whole = GetWholeFolder(index);
    std::string staging = GetStagingFolder(index);
    if (root.empty() || micro.empty() || whole.empty() || staging.empty()) return 0;
    return CreatePrivateFolder(root, micro) && CreatePrivateFolder(root, whole) &&
                   CreatePrivateFolder(root, staging)
               ? 1
               : 0;
}

int ZoZI_Storage::ReadRootID(const std::string& folder) {
    // A folder without its Conf (or without the key) is no root: -1 is outside every slot.
    return kx::GetPrivateProfileInt("BASE", "ID", -1, ConfPath(folder));
}

int ZoZI_Storage::WriteRootID(const std::string& folder, int id) {
    return kx::WritePrivateProfileString("BASE", "ID", std::to_string(id), ConfPath(folder)) ? 1
                                                                                              : 0;
}

int ZoZI_Storage::AddCapacity(int index, uint32_t kb) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!InTable(index)) return 0;
    uint64_t sum = static_cast<uint64_t>(m_table[index].capacity) + kb;
    m_table[index].capacity = sum > std::numeric_limits<uint32_t>::max()
                                  ? std::numeric_limits<uint32_t>::max()
                                  : static_cast<uint32_t>(sum);
    return 1;
}

int ZoZI_Storage::ReserveLocked(int index, uint32_t kb) {
    if (!InTable(index)) return 0;
    Entry& e = m_table[index];
    if (e.path.empty() || e.capacity <= kMinFreeKB) return 0;
    if (kb > e.capacity) return 0;
    uint32_t remain = e.capacity - kb;
    if (remain < kMinRemainKB) return 0;
    e.capacity = remain;
    return 1;
}

int ZoZI_Storage::Reserve(int index, uint32_t kb) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return ReserveLocked(index, kb);
}

int ZoZI_Storage::ChooseRoot(uint32_t kb) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    int start = g_rememberedIndex.load();
    if (start < 0 || start >= kRootCount) start = 0;
    if (ReserveLocked(start, kb)) return start;
    for (int step = 1; step < kRootCount; ++step) {
        int i = (start + step) % kRootCount;
        if (ReserveLocked(i, kb)) {
            g_rememberedIndex = i;
            return i;
        }
    }
    g_rememberedIndex = 0;
    return -1;
}

int ZoZI_Storage::IsDriveInUse(char letter, int count) const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    int wanted = StorageDrive::IndexOf(letter);
    if (wanted < 0) return 0;
    int n = std::min<int>(count, static_cast<int>(m_table.size()));
    for (int i = 0; i < n; ++i) {
        const Entry& e = m_table[i];
        if (!e.path.empty() && StorageDrive::IndexOf(e.drive) == wanted) return 1;
    }
    return 0;
}

int ZoZI_Storage::GetRememberedIndex() {
    return g_rememberedIndex.load();
}

void ZoZI_Storage::SetRememberedIndex(int index) {
    g_rememberedIndex = index;
}

std::string ZoZI_Storage::GetRootName(int slot) const {
    return GetPrefix() + std::to_string(slot);
}

int ZoZI_Storage::CreateRoot(int slot, const std::string& driveRoot) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (slot < 0 || slot >= kRootCount) return 0;
    // A second folder with the same id would silently replace the first at the next scan.
    if (Exists(slot)) return 0;
    char letter = StorageDrive::LetterOf(driveRoot);
    if (!letter) return 0;
    std::string driveFolder;
    for (const StorageDrive& d : ListDrives()) {
        if (d.letter == letter) driveFolder = d.folder;
    }
    if (driveFolder.empty()) return 0;
    std::string folder = Join(driveFolder, GetRootName(slot));
    // A folder of that name whose Conf names another root belongs to that root: writing this
    // slot's id over it would take the other root's files away from their rows.
    const int existing = ReadRootID(folder);
    if (existing >= 0 && existing < kRootCount && existing != slot) return 0;
    std::error_code ec;
    const bool isNew = !fs::exists(folder, ec);
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return 0;
    // A root made here holds nothing but the server's own files.
    if (isNew) fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (!WriteRootID(folder, slot)) return 0;
    Scan();
    if (GetRootPath(slot) != folder) return 0;
    return CreateRootFolders(slot);
}

bool ZoZI_Storage::IsRootFolderName(const std::string& name) const {
    if (name.empty() || name == "." || name == "..") return false;
    return StartsWithNoCase(name, m_prefix);
}

int ZoZI_Storage::DeleteRoot(int slot) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!InTable(slot)) return 0;
    Entry& e = m_table[slot];
    if (e.path.empty()) return 0;
    // A recursive delete on a wrong path cannot be undone: only a root folder is removed.
    fs::path path(e.path);
    if (!IsRootFolderName(path.filename().string())) return 0;
    std::error_code ec;
    fs::file_status st = fs::symlink_status(path, ec);
    if (ec) return 0;
    if (fs::is_symlink(st)) {
        // A linked root: remove the link only, never what it points at.
        fs::remove(path, ec);
        if (ec) return 0;
    } else if (fs::is_directory(st)) {
        if (!CkxwFileSystem::DelDir(e.path)) return 0;
    } else {
        return 0;
    }
    e.path.clear();
    e.id = -1;
    e.capacity = 0;
    e.drive = 0;
    return 1;
}

int ZoZI_Storage::HasUsableRoot() const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    for (const Entry& e : m_table) {
        if (!e.path.empty() && e.capacity > kMinFreeKB) return 1;
    }
    return 0;
}
