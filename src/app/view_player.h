#pragma once

#include "play/playback_thread.h"
#include "play/playback_window.h"

#include <QObject>

#include <mutex>

class CMainFrame;
class CZolvaView;
class MidiSession;

// The playback of one view: owns the view's playback thread and shows what
// the thread tells it on the view and in the main window's play-delay box.
// It is a child of the view, so it goes with the view; going, it first stops
// its thread as Stop does. Calls the thread makes reach the view only while
// this object lives; once it is going, those still on their way are dropped.
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
    // Posts call to this unless the calls are closed.
    template <class Call> void postHere(Call call);
    // Takes no more calls from the thread and drops those on their way.
    void closeCalls();
    void showIdle(bool idle);

    CZolvaView& m_view;
    CMainFrame& m_frame;
    MidiSession& m_midi;
    std::mutex m_callsMutex; // guards m_open and the posting to this
    bool m_open = true;      // the thread's calls are taken
    // Last: the thread ends before what it calls goes.
    PlaybackThread m_thread;
};
