#include "graphics/canvas.h"

#include "app/prompter.h"
#include "data/catalogue.h"
#include "data/numtext.h"
#include "graphics/surface.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace velta {

namespace {

// Text with its top-left corner at (x, y) in the current fore colour.
void textAt(Ctx& c, double x, double y, const std::string& s) {
    c.surf.setCurrent(x, y);
    c.surf.text(s);
}

double rowY(const Store& s, double row) { return s.TXTY + row * s.CHH; }

bool insidePlot(const Store& s, double sx, double sy) {
    return s.PX0 <= sx && sx <= s.PX1 && s.PY1 <= sy && sy <= s.PY0;
}

// A segment across the side panel at mid-height of a legend row, from column 5 to the
// sixth character from the canvas's right edge.
void legendLine(Ctx& c, double row, Colour colour) {
    const Store& s = c.store;
    const double y = rowY(s, row);
    c.surf.segment(s.TXTX + 5.0 * s.CHW, y, s.CANW - 6.0 * s.CHW, y, colour);
}

// QBColor(index) without a call, for the curves drawn at every step.
const std::array<Colour, 16> kCurvePalette = [] {
    std::array<Colour, 16> p{};
    for (int k = 0; k < 16; ++k) p[static_cast<std::size_t>(k)] = QBColor(k);
    return p;
}();
inline Colour curveColour(int index) {
    if (static_cast<unsigned>(index) < 16) return kCurvePalette[static_cast<std::size_t>(index)];
    return QBColor(index);  // the error of a colour out of range
}

// The stability curve's key of section 3: stable and unstable pieces, the point of loss of
// stability, from row `row` down.
void stabilityLegend(Ctx& c, double row) {
    const Store& s = c.store;
    const double x4 = s.TXTX + 4.0 * s.CHW, x6 = s.TXTX + 6.0 * s.CHW;
    c.surf.segment(s.TXTX, rowY(s, row + 0.5), x4, rowY(s, row + 0.5), QBColor(10));
    rowText(c, x6, row, "Устойчивость");
    c.surf.segment(s.TXTX, rowY(s, row + 1.5), x4, rowY(s, row + 1.5), QBColor(12));
    rowText(c, x6, row + 1, "Неустойчивость");
    c.surf.fillSolid = true;
    c.surf.fillColour = QBColor(14);
    c.surf.circle(s.TXTX + 2.0 * s.CHW, rowY(s, row + 3.5), 6, QBColor(14));
    rowText(c, s.TXTX + 2.0 * s.CHW, row + 3, "  (ALFAc,Uc)-точка");
    rowText(c, s.TXTX, row + 4, " потери устойчивости");
}

// The section's header rows from its catalogue row.
void headerBlock(Ctx& c, const SectionInfo& info) {
    const Store& s = c.store;
    for (const HeaderRow& r : info.traits.header) {
        switch (r.piece) {
        case HeaderRow::Piece::Text: rowText(c, s.TXTX, r.row, r.label + (r.value ? r.value(s) : "")); break;
        case HeaderRow::Piece::AfterDelays:
            rowText(c, s.TXTX, s.LTAU + r.row, r.label + (r.value ? r.value(s) : ""));
            break;
        case HeaderRow::Piece::Delays: Zap_ABG(c); break;
        case HeaderRow::Piece::StabilityLegend: stabilityLegend(c, r.row); break;
        }
    }
}

void physBlock(Ctx& c, const SectionInfo& info, double v) {
    Store& s = c.store;
    Surface& sf = c.surf;
    rowText(c, s.TXTX, v + 10, "Компоненты");
    sf.lineStyle = LineStyle::Solid;
    const std::string letter = info.traits.delay ? "Z" : "X";
    for (int i = 1; i <= s.NCOMP; ++i) {
        const Colour col = QBColor(14 - i);
        sf.foreColour = col;
        rowText(c, s.TXTX, v + 11 + i, letter + CStr(s.IC(i)));
        legendLine(c, v + 11.5 + i, col);
    }
    // PERIOD is the value left by an earlier run: the W legend appears from the second run on.
    if (info.traits.residualLegend && s.LSCREEN == 1 && s.LPERIOD >= 1 && s.PERIOD > s.TMIN) {
        sf.foreColour = s.CAXES;
        rowText(c, s.TXTX, v + 14 + s.NCOMP, "Норма невязки");
        sf.foreColour = QBColor(2);
        rowText(c, s.TXTX, v + 16 + s.NCOMP, "WW");
        legendLine(c, v + 16.5 + s.NCOMP, QBColor(2));
    }
}

void phasBlock(Ctx& c, const SectionInfo& info, double v) {
    Store& s = c.store;
    const PhaseLegend kind = info.traits.phase;
    const double shift = kind == PhaseLegend::TwoChains ? -1 : 0;  // the two chains' legend is one row higher
    rowText(c, s.TXTX, v + 10 + shift, "Номера компонент");
    rowText(c, s.TXTX, v + 12 + shift, "i1 = " + CStr(s.IC(1)) + ", " + "i2 = " + CStr(s.IC(2)));
    if (kind == PhaseLegend::Symmetric) {
        Stat_Resh(c, s.STAT, 16, "симметричное решение");
        c.surf.text("i = 1,...," + CStr(s.NDIM) + ",");
        rowText(c, s.TXTX, 20, "X(i) = " + fmt5(s.STAT));
    }
    if (kind == PhaseLegend::TwoChains && s.IND != 1) {
        const auto fmt4 = [](double x) { return Format(x, "0.0000E+00"); };
        Stat_Resh(c, s.ZST1, 17, "   решение");
        rowText(c, s.TXTX, 19, "i = 1,..., " + CStr(s.NDIM1 - 1) + ",");
        rowText(c, s.TXTX, 21, "X(i) = " + fmt4(s.ZST1));
        rowText(c, s.TXTX, 23, "i = " + CStr(s.NDIM1) + ",...," + CStr(s.NDIM) + ", ");
        rowText(c, s.TXTX, 24, "X(i) = " + fmt4(s.ZST2));
        rowText(c, s.TXTX, 26, "X(" + CStr(s.NDIM) + ") = " + fmt4(s.STAT));
    }
    c.ui.progressShow(CLng(s.SCRT));
}

}  // namespace

