// Pieces shared by the autonomous sections (1.1, 2.1, 8, 9, 5.1.1, 5.2.1): the common blocks
// of their data files (reading with the check-file echo, writing, window texts), the limits
// their computations refuse, what watches one integration step (table row, Poincaré test,
// period search, portion question, overflow check) and the integrator AutonomousIntegr of
// all but section 9. Each section keeps its model and whatever it does differently.
#pragma once
#include "data/context.h"
#include "data/datafile.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

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

// The state vectors of sections 1.1, 2.1 and 8 in g: X1, XPREV, XNEW, F1, F2, XST, XG, XP,
// XCROSS, FP, XV, FV.
std::vector<Vec*> autonomousVectors(Store& g);
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

// The key tables of the shared blocks, with the fields and labels of the windows that
// show them. The run blocks (headers 0..2) and the LSTEP block (header 0) of a key style;
// the readers and the windows use Upper.
struct RunKeys {
    KeyTable<Store, RunFields> run;
    KeyTable<Store, NetworkFields> step;
};
const RunKeys& runKeys(KeyStyle s = KeyStyle::Upper);
// NSC (header 0) and the plot bounds DLX ... SCLT (header 1).
const KeyTable<Store, ScaleFields>& scaleKeys();
// Block 1 of the symmetric networks: MCLASS, NDIM, KMOD, ALFA, BETA, GAMA.
const KeyTable<Store, SymmetricFields>& symmetricModelKeys();

// The readers below read into the reader's store; the writers take the store whose header
// lines they write, the fill functions the store whose values they show.

// Block k: index list into INK, NK (at most n, named dimName when refused), then NK values
// into X1(INK(k)), X1 zero elsewhere; echoes "INK(j) = ", "X1(INK(k)) = ".
void readInitialData(ParReader& r, int k, int n, const char* dimName = "NDIM");
// X1(INK(1..NK)) as free-format texts joined by ",".
std::string joinPerturbations(const Store& g);

// Blocks k .. k + 8: initial data, Poincaré plane, run blocks, LSTEP, plotted components
// (at most min(n, 13)), NSC and the bounds.
void readNetworkBlocks(ParReader& r, int k, int n);
void writeNetworkBlocks(const Store& g, TextWriter& o, int k, const NetworkFields& f, KeyStyle keys);
void fillNetworkFields(const Store& g, NetworkFields& f);

// The whole ".mnkd" / ".gsed" file: the model (MCLASS, NDIM, KMOD, ALFA, BETA, GAMA; the
// vectors allocated for NDIM) and the network blocks.
void readSymmetricData(ParReader& r);
void writeSymmetricData(const Store& g, TextWriter& o, const SymmetricFields& f);
SymmetricFields symmetricFieldsFromStore(const Store& g);

// Block k: XP(1..n) and FP(1..n) after their label lines; echoes "XP(i) = ", "FP(i) = ".
void readPoincarePlane(ParReader& r, int k, int n);
// Writes the grids at their own length planeLength(f).
void writePoincarePlane(const Store& g, TextWriter& o, int k, const PlaneFields& f);
// Components of the Xo grid: the NDIM of the grids a window shows, which another section's
// reading may have changed in the store while the window stood open.
inline int planeLength(const PlaneFields& f) { return f.xp.cols() - 3; }
void fillPlaneFields(const Store& g, PlaneFields& f);

// Blocks k (TMAX, HHH), k + 1 (LSCREEN, TMIN) and k + 2 (LGRAPH).
void readRunBlocks(ParReader& r, int k);
void writeRunBlocks(const Store& g, TextWriter& o, int k, const RunFields& f, KeyStyle keys);
void fillRunFields(const Store& g, RunFields& f);

// Block k: the plotted components, at most limit of them; a list of more than the 13 slots
// of IC is refused. Echoes "IC(j) = ".
void readPlotList(ParReader& r, int k, int limit);
// Stores a list read into IC(1..), NCOMP and echoes it.
void storePlotList(ParReader& r, const std::vector<i16>& ic);
void writePlotList(const Store& g, TextWriter& o, int k, const std::string& list);

