#pragma once

class XPxmlNode;

// What a playback thread tells its view and the main window. The view
// implements it by posting each call to the user-interface thread, so none of
// them may block the playback thread; they arrive in the order made.
class PlaybackWindow {
public:
    virtual ~PlaybackWindow() = default;

    // The cursor is now on element (never null). No preview sounds: the
    // call may arrive after the thread has ended.
    virtual void cursorMoved(XPxmlNode* element) = 0;
    // Keep element and the lookAhead elements after it in view (ScrollToElement),
    // and repaint.
    virtual void scrollToElement(XPxmlNode* element, int lookAhead) = 0;
    // The play-delay box shows seconds (as "%ld"); the box stores what it shows.
    virtual void showPlayDelay(long seconds) = 0;
    virtual void enablePlayDelayBox(bool enabled) = 0;
    // The thread has done its last call and ends.
    virtual void finished() = 0;
    // The repeat section closed by closingBar plays its pass-th time of
    // passes (0: until Stop); a pass of 0 says the section is left.
    virtual void showPass(XPxmlNode* /*closingBar*/, long /*pass*/, long /*passes*/) {}
};
