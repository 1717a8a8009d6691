// Section 5.1.1: reading and writing the ".sy1d" data file, the right-hand sides of the
// chain, its stationary solution, the integrator with the exponential corrector for a
// variable decay coefficient, and the results table "\User\Results.sy1".
#include "synthesis/section511/sec511.h"

#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "models/autonomous.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velta {

namespace {

std::vector<Vec*> sectionVectors(Store& g) {
    return {&g.X1, &g.XPREV, &g.XNEW, &g.XST, &g.F1, &g.F2, &g.XV, &g.FV, &g.DV, &g.D1, &g.D2, &g.XS};
}

// F(x) into fv and D into dv for the chain of n >= 3 compartments.
inline void rhs(int n, double alfa, double beta, double gama, double teta, const Sec511::Rates& r,
                const double* x, double* fv, double* dv) {
    fv[1] = alfa / (1 + beta * std::pow(x[n], gama)) + r.b * x[2];
    dv[1] = -r.c1;
    for (int i = 2; i <= n - 2; ++i) {
        fv[i] = r.a * x[i - 1] + r.b * x[i + 1];
        dv[i] = -r.c2;
    }
    fv[n - 1] = r.a * x[n - 2];
    dv[n - 1] = -r.c2;
    fv[n] = r.a * x[n - 1];
    dv[n] = -teta;
}

// What the stationary solution needs: the chain rule divides by NDIM - 1, TAU1, TAU2, the
// Newton start (Q/BETA)^(1/(GAMA+1)) needs Q, BETA > 0 and GAMA > -1.
void checkStationLimits(const Store& g) {
    if (g.NDIM < 4)
        fail("Для стационарного решения число уравнений NDIM должно быть не меньше 4 (NDIM = " +
             CStr(g.NDIM) + ")");
    if (g.TAU1 == 0) fail("Время перехода TAU1 не должно быть равно 0");
    if (g.TAU2 == 0) fail("Время перехода TAU2 не должно быть равно 0");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA > 0)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(g.BETA) + ")");
    if (!(g.GAMA > -1)) fail("Параметр GAMA должен быть больше -1 (GAMA = " + CStr(g.GAMA) + ")");
    if (!(g.TETA > 0)) fail("Параметр TETA должен быть больше 0 (TETA = " + CStr(g.TETA) + ")");
    if (!std::isfinite(g.OMEG)) fail("Недопустимое значение OMEG");
}

using F = Sec511::Fields;
using K = Key<Store, F>;
// Block 1, the model; block 2, the initial data; blocks 7 and 8, the listing and the plot.
constexpr K kModel[] = {
    K{1},
    K{"NDIM", &Store::NDIM, &F::ndim}.shown("txtNdim", "Число уравнений системы,  NDIM ="),
    K{"ALFA", &Store::ALFA, &F::alfa}.shown("txtAlfa", " ALFA ="),
    K{"BETA", &Store::BETA, &F::beta}.shown("txtBeta", " BETA ="),
    K{"GAMA", &Store::GAMA, &F::gama}.shown("txtGama", " GAMA ="),
    K{"TAU1", &Store::TAU1, &F::tau1}.shown("txtTau1", " TAU1 ="),
    K{"TAU2", &Store::TAU2, &F::tau2}.shown("txtTau2", "TAU2 ="),
    K{"TETA", &Store::TETA, &F::teta}.shown("txtTeta", " TETA ="),
    K{"OMEG", &Store::OMEG, &F::omeg}.shown("txtOmeg", " OMEG =")};
constexpr K kStart[] = {
    K{2}, K{"IND", "Ind", &Store::IND, &F::ind}.shown("txtIND", "IND ="),
    K{"X_1", &Store::X_1, &F::x1}.shown("txtX_1", "\"Возмущение\" компоненты  X(1),  X_1 ="),
    K{"X_Ndim", &Store::X_Ndim, &F::xndim}.shown("txtX_Ndim",
                                                 "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =")};
constexpr K kTail[] = {K{7},
                       K{"NSS", &Store::NSS, &F::nss}.shown("txtNss", "- стационарное решение,  NSS ="),
                       K{"NSC", &Store::NSC, &F::nsc}.shown("txtNsc", "- решение задачи Коши,   NSC ="),
                       K{8},
                       K{"SCLX", &Store::SCLX, &F::sclx}.shown("txtSclx", "SCLX ="),
                       K{"SCRX", &Store::SCRX, &F::scrx}.shown("txtScrx", "SCRX ="),
                       K{"SCLW", &Store::SCLW, &F::sclw}.shown("txtSclw", "SCLW ="),
                       K{"SCRW", &Store::SCRW, &F::scrw}.shown("txtScrw", "SCRW ="),
                       K{"SCLT", &Store::SCLT, &F::sclt}.shown("txtSclt", "SCLT =")};
