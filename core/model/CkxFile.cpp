#include "model/CkxFile.h"

#include "model/CkxFIPhoto.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileKinds.h"
#include "image/CkxImageTool.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "base/Gbk.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <new>

namespace {

const char* const kNoAttr = "不存在属性";

const CkxImageTool& FormatTable() {
    static const CkxImageTool tool;
    return tool;
}

// A file's format as its lists show it. Format 0 is no picture format (the table's row 0 is the
// pickers' "all formats" entry), so a plain file shows none.
std::string FormatNameOf(int format) { return format > 0 ? FormatTable().Get_Name_kxID(format) : std::string(); }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
bool IsControl(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

// Sections of a file body.
enum { SECT_BASE = 0, SECT_EXATTR = 1, SECT_POWER = 2, SECT_MICRO = 3, SECT_WHOLE = 4 };
constexpr int kPowerHead = 8; // inherit flag and default power

// The extended value of an attribute (its list is keyed by attribute id), or null.
const CkxAttrValue* FindExValue(const CkxAttrValueList& list, int attrID) {
    const CkxAttrValue* found = nullptr;
    list.ForEach([&](const CkxAttrValue& v) {
        if (!found && v.GetAttrID() == attrID) found = &v;
    });
    return found;
}

} // namespace

CkxFile& CkxFile::operator=(const CkxFile& o) {
    if (this == &o) return *this;
    CkxData::operator=(o);
    m_nID = o.m_nID;
    m_nFamilyID = o.m_nFamilyID;
    m_nFileType = o.m_nFileType;
    m_nEncFormat = o.m_nEncFormat;
    m_nProgStct = o.m_nProgStct;
    m_nVersion = o.m_nVersion;
    m_nEntity = o.m_nEntity;
    m_strTitle = o.m_strTitle;
    m_strExName = o.m_strExName;
    m_nWidth = o.m_nWidth;
    m_nHeight = o.m_nHeight;
    m_nSize = o.m_nSize;
    m_nStorageID = o.m_nStorageID;
    m_nLocDirID = o.m_nLocDirID;
    m_strSourcePath = o.m_strSourcePath;
    m_nAuthorID = o.m_nAuthorID;
    m_nWriterID = o.m_nWriterID;
    m_nEditorID = o.m_nEditorID;
    m_dtAuth = o.m_dtAuth;
    m_dtWrite = o.m_dtWrite;
    m_dtEdit = o.m_dtEdit;
    m_nDeleted = o.m_nDeleted;
    m_nDeleterID = o.m_nDeleterID;
    m_dtDelete = o.m_dtDelete;
    m_nCheckouted = o.m_nCheckouted;
    m_nCheckoutUserID = o.m_nCheckoutUserID;
    m_dtCheckout = o.m_dtCheckout;
    m_strAuthAddr = o.m_strAuthAddr;
    m_strRemark = o.m_strRemark;
    m_Power = o.m_Power;
    m_ExAttrValueList = o.m_ExAttrValueList;
    m_nSpare = o.m_nSpare;
    m_nWholeState = o.m_nWholeState;
    // An empty block in the source leaves the target's block empty.
    if (o.m_MemMicro.IsValid()) m_MemMicro.CopyMem(o.m_MemMicro.GetMemPt(), o.m_MemMicro.GetMemLen());
    else m_MemMicro.Destroy();
    if (o.m_MemWhole.IsValid()) m_MemWhole.CopyMem(o.m_MemWhole.GetMemPt(), o.m_MemWhole.GetMemLen());
    else m_MemWhole.Destroy();
    return *this;
}

void CkxFile::Destroy() {
    m_nID = -1;
    m_nFamilyID = KXF_ROOT_IMAGE;
    CkxData::SetImage();
    m_nDataState = 0;
    m_nDataModal = 0;
    m_nDeleted = 0;
    m_nDeleterID = -1;
    m_strTitle.clear();
    m_strExName.clear();
    m_strSourcePath.clear();
    m_strAuthAddr.clear();
    m_strRemark.clear();
    m_nSize = 0;
    m_nStorageID = -1;
    m_nLocDirID = -1;
    m_nAuthorID = -1;
    m_nWriterID = -1;
    m_nEditorID = -1;
    DestroyFile();
}

// ---- records ----

CkxFile::_COM CkxFile::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    c.nFamilyID = m_nFamilyID;
    c.nFileType = m_nFileType;
    c.nEncFormat = m_nEncFormat;
    c.nProgStct = m_nProgStct;
    c.nVersion = m_nVersion;
    kx::PutText(c.szTitle, m_strTitle);
    kx::PutText(c.szExName, m_strExName);
    c.nWidth = m_nWidth;
    c.nHeight = m_nHeight;
    c.nSize = m_nSize;
    c.nStorageID = m_nStorageID;
    c.nLocDirID = m_nLocDirID;
    kx::PutText(c.szSourcePath, m_strSourcePath);
    c.nWriterID = m_nWriterID;
    c.nEditorID = m_nEditorID;
    c.nAuthorID = m_nAuthorID;
    c.dtWrite = m_dtWrite.m_dt;
    c.dtEdit = m_dtEdit.m_dt;
    c.dtAuth = m_dtAuth.m_dt;
    c.nDeleted = m_nDeleted;
    c.nDeleterID = m_nDeleterID;
    c.dtDelete = m_dtDelete.m_dt;
    c.nCheckouted = m_nCheckouted;
    c.nCheckoutUserID = m_nCheckoutUserID;
    c.dtCheckout = m_dtCheckout.m_dt;
    kx::PutText(c.szAuthAddr, m_strAuthAddr);
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxFile::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_nFamilyID = c.nFamilyID;
    m_nFileType = c.nFileType;
    m_nEncFormat = c.nEncFormat;
    m_nProgStct = c.nProgStct;
    m_nVersion = c.nVersion;
    m_strTitle = kx::GetText(c.szTitle);
    m_strExName = kx::GetText(c.szExName);
    m_nWidth = c.nWidth;
    m_nHeight = c.nHeight;
    m_nSize = c.nSize;
    m_nStorageID = c.nStorageID;
    m_nLocDirID = c.nLocDirID;
    m_strSourcePath = kx::GetText(c.szSourcePath);
    m_nWriterID = c.nWriterID;
    m_nEditorID = c.nEditorID;
    m_nAuthorID = c.nAuthorID;
    m_dtWrite = COleDateTime(c.dtWrite);
    m_dtEdit = COleDateTime(c.dtEdit);
    m_dtAuth = COleDateTime(c.dtAuth);
    m_nDeleted = c.nDeleted;
    m_nDeleterID = c.nDeleterID;
    m_dtDelete = COleDateTime(c.dtDelete);
    m_nCheckouted = c.nCheckouted;
    m_nCheckoutUserID = c.nCheckoutUserID;
    m_dtCheckout = COleDateTime(c.dtCheckout);
    m_strAuthAddr = kx::GetText(c.szAuthAddr);
    m_strRemark = kx::GetText(c.szRemark);
}

