#include "play/playback_run.h"

#include "doc/music_vocabulary.h"
#include "play/chord_sender.h"
#include "play/note_chord.h"
#include "play/note_steps.h"
#include "play/playback_window.h"
#include "play/tied_views.h"
#include "view/number_text.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

// A section that repeats without taking any time (bars only, empty notes, a
// negative tempo) would otherwise spin and flood the view with scroll calls.
constexpr int64_t kEmptySectionPause = 10000; // µs
constexpr int64_t kSecond = 1000000;          // µs
// A wait that ends later than this past its deadline (a strum longer than its
// note, a stalled thread) is not made up by rushing the notes after it.
constexpr int64_t kLateLimit = 10000; // µs

bool named(const XPxmlNode* element, const char* name)
{
    return xpxmlNameEquals(element->name(), name);
}

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
    bool tempoFound = false;
    for (XPxmlNode* e = m_setup.start; e && !(m_repeatStart && tempoFound); e = previousElement(e)) {
        if (!m_repeatStart && named(e, MusicElement::Bar)) {
            const auto modifier = attribute(e, MusicAttr::Modifier);
            if (modifier && !xpxmlNameEquals(modifier->c_str(), MusicValue::CloseRepeat))
                m_repeatStart = e;
        }
        if (!tempoFound) {
            if (const auto tempo = attribute(e, MusicAttr::Tempo)) {
                m_tempo = readTempo(tempo->c_str());
                tempoFound = true;
            }
        }
    }
    if (!m_repeatStart)
        m_repeatStart = firstElement(m_setup.noteList);
}

void PlaybackRun::countIn()
{
    long left = std::max(m_setup.playDelay, 0L);
    m_shared.window.enablePlayDelayBox(false);
    // Whole seconds from one start, so the count-in does not drift either.
    const int64_t started = m_shared.clock.now();
    for (int64_t second = 1; left > 0 && playing(); ++second) {
        WaitUntilTick(started + second * kSecond);
        if (!playing())
            break;
        --left;
        m_shared.window.showPlayDelay(left);
    }
    m_shared.window.showPlayDelay(left);
}

void PlaybackRun::walk()
{
    m_music.rebase(m_shared.clock.now());
    for (XPxmlNode* e = m_setup.start; e && playing();) {
        if (const auto tempo = attribute(e, MusicAttr::Tempo))
            m_tempo = readTempo(tempo->c_str());

        Deadline deadline;
        const bool isBar = named(e, MusicElement::Bar);
        if (isBar) {
            if (XPxmlNode* back = barRepeats(e)) {
                jumpBack();
                e = back;
                continue;
            }
        } else if (named(e, MusicElement::Rest)) {
            deadline = restFor(e);
        } else if (named(e, MusicElement::Note)) {
            deadline = playNote(e);
        }

        setCursor(e);
        XPxmlNode* next = nextElement(e);
        if (next)
            m_shared.window.scrollToElement(next, PlaybackThread::kScrollLookAhead);
        if (deadline.set)
            waitForEnd(deadline.at);
        if (isBar && m_shared.tied.viewCount() != 0 && playing()) {
            m_shared.tied.meetAtBar([this] { return !playing(); });
            m_music.rebase(m_shared.clock.now());
        }
        e = next;
    }
}

XPxmlNode* PlaybackRun::barRepeats(XPxmlNode* bar)
{
    const auto modifier = attribute(bar, MusicAttr::Modifier);
    if (!modifier)
        return nullptr;
    if (m_pendingClose == bar) {
        if (m_repeatsLeft <= 0 || --m_repeatsLeft != 0)
            return m_repeatStart; // a count of 0 or below repeats until Stop
        m_pendingClose = nullptr;
        if (xpxmlNameEquals(modifier->c_str(), MusicValue::BothRepeat))
            m_repeatStart = bar;
        return nullptr;
    }
    if (m_pendingClose)
        return nullptr; // repeats do not nest
    if (xpxmlNameEquals(modifier->c_str(), MusicValue::OpenRepeat)) {
        m_repeatStart = bar;
        return nullptr;
    }
    m_pendingClose = bar;
    const auto count = attribute(bar, MusicAttr::RepeatCount);
    // Every count below 1 means the same; kept at 0 so no count can overflow.
    m_repeatsLeft = count ? std::max<int64_t>(leadingInteger64(count->c_str()), 0) : 1;
    return m_repeatStart;
}

PlaybackRun::Deadline PlaybackRun::restFor(XPxmlNode* element)
{
    const auto value = attribute(element, MusicAttr::Value);
    const auto tuplet = attribute(element, MusicAttr::Tuplet);
    const double micros = beatsMicros(NoteBeats(textOf(value), textOf(tuplet)), m_tempo);
    return {true, m_music.NoteDeadline(micros)};
}

PlaybackRun::Deadline PlaybackRun::playNote(XPxmlNode* note)
{
    const NoteChord chord = readNoteChord(note, m_setup.tineCount);
    if (chord.count == 0)
        return {}; // an empty note takes no time and leaves a tie alone
    // The deadline before the chord, so that a strummed chord's pauses fall
    // inside the note.
    const Deadline deadline = restFor(note);
    if (!m_tiedOver) {
        PlayChord(m_shared.midi, m_setup.tineKeys, m_setup.tineCount, true, chord.span());
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
    m_shared.playing = false;
    m_shared.tied.endTie();
    m_shared.window.showPlayDelay(std::max(m_setup.playDelay, 0L));
    m_shared.window.enablePlayDelayBox(true);
    m_shared.window.finished();
}
