// zolva-render-tablature FILE.zvm OUT.png [options]: the tablature as a view
// draws it, the whole piece or its bottom, at a device pixel ratio and zoom,
// with an optional cursor, selection and labels in a margin at the right.
//   --ratio R        device pixels per layout pixel (default 1)
//   --zoom P         zoom in percent (default 100)
//   --height H       only the bottom H layout pixels of the piece
//   --cursor I:T     the cursor on element I (0-based), tine T (0-based)
//   --select A:B     rows A … B selected (the cursor on A)
//   --label I:TEXT   TEXT beside element I, joined to it by a thin line
#include "doc/message_sink.h"
#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "view/sheet_writer.h"
#include "view/piece_start_drawing.h"
#include "xml/xpxml_node.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

namespace {

struct PrintingSink : MessageSink {
    void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

struct Label {
    int element;
    QString text;
};

XPxmlNode* elementAt(const CZolvaDoc& doc, int index)
{
    XPxmlNode* node = doc.firstEvent();
    for (int i = 0; node && i < index; ++i)
        node = node->nextElementSibling();
    return node;
}

std::pair<int, QString> split(const QString& text)
{
    const int colon = text.indexOf(u':');
    return {text.left(colon).toInt(), colon < 0 ? QString() : text.mid(colon + 1)};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::cerr << "usage: zolva-render-tablature FILE.zvm OUT.png [--ratio R] [--zoom P] [--height H]"
                     " [--cursor I:T] [--select A:B] [--playing I] [--pass I:TEXT] [--label I:TEXT]... [--sheet DPI]\n";
        return 2;
    }
    double ratio = 1.0;
    int zoom = 100;
    int height = 0;
    int cursorIndex = -1;
    int cursorTine = 0;
    int selectTo = -1;
    int playingIndex = -1; // the row playing over the selection
    int sheetDpi = 0;      // draw the printed sheet's pages at this resolution instead
    std::vector<Label> labels;
    std::vector<Label> passes; // bars showing the pass of their section
    for (int i = 3; i + 1 < args.size(); i += 2) {
        const QString& option = args[i];
        const QString& value = args[i + 1];
        if (option == "--ratio")
            ratio = value.toDouble();
        else if (option == "--zoom")
            zoom = value.toInt();
        else if (option == "--height")
            height = value.toInt();
        else if (option == "--cursor" || option == "--select") {
            const auto [index, more] = split(value);
            cursorIndex = index;
            (option == "--cursor" ? cursorTine : selectTo) = more.toInt();
        } else if (option == "--sheet") {
            sheetDpi = value.toInt();
        } else if (option == "--playing") {
            playingIndex = value.toInt();
        } else if (option == "--label" || option == "--pass") {
            const auto [index, text] = split(value);
            (option == "--label" ? labels : passes).push_back({index, text});
        }
    }

    PrintingSink sink;
    CZolvaDoc doc(sink);
    if (doc.openDocument(args[1]) != OpenOutcome::Opened)
        return 1;
    if (sheetDpi > 0) {
        // The printed sheet instead, as File > Export Sheet writes it with its defaults.
        SheetPageSetup setup;
        setup.dpi = sheetDpi;
        return writeSheet(doc, setup, SheetFormat::Png, args[2], sink).outcome == SheetWritten::Outcome::Written ? 0 : 1;
    }
    for (const Label& pass : passes) {
        if (XPxmlNode* bar = elementAt(doc, pass.element))
            bar->setAttribute(MusicAttr::Pass, pass.text.toUtf8().constData());
    }
    PieceStartDrawing start(doc, zoom);
    ViewLayout& layout = start.layout();
    const QSize extent = start.extent();
    const int shown = height > 0 ? std::min(height, extent.height()) : extent.height();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9 * zoom / 100.0);
    const QFontMetrics metrics(font);
    constexpr int kGap = 30; // between the music (lyrics included) and the labels
    constexpr int kBadgeRoom = 80;
    int margin = 0;
    for (const Label& label : labels)
        margin = std::max(margin, kGap + metrics.horizontalAdvance(label.text) + 10);

    CursorMarks marks;
    marks.element = cursorIndex >= 0 ? elementAt(doc, cursorIndex) : nullptr;
    marks.tine = cursorTine;
    if (selectTo >= 0) {
        marks.selectionAnchor = marks.element;
        marks.selectionEnd = elementAt(doc, selectTo);
    }
    if (playingIndex >= 0) {
        marks.element = elementAt(doc, playingIndex);
        marks.playing = true;
        marks.cursorOverSelection = true;
    }
    // A pass badge reaches past the lyrics, as a window wider than the music shows it.
    const int width = extent.width() + (passes.empty() ? 0 : kBadgeRoom);
    const QImage frame = start.draw(shown, width, marks, ratio);
    if (frame.isNull())
        return 1;

    QImage picture(int(std::ceil((width + margin) * ratio)), frame.height(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, frame);
    p.setFont(font);
    // The leader stops short of the lyrics and goes on after them.
    const int right = layout.TineX(doc.tineCount()) + 4;
    const int lyrics = layout.TineX(doc.tineCount() + 1) - 4;
    const int textX = width + kGap;
    for (const Label& label : labels) {
        const ViewLayout::Band b = layout.EventBand(elementAt(doc, label.element));
        const int y = int(b.top + b.height / 2);
        p.setPen(QPen(QColor(0x40, 0x60, 0xC0), 0.8, Qt::DotLine));
        if (lyrics > right)
            p.drawLine(right, y, lyrics, y);
        p.drawLine(width + 2, y, textX - 4, y);
        p.setPen(QColor(0x20, 0x30, 0x80));
        p.drawText(textX, y + p.fontMetrics().ascent() / 2 - 1, label.text);
    }
    p.end();
    if (!picture.save(args[2])) {
        std::cerr << "could not write " << args[2].toStdString() << '\n';
        return 1;
    }
    return 0;
}
