// Damaged bytes fed to every reader of wire records, list buffers, file bodies and stored
// copies: each reader refuses them or reads what the bytes say, never past their end.
// Seeds, counts and sizes are fixed so a failure repeats exactly.
#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxCheckout.h"
#include "model/CkxClient.h"
#include "model/CkxConst.h"
#include "model/CkxContainer.h"
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxFIPhoto.h"
#include "model/CkxFSFileLoc.h"
#include "model/CkxFSNode.h"
#include "model/CkxFSQuickKey.h"
#include "model/CkxFamily.h"
#include "model/CkxFile.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileKinds.h"
#include "model/CkxFileMark.h"
#include "model/CkxFileOpeState.h"
#include "model/CkxFileRole.h"
#include "model/CkxHostInfo.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxLog.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPerson.h"
#include "model/CkxPower.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxServer.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserLicence.h"
#include "model/CkxUserRole.h"
#include "model/CkxUserX.h"
#include "model/CkxValue.h"
#include "base/Record.h"
#include "core/support/ByteReaders.h"
#include "core/support/SampleRecords.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kRounds = 1500;

// One damaged copy of a valid block: bytes flipped, the block cut or extended, a 32-bit word
// replaced by a huge, negative or boundary count, or the whole block replaced by noise.
Bytes Mutate(const Bytes& in, std::mt19937& rng) {
    Bytes b = in;
    auto pick = [&](size_t n) { return n == 0 ? size_t{0} : static_cast<size_t>(rng() % n); };
    const int ops = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < ops; ++k) {
        switch (rng() % 7) {
        case 0: // flip a few bytes
            for (int i = 0; i < 4 && !b.empty(); ++i) b[pick(b.size())] ^= static_cast<unsigned char>(1 + rng() % 255);
            break;
        case 1: // cut
            b.resize(pick(b.size() + 1));
            break;
        case 2: { // a count or length word
            static const int32_t words[] = {-1, 0x7fffffff, static_cast<int32_t>(0x80000000), 0x40000000,
                                            0x3fffffff, 1 << 20, 65535, 1, 0, 2, 5, 288};
            if (b.size() >= 4) {
                int32_t w = words[rng() % (sizeof words / sizeof words[0])];
                std::memcpy(&b[pick(b.size() - 3) & ~size_t{3}], &w, 4);
            }
            break;
        }
        case 3: // extend with noise
            for (int i = 0, n = static_cast<int>(rng() % 64); i < n; ++i) b.push_back(static_cast<unsigned char>(rng()));
            break;
        case 4: // a run of 0xFF (no NUL in text fields, NaN dates)
            if (!b.empty()) {
                size_t at = pick(b.size());
                size_t n = std::min(b.size() - at, static_cast<size_t>(1 + rng() % 300));
                std::memset(&b[at], 0xff, n);
            }
            break;
        case 5: // an odd double (NaN, infinity, huge) somewhere
            if (b.size() >= 8) {
                static const double ds[] = {std::numeric_limits<double>::quiet_NaN(),
                                            std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity(), 1e300, -1e300, 2958466.0,
                                            -657435.0, 1e18};
                double d = ds[rng() % (sizeof ds / sizeof ds[0])];
                std::memcpy(&b[pick(b.size() - 7)], &d, 8);
            }
            break;
        default: // noise of a random length
            b.resize(pick(in.size() + 64));
            for (auto& c : b) c = static_cast<unsigned char>(rng());
            break;
        }
    }
    return b;
}

// Exact-size heap copy, so a read past the end is seen by the address checker.
std::unique_ptr<unsigned char[]> Exact(const Bytes& b) {
    std::unique_ptr<unsigned char[]> p(new unsigned char[b.size() ? b.size() : 1]);
    if (!b.empty()) std::memcpy(p.get(), b.data(), b.size());
    return p;
}

template <class T>
Bytes RecordBytes(const T& r) {
    const auto* p = reinterpret_cast<const unsigned char*>(&r);
    return Bytes(p, p + sizeof r);
}

