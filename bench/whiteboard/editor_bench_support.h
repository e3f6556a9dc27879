#pragma once

#include "shell/shell_ports.h"
#include "whiteboard/generated_board.h"

#include <chrono>
#include <functional>
#include <utility>

namespace zentrel {

// Drops posted work rather than keeping it, as the fake scheduler of the tests does: the
// benchmark measures the editor model, not the disk, and runs too long to hold every task.
class DroppingScheduler final : public Scheduler
{
public:
    void post(std::function<void()>) override {}

    void postAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

// The generated board of count elements, each one remade by `remake` from a copy of it: an
// identifier of its own at least, so the editor tells the elements apart.
template <typename Remake>
WhiteboardBoard remadeBoard(int count, Remake remake)
{
    WhiteboardBoard board = generatedBoard(count);
    for (ElementPtr &element : board.elements) {
        WhiteboardElement copy = *element;
        remake(copy);
        element = makeElement(std::move(copy));
    }
    return board;
}

} // namespace zentrel
