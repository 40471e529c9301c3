// CheckBarTiming + RefreshLayout on generated music of 10k, 100k and 1M
// elements, as a view does it whenever its document changes:
//  - layout_again: the music laid out once already (bars in place, "~Pos"
//    written), as every later update finds it;
//  - first_layout: a file as saved, bars in place, laid out for the first
//    time (every element gets its "~Pos");
//  - bars_rewritten: the generated text as it is, whose bars are out of
//    place: of 100k elements some 13,500 bars go and 16,400 come;
//  - read_facts: the reading half of layout_again alone (every child's
//    attributes into the event table), the part XPxml answers for;
//  - zoom: a laid-out piece of 100k zoomed (to 200% and back by turns) as
//    a view does it: options, layout, size and the first paint of its middle,
//    against first_layout.
// The reference is pugixml walking the note list of the same text and
// reading two attributes of every element. The ratios to the goals print
// after the run.

#include "quiet_sink.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "music_text.h"
#include "steady_heap.h"
#include "view/event_facts.h"
#include "view/tablature_painter.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"
#include "xml/xpxml_writer.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr size_t kSizes[] = {10'000, 100'000, 1'000'000};
constexpr size_t kReference = 100'000;
constexpr double kGrowthGoal = 11.0; // 1M against 100k: near linear
constexpr double kZoomGoal = 2.0;    // zoom of 100k against its first layout

const std::string& generated(size_t children)
{
    static std::map<size_t, MusicText> made;
    auto found = made.find(children);
    if (found == made.end())
        found = made.emplace(children, makeMusicText(children)).first;
    return found->second.text;
}

struct OpenMusic {
    QuietSink sink;
    CZolvaDoc doc{sink};
    ViewLayout layout;
    ViewCursor cursor;

    explicit OpenMusic(const std::string& text)
    {
        if (doc.tree().loadText(text.data(), text.size()) != 0 || !doc.completeDocument())
            std::cerr << "the generated music did not open\n";
        layout.setDocument(&doc);
    }
    // What a view does on every update of its document.
    void layOut()
    {
        layout.CheckAndRefresh(doc.firstEvent(), cursor);
    }
};

// The generated music with its bars put in place, written as a file is.
const std::string& inPlace(size_t children)
{
    static std::map<size_t, std::string> made;
    auto found = made.find(children);
    if (found == made.end()) {
        OpenMusic open(generated(children));
        open.layOut();
        std::string text;
        XPxmlWriter::write(open.doc.tree().rootElement(), text);
        found = made.emplace(children, std::move(text)).first;
    }
    return found->second;
}

// Every run starts from the file as read.
void layoutOnOpen(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto open = std::make_unique<OpenMusic>(text);
        state.ResumeTiming();
        open->layOut();
        state.PauseTiming();
        open.reset();
        state.ResumeTiming();
    }
}

void firstLayout(benchmark::State& state)
{
    layoutOnOpen(state, inPlace(size_t(state.range(0))));
}

void barsRewritten(benchmark::State& state)
{
    layoutOnOpen(state, generated(size_t(state.range(0))));
}

void layoutAgain(benchmark::State& state)
{
    OpenMusic open(inPlace(size_t(state.range(0))));
    open.layOut();
    for (auto _ : state)
        open.layOut();
}

void readFacts(benchmark::State& state)
{
    OpenMusic open(inPlace(size_t(state.range(0))));
    open.layOut();
    EventTable events;
    for (auto _ : state) {
        collectEvents(open.doc.noteList(), events);
        benchmark::DoNotOptimize(events.data());
    }
}

void zoom(benchmark::State& state)
{
    OpenMusic open(inPlace(size_t(state.range(0))));
    open.layOut();
    TablaturePainter painter;
    QImage frame;
    const QSize client(1200, 900);
    for (auto _ : state) {
        open.layout.setZoom(open.layout.zoom() == 100 ? 200 : 100);
        open.layout.RefreshLayout();
        const QSize extent = open.layout.ComputeExtent(true);
        painter.layoutChanged();
        open.layout.setViewport(extent.height() / 2, client.height());
        painter.OnDraw(frame, open.layout, client, CursorMarks());
    }
}

