// The flat splitter as a real widget on the offscreen platform: hiding and showing a row or a
// column (ids, sizes, activation), replacing and switching views, the plain look when the flat
// look is off, and dragging a bar.
#include "controls/CFlatSplitterWnd.h"

#include "qt/KxModalDriver.h"
#include "support/gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <map>

using studio::CFlatSplitterWnd;

namespace {

// Two kinds of view, so a replacement can be told from the view it replaces.
class NoteView : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
};

class LabelView : public QLabel {
    Q_OBJECT
public:
    explicit LabelView(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }
};

// The ids and places of every pane the splitter holds (shown or not), keyed by the view.
struct Snapshot {
    std::map<QWidget*, int> ids;
    std::map<QWidget*, QRect> places;
    bool operator==(const Snapshot&) const = default;
};

class SplitterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kx::EnsureApplication(); }

    // A rows x cols splitter of 420 x 300 whose panes carry their grid place as text.
    std::unique_ptr<CFlatSplitterWnd> Make(int rows, int cols) {
        auto s = std::make_unique<CFlatSplitterWnd>();
        s->resize(420, 300);
        EXPECT_TRUE(s->CreateStatic(rows, cols));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                EXPECT_TRUE(s->CreateView(r, c, kx::ViewClassOf<LabelView>(), QSize(90 + 20 * c, 60 + 10 * r), &document));
                static_cast<QLabel*>(s->GetPane(r, c))->setText(QString("pane %1,%2").arg(r).arg(c));
            }
        s->show();
        s->RecalcLayout();
        return s;
    }

    static Snapshot Take(const CFlatSplitterWnd& s) {
        Snapshot out;
        for (QWidget* w : s.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            out.ids[w] = kx::CtrlId(w);
            if (w->isVisible()) out.places[w] = w->geometry();
        }
        return out;
    }

    QObject document;
};

struct HideCase {
    int rows, cols;
    bool row;   // a row, else a column
    int index;  // which to hide
    int active; // row (or column) of the active pane before
    int activeAfter;
};

TEST_F(SplitterTest, HideAndShowMoveActivationAndRestoreIdsAndSizes) {
    const HideCase cases[] = {
        {2, 2, true, 0, 0, 1},  {2, 2, true, 1, 1, 0},  {3, 2, true, 1, 1, 2},  {3, 2, true, 2, 2, 0},
        {3, 2, true, 0, 2, 2},  {2, 2, false, 0, 0, 1}, {2, 2, false, 1, 1, 0}, {3, 2, false, 1, 0, 0},
    };
    for (const HideCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << "x" << c.cols << (c.row ? " row " : " column ") << c.index
                                        << " active " << c.active);
        auto s = Make(c.rows, c.cols);
        const int fixed = 1; // the other coordinate of the active pane
        if (c.row) s->SetActivePane(c.active, fixed);
        else s->SetActivePane(fixed, c.active);
        QWidget* activeBefore = s->GetActivePane();
        const Snapshot before = Take(*s);
        QWidget* hidden = c.row ? s->GetPane(c.index, 0) : s->GetPane(0, c.index);

        if (c.row) s->HideRow(c.index);
        else s->HideColumn(c.index);
        EXPECT_EQ(c.row ? s->GetRowCount() : s->GetColumnCount(), (c.row ? c.rows : c.cols) - 1);
        EXPECT_FALSE(hidden->isVisible());
        const int hiddenId = CFlatSplitterWnd::kFirstPaneId + (c.row ? c.rows : c.cols);
        EXPECT_EQ(kx::CtrlId(hidden), hiddenId) << "the hidden pane of the first line keeps 0xE900 + 16 x 0 + count";
        int ar = -1, ac = -1;
        QWidget* active = s->GetActivePane(&ar, &ac);
        ASSERT_NE(active, nullptr);
        // Where the activation went, in the grid as it was before.
        const int wasAt = c.activeAfter;
        QWidget* expected = nullptr;
        for (auto& [w, id] : before.ids)
            if (id == (c.row ? CFlatSplitterWnd::IdFromRowCol(wasAt, fixed) : CFlatSplitterWnd::IdFromRowCol(fixed, wasAt)))
                expected = w;
        if (c.index == c.active) EXPECT_EQ(active, expected);
        else EXPECT_EQ(active, activeBefore);
        // Every shown pane fills the splitter's grid without a gap of a hidden line.
        for (int r = 0; r < s->GetRowCount(); ++r)
            for (int k = 0; k < s->GetColumnCount(); ++k) EXPECT_TRUE(s->GetPane(r, k) && s->GetPane(r, k)->isVisible());

        if (c.row) s->ShowRow();
        else s->ShowColumn();
        EXPECT_EQ(Take(*s), before);
        EXPECT_EQ(c.row ? s->HiddenRow() : s->HiddenColumn(), -1);
    }
}

