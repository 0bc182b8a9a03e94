// CkxFile: the catalogue's description of one stored media file (identity, family, kind, name,
// size, dimensions, folder, people and dates, deleted and checked-out state, rights, extended
// attribute values, thumbnail and whole content), its 536-byte record, the 72-byte delete record
// and the multi-section body a file travels in. The kind classes (CkxFileImage ...) build on it.
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxBuf.h"
#include "model/CkxContainer.h"
#include "model/CkxData.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxMemFile.h"
#include "model/CkxPower.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// File kinds of a file record (not the entity data kinds of CkxData).
enum KxFileKind : int32_t {
    KXFK_FILE = 0,
    KXFK_IMAGE = 1,
    KXFK_TEXT = 2,
    KXFK_AUDIO = 3,
    KXFK_VIDEO = 4,
    KXFK_BINARY = 5,
    KXFK_FIPHOTO = 6
};

// Which structure carries the file in a program.
enum KxProgStct : int32_t {
    KXPS_File = 0x0, KXPS_FileObj = 0x1, KXPS_FileEx = 0x10, KXPS_FileExObj = 0x11,
    KXPS_FileImage = 0x20, KXPS_FileImageObj = 0x21, KXPS_FileImageEx = 0x30, KXPS_FileImageExObj = 0x31,
    KXPS_FileText = 0x40, KXPS_FileTextObj = 0x41, KXPS_FileTextEx = 0x50, KXPS_FileTextExObj = 0x51,
    KXPS_FileAudio = 0x60, KXPS_FileAudioObj = 0x61, KXPS_FileAudioEx = 0x70, KXPS_FileAudioExObj = 0x71,
    KXPS_FileVideo = 0x80, KXPS_FileVideoObj = 0x81, KXPS_FileVideoEx = 0x90, KXPS_FileVideoExObj = 0x91,
    KXPS_FileBinary = 0x100, KXPS_FileBinaryObj = 0x101, KXPS_FileBinaryEx = 0x110, KXPS_FileBinaryExObj = 0x111,
    KXPS_FIPhoto = 0x120, KXPS_FIPhotoObj = 0x121
};

// Steps of fetching a file's whole content.
enum KxWholeState : uint8_t { KXW_INVALID = 0, KXW_REQUEST = 1, KXW_GETTING = 2, KXW_VALID = 3 };

namespace kx {
// The text with ASCII letters lower-cased (suffix comparisons).
KX_EXPORT std::string AsciiLower(std::string s);
} // namespace kx

// Carries no data; a base for per-program file controllers.
class KX_EXPORT CkxFileCtrl {
public:
    virtual ~CkxFileCtrl() = default;
};

class KX_EXPORT CkxFile : public CkxData {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        int32_t nFamilyID;
        int32_t nFileType;
        int32_t nEncFormat;
        int32_t nProgStct;
        int32_t nVersion;
        int32_t nEntitySlot; // never written or read
        char szTitle[45];
        char szExName[11];
        int32_t nWidth;
        int32_t nHeight;
        int32_t nSize;
        int32_t nStorageID;
        int32_t nLocDirID;
        char szSourcePath[260];
        int32_t nWriterID;
        int32_t nEditorID;
        int32_t nAuthorID;
        double dtWrite;
        double dtEdit;
        double dtAuth;
        int32_t nDeleted;
        int32_t nDeleterID;
        double dtDelete;
        int32_t nCheckouted;
        int32_t nCheckoutUserID;
        double dtCheckout;
        char szAuthAddr[50];
        char szRemark[50];
        int32_t nPad;
    };
    struct _COM_DelFile {
        uint32_t nID;
        int32_t nStorageID;
        int32_t nDirID;  // folder to restore into
        int32_t nPurge;  // non-zero: delete for good
        char szTitle[45];
        char szExName[11];
    };
    // Head of a stored copy; the content follows it unchanged.
    struct _ENCRYPT_HEAD {
        int32_t nMagic; // 43225; readers do not check it
        int32_t nFileType;
        int32_t nEncFormat;
        int32_t nProgStct;
        int32_t nVersion;
        char szTitle[256];
        char szExName[12];
    };
