// The file list view over real widgets: one row per file id with the "none" values of every
// lookup, the selection walk, thumbnails built once per size and file (observed through the
// entries' masks and cached bitmaps), the recorded-only 160-pixel mode, rows that keep their own
// pictures through sorting, mode switches and deletions, damaged thumbnails shown as icons, the
// play flag, the delete question and drags.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "image/CxImage.h"
#include "model/CkxFile.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "ui/CkxwFileListView.h"

#include <QAbstractItemView>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using Entry = CkxwFileListEntry;

namespace {

// A w x h JPEG whose colours depend on `seed`, so every file's thumbnail differs.
std::vector<uint8_t> Jpeg(int seed, int w = 130, int h = 100) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>((seed * 53 + x) % 256);
            p[1] = static_cast<uint8_t>((seed * 97 + y) % 256);
            p[2] = static_cast<uint8_t>((seed * 31) % 256);
        }
    CxImage img;
    std::vector<uint8_t> out;
    if (!img.CreateFromArray(px.data(), static_cast<uint32_t>(w), static_cast<uint32_t>(h), 24,
                             static_cast<uint32_t>(w) * 3) ||
        !img.Encode(out, CXIMAGE_FORMAT_JPG))
        ADD_FAILURE() << "cannot make a JPEG";
    return out;
}

CkxFile* NewFile(int id, const std::string& title, const std::string& ext, int size = 100, double written = 40000,
                 const std::vector<uint8_t>& micro = {}) {
    auto* f = new CkxFile;
    f->m_nID = id;
    f->m_strTitle = title;
    f->m_strExName = ext;
    f->m_nSize = size;
    f->m_dtWrite = COleDateTime(written);
    f->m_strSourcePath = "/data/" + title + "." + ext;
    if (!micro.empty()) f->UpdateMicro(micro.data(), static_cast<int>(micro.size()));
    return f;
}

std::vector<int> RowIds(const CkxwFileListView& v) {
    std::vector<int> ids;
    for (int r = 0; r < v.GetItemCount(); ++r) ids.push_back(v.GetItemFileID(r));
    return ids;
}

int BuiltCount(const CkxwFileListView& v) {
    int n = 0;
    for (int r = 0; r < v.GetItemCount(); ++r)
        if (const Entry* e = v.GetItemData(r))
            for (int i = 0; i < Entry::kSizeCount; ++i) n += e->IsMicroBuilt(i) ? 1 : 0;
    return n;
}

bool SamePixels(const QImage& a, const QImage& b) {
    return !a.isNull() && a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

class FileListView : public guitest::SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        view.resize(640, 420);
        for (const char* h : {"文件名称", "文件大小", "扩展名", "录入时间"}) view.InsertColumn(99, h, kx::LVCFMT_LEFT, 120);
    }
    // Inserts a file with a thumbnail (by adoption) and fills the report columns.
    int Add(int id, const std::string& title, const std::string& ext, int size, double written, bool micro = true) {
        CkxFile* f = NewFile(id, title, ext, size, written, micro ? Jpeg(id) : std::vector<uint8_t>{});
        const int row = view.InsertFile_Attach(f->GetFileName(), f);
        if (row >= 0) {
            view.SetItemText(row, 1, std::to_string(size));
            view.SetItemText(row, 2, ext);
            view.SetItemText(row, 3, kx::DateText(written));
        }
        return row;
    }
    // Every row shows its own entry's picture in the current presentation.
    void ExpectOwnPictures(const std::string& when, int sizeIndex = -1) {
        if (sizeIndex < 0) sizeIndex = Entry::SizeIndex(view.GetShowMode());
        for (int r = 0; r < view.GetItemCount(); ++r) {
            const Entry* e = view.GetItemData(r);
            ASSERT_NE(e, nullptr);
            const QImage shown =
                view.GetCurrentView()->model()->data(view.GetCurrentView()->model()->index(r, 0), Qt::DecorationRole).value<QImage>();
            EXPECT_TRUE(SamePixels(shown, view.GetItemPicture(r))) << when << " row " << r;
            if (view.IsModeMicro() && e->m_nMicroMask)
                EXPECT_TRUE(SamePixels(shown, e->GetMicro(sizeIndex))) << when << " row " << r;
        }
    }

    struct App {
        App() { kx::EnsureApplication(); }
    } app; // before the view
    CkxwFileListView view;
};

} // namespace

