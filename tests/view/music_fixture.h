#pragma once

#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <string>
#include <vector>

class XPxmlNode;

// A music document made from the text of its note list (and optionally the
// attributes of its tine settings, screen options and options element), with
// a layout of its own, as a view holds them.
struct Music {
    struct Config {
        std::string tines = "Number=\"5\"";
        std::string screen = "Tails=\"Minimal\"";
        std::string options;
    };

    explicit Music(const std::string& notes, const Config& config);
    explicit Music(const std::string& notes) : Music(notes, Config()) {}

    XPxmlNode* list() const { return doc.noteList(); }
    // The element at index among the note list's elements, or null.
    XPxmlNode* at(int index) const;
    // CheckBarTiming from the first element, as every update does.
    void checkBarTiming() { layout.CheckBarTiming(doc.firstEvent(), cursor); }
    // One word per element: a bar as "|" + Timing, its Type in brackets when
    // not "Auto", "!" when it carries "~Error"; a note or rest as its Value,
    // then "/" and the Beam and Tuplet marks when it has any.
    std::string describe() const;
    // The "~Pos" of every element, separated by blanks.
    std::string positions() const;

    struct Sink : MessageSink {
        void showMessage(const std::string& text) override { messages += text + "\n"; }
        bool askYesNo(const std::string&, const std::string&) override { return true; }
        std::string messages;
    } sink;
    CZolvaDoc doc{sink};
    ViewLayout layout;
    ViewCursor cursor;
};

// Attribute text: name="value".
std::string attr(const char* name, const std::string& value);
// Element texts for the note list: a bar, and a note on tine 1.
std::string bar(const std::string& timing = "A4/4", const std::string& type = "Auto", const std::string& more = "");
std::string note(const std::string& value, const std::string& more = "");
// count copies of text.
std::string repeat(const std::string& text, int count);

// Fixed-measure layouts whose bands do not rise along the list: a bar goes
// where the measure size puts it whatever its measure holds, so overfull
// measures reach above the next bar, and negative sizes turn measures or
// notes downwards. Tails are minimal: a note's head fills its band's bottom.
struct UnorderedLayout {
    const char* name;
    std::string notes;
    std::string screen;
};
const std::vector<UnorderedLayout>& unorderedLayouts();
