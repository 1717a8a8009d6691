// The delay-window scheme shared by the five delay sections (1.2, 2.2, 5.1.2, 5.2.2, 6).
//
// The system dZ(k)/dt = FZ(k)(delayed values of Z) - THETA(k) * Z(k), k = 1..n, with
// delays TAU(1) <= ... <= TAU(m), is integrated on a uniform grid of step
// HHH = TAU(m) / NDEL, one window of TAU(m) at a time:
//
//   ZTAB(p, k)   history table: nodes 1..NP1 (NP1 = NDEL + 1) hold the last window
//                (node 1 = TAU(m) back, node NP1 = the newest point); nodes NP1+1..2*NDEL+1
//                receive the next window, which is then shifted down by NDEL.
//   KTAU, RTAU   for each delay j < m: node index and fraction locating TAU(m) - TAU(j)
//                in the window. Found from R/HHH with a tolerance of a few ulps: a delay on a
//                node gives that node and RTAU = 0 (the plain floating-point test
//                "tp + HHH > R and R >= tp" can fail for every node there).
//   ZTAU(j, k)   delayed values of the point being computed: linear interpolation between
//                nodes KTAU(j) and KTAU(j) + 1 (shifted by d); ZTAU(m, k) = ZTAB(d + 1, k).
//   step         exponential, exact for dZ/dt = F - THETA*Z with F linear over the step:
//                z = HHH*THETA, e = exp(z), q = (e - 1)/z, c1 = (q - 1)/THETA,
//                c2 = (e - q)/THETA, c0 = 1/e;  ZTAB(c+1) = c0*(c1*F1 + ZTAB(c) + c2*F2).
//   portions     each "С&чёт [и графика]" integrates NPER whole windows and a remainder of
//                NREM + 1 steps (NREM = Int((TMAX - NPER*TAU(m))/HHH), taken as 0 when a
//                rounding makes it negative), then moves the window by NREM; the next run
//                continues from there. L (the shell's counter, reset to 0 by InputPar) < 1
//                marks the first portion, which prepares the delays, fixes HHH, NPER and
//                TMAX, builds the initial function and the delay nodes.
//   results      every portion rewrites the results file: the section's header, then in
//                each window the rows of nodes p = 1 and p a multiple of NSC ("00000" row
//                number p, time T0 + (p-1)*HHH), in the remainder the rows c a multiple of
//                NSC (c = NP1..NP1+NREM, time T0 + (c-NDEL)*HHH, values of node c+1).
//   plot         GraphicZ(T0, p, 1) for p = 1..NDEL after each window, GraphicZ(T0, c, NP1)
//                for the remainder (at most three curves IC(1..3)).
//
// HOW A SECTION PLUGS IN
//   1. InputPar: call allocDelayTables(g, nodes, comps, delays) on the store read into,
//      with the section's bounds (1000 nodes x 5 components for sections 1.2/2.2, 1000 x
//      MDIM for 6, 5000 x 1 for 5.1.2/5.2.2; delays 20, or LTAU for 6), read the file, set
//      NP1 = NDEL + 1, NP2 = 2*NDEL and L = 0.
//   2. Derive the section class from both SectionCore and DelayModel (as Sec22 in
//      models/section22/sec22.h) and implement what the section does differently; every
//      hook but resultsName and DrawMesh1 (which has the context) is handed the store of
//      the run, the context's, as its first argument g:
//        components()       n: equations integrated (MDIM; 1 for the scalar sections);
//        delays()           m: delays used; TAU(m) is the window (LTAU; 1 for 5.1.2; 2 for 5.2.2);
//        preparedDelays()   TAU(1..m) as the first portion makes them (x PTAU for 1.2/2.2,
//                           unchanged for 6 and 5.1.2, ordered for 5.2.2) -- pure, the
//                           scheme checks them and only then stores them back into TAU;
//        decay(k)           THETA(k): 1 for 1.2/2.2, TETAm(k) for 6, TETAm(1) for 5.x.2;
//        Nach_Rasp()        stationary value and initial function on ZTAB nodes 1..NP1
//                           (use dampedNewton below for a capped Newton iteration);
//        Vych_PCH()         FZ(1..n) from ZTAU(1..m, 1..n) (5.x.2: ZD1 = ZTAU(1,1),
//                           ZD2 = ZTAU(2,1)); the TASKDIR choice lives here;
//        checkLimits()      the section's own refusals (GAMA >= 1, PTAU > 0, MCLASS, ...);
//        setScales()        SCLX, SCRX, SCLT of the plot (default: ALFA*DLX, ALFA*DRX, 0);
//        resultsName()      "Results.mtz", ...;  header(g, out): the lines before the rows;
//        DrawMesh1(c)       MeshMaskG + Nadpis of the section.
//   3. void Integr1(Ctx& c) override { DelayIntegr(c, *this); }  -- the whole computation.
//
// Refusals (VeltaError with a Russian message) come before anything is computed or
// written, so the old results file stays untouched: n outside 1..table, m outside
// 1..20 (or the TAU vector), NDEL outside 1..(nodes-2)/2, NSC < 1, TMAX <= 0, delays not
// ascending or not positive, the shortest delay smaller than the step, THETA(k) = 0,
// NCOMP < 1 or a plotted component outside 1..n, too many windows; the section's
// checkLimits() runs after the dimension, NDEL, NSC and TMAX checks.
// A run that fails (NaN, stop, an error of the section) puts TAU, HHH, NPER, TMAX and the
// window ZTAB(1..NP1) back as they were, so the next run repeats the same portion (a
// failed first portion does not scale the delays twice).
#pragma once
#include "data/context.h"
#include "data/store.h"
#include "data/textfile.h"