// Blocks k (NSC) and k + 1 (DLX, DRX, DLW, DRW, SCLT).
void readScaleBlocks(ParReader& r, int k);
void writeScaleBlocks(const Store& g, TextWriter& o, int k, const ScaleFields& f);
void fillScaleFields(const Store& g, ScaleFields& f);

// ---------------------------------------------------------------- limits of a run

// Each checks the values of the store g and throws a VeltaError with the message the user sees.
void checkNdim(const Store& g);   // NDIM >= 1
void checkClass(const Store& g);  // 1 <= MCLASS <= 4
// HHH > 0, end >= 0 and end/HHH within kMaxSteps; endName names the interval's end.
void checkStep(const Store& g, double end, const std::string& endName);
inline void checkStep(const Store& g) { checkStep(g, g.TMAX, "TMAX"); }
void checkTableDensity(const Store& g);  // NSC >= 1
void checkPortions(const Store& g);      // LSTEP >= 0
void checkInitialList(const Store& g);   // INK(1..NK) within 1..NDIM
// HHH times the largest rate must leave exp() finite; rates names them in the message.
void checkStepForRates(const Store& g, double rate, const std::string& rates);
// 0 <= NCOMP <= maxComp (tooMany is the message before " (NCOMP = ...)"), every IC within
// 1..NDIM, and two components for the phase and Poincaré planes.
void checkPlotList(const Store& g, int maxComp, const std::string& tooMany);
void checkPlotList(const Store& g,
                   int maxComp);  // "Число компонент графика NCOMP должно быть не больше maxComp"
void checkPlotIndexes(const Store& g);  // IC(1..NCOMP) within 1..NDIM
// The run limits of sections 2.1 and 8: step, NSC, LSTEP, the initial list (which must have
// been read) and at most 12 plotted components.
void checkNetworkRun(const Store& g);

// ---------------------------------------------------------------- a run

// SCLX, SCRX, SCLW, SCRW as ALFA times DLX, DRX, DLW, DRW.
void setPlotScales(Store& g);
// EH = exp(HHH), EHI = 1/EH, EQ = (EH - 1)/HHH, EC1 = EQ - 1, EC2 = EH - EQ: the weights of
// the exact step of dX/dt = F - X with F linear over the step.
void setExpWeights(Store& g);
// Plot frames: curves X(t) over SCLT..tEnd, or the phase plane (the Poincaré title when
// LGRAPH = 3 and the section has that plane), then the legend.
void drawMeshTime(Ctx& c, int section, double tEnd, double legendRow);
void drawMeshPhase(Ctx& c, int section, double legendRow, bool poincare);
// The stationary point (STAT, STAT) of the phase plane: a yellow filled circle.
void markStationaryPoint(Ctx& c);
// The stationary solution of the context's store at loading; a failure is shown as a
// warning and gives false.
bool stationOrWarn(Ctx& c, void (*station)(Store&));

// Results table: the title lines, the column head of n components, and one row
// Format(j, stepMask), t and X1(1..NDIM) with NROW counted.
void writeTableTitle(TextWriter& out);
void writeColumnHead(TextWriter& out, int n);
void writeTableRow(Store& g, TextWriter& out, i32 j, double t, const char* stepMask);
// A row is written at j = 1 and every NSC steps.
inline bool tableStep(const Store& g, i32 j) {
    const i16 nsc = g.NSC;
    return j == 1 || (nsc > 0 && j % nsc == 0);
}
// The results of the symmetric networks (sections 1.1 and 8) at step j: at j = 1 the header
// (model, parameters, STAT, table head), then a row on the table steps.
void writeSymmetricResults(Store& g, TextWriter& out, i32 j, double t);

// ---------------------------------------------------------------- step observers

// Poincaré plane (N, X - Xo) = 0 between xa and xb: a sign change (or both on the plane)
// gives XCROSS by linear interpolation (lambda = 0 when |d| < 1E-6) and a point by GraphicP.
void poincareTest(Ctx& c, const double* xa, const double* xb, int n);

// The plot of one step from xa to xb: curves X(t) (LGRAPH = 1), the phase plane (2) or the
// Poincaré test (any other value).
inline void plotStep(Ctx& c, i32 j, const double* xa, const double* xb, int n) {
    const i16 lgraph = c.store.LGRAPH;
    if (lgraph == 1) Graphic1(c);
    else if (lgraph == 2) GraphicF1(c, j);
    else poincareTest(c, xa, xb, n);
}

