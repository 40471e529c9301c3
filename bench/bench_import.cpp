// Importing a MIDI file of 10k notes as the program does (read the file,
// read the MIDI, fit, write the tablature, complete the document) against
// opening the same music saved as a music file. Then a million notes: the
// memory the import needs on its way beyond what the document keeps.

#include "quiet_sink.h"
#include "doc/message_sink.h"
#include "doc/music_loader.h"
#include "doc/zolva_doc.h"
#include "heap_meter.h"
#include "time_keeper.h"
#include "import/music_import.h"
#include "midi_bytes.h"
#include "xml/xpxml_node.h"
#include "xml/xpxml_writer.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr size_t kNotes = 10'000;
constexpr size_t kManyNotes = 1'000'000;
constexpr double kGoal = 2.0;
constexpr double kBytesPerNoteGoal = 200;

// A tune that walks the kalimba's keys in quarters, eighths, dotted values,
// triplets and chords, with a bass line on a second track.
std::vector<char> makeMidi(size_t notes)
{
    static constexpr int kKeys[] = {60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79};
    static constexpr uint32_t kSteps[] = {480, 240, 240, 720, 240, 160, 160, 160, 960, 480};
    std::vector<TestNote> tune, bass;
    uint32_t tick = 0;
    uint32_t seed = 20261207;
    for (size_t i = 0; i < notes; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t step = kSteps[(seed >> 8) % 10];
        tune.push_back({kKeys[(seed >> 16) % 12], tick, step - 30});
        if (i % 7 == 0)
            tune.push_back({kKeys[(seed >> 20) % 12] - 12, tick + 5, step});
        if (i % 4 == 0)
            bass.push_back({36 + int(seed >> 24) % 12, tick, 960});
        tick += step;
    }
    return midiFile(1, 480, {{tempoEvent(0, 500000), meterEvent(0, 4, 2)}, noteEvents(tune, 0), noteEvents(bass, 1)});
}

struct Files {
    std::string midiPath;
    std::string musicPath;
};

void writeFile(const std::string& path, const char* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, std::streamsize(size));
}

bool importFile(CZolvaDoc& doc, const std::string& path, MessageSink& sink)
{
    std::vector<char> bytes;
    ImportedPiece piece;
    ImportOutcome outcome;
    return readMusicBytes(path, bytes, sink) == 0 &&
           readImportedPiece(sourceKindOf(bytes.data(), bytes.size()), bytes, path, sink, piece) &&
           buildImportedMusic(doc.tree(), piece, {}, path, sink, outcome) &&
           doc.openBuiltTree(QString::fromStdString(path));
}

const Files& files()
{
    static const Files made = [] {
        Files f;
        const auto folder = std::filesystem::temp_directory_path();
        f.midiPath = (folder / "zolva_bench_import.mid").string();
        f.musicPath = (folder / "zolva_bench_import.zvm").string();
        const std::vector<char> midi = makeMidi(kNotes);
        writeFile(f.midiPath, midi.data(), midi.size());
        QuietSink sink;
        CZolvaDoc doc(sink);
        std::string text;
        if (importFile(doc, f.midiPath, sink) && XPxmlWriter::write(doc.tree().rootElement(), text) == 0)
            writeFile(f.musicPath, text.data(), text.size());
        return f;
    }();
    return made;
}

void importMidi(benchmark::State& state)
{
    QuietSink sink;
    for (auto _ : state) {
        auto doc = std::make_unique<CZolvaDoc>(sink);
        if (!importFile(*doc, files().midiPath, sink)) {
            state.SkipWithError("the MIDI file did not import");
            return;
        }
        state.PauseTiming(); // closing is not part of opening
        doc.reset();
        state.ResumeTiming();
    }
}

