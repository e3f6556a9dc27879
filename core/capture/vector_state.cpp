#include "capture/vector_state.h"

namespace zentrel {

void clearUpperVectorHalves()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx) {
        // Keeps the low 128 bits of every register, all that code built without AVX uses.
        asm volatile("vzeroupper");
    }
#endif
}

} // namespace zentrel
