#include "app/view_player.h"

#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "play/midi_session.h"
#include "app/zolva_view.h"
#include "xml/xpxml.h"
#include "xml/xpxml_node.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <tuple>
#include <utility>

ViewPlayer::ViewPlayer(CZolvaView& view, MidiSession& midi, TiedViews& tied, PlayClock& clock,
                       PracticeControls* practice)
    : QObject(&view), m_view(view), m_midi(midi), m_practice(practice),
      m_positionTimer(new QTimer(this)), m_thread(midi, *this, tied, clock)
{
    m_positionTimer->setInterval(kPositionRefreshMs);
    connect(m_positionTimer, &QTimer::timeout, this, &ViewPlayer::showPosition);
}

// Runs while the view is being destroyed: the thread is stopped and joined
// before anything it was given goes, and the view is not touched. A player
// that had ended leaves the output alone: nothing of it rings, and at exit
// the output may already be shut.
ViewPlayer::~ViewPlayer()
{
    const bool wasPlaying = m_thread.isPlaying();
    m_thread.stop();
    // Before the reopening: a message box about it runs events, and the
    // thread's last calls or the position's refresh would reach a view that
    // is half destroyed.
    closeCalls();
    m_positionTimer->stop();
    if (wasPlaying) {
        emit positionShown(QString());
        m_midi.restartOutput();
    }
    // The box outlives the view: what the thread last told it, the starting
    // value and the enabling, is passed on now rather than dropped with this.
    // A thread that Stop gave up on is waited for first, as its member's
    // going would.
    while (!m_thread.stop()) {
    }
    QCoreApplication::sendPostedEvents(&m_boxCalls, QEvent::MetaCall);
}

ViewPlayer* ViewPlayer::of(CZolvaView& view)
{
    return view.findChild<ViewPlayer*>(QString(), Qt::FindDirectChildrenOnly);
}

bool ViewPlayer::play(long playDelay, PlayOptions options)
{
    if (m_view.isPlaying())
        return false;
    CZolvaDoc& doc = m_view.document();
    PlaybackSetup setup;
    setup.noteList = doc.noteList();
    setup.start = m_view.cursor().element.load();
    setup.tineCount = doc.tineCount();
    setup.tineKeys = m_view.layout().options().tineKeys;
    setup.playDelay = playDelay;
    setup.practice = m_practice;
    setup.clicks = options.clicks;
    if (options.loop)
        std::tie(setup.loopFirst, setup.loopLast) = m_view.cursor().selectedRows();
    if (setup.loopFirst) {
        setup.start = setup.loopFirst;
    } else {
        m_view.cursor().selectionAnchor = nullptr;
        m_view.cursor().selectionEnd = nullptr;
    }
    {
        std::lock_guard lock(m_callsMutex);
        m_open = true;
    }
    if (!m_thread.play(setup))
        return false;
    // The band of the row being played starts where the loop does, count-in included.
    if (setup.loopFirst)
        m_view.cursor().element.store(setup.loopFirst);
    m_sincePlay.start();
    m_barCounter = BarCounter();
    m_positionTimer->start();
    showIdle(false);
    showPosition();
    return true;
}

void ViewPlayer::stop(bool restartOutput)
{
    m_thread.stop();
    // Where the music stopped, and nothing after it.
    showFollow(closeCalls());
    showIdle(true);
    if (restartOutput)
        m_midi.restartOutput();
}

void ViewPlayer::requestStop()
{
    m_thread.requestStop();
}

void ViewPlayer::showIdle(bool idle)
{
    if (idle) {
        m_positionTimer->stop();
        emit positionShown(QString());
        for (XPxmlNode* bar : std::exchange(m_passBars, {}))
            bar->removeAttribute(MusicAttr::Pass);
    }
    m_view.setPlaying(!idle);
    m_view.viewport()->update();
    emit playingChanged(!idle);
}

template <class Call> void ViewPlayer::post(QObject* context, Call call)
{
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

template <class Change> void ViewPlayer::follow(Change change)
{
    std::lock_guard lock(m_callsMutex);
    if (!m_open)
        return;
    change(m_follow);
    if (std::exchange(m_follow.posted, true))
        return; // the call on its way shows this too
    post(this, [this] {
        Follow shown;
        {
            std::lock_guard lock(m_callsMutex);
            shown = std::exchange(m_follow, Follow{});
        }
        showFollow(shown);
    });
}

void ViewPlayer::showFollow(const Follow& shown)
{
    if (shown.cursor)
        m_view.cursor().element.store(shown.cursor);
    if (shown.cursor && m_view.isPlaying())
        showPosition();
    if (shown.scrollTo)
        m_view.ScrollToElement(shown.scrollTo, shown.lookAhead); // repaints
    else if (shown.cursor)
        m_view.viewport()->update();
}

ViewPlayer::Follow ViewPlayer::closeCalls()
{
    Follow left;
    {
        std::lock_guard lock(m_callsMutex);
        m_open = false;
        left = std::exchange(m_follow, Follow{});
    }
    // Posted under the lock: none can come after this.
    QCoreApplication::removePostedEvents(this);
    return left;
}

void ViewPlayer::cursorMoved(XPxmlNode* element)
{
    follow([element](Follow& f) { f.cursor = element; });
}

void ViewPlayer::scrollToElement(XPxmlNode* element, int lookAhead)
{
    follow([element, lookAhead](Follow& f) {
        f.scrollTo = element;
        f.lookAhead = lookAhead;
    });
}

// Taken even once stopped: after a Stop the box gets its starting value back.
void ViewPlayer::showPlayDelay(long seconds)
{
    post(&m_boxCalls, [this, seconds] { emit playDelayShown(QString::number(seconds)); });
}

void ViewPlayer::enablePlayDelayBox(bool enabled)
{
    post(&m_boxCalls, [this, enabled] { emit playDelayBoxEnabled(enabled); });
}

void ViewPlayer::finished()
{
    std::lock_guard lock(m_callsMutex);
    if (!m_open)
        return; // stopped: the view is idle already
    // A late word from a run that Stop gave up on must not end a newer run.
    post(this, [this] {
        if (!m_thread.isPlaying())
            showIdle(true);
    });
}

void ViewPlayer::showPass(XPxmlNode* closingBar, long pass, long passes)
{
    std::lock_guard lock(m_callsMutex);
    if (!m_open)
        return;
    const QString text = pass == 0 ? QString() : passes == 0 ? QString::number(pass)
                                                              : QStringLiteral("%1/%2").arg(pass).arg(passes);
    post(this, [this, closingBar, text] { setPassLabel(closingBar, text); });
}

void ViewPlayer::setPassLabel(XPxmlNode* bar, const QString& text)
{
    m_passBars.removeAll(bar);
    if (text.isEmpty()) {
        bar->removeAttribute(MusicAttr::Pass);
    } else {
        bar->setAttribute(MusicAttr::Pass, text.toUtf8().constData());
        m_passBars << bar;
    }
    m_view.viewport()->update();
}

void ViewPlayer::showPosition()
{
    const long bars = m_barCounter.barOf(m_view.document().firstEvent(), m_view.cursor().element.load());
    const qint64 seconds = m_sincePlay.elapsed() / 1000;
    emit positionShown(QStringLiteral("Bar %1 \u00B7 %2:%3")
                           .arg(std::max(bars, 1L))
                           .arg(seconds / 60)
                           .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}
