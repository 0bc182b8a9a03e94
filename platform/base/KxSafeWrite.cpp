#include "base/KxSafeWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx {
namespace {

SafeWriteResult Failed(const std::string& path, const char* step, int error) {
    SafeWriteResult r;
    r.error = error != 0 ? error : EIO;
    r.step = step;
    r.path = path;
    return r;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Flushes the folder's entry list, so that the rename itself survives a crash. File systems
// that cannot flush a folder (EINVAL) keep their entries safe by other means.
int SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    if (::fsync(fd) != 0 && errno != EINVAL) error = errno;
    ::close(fd);
    return error;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string SafeWriteResult::Message() const {
    if (ok()) return {};
    return std::string("cannot ") + step + " " + path + ": " + std::strerror(error);
}

SafeWriteResult WriteFileSafely(const std::string& path, std::string_view bytes, unsigned newFileMode) {
    return WriteFileSafely(path, std::initializer_list<std::string_view>{bytes}, newFileMode);
}

SafeWriteResult WriteFileSafely(const std::string& path,
                                std::initializer_list<std::string_view> parts, unsigned newFileMode) {
    StagedFile staged;
    if (SafeWriteResult r = staged.Stage(path, parts, newFileMode); !r) return r;
    return staged.Publish();
}

SafeWriteResult WriteFileSafelyVia(const std::string& stagingFolder, const std::string& path,
                                   std::initializer_list<std::string_view> parts, unsigned newFileMode) {
    StagedFile staged;
    if (path.empty()) return Failed(path, "write", EINVAL);
    if (SafeWriteResult r = staged.StageIn(stagingFolder, path, parts, newFileMode); !r) return r;
    return staged.Publish();
}

bool IsStagingName(std::string_view name) {
    const size_t at = name.rfind(kStagingMarker);
    return at != std::string_view::npos && at > 0 &&
           name.size() - at == std::char_traits<char>::length(kStagingMarker) + 6;
}

std::string StagedTargetName(std::string_view temporaryName) {
    if (!IsStagingName(temporaryName)) return {};
    return std::string(temporaryName.substr(0, temporaryName.rfind(kStagingMarker)));
}

StagedFile::~StagedFile() { Discard(); }

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_temp(std::move(other.m_temp)), m_placed(other.m_placed) {
    other.m_temp.clear();
    other.m_placed = false;
}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_path = std::move(other.m_path);
        m_temp = std::move(other.m_temp);
        m_placed = other.m_placed;
        other.m_temp.clear();
        other.m_placed = false;
    }
    return *this;
}

void StagedFile::Discard() {
    // The target goes first: a crash between the two leaves a temporary file, which the next
    // start removes, rather than a target that nothing names.
    if (m_placed) ::unlink(m_path.c_str());
    m_placed = false;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
}

SafeWriteResult StagedFile::Stage(const std::string& path, std::initializer_list<std::string_view> parts,
                                  unsigned newFileMode) {
    if (path.empty() || path.back() == '/') {
        Discard();
        m_path = path;
        return Failed(path, "write", EINVAL);
    }
    return StageAt(FolderOf(path), path, parts, newFileMode);
}

SafeWriteResult StagedFile::StageIn(const std::string& stagingFolder, const std::string& path,
                                    std::initializer_list<std::string_view> parts, unsigned newFileMode) {
    if (stagingFolder.empty() || (!path.empty() && path.back() == '/')) {
        Discard();
        m_path = path;
        return Failed(path.empty() ? stagingFolder : path, "write", EINVAL);
    }
    return StageAt(stagingFolder, path, parts, newFileMode);
}

SafeWriteResult StagedFile::StageAt(const std::string& folder, const std::string& path,
                                    std::initializer_list<std::string_view> parts, unsigned newFileMode) {
    Discard();
    m_path = path;

    mode_t mode = static_cast<mode_t>(newFileMode & 07777);
    struct stat old {};
    if (path.empty()) {
        // A new file whose name comes later: nothing to replace.
    } else if (::stat(path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) return Failed(path, "replace the folder", EISDIR);
        // Root passes access() on any file; a file with no write bit is read-only all the same.
        if ((old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return Failed(path, "replace the read-only file", EACCES);
        mode = old.st_mode & 07777;
    } else if (errno != ENOENT) {
        return Failed(path, "check", errno);
    }

    const size_t slash = path.rfind('/');
    // The temporary name starts like the target's (cut so that the suffix still fits a name).
    const std::string base = path.empty() ? std::string("new") : slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "/" + base.substr(0, 200) + kStagingMarker + "XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return Failed(path, "create a temporary file for", errno);
    // mkostemp makes the file rw------- : the final mode is set before any byte is written, so
    // a private file is never readable by others, not even for a moment.
    const char* step = nullptr;
    int error = 0;
    if (::fchmod(fd, mode) != 0) step = "set the permissions of", error = errno;
    for (std::string_view part : parts) {
        if (step) break;
        if (!WriteAll(fd, part)) {
            step = "write";
            error = errno;
        }
    }
    if (!step && ::fsync(fd) != 0) step = "flush", error = errno;
    if (::close(fd) != 0 && !step) step = "close", error = errno;
    if (step) {
        ::unlink(temp.c_str());
        return Failed(path, step, error);
    }
    m_temp = std::move(temp);
    return {0, "", path};
}

SafeWriteResult StagedFile::Place() {
    if (m_temp.empty() || m_placed || m_path.empty() || m_path.back() == '/') return Failed(m_path, "place", EINVAL);
    if (::link(m_temp.c_str(), m_path.c_str()) != 0) return Failed(m_path, "link", errno);
    m_placed = true;
    SafeWriteResult r{0, "", m_path, true};
    if (int e = SyncFolder(FolderOf(m_path))) {
        r = Failed(m_path, "flush the folder of", e);
        r.placed = true;
    }
    return r;
}

void StagedFile::Settle() {
    if (!m_placed) return;
    // Not flushed: should a crash bring the temporary name back, the next start sees its target
    // committed and removes only the temporary name.
    ::unlink(m_temp.c_str());
    m_temp.clear();
    m_placed = false;
}

SafeWriteResult StagedFile::Publish() {
    if (m_temp.empty() || m_placed || m_path.empty() || m_path.back() == '/') return Failed(m_path, "publish", EINVAL);
    if (std::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        Discard();
        return Failed(m_path, "rename over", error);
    }
    m_temp.clear();
    SafeWriteResult r{0, "", m_path, true};
    if (int e = SyncFolder(FolderOf(m_path))) {
        r = Failed(m_path, "flush the folder of", e);
        r.placed = true;
    }
    return r;
}

} // namespace kx
