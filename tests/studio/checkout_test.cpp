// The checkout window on the studio server: check-outs in each open mode write the copy from the
// requesting document's content and start the opener once; the watch notices edits and vanished
// copies; check-ins send an edited copy's content (type 29) or end the checkout plainly (type
// 28); checkouts that end elsewhere keep edited copies and say where.
#include "studio/support/StudioTestKit.h"

#include "checkout/CWndCheckoutFileCtrl.h"
#include "checkout/CWndCheckoutFileList.h"

#include "base/KxRegistry.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "support/gui/Screenshot.h"

#include <QAction>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

using List = CWndCheckoutFileList;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Sets the file's last write to the moment plus `seconds`.
void SetWriteTime(const std::string& path, const COleDateTime& moment, int seconds) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = moment.ToTimeT() + seconds;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class Checkout : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        // Openers that only write down how they were called.
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        for (const char* program : {CkxwFileSystem::kOpenProgram, CkxwFileSystem::kOpenWithProgram,
                                    CkxwFileSystem::kTintworkProgram}) {
            const std::string script = m_bin.file(program);
            WriteAll(script, "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> '" + m_bin.file("opened.log") + "'\n");
            fs::permissions(script, fs::perms::owner_all);
        }
        ::setenv("PATH", (m_bin.str() + ":" + m_oldPath).c_str(), 1);
        RegistryStore().WriteDword(CLocalStorage::kCheckoutKey, CWndCheckoutFileCtrl::kWatchPeriodValue, 20);
        wnd = std::make_unique<CWndCheckoutFileCtrl>(*link);
        wnd->resize(700, 220);
        wnd->show();
        mid = app->OpenFolderDoc(*link, Id("folder.mid"));
        ASSERT_EQ(WaitForFiles(mid, 3).size(), 3u);
    }
    void TearDown() override {
        wnd.reset();
        ::setenv("PATH", m_oldPath.c_str(), 1);
        LoggedOnTest::TearDown();
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> out;
        std::ifstream in(m_bin.file("opened.log"));
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    void ClearOpened() { fs::remove(m_bin.file("opened.log")); }
    List& L() const { return *wnd->List(); }
    int Row(int fileId) const { return L().GetFileItem(fileId); }
    std::string Cell(int fileId, int column) const { return L().GetItemText(Row(fileId), column); }
    std::string Name(int fileId) const { return L().GetFileIDName(fileId); }
    std::string CopyPath(int fileId) const { return TheLocalStorage().CheckoutPath(Name(fileId)); }
    // The document's cached content of the file (fetched first when needed).
    std::string Cached(CvClientDoc* doc, int fileId) {
        CkxFile* f = doc->FindFile(fileId);
        if (!f->Is_WholeState_Valid()) {
            EXPECT_EQ(link->SendWholeFileRequest(*f, doc->GetDocID()), 1);
            EXPECT_TRUE(PumpUntil([&] { return doc->FindFile(fileId)->Is_WholeState_Valid(); }));
        }
        CkxBuf buf;
        EXPECT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc->GetDocID(), f->GetIDName(), buf));
        return std::string(buf.View());
    }
    // Checks the file out from the middle folder's document in the mode and waits for its row.
    void CheckOut(int fileId, int mode, CvClientDoc* doc = nullptr) {
        doc = doc ? doc : mid;
        Cached(doc, fileId);
        const CkxFile* f = doc->FindFile(fileId);
        const CServerLink::CheckoutSpec spec{fileId, f->m_nStorageID, f->m_strTitle, f->m_strExName, doc->GetDocID()};
        const int sent = mode == KXCO_OPEN_DEF    ? link->SendCheckoutOpenDefRequest(spec)
                         : mode == KXCO_OPEN_WAY  ? link->SendCheckoutOpenWayRequest(spec)
                         : mode == KXCO_OPEN_TINTWORK ? link->SendCheckoutOpenInEditorRequest(spec)
                                                      : link->SendCheckoutOnlyRequest(spec);
        ASSERT_EQ(sent, 1);
        ASSERT_TRUE(PumpUntil([&] { return Row(fileId) >= 0; }));
    }
    void Select(std::initializer_list<int> fileIds) {
        L().GetCurrentView()->clearSelection();
        for (int id : fileIds) L().SelectItem(Row(id));
    }
    // A copy that holds an edit: other bytes, written a minute after the checkout moment.
    std::string Edit(int fileId, int w = 50, int h = 40) {
        const std::string bytes = PngBytes(w, h);
        WriteAll(CopyPath(fileId), bytes);
        SetWriteTime(CopyPath(fileId), TheLocalStorage().GetCheckoutTime(Name(fileId)), 60);
        return bytes;
    }
    // The stored record and content of the file, as the other workstation reads them.
    std::pair<CkxFile::_COM, std::string> Stored(srvtest::TestClient& other, int fileId) {
        CkxFile::_COM rec{};
        rec.nID = fileId;
        EXPECT_TRUE(other.SendRecord(kMsgWholeFile, kSubNone, rec));
        auto answer = other.Wait(kMsgWholeFile, -1, 10s);
        EXPECT_TRUE(answer && answer->pieces.size() >= 2);
        if (!answer || answer->pieces.size() < 2) return {};
        CkxFile::_COM got{};
        std::memcpy(&got, answer->pieces[0].data(), std::min(sizeof got, answer->pieces[0].size()));
        return {got, answer->pieces[1]};
    }

    std::unique_ptr<CWndCheckoutFileCtrl> wnd;
    CvClientDoc* mid = nullptr;