#include <functional>
#include <string>
#include <vector>

namespace velta {

class DelayModel {
public:
    virtual ~DelayModel() = default;

    virtual int components(const Store& g) const { return g.MDIM; }
    virtual int delays(const Store& g) const { return g.LTAU; }
    // The delays TAU(1..m) of the first portion (index 0 of the result is TAU(1)).
    virtual std::vector<double> preparedDelays(const Store& g) const;
    virtual double decay(const Store& /*g*/, int /*k*/) const { return 1.0; }

    virtual void Nach_Rasp(Store& g) = 0;
    virtual void Vych_PCH(Store& g) = 0;
    virtual void checkLimits(const Store& /*g*/) const {}
    virtual void setScales(Store& g);
    virtual std::string resultsName() const = 0;
    virtual void header(const Store& g, TextWriter& out) = 0;
    virtual void DrawMesh1(Ctx& c) = 0;
};

// ZTAB 0..nodes x 0..ncomp, ZTAU 0..ndelays x 0..ncomp, TAU/KTAU/RTAU 0..ndelays,
// FZ/F1/F2 0..ncomp of g; all zero.
void allocDelayTables(Store& g, int nodes, int ncomp, int ndelays);

// Steps 1-7 of the scheme on the context's store: checks, first-portion preparation, results
// file, windows, remainder and final shift. The shell prints and increases L afterwards.
void DelayIntegr(Ctx& c, DelayModel& m);

// ---- pieces, public for the sections' tests and the benchmarks

// Node p (1-based) and fraction r with R = (p - 1 + r)*h, 0 <= r < 1. Away from a tie it
// is the result of the test "tp + h > R and R >= tp" over p = 1..np1 (tp = (p-1)*h); when
// R/h lies within a few ulps of an integer i it gives p = i + 1 and r = 0. 0 when R is
// outside the window.
int delayNode(double R, double h, int np1, double& r);
// KTAU(j), RTAU(j) for j = 1..m-1 from the stored TAU and HHH.
void delayNodes(Store& g, int m);
// ZTAU(j, k) for the node with shift d, then model.Vych_PCH(g).
void delayedValues(Store& g, int d, int m, int n, DelayModel& model);
// Step weights for a decay rate theta and the step h.
struct StepWeights {
    double c0, c1, c2;
};
StepWeights stepWeights(double theta, double h);
// One results row: Format(num, "00000") & "   " & Format(t, "0.00000E+00") & "   " and
// Format(ZTAB(node, k), "0.00000E+00") & "   " for k = 1..n.
std::string delayRow(const Store& g, int num, double t, int node, int n);
// The results header of the delay networks (1.2, 2.2): the model's parameters (KMOD after
// GAMA withKmod), TAUm(1..ntau), PTAU, TMAX, NDEL and the head of the table of Z1, Z2.
void writeDelayNetHeader(const Store& g, TextWriter& out, int ntau, bool withKmod);

// Newton iteration z <- z + delta, delta = (-damp * g(z)) / g'(z), stopping after the first
// step with |delta| < tol; gdg(z) returns {g, g'}. Capped at cap steps; a non-finite value
// or the cap gives a VeltaError naming what (e.g. "стационарного решения"). Returns the last z.
double dampedNewton(const std::function<std::pair<double, double>(double)>& gdg, double z0, double damp,
                    double tol, int cap, const std::string& what);

}  // namespace velta
