#pragma once

#include <QPainterPath>

namespace zentrel {

// How a painting fills the paths an element keeps: as they are, or each through a copy of its
// own, as a painting beside another one on the same paths must (Qt builds a path's paint data
// unguarded).
enum class AreaPaths {
    shared,
    ownCopies,
};

// `path` as a painting that fills it `paths` may fill it.
QPainterPath pathToFill(const QPainterPath &path, AreaPaths paths);

} // namespace zentrel
