#pragma once

#include "play/playback_thread.h"
#include "play/bar_counter.h"
#include "play/playback_window.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <mutex>

class CZolvaView;
class MidiSession;
struct PracticeControls;

// How a Play uses the practice tools.
struct PracticePlay {
    bool loop = false;   // loop the selection (when it has two or more rows)
    bool clicks = false; // this view sounds the metronome
};

// The playback of one view: owns the view's playback thread, shows what the
// thread tells it on the view and emits what the main window should show.
// It is a child of the view, so it goes with the view; going, it first stops
// its thread as Stop does. Calls the thread makes reach the view only while
// this object lives and plays: once stopped, those still on their way are
// dropped. Cursor and scrolling wait merged, one call at a time, so that a
// slow paint cannot leave the cursor behind the sound. Every signal is
// emitted on the user-interface thread.
class ViewPlayer : public QObject, public PlaybackWindow {
    Q_OBJECT
public:
    ViewPlayer(CZolvaView& view, MidiSession& midi, TiedViews& tied, PlayClock& clock,
               PracticeControls* practice = nullptr);
    ~ViewPlayer() override;

    // The player of view, or null when it never played.
    static ViewPlayer* of(CZolvaView& view);

    using PlayOptions = PracticePlay;
    static constexpr int kPositionRefreshMs = 250;
    // Play: clears the selection and plays from the cursor after a count-in
    // of playDelay seconds; looping, keeps the selection and plays it again
    // and again. False while playing.
    bool play(long playDelay, PlayOptions options = {});
    // Stop: stops the thread, waiting at most PlaybackThread::kStopWait, so
    // that the view is idle afterwards with the cursor where the music
    // stopped; then, unless the caller does it once for several views,
    // restarts the MIDI output to cut off what still rings (returning at once).
    void stop(bool restartOutput = true);
    // Cuts the thread's waits short without waiting: views stopped together
    // are all asked first, then stopped.
    void requestStop();

    void cursorMoved(XPxmlNode* element) override;
    void scrollToElement(XPxmlNode* element, int lookAhead) override;
    void showPlayDelay(long seconds) override;
    void enablePlayDelayBox(bool enabled) override;
    void finished() override;
    void showPass(XPxmlNode* closingBar, long pass, long passes) override;

signals:
    // The play-delay box's text and enabling. They still come after a Stop,
    // and from the destructor when the view goes: the box gets its starting
    // value back.
    void playDelayShown(const QString& text);
    void playDelayBoxEnabled(bool enabled);
    // "Bar N · m:ss" while playing; empty once idle.
    void positionShown(const QString& text);
    void playingChanged(bool playing);

private:
    // Where the thread last put the cursor and asked to scroll to, not yet shown.
    struct Follow {
        XPxmlNode* cursor = nullptr;
        XPxmlNode* scrollTo = nullptr;
        int lookAhead = 0;
        bool posted = false; // a call to show it is on its way
    };

    // Runs call on the user-interface thread while context lives.
    template <class Call> void post(QObject* context, Call call);
    // From the thread: changes what is to be shown, posting a call to show it
    // unless one is on its way. Nothing once the player has stopped.
    template <class Change> void follow(Change change);
    void showFollow(const Follow& shown);
    // Takes no more calls from the thread and drops those on their way; what
    // they would have shown is returned. The box's calls are kept.
    Follow closeCalls();
    void showIdle(bool idle);
    // "Bar N · m:ss": the cursor's bar and the time since Play.
    void showPosition();
    void setPassLabel(XPxmlNode* bar, const QString& text);

    CZolvaView& m_view;
    MidiSession& m_midi;
    PracticeControls* m_practice;
    std::mutex m_callsMutex; // guards the two below and the posting to this
    bool m_open = false;     // the thread's calls are taken
    Follow m_follow;
    QElapsedTimer m_sincePlay;
    BarCounter m_barCounter; // the cursor's bar, kept as it moves
    QTimer* m_positionTimer;
    QList<XPxmlNode*> m_passBars; // bars showing a pass
    // Where the thread's calls for the box wait: apart from those posted to
    // this, which a Stop drops.
    QObject m_boxCalls;
    // Last: the thread ends before what it calls goes.
    PlaybackThread m_thread;
};
