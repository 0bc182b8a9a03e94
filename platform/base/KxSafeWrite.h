// The one way a program replaces a file's content: the bytes go to a temporary file in the
// target's folder, which is flushed to disk and renamed over the target, and then the folder is
// flushed, so a reader (or a crash) sees either the old file whole or the new one whole.
// A failure leaves the old file as it was and no temporary file behind.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kx {

// What a safe write did: ok, or the step that failed and its system error.
struct SafeWriteResult {
    int error = 0;           // errno of the failing step; 0 when the write succeeded
    const char* step = "";   // what failed, worded to follow "cannot": "write", "rename over", ...
    std::string path;        // the target
    bool placed = false;     // the new content is in place (also when only the folder flush failed)

    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }
    // "cannot rename over /x/y.ini: Permission denied"; empty when ok.
    std::string Message() const;
};

// Writes `bytes` as the whole new content of `path`. The folder must exist. A target that is a
// folder or a read-only file is refused (a rename would get round the permission that writing
// in place meets); a replaced file keeps its permission bits, a new file gets `newFileMode`.
// Only a failure to flush the folder, the last step, comes after the new content is in place:
// it is reported all the same, since the change may not survive a crash.
SafeWriteResult WriteFileSafely(const std::string& path, std::string_view bytes, unsigned newFileMode = 0644);
// The same with the content given in pieces written back to back (a header and a body), so
// large content need not be copied into one block first.
SafeWriteResult WriteFileSafely(const std::string& path, std::initializer_list<std::string_view> parts,
                                unsigned newFileMode = 0644);

// The same with the temporary file in `stagingFolder` (see StagedFile::StageIn).
SafeWriteResult WriteFileSafelyVia(const std::string& stagingFolder, const std::string& path,
                                   std::initializer_list<std::string_view> parts, unsigned newFileMode = 0644);

// What every temporary name ends with: the target's name, this marker and six random characters.
inline constexpr const char* kStagingMarker = ".tmp-";
// Whether a file name is such a temporary name (left behind only by a crash).
bool IsStagingName(std::string_view name);

// A new content written and flushed under a temporary name beside its target, put in place
// only by Publish (a rename, then the folder flushed). Dropped unpublished, the temporary file
// is removed: a caller that must do more before the content may count (a database commit)
// stages first and publishes last, and a failure in between leaves nothing behind.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes and flushes the temporary file (the checks and modes of WriteFileSafely).
    SafeWriteResult Stage(const std::string& path, std::initializer_list<std::string_view> parts,
                          unsigned newFileMode = 0644);
    // The same with the temporary file in `stagingFolder`, a folder on the target's file system
    // where all temporary files of a store lie, so that what a crash leaves is found there
    // without looking through the stored files. `path` may be empty when the target's name is
    // not known yet (a new file named by its catalogue id): SetTarget names it before Publish.
    SafeWriteResult StageIn(const std::string& stagingFolder, const std::string& path,
                            std::initializer_list<std::string_view> parts, unsigned newFileMode = 0644);
    void SetTarget(const std::string& path) { m_path = path; }
    // Renames it over the target; after a failed rename the temporary file is gone.
    SafeWriteResult Publish();
    // Publishing in two steps, for a new file that nobody may see before its commit and whose
    // placing should not wait for it: Place gives the content its target name as a second link
    // (never over an existing file: EEXIST fails) and flushes the target's folder, keeping the
    // temporary name; Settle, after the commit, drops the temporary name. Until Settle, Discard
    // removes both names. What a crash leaves between the two is a temporary file with two
    // links (see PlacedTargetName): the commit decides whether its target stays.
    SafeWriteResult Place();
    void Settle();
    // Removes the temporary file if it is still there, and a placed target not yet settled.
    void Discard();

    bool IsStaged() const { return !m_temp.empty(); }
    bool IsPlaced() const { return m_placed; }
    const std::string& Target() const { return m_path; }

private:
    SafeWriteResult StageAt(const std::string& tempFolder, const std::string& path,
                            std::initializer_list<std::string_view> parts, unsigned newFileMode);

    std::string m_path;
    std::string m_temp;
    bool m_placed = false; // m_path is a second link to m_temp, made by Place
};

// The target's file name within a temporary name ("12.jpg" of "12.jpg.tmp-a1B2c3"); empty for a
// name that is not a temporary one.
std::string StagedTargetName(std::string_view temporaryName);

} // namespace kx
