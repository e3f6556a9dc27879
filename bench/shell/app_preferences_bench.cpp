#include "shell/app_preferences.h"

#include "common/clock.h"
#include "common/settings/json_file_defaults_store.h"
#include "fakes/temporary_directory.h"

#include <benchmark/benchmark.h>

using namespace zentrel;

namespace {

// A slider drag assigns a setting many times a second, and each assignment rewrites the
// settings file.
// budget: < 2 ms per assignment on a local disk
void BM_AppPreferences_WriteThroughAssignment(benchmark::State &state)
{
    const TemporaryDirectory folder;
    const SystemClock clock;
    auto defaults = JsonFileDefaultsStore::open(folder / "defaults.json", clock);
    AppPreferences preferences(*defaults);
    double width = 1;
    for (auto _ : state) {
        preferences.setLineWidth(width);
        width = width > 40 ? 1 : width + 0.5;
    }
}

BENCHMARK(BM_AppPreferences_WriteThroughAssignment);

// budget: < 1 ms to load every setting from a full settings file
void BM_AppPreferences_Load(benchmark::State &state)
{
    const TemporaryDirectory folder;
    const SystemClock clock;
    {
        auto defaults = JsonFileDefaultsStore::open(folder / "defaults.json", clock);
        AppPreferences preferences(*defaults);
        preferences.setDrawingColor(Color{0.2, 0.4, 0.6, 1});
        preferences.setActivationStyle(PresentationFeature::zooming, ActivationStyle::hold);
        preferences.setBreakTimerMessage("Coffee");
    }
    for (auto _ : state) {
        auto defaults = JsonFileDefaultsStore::open(folder / "defaults.json", clock);
        AppPreferences preferences(*defaults);
        benchmark::DoNotOptimize(preferences.drawingColor());
    }
}

BENCHMARK(BM_AppPreferences_Load);

} // namespace