TEST_F(FileListView, RowsHoldFilesOncePerIdWithNoneValues) {
    // Copy, adoption, reference: the entry's handle owns a copy, owns the given object, refers to it.
    CkxFile original = *std::unique_ptr<CkxFile>(NewFile(1, "copy", "jpg"));
    auto* adopted = NewFile(2, "adopt", "PNG");
    std::unique_ptr<CkxFile> mapped(NewFile(3, "map", "txt"));
    EXPECT_EQ(view.InsertFile_Create("copy.jpg", &original), 0);
    EXPECT_EQ(view.InsertFile_Attach("adopt.PNG", adopted), 1);
    EXPECT_EQ(view.InsertFile_Map("map.txt", mapped.get()), 2);
    EXPECT_NE(view.GetFile(1)->GetFile(), &original);
    EXPECT_EQ(view.GetFile(2)->GetFile(), adopted);
    EXPECT_EQ(view.GetFile(3)->GetFile(), mapped.get());
    EXPECT_EQ(view.GetFile(3)->GetMode(), CkxFileX::MODE_MAPPED);

    // The same id again, by any mode, and a null file: -1 and nothing changes (a refused adopted
    // object is destroyed by the view: the leak checker sees to that).
    EXPECT_EQ(view.InsertFile_Create("again", &original), -1);
    EXPECT_EQ(view.InsertFile_Attach("again", NewFile(2, "dup", "jpg")), -1);
    EXPECT_EQ(view.InsertFile_Map("again", mapped.get()), -1);
    EXPECT_EQ(view.InsertFile_Map("null", nullptr), -1);
    EXPECT_EQ(view.InsertFile_Attach("null", nullptr), -1);
    EXPECT_EQ(view.GetItemCount(), 3);
    EXPECT_EQ(view.GetFile(2)->GetFile(), adopted);

    EXPECT_EQ(view.InsertFolder("目录"), 3);
    EXPECT_EQ(view.GetItemFileID(3), -1);
    EXPECT_EQ(view.GetItemData(3)->m_nKind, Entry::KIND_FOLDER);
    EXPECT_EQ(view.InsertItem(99, "plain"), 4); // a row without entry

    EXPECT_EQ(view.GetFileItem(3), 2);
    EXPECT_EQ(view.GetItemFileIDName(1), "2.PNG");
    EXPECT_EQ(view.GetFileIDName(3), "3.txt");
    EXPECT_EQ(view.GetItemLocalPath(0), "/data/copy.jpg");
    EXPECT_TRUE(view.IsFileValid(1));
    EXPECT_TRUE(view.IsFileValid(std::string("map.txt")));
    EXPECT_FALSE(view.IsFileValid(std::string("map")));
    view.UpdateFileName(3, "改名.txt");
    EXPECT_EQ(view.GetItemFileName(2), "改名.txt");
    EXPECT_TRUE(view.IsFileValid(std::string("改名.txt")));
    const COleDateTime created(45000.5), modified(45001.25);
    EXPECT_TRUE(view.SetFileTime(2, created, modified));
    EXPECT_EQ(view.GetFileModifyTime(2).m_dt, modified.m_dt);
    EXPECT_TRUE(view.SetItemTime(0, modified, created));
    EXPECT_EQ(view.GetFileCreateTime(1).m_dt, modified.m_dt);

    // Absent ids and rows out of range (and the plain row): -1, null, empty, zero date.
    for (int row : {-1, 4, 5, 1000}) {
        EXPECT_EQ(view.GetItemFileID(row), -1) << row;
        EXPECT_EQ(view.GetItemData(row), nullptr) << row;
        EXPECT_EQ(view.GetItemFile(row), nullptr) << row;
        EXPECT_EQ(view.GetItemLocalPath(row), "") << row;
        EXPECT_EQ(view.GetItemFileIDName(row), "") << row;
        EXPECT_FALSE(view.SetItemTime(row, created, modified)) << row;
        if (row != 4) EXPECT_EQ(view.GetItemFileName(row), "") << row;
    }
    EXPECT_EQ(view.GetItemFileName(4), "plain");
    for (int id : {0, 99, -1}) {
        EXPECT_EQ(view.GetFileItem(id), -1) << id;
        EXPECT_EQ(view.GetFile(id), nullptr) << id;
        EXPECT_EQ(view.GetFileData(id), nullptr) << id;
        EXPECT_FALSE(view.IsFileValid(id)) << id;
        EXPECT_EQ(view.GetFileIDName(id), "") << id;
        EXPECT_EQ(view.GetFileCreateTime(id).m_dt, 0.0) << id;
        EXPECT_EQ(view.GetFileModifyTime(id).m_dt, 0.0) << id;
    }

    // Removal by id, by list (absent ids ignored), by row (out of range ignored), and all.
    view.DeleteFileA(99);
    view.DeleteItem(7);
    view.DeleteItem(-1);
    EXPECT_EQ(view.GetItemCount(), 5);
    view.DeleteFileA(1);
    EXPECT_EQ(RowIds(view), (std::vector<int>{2, 3, -1, -1}));
    view.DeleteFileA(std::vector<int>{3, 42});
    EXPECT_EQ(RowIds(view), (std::vector<int>{2, -1, -1}));
    view.DeleteItem(0);
    EXPECT_EQ(view.GetItemCount(), 2);
    EXPECT_EQ(view.GetFile(2), nullptr);
    // An updated unknown id destroys an adopted object and changes nothing.
    view.UpdateFile_Attach(77, NewFile(77, "x", "jpg"));
    view.DeleteAllFile();
    EXPECT_EQ(view.GetItemCount(), 0);
    EXPECT_EQ(view.InsertFile_Map("map again", mapped.get()), 0); // the id is free again
}

