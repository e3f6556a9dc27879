#include "whiteboard/canvas/element_layer/background_element_paint.h"

#include "whiteboard/canvas/element_layer/element_band_painting.h"

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
    ElementPicture picture;
    std::vector<QRect> areas;
    std::vector<Element> elements;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool running = false;         // under `mutex`
    bool painting = false;        // under `mutex`: past preparing the elements
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

std::vector<PaintedElementPtr>
preparedMissing(const ElementPicture &picture,
                const std::vector<BackgroundElementPaint::Element> &elements,
                int threads,
                const std::atomic<bool> &cancelled)
{
    std::vector<ElementPtr> missing;
    for (const BackgroundElementPaint::Element &element : elements) {
        if (!element.painted) {
            missing.push_back(element.element);
        }
    }
    return preparedElements(missing, picture.viewport.scale, threads, &cancelled);
}

BackgroundElementPaint::Result paintPicture(const ElementPicture &picture,
                                            const std::vector<QRect> &areas,
                                            std::vector<BackgroundElementPaint::Element> &elements,
                                            std::vector<PaintedElementPtr> prepared,
                                            int threads,
                                            const std::atomic<bool> &cancelled)
{
    BackgroundElementPaint::Result result{picture, {}, {}};
    std::size_t next = 0;
    std::vector<ElementToPaint> toPaint;
    toPaint.reserve(elements.size());
    for (BackgroundElementPaint::Element &element : elements) {
        if (!element.painted) {
            element.painted = prepared[next];
            result.prepared.emplace_back(element.element, std::move(prepared[next]));
            ++next;
        }
        toPaint.push_back({element.bounds, element.painted.get()});
    }
    const qreal ratio = picture.pixelRatio;
    for (const QRect &area : areas) {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        // The piece's own points start at the area's corner.
        const WhiteboardViewport viewport =
            seenFrom(picture.viewport, QPointF(area.topLeft()) / ratio);
        paintElementsInBands(image,
                             QRectF(QPointF(0, 0), QSizeF(area.size()) / ratio),
                             toPaint,
                             {viewport, false, threads, &cancelled, picture.grid});
        result.pieces.push_back({area, std::move(image)});
    }
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
        std::vector<PaintedElementPtr> prepared =
            preparedMissing(job->picture, job->elements, job->threads, job->cancelled);
        {
            // Cancelled while preparing, the owner waited for nothing: what was prepared is
            // new, shared with nobody.
            const std::lock_guard lock(job->mutex);
            if (job->cancelled) {
                job->running = false;
                return;
            }
            job->painting = true;
        }
        Result result = paintPicture(job->picture,
                                     job->areas,
                                     job->elements,
                                     std::move(prepared),
                                     job->threads,
                                     job->cancelled);
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
        // Preparing an element may take seconds (a text whose characters are looked for in every
        // font); that goes on alone, while painting, which reads what the owner's cache shares,
        // is waited for.
        std::unique_lock lock(m_job->mutex);
        m_job->cancelled = true;
        m_job->ended.wait(lock, [this] { return !m_job->running || !m_job->painting; });
    }
    m_job.reset();
}

} // namespace zentrel
