// The file browser's batch annotation view over a local document of small generated images on
// the small catalogue: the family tree with the files under their families, what each node
// shows, edits saved into the document's files (only cells that hold something) when another
// node is shown, the confirmation form, removing files, the family set from the numbered list
// and by dragging, the storage folder with its create right, and the uniform note.
#include "support/TempDir.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "browser/CBrowser.h"
#include "browser/CxFileBatchNote.h"
#include "browser/CxFileBrowser.h"
#include "doc/CvClientDoc.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CDlgSelectLocDir.h"
#include "ui/CkxFamilyTreeCtrl.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFamilyFileListCtrl.h"
#include "ui/CkxwFamilyFileTreeCtrl.h"
#include "ui/CkxwFileListView.h"
#include "ui/CxTreeCtrl.h"
#include "support/gui/DialogSteps.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

const COleDateTime kShot(2023, 5, 1, 10, 0, 0);

// What a batch edit must leave alone, per file.
struct Fields {
    std::string title, place, remark;
    int author, folder, family;
    double authTime;
    bool operator==(const Fields&) const = default;
};
void PrintTo(const Fields& f, std::ostream* os) {
    *os << "{" << f.title << ", " << f.place << ", " << f.remark << ", " << f.author << ", " << f.folder << ", "
        << f.family << ", " << f.authTime << "}";
}
Fields FieldsOf(const CkxFile& f) {
    return {f.m_strTitle, f.m_strAuthAddr, f.m_strRemark, f.m_nAuthorID, f.m_nLocDirID, f.m_nFamilyID, f.m_dtAuth.m_dt};
}

int ColumnOf(const CkxwFamilyFileListCtrl& grid, int attrId) {
    const auto* c = grid.colGetCol_AttrID(attrId);
    return c ? c->nIndex : -1;
}

void SelectRows(kx::ReportList* list, std::initializer_list<int> rows) {
    for (int r = 0; r < list->GetItemCount(); ++r) list->SetItemSelected(r, false);
    for (int r : rows) list->SetItemSelected(r, true);
}

void RightClick(kx::ReportList* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->GetSubItemRect(row, 0).center());
}

// A mouse event straight to the tree's viewport, as the window system delivers it.
void Mouse(QWidget* viewport, QEvent::Type type, const QPoint& at, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &e);
}

