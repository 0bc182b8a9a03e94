// CLocalStorage: the studio's folders on the workstation's own disk: checkout copies, captured
// images waiting for upload, and a scratch folder that holds, per open document, the whole-file
// content the server sent for that document's files (each as a stored file container: the
// core's header, then the file's bytes). One per process (TheLocalStorage), set up by Init at
// start-up; it has no lock and no thread of its own.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxFile.h"

#include <mutex>
#include <string>

class CLocalStorage {
public:
    CLocalStorage() = default;
    CLocalStorage(const CLocalStorage&) = delete;
    CLocalStorage& operator=(const CLocalStorage&) = delete;

    // Builds the folder paths under the program folder and creates the program, checkout,
    // capture, scratch and document folders, the scratch folder emptied first. The first studio
    // of a user holds a lock file in Local_Storage for its life; a second one that cannot take it
    // neither wipes nor uses that scratch folder but works in Temp.<process id>, removed at its
    // exit. 1, or 0 (with a line on the error output) when a folder cannot be made.
    int Init(const std::string& programFolder);
    // Deletes the scratch folder with everything below it.
    void ClearTempDir();
    // Whether this studio shares Local_Storage with another one (and so has a scratch folder
    // of its own).
    bool IsSecondStudio() const { return m_bShared; }
    ~CLocalStorage();

    const std::string& GetProgramDir() const { return m_strProgramDir; }
    const std::string& GetCheckoutDir() const { return m_strCheckoutDir; }
    const std::string& GetSourceDir() const { return m_strSourceDir; }
    const std::string& GetEditedDir() const { return m_strEditedDir; }
    const std::string& GetCaptureDir() const { return m_strCaptureDir; }
    const std::string& GetTempDir() const { return m_strTempDir; }
    const std::string& GetDocDir() const { return m_strDocDir; }

    // ---- Document folders ----
    bool CreateDocDir(int docId);
    bool DeleteDocDir(int docId);
    std::string DocDirOf(int docId) const;
    std::string DocFilePath(int docId, const std::string& name) const;
    // Writes <document folder>/<file id>.<extension> as a stored file container of the bytes.
    bool SaveEncryptedCopy(int docId, const CkxFile& file, const void* bytes, int len);
    // The bytes after the container's header of the document's copy of that name.
    bool LoadEncryptedCopy(int docId, const std::string& name, CkxBuf& out) const;
    void DeleteDocFile(int docId, const std::string& name);

    // ---- Captured images ----
    static constexpr const char* kCaptureKey = "Software\\Ferrow\\CaptureFile";
    static constexpr const char* kCaptureCount = "CaptureCount";
    // The next free name "cap<N>.jpg" in the capture folder: the counter goes up (and is stored)
    // for each name handed out, and a name whose file exists is skipped. Any thread may ask.
    std::string NextCaptureFileName();
    // Writes the bytes to a temporary file, then moves it onto the next free capture name without
    // replacing a file (a name another studio took meanwhile gives way to the next one), so the
    // capture window never reads a half-written file. The path, or "" when it could not be saved.
    std::string SaveToNewCaptureFile(const std::string& bytes);

    // ---- Checkout copies ----
    std::string CheckoutPathOf(int fileId, const std::string& ext) const;
    // Deletes every checkout copy of the file (<file id>.<any extension>).
    void RemoveCheckoutCopy(int fileId);

private:
    std::mutex m_captureMutex;
    int m_nLockFd = -1;
    bool m_bShared = false;
    std::string m_strProgramDir;
    std::string m_strCheckoutDir;
    std::string m_strSourceDir;
    std::string m_strEditedDir;
    std::string m_strCaptureDir;
    std::string m_strTempDir;
    std::string m_strDocDir;
};

// The process's local storage.
CLocalStorage& TheLocalStorage();