private:
    TempDir m_bin;
    std::string m_oldPath;
};

TEST_F(Checkout, EachModeWritesTheCopyAndOpensItOnce) {
    const int fileD = Id("file.d");
    struct Case {
        int mode;
        const char* opener; // null: nothing opens
    };
    const Case cases[] = {{KXCO_OPEN_DEF, "xdg-open"}, {KXCO_OPEN_WAY, "mimeopen --ask"},
                          {KXCO_OPEN_TINTWORK, "Tintwork"}, {KXCO_ONLY, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ClearOpened();
        CheckOut(fileD, c.mode);
        const std::string name = Name(fileD);
        EXPECT_EQ(name, std::to_string(fileD) + ".png");
        EXPECT_EQ(ReadAll(CopyPath(fileD)), Cached(mid, fileD));
        EXPECT_NE(static_cast<DATE>(TheLocalStorage().GetCheckoutTime(name)), 0.0);
        EXPECT_EQ(Cell(fileD, List::COL_NAME), "图d.png");
        EXPECT_EQ(Cell(fileD, List::COL_EXISTS), "√");
        EXPECT_EQ(Cell(fileD, List::COL_MODIFIED), "");
        EXPECT_FALSE(Cell(fileD, List::COL_CHECKOUT).empty());
        if (c.opener) {
            ASSERT_TRUE(PumpUntil([&] { return !Opened().empty(); }));
            PumpFor(100ms);
            EXPECT_EQ(Opened(), std::vector<std::string>{std::string(c.opener) + " " + CopyPath(fileD)});
        } else {
            PumpFor(200ms);
            EXPECT_TRUE(Opened().empty());
        }
        // An unedited copy checks in at once and goes with its row.
        Select({fileD});
        kx::PromptRecorder prompts;
        wnd->OnCommand(CWndCheckoutFileCtrl::ID_CHECKIN);
        ASSERT_TRUE(PumpUntil([&] { return Row(fileD) < 0; }));
        EXPECT_EQ(prompts.Count(), 0u);
        EXPECT_FALSE(fs::exists(TheLocalStorage().CheckoutPath(name)));
    }

    // Another user's check-out adds no row.
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    CkxCheckout other;
    other.m_nFileID = Id("file.a");
    other.m_strTitle = "图a";
    other.m_strExt = "png";
    ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, other.GetComData()));
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().coIsFileCheckouted(Id("file.a")) != 0; }));
    PumpFor(400ms);
    EXPECT_EQ(L().GetItemCount(), 0);
}

