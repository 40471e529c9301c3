// Feeds arbitrary bytes to the MusicXML importer, as text or, when they begin
// as a ZIP archive does, as a compressed file, and writes whatever it reads
// as tablature.
#include "import_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool zip = sourceKindOf(reinterpret_cast<const char*>(data), size) == SourceKind::CompressedMusicXml;
    importEveryWay(zip ? SourceKind::CompressedMusicXml : SourceKind::MusicXml, data, size, "fuzz.musicxml");
    return 0;
}
