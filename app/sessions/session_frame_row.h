#pragma once

#include "sessions/session_document.h"

#include <QImage>
#include <QWidget>

class QLabel;

namespace zentrel {

// One frame in the Sessions window: thumbnail, source, pixel size, capture date and a delete
// button.
class SessionFrameRow : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize thumbnailSize{144, 90};

    explicit SessionFrameRow(const SessionFrame &frame, QWidget *parent = nullptr);

    void showThumbnail(const QImage &thumbnail);
    // The frame's file is missing or not an image.
    void showUnreadable();

    // "Draw", "Freeze Frame" or "Whiteboard".
    static QString sourceTitle(SessionFrameSource source);

Q_SIGNALS:
    void deleteRequested();

private:
    QLabel *m_thumbnail;
};

} // namespace zentrel
