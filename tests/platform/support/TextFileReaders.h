// The readers of text files that another program (or a person) wrote: the INI reader and the
// registry store's file reader, driven over a file holding arbitrary bytes. The libFuzzer
// harnesses in fuzz/ feed them the fuzzer's bytes and fuzz_regressions_test replays what the
// fuzzers once found.
#pragma once

#include "base/KxIni.h"
#include "base/KxRegistry.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace textreaders {

inline void Expect(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "reader broke its promise: %s\n", what);
    std::abort();
}

inline void WriteFile(const std::string& path, const uint8_t* p, size_t n) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
}

// Every section and key read back; the text written from what was read reads back the same.
inline void ReadIni(const uint8_t* p, size_t n, const std::string& path) {
    WriteFile(path, p, n);
    kx::IniFile ini;
    ini.Load(path);
    for (const std::string& s : ini.Sections()) {
        Expect(ini.HasSection(s), "a listed section is found");
        for (const std::string& k : ini.Keys(s)) {
            Expect(ini.HasKey(s, k), "a listed key is found");
            ini.GetString(s, k, "?");
            ini.GetInt(s, k, -7);
        }
    }
    const std::string text = ini.ToText();
    kx::IniFile again;
    again.FromText(text);
    Expect(again.ToText() == text, "what is written reads back the same");
    kx::GetPrivateProfileString("a", "b", "c", path);
    kx::GetPrivateProfileInt("a", "b", 3, path);
}

// The registry store over the file: every value of its first keys read as each type.
inline void ReadRegistry(const uint8_t* p, size_t n, const std::string& path) {
    WriteFile(path, p, n);
    const kx::IniFile ini(path);
    const kx::RegistryStore store(path);
    int values = 0;
    for (const std::string& s : ini.Sections()) {
        for (const std::string& k : ini.Keys(s)) {
            if (++values > 16) return;
            std::string text, bytes;
            uint32_t dword = 0;
            store.ReadString(s, k, text);
            store.ReadDword(s, k, dword);
            if (store.ReadBinary(s, k, bytes)) Expect(bytes.size() <= n, "binary value within the file");
        }
    }
}

} // namespace textreaders
