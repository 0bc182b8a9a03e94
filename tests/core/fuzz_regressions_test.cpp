// Replays the inputs with which the fuzzers found faults in the core's readers of outside bytes.
#include "core/support/ByteReaders.h"
#include "image/CxImage.h"
#include "support/FuzzRegressions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

} // namespace

TEST(FuzzRegressions, CoreReaders) {
    const struct {
        const char* harness;
        void (*read)(const uint8_t*, size_t);
    } readers[] = {
        {"core_container", bytereaders::ReadContainer},   {"core_filebodies", bytereaders::ReadFileBodies},
        {"core_rights", bytereaders::ReadRightsAndMembers}, {"core_query", bytereaders::ReadQuery},
        {"core_lists", bytereaders::ReadLists},
    };
    for (const auto& r : readers)
        for (const auto& [name, bytes] : FuzzRegressionInputs(r.harness)) {
            SCOPED_TRACE(std::string(r.harness) + "/" + name);
            r.read(Bytes(bytes), bytes.size());
        }
}

TEST(FuzzRegressions, StoredCopies) {
    TempDir dir;
    for (const auto& [name, bytes] : FuzzRegressionInputs("core_storedcopy")) {
        SCOPED_TRACE(name);
        bytereaders::ReadStoredCopy(Bytes(bytes), bytes.size(), dir.file("copy.kx"));
    }
}

// A stored image whose content has no picture signature but starts like a font: the image layer
// handed it to ImageMagick's catch-all loader, which rendered it for seconds. It is no picture.
TEST(FuzzRegressions, ContentWithoutAPictureSignatureIsRefused) {
    for (const auto& [name, bytes] : FuzzRegressionInputs("core_storedcopy")) {
        if (name != "content-taken-for-a-font") continue;
        ASSERT_GT(bytes.size(), static_cast<size_t>(CkxFile::kEncryptHeadSize));
        const std::string content = bytes.substr(CkxFile::kEncryptHeadSize);
        CxImage image;
        EXPECT_FALSE(image.Decode(Bytes(content), content.size()));
        return;
    }
    FAIL() << "the kept input is missing";
}