CkxFile::_COM_DelFile CkxFile::GetComData_DelFile() const {
    _COM_DelFile d = kx::ZeroRecord<_COM_DelFile>();
    d.nID = static_cast<uint32_t>(m_nID);
    d.nStorageID = -1;
    d.nDirID = -1;
    d.nPurge = 0;
    kx::PutText(d.szTitle, m_strTitle);
    kx::PutText(d.szExName, m_strExName);
    return d;
}

int CkxFile::BuildBaseAttr(CkxBuf& buf) const { return PutRecord(GetComData(), buf); }

int CkxFile::PasyBaseAttr(const void* bytes, int len) { return TakeRecord<_COM>(*this, bytes, len); }

int CkxFile::GetSectData(int sect, CkxBuf& buf) const {
    if (sect > 0) return 0;
    return BuildBaseAttr(buf);
}

int CkxFile::BuildExattr(CkxBuf& buf) const { return m_ExAttrValueList.BuildBuf(buf); }

int CkxFile::PasyExattr(const void* bytes, int len) {
    if (!bytes || len < static_cast<int>(sizeof(CkxAttrValue::_COM))) return 0;
    return m_ExAttrValueList.PasyBuf(bytes, len);
}

CkxPowerEx CkxFile::GetPower() const {
    CkxPowerEx p(m_Power);
    p.m_nItemID = m_nID;
    p.m_nItemType = CkxUserLicence::ITEM_FILE;
    p.m_nParentID = m_nLocDirID;
    return p;
}

