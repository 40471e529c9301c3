#include "play/bar_counter.h"

#include "doc/music_vocabulary.h"
#include "xml/xpxml.h"
#include "doc/note_steps.h"
#include "xml/xpxml_node.h"

#include <algorithm>

namespace {

bool isBar(const XPxmlNode* e)
{
    return xpxmlNameEquals(e->name(), MusicElement::Bar);
}

} // namespace

long BarCounter::barOf(XPxmlNode* first, XPxmlNode* at)
{
    if (!first || !at)
        return 1;
    if (first != m_first || !m_at) {
        m_first = m_at = first;
        m_bars = isBar(first);
    }
    XPxmlNode* ahead = m_at;
    XPxmlNode* behind = m_at;
    long aheadBars = m_bars, behindBars = m_bars;
    while (ahead != at && behind != at && (ahead || behind)) {
        if (ahead && (ahead = nextElement(ahead)))
            aheadBars += isBar(ahead);
        if (behind) {
            behindBars -= isBar(behind);
            behind = previousElement(behind);
        }
    }
    if (ahead == at) {
        m_at = at;
        m_bars = aheadBars;
    } else if (behind == at) {
        m_at = at;
        m_bars = behindBars;
    } // else not in this list: the count stays where it was
    return std::max(m_bars, 1L);
}