#pragma pack(pop)

    // Size of the stored-copy header in front of the content.
    static constexpr int kEncryptHeadSize = 288;
    static constexpr int32_t kEncryptMagic = 43225;

    CkxFile() = default;
    CkxFile(const CkxFile& o) : CkxData(o) { *this = o; }
    explicit CkxFile(const _COM& com) { SetComData(com); }
    CkxFile& operator=(const CkxFile& o);
    CkxFile& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    ~CkxFile() override = default;

    // A heap copy of the same class (a photo stays a photo with its capture fields).
    virtual CkxFile* Clone() const { return new CkxFile(*this); }

    // Resets identity, names, size, places and people and frees thumbnail and content; kind,
    // dates, checkout fields, rights and extended values stay.
    void Destroy();

    // ---- records ----
    _COM GetComData() const;
    void SetComData(const _COM& com);
    _COM_DelFile GetComData_DelFile() const;

    // Size of the base record of this class (536; the photo's 912).
    virtual int GetBaseRecordSize() const { return sizeof(_COM); }
    // Fills buf with the base record; returns its length or 0.
    virtual int BuildBaseAttr(CkxBuf& buf) const;
    // Reads a base record; 1, or 0 (nothing changes) for null bytes or fewer bytes than the
    // record.
    virtual int PasyBaseAttr(const void* bytes, int len);

    virtual int GetSectData(int sect, CkxBuf& buf) const;
    virtual int GetSectCount() const { return 1; }
    virtual int SetSectData(int, const void*, int) { return 0; }
    virtual int SetSectData(int, const CkxBuf&) { return 0; }

    // Extended values: count x 296 bytes in list order.
    int BuildExattr(CkxBuf& buf) const;
    // A 0-byte block keeps the values held; otherwise the list is replaced by one value per
    // whole record (a ragged tail is dropped). Returns the count read.
    int PasyExattr(const CkxBuf& buf) { return PasyExattr(buf.GetBuf(), buf.GetLen()); }
    int PasyExattr(const void* bytes, int len);
    int BuildPower(CkxBuf& buf) const { return m_Power.BuildBuf(buf); }
    int PasyPower(const void* bytes, int len) {
        return m_Power.PasyBuf(static_cast<const unsigned char*>(bytes), len);
    }
    CkxPowerEx GetPower() const;
    void SetPower(const CkxPowerEx& p);
    int SetExAttrValue(const CkxAttrValue& v) { return m_ExAttrValueList.Set(v); }
    void SetExAttrValue(const CkxAttrValueList& list) { m_ExAttrValueList = list; }

    // ---- bodies (sections: base record, extended values, rights, thumbnail, content) ----
    int BuildFileInfo(CkxContainer& c) const;
    int BuildFileData(CkxContainer& c) const;
    int BuildFileAttr(CkxContainer& c) const;
    int BuildFileInfo(CkxBuf& buf) const;
    int BuildFileData(CkxBuf& buf) const;
    int BuildFileAttr(CkxBuf& buf) const;
    // Readers check every section they need for presence and size before anything is read:
    // a body with too few sections, a base record shorter than this class's record or a
    // rights section shorter than its 8-byte head is refused whole (0, the object unchanged).
    // 1 when read.
    int PasyFileInfo(const CkxContainer& c);
    int PasyFileData(const CkxContainer& c);
    int PasyFileAttr(const CkxContainer& c);
    int PasyFileInfo(const CkxBuf& buf);
    int PasyFileData(const CkxBuf& buf);
    int PasyFileAttr(const CkxBuf& buf);
    // The same from section views (CkxContainer::SectionViews): the content is copied once,
    // into the object.
    int PasyFileData(std::span<const std::string_view> sections);
    // A new empty object of the class that section 0's file kind selects; the caller fills and
    // owns it. Null when section 0 is missing or shorter than a base record.
    static CkxFile* _CreateFile(const CkxContainer& c);
    // The same for a bare base record.
    static CkxFile* _CreateFile(const void* record, int len);

    // ---- generic attribute access ----
    virtual CkxAttrValue GetAttrValue(int id) const;
    // Fills v; 1 when its attribute id is 0 or more.
    int GetAttrValue(int id, CkxAttrValue& v) const;
    virtual void SetAttrValue(const CkxAttrValue& v);
    virtual void SetAttrValue(const CkxAttrValueList& list);
    virtual std::string GetAttrText(int id) const;
    static int _GetBaseAttrList(CkxAttrList& list) { return kx::AppendFileBaseAttrs(list); }
    static int _GetCanEditBaseAttrList(CkxAttrList& list);

    static bool IsID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_ID; }
    static bool IsFamilyID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_FAMILYID; }
    static bool IsEncFormat(const CkxAttrValue& v) { return v.GetAttrID() == KXB_ENCFORMAT; }
    static bool IsFileTitle(const CkxAttrValue& v) { return v.GetAttrID() == KXB_FILETITLE; }
    static bool IsFileExName(const CkxAttrValue& v) { return v.GetAttrID() == KXB_FILEEXNAME; }
    static bool IsWidth(const CkxAttrValue& v) { return v.GetAttrID() == KXB_WIDTH; }
    static bool IsHeight(const CkxAttrValue& v) { return v.GetAttrID() == KXB_HEIGHT; }
    static bool IsFileSize(const CkxAttrValue& v) { return v.GetAttrID() == KXB_FILESIZE; }
    static bool IsLocDirID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_LOCDIRID; }
    static bool IsAuthorID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_AUTHORID; }
    static bool IsWriterID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_WRITERID; }
    static bool IsEditorID(const CkxAttrValue& v) { return v.GetAttrID() == KXB_EDITORID; }
    static bool IsAuthTime(const CkxAttrValue& v) { return v.GetAttrID() == KXB_AUTHTIME; }
    static bool IsWriteTime(const CkxAttrValue& v) { return v.GetAttrID() == KXB_WRITETIME; }
    static bool IsEditTime(const CkxAttrValue& v) { return v.GetAttrID() == KXB_EDITTIME; }
    static bool IsAuthAddr(const CkxAttrValue& v) { return v.GetAttrID() == KXB_AUTHADDR; }
    static bool IsRemark(const CkxAttrValue& v) { return v.GetAttrID() == KXB_REMARK; }

    // ---- text forms ----
    std::string FormatID() const;
    std::string FormatFileSize() const { return FormatSize(); }
    std::string FormatSize() const;
    std::string FormatWidth() const { return std::to_string(m_nWidth); }
    std::string FormatHeight() const { return std::to_string(m_nHeight); }
    std::string FormatName() const { return GetFileName(); }
    std::string FormatExName() const { return m_strExName; }
    std::string FormatSourcePath() const { return m_strSourcePath; }
    std::string FormatAuthAddr() const { return m_strAuthAddr; }
    std::string FormatRemark() const { return m_strRemark; }
    std::string FormatWriter() const;
    std::string FormatEditor() const;
    std::string FormatAuthor() const;
    std::string FormatFamily() const;
    std::string FormatLocDir() const;
    std::string FormatEncFormat() const;
    std::string FormatSourceDir() const;
    std::string FormatCreateTime() const { return kx::DateText(m_dtWrite); }
    std::string FormatWriteTime() const { return kx::DateText(m_dtWrite); }
    std::string FormatEditTime() const { return kx::DateText(m_dtEdit); }
    std::string FormatAuthTime() const { return kx::DateText(m_dtAuth); }
    std::string FormatDeleteTime() const { return kx::DateText(m_dtDelete); }
    std::string FormatCheckoutTime() const { return kx::DateText(m_dtCheckout); }

    // ---- names ----
    const std::string& GetTitle() const { return m_strTitle; }
    // The extension lower-cased.
    std::string GetExName() const;
    std::string GetFileName() const { return m_strTitle + "." + m_strExName; }
    // "%u" of the id + "." + the extension cleaned for a file name: the content's stored name.
    std::string GetIDName() const;
    std::string GetMicroIDName() const { return FormatID(); }
    // Title and extension from a path: the extension follows the last "." of the last path
    // component; the title collects the characters before it, skipping every ".".
    void SetFileName(const std::string& path);
    const std::string& GetSourcePath() const { return m_strSourcePath; }

    // A title or extension made safe to be one part of a file name: separators, control
    // characters and (for an extension) dots removed, runs of dots in a title cut to one and
    // dots at its ends dropped.
    static std::string CleanTitle(const std::string& title);
    static std::string CleanExName(const std::string& ex);
    // Whether a name may be put in a path as it is: not empty and not ".", one component (no
    // separator), no "..", no control character. Names built from cleaned parts pass.
    static bool IsCleanName(const std::string& name);

    // ---- state tests and setters ----
    bool IsLocalFile() const { return m_nID < -1; }
    bool IsSetFamily() const { return m_nFamilyID != -1; }
    void DontSetFamily() { m_nFamilyID = -1; }
    void SetFile() { m_nFileType = KXFK_FILE; }
    void SetImage() { m_nFileType = KXFK_IMAGE; }
    void SetText() { m_nFileType = KXFK_TEXT; }
    void SetAudio() { m_nFileType = KXFK_AUDIO; }
    void SetVideo() { m_nFileType = KXFK_VIDEO; }
    void SetBinary() { m_nFileType = KXFK_BINARY; }
    void SetFIPhoto() { m_nFileType = KXFK_FIPHOTO; }
    bool IsFile() const { return m_nFileType == KXFK_FILE; }
    bool IsImage() const { return m_nFileType == KXFK_IMAGE; }
    bool IsText() const { return m_nFileType == KXFK_TEXT; }
    bool IsAudio() const { return m_nFileType == KXFK_AUDIO; }
    bool IsVideo() const { return m_nFileType == KXFK_VIDEO; }
    bool IsBinary() const { return m_nFileType == KXFK_BINARY; }
    bool IsFIPhoto() const { return m_nFileType == KXFK_FIPHOTO; }
    int GetFileType() const { return m_nFileType; }
    void SetEntity() { m_nEntity = 1; }
    void SetMap() { m_nEntity = 0; }
    bool IsMap() const { return m_nEntity == 0; }
    bool IsDeleted() const { return m_nDeleted != 0; }
    void SetDeleted() { m_nDeleted = 1; }
    void SetDeleted(int d) { m_nDeleted = d; }
    bool IsCheckouted() const { return m_nCheckouted != 0; }
    void SetCheckouted() { m_nCheckouted = 1; }
    void SetCheckouted(int c) { m_nCheckouted = c; }
    // The codec's format number of the encoding format (0 when unknown).
    int GetFormat_xImageID() const;
    // The image tool's format id of an extension (0 when unknown): what the encoding format holds.
    static int GetFormatID(const std::string& ex);

