// The file information dialog: its OK checks in order with their messages and focus, its modes
// and family part, the format choice, and the information bar's modify command end to end
// (the catalogue keeps the file's family and extended values).
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgFileInfo.h"
#include "infobar/CFileInfoBar.h"

#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace studiotest;
using namespace kx;

namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

class FileInfo : public LoggedOnTest {
protected:
    // A copy of file.d as the middle folder's document holds it.
    CkxFileImage FileD() {
        CvClientDoc* mid = app->OpenFolderDoc(*link, Id("folder.mid"));
        EXPECT_EQ(WaitForFiles(mid, 3).size(), 3u);
        CkxFileImage f;
        static_cast<CkxFile&>(f) = *mid->FindFile(Id("file.d"));
        return f;
    }
    template <class T>
    static T* Item(Dialog* dlg, int id) {
        return dlg->GetDlgItemAs<T>(id);
    }
    static void SetText(Dialog* dlg, int id, const std::string& text) {
        Item<Edit>(dlg, id)->setText(QString::fromStdString(text));
    }
    static void ClickOk(Dialog* dlg) { QTest::mouseClick(Item<QPushButton>(dlg, IDOK), Qt::LeftButton); }
};

TEST_F(FileInfo, OkChecksStopAtTheFirstFaultWithItsMessageAndFocus) {
    const CkxFileImage file = FileD();
    const std::string place50 = Repeat("地", 25), note50 = Repeat("n", 50);
    struct Case {
        const char* name;
        std::string title, place, note;
        bool selectRoot;
        std::string message;
        int focus;
    };
    const Case cases[] = {
        {"empty name", "", "", "", false, "名称不能为空", CDlgFileInfo::IDC_EDT_NAME},
        {"45 bytes of name", Repeat("名", 22) + "x", "", "", false, "名称长度不能超过50个字母", CDlgFileInfo::IDC_EDT_NAME},
        {"place of 50 bytes (Chinese counting 2)", "好名", place50, "", false, "地址不能超过50个字母", CDlgFileInfo::IDC_EDT_PLACE},
        {"note of 50 bytes", "好名", "", note50, false, "备注长度不能超过50个字母", CDlgFileInfo::IDC_EDT_NOTE},
        {"a folder the user may not create files in", "好名", "", "", true,
         "您没有在\"根目录\"目录下创建文件的权限", CDlgFileInfo::IDC_TREE_DIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PromptRecorder prompts;
        std::string focused;
        CDlgFileInfo dlg;
        dlg.m_File = file;
        dlg.m_nFileGiven = 1;
        dlg.SetModifyMode();
        const int result = guitest::DriveDialog([&] { return dlg.DoModal(); }, [&](Dialog* d) {
            SetText(d, CDlgFileInfo::IDC_EDT_NAME, c.title);
            SetText(d, CDlgFileInfo::IDC_EDT_PLACE, c.place);
            SetText(d, CDlgFileInfo::IDC_EDT_NOTE, c.note);
            if (c.selectRoot) dlg.Tree()->SelectNode(-1);
            ClickOk(d);
            QWidget* f = QApplication::focusWidget();
            focused = f ? f->objectName().toStdString() : "";
            EXPECT_TRUE(d->isVisible()); // still open
        }, IDCANCEL);
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(focused, std::to_string(c.focus));
    }

    // 44 bytes of name, 49 of place and note pass; a character without GBK form is refused as
    // it is typed.
    PromptRecorder prompts;
    CDlgFileInfo dlg;
    dlg.m_File = file;
    dlg.m_nFileGiven = 1;
    dlg.SetModifyMode();
    ASSERT_EQ(guitest::DriveDialog([&] { return dlg.DoModal(); }, [&](Dialog* d) {
        SetText(d, CDlgFileInfo::IDC_EDT_NAME, Repeat("名", 22));
        SetText(d, CDlgFileInfo::IDC_EDT_PLACE, Repeat("地", 24) + "x");
        SetText(d, CDlgFileInfo::IDC_EDT_NOTE, Repeat("n", 49));
        Edit* name = Item<Edit>(d, CDlgFileInfo::IDC_EDT_NAME);
        name->setFocus();
        name->end(false);
        guitest::TypeText(QString::fromUtf8("\xE1\x9A\xA0"), name); // a rune: no GBK form
        EXPECT_EQ(name->text().toStdString(), Repeat("名", 22));
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kNoGbkForm});
    }), IDOK);
    EXPECT_EQ(dlg.m_File.m_strTitle, Repeat("名", 22));
    EXPECT_EQ(dlg.m_File.m_nLocDirID, Id("folder.mid"));
}

