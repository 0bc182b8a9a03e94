// The studio's local storage on real folders and a real settings store: capture names across
// two studios, the checkout moments and their 5-second rule, checkout copies that never lose
// edits, folder clearing that never follows a link, the documents' caches; and a local
// document's loader thread handing files over by document id.
#include "studio/support/StudioTestKit.h"

#include "doc/CLocalStorage.h"
#include "doc/CvClientDoc.h"
#include "doc/CvDocBrowser.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "support/FileBytes.h"

#include <QBuffer>
#include <QImage>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace studiotest;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Sets a file's last-write time.
void SetModified(const std::string& path, std::time_t when) {
    timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

COleDateTime Moment(int y, int mo, int d, int h, int mi, int s) { return COleDateTime(y, mo, d, h, mi, s); }

// A file object with whole content.
std::unique_ptr<CkxFileImage> WithContent(int id, const std::string& ext, const std::string& bytes) {
    auto f = std::make_unique<CkxFileImage>();
    f->m_nID = id;
    f->m_strExName = ext;
    f->m_strTitle = "图";
    if (!bytes.empty()) f->UpdateWhole(bytes.data(), static_cast<int>(bytes.size()));
    return f;
}

class LocalStorage : public StudioTest {
protected:
    CLocalStorage& store = TheLocalStorage();
    std::set<std::string> Names(const std::string& dir) {
        std::set<std::string> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec)) out.insert(e.path().filename().string());
        return out;
    }
};

TEST_F(LocalStorage, CaptureNamesContinueAcrossStudiosAndSavesLeaveWholeFilesOnly) {
    EXPECT_EQ(fs::path(store.NextCaptureFileName()).filename(), "cap0.jpg");
    EXPECT_EQ(store.ReadCaptureCount(), 1);
    {
        // A second studio on the same store continues the names.
        CLocalStorage second;
        ASSERT_EQ(second.Init(store.GetProgramDir()), 1);
        EXPECT_TRUE(second.IsSecondStudio());
        EXPECT_EQ(second.GetCaptureDir(), store.GetCaptureDir());
        EXPECT_EQ(fs::path(second.NextCaptureFileName()).filename(), "cap1.jpg");
    }
    WriteAll(store.CapturePath("cap2.jpg"), "taken");
    EXPECT_EQ(fs::path(store.NextCaptureFileName()).filename(), "cap3.jpg");

    const std::string png = PngBytes(20, 10);
    auto file = WithContent(5, "png", png);
    const std::string path = store.SaveToNewCaptureFile(file.get());
    EXPECT_EQ(fs::path(path).filename(), "cap4.jpg");
    EXPECT_EQ(ReadAll(path), png);
    EXPECT_EQ(file->m_strSourcePath, path);
    EXPECT_TRUE(store.IsCaptureFileValid("cap4.jpg"));
    auto info = std::make_unique<CkxFileImage>();
    EXPECT_TRUE(store.LoadCaptureFileInfo("cap4.jpg", info.get()));
    EXPECT_EQ(info->m_nWidth, 20);
    EXPECT_GT(static_cast<double>(store.GetCaptureFileModifyTime("cap4.jpg")), 0.0);
    EXPECT_EQ(static_cast<double>(store.GetCaptureFileModifyTime("missing.jpg")), 0.0);

    // Nothing to write: "" and no file anywhere, not even half of one in the scratch folder.
    const auto before = Names(store.GetCaptureDir());
    EXPECT_EQ(store.SaveToNewCaptureFile(nullptr), "");
    auto empty = WithContent(6, "jpg", "");
    EXPECT_EQ(store.SaveToNewCaptureFile(empty.get()), "");
    EXPECT_EQ(Names(store.GetCaptureDir()), before);
    EXPECT_EQ(Names(store.GetTempDir()), std::set<std::string>{"DocFile"});
}

