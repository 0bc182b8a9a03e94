// INI files with the section/key/default semantics of private profile files: names match
// without regard to case, a missing key gives the caller's default, writing keeps the order
// and comments of the file. Used for the server's ini file, storage-root "Conf" files and the
// registry store of the studio and the console.
#pragma once

#include <string>
#include <vector>

namespace kx {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string path) { Load(std::move(path)); }

    // Reads the file; a missing file gives an empty ini (returns false then) with the path kept
    // for Save().
    bool Load(std::string path);
    // Writes to the loaded path (or to `path`) through kx::WriteFileSafely, creating missing
    // folders; a new file is readable by its owner only. False when it cannot be written (a
    // read-only file is not replaced).
    bool Save() const;
    bool Save(const std::string& path) const;
    const std::string& Path() const { return path_; }

    bool HasSection(const std::string& section) const;
    bool HasKey(const std::string& section, const std::string& key) const;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = {}) const;
    // The value read as a decimal integer; the default when missing or not a number.
    int GetInt(const std::string& section, const std::string& key, int def = 0) const;
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);
    bool RemoveKey(const std::string& section, const std::string& key);
    bool RemoveSection(const std::string& section);

    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& section) const;

    // The whole file as text / parsed from text.
    std::string ToText() const;
    void FromText(const std::string& text);

private:
    struct Line {
        std::string key;   // empty for comments and blank lines
        std::string value; // or the raw text of a comment line
        bool entry = false;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;
    Line* FindLine(Section& s, const std::string& key);
    const Line* FindLine(const Section& s, const std::string& key) const;

    std::string path_;
    std::vector<Line> preamble_; // lines before the first section
    std::vector<Section> sections_;
};

// One-call forms of the classic private-profile functions (read the file each time).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path);
int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

} // namespace kx