constexpr KeyTable tModel{kModel};
constexpr KeyTable tStart{kStart};
constexpr KeyTable tTail{kTail};

}  // namespace

// ---------------------------------------------------------------- safeguarded Newton

NewtonRoot safeNewton(const NewtonFn& fn, double x0, double lo, double hi, double tol, int cap) {
    NewtonRoot res;
    double x = x0, gx = 0, dx = 0;
    auto eval = [&](double at, double& gv, double& dv) {
        fn(at, gv, dv);
        if (!std::isfinite(gv))
            throw VeltaError(
                "Метод Ньютона для стационарного решения: нечисловое значение "
                "функции в точке x = " +
                CStr(at));
    };
    // g < 0 left of the root, g > 0 right of it: a point inside the bracket narrows it.
    auto narrow = [&](double at, double gv) {
        if (at > lo && at < hi) {
            if (gv < 0) lo = at;
            else if (gv > 0) hi = at;
        }
    };
    if (!std::isfinite(x0) || !(lo <= hi))
        throw VeltaError(
            "Метод Ньютона для стационарного решения: недопустимое начальное "
            "приближение x = " +
            CStr(x0));
    eval(x, gx, dx);
    narrow(x, gx);
    for (int it = 1; it <= cap; ++it) {
        res.iterations = it;
        res.base = x;
        const double step = -gx / dx;
        const double xn = x + step;
        if (std::isfinite(xn) && xn >= lo && xn <= hi) {
            if (std::fabs(step) < tol) {
                res.x = xn;
                return res;
            }
            double gn = 0, dn = 0;
            eval(xn, gn, dn);
            narrow(xn, gn);
            if (std::fabs(gn) < std::fabs(gx)) {
                x = xn;
                gx = gn;
                dx = dn;
                continue;
            }
        }
        // Newton left the bracket or did not reduce |g|: halve the bracket instead.
        ++res.bisections;
        const double xm = 0.5 * (lo + hi);
        const double moved = xm - x;
        x = xm;
        eval(x, gx, dx);
        narrow(x, gx);
        if (std::fabs(moved) < tol) {
            res.x = x;
            return res;
        }
    }
    throw VeltaError("Метод Ньютона для стационарного решения не сошёлся за " + CStr(cap) + " итераций");
}

// ---------------------------------------------------------------- data file

void Sec511::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) {
        // 1. model
        tModel.read(r, g);
        if (g.NDIM < 1) fail("Число уравнений NDIM должно быть не меньше 4 (NDIM = " + CStr(g.NDIM) + ")");
        const int n = g.NDIM;
        allocVectors(sectionVectors(g), n);

        // 2. initial data
        tStart.read(r, g);

        readRunBlocks(r, 3);    // 3..5
        readPlotList(r, 6, n);  // 6. plotted components (IC has the slots 1..13)

        // 7, 8
        tTail.read(r, g);
    });

    // Initial state: the perturbed zero or the perturbed stationary solution. When the
    // stationary solution cannot be found the file still opens (so that it can be mended),
    // the start stays zero and the computation refuses to run until it is found.
    const int n = g.NDIM;
    if (g.IND != 0) {
        g.X1.fill(0);
        g.X1(1) = g.X_1;
        return;
    }
    if (!stationOrWarn(c, Station)) return;
    for (int i = 1; i <= n; ++i) g.X1(i) = g.XS(i);
    g.X1(n) = g.XS(n) + g.X_Ndim;
}

const KeyTable<Store, Sec511::Fields>& Sec511::modelKeys() { return tModel; }
const KeyTable<Store, Sec511::Fields>& Sec511::startKeys() { return tStart; }
const KeyTable<Store, Sec511::Fields>& Sec511::tailKeys() { return tTail; }

Sec511::Fields Sec511::fieldsFromStore(const Store& g) {
    Fields f;
    tModel.fill(g, f);
    tStart.fill(g, f);
    fillRunFields(g, f);
    f.i1g = joinInts(g.IC, g.NCOMP);
    tTail.fill(g, f);
    return f;
}

