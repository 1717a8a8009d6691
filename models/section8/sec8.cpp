// Section 8: reading and writing the ".gsed" data file, the production terms of the four
// model classes, the symmetric stationary solution, the integrator with the varying-rate
// exponential corrector, and its results table "\User\Results.gse".
#include "models/section8/sec8.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "models/autonomous.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace velta {

Vec Sec8::LAM1;
Vec Sec8::LAM2;

namespace {

// F(XV) into FV and lambda = -XV into lam. Element i is regulated by the a = KMOD - 1
// elements before it around the cycle: c = NDIM - a + i, c + 1, ..., each reduced by NDIM
// once it exceeds NDIM. XG(k) = XV(k)^GAMA for every k.
void rhs(int mclass, int n, int kmod, double alfa, double beta, const Power& pw, const double* xv, double* xg,
         double* fv, double* lam) {
    const int a = kmod - 1;
    for (int k = 1; k <= n; ++k) xg[k] = pw(xv[k]);
    auto first = [&](int i) {
        int k = n - a + i;
        return k > n ? k - n : k;
    };
    switch (mclass) {
    case 1:  // ALFA X(i) / (1 + BETA sum XG(k))
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int j = 0, k = first(i); j < a; ++j) {
                s += xg[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa * xv[i] / (1 + beta * s);
        }
        break;
    case 2:  // ALFA X(i) / prod (1 + BETA XG(k))
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int j = 0, k = first(i); j < a; ++j) {
                p *= 1 + beta * xg[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa * xv[i] / p;
        }
        break;
    case 3:  // ALFA X(i) / (1 + BETA prod XG(k))
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int j = 0, k = first(i); j < a; ++j) {
                p *= xg[k];
                if (++k > n) k = 1;
            }
            fv[i] = alfa * xv[i] / (1 + beta * p);
        }
        break;
    case 4:  // ALFA X(i) sum 1 / (1 + BETA XG(k))
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int j = 0, k = first(i); j < a; ++j) {
                s += 1 / (1 + beta * xg[k]);
                if (++k > n) k = 1;
            }
            fv[i] = alfa * xv[i] * s;
        }
        break;
    default:  // another class leaves FV as it was
        break;
    }
    for (int i = 1; i <= n; ++i) lam[i] = -xv[i];
}

// G(Z) = 0: the stationary equation F(i) = X(i)^2 with every X(i) = Z, divided by Z
// (K = KMOD - 1, v = K*GAMA for class 3).
struct StatEq {
    int mclass;
    double K, A, B, ga;
    void eval(double z, double& G, double& Gp) const {
        switch (mclass) {
        case 1: {
            const double zg = std::pow(z, ga);
            G = (B * K * zg + 1) * z - A;
            Gp = B * K * (ga + 1) * zg + 1;
            break;
        }
        case 2: {
            const double zg = std::pow(z, ga);
            G = std::pow(1 + B * zg, K) * z - A;
            Gp = std::pow(1 + B * zg, K - 1) * (B * (K * ga + 1) * zg + 1);
            break;
        }
        case 3: {
            const double v = K * ga;
            const double zv = std::pow(z, v);
            G = (B * zv + 1) * z - A;
            Gp = B * (v + 1) * zv + 1;
            break;
        }
        default: {
            const double zg = std::pow(z, ga);
            G = (B * zg + 1) * z / K - A;
            Gp = (B * (ga + 1) * zg + 1) / K;
            break;
        }
        }
    }
    double start() const {
        switch (mclass) {
        case 1: return std::pow(A / B / K, 1 / (ga + 1));
        case 2: return std::pow(A / B, 1 / K / (ga + 1));
        case 3: return std::pow(A / B, 1 / (K * ga + 1));
        default: return std::pow(K * A / B, 1 / (ga + 1));
        }
    }
};

[[noreturn]] void newtonFailed(int it) {
    throw VeltaError(
        "Метод Ньютона для стационарного решения дал нечисловое значение "
        "(итерация " +
        CStr(it) + ")");
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec8::InputPar(Ctx& c) { readParFile(c.store, c.paths, dataPath, readSymmetricData); }

Sec8::Fields Sec8::fieldsFromStore(const Store& g) { return symmetricFieldsFromStore(g); }

void Sec8::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    writeSymmetricData(g, *w, f);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec8::Vych_PCH(Store& g, Vec& rate) {
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n) throw VeltaError(kNotRead);
    if (g.KMOD < 1 || g.KMOD > n + 1)
        throw VeltaError("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) +
                         ", NDIM = " + CStr(g.NDIM) + ")");
    if (rate.upper() < n) rate.alloc(n);
    rhs(g.MCLASS, n, g.KMOD, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(), g.FV.data(),
        rate.data());
}

