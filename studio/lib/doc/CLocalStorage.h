// CLocalStorage: the studio's folders on the workstation's own disk: checkout copies, captured
// images waiting for upload, and a scratch folder that holds, per open document, the whole-file
// content the server sent for that document's files (each as a stored file container: the
// core's header, then the file's bytes). One per process (TheLocalStorage), set up by Init at
// start-up; it has no lock and no thread of its own.
#pragma once

#include "base/OleDate.h"
#include "model/CkxBuf.h"
#include "model/CkxFile.h"
#include "model/CkxProfile.h"

#include <mutex>
#include <string>

class CxImage;

class CLocalStorage {
public:
    CLocalStorage();
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
    // Folder + "/" + name.
    std::string CheckoutPath(const std::string& name) const;
    std::string SourcePath(const std::string& name) const;
    std::string EditedPath(const std::string& name) const;
    std::string CapturePath(const std::string& name) const;

    bool CreateTempDir();
    bool DeleteTempDir();
    bool CreateDocRootDir();
    bool DeleteDocRootDir();

    // ---- Document folders ----
    bool CreateDocDir(int docId);
    bool DeleteDocDir(int docId);
    std::string DocDirOf(int docId) const;
    std::string DocFilePath(int docId, const std::string& name) const;
    // Writes <document folder>/<file id>.<extension> as a stored file container of the bytes.
    bool SaveEncryptedCopy(int docId, const CkxFile& file, const void* bytes, int len);
    bool SaveEncryptedCopyBuf(int docId, const CkxFile& file, const CkxBuf& bytes);
    // The file writes its own container (its content block) into the document's folder.
    bool SaveDocFileCopy(int docId, const CkxFile* file);
    // The file's content block from its container in the document's folder (by the file's own
    // storage name, or by the given name); true when any byte was read.
    bool LoadEncryptedWhole(int docId, CkxFile* file) const;
    bool LoadEncryptedWholeByName(int docId, const std::string& name, CkxFile* file) const;
    // Decodes the document's copy of that name into the image.
    bool LoadEncryptedImage(int docId, const std::string& name, CxImage& image) const;
    // The bytes after the container's header of the document's copy of that name.
    bool LoadEncryptedCopy(int docId, const std::string& name, CkxBuf& out) const;
    void DeleteDocFile(int docId, const std::string& name);
    // Decodes an image file, its format told by its content.
    static bool LoadImageFile(const std::string& path, CxImage& image);

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
    // The same with the file's content block; the path becomes the file's source path. "" (and
    // no file left) when the object is null or its content cannot be written.
    std::string SaveToNewCaptureFile(CkxFile* file);
    int ReadCaptureCount() const;
    void WriteCaptureCount(int count);
    bool IsCaptureFileValid(const std::string& name) const;
    bool LoadCaptureFileInfo(const std::string& name, CkxFile* file) const;
    bool LoadCaptureFileData(const std::string& path, CkxFile* file) const;
    // Creation and last-write moments; the zero date when the file is missing.
    COleDateTime GetCaptureFileCreateTime(const std::string& name) const;
    COleDateTime GetCaptureFileModifyTime(const std::string& name) const;
    // With the desktop's program, its chooser, the program with the chooser as fall-back, or the
    // image editor.
    void OpenCaptureFileDef(const std::string& name) const;
    void OpenCaptureFileWay(const std::string& name) const;
    void OpenCaptureFileMay(const std::string& name) const;
    void OpenCaptureFileInEditor(const std::string& name) const;
    static void RemoveLocalFile(const std::string& path);
    // Deletes every file of the capture folder's tree (folders stay; links are not followed).
    bool ClearCaptureDir();

    // ---- Checkout copies ----
    static constexpr const char* kCheckoutKey = "Software\\Ferrow\\CheckoutFile";
    std::string CheckoutPathOf(int fileId, const std::string& ext) const;
    // Writes the file's content block as <file id>.<extension> in the checkout folder and notes
    // the checkout moment ("CT_", never earlier than the copy's own last write, so writing it is
    // no edit). A copy already there that holds edits is first kept as <file id>~<n>.<extension>
    // (n the first free number), named in `kept`. "" when the object is null, holds no content
    // or cannot be written.
    std::string SaveCheckoutCopy(const CkxFile* file, const COleDateTime& moment, std::string* kept = nullptr);
    bool LoadCheckoutFileInfo(const std::string& name, CkxFile* file) const;
    bool LoadCheckoutFileData(const std::string& name, CkxFile* file) const;
    bool IsCheckoutCopyValid(const std::string& name) const;
    // The copy was last written more than 5 seconds after its checkout moment.
    bool IsCheckoutCopyModified(const std::string& name) const;
    // The copy's last write when that is more than 5 seconds after the checkout moment, else the
    // checkout moment.
    COleDateTime GetEffectiveModifyTime(const std::string& name) const;
    // The same rule on given moments: the last write when it is more than 5 seconds after the
    // checkout moment, else the checkout moment (for callers that read the copy themselves).
    static COleDateTime EffectiveModifyTime(const COleDateTime& checkout, const COleDateTime& written);
    // The "CT_" and "MT_" moments of a copy; the zero date when unset or unreadable.
    void SetCheckoutTime(const std::string& name, const COleDateTime& moment);
    COleDateTime GetCheckoutTime(const std::string& name) const;
    void SetModifyTime(const std::string& name, const COleDateTime& moment);
    COleDateTime GetModifyTime(const std::string& name) const;
    void OpenCheckoutCopyDef(const std::string& name) const;
    void OpenCheckoutCopyWay(const std::string& name) const;
    void OpenCheckoutCopyMay(const std::string& name) const;
    void OpenCheckoutCopyInEditor(const std::string& name) const;
    void RemoveCheckoutFile(const std::string& name);
    // Deletes every checkout copy of the file (<file id>.<any extension>).
    void RemoveCheckoutCopy(int fileId);
    bool ClearCheckoutDir();

    // Moments as the values hold them: "Y-M-D h:m:s" unpadded; read padded or not, local time.
    static std::string FormatMoment(const COleDateTime& moment);
    static COleDateTime ParseMoment(const std::string& text);

private:
    // Moves a finished temporary file onto the next free capture name; the path or "".
    std::string MoveOntoNewCaptureName(const std::string& temp);
    // A fresh temporary file name in the scratch folder ("" when there is none).
    std::string NewTempPath(const char* stem);
    static bool ClearTree(const std::string& dir);

    CkxProfile m_CaptureProfile;
    CkxProfile m_CheckoutProfile;
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
