// File > Export Sheet on generated music that fills three A4 pages with the
// default page setup: the whole PDF (its time and size), and PNG pages at
// 300 dpi (time per page). Each counter *_vs_goal is the measure over its
// goal: 1 or less meets it.

#include "doc/zolva_doc.h"
#include "music_text.h"
#include "quiet_sink.h"
#include "view/sheet_layout.h"
#include "view/sheet_writer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

constexpr size_t kChildren = 400; // lays out to kPages pages
constexpr size_t kPages = 3;
constexpr double kPdfSecondsGoal = 0.3;
constexpr double kPdfBytesGoal = 300'000;
constexpr double kPngPageSecondsGoal = 0.5;

// Writes the sheet once per iteration, timing only the writing; the files go
// between iterations. False, with the benchmark skipped, when the music does
// not fill kPages pages or the writing fails.
template <typename Measured>
bool writeEach(benchmark::State& state, SheetFormat format, const char* name, Measured&& measured)
{
    QuietSink sink;
    CZolvaDoc doc(sink);
    const MusicText music = makeMusicText(kChildren);
    if (doc.tree().loadText(music.text.data(), music.text.size()) != 0 || !doc.completeDocument()) {
        state.SkipWithError("the generated music did not open");
        return false;
    }
    const SheetPageSetup setup; // A4, and 300 dpi for PNG pages
    const size_t pages = SheetLayout(doc, setup).pages().size();
    if (pages != kPages) {
        const std::string error = "the music fills " + std::to_string(pages) + " pages, not " + std::to_string(kPages);
        state.SkipWithError(error.c_str());
        return false;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(name));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const SheetWritten written = writeSheet(doc, setup, format, path, sink);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        if (written.outcome != SheetWritten::Outcome::Written) {
            state.SkipWithError("the sheet was not written");
            return false;
        }
        measured(seconds.count(), written.files);
        for (const QString& file : written.files)
            QFile::remove(file);
    }
    return true;
}

void writePdf(benchmark::State& state)
{
    double seconds = 0;
    qint64 bytes = 0;
    const bool done = writeEach(state, SheetFormat::Pdf, "sheet.pdf", [&](double s, const QStringList& files) {
        state.SetIterationTime(s);
        seconds += s;
        bytes = QFileInfo(files.front()).size();
    });
    if (!done)
        return;
    const double perExport = seconds / double(state.iterations());
    state.counters["bytes"] = double(bytes);
    state.counters["time_vs_goal"] = perExport / kPdfSecondsGoal;
    state.counters["size_vs_goal"] = double(bytes) / kPdfBytesGoal;
}

// The time reported is that of one page.
void writePngPagesAt300Dpi(benchmark::State& state)
{
    double seconds = 0;
    const bool done = writeEach(state, SheetFormat::Png, "sheet.png", [&](double s, const QStringList& files) {
        state.SetIterationTime(s / double(files.size()));
        seconds += s / double(files.size());
    });
    if (!done)
        return;
    state.counters["time_vs_goal"] = seconds / double(state.iterations()) / kPngPageSecondsGoal;
}

} // namespace

BENCHMARK(writePdf)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(writePngPagesAt300Dpi)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