class BatchView : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(ALICE);
        // A text family with an attribute of its own.
        CkxAttr clause;
        clause.m_nID = 350;
        clause.m_nFamilyID = FAMILY_CONTRACT;
        clause.m_strName = "条款";
        clause.m_nDataType = KXT_STR;
        clause.m_nEditWay = KXE_EDIT;
        clause.m_nFlag = 1;
        KX_FamilyXXX().attr_AddTail(clause);

        doc.SetKind(CvClientDoc::KIND_LOCAL);
        browser = std::make_unique<CxFileBrowser>(doc, nullptr);
        browser->SetCompanionView(true);
        browser->resize(900, 560);
        browser->show();
        a = AddImage("山", FAMILY_LANDSCAPE, Qt::darkGreen);
        b = AddImage("湖", FAMILY_LANDSCAPE, Qt::blue);
        c = AddImage("城", KXF_ROOT_IMAGE, Qt::gray);
        d = AddImage("杂", -1, Qt::red);
        browser->OnCommand(CxFileBrowser::BTN_BATCH);
        view = browser->BatchView();
        tree = view->Tree();
        tree->ExpandTree();
    }
    void TearDown() override {
        browser.reset();
        SmallCatalogue::TearDown();
    }

    int AddImage(const std::string& title, int family, Qt::GlobalColor colour) {
        const std::string path = dir.file(title + ".png");
        QImage image(48, 32, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
        auto f = std::make_unique<CkxFileImage>();
        EXPECT_TRUE(f->LoadFileInfo(path));
        f->DestroyWhole();
        f->m_nID = KX_KXXXX()._GetLocalFileID();
        f->m_nFamilyID = family;
        f->m_nAuthorID = 2;
        f->m_dtAuth = kShot;
        f->m_strAuthAddr = "北京";
        f->m_strRemark = "备注" + title;
        f->m_nLocDirID = FOLDER_DOCS;
        const int id = f->m_nID;
        doc.InsertFile(std::move(f));
        return id;
    }
    const CkxFile& File(int id) const { return *doc.FindFile(id); }
    std::vector<Fields> AllFields() const {
        std::vector<Fields> out;
        for (int id : {a, b, c, d}) out.push_back(doc.FindFile(id) ? FieldsOf(File(id)) : Fields{});
        return out;
    }
    HTREEITEM FamilyItem(int familyId) const { return tree->fmFindNode(familyId)->m_hItem; }
    HTREEITEM FileItem(int fileId) const {
        const CkxwFFNode* n = tree->flFindNode(fileId);
        return n ? n->m_hItem : nullptr;
    }
    std::vector<int> FilesUnder(HTREEITEM item) const {
        std::vector<int> ids;
        tree->fmGetLinkFile(item, ids);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    static std::vector<int> Sorted(std::vector<int> ids) {
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    QPoint Centre(HTREEITEM item) const {
        tree->EnsureVisible(item);
        return tree->GetItemRect(item).center();
    }
    // A click on the node, as the user shows it.
    void Show(HTREEITEM item) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(item));
        QApplication::processEvents();
    }
    std::vector<std::string> ListColumn(int column) const {
        std::vector<std::string> out;
        for (int r = 0; r < view->FileList()->GetItemCount(); ++r)
            out.push_back(view->FileList()->GetItemText(r, column).toStdString());
        return out;
    }
    int ListRow(int fileId) const { return view->FileList()->FindItemData(fileId); }
    // The browser's report text of a file.
    std::string BrowserText(int fileId, int column) const {
        CkxwFileListView* list = browser->FileList();
        return list->GetItemText(list->GetFileItem(fileId), column);
    }
    // Drags the file's node: press on it, move past the drag distance, over the target, release.
    void Drag(HTREEITEM from, HTREEITEM to) {
        QWidget* vp = tree->viewport();
        const QPoint start = Centre(from), end = Centre(to);
        Mouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton);
        Mouse(vp, QEvent::MouseMove, start + QPoint(0, 3 * QApplication::startDragDistance()), Qt::LeftButton);
        EXPECT_TRUE(view->IsDragging());
        Mouse(vp, QEvent::MouseMove, end, Qt::LeftButton);
        EXPECT_EQ(view->DropTarget(), to);
        Mouse(vp, QEvent::MouseButtonRelease, end, Qt::NoButton);
        EXPECT_FALSE(view->IsDragging());
        QApplication::processEvents();
    }

    TempDir dir;
    CvClientDoc doc;
    std::unique_ptr<CxFileBrowser> browser;
    CxFileBatchNote* view = nullptr;
    CkxwFamilyFileTreeCtrl* tree = nullptr;
    int a = 0, b = 0, c = 0, d = 0;
};

} // namespace

