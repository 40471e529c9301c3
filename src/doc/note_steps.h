#pragma once

class XPxmlNode;

// Steps through a note list element by element, passing over text and
// comments. Every step leaves the list's cursor alone, so a playback thread
// can walk the list while the user-interface thread lays it out.

XPxmlNode* firstElement(XPxmlNode* noteList);
XPxmlNode* lastElement(XPxmlNode* noteList);
// The next or previous element, or null at the end of the list.
XPxmlNode* nextElement(const XPxmlNode* element);
XPxmlNode* previousElement(const XPxmlNode* element);
// count elements further on, stopping early at the last element.
XPxmlNode* elementsAhead(XPxmlNode* element, int count);
// count elements back, stopping early at the first element.
XPxmlNode* elementsBehind(XPxmlNode* element, int count);
