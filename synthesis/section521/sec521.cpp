// Section 5.2.1: reading and writing the ".sy2d" data file, the right-hand sides of the two
// chains, the stationary solution, the integrator with per-component exponential weights
// and the results table "\User\Results.sy2".
#include "synthesis/section521/sec521.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/autonomous.h"
#include "synthesis/section511/sec511.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace velta {

namespace {

std::vector<Vec*> sectionVectors() {
    auto& g = mdlGlobal;
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
void checkStationLimits() {
    const auto& g = mdlGlobal;
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

}  // namespace

// ---------------------------------------------------------------- data file

void Sec521::InputPar(Ctx& c) {
    readParFile(c.paths, dataPath, [](ParReader& r) {
        auto& g = mdlGlobal;
        // 1. model: the pairs follow their label lines
        r.Head_Input(1);
        r.skipLine();
        g.NDIM1 = pairInt(r);
        g.NDIM2 = pairInt(r);
        r.echo("NDIM1,NDIM2 = " + CStr(g.NDIM1) + "," + CStr(g.NDIM2));
        r.Key_InputR("ALFA", g.ALFA);
        r.skipLine();
        g.BETA1 = r.readNumber();
        g.BETA2 = r.readNumber();
        r.echo("BETA1,BETA2 = " + CStr(g.BETA1) + "," + CStr(g.BETA2));
        r.skipLine();
        g.GAMA1 = r.readNumber();
        g.GAMA2 = r.readNumber();
        r.echo("GAMA1,GAMA2 = " + CStr(g.GAMA1) + "," + CStr(g.GAMA2));
        r.skipLine();
        g.TAU1 = r.readNumber();
        g.TAU2 = r.readNumber();
        r.echo("TAU1,TAU2   = " + CStr(g.TAU1) + "," + CStr(g.TAU2));
        r.Key_InputR("TETA", g.TETA);
        if (g.NDIM1 < 1 || g.NDIM2 < 1 || g.NDIM1 + g.NDIM2 - 1 < 1)
            fail("Длины цепочек NDIM1, NDIM2 должны быть не меньше 2 (NDIM1 = " + CStr(g.NDIM1) +
                 ", NDIM2 = " + CStr(g.NDIM2) + ")");
        g.NDIM = toI16(static_cast<double>(g.NDIM1) + g.NDIM2 - 1);
        const int n = g.NDIM;
        allocVectors(sectionVectors(), n);

        // 2. initial data
        r.Head_Input(2);
        r.Key_InputI("IND", g.IND);
        r.Key_InputR("X_Ndim", g.X_Ndim);

        readRunBlocks(r, 3);    // 3..5
        readPlotList(r, 6, n);  // 6. plotted components (IC has the slots 1..13)
        readScaleBlocks(r, 7);  // 7, 8
    });

    // Initial state: zero, or the perturbed stationary solution. When the stationary
    // solution cannot be found the file still opens (so that it can be mended), the start
    // stays zero and the computation refuses to run until it is found.
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    g.X1.fill(0);
    if (g.IND != 0) return;
    if (!stationOrWarn(c, Station)) return;
    for (int i = 1; i <= g.NDIM1 - 1; ++i) g.X1(i) = g.ZST1;
    for (int i = g.NDIM1; i <= n - 1; ++i) g.X1(i) = g.ZST2;
    g.X1(n) = g.STAT + g.X_Ndim;
}

Sec521::Fields Sec521::fieldsFromStore() {
    const auto& g = mdlGlobal;
    Fields f;
    f.ndim12 = CStr(g.NDIM1) + "," + CStr(g.NDIM2);
    f.alfa = CStr(g.ALFA);
    f.beta12 = CStr(g.BETA1) + "," + CStr(g.BETA2);
    f.gama12 = CStr(g.GAMA1) + "," + CStr(g.GAMA2);
    f.tau12 = CStr(g.TAU1) + "," + CStr(g.TAU2);
    f.teta = CStr(g.TETA);
    f.ind = CStr(g.IND);
    f.xndim = CStr(g.X_Ndim);
    fillRunFields(f);
    f.i1g = joinInts(g.IC, g.NCOMP);
    fillScaleFields(f);
    return f;
}

void Sec521::Table_File(const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    Head_File(o, 1);
    o.line("NDIM1,NDIM2:");
    o.line(f.ndim12);
    Key_File(o, "ALFA", f.alfa);
    o.line("BETA1,BETA2:");
    o.line(f.beta12);
    o.line("GAMA1,GAMA2:");
    o.line(f.gama12);
    o.line("Tau1,Tau2:");
    o.line(f.tau12);
    Key_File(o, "TETA", f.teta);
    Head_File(o, 2);
    Key_File(o, "Ind", f.ind);
    Key_File(o, "X_Ndim", f.xndim);
    writeRunBlocks(o, 3, f, KeyStyle::Mixed);
    writePlotList(o, 6, f.i1g);
    writeScaleBlocks(o, 7, f);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec521::rates() {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    const double k1 = (g.NDIM1 - 1) / g.TAU1, k2 = (g.NDIM2 - 1) / g.TAU2;
    for (int i = 1; i <= g.NDIM1 - 1; ++i) g.AK(i) = k1;
    for (int i = g.NDIM1; i <= n - 1; ++i) g.AK(i) = k2;
    g.AK(n) = g.TETA;
}

void Sec521::Vych_PCH() {
    auto& g = mdlGlobal;
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
void Sec521::Station() {
    checkStationLimits();
    auto& g = mdlGlobal;
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
void Sec521::weights() {
    auto& g = mdlGlobal;
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

void Sec521::checkLimits() {
    const auto& g = mdlGlobal;
    checkStationLimits();
    if (g.NDIM != g.NDIM1 + g.NDIM2 - 1) fail(kNotRead);
    needVectors(sectionVectors(), g.NDIM);
    checkStep();
    // HHH * AK(i) must leave the step weights finite.
    checkStepForRates(std::max({(g.NDIM1 - 1) / g.TAU1, (g.NDIM2 - 1) / g.TAU2, g.TETA}),
                      "скоростей распада");
    checkTableDensity();
    checkPlotList(12);
}

// ---------------------------------------------------------------- results and canvas

void Sec521::Rezults(TextWriter& out, i32 j, double t) {
    auto& g = mdlGlobal;
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
    if (tableStep(j)) writeTableRow(out, j, t, "00000");
}

void Sec521::DrawMesh1(Ctx& c) { drawMeshTime(c, 521, mdlGlobal.TMAX, 4); }

void Sec521::DrawMeshF1(Ctx& c) { drawMeshPhase(c, 521, 4, false); }

// ---------------------------------------------------------------- integration

void Sec521::Integr1(Ctx& c) {
    checkLimits();
    // The header and the legend show the stationary solution of the parameters of this run.
    Station();
    auto& g = mdlGlobal;
    const int n = g.NDIM;

    setPlotScales();
    g.SCRT = g.TMAX;
    g.NSTEP = static_cast<i32>(Int(g.TMAX / g.HHH));
    rates();
    weights();

    if (g.LGRAPH == 1) DrawMesh1(c);
    else DrawMeshF1(c);
    auto out = TextWriter::create(c.paths.userFile("Results.sy2"));
    g.TOLD = 0;

    // The vectors do not change size during the run: work on their storage directly.
    double* x1 = g.X1.data();
    double* xprev = g.XPREV.data();
    double* xnew = g.XNEW.data();
    double* xst = g.XST.data();
    double* f1 = g.F1.data();
    double* f2 = g.F2.data();
    double* xv = g.XV.data();
    double* fv = g.FV.data();
    const double* ak = g.AK.data();
    const double* ec1 = g.EC1m.data();
    const double* ec2 = g.EC2m.data();
    const double* ehi = g.EHIm.data();
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);
    const double h = g.HHH;
    const int n1 = g.NDIM1;
    const double alfa = g.ALFA, b1 = g.BETA1, b2 = g.BETA2, g1 = g.GAMA1, g2 = g.GAMA2;
    auto F = [&] { rhs(n1, n, alfa, b1, b2, g1, g2, ak, xv, fv); };

    std::memcpy(xv + 1, x1 + 1, bytes);
    std::memcpy(xst + 1, x1 + 1, bytes);
    F();
    std::memcpy(f1 + 1, fv + 1, bytes);
    for (int i = 1; i <= n; ++i) xprev[i] = x1[i] - h * (f1[i] - ak[i] * x1[i]);

    g.WOLD = 0;
    double wmin = 1.0E10;
    const i32 last = g.NSTEP + 1;

    for (i32 j = 1; j <= last; ++j) {
        c.surf.poll();
        const double t = (j - 1) * h;
        Rezults(*out, j, t);

        // Predictor: two-step explicit, from XPREV over 2*HHH.
        std::memcpy(xv + 1, x1 + 1, bytes);
        F();
        std::memcpy(f1 + 1, fv + 1, bytes);
        for (int i = 1; i <= n; ++i) xnew[i] = xprev[i] + 2 * h * (f1[i] - ak[i] * x1[i]);
        // Corrector: exact solution of dx/dt = F - AK x with F linear from F1 to F2.
        std::memcpy(xv + 1, xnew + 1, bytes);
        F();
        std::memcpy(f2 + 1, fv + 1, bytes);
        for (int i = 1; i <= n; ++i) xnew[i] = ehi[i] * (x1[i] + ec1[i] * f1[i] + ec2[i] * f2[i]);

        g.W = distance(xnew, xst, n);
        g.TCUR = t;
        checkFinite(j, t);
        if (g.LGRAPH == 1) Graphic1(c);
        else GraphicF1(c, j);
        periodSearch(wmin, t, j, h);
        nextStep(xprev, x1, xnew, bytes);
    }
    out->close();  // a failed write of the table is reported
}

}  // namespace velta
