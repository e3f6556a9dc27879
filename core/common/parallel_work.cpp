#include "common/parallel_work.h"

namespace zentrel {

void runInOrder(std::size_t count, const std::function<void(std::size_t)> &work)
{
    for (std::size_t i = 0; i < count; ++i) {
        work(i);
    }
}

} // namespace zentrel