void CkxFile::SetPower(const CkxPowerEx& p) { m_Power = static_cast<const CkxPower&>(p); }

// ---- bodies ----

int CkxFile::BuildFileAttr(CkxContainer& c) const {
    CkxBuf base, ex;
    if (!BuildBaseAttr(base)) return 0;
    BuildExattr(ex);
    return c.AddSect(base.View()) && c.AddSect(ex.View());
}

int CkxFile::BuildFileInfo(CkxContainer& c) const {
    CkxBuf power;
    if (!BuildFileAttr(c) || !BuildPower(power)) return 0;
    return c.AddSect(power.View()) && c.AddSect(m_MemMicro.GetMemPt(), m_MemMicro.IsValid() ? m_MemMicro.GetMemLen() : 0);
}

int CkxFile::BuildFileData(CkxContainer& c) const {
    if (!BuildFileInfo(c)) return 0;
    return c.AddSect(m_MemWhole.GetMemPt(), m_MemWhole.IsValid() ? m_MemWhole.GetMemLen() : 0);
}

namespace {
template <class Build>
int Flatten(CkxBuf& buf, Build build) {
    CkxContainer c;
    if (!build(c)) return 0;
    return c.BuildBuf(buf);
}
} // namespace

int CkxFile::BuildFileInfo(CkxBuf& buf) const {
    return Flatten(buf, [this](CkxContainer& c) { return BuildFileInfo(c); });
}
int CkxFile::BuildFileData(CkxBuf& buf) const {
    return Flatten(buf, [this](CkxContainer& c) { return BuildFileData(c); });
}
int CkxFile::BuildFileAttr(CkxBuf& buf) const {
    return Flatten(buf, [this](CkxContainer& c) { return BuildFileAttr(c); });
}

bool CkxFile::CheckBody(std::span<const std::string_view> s, int n) const {
    if (static_cast<int>(s.size()) < n) return false;
    if (s[SECT_BASE].size() < static_cast<size_t>(GetBaseRecordSize())) return false;
    if (n > SECT_POWER && s[SECT_POWER].size() < static_cast<size_t>(kPowerHead)) return false;
    return true;
}

void CkxFile::ReadBody(std::span<const std::string_view> s, int n) {
    const auto len = [](std::string_view v) { return static_cast<int>(v.size()); };
    PasyBaseAttr(s[SECT_BASE].data(), len(s[SECT_BASE]));
    PasyExattr(s[SECT_EXATTR].data(), len(s[SECT_EXATTR]));
    if (n <= SECT_POWER) return;
    PasyPower(s[SECT_POWER].data(), len(s[SECT_POWER]));
    UpdateMicro(s[SECT_MICRO].data(), len(s[SECT_MICRO]));
    if (n <= SECT_WHOLE) return;
    UpdateWhole(s[SECT_WHOLE].data(), len(s[SECT_WHOLE]));
}

int CkxFile::PasyBody(std::span<const std::string_view> sections, int n) {
    if (!CheckBody(sections, n)) return 0;
    ReadBody(sections, n);
    return 1;
}

int CkxFile::PasyBody(const CkxContainer& c, int n) {
    std::vector<std::string_view> views;
    for (int i = 0; i < c.GetCount(); ++i) views.push_back(c.GetSect(i)->View());
    return PasyBody(views, n);
}

int CkxFile::PasyFileAttr(const CkxContainer& c) { return PasyBody(c, 2); }

int CkxFile::PasyFileInfo(const CkxContainer& c) { return PasyBody(c, 4); }

int CkxFile::PasyFileData(const CkxContainer& c) { return PasyBody(c, 5); }

int CkxFile::PasyFileData(std::span<const std::string_view> sections) { return PasyBody(sections, 5); }

namespace {
template <class Read>
int ParseThen(const CkxBuf& buf, Read read) {
    CkxContainer c;
    if (!c.PasyBuf(buf.GetBuf(), buf.GetLen())) return 0;
    return read(c);
}
} // namespace