TEST_F(FileListView, SelectionWalkAndFirstSelectedRow) {
    for (int id = 1; id <= 4; ++id) Add(id, "f" + std::to_string(id), "jpg", id, 40000 + id, false);
    view.InsertItem(99, "no entry");
    EXPECT_EQ(view.GetSelectedItem(), -1);
    EXPECT_EQ(view.GetSelectedFileID(), -1);
    EXPECT_EQ(view.GetSelectedFile(), nullptr);
    EXPECT_EQ(view.GetSelectedItemData(), nullptr);
    EXPECT_EQ(view.GetFirstSelectedItemPosition(), 0);

    view.SelectItem(4);
    EXPECT_EQ(view.GetSelectedFileID(), 0); // a selected row without entry
    view.SelectItem(1);
    view.SelectItem(3);
    view.SelectItem(17); // no such row
    EXPECT_EQ(view.GetSelectedCount(), 3);
    EXPECT_EQ(view.GetSelectedFileID(), 2);
    EXPECT_EQ(view.GetSelectedFileIDName(), "2.jpg");
    EXPECT_EQ(view.GetSelectedFile(), view.GetFile(2)->GetFile());
    kx::POSITION pos = view.GetFirstSelectedItemPosition();
    EXPECT_EQ(pos, 2);
    std::vector<int> rows;
    while (pos) rows.push_back(view.GetNextSelectedItem(pos));
    EXPECT_EQ(rows, (std::vector<int>{1, 3, 4}));
    pos = view.GetFirstSelectedItemPosition();
    EXPECT_EQ(view.GetNextSelectedFile(pos), view.GetFile(2));
    EXPECT_EQ(view.GetNextSelectedFile(pos), view.GetFile(4));
    EXPECT_EQ(view.GetNextSelectedFile(pos), nullptr); // the plain row
    EXPECT_EQ(pos, 0);

    view.SelectAllItem();
    EXPECT_EQ(view.GetSelectedCount(), 5);
    view.SetLastSelItem(3);
    EXPECT_EQ(view.GetLastSelItem(), 3);

    // The selection follows its rows through a sort by size, descending.
    view.GetCurrentView()->selectionModel()->clearSelection();
    view.SelectItem(0); // file 1
    view.SortByColumn(1);
    view.SortByColumn(1);
    EXPECT_GT(view.GetFileItem(1), 0);
    EXPECT_EQ(view.GetSelectedItem(), view.GetFileItem(1));
    EXPECT_EQ(view.GetSelectedFileID(), 1);
}

