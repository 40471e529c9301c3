#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a score's bar lines and directions say about the order its measures
// are played in.
struct MeasureMarks {
    bool repeatForward = false;  // a section opens at the measure's start
    bool repeatBackward = false; // a section closes at its end
    int times = 2;               // plays of the closed section in all
    bool afterJump = false;      // the section is repeated after a jump too
    std::vector<int> ending;     // the numbers of an ending that starts here
    bool endingStop = false;     // an ending ends with this measure
    bool segno = false;          // where a dal segno goes back to
    bool coda = false;           // where a to coda goes on from
    bool codaSign = false;       // a coda sign alone: a target or a jump, by where it stands
    bool toCoda = false;         // after a jump, go on at the coda from its end
    bool daCapo = false;         // at its end, back to the start
    bool dalSegno = false;       // at its end, back to the segno
    bool fine = false;           // after a jump, the music ends with it
    bool alFine = false;         // its jump goes on to the fine, past any to coda
    bool alCoda = false;         // its jump goes on to the coda, past any fine
};

// One measure as it is played, in order.
struct PlayedMeasure {
    size_t measure = 0;
    bool open = false;  // a section kept as a repeat opens here
    bool close = false; // and closes at its end
    int times = 2;
    std::string label;  // "1.", "2.", "D.C.", "D.S.", "Coda" where an ending or a jump begins
};

// The measures in the order a player plays them. Sections with endings and
// the jumps are written out; a plain repeat stays a repeat (open and close
// marks). After a jump, repeats are not taken again unless the score says
// so. Every jump is taken once, and the order is cut at a few plays of each
// measure, so that no score can make it endless.
std::vector<PlayedMeasure> playingOrder(const std::vector<MeasureMarks>& marks);
