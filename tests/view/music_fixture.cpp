#include "music_fixture.h"

#include "doc/music_version.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

Music::Music(const std::string& notes, const Config& config)
{
    const std::string text = "<Zolva Version=\"" + programVersion() + "\"><Config><Tines " + config.tines +
                             "/><Notes " + config.screen + "/><Options " + config.options + "/></Config><Notes>" +
                             notes + "</Notes></Zolva>";
    EXPECT_EQ(doc.tree().loadText(text.c_str()), 0) << text;
    EXPECT_TRUE(doc.completeDocument()) << sink.messages;
    doc.tree().clearModified();
    layout.setDocument(&doc);
}

XPxmlNode* Music::at(int index) const
{
    XPxmlNode* element = doc.firstEvent();
    for (int i = 0; element && i < index; ++i)
        element = element->nextElementSibling();
    return element;
}

std::string Music::describe() const
{
    std::string out;
    for (XPxmlNode* e = doc.firstEvent(); e; e = e->nextElementSibling()) {
        if (!out.empty())
            out += ' ';
        auto text = [e](const char* name) {
            const char* value = e->getAttribute(name);
            return std::string(value ? value : "");
        };
        if (xpxmlNameEquals(e->name(), "Bar")) {
            out += "|" + text("Timing");
            if (text("Type") != "Auto")
                out += "(" + text("Type") + ")";
            if (e->getAttribute("~Error"))
                out += "!";
        } else {
            out += text("Value");
            const std::string marks = text("Beam") + text("Tuplet");
            if (!marks.empty())
                out += "/" + marks;
        }
    }
    return out;
}

std::string Music::positions() const
{
    std::string out;
    for (XPxmlNode* e = doc.firstEvent(); e; e = e->nextElementSibling()) {
        const char* pos = e->getAttribute("~Pos");
        out += (out.empty() ? "" : " ") + std::string(pos ? pos : "-");
    }
    return out;
}

std::string attr(const char* name, const std::string& value)
{
    return std::string(name) + "=\"" + value + "\" ";
}

std::string bar(const std::string& timing, const std::string& type, const std::string& more)
{
    return "<Bar " + attr("Type", type) + attr("Timing", timing) + more + "/>";
}

std::string note(const std::string& value, const std::string& more)
{
    return "<Note " + attr("Value", value) + attr("Tines", "1") + more + "/>";
}

std::string repeat(const std::string& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

const std::vector<UnorderedLayout>& unorderedLayouts()
{
    const std::string fixed = attr("Tails", "Minimal") + attr("MeasureSpacing", "Fixed");
    static const std::vector<UnorderedLayout> layouts = {
        {"sixteen sixteenths at default sizes", repeat(bar() + repeat(note("16"), 16), 5) + bar(), fixed},
        {"four quarters in 60 pixels", repeat(bar() + repeat(note("4"), 4), 6) + bar(),
         fixed + attr("MeasureSpacingSize", "60")},
        {"negative note spacing", repeat(bar() + note("4.") + note("4") + note("2"), 6) + bar(),
         fixed + attr("NoteSpacingSize", "-25")},
        {"negative measure spacing", repeat(bar() + note("4") + note("8.") + note("4"), 6) + bar(),
         fixed + attr("MeasureSpacingSize", "-150")},
    };
    return layouts;
}
