#include "whiteboard/canvas/element_layer/background_element_paint.h"

#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/painted_element_bytes.h"

#include <QPainter>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>

namespace zentrel {

struct BackgroundElementPaint::Job
{
    int threads = 1;
    BackgroundElementPaint::Urgency urgency;
    ElementPicture picture;
    std::vector<QRect> areas;
    std::vector<Element> elements;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool running = false;         // under `mutex`
    bool painting = false;        // under `mutex`: painting a chunk, not preparing one
    bool tellWhenDone = false;    // under `mutex`
    bool told = false;            // under `mutex`
    std::optional<Result> result; // under `mutex`
};

BackgroundElementPaint::BackgroundElementPaint(std::function<void()> onDone)
    : m_onDone(std::move(onDone))
{}

BackgroundElementPaint::~BackgroundElementPaint()
{
    cancel();
}

namespace {

BackgroundElementPaint::Result
paintPicture(const ElementPicture &picture,
             const std::vector<QRect> &areas,
             const std::vector<BackgroundElementPaint::Element> &elements,
             int threads,
             const BackgroundElementPaint::Urgency &urgency,
             const std::atomic<bool> &cancelled,
             const std::function<bool()> &beginPainting,
             const std::function<void()> &endPainting)
{
    BackgroundElementPaint::Result result{picture, {}, {}};
    const qreal ratio = picture.pixelRatio;
    for (const QRect &area : areas) {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        result.pieces.push_back({area, std::move(image)});
    }
    std::size_t handedBack = 0;
    std::size_t handedBackSmall = 0;
    const ChunkPainting how{
        picture.viewport.scale,
        threads,
        &cancelled,
        [](const BackgroundElementPaint::Element &) { return PaintedElementPtr(); },
        [&](const BackgroundElementPaint::Element &element, PaintedElementPtr painted) {
            const std::size_t bytes = paintedElementBytes(*painted);
            const bool small = isSmallOnScreen(element.bounds, picture.viewport.scale);
            std::size_t &handed = small ? handedBackSmall : handedBack;
            if (handed + bytes > (small ? urgency.handedBackSmallBytes : urgency.handedBackBytes)) {
                return false;
            }
            handed += bytes;
            result.prepared.emplace_back(element.element, std::move(painted));
            return true;
        }};
    paintInChunks(elements, how, [&](const std::vector<ElementToPaint> &toPaint, bool first) {
        if (!beginPainting()) {
            return;
        }
        for (BackgroundElementPaint::Piece &piece : result.pieces) {
            // The piece's own points start at the area's corner.
            const WhiteboardViewport viewport =
                seenFrom(picture.viewport, QPointF(piece.area.topLeft()) / ratio);
            paintElementsInBands(piece.image,
                                 QRectF(QPointF(0, 0), QSizeF(piece.area.size()) / ratio),
                                 toPaint,
                                 {viewport,
                                  false,
                                  threads,
                                  &cancelled,
                                  first ? picture.grid : BoardGridLines::none});
        }
        endPainting();
    });
    return result;
}

} // namespace

void BackgroundElementPaint::start(ElementPicture picture,
                                   std::vector<QRect> areas,
                                   std::vector<Element> elements,
                                   const Urgency &urgency)
{
    cancel();
    auto job = std::make_shared<Job>();
    job->threads = std::max(urgency.threads, 1);
    job->urgency = urgency;
    job->picture = std::move(picture);
    job->areas = std::move(areas);
    job->elements = std::move(elements);
    job->tellWhenDone = urgency.tellWhenDone;
    m_job = job;
    QThreadPool::globalInstance()->start([job, onDone = m_onDone] {
        {
            // A painting cancelled before it began leaves at once; the owner did not wait.
            const std::lock_guard lock(job->mutex);
            if (job->cancelled) {
                return;
            }
            job->running = true;
        }
        // Cancelling waits only for a chunk being painted, which reads what the owner's cache
        // shares; preparing an element may take seconds (a text whose characters are looked
        // for in every font) and goes on alone.
        const auto beginPainting = [&job] {
            const std::lock_guard lock(job->mutex);
            job->painting = !job->cancelled;
            return job->painting;
        };
        const auto endPainting = [&job] {
            {
                const std::lock_guard lock(job->mutex);
                job->painting = false;
            }
            job->ended.notify_all();
        };
        Result result = paintPicture(job->picture,
                                     job->areas,
                                     job->elements,
                                     job->threads,
                                     job->urgency,
                                     job->cancelled,
                                     beginPainting,
                                     endPainting);
        bool tell = false;
        if (!job->cancelled) {
            const std::lock_guard lock(job->mutex);
            job->result = std::move(result);
            tell = job->tellWhenDone;
            job->told = tell;
        }
        // Told while still running, so the owner, who waits for the end before it goes, is
        // still there to be told.
        if (tell) {
            onDone();
        }
        {
            const std::lock_guard lock(job->mutex);
            job->running = false;
        }
        job->ended.notify_all();
    });
}

void BackgroundElementPaint::tellWhenDone()
{
    if (!m_job) {
        return;
    }
    bool tellNow = false;
    {
        const std::lock_guard lock(m_job->mutex);
        m_job->tellWhenDone = true;
        tellNow = m_job->result.has_value() && !m_job->told;
        m_job->told = m_job->told || tellNow;
    }
    if (tellNow) {
        m_onDone();
    }
}

void BackgroundElementPaint::wait()
{
    if (!m_job) {
        return;
    }
    std::unique_lock lock(m_job->mutex);
    m_job->ended.wait(lock, [this] { return m_job->result.has_value() && !m_job->running; });
}

bool BackgroundElementPaint::waitFor(std::chrono::milliseconds longest)
{
    if (!m_job) {
        return true;
    }
    std::unique_lock lock(m_job->mutex);
    return m_job->ended.wait_for(
        lock, longest, [this] { return m_job->result.has_value() && !m_job->running; });
}

const ElementPicture *BackgroundElementPaint::picture() const
{
    return m_job ? &m_job->picture : nullptr;
}

std::optional<BackgroundElementPaint::Result> BackgroundElementPaint::take()
{
    if (!m_job) {
        return std::nullopt;
    }
    std::unique_lock lock(m_job->mutex);
    if (!m_job->result) {
        return std::nullopt;
    }
    m_job->ended.wait(lock, [this] { return !m_job->running; });
    std::optional<Result> result = std::move(m_job->result);
    lock.unlock();
    m_job.reset();
    return result;
}

std::optional<QRegion> placePieces(QImage &picture,
                                   const WhiteboardViewport &viewport,
                                   const BackgroundElementPaint::Result &result)
{
    const WhiteboardViewport &painted = result.picture.viewport;
    const qreal ratio = picture.devicePixelRatio();
    const double dx = (viewport.translation.x - painted.translation.x) * ratio;
    const double dy = (viewport.translation.y - painted.translation.y) * ratio;
    const auto isWhole = [](double pixels) {
        return std::abs(pixels - std::round(pixels)) < 1e-6;
    };
    if (painted.scale != viewport.scale || !isWhole(dx) || !isWhole(dy)) {
        return std::nullopt;
    }
    const QPoint shift(int(std::lround(dx)), int(std::lround(dy)));
    QRegion placed;
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const BackgroundElementPaint::Piece &piece : result.pieces) {
        const QRect area = piece.area.translated(shift);
        painter.drawImage(QPointF(area.topLeft()) / ratio, piece.image);
        placed |= area.intersected(picture.rect());
    }
    return placed;
}

void BackgroundElementPaint::cancel()
{
    if (!m_job) {
        return;
    }
    {
        std::unique_lock lock(m_job->mutex);
        m_job->cancelled = true;
        m_job->ended.wait(lock, [this] { return !m_job->running || !m_job->painting; });
    }
    m_job.reset();
}

} // namespace zentrel