TEST_F(BatchView, FilesSitUnderTheirFamiliesAndTheViewIsLaidOut) {
    EXPECT_EQ(browser->GetShownView(), 2);
    EXPECT_EQ(view->objectName(), "11025");
    EXPECT_EQ(tree->objectName(), "11028");
    EXPECT_EQ(FilesUnder(FamilyItem(FAMILY_LANDSCAPE)), Sorted({a, b}));
    EXPECT_EQ(FilesUnder(FamilyItem(KXF_ROOT_IMAGE)), std::vector<int>{c});
    EXPECT_EQ(FilesUnder(tree->GetUnlinkedItem()), std::vector<int>{d});
    EXPECT_EQ(tree->GetItemText(FileItem(a)), "山.png");

    // Tree, separator, then the grids in halves or the list over the whole height.
    ASSERT_EQ(view->geometry(), QRect(0, 25, 900, 534));
    EXPECT_EQ(tree->geometry(), QRect(0, 0, 200, 534));
    EXPECT_EQ(view->Separator()->geometry(), QRect(200, 0, 6, 534));
    EXPECT_EQ(view->BaseGrid()->geometry(), QRect(206, 0, 694, 267));
    EXPECT_EQ(view->ExGrid()->geometry(), QRect(206, 267, 694, 267));
    EXPECT_EQ(view->FileList()->geometry(), QRect(206, 0, 694, 534));
    std::vector<std::string> headers;
    for (int i = 0; i < view->FileList()->GetColumnCount(); ++i)
        headers.push_back(view->FileList()->headerItem()->text(i).toStdString() + " " +
                          std::to_string(view->FileList()->GetColumnWidth(i)));
    EXPECT_EQ(headers, (std::vector<std::string>{"序号 60", "文件名称 150", "编码格式 150", "文件族类 200"}));

    // The context menu's three pop-ups.
    const struct {
        const char* name;
        std::vector<std::pair<int, std::string>> items;
    } popups[] = {{"FileList", {{33048, "设置族类"}}},
                  {"BaseEdit", {{33049, "一致注释"}, {33112, "选择目录"}}},
                  {"ExtEdit", {{33050, "一致注释"}}}};
    for (int i = 0; i < 3; ++i) {
        kx::PopupMenu* menu = view->ContextMenu(i);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName().toStdString(), popups[i].name);
        std::vector<std::pair<int, std::string>> items;
        for (QAction* action : menu->actions()) items.emplace_back(action->objectName().toInt(), action->text().toStdString());
        EXPECT_EQ(items, popups[i].items) << popups[i].name;
    }

    // A file renamed in the document is renamed in the tree.
    const_cast<CkxFile&>(File(a)).m_strTitle = "高山";
    browser->OnFileUpdated(a);
    EXPECT_EQ(tree->GetItemText(FileItem(a)), "高山.png");

    // The studio's own browser keeps batch mode off: no file reaches its batch view.
    CvClientDoc other;
    other.SetKind(CvClientDoc::KIND_LOCAL);
    CBrowser studio(other, nullptr);
    studio.show();
    auto f = std::make_unique<CkxFileImage>();
    f->m_nID = KX_KXXXX()._GetLocalFileID();
    f->m_strTitle = "外";
    f->m_nFamilyID = FAMILY_LANDSCAPE;
    other.InsertFile(std::move(f));
    EXPECT_EQ(studio.FileList()->GetItemCount(), 1);
    EXPECT_TRUE(FilesUnder(studio.BatchView()->Tree()->fmFindNode(FAMILY_LANDSCAPE)->m_hItem).empty());
    EXPECT_FALSE(studio.ToolButton(CxFileBrowser::BTN_BATCH)->isVisible());
    studio.OnCommand(ID_BATCH_NOTE);
    EXPECT_EQ(studio.GetShownView(), 1);
}