TEST_F(Checkout, WithoutAWorkingOpenerTheCopyIsNamedInAMessage) {
    const int fileD = Id("file.d");
    struct Case {
        const char* what;
        const char* opener; // the script on PATH as "xdg-open"; null: none
    };
    const Case cases[] = {{"an opener that finds no program", "#!/bin/sh\nexit 3\n"}, {"no opener at all", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir bin;
        if (c.opener) {
            WriteAll(bin.file(CkxwFileSystem::kOpenProgram), c.opener);
            fs::permissions(bin.file(CkxwFileSystem::kOpenProgram), fs::perms::owner_all);
        }
        ScopedEnv path("PATH", bin.str());
        kx::PromptRecorder prompts;
        // "默认打开" at the check-out, then from the window's menu: each says what it tried.
        CheckOut(fileD, KXCO_OPEN_DEF);
        const std::string copy = CopyPath(fileD);
        ASSERT_TRUE(fs::is_regular_file(copy));
        const std::string said = CkxwFileSystem::NoProgramText(copy, CkxwFileSystem::kOpenProgram);
        ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{said});
        prompts.Clear();
        Select({fileD});
        wnd->OnCommand(CWndCheckoutFileCtrl::ID_OPEN_DEF);
        ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{said});
        guitest::Screenshot(wnd.get(), std::string("checkout_no_opener_") + (c.opener ? "failing" : "missing"));
        prompts.Clear();
        wnd->OnCommand(CWndCheckoutFileCtrl::ID_CHECKIN);
        ASSERT_TRUE(PumpUntil([&] { return Row(fileD) < 0; }));
    }
}

TEST_F(Checkout, TheWatchNoticesEditsAndVanishedCopies) {
    const int fileD = Id("file.d");
    CheckOut(fileD, KXCO_ONLY);
    const std::string name = Name(fileD), path = CopyPath(fileD);
    // Written three seconds after the check-out: no edit.
    SetWriteTime(path, TheLocalStorage().GetCheckoutTime(name), 3);
    PumpFor(500ms);
    EXPECT_EQ(Cell(fileD, List::COL_MODIFIED), "");
    EXPECT_EQ(wnd->ReloadCount(), 0);
    // A minute later: an edit, noted once.
    Edit(fileD, 33, 21);
    ASSERT_TRUE(PumpUntil([&] { return Cell(fileD, List::COL_MODIFIED) == "√"; }));
    EXPECT_FALSE(Cell(fileD, List::COL_MODIFY).empty());
    const COleDateTime noted = TheLocalStorage().GetModifyTime(name);
    EXPECT_NE(static_cast<DATE>(noted), 0.0);
    PumpFor(500ms);
    EXPECT_EQ(wnd->ReloadCount(), 1);
    EXPECT_EQ(TheLocalStorage().GetModifyTime(name), noted);
    EXPECT_EQ(L().GetFile(fileD)->GetObj()->m_nWidth, 33);
    // Gone and back.
    const std::string bytes = ReadAll(path);
    fs::remove(path);
    ASSERT_TRUE(PumpUntil([&] { return Cell(fileD, List::COL_EXISTS) == "×"; }));
    {
        // A vanished copy is named as missing; no program is asked to open it.
        kx::PromptRecorder prompts;
        ClearOpened();
        Select({fileD});
        wnd->OnCommand(CWndCheckoutFileCtrl::ID_OPEN_DEF);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CkxwFileSystem::NoFileText(path)});
        EXPECT_TRUE(Opened().empty());
    }
    WriteAll(path, bytes);
    ASSERT_TRUE(PumpUntil([&] { return Cell(fileD, List::COL_EXISTS) == "√"; }));
}

