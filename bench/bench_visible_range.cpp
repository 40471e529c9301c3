// What a paint and a page key cost in the middle of a crowded piece of 100k
// elements laid out with fixed measure sizes: each measure holds more than
// its size, so bands do not rise along the list. The visible range and
// Page Down as the view finds them (through the band index), against the
// walks over the whole list that such layouts had before; the ratios print
// after the run.

#include "quiet_sink.h"
#include "doc/zolva_doc.h"
#include "music_text.h"
#include "doc/note_steps.h"
#include "view/view_navigation.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"
#include "view/visible_range.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

namespace {

constexpr size_t kChildren = 100'000;
constexpr int kClientHeight = 900;

struct CrowdedMusic {
    QuietSink sink;
    CZolvaDoc doc{sink};
    ViewLayout layout;
    ViewCursor cursor;
    NavigationView view{layout, cursor, nullptr, TineSound{}};

    CrowdedMusic()
    {
        std::string text = makeMusicText(kChildren).text;
        const std::string screen = "<Notes Tails=\"Modern\"/>";
        text.replace(text.find(screen), screen.size(),
                     "<Notes Tails=\"Modern\" MeasureSpacing=\"Fixed\" MeasureSpacingSize=\"60\"/>");
        if (doc.tree().loadText(text.data(), text.size()) != 0 || !doc.completeDocument())
            std::cerr << "the generated music did not open\n";
        layout.setDocument(&doc);
        layout.CheckAndRefresh(doc.firstEvent(), cursor);
        if (layout.inOrder())
            std::cerr << "the crowded layout came out in order\n";
        layout.setViewport(layout.ComputeExtent(true).height() / 2, kClientHeight);
        view.noteList = doc.noteList();
        cursor.element = doc.firstEvent();
    }
};

CrowdedMusic& music()
{
    static CrowdedMusic made;
    return made;
}

// The walks as they were: every element looked at, its position read from the tree.

VisibleRange walkedRange(const ViewLayout& layout, XPxmlNode* noteList)
{
    VisibleRange range;
    XPxmlNode* first = nullptr;
    XPxmlNode* last = nullptr;
    for (XPxmlNode* e = firstElement(noteList); e; e = nextElement(e)) {
        if (!layout.IsPartlyVisible(e))
            continue;
        first = first ? first : e;
        last = e;
    }
    if (!first)
        return range;
    for (range.start = first; !isBar(range.start) && previousElement(range.start);)
        range.start = previousElement(range.start);
    for (XPxmlNode* next = last; next; next = next->nextElementSibling()) {
        range.end = next;
        if (isBar(next) && !layout.IsPartlyVisible(next))
            break;
    }
    return range;
}

VisibleRun walkedRun(const ViewLayout& layout, XPxmlNode* noteList)
{
    const int64_t windowBottom = int64_t(layout.scrollY()) + layout.clientHeight();
    XPxmlNode* element = firstElement(noteList);
    while (element && layout.EventBand(element, ViewLayout::Coordinates::Document).top > windowBottom)
        element = nextElement(element);
    while (element && !IsFullyVisible(layout, element))
        element = nextElement(element);
    return VisibleRunFrom(layout, element);
}

void rangeWalked(benchmark::State& state)
{
    CrowdedMusic& m = music();
    for (auto _ : state)
        benchmark::DoNotOptimize(walkedRange(m.layout, m.doc.noteList()));
}

void rangeIndexed(benchmark::State& state)
{
    CrowdedMusic& m = music();
    VisibleRangeFinder finder;
    for (auto _ : state)
        benchmark::DoNotOptimize(finder.find(m.layout, m.doc.noteList()));
}

void pageDownWalked(benchmark::State& state)
{
    CrowdedMusic& m = music();
    for (auto _ : state) {
        const VisibleRun run = walkedRun(m.layout, m.doc.noteList());
        MoveCursor(m.view, elementsBehind(run.first, run.count), m.cursor.tine);
    }
}

void pageDownIndexed(benchmark::State& state)
{
    CrowdedMusic& m = music();
    for (auto _ : state)
        benchmark::DoNotOptimize(OnKeyDown(m.view, Qt::Key_PageDown, false));
}

class TimeKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace

BENCHMARK(rangeWalked)->Unit(benchmark::kMicrosecond);
BENCHMARK(rangeIndexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(pageDownWalked)->Unit(benchmark::kMicrosecond);
BENCHMARK(pageDownIndexed)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CrowdedMusic& m = music();
    VisibleRangeFinder finder;
    const VisibleRange walked = walkedRange(m.layout, m.doc.noteList());
    const VisibleRange indexed = finder.find(m.layout, m.doc.noteList());
    const VisibleRun walkedPage = walkedRun(m.layout, m.doc.noteList());
    const VisibleRun indexedPage = FindVisibleRun(m.layout, m.doc.noteList());
    if (walked.start != indexed.start || walked.end != indexed.end || walkedPage.first != indexedPage.first ||
        walkedPage.count != indexedPage.count || !indexed.start || !indexedPage.first)
        std::cerr << "the walks and the index disagree\n";
    TimeKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    benchmark::Shutdown();
    for (const char* what : {"range", "pageDown"}) {
        const double walked = keeper.seconds[std::string(what) + "Walked"];
        const double indexed = keeper.seconds[std::string(what) + "Indexed"];
        if (walked > 0 && indexed > 0)
            std::printf("%s, crowded 100k: walked %.1f us, indexed %.2f us: %.0fx faster\n", what, walked * 1e6,
                        indexed * 1e6, walked / indexed);
    }
    return 0;
}
