// Section 5.2.1: reading and writing the ".sy2d" data file, the right-hand sides of the two
// chains, the stationary solution, the integrator with per-component exponential weights
// and the results table "\User\Results.sy2".
#include "synthesis/section521/sec521.h"

#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "models/autonomous.h"
#include "synthesis/combined.h"
#include "synthesis/section511/sec511.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace velta {

namespace {

std::vector<Vec*> sectionVectors(Store& g) {
    return {&g.X1, &g.XPREV, &g.XNEW, &g.XST, &g.F1, &g.F2, &g.XV, &g.FV, &g.AK, &g.EC1m, &g.EC2m, &g.EHIm};
}

// F(x) into fv for chain 1 (1..n1-1), chain 2 (n1..n-1) and the common compartment n.
inline void rhs(int n1, int n, double alfa, double beta1, double beta2, double gama1, double gama2,
                const double* ak, const double* x, double* fv) {
    const double xl = x[n];
    fv[1] = alfa / (1 + beta1 * std::pow(xl, gama1));
    for (int i = 2; i <= n1 - 1; ++i) fv[i] = ak[i] * x[i - 1];
    fv[n1] = alfa / (1 + beta2 * std::pow(xl, gama2));
    for (int i = n1 + 1; i <= n - 1; ++i) fv[i] = ak[i] * x[i - 1];
    fv[n] = ak[n1] * x[n - 1] + ak[1] * x[n1 - 1];
}

// The chains divide by NDIM1 - 1 and NDIM2 - 1; Newton starts from ALFA/TETA and keeps
// the root within 0 < x <= 2 ALFA/TETA when BETA1, BETA2 >= 0.
void checkStationLimits(const Store& g) {
    if (g.NDIM1 < 2 || g.NDIM2 < 2)
        fail("Длины цепочек NDIM1, NDIM2 должны быть не меньше 2 (NDIM1 = " + CStr(g.NDIM1) +
             ", NDIM2 = " + CStr(g.NDIM2) + ")");
    if (!(g.TAU1 > 0) || !(g.TAU2 > 0))
        fail("Времена перехода TAU1, TAU2 должны быть больше 0 (TAU1 = " + CStr(g.TAU1) +
             ", TAU2 = " + CStr(g.TAU2) + ")");
    if (!(g.TETA > 0)) fail("Параметр TETA должен быть больше 0 (TETA = " + CStr(g.TETA) + ")");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA1 >= 0) || !(g.BETA2 >= 0))
        fail("Параметры BETA1, BETA2 не должны быть отрицательными (BETA1 = " + CStr(g.BETA1) +
             ", BETA2 = " + CStr(g.BETA2) + ")");
    if (!(g.GAMA1 >= 0) || !(g.GAMA2 >= 0))
        fail("Параметры GAMA1, GAMA2 не должны быть отрицательными (GAMA1 = " + CStr(g.GAMA1) +
             ", GAMA2 = " + CStr(g.GAMA2) + ")");
}

// One integer of a pair line, converted as the key values are.
i16 pairInt(ParReader& r) { return toI16(r.readNumber()); }

using F = Sec521::Fields;
using K = Key<Store, F>;
// The two keys of block 1, each between pair lines, and block 2, the initial data.
constexpr K kAlfa[] = {K{"ALFA", &Store::ALFA, &F::alfa}.shown("txtAlfa", " ALFA =")};
constexpr K kTeta[] = {K{"TETA", &Store::TETA, &F::teta}.shown("txtTeta", " TETA =")};
constexpr K kStart[] = {K{2}, K{"IND", "Ind", &Store::IND, &F::ind}.shown("txtIND", "IND ="),
                        K{"X_Ndim", &Store::X_Ndim, &F::xndim}.shown(
                            "txtX_Ndim", "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =")};
constexpr KeyTable tAlfa{kAlfa}, tTeta{kTeta}, tStart{kStart};

}  // namespace

// ---------------------------------------------------------------- data file

