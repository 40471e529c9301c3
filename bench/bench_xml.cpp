// XPxml against pugixml and tinyxml2 on music-file-shaped documents: parse
// speed from memory, heap per element after loading, walking the notes, and
// destroying the document. The ratios to the goals print after the run.

#include "heap_meter.h"
#include "music_text.h"
#include "steady_heap.h"
#include "thread_seconds.h"
#include "xml_figures.h"
#include "xml_libraries.h"

#include "xml/xpxml_slab.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

using xmlfigures::Figure;

constexpr size_t kSizes[] = {10'000, 100'000, 1'000'000};

// Made once per size: the largest text takes a moment to build.
const MusicText& musicText(size_t children)
{
    static std::map<size_t, MusicText> made;
    auto found = made.find(children);
    if (found == made.end())
        found = made.emplace(children, makeMusicText(children)).first;
    return found->second;
}

// Parses into a fresh document, then destroys it, each timed on its own. The
// parse is the reported time; the destroy time rides along as counters.
template <class Library>
void parseAndDestroy(benchmark::State& state, size_t children)
{
    const MusicText& music = musicText(children);
    // The first load into a fresh heap also pays for the kernel's first touch
    // of every page, which a program opening file after file does not.
    {
        typename Library::Document warmUp;
        Library::load(warmUp, music.text);
    }
    double parseSeconds = 0;
    double destroySeconds = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<typename Library::Document>();
        bool loaded = false;
        const double parse = threadSecondsOf([&] { loaded = Library::load(*doc, music.text); });
        const double destroy = threadSecondsOf([&] { doc.reset(); });
        if (!loaded) {
            state.SkipWithError("the document did not load");
            return;
        }
        state.SetIterationTime(parse);
        parseSeconds += parse;
        destroySeconds += destroy;
    }
    const double iterations = double(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(music.text.size()));
    state.counters["destroy_time"] = benchmark::Counter(destroySeconds / iterations); // seconds
    state.counters["destroy_per_parse"] = benchmark::Counter(destroySeconds / parseSeconds);
    xmlfigures::record(Figure::ParseMBps, Library::kName, children,
                       double(music.text.size()) * iterations / parseSeconds / 1e6);
    xmlfigures::record(Figure::DestroyPerParse, Library::kName, children, destroySeconds / parseSeconds);
}

// The heap a loaded document holds (the document object included), per element.
template <class Library>
void heapAfterLoad(benchmark::State& state, size_t children)
{
    const MusicText& music = musicText(children);
    for (auto _ : state) {
        std::unique_ptr<typename Library::Document> doc;
        bool loaded = false;
        // Empty chunks XPxml keeps for reuse would hide its growth from the heap's count.
        XPxmlSlab::releaseSpareChunks();
        const HeapGrowth growth = measureHeapGrowth([&] {
            doc = std::make_unique<typename Library::Document>();
            loaded = Library::load(*doc, music.text);
        });
        if (!loaded) {
            state.SkipWithError("the document did not load");
            return;
        }
        const double perElement = double(growth.mallocBytes) / double(music.elements);
        state.counters["bytes_per_element"] = perElement;
        state.counters["new_bytes_per_element"] = double(growth.newBytes) / double(music.elements);
        xmlfigures::record(Figure::HeapBytesPerElement, Library::kName, children, perElement);
        state.SetIterationTime(1e-9); // the time of this benchmark means nothing
    }
}

// Every "Note" child of "Notes", reading "Value" and "Tines", over a document
// loaded beforehand.
template <class Library>
void walkNotes(benchmark::State& state, size_t children)
{
    const MusicText& music = musicText(children);
    auto doc = std::make_unique<typename Library::Document>();
    if (!Library::load(*doc, music.text)) {
        state.SkipWithError("the document did not load");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        NoteWalk walk;
        const double s = threadSecondsOf([&] { walk = Library::walkNotes(*doc); });
        benchmark::DoNotOptimize(walk);
        if (walk.notes != music.notes) {
            state.SkipWithError("the walk did not meet every note");
            return;
        }
        state.SetIterationTime(s);
        seconds += s;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(music.notes));
    xmlfigures::record(Figure::WalkSeconds, Library::kName, children, seconds / double(state.iterations()));
}

template <class Library>
void registerFor(const char* what, void (*run)(benchmark::State&, size_t), size_t children)
{
    const std::string name = std::string(what) + "/" + Library::kName + "/" + std::to_string(children);
    auto* bench = benchmark::RegisterBenchmark(name.c_str(), run, children);
    bench->UseManualTime()->Unit(benchmark::kMillisecond);
    if (run == &heapAfterLoad<Library>)
        bench->Iterations(1); // one load gives the whole figure
}

// Grouped by measure, then size, so the libraries compared sit on adjacent lines.
template <class... Libraries>
void registerAll()
{
    for (size_t n : kSizes)
        (registerFor<Libraries>("parse", &parseAndDestroy<Libraries>, n), ...);
    for (size_t n : kSizes)
        (registerFor<Libraries>("heap", &heapAfterLoad<Libraries>, n), ...);
    for (size_t n : kSizes)
        (registerFor<Libraries>("walk", &walkNotes<Libraries>, n), ...);
}

// The goal table goes beside the console report only, not into JSON or CSV.
bool consoleFormat(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_format=", 19) == 0 && std::strcmp(argv[i] + 19, "console") != 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    keepFreedMemory();
    const bool console = consoleFormat(argc, argv);
    registerAll<XPxmlLibrary, PugixmlLibrary, Tinyxml2Library>();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (console)
        xmlfigures::printGoals(std::cout, kSizes);
    benchmark::Shutdown();
    return 0;
}