TEST_F(FileInfo, ModesAndTheFamilyPart) {
    const CkxFileImage file = FileD();
    struct Case {
        int mode;
        bool familyPart;
        const char* caption;
        bool checkBox;
    };
    const Case cases[] = {
        {1, false, "修改文件信息", false}, {1, true, "修改文件信息", false}, {2, false, "上载到服务器", true},
        {2, true, "上载到服务器", true},   {3, false, "另存到服务器", true}, {3, true, "另存到服务器", true},
    };
    int widths[2] = {0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + (c.familyPart ? " with family" : ""));
        CDlgFileInfo dlg;
        dlg.m_File = file;
        dlg.m_nFileGiven = 1;
        if (c.mode == 1) dlg.SetModifyMode();
        if (c.mode == 2) dlg.SetUploadMode();
        if (c.mode == 3) dlg.SetSaveToServerMode();
        dlg.SetFamilyPart(c.familyPart);
        guitest::DriveDialog([&] { return dlg.DoModal(); }, [&](Dialog* d) {
            d->resize(720, 440);
            QApplication::processEvents();
            EXPECT_EQ(d->windowTitle().toStdString(), c.caption);
            EXPECT_EQ(Item<QCheckBox>(d, CDlgFileInfo::IDC_CHK_FORMAT)->isEnabled(), c.checkBox);
            EXPECT_FALSE(Item<QComboBox>(d, CDlgFileInfo::IDC_CMB_FORMAT)->isEnabled());
            for (int id : {CDlgFileInfo::IDC_LBL_FAMILY, CDlgFileInfo::IDC_EDT_FAMILY, CDlgFileInfo::IDC_BTN_FAMILY,
                           CDlgFileInfo::IDC_GRP_ATTR, CDlgFileInfo::IDC_LIST_ATTR})
                EXPECT_EQ(d->GetDlgItem(id)->isVisible(), c.familyPart) << id;
            widths[c.familyPart ? 1 : 0] = d->GetDlgItem(CDlgFileInfo::IDC_EDT_NAME)->width();
            auto* authors = Item<QComboBox>(d, CDlgFileInfo::IDC_CMB_AUTHOR);
            EXPECT_EQ(authors->itemText(0).toStdString(), "未知");
            EXPECT_EQ(authors->count(), 3);
            if (c.mode != 2) guitest::Screenshot(d, "studio_file_info_mode" + std::to_string(c.mode) + (c.familyPart ? "_family" : ""));
        }, IDCANCEL);
    }
    // Without the family part the name takes the family's room.
    EXPECT_GT(widths[0], widths[1]);
}

TEST_F(FileInfo, TheFormatBoxAndTheFamilyPartWithoutAFile) {
    CkxFileImage file = FileD();
    file.m_nEncFormat = 0;
    const CkxImageTool& tool = KX_KXXXX().m_ImageTool;
    // Unchecked: the extension stays and the format follows it.
    CDlgFileInfo plain;
    plain.m_File = file;
    plain.m_nFileGiven = 1;
    plain.SetSaveToServerMode();
    ASSERT_EQ(guitest::DriveDialog([&] { return plain.DoModal(); }, [](Dialog*) {}), IDOK);
    EXPECT_EQ(plain.m_File.m_strExName, "png");
    EXPECT_EQ(plain.m_File.m_nEncFormat, tool.Get_kxID("png"));
    // Checked: the chosen format gives the extension.
    CDlgFileInfo chosen;
    chosen.m_File = file;
    chosen.m_nFileGiven = 1;
    chosen.SetSaveToServerMode();
    const int jpg = tool.Get_kxID("jpg");
    ASSERT_EQ(guitest::DriveDialog([&] { return chosen.DoModal(); }, [&](Dialog* d) {
        QTest::mouseClick(Item<QCheckBox>(d, CDlgFileInfo::IDC_CHK_FORMAT), Qt::LeftButton);
        auto* formats = Item<ComboBox>(d, CDlgFileInfo::IDC_CMB_FORMAT);
        EXPECT_TRUE(formats->isEnabled());
        EXPECT_TRUE(formats->SelectData(jpg));
    }), IDOK);
    EXPECT_EQ(chosen.m_File.m_nEncFormat, jpg);
    EXPECT_EQ(chosen.m_File.m_strExName, tool.Get_ExName_kxID(jpg));

    // No file, family part on: the image root family, an empty attribute list, the root folder.
    CDlgFileInfo fresh;
    fresh.ShowFamilyPart();
    fresh.SetSaveToServerMode();
    guitest::DriveDialog([&] { return fresh.DoModal(); }, [&](Dialog*) {
        EXPECT_EQ(fresh.GetFamilyID(), KXF_ROOT_IMAGE);
        EXPECT_EQ(fresh.Grid()->GetAttrCount(), 0);
        EXPECT_EQ(fresh.Tree()->GetCurSelNodeID(), -1);
    }, IDCANCEL);
}

