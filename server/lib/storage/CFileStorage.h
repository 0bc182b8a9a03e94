// Stored files on the storage roots: every catalogue file has a thumbnail ("micro", named by its
// id) and its whole content (named by id and suffix) under a root. Turns (root, name) into disk
// paths, loads, writes (through kx::WriteFileSafely) and deletes them, giving freed
// space back to the root.
#pragma once

#include "base/KxSafeWrite.h"
#include "model/CkxBuf.h"
#include "storeadmin/ZoZI_Storage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CFileStorage : public ZoZI_Storage {
public:
    // A stored file is readable by the server's account only, whatever the umask (its folders
    // are made 0700 by CreateRootFolders). A file replaced keeps the mode it had.
    static constexpr unsigned kStoredFileMode = 0600;

    using ZoZI_Storage::ZoZI_Storage;
    ~CFileStorage() override;

    std::string GetKindFolder() const override;

    // "%u" of the id: the thumbnail's name.
    static std::string GetMicroName(uint32_t id);
    // "%u.<suffix>", the suffix cleaned first as a file's extension is (CkxFile::CleanExName).
    static std::string GetWholeName(uint32_t id, const std::string& suffix);

    // folder + "/" + name; empty when the root does not exist or the name is not clean
    // (CkxFile::IsCleanName).
    std::string GetMicroPath(int index, const std::string& name) const;
    std::string GetWholePath(int index, const std::string& name) const;

    // Reads the stored file into `out`; 1 when at least one byte was read, else 0.
    int LoadMicro(int index, const std::string& name, CkxBuf& out) const;
    int LoadWhole(int index, const std::string& name, CkxBuf& out) const;

    // Replaces the stored file with the bytes; 0 for an empty path, no bytes or a failed write
    // (the old file then stays as it was).
    int WriteMicro(int index, const std::string& name, const void* bytes, int len) const;
    int WriteWhole(int index, const std::string& name, const void* bytes, int len) const;

    // Stages the bytes for the stored file (see kx::StagedFile) in the root's staging folder:
    // nothing counts until the caller publishes. 1 when staged; 0 for an empty path, no bytes
    // or a failed write.
    int StageMicro(int index, const std::string& name, const void* bytes, int len, kx::StagedFile& out) const;
    int StageWhole(int index, const std::string& name, const void* bytes, int len, kx::StagedFile& out) const;

    // Removes the temporary files that interrupted writes left in the roots' staging folders;
    // returns the paths removed. A temporary file that a new file's target links to (placed,
    // not settled: see kx::StagedFile::Place) takes its target with it unless `committed` says
    // the catalogue has the row of the target's id. The stored files themselves are not looked
    // through.
    std::vector<std::string> RemoveLeftovers(const std::function<bool(uint32_t id)>& committed) const;

    // Deletes the thumbnail (named by the id) and the whole file, giving each one's size in KB
    // back to the root. 0 when the root does not exist.
    int Delete(int index, uint32_t id, const std::string& wholeName);

private:
    static std::string Path(const std::string& folder, const std::string& name);
    static int Load(const std::string& path, CkxBuf& out);
    int Write(int index, const std::string& path, const void* bytes, int len) const;
    int Stage(int index, const std::string& path, const void* bytes, int len, kx::StagedFile& out) const;
    // The root's staging folder, made when an older root lacks it; empty when there is none.
    std::string StagingFolder(int index) const;
    void DeleteOne(int index, const std::string& path);
};