void Sec521::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) {
        // 1. model: the pairs follow their label lines
        r.Head_Input(1);
        r.skipLine();
        g.NDIM1 = pairInt(r);
        g.NDIM2 = pairInt(r);
        r.echo("NDIM1,NDIM2 = " + CStr(g.NDIM1) + "," + CStr(g.NDIM2));
        tAlfa.read(r, g);
        readCombined(r, "BETA1,BETA2", {&g.BETA1, &g.BETA2});
        readCombined(r, "GAMA1,GAMA2", {&g.GAMA1, &g.GAMA2});
        readCombined(r, "TAU1,TAU2  ", {&g.TAU1, &g.TAU2});
        tTeta.read(r, g);
        if (g.NDIM1 < 1 || g.NDIM2 < 1 || g.NDIM1 + g.NDIM2 - 1 < 1)
            fail("Длины цепочек NDIM1, NDIM2 должны быть не меньше 2 (NDIM1 = " + CStr(g.NDIM1) +
                 ", NDIM2 = " + CStr(g.NDIM2) + ")");
        g.NDIM = toI16(static_cast<double>(g.NDIM1) + g.NDIM2 - 1);
        const int n = g.NDIM;
        allocVectors(sectionVectors(g), n);

        // 2. initial data
        tStart.read(r, g);

        readRunBlocks(r, 3);    // 3..5
        readPlotList(r, 6, n);  // 6. plotted components (IC has the slots 1..13)
        readScaleBlocks(r, 7);  // 7, 8
    });

    // Initial state: zero, or the perturbed stationary solution. When the stationary
    // solution cannot be found the file still opens (so that it can be mended), the start
    // stays zero and the computation refuses to run until it is found.
    const int n = g.NDIM;
    g.X1.fill(0);
    if (g.IND != 0) return;
    if (!stationOrWarn(c, Station)) return;
    for (int i = 1; i <= g.NDIM1 - 1; ++i) g.X1(i) = g.ZST1;
    for (int i = g.NDIM1; i <= n - 1; ++i) g.X1(i) = g.ZST2;
    g.X1(n) = g.STAT + g.X_Ndim;
}

const KeyTable<Store, Sec521::Fields>& Sec521::alfaKeys() { return tAlfa; }
const KeyTable<Store, Sec521::Fields>& Sec521::tetaKeys() { return tTeta; }
const KeyTable<Store, Sec521::Fields>& Sec521::startKeys() { return tStart; }

Sec521::Fields Sec521::fieldsFromStore(const Store& g) {
    Fields f;
    f.ndim12 = CStr(g.NDIM1) + "," + CStr(g.NDIM2);
    tAlfa.fill(g, f);
    f.beta12 = CStr(g.BETA1) + "," + CStr(g.BETA2);
    f.gama12 = CStr(g.GAMA1) + "," + CStr(g.GAMA2);
    f.tau12 = CStr(g.TAU1) + "," + CStr(g.TAU2);
    tTeta.fill(g, f);
    tStart.fill(g, f);
    fillRunFields(g, f);
    f.i1g = joinInts(g.IC, g.NCOMP);
    fillScaleFields(g, f);
    return f;
}

void Sec521::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    Head_File(g, o, 1);
    o.line("NDIM1,NDIM2:");
    o.line(f.ndim12);
    tAlfa.write(g, o, f);
    o.line("BETA1,BETA2:");
    o.line(f.beta12);
    o.line("GAMA1,GAMA2:");
    o.line(f.gama12);
    o.line("Tau1,Tau2:");
    o.line(f.tau12);
    tTeta.write(g, o, f);
    tStart.write(g, o, f);
    writeRunBlocks(g, o, 3, f, KeyStyle::Mixed);
    writePlotList(g, o, 6, f.i1g);
    writeScaleBlocks(g, o, 7, f);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec521::rates(Store& g) {
    const int n = g.NDIM;
    const double k1 = (g.NDIM1 - 1) / g.TAU1, k2 = (g.NDIM2 - 1) / g.TAU2;
    for (int i = 1; i <= g.NDIM1 - 1; ++i) g.AK(i) = k1;
    for (int i = g.NDIM1; i <= n - 1; ++i) g.AK(i) = k2;
    g.AK(n) = g.TETA;
}

void Sec521::Vych_PCH(Store& g) {
    const int n = g.NDIM;
    if (g.NDIM1 < 2 || g.NDIM2 < 2 || n != g.NDIM1 + g.NDIM2 - 1)
        fail("Длины цепочек NDIM1, NDIM2 должны быть не меньше 2 (NDIM1 = " + CStr(g.NDIM1) +
             ", NDIM2 = " + CStr(g.NDIM2) + ")");
    if (g.XV.upper() < n || g.FV.upper() < n || g.AK.upper() < n) fail(kNotRead);
    rhs(g.NDIM1, n, g.ALFA, g.BETA1, g.BETA2, g.GAMA1, g.GAMA2, g.AK.data(), g.XV.data(), g.FV.data());
}

