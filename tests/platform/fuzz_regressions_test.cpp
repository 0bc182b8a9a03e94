// Replays the inputs with which the fuzzers found faults in the INI and registry readers.
#include "platform/support/TextFileReaders.h"
#include "support/FuzzRegressions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

} // namespace

TEST(FuzzRegressions, IniAndRegistryReaders) {
    TempDir dir;
    const struct {
        const char* harness;
        void (*read)(const uint8_t*, size_t, const std::string&);
    } readers[] = {{"platform_ini", textreaders::ReadIni}, {"platform_registry", textreaders::ReadRegistry}};
    for (const auto& r : readers)
        for (const auto& [name, bytes] : FuzzRegressionInputs(r.harness)) {
            SCOPED_TRACE(std::string(r.harness) + "/" + name);
            r.read(Bytes(bytes), bytes.size(), dir.file("replay.ini"));
        }
}

// A comment line ending in carriage returns lost one more of them at every save.
TEST(FuzzRegressions, IniTextReadsBackAsWritten) {
    kx::IniFile ini;
    ini.FromText("; note\r\r\r\n[s]\nk = v \r\r\n");
    const std::string text = ini.ToText();
    EXPECT_EQ(text, "; note\n[s]\nk=v\n");
    kx::IniFile again;
    again.FromText(text);
    EXPECT_EQ(again.ToText(), text);
}
