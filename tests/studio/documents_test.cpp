// The studio's documents filled from the real server: every kind of query, the limit of five,
// answers for documents that have closed, and whole-file content kept in the document's folder.
#include "studio/support/StudioTestKit.h"

#include "model/CkxXXX.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/Screenshot.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace studiotest;
using namespace kx;

namespace {

class Documents : public LoggedOnTest {
protected:
    void Close(CvClientDoc* doc) {
        const int id = doc->GetDocID();
        for (QWidget* view : doc->GetViews()) view->close();
        ASSERT_TRUE(PumpUntil([&] { return app->FindDoc(id) == nullptr; }));
    }
};

TEST_F(Documents, EachQueryFillsItsOwnDocumentWithExactlyItsFiles) {
    using Open = std::function<CvClientDoc*()>;
    struct Row {
        const char* name;
        Open open;
        int kind;
        std::set<int> files;
    };
    const COleDateTime jan2020(2020, 1, 1, 0, 0, 0), feb2021(2021, 2, 1, 0, 0, 0), mar2022(2022, 3, 1, 0, 0, 0);
    auto monthEnd = [](COleDateTime d) { return COleDateTime(d.GetYear(), d.GetMonth(), 28, 23, 59, 59); };
    const Row rows[] = {
        {"file by id", [&] { return app->ShowFileById(*link, Id("file.c")); }, CvClientDoc::KIND_OPERAND, Files({"file.c"})},
        {"creation time", [&] { return app->QueryByAuthTime(*link, jan2020, monthEnd(jan2020)); },
         CvClientDoc::KIND_OPERAND, Files({"file.a"})},
        {"entry time", [&] { return app->QueryByWriteTime(*link, feb2021, monthEnd(feb2021)); },
         CvClientDoc::KIND_OPERAND, Files({"file.b"})},
        {"modification time", [&] { return app->QueryByEditTime(*link, mar2022, monthEnd(mar2022)); },
         CvClientDoc::KIND_OPERAND, Files({"file.c"})},
        {"author", [&] { return app->QueryByAuthor(*link, Id("person.wang")); }, CvClientDoc::KIND_OPERAND, Files({"file.a"})},
        {"writer", [&] { return app->QueryByWriter(*link, Id("user.alice")); }, CvClientDoc::KIND_OPERAND,
         Files({"file.d", "file.e"})},
        {"editor", [&] { return app->QueryByEditor(*link, Id("user.bob")); }, CvClientDoc::KIND_OPERAND, Files({"file.b"})},
        {"family", [&] { return app->OpenFamilyDoc(*link, Id("family.fam.a")); }, CvClientDoc::KIND_FAMILY, Files({"file.c"})},
        // (file.a lies in the middle folder by its quick key)
        {"folder", [&] { return app->OpenFolderDoc(*link, Id("folder.mid")); }, CvClientDoc::KIND_FOLDER,
         Files({"file.a", "file.d", "file.e"})},
        {"project", [&] { return app->OpenProjectDoc(*link, Id("project.proj")); }, CvClientDoc::KIND_PROJECT,
         Files({"file.a", "file.b"})},
        {"template", [&] { return app->QueryByTemplet(*link, *KX_QueryTempletList().Find(Id("templet.alice"))); },
         CvClientDoc::KIND_TEMPLET, Files({"file.a", "file.b", "file.c", "file.d", "file.e"})},
        {"all keywords", [&] { return app->QueryByKeywordsAll(*link, {Id("keyword.face"), Id("keyword.beach")}); },
         CvClientDoc::KIND_KEYWORDS, Files({"file.a"})},
        {"any keyword", [&] { return app->QueryByKeywordsAny(*link, {Id("keyword.face"), Id("keyword.beach")}); },
         CvClientDoc::KIND_KEYWORDS, Files({"file.a", "file.b"})},
    };
    CvClientDoc* other = app->OpenFolderDoc(*link, Id("folder.top"));
    ASSERT_EQ(WaitForFiles(other, 3), Files({"file.a", "file.b", "file.c"}));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CvClientDoc* doc = row.open();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetKind(), row.kind);
        EXPECT_EQ(doc->GetTitle().rfind("查询", 0), 0u) << doc->GetTitle();
        EXPECT_EQ(WaitForFiles(doc, row.files.size()), row.files);
        EXPECT_EQ(other->GetFileCount(), 3); // the answer went to its own document only
        // Emptied and asked again, the document gets the same set.
        doc->RemoveAllFiles();
        EXPECT_GT(app->RequeryDoc(*link, doc), 0);
        EXPECT_EQ(WaitForFiles(doc, row.files.size()), row.files);
        if (row.kind == CvClientDoc::KIND_FOLDER) guitest::Screenshot(doc->GetViews().front(), "studio_document_folder");
        Close(doc);
    }
}

