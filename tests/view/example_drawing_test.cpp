// Draws each example file as a view would show it, top to bottom, into a PNG
// in the build folder (tests/view/drawings/) for a person to look at.
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "view/tablature_painter.h"
#include "view/view_layout.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct QuietSink : MessageSink {
    void showMessage(const std::string& text) override { ADD_FAILURE() << text; }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

TEST(DrawExamples, EachExampleDrawsLanesAndNotes)
{
    const QDir examples(QStringLiteral(ZOLVA_SOURCE_DIR "/examples"));
    QDir out(QStringLiteral(ZOLVA_DRAWINGS_DIR));
    out.mkpath(QStringLiteral("."));
    const QStringList files = examples.entryList({QStringLiteral("*.zvm")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QuietSink sink;
        CZolvaDoc doc(sink);
        ASSERT_EQ(doc.openDocument(examples.filePath(name)), OpenOutcome::Opened) << name.toStdString();
        ViewLayout layout;
        layout.setDocument(&doc);
        layout.RefreshLayout();
        const QSize extent = layout.ComputeExtent(false);
        // The whole piece, one window's height at a time, the bottom first.
        const int window = 600;
        QImage page(extent.width(), extent.height(), QImage::Format_RGB32);
        QPainter pagePainter(&page);
        TablaturePainter painter;
        QImage frame;
        for (int scroll = 0; scroll < extent.height(); scroll += window) {
            layout.setViewport(scroll, window);
            ASSERT_TRUE(painter.OnDraw(frame, layout, QSize(extent.width(), window), CursorMarks()));
            pagePainter.drawImage(0, scroll, frame);
        }
        pagePainter.end();
        int black = 0;
        int lane = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2) {
                black += page.pixel(x, y) == qRgb(0, 0, 0);
                lane += page.pixel(x, y) == qRgb(0xC8, 0xC8, 0xC8);
            }
        EXPECT_GT(black, 100) << name.toStdString();
        EXPECT_GT(lane, 1000) << name.toStdString();
        EXPECT_TRUE(page.save(out.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".png"))));
    }
}

} // namespace
