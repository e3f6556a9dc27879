#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Three screens side by side, as a presenter's runs meet them: a 1080p monitor, a 1280 × 720
// projector, and a 1080p monitor at 200 % (960 × 540 in logical pixels).
constexpr const char *screens = R"({"screens": [
    {"name": "monitor", "x": 0, "y": 0, "width": 1920, "height": 1080},
    {"name": "projector", "x": 1920, "y": 0, "width": 1280, "height": 720},
    {"name": "doubled", "x": 3200, "y": 0, "width": 960, "height": 540, "dpr": 2}
]})";

int main(int argc, char *argv[])
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("screens.json"));
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(screens) < 0) {
        return 1;
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
