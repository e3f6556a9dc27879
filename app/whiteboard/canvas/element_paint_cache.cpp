#include "whiteboard/canvas/element_paint_cache.h"

#include "whiteboard/render/element_render_plan.h"

#include <unordered_set>

namespace zentrel {

namespace {

constexpr std::size_t trimSlack = 1024;

bool dependsOnScale(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::unsupported;
}

} // namespace

const PaintedElement &ElementPaintCache::painted(const ElementPtr &element, double viewportScale)
{
    const auto found = m_entries.find(element.get());
    if (found != m_entries.end()
        && (!dependsOnScale(*element) || found->second.viewportScale == viewportScale)) {
        return found->second.painted;
    }
    Entry entry{element, viewportScale, paintedElement(*element, viewportScale)};
    return m_entries.insert_or_assign(element.get(), std::move(entry)).first->second.painted;
}

void ElementPaintCache::trim(const std::vector<ElementPtr> &elements)
{
    if (m_entries.size() <= 2 * elements.size() + trimSlack) {
        return;
    }
    std::unordered_set<const WhiteboardElement *> current;
    current.reserve(elements.size());
    for (const ElementPtr &element : elements) {
        current.insert(element.get());
    }
    std::erase_if(m_entries, [&](const auto &entry) { return !current.contains(entry.first); });
}

void ElementBoundsIndex::update(const std::vector<ElementPtr> &elements, double viewportScale)
{
    const bool scaleChanged = viewportScale != m_viewportScale;
    m_viewportScale = viewportScale;
    m_bounds.resize(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const bool known = i < m_elements.size() && m_elements[i] == elements[i];
        if (!known || (scaleChanged && dependsOnScale(*elements[i]))) {
            m_bounds[i] = elementPaintBounds(*elements[i], viewportScale);
        }
    }
    m_elements = elements;
}

} // namespace zentrel
