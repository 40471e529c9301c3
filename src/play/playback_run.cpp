#include "play/playback_run.h"

#include "doc/music_vocabulary.h"
#include "play/chord_sender.h"
#include "play/midi_session.h"
#include "doc/tine_numbers.h"
#include "doc/note_steps.h"
#include "play/playback_window.h"
#include "play/practice_controls.h"
#include "play/tied_views.h"
#include "doc/number_text.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace {

// A section that repeats without taking any time (bars only, empty notes, a
// negative tempo) would otherwise spin and flood the view with scroll calls.
constexpr int64_t kEmptySectionPause = 10000; // µs
// A wait that ends later than this past its deadline (a strum longer than its
// note, a stalled thread) is not made up by rushing the notes after it.
constexpr int64_t kLateLimit = 10000; // µs

// The metronome: General MIDI percussion (channel 10), wood blocks.
constexpr int kPercussionNoteOn = 0x99;
constexpr int kAccentKey = 76; // high wood block, the first beat
constexpr int kBeatKey = 77;   // low wood block
constexpr int kAccentVelocity = 110;
constexpr int kBeatVelocity = 80;


// The attribute's text copied under its list's lock: the user-interface thread
// may write working attributes of the same element meanwhile.
std::optional<std::string> attribute(const XPxmlNode* element, const char* name)
{
    std::string text;
    if (!element->getAttributeCopy(name, text))
        return std::nullopt;
    return text;
}

const char* textOf(const std::optional<std::string>& text)
{
    return text ? text->c_str() : nullptr;
}

} // namespace

PlaybackRun::PlaybackRun(const Shared& shared, const PlaybackSetup& setup) : m_shared(shared), m_setup(setup)
{
    m_setup.tineCount = std::clamp(m_setup.tineCount, 0, PlaybackSetup::kMaxTines);
}

void PlaybackRun::run()
{
    preScan();
    countIn();
    if (playing())
        walk();
    finish();
}

void PlaybackRun::preScan()
{
    if (!m_setup.loopFirst || !m_setup.loopLast)
        m_setup.loopFirst = m_setup.loopLast = nullptr;
    // A loop's repeats go back no further than its first row.
    m_repeatStart = m_setup.loopFirst;
    for (XPxmlNode* e = m_setup.start; e && !m_repeatStart; e = previousElement(e)) {
        if (e->hasName(MusicElement::Bar)) {
            const auto modifier = attribute(e, MusicAttr::Modifier);
            if (modifier && !xpxmlNameEquals(modifier->c_str(), MusicValue::CloseRepeat))
                m_repeatStart = e;
        }
    }
    m_tempo = tempoAt(m_setup.start);
    if (!m_repeatStart)
        m_repeatStart = firstElement(m_setup.noteList);
    if (m_setup.start)
        placeInBar(m_setup.start);
}

int64_t PlaybackRun::tempoAt(XPxmlNode* element) const
{
    for (XPxmlNode* e = element; e; e = previousElement(e)) {
        if (const auto tempo = attribute(e, MusicAttr::Tempo))
            return readTempo(tempo->c_str());
    }
    return 120;
}

void PlaybackRun::placeInBar(XPxmlNode* element)
{
    std::vector<XPxmlNode*> before;
    XPxmlNode* bar = element->hasName(MusicElement::Bar) ? element : previousElement(element);
    for (; bar && !bar->hasName(MusicElement::Bar); bar = previousElement(bar))
        before.push_back(bar);
    m_signature = {};
    for (XPxmlNode* e = bar; e; e = previousElement(e)) {
        const auto timing = attribute(e, MusicAttr::Timing);
        if (timing && e->hasName(MusicElement::Bar)) {
            m_signature = readTimeSignature(timing->c_str());
            break;
        }
    }
    m_barBeat = bar ? pickupBeats(bar) : 0;
    for (XPxmlNode* e : before)
        m_barBeat += barBeats(e);
}