void setColours(Store& s, bool white) {
    if (white) {
        s.QBACK = 15;
        s.QFRAME = 0;
        s.QAXES = 0;
    } else {
        s.QBACK = 0;
        s.QFRAME = 15;
        s.QAXES = 7;
    }
    s.CBACK = QBColor(s.QBACK);
    s.CFRAME = QBColor(s.QFRAME);
    s.CAXES = QBColor(s.QAXES);
}

void Mesh_Base(Ctx& c) {
    Store& s = c.store;
    Surface& sf = c.surf;
    sf.fillColour = s.CBACK;
    s.LEFTP = 10;
    s.TOPP = 76;
    s.RIGHTP = 561;
    s.BOTP = 545;
    s.SIDEX = 551;
    s.CANW = 774;
    s.CANH = 470;
    // Plot panel, then the side panel (573..783); painting them erases the previous plot.
    sf.fillBox(10, 76, 561, 545, s.CBACK);
    sf.box(10, 76, 561, 545, s.CFRAME);
    sf.fillBox(s.RIGHTP + 12, 76, 783, 545, s.CBACK);
    sf.box(s.RIGHTP + 12, 76, 783, 545, s.CFRAME);
}

void checkPlotRanges(const std::string& xName, double xmin, double xmax, const std::string& yName,
                     double ymin, double ymax) {
    // An empty or undefined range has no scale.
    auto badRange = [](double lo, double hi) { return !std::isfinite(lo) || !std::isfinite(hi) || lo == hi; };
    if (badRange(xmin, xmax))
        throw VeltaError("Пустой диапазон графика: " + (xName.empty() ? std::string("ось X") : xName) +
                         " от " + CStr(xmin) + " до " + CStr(xmax));
    if (badRange(ymin, ymax))
        throw VeltaError("Пустой диапазон графика: " + (yName.empty() ? std::string("ось Y") : yName) +
                         " от " + CStr(ymin) + " до " + CStr(ymax));
}