TEST_F(BatchView, EachNodeKindShowsItsOwnView) {
    CkxAttrList editable;
    const int baseColumns = CkxFileImage::_GetCanEditBaseAttrList(editable);
    ASSERT_GT(baseColumns, 0);
    const struct {
        const char* name;
        std::function<HTREEITEM()> item;
        bool grids;
        int baseColumns, exColumns, baseRows, exRows;
        std::vector<int> listed;
    } cases[] = {
        {"image family", [&] { return FamilyItem(FAMILY_LANDSCAPE); }, true, baseColumns, 4, 2, 2, {}},
        {"image root", [&] { return FamilyItem(KXF_ROOT_IMAGE); }, true, baseColumns, 0, 1, 0, {}},
        {"text family", [&] { return FamilyItem(FAMILY_CONTRACT); }, true, 0, 1, 0, 0, {}},
        {"audio root", [&] { return FamilyItem(KXF_ROOT_AUDIO); }, true, 0, 0, 0, 0, {}},
        {"file", [&] { return FileItem(b); }, true, baseColumns, 4, 1, 1, {}},
        {"family root", [&] { return tree->GetFamilyRoot(); }, false, 0, 0, 0, 0, {a, b, c, d}},
        {"unlinked files", [&] { return tree->GetUnlinkedItem(); }, false, 0, 0, 0, 0, {d}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Show(k.item());
        EXPECT_EQ(view->BaseGrid()->isVisible(), k.grids);
        EXPECT_EQ(view->ExGrid()->isVisible(), k.grids);
        EXPECT_EQ(view->FileList()->isVisible(), !k.grids);
        if (k.grids) {
            EXPECT_EQ(view->BaseGrid()->IsHasAttrCol(), k.baseColumns);
            EXPECT_EQ(view->ExGrid()->IsHasAttrCol(), k.exColumns);
            EXPECT_EQ(view->BaseGrid()->GetItemCount(), k.baseRows);
            EXPECT_EQ(view->ExGrid()->GetItemCount(), k.exRows);
        } else {
            std::vector<int> ids;
            for (int r = 0; r < view->FileList()->GetItemCount(); ++r)
                ids.push_back(static_cast<int>(view->FileList()->GetItemData(r)));
            EXPECT_EQ(ids, k.listed);
            std::vector<std::string> numbers;
            for (size_t i = 1; i <= k.listed.size(); ++i) numbers.push_back(std::to_string(i));
            EXPECT_EQ(ListColumn(CxFileBatchNote::COL_NUMBER), numbers);
        }
        if (std::string(k.name) == "image family") guitest::Screenshot(browser.get(), "CxFileBatchNote-family");
        if (std::string(k.name) == "family root") guitest::Screenshot(browser.get(), "CxFileBatchNote-list");
    }
    // The root's list: names, encoding formats and families of the files.
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_NAME), (std::vector<std::string>{"杂.png"}));
    Show(tree->GetFamilyRoot());
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_FAMILY),
              (std::vector<std::string>{File(a).FormatFamily(), File(b).FormatFamily(), File(c).FormatFamily(),
                                        File(d).FormatFamily()}));
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_FAMILY)[0], "风景");
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_ENCODING)[0], File(a).FormatEncFormat());
    // A plain node (the family of no data kind) shows nothing new.
    const CkxwFFNode* other = tree->fmFindNode(KXF_ROOT_OTHER);
    if (!other) {
        for (int i = 0; i < tree->NodeList().GetCount(); ++i)
            if (tree->NodeList().GetAt(i)->IsCommNode()) other = tree->NodeList().GetAt(i);
    }
    ASSERT_NE(other, nullptr);
    Show(other->m_hItem);
    EXPECT_TRUE(view->FileList()->isVisible());
    EXPECT_EQ(view->FileList()->GetItemCount(), 4);

    // A file node, and then exactly one selected row, previews the file; two rows do not.
    const int before = view->PreviewCount();
    Show(FileItem(c));
    EXPECT_EQ(view->PreviewCount(), before + 1);
    EXPECT_EQ(view->LastPreviewId(), c);
    Show(tree->GetFamilyRoot());
    SelectRows(view->FileList(), {ListRow(b)});
    EXPECT_EQ(view->PreviewCount(), before + 2);
    EXPECT_EQ(view->LastPreviewId(), b);
    view->FileList()->SetItemSelected(ListRow(d), true);
    EXPECT_EQ(view->PreviewCount(), before + 2);
}