// A first measure shorter than its time signature is a pickup: its beats
// count from the measure's end, so that the downbeat after it is the accent
// (a one-beat pickup in 4/4 is beat 4). Other bars start at beat 0.
double PlaybackRun::pickupBeats(XPxmlNode* bar) const
{
    if (bar != firstElement(m_setup.noteList))
        return 0;
    double length = 0;
    for (XPxmlNode* e = nextElement(bar); e && !e->hasName(MusicElement::Bar); e = nextElement(e))
        length += barBeats(e);
    return length > 0 && length < m_signature.beats - kBeatSlack ? m_signature.beats - length : 0;
}

double PlaybackRun::barBeats(XPxmlNode* element) const
{
    const bool rest = element->hasName(MusicElement::Rest);
    if (!rest && !(element->hasName(MusicElement::Note) && readNoteTines(element, m_setup.tineCount).takesTime))
        return 0;
    const auto value = attribute(element, MusicAttr::Value);
    const auto tuplet = attribute(element, MusicAttr::Tuplet);
    return MeasureBeats(m_signature.unit, textOf(value), textOf(tuplet));
}

double PlaybackRun::stretch() const
{
    if (!m_setup.practice)
        return 1.0;
    return double(kNormalSpeedPercent) / double(std::max(m_setup.practice->speed.load(), kMinSpeedPercent));
}

bool PlaybackRun::clicking() const
{
    return m_setup.clicks && m_setup.practice && m_setup.practice->metronome.load();
}

void PlaybackRun::click(bool accent)
{
    const std::shared_ptr<MidiOutput> out = m_shared.midi.midiOut();
    if (!out)
        return;
    out->send(midiMessage(kPercussionNoteOn, accent ? kAccentKey : kBeatKey, accent ? kAccentVelocity : kBeatVelocity));
    m_clicked = true;
}

void PlaybackRun::scheduleClicks(double beats, double micros)
{
    m_clicks.clear();
    const double from = m_barBeat;
    m_barBeat += beats;
    if (!clicking() || beats <= 0)
        return;
    const double microsPerBeat = micros / beats;
    for (double beat = std::ceil(from - kBeatSlack); beat < from + beats - kBeatSlack; ++beat) {
        const bool accent = std::fmod(beat, double(m_signature.beats)) < kBeatSlack;
        if (beat - from < kBeatSlack)
            click(accent); // on the element's start: before its chord
        else
            m_clicks.push_back({m_music.ahead((beat - from) * microsPerBeat), accent});
    }
}

CountIn PlaybackRun::countInClicks(long delay) const
{
    if (clicking()) {
        const double beat = beatsMicros(4.0 / double(m_signature.unit), m_tempo) * stretch();
        if (beat >= 1)
            return CountIn::beats(delay, beat, m_barBeat, m_signature.beats);
    }
    return CountIn::seconds(delay);
}

void PlaybackRun::countIn()
{
    constexpr int64_t kSecond = CountIn::kSecond;
    m_shared.window.enablePlayDelayBox(false);
    const long delay = std::max(m_setup.playDelay, 0L);
    const CountIn count = countInClicks(delay);
    // The box counts down the seconds left, rounded up; in beats they need
    // not be the delay to begin with.
    const int64_t length = count.length();
    long left = long((length + kSecond - 1) / kSecond);
    if (left != delay)
        m_shared.window.showPlayDelay(left);
    // Every click and every second from one start, so the count-in does not drift.
    const int64_t started = m_shared.clock.now();
    int64_t waited = 0;
    int64_t next = 0; // the next click
    while (left > 0 && playing()) {
        const int64_t secondDown = length - (left - 1) * kSecond;
        const bool clickNext = next < count.clicks() && count.clickAt(next) < secondDown;
        const int64_t at = clickNext ? count.clickAt(next) : secondDown;
        if (at > waited) {
            WaitUntilTick(started + at);
            waited = at;
            if (!playing())
                break;
        }
        if (!clickNext) {
            m_shared.window.showPlayDelay(--left);
            continue;
        }
        if (clicking())
            click(count.accented(next));
        ++next;
    }
    m_shared.window.showPlayDelay(left);
}

