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

    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }
    // "cannot rename over /x/y.ini: Permission denied"; empty when ok.
    std::string Message() const;
};

// Writes `bytes` as the whole new content of `path`. The folder must exist. A target that is a
// folder or a read-only file is refused (a rename would get round the permission that writing
// in place meets); a replaced file keeps its permission bits, a new file gets rw-r--r--.
// Only a failure to flush the folder, the last step, comes after the new content is in place:
// it is reported all the same, since the change may not survive a crash.
SafeWriteResult WriteFileSafely(const std::string& path, std::string_view bytes);
// The same with the content given in pieces written back to back (a header and a body), so
// large content need not be copied into one block first.
SafeWriteResult WriteFileSafely(const std::string& path,
                                std::initializer_list<std::string_view> parts);

} // namespace kx