void MeshMaskG(Ctx& c, const std::string& title, const std::string& yName, const std::string& xName,
               double xmin, double xmax, double ymin, double ymax) {
    // Refused before the old plot is erased.
    checkPlotRanges(xName, xmin, xmax, yName, ymin, ymax);

    Store& s = c.store;
    Surface& sf = c.surf;

    // 1-2. Frame and plot box.
    sf.lineWidth = 1;
    Mesh_Base(c);
    s.PX0 = toI16(s.LEFTP + 52);
    s.PY1 = toI16(s.TOPP + 15);
    s.PX1 = toI16(s.RIGHTP - 37);
    s.PY0 = toI16(s.BOTP - 15);
    sf.box(s.PX0, s.PY1, s.PX1, s.PY0, s.CAXES);

    // 3. Dotted grid, four divisions each way.
    sf.lineStyle = LineStyle::Dotted;
    const int gstepx = static_cast<int>(Int((s.PX1 - s.PX0) / 4.0));
    for (int i = 1; i <= 3; ++i) {
        const double x = s.PX0 + i * gstepx;
        sf.segment(x, s.PY1, x, s.PY0, s.CAXES);
    }
    const int gstepy = static_cast<int>(Int((s.PY0 - s.PY1) / 4.0));
    for (int j = 1; j <= 3; ++j) {
        const double y = s.PY1 + j * gstepy;
        sf.segment(s.PX0, y, s.PX1, y, s.CAXES);
    }
    sf.lineStyle = LineStyle::Solid;
    sf.foreColour = s.CAXES;

    // 4. Title centred over the plot (the plot width is PX1 - PX0, stored as PWID below).
    const double pwid = s.PX1 - s.PX0;
    textAt(c, (pwid - sf.textWidth(title)) / 2 + (s.LEFTP + 52), s.TOPP + 2, title);

    // 5. Character cell of the window font.
    s.CHW = toI16(sf.textWidth("X"));
    s.CHH = toI16(sf.textHeight("X"));

    // 6. Vertical axis name above the plot's left end.
    textAt(c, s.LEFTP + 52, s.TOPP + 2, yName);

    // 7. Vertical tick values: exact quarters of the range.
    const std::string mask = "0.00E+##";
    const double tx = s.LEFTP + 2;
    const double h = CLng(s.CHH / 2.0);
    textAt(c, tx, s.PY1 - h, Format(ymax, mask));
    for (int k = 1; k <= 3; ++k)
        textAt(c, tx, s.PY1 - h + k * gstepy, Format(ymax - (ymax - ymin) * k / 4, mask));
    textAt(c, tx, s.PY0 - s.CHH, Format(ymin, mask));

    // 8. Horizontal tick values under the plot.
    const double ty = s.PY0 + 1;
    const double x0 = s.PX0 - 3.0 * s.CHW;
    textAt(c, x0, ty, Format(xmin, mask));
    for (int l = 1; l <= 3; ++l) textAt(c, x0 + l * gstepx, ty, Format(xmin + (xmax - xmin) * l / 4, mask));
    textAt(c, s.PX1 - 3.0 * s.CHW, ty, Format(xmax, mask));

    // 9. Horizontal axis name right of the lower right corner.
    textAt(c, s.PX1 + s.CHW / 2.0, s.PY0 + 3 - s.CHH, xName);

    // 10. Side-panel text grid.
    s.TXTX = toI16(s.SIDEX + 3 * (s.CHW + 10));
    s.TXTY = toI16(s.CHH + s.TOPP);

    // 11. Scales: pixels per world unit (y grows downwards, so KY < 0).
    s.PWID = toI16(s.PX1 - s.PX0);
    s.XRANGE = xmax - xmin;
    s.KX = s.PWID / s.XRANGE;
    s.PHGT = toI16(s.PY1 - s.PY0);
    s.YRANGE = ymax - ymin;
    s.KXY = s.PWID / s.YRANGE;
    s.KY = s.PHGT / s.YRANGE;
    s.WRANGE = s.SCRW - s.SCLW;
    if (s.WRANGE != 0) s.KW = s.PHGT / s.WRANGE;
}

void rowText(Ctx& c, double x, double row, const std::string& text) {
    textAt(c, x, rowY(c.store, row), text);
}

void Graphic1(Ctx& c) {
    Surface& sf = c.surf;
    if (!sf.keepsPicture) return;
    const Store& s = c.store;
    // Drawing changes nothing in the store: the scales are read once for the step.
    const double px0 = s.PX0, px1 = s.PX1, py0 = s.PY0, py1 = s.PY1, ky = s.KY, sclx = s.SCLX;
    const double sxOld = px0 + (s.TOLD - s.SCLT) * s.KX;
    const double sxNew = px0 + (s.TCUR - s.SCLT) * s.KX;
    const int ncomp = s.NCOMP;
    // Only the new point is tested: a curve re-enters from its last outside point.
    const bool columnInside = px0 <= sxNew && sxNew <= px1;
    for (int i = 1; i <= ncomp; ++i) {
        const int comp = s.IC(i);
        const double syOld = py0 + (s.X1(comp) - sclx) * ky;
        const double syNew = py0 + (s.XNEW(comp) - sclx) * ky;
        if (columnInside && py1 <= syNew && syNew <= py0)
            sf.curveSegment(sxOld, syOld, sxNew, syNew, curveColour(14 - i));
    }
    if (s.LSCREEN > 0)
        sf.curveSegment(sxOld, py0 + (s.WOLD - s.SCLW) * s.KW, sxNew, py0 + (s.W - s.SCLW) * s.KW,
                        curveColour(2));
}

