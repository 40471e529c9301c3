// XPxml on text shaped to make a parser slow, against an ordinary music file
// of the same size. The parser runs on the user interface's thread, so every
// shape must parse in time that grows with its size as the ordinary file's
// does. The table after the run gives each shape's parse time over the
// ordinary file's, per byte.

#include "hostile_xml.h"
#include "music_text.h"
#include "thread_seconds.h"

#include "xml/xpxml_doc.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr size_t kSizes[] = {1'000'000, 10'000'000};
constexpr double kGoal = 3.0;

// A music file grown to about bytes.
std::string ordinary(size_t bytes)
{
    const size_t guess = bytes / 32;
    const size_t made = makeMusicText(guess).text.size();
    return makeMusicText(guess * bytes / made).text;
}

struct Shape {
    const char* name;
    std::string (*make)(size_t bytes);
};

constexpr Shape kOrdinary{"ordinary music file", &ordinary};
constexpr Shape kHostile[] = {
    {"blanks before text", &hostile::blanksBeforeText},
    {"UTF-8 text", &hostile::utf8Text},
    {"entity references", &hostile::entityReferences},
    {"attributes of one element", &hostile::manyAttributes},
};

// Seconds per byte of each shape and size, kept as the benchmarks run.
std::map<std::pair<std::string, size_t>, double>& perByte()
{
    static std::map<std::pair<std::string, size_t>, double> kept;
    return kept;
}

void parse(benchmark::State& state, const Shape& shape, size_t bytes)
{
    const std::string text = shape.make(bytes);
    {
        XPxmlDoc warmUp; // the first touch of fresh pages is not the parser's
        if (warmUp.loadText(text.data(), text.size()) != 0) {
            state.SkipWithError(warmUp.errorText());
            return;
        }
    }
    double seconds = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<XPxmlDoc>();
        const double parse = threadSecondsOf([&] { doc->loadText(text.data(), text.size()); });
        doc.reset();
        state.SetIterationTime(parse);
        seconds += parse;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    perByte()[{shape.name, bytes}] = seconds / double(state.iterations()) / double(text.size());
}

void registerShape(const Shape& shape, size_t bytes)
{
    const std::string name = std::string("parse/") + shape.name + "/" + std::to_string(bytes);
    benchmark::RegisterBenchmark(name.c_str(), [&shape, bytes](benchmark::State& state) { parse(state, shape, bytes); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

void printRatios()
{
    std::printf("\n%-28s %12s %10s  (goal <= %.0f)\n", "time per byte / ordinary", "size", "ratio", kGoal);
    for (const Shape& shape : kHostile) {
        for (size_t bytes : kSizes) {
            const auto found = perByte().find({shape.name, bytes});
            const auto base = perByte().find({kOrdinary.name, bytes});
            if (found == perByte().end() || base == perByte().end())
                continue;
            const double ratio = found->second / base->second;
            std::printf("%-28s %12zu %10.2f  %s\n", shape.name, bytes, ratio, ratio <= kGoal ? "ok" : "MISSED");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (size_t bytes : kSizes) {
        registerShape(kOrdinary, bytes);
        for (const Shape& shape : kHostile)
            registerShape(shape, bytes);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    printRatios();
    benchmark::Shutdown();
    return 0;
}
