#include "view/note_list_rewrite.h"

#include "xml/xpxml_node.h"

NoteListRewrite::~NoteListRewrite()
{
    for (auto& inserted : m_inserted)
        delete inserted.first; // never applied
}

void NoteListRewrite::insert(XPxmlNode* bar, XPxmlNode* reference)
{
    m_inserted.emplace_back(bar, reference);
}

void NoteListRewrite::remove(XPxmlNode* node)
{
    m_removed.push_back(node);
}

void NoteListRewrite::apply(XPxmlNode* list, const EventTable& before, const EventTable& after)
{
    if (changes() == 0)
        return;
    const bool inPlace = changes() <= kMostChangesInPlace;
    if (inPlace) {
        for (auto [bar, reference] : m_inserted)
            reference ? list->insertBefore(bar, reference) : list->appendChild(bar);
    } else {
        // From the back, so that every detach finds its node where the walk
        // left it and moves nothing behind it.
        for (size_t i = before.size(); i-- > 0;)
            before[i].node->detach();
    }
    for (XPxmlNode* node : m_removed) {
        node->detach();
        delete node;
    }
    if (!inPlace)
        for (const EventFacts& event : after)
            list->appendChild(event.node);
    m_inserted.clear();
    m_removed.clear();
}