TEST_F(Checkout, CheckInSendsEditedCopiesAndEndsTheOthersAtOnce) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    const int fileD = Id("file.d"), fileE = Id("file.e");
    // A second document that fetched the old content of file.d.
    CvClientDoc* second = app->ShowFileById(*link, fileD);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return second->FindFile(fileD) != nullptr; }));
    const std::string oldD = Cached(second, fileD);
    const std::string oldE = Cached(mid, fileE);

    struct Case {
        const char* name;
        bool edited, present;
        int answer;      // to the question (edited copies only)
        bool ends;       // the checkout ends
        bool newContent; // the server then holds the copy's bytes
    };
    const Case cases[] = {
        {"edited, Cancel", true, true, AnswerCancel, false, false},
        {"edited, OK", true, true, AnswerOk, true, true},
        {"unedited", false, true, AnswerOk, true, false},
        {"missing copy", false, false, AnswerOk, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // file.d: edited, first kept, then sent; file.e: ended plainly.
        const int id = c.edited ? fileD : fileE;
        if (Row(id) < 0) CheckOut(id, KXCO_ONLY);
        std::string edited;
        if (c.edited) edited = Edit(id);
        if (!c.present) fs::remove(CopyPath(id));
        const std::string path = CopyPath(id);
        Select({id});
        PromptRecorder prompts;
        prompts.Answer(c.answer);
        wnd->OnCommand(CWndCheckoutFileCtrl::ID_CHECKIN);
        EXPECT_EQ(prompts.Count(), c.edited ? 1u : 0u);
        if (c.edited)
            EXPECT_EQ(prompts.LastText(), "文件<" + std::to_string(id) + ".png>已经修改!\n确定签入文件并保存修改的文件到服务器吗?");
        if (!c.ends) {
            PumpFor(400ms);
            EXPECT_GE(Row(id), 0);
            EXPECT_TRUE(fs::exists(path));
            EXPECT_TRUE(KX_KXXXX().coIsFileCheckouted(id));
            continue;
        }
        ASSERT_TRUE(PumpUntil([&] { return Row(id) < 0; }));
        EXPECT_FALSE(fs::exists(path));
        const auto [rec, content] = Stored(*su, id);
        if (c.newContent) {
            EXPECT_EQ(content, edited);
            EXPECT_EQ(rec.nSize, static_cast<int>(edited.size()));
            EXPECT_EQ(rec.nWidth, 50);
            EXPECT_EQ(rec.nHeight, 40);
            // The second document dropped its old copy and fetches the new content.
            ASSERT_TRUE(PumpUntil([&] { return !second->FindFile(fileD)->Is_WholeState_Valid(); }));
            EXPECT_EQ(Cached(second, fileD), edited);
        } else {
            EXPECT_EQ(content, oldE);
        }
        EXPECT_FALSE(KX_KXXXX().coIsFileCheckouted(id));
    }
    EXPECT_NE(oldD, Cached(second, fileD));
}

TEST_F(Checkout, AnEditedCopyOutlivesACheckoutEndedElsewhere) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    const int fileD = Id("file.d"), fileE = Id("file.e");
    CheckOut(fileD, KXCO_ONLY);
    CheckOut(fileE, KXCO_ONLY);
    const std::string pathD = CopyPath(fileD), pathE = CopyPath(fileE);
    const std::string editedE = Edit(fileE, 44, 22);
    Edit(fileD);

    // The other workstation checks file.e in (an administrator may): the row goes, the edited
    // copy stays, one warning says where.
    PromptRecorder prompts;
    CkxCheckout in;
    in.m_nFileID = fileE;
    ASSERT_TRUE(su->SendRecord(kMsgCheckIn, kSubNone, in.GetComData()));
    ASSERT_TRUE(PumpUntil([&] { return Row(fileE) < 0; }));
    EXPECT_TRUE(fs::exists(pathE));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"文件<图e.png>的签出已经结束,修改过的映像保留在" + pathE});

    // The other workstation deletes file.d: the same.
    prompts.Clear();
    CkxFile::_COM_DelFile del{};
    del.nID = static_cast<uint32_t>(fileD);
    del.nDirID = Id("folder.mid");
    ASSERT_TRUE(SendPieces(*su, kMsgFile, kSubDelete, {Bytes(del)}));
    ASSERT_TRUE(PumpUntil([&] { return Row(fileD) < 0; }));
    EXPECT_TRUE(fs::exists(pathD));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"文件<图d.png>的签出已经结束,修改过的映像保留在" + pathD});

    // Checking file.e out again keeps the edited copy under the next free name and says so.
    prompts.Clear();
    CheckOut(fileE, KXCO_ONLY);
    const std::string kept = TheLocalStorage().CheckoutPath(std::to_string(fileE) + "~1.png");
    EXPECT_EQ(ReadAll(kept), editedE);
    EXPECT_EQ(ReadAll(pathE), Cached(mid, fileE));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"文件<图e.png>原有修改过的映像保留为" + kept});
}

