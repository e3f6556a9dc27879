#include "common/qt_message_filter.h"

#include <QString>

namespace zentrel {

namespace {

QtMessageHandler s_previousHandler = nullptr;

void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (isQtFontNoise(type, message)) {
        return;
    }
    if (s_previousHandler) {
        s_previousHandler(type, context, message);
    } else {
        qt_message_output(type, context, message);
    }
}

} // namespace

bool isQtFontNoise(QtMsgType type, const QString &message)
{
    return type == QtWarningMsg
           && message.trimmed().startsWith(QLatin1String("OpenType support missing for"));
}

void installQtMessageFilter()
{
    s_previousHandler = qInstallMessageHandler(filterMessage);
}

} // namespace zentrel
