#include "view/cursor_primitives.h"

#include "doc/music_vocabulary.h"
#include "doc/tine_numbers.h"
#include "doc/note_steps.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

void PlayElement(const TineSound& sound, bool playing, const XPxmlNode* element)
{
    if (playing || !sound.preview || !element || !element->hasName(MusicElement::Note))
        return;
    const TineNumbers chord = readNoteTines(element, sound.tineCount);
    if (chord.count > 0)
        sound.preview(chord.span());
}

void SetCursor(const TineSound& sound, bool playing, XPxmlNode* noteList, CursorPlace& cursor, XPxmlNode* element,
               int tine)
{
    if (!element)
        element = firstElement(noteList);
    if (element != cursor.element)
        PlayElement(sound, playing, element);
    cursor.element = element;
    if (element)
        cursor.tine = tine;
}