TEST_F(BatchView, EditsReachTheFilesWhenAnotherNodeIsShownAndNothingElseChanges) {
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser.get()));
    const std::vector<Fields> before = AllFields();
    Show(FamilyItem(FAMILY_LANDSCAPE));
    CkxwFamilyFileListCtrl* base = view->BaseGrid();
    CkxwFamilyFileListCtrl* ex = view->ExGrid();
    const int row = base->GetFileItem(a);
    ASSERT_GE(row, 0);
    EXPECT_EQ(base->GetItemText(row, ColumnOf(*base, KXB_REMARK)), "备注山");
    EXPECT_FALSE(base->IsEdited());

    // The place typed into its cell, the remark cleared in its cell, a region chosen.
    QTest::mouseClick(base->viewport(), Qt::LeftButton, {}, base->GetSubItemRect(row, ColumnOf(*base, KXB_AUTHADDR)).center());
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    guitest::TypeText(QStringLiteral("上海"), edit);
    QTest::mouseClick(base->viewport(), Qt::LeftButton, {}, base->GetSubItemRect(row, ColumnOf(*base, KXB_REMARK)).center());
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Backspace);
    ex->SetCellValue(ex->GetFileItem(a), ColumnOf(*ex, ATTR_REGION), CkxValueSp(std::string("华南")));
    EXPECT_EQ(AllFields(), before); // nothing saved yet

    Show(tree->GetFamilyRoot());
    EXPECT_TRUE(view->FileList()->isVisible());
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_NUMBER), (std::vector<std::string>{"1", "2", "3", "4"}));
    std::vector<Fields> want = before;
    want[0].place = "上海";
    want[0].remark = "";
    EXPECT_EQ(AllFields(), want);
    EXPECT_EQ(File(a).GetAttrText(ATTR_REGION), "华南");
    EXPECT_NE(File(b).GetAttrText(ATTR_REGION), "华南");
    // The browser's row follows (column 12 is the place).
    EXPECT_EQ(BrowserText(a, 12), "上海");

    // Leaving a grid for another control saves too.
    Show(FamilyItem(FAMILY_LANDSCAPE));
    base->SetCellValue(base->GetFileItem(b), ColumnOf(*base, KXB_AUTHADDR), CkxValueSp(std::string("南京")));
    base->setFocus();
    QApplication::processEvents();
    tree->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(File(b).m_strAuthAddr, "南京");
    EXPECT_FALSE(base->IsEdited());

    // A row whose file left the document meanwhile is skipped without a word.
    kx::PromptRecorder prompts;
    base->SetCellValue(base->GetFileItem(b), ColumnOf(*base, KXB_REMARK), CkxValueSp(std::string("不在了")));
    base->SetCellValue(base->GetFileItem(a), ColumnOf(*base, KXB_REMARK), CkxValueSp(std::string("在")));
    doc.SetBrowser(nullptr); // the view is not told
    doc.RemoveFile(b);
    doc.SetBrowser(browser.get());
    EXPECT_TRUE(view->SaveEdits());
    EXPECT_EQ(File(a).m_strRemark, "在");
    EXPECT_EQ(doc.FindFile(b), nullptr);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(BatchView, TheConfirmationFormSavesOnlyOnOk) {
    kx::PromptRecorder prompts(kx::AnswerCancel);
    Show(FamilyItem(FAMILY_LANDSCAPE));
    CkxwFamilyFileListCtrl* base = view->BaseGrid();
    EXPECT_FALSE(view->AskSaveEdits()); // nothing edited: nothing asked
    EXPECT_EQ(prompts.Count(), 0u);
    base->SetCellValue(base->GetFileItem(b), ColumnOf(*base, KXB_REMARK), CkxValueSp(std::string("新")));
    EXPECT_FALSE(view->AskSaveEdits());
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.Requests()[0].text, "文件信息已经修改,是否保存");
    EXPECT_EQ(prompts.Requests()[0].buttons, kx::PromptOkCancel);
    EXPECT_EQ(prompts.Requests()[0].icon, kx::PromptQuestion);
    EXPECT_EQ(File(b).m_strRemark, "备注湖");
    prompts.Answer(kx::AnswerOk);
    EXPECT_TRUE(view->AskSaveEdits());
    EXPECT_EQ(File(b).m_strRemark, "新");
    EXPECT_FALSE(base->IsEdited());
}

TEST_F(BatchView, RemovingFilesRenumbersTheListAndSkipsUnknownIds) {
    Show(FamilyItem(FAMILY_LANDSCAPE));
    doc.RemoveFile(b);
    EXPECT_EQ(view->BaseGrid()->GetItemCount(), 1);
    EXPECT_EQ(view->ExGrid()->GetItemCount(), 1);
    Show(tree->GetFamilyRoot());
    doc.RemoveFile(a);
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_NUMBER), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_NAME), (std::vector<std::string>{"城.png", "杂.png"}));
    EXPECT_EQ(FileItem(a), nullptr);
    EXPECT_EQ(FileItem(b), nullptr);
    EXPECT_TRUE(FilesUnder(FamilyItem(FAMILY_LANDSCAPE)).empty());

    // An id the document never held changes nothing.
    view->RemoveFile(123456);
    view->RemoveFiles({123457, 123458});
    EXPECT_EQ(view->FileList()->GetItemCount(), 2);
    EXPECT_NE(FileItem(c), nullptr);

    doc.RemoveAllFiles();
    EXPECT_EQ(view->FileList()->GetItemCount(), 0);
    for (int i = 0; i < tree->NodeList().GetCount(); ++i) EXPECT_FALSE(tree->NodeList().GetAt(i)->IsFileNode());
    EXPECT_NE(tree->GetUnlinkedItem(), nullptr);
}