#define KX_PROGSTCT(name)                                                                          \
    bool Is_ProgStct_##name() const { return m_nProgStct == KXPS_##name; }                         \
    void Set_ProgStct_##name() { m_nProgStct = KXPS_##name; }
    bool Is_ProgStct_File() const { return m_nProgStct == KXPS_File; }
    KX_PROGSTCT(FileObj) KX_PROGSTCT(FileEx) KX_PROGSTCT(FileExObj)
    KX_PROGSTCT(FileImage) KX_PROGSTCT(FileImageObj) KX_PROGSTCT(FileImageEx) KX_PROGSTCT(FileImageExObj)
    KX_PROGSTCT(FileText) KX_PROGSTCT(FileTextObj) KX_PROGSTCT(FileTextEx) KX_PROGSTCT(FileTextExObj)
    KX_PROGSTCT(FileAudio) KX_PROGSTCT(FileAudioObj) KX_PROGSTCT(FileAudioEx) KX_PROGSTCT(FileAudioExObj)
    KX_PROGSTCT(FileVideo) KX_PROGSTCT(FileVideoObj) KX_PROGSTCT(FileVideoEx) KX_PROGSTCT(FileVideoExObj)
    KX_PROGSTCT(FileBinary) KX_PROGSTCT(FileBinaryObj) KX_PROGSTCT(FileBinaryEx) KX_PROGSTCT(FileBinaryExObj)
    KX_PROGSTCT(FIPhoto) KX_PROGSTCT(FIPhotoObj)
