// One full paint of a 1200×900 client area densely filled with notes, chords
// and lyrics, at the start of a 1k-element piece and in the middle of a
// 1M-element one: a paint must cost the same whatever the piece's length.
// The same paint at device pixel ratio 2 with smoothing on, at 100% and at a
// zoom of 200%, against the plain one at ratio 1.

#include "quiet_sink.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "music_text.h"
#include "view/frame_canvas.h"
#include "view/tablature_painter.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <memory>

namespace {

constexpr QSize kClient{1200, 900};
constexpr double kPaintGoalMs = 4.0;
constexpr double kLengthGoal = 1.5; // middle of 1M against 1k
constexpr double kSharpGoal = 3.0;  // ratio 2, smoothed, against ratio 1 plain

// A piece opened and laid out as a view does it, scrolled to a given place.
struct LaidOutMusic {
    QuietSink sink;
    CZolvaDoc doc{sink};
    ViewLayout layout;
    ViewCursor cursor;
    TablaturePainter painter;
    QImage frame;

    double ratio = 1.0;

    LaidOutMusic(size_t children, double scrollFraction, int zoom = 100, double ratio = 1.0) : ratio(ratio)
    {
        const MusicText music = makeMusicText(children);
        if (doc.tree().loadText(music.text.data(), music.text.size()) != 0 || !doc.completeDocument())
            std::cerr << "the generated music did not open\n";
        layout.setDocument(&doc);
        layout.setZoom(zoom);
        layout.CheckAndRefresh(doc.firstEvent(), cursor);
        const QSize extent = layout.ComputeExtent(true);
        const int scroll = int(double(std::max(0, extent.height() - kClient.height())) * scrollFraction);
        layout.setViewport(scroll, kClient.height());
    }

    void paint()
    {
        CursorMarks marks;
        marks.element = doc.firstEvent();
        painter.OnDraw(frame, layout, kClient, marks, ratio);
    }
};

std::map<std::string, double> gMedianMs;

void paintAt(benchmark::State& state, size_t children, double scrollFraction, int zoom = 100, double ratio = 1.0,
             bool smooth = false)
{
    setSmoothDrawing(smooth);
    LaidOutMusic music(children, scrollFraction, zoom, ratio);
    music.paint(); // the first paint counts the bars before the visible ones once
    for (auto _ : state)
        music.paint();
}

void paintStartOf1k(benchmark::State& state) { paintAt(state, 1'000, 0.0); }
void paintMiddleOf1M(benchmark::State& state) { paintAt(state, 1'000'000, 0.5); }
void paintStartOf1kSharp(benchmark::State& state) { paintAt(state, 1'000, 0.0, 100, 2.0, true); }
void paintStartOf1kZoomed(benchmark::State& state) { paintAt(state, 1'000, 0.0, 200, 2.0, true); }

class MedianKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                gMedianMs[run.run_name.function_name] = run.GetAdjustedCPUTime() * 1e3 /
                                                        benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

BENCHMARK(paintStartOf1k)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(paintMiddleOf1M)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(paintStartOf1kSharp)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(paintStartOf1kZoomed)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    MedianKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double small = gMedianMs["paintStartOf1k"];
    const double large = gMedianMs["paintMiddleOf1M"];
    if (small > 0 && large > 0) {
        std::printf("paint, 1k piece: %.2f ms median (goal %.1f ms) %s\n", small, kPaintGoalMs,
                    small <= kPaintGoalMs ? "met" : "MISSED");
        std::printf("paint, middle of 1M / start of 1k: %.2fx (goal %.1fx) %s\n", large / small, kLengthGoal,
                    large / small <= kLengthGoal ? "met" : "MISSED");
    }
    for (const char* name : {"paintStartOf1kSharp", "paintStartOf1kZoomed"}) {
        const double sharp = gMedianMs[name];
        if (small > 0 && sharp > 0)
            std::printf("paint, %s (ratio 2, smoothed) / plain 1k: %.2fx (goal %.1fx) %s\n",
                        std::string(name).find("Zoomed") != std::string::npos ? "zoom 200%" : "zoom 100%",
                        sharp / small, kSharpGoal, sharp / small <= kSharpGoal ? "met" : "MISSED");
    }
    return 0;
}