TEST_F(LocalStorage, MomentsAreWrittenUnpaddedAndReadByTheFixedParser) {
    EXPECT_EQ(CLocalStorage::FormatMoment(Moment(2024, 3, 5, 9, 7, 2)), "2024-3-5 9:7:2");
    EXPECT_EQ(CLocalStorage::FormatMoment(Moment(2024, 12, 25, 23, 59, 58)), "2024-12-25 23:59:58");
    struct Row {
        const char* text;
        COleDateTime want;
    };
    const Row rows[] = {
        {"2024-3-5 9:7:2", Moment(2024, 3, 5, 9, 7, 2)},
        {"2024-03-05 09:07:02", Moment(2024, 3, 5, 9, 7, 2)},
        {"", COleDateTime(0.0)},
        {"garbage", COleDateTime(0.0)},
        {"2024-13-40 9:7:2", COleDateTime(0.0)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const COleDateTime got = CLocalStorage::ParseMoment(r.text);
        EXPECT_EQ(static_cast<double>(got), static_cast<double>(r.want));
        EXPECT_EQ(got.GetStatus(), COleDateTime::valid);
    }
    // Through the store: a value that was never written reads as the zero date.
    EXPECT_EQ(static_cast<double>(store.GetCheckoutTime("1.jpg")), 0.0);
    store.SetCheckoutTime("1.jpg", Moment(2024, 3, 5, 9, 7, 2));
    store.SetModifyTime("1.jpg", Moment(2025, 1, 2, 3, 4, 5));
    EXPECT_EQ(static_cast<double>(store.GetCheckoutTime("1.jpg")), static_cast<double>(Moment(2024, 3, 5, 9, 7, 2)));
    EXPECT_EQ(static_cast<double>(store.GetModifyTime("1.jpg")), static_cast<double>(Moment(2025, 1, 2, 3, 4, 5)));
}

TEST_F(LocalStorage, ACopyCountsAsModifiedMoreThanFiveSecondsAfterItsCheckout) {
    const std::time_t t = std::time(nullptr) - 3600;
    const COleDateTime ct = COleDateTime::FromTimeT(t);
    struct Row {
        const char* name;
        bool copy;
        bool checkoutTime;
        int writtenAfter; // seconds after the checkout moment
        bool modified;
    };
    const Row rows[] = {
        {"21.jpg", true, false, 0, true},  // no "CT_": any copy counts as edited
        {"22.jpg", true, true, 3, false},
        {"23.jpg", true, true, 6, true},
        {"24.jpg", true, true, 0, false},
        {"25.jpg", false, true, 60, false}, // no copy is never modified
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.checkoutTime) store.SetCheckoutTime(r.name, ct);
        if (r.copy) {
            WriteAll(store.CheckoutPath(r.name), "copy");
            SetModified(store.CheckoutPath(r.name), t + r.writtenAfter);
        }
        EXPECT_EQ(store.IsCheckoutCopyValid(r.name), r.copy);
        EXPECT_EQ(store.IsCheckoutCopyModified(r.name), r.modified);
        if (r.copy && r.checkoutTime)
            EXPECT_EQ(static_cast<double>(store.GetEffectiveModifyTime(r.name)),
                      static_cast<double>(r.modified ? COleDateTime::FromTimeT(t + r.writtenAfter) : ct));
    }
}