void Graphic0(Ctx& c, double xa, double xb, double ya, double yb, int colour) {
    const Store& s = c.store;
    const double sxa = s.PX0 + (xa - s.SCLX) * s.KX, sxb = s.PX0 + (xb - s.SCLX) * s.KX;
    const double sya = s.PY0 + (ya - s.SCLY) * s.KY, syb = s.PY0 + (yb - s.SCLY) * s.KY;
    if (sxa <= s.PX1 && s.PY1 <= syb && syb <= s.PY0) c.surf.segment(sxa, sya, sxb, syb, QBColor(colour));
}

void Graphic3(Ctx& c) {
    Store& s = c.store;
    Surface& sf = c.surf;
    // Segment i takes the stability of its left node; nothing is clipped.
    for (int i = 1; i <= s.NDEL; ++i) {
        const Colour col = QBColor(s.SGRAPH(i) == -1 ? 10 : 12);
        sf.foreColour = col;
        sf.segment(s.PX0 + (s.AGRAPH(i) - s.Amin) * s.KX, s.PY0 + (s.UGRAPH(i) - s.Umin) * s.KY,
                   s.PX0 + (s.AGRAPH(i + 1) - s.Amin) * s.KX, s.PY0 + (s.UGRAPH(i + 1) - s.Umin) * s.KY, col);
    }
    sf.foreColour = s.CAXES;
    if (s.KSTAB >= 2 || s.ALFAc >= 1e10) {
        rowText(c, s.TXTX, 19, "Решение ");
        rowText(c, s.TXTX, 20, "асимптотически");
        rowText(c, s.TXTX, 21, "устойчиво при");
        rowText(c, s.TXTX, 22, "ALFA >= 0");
        return;
    }
    rowText(c, s.TXTX, 19, "ALFAc = " + fmt5(s.ALFAc));
    rowText(c, s.TXTX, 20, "Uc    = " + fmt5(s.Uc));
    if (s.Amin <= s.ALFAc && s.ALFAc <= s.Amax) {
        sf.fillSolid = true;
        sf.fillColour = QBColor(14);
        sf.circle(s.PX0 + (s.ALFAc - s.Amin) * s.KX, s.PY0 + (s.Uc - s.Umin) * s.KY, 6, QBColor(14));
    }
}

void GraphicF1(Ctx& c, i32 i) {
    Store& s = c.store;
    Surface& sf = c.surf;
    if (s.NSC == 0) throw VeltaError("Деление на нуль: NSC = 0 (период цвета фазовой траектории)");
    sf.lineWidth = 1;
    const int c1 = s.IC(1), c2 = s.IC(2);
    const double sxOld = s.PX0 + (s.X1(c1) - s.SCLX) * s.KXY;
    const double syOld = s.PY0 + (s.X1(c2) - s.SCLX) * s.KY;
    const double sxNew = s.PX0 + (s.XNEW(c1) - s.SCLX) * s.KXY;
    const double syNew = s.PY0 + (s.XNEW(c2) - s.SCLX) * s.KY;
    if (insidePlot(s, sxNew, syNew)) {
        // The colour runs through 24-bit values along the trajectory, period 2*pi*NSC steps.
        // Where sin < 0 the value is negative and is shown as its absolute value.
        const std::int32_t value = CLng(std::sin(static_cast<double>(i) / s.NSC) * 16777215.0);
        sf.segment(sxOld, syOld, sxNew, syNew, static_cast<Colour>(std::abs(value)));
        c.ui.progressValue(CLng(s.TOLD));
    }
    sf.lineWidth = 1;
}

void GraphicP(Ctx& c) {
    Store& s = c.store;
    Surface& sf = c.surf;
    const double sx = s.PX0 + (s.XCROSS(s.IC(1)) - s.SCLX) * s.PWID / s.YRANGE;
    const double sy = s.PY0 + (s.XCROSS(s.IC(2)) - s.SCLX) * s.PHGT / s.YRANGE;
    sf.fillSolid = true;
    sf.fillColour = QBColor(11);
    if (insidePlot(s, sx, sy)) {
        sf.circle(sx, sy, 2, QBColor(11));
        c.ui.progressValue(CLng(s.TOLD));
    }
}

void GraphicZ(Ctx& c, double t0, int k, int kshift) { GraphicZRun(c, t0, k, k, kshift); }

