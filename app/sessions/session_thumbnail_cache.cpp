#include "sessions/session_thumbnail_cache.h"

#include <QImageReader>

namespace zentrel {
namespace {

// About 600 thumbnails of 144 by 90.
constexpr qsizetype cacheBytes = 32 * 1024 * 1024;

QImage decodeThumbnail(const QString &path, QSize size)
{
    QImageReader reader(path, "png");
    const QSize full = reader.size();
    if (full.isValid()) {
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    }
    return reader.read();
}

} // namespace

SessionThumbnailCache::SessionThumbnailCache(QSize size, QObject *parent)
    : QObject(parent)
    , m_size(size)
    , m_thumbnails(cacheBytes)
{
    m_pool.setMaxThreadCount(2);
}

SessionThumbnailCache::~SessionThumbnailCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

SessionThumbnailCache::State SessionThumbnailCache::request(const QString &path, QImage *thumbnail)
{
    if (const QImage *cached = m_thumbnails.object(path)) {
        *thumbnail = *cached;
        return State::ready;
    }
    if (m_unreadable.contains(path)) {
        return State::unreadable;
    }
    if (!m_pending.contains(path)) {
        m_pending.insert(path);
        m_pool.start([this, path, size = m_size] {
            const QImage image = decodeThumbnail(path, size);
            QMetaObject::invokeMethod(
                this, [this, path, image] { onDecoded(path, image); }, Qt::QueuedConnection);
        });
    }
    return State::pending;
}

void SessionThumbnailCache::onDecoded(const QString &path, const QImage &image)
{
    m_pending.remove(path);
    if (image.isNull()) {
        m_unreadable.insert(path);
    } else {
        m_thumbnails.insert(path, new QImage(image), qsizetype(image.sizeInBytes()));
    }
    Q_EMIT thumbnailReady(path);
}

} // namespace zentrel
