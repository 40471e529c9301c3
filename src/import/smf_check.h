#pragma once

#include <cstddef>

// Whether a Standard MIDI File holds together: a header, as many complete
// track chunks as it states, and in each track only events whose bytes lie
// inside the chunk. The MIDI library reads past its buffer on files that do
// not, so it is given only files that pass.
bool smfHoldsTogether(const unsigned char* bytes, size_t size);