TEST_F(BatchView, SetFamilyAndDraggingMoveTheFileToTheFamily) {
    Show(tree->GetFamilyRoot());
    kx::ReportList* list = view->FileList();
    SelectRows(list, {ListRow(c), ListRow(d)});
    kx::ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CxFileBatchNote::ID_SET_FAMILY)); });
    driver.Then<CDlgFamilySelect>([](CDlgFamilySelect* dlg) {
        dlg->findChild<CkxFamilyTreeCtrl*>()->SelectNode(SmallCatalogue::FAMILY_LANDSCAPE);
        EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
    });
    RightClick(list, ListRow(d));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(File(c).m_nFamilyID, FAMILY_LANDSCAPE);
    EXPECT_EQ(File(d).m_nFamilyID, FAMILY_LANDSCAPE);
    EXPECT_EQ(File(a).m_nFamilyID, FAMILY_LANDSCAPE);
    EXPECT_EQ(ListColumn(CxFileBatchNote::COL_FAMILY), (std::vector<std::string>(4, "风景")));
    EXPECT_EQ(FilesUnder(FamilyItem(FAMILY_LANDSCAPE)), Sorted({a, b, c, d}));
    EXPECT_TRUE(FilesUnder(tree->GetUnlinkedItem()).empty());
    EXPECT_EQ(BrowserText(d, 2), "风景");

    // Dragging a's node: only a family takes it.
    const struct {
        const char* name;
        std::function<HTREEITEM()> target;
        int family;
    } drops[] = {
        {"itself", [&] { return FileItem(a); }, FAMILY_LANDSCAPE},
        {"another file", [&] { return FileItem(b); }, FAMILY_LANDSCAPE},
        {"the family root", [&] { return tree->GetFamilyRoot(); }, FAMILY_LANDSCAPE},
        {"the unlinked files", [&] { return tree->GetUnlinkedItem(); }, FAMILY_LANDSCAPE},
        {"another family", [&] { return FamilyItem(FAMILY_CONTRACT); }, FAMILY_CONTRACT},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.name);
        Drag(FileItem(a), drop.target());
        EXPECT_EQ(File(a).m_nFamilyID, drop.family);
        EXPECT_EQ(tree->GetItemFamilyID(FileItem(a)), drop.family);
        EXPECT_EQ(tree->GetParentItem(FileItem(a)), FamilyItem(drop.family));
    }
    EXPECT_EQ(FilesUnder(FamilyItem(FAMILY_CONTRACT)), std::vector<int>{a});
    EXPECT_EQ(FilesUnder(FamilyItem(FAMILY_LANDSCAPE)), Sorted({b, c, d}));
    EXPECT_EQ(BrowserText(a, 2), "合同");
}