std::array<double, 7> Sec8::Psi(double z) {
    std::array<double, 7> p{};
    psiInto(z, p.data());
    return p;
}

// Newton's method as the model gives it, Z <- Z - G/G' from Z0 until the correction is
// below 1E-4. Empty when it fails: a non-finite value, a step out of [0, hi], a point met
// before (a cycle), or no convergence within the cap.
static std::optional<double> plainStat(const StatEq& eq, double z, double hi) {
    std::vector<double> seen;
    for (int it = 1; it <= kNewtonCap; ++it) {
        double G = 0, Gp = 0;
        eq.eval(z, G, Gp);
        const double dz = -G / Gp;
        const double zn = z + dz;
        if (!std::isfinite(G) || !std::isfinite(Gp) || !std::isfinite(zn) || zn < 0 || zn > hi)
            return std::nullopt;
        if (std::fabs(dz) < kNewtonTol) return zn;
        if (std::find(seen.begin(), seen.end(), zn) != seen.end()) return std::nullopt;
        seen.push_back(z);
        z = zn;
    }
    return std::nullopt;
}

// Plain Newton comes first; only when it fails is it safeguarded. A bracket [0, ALFA]
// (class 4: [0, K*ALFA]) holds the root: G(0) = -ALFA < 0 and G >= 0 at the right end. A
// Newton step that leaves the bracket or does not shrink |G| is replaced by a bisection of
// the bracket; without a bracket (GAMA < 0) plain Newton runs, capped.
void Sec8::Station(Store& g) {
    if (g.MCLASS < 1 || g.MCLASS > 4) return;  // STAT keeps its value
    const StatEq eq{g.MCLASS, static_cast<double>(g.KMOD - 1), g.ALFA, g.BETA, g.GAMA};
    if (g.MCLASS == 4 && eq.K == 0) {
        // No regulators, so no production: dX/dt = -X^2 rests only at 0.
        g.STAT = 0;
        return;
    }

    double lo = 0, hi = g.MCLASS == 4 ? eq.K * eq.A : eq.A;
    double Glo, Ghi, d;
    eq.eval(lo, Glo, d);
    eq.eval(hi, Ghi, d);
    // G may overflow to +infinity at the right end: its sign is all the bracket needs.
    const bool bracket = std::isfinite(Glo) && Glo < 0 && Ghi >= 0;
    if (bracket && Ghi == 0) {
        g.STAT = hi;
        return;
    }

    double z = eq.start();
    if (std::isfinite(z) && z > 0) {
        const double most = bracket ? hi : std::numeric_limits<double>::infinity();
        if (const std::optional<double> plain = plainStat(eq, z, most)) {
            g.STAT = *plain;
            return;
        }
    }
    if (!std::isfinite(z) || z <= 0) {
        // KMOD = 1 or BETA = 0 leave the start undefined; the bracket's right end serves.
        if (!bracket)
            throw VeltaError(
                "Начальное приближение стационарного решения не определено "
                "(ALFA = " +
                CStr(g.ALFA) + ", BETA = " + CStr(g.BETA) + ", KMOD = " + CStr(g.KMOD) + ")");
        z = hi;
    }
    double G, Gp;
    eq.eval(z, G, Gp);
    if (!std::isfinite(G) || !std::isfinite(Gp)) {
        if (!bracket) newtonFailed(1);
        z = 0.5 * (lo + hi);
        eq.eval(z, G, Gp);
    }

    for (int it = 1; it <= kNewtonCap; ++it) {
        if (bracket) {
            if (G < 0 && z > lo) lo = z;
            if (G > 0 && z < hi) hi = z;
        }
        const double dz = -G / Gp;
        const double zn = z + dz;
        double Gn = NAN, Gpn = NAN;
        const bool inside = !bracket || (zn >= lo && zn <= hi);
        if (std::isfinite(zn) && inside) eq.eval(zn, Gn, Gpn);
        const bool converging = std::isfinite(Gn) && std::isfinite(Gpn) &&
                                (std::fabs(Gn) < std::fabs(G) || std::fabs(dz) < kNewtonTol);
        if (converging || !bracket) {
            if (!std::isfinite(zn) || !std::isfinite(Gn) || !std::isfinite(Gpn)) newtonFailed(it);
            z = zn;
            G = Gn;
            Gp = Gpn;
            if (std::fabs(dz) < kNewtonTol) {
                g.STAT = z;
                return;
            }
        } else {
            z = 0.5 * (lo + hi);
            eq.eval(z, G, Gp);
            if (std::isnan(G)) newtonFailed(it);
            if (0.5 * (hi - lo) < kNewtonTol) {
                g.STAT = z;
                return;
            }
        }
    }
    throw VeltaError("Метод Ньютона для стационарного решения не сошёлся за " + CStr(kNewtonCap) +
                     " итераций");
}

