#pragma once

#include <string>
#include <vector>

// MusicXML texts made in code: 12 divisions to the quarter, one part.

// A pitched note: step and octave, duration in divisions, its type, and
// elements put before the pitch (chord, grace) and after the type.
std::string xmlNote(const char* step, int octave, int duration, const char* type, const std::string& after = "",
                    const std::string& before = "");
std::string xmlRest(int duration);
// A whole score: each text is one measure's content; the first measure sets
// the divisions and 4/4 unless its text brings its own attributes.
std::string xmlScore(const std::vector<std::string>& measures, const std::string& head = "");
