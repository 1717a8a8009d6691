// Code that leaves the upper halves of the AVX registers in use (the Qt libraries do, at
// start-up and while painting) makes every later SSE instruction pay a transition
// penalty: std::pow then runs about ten times slower. Clearing the state costs a cycle;
// the image surface does it after drawing, the programs after creating the application.
#pragma once

namespace velta {

void clearAvxUpperState();

}  // namespace velta