void Sec8::checkLimits(Store& g) {
    checkNdim(g);
    needVectors(autonomousVectors(g), g.NDIM);
    checkClass(g);
    if (g.KMOD < 1 || g.KMOD > g.NDIM + 1)
        fail("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) + ", NDIM = " + CStr(g.NDIM) +
             ")");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA >= 0)) fail("Параметр BETA не должен быть отрицательным (BETA = " + CStr(g.BETA) + ")");
    checkNetworkRun(g);
    // A negative concentration has no fractional power.
    if (g.GAMA != std::floor(g.GAMA))
        for (int i = 1; i <= g.NDIM; ++i)
            if (g.X1(i) < 0)
                fail("При нецелом GAMA концентрации не могут быть отрицательными (X(" + CStr(i) +
                     ") = " + CStr(g.X1(i)) + ", GAMA = " + CStr(g.GAMA) + ")");
}

// ---------------------------------------------------------------- results and canvas

void Sec8::Rezults(Store& g, TextWriter& out, i32 j, double t) { writeSymmetricResults(g, out, j, t); }

// ---------------------------------------------------------------- integration

namespace {

// The ecological ring in the autonomous scheme: dX/dt = F + lambda X with lambda = -X,
// F and lambda through XV and FV into F1, LAM1 and F2, LAM2; the varying-rate exponential
// corrector; LSTEP off after the run.
struct Eco8 {
    static constexpr AutonomousPlan plan{8,    0,    "Results.gse", "   Симметричные ГГС",
                                         true, true, true,          StepCount::Round};
    Store& g;  // the store of the run
    int n = 0, mclass = 0, kmod = 0;
    std::size_t bytes = 0;
    double alfa = 0, beta = 0, h = 0;
    Power pw{0};
    double *f1 = nullptr, *f2 = nullptr, *lam1 = nullptr, *lam2 = nullptr;
    double *xv = nullptr, *fv = nullptr, *xg = nullptr;

    void check() { Sec8::checkLimits(g); }
    void prepare() { Sec8::Station(g); }
    void bind() {
        n = g.NDIM;
        bytes = sizeof(double) * static_cast<std::size_t>(n);
        Sec8::LAM1.alloc(n);
        Sec8::LAM2.alloc(n);
        mclass = g.MCLASS;
        kmod = g.KMOD;
        alfa = g.ALFA;
        beta = g.BETA;
        h = g.HHH;
        pw = Power(g.GAMA);
        f1 = g.F1.data();
        f2 = g.F2.data();
        lam1 = Sec8::LAM1.data();
        lam2 = Sec8::LAM2.data();
        xv = g.XV.data();
        fv = g.FV.data();
        xg = g.XG.data();
    }
    void eval(const double* x, double* f, double* lam) {
        std::memcpy(xv + 1, x + 1, bytes);
        rhs(mclass, n, kmod, alfa, beta, pw, xv, xg, fv, lam);
        std::memcpy(f + 1, fv + 1, bytes);
    }
    void eval1(const double* x) { eval(x, f1, lam1); }
    void eval2(const double* x) { eval(x, f2, lam2); }
    double slope(int i, const double* x) const { return f1[i] + lam1[i] * x[i]; }
    // Corrector for dX/dt = F + lambda X, F linear from F1 to F2 and lambda from LAM1 to
    // LAM2: the exponential of the mean rate taken out, the rest to second order in
    // delta = -(HHH/2)(LAM2 - LAM1), with the weights psi_k(HHH LAM1).
    void correct(const double* x1, double* xnew, int m) const {
        const double hh = h;
        double p[7];
        for (int i = 1; i <= m; ++i) {
            const double z = hh * lam1[i];
            const double delta = -(hh / 2) * (lam2[i] - lam1[i]);
            psiInto(z, p);
            const double c1 = (p[1] - p[2]) + (p[3] - p[4]) * delta + (p[5] - p[6]) * delta * delta / 2;
            const double c2 = p[2] + p[4] * delta + p[6] * delta * delta / 2;
            xnew[i] = std::exp(hh * (lam1[i] + lam2[i]) / 2) * (x1[i] + hh * (c1 * f1[i] + c2 * f2[i]));
        }
    }
    void rows(TextWriter& out, i32 j, double t) { Sec8::Rezults(g, out, j, t); }
    void finish(TextWriter&) {}
    // A portioned run is one run, as in section 1.1.
    void afterRun() { g.LSTEP = 0; }
};

}  // namespace

void Sec8::Integr1(Ctx& c) {
    Eco8 s{c.store};
    AutonomousIntegr(c, s);
}

}  // namespace velta
