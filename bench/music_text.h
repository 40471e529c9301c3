#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

// Text shaped like a music file, for the benchmarks: a "Config" element as the
// program writes it and a "Notes" element with a given number of children.
// One element per line and never a line break inside a tag, as the writer
// lays files out.
struct MusicText {
    std::string text;
    size_t elements = 0; // every element, the root included
    size_t notes = 0;    // the "Note" children of "Notes"
};

// children counts every child of "Notes": a "Bar" before each run of four or
// five notes, "Note" with "Value" and "Tines" (a lyric on some) and now and
// then a "Rest". The same count always gives the same text.
inline MusicText makeMusicText(size_t children)
{
    static constexpr const char* kValues[] = {"4", "8", "4.", "2", "4", "8", "16", "2."};
    static constexpr const char* kTines[] = {"1,3,5", "9", "4", "13", "5,9", "14", "2,11", "7", "3,8,12"};
    static constexpr const char* kLyrics[] = {"A-", "ma-", "zing", "grace", "how", "sweet", "the", "sound"};

    // A fixed linear congruential sequence: varied enough, and reproducible.
    uint32_t seed = 20261207;
    auto pick = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 16) % n;
    };

    MusicText music;
    std::string& out = music.text;
    out.reserve(children * 40 + 1024);
    out += "<?xml version=\"1.0\"?>\n<Zolva Version=\"1.0.14\">\n<Config>\n"
           "<Tines Number=\"17\" NoteValues=\"86,83,79,76,72,69,65,62,60,64,67,71,74,77,81,84,88\""
           " Shade=\"00100100100100100\"/>\n"
           "<Notes Tails=\"Modern\"/>\n<Options/>\n<Author Title=\"Benchmark\"/>\n</Config>\n<Notes>\n";
    music.elements = 7; // Zolva, Config and its four, Notes

    size_t untilBar = 0;
    for (size_t i = 0; i < children; ++i, ++music.elements) {
        if (untilBar == 0) {
            out += "<Bar Type=\"Auto\" Timing=\"A4/4\"/>\n";
            untilBar = 4 + pick(2);
            continue;
        }
        --untilBar;
        const char* value = kValues[pick(std::size(kValues))];
        if (pick(8) == 0) {
            out += "<Rest Value=\"";
            out += value;
            out += "\"/>\n";
            continue;
        }
        out += "<Note Value=\"";
        out += value;
        out += "\" Tines=\"";
        out += kTines[pick(std::size(kTines))];
        if (pick(3) == 0) {
            out += "\" Text=\"";
            out += kLyrics[pick(std::size(kLyrics))];
        }
        out += "\"/>\n";
        ++music.notes;
    }
    out += "</Notes>\n</Zolva>\n";
    return music;
}
