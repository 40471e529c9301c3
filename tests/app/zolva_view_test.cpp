// The view widget: scroll ranges from the layout, the opening position at
// the first element, and what it copies to the screen.
#include "music_fixture.h"

#include "app/zolva_view.h"

#include <QImage>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

const std::string kLongPiece = repeat(bar() + note("4") + note("4") + note("4") + note("4"), 40) + bar();

struct OpenView {
    OpenView() : music(kLongPiece), view(music.doc)
    {
        view.resize(400, 300);
        view.show();
        view.OnInitialUpdate();
    }
    Music music;
    CZolvaView view;
};

TEST(ZolvaView, OpensAtTheFirstElementWithTheCursorOnIt)
{
    OpenView open;
    CZolvaView& view = open.view;
    const QSize extent = view.layout().ComputeExtent(false);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), extent.height() - view.viewport()->height());
    EXPECT_EQ(view.cursor().element.load(), open.music.doc.firstEvent());
    view.layout().setViewport(view.verticalScrollBar()->value(), view.viewport()->height());
    EXPECT_TRUE(view.layout().IsPartlyVisible(open.music.doc.firstEvent()));
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum())
        << "the bottom of the piece shows, the tine names included";
    EXPECT_FALSE(open.music.doc.isModified());
}

// Home, from anywhere, shows the first row as opening does: from the bottom,
// the tine names under it whole.
TEST(ZolvaView, HomeShowsTheTineNamesWhole)
{
    OpenView open;
    CZolvaView& view = open.view;
    QScrollBar* bar = view.verticalScrollBar();
    for (int from : {0, bar->maximum() - 20}) {
        view.OnEnd();
        bar->setValue(from);
        view.OnHome();
        EXPECT_EQ(bar->value(), bar->maximum()) << "from " << from;
    }
}

TEST(ZolvaView, ShowsThePaintersFrameWithoutErasing)
{
    OpenView open;
    CZolvaView& view = open.view;
    EXPECT_TRUE(view.viewport()->testAttribute(Qt::WA_OpaquePaintEvent));
    const QImage shown = view.viewport()->grab().toImage();
    // Probed in device pixels: ctest runs this once more at a scale factor of 2.
    const double ratio = view.viewport()->devicePixelRatioF();
    EXPECT_DOUBLE_EQ(shown.devicePixelRatio(), ratio);
    const auto at = [&](int x, int64_t y) { return shown.pixel(int(x * ratio), int(double(y) * ratio)); };
    const int mid = view.layout().TineX(0) + view.layout().options().metrics.tineWidth / 2;
    // The cursor is on the opening bar, low in the window: its band is
    // tinted green, the lanes above it are plain.
    const ViewLayout::Band first = view.layout().EventBand(open.music.doc.firstEvent());
    const ViewLayout::Band second = view.layout().EventBand(open.music.at(1));
    EXPECT_EQ(at(mid + 20, first.top + 2), qRgb(0xC8, 0xFF, 0xC8)) << "the highlight";
    EXPECT_EQ(at(mid + 20, second.top - 3), qRgb(0xC8, 0xC8, 0xC8)) << "a lane";
    if (ratio == 2.0) {
        // Drawn at the screen's density, not blown up: heads and text give
        // 2 × 2 blocks of more than one colour.
        int mixed = 0;
        for (int y = 0; y + 1 < shown.height(); y += 2)
            for (int x = 0; x + 1 < shown.width(); x += 2) {
                const QRgb c = shown.pixel(x, y);
                mixed += shown.pixel(x + 1, y) != c || shown.pixel(x, y + 1) != c || shown.pixel(x + 1, y + 1) != c;
            }
        EXPECT_GT(mixed, 100);
    }
}

