// The capture station on the studio server, logged on as alice: the folder mirrored by the scan
// thread (new files, files outside the picture formats, "db" files, vanished files, files still
// being written), the pop-ups and modes, delete and clear, and uploads through the batch note:
// what the server stores, when rows and files go, a store that fails on the server, a file that
// became unreadable, and Cancel.
#include "studio/support/StudioTestKit.h"

#include "capture/CWndCaptureFileCtrl.h"
#include "capture/CWndCaptureFileList.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/Screenshot.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFamilyFileListCtrl.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QMenu>

#include <filesystem>
#include <fstream>
#include <map>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class Capture : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        window = std::make_unique<CWndCaptureFileCtrl>(link.get());
        window->SetLocalStorage(&TheLocalStorage());
        window->resize(640, 260);
        window->show();
        ASSERT_TRUE(window->IsScanning());
        ASSERT_FALSE(window->ToolButton(CWndCaptureFileCtrl::BTN_UPLOAD)->isEnabled());
        seeded = StoredWholes();
    }
    void TearDown() override {
        window.reset();
        LoggedOnTest::TearDown();
    }
    CWndCaptureFileList& List() { return *window->FileList(); }
    static std::string Dir() { return TheLocalStorage().GetCaptureDir(); }
    // Writes a capture file and waits for its row.
    std::string Put(const std::string& name, const std::string& bytes) {
        WriteAll(Dir() + "/" + name, bytes);
        EXPECT_TRUE(PumpUntil([&] { return List().IsFileValid(name); }, 5s)) << name;
        return Dir() + "/" + name;
    }
    int RowOf(const std::string& name) {
        for (int r = 0; r < List().GetItemCount(); ++r)
            if (List().GetItemFileName(r) == name) return r;
        return -1;
    }
    void SelectOnly(const std::vector<std::string>& names) {
        List().GetCurrentView()->clearSelection();
        for (const std::string& n : names) List().SelectItem(RowOf(n));
    }
    // The stored whole files of the server, by content.
    std::vector<std::string> StoredWholes() {
        std::vector<std::string> out;
        // Only what the test stored: the seeded files are there from the start.
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_regular_file() && e.path().parent_path().filename() == "Whole" &&
                e.path().parent_path().parent_path().filename() == "Image")
                out.push_back(ReadAll(e.path().string()));
        std::vector<std::string> added;
        for (const std::string& b : out)
            if (std::find(seeded.begin(), seeded.end(), b) == seeded.end()) added.push_back(b);
        return added;
    }
    std::string WholeFolder() {
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_directory() && e.path().filename() == "Whole" && e.path().parent_path().filename() == "Image")
                return e.path().string();
        return {};
    }
    // Runs the upload command through the batch note: the folder and remark written into every
    // row, then OK (or Cancel).
    void UploadWithNote(int folder, const std::string& remark, int button = IDOK) {
        ModalDriver driver;
        driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
            EXPECT_EQ(d->windowTitle(), CWndCaptureFileCtrl::kUploadCaption);
            EXPECT_EQ(d->BaseGrid()->GetItemCount(), d->m_FileList.GetCount());
            // As the dialog's folder choice and uniform note do (its own tests drive those).
            for (::POSITION p = d->m_FileList.GetHeadPosition(); p;)
                if (CkxFileX* h = d->m_FileList.GetNext(p); h && h->GetObj()) {
                    h->GetObj()->m_nLocDirID = folder;
                    h->GetObj()->m_strRemark = remark;
                }
            EXPECT_TRUE(ClickId(d, button));
        });
        window->OnCommand(CWndCaptureFileCtrl::ID_UPLOAD);
        EXPECT_TRUE(driver.Done());
    }

    std::unique_ptr<CWndCaptureFileCtrl> window;
    std::vector<std::string> seeded;
};

