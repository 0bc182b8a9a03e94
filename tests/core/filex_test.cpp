#include "model/CkxFIPhoto.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileKinds.h"
#include "model/CkxFileX.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string RecordOf(const CkxFile& f) { return kx::RecordBytes(f.GetComData()); }

CkxFile Kind(int id, int kind) {
    CkxFile f;
    f.m_nID = id;
    f.m_nFileType = kind;
    f.m_strTitle = "f" + std::to_string(id);
    f.m_strExName = "jpg";
    return f;
}

} // namespace

TEST(CkxFileX, CreateObjFromReceivedRecords) {
    for (int kind : {0, 1, 2, 3, 4, 5, 9}) {
        SCOPED_TRACE(kind);
        CkxFile src = Kind(10, kind);
        std::string rec = RecordOf(src);
        CkxFileX h;
        ASSERT_EQ(h.CreateObj(rec.data(), static_cast<int>(rec.size())), 1);
        EXPECT_EQ(h.GetMode(), CkxFileX::MODE_OWNED);
        EXPECT_EQ(h.GetID(), 10);
        EXPECT_EQ(h.IsAudio(), kind == 3);
        EXPECT_EQ(h.IsImage(), kind == 1);
        EXPECT_EQ(h.IsDoc(), kind == 2);
        if (kind == 9) {
            EXPECT_EQ(typeid(*h.GetObj()), typeid(CkxFile));
        }
        if (kind == 1) {
            EXPECT_TRUE(dynamic_cast<CkxFileImage*>(h.GetObj()));
        }
    }
    // A photo needs its 912-byte record; the 536-byte prefix alone is refused.
    CkxFIPhoto photo;
    photo.m_nID = 11;
    photo.m_nThemeID = 5;
    std::string full = kx::RecordBytes(photo.GetComData());
    CkxFileX h;
    ASSERT_EQ(h.CreateObj(full.data(), static_cast<int>(full.size())), 1);
    ASSERT_TRUE(h.IsFIPhoto());
    EXPECT_EQ(static_cast<CkxFIPhoto*>(h.GetObj())->m_nThemeID, 5);
    EXPECT_EQ(h.CreateObj(full.data(), 536), 0);
    EXPECT_TRUE(h.IsEmpty());

    // A null or short record leaves the handle empty, the previous object released.
    h = Kind(3, 1);
    EXPECT_EQ(h.CreateObj(nullptr, 536), 0);
    EXPECT_TRUE(h.IsEmpty());
    EXPECT_EQ(h.GetMode(), CkxFileX::MODE_NONE);
    std::string rec = RecordOf(Kind(3, 1));
    EXPECT_EQ(h.CreateObj(rec.data(), 535), 0);
    EXPECT_TRUE(h.IsEmpty());
}

TEST(CkxFileX, OwnershipNeverDoubles) {
    CkxFile outside = Kind(1, 1);
    {
        CkxFileX mapped;
        mapped = &outside;
        EXPECT_EQ(mapped.GetMode(), CkxFileX::MODE_MAPPED);
        CkxFileX mappedCopy(mapped); // still only refers to it
        EXPECT_EQ(mappedCopy.GetObj(), &outside);
        EXPECT_EQ(mappedCopy.GetMode(), CkxFileX::MODE_MAPPED);
    }
    EXPECT_EQ(outside.GetID(), 1); // survives both handles

    CkxFileX owner;
    owner.AttachObj(new CkxFileImage);
    owner.GetObj()->m_nID = 7;
    {
        CkxFileX copy(owner);
        EXPECT_EQ(copy.GetMode(), CkxFileX::MODE_OWNED);
        EXPECT_NE(copy.GetObj(), owner.GetObj());
        EXPECT_TRUE(dynamic_cast<CkxFileImage*>(copy.GetObj()));
        EXPECT_EQ(copy.GetID(), 7);
    }
    EXPECT_EQ(owner.GetID(), 7);
    // Assigning a handle its own object, or creating from it, keeps it alive.
    owner = owner;
    owner.CreateObj(*owner.GetObj());
    EXPECT_EQ(owner.GetID(), 7);
    owner.MapObj(owner.GetObj());
    EXPECT_EQ(owner.GetMode(), CkxFileX::MODE_OWNED);

    CkxFileX empty;
    EXPECT_EQ(empty.GetID(), -1);
    EXPECT_EQ(empty.GetFamilyID(), -1);
    EXPECT_EQ(empty.GetFileSize(), 0);
    EXPECT_EQ(empty.GetFileName(), "");
    EXPECT_EQ(empty.IsLinkFamily(), 0);
    EXPECT_EQ(empty.Is_WholeState_Invalid(), 0);
    empty.SetFamily(3);
    empty.Set_WholeState_Valid();
    CkxFileX copyOfEmpty(empty);
    EXPECT_TRUE(copyOfEmpty.IsEmpty());
}

