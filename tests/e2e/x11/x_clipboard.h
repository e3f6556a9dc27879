#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QString>

namespace zentrel {

// Reads the clipboard through xclip, as a program pasting would: the owner must still run to
// hand its data over.
class XClipboard
{
public:
    explicit XClipboard(const QString &display);

    // The PNG image on the clipboard once its owner offers one; a null image by the deadline,
    // with the reason in lastError().
    QImage waitForPng(QDeadlineTimer deadline);

    QString lastError() const { return m_lastError; }

private:
    QString m_display;
    QString m_lastError;
};

} // namespace zentrel