TEST_F(Capture, TheListMirrorsTheFolder) {
    const std::string a = Put("a.png", PngBytes(30, 20));
    // A "db" file never gets a row, whatever it holds.
    WriteAll(Dir() + "/Thumbs.db", PngBytes(8, 8));
    const std::string b = Put("b.png", PngBytes(12, 34));
    EXPECT_FALSE(List().IsFileValid("Thumbs.db"));
    ASSERT_EQ(List().GetItemCount(), 2);
    const int row = RowOf("b.png");
    EXPECT_EQ(List().GetItemText(row, 1), std::to_string(PngBytes(12, 34).size()) + " 字节");
    EXPECT_EQ(List().GetItemText(row, 2), "12");
    EXPECT_EQ(List().GetItemText(row, 3), "34");
    EXPECT_FALSE(List().GetItemText(row, 4).empty());
    EXPECT_LT(List().GetItemFileID(row), -1); // a local id
    EXPECT_EQ(List().GetShowMode(), CkxwFileListView::MODE_REPORT);
    guitest::Screenshot(window.get(), "studio_capture_details");
    window->OnCommand(CWndCaptureFileCtrl::BTN_MICRO);
    EXPECT_EQ(List().GetShowMode(), CkxwFileListView::MODE_MICRO50);
    guitest::Screenshot(window.get(), "studio_capture_thumbnails");

    // A file deleted outside the program loses its row; the last one empties the list.
    fs::remove(a);
    EXPECT_TRUE(PumpUntil([&] { return !List().IsFileValid("a.png"); }, 5s));
    SelectOnly({"b.png"});
    EXPECT_TRUE(window->ToolButton(CWndCaptureFileCtrl::BTN_UPLOAD)->isEnabled());
    fs::remove(b);
    EXPECT_TRUE(PumpUntil([&] { return List().GetItemCount() == 0; }, 5s));
    EXPECT_FALSE(window->ToolButton(CWndCaptureFileCtrl::BTN_UPLOAD)->isEnabled());
    EXPECT_EQ(window->FindFile(-2), nullptr);
}

TEST_F(Capture, AFileStillBeingWrittenAppearsOnlyWhenComplete) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "JPEG"));
    }
    const std::string whole = jpeg.toStdString();
    WriteAll(Dir() + "/half.jpg", whole.substr(0, whole.size() / 2));
    Put("marker.png", PngBytes(4, 4)); // a pass has seen the half file
    EXPECT_FALSE(List().IsFileValid("half.jpg"));
    WriteAll(Dir() + "/half.jpg", whole);
    ASSERT_TRUE(PumpUntil([&] { return List().IsFileValid("half.jpg"); }, 5s));
    EXPECT_EQ(List().GetItemText(RowOf("half.jpg"), 2), "64");
}

TEST_F(Capture, FilesOutsideThePictureFormatsArePlainRows) {
    // A 1 x 1 lossless WebP and an SVG drawing: formats the image layer does not read get a row
    // of their own as plain files (no size in pixels), never a silent gap in the list.
    const std::map<std::string, std::string> files = {
        {"phone.webp", std::string("RIFF\x1a\x00\x00\x00WEBPVP8L\x0d\x00\x00\x00\x2f\x00\x00\x00\x10\x07\x10\x11\x11\x88\x88\xfe\x07\x00", 34)},
        {"logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"/>"}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        Put(name, bytes);
        const int row = RowOf(name);
        EXPECT_EQ(List().GetItemText(row, 1), std::to_string(bytes.size()) + " 字节");
        EXPECT_EQ(List().GetItemText(row, 2), "0");
        const CkxFileImage* f = window->FindFile(List().GetItemFileID(row));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->m_nFileType, KXFK_FILE);
        EXPECT_FALSE(f->IsMemMicroValid());
    }
}

