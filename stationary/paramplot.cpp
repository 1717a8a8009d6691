#include "stationary/paramplot.h"

#include "data/numtext.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

namespace velta {

void drawSolvedMarkAndLegend(Ctx& c, double x, double qsolv) {
    constexpr int kMaxComp = 12;
    const Store& g = c.store;
    Surface& sf = c.surf;
    sf.segment(x, g.PY1, x, g.PY0, QBColor(14));
    const double cw = g.CHW, ch = g.CHH;
    sf.foreColour = g.CAXES;
    sf.setCurrent(g.TXTX + 4 * cw, g.TXTY + 2 * ch);
    sf.text(" QSOLV = " + CStr(qsolv));
    sf.setCurrent(g.TXTX + 4 * cw, g.TXTY + 6 * ch);
    sf.text(" Компоненты");
    sf.lineStyle = LineStyle::Solid;
    for (int j = 1; j <= g.NCOMP && j <= kMaxComp; ++j) {
        const Colour col = QBColor(14 - j);
        sf.foreColour = col;
        sf.setCurrent(g.TXTX + 2 * cw, g.TXTY + (j + 7) * ch);
        sf.text("X(" + CStr(g.IC(j)) + ")");
        const double y = g.TXTY + (j + 7.5) * ch;
        sf.segment(g.TXTX + 8 * cw, y, g.CANW - 8 * cw, y, col);
    }
}

}  // namespace velta
