// Excalidraw documents are opened from anywhere and pasted as plain text; what imports must
// export again, save, lay its texts out in time linear in their length, and plan its drawing at
// a bounded cost at any zoom, the view's part of a hatch included.
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/model/excalidraw/import/excalidraw_import.h"
#include "whiteboard/model/whiteboard_element_json.h"
#include "whiteboard/render/element_render_plan.h"
#include "whiteboard/render/text_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Far more path elements than any element's drawing needs, and far fewer than a drawing that
// grows with the element's size gives one of the sizes import takes.
constexpr std::size_t planElementBudget = 200'000;

std::size_t planElements(const zentrel::ElementRenderPlan &plan)
{
    std::size_t count = plan.fillPath.elements().size() + plan.headFill.elements().size();
    for (const auto *stroke : {&plan.hatch, &plan.stroke}) {
        count += *stroke ? (*stroke)->path.elements().size() : 0;
    }
    return count;
}

// Plans the element as the canvas does at a few zooms, with the part of its hatch a 1920 × 1080
// view at its centre shows; a plan beyond the budget is a cost to find, as a crash is.
void planAtEveryZoom(const zentrel::WhiteboardElement &element,
                     const zentrel::TextMeasurer &measure)
{
    for (const double scale : {1e-6, 1.0, 1e3}) {
        const zentrel::ElementRenderPlan plan = zentrel::elementRenderPlan(
            element, zentrel::elementRenderRoughness(element), scale, measure);
        if (planElements(plan) > planElementBudget) {
            std::abort();
        }
        if (plan.hatchFill) {
            const zentrel::PointF centre = zentrel::rectCenter(element.frame());
            const zentrel::RectF view{centre.x, centre.y, 1920 / scale, 1080 / scale};
            if (zentrel::hatchLines(*plan.hatchFill, view).elements().size() > planElementBudget) {
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const zentrel::FakeClock clock;
    const auto imported = zentrel::importExcalidrawDocument(
        std::string_view(reinterpret_cast<const char *>(data), size),
        "Fuzzed",
        clock,
        zentrel::countingRandom());
    if (!imported) {
        return 0;
    }
    const auto halfPerByte = [](std::string_view line, zentrel::WhiteboardTypeface, double size) {
        return zentrel::SizeF{static_cast<double>(line.size()) * size / 2, size};
    };
    for (const zentrel::ElementPtr &element : imported->board.elements) {
        if (!zentrel::encodeWhiteboardElement(*element)) {
            std::abort(); // one such element would make every later library save fail
        }
        (void)zentrel::layOutText(*element,
                                  zentrel::whiteboardTypeface(*element),
                                  element->fontSize.value_or(20),
                                  halfPerByte);
        planAtEveryZoom(*element, halfPerByte);
    }
    (void)zentrel::exportExcalidrawDocument(imported->board);
    return 0;
}
