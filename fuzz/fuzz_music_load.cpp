// Feeds arbitrary bytes to the music loader's in-memory path, as plain text or
// as a "KT" container, and completes whatever tree comes out as opening a
// document does: default content, version check and upgrade, cached
// elements; then the bars are put in place as a view does.
#include "doc/music_loader.h"
#include "doc/zolva_doc.h"
#include "quiet_sink.h"
#include "view/bar_timing.h"
#include "view/view_cursor.h"
#include "xml/xpxml.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Both answers to the upgrade question get their turn.
    QuietSink sink(size % 2 == 0);
    CZolvaDoc doc(sink);
    std::vector<char> bytes(data, data + size);
    if (loadMusicData(doc.tree(), bytes, "fuzz.zvm", sink) != 0 || !doc.tree().rootElement())
        return 0;
    doc.completeDocument();
    // A hostile note list must not crash or hang the bar rewrite either.
    ViewCursor cursor;
    CheckBarTiming(doc.noteList(), nullptr, cursor);
    for (XPxmlNode* event = doc.firstEvent(); event; event = event->nextElementSibling())
        event->setAttribute("~Pos", "0,0");
    (void)doc.lastEvent();
    (void)doc.isModified();
    return 0;
}
