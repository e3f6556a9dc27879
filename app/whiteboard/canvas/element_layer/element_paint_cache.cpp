#include "whiteboard/canvas/element_layer/element_paint_cache.h"

#include "common/pool_parallel_work.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/freed_memory.h"
#include "whiteboard/canvas/element_layer/painted_element_bytes.h"
#include "whiteboard/render/element_render_plan.h"
#include "whiteboard/render/path_thinning.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace zentrel {

namespace {

constexpr std::size_t trimSlack = 1024;
// An element whose paint reaches less than this many points across on screen is small.
constexpr double smallElementPoints = 8;

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

bool isSmallOnScreen(const RectF &bounds, double viewportScale)
{
    return std::max(bounds.width, bounds.height) * viewportScale < smallElementPoints;
}

ElementPaintCache::ElementPaintCache(std::size_t budgetBytes)
    : m_budget(budgetBytes)
{}

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

PaintedElementPtr
ElementPaintCache::store(const ElementPtr &element, double viewportScale, PaintedElementPtr painted)
{
    admit(element, viewportScale, painted);
    return painted;
}

bool ElementPaintCache::admit(const ElementPtr &element,
                              double viewportScale,
                              const PaintedElementPtr &painted)
{
    const RectF bounds = elementPaintBounds(*element, viewportScale);
    const std::size_t bytes = paintedElementBytes(*painted);
    const auto found = m_entries.find(element.get());
    const std::size_t replaced = found == m_entries.end() ? 0 : found->second.bytes;
    if (isSmallOnScreen(bounds, viewportScale) && m_bytes - replaced + bytes > m_budget) {
        return false;
    }
    m_latestByID[element->id] = element.get();
    m_bytes = m_bytes - replaced + bytes;
    m_entries.insert_or_assign(element.get(),
                               Entry{element, viewportScale, painted, bounds, bytes, ++m_uses});
    if (m_bytes > m_budget) {
        std::vector<Entries::iterator> all;
        all.reserve(m_entries.size());
        for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
            all.push_back(entry);
        }
        // Well under the budget, so the next few elements do not each sort everything again.
        letGo(std::move(all), m_budget - m_budget / 8);
    }
    return true;
}

ElementPaintCache::Entries::iterator ElementPaintCache::erase(Entries::iterator entry)
{
    const auto latest = m_latestByID.find(entry->second.element->id);
    if (latest != m_latestByID.end() && latest->second == entry->first) {
        m_latestByID.erase(latest);
    }
    m_bytes -= entry->second.bytes;
    const std::size_t freed = entry->second.painted.use_count() == 1 ? entry->second.bytes : 0;
    const Entries::iterator next = m_entries.erase(entry);
    noteFreedMemory(freed);
    return next;
}

void ElementPaintCache::letGo(std::vector<Entries::iterator> candidates, std::size_t keptBytes)
{
    std::sort(candidates.begin(), candidates.end(), [](const auto &a, const auto &b) {
        return a->second.lastUse < b->second.lastUse;
    });
    for (const Entries::iterator &entry : candidates) {
        if (m_bytes <= keptBytes) {
            break;
        }
        erase(entry);
    }
}

void ElementPaintCache::letGoOutside(const RectF &sceneArea, double viewportScale)
{
    const std::size_t keptBytes = m_budget / 64;
    if (m_bytes <= keptBytes) {
        return;
    }
    std::vector<Entries::iterator> farOff;
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        const Entry &kept = entry->second;
        if (!reaches(kept.bounds, sceneArea)
            || !paintsAlike(*kept.element, kept.viewportScale, viewportScale)) {
            farOff.push_back(entry);
        }
    }
    letGo(std::move(farOff), keptBytes);
}

PaintedElementPtr ElementPaintCache::find(const ElementPtr &element, double viewportScale)
{
    if (PaintedElementPtr found = kept(element, viewportScale)) {
        return found;
    }
    if (std::optional<PaintedElement> moved = movedFormerSelf(*element, viewportScale)) {
        return store(
            element, viewportScale, std::make_shared<const PaintedElement>(std::move(*moved)));
    }
    return nullptr;
}

PaintedElementPtr ElementPaintCache::kept(const ElementPtr &element, double viewportScale) const
{
    const auto found = m_entries.find(element.get());
    if (found == m_entries.end()
        || !paintsAlike(*element, found->second.viewportScale, viewportScale)) {
        return nullptr;
    }
    found->second.lastUse = ++m_uses;
    return found->second.painted;
}

bool ElementPaintCache::keep(const ElementPtr &element,
                             double viewportScale,
                             const PaintedElementPtr &painted)
{
    return admit(element, viewportScale, painted);
}

void ElementPaintCache::adopt(std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared,
                              double viewportScale)
{
    // A sharp picture after a zoom out can bring thousands at once.
    m_entries.reserve(m_entries.size() + prepared.size());
    for (auto &[element, painted] : prepared) {
        if (!isCached(element, viewportScale)) {
            store(element, viewportScale, std::move(painted)); // new, or prepared at another zoom
        }
    }
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
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        entry = current.contains(entry->first) ? std::next(entry) : erase(entry);
    }
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