void pugixmlWalk(benchmark::State& state, const std::string& text)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size())) {
        state.SkipWithError("pugixml did not parse the text");
        return;
    }
    const pugi::xml_node notes = doc.child("Zolva").child("Notes");
    for (auto _ : state) {
        size_t bytes = 0;
        for (pugi::xml_node n = notes.first_child(); n; n = n.next_sibling())
            bytes += std::strlen(n.attribute("Value").value()) + std::strlen(n.attribute("Tines").value());
        benchmark::DoNotOptimize(bytes);
    }
}

// Keeps each run's CPU time per iteration beside the usual console report;
// with repetitions, their median.
class TimeKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || median))
                seconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double of(const std::string& name) const
    {
        const auto found = seconds.find(name);
        return found == seconds.end() ? 0.0 : found->second;
    }
    std::map<std::string, double> seconds;
};

// goal 0: a figure without a goal.
void printRatio(const char* what, double value, double base, double goal)
{
    if (value <= 0 || base <= 0)
        return;
    const double ratio = value / base;
    if (goal <= 0) {
        std::printf("%-44s %6.2fx\n", what, ratio);
        return;
    }
    std::printf("%-44s %6.2fx (goal %4.1fx) %s\n", what, ratio, goal, ratio <= goal ? "met" : "MISSED");
}

std::string runName(const char* name, size_t children)
{
    return std::string(name) + "/" + std::to_string(children);
}

} // namespace

int main(int argc, char** argv)
{
    keepFreedMemory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the lyrics are measured in the label font
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // Each with its goal against pugixml's walk of 100k: a layout that finds
    // everything in place reads little more than that walk; a first one
    // writes a position into every element; a rewrite also moves the bars.
    const struct {
        const char* name;
        void (*run)(benchmark::State&);
        double pugixmlGoal;
    } cases[] = {{"layout_again", &layoutAgain, 1.5}, {"first_layout", &firstLayout, 2.5},
                 {"bars_rewritten", &barsRewritten, 3.0}};
    for (auto [name, run, goal] : cases)
        for (size_t children : kSizes)
            benchmark::RegisterBenchmark(name, run)->Arg(long(children))->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read_facts", &readFacts)->Arg(long(kReference))->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("zoom", &zoom)->Arg(long(kReference))->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("pugixml_walk_in_place", &pugixmlWalk, inPlace(kReference))
        ->Arg(long(kReference))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("pugixml_walk_generated", &pugixmlWalk, generated(kReference))
        ->Arg(long(kReference))
        ->Unit(benchmark::kMillisecond);

    TimeKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);

    for (auto [name, run, goal] : cases) {
        const bool generatedText = std::string(name) == "bars_rewritten";
        const double walk = keeper.of(runName(generatedText ? "pugixml_walk_generated" : "pugixml_walk_in_place",
                                              kReference));
        const double reference = keeper.of(runName(name, kReference));
        printRatio((std::string(name) + " 100k / pugixml walk 100k").c_str(), reference, walk, goal);
        printRatio((std::string(name) + " 1M / 100k").c_str(), keeper.of(runName(name, 1'000'000)), reference,
                   kGrowthGoal);
    }
    printRatio("read_facts 100k / pugixml walk 100k", keeper.of(runName("read_facts", kReference)),
               keeper.of(runName("pugixml_walk_in_place", kReference)), 0);
    printRatio("zoom 100k / first_layout 100k", keeper.of(runName("zoom", kReference)),
               keeper.of(runName("first_layout", kReference)), kZoomGoal);
    benchmark::Shutdown();
    return 0;
}
