#include "doc/music_upgrade.h"

#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

#include <memory>
#include <string>

namespace {

void setOldSpacing(XPxmlNode* displayOptions)
{
    if (!displayOptions)
        return;
    displayOptions->setAttribute(MusicAttr::NoteSpacing, MusicValue::Variable);
    displayOptions->setAttribute(MusicAttr::NoteSpacingSize, "20");
    displayOptions->setAttribute(MusicAttr::MeasureSpacing, MusicValue::Variable);
    displayOptions->setAttribute(MusicAttr::MeasureSpacingSize, "300");
}

// The bar that the next insertion will copy: an automatic bar in the current
// time signature, plus whatever the visited notes have moved onto it.
class PendingBar {
public:
    PendingBar() : m_bar(XPxmlNode::create(MusicElement::Bar)) { reset(); }

    void takeTiming(const char* timing)
    {
        std::string text = timing;
        if (text.empty() || (text[0] != MusicValue::InheritedTiming && text[0] != MusicValue::SetTiming))
            text.insert(text.begin(), MusicValue::SetTiming);
        m_bar->setAttribute(MusicAttr::Timing, text.c_str());
        text[0] = MusicValue::InheritedTiming;
        m_signature = text;
    }
    void takeTempo(const char* tempo) { m_bar->setAttribute(MusicAttr::Tempo, tempo); }
    void makeManual() { m_bar->setAttribute(MusicAttr::Type, MusicValue::Manual); }

    void insertBefore(XPxmlNode* event)
    {
        event->parent()->insertBefore(m_bar->clone(true), event);
        reset();
    }

private:
    void reset()
    {
        m_bar->removeAllAttributes();
        m_bar->setAttribute(MusicAttr::Type, MusicValue::Auto);
        m_bar->setAttribute(MusicAttr::Timing, m_signature.c_str());
    }

    std::unique_ptr<XPxmlNode> m_bar;
    std::string m_signature = MusicValue::CommonTime;
};

// Moves an attribute's value off the event; false when it is absent.
bool takeAttribute(XPxmlNode* event, const char* name, std::string& value)
{
    if (!event->getAttributeCopy(name, value))
        return false;
    event->removeAttribute(name);
    return true;
}

} // namespace

void upgradeOldMusic(XPxmlNode* screenOptions, XPxmlNode* printOptions, XPxmlNode* options,
                     XPxmlNode* noteList)
{
    setOldSpacing(screenOptions);
    setOldSpacing(printOptions);
    if (options) {
        options->setAttribute(MusicAttr::BarNumbers, "0");
        options->setAttribute(MusicAttr::Lyrics, "1");
    }
    convertOldNoteList(noteList);
}

void convertOldNoteList(XPxmlNode* noteList)
{
    if (!noteList)
        return;
    PendingBar bar;
    // Only elements are events: text or comments between them neither count
    // as the last event nor get a bar of their own.
    XPxmlNode* first = noteList->firstElementChild();
    for (XPxmlNode* event = first; event;) {
        XPxmlNode* next = event->nextElementSibling();
        if (xpxmlNameEquals(event->name(), MusicElement::Bar)) {
            event = next;
            continue;
        }
        bool barPosition = event == first || !next;
        std::string value;
        if (takeAttribute(event, MusicAttr::Timing, value)) {
            bar.takeTiming(value.c_str());
            barPosition = true;
        }
        if (takeAttribute(event, MusicAttr::Tempo, value))
            bar.takeTempo(value.c_str());
        if (takeAttribute(event, MusicAttr::Measure, value)) {
            bar.makeManual();
            barPosition = true;
        }
        if (barPosition)
            bar.insertBefore(event);
        event = next;
    }
}