TEST_F(Documents, TheRecycleBinDocumentHoldsTheUsersDeletedFilesAndIsNotRequeried) {
    CkxFile* e = nullptr;
    CvClientDoc* mid = app->OpenFolderDoc(*link, Id("folder.mid"));
    ASSERT_EQ(WaitForFiles(mid, 3).size(), 3u);
    e = mid->FindFile(Id("file.e"));
    ASSERT_NE(e, nullptr);
    CkxFile::_COM_DelFile rec{};
    rec.nID = static_cast<uint32_t>(Id("file.e"));
    rec.nStorageID = e->m_nStorageID;
    rec.nDirID = Id("folder.mid");
    ASSERT_EQ(link->SendFileDeleteRequest({rec}), 1);
    ASSERT_TRUE(PumpUntil([&] { return mid->FindFile(Id("file.e")) == nullptr; }));
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    CvClientDoc* bin = app->FindRecycleBinDoc();
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(bin->GetTitle(), "回收站");
    EXPECT_EQ(bin->GetCaption(), "回收站");
    EXPECT_EQ(WaitForFiles(bin, 1), Files({"file.e"}));
    // A bin or a local document is not asked again.
    EXPECT_EQ(app->RequeryDoc(*link, bin), 0);
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->GetTitle().rfind("本地", 0), 0u);
    EXPECT_EQ(app->RequeryDoc(*link, local), 0);
}

TEST_F(Documents, FiveDocumentsAtMostAndIdsAreNeverReused) {
    kx::PromptRecorder prompts;
    std::vector<CvClientDoc*> docs;
    for (int i = 0; i < 3; ++i) docs.push_back(app->OpenFolderDoc(*link, Id("folder.top")));
    EXPECT_EQ(docs[0]->GetDocID(), 0);
    EXPECT_EQ(docs[1]->GetDocID(), 1);
    EXPECT_EQ(docs[2]->GetDocID(), 2);
    Close(docs[1]);
    CvClientDoc* fourth = app->OpenProjectDoc(*link, Id("project.proj"));
    EXPECT_EQ(fourth->GetDocID(), 3);
    EXPECT_EQ(app->ShowRecycleBin(*link), 1); // the fourth open document
    CvClientDoc* fifth = app->QueryByAuthor(*link, Id("person.wang"));
    ASSERT_NE(fifth, nullptr);
    EXPECT_EQ(app->GetDocCount(), 5);
    EXPECT_EQ(prompts.Count(), 0u);

    // The sixth: the limit text and nothing sent (no document, no answer for one).
    EXPECT_EQ(app->OpenFolderDoc(*link, Id("folder.mid")), nullptr);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CvClientApp::kLimitText});
    // The bin is open among the five: asking for it again still meets the limit.
    EXPECT_EQ(app->ShowRecycleBin(*link), 0);
    EXPECT_EQ(prompts.Count(), 2u);
    EXPECT_EQ(app->GetDocCount(), 5);

    // The most recently used document moves to the head.
    app->MoveDocToHead(fourth);
    EXPECT_EQ(app->GetFirstDoc(), fourth);
    EXPECT_EQ(app->IndexOfDoc(fourth), 0);
    EXPECT_EQ(WaitForFiles(fifth, 1), Files({"file.a"}));
}

TEST_F(Documents, AnAnswerForAClosedDocumentChangesNothing) {
    CvClientDoc* doc = app->OpenFolderDoc(*link, Id("folder.top"));
    const int closedId = doc->GetDocID();
    const std::string folder = TheLocalStorage().DocDirOf(closedId);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    for (QWidget* view : doc->GetViews()) delete view; // closed before its answer arrives
    EXPECT_EQ(app->FindDoc(closedId), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder));

    CvClientDoc* other = app->OpenFolderDoc(*link, Id("folder.mid"));
    ASSERT_EQ(WaitForFiles(other, 3).size(), 3u);
    // A whole file for the closed document: no folder is made again, no document changes.
    CkxFile* d = other->FindFile(Id("file.d"));
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(link->SendWholeFileRequest(*d, closedId), 1);
    // The same request for the open document shows when the server has answered both.
    ASSERT_EQ(link->SendWholeFileRequest(*d, other->GetDocID()), 1);
    ASSERT_TRUE(PumpUntil([&] { return d->Is_WholeState_Valid(); }));
    PumpFor(100ms);
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(app->GetDocCount(), 1);
    EXPECT_EQ(other->GetFileCount(), 3);
}