TEST_F(FileListView, ThumbnailsAreBuiltOncePerSizeAndDamagedOnesShowTheIcon) {
    view.SetMode_Report();
    for (int id = 1; id <= 3; ++id) Add(id, "p" + std::to_string(id), "jpg", 10, 40000);
    // Without bytes, corrupt, empty, cut: every one still gets a row.
    const std::vector<uint8_t> good = Jpeg(9);
    struct Bad {
        int id;
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Bad> bad = {
        {11, "no bytes", {}},
        {12, "corrupt", std::vector<uint8_t>(200, 0x5A)},
        {13, "cut JPEG", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 3)},
        {14, "JPEG head only", std::vector<uint8_t>(good.begin(), good.begin() + 2)},
    };
    for (const Bad& b : bad) {
        CkxFile* f = NewFile(b.id, b.what, "pdf", 1, 40000, b.bytes);
        EXPECT_GE(view.InsertFile_Attach(b.what, f), 0) << b.what;
    }
    EXPECT_EQ(view.GetItemCount(), 7);
    const int afterInsert = BuiltCount(view); // the held list's size was built at insert
    EXPECT_EQ(afterInsert, 3);

    view.SetMode_Micro50();
    view.SetMode_Micro60();
    std::vector<qint64> keys;
    for (int r = 0; r < 3; ++r) {
        const Entry* e = view.GetItemData(r);
        EXPECT_EQ(e->m_nMicroMask, 16 | 32) << r;
        EXPECT_EQ(e->GetMicro(1).size(), QSize(60, 60));
        keys.push_back(e->GetMicro(0).cacheKey());
    }
    EXPECT_EQ(BuiltCount(view), 6); // two bitmaps per file
    view.SetMode_Micro50();
    EXPECT_EQ(BuiltCount(view), 6); // the third switch builds none
    for (int r = 0; r < 3; ++r) EXPECT_EQ(view.GetItemData(r)->GetMicro(0).cacheKey(), keys[static_cast<size_t>(r)]);

    // The damaged ones: no bitmap, but a picture of the list's size in every thumbnail size.
    for (int flag = 16; flag <= 16384; flag <<= 1) {
        view.SetBrowseMode(flag);
        const int edge = Entry::SizeEdge(Entry::SizeIndex(flag));
        for (int r = 3; r < 7; ++r) {
            EXPECT_EQ(view.GetItemData(r)->m_nMicroMask, 0) << r;
            EXPECT_EQ(view.GetItemPicture(r).size(), QSize(edge, edge)) << flag << " row " << r;
        }
        ExpectOwnPictures("size " + std::to_string(flag));
    }
    guitest::Screenshot(&view, "CkxwFileListView-micro150-damaged");

    // A new file object drops the built sizes and builds the shown one again.
    view.SetMode_Micro50();
    view.UpdateFile_Create(1, std::unique_ptr<CkxFile>(NewFile(1, "p1", "jpg", 10, 40000, Jpeg(77))).get());
    EXPECT_EQ(view.GetItemData(0)->m_nMicroMask, 16);
    ExpectOwnPictures("after update");
}

TEST_F(FileListView, Micro160OnlyRecordsTheMode) {
    for (int id = 1; id <= 3; ++id) Add(id, "m" + std::to_string(id), "jpg", 10, 40000);
    view.SetMode_Micro130();
    const int built = BuiltCount(view);
    QAbstractItemView* shown = view.GetCurrentView();
    const QSize icon = shown->iconSize();
    const QImage picture = view.GetItemPicture(1);
    view.SetMode_Micro160();
    EXPECT_EQ(view.GetShowMode(), 32768);
    EXPECT_TRUE(view.IsMode_Micro160());
    EXPECT_TRUE(view.IsModeMicro());
    EXPECT_FALSE(view.IsModeIcon());
    EXPECT_EQ(view.GetCurrentView(), shown);
    EXPECT_EQ(shown->iconSize(), icon);
    EXPECT_EQ(BuiltCount(view), built);
    EXPECT_TRUE(SamePixels(view.GetItemPicture(1), picture));
    // Rows added and deleted meanwhile still show the 130-pixel pictures.
    Add(4, "m4", "jpg", 10, 40000);
    view.DeleteFileA(2);
    ExpectOwnPictures("160", Entry::SizeIndex(4096)); // what is on screen
    EXPECT_EQ(view.GetItemPicture(2).size(), QSize(130, 130));

    struct Case {
        int mode;
        bool icon;
    };
    for (const Case& c : {Case{1, true}, Case{2, true}, Case{4, true}, Case{8, true}, Case{16, false},
                          Case{16384, false}, Case{32768, false}}) {
        view.SetBrowseMode(c.mode);
        EXPECT_EQ(view.GetShowMode(), c.mode);
        EXPECT_EQ(view.IsModeIcon(), c.icon) << c.mode;
    }
}