TEST_F(SplitterTest, RequestsThatCannotBeMetChangeNothing) {
    auto s = Make(2, 2);
    const Snapshot before = Take(*s);
    s->HideRow(2);
    s->HideRow(-1);
    s->HideColumn(5);
    s->ShowRow();
    s->ShowColumn();
    EXPECT_EQ(Take(*s), before);

    // The only row or column stays.
    auto one = Make(1, 2);
    const Snapshot single = Take(*one);
    one->HideRow(0);
    EXPECT_EQ(one->GetRowCount(), 1);
    EXPECT_EQ(Take(*one), single);
    one->HideColumn(1);
    one->HideColumn(0); // only one column may hide at a time
    EXPECT_EQ(one->GetColumnCount(), 1);
    one->ShowColumn();
    EXPECT_EQ(Take(*one), single);
}

TEST_F(SplitterTest, ReplaceAndSwitchKeepIdsDocumentsAndSizes) {
    auto s = Make(2, 2);
    QWidget* old = s->GetPane(1, 0);
    const QRect place = old->geometry();
    const int id = kx::CtrlId(old);
    s->SetActivePane(1, 0);

    EXPECT_EQ(s->ReplaceView(1, 0, kx::ViewClassOf<LabelView>()), 0) << "already of that class";
    EXPECT_EQ(s->GetPane(1, 0), old);

    QObject* handed = nullptr;
    kx::ViewClass notes{&NoteView::staticMetaObject, [&](QWidget* parent, QObject* doc) -> QWidget* {
                            handed = doc;
                            return new NoteView(parent);
                        }};
    EXPECT_EQ(s->ReplaceView(1, 0, notes), 1);
    QWidget* now = s->GetPane(1, 0);
    ASSERT_NE(now, nullptr);
    EXPECT_NE(qobject_cast<NoteView*>(now), nullptr);
    EXPECT_EQ(handed, &document);
    EXPECT_EQ(s->DocumentOf(now), &document);
    EXPECT_EQ(kx::CtrlId(now), id);
    EXPECT_EQ(now->geometry(), place);
    EXPECT_EQ(s->GetActivePane(), now);

    // Switching to an existing view exchanges the ids; switching back restores them.
    auto* spare = new LabelView(s.get());
    kx::SetCtrlId(spare, 4242);
    EXPECT_EQ(s->SwitchView(1, 0, spare), 1);
    EXPECT_EQ(s->GetPane(1, 0), spare);
    EXPECT_EQ(kx::CtrlId(now), 4242);
    EXPECT_FALSE(now->isVisible());
    EXPECT_TRUE(spare->isVisible());
    EXPECT_EQ(spare->geometry(), place);
    EXPECT_EQ(s->SwitchView(1, 0, spare), 0);
    EXPECT_EQ(s->SwitchView(1, 0, now), 1);
    EXPECT_EQ(kx::CtrlId(now), id);
    EXPECT_EQ(kx::CtrlId(spare), 4242);
    EXPECT_EQ(s->ReplaceView(5, 0, notes), 0);
    EXPECT_EQ(s->SwitchView(0, 7, spare), 0);
}

TEST_F(SplitterTest, FlatLookOffPaintsAsThePlainSplitterAndOnDiffers) {
    auto flat = Make(2, 2);
    kx::SplitterWnd plain;
    plain.resize(420, 300);
    ASSERT_TRUE(plain.CreateStatic(2, 2));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            ASSERT_TRUE(plain.CreateView(r, c, kx::ViewClassOf<LabelView>(), QSize(90 + 20 * c, 60 + 10 * r)));
            static_cast<QLabel*>(plain.GetPane(r, c))->setText(QString("pane %1,%2").arg(r).arg(c));
        }
    plain.show();
    plain.RecalcLayout();

    const QImage flatOn = flat->grab().toImage();
    flat->SetFlatLook(0);
    const QImage flatOff = flat->grab().toImage();
    const QImage reference = plain.grab().toImage();
    EXPECT_EQ(flatOff, reference);
    EXPECT_NE(flatOn, reference);
    // The flat border's outer ring is the button face; the plain one starts in the shadow colour.
    const QRect pane = flat->GetPane(0, 0)->geometry();
    const QPoint corner = pane.topLeft() - QPoint(2, 2);
    EXPECT_EQ(flatOn.pixelColor(corner).rgb(), flat->palette().color(QPalette::Button).rgb());
    EXPECT_EQ(flatOff.pixelColor(corner).rgb(), flat->palette().color(QPalette::Dark).rgb());
}

TEST_F(SplitterTest, DraggingABarResizesTheColumnAndAPicture) {
    auto s = Make(2, 2);
    int cur = 0, min = 0;
    s->GetColumnInfo(0, cur, min);
    const QRect pane = s->GetPane(0, 0)->geometry();
    const QPoint bar(pane.right() + s->BorderWidth() + 3, pane.center().y());
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, s->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(s.get(), &e);
    };
    send(QEvent::MouseButtonPress, bar, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, bar + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, bar + QPoint(40, 0), Qt::LeftButton, Qt::NoButton);
    int after = 0;
    s->GetColumnInfo(0, after, min);
    EXPECT_EQ(after, cur + 40);
    EXPECT_EQ(s->GetPane(1, 0)->width(), after) << "the column is shared by its rows";

    s->HideRow(1);
    guitest::Screenshot(s.get(), "CFlatSplitterWnd-row-hidden");
    s->ShowRow();
    guitest::Screenshot(s.get(), "CFlatSplitterWnd-2x2");
}

} // namespace

#include "splitter_test.moc"
