#include "doc/music_upgrade.h"

#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

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

    // A copy to insert, and a fresh bar from here on.
    std::unique_ptr<XPxmlNode> take()
    {
        std::unique_ptr<XPxmlNode> copy(m_bar->clone(true));
        reset();
        return copy;
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

// Bars to insert, each with the event it goes before, in list order.
using BarsBefore = std::vector<std::pair<XPxmlNode*, std::unique_ptr<XPxmlNode>>>;

// Puts each bar before its event, in one pass: inserting them one by one into
// the middle of the list would move the rest of the list each time, and a
// hostile file can hold hundreds of thousands of events that want a bar.
void insertBars(XPxmlNode* noteList, BarsBefore& bars)
{
    if (bars.empty())
        return;
    // Taken out from the end, where taking out moves nothing.
    std::vector<std::unique_ptr<XPxmlNode>> children(noteList->childCount());
    for (size_t i = children.size(); i-- > 0;)
        children[i].reset(noteList->childAt(uint32_t(i))->detach());
    size_t nextBar = 0;
    for (std::unique_ptr<XPxmlNode>& child : children) {
        if (nextBar < bars.size() && bars[nextBar].first == child.get()) {
            noteList->appendChild(bars[nextBar].second.get());
            bars[nextBar++].second.release();
        }
        noteList->appendChild(child.get());
        child.release();
    }
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
    BarsBefore bars;
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
            bars.emplace_back(event, bar.take());
        event = next;
    }
    insertBars(noteList, bars);
}
