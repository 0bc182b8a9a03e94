// The file list's large-icon and thumbnail labels: every item's label is as tall as its own name
// needs, up to the grid's two lines, whatever the order of the items; a short name last used to
// cut every longer name above it to one line ("合同.pdf" shown as "合…").
#include "support/gui/Screenshot.h"

#include "model/CkxFile.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxwFileListView.h"

#include <QAbstractItemView>
#include <QListView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Name {
    const char* title;
    const char* ext;
};
// A one-line name, two names that need both lines, and another one-line name.
const std::vector<Name> kNames = {{"山", "jpg"}, {"海边日落的照片", "jpg"}, {"合同草稿", "pdf"}, {"a", "txt"}};

TEST(FileListLabels, EachLabelShowsItsWholeNameWhateverTheOrder) {
    kx::EnsureApplication();
    struct Mode {
        const char* name;
        void (CkxwFileListView::*set)();
    } const modes[] = {{"largeicons", &CkxwFileListView::SetMode_LargeIcon},
                       {"micro50", &CkxwFileListView::SetMode_Micro50}};
    for (const Mode& mode : modes) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(mode.name) + (reversed ? " reversed" : ""));
            CkxwFileListView view;
            view.resize(420, 260);
            std::vector<Name> names = kNames;
            if (reversed) names.assign(kNames.rbegin(), kNames.rend());
            int id = 1;
            for (const Name& n : names) {
                auto* f = new CkxFile;
                f->m_nID = id++;
                f->m_strTitle = n.title;
                f->m_strExName = n.ext;
                ASSERT_GE(view.InsertFile_Attach(f->GetFileName(), f), 0);
            }
            (view.*mode.set)();
            view.show();
            auto* list = qobject_cast<QListView*>(view.GetCurrentView());
            ASSERT_NE(list, nullptr);
            list->doItemsLayout();
            QStyleOptionViewItem option;
            option.initFrom(list);
            option.decorationPosition = QStyleOptionViewItem::Top;
            option.displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
            option.decorationSize = list->iconSize();
            option.features |= QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasDecoration |
                               QStyleOptionViewItem::HasDisplay;
            option.rect = QRect(QPoint(), list->gridSize());
            int shortest = 1 << 20, tallest = 0;
            for (int row = 0; row < view.GetItemCount(); ++row) {
                const QModelIndex index = list->model()->index(row, 0);
                const int needed = std::min(list->itemDelegate()->sizeHint(option, index).height(), list->gridSize().height());
                const QRect shown = list->visualRect(index);
                EXPECT_GE(shown.height(), needed) << list->model()->data(index).toString().toStdString();
                shortest = std::min(shortest, needed);
                tallest = std::max(tallest, needed);
            }
            // The names do need different heights, or the test would show nothing.
            EXPECT_GT(tallest, shortest);
            guitest::Screenshot(&view, std::string("filelist_labels_") + mode.name + (reversed ? "_reversed" : ""));
        }
    }
}

} // namespace
