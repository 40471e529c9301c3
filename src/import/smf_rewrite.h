#pragma once

#include <cstddef>
#include <vector>

// Writes a Standard MIDI File out again in its plainest form, for the MIDI
// library, which reads past its buffer or stops the program on files that
// bend the rules: a header of format 0 or 1 with time in ticks a quarter
// (SMPTE frames become ticks at 120 quarters a minute), then every track
// chunk with only what the importer reads: notes, program changes, names,
// copyright, tempo and time signatures in the form the library expects (it
// stops the program on some other events), each with its own status byte,
// ended by one end-of-track event (added where a track lacks it) before
// tick 2^28. Other chunks are left out. False for a file whose chunks run
// past its end or whose events do not hold together.
bool rewriteMidiPlainly(const unsigned char* bytes, size_t size, std::vector<char>& out);
