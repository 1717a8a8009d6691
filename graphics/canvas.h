// The main window's canvas procedures, drawn over the abstract surface: the frame and
// axes, the curve plots, the side-panel legends and the closing lines of a run.
// Every value they use lives in the store of the command's context.
#pragma once
#include "data/catalogue.h"
#include "data/context.h"
#include "data/store.h"

#include <string>

namespace velta {

// Colour scheme of a computation from the check mark of "&Белый" (QBACK, QFRAME, QAXES
// and CBACK, CFRAME, CAXES).
void setColours(Store& g, bool white);

void Mesh_Base(Ctx& c);
// Title, vertical axis name, horizontal axis name, then the horizontal and vertical
// ranges. An empty range (max = min) is refused with an error before anything is drawn.
void MeshMaskG(Ctx& c, const std::string& title, const std::string& yName, const std::string& xName,
               double xmin, double xmax, double ymin, double ymax);
// The range check of MeshMaskG alone ("Пустой диапазон графика: ..."), for the sections that
// refuse bad ranges before their results files are opened.
void checkPlotRanges(const std::string& xName, double xmin, double xmax, const std::string& yName,
                     double ymin, double ymax);

// Text at column x (pixels) and side-panel row r (TXTY + r*CHH), in the current fore colour.
void rowText(Ctx& c, double x, double row, const std::string& text);

void Graphic1(Ctx& c);
void GraphicF1(Ctx& c, i32 i);
void GraphicP(Ctx& c);
// One step of up to three curves of a delay system: nodes k and k + 1 of ZTAB at the time
// t0 + (k - kshift)*HHH, components IC(1..3) in colours 13, 12, 11.
void GraphicZ(Ctx& c, double t0, int k, int kshift);
// GraphicZ for the nodes k = kFrom .. kTo in turn.
void GraphicZRun(Ctx& c, double t0, int kFrom, int kTo, int kshift);
// One segment of a parameter diagram from (xa, ya) to (xb, yb) (origin SCLX, SCLY) in
// palette colour `colour`; drawn when its start is not right of the plot and its end lies
// within the plot's height.
void Graphic0(Ctx& c, double xa, double xb, double ya, double yb, int colour);
// The whole stability curve of section 3 (AGRAPH, UGRAPH, SGRAPH over NDEL segments, origin
// Amin, Umin), then the point of loss of stability or the text of asymptotic stability.
void Graphic3(Ctx& c);

// Legends: the section's header rows (its catalogue row), then the block of the mode.
// mode: "Phys", "Phas" or empty; v: row offset of the mode block.
void Nadpis(Ctx& c, int section, const std::string& mode, double v);
void ABG(Ctx& c);
// The delays of a delay section: row 6 + i "TAU(i) = " for i = 1..LTAU.
void Zap_ABG(Ctx& c);
void Stat_Resh(Ctx& c, double z, double row, const std::string& caption);

// Closing lines of a run.
void Period_Print(Ctx& c, double r);
void L_Print(Ctx& c, double r);
// The section's closing line of a run (its catalogue row).
void closingLine(Ctx& c, const ClosingLine& line);

}  // namespace velta