TEST_F(LocalStorage, CheckoutCopiesNeverOverwriteEdits) {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    auto file = WithContent(12, "jpg", "first");
    std::string kept = "x";
    const std::string path = store.SaveCheckoutCopy(file.get(), now, &kept);
    EXPECT_EQ(path, store.CheckoutPathOf(12, "jpg"));
    EXPECT_EQ(kept, "");
    EXPECT_EQ(ReadAll(path), "first");
    EXPECT_FALSE(store.IsCheckoutCopyModified("12.jpg")); // writing it is no edit

    // The user edits the copy; a new checkout keeps the edit beside the new copy.
    WriteAll(path, "edited by hand");
    SetModified(path, std::time(nullptr) + 60);
    ASSERT_TRUE(store.IsCheckoutCopyModified("12.jpg"));
    auto again = WithContent(12, "jpg", "second");
    EXPECT_EQ(store.SaveCheckoutCopy(again.get(), now, &kept), path);
    EXPECT_EQ(kept, "12~1.jpg");
    EXPECT_EQ(ReadAll(store.CheckoutPath("12~1.jpg")), "edited by hand");
    EXPECT_EQ(ReadAll(path), "second");
    EXPECT_FALSE(store.IsCheckoutCopyModified("12.jpg"));

    // An unmodified copy is simply replaced.
    auto third = WithContent(12, "jpg", "third");
    EXPECT_EQ(store.SaveCheckoutCopy(third.get(), now, &kept), path);
    EXPECT_EQ(kept, "");
    EXPECT_EQ(ReadAll(path), "third");

    // No content, no copy.
    auto hollow = WithContent(13, "jpg", "");
    EXPECT_EQ(store.SaveCheckoutCopy(hollow.get(), now), "");
    EXPECT_EQ(store.SaveCheckoutCopy(nullptr, now), "");
    EXPECT_FALSE(store.IsCheckoutCopyValid("13.jpg"));

    // Every copy of the file goes, the kept one and other files' copies stay.
    WriteAll(store.CheckoutPath("12.tif"), "t");
    WriteAll(store.CheckoutPath("120.jpg"), "other");
    store.RemoveCheckoutCopy(12);
    EXPECT_EQ(Names(store.GetCheckoutDir()), (std::set<std::string>{"12~1.jpg", "120.jpg"}));
}

TEST_F(LocalStorage, ClearingAFolderDeletesItsFilesAndNeverFollowsALink) {
    const std::string outside = store.GetProgramDir() + "/keep.txt";
    WriteAll(outside, "keep");
    fs::create_directories(store.GetCaptureDir() + "/sub/deeper");
    WriteAll(store.CapturePath("a.jpg"), "a");
    WriteAll(store.GetCaptureDir() + "/sub/b.jpg", "b");
    WriteAll(store.GetCaptureDir() + "/sub/deeper/c.jpg", "c");
    fs::create_symlink(outside, store.GetCaptureDir() + "/sub/link.txt");
    fs::create_directory_symlink(store.GetProgramDir(), store.GetCaptureDir() + "/loop");
    EXPECT_TRUE(store.ClearCaptureDir());
    EXPECT_EQ(Names(store.GetCaptureDir()), std::set<std::string>{"sub"});
    EXPECT_EQ(Names(store.GetCaptureDir() + "/sub"), std::set<std::string>{"deeper"});
    EXPECT_TRUE(Names(store.GetCaptureDir() + "/sub/deeper").empty());
    EXPECT_EQ(ReadAll(outside), "keep");

    WriteAll(store.CheckoutPath("3.jpg"), "x");
    EXPECT_TRUE(store.ClearCheckoutDir());
    EXPECT_TRUE(Names(store.GetCheckoutDir()).empty());
    EXPECT_TRUE(fs::is_directory(store.GetCaptureDir()));
}

TEST_F(LocalStorage, DocumentCachesHoldContainersAndImagesAreToldByTheirContent) {
    ASSERT_TRUE(store.CreateDocDir(7));
    const std::string png = PngBytes(30, 20);
    auto file = WithContent(40, "png", png);
    ASSERT_TRUE(store.SaveDocFileCopy(7, file.get()));
    auto loaded = WithContent(40, "png", "");
    ASSERT_TRUE(store.LoadEncryptedWhole(7, loaded.get()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded->GetMemWholeBuf()), loaded->GetMemWholeSize()), png);
    CxImage image;
    ASSERT_TRUE(store.LoadEncryptedImage(7, "40.png", image));
    EXPECT_EQ(image.GetWidth(), 30u);
    auto missing = WithContent(41, "png", "");
    EXPECT_FALSE(store.LoadEncryptedWhole(7, missing.get()));
    EXPECT_FALSE(store.SaveDocFileCopy(8, file.get())); // no folder for document 8

    // A PNG named .jpg decodes by its content; text named .jpg does not.
    WriteAll(store.CapturePath("png.jpg"), png);
    WriteAll(store.CapturePath("text.jpg"), "not a picture");
    CxImage fromDisk;
    EXPECT_TRUE(CLocalStorage::LoadImageFile(store.CapturePath("png.jpg"), fromDisk));
    EXPECT_EQ(fromDisk.GetHeight(), 20u);
    EXPECT_FALSE(CLocalStorage::LoadImageFile(store.CapturePath("text.jpg"), fromDisk));
}

