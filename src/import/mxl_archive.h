#pragma once

#include <cstddef>
#include <string>

// Takes the score out of a compressed MusicXML file (a ZIP archive): the one
// that META-INF/container.xml names, else the first .xml or .musicxml file
// outside META-INF. False with problem set when there is none, it does not
// unpack, or it would unpack to more than maxSize bytes.
bool unpackMxl(const char* bytes, size_t size, size_t maxSize, std::string& score, std::string& problem);