int CkxFile::PasyFileInfo(const CkxBuf& buf) {
    return ParseThen(buf, [this](const CkxContainer& c) { return PasyFileInfo(c); });
}
int CkxFile::PasyFileData(const CkxBuf& buf) {
    return ParseThen(buf, [this](const CkxContainer& c) { return PasyFileData(c); });
}
int CkxFile::PasyFileAttr(const CkxBuf& buf) {
    return ParseThen(buf, [this](const CkxContainer& c) { return PasyFileAttr(c); });
}

CkxFile* CkxFile::_CreateFile(const void* record, int len) {
    _COM c;
    if (len < 0 || !kx::ReadRecord(record, static_cast<size_t>(len), c)) return nullptr;
    switch (c.nFileType) {
    case KXFK_IMAGE: return new (std::nothrow) CkxFileImage;
    case KXFK_TEXT: return new (std::nothrow) CkxFileText;
    case KXFK_AUDIO: return new (std::nothrow) CkxFileAudio;
    case KXFK_VIDEO: return new (std::nothrow) CkxFileVideo;
    case KXFK_BINARY: return new (std::nothrow) CkxFileBinary;
    case KXFK_FIPHOTO: return new (std::nothrow) CkxFIPhoto;
    default: return new (std::nothrow) CkxFile;
    }
}

CkxFile* CkxFile::_CreateFile(const CkxContainer& c) {
    const CkxContainer::Sect* s = c.GetSect(SECT_BASE);
    if (!s) return nullptr;
    return _CreateFile(s->Data(), static_cast<int>(s->Len()));
}

// ---- attributes ----

CkxAttrValue CkxFile::GetAttrValue(int id) const {
    CkxAttrValue v(m_nID, id);
    switch (id) {
    case KXB_ID: v.m_Value = m_nID; break;
    case KXB_FAMILYID: v.m_Value = m_nFamilyID; break;
    case KXB_ENCFORMAT: v.m_Value = m_nEncFormat; break;
    case KXB_WIDTH: v.m_Value = m_nWidth; break;
    case KXB_HEIGHT: v.m_Value = m_nHeight; break;
    case KXB_FILESIZE: v.m_Value = m_nSize; break;
    case KXB_LOCDIRID: v.m_Value = m_nLocDirID; break;
    case KXB_AUTHORID: v.m_Value = m_nAuthorID; break;
    case KXB_WRITERID: v.m_Value = m_nWriterID; break;
    case KXB_EDITORID: v.m_Value = m_nEditorID; break;
    case KXB_AUTHTIME: v.m_Value = m_dtAuth; break;
    case KXB_WRITETIME: v.m_Value = m_dtWrite; break;
    case KXB_EDITTIME: v.m_Value = m_dtEdit; break;
    case KXB_FILETITLE: v.m_Value = m_strTitle; break;
    case KXB_FILEEXNAME: v.m_Value = m_strExName; break;
    case KXB_AUTHADDR: v.m_Value = m_strAuthAddr; break;
    case KXB_REMARK: v.m_Value = m_strRemark; break;
    default:
        if (const CkxAttrValue* ex = FindExValue(m_ExAttrValueList, id)) return *ex;
        return CkxAttrValue(-1, -1);
    }
    return v;
}

int CkxFile::GetAttrValue(int id, CkxAttrValue& v) const {
    v = GetAttrValue(id);
    return v.GetAttrID() >= 0 ? 1 : 0;
}

void CkxFile::SetAttrValue(const CkxAttrValue& v) {
    switch (v.GetAttrID()) {
    case KXB_ID: m_nID = v.GetInt(); break;
    case KXB_FAMILYID: m_nFamilyID = v.GetInt(); break;
    case KXB_ENCFORMAT: m_nEncFormat = v.GetInt(); break;
    case KXB_WIDTH: m_nWidth = v.GetInt(); break;
    case KXB_HEIGHT: m_nHeight = v.GetInt(); break;
    case KXB_FILESIZE: m_nSize = v.GetInt(); break;
    case KXB_LOCDIRID: m_nLocDirID = v.IsValid() ? v.GetInt() : -1; break;
    case KXB_AUTHORID: m_nAuthorID = v.GetInt(); break;
    case KXB_WRITERID: m_nWriterID = v.GetInt(); break;
    case KXB_EDITORID: m_nEditorID = v.GetInt(); break;
    case KXB_AUTHTIME: m_dtAuth = v.GetDate(); break;
    case KXB_WRITETIME: m_dtWrite = v.GetDate(); break;
    case KXB_EDITTIME: m_dtEdit = v.GetDate(); break;
    case KXB_FILETITLE:
        if (!v.GetStr().empty()) m_strTitle = v.GetStr();
        break;
    case KXB_FILEEXNAME: m_strExName = v.GetStr(); break;
    case KXB_AUTHADDR: m_strAuthAddr = v.GetStr(); break;
    case KXB_REMARK: m_strRemark = v.GetStr(); break;
    default: break; // extended values go through SetExAttrValue
    }
}