TEST_F(Documents, AWholeFileIsKeptInTheDocumentsFolder) {
    CvClientDoc* doc = app->OpenFolderDoc(*link, Id("folder.top"));
    ASSERT_EQ(WaitForFiles(doc, 3).size(), 3u);
    CkxFile* a = doc->FindFile(Id("file.a"));
    ASSERT_NE(a, nullptr);
    const int pendingBefore = doc->GetPendingCount();
    EXPECT_EQ(pendingBefore, 3);
    EXPECT_FALSE(a->Is_WholeState_Valid());
    ASSERT_EQ(link->SendWholeFileRequest(*a, doc->GetDocID()), 1);
    ASSERT_TRUE(PumpUntil([&] { return a->Is_WholeState_Valid(); }));
    EXPECT_EQ(doc->GetPendingCount(), pendingBefore - 1);

    const std::string path = TheLocalStorage().DocFilePath(doc->GetDocID(), a->GetIDName());
    EXPECT_EQ(path, TheLocalStorage().GetDocDir() + "/" + std::to_string(doc->GetDocID()) + "/" +
                        std::to_string(Id("file.a")) + ".png");
    ASSERT_TRUE(std::filesystem::exists(path));
    CkxBuf content;
    ASSERT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc->GetDocID(), a->GetIDName(), content));
    EXPECT_EQ(content.GetLen(), a->m_nSize);
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(sizeof(CkxFile::_ENCRYPT_HEAD) + a->m_nSize));
    QImage image;
    ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(content.GetBuf()), content.GetLen(), "PNG"));
    EXPECT_EQ(image.size(), QSize(16, 12)); // the picture seeded as file.a
}

} // namespace

namespace {

class DocumentCaptions : public StudioTest {};

// Captions and kind names by what filled the document (no server needed).
TEST_F(DocumentCaptions, FollowTheKindAndTheQuickQuery) {
    KX_KXXXX().m_PersonList.AddTail([] {
        CkxPerson p;
        p.m_nID = 7;
        p.m_strName = "王";
        return p;
    }());
    const COleDateTime day(2024, 3, 5, 0, 0, 0), later(2024, 4, 1, 0, 0, 0);
    struct Row {
        int kind;
        int code;
        std::function<void(CvClientDoc&)> fill;
        const char* caption;
        const char* kindName;
    };
    const Row rows[] = {
        {CvClientDoc::KIND_OPERAND, 9, [&](CvClientDoc& d) { d.m_Operand.Set_Equal(0, day); }, "创作时间<2024年3月>", "服务器文档"},
        {CvClientDoc::KIND_OPERAND, 18, [&](CvClientDoc& d) { d.m_Operand.Set_Equal(0, day); }, "录入时间<2024年3月5日>", "服务器文档"},
        {CvClientDoc::KIND_OPERAND, 30, [&](CvClientDoc& d) { d.m_Operand.Set_FromTo_Close(0, day, later); },
         "修改时间<2024年3月5日 ~ 2024年4月1日>", "服务器文档"},
        {CvClientDoc::KIND_OPERAND, 2, nullptr, "创作时间<昨天>", "服务器文档"},
        {CvClientDoc::KIND_OPERAND, 31, [&](CvClientDoc& d) { d.m_Operand.Set_Equal(0, 7); }, "创作者<王>", "服务器文档"},
        {CvClientDoc::KIND_OPERAND, 34, nullptr, "文件书签", "服务器文档"},
        {CvClientDoc::KIND_FOLDER, 0, [](CvClientDoc& d) { d.m_nFolderID = -1; }, "目录文件<根目录\\>", "服务器文档"},
        {CvClientDoc::KIND_PROJECT, 0, [](CvClientDoc& d) { d.m_nProjectID = 99; }, "项目文件<>", "服务器文档"},
        {CvClientDoc::KIND_KEYWORDS, 0, nullptr, "查询文件<关键字>", "服务器文档"},
        {CvClientDoc::KIND_RECYCLE, 0, nullptr, "回收站", "回收站"},
        {CvClientDoc::KIND_LOCAL, 0, [](CvClientDoc& d) { d.m_strFolderCaption = "/home/pic"; }, "本地文件</home/pic\\>", "本地文档"},
        {CvClientDoc::KIND_NONE, 0, nullptr, "", "未知"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        CvClientDoc doc;
        if (row.fill) row.fill(doc);
        doc.SetQuickQuery(row.code);
        doc.SetKind(row.kind);
        EXPECT_EQ(doc.GetCaption(), row.caption);
        EXPECT_EQ(doc.GetKindName(), row.kindName);
    }
    // A document made before its kind was chosen is titled "NULL"; one made with it is not.
    CvClientDoc untyped;
    untyped.OnNewDocument();
    EXPECT_EQ(untyped.GetTitle(), "NULL");
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_RECYCLE);
    CvClientDoc bin;
    bin.OnNewDocument();
    EXPECT_EQ(bin.GetTitle(), "回收站");
    EXPECT_EQ(bin.GetKind(), CvClientDoc::KIND_RECYCLE);
    EXPECT_EQ(CvClientDoc::GetNextDocKind(), CvClientDoc::KIND_NONE);
}

} // namespace
