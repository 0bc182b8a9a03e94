// Files from the open dialog uploaded through the studio's browser to the studio server: a phone
// photo with an EXIF orientation tag, a WebP (outside the image layer's formats) and a PDF-like
// binary. What the server stored: the photo as a picture of the size as shown with its micro
// image the right way up and its bytes untouched; the others as plain files, no micro image.
#include "studio/support/StudioTestKit.h"

#include "browser/BrowserFileCommands.h"
#include "browser/CBrowser.h"
#include "browser/CFileSendQueue.h"
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "qt/KxPromptRecorder.h"
#include "support/FileBytes.h"
#include "support/gui/OrientedPhoto.h"
#include "support/gui/Screenshot.h"
#include "ui/CkxwFileListView.h"

#include <filesystem>
#include <map>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

// A 1 x 1 lossless WebP (RIFF, "WEBP", one VP8L chunk), as an encoder writes it.
const std::string kWebp("RIFF\x1a\x00\x00\x00WEBPVP8L\x0d\x00\x00\x00\x2f\x00\x00\x00\x10\x07\x10\x11\x11\x88\x88\xfe\x07\x00",
                        34);

class PictureUpload : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        CFileSendQueue::SetGap(std::chrono::milliseconds(20));
        app->SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); },
                             [this](CvClientDoc& doc) -> QWidget* {
                                 auto* view = new CBrowser(doc, link.get());
                                 view->setAttribute(Qt::WA_ShowWithoutActivating);
                                 view->resize(640, 360);
                                 return view;
                             }});
    }
    void TearDown() override {
        CFileSendQueue::SetGap(std::chrono::milliseconds(100));
        LoggedOnTest::TearDown();
    }
    static CBrowser* BrowserOf(CvClientDoc* doc) {
        return doc && !doc->GetViews().empty() ? dynamic_cast<CBrowser*>(doc->GetViews().front()) : nullptr;
    }
    // The server's stored file of that name in a folder of that name ("Whole" or "Micro").
    std::string Stored(const std::string& folder, const std::string& name) const {
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_regular_file() && e.path().parent_path().filename() == folder && e.path().filename() == name)
                return FileBytes(e.path().string());
        return {};
    }
};

} // namespace

TEST_F(PictureUpload, PicturesAreStoredAsShownAndOtherFormatsAsPlainFiles) {
    TempDir dir;
    // Stored 120 x 60, tagged "turn a quarter clockwise": a 60 x 120 picture as shown.
    const guitest::OrientedView& turned = guitest::OrientedViews()[5];
    ASSERT_EQ(turned.orientation, 6);
    const std::vector<uint8_t> photo = guitest::QuarterJpeg(120, 60, 6);
    const std::string pdf = std::string("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n") + std::string(64, '\0');
    const std::map<std::string, std::string> bytes = {
        {"IMG_0001.jpg", std::string(photo.begin(), photo.end())}, {"still.webp", kWebp}, {"notes.pdf", pdf}};
    std::vector<std::string> paths;
    for (const auto& [name, content] : bytes) {
        paths.push_back(dir.file(name));
        ASSERT_TRUE(guitest::WriteBytes(paths.back(), std::vector<uint8_t>(content.begin(), content.end())));
    }

    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    local->RequestLocalLoad(dir.str(), paths);
    CBrowser* b = BrowserOf(local);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 3 && !local->IsLoadRequested(); }));

    // The open dialog's files: the photo as shown, the others plain files of their byte size.
    std::map<std::string, const CkxFile*> opened;
    for (int id : local->GetFileIds())
        if (const CkxFile* f = local->FindFile(id)) opened[f->GetFileName()] = f;
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nFileType, KXFK_IMAGE);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nWidth, 60);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nHeight, 120);
    for (const char* plain : {"still.webp", "notes.pdf"}) {
        SCOPED_TRACE(plain);
        const CkxFile* f = opened[plain];
        EXPECT_EQ(f->m_nFileType, KXFK_FILE);
        EXPECT_EQ(f->m_nWidth, 0);
        EXPECT_FALSE(f->IsMemMicroValid());
        EXPECT_EQ(f->m_nSize, static_cast<int>(bytes.at(plain).size()));
        EXPECT_EQ(f->FormatEncFormat(), "");
    }
    b->FileList()->SetBrowseMode(CkxwFileListView::MODE_MICRO100);
    guitest::Screenshot(b, "studio_upload_oriented_filelist");

    // Uploads go to the top folder, where everyone may create files.
    for (int id : local->GetFileIds()) {
        CkxFileX fresh;
        fresh.CreateObj(*local->FindFile(id));
        fresh.GetObj()->m_nLocDirID = Id("folder.top");
        local->UpdateFile(fresh);
    }
    PromptRecorder prompts;
    b->FileList()->SelectAllItem();
    b->OnCommand(CxFileBrowser::BTN_UPLOAD);
    ASSERT_TRUE(PumpUntil([&] { return !b->FileCommands().SendQueue().IsBusy() &&
                                       b->FileCommands().SendQueue().SentNames().size() == 3; }, 20s));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定上载文件到服务器吗"});

    // The catalogue's rows, as a folder document lists them.
    CvClientDoc* top = app->OpenFolderDoc(*link, Id("folder.top"));
    std::map<std::string, CkxFile> stored;
    ASSERT_TRUE(PumpUntil([&] {
        stored.clear();
        for (int id : top->GetFileIds())
            if (const CkxFile* f = top->FindFile(id); f && bytes.count(f->GetFileName())) stored.emplace(f->GetFileName(), *f);
        return stored.size() == 3;
    }, 20s));
    for (const auto& [name, content] : bytes) {
        SCOPED_TRACE(name);
        const CkxFile& f = stored.at(name);
        // Every file's bytes are stored exactly as they were read.
        EXPECT_EQ(Stored("Whole", f.GetIDName()), content);
        const std::string micro = Stored("Micro", f.GetMicroIDName());
        if (name != "IMG_0001.jpg") {
            EXPECT_EQ(f.m_nFileType, KXFK_FILE);
            EXPECT_EQ(f.m_nWidth, 0);
            EXPECT_EQ(f.m_nHeight, 0);
            EXPECT_EQ(micro, "");
            continue;
        }
        EXPECT_EQ(f.m_nFileType, KXFK_IMAGE);
        EXPECT_EQ(f.m_nWidth, 60);
        EXPECT_EQ(f.m_nHeight, 120);
        CxImage thumb;
        ASSERT_TRUE(thumb.Decode(reinterpret_cast<const uint8_t*>(micro.data()), micro.size())) << thumb.GetLastError();
        const unsigned S = CkxFileImage::MicroSide(60, 120);
        ASSERT_EQ(thumb.GetWidth(), S);
        const auto at = CkxImageTool::MicroGeometry(60, 120, S);
        const struct {
            int x, y;
            uint32_t want;
        } spots[] = {{at.x + at.w / 4, at.y + at.h / 4, turned.tl},
                     {at.x + 3 * at.w / 4, at.y + at.h / 4, turned.tr},
                     {at.x + at.w / 4, at.y + 3 * at.h / 4, turned.bl},
                     {at.x + 3 * at.w / 4, at.y + 3 * at.h / 4, turned.br}};
        for (const auto& s : spots) {
            const CxPixel p = thumb.GetPixelColor(s.x, static_cast<long>(S) - 1 - s.y);
            EXPECT_EQ(guitest::NearestQuarterColour(p.r, p.g, p.b), s.want) << s.x << ", " << s.y;
        }
    }
}