TEST(CkxFileXList, EntriesLookupsAndWholeState) {
    CkxFileX outside;
    outside = Kind(5, 0);
    {
        CkxFileXList list;
        EXPECT_EQ(list.AddAttach(nullptr), nullptr);
        EXPECT_EQ(list.GetIndex(0), nullptr);
        CkxFileX* a = list.AddObj(Kind(1, 1));
        CkxFileX* b = list.AddObj(Kind(1, 3));
        CkxFileX* m = list.AddMap(&outside);
        ASSERT_TRUE(a && b && m);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.Find(1), a);
        EXPECT_EQ(list.IsHas(5), 1);
        EXPECT_EQ(list.IsHas(6), 0);
        EXPECT_EQ(list.IsHas("f1.jpg"), 1);
        EXPECT_EQ(list.GetFileName(5), "f5.jpg");
        EXPECT_EQ(list.GetFileExname(5), "jpg");
        EXPECT_EQ(list.GetIDName(5), "5.jpg");
        EXPECT_EQ(list.GetFileName(9), "");
        EXPECT_EQ(list.GetIndex(2), m);
        EXPECT_EQ(list.GetIndex(3), nullptr);

        list.Set_WholeState_Getting(1); // the first handle only
        EXPECT_EQ(a->Is_WholeState_Getting(), 1);
        EXPECT_EQ(b->Is_WholeState_Invalid(), 1);
        EXPECT_EQ(list.RequestWholeFile(), 1);
        EXPECT_EQ(b->Is_WholeState_Request(), 1);
        EXPECT_EQ(outside.Is_WholeState_Invalid(), 1);

        CkxFileX changed;
        changed = Kind(1, 4);
        EXPECT_EQ(list.Update(changed), 1);
        EXPECT_EQ(a->IsVideo(), 1);
        EXPECT_NE(a->GetObj(), changed.GetObj());

        CkxFileXList copy;
        copy = list;
        EXPECT_EQ(copy.GetCount(), 3);
        EXPECT_NE(copy.GetIndex(2)->GetObj(), outside.GetObj());

        EXPECT_EQ(list.Delete(1), 2); // every entry with the id
        EXPECT_EQ(list.GetCount(), 1);
        std::unique_ptr<CkxFileX> tail(list.RemoveTail());
        EXPECT_EQ(tail.get(), m);
        tail.release(); // mapped: it is `outside`, not ours
        EXPECT_EQ(list.RemoveHead(), nullptr);
        list.AddMap(&outside);
    }
    EXPECT_EQ(outside.GetID(), 5); // a mapped handle outlives the list
}

TEST(CkxFileXX, RefersToTheOthersFiles) {
    auto* f = new CkxFile(Kind(1, 1));
    CkxFileXX a;
    a.m_nValue = 4;
    a.m_FileList.AddObj(f);
    {
        CkxFileXX b;
        b = a;
        EXPECT_EQ(b.m_nValue, 4);
        EXPECT_EQ(b.m_FileList.GetHead(), f);
    }
    EXPECT_EQ(a.m_FileList.Find(1), f); // b did not delete it
}
