// The registry store: the settings the programs keep under registry keys, held in one INI
// file per program ($XDG_CONFIG_HOME/varnia/<program>.ini, default ~/.config/varnia/). A key
// path is a section (names match without regard to case, as registry keys do); each value is
// a typed entry: "sz:" text, "dword:" eight hex digits, "hex:" two hex digits per byte (texts
// that would not survive an INI line are kept as "szx:" hex). Every change is written through a
// temporary file and a rename; calls from several threads are serialised.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

class RegistryStore {
public:
    // The store of the running program (AppName()), or of the given file.
    RegistryStore();
    explicit RegistryStore(std::string path);

    static std::string DefaultPath();
    const std::string& Path() const { return path_; }

    // False for an empty key or value name, or when the file cannot be written.
    bool WriteString(const std::string& key, const std::string& name, const std::string& text);
    bool WriteDword(const std::string& key, const std::string& name, uint32_t value);
    bool WriteBinary(const std::string& key, const std::string& name, const void* bytes, size_t n);

    // False when the key or value is missing or of another type (the out value then untouched).
    bool ReadString(const std::string& key, const std::string& name, std::string& text) const;
    bool ReadDword(const std::string& key, const std::string& name, uint32_t& value) const;
    // The value's bytes whatever its type (a text with its NUL, a number as 4 little-endian bytes).
    bool ReadBinary(const std::string& key, const std::string& name, std::string& bytes) const;

    // The names of the key's values, in the order they are stored; empty for a missing key.
    std::vector<std::string> ValueNames(const std::string& key) const;
    // Removes one value; false when it was not there or the file cannot be written.
    bool DeleteValue(const std::string& key, const std::string& name);

private:
    bool Write(const std::string& key, const std::string& name, const std::string& encoded);
    bool Read(const std::string& key, const std::string& name, std::string& encoded) const;

    std::string path_;
};

// Hex text of bytes (upper case, two digits a byte) and its reader (false on a bad digit or an
// odd length).
std::string HexOf(const void* bytes, size_t n);
bool BytesOfHex(const std::string& hex, std::string& bytes);

} // namespace kx