TEST_F(Capture, PopupsFollowTheSelectionAndShowTheMode) {
    Put("a.png", PngBytes(10, 10));
    Put("b.png", PngBytes(10, 10));
    struct Row {
        std::vector<std::string> selected;
        int popup;
        std::vector<int> ids;
    };
    const std::vector<int> rows = {33037, 33038, 33100, 33028, 33123, 33044, 33045, 33043, 33040};
    const Row cases[] = {{{}, 0, {33123, 33045, 33043, 33040}}, {{"a.png"}, 1, rows}, {{"a.png", "b.png"}, 2, rows}};
    for (const Row& c : cases) {
        SCOPED_TRACE(c.popup);
        SelectOnly(c.selected);
        EXPECT_EQ(window->PopupForSelection(), c.popup);
        std::unique_ptr<PopupMenu> menu(window->BuildPopup(c.popup));
        std::vector<int> ids;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) ids.push_back(a->data().toInt());
        EXPECT_EQ(ids, c.ids);
        EXPECT_TRUE(menu->findChild<QAction*>("33043")->isChecked());
        EXPECT_FALSE(menu->findChild<QAction*>("33040")->isChecked());
    }
    // The right click opens the pop-up; its thumbnail command switches the mode.
    ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(ClickMenuId(m, CWndCaptureFileCtrl::ID_MICRO)); });
    List().ItemRightClicked(0, window->mapToGlobal(QPoint(40, 60)));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(List().GetShowMode(), CkxwFileListView::MODE_MICRO50);
    std::unique_ptr<PopupMenu> menu(window->BuildPopup(CWndCaptureFileCtrl::POPUP_NONE));
    EXPECT_TRUE(menu->findChild<QAction*>("33040")->isChecked());

    // One row selected: its details line.
    SelectOnly({"a.png"});
    EXPECT_EQ(window->LastShownId(), List().GetItemFileID(RowOf("a.png")));
    EXPECT_EQ(window->LastDetails().rfind("捕获文件\"a.png\"    [", 0), 0u);
    EXPECT_NE(window->LastDetails().find("目录＝"), std::string::npos);
}

TEST_F(Capture, DeleteAndClearAskFirst) {
    PromptRecorder prompts;
    const std::string a = Put("a.png", PngBytes(10, 10));
    const std::string b = Put("b.png", PngBytes(10, 10));
    const std::string c = Put("c.png", PngBytes(10, 10));
    SelectOnly({"a.png", "b.png"});
    prompts.Answer(AnswerCancel);
    window->OnCommand(CWndCaptureFileCtrl::ID_DELETE);
    EXPECT_EQ(prompts.LastText(), CWndCaptureFileCtrl::kDeleteQuestion);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(List().GetItemCount(), 3);
    prompts.Answer(AnswerOk);
    window->OnCommand(CWndCaptureFileCtrl::ID_DELETE);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(List().GetItemCount(), 1);
    prompts.Answer(AnswerCancel);
    window->OnCommand(CWndCaptureFileCtrl::ID_CLEAR);
    EXPECT_EQ(prompts.LastText(), CWndCaptureFileCtrl::kClearQuestion);
    EXPECT_TRUE(fs::exists(c));
    prompts.Answer(AnswerOk);
    window->OnCommand(CWndCaptureFileCtrl::ID_CLEAR);
    EXPECT_FALSE(fs::exists(c));
    EXPECT_EQ(List().GetItemCount(), 0);
    PumpFor(300ms);
    EXPECT_EQ(List().GetItemCount(), 0);
}