void PlaybackRun::walk()
{
    m_music.rebase(m_shared.clock.now());
    lookAheadFrom(m_setup.start);
    for (XPxmlNode* e = m_setup.start; e && playing();) {
        m_shared.clock.pace();
        lookAhead();
        if (const auto tempo = attribute(e, MusicAttr::Tempo))
            m_tempo = readTempo(tempo->c_str());

        Deadline deadline;
        const bool isBar = e->hasName(MusicElement::Bar);
        if (isBar) {
            if (XPxmlNode* back = barRepeats(e)) {
                jumpBack();
                e = back;
                placeInBar(e);
                continue;
            }
            if (const auto timing = attribute(e, MusicAttr::Timing))
                m_signature = readTimeSignature(timing->c_str());
            m_barBeat = pickupBeats(e);
        } else if (e->hasName(MusicElement::Rest)) {
            deadline = restFor(e);
        } else if (e->hasName(MusicElement::Note)) {
            deadline = playNote(e);
        }

        setCursor(e);
        XPxmlNode* next = nextElement(e);
        if (next)
            m_shared.window.scrollToElement(next, PlaybackThread::kScrollLookAhead);
        if (deadline.set)
            waitForEnd(deadline.at);
        if (isBar && m_shared.tied.viewCount() != 0 && playing()) {
            // Slowed down, the others may take that much longer to arrive.
            const auto limit = std::chrono::milliseconds(std::llround(double(TiedViews::kBarWait.count()) * stretch()));
            m_shared.tied.meetAtBar([this] { return !playing(); }, limit);
            m_music.rebase(m_shared.clock.now());
        }
        e = e == m_setup.loopLast ? restartLoop() : next;
    }
}

XPxmlNode* PlaybackRun::restartLoop()
{
    m_repeatStart = m_setup.loopFirst;
    if (m_pendingClose)
        m_shared.window.showPass(m_pendingClose, 0, 0);
    m_pendingClose = nullptr;
    lookAheadFrom(m_setup.loopFirst);
    m_repeatsLeft = 0;
    m_tiedOver = false;
    jumpBack();
    m_tempo = tempoAt(m_setup.loopFirst);
    placeInBar(m_setup.loopFirst);
    return m_setup.loopFirst;
}

XPxmlNode* PlaybackRun::barRepeats(XPxmlNode* bar)
{
    const auto modifier = attribute(bar, MusicAttr::Modifier);
    if (!modifier)
        return nullptr;
    if (m_pendingClose == bar) {
        if (m_repeatsLeft <= 0 || --m_repeatsLeft != 0) {
            m_shared.window.showPass(bar, ++m_pass, m_passes);
            return m_repeatStart; // a count of 0 or below repeats until Stop
        }
        m_shared.window.showPass(bar, 0, 0);
        m_pendingClose = nullptr;
        if (xpxmlNameEquals(modifier->c_str(), MusicValue::BothRepeat))
            m_repeatStart = bar;
        lookAheadFrom(nextElement(bar));
        return nullptr;
    }
    if (m_pendingClose)
        return nullptr; // repeats do not nest
    if (xpxmlNameEquals(modifier->c_str(), MusicValue::OpenRepeat)) {
        m_repeatStart = bar;
        lookAheadFrom(nextElement(bar));
        return nullptr;
    }
    if (m_firstPassBar == bar)
        m_firstPassBar = nullptr; // now shows the passes after the first
    m_pendingClose = bar;
    m_repeatsLeft = repeatsOf(bar);
    m_passes = m_repeatsLeft == 0 ? 0 : m_repeatsLeft + 1;
    m_pass = 2;
    m_shared.window.showPass(bar, m_pass, m_passes);
    return m_repeatStart;
}

int64_t PlaybackRun::repeatsOf(XPxmlNode* bar)
{
    const auto count = attribute(bar, MusicAttr::RepeatCount);
    // Every count below 1 means the same; kept at 0 so no count can overflow.
    return count ? std::max<int64_t>(leadingInteger64(count->c_str()), 0) : 1;
}

void PlaybackRun::lookAheadFrom(XPxmlNode* element)
{
    if (m_firstPassBar && m_firstPassBar != m_pendingClose)
        m_shared.window.showPass(m_firstPassBar, 0, 0);
    m_firstPassBar = nullptr;
    m_lookAhead = element;
}

