#include "sessions/session_bench_support.h"
#include "sessions/session_exporter.h"

#include <QFileInfo>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

using namespace zentrel;

namespace {

void reportFrames(benchmark::State &state, int frames, const PeakMemory &peak)
{
    if (const std::optional<double> megabytes = peak.megabytesAbove()) {
        state.counters["peak_MB"] = *megabytes;
    }
    state.counters["frames/s"] = benchmark::Counter(double(frames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

// budget: peak memory independent of the frame count and under 100 MB; 500 full-HD frames in
// well under 10 s
void BM_SessionExport_Pdf(benchmark::State &state)
{
    const int frames = int(state.range(0));
    BenchSessions sessions;
    const SessionDocument session = sessions.addSession(screenLikePng(), frames);
    const SessionExporter exporter;
    const std::filesystem::path pdf = sessions.root() / "out.pdf";
    const PeakMemory peak;
    for (auto _ : state) {
        auto result = exporter.exportPDF(session, sessions.store(), pdf);
        if (!result || !result->skipped.empty()) {
            state.SkipWithError("the export failed or skipped frames");
            break;
        }
    }
    reportFrames(state, frames, peak);
    std::error_code ec;
    state.counters["pdf_MB"] = double(std::filesystem::file_size(pdf, ec)) / (1024 * 1024);
}

BENCHMARK(BM_SessionExport_Pdf)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

// For comparison, what the platform's PDF writer costs: every frame decoded and re-encoded.
// Not used by the program; its per-frame time and memory are the reason.
void BM_SessionExport_QPdfWriter(benchmark::State &state)
{
    const int frames = int(state.range(0));
    BenchSessions sessions;
    const SessionDocument session = sessions.addSession(screenLikePng(), frames);
    const QString pdf = QString::fromStdString((sessions.root() / "qt.pdf").string());
    const PeakMemory peak;
    for (auto _ : state) {
        QPdfWriter writer(pdf);
        writer.setResolution(72);
        writer.setPageMargins(QMarginsF());
        QPainter painter;
        for (std::size_t i = 0; i < session.frames.size(); ++i) {
            const auto file = sessions.store().frameFile(session.id, session.frames[i]);
            const QImage image(QString::fromStdString(file->string()));
            writer.setPageSize(QPageSize(image.size(), QPageSize::Point));
            if (i == 0) {
                painter.begin(&writer);
            } else {
                writer.newPage();
            }
            painter.drawImage(QRect(QPoint(0, 0), image.size()), image);
        }
        painter.end();
    }
    reportFrames(state, frames, peak);
    state.counters["pdf_MB"] = double(QFileInfo(pdf).size()) / (1024 * 1024);
}

BENCHMARK(BM_SessionExport_QPdfWriter)->Arg(50)->Unit(benchmark::kMillisecond);

// budget: 500 full-HD frames in well under 5 s (copies of the stored files, each checked)
void BM_SessionExport_Pngs(benchmark::State &state)
{
    const int frames = int(state.range(0));
    BenchSessions sessions;
    const SessionDocument session = sessions.addSession(screenLikePng(), frames);
    const SessionExporter exporter;
    const PeakMemory peak;
    for (auto _ : state) {
        if (!exporter.exportPNGs(session, sessions.store(), sessions.root() / "out")) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    reportFrames(state, frames, peak);
}

BENCHMARK(BM_SessionExport_Pngs)->Arg(500)->Unit(benchmark::kMillisecond);

// budget: < 100 ms to list 200 sessions of 10 frames (the window lists on every show)
void BM_SessionStore_List200(benchmark::State &state)
{
    BenchSessions sessions;
    const std::string png = "unused";
    for (int i = 0; i < 200; ++i) {
        sessions.addSession(png, 10);
    }
    for (auto _ : state) {
        auto listed = sessions.store().listSessions();
        if (!listed || listed->size() != 200) {
            state.SkipWithError("the listing failed");
            break;
        }
        benchmark::DoNotOptimize(listed);
    }
}

BENCHMARK(BM_SessionStore_List200)->Unit(benchmark::kMillisecond);

// budget: < 20 ms for "Save to Session" of a full-HD frame beside 200 sessions of 10 frames:
// the folder tree is tidied once per call, not once per step of it
void BM_SessionStore_AddFrame(benchmark::State &state)
{
    BenchSessions sessions;
    for (int i = 0; i < 200; ++i) {
        sessions.addSession("unused", 10);
    }
    const std::string png = screenLikePng();
    for (auto _ : state) {
        if (!sessions.store().addFrame(png, SessionFrameSource::drawing)) {
            state.SkipWithError("the frame was not added");
            break;
        }
    }
}

BENCHMARK(BM_SessionStore_AddFrame)->Unit(benchmark::kMillisecond);

} // namespace