// Playing, and after a Stop until the selection changes, the cursor's row has
// its amber band over the selection.
TEST(ZolvaView, CursorShowsOverTheSelectionItWasPlayedIn)
{
    OpenView open;
    CZolvaView& view = open.view;
    ViewCursor& cursor = view.cursor();
    cursor.selectionAnchor = open.music.at(1);
    cursor.selectionEnd = open.music.at(3);
    cursor.element.store(open.music.at(2));
    const auto banded = [&] {
        const QImage shown = view.viewport()->grab().toImage();
        const double ratio = view.viewport()->devicePixelRatioF();
        const ViewLayout::Band row = view.layout().EventBand(open.music.at(2));
        const int x = view.layout().TineX(0) - 2 - view.horizontalScrollBar()->value();
        return shown.pixel(int(x * ratio), int(double(row.top - 3) * ratio)) == qRgb(0xE0, 0x70, 0x00);
    };
    EXPECT_FALSE(banded()) << "a selection alone";
    view.setPlaying(true);
    EXPECT_TRUE(banded()) << "playing";
    view.setPlaying(false);
    EXPECT_TRUE(banded()) << "stopped";
    cursor.selectionEnd = open.music.at(4);
    EXPECT_FALSE(banded()) << "the selection changed";
}

TEST(ZolvaView, ScrollToElementKeepsTheElementsAheadInView)
{
    OpenView open;
    CZolvaView& view = open.view;
    QScrollBar& bar = *view.verticalScrollBar();
    // Whether element index shows with a band of its own height to spare on both sides.
    auto showsWithRoom = [&](int index) {
        const ViewLayout::Band band =
            view.layout().EventBand(open.music.at(index), ViewLayout::Coordinates::Document);
        return band.top - band.height >= bar.value() &&
               band.top + band.height <= bar.value() + view.viewport()->height();
    };

    ASSERT_FALSE(showsWithRoom(70));
    view.ScrollToElement(open.music.at(60), 10);
    EXPECT_TRUE(showsWithRoom(70));
    ASSERT_FALSE(showsWithRoom(15));
    view.ScrollToElement(open.music.at(5), 10);
    EXPECT_TRUE(showsWithRoom(15));
    // An element already in view moves nothing.
    const int before = bar.value();
    view.ScrollToElement(open.music.at(14), 1);
    EXPECT_EQ(bar.value(), before);
    view.ScrollToElement(nullptr, 10);
    EXPECT_EQ(bar.value(), before);
    // Looking ahead stops at the last element (200): as if it were asked for.
    view.ScrollToElement(open.music.at(195), 10);
    const int nearEnd = bar.value();
    EXPECT_NE(nearEnd, before);
    view.ScrollToElement(open.music.at(5), 0);
    view.ScrollToElement(open.music.at(200), 0);
    EXPECT_EQ(bar.value(), nearEnd);
}

// Wherever out-of-order bands lie, the scroll range reaches each element.
TEST(ZolvaView, ScrollsToEveryElementOfUnorderedLayouts)
{
    for (const UnorderedLayout& piece : unorderedLayouts()) {
        Music::Config config;
        config.screen = piece.screen;
        Music music(piece.notes, config);
        CZolvaView view(music.doc);
        view.resize(400, 300);
        view.show();
        view.OnInitialUpdate();
        const QScrollBar& bar = *view.verticalScrollBar();
        for (int i = 0; music.at(i); ++i) {
            view.ScrollToElement(music.at(i), 0);
            const ViewLayout::Band band = view.layout().EventBand(music.at(i), ViewLayout::Coordinates::Document);
            EXPECT_TRUE(band.top >= bar.value() && band.top + band.height <= bar.value() + view.viewport()->height())
                << piece.name << ": element " << i << " at " << band.top << ", scrolled to " << bar.value() << " of "
                << bar.maximum();
        }
    }
}

TEST(ZolvaView, UpdateClearsTheCursorAndLaysOutAgain)
{
    OpenView open;
    CZolvaView& view = open.view;
    open.music.doc.firstEvent()->nextElementSibling()->setAttribute("Value", "1");
    view.OnUpdate();
    EXPECT_EQ(view.cursor().element.load(), nullptr);
    EXPECT_GT(view.layout().ComputeExtent(false).height(), 0);
}

} // namespace
