#pragma once

#include "listen/sound_history.h"
#include "listen/stretch_frequencies.h"
#include "listen/tine_pitch.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

// A pluck heard: where it started, in frames since the first sample fed,
// and the tines (1-based, ascending) that sounded in it.
struct HeardPluck {
    int64_t frame = 0;
    std::vector<int> tines;
};

// Which tines the player plucks, heard through a microphone, for playing
// along: aubio's onset detector finds where something was struck, and the
// frequencies just before and after tell which tines began to ring there.
// Tines plucked at once come as one pluck. The tines of a strum come as one
// or several plucks, each at the onset its tines were heard from, within
// about 20 ms of their start. A tine out of tune comes as that tine while
// within 50 cents of it; other pitches, noise, voices and clicks come as
// nothing.
//
// What 35 ms of sound cannot tell apart: tines starting together less than
// about 60 Hz apart (C4 and D4) come as the louder alone, and a tine struck
// some 20 ms before a much louder one may come late, or not at all.
//
// Not thread-safe: one thread feeds it (the input's own).
class PluckDetector {
public:
    PluckDetector(int sampleRate, TineTuning tuning);
    ~PluckDetector();
    PluckDetector(const PluckDetector&) = delete;
    PluckDetector& operator=(const PluckDetector&) = delete;

    // Takes the next mono samples, in blocks of any size, and returns the
    // plucks heard since the last call, in order. A pluck is known about
    // 40 ms after it started; a strum's later tines up to 30 ms later.
    std::vector<HeardPluck> feed(std::span<const float> samples);
    // The program's own metronome clicks at frame (where its sound comes in,
    // told before then): a pluck that comes with it is known 25 ms later,
    // when the click has died down. Clicks are never taken for plucks, told
    // or not.
    void expectClick(int64_t frame);

private:
    struct Onsets;
    struct PendingOnset {
        int64_t frame = 0;
        int looksAgain = 0; // how many looks came before this one
    };
    void takeHop(std::span<const float> hop);
    void look(StretchFrequencies& frequencies, int64_t end);
    void judge(PendingOnset onset, std::vector<HeardPluck>& heard);
    bool nearClick(int64_t onset);
    // Where the later look at onset ends: later still near a click.
    int64_t afterEnd(int64_t onset);

    int m_sampleRate;
    TineTuning m_tuning;
    std::unique_ptr<Onsets> m_onsets;
    SoundHistory m_history;
    StretchFrequencies m_before, m_early, m_after;
    std::vector<float> m_stretch;
    std::vector<float> m_hop;
    std::deque<PendingOnset> m_pending; // onsets waiting for their sound
    std::deque<int64_t> m_clicks;       // clicks told of, not yet passed
    std::vector<int64_t> m_lastHeard;   // per tine: the frame it was last heard at
    int64_t m_lastJudged = INT64_MIN / 2;
    int64_t m_strumStart = 0;           // the first onset of the latest strum
};
