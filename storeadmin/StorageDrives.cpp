#include "storeadmin/StorageDrives.h"

#include "model/CkxHostInfo.h"
#include "base/Gbk.h"
#include "base/KxDrives.h"

#include <cctype>
#include <filesystem>
#include <limits>

namespace {

uint32_t ClampMB(unsigned long long bytes) {
    unsigned long long mb = bytes >> 20;
    return mb > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                     : static_cast<uint32_t>(mb);
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

int StorageDrive::IndexOf(char letter) {
    char c = Upper(letter);
    return c >= 'C' && c <= 'Z' ? c - 'A' : -1;
}

std::string StorageDrive::RootText(char letter) {
    return std::string(1, Upper(letter)) + ":\\";
}

char StorageDrive::LetterOf(const std::string& rootText) {
    if (rootText.empty()) return 0;
    char c = Upper(rootText[0]);
    if (IndexOf(c) < 0) return 0;
    std::string rest = rootText.substr(1);
    if (rest.empty() || rest == ":" || rest == ":\\" || rest == ":/") return c;
    return 0;
}

bool FolderDriveSource::Add(char letter, const std::string& folder) {
    if (StorageDrive::IndexOf(letter) < 0) return false;
    drives_[Upper(letter)] = Entry{folder, false, 0, 0};
    return true;
}

bool FolderDriveSource::Add(char letter, const std::string& folder, uint32_t totalMB,
                            uint32_t freeMB) {
    if (StorageDrive::IndexOf(letter) < 0) return false;
    drives_[Upper(letter)] = Entry{folder, true, totalMB, freeMB};
    return true;
}

void FolderDriveSource::SetFree(char letter, uint32_t freeMB) {
    auto it = drives_.find(Upper(letter));
    if (it != drives_.end() && it->second.fixed) it->second.freeMB = freeMB;
}

std::vector<StorageDrive> FolderDriveSource::ListDrives() const {
    std::vector<StorageDrive> out;
    for (const auto& [letter, e] : drives_) {
        std::error_code ec;
        if (!std::filesystem::is_directory(e.folder, ec)) continue;
        StorageDrive d;
        d.letter = letter;
        d.root = StorageDrive::RootText(letter);
        d.folder = e.folder;
        if (e.fixed) {
            d.totalMB = e.totalMB;
            d.freeMB = e.freeMB;
        } else {
            kx::DriveFacts f = kx::SystemDriveSource().Facts(e.folder);
            if (f.sizesKnown) {
                d.totalMB = ClampMB(f.totalBytes);
                d.freeMB = ClampMB(f.freeBytes);
            }
        }
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<StorageDrive> HostDriveSource::ListDrives() const {
    CkxHostInfo::_DRIVE entries[26];
    int n = CkxHostInfo::GetDriverInfo(entries);
    kx::DriveMap map = kx::CurrentDriveSource()->Map();
    std::vector<StorageDrive> out;
    for (int i = 0; i < n && i < 26; ++i) {
        StorageDrive d;
        d.root = kx::GetText(entries[i].szRoot);
        d.letter = StorageDrive::LetterOf(d.root);
        if (!d.letter) continue;
        d.folder = map[StorageDrive::IndexOf(d.letter)];
        if (d.folder.empty()) continue;
        d.totalMB = entries[i].nTotalMB;
        d.freeMB = entries[i].nFreeMB;
        out.push_back(std::move(d));
    }
    return out;
}