TEST_F(Checkout, ReloadsMenusDetailsAndAMissingDocument) {
    const int fileD = Id("file.d"), fileE = Id("file.e");
    CheckOut(fileD, KXCO_ONLY);
    // A requesting document that is gone: no copy, still a row, shown as missing.
    const CkxFile* e = mid->FindFile(fileE);
    ASSERT_EQ(link->SendCheckoutOnlyRequest({fileE, e->m_nStorageID, e->m_strTitle, e->m_strExName, 99999}), 1);
    ASSERT_TRUE(PumpUntil([&] { return Row(fileE) >= 0; }));
    EXPECT_EQ(Cell(fileE, List::COL_EXISTS), "×");
    EXPECT_FALSE(fs::exists(CopyPath(fileE)));

    // Two reloads show each own record once.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(link->SendCheckedOutListRequest(), 1);
        ASSERT_TRUE(PumpUntil([&] { return L().GetItemCount() == 2; }));
        PumpFor(200ms);
        EXPECT_EQ(L().GetItemCount(), 2);
    }
    EXPECT_EQ(Cell(fileD, List::COL_EXISTS), "√");
    EXPECT_EQ(Cell(fileE, List::COL_EXISTS), "×");

    // Popups by the selection, with the presentation checked.
    struct Popup {
        std::vector<int> rows;
        int which;
        size_t commands;
    };
    for (const Popup& p : {Popup{{}, CWndCheckoutFileCtrl::POPUP_NONE, 3}, Popup{{fileD}, CWndCheckoutFileCtrl::POPUP_ONE, 7},
                           Popup{{fileD, fileE}, CWndCheckoutFileCtrl::POPUP_SEVERAL, 7}}) {
        L().GetCurrentView()->clearSelection();
        for (int id : p.rows) L().SelectItem(Row(id));
        EXPECT_EQ(wnd->Button(CWndCheckoutFileCtrl::IDC_CHECKIN)->isEnabled(), !p.rows.empty());
        for (int mode : {CWndCheckoutFileCtrl::ID_MICRO, CWndCheckoutFileCtrl::ID_DETAILS}) {
            wnd->OnCommand(mode);
            auto menu = wnd->MakePopup();
            EXPECT_EQ(menu->objectName().toInt(), p.which);
            size_t commands = 0;
            for (QAction* a : menu->actions()) commands += a->isSeparator() ? 0 : 1;
            EXPECT_EQ(commands, p.commands);
            auto* details = menu->findChild<QAction*>(QString::number(CWndCheckoutFileCtrl::ID_DETAILS));
            auto* micro = menu->findChild<QAction*>(QString::number(CWndCheckoutFileCtrl::ID_MICRO));
            ASSERT_TRUE(details && micro);
            EXPECT_EQ(details->isChecked(), mode == CWndCheckoutFileCtrl::ID_DETAILS);
            EXPECT_EQ(micro->isChecked(), mode == CWndCheckoutFileCtrl::ID_MICRO);
        }
    }

    // The details line of a row.
    Select({fileD});
    L().SetLastSelItem(Row(fileD));
    EXPECT_EQ(CWndCheckoutFileCtrl::DetailsText(*L().GetFile(fileD)->GetObj()).rfind("签出映像\"图d.png\"    [", 0), 0u);

    // Three rows (the third as the work bar adds one) for people to look at.
    CkxFileImage third;
    third.m_nID = 424242;
    third.m_strTitle = "手工";
    third.m_strExName = "png";
    auto* copy = new CkxFileImage(third);
    wnd->AddFile(copy);
    EXPECT_EQ(L().GetItemCount(), 3);
    guitest::Screenshot(wnd.get(), "studio_checkout_window");
    wnd->OnCommand(CWndCheckoutFileCtrl::ID_MICRO);
    EXPECT_TRUE(L().IsMode_Micro50());
    guitest::Screenshot(wnd.get(), "studio_checkout_window_thumbnails");
}

} // namespace
