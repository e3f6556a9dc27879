#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "whiteboard/canvas/element_layer/board_grid_painting.h"
#include "whiteboard/canvas/element_layer/canvas_element_layer.h"
#include "whiteboard/canvas/whiteboard_canvas_view.h"
#include "whiteboard/editor/commands/whiteboard_transforms.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor_bench_support.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <memory>

using namespace zentrel;

namespace {

const QSize viewSize(1920, 1080);

// Which editor shows the board: the whiteboard's pans and zooms without limits, while Zevizu &
// Vozurir keeps its screen filling the view (no zoom below 100 %, no pan at 100 %).
enum class CanvasEditor {
    whiteboard,
    freeze,
};

// The generated board of `count` elements, each with an id of its own (so each wobbles its own
// way), shown at 100 % on a 1920 × 1080 canvas. About 1,300 elements are in view at a time.
struct CanvasBench
{
    TemporaryDirectory folder;
    FakeClock clock;
    DroppingScheduler scheduler;
    std::unique_ptr<WhiteboardEditorModel> model;
    std::unique_ptr<WhiteboardCanvasView> view;
    QImage target{viewSize, QImage::Format_ARGB32_Premultiplied};

    explicit CanvasBench(int count, CanvasEditor editor = CanvasEditor::whiteboard)
    {
        const WhiteboardEditorServices services{&clock, &scheduler, countingRandom()};
        model = editor == CanvasEditor::freeze
                    ? makeFreezeEditorModel({}, Color{}, 2, SizeF{1920, 1080}, 2, services)
                    : std::make_unique<WhiteboardEditorModel>(
                        WhiteboardLibraryStore(folder.path(), clock, countingRandom()),
                        Color{},
                        2,
                        2,
                        services);
        WhiteboardLibrary library = model->library();
        WhiteboardBoard board = remadeBoard(count, [&](WhiteboardElement &element) {
            element.id = model->makeIdentifier();
            element.style.roughness = 2;
        });
        library.boards.front().elements = std::move(board.elements);
        library.boards.front().background = WhiteboardBackground::white();
        library.boards.front().showsGrid = true;
        model->setLibrary(std::move(library));
        makeView();
    }

    void makeView()
    {
        view = std::make_unique<WhiteboardCanvasView>(*model);
        view->resize(viewSize);
    }

    void draw() { view->render(&target); }
};

// Reports the CPU time all the program's threads spent per iteration, as "all_threads": the
// canvas paints on pool threads, which the benchmark's own CPU time leaves out.
class AllThreadsTime
{
public:
    explicit AllThreadsTime(benchmark::State &state)
        : m_state(state)
        , m_start(processSeconds())
    {}

    ~AllThreadsTime()
    {
        m_state.counters["all_threads_ms"] = benchmark::Counter((processSeconds() - m_start) * 1000,
                                                                benchmark::Counter::kAvgIterations);
    }

    AllThreadsTime(const AllThreadsTime &) = delete;
    AllThreadsTime &operator=(const AllThreadsTime &) = delete;

private:
    static double processSeconds()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval &time) {
            return double(time.tv_sec) + double(time.tv_usec) / 1e6;
        };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }

    benchmark::State &m_state;
    double m_start;
};

// budget: < 50 ms to show a 10,000-element board the first time (every path built afresh).
void BM_Canvas_FirstDraw(benchmark::State &state)
{
    CanvasBench bench(static_cast<int>(state.range(0)));
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        state.PauseTiming();
        bench.makeView();
        state.ResumeTiming();
        bench.draw();
    }
}

BENCHMARK(BM_Canvas_FirstDraw)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The steps of a pointer going round a square, `sideSteps` steps of `stepSize` to a side: it keeps
// going one way for long enough to use up what the canvas keeps beyond the view, as a person's
// pan or drag does, and comes back to where it began.
PointF squareStep(int step, int sideSteps, double stepSize)
{
    switch (step / sideSteps % 4) {
    case 0:
        return {stepSize, 0};
    case 1:
        return {0, stepSize};
    case 2:
        return {-stepSize, 0};
    default:
        return {0, -stepSize};
    }
}

// budget: < 8 ms per pan step on 10,000 elements, < 16 ms on 50,000.
void BM_Canvas_PanStep(benchmark::State &state)
{
    CanvasBench bench(static_cast<int>(state.range(0)));
    bench.draw();
    int step = 0;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        const PointF delta = squareStep(step++, 100, 7);
        panBy(*bench.model, delta.x, delta.y);
        bench.draw();
    }
}

BENCHMARK(BM_Canvas_PanStep)
    ->Arg(1)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Zevizu & Vozurir over a 1920 × 1080 screen with 100 marks.
void freezeScreen(CanvasBench &bench)
{
    QImage screen(viewSize, QImage::Format_RGB32);
    screen.fill(QColor(40, 90, 160));
    WhiteboardLibrary library = bench.model->library();
    library.boards.front().background = WhiteboardBackground::withImage(screen);
    bench.model->setLibrary(std::move(library));
}

