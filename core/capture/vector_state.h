#pragma once

namespace zentrel {

// Marks the upper halves of the processor's wide vector registers unused. Code built for AVX
// in the libraries the program uses (Qt's painting among them) can leave them in use, and
// Intel processors then run our SSE loops at less than half speed (the AVX-SSE transition
// penalty): the loupe's resampling took 1.15 ms inside the program against 0.48 ms alone.
// Call it before such a loop; it does nothing where the processor has no AVX. Needed as long
// as the build targets plain x86-64 without VEX-encoded instructions.
void clearUpperVectorHalves();

} // namespace zentrel