TEST_F(FileListView, RowsKeepTheirOwnPicturesThroughSortsSwitchesAndDeletes) {
    // id, title, ext, size, entry date
    struct F {
        int id;
        const char* title;
        const char* ext;
        int size;
        double written;
    };
    const std::vector<F> files = {
        {1, "b", "JPG", 300, 40003}, {2, "a", "png", 100, 40001}, {3, "c", "bmp", 200, 40004},
        {4, "d", "Gif", 50, 40002},  {5, "e", "tif", 250, 40005},
    };
    for (const F& f : files) Add(f.id, f.title, f.ext, f.size, f.written);
    view.SetMode_Micro90();

    struct Sort {
        int column;
        std::vector<int> ascending;
    };
    const std::vector<Sort> sorts = {
        {1, {4, 2, 3, 5, 1}},     // size
        {2, {3, 4, 1, 2, 5}},     // bmp, Gif, JPG, png, tif
        {3, {2, 4, 1, 3, 5}},     // entry date
        {0, {2, 1, 3, 4, 5}},     // a.png, b.JPG, ...
        {7, {}},                  // another column leaves the order as it is
    };
    for (Sort s : sorts) {
        if (s.ascending.empty()) s.ascending = RowIds(view);
        view.SortByColumn(s.column);
        EXPECT_EQ(RowIds(view), s.ascending) << "column " << s.column;
        view.SortByColumn(s.column);
        std::vector<int> descending(s.ascending.rbegin(), s.ascending.rend());
        if (s.column == 7) descending = s.ascending;
        EXPECT_EQ(RowIds(view), descending) << "column " << s.column << " reversed";
        ExpectOwnPictures("sorted by " + std::to_string(s.column));
        view.SetMode_LargeIcon();
        ExpectOwnPictures("large icons");
        view.SetMode_Micro90();
        ExpectOwnPictures("back to 90");
    }
    view.SortByColumn(1); // size, ascending: 4 2 3 5 1
    view.DeleteItem(1);   // file 2
    EXPECT_EQ(RowIds(view), (std::vector<int>{4, 3, 5, 1}));
    ExpectOwnPictures("after a delete");
    view.SetMode_Report();
    view.UpdateView();
    view.SetMode_Micro90();
    ExpectOwnPictures("after UpdateView");
    EXPECT_TRUE(view.IsAutoArrange());

    // A click on a heading sorts as well.
    view.SetMode_Report();
    view.show();
    QHeaderView* header = static_cast<QTreeView*>(view.GetCurrentView())->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(3) + 5, 5));
    EXPECT_EQ(view.GetSortColumn(), 3);
    EXPECT_EQ(RowIds(view), (std::vector<int>{4, 1, 3, 5}));
}

TEST_F(FileListView, GbkExtensionOrderIsCaseInsensitiveAndByCharacter) {
    // 啊 (B0A1) before 吧 (B0C9) before 中 (D6D0); Latin letters before Chinese, case ignored.
    const std::vector<std::pair<int, std::string>> exts = {{1, "中"}, {2, "Ab"}, {3, "吧"}, {4, "aA"}, {5, "啊"}};
    for (const auto& [id, ext] : exts)
        view.InsertFile_Attach(ext, NewFile(id, "f", ext));
    view.SortByColumn(2);
    EXPECT_EQ(RowIds(view), (std::vector<int>{4, 2, 5, 3, 1}));
}

