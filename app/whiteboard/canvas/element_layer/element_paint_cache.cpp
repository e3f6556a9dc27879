#include "whiteboard/canvas/element_layer/element_paint_cache.h"

#include "common/pool_parallel_work.h"
#include "whiteboard/render/element_render_plan.h"
#include "whiteboard/render/path_thinning.h"

#include <algorithm>
#include <unordered_set>

namespace zentrel {

namespace {

constexpr std::size_t trimSlack = 1024;

// A placeholder's label keeps its size on screen, and so the reach of its paint.
bool boundsDependOnScale(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::unsupported;
}

// Whether what was prepared at one scale paints alike at another.
bool paintsAlike(const WhiteboardElement &element, double preparedScale, double viewportScale)
{
    return elementPaintScale(element, preparedScale) == elementPaintScale(element, viewportScale);
}

} // namespace

std::vector<PaintedElementPtr> preparedElements(const std::vector<ElementPtr> &elements,
                                                double viewportScale,
                                                int threads,
                                                const std::atomic<bool> *cancelled)
{
    // Handed out in chunks, so the pool's threads take turns less often than they prepare.
    constexpr std::size_t chunkSize = 32;
    std::vector<PaintedElementPtr> prepared(elements.size());
    runInParallel((elements.size() + chunkSize - 1) / chunkSize, threads, [&](std::size_t chunk) {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            return;
        }
        const std::size_t end = std::min(elements.size(), (chunk + 1) * chunkSize);
        for (std::size_t i = chunk * chunkSize; i < end; ++i) {
            prepared[i] =
                std::make_shared<const PaintedElement>(paintedElement(*elements[i], viewportScale));
        }
    });
    return prepared;
}

bool ElementPaintCache::isCached(const ElementPtr &element, double viewportScale) const
{
    const auto found = m_entries.find(element.get());
    return found != m_entries.end()
           && paintsAlike(*element, found->second.viewportScale, viewportScale);
}

std::optional<PaintedElement> ElementPaintCache::movedFormerSelf(const WhiteboardElement &element,
                                                                 double viewportScale) const
{
    const auto latest = m_latestByID.find(element.id);
    if (latest == m_latestByID.end()) {
        return std::nullopt;
    }
    const auto former = m_entries.find(latest->second);
    if (former == m_entries.end()
        || !paintsAlike(element, former->second.viewportScale, viewportScale)) {
        return std::nullopt;
    }
    const std::optional<PointF> offset = renderTranslation(*former->second.element, element);
    if (!offset) {
        return std::nullopt;
    }
    return movedBy(*former->second.painted, QPointF(offset->x, offset->y));
}

const PaintedElementPtr &
ElementPaintCache::store(const ElementPtr &element, double viewportScale, PaintedElementPtr painted)
{
    m_latestByID[element->id] = element.get();
    Entry entry{element, viewportScale, std::move(painted)};
    return m_entries.insert_or_assign(element.get(), std::move(entry)).first->second.painted;
}

PaintedElementPtr ElementPaintCache::find(const ElementPtr &element, double viewportScale)
{
    if (isCached(element, viewportScale)) {
        return m_entries.find(element.get())->second.painted;
    }
    if (std::optional<PaintedElement> moved = movedFormerSelf(*element, viewportScale)) {
        return store(
            element, viewportScale, std::make_shared<const PaintedElement>(std::move(*moved)));
    }
    return nullptr;
}

PaintedElementPtr ElementPaintCache::kept(const ElementPtr &element, double viewportScale) const
{
    return isCached(element, viewportScale) ? m_entries.find(element.get())->second.painted
                                            : nullptr;
}

void ElementPaintCache::adopt(std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared,
                              double viewportScale)
{
    // A sharp picture after a zoom out can bring thousands at once.
    m_entries.reserve(m_entries.size() + prepared.size());
    for (auto &[element, painted] : prepared) {
        Entry entry{element, viewportScale, std::move(painted)};
        const auto [kept, isNew] = m_entries.try_emplace(element.get(), std::move(entry));
        if (!isNew && !isCached(element, viewportScale)) {
            kept->second = std::move(entry); // prepared at another zoom
        }
    }
}

const PaintedElement &ElementPaintCache::painted(const ElementPtr &element, double viewportScale)
{
    if (PaintedElementPtr found = find(element, viewportScale)) {
        return *found;
    }
    return *store(element,
                  viewportScale,
                  std::make_shared<const PaintedElement>(paintedElement(*element, viewportScale)));
}

void ElementPaintCache::prepare(const std::vector<ElementPtr> &elements, double viewportScale)
{
    std::vector<ElementPtr> missing;
    for (const ElementPtr &element : elements) {
        if (!find(element, viewportScale)) {
            missing.push_back(element);
        }
    }
    std::vector<PaintedElementPtr> prepared =
        preparedElements(missing, viewportScale, poolThreadCount());
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
        if (!known || (scaleChanged && boundsDependOnScale(*elements[i]))) {
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
