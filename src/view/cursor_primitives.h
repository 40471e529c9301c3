#pragma once

#include <functional>
#include <span>

class XPxmlNode;

// How a view sounds its tines: a preview that sounds the given tines
// (1-based) as a chord, which the program fills in (none: silent), and the
// document's tine count.
struct TineSound {
    std::function<void(std::span<const int> tines)> preview;
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