// budget: < 8 ms per pan step over a frozen screen at 100 % and 200 % (the screen is scaled
// under the marks).
void BM_Canvas_FrozenScreenPanStep(benchmark::State &state)
{
    CanvasBench bench(100, CanvasEditor::freeze);
    freezeScreen(bench);
    zoom(*bench.model, static_cast<double>(state.range(0)) / 100, {960, 540});
    bench.draw();
    double direction = 1;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        panBy(*bench.model, 6 * direction, 4 * direction);
        bench.draw();
        direction = -direction;
    }
}

BENCHMARK(BM_Canvas_FrozenScreenPanStep)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// budget: < 16 ms per zoom step over a frozen screen between 200 % and 210 %.
void BM_Canvas_FrozenScreenZoomStep(benchmark::State &state)
{
    CanvasBench bench(100, CanvasEditor::freeze);
    freezeScreen(bench);
    zoom(*bench.model, 2, {960, 540});
    bench.draw();
    bool in = true;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        zoom(*bench.model, in ? 1.05 : 1 / 1.05, {960, 540});
        bench.draw();
        in = !in;
    }
}

BENCHMARK(BM_Canvas_FrozenScreenZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// Wheel zooming through scales the board was never shown at: steps of 1.1 between the zoom
// limits, out first. At each limit the turn takes the golden share of a step (or its rest, going
// down), so every sweep falls between the scales of all sweeps before it.
class ZoomSweep
{
public:
    double nextScale()
    {
        const double golden = (std::sqrt(5.0) - 1) / 2;
        const double lowest = std::log(0.1) / std::log(step);
        const double highest = std::log(5.0) / std::log(step);
        double next = m_exponent + m_direction;
        if (next < lowest || next > highest) {
            m_direction = -m_direction;
            next = m_exponent + (m_direction > 0 ? golden : golden - 1);
        }
        m_exponent = next;
        return std::pow(step, m_exponent);
    }

private:
    static constexpr double step = 1.1;
    double m_exponent = 0;
    double m_direction = -1;
};

// budget: < 8 ms per zoom step on 10,000 elements, each step to a scale not shown before, with
// what the program does between a person's wheel notches.
void BM_Canvas_ZoomStep(benchmark::State &state)
{
    CanvasBench bench(static_cast<int>(state.range(0)));
    bench.draw();
    ZoomSweep sweep;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        const double scale = sweep.nextScale();
        zoom(*bench.model, scale / bench.model->currentBoard().viewport.scale, {960, 540});
        bench.draw();
        QCoreApplication::processEvents();
    }
}

BENCHMARK(BM_Canvas_ZoomStep)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// budget: < 250 ms of all threads' CPU per wheel notch on 10,000 elements, its sharp picture
// included: each notch to a scale not shown before, the whole view painted afresh at once, as it
// is once the wheel rests (every element shows at 10 %).
void BM_Canvas_SharpZoomStep(benchmark::State &state)
{
    CanvasBench bench(static_cast<int>(state.range(0)));
    CanvasElementLayer layer([] {});
    QImage frame(viewSize, QImage::Format_RGB32);
    const auto paint = [&] {
        const WhiteboardBoard &board = bench.model->currentBoard();
        const CanvasElementScene scene{board.id,
                                       &board.elements,
                                       board.viewport,
                                       std::nullopt,
                                       false,
                                       boardGridLines(board),
                                       [](QPainter &painter) {
                                           painter.fillRect(painter.window(), Qt::white);
                                       }};
        layer.paint(frame, scene, viewSize, CanvasSharpness::now);
    };
    paint();
    ZoomSweep sweep;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        const double scale = sweep.nextScale();
        zoom(*bench.model, scale / bench.model->currentBoard().viewport.scale, {960, 540});
        paint();
    }
}

BENCHMARK(BM_Canvas_SharpZoomStep)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// budget: < 8 ms per drag step on 10,000 elements: a marquee's worth of neighbours (a 4 × 4 block
// in view) moves while everything else waits in cached layers, made again as the drag goes on.
void BM_Canvas_DragStep(benchmark::State &state)
{
    CanvasBench bench(static_cast<int>(state.range(0)));
    WhiteboardSelection selection;
    for (int row = 4; row < 8; ++row) {
        for (int column = 20; column < 24; ++column) {
            selection.insert(bench.model->currentBoard()
                                 .elements[static_cast<std::size_t>(row * 100 + column)]
                                 ->id);
        }
    }
    bench.model->setSelection(std::move(selection));
    bench.draw();
    bench.model->beginTransaction();
    bench.model->setInteraction({WhiteboardInteraction::Kind::moving});
    int step = 0;
    const AllThreadsTime allThreads(state);
    for (auto _ : state) {
        const PointF delta = squareStep(step++, 30, 5);
        moveSelection(*bench.model, delta.x, delta.y);
        bench.draw();
    }
    bench.model->endTransaction();
}

BENCHMARK(BM_Canvas_DragStep)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