// The plain iteration x <- x + D, D = -g/g', from x0 until |D| < tol; the root is the
// last x + D and base the x it was computed at. Empty when it fails: a non-finite value, a
// step out of [lo, hi], a point met before (a cycle), or no convergence within cap steps.
static std::optional<NewtonRoot> plainNewton(const NewtonFn& fn, double x0, double lo, double hi, double tol,
                                             int cap) {
    std::vector<double> seen;
    double x = x0;
    for (int it = 1; it <= cap; ++it) {
        double gv = 0, gp = 0;
        fn(x, gv, gp);
        const double step = -gv / gp;
        const double xn = x + step;
        if (!std::isfinite(gv) || !std::isfinite(gp) || !std::isfinite(xn) || xn < lo || xn > hi)
            return std::nullopt;
        if (std::fabs(step) < tol) return NewtonRoot{xn, x, it, 0};
        if (std::find(seen.begin(), seen.end(), xn) != seen.end()) return std::nullopt;
        seen.push_back(x);
        x = xn;
    }
    return std::nullopt;
}

// Every compartment of a chain holds the same amount; the last component x solves
// g(x) = TETA x - ALFA (p + o) = 0 with p = 1/(1 + BETA1 x^GAMA1), o = 1/(1 + BETA2 x^GAMA2).
// Plain Newton from ALFA/TETA comes first; only when it fails (it can cycle between two
// points for ever) does the bracket g(0) < 0 <= g(2 ALFA/TETA) safeguard it.
void Sec521::Station(Store& g) {
    checkStationLimits(g);
    const double alfa = g.ALFA, teta = g.TETA;
    const double b1 = g.BETA1, b2 = g.BETA2, g1 = g.GAMA1, g2 = g.GAMA2;
    auto po = [&](double x, double& p, double& o) {
        p = 1 / (1 + b1 * std::pow(x, g1));
        o = 1 / (1 + b2 * std::pow(x, g2));
    };
    const NewtonFn fn = [&](double x, double& gv, double& gp) {
        double p, o;
        po(x, p, o);
        gv = teta * x - alfa * (o + p);
        gp = teta + alfa * (p * p * g1 * b1 * std::pow(x, g1 - 1) + o * o * g2 * b2 * std::pow(x, g2 - 1));
    };
    const double x0 = alfa / teta, lo = 0, hi = 2 * alfa / teta;
    const std::optional<NewtonRoot> plain = plainNewton(fn, x0, lo, hi, kNewtonTol, kNewtonCap);
    const NewtonRoot root = plain ? *plain : safeNewton(fn, x0, lo, hi, kNewtonTol, kNewtonCap);
    // The chain values come from p and o at the point of the last correction.
    double p, o;
    po(root.base, p, o);
    g.STAT = root.x;
    g.ZST1 = alfa * g.TAU1 / (g.NDIM1 - 1) * p;
    g.ZST2 = alfa * g.TAU2 / (g.NDIM2 - 1) * o;
}

// z = HHH K, e = exp(z), q = (e - 1)/z: EC1m = (q - 1)/K, EC2m = (e - q)/K, EHIm = 1/e.
void Sec521::weights(Store& g) {
    for (int i = 1; i <= g.NDIM; ++i) {
        const double ak = g.AK(i);
        const double z = g.HHH * ak;
        const double e = std::exp(z);
        const double q = (e - 1) / z;
        g.EC1m(i) = (q - 1) / ak;
        g.EC2m(i) = (e - q) / ak;
        g.EHIm(i) = 1 / e;
    }
}

void Sec521::checkLimits(Store& g) {
    checkStationLimits(g);
    if (g.NDIM != g.NDIM1 + g.NDIM2 - 1) fail(kNotRead);
    needVectors(sectionVectors(g), g.NDIM);
    checkStep(g);
    // HHH * AK(i) must leave the step weights finite.
    checkStepForRates(g, std::max({(g.NDIM1 - 1) / g.TAU1, (g.NDIM2 - 1) / g.TAU2, g.TETA}),
                      "скоростей распада");
    checkTableDensity(g);
    checkPlotList(g, 12);
}

// ---------------------------------------------------------------- results and canvas

