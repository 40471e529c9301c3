// The thumbnail of each example: the size a file manager asks for, lanes
// where the layout puts them and notes on them.
#include "app/thumbnail_command.h"
#include "doc/zolva_doc.h"
#include "recording_sink.h"
#include "view/piece_start_drawing.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The share of area's pixels that are white, or that are black.
double shareOf(const QImage& picture, const QRect& area, bool white)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(picture.pixel(x, y));
            found += white ? grey > 235 : grey < 60;
        }
    return double(found) / (area.width() * area.height());
}

TEST(Thumbnail, ShowsLanesAndNotesOfEachExampleAtEachSize)
{
    const QDir examples(QStringLiteral(ZOLVA_SOURCE_DIR "/examples"));
    const QStringList files = examples.entryList({QStringLiteral("*.zvm")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        for (const int size : {128, 256, 1024}) {
            SCOPED_TRACE(name.toStdString() + " at " + std::to_string(size));
            RecordingSink sink;
            CZolvaDoc doc(sink);
            ASSERT_EQ(doc.openDocument(examples.filePath(name)), OpenOutcome::Opened);
            const QImage picture = thumbnailPicture(doc, size);
            ASSERT_EQ(std::max(picture.width(), picture.height()), size);

            // Where the layout puts the lanes, scaled as the picture is: the
            // whole piece's width fills the picture's.
            PieceStartDrawing start(doc);
            const double scale = double(picture.width()) / start.extent().width();
            const int tines = doc.tineCount();
            const auto column = [&](int x) { return QRect(x, 0, 1, picture.height()); };
            for (int tine = 0; tine < tines; ++tine) {
                const double middle = (start.layout().TineX(tine) + start.layout().TineX(tine + 1)) / 2.0;
                EXPECT_LT(shareOf(picture, column(int(middle * scale)), true), 0.3) << "lane " << tine;
            }
            // Two pixels clear of the lanes' outlines, smoothed as they are.
            const int left = int(start.layout().TineX(0) * scale) - 2;
            const int right = int(start.layout().TineX(tines) * scale) + 2;
            EXPECT_GT(shareOf(picture, column(left), true), 0.7) << "left of the lanes";
            EXPECT_GT(shareOf(picture, column(right), true), 0.7) << "right of the lanes";
            // The start of the piece: the lanes end above the bottom edge,
            // where the tine names stand on white.
            const QRect lanes(left, 0, right - left, picture.height());
            EXPECT_GT(shareOf(picture, lanes.adjusted(0, lanes.height() - 1, 0, 0), true), 0.7) << "bottom edge";
            // Notes: black heads on the lanes.
            EXPECT_GT(shareOf(picture, lanes, false), 0.005) << "too few note heads";
        }
    }
}

} // namespace
