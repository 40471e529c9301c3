#include "play/note_chord.h"

#include "doc/music_vocabulary.h"
#include "view/number_text.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <string>

NoteChord readNoteChord(const XPxmlNode* element, int tineCount)
{
    NoteChord chord;
    std::string text;
    // A copy under the list's lock: the user-interface thread may write the
    // element's working attributes meanwhile.
    if (element && element->getAttributeCopy(MusicAttr::Tines, text))
        chord.count = ParseNumberList(text.c_str(), chord.tines.data(), std::clamp(tineCount, 0, NoteChord::kMaxTines));
    return chord;
}
