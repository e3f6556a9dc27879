#include "common/allocator_settings.h"
#include "common/qt_message_filter.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// Painting needs an application (fonts, images, widgets) but never a display.
int main(int argc, char *argv[])
{
    // As the program's, so that the memory measured is the program's.
    zentrel::useProgramAllocatorSettings();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program itself does: Qt's notes on fonts would be timed too.
    zentrel::installQtMessageFilter();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
