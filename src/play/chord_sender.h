#pragma once

#include <chrono>
#include <functional>
#include <span>

class MidiSession;

// The two sending primitives every preview and every playback thread uses.
// tineKeys holds the MIDI key of tine 1, tine 2, …; tineCount is the
// document's. Tine numbers outside 1 … tineCount (or beyond tineKeys) are
// ignored. Nothing is sent while the session has no output.

// Sounds tines (1-based tine numbers) as one chord: a program change for the
// session's instrument, then the keys lowest first, equal keys in the order
// given. A chord of three or more tines is strummed with 18 ms after every
// note, paused by pause: playback waits on its own clock, so that a
// performance made faster than real time keeps the strum; empty sleeps. A
// preview (playing false) is silent while the session is muted.
using StrumPause = std::function<void(std::chrono::microseconds)>;
void PlayChord(MidiSession& midi, std::span<const int> tineKeys, int tineCount, bool playing,
               std::span<const int> tines, const StrumPause& pause = {});

// Silences the key of every tine, without pauses.
void SilenceTines(MidiSession& midi, std::span<const int> tineKeys, int tineCount);

// A view's preview of tines through midi: PlayChord as a preview. tineKeys
// must outlive it. None (silent) without a session.
std::function<void(std::span<const int> tines)> midiPreview(MidiSession* midi, std::span<const int> tineKeys,
                                                             int tineCount);