void openMusicFile(benchmark::State& state)
{
    QuietSink sink;
    for (auto _ : state) {
        auto doc = std::make_unique<CZolvaDoc>(sink);
        if (doc->openDocument(QString::fromStdString(files().musicPath)) != OpenOutcome::Opened) {
            state.SkipWithError("the music file did not open");
            return;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// The two openings one after the other, pair after pair: the median of
// their ratios, which a machine's load drifting between two long runs does
// not sway as it sways the ratio of the runs' times.
double pairedRatio(int pairs)
{
    QuietSink sink;
    const auto processorSeconds = [](auto&& work) {
        const std::clock_t start = std::clock();
        work();
        return double(std::clock() - start) / CLOCKS_PER_SEC;
    };
    std::vector<double> ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        auto imported = std::make_unique<CZolvaDoc>(sink);
        auto opened = std::make_unique<CZolvaDoc>(sink);
        const auto importing = [&] { return processorSeconds([&] { importFile(*imported, files().midiPath, sink); }); };
        const auto opening = [&] {
            return processorSeconds([&] { opened->openDocument(QString::fromStdString(files().musicPath)); });
        };
        // Each goes first in every other pair, so that neither always meets the heap the other left.
        double imports = 0, opens = 0;
        if (pair % 2 == 0) {
            imports = importing();
            opens = opening();
        } else {
            opens = opening();
            imports = importing();
        }
        if (opens > 0)
            ratios.push_back(imports / opens);
    }
    if (ratios.empty())
        return 0;
    std::nth_element(ratios.begin(), ratios.begin() + long(ratios.size() / 2), ratios.end());
    return ratios[ratios.size() / 2];
}

// What the heap holds, sampled every half millisecond on a thread of its
// own while the import runs: glibc tells what is in use, not its peak.
class PeakSampler {
public:
    PeakSampler() : m_before(heapmeter::mallocInUse()), m_thread([this] { run(); }) {}
    ~PeakSampler() { stop(); }
    long long stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_peak;
    }
    long long growth() const { return heapmeter::mallocInUse() - m_before; }

private:
    void run()
    {
        while (!m_stop) {
            m_peak = std::max(m_peak.load(), growth());
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    const long long m_before;
    std::atomic<bool> m_stop{false};
    std::atomic<long long> m_peak{0};
    std::thread m_thread;
};

struct Peak {
    long long document = 0; // what the finished document keeps
    long long peak = 0;     // the most in use on the way
};

Peak measureMillion()
{
    const std::string path = (std::filesystem::temp_directory_path() / "zolva_bench_million.mid").string();
    {
        const std::vector<char> midi = makeMidi(kManyNotes);
        writeFile(path, midi.data(), midi.size());
    }
    QuietSink sink;
    malloc_trim(0);
    auto doc = std::make_unique<CZolvaDoc>(sink);
    PeakSampler sampler;
    importFile(*doc, path, sink);
    const long long peak = std::max(sampler.stop(), sampler.growth());
    std::filesystem::remove(path);
    return {sampler.growth(), peak};
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("MIDI file: %zu notes of the tune, %zu bytes of music file\n", kNotes,
                size_t(std::filesystem::file_size(files().musicPath)));
    benchmark::RegisterBenchmark("import_midi", &importMidi)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open_music_file", &openMusicFile)->Unit(benchmark::kMillisecond);
    TimeKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    if (keeper.seconds.count("import_midi") && keeper.seconds.count("open_music_file")) {
        const double ratio = keeper.seconds["import_midi"] / keeper.seconds["open_music_file"];
        const double paired = pairedRatio(201);
        std::printf("import of 10k notes %5.2fx opening them as a music file, %5.2fx the median of 201 pairs"
                    " (goal %.1fx) %s\n",
                    ratio, paired, kGoal, paired <= kGoal ? "met" : "MISSED");
    }
    const Peak peak = measureMillion();
    const double perNote = double(peak.peak - peak.document) / double(kManyNotes);
    std::printf("a million notes: document %.0f bytes a note, %.0f bytes a note more on the way (goal %.0f) %s\n",
                double(peak.document) / double(kManyNotes), perNote, kBytesPerNoteGoal,
                perNote <= kBytesPerNoteGoal ? "met" : "MISSED");
    std::filesystem::remove(files().midiPath);
    std::filesystem::remove(files().musicPath);
    benchmark::Shutdown();
    return 0;
}
