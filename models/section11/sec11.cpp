// Section 1.1: reading and writing the ".mnkd" data file, the right-hand sides of the
// four model classes, the stationary symmetric solution, the integrator and its results
// table "\User\Results.mnk".
#include "models/section11/sec11.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "models/autonomous.h"

#include <cmath>

namespace velta {

namespace {

// F(XV) into FV for NDIM elements, each regulated by its KMOD - 1 cyclic predecessors
// k_1 = d, k_2 = d + 1, ... (wrapped once into 1..NDIM), d = i + NDIM - KMOD + 1.
// Sums and products are accumulated in the order k_1, k_2, ...
void rhs(int mclass, int n, int kmod, double alfa, double beta, const Power& pw, const double* xv, double* xg,
         double* fv) {
    const int m = kmod - 1;
    if (mclass == 1 || mclass == 2 || mclass == 4) pw.all(xv, xg, n);
    switch (mclass) {
    case 1:  // ALFA / (1 + BETA * sum X(k)^GAMA)
        for (int i = 1; i <= n; ++i) {
            int k = i + n - kmod + 1;
            if (k > n) k -= n;
            double s = 0;
            for (int j = 0; j < m; ++j) {
                s += xg[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa / (1 + beta * s);
        }
        break;
    case 2:  // ALFA / prod (1 + BETA * X(k)^GAMA)
        for (int i = 1; i <= n; ++i) {
            int k = i + n - kmod + 1;
            if (k > n) k -= n;
            double p = 1;
            for (int j = 0; j < m; ++j) {
                p *= 1 + beta * xg[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa / p;
        }
        break;
    case 3:  // ALFA / (1 + BETA * (prod X(k))^GAMA)
        for (int i = 1; i <= n; ++i) {
            int k = i + n - kmod + 1;
            if (k > n) k -= n;
            double p = 1;
            for (int j = 0; j < m; ++j) {
                p *= xv[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa / (1 + beta * pw(p));
        }
        break;
    case 4:  // ALFA * sum 1 / (1 + BETA * X(k)^GAMA)
        for (int i = 1; i <= n; ++i) {
            int k = i + n - kmod + 1;
            if (k > n) k -= n;
            double s = 0;
            for (int j = 0; j < m; ++j) {
                s += 1 / (1 + beta * xg[k]);
                if (++k > n) k = 1;
            }
            fv[i] = alfa * s;
        }
        break;
    default:  // another class leaves FV as it was
        break;
    }
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec11::InputPar(Ctx& c) { readParFile(c.store, c.paths, dataPath, readSymmetricData); }

Sec11::Fields Sec11::fieldsFromStore(const Store& g) { return symmetricFieldsFromStore(g); }

void Sec11::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    writeSymmetricData(g, *w, f);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec11::Vych_PCH(Store& g) {
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n) throw VeltaError(kNotRead);
    if (g.KMOD < 1 || g.KMOD > n + 1)
        throw VeltaError("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) +
                         ", NDIM = " + CStr(g.NDIM) + ")");
    rhs(g.MCLASS, n, g.KMOD, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(), g.FV.data());
}

// Newton's method on G(S) = 0, the model with every component equal to S (m = KMOD - 1).
void Sec11::Station(Store& g) {
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA;
    const double m = g.KMOD - 1;
    double s;
    switch (g.MCLASS) {
    case 1: s = std::pow(a / b / m, 1 / (ga + 1)); break;
    case 2: s = std::pow(a / b, 1 / (m * (ga + 1))); break;
    case 3: s = std::pow(a / b, 1 / (m * ga + 1)); break;
    case 4: s = std::pow(m * a / b, 1 / (ga + 1)); break;
    default: return;  // STAT keeps its value
    }
    for (int it = 1;; ++it) {
        double G, Gp;
        switch (g.MCLASS) {
        case 1: {
            const double sg = std::pow(s, ga);
            G = (1 + m * b * sg) * s - a;
            Gp = 1 + m * b * (ga + 1) * sg;
            break;
        }
        case 2: {
            const double sg = std::pow(s, ga);
            G = std::pow(1 + b * sg, m) * s - a;
            Gp = std::pow(1 + b * sg, m - 1) * (1 + b * (m * ga + 1) * sg);
            break;
        }
        case 3: {
            const double v = m * ga;
            const double sv = std::pow(s, v);
            G = (1 + b * sv) * s - a;
            Gp = 1 + b * (v + 1) * sv;
            break;
        }
        default: {
            const double sg = std::pow(s, ga);
            G = (1 + b * sg) * s / m - a;
            Gp = (1 + b * (ga + 1) * sg) / m;
            break;
        }
        }
        const double ds = G / Gp;
        s = s - ds;
        if (!std::isfinite(s))
            throw VeltaError(
                "Метод Ньютона для стационарного решения дал нечисловое значение "
                "(итерация " +
                CStr(it) + ")");
        if (std::fabs(ds) < kNewtonTol) break;
        if (it >= kNewtonCap)
            throw VeltaError("Метод Ньютона для стационарного решения не сошёлся за " + CStr(kNewtonCap) +
                             " итераций");
    }
    g.STAT = s;
}

void Sec11::checkLimits(Store& g) {
    checkNdim(g);
    needVectors(autonomousVectors(g), g.NDIM);
    checkClass(g);
    const int kmin = g.MCLASS == 3 ? 1 : 2;
    if (g.KMOD < kmin || g.KMOD > g.NDIM + 1)
        fail("Для класса " + CStr(g.MCLASS) + " число KMOD должно быть от " + CStr(kmin) +
             " до NDIM + 1 (KMOD = " + CStr(g.KMOD) + ", NDIM = " + CStr(g.NDIM) + ")");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA > 0)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(g.BETA) + ")");
    checkStep(g);
    checkTableDensity(g);
    checkPortions(g);
    // A list shorter than NK (never read) is left to the reading.
    if (g.INK.upper() >= g.NK) checkInitialList(g);
    checkPlotList(g, 13);
}

// ---------------------------------------------------------------- results and canvas

void Sec11::Rezults(Store& g, TextWriter& out, i32 j, double t) { writeSymmetricResults(g, out, j, t); }

// ---------------------------------------------------------------- integration

namespace {

// The ring in the autonomous scheme: F evaluated straight into F1 and F2 (XV and FV are
// Vych_PCH's own), the unit decay step, LSTEP off after the run.
struct Ring11 {
    static constexpr AutonomousPlan plan{11,   0,    "Results.mnk", "   Симметричные ГГС",
                                         true, true, true,          StepCount::Round};
    Store& g;  // the store of the run
    int n = 0, mclass = 0, kmod = 0;
    double alfa = 0, beta = 0, ehi = 0, ec1 = 0, ec2 = 0;
    Power pw{0};
    double *f1 = nullptr, *f2 = nullptr, *xg = nullptr;

    void check() { Sec11::checkLimits(g); }
    void prepare() {
        Sec11::Station(g);
        setExpWeights(g);
    }
    void bind() {
        n = g.NDIM;
        mclass = g.MCLASS;
        kmod = g.KMOD;
        alfa = g.ALFA;
        beta = g.BETA;
        pw = Power(g.GAMA);
        ehi = g.EHI;
        ec1 = g.EC1;
        ec2 = g.EC2;
        f1 = g.F1.data();
        f2 = g.F2.data();
        xg = g.XG.data();
    }
    void eval1(const double* x) { rhs(mclass, n, kmod, alfa, beta, pw, x, xg, f1); }
    void eval2(const double* x) { rhs(mclass, n, kmod, alfa, beta, pw, x, xg, f2); }
    double slope(int i, const double* x) const { return f1[i] - x[i]; }
    void correct(const double* x1, double* xnew, int m) const {
        unitDecayStep<SumOrder::ForcingFirst>(x1, f1, f2, xnew, m, ehi, ec1, ec2);
    }
    void rows(TextWriter& out, i32 j, double t) { Sec11::Rezults(g, out, j, t); }
    void finish(TextWriter&) {}
    // A portioned run is one run: the next one plots continuously unless the file is read
    // again.
    void afterRun() { g.LSTEP = 0; }
};

}  // namespace

void Sec11::Integr1(Ctx& c) {
    Ring11 s{c.store};
    AutonomousIntegr(c, s);
}

}  // namespace velta