void PlaybackRun::lookAhead()
{
    constexpr int kElementsAtATime = 64;
    for (int i = 0; i < kElementsAtATime && m_lookAhead; ++i) {
        XPxmlNode* e = m_lookAhead;
        m_lookAhead = e == m_setup.loopLast ? nullptr : nextElement(e);
        const auto modifier = e->hasName(MusicElement::Bar) ? attribute(e, MusicAttr::Modifier) : std::nullopt;
        if (!modifier)
            continue;
        m_lookAhead = nullptr;
        // A section opening first has no pass to show yet; the walk starts
        // a new look ahead from it.
        if (!xpxmlNameEquals(modifier->c_str(), MusicValue::OpenRepeat) && e != m_pendingClose) {
            const int64_t repeats = repeatsOf(e);
            m_firstPassBar = e;
            m_shared.window.showPass(e, 1, repeats == 0 ? 0 : repeats + 1);
        }
    }
}

PlaybackRun::Deadline PlaybackRun::restFor(XPxmlNode* element)
{
    const auto value = attribute(element, MusicAttr::Value);
    const auto tuplet = attribute(element, MusicAttr::Tuplet);
    const double micros = beatsMicros(NoteBeats(textOf(value), textOf(tuplet)), m_tempo) * stretch();
    scheduleClicks(barBeats(element), micros);
    return {true, m_music.NoteDeadline(micros)};
}

PlaybackRun::Deadline PlaybackRun::playNote(XPxmlNode* note)
{
    const TineNumbers chord = readNoteTines(note, m_setup.tineCount);
    if (!chord.takesTime)
        return {}; // an empty note takes no time and leaves a tie alone
    // The deadline before the chord, so that a strummed chord's pauses fall
    // inside the note.
    const Deadline deadline = restFor(note);
    if (!m_tiedOver) {
        PlayChord(m_shared.midi, m_setup.tineKeys, m_setup.tineCount, true, chord.span(),
                  [this](std::chrono::microseconds pause) { WaitUntilTick(m_shared.clock.now() + pause.count()); });
    }
    m_tiedOver = attribute(note, MusicAttr::Tie).has_value();
    return deadline;
}

void PlaybackRun::jumpBack()
{
    m_shared.window.scrollToElement(m_repeatStart, 0);
    const int64_t now = m_music.position();
    if (now == m_lastJumpAt) {
        // The section took no time: pause briefly (and rebase, since this
        // wait is not the music's) so a section repeating until Stop cannot spin.
        WaitUntilTick(m_shared.clock.now() + kEmptySectionPause);
        m_music.rebase(m_shared.clock.now());
    }
    m_lastJumpAt = m_music.position();
}

void PlaybackRun::WaitUntilTick(int64_t deadline)
{
    m_shared.clock.waitUntil(deadline, m_shared.stop);
}

void PlaybackRun::waitForEnd(int64_t deadline)
{
    for (const Click& beat : m_clicks) {
        WaitUntilTick(beat.at);
        if (!playing())
            return;
        click(beat.accent);
    }
    m_clicks.clear();
    WaitUntilTick(deadline);
    const int64_t now = m_shared.clock.now();
    if (now - deadline > kLateLimit)
        m_music.rebase(now); // the next element starts now, whole
}

void PlaybackRun::setCursor(XPxmlNode* element)
{
    m_shared.cursor = element;
    m_shared.window.cursorMoved(element);
}

void PlaybackRun::finish()
{
    if (playing()) {
        // The music ran out: back to where it started (no preview sounds while playing).
        XPxmlNode* home = m_setup.start ? m_setup.start : firstElement(m_setup.noteList);
        if (home) {
            setCursor(home);
            m_shared.window.scrollToElement(home, 0);
        }
    }
    SilenceTines(m_shared.midi, m_setup.tineKeys, m_setup.tineCount);
    if (m_clicked) {
        if (const std::shared_ptr<MidiOutput> out = m_shared.midi.midiOut()) {
            for (int key : {kAccentKey, kBeatKey})
                out->send(midiMessage(kPercussionNoteOn, key, 0));
        }
    }
    m_shared.playing = false;
    m_shared.tied.endTie();
    m_shared.window.showPlayDelay(std::max(m_setup.playDelay, 0L));
    m_shared.window.enablePlayDelayBox(true);
    m_shared.window.finished();
}
