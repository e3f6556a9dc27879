#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

namespace zentrel {

// Frame thumbnails, decoded on worker threads and kept, so a long session scrolls and reloads
// without reading every PNG again. Frame files never change, so a path names one picture.
class SessionThumbnailCache : public QObject
{
    Q_OBJECT

public:
    explicit SessionThumbnailCache(QSize size, QObject *parent = nullptr);
    ~SessionThumbnailCache() override;

    enum class State {
        pending,
        ready,
        unreadable,
    };

    // The thumbnail when decoded; otherwise starts decoding it, once.
    State request(const QString &path, QImage *thumbnail);

Q_SIGNALS:
    void thumbnailReady(const QString &path);

private:
    void onDecoded(const QString &path, const QImage &image);

    QSize m_size;
    QCache<QString, QImage> m_thumbnails;
    QSet<QString> m_unreadable;
    QSet<QString> m_pending;
    // Its own pool, so the destructor can wait for the decodes that call back into this object.
    QThreadPool m_pool;
};

} // namespace zentrel
