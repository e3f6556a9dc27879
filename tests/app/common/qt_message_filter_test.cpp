#include "common/qt_message_filter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include <gtest/gtest.h>

#include <thread>

using namespace zentrel;

namespace {

QStringList s_passed;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_passed.append(message);
}

} // namespace

// Qt's own note for each font without shaping tables for a script is left out; what a user can
// act on still reaches the handler before.
TEST(QtMessageFilter, LeavesOutOnlyQtsNoteOfFontsWithoutShapingTables)
{
    const QtMessageHandler before = qInstallMessageHandler(keepMessage);
    installQtMessageFilter();
    // On a thread of its own, whose fonts are all looked for afresh.
    std::thread([] {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        (void)QFontMetricsF(font).horizontalAdvance(QStringLiteral("नमस्ते தமிழ் ខ្មែរ"));
    }).join();
    qWarning("The whiteboard could not be saved");
    qInstallMessageHandler(before);
    EXPECT_EQ(s_passed.join(QLatin1Char('\n')).toStdString(), "The whiteboard could not be saved");
    EXPECT_TRUE(isQtFontNoise(
        QtWarningMsg, QStringLiteral("  OpenType support missing for \"Virgil\", script 11")));
    EXPECT_FALSE(isQtFontNoise(QtCriticalMsg, QStringLiteral("OpenType support missing for")));
}
