#pragma once

#include "view/event_facts.h"

#include <cstddef>
#include <utility>
#include <vector>

class XPxmlNode;

// Bars to insert and elements to destroy in the note list, gathered during a
// walk and applied at the end. A few changes are made where they belong; many
// (a file whose bars are all out of place) rebuild the list in one sweep, as
// each change in place moves the rest of the list.
class NoteListRewrite {
public:
    static constexpr size_t kMostChangesInPlace = 64;

    NoteListRewrite() = default;
    ~NoteListRewrite();
    NoteListRewrite(const NoteListRewrite&) = delete;
    NoteListRewrite& operator=(const NoteListRewrite&) = delete;

    // Takes bar (detached) to go before reference, or at the end when null.
    void insert(XPxmlNode* bar, XPxmlNode* reference);
    // node is to leave the list and be destroyed.
    void remove(XPxmlNode* node);
    size_t changes() const { return m_inserted.size() + m_removed.size(); }

    // Makes the children of list become after: the children it has (as read
    // by a full walk just now) less the removed ones plus the inserted bars,
    // in order.
    void apply(XPxmlNode* list, const EventTable& after);

private:
    std::vector<std::pair<XPxmlNode*, XPxmlNode*>> m_inserted; // bar, reference
    std::vector<XPxmlNode*> m_removed;
};
