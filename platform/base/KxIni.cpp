#include "base/KxIni.h"

#include "base/KxSafeWrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kx {
namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool IniFile::Load(std::string path) {
    path_ = std::move(path);
    preamble_.clear();
    sections_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    FromText(ss.str());
    return true;
}

void IniFile::FromText(const std::string& text) {
    preamble_.clear();
    sections_.clear();
    std::istringstream in(text);
    std::string raw;
    std::vector<Line>* target = &preamble_;
    while (std::getline(in, raw)) {
        // Every carriage return at the end goes, or a line would lose one more at each save.
        while (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string::npos) {
            sections_.push_back(Section{Trim(t.substr(1, t.find(']') - 1)), {}});
            target = &sections_.back().lines;
            continue;
        }
        size_t eq = t.find('=');
        if (t.empty() || t[0] == ';' || t[0] == '#' || eq == std::string::npos) {
            target->push_back(Line{{}, raw, false});
            continue;
        }
        target->push_back(Line{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)), true});
    }
}

std::string IniFile::ToText() const {
    std::string out;
    auto put = [&out](const std::vector<Line>& lines) {
        for (const Line& l : lines) out += l.entry ? l.key + "=" + l.value + "\n" : l.value + "\n";
    };
    put(preamble_);
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        put(s.lines);
    }
    return out;
}

bool IniFile::Save() const { return Save(path_); }

bool IniFile::Save(const std::string& path) const {
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    // Settings files may name accounts and paths: a new one is its owner's alone.
    return WriteFileSafely(path, ToText(), 0600).ok();
}

IniFile::Section* IniFile::FindSection(const std::string& name) {
    for (Section& s : sections_)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}
const IniFile::Section* IniFile::FindSection(const std::string& name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}
IniFile::Line* IniFile::FindLine(Section& s, const std::string& key) {
    for (Line& l : s.lines)
        if (l.entry && SameName(l.key, key)) return &l;
    return nullptr;
}
const IniFile::Line* IniFile::FindLine(const Section& s, const std::string& key) const {
    return const_cast<IniFile*>(this)->FindLine(const_cast<Section&>(s), key);
}

bool IniFile::HasSection(const std::string& section) const { return FindSection(section); }

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
    const Section* s = FindSection(section);
    return s && FindLine(*s, key);
}

std::string IniFile::GetString(const std::string& section, const std::string& key,
                               const std::string& def) const {
    const Section* s = FindSection(section);
    const Line* l = s ? FindLine(*s, key) : nullptr;
    return l ? l->value : def;
}

int IniFile::GetInt(const std::string& section, const std::string& key, int def) const {
    const Section* s = FindSection(section);
    const Line* l = s ? FindLine(*s, key) : nullptr;
    if (!l) return def;
    const char* b = l->value.c_str();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(b, &end, 10);
    if (end == b || errno != 0 || v < INT32_MIN || v > INT32_MAX) return def;
    return static_cast<int>(v);
}

void IniFile::SetString(const std::string& section, const std::string& key,
                        const std::string& value) {
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    // A value is one line: line breaks would split the entry when the file is read back.
    std::string v = value;
    std::replace(v.begin(), v.end(), '\n', ' ');
    std::replace(v.begin(), v.end(), '\r', ' ');
    if (Line* l = FindLine(*s, key))
        l->value = v;
    else
        s->lines.push_back(Line{key, v, true});
}

void IniFile::SetInt(const std::string& section, const std::string& key, int value) {
    SetString(section, key, std::to_string(value));
}

bool IniFile::RemoveKey(const std::string& section, const std::string& key) {
    Section* s = FindSection(section);
    if (!s) return false;
    auto it = std::find_if(s->lines.begin(), s->lines.end(),
                           [&](const Line& l) { return l.entry && SameName(l.key, key); });
    if (it == s->lines.end()) return false;
    s->lines.erase(it);
    return true;
}

bool IniFile::RemoveSection(const std::string& section) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return SameName(s.name, section); });
    if (it == sections_.end()) return false;
    sections_.erase(it);
    return true;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> out;
    for (const Section& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    std::vector<std::string> out;
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (l.entry) out.push_back(l.key);
    return out;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path) {
    return IniFile(path).GetString(section, key, def);
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path) {
    return IniFile(path).GetInt(section, key, def);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    IniFile ini(path);
    ini.SetString(section, key, value);
    return ini.Save();
}

} // namespace kx