TEST_F(FileInfo, ModifyFromTheInformationBarKeepsFamilyAndValues) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    const int family = Id("family.fam.a"), fileD = Id("file.d");
    // Two attributes of the family, and file.d in the family with a value of each.
    std::vector<int> attrs;
    for (const char* name : {"海拔", "季节"}) {
        const int id = AddFamilyTextAttr(*su, family, name);
        ASSERT_GT(id, 0);
        attrs.push_back(id);
    }
    CkxFileImage seeded = FileD();
    seeded.m_nFamilyID = family;
    for (size_t i = 0; i < attrs.size(); ++i) {
        CkxAttrValue v(fileD, attrs[i]);
        v.m_Value = std::string(i == 0 ? "高" : "夏");
        seeded.SetExAttrValue(v);
    }
    CkxBuf base, exattr, rights;
    ASSERT_TRUE(seeded.BuildBaseAttr(base));
    seeded.BuildExattr(exattr);
    seeded.BuildPower(rights);
    ASSERT_TRUE(SendPieces(*su, kMsgFileModify, kSubModify,
                           {std::string(base.View()), std::string(exattr.View()), std::string(rights.View())}));
    ASSERT_TRUE(su->Wait(kMsgFileModify, kSubModify, 10s));

    CvClientDoc* mid = app->OpenFolderDoc(*link, Id("folder.mid"));
    ASSERT_TRUE(PumpUntil([&] { return mid->FindFile(fileD) && mid->FindFile(fileD)->m_nFamilyID == family; }));
    CFileInfoBar bar(*link);
    bar.show();
    bar.ShowDocumentFile(mid->GetDocID(), fileD);
    ASSERT_TRUE(bar.Button(CFileInfoBar::ID_EDIT_ATTRS)->isEnabled());
    ASSERT_EQ(guitest::DriveDialog([&] { bar.OnCommand(CFileInfoBar::ID_EDIT_ATTRS); return 1; }, [&](Dialog* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "修改文件信息");
        EXPECT_FALSE(d->GetDlgItem(CDlgFileInfo::IDC_LIST_ATTR)->isVisible());
        SetText(d, CDlgFileInfo::IDC_EDT_NAME, "新名字");
    }), 1);
    auto changed = su->Wait(kMsgFileModify, kSubModify, 10s);
    ASSERT_TRUE(changed && changed->pieces.size() >= 2);
    CkxFileX stored;
    ASSERT_TRUE(stored.CreateObj(changed->pieces[0].data(), static_cast<int>(changed->pieces[0].size())));
    EXPECT_EQ(stored.GetObj()->m_strTitle, "新名字");
    EXPECT_EQ(stored.GetFamilyID(), family);
    CkxAttrValueList values;
    values.PasyBuf(changed->pieces[1].data(), static_cast<int>(changed->pieces[1].size()));
    ASSERT_EQ(values.GetCount(), 2);
    EXPECT_EQ(values.Find(fileD, attrs[0])->GetStr(), "高");
    EXPECT_EQ(values.Find(fileD, attrs[1])->GetStr(), "夏");
}

} // namespace
