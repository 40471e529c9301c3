// The view widget: scroll ranges from the layout, the opening position at
// the first element, and what it copies to the screen.
#include "music_fixture.h"

#include "view/zolva_view.h"

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
    EXPECT_FALSE(open.music.doc.isModified());
}

TEST(ZolvaView, ShowsThePaintersFrameWithoutErasing)
{
    OpenView open;
    CZolvaView& view = open.view;
    EXPECT_TRUE(view.viewport()->testAttribute(Qt::WA_OpaquePaintEvent));
    const QImage shown = view.viewport()->grab().toImage();
    const int mid = view.layout().TineX(0) + view.layout().options().metrics.tineWidth / 2;
    // The cursor is on the opening bar, low in the window: its band is
    // tinted green, the lanes above it are plain.
    const ViewLayout::Band first = view.layout().EventBand(open.music.doc.firstEvent());
    const ViewLayout::Band second = view.layout().EventBand(open.music.at(1));
    EXPECT_EQ(shown.pixel(mid + 20, int(first.top) + 2), qRgb(0xC8, 0xFF, 0xC8)) << "the highlight";
    EXPECT_EQ(shown.pixel(mid + 20, int(second.top) - 3), qRgb(0xC8, 0xC8, 0xC8)) << "a lane";
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
