#include "whiteboard/canvas/element_paint_cache.h"

#include "whiteboard/render/element_render_plan.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace zentrel {

namespace {

constexpr std::size_t trimSlack = 1024;

bool dependsOnScale(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::unsupported;
}

// Runs `work` for every index in [0, count), in chunks on the global pool's free threads and on
// this one; chunks that find no free thread run here, so it never waits on a busy pool.
void runInParallel(std::size_t count, const std::function<void(std::size_t)> &work)
{
    constexpr std::size_t chunkSize = 64;
    const std::size_t chunks = (count + chunkSize - 1) / chunkSize;
    QSemaphore done;
    int started = 0;
    const auto runChunk = [&work, count](std::size_t chunk) {
        for (std::size_t i = chunk * chunkSize; i < std::min(count, (chunk + 1) * chunkSize); ++i) {
            work(i);
        }
    };
    for (std::size_t chunk = 1; chunk < chunks; ++chunk) {
        if (QThreadPool::globalInstance()->tryStart([&runChunk, &done, chunk] {
                runChunk(chunk);
                done.release();
            })) {
            ++started;
        } else {
            runChunk(chunk);
        }
    }
    if (chunks > 0) {
        runChunk(0);
    }
    done.acquire(started);
}

} // namespace

bool ElementPaintCache::isCached(const ElementPtr &element, double viewportScale) const
{
    const auto found = m_entries.find(element.get());
    return found != m_entries.end()
           && (!dependsOnScale(*element) || found->second.viewportScale == viewportScale);
}

std::optional<PaintedElement>
ElementPaintCache::movedFormerSelf(const WhiteboardElement &element) const
{
    if (dependsOnScale(element)) {
        return std::nullopt;
    }
    const auto latest = m_latestByID.find(element.id);
    if (latest == m_latestByID.end()) {
        return std::nullopt;
    }
    const auto former = m_entries.find(latest->second);
    if (former == m_entries.end()) {
        return std::nullopt;
    }
    const std::optional<PointF> offset = renderTranslation(*former->second.element, element);
    if (!offset) {
        return std::nullopt;
    }
    return movedBy(former->second.painted, QPointF(offset->x, offset->y));
}

const PaintedElement &
ElementPaintCache::store(const ElementPtr &element, double viewportScale, PaintedElement painted)
{
    m_latestByID[element->id] = element.get();
    Entry entry{element, viewportScale, std::move(painted)};
    return m_entries.insert_or_assign(element.get(), std::move(entry)).first->second.painted;
}

const PaintedElement &ElementPaintCache::painted(const ElementPtr &element, double viewportScale)
{
    if (isCached(element, viewportScale)) {
        return m_entries.find(element.get())->second.painted;
    }
    std::optional<PaintedElement> moved = movedFormerSelf(*element);
    return store(element,
                 viewportScale,
                 moved ? std::move(*moved) : paintedElement(*element, viewportScale));
}

void ElementPaintCache::prepare(const std::vector<ElementPtr> &elements, double viewportScale)
{
    std::vector<ElementPtr> missing;
    for (const ElementPtr &element : elements) {
        if (isCached(element, viewportScale)) {
            continue;
        }
        if (std::optional<PaintedElement> moved = movedFormerSelf(*element)) {
            store(element, viewportScale, std::move(*moved));
        } else {
            missing.push_back(element);
        }
    }
    std::vector<PaintedElement> prepared(missing.size());
    runInParallel(missing.size(),
                  [&](std::size_t i) { prepared[i] = paintedElement(*missing[i], viewportScale); });
    for (std::size_t i = 0; i < missing.size(); ++i) {
        store(missing[i], viewportScale, std::move(prepared[i]));
    }
}

void ElementPaintCache::trim(const std::vector<ElementPtr> &elements)
{
    // Fewer than trimSlack elements gone from the board are kept, however large the board:
    // edits of a large board would otherwise keep as many former elements as it has.
    if (m_entries.size() < m_sizeAfterTrim + trimSlack) {
        return;
    }
    std::unordered_set<const WhiteboardElement *> current;
    current.reserve(elements.size());
    for (const ElementPtr &element : elements) {
        current.insert(element.get());
    }
    std::erase_if(m_entries, [&](const auto &entry) { return !current.contains(entry.first); });
    std::erase_if(m_latestByID,
                  [&](const auto &latest) { return !current.contains(latest.second); });
    m_sizeAfterTrim = m_entries.size();
}

void ElementBoundsIndex::update(const std::vector<ElementPtr> &elements, double viewportScale)
{
    const bool scaleChanged = viewportScale != m_viewportScale;
    m_viewportScale = viewportScale;
    m_bounds.resize(elements.size());
    bool changed = elements.size() != m_elements.size();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const bool known = i < m_elements.size() && m_elements[i] == elements[i];
        changed = changed || !known;
        if (!known || (scaleChanged && dependsOnScale(*elements[i]))) {
            m_bounds[i] = elementPaintBounds(*elements[i], viewportScale);
        }
    }
    // Every paint asks; copying the board's pointers only when it changed keeps a pan or a
    // zoom step from touching every element's reference count.
    if (changed) {
        m_elements = elements;
    }
}

} // namespace zentrel