void CkxFile::SetAttrValue(const CkxAttrValueList& list) {
    list.ForEach([this](const CkxAttrValue& v) { SetAttrValue(v); });
}

std::string CkxFile::GetAttrText(int id) const {
    switch (id) {
    case KXB_ID: return FormatID();
    case KXB_FILESIZE: return FormatSize();
    case KXB_FAMILYID: return FormatFamily();
    case KXB_ENCFORMAT: return FormatNameOf(m_nEncFormat);
    case KXB_FILETITLE: return m_strTitle;
    case KXB_FILEEXNAME: return m_strExName;
    case KXB_WIDTH: return FormatWidth();
    case KXB_HEIGHT: return FormatHeight();
    case KXB_LOCDIRID: return FormatLocDir();
    case KXB_AUTHORID: return FormatAuthor();
    case KXB_WRITERID: return FormatWriter();
    case KXB_EDITORID: return FormatEditor();
    case KXB_AUTHTIME: return FormatAuthTime();
    case KXB_WRITETIME: return FormatWriteTime();
    case KXB_EDITTIME: return FormatEditTime();
    case KXB_AUTHADDR: return m_strAuthAddr;
    case KXB_REMARK: return m_strRemark;
    default:
        if (const CkxAttrValue* ex = FindExValue(m_ExAttrValueList, id)) return ex->GetText();
        return kNoAttr;
    }
}

int CkxFile::_GetCanEditBaseAttrList(CkxAttrList& list) {
    CkxAttrList all;
    _GetBaseAttrList(all);
    return KeepCanEdit(all, list);
}

int CkxFile::KeepCanEdit(const CkxAttrList& all, CkxAttrList& list) {
    int n = 0;
    all.ForEach([&](const CkxAttr& a) {
        if (a.IsEnableEdit() && list.AddTail(a)) ++n;
    });
    return n;
}

// ---- text forms ----

std::string CkxFile::FormatID() const { return std::to_string(static_cast<uint32_t>(m_nID)); }
std::string CkxFile::FormatSize() const { return std::to_string(static_cast<uint32_t>(m_nSize)); }
std::string CkxFile::FormatWriter() const { return KX_KXXXX().fsUser_GetName(m_nWriterID); }
std::string CkxFile::FormatEditor() const { return KX_KXXXX().fsUser_GetName(m_nEditorID); }
std::string CkxFile::FormatAuthor() const { return KX_KXXXX().m_PersonList.GetName(m_nAuthorID); }
std::string CkxFile::FormatFamily() const { return KX_FamilyXXX().family_GetName(m_nFamilyID); }
std::string CkxFile::FormatLocDir() const { return KX_KXXXX().fsGetDirPath(m_nLocDirID); }
std::string CkxFile::FormatEncFormat() const { return FormatNameOf(GetFormatID(m_strExName)); }

std::string CkxFile::FormatSourceDir() const {
    std::string dir = CkxwFileSystem::GetDir(m_strSourcePath);
    return dir.empty() ? std::string() : dir + "/";
}

std::string kx::AsciiLower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int CkxFile::GetFormatID(const std::string& ex) { return FormatTable().Get_kxID(ex); }

int CkxFile::GetFormat_xImageID() const { return FormatTable().Get_xImageID_kxID(m_nEncFormat); }

// ---- names ----

std::string CkxFile::GetExName() const { return kx::AsciiLower(m_strExName); }

std::string CkxFile::GetIDName() const { return FormatID() + "." + CleanExName(m_strExName); }

