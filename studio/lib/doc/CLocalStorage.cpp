#include "doc/CLocalStorage.h"

#include "base/KxRegistry.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "model/CkxwFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Join(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

bool Exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

// Seconds as a date's fraction of a day.
constexpr double kFiveSeconds = 5.0 / 86400.0;

} // namespace

CLocalStorage::CLocalStorage() {
    m_CaptureProfile.Reg_SetDefaultDir(kCaptureKey);
    m_CheckoutProfile.Reg_SetDefaultDir(kCheckoutKey);
}

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

void CLocalStorage::ClearTempDir() { DeleteTempDir(); }

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

std::string CLocalStorage::CheckoutPath(const std::string& name) const { return Join(m_strCheckoutDir, name); }
std::string CLocalStorage::SourcePath(const std::string& name) const { return Join(m_strSourceDir, name); }
std::string CLocalStorage::EditedPath(const std::string& name) const { return Join(m_strEditedDir, name); }
std::string CLocalStorage::CapturePath(const std::string& name) const { return Join(m_strCaptureDir, name); }

bool CLocalStorage::CreateTempDir() {
    std::error_code ec;
    return !m_strTempDir.empty() && (fs::create_directories(m_strTempDir, ec) || fs::is_directory(m_strTempDir, ec));
}
bool CLocalStorage::DeleteTempDir() {
    std::error_code ec;
    return !m_strTempDir.empty() && fs::remove_all(m_strTempDir, ec) != static_cast<std::uintmax_t>(-1);
}
bool CLocalStorage::CreateDocRootDir() {
    std::error_code ec;
    return !m_strDocDir.empty() && (fs::create_directories(m_strDocDir, ec) || fs::is_directory(m_strDocDir, ec));
}
bool CLocalStorage::DeleteDocRootDir() {
    std::error_code ec;
    return !m_strDocDir.empty() && fs::remove_all(m_strDocDir, ec) != static_cast<std::uintmax_t>(-1);
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

bool CLocalStorage::SaveEncryptedCopyBuf(int docId, const CkxFile& file, const CkxBuf& bytes) {
    const std::string_view view = bytes.View();
    return SaveEncryptedCopy(docId, file, view.data(), static_cast<int>(view.size()));
}

bool CLocalStorage::SaveDocFileCopy(int docId, const CkxFile* file) {
    if (!file || m_strDocDir.empty()) return false;
    std::error_code ec;
    if (!fs::is_directory(DocDirOf(docId), ec)) return false;
    return file->SaveEncryptFile(DocFilePath(docId, file->GetIDName())) != 0;
}

bool CLocalStorage::LoadEncryptedWhole(int docId, CkxFile* file) const {
    return file && LoadEncryptedWholeByName(docId, file->GetIDName(), file);
}

bool CLocalStorage::LoadEncryptedWholeByName(int docId, const std::string& name, CkxFile* file) const {
    return file && !m_strDocDir.empty() && file->LoadEncryptFileMemWhole(DocFilePath(docId, name)) != 0;
}

bool CLocalStorage::LoadEncryptedImage(int docId, const std::string& name, CxImage& image) const {
    return !m_strDocDir.empty() && CkxFileImage::LoadEncryptFile(DocFilePath(docId, name), image) != 0;
}

bool CLocalStorage::LoadImageFile(const std::string& path, CxImage& image) {
    return image.Load(path, CXIMAGE_FORMAT_UNKNOWN);
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
    int counter = ReadCaptureCount();
    std::string path;
    do {
        path = CapturePath("cap" + std::to_string(counter) + ".jpg");
        ++counter;
    } while (Exists(path));
    WriteCaptureCount(counter);
    return path;
}

int CLocalStorage::ReadCaptureCount() const { return m_CaptureProfile.Reg_Read(kCaptureCount, 0); }
void CLocalStorage::WriteCaptureCount(int count) { m_CaptureProfile.Reg_Write(kCaptureCount, count); }

std::string CLocalStorage::NewTempPath(const char* stem) {
    if (m_strTempDir.empty()) return {};
    std::error_code ec;
    fs::create_directories(m_strTempDir, ec);
    std::string temp = Join(m_strTempDir, std::string(stem) + "-XXXXXX");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return {};
    ::close(fd);
    return temp;
}

std::string CLocalStorage::MoveOntoNewCaptureName(const std::string& temp) {
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

std::string CLocalStorage::SaveToNewCaptureFile(CkxFile* file) {
    if (!file || !file->IsMemWholeValid()) return {};
    const std::string temp = NewTempPath("capture");
    if (temp.empty()) return {};
    if (!file->SaveFile(temp)) {
        ::unlink(temp.c_str());
        return {};
    }
    std::string path = MoveOntoNewCaptureName(temp);
    if (!path.empty()) file->m_strSourcePath = path;
    return path;
}

std::string CLocalStorage::SaveToNewCaptureFile(const std::string& bytes) {
    const std::string temp = NewTempPath("capture");
    if (temp.empty()) return {};
    const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    size_t written = 0;
    while (fd >= 0 && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const bool ok = fd >= 0 && written == bytes.size() && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok) {
        ::unlink(temp.c_str());
        return {};
    }
    return MoveOntoNewCaptureName(temp);
}

bool CLocalStorage::IsCaptureFileValid(const std::string& name) const { return Exists(CapturePath(name)); }

bool CLocalStorage::LoadCaptureFileInfo(const std::string& name, CkxFile* file) const {
    return file && file->LoadFileInfo(CapturePath(name)) != 0;
}

bool CLocalStorage::LoadCaptureFileData(const std::string& path, CkxFile* file) const {
    return file && file->LoadFileData(path) != 0;
}

COleDateTime CLocalStorage::GetCaptureFileCreateTime(const std::string& name) const {
    return CkxwFileSystem::GetFileCreateTime(CapturePath(name));
}

COleDateTime CLocalStorage::GetCaptureFileModifyTime(const std::string& name) const {
    return CkxwFileSystem::GetFileModifyTime(CapturePath(name));
}

void CLocalStorage::OpenCaptureFileDef(const std::string& name) const { CkxwFileSystem::OpenFileDef(CapturePath(name)); }
void CLocalStorage::OpenCaptureFileWay(const std::string& name) const { CkxwFileSystem::OpenFileWay(CapturePath(name)); }
void CLocalStorage::OpenCaptureFileMay(const std::string& name) const { CkxwFileSystem::OpenFileMay(CapturePath(name)); }
void CLocalStorage::OpenCaptureFileInEditor(const std::string& name) const {
    CkxwFileSystem::OpenFileOnTintwork(CapturePath(name));
}

void CLocalStorage::RemoveLocalFile(const std::string& path) {
    // A copy another program holds open may stay; the callers look at the folder again.
    std::error_code ec;
    fs::remove(path, ec);
}

bool CLocalStorage::ClearTree(const std::string& dir) {
    if (dir.empty()) return false;
    std::error_code ec;
    // Files only, the tree walked without following links: a link is removed, never its target.
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::file_status st = it->symlink_status(ec);
        if (!fs::is_directory(st)) files.push_back(it->path());
    }
    bool ok = !ec;
    for (const fs::path& f : files)
        if (!fs::remove(f, ec)) ok = false;
    return ok;
}

bool CLocalStorage::ClearCaptureDir() { return ClearTree(m_strCaptureDir); }

std::string CLocalStorage::CheckoutPathOf(int fileId, const std::string& ext) const {
    return Join(m_strCheckoutDir, std::to_string(fileId) + "." + ext);
}

std::string CLocalStorage::FormatMoment(const COleDateTime& m) {
    return std::to_string(m.GetYear()) + "-" + std::to_string(m.GetMonth()) + "-" + std::to_string(m.GetDay()) + " " +
           std::to_string(m.GetHour()) + ":" + std::to_string(m.GetMinute()) + ":" + std::to_string(m.GetSecond());
}

COleDateTime CLocalStorage::ParseMoment(const std::string& text) {
    COleDateTime moment(0.0);
    if (!moment.ParseDateTime(text)) return COleDateTime(0.0);
    return moment;
}

void CLocalStorage::SetCheckoutTime(const std::string& name, const COleDateTime& moment) {
    m_CheckoutProfile.Reg_Write("CT_" + name, FormatMoment(moment));
}
COleDateTime CLocalStorage::GetCheckoutTime(const std::string& name) const {
    return ParseMoment(m_CheckoutProfile.Reg_Read("CT_" + name, 100, ""));
}
void CLocalStorage::SetModifyTime(const std::string& name, const COleDateTime& moment) {
    m_CheckoutProfile.Reg_Write("MT_" + name, FormatMoment(moment));
}
COleDateTime CLocalStorage::GetModifyTime(const std::string& name) const {
    return ParseMoment(m_CheckoutProfile.Reg_Read("MT_" + name, 100, ""));
}

bool CLocalStorage::IsCheckoutCopyValid(const std::string& name) const { return Exists(CheckoutPath(name)); }

COleDateTime CLocalStorage::EffectiveModifyTime(const COleDateTime& ct, const COleDateTime& ft) {
    return static_cast<DATE>(ft) - kFiveSeconds > static_cast<DATE>(ct) ? ft : ct;
}

COleDateTime CLocalStorage::GetEffectiveModifyTime(const std::string& name) const {
    return EffectiveModifyTime(GetCheckoutTime(name), CkxwFileSystem::GetFileModifyTime(CheckoutPath(name)));
}

bool CLocalStorage::IsCheckoutCopyModified(const std::string& name) const {
    // Without a copy there is nothing edited.
    if (!IsCheckoutCopyValid(name)) return false;
    return GetCheckoutTime(name) < GetEffectiveModifyTime(name);
}

std::string CLocalStorage::SaveCheckoutCopy(const CkxFile* file, const COleDateTime& moment, std::string* kept) {
    if (kept) kept->clear();
    // No content, no copy: an empty file would later look like a real one.
    if (!file || !file->IsMemWholeValid() || m_strCheckoutDir.empty()) return {};
    const std::string name = file->GetIDName();
    const std::string path = CheckoutPath(name);
    if (IsCheckoutCopyValid(name) && IsCheckoutCopyModified(name)) {
        // The copy holds edits not checked in: it is kept beside the new one, never overwritten.
        const fs::path p(name);
        const std::string stem = p.stem().string(), ext = p.extension().string();
        for (int n = 1; n < 100000; ++n) {
            const std::string keptName = stem + "~" + std::to_string(n) + ext;
            const std::string keptPath = CheckoutPath(keptName);
            if (Exists(keptPath)) continue;
            if (::link(path.c_str(), keptPath.c_str()) != 0) {
                if (errno == EEXIST) continue;
                return {};
            }
            if (kept) *kept = keptName;
            break;
        }
    }
    if (!file->SaveFile(path)) return {};
    // The moment is never earlier than the copy's own last write, so writing it is no edit.
    COleDateTime written = CkxwFileSystem::GetFileModifyTime(path);
    SetCheckoutTime(name, written < moment ? moment : written);
    return path;
}

bool CLocalStorage::LoadCheckoutFileInfo(const std::string& name, CkxFile* file) const {
    return file && file->LoadFileInfo(CheckoutPath(name)) != 0;
}
bool CLocalStorage::LoadCheckoutFileData(const std::string& name, CkxFile* file) const {
    return file && file->LoadFileData(CheckoutPath(name)) != 0;
}

void CLocalStorage::OpenCheckoutCopyDef(const std::string& name) const { CkxwFileSystem::OpenFileDef(CheckoutPath(name)); }
void CLocalStorage::OpenCheckoutCopyWay(const std::string& name) const { CkxwFileSystem::OpenFileWay(CheckoutPath(name)); }
void CLocalStorage::OpenCheckoutCopyMay(const std::string& name) const { CkxwFileSystem::OpenFileMay(CheckoutPath(name)); }
void CLocalStorage::OpenCheckoutCopyInEditor(const std::string& name) const {
    CkxwFileSystem::OpenFileOnTintwork(CheckoutPath(name));
}

void CLocalStorage::RemoveCheckoutFile(const std::string& name) { RemoveLocalFile(CheckoutPath(name)); }

bool CLocalStorage::ClearCheckoutDir() { return ClearTree(m_strCheckoutDir); }

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