void GraphicZRun(Ctx& c, double t0, int kFrom, int kTo, int kshift) {
    if (!c.surf.keepsPicture) return;
    const Store& s = c.store;
    Surface& sf = c.surf;
    // At most three curves: IC(1), then IC(2) unless NCOMP = 1, then IC(3) unless NCOMP = 2.
    int comp[3];
    Colour colour[3];
    int curves = 0;
    comp[curves] = s.IC(1);
    colour[curves++] = curveColour(13);
    if (s.NCOMP != 1) {
        comp[curves] = s.IC(2);
        colour[curves++] = curveColour(12);
        if (s.NCOMP != 2) {
            comp[curves] = s.IC(3);
            colour[curves++] = curveColour(11);
        }
    }
    // The scales do not change while the nodes are drawn.
    const double px0 = s.PX0, py0 = s.PY0, py1 = s.PY1, kx = s.KX, ky = s.KY;
    const double h = s.HHH, sclt = s.SCLT, sclx = s.SCLX;
    for (int k = kFrom; k <= kTo; ++k) {
        const double t = t0 + (k - kshift) * h;
        const double sx = px0 + (t - sclt) * kx;
        const double sx2 = px0 + (t + h - sclt) * kx;
        // x is not tested, both ends must lie within the plot's height.
        for (int i = 0; i < curves; ++i) {
            const double sy = py0 + (s.ZTAB(k, comp[i]) - sclx) * ky;
            const double sy2 = py0 + (s.ZTAB(k + 1, comp[i]) - sclx) * ky;
            if (py1 <= sy && sy <= py0 && py1 <= sy2 && sy2 <= py0)
                sf.curveSegment(sx, sy, sx2, sy2, colour[i]);
        }
    }
}

void Zap_ABG(Ctx& c) {
    const Store& s = c.store;
    for (int i = 1; i <= s.LTAU; ++i)
        rowText(c, s.TXTX, 6 + i, "TAU(" + CStr(i) + ") = " + Format(s.TAU(i), "0.0000E+00"));
}

void ABG(Ctx& c) {
    const Store& s = c.store;
    rowText(c, s.TXTX, 2, "Параметры модели");
    rowText(c, s.TXTX, 4, "ALFA = " + fmt5(s.ALFA));
    rowText(c, s.TXTX, 5, "BETA = " + fmt5(s.BETA));
    rowText(c, s.TXTX, 6, "GAMA = " + fmt5(s.GAMA));
}

void Nadpis(Ctx& c, int section, const std::string& mode, double v) {
    Store& s = c.store;
    c.surf.foreColour = s.CAXES;
    c.surf.setCurrent(s.TXTX, rowY(s, 0));
    const SectionInfo* info = findSection(section);
    if (!info) return;
    headerBlock(c, *info);
    if (mode == "Phys") physBlock(c, *info, v);
    else if (mode == "Phas") phasBlock(c, *info, v);
}

void Stat_Resh(Ctx& c, double z, double row, const std::string& caption) {
    Store& s = c.store;
    Surface& sf = c.surf;
    // The point (z, z) of the phase plane, not clipped.
    const double sx = s.PX0 + (z - s.SCLX) * s.PWID / s.YRANGE;
    const double sy = s.PY0 + (z - s.SCLX) * s.PHGT / s.YRANGE;
    const Colour yellow = QBColor(14);
    sf.fillSolid = true;
    sf.fillColour = yellow;
    sf.circle(sx, sy, 6, yellow);
    sf.circle(s.TXTX + 4, rowY(s, row + 0.5), 6, yellow);
    rowText(c, s.TXTX + 16, row, " - Стационарное");
    rowText(c, s.TXTX, row + 1, caption);
    sf.setCurrent(s.TXTX, rowY(s, row + 2));
}

void Period_Print(Ctx& c, double r) {
    Store& s = c.store;
    if (s.LGRAPH == 1 && s.LSCREEN == 1 && s.LPERIOD > 0 && s.PERIOD > s.TMIN) {
        c.surf.foreColour = s.CAXES;
        textAt(c, s.TXTX, (r + s.NCOMP) * s.CHH + s.TXTY, "PERIOD = " + Format(s.PERIOD, "0.0000E+00"));
    }
    c.ui.progressHide();
}

void closingLine(Ctx& c, const ClosingLine& line) {
    switch (line.kind) {
    case ClosingLine::Kind::Period: Period_Print(c, line.row); break;
    case ClosingLine::Kind::Portion: L_Print(c, line.row); break;
    case ClosingLine::Kind::HideProgress: c.ui.progressHide(); break;
    case ClosingLine::Kind::None: break;
    }
}

void L_Print(Ctx& c, double r) {
    Store& s = c.store;
    c.surf.foreColour = QBColor(10);
    textAt(c, s.TXTX, r * s.CHH + s.TXTY, "   L = " + CStr(s.L));
    s.L = toI16(s.L + 1.0);
}

}  // namespace velta