void CkxFile::SetFileName(const std::string& path) {
    size_t start = path.find_last_of("/\\");
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    size_t dot = name.rfind('.');
    m_strExName = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    // Everything before the last dot, with the dots taken out: "a.b.jpg" gives "ab".
    std::string title;
    if (dot != std::string::npos)
        for (size_t i = 0; i < dot; ++i)
            if (name[i] != '.') title.push_back(name[i]);
    m_strTitle = title;
}

std::string CkxFile::CleanTitle(const std::string& title) {
    std::string out;
    for (char c : title) {
        if (IsSeparator(c) || IsControl(c)) continue;
        if (c == '.' && !out.empty() && out.back() == '.') continue;
        out.push_back(c);
    }
    size_t b = out.find_first_not_of('.');
    if (b == std::string::npos) return std::string();
    size_t e = out.find_last_not_of('.');
    return out.substr(b, e - b + 1);
}

std::string CkxFile::CleanExName(const std::string& ex) {
    std::string out;
    for (char c : ex)
        if (!IsSeparator(c) && !IsControl(c) && c != '.') out.push_back(c);
    return out;
}

bool CkxFile::IsCleanName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return IsSeparator(c) || IsControl(c); });
}

// ---- blocks ----

void CkxFile::UpdateMicro(const CkxBuf& buf) {
    if (buf.IsValid()) m_MemMicro.CopyMem(buf.GetBuf(), buf.GetLen());
}
void CkxFile::UpdateMicro(const void* bytes, int len) {
    if (bytes && len > 0) m_MemMicro.CopyMem(bytes, len);
}
void CkxFile::UpdateWhole(const CkxBuf& buf) {
    if (buf.IsValid()) m_MemWhole.CopyMem(buf.GetBuf(), buf.GetLen());
}
void CkxFile::UpdateWhole(const void* bytes, int len) {
    if (bytes && len > 0) m_MemWhole.CopyMem(bytes, len);
}

// ---- disk ----

int CkxFile::SaveFile(const std::string& path) const { return m_MemWhole.WriteFile(path); }

int CkxFile::SaveToDir(const std::string& dir) const {
    const std::string title = CleanTitle(m_strTitle);
    if (title.empty() || !IsMemWholeValid()) return 0;
    const std::string ex = CleanExName(m_strExName);
    // The content is written whole under a temporary name, then linked onto the first free
    // name: link() never replaces, so a file of that name already there (or one another program
    // makes meanwhile) stays as it is and this one becomes "title (2).ext", "title (3).ext", ...
    std::string temp = dir + "/.kxsave-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return 0;
    const auto* bytes = GetMemWholeBuf();
    const size_t total = static_cast<size_t>(GetMemWholeSize());
    size_t done = 0;
    bool ok = ::fchmod(fd, 0644) == 0;
    while (ok && done < total) {
        const ssize_t n = ::write(fd, bytes + done, total - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    int placed = 0;
    for (int n = 1; ok && !placed && n < 10000; ++n) {
        const std::string name = title + (n > 1 ? " (" + std::to_string(n) + ")" : "") + (ex.empty() ? "" : "." + ex);
        if (::link(temp.c_str(), (dir + "/" + name).c_str()) == 0) placed = 1;
        else if (errno != EEXIST) break;
    }
    ::unlink(temp.c_str());
    return placed;
}

// ---- suffixes ----

int CkxFile::GetImgSufixArray(std::vector<std::string>& out) {
    static const char* const kSufix[] = {"bmp", "jpg", "jpeg", "gif", "png", "mng", "jng",
                                         "ico", "tiff", "tif", "tga", "pcx", "wbmp", "wmf",
                                         "emf", "j2k", "jp2", "jbg", "jp2", "j2k", "jpc",
                                         "j2c", "pgx", "ras", "pnm", "pgm", "ppm"};
    out.assign(std::begin(kSufix), std::end(kSufix));
    return static_cast<int>(out.size());
}

int CkxFile::CheckFileType(const std::string& suffix) {
    std::vector<std::string> all;
    GetImgSufixArray(all);
    return std::find(all.begin(), all.end(), kx::AsciiLower(suffix)) != all.end() ? 1 : 0;
}
