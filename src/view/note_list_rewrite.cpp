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

void NoteListRewrite::apply(XPxmlNode* list, const EventTable& after)
{
    if (changes() == 0)
        return;
    if (changes() <= kMostChangesInPlace) {
        for (auto [bar, reference] : m_inserted)
            reference ? list->insertBefore(bar, reference) : list->appendChild(bar);
    } else {
        std::vector<XPxmlNode*> nodes;
        nodes.reserve(after.size());
        for (const EventFacts& event : after)
            nodes.push_back(event.node);
        if (!list->replaceChildren(nodes.data(), uint32_t(nodes.size()))) {
            // Not reached while after is the list less the removed plus the
            // new bars; if it were, the list keeps what it holds and the
            // bars no one took go with this rewrite.
            return;
        }
    }
    for (XPxmlNode* node : m_removed) {
        node->detach();
        delete node;
    }
    m_inserted.clear();
    m_removed.clear();
}