// End of a step: XPREV = X1, X1 = XNEW (bytes of components 1..NDIM), WOLD = W, TOLD = TCUR.
inline void nextStep(Store& g, double* xprev, double* x1, const double* xnew, std::size_t bytes) {
    std::memcpy(xprev + 1, x1 + 1, bytes);
    std::memcpy(x1 + 1, xnew + 1, bytes);
    g.WOLD = g.W;
    g.TOLD = g.TCUR;
}

// Every LSTEP steps the user is asked whether to go on continuously; a non-empty answer
// sets LSTEP = 0. (The title stays a plain pointer: no string is built on the other steps.)
void askPortion(Ctx& c, const std::string& title);
inline void portionQuestion(Ctx& c, i32 j, const char* title) {
    const i16 lstep = c.store.LSTEP;
    if (lstep > 0 && j % lstep == 0) askPortion(c, title);
}

// Period: the smallest W after TMIN gives PERIOD = j*HHH.
inline void periodSearch(Store& g, double& wmin, double t, i32 j, double h) {
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
inline void checkFinite(const Store& g, i32 j, double t) {
    if (!std::isfinite(g.W)) nonFiniteStep(j, t);
}

// ---------------------------------------------------------------- the integrator
//
// dX/dt = F(X) + D(X) X, i = 1..NDIM, on the grid t = (j - 1)*HHH, j = 1..NSTEP + 1
// (sections 1.1, 2.1, 8, 5.1.1, 5.2.1; D is -1 in 1.1 and 2.1, -X in 8, -AK in 5.2.1):
//   before      the section's refusals; SCRT = TMAX; SCLX..SCRW = ALFA*DLX..ALFA*DRW
//               (plan.plotScales); the section's preparation (stationary solution,
//               weights); the frames: curves X(t) (LGRAPH = 1) or the phase / Poincaré
//               plane, with the stationary point at LGRAPH = 2 (plan.stationaryMark).
//   start       the results file is created; TOLD = 0; XST = X1; the right-hand side at
//               X1; one step back XPREV = X1 - HHH*dX/dt(X1); WOLD = 0; NSTEP from
//               TMAX/HHH (plan.steps).
//   step j      poll the surface; the portion question every LSTEP steps (plan.portion);
//               the results rows of step j at t; the right-hand side at X1 (slot 1);
//               predictor XNEW = XPREV + 2*HHH*dX/dt(X1), two-step explicit over 2*HHH;
//               the right-hand side at XNEW (slot 2); the section's corrector from X1
//               over HHH, F (and D) linear between the slots; W = |XNEW - XST|,
//               TCUR = t; a non-finite W ends the run; the plot of the step (Poincaré
//               test when plan.poincare and LGRAPH >= 3); period search; XPREV = X1,
//               X1 = XNEW.
//   end         the section's closing lines; the results file closed; the section's
//               after-run hook (1.1 and 8: LSTEP = 0).
//
// HOW A SECTION PLUGS IN
//   Write a stepper struct (as Sec11's in models/section11/sec11.cpp) that holds the store
//   of the run (the context's, given at construction) and has
//     static constexpr AutonomousPlan plan{...};   what the shared steps do differently
//     void check();                       refusals, before anything is changed
//     void prepare();                     after SCRT and the scales: Station, weights ...
//     void bind();                        after the results file opened: storage pointers
//                                         of the slots, work vectors
//     void eval1(const double* x);        right-hand side at X1 into slot 1
//     double slope(int i, const double* x) const;   dX(i)/dt at x from slot 1
//     void eval2(const double* x);        right-hand side at XNEW into slot 2
//     void correct(const double* x1, double* xnew, int n);   XNEW from X1 and both slots
//     void rows(TextWriter& out, i32 j, double t);  header at j = 1 and the table rows
//     void finish(TextWriter& out);       lines after the last row
//     void afterRun();                    after a complete run
//   and Integr1(Ctx& c) { Stepper s{c.store}; AutonomousIntegr(c, s); }. Every hook is called
//   directly from the template, so the step loop compiles to one loop per section.
//   The hooks keep what they use per step in locals: the step loop writes doubles, which
//   could alias double members.

// NSTEP from TMAX/HHH: CLng (half to even) or Int (towards minus infinity).
enum class StepCount { Round, Floor };

struct AutonomousPlan {
    int code;                  // section code of the legend
    double legendRow;          // first legend row
    const char* results;       // results file in the User folder
    const char* portionTitle;  // title of the portion question; nullptr: never asked
    bool plotScales;           // SCLX..SCRW from ALFA (false: as read from the file)
    bool poincare;             // LGRAPH >= 3 is the Poincaré plane (false: the phase plane)
    bool stationaryMark;       // the phase plane (LGRAPH = 2) marks (STAT, STAT)
    StepCount steps;
};

template <class S>
void AutonomousIntegr(Ctx& c, S& s) {
    constexpr AutonomousPlan plan = S::plan;
    s.check();
    Store& g = c.store;
    const int n = g.NDIM;
    g.SCRT = g.TMAX;
    if constexpr (plan.plotScales) setPlotScales(g);
    s.prepare();
    const double h = g.HHH;

    if (g.LGRAPH == 1) {
        drawMeshTime(c, plan.code, g.TMAX, plan.legendRow);
    } else {
        drawMeshPhase(c, plan.code, plan.legendRow, plan.poincare);
        if (plan.stationaryMark && g.LGRAPH == 2) markStationaryPoint(c);
    }

    auto out = TextWriter::create(c.paths.userFile(plan.results));
    g.TOLD = 0;
    s.bind();

    // The vectors do not change size during the run: work on their storage directly.
    double* x1 = g.X1.data();
    double* xprev = g.XPREV.data();
    double* xnew = g.XNEW.data();
    double* xst = g.XST.data();
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);

    std::memcpy(xst + 1, x1 + 1, bytes);
    s.eval1(x1);
    for (int i = 1; i <= n; ++i) xprev[i] = x1[i] - h * s.slope(i, x1);  // one step back

    double wmin = 1.0E10;
    g.WOLD = 0;
    g.NSTEP = plan.steps == StepCount::Round ? CLng(g.TMAX / h) : static_cast<i32>(Int(g.TMAX / h));
    const i32 last = g.NSTEP + 1;

    for (i32 j = 1; j <= last; ++j) {
        c.surf.poll();
        if constexpr (plan.portionTitle != nullptr) portionQuestion(c, j, plan.portionTitle);
        const double t = (j - 1) * h;
        s.rows(*out, j, t);

        // Predictor: two-step explicit, from XPREV over 2*HHH.
        s.eval1(x1);
        for (int i = 1; i <= n; ++i) xnew[i] = xprev[i] + 2 * h * s.slope(i, x1);
        // Corrector: the section's step from X1 with the right-hand side linear over HHH.
        s.eval2(xnew);
        s.correct(x1, xnew, n);

        g.W = distance(xnew, xst, n);
        g.TCUR = t;
        checkFinite(g, j, t);
        if constexpr (plan.poincare) {
            plotStep(c, j, x1, xnew, n);
        } else {
            if (g.LGRAPH == 1) Graphic1(c);
            else GraphicF1(c, j);
        }
        periodSearch(g, wmin, t, j, h);
        nextStep(g, xprev, x1, xnew, bytes);
    }
    s.finish(*out);
    out->close();  // a failed write of the table is reported
    s.afterRun();
}

// The exact step of dX/dt = F - X with F linear from F1 to F2:
// XNEW = EHI*(X1 + EC1*F1 + EC2*F2). Each section keeps the order in which it has always
// summed the three terms: its results files depend on it in the last digits.
enum class SumOrder {
    ForcingFirst,  // EHI*(EC1*F1 + X1 + EC2*F2): section 1.1
    StateFirst     // EHI*(X1 + EC1*F1 + EC2*F2): section 2.1
};
template <SumOrder O>
inline void unitDecayStep(const double* x1, const double* f1, const double* f2, double* xnew, int n,
                          double ehi, double ec1, double ec2) {
    for (int i = 1; i <= n; ++i) {
        if constexpr (O == SumOrder::ForcingFirst) xnew[i] = ehi * (ec1 * f1[i] + x1[i] + ec2 * f2[i]);
        else xnew[i] = ehi * (x1[i] + ec1 * f1[i] + ec2 * f2[i]);
    }
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
