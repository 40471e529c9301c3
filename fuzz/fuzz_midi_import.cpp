// Feeds arbitrary bytes to the MIDI importer as a file that begins as a MIDI
// file does, and writes whatever it reads as tablature.
#include "import_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    importEveryWay(SourceKind::Midi, data, size, "fuzz.mid");
    return 0;
}