Bytes BufBytes(const CkxBuf& buf) {
    const auto* p = static_cast<const unsigned char*>(static_cast<const void*>(buf.GetBuf()));
    return Bytes(p, p + buf.GetLen());
}

// Runs read over kRounds damaged copies of seed (and the seed itself).
void FuzzBytes(const Bytes& seed, uint32_t rngSeed, const std::function<void(const unsigned char*, int)>& read) {
    std::mt19937 rng(rngSeed);
    {
        auto p = Exact(seed);
        read(p.get(), static_cast<int>(seed.size()));
    }
    for (int i = 0; i < kRounds; ++i) {
        Bytes b = Mutate(seed, rng);
        auto p = Exact(b);
        read(p.get(), static_cast<int>(b.size()));
    }
}

// A record read through kx::ReadRecord into the entity, then written back out.
template <class T>
void FuzzRecord(const T& proto, uint32_t rngSeed) {
    using Com = typename T::_COM;
    FuzzBytes(RecordBytes(proto.GetComData()), rngSeed, [](const unsigned char* p, int n) {
        Com c;
        bool ok = kx::ReadRecord(p, static_cast<size_t>(n), c);
        EXPECT_EQ(ok, static_cast<size_t>(n) >= sizeof(Com));
        if (!ok) return;
        T t;
        t.SetComData(c);
        Com back = t.GetComData();
        (void)back;
        if constexpr (std::is_base_of_v<CkxFile, T>) {
            // Every attribute of a file read from damaged bytes shows as text.
            for (int id = -2; id < 80; ++id) t.GetAttrText(id);
        }
        if constexpr (std::is_same_v<T, CkxValueSp> || std::is_same_v<T, CkxAttrValue>) t.GetText();
    });
}

} // namespace

TEST(WireFuzz, EveryEntityRecordReadsOrRefuses) {
    uint32_t s = 1;
    FuzzRecord(CkxAttr(), s++);
    FuzzRecord(CkxAttrValue(3, 4), s++);
    FuzzRecord(CkxCheckout(), s++);
    FuzzRecord(CkxClient(), s++);
    FuzzRecord(CkxConst(), s++);
    FuzzRecord(CkxDataShare(), s++);
    FuzzRecord(CkxDataTag(), s++);
    FuzzRecord(CkxFIPhoto(), s++);
    FuzzRecord(CkxFSFileLoc(), s++);
    FuzzRecord(CkxFSNode(), s++);
    FuzzRecord(CkxFSQuickKey(), s++);
    FuzzRecord(CkxFamily(), s++);
    FuzzRecord(SampleFile(), s++);
    FuzzRecord(CkxFileImage(), s++);
    FuzzRecord(CkxFileText(), s++);
    FuzzRecord(CkxFileMark(), s++);
    FuzzRecord(CkxFileRole(), s++);
    FuzzRecord(CkxFolderRole(), s++);
    FuzzRecord(CkxHostInfo(), s++);
    FuzzRecord(CkxKeyword(), s++);
    FuzzRecord(CkxKeywordGroup(), s++);
    FuzzRecord(CkxKeywordLink(), s++);
    FuzzRecord(CkxKeywordTemplet(), s++);
    FuzzRecord(CkxLog(), s++);
    FuzzRecord(CkxObjAttrTemplet(), s++);
    FuzzRecord(CkxPerson(), s++);
    FuzzRecord(CkxProject(), s++);
    FuzzRecord(CkxProjectData(), s++);
    FuzzRecord(CkxQueryTemplet(), s++);
    FuzzRecord(CkxServer(), s++);
    FuzzRecord(CkxUser(), s++);
    FuzzRecord(CkxUserGroup(), s++);
    FuzzRecord(CkxUserLicence(), s++);
    FuzzRecord(CkxUserRole(), s++);
    FuzzRecord(CkxUserX(), s++);
    FuzzRecord(CkxValueSp(std::string("text")), s++);
}

