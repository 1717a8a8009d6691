// Pieces shared by the autonomous sections (1.1, 2.1, 8, 9, 5.1.1, 5.2.1): the common blocks
// of their data files (reading with the check-file echo, writing, window texts), the limits
// their computations refuse, and what watches one integration step (table row, Poincaré
// test, period search, portion question, overflow check). Each section keeps its model,
// its integrator and whatever it does differently.
#pragma once
#include "data/context.h"
#include "data/datafile.h"
#include "data/error.h"
#include "data/store.h"
#include "graphics/canvas.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace velta {

// ---------------------------------------------------------------- constants and vectors

// Largest step count for which the loop counter j = NSTEP + 1 still fits 32 bits.
inline constexpr double kMaxSteps = 2147483646.0;
// Newton's method for a stationary solution stops after a correction below kNewtonTol
// and gives up after kNewtonCap iterations.
inline constexpr int kNewtonCap = 1000;
inline constexpr double kNewtonTol = 0.0001;

// x^GAMA. GAMA = 2 is done as x*x: a single rounded product, the same value std::pow
// returns for an exponent of 2.
struct Power {
    double gama;
    bool square;
    explicit Power(double g) : gama(g), square(g == 2.0) {}
    double operator()(double x) const { return square ? x * x : std::pow(x, gama); }
    // y(k) = x(k)^GAMA for k = 1..n; out of line, so that the loop around std::pow keeps
    // its few values in registers.
    [[gnu::noinline]] void all(const double* x, double* y, int n) const {
        if (square) {
            for (int k = 1; k <= n; ++k) y[k] = x[k] * x[k];
        } else {
            const double g = gama;
            for (int k = 1; k <= n; ++k) y[k] = std::pow(x[k], g);
        }
    }
};

// v(1..n) as free-format texts joined by ",".
std::string joinInts(const IVec& v, int n);

// The state vectors of sections 1.1, 2.1 and 8: X1, XPREV, XNEW, F1, F2, XST, XG, XP,
// XCROSS, FP, XV, FV.
std::vector<Vec*> autonomousVectors();
// Every vector re-allocated with indexes 0..n, all zero.
void allocVectors(const std::vector<Vec*>& vs, int n);
// Refuses a run (kNotRead) when a vector is shorter than n.
void needVectors(const std::vector<Vec*>& vs, int n);

// ---------------------------------------------------------------- data-file blocks

// Field texts of the blocks most sections share; a section's Fields derive from those it has.
struct PlaneFields {
    GridText xp, fp;  // Poincaré plane: Xo and N (grdTable1, grdTable2)
};
struct RunFields {
    std::string tmax, hhh, lscreen, tmin, lgraph;
};
struct ScaleFields {
    std::string nsc, dlx, drx, dlw, drw, sclt;  // table density and plot bounds
};

// What the network sections (1.1, 2.1, 8) have after their model: sheets of the initial
// data, the Poincaré plane, the run with LSTEP, the plotted components, NSC and the bounds.
struct NetworkFields : PlaneFields, RunFields, ScaleFields {
    std::string i1n, xi1;  // nonzero components and their values, joined by ","
    std::string lstep;
    // The plotted components; an empty list shows as an empty field (not a stale IC(1)),
    // so saving keeps it empty.
    std::string i1g;
};
// The symmetric networks (sections 1.1 and 8) share one file layout: block 1 the model,
// then the network blocks from 2 on.
struct SymmetricFields : NetworkFields {
    std::string mclass, ndim, kmod, alfa, beta, gama;
};

// Key spelling of the LSCREEN, LGRAPH and LSTEP lines a writer puts out (the reader
// ignores it).
enum class KeyStyle { Upper, Mixed };  // "LSCREEN" or "Lscreen"

// Block k: index list into INK, NK (at most n), then NK values into X1(INK(k)), X1 zero
// elsewhere; echoes "INK(j) = ", "X1(INK(k)) = ".
void readInitialData(ParReader& r, int k, int n);

// Blocks k .. k + 8: initial data, Poincaré plane, run blocks, LSTEP, plotted components
// (at most min(n, 13)), NSC and the bounds.
void readNetworkBlocks(ParReader& r, int k, int n);
void writeNetworkBlocks(TextWriter& o, int k, const NetworkFields& f, KeyStyle keys);
void fillNetworkFields(NetworkFields& f);

