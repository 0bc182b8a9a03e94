#include "model/CkxProfile.h"

#include "model/CkxwFileSystem.h"
#include "base/Gbk.h"
#include "base/KxIni.h"
#include "base/KxRegistry.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// One ini change is a read, an edit and a rename; two threads must not interleave them.
std::mutex g_iniMutex;

// The entries as the system's double-NUL list of `limit` bytes would hold them: whole entries
// while they fit, the first that does not is cut, the rest dropped.
void AppendWithin(std::vector<std::string>& out, const std::vector<std::string>& items, size_t limit) {
    size_t used = 1; // the list's closing NUL
    for (const std::string& s : items) {
        if (used + s.size() + 1 > limit) {
            if (used + 1 < limit) {
                std::string cut = kx::CutUtf8(s, limit - used - 1);
                if (!cut.empty()) out.push_back(cut);
            }
            return;
        }
        out.push_back(s);
        used += s.size() + 1;
    }
}

} // namespace

std::string CkxProfile::GetAppDir() { return CkxwFileSystem::GetAppDir(); }
std::string CkxProfile::GetAppProfilePath() { return CkxwFileSystem::GetAppProfilePath(); }

std::string CkxProfile::IniFileFor(const std::string& file) const {
    if (!file.empty()) return file;
    if (!m_strIniPath.empty()) return m_strIniPath;
    return GetAppProfilePath();
}

// ---- Registry ----

int CkxProfile::Reg_Write(const std::string& name, const std::string& text) {
    return kx::RegistryStore().WriteString(m_strRegKey, name, text) ? 1 : 0;
}

int CkxProfile::Reg_Write(const std::string& name, uint32_t value) {
    return kx::RegistryStore().WriteDword(m_strRegKey, name, value) ? 1 : 0;
}

int CkxProfile::Reg_Write(const std::string& name, const void* bytes, uint32_t n) {
    return kx::RegistryStore().WriteBinary(m_strRegKey, name, bytes, n) ? 1 : 0;
}

std::string CkxProfile::Reg_Read(const std::string& name, uint32_t size, const std::string& def) const {
    std::string text;
    if (!kx::RegistryStore().ReadString(m_strRegKey, name, text) || text.size() + 1 > size) return def;
    return text;
}

uint32_t CkxProfile::Reg_Read(const std::string& name, uint32_t def) const {
    uint32_t v = 0;
    return kx::RegistryStore().ReadDword(m_strRegKey, name, v) ? v : def;
}

int CkxProfile::Reg_Read(const std::string& name, void* bytes, uint32_t n) const {
    std::string value;
    if (bytes == nullptr || !kx::RegistryStore().ReadBinary(m_strRegKey, name, value) || value.size() > n)
        return 0;
    std::memcpy(bytes, value.data(), value.size());
    return 1;
}

// ---- Ini file ----

std::string CkxProfile::Ini_Read(const std::string& section, const std::string& key,
                                 const std::string& def, const std::string& file) const {
    std::lock_guard<std::mutex> lock(g_iniMutex);
    kx::IniFile ini(IniFileFor(file));
    return kx::CutUtf8(ini.GetString(section, key, def), kValueBuffer - 1);
}

int CkxProfile::Ini_Read(const std::string& section, const std::string& key, int def,
                         const std::string& file) const {
    std::string value;
    {
        std::lock_guard<std::mutex> lock(g_iniMutex);
        kx::IniFile ini(IniFileFor(file));
        if (!ini.HasKey(section, key)) return def;
        value = ini.GetString(section, key);
    }
    // An empty value reads as a missing one, as the system's profile-integer reading does: a
    // setting left blank ("PORT=") keeps its default instead of becoming 0.
    if (value.empty()) return def;
    const char* p = value.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    unsigned base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    uint32_t v = 0; // wraps like the 32-bit value it stands for
    for (; *p; ++p) {
        int d = std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0'
                : base == 16 && std::isxdigit(static_cast<unsigned char>(*p))
                    ? std::tolower(static_cast<unsigned char>(*p)) - 'a' + 10
                    : -1;
        if (d < 0) break;
        v = v * base + static_cast<uint32_t>(d);
    }
    return static_cast<int>(negative ? 0u - v : v);
}