TEST_F(BatchView, TheStorageFolderNeedsTheCreateRight) {
    kx::PromptRecorder prompts;
    Show(FamilyItem(FAMILY_LANDSCAPE));
    CkxwFamilyFileListCtrl* base = view->BaseGrid();
    SelectRows(base, {0, 1});
    int refused = -1;
    const auto choose = [&](bool allowed) {
        return [allowed, &refused](CDlgSelectLocDir* dlg) {
            auto* folders = dlg->findChild<CxTreeCtrl*>();
            ASSERT_TRUE(folders);
            int pick = allowed ? SmallCatalogue::FOLDER_DRAFTS : -1;
            for (int id = SmallCatalogue::FOLDER_GALLERY; !allowed && id <= SmallCatalogue::FOLDER_DRAFTS && pick < 0; ++id)
                if (folders->IsValid(id) && !KX_KXXXX().fsUserCan_File_Create(KX_KXXXX().GetCurUser(), id)) pick = id;
            refused = allowed ? refused : pick;
            ASSERT_GE(pick, 0);
            folders->SelectNode(pick);
            EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
        };
    };
    kx::ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CxFileBatchNote::ID_SELECT_FOLDER)); });
    driver.Then<CDlgSelectLocDir>(choose(false));
    SetCurrentUser(BOB); // a viewer: he sees folders but may create files in none
    RightClick(base, 0);
    SetCurrentUser(ALICE);
    EXPECT_TRUE(driver.Done());
    ASSERT_GE(refused, 0);
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>{"您没有在\"" + KX_KXXXX().fsGetDirName(refused) + "\"目录下创建文件的权限"});
    EXPECT_EQ(prompts.Requests()[0].icon, kx::PromptWarning);
    EXPECT_FALSE(base->IsEdited());
    for (int id : {a, b}) EXPECT_EQ(File(id).m_nLocDirID, FOLDER_DOCS);

    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CxFileBatchNote::ID_SELECT_FOLDER)); });
    driver.Then<CDlgSelectLocDir>(choose(true));
    RightClick(base, 0);
    EXPECT_TRUE(driver.Done());
    const int column = ColumnOf(*base, KXB_LOCDIRID);
    ASSERT_GE(column, 0);
    for (int row : {0, 1}) EXPECT_EQ(base->GetCellValue_Int(row, column), FOLDER_DRAFTS);
    for (int id : {a, b}) EXPECT_EQ(File(id).m_nLocDirID, FOLDER_DRAFTS);
    EXPECT_EQ(File(c).m_nLocDirID, FOLDER_DOCS);
    EXPECT_EQ(prompts.Count(), 1u);
}

TEST_F(BatchView, AUniformNoteReachesEverySelectedRowAndTheFilesAtTheNextSave) {
    Show(FamilyItem(FAMILY_LANDSCAPE));
    const std::vector<Fields> before = AllFields();
    const auto note = [](int attrId, const char* value) {
        return [attrId, value](CkxwDlgFileAttrNote* dlg) {
            CkxwAttrNoteListCtrl* rows = dlg->List();
            bool found = false;
            for (int r = 0; r < rows->GetItemCount(); ++r)
                if (rows->GetAttr(r)->GetID() == attrId) {
                    rows->SetCellValue(r, CkxwAttrNoteListCtrl::COL_VALUE, CkxValueSp(std::string(value)));
                    rows->SetCheck(r, true);
                    found = true;
                }
            EXPECT_TRUE(found) << attrId;
            EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
        };
    };
    CkxwFamilyFileListCtrl* base = view->BaseGrid();
    CkxwFamilyFileListCtrl* ex = view->ExGrid();
    kx::ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CxFileBatchNote::ID_EX_NOTE)); });
    driver.Then<CkxwDlgFileAttrNote>(note(ATTR_REGION, "华东"));
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CxFileBatchNote::ID_BASE_NOTE)); });
    driver.Then<CkxwDlgFileAttrNote>(note(KXB_AUTHADDR, "广州"));
    SelectRows(ex, {0, 1});
    RightClick(ex, 1);
    SelectRows(base, {0, 1});
    RightClick(base, 1);
    EXPECT_TRUE(driver.Done());
    for (int row : {0, 1}) {
        EXPECT_EQ(ex->GetCellValue_Str(row, ColumnOf(*ex, ATTR_REGION)), "华东");
        EXPECT_EQ(base->GetCellValue_Str(row, ColumnOf(*base, KXB_AUTHADDR)), "广州");
    }
    EXPECT_EQ(AllFields(), before);
    EXPECT_TRUE(view->SaveEdits());
    std::vector<Fields> want = before;
    want[0].place = want[1].place = "广州";
    EXPECT_EQ(AllFields(), want);
    for (int id : {a, b}) EXPECT_EQ(File(id).GetAttrText(ATTR_REGION), "华东");
    EXPECT_FALSE(view->SaveEdits()); // nothing left to save
}
