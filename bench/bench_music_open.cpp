// Opening a music file of 100k elements as the program does (read the file,
// unpack it when packed, parse, complete the document), against pugixml's
// parse of the same plain text from memory. The ratios to the goals print
// after the run.

#include "quiet_sink.h"
#include "container_maker.h"
#include "doc/kt_container.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "music_text.h"
#include "steady_heap.h"
#include "time_keeper.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr size_t kChildren = 100'000;
constexpr double kPlainGoal = 1.1;
constexpr double kPackedGoal = 1.4;

struct Files {
    MusicText music;
    std::vector<char> packed;
    std::string plainPath;
    std::string packedPath;
};

void writeFile(const std::string& path, const char* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, std::streamsize(size));
}

const Files& files()
{
    static const Files made = [] {
        Files f;
        f.music = makeMusicText(kChildren);
        f.packed = makeContainer(withZero(f.music.text));
        const auto folder = std::filesystem::temp_directory_path();
        f.plainPath = (folder / "zolva_bench_plain.zvm").string();
        f.packedPath = (folder / "zolva_bench_packed.zvm").string();
        writeFile(f.plainPath, f.music.text.data(), f.music.text.size());
        writeFile(f.packedPath, f.packed.data(), f.packed.size());
        return f;
    }();
    return made;
}

void pugixmlParse(benchmark::State& state)
{
    const std::string& text = files().music.text;
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_buffer(text.data(), text.size())) {
            state.SkipWithError("pugixml did not parse the text");
            return;
        }
        state.PauseTiming(); // closing is not part of opening
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// The parse alone, from memory: how much of opening is the parser's.
void xpxmlParse(benchmark::State& state)
{
    const std::string& text = files().music.text;
    for (auto _ : state) {
        auto doc = std::make_unique<XPxmlDoc>();
        if (doc->loadText(text.data(), text.size()) != 0) {
            state.SkipWithError("XPxml did not parse the text");
            return;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void openDocument(benchmark::State& state, const std::string& path)
{
    QuietSink sink;
    for (auto _ : state) {
        auto doc = std::make_unique<CZolvaDoc>(sink);
        if (doc->openDocument(QString::fromStdString(path)) != OpenOutcome::Opened) {
            state.SkipWithError("the document did not open");
            return;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files().music.text.size()));
}

void openPlain(benchmark::State& state) { openDocument(state, files().plainPath); }
void openPacked(benchmark::State& state) { openDocument(state, files().packedPath); }

// The unpacking alone: zlib's inflate and the traditional decryption.
void unpackOnly(benchmark::State& state)
{
    std::vector<char> archive = files().packed;
    archive[0] = 'P';
    archive[1] = 'K';
    for (auto _ : state) {
        std::string text;
        if (unpackText(archive.data(), archive.size(), text) != 0) {
            state.SkipWithError("the container did not unpack");
            return;
        }
        benchmark::DoNotOptimize(text.data());
    }
}

// goal 0: a figure without a goal.
void printRatio(const TimeKeeper& keeper, const char* what, const std::string& name, double goal)
{
    const auto found = keeper.seconds.find(name);
    const auto base = keeper.seconds.find("pugixml_parse");
    if (found == keeper.seconds.end() || base == keeper.seconds.end())
        return;
    const double ratio = found->second / base->second;
    if (goal > 0)
        std::printf("%-36s %5.2fx pugixml's parse (goal %.1fx) %s\n", what, ratio, goal,
                    ratio <= goal ? "met" : "MISSED");
    else
        std::printf("%-36s %5.2fx pugixml's parse\n", what, ratio);
}

} // namespace

int main(int argc, char** argv)
{
    keepFreedMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const MusicText& music = files().music;
    std::printf("music file: %zu elements, %zu bytes plain, %zu bytes packed\n", music.elements,
                music.text.size(), files().packed.size());

    for (auto [name, run] : {std::pair{"pugixml_parse", &pugixmlParse}, std::pair{"xpxml_parse", &xpxmlParse},
                             std::pair{"open_plain", &openPlain},
                             std::pair{"open_packed", &openPacked}, std::pair{"unpack_only", &unpackOnly}})
        benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond);

    TimeKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    printRatio(keeper, "open plain (read, parse, complete)", "open_plain", kPlainGoal);
    printRatio(keeper, "open packed (+ unpack)", "open_packed", kPackedGoal);
    printRatio(keeper, "XPxml's parse alone", "xpxml_parse", 0);
    printRatio(keeper, "unpack alone", "unpack_only", 0);
    std::filesystem::remove(files().plainPath);
    std::filesystem::remove(files().packedPath);
    benchmark::Shutdown();
    return 0;
}