// A browser standing in for the file browser: records the rows it is told of.
class RecordingBrowser : public CvDocBrowser {
public:
    void OnFileInserted(CkxFile* file) override { inserted.push_back(file); }
    void SetAutoArrange(bool on) override { arrange.push_back(on); }
    std::vector<CkxFile*> inserted;
    std::vector<bool> arrange;
};

class LocalLoader : public StudioTest {
protected:
    CvClientDoc* OpenLocal() {
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
        return app->OpenNewDoc();
    }
    static void Close(CvClientDoc* doc) {
        for (QWidget* view : doc->GetViews()) delete view;
    }
};

TEST_F(LocalLoader, EveryQueuedPathBecomesAFileInPathOrderOnceTheBrowserIsReady) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.file("p" + std::to_string(i) + ".png"));
        WriteAll(paths.back(), PngBytes(400 + 10 * i, 300));
    }
    paths.push_back(dir.file("x.jpg"));
    WriteAll(paths.back(), "this is text");

    CvClientDoc* doc = OpenLocal();
    ASSERT_NE(doc, nullptr);
    RecordingBrowser browser;
    doc->SetBrowser(&browser);
    doc->RequestLocalLoad("图库", paths);
    EXPECT_EQ(doc->GetCaption(), "本地文件<图库\\>");
    PumpFor(200ms);
    EXPECT_EQ(doc->GetFileCount(), 0); // the browser is not ready yet
    EXPECT_TRUE(doc->IsLoadRequested());

    doc->SetBrowserReady(true);
    ASSERT_TRUE(PumpUntil([&] { return doc->GetFileCount() == 4 && !doc->IsLoadRequested(); }));
    PumpFor(100ms);
    ASSERT_EQ(browser.inserted.size(), 4u);
    std::set<int> ids;
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(paths[i]);
        const CkxFile* f = doc->GetFileAt(static_cast<int>(i));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f, browser.inserted[i]);
        EXPECT_EQ(f->GetSourcePath(), paths[i]);
        EXPECT_LT(f->m_nID, 0);
        ids.insert(f->m_nID);
        EXPECT_FALSE(f->IsMemWholeValid());
        if (i < 3) {
            ASSERT_TRUE(f->IsMemMicroValid());
            CxImage thumb;
            ASSERT_TRUE(thumb.Decode(f->GetMemMicroBuf(), static_cast<size_t>(f->GetMemMicroSize())));
            EXPECT_LE(std::max(thumb.GetWidth(), thumb.GetHeight()), 130u);
        } else {
            EXPECT_FALSE(f->IsMemMicroValid()); // unreadable: a row without a thumbnail
        }
    }
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(browser.arrange, (std::vector<bool>{false, true}));
    EXPECT_EQ(doc->GetPendingCount(), 4); // nothing fetches a local file's content
}

TEST_F(LocalLoader, ClosingADocumentWhileItLoadsStopsItsLoaderAndNothingArrivesLater) {
    TempDir dir;
    const std::string path = dir.file("one.png");
    WriteAll(path, PngBytes(64, 48));
    CvClientDoc* doc = OpenLocal();
    ASSERT_NE(doc, nullptr);
    const int closedId = doc->GetDocID();
    doc->SetBrowserReady(true);
    doc->RequestLocalLoad("many", std::vector<std::string>(200, path));
    ASSERT_TRUE(PumpUntil([&] { return doc->GetFileCount() > 0; }));
    Close(doc); // joins its loader
    EXPECT_EQ(app->FindDoc(closedId), nullptr);

    CvClientDoc* later = OpenLocal();
    ASSERT_NE(later, nullptr);
    EXPECT_NE(later->GetDocID(), closedId);
    PumpFor(500ms);
    EXPECT_EQ(later->GetFileCount(), 0);
    Close(later);
}

} // namespace