// The whole ".mnkd" / ".gsed" file: the model (MCLASS, NDIM, KMOD, ALFA, BETA, GAMA; the
// vectors allocated for NDIM) and the network blocks.
void readSymmetricData(ParReader& r);
void writeSymmetricData(TextWriter& o, const SymmetricFields& f);
SymmetricFields symmetricFieldsFromStore();

// Block k: XP(1..n) and FP(1..n) after their label lines; echoes "XP(i) = ", "FP(i) = ".
void readPoincarePlane(ParReader& r, int k, int n);
void writePoincarePlane(TextWriter& o, int k, const PlaneFields& f);
void fillPlaneFields(PlaneFields& f);

// Blocks k (TMAX, HHH), k + 1 (LSCREEN, TMIN) and k + 2 (LGRAPH).
void readRunBlocks(ParReader& r, int k);
void writeRunBlocks(TextWriter& o, int k, const RunFields& f, KeyStyle keys);
void fillRunFields(RunFields& f);

// Block k: the plotted components, at most limit of them; a list of more than the 13 slots
// of IC is refused. Echoes "IC(j) = ".
void readPlotList(ParReader& r, int k, int limit);
// Stores a list read into IC(1..), NCOMP and echoes it.
void storePlotList(ParReader& r, const std::vector<i16>& ic);
void writePlotList(TextWriter& o, int k, const std::string& list);

// Blocks k (NSC) and k + 1 (DLX, DRX, DLW, DRW, SCLT).
void readScaleBlocks(ParReader& r, int k);
void writeScaleBlocks(TextWriter& o, int k, const ScaleFields& f);
void fillScaleFields(ScaleFields& f);

// ---------------------------------------------------------------- limits of a run

// Each throws a VeltaError with the message the user sees.
void checkNdim();   // NDIM >= 1
void checkClass();  // 1 <= MCLASS <= 4
// HHH > 0, end >= 0 and end/HHH within kMaxSteps; endName names the interval's end.
void checkStep(double end, const std::string& endName);
inline void checkStep() { checkStep(mdlGlobal.TMAX, "TMAX"); }
void checkTableDensity();  // NSC >= 1
void checkPortions();      // LSTEP >= 0
void checkInitialList();   // INK(1..NK) within 1..NDIM
// HHH times the largest rate must leave exp() finite; rates names them in the message.
void checkStepForRates(double rate, const std::string& rates);
// 0 <= NCOMP <= maxComp (tooMany is the message before " (NCOMP = ...)"), every IC within
// 1..NDIM, and two components for the phase and Poincaré planes.
void checkPlotList(int maxComp, const std::string& tooMany);
void checkPlotList(int maxComp);  // "Число компонент графика NCOMP должно быть не больше maxComp"
void checkPlotIndexes();  // IC(1..NCOMP) within 1..NDIM
// The run limits of sections 2.1 and 8: step, NSC, LSTEP, the initial list (which must have
// been read) and at most 12 plotted components.
void checkNetworkRun();

// ---------------------------------------------------------------- a run

// SCLX, SCRX, SCLW, SCRW as ALFA times DLX, DRX, DLW, DRW.
void setPlotScales();
// EH = exp(HHH), EHI = 1/EH, EQ = (EH - 1)/HHH, EC1 = EQ - 1, EC2 = EH - EQ: the weights of
// the exact step of dX/dt = F - X with F linear over the step.
void setExpWeights();
// Plot frames: curves X(t) over SCLT..tEnd, or the phase plane (the Poincaré title when
// LGRAPH = 3 and the section has that plane), then the legend.
void drawMeshTime(Ctx& c, int section, double tEnd, double legendRow);
void drawMeshPhase(Ctx& c, int section, double legendRow, bool poincare);
// The stationary point (STAT, STAT) of the phase plane: a yellow filled circle.
void markStationaryPoint(Ctx& c);
// The stationary solution at loading; a failure is shown as a warning and gives false.
bool stationOrWarn(Ctx& c, void (*station)());

// Results table: the title lines, the column head of n components, and one row
// Format(j, stepMask), t and X1(1..NDIM) with NROW counted.
void writeTableTitle(TextWriter& out);
void writeColumnHead(TextWriter& out, int n);
void writeTableRow(TextWriter& out, i32 j, double t, const char* stepMask);
// Header of the symmetric networks (sections 1.1 and 8): model, parameters, STAT, table.
void writeSymmetricHeader(TextWriter& out);
// A row is written at j = 1 and every NSC steps.
inline bool tableStep(i32 j) {
    const i16 nsc = mdlGlobal.NSC;
    return j == 1 || (nsc > 0 && j % nsc == 0);
}