TEST_F(Capture, UploadedFilesAreStoredAndLeaveOnlyWithTheirAnswers) {
    PromptRecorder prompts;
    SlotWatch watch(*link, {kSlotCapture});
    const std::vector<std::string> names = {"a.png", "b.png", "c.png"};
    std::map<std::string, std::string> bytes;
    for (size_t i = 0; i < names.size(); ++i) {
        bytes[names[i]] = PngBytes(10 + static_cast<int>(i), 20);
        Put(names[i], bytes[names[i]]);
    }
    SelectOnly(names);
    std::set<int> localIds;
    for (const std::string& n : names) localIds.insert(List().GetItemFileID(RowOf(n)));

    // Cancel: nothing goes; the families are none.
    UploadWithNote(Id("folder.low"), "扫描", IDCANCEL);
    for (const std::string& n : names) EXPECT_EQ(window->FindFile(List().GetItemFileID(RowOf(n)))->GetFamilyID(), -1);

    const int folder = Id("folder.low");
    UploadWithNote(folder, "扫描");
    // Rows and files stay until each answer comes.
    EXPECT_EQ(List().GetItemCount(), 3);
    ASSERT_TRUE(PumpUntil([&] { return List().GetItemCount() == 0; }, 20s));
    for (const std::string& n : names) EXPECT_FALSE(fs::exists(Dir() + "/" + n));
    // Each answer named its row's local id, and no other answer came (Cancel sent nothing).
    std::set<int> answered;
    for (const Told& t : watch.Window(kSlotCapture).told) {
        EXPECT_EQ(t.code, kNoticeRemoved);
        answered.insert(t.id);
    }
    EXPECT_EQ(answered, localIds);
    EXPECT_EQ(watch.Window(kSlotCapture).told.size(), 3u);
    // Exactly the captured bytes are stored, in rows of the chosen folder with the note.
    std::vector<std::string> stored = StoredWholes();
    std::sort(stored.begin(), stored.end());
    std::vector<std::string> captured;
    for (auto& [n, b] : bytes) captured.push_back(b);
    std::sort(captured.begin(), captured.end());
    EXPECT_EQ(stored, captured);
    CvClientDoc* doc = app->OpenFolderDoc(*link, folder);
    const std::set<int> ids = WaitForFiles(doc, 3);
    int noted = 0;
    for (int id : ids) {
        const CkxFile* f = doc->FindFile(id);
        if (f && f->m_strRemark == "扫描" && f->m_nLocDirID == folder) ++noted;
    }
    EXPECT_EQ(noted, 3);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Capture, AStoreThatFailsOnTheServerKeepsTheRowAndTheFile) {
    const std::string whole = WholeFolder();
    ASSERT_FALSE(whole.empty());
    const std::string kept = whole + ".kept";
    fs::rename(whole, kept);
    WriteAll(whole, "not a folder");
    const std::string a = Put("a.png", PngBytes(16, 16));
    SelectOnly({"a.png"});
    UploadWithNote(Id("folder.low"), "失败");
    EXPECT_FALSE(PumpUntil([&] { return List().GetItemCount() == 0; }, 2s));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(List().IsFileValid("a.png"));

    fs::remove(whole);
    fs::rename(kept, whole);
    SelectOnly({"a.png"});
    UploadWithNote(Id("folder.low"), "再次");
    ASSERT_TRUE(PumpUntil([&] { return List().GetItemCount() == 0; }, 20s));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(StoredWholes().size(), 1u);
}

TEST_F(Capture, AFileThatBecameUnreadableIsNotSentAndIsNamed) {
    PromptRecorder prompts;
    SlotWatch watch(*link, {kSlotCapture});
    Put("good.png", PngBytes(10, 10));
    const std::string bad = Put("bad.png", PngBytes(10, 10));
    // The row stays while the file no longer holds an image.
    WriteAll(bad, "");
    SelectOnly({"good.png", "bad.png"});
    UploadWithNote(Id("folder.low"), "一半");
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.LastText(), std::string(CWndCaptureFileCtrl::kUnreadable) + "\nbad.png");
    EXPECT_EQ(prompts.Requests().front().icon, PromptWarning);
    ASSERT_TRUE(PumpUntil([&] { return !List().IsFileValid("good.png"); }, 20s));
    EXPECT_TRUE(List().IsFileValid("bad.png"));
    EXPECT_TRUE(fs::exists(bad));
    EXPECT_EQ(watch.Window(kSlotCapture).told.size(), 1u);
    EXPECT_EQ(StoredWholes().size(), 1u);
}

} // namespace
