#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "whiteboard/model/freeze/freeze_model.h"
#include "whiteboard/model/freeze/freeze_tool.h"
#include "whiteboard/model/freeze/viewport_transform.h"

#include <any>
#include <optional>
#include <vector>

namespace zentrel {

// The model of an annotation session over a frozen screen, declared with its fields only:
// Zevizu & Vozurir runs on the whiteboard editor, so nothing creates one and nothing edits it.

// The current annotations with their earlier and undone states.
struct FreezeAnnotationHistory
{
    std::vector<FreezeAnnotationItem> items;
    std::vector<std::vector<FreezeAnnotationItem>> undoStates;
    std::vector<std::vector<FreezeAnnotationItem>> redoStates;
    int limit = 20; // as many states as live drawing keeps
};

// What lies under the annotations: the frozen screen, an app image core never looks inside.
struct PresentationSceneBackground
{
    std::any image;
};

// One session with an identity, so it is not copied.
class FreezeSessionModel
{
public:
    FreezeSessionModel(SizeF size, PresentationSceneBackground scene);
    FreezeSessionModel(const FreezeSessionModel &) = delete;
    FreezeSessionModel &operator=(const FreezeSessionModel &) = delete;

    SizeF sceneSize;
    // What a view of the session would show and follow.
    FreezeTool selectedTool = FreezeTool::freehand;
    PresentationSceneBackground background;
    ViewportTransform viewport;
    std::vector<FreezeAnnotationItem> annotations;
    bool canUndo = false;
    bool canRedo = false;
    bool hasMarkers = false;
    std::optional<int> selectedAnnotationIndex;
    // The session's own working state.
    Color drawingColor;
    double lineWidth = 4;
    FreezeAnnotationHistory history;
    std::optional<FreezeAnnotationItem> movingAnnotation;
};

} // namespace zentrel
