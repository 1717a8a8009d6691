// The plot of the components of Y against the parameter QMOD shared by sections 2.1.3 and
// 2.1.7: the mark of the solved value and the legend of the plotted components.
#pragma once
#include "data/context.h"

namespace velta {

// A yellow line at x from the bottom to the top of the frame, "QSOLV = qsolv" and
// "Компоненты" with the colour line of each plotted component (at most 12).
void drawSolvedMarkAndLegend(Ctx& c, double x, double qsolv);

}  // namespace velta
