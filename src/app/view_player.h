#pragma once

#include "play/playback_thread.h"
#include "play/playback_window.h"

#include <QObject>

class CMainFrame;
class CZolvaView;
class MidiSession;

// The playback of one view: owns the view's playback thread and shows what
// the thread tells it on the view and in the main window's play-delay box.
// It is a child of the view, so it goes with the view; going, it first stops
// its thread as Stop does. Calls the thread makes reach the view only while
// this object lives.
class ViewPlayer : public QObject, public PlaybackWindow {
    Q_OBJECT
public:
    ViewPlayer(CZolvaView& view, CMainFrame& frame, MidiSession& midi, TiedViews& tied, PlayClock& clock);
    ~ViewPlayer() override;

    // The player of view, or null when it never played.
    static ViewPlayer* of(CZolvaView& view);

    // Play: clears the selection and plays from the cursor. False while playing.
    bool play();
    // Stop: stops the thread, waiting at most PlaybackThread::kStopWait, so
    // that the view is idle afterwards; then closes and reopens the MIDI
    // output to cut off what still rings.
    void stop();

    void cursorMoved(XPxmlNode* element) override;
    void scrollToElement(XPxmlNode* element, int lookAhead) override;
    void showPlayDelay(long seconds) override;
    void enablePlayDelayBox(bool enabled) override;
    void finished() override;

private:
    // Runs call on the user-interface thread while context lives.
    template <class Call> void post(QObject* context, Call call);
    void showIdle(bool idle);

    CZolvaView& m_view;
    CMainFrame& m_frame;
    MidiSession& m_midi;
    PlaybackThread m_thread;
};
