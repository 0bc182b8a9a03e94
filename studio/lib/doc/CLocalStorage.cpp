#include "doc/CLocalStorage.h"

#include "base/KxRegistry.h"
#include "model/CkxwFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Join(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

} // namespace

int CLocalStorage::Init(const std::string& programFolder) {
    if (m_nLockFd >= 0) ::close(m_nLockFd);
    m_nLockFd = -1;
    m_bShared = false;
    m_strProgramDir = programFolder;
    const std::string root = Join(programFolder, "Local_Storage");
    m_strCheckoutDir = Join(root, "CheckoutFile");
    m_strSourceDir = Join(m_strCheckoutDir, "SourceFile");
    m_strEditedDir = Join(m_strCheckoutDir, "EditedFile");
    m_strCaptureDir = Join(root, "CaptureFile");
    m_strTempDir = Join(root, "Temp");
    std::error_code ec;
    fs::create_directories(root, ec);
    // One studio of a user owns the scratch folder; another one running at the same time keeps
    // its documents' content apart instead of wiping the first one's.
    const std::string lock = Join(root, ".lock");
    m_nLockFd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_nLockFd >= 0 && ::flock(m_nLockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_nLockFd);
        m_nLockFd = -1;
        m_bShared = true;
        m_strTempDir = Join(root, "Temp." + std::to_string(::getpid()));
    }
    m_strDocDir = Join(m_strTempDir, "DocFile");
    // What an earlier run left in the scratch folder belongs to documents that are gone.
    ClearTempDir();
    int ok = 1;
    for (const std::string* dir : {&m_strProgramDir, &m_strCheckoutDir, &m_strCaptureDir, &m_strTempDir, &m_strDocDir}) {
        fs::create_directories(*dir, ec);
        if (!fs::is_directory(*dir, ec)) {
            std::fprintf(stderr, "studio: the folder %s cannot be made\n", dir->c_str());
            ok = 0;
        }
    }
    return ok;
}

CLocalStorage::~CLocalStorage() {
    // A second studio's own scratch folder goes with it.
    if (m_bShared) ClearTempDir();
    if (m_nLockFd >= 0) ::close(m_nLockFd);
}

void CLocalStorage::ClearTempDir() {
    if (m_strTempDir.empty()) return;
    std::error_code ec;
    fs::remove_all(m_strTempDir, ec);
}

bool CLocalStorage::CreateDocDir(int docId) {
    if (m_strDocDir.empty()) return false;
    std::error_code ec;
    fs::create_directories(DocDirOf(docId), ec);
    return !ec;
}

bool CLocalStorage::DeleteDocDir(int docId) {
    if (m_strDocDir.empty()) return false;
    std::error_code ec;
    fs::remove_all(DocDirOf(docId), ec);
    return !ec;
}

std::string CLocalStorage::DocDirOf(int docId) const { return Join(m_strDocDir, std::to_string(docId)); }

std::string CLocalStorage::DocFilePath(int docId, const std::string& name) const {
    return Join(DocDirOf(docId), name);
}

bool CLocalStorage::SaveEncryptedCopy(int docId, const CkxFile& file, const void* bytes, int len) {
    if (m_strDocDir.empty() || len < 0) return false;
    // The document's folder goes with the document: content for a document whose folder is
    // gone is not written back into a new one.
    std::error_code ec;
    if (!fs::is_directory(DocDirOf(docId), ec)) return false;
    return CkxFile::SaveEncryptFile(DocFilePath(docId, file.GetIDName()), file, bytes, len) != 0;
}

bool CLocalStorage::LoadEncryptedCopy(int docId, const std::string& name, CkxBuf& out) const {
    if (m_strDocDir.empty()) return false;
    return CkxFile::LoadEncryptFile(DocFilePath(docId, name), out) != 0;
}

void CLocalStorage::DeleteDocFile(int docId, const std::string& name) {
    std::error_code ec;
    fs::remove(DocFilePath(docId, name), ec);
}

std::string CLocalStorage::NextCaptureFileName() {
    std::lock_guard lock(m_captureMutex);
    kx::RegistryStore store;
    uint32_t counter = 0;
    store.ReadDword(kCaptureKey, kCaptureCount, counter);
    std::error_code ec;
    std::string path;
    do {
        path = Join(m_strCaptureDir, "cap" + std::to_string(counter) + ".jpg");
        ++counter;
    } while (fs::exists(path, ec));
    store.WriteDword(kCaptureKey, kCaptureCount, counter);
    return path;
}

std::string CLocalStorage::SaveToNewCaptureFile(const std::string& bytes) {
    if (m_strTempDir.empty()) return {};
    std::error_code ec;
    fs::create_directories(m_strTempDir, ec);
    std::string temp = Join(m_strTempDir, "capture-XXXXXX");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return {};
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) {
        ::unlink(temp.c_str());
        return {};
    }
    // link() never replaces: a name taken since it was handed out makes way for the next.
    for (int tries = 0; tries < 1000; ++tries) {
        const std::string target = NextCaptureFileName();
        if (::link(temp.c_str(), target.c_str()) == 0) {
            ::unlink(temp.c_str());
            return target;
        }
        if (errno != EEXIST) break;
    }
    ::unlink(temp.c_str());
    return {};
}

std::string CLocalStorage::CheckoutPathOf(int fileId, const std::string& ext) const {
    return Join(m_strCheckoutDir, std::to_string(fileId) + "." + ext);
}

void CLocalStorage::RemoveCheckoutCopy(int fileId) {
    if (m_strCheckoutDir.empty()) return;
    const std::string prefix = std::to_string(fileId) + ".";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_strCheckoutDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.is_regular_file(ec)) fs::remove(entry.path(), ec);
    }
}

CLocalStorage& TheLocalStorage() {
    static CLocalStorage storage;
    return storage;
}