TEST_F(FileListView, PlayFlagIsOnAfterEveryOperation) {
    std::vector<int> during;
    QObject::connect(&view, &CkxwFileListView::SelectionChanged, [&] { during.push_back(view.IsCanPlay()); });
    Add(1, "a", "jpg", 1, 40000);
    EXPECT_EQ(view.IsCanPlay(), 1);
    EXPECT_EQ(Add(1, "a", "jpg", 1, 40000), -1);
    EXPECT_EQ(view.IsCanPlay(), 1);
    EXPECT_EQ(view.InsertFile_Map("null", nullptr), -1);
    EXPECT_EQ(view.IsCanPlay(), 1);
    CkxFile* broken = NewFile(2, "broken", "jpg", 1, 40000, std::vector<uint8_t>(10, 1));
    EXPECT_GE(view.InsertFile_Attach("broken", broken), 0);
    EXPECT_EQ(view.IsCanPlay(), 1);
    view.RelinkItemToMicroImage(4096);
    EXPECT_EQ(view.IsCanPlay(), 1);
    view.UpdateFileName(1, "renamed");
    EXPECT_EQ(view.IsCanPlay(), 1);
    view.UpdateFileName(404, "absent");
    EXPECT_EQ(view.IsCanPlay(), 1);
    view.SelectAllItem();
    EXPECT_EQ(view.IsCanPlay(), 1);
    ASSERT_FALSE(during.empty());
    EXPECT_EQ(during.back(), 0); // the selection changed while the flag was off
    view.DisablePlay();
    EXPECT_EQ(view.IsCanPlay(), 0);
    view.EnablePlay();
    EXPECT_EQ(view.IsCanPlay(), 1);
}

TEST_F(FileListView, DeleteQuestionNamesTheSelectedFiles) {
    Add(1, "春天", "jpg", 1, 40000);
    Add(2, "b", "png", 1, 40000);
    Add(3, "c", "gif", 1, 40000);
    view.SelectItem(0);
    view.SelectItem(2);
    kx::PromptRecorder prompts;
    prompts.Answer(kx::AnswerOk).Answer(kx::AnswerCancel);
    EXPECT_EQ(view.MsgBox_QuestionDeleteSelectedFile(), 1);
    EXPECT_EQ(view.MsgBox_QuestionDeleteSelectedFile(), 0);
    ASSERT_EQ(prompts.Count(), 2u);
    EXPECT_EQ(prompts.Texts()[0], "确定删除文件\n春天.jpg;\tc.gif;\t");
    EXPECT_EQ(prompts.Requests()[0].buttons, kx::PromptOkCancel);
}

TEST_F(FileListView, DragsAreAnsweredWithCopy) {
    QMimeData data;
    data.setText("anything");
    QDragEnterEvent enter(QPoint(10, 10), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QMimeData empty;
    QDragMoveEvent move(QPoint(20, 20), Qt::CopyAction | Qt::LinkAction, &empty, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
}

TEST_F(FileListView, Screenshots) {
    const std::vector<std::tuple<int, const char*, const char*, int>> files = {
        {1, "风景", "jpg", 120000}, {2, "合同", "pdf", 5300}, {3, "海边日落", "jpg", 98000},
        {4, "notes", "txt", 800},  {5, "山谷", "png", 45000}, {6, "破损", "jpg", 10}};
    for (const auto& [id, title, ext, size] : files) {
        const bool micro = std::string(ext) != "pdf" && std::string(ext) != "txt";
        CkxFile* f = NewFile(id, title, ext, size, 45000 + id,
                             id == 6 ? std::vector<uint8_t>(30, 7) : micro ? Jpeg(id * 5, 160, 110) : std::vector<uint8_t>{});
        const int row = view.InsertFile_Attach(f->GetFileName(), f);
        view.SetItemText(row, 1, std::to_string(size));
        view.SetItemText(row, 2, ext);
        view.SetItemText(row, 3, kx::DateText(45000 + id));
    }
    view.SelectItem(2);
    view.SetMode_Report();
    guitest::Screenshot(&view, "CkxwFileListView-details");
    view.SetMode_LargeIcon();
    guitest::Screenshot(&view, "CkxwFileListView-largeicons");
    view.SetMode_Micro130();
    guitest::Screenshot(&view, "CkxwFileListView-micro130");
}
