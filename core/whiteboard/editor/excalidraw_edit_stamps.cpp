#include "whiteboard/editor/excalidraw_edit_stamps.h"

#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"

#include <chrono>
#include <cstdint>
#include <unordered_set>

namespace zentrel {
namespace {

// A change mostly leaves elements where they were, so the same place is looked at first.
class UntouchedElements
{
public:
    explicit UntouchedElements(const WhiteboardBoard *before)
        : m_before(before)
    {}

    bool contains(const ElementPtr &element, std::size_t index)
    {
        if (!m_before) {
            return false;
        }
        const std::vector<ElementPtr> &elements = m_before->elements;
        if (index < elements.size() && elements[index] == element) {
            return true;
        }
        if (m_all.empty()) {
            for (const ElementPtr &old : elements) {
                m_all.insert(old.get());
            }
        }
        return m_all.contains(element.get());
    }

private:
    const WhiteboardBoard *m_before;
    std::unordered_set<const WhiteboardElement *> m_all;
};

} // namespace

void stampExcalidrawEdits(WhiteboardBoard &board, const WhiteboardBoard *before, Timestamp time)
{
    using std::chrono::milliseconds;
    const std::int64_t editedAt =
        std::chrono::duration_cast<milliseconds>(time.time_since_epoch()).count();
    UntouchedElements untouched(before);
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        ElementPtr &element = board.elements[i];
        if (!element->excalidrawSource || element->excalidrawEditedAt == editedAt
            || untouched.contains(element, i) || !isExcalidrawEdited(*element)) {
            continue;
        }
        WhiteboardElement stamped = *element;
        stamped.excalidrawEditedAt = editedAt;
        element = makeElement(std::move(stamped));
    }
}

} // namespace zentrel
