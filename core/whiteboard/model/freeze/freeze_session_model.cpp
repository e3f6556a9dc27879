#include "whiteboard/model/freeze/freeze_session_model.h"

#include <utility>

namespace zentrel {

FreezeSessionModel::FreezeSessionModel(SizeF size, PresentationSceneBackground scene)
    : sceneSize(size)
    , background(std::move(scene))
{}

} // namespace zentrel
