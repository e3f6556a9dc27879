// Prints "<width> <height>", the size in pixels of the ink of a text in a font at a pixel size,
// laid out the way zentrel lays out whiteboard text; end-to-end tests compare it with the ink on
// the screen. Usage: text_ink FONT_FILE PIXEL_SIZE TEXT, where an empty FONT_FILE stands for the
// default font that text falls back to.

#include "e2e/tools/tool_output.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainterPath>

#include <string>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 4) {
        zentrel::say("usage: text_ink FONT_FILE PIXEL_SIZE TEXT");
        return 2;
    }
    QFont font = QGuiApplication::font();
    if (!arguments[1].isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(arguments[1]);
        if (id < 0) {
            zentrel::say("not a font: " + arguments[1].toStdString());
            return 1;
        }
        font = QFont(QFontDatabase::applicationFontFamilies(id).front());
    }
    font.setPixelSize(arguments[2].toInt());
    QPainterPath ink;
    ink.addText(0, 0, font, arguments[3]);
    const QRectF box = ink.boundingRect();
    zentrel::say(std::to_string(qRound(box.width())) + ' ' + std::to_string(qRound(box.height())));
    return 0;
}
