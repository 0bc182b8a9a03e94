#include "storage/CFileStorage.h"

#include "model/CkxFile.h"
#include "model/CkxwFileSystem.h"
#include "base/KxSafeWrite.h"

#include <cstdlib>
#include <filesystem>
#include <limits>

#include <sys/stat.h>

namespace fs = std::filesystem;

CFileStorage::~CFileStorage() = default;

std::string CFileStorage::GetKindFolder() const {
    return {};
}

std::string CFileStorage::GetMicroName(uint32_t id) {
    return std::to_string(id);
}

std::string CFileStorage::GetWholeName(uint32_t id, const std::string& suffix) {
    return std::to_string(id) + "." + CkxFile::CleanExName(suffix);
}

std::string CFileStorage::Path(const std::string& folder, const std::string& name) {
    if (folder.empty() || !CkxFile::IsCleanName(name)) return {};
    return folder + "/" + name;
}

std::string CFileStorage::GetMicroPath(int index, const std::string& name) const {
    return Path(GetMicroFolder(index), name);
}

std::string CFileStorage::GetWholePath(int index, const std::string& name) const {
    return Path(GetWholeFolder(index), name);
}

int CFileStorage::Load(const std::string& path, CkxBuf& out) {
    if (path.empty()) return 0;
    CkxBuf bytes;
    if (!CkxwFileSystem::ReadFile(path, bytes) || bytes.GetLen() <= 0) return 0;
    out = std::move(bytes);
    return 1;
}

int CFileStorage::LoadMicro(int index, const std::string& name, CkxBuf& out) const {
    return Load(GetMicroPath(index, name), out);
}

int CFileStorage::LoadWhole(int index, const std::string& name, CkxBuf& out) const {
    return Load(GetWholePath(index, name), out);
}

std::string CFileStorage::StagingFolder(int index) const {
    std::string folder = GetStagingFolder(index);
    if (folder.empty()) return {};
    std::error_code ec;
    if (!fs::is_directory(folder, ec) && !CreateRootFolders(index)) return {};
    return folder;
}

int CFileStorage::Write(int index, const std::string& path, const void* bytes, int len) const {
    if (path.empty() || !bytes || len <= 0) return 0;
    const std::string staging = StagingFolder(index);
    if (staging.empty()) return 0;
    // A failed write never leaves a cut file or a temporary one behind.
    return kx::WriteFileSafelyVia(staging, path,
                                  {std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(len))},
                                  kStoredFileMode)
               ? 1
               : 0;
}

int CFileStorage::WriteMicro(int index, const std::string& name, const void* bytes,
                             int len) const {
    return Write(index, GetMicroPath(index, name), bytes, len);
}

int CFileStorage::WriteWhole(int index, const std::string& name, const void* bytes,
                             int len) const {
    return Write(index, GetWholePath(index, name), bytes, len);
}

int CFileStorage::Stage(int index, const std::string& path, const void* bytes, int len,
                        kx::StagedFile& out) const {
    if (!bytes || len <= 0) return 0;
    const std::string staging = StagingFolder(index);
    if (staging.empty()) return 0;
    return out.StageIn(staging, path, {std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(len))},
                       kStoredFileMode)
               ? 1
               : 0;
}

int CFileStorage::StageMicro(int index, const std::string& name, const void* bytes, int len,
                             kx::StagedFile& out) const {
    const std::string path = GetMicroPath(index, name);
    return path.empty() ? 0 : Stage(index, path, bytes, len, out);
}

int CFileStorage::StageWhole(int index, const std::string& name, const void* bytes, int len,
                             kx::StagedFile& out) const {
    const std::string path = GetWholePath(index, name);
    return path.empty() ? 0 : Stage(index, path, bytes, len, out);
}

std::vector<std::string> CFileStorage::RemoveLeftovers(const std::function<bool(uint32_t id)>& committed) const {
    std::vector<std::string> removed;
    const auto remove = [&](const fs::path& path) {
        std::error_code gone;
        if (fs::remove(path, gone)) removed.push_back(path.string());
    };
    for (int i = 0; i < GetCount(); ++i) {
        if (!Exists(i)) continue;
        std::error_code ec;
        fs::directory_iterator it(GetStagingFolder(i), ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            struct stat temp {};
            if (!kx::IsStagingName(name) || ::lstat(it->path().c_str(), &temp) != 0 || !S_ISREG(temp.st_mode))
                continue;
            if (temp.st_nlink > 1) {
                // A new file placed before its commit: the target is the stored file of the
                // same name that is this very file.
                const std::string target = kx::StagedTargetName(name);
                for (const std::string& path : {GetMicroPath(i, target), GetWholePath(i, target)}) {
                    struct stat st {};
                    if (path.empty() || ::lstat(path.c_str(), &st) != 0) continue;
                    if (st.st_dev != temp.st_dev || st.st_ino != temp.st_ino) continue;
                    const uint32_t id = static_cast<uint32_t>(std::strtoul(target.c_str(), nullptr, 10));
                    if (!committed || !committed(id)) remove(path);
                }
            }
            remove(it->path());
        }
    }
    return removed;
}

void CFileStorage::DeleteOne(int index, const std::string& path) {
    if (path.empty()) return;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(path, ec))) return;
    uintmax_t size = fs::file_size(path, ec);
    if (ec) size = 0;
    if (!fs::remove(path, ec) || ec) return;
    // Capacities are kept in KB; what a file gives back is rounded down like its reservation.
    uintmax_t kb = size / 1024;
    AddCapacity(index, kb > std::numeric_limits<uint32_t>::max()
                           ? std::numeric_limits<uint32_t>::max()
                           : static_cast<uint32_t>(kb));
}

int CFileStorage::Delete(int index, uint32_t id, const std::string& wholeName) {
    if (!Exists(index)) return 0;
    DeleteOne(index, GetMicroPath(index, GetMicroName(id)));
    DeleteOne(index, GetWholePath(index, wholeName));
    return 1;
}
