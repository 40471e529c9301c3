#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a MIDI or MusicXML file says about its music, before it is fitted to
// the tines: times in ticks of ticksPerQuarter, pitches as MIDI key numbers.
// Notes make a chord by starting together, however the file marks it.

struct SourceNote {
    int64_t start = 0;
    int64_t length = 0;
    int pitch = 60;
    int lyric = -1; // index into ImportedPiece::lyrics, -1 for none
};

// One track, channel or part that a player may choose to read.
struct SourceVoice {
    std::string label;      // "track 2", "channel 3", "part 1", as messages name it
    std::string name;       // the file's name for it, may be empty
    std::string instrument; // the file's instrument name, may be empty
    int program = -1;       // General MIDI program 0-127, -1 when unknown
    std::vector<SourceNote> notes;
};

struct MeterChange {
    int64_t at = 0;
    int beats = 4;
    int unit = 4;
};

struct TempoChange {
    int64_t at = 0;
    double quartersPerMinute = 120; // as the file states it, not always whole
};

struct RepeatMark {
    int64_t at = 0;  // a measure boundary
    bool open = false; // forward (opens a section) or backward (closes it)
    int times = 2;   // plays of the section in all, for a closing mark
};

// A text shown on the first note from at (an ending's number, a jump's name)
// unless that note has a lyric of its own.
struct TextMark {
    int64_t at = 0;
    int lyric = -1; // index into ImportedPiece::lyrics
};

struct ImportedPiece {
    int ticksPerQuarter = 480;
    std::string title;
    std::string composer;
    std::string rights;
    std::vector<SourceVoice> voices; // only voices with notes
    std::vector<MeterChange> meters; // in time order
    std::vector<TempoChange> tempos; // in time order
    std::vector<RepeatMark> repeats;
    // Measure starts the file states (MusicXML); empty when bars follow the meters.
    std::vector<int64_t> measureStarts;
    std::vector<std::string> lyrics;
    std::vector<TextMark> marks; // in time order
    // Played music (MIDI): onsets a little apart still make one chord, and
    // a note released a little early keeps its value. Written music
    // (MusicXML) states both exactly.
    bool quantise = false;
};
