// CkxProfile: the one accessor for a program's settings. Ini_ operations read and write an ini
// file (the file argument when given, else the set ini path, else <program folder>/<program>.ini);
// Reg_ operations read and write values under one key of the program's registry store. Nothing
// throws: reads fall back to the caller's default, writes report 0.
#pragma once

#include "model/KxExport.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxProfile {
public:
    // Buffer limits the values are cut to (bytes, counting the closing NUL).
    static constexpr size_t kValueBuffer = 1000;
    static constexpr size_t kListBuffer = 30000;

    CkxProfile() = default;
    CkxProfile(const CkxProfile&) = default;
    CkxProfile& operator=(const CkxProfile&) = default;
    virtual ~CkxProfile() = default;

    static std::string GetAppDir();
    static std::string GetAppProfilePath();

    void Ini_SetFilePath(const std::string& path) { m_strIniPath = path; }
    void Reg_SetDefaultDir(const std::string& key) { m_strRegKey = key; }
    const std::string& GetIniFilePath() const { return m_strIniPath; }
    const std::string& GetRegDefaultDir() const { return m_strRegKey; }
    // The file an Ini_ call with this file argument uses.
    std::string IniFileFor(const std::string& file) const;

    // ---- Registry (the program's registry store, key = Reg_SetDefaultDir) ----
    int Reg_Write(const std::string& name, const std::string& text);
    int Reg_Write(const std::string& name, const char* text) { return Reg_Write(name, std::string(text ? text : "")); }
    int Reg_Write(const std::string& name, uint32_t value);
    int Reg_Write(const std::string& name, int value) { return Reg_Write(name, static_cast<uint32_t>(value)); }
    int Reg_Write(const std::string& name, const void* bytes, uint32_t n);
    // The text when it and its NUL fit in size bytes, else the default.
    std::string Reg_Read(const std::string& name, uint32_t size, const std::string& def) const;
    uint32_t Reg_Read(const std::string& name, uint32_t def) const;
    int Reg_Read(const std::string& name, int def) const {
        return static_cast<int>(Reg_Read(name, static_cast<uint32_t>(def)));
    }
    // Copies the value when it fits in n bytes; 1, or 0 (bytes untouched) when it cannot be read.
    int Reg_Read(const std::string& name, void* bytes, uint32_t n) const;

    // ---- Ini file ----
    std::string Ini_Read(const std::string& section, const std::string& key, const std::string& def,
                         const std::string& file = {}) const;
    std::string Ini_Read(const std::string& section, const std::string& key, const char* def,
                         const std::string& file = {}) const {
        return Ini_Read(section, key, std::string(def ? def : ""), file);
    }
    // The leading number of the value (decimal, or hex after "0x"; 0 when it has none), or the
    // default when the key is missing or its value is empty.
    int Ini_Read(const std::string& section, const std::string& key, int def,
                 const std::string& file = {}) const;
    // A structure value written by the struct form of Ini_Write: 1 when it holds exactly n bytes
    // and its checksum matches (bytes filled), else 0 (bytes untouched).
    int Ini_Read(const std::string& section, const std::string& key, void* bytes, unsigned& n,
                 const std::string& file = {}) const;
    int Ini_Write(const std::string& section, const std::string& key, const std::string& text,
                  const std::string& file = {});
    int Ini_Write(const std::string& section, const std::string& key, const char* text,
                  const std::string& file = {}) {
        return Ini_Write(section, key, std::string(text ? text : ""), file);
    }
    int Ini_Write(const std::string& section, const std::string& key, int value,
                  const std::string& file = {});
    // n bytes as hex digits followed by a one-byte checksum (the sum of the bytes).
    int Ini_Write(const std::string& section, const std::string& key, const void* bytes, unsigned n,
                  const std::string& file = {});
    // Replaces the whole section with "key=value" lines, each ending with a NUL (the list ends
    // with an extra NUL, or at the end of the text). The section keeps its place in the file.
    int Ini_WriteKey(const std::string& section, const std::string& lines, const std::string& file = {});
    // Empty out, then append in file order: section names; "key=value" lines; keys.
    int Ini_ReadSect(std::vector<std::string>& out, const std::string& file = {}) const;
    int Ini_ReadKeyAndValue(const std::string& section, std::vector<std::string>& out,
                            const std::string& file = {}) const;
    int Ini_ReadKey(const std::string& section, std::vector<std::string>& out,
                    const std::string& file = {}) const;

private:
    std::string m_strIniPath;
    std::string m_strRegKey;
};
