#pragma once

#include <cstddef>
#include <vector>

// Writes a Standard MIDI File out again in its plainest form, for the MIDI
// library's reader, which trusts the lengths of tempo and time signature
// events and grows its buffer for a long event a little at a time: a header
// of format 0 or 1 with time in ticks a quarter (SMPTE frames become ticks at
// 120 quarters a minute), then every track chunk with only what the importer
// reads: notes, program changes, names and copyright (cut to 1024 bytes),
// tempo and time signatures of their proper lengths, each with its own
// status byte, ended by one end-of-track event (added where a track lacks
// it) before tick 2^28. Other chunks are left out. The last track the header
// states may be cut short by the file's end: it is read as far as it goes.
// False for a file whose other chunks run past its end or whose events do
// not hold together.
bool rewriteMidiPlainly(const unsigned char* bytes, size_t size, std::vector<char>& out);
