#include "base/KxRegistry.h"

#include "base/KxIni.h"
#include "base/KxProc.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace kx {
namespace {

std::mutex g_storeMutex;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWith(const std::string& s, const char* prefix, std::string& rest) {
    std::string p(prefix);
    if (s.compare(0, p.size(), p) != 0) return false;
    rest = s.substr(p.size());
    return true;
}

// A text survives an INI line when it has no control character and no blank at its end.
bool FitsLine(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return false;
    return s.empty() || !std::isspace(static_cast<unsigned char>(s.back()));
}

} // namespace

std::string HexOf(const void* bytes, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(n * 2);
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

bool BytesOfHex(const std::string& hex, std::string& bytes) {
    if (hex.size() % 2 != 0) return false;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    bytes = std::move(out);
    return true;
}

RegistryStore::RegistryStore() : path_(DefaultPath()) {}
RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {}

std::string RegistryStore::DefaultPath() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return base + "/varnia/" + AppName() + ".ini";
}

bool RegistryStore::Write(const std::string& key, const std::string& name, const std::string& encoded) {
    if (key.empty() || name.empty() || path_.empty()) return false;
    std::lock_guard<std::mutex> lock(g_storeMutex);
    IniFile ini(path_);
    ini.SetString(key, name, encoded);
    return ini.Save();
}

bool RegistryStore::Read(const std::string& key, const std::string& name, std::string& encoded) const {
    if (key.empty() || name.empty() || path_.empty()) return false;
    std::lock_guard<std::mutex> lock(g_storeMutex);
    IniFile ini(path_);
    if (!ini.HasKey(key, name)) return false;
    encoded = ini.GetString(key, name);
    return true;
}

std::vector<std::string> RegistryStore::ValueNames(const std::string& key) const {
    if (key.empty() || path_.empty()) return {};
    std::lock_guard<std::mutex> lock(g_storeMutex);
    IniFile ini(path_);
    return ini.Keys(key);
}

bool RegistryStore::DeleteValue(const std::string& key, const std::string& name) {
    if (key.empty() || name.empty() || path_.empty()) return false;
    std::lock_guard<std::mutex> lock(g_storeMutex);
    IniFile ini(path_);
    if (!ini.RemoveKey(key, name)) return false;
    return ini.Save();
}

bool RegistryStore::WriteString(const std::string& key, const std::string& name, const std::string& text) {
    return Write(key, name, FitsLine(text) ? "sz:" + text : "szx:" + HexOf(text.data(), text.size()));
}

bool RegistryStore::WriteDword(const std::string& key, const std::string& name, uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", value);
    return Write(key, name, std::string("dword:") + buf);
}

bool RegistryStore::WriteBinary(const std::string& key, const std::string& name, const void* bytes, size_t n) {
    if (bytes == nullptr && n > 0) return false;
    return Write(key, name, "hex:" + HexOf(bytes, n));
}

bool RegistryStore::ReadString(const std::string& key, const std::string& name, std::string& text) const {
    std::string enc, rest;
    if (!Read(key, name, enc)) return false;
    if (StartsWith(enc, "sz:", rest)) {
        text = rest;
        return true;
    }
    std::string bytes;
    if (StartsWith(enc, "szx:", rest) && BytesOfHex(rest, bytes)) {
        text = bytes;
        return true;
    }
    return false;
}

bool RegistryStore::ReadDword(const std::string& key, const std::string& name, uint32_t& value) const {
    std::string enc, rest;
    if (!Read(key, name, enc) || !StartsWith(enc, "dword:", rest)) return false;
    if (rest.empty() || rest.size() > 8) return false;
    uint32_t v = 0;
    for (char c : rest) {
        int d = HexDigit(c);
        if (d < 0) return false;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    value = v;
    return true;
}

bool RegistryStore::ReadBinary(const std::string& key, const std::string& name, std::string& bytes) const {
    std::string enc, rest;
    if (!Read(key, name, enc)) return false;
    if (StartsWith(enc, "hex:", rest)) return BytesOfHex(rest, bytes);
    uint32_t v = 0;
    if (StartsWith(enc, "dword:", rest)) {
        if (!ReadDword(key, name, v)) return false;
        bytes.assign(reinterpret_cast<const char*>(&v), 4);
        return true;
    }
    std::string text;
    if (!ReadString(key, name, text)) return false;
    bytes = text;
    bytes += '\0';
    return true;
}

} // namespace kx