void Sec511::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tModel.write(g, o, f);
    tStart.write(g, o, f);
    writeRunBlocks(g, o, 3, f, KeyStyle::Mixed);
    writePlotList(g, o, 6, f.i1g);
    tTail.write(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- model

Sec511::Rates Sec511::rates(const Store& g) {
    Rates r;
    r.a = (g.NDIM - 1) / g.TAU1;
    r.b = (g.NDIM - 1) / g.TAU2;
    r.c1 = r.a + g.OMEG;
    r.c2 = r.c1 + r.b;
    return r;
}

void Sec511::Vych_PCH(Store& g, const Rates& r) {
    const int n = g.NDIM;
    if (n < 3) fail("Число уравнений NDIM должно быть не меньше 3 (NDIM = " + CStr(g.NDIM) + ")");
    if (g.XV.upper() < n || g.FV.upper() < n || g.DV.upper() < n) fail(kNotRead);
    rhs(n, g.ALFA, g.BETA, g.GAMA, g.TETA, r, g.XV.data(), g.FV.data(), g.DV.data());
}

// With r = TAU1/TAU2 and s = c1/a the chain gives every component as a multiple of
// X(NDIM-1); the first equation then leaves x (1 + BETA x^GAMA) = Q for x = X(NDIM).
void Sec511::Station(Store& g) {
    checkStationLimits(g);
    const int n = g.NDIM;
    if (g.XS.upper() < n) fail(kNotRead);
    const double r = g.TAU1 / g.TAU2;
    const double s = g.OMEG * g.TAU1 / (n - 1) + 1;
    double u0 = 1, u1 = r + s, zzz = 0;
    for (int k = 1; k <= n - 3; ++k) {
        const double un = (u1 - u0) * r + u1 * s;
        zzz = un * s - r * u1;
        u0 = u1;
        u1 = un;
    }
    if (!(zzz > 0))
        fail(" ZZZ < 0, STOP\nСтационарное решение при этих параметрах не существует (ZZZ = " + CStr(zzz) +
             ")");
    const double q = g.ALFA / (zzz * g.TETA);
    const double beta = g.BETA, gama = g.GAMA;
    const double x0 = std::pow(q / beta, 1 / (gama + 1));
    const NewtonRoot root = safeNewton(
        [&](double x, double& gv, double& gp) {
            const double xg = std::pow(x, gama);
            gv = (beta * xg + 1) * x - q;
            gp = xg * (gama + 1) * beta + 1;
        },
        x0, 0, std::max(x0, q), kNewtonTol, kNewtonCap);

    g.XS(n) = root.x;
    g.XS(n - 1) = g.TETA * g.TAU1 * g.XS(n) / (n - 1);
    g.XS(n - 2) = (r + s) * g.XS(n - 1);
    for (int i = n - 3; i >= 1; --i) g.XS(i) = (r + s) * g.XS(i + 1) - r * g.XS(i + 2);
}

// Kept out of line: the series is vectorised here, and the integrator calling the corrector
// keeps its registers across the call.
[[gnu::noinline]] void Sec511::phiFunctions(double z, double ph[7]) { psiInto(z, ph); }

// x(h) = e^(int D) (x + int e^(-int D) F): with D linear, e^(-int D) = e^(-z s) e^(q s^2),
// z = h D1, q = -(h/2)(D2 - D1), and e^(q s^2) ~ 1 + q s^2 + q^2 s^4 / 2.
Sec511::Weights Sec511::corrector(double h, double d1, double d2) {
    double ph[7];
    const double z = h * d1;
    const double q = -(h / 2) * (d2 - d1);
    phiFunctions(z, ph);
    Weights w;
    w.E = std::exp(h * (d1 + d2) / 2);
    w.A = (ph[1] - ph[2]) + q * (ph[3] - ph[4]) + (q * q / 2) * (ph[5] - ph[6]);
    w.B = ph[2] + q * ph[4] + (q * q / 2) * ph[6];
    return w;
}

void Sec511::checkLimits(Store& g) {
    if (g.NDIM < 4) fail("Число уравнений NDIM должно быть не меньше 4 (NDIM = " + CStr(g.NDIM) + ")");
    needVectors(sectionVectors(g), g.NDIM);
    checkStationLimits(g);
    checkStep(g);
    // |HHH * D| must leave the exponential weights of the corrector finite.
    const Rates r = rates(g);
    checkStepForRates(g, std::max({std::fabs(r.c1), std::fabs(r.c2), std::fabs(g.TETA)}),
                      "скоростей переноса");
    if (g.NSS < 1)
        fail("Шаг выдачи стационарного решения NSS должен быть не меньше 1 (NSS = " + CStr(g.NSS) + ")");
    checkTableDensity(g);
    checkPlotList(g, 12);
}

// ---------------------------------------------------------------- results and canvas

void Sec511::Rezults(Store& g, TextWriter& out, i32 j, double t, std::string& listing) {
    const int n = g.NDIM;
    if (j == 1) {
        out.line("");
        out.line("NDIM = " + Format(g.NDIM, "####"));
        out.line("ALFA = " + fmt5(g.ALFA));
        out.line("BETA = " + fmt5(g.BETA));
        out.line("GAMA = " + fmt5(g.GAMA));
        out.line("TAU1 = " + fmt5(g.TAU1));
        out.line("TAU2 = " + fmt5(g.TAU2));
        out.line("TETA = " + fmt5(g.TETA));
        out.line("OMEG = " + fmt5(g.OMEG));
        out.line("TMAX = " + fmt5(g.TMAX));
        // The listing of every NSS-th component, and the last one when it falls between.
        Station(g);
        listing.clear();
        for (int i = 1; i <= n; i += g.NSS) listing += Format(i, "0000") + "   " + fmt5(g.XS(i)) + "\n";
        if ((n - 1) % g.NSS != 0) listing += Format(n, "0000") + "   " + fmt5(g.XS(n));
        out.line("");
        out.line("  Решение задачи Коши ");
        writeColumnHead(out, n);
        g.NROW = 0;
    }
    if (tableStep(g, j)) writeTableRow(g, out, j, t, "000000");
}

// The listing is printed as one text: its line breaks become line ends, and the print
// ends the last line (so a listing that ends with a break leaves an empty line).
void Sec511::writeListing(TextWriter& out, const std::string& listing) {
    out.line("");
    out.line("Стационарное решение:");
    out.line("    I    xS(I)       ");
    out.line("  --+----+--------------");
    std::size_t from = 0;
    for (;;) {
        const std::size_t br = listing.find('\n', from);
        if (br == std::string::npos) {
            out.line(listing.substr(from));
            break;
        }
        out.line(listing.substr(from, br - from));
        from = br + 1;
    }
}

// ---------------------------------------------------------------- integration

namespace {

// The chain in the autonomous scheme: dX/dt = FV + DV X through XV, FV and DV into F1, D1
// and F2, D2; the exponential corrector for a varying D; the scales as read, the phase
// plane for any LGRAPH other than 1, no portions; the stationary listing at the end.
struct Chain511 {
    static constexpr AutonomousPlan plan{511,   2,     "Results.sy1", nullptr,
                                         false, false, false,         StepCount::Round};
    explicit Chain511(Store& store) : g(store) {}
    Store& g;
    Sec511::Rates rt;
    int n = 0;
    std::size_t bytes = 0;
    double alfa = 0, beta = 0, gama = 0, teta = 0, h = 0;
    double *f1 = nullptr, *f2 = nullptr, *d1 = nullptr, *d2 = nullptr;
    double *xv = nullptr, *fv = nullptr, *dv = nullptr;
    std::string listing;
    // The weights depend on (D1, D2) only; neighbouring compartments mostly share them.
    double lastD1 = std::nan(""), lastD2 = std::nan("");
    Sec511::Weights w;

    void check() {
        Sec511::checkLimits(g);
        Sec511::Station(g);  // refuses a chain without a stationary solution before anything is drawn
    }
    void prepare() { rt = Sec511::rates(g); }
    void bind() {
        n = g.NDIM;
        bytes = sizeof(double) * static_cast<std::size_t>(n);
        alfa = g.ALFA;
        beta = g.BETA;
        gama = g.GAMA;
        teta = g.TETA;
        h = g.HHH;
        f1 = g.F1.data();
        f2 = g.F2.data();
        d1 = g.D1.data();
        d2 = g.D2.data();
        xv = g.XV.data();
        fv = g.FV.data();
        dv = g.DV.data();
    }
    void eval(const double* x, double* f, double* d) {
        std::memcpy(xv + 1, x + 1, bytes);
        rhs(n, alfa, beta, gama, teta, rt, xv, fv, dv);
        std::memcpy(f + 1, fv + 1, bytes);
        std::memcpy(d + 1, dv + 1, bytes);
    }
    void eval1(const double* x) { eval(x, f1, d1); }
    void eval2(const double* x) { eval(x, f2, d2); }
    double slope(int i, const double* x) const { return d1[i] * x[i] + f1[i]; }
    void correct(const double* x1, double* xnew, int m) {
        const double hh = h;
        for (int i = 1; i <= m; ++i) {
            if (!(d1[i] == lastD1 && d2[i] == lastD2)) {
                w = Sec511::corrector(hh, d1[i], d2[i]);
                lastD1 = d1[i];
                lastD2 = d2[i];
            }
            xnew[i] = w.E * (x1[i] + hh * (w.A * f1[i] + w.B * f2[i]));
        }
    }
    void rows(TextWriter& out, i32 j, double t) { Sec511::Rezults(g, out, j, t, listing); }
    void finish(TextWriter& out) { Sec511::writeListing(out, listing); }
    void afterRun() {}
};

}  // namespace

void Sec511::Integr1(Ctx& c) {
    Chain511 s{c.store};
    AutonomousIntegr(c, s);
}

}  // namespace velta