namespace {

// Each reader of bytes over damaged copies of the bytes its writer makes.
void FuzzReader(const Bytes& seed, uint32_t rngSeed, void (*read)(const uint8_t*, size_t)) {
    FuzzBytes(seed, rngSeed, [read](const unsigned char* p, int n) { read(p, static_cast<size_t>(n)); });
}

} // namespace

TEST(WireFuzz, ListBuffersReadWholeRecordsOnly) {
    {
        CkxAttrValueList l;
        l.AddTail(CkxAttrValue(1, 2));
        l.AddTail(CkxAttrValue(1, 3));
        CkxBuf b;
        l.BuildBuf(b);
        FuzzReader(BufBytes(b), 101, bytereaders::ReadLists);
    }
    {
        CkxConstList l;
        CkxConst c;
        l.AddTail(c);
        l.AddTail(c);
        CkxBuf b;
        l.BuildBuf(b);
        FuzzReader(BufBytes(b), 102, bytereaders::ReadLists);
    }
    {
        CkxPower pw;
        pw.m_LicenceList.AddTail(CkxUserLicence());
        CkxBuf b;
        pw.BuildBuf(b);
        FuzzReader(BufBytes(b), 103, bytereaders::ReadRightsAndMembers);
    }
    {
        CkxUserGroup g;
        g.m_UserList = {1, 2, 3};
        CkxBuf b;
        g.BuildQueryBuf(b);
        FuzzReader(BufBytes(b), 104, bytereaders::ReadRightsAndMembers);
    }
    {
        CkxUserXList l;
        l.AddTail(CkxUserX());
        CkxBuf b;
        l.BuildBuf(b);
        FuzzReader(BufBytes(b), 105, bytereaders::ReadRightsAndMembers);
    }
}

TEST(WireFuzz, ContainerChecksCountsAndLengths) {
    CkxBuf b;
    SampleContainer().BuildBuf(b);
    FuzzReader(BufBytes(b), 201, bytereaders::ReadContainer);
}

TEST(WireFuzz, FileBodiesAndCreateFile) {
    CkxFile f = SampleFile();
    CkxBuf info, data, attr;
    ASSERT_GT(f.BuildFileInfo(info), 0);
    ASSERT_GT(f.BuildFileData(data), 0);
    ASSERT_GT(f.BuildFileAttr(attr), 0);
    auto readAll = [](const uint8_t* p, size_t n) {
        bytereaders::ReadFileBodies(p, n);
        bytereaders::ReadContainer(p, n);
    };
    FuzzReader(BufBytes(info), 301, readAll);
    FuzzReader(BufBytes(data), 302, readAll);
    FuzzReader(BufBytes(attr), 303, readAll);
}

TEST(WireFuzz, QueryOperandsAndTemplates) {
    const CkxQueryTemplet t = SampleQuery();
    CkxBuf b;
    ASSERT_GT(t.BuildQueryBuf(b), 0);
    FuzzReader(BufBytes(b), 401, bytereaders::ReadQuery);
    CkxBuf one;
    t.m_OperandList.GetHead()->BuildBuf(one);
    FuzzReader(BufBytes(one), 402, bytereaders::ReadQuery);
}

TEST(WireFuzz, StoredCopyHeaders) {
    TempDir dir;
    CkxFile f = SampleFile();
    const std::string good = dir.file("good.kx");
    ASSERT_EQ(f.SaveEncryptFile(good), 1);
    std::ifstream in(good, std::ios::binary);
    Bytes seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(seed.size(), static_cast<size_t>(CkxFile::kEncryptHeadSize));
    std::mt19937 rng(501);
    const std::string path = dir.file("damaged.kx");
    for (int i = 0; i < 60; ++i) {
        const Bytes b = Mutate(seed, rng);
        bytereaders::ReadStoredCopy(b.data(), b.size(), path);
    }
}