void Sec521::Rezults(Store& g, TextWriter& out, i32 j, double t) {
    const int n = g.NDIM;
    if (j == 1) {
        out.line("");
        out.line("NDIM1, NDIM2 = " + Format(g.NDIM1, "####") + ", " + Format(g.NDIM2, "####"));
        out.line("ALFA         = " + fmt5(g.ALFA));
        out.line("BETA1, BETA2 = " + fmt5(g.BETA1) + ", " + fmt5(g.BETA2));
        out.line("GAMA1, GAMA2 = " + fmt5(g.GAMA1) + ", " + fmt5(g.GAMA2));
        out.line("TAU1 , TAU2  = " + fmt5(g.TAU1) + ", " + fmt5(g.TAU2));
        out.line("TETA         = " + fmt5(g.TETA));
        out.line("TMAX         = " + fmt5(g.TMAX));
        out.line("");
        out.line("Стационарное решение:");
        out.line("x(i) = " + fmt5(g.ZST1) + ", i = 1,2,...," + CStr(g.NDIM1 - 1));
        out.line("x(i) = " + fmt5(g.ZST2) + ", i = " + CStr(g.NDIM1) + ",...," + CStr(n - 1));
        out.line("x(" + CStr(n) + ") = " + fmt5(g.STAT));
        out.line("");
        writeTableTitle(out);
        std::string h = " No        t    ";
        for (int k = 1; k <= n; ++k) h += "        X(" + Format(k, "000") + ")";
        out.line(h);
        std::string d = "-----+-------------+";
        for (int k = 1; k <= n; ++k) d += "-------------+";
        out.line(d);
        g.NROW = 0;
    }
    if (tableStep(g, j)) writeTableRow(g, out, j, t, "00000");
}

// ---------------------------------------------------------------- integration

namespace {

// The two chains in the autonomous scheme: dX/dt = FV - AK X through XV and FV into F1
// and F2; the exact step with per-component weights; NSTEP by Int; the phase plane for any
// LGRAPH other than 1, no portions.
struct Chains521 {
    static constexpr AutonomousPlan plan{521,  4,     "Results.sy2", nullptr,
                                         true, false, false,         StepCount::Floor};
    explicit Chains521(Store& store) : g(store) {}
    Store& g;
    int n = 0, n1 = 0;
    std::size_t bytes = 0;
    double alfa = 0, b1 = 0, b2 = 0, g1 = 0, g2 = 0;
    double *f1 = nullptr, *f2 = nullptr, *xv = nullptr, *fv = nullptr;
    const double *ak = nullptr, *ec1 = nullptr, *ec2 = nullptr, *ehi = nullptr;

    void check() {
        Sec521::checkLimits(g);
        // The header and the legend show the stationary solution of the parameters of this run.
        Sec521::Station(g);
    }
    void prepare() {
        Sec521::rates(g);
        Sec521::weights(g);
    }
    void bind() {
        n = g.NDIM;
        n1 = g.NDIM1;
        bytes = sizeof(double) * static_cast<std::size_t>(n);
        alfa = g.ALFA;
        b1 = g.BETA1;
        b2 = g.BETA2;
        g1 = g.GAMA1;
        g2 = g.GAMA2;
        f1 = g.F1.data();
        f2 = g.F2.data();
        xv = g.XV.data();
        fv = g.FV.data();
        ak = g.AK.data();
        ec1 = g.EC1m.data();
        ec2 = g.EC2m.data();
        ehi = g.EHIm.data();
    }
    void eval(const double* x, double* f) {
        std::memcpy(xv + 1, x + 1, bytes);
        rhs(n1, n, alfa, b1, b2, g1, g2, ak, xv, fv);
        std::memcpy(f + 1, fv + 1, bytes);
    }
    void eval1(const double* x) { eval(x, f1); }
    void eval2(const double* x) { eval(x, f2); }
    double slope(int i, const double* x) const { return f1[i] - ak[i] * x[i]; }
    void correct(const double* x1, double* xnew, int m) const {
        for (int i = 1; i <= m; ++i) xnew[i] = ehi[i] * (x1[i] + ec1[i] * f1[i] + ec2[i] * f2[i]);
    }
    void rows(TextWriter& out, i32 j, double t) { Sec521::Rezults(g, out, j, t); }
    void finish(TextWriter&) {}
    void afterRun() {}
};

}  // namespace

void Sec521::Integr1(Ctx& c) {
    Chains521 s{c.store};
    AutonomousIntegr(c, s);
}

}  // namespace velta
