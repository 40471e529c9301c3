#pragma once

#include <span>

class MidiSession;
class XPxmlNode;

// How a view sounds its tines: the output (none: silent), the key of tine 1,
// tine 2 … and the document's tine count.
struct TineSound {
    MidiSession* midi = nullptr;
    std::span<const int> tineKeys;
    int tineCount = 0;
};

// Previews element as the cursor reaches it: nothing while playing, for no
// element or for one not named "Note"; otherwise its tines as a chord, if it
// has any (silent while the output is muted).
void PlayElement(const TineSound& sound, bool playing, const XPxmlNode* element);

// The view's cursor.
struct CursorPlace {
    XPxmlNode* element = nullptr;
    int tine = 0;
};

// Puts cursor on element, or on the first element of noteList when element
// is null; previews it when it is not the element already under the cursor.
// The tine column becomes tine when there is an element to be on.
void SetCursor(const TineSound& sound, bool playing, XPxmlNode* noteList, CursorPlace& cursor, XPxmlNode* element,
               int tine);