int CkxProfile::Ini_Read(const std::string& section, const std::string& key, void* bytes,
                         unsigned& n, const std::string& file) const {
    if (bytes == nullptr) return 0;
    std::string hex;
    {
        std::lock_guard<std::mutex> lock(g_iniMutex);
        kx::IniFile ini(IniFileFor(file));
        if (!ini.HasKey(section, key)) return 0;
        hex = ini.GetString(section, key);
    }
    std::string raw;
    if (!kx::BytesOfHex(hex, raw) || raw.size() != static_cast<size_t>(n) + 1) return 0;
    unsigned char sum = 0;
    for (size_t i = 0; i < n; ++i) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(raw[i]));
    if (sum != static_cast<unsigned char>(raw[n])) return 0;
    std::memcpy(bytes, raw.data(), n);
    return 1;
}

int CkxProfile::Ini_Write(const std::string& section, const std::string& key, const std::string& text,
                          const std::string& file) {
    if (section.empty() || key.empty()) return 0;
    std::lock_guard<std::mutex> lock(g_iniMutex);
    kx::IniFile ini(IniFileFor(file));
    ini.SetString(section, key, text);
    return ini.Save() ? 1 : 0;
}

int CkxProfile::Ini_Write(const std::string& section, const std::string& key, int value,
                          const std::string& file) {
    return Ini_Write(section, key, std::to_string(value), file);
}

int CkxProfile::Ini_Write(const std::string& section, const std::string& key, const void* bytes,
                          unsigned n, const std::string& file) {
    if (bytes == nullptr && n > 0) return 0;
    unsigned char sum = 0;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (unsigned i = 0; i < n; ++i) sum = static_cast<unsigned char>(sum + p[i]);
    return Ini_Write(section, key, kx::HexOf(bytes, n) + kx::HexOf(&sum, 1), file);
}

int CkxProfile::Ini_WriteKey(const std::string& section, const std::string& lines, const std::string& file) {
    if (section.empty()) return 0;
    std::lock_guard<std::mutex> lock(g_iniMutex);
    kx::IniFile ini(IniFileFor(file));
    // Empty the section where it stands, so the file's order of sections is kept.
    for (const std::string& k : ini.Keys(section)) ini.RemoveKey(section, k);
    size_t pos = 0;
    bool any = false;
    while (pos < lines.size()) {
        size_t end = lines.find('\0', pos);
        if (end == std::string::npos) end = lines.size();
        if (end == pos) break; // the extra NUL ends the list
        std::string line = lines.substr(pos, end - pos);
        size_t eq = line.find('=');
        std::string k = eq == std::string::npos ? line : line.substr(0, eq);
        std::string v = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        if (!k.empty()) {
            ini.SetString(section, k, v);
            any = true;
        }
        pos = end + 1;
    }
    if (!any) { // an empty list leaves the section header with nothing under it
        ini.SetString(section, "", "");
        ini.RemoveKey(section, "");
    }
    return ini.Save() ? 1 : 0;
}

int CkxProfile::Ini_ReadSect(std::vector<std::string>& out, const std::string& file) const {
    out.clear();
    std::vector<std::string> names;
    {
        std::lock_guard<std::mutex> lock(g_iniMutex);
        names = kx::IniFile(IniFileFor(file)).Sections();
    }
    AppendWithin(out, names, kListBuffer);
    return static_cast<int>(out.size());
}

int CkxProfile::Ini_ReadKeyAndValue(const std::string& section, std::vector<std::string>& out,
                                    const std::string& file) const {
    out.clear();
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(g_iniMutex);
        kx::IniFile ini(IniFileFor(file));
        for (const std::string& k : ini.Keys(section)) lines.push_back(k + "=" + ini.GetString(section, k));
    }
    AppendWithin(out, lines, kListBuffer);
    return static_cast<int>(out.size());
}

int CkxProfile::Ini_ReadKey(const std::string& section, std::vector<std::string>& out,
                            const std::string& file) const {
    std::vector<std::string> lines;
    Ini_ReadKeyAndValue(section, lines, file);
    out.clear();
    for (const std::string& l : lines) out.push_back(l.substr(0, l.find('=')));
    return static_cast<int>(out.size());
}
