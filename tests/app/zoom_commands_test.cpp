// Zoom from the View menu's commands, their keys and Ctrl with the wheel: the
// active window's music grows or shrinks with its cursor row where it was,
// the document stays unmodified, the status bar shows the zoom and the
// setting keeps it for the next window.
#include "app_fixture.h"

#include "app/command_table.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <functional>

namespace {

using ZoomTest = AppTest;

std::string longPiece()
{
    std::string text = "<Bar Timing=\"M4/4\"/>";
    for (int i = 0; i < 200; ++i)
        text += "<Note Value=\"4\" Tines=\"" + std::to_string(i % 17 + 1) + "\"/>";
    return text;
}

void wheel(CZolvaView* view, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPointF at(20, 20);
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &event);
}

TEST_F(ZoomTest, CommandsKeysAndWheelZoomTheActiveWindow)
{
    CZolvaView* view = start(longPiece());
    ASSERT_TRUE(view);
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    // The cursor in the middle of the piece, shown mid-window.
    view->ScrollToElement(element(view, 100), 0);
    view->cursor().element.store(element(view, 100));
    const QScrollBar* bar = view->verticalScrollBar();
    auto cursorRow = [&] {
        view->layout().setViewport(bar->value(), view->viewport()->height());
        return view->layout().EventBand(view->cursor().element.load()).top;
    };
    const int height100 = view->layout().ComputeExtent(false).height();

    struct Step {
        const char* how;
        std::function<void()> act;
        int zoom;
    };
    const Step steps[] = {
        {"Zoom In", [&] { command(cmd::ZoomIn)->trigger(); }, 110},
        {"Ctrl++", [&] { QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier); }, 125},
        {"Ctrl+wheel away", [&] { wheel(view, 120, Qt::ControlModifier); }, 150},
        {"half a notch", [&] { wheel(view, 60, Qt::ControlModifier); }, 150},
        {"the other half", [&] { wheel(view, 60, Qt::ControlModifier); }, 175},
        {"plain wheel scrolls", [&] { wheel(view, -120, Qt::NoModifier); }, 175},
        {"Ctrl+-", [&] { QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier); }, 150},
        {"Zoom Out", [&] { command(cmd::ZoomOut)->trigger(); }, 125},
        {"Ctrl+0", [&] { QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier); }, 100},
        {"Ctrl+wheel towards", [&] { wheel(view, -240, Qt::ControlModifier); }, 80},
        {"Actual Size", [&] { command(cmd::ZoomActual)->trigger(); }, 100},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.how);
        const int64_t before = cursorRow();
        step.act();
        EXPECT_EQ(view->zoom(), step.zoom);
        EXPECT_DOUBLE_EQ(view->layout().options().scale, step.zoom / 100.0);
        if (std::string(step.how) != "plain wheel scrolls") {
            EXPECT_EQ(cursorRow(), before) << "the cursor row keeps its place in the window";
        }
        EXPECT_EQ(frame()->zoomPane()->isVisibleTo(frame()), step.zoom != 100);
        EXPECT_EQ(frame()->zoomPane()->text(), step.zoom != 100 ? QString::number(step.zoom) + "%" : QString());
        EXPECT_EQ(get("Zoom"), QString::number(step.zoom));
        EXPECT_FALSE(view->document().isModified());
        EXPECT_FALSE(view->document().modifiedFlag());
        EXPECT_EQ(frame()->windowTitle(), "Zolva Reader - piece.zvm") << "no modified mark";
    }
    EXPECT_EQ(view->layout().ComputeExtent(false).height(), height100) << "back at 100% the piece is as before";
    // At the ends of the steps the zoom stays.
    for (int i = 0; i < 20; ++i)
        command(cmd::ZoomIn)->trigger();
    EXPECT_EQ(view->zoom(), 300);
    for (int i = 0; i < 20; ++i)
        command(cmd::ZoomOut)->trigger();
    EXPECT_EQ(view->zoom(), 50);
}

// Each window keeps its own zoom; a new window opens at the one last chosen,
// and the document's shared positions follow whichever window is drawn.
TEST_F(ZoomTest, PerWindowAndRememberedForNewWindows)
{
    struct Row {
        const char* stored;
        int opened;
    };
    const Row rows[] = {{"", 100}, {"150", 150}, {"300", 300}, {"301", 100}, {"49", 100}, {"x", 100}, {"67", 67}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        set("Zoom", row.stored);
        CZolvaView* view = frame() ? open(QString("piece%1.zvm").arg(row.opened), longPiece()) : start(longPiece());
        ASSERT_TRUE(view);
        EXPECT_EQ(view->zoom(), row.opened);
        EXPECT_DOUBLE_EQ(view->layout().options().scale, row.opened / 100.0);
        EXPECT_EQ(get("Zoom"), row.stored) << "opening does not write it";
    }

    CZolvaView* first = frame()->activeChild()->view();
    set("Zoom", "200");
    command(cmd::WindowNew)->trigger();
    CZolvaView* second = frame()->activeChild()->view();
    ASSERT_NE(first, second);
    ASSERT_EQ(&first->document(), &second->document());
    EXPECT_EQ(second->zoom(), 200);
    EXPECT_EQ(first->zoom(), 67);
    EXPECT_EQ(frame()->zoomPane()->text(), "200%");
    // Drawn after the other, each lays the shared positions out at its own zoom.
    for (CZolvaView* view : {first, second, first}) {
        view->viewport()->grab(); // paints it
        const XPxmlNode* last = view->document().lastEvent();
        view->layout().setViewport(0, view->viewport()->height());
        EXPECT_EQ(view->layout().EventBand(last, ViewLayout::Coordinates::Document).top,
                  view->layout().options().metrics.topMargin)
            << "the last element at the top margin of its own layout";
        EXPECT_EQ(view->document().positionsScale(), view->zoom() / 100.0);
    }
}

} // namespace