#undef KX_PROGSTCT

    void Set_WholeState_Invalid() { m_nWholeState = KXW_INVALID; }
    void Set_WholeState_Request() { m_nWholeState = KXW_REQUEST; }
    void Set_WholeState_Getting() { m_nWholeState = KXW_GETTING; }
    void Set_WholeState_Valid() { m_nWholeState = KXW_VALID; }
    bool Is_WholeState_Invalid() const { return m_nWholeState == KXW_INVALID; }
    bool Is_WholeState_Request() const { return m_nWholeState == KXW_REQUEST; }
    bool Is_WholeState_Getting() const { return m_nWholeState == KXW_GETTING; }
    bool Is_WholeState_Valid() const { return m_nWholeState == KXW_VALID; }

    // ---- thumbnail and content blocks ----
    void UpdateMicro(const CkxBuf& buf);
    void UpdateMicro(const void* bytes, int len);
    void UpdateWhole(const CkxBuf& buf);
    void UpdateWhole(const void* bytes, int len);
    void DestroyMicro() { m_MemMicro.Destroy(); }
    void DestroyWhole() { m_MemWhole.Destroy(); }
    void DestroyFile() {
        DestroyMicro();
        DestroyWhole();
    }
    int IsMemMicroValid() const { return m_MemMicro.IsValid(); }
    unsigned char* GetMemMicroBuf() const { return m_MemMicro.GetMemPt(); }
    int GetMemMicroSize() const { return m_MemMicro.GetMemLen(); }
    int IsMemWholeValid() const { return m_MemWhole.IsValid(); }
    unsigned char* GetMemWholeBuf() const { return m_MemWhole.GetMemPt(); }
    int GetMemWholeSize() const { return m_MemWhole.GetMemLen(); }

    // ---- disk ----
    // Writes the content block to path (through a temporary file and a rename); 1 or 0.
    virtual int SaveFile(const std::string& path) const;
    // Writes the content to dir + "/" + the cleaned file name, never replacing a file there: a
    // taken name gets " (2)", " (3)", ... before its extension. 0 when the cleaned title is empty,
    // there is no content, or nothing could be written.
    virtual int SaveToDir(const std::string& dir) const;
    int SaveMemMicro(const std::string& path) const { return m_MemMicro.WriteFile(path); }
    int SaveMemMicro(const std::string& path, int offset) const { return m_MemMicro.WriteFile(path, offset); }
    int SaveMemWhole(const std::string& path) const { return m_MemWhole.WriteFile(path); }
    // Read a block from a file (skipping offset bytes); 1 when any byte was read. A file of
    // 2 GiB or more is refused (0).
    int LoadMemMicro(const std::string& path) { return LoadMemMicro(path, 0); }
    int LoadMemMicro(const std::string& path, int offset) { return m_MemMicro.ReadFile(path, offset) > 0; }
    int LoadMemWhole(const std::string& path) { return m_MemWhole.ReadFile(path) > 0; }

    // Stored copies: the 288-byte header (magic, kind, format, structure, version, title,
    // extension) then the content, written through a temporary file and a rename.
    virtual int SaveEncryptFile(const std::string& path) const;
    static int SaveEncryptFile(const std::string& path, const CkxFile& file, const void* bytes, int len);
    // The header of this object (zeroed, then filled).
    _ENCRYPT_HEAD GetEncryptHead() const;
    // Reads the header of a stored copy; false when the file cannot be opened or is shorter
    // than the header.
    static bool ReadEncryptHead(const std::string& path, _ENCRYPT_HEAD& head);
    // The content behind the header; 0 when the file cannot be opened, is shorter than the
    // header or holds 2 GiB or more. A file of exactly 288 bytes gives 1 and an empty buffer.
    static int LoadEncryptFile(const std::string& path, CkxBuf& buf);
    // The content behind the header into the content block; 1 when any byte was read.
    int LoadEncryptFileMemWhole(const std::string& path) {
        return m_MemWhole.ReadFile(path, kEncryptHeadSize) > 0;
    }

    virtual int LoadFileInfo(const std::string&) { return 0; }
    virtual int LoadEncryptFileInfo(const std::string&) { return 0; }
    virtual int LoadFileData(const std::string&) { return 0; }
    virtual int LoadEncryptFileData(const std::string&) { return 0; }

    // The image suffixes, in their fixed order (27 entries, "jp2" and "j2k" twice).
    static int GetImgSufixArray(std::vector<std::string>& out);
    // 1 when the lower-cased suffix is one of them.
    static int CheckFileType(const std::string& suffix);

    int GetID() const { return m_nID; }
    int GetFamilyID() const { return m_nFamilyID; }
    int GetLocDirID() const { return m_nLocDirID; }
    int GetFileSize() const { return m_nSize; }

    int32_t m_nID = -1;
    int32_t m_nFamilyID = -1;
    int32_t m_nFileType = KXFK_FILE;
    int32_t m_nEncFormat = 0;
    int32_t m_nProgStct = 0;
    int32_t m_nVersion = 0;
    int32_t m_nEntity = 1;
    std::string m_strTitle;
    std::string m_strExName;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nSize = 0;
    int32_t m_nStorageID = -1;
    int32_t m_nLocDirID = -1;
    std::string m_strSourcePath;
    int32_t m_nAuthorID = -1;
    int32_t m_nWriterID = -1;
    int32_t m_nEditorID = -1;
    COleDateTime m_dtAuth;
    COleDateTime m_dtWrite;
    COleDateTime m_dtEdit;
    int32_t m_nDeleted = 0;
    int32_t m_nDeleterID = -1;
    COleDateTime m_dtDelete;
    int32_t m_nCheckouted = 0;
    int32_t m_nCheckoutUserID = -1;
    COleDateTime m_dtCheckout;
    std::string m_strAuthAddr;
    std::string m_strRemark;
    CkxPower m_Power;
    CkxAttrValueList m_ExAttrValueList;
    int32_t m_nSpare = 0;
    uint8_t m_nWholeState = KXW_INVALID;
    CkxMemFile m_MemMicro;
    CkxMemFile m_MemWhole;