// ---------------------------------------------------------------- step observers

// Poincaré plane (N, X - Xo) = 0 between xa and xb: a sign change (or both on the plane)
// gives XCROSS by linear interpolation (lambda = 0 when |d| < 1E-6) and a point by GraphicP.
void poincareTest(Ctx& c, const double* xa, const double* xb, int n);

// The plot of one step from xa to xb: curves X(t) (LGRAPH = 1), the phase plane (2) or the
// Poincaré test (any other value).
inline void plotStep(Ctx& c, i32 j, const double* xa, const double* xb, int n) {
    const i16 lgraph = mdlGlobal.LGRAPH;
    if (lgraph == 1) Graphic1(c);
    else if (lgraph == 2) GraphicF1(c, j);
    else poincareTest(c, xa, xb, n);
}

// End of a step: XPREV = X1, X1 = XNEW (bytes of components 1..NDIM), WOLD = W, TOLD = TCUR.
inline void nextStep(double* xprev, double* x1, const double* xnew, std::size_t bytes) {
    std::memcpy(xprev + 1, x1 + 1, bytes);
    std::memcpy(x1 + 1, xnew + 1, bytes);
    auto& g = mdlGlobal;
    g.WOLD = g.W;
    g.TOLD = g.TCUR;
}

// Every LSTEP steps the user is asked whether to go on continuously; a non-empty answer
// sets LSTEP = 0. (The title stays a plain pointer: no string is built on the other steps.)
void askPortion(Ctx& c, const std::string& title);
inline void portionQuestion(Ctx& c, i32 j, const char* title) {
    const i16 lstep = mdlGlobal.LSTEP;
    if (lstep > 0 && j % lstep == 0) askPortion(c, title);
}

// Period: the smallest W after TMIN gives PERIOD = j*HHH.
inline void periodSearch(double& wmin, double t, i32 j, double h) {
    auto& g = mdlGlobal;
    if (g.W < wmin && t > g.TMIN) {
        wmin = g.W;
        g.PERIOD = j * h;
    }
}

// W = |xnew - xst|, the distance of the new point from X(0).
inline double distance(const double* xnew, const double* xst, int n) {
    double s = 0;
    for (int i = 1; i <= n; ++i) {
        const double d = xnew[i] - xst[i];
        s += d * d;
    }
    return std::sqrt(s);
}

// A non-finite W ends the run with a message naming the step and the time.
[[noreturn]] void nonFiniteStep(i32 j, double t);
inline void checkFinite(i32 j, double t) {
    if (!std::isfinite(mdlGlobal.W)) nonFiniteStep(j, t);
}

// psi_k(z) = integral over s in [0,1] of s^(k-1) e^(-z s), k = 1..6, into p[1..6]: the
// weights of the exponential correctors of sections 8 and 5.1.1. For |z| > 0.1:
// psi_1 = (1 - e^-z)/z and psi_(k+1) = (k psi_k - e^-z)/z; near 0 the recurrence loses
// digits, so the series truncated after z^4 is used instead.
inline void psiInto(double z, double* p) {
    if (std::fabs(z) > 0.1) {
        const double e = std::exp(-z);
        p[1] = (1 - e) / z;
        for (int k = 1; k <= 5; ++k) p[k + 1] = (k * p[k] - e) / z;
    } else {
        p[1] = 1 - z * (1.0 / 2 - z * (1.0 / 6 - z * (1.0 / 24 - z / 120)));
        p[2] = 1.0 / 2 - z * (1.0 / 3 - z * (1.0 / 8 - z * (1.0 / 30 - z / 144)));
        p[3] = 1.0 / 3 - z * (1.0 / 4 - z * (1.0 / 10 - z * (1.0 / 36 - z / 168)));
        p[4] = 1.0 / 4 - z * (1.0 / 5 - z * (1.0 / 12 - z * (1.0 / 42 - z / 192)));
        p[5] = 1.0 / 5 - z * (1.0 / 6 - z * (1.0 / 14 - z * (1.0 / 48 - z / 216)));
        p[6] = 1.0 / 6 - z * (1.0 / 7 - z * (1.0 / 16 - z * (1.0 / 54 - z / 240)));
    }
}

}  // namespace velta