protected:
    // The record's bytes into buf; its size, or 0.
    template <class Rec>
    static int PutRecord(const Rec& r, CkxBuf& buf) {
        return buf.Fill(&r, sizeof r) ? static_cast<int>(sizeof r) : 0;
    }
    // Reads a whole record from bytes into self; 1, or 0 (self unchanged) for a short block.
    template <class Rec, class Self>
    static int TakeRecord(Self& self, const void* bytes, int len) {
        Rec r;
        if (len < 0 || !kx::ReadRecord(bytes, static_cast<size_t>(len), r)) return 0;
        self.SetComData(r);
        return 1;
    }
    // Appends copies of the definitions of all whose edit way is not 0; returns how many.
    static int KeepCanEdit(const CkxAttrList& all, CkxAttrList& list);
    // Checks the body's sections [0, n) for presence and size; true when they may be read.
    bool CheckBody(std::span<const std::string_view> sections, int n) const;
    // Reads the checked sections [0, n) (n is 2, 4 or 5).
    void ReadBody(std::span<const std::string_view> sections, int n);
    // Checks, then reads: 1 when read.
    int PasyBody(std::span<const std::string_view> sections, int n);
    int PasyBody(const CkxContainer& c, int n);
};

KX_RECORD_SIZE(CkxFile::_COM, 536);
KX_FIELD_AT(CkxFile::_COM, nID, 0);
KX_FIELD_AT(CkxFile::_COM, nFamilyID, 4);
KX_FIELD_AT(CkxFile::_COM, nFileType, 8);
KX_FIELD_AT(CkxFile::_COM, nEncFormat, 12);
KX_FIELD_AT(CkxFile::_COM, nProgStct, 16);
KX_FIELD_AT(CkxFile::_COM, nVersion, 20);
KX_FIELD_AT(CkxFile::_COM, nEntitySlot, 24);
KX_FIELD_AT(CkxFile::_COM, szTitle, 28);
KX_FIELD_AT(CkxFile::_COM, szExName, 73);
KX_FIELD_AT(CkxFile::_COM, nWidth, 84);
KX_FIELD_AT(CkxFile::_COM, nHeight, 88);
KX_FIELD_AT(CkxFile::_COM, nSize, 92);
KX_FIELD_AT(CkxFile::_COM, nStorageID, 96);
KX_FIELD_AT(CkxFile::_COM, nLocDirID, 100);
KX_FIELD_AT(CkxFile::_COM, szSourcePath, 104);
KX_FIELD_AT(CkxFile::_COM, nWriterID, 364);
KX_FIELD_AT(CkxFile::_COM, nEditorID, 368);
KX_FIELD_AT(CkxFile::_COM, nAuthorID, 372);
KX_FIELD_AT(CkxFile::_COM, dtWrite, 376);
KX_FIELD_AT(CkxFile::_COM, dtEdit, 384);
KX_FIELD_AT(CkxFile::_COM, dtAuth, 392);
KX_FIELD_AT(CkxFile::_COM, nDeleted, 400);
KX_FIELD_AT(CkxFile::_COM, nDeleterID, 404);
KX_FIELD_AT(CkxFile::_COM, dtDelete, 408);
KX_FIELD_AT(CkxFile::_COM, nCheckouted, 416);
KX_FIELD_AT(CkxFile::_COM, nCheckoutUserID, 420);
KX_FIELD_AT(CkxFile::_COM, dtCheckout, 424);
KX_FIELD_AT(CkxFile::_COM, szAuthAddr, 432);
KX_FIELD_AT(CkxFile::_COM, szRemark, 482);
KX_FIELD_AT(CkxFile::_COM, nPad, 532);

KX_RECORD_SIZE(CkxFile::_COM_DelFile, 72);
KX_FIELD_AT(CkxFile::_COM_DelFile, nID, 0);
KX_FIELD_AT(CkxFile::_COM_DelFile, nStorageID, 4);
KX_FIELD_AT(CkxFile::_COM_DelFile, nDirID, 8);
KX_FIELD_AT(CkxFile::_COM_DelFile, nPurge, 12);
KX_FIELD_AT(CkxFile::_COM_DelFile, szTitle, 16);
KX_FIELD_AT(CkxFile::_COM_DelFile, szExName, 61);

KX_RECORD_SIZE(CkxFile::_ENCRYPT_HEAD, 288);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, nFileType, 4);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, nEncFormat, 8);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, nProgStct, 12);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, nVersion, 16);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, szTitle, 20);
KX_FIELD_AT(CkxFile::_ENCRYPT_HEAD, szExName, 276);
