// Section 8: reading and writing the ".gsed" data file, the production terms of the four
// model classes, the symmetric stationary solution, the integrator with the varying-rate
// exponential corrector, and its results table "\User\Results.gse".
#include "models/section8/sec8.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/section21/sec21.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velta {

Vec Sec8::LAM1;
Vec Sec8::LAM2;

namespace {

constexpr int kNewtonCap = 1000;
constexpr double kNewtonTol = 0.0001;

std::string joinInts(const IVec& v, int n) {
    std::string s;
    for (int j = 1; j <= n; ++j) {
        if (j > 1) s += ',';
        s += CStr(v(j));
    }
    return s;
}

void allocVectors(int n) {
    auto& g = mdlGlobal;
    for (Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP, &g.XCROSS,
                   &g.FP, &g.XV, &g.FV})
        v->alloc(n);
}

bool vectorsReady(int n) {
    auto& g = mdlGlobal;
    for (const Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP,
                         &g.XCROSS, &g.FP, &g.XV, &g.FV})
        if (v->upper() < n) return false;
    return true;
}

const char* kNotRead = "Исходные данные не введены: выполните «Ввод исходных данных»";

// x^GAMA; GAMA = 2 as x*x, the value std::pow gives for that exponent.
struct Power {
    double gama;
    bool square;
    explicit Power(double g) : gama(g), square(g == 2.0) {}
    double operator()(double x) const { return square ? x * x : std::pow(x, gama); }
};

// F(XV) into FV and lambda = -XV into lam. Element i is regulated by the a = KMOD - 1
// elements before it around the cycle: c = NDIM - a + i, c + 1, ..., each reduced by NDIM
// once it exceeds NDIM. XG(k) = XV(k)^GAMA for every k.
void rhs(int mclass, int n, int kmod, double alfa, double beta, const Power& pw,
         const double* xv, double* xg, double* fv, double* lam) {
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

// psi_1..psi_6 into p[1..6]. For |z| > 0.1: psi_1 = (1 - e^-z)/z and
// psi_(k+1) = (k psi_k - e^-z)/z; near 0 the recurrence loses digits, so the series
// truncated after z^4 is used instead.
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
    throw VeltaError("Метод Ньютона для стационарного решения дал нечисловое значение "
                     "(итерация " + CStr(it) + ")");
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec8::InputPar(Ctx& c) {
    readParFile(c.paths, dataPath, [](ParReader& r) {
        auto& g = mdlGlobal;
        // 1. model
        r.Head_Input(1);
        r.Key_InputI("MClass", g.MCLASS);
        r.Key_InputI("NDIM", g.NDIM);
        r.Key_InputI("KMOD", g.KMOD);
        r.Key_InputR("ALFA", g.ALFA);
        r.Key_InputR("BETA", g.BETA);
        r.Key_InputR("GAMA", g.GAMA);
        if (g.NDIM < 1)
            throw VeltaError("Число элементов NDIM должно быть не меньше 1 (NDIM = " +
                             CStr(g.NDIM) + ")");
        const int n = g.NDIM;
        allocVectors(n);

        // 2. nonzero initial components and their values
        r.Head_Input(2);
        r.skipLine();
        const std::vector<i16> ink = r.readList(n);
        g.NK = static_cast<i16>(ink.size());
        g.INK.alloc(g.NK);
        for (int k = 1; k <= g.NK; ++k) {
            g.INK(k) = ink[static_cast<std::size_t>(k - 1)];
            r.echo("INK(" + CStr(k) + ") = " + CStr(g.INK(k)));
        }
        g.X1.fill(0);
        r.skipLine();
        for (int k = 1; k <= g.NK; ++k) {
            g.X1(g.INK(k)) = r.readNumber();
            r.echo("X1(INK(" + CStr(k) + ")) = " + CStr(g.X1(g.INK(k))));
        }
        // The writer leaves an empty value line behind an empty index list.
        if (g.NK == 0) r.skipEmptyValueLine();

        // 3. Poincaré plane: point Xo and normal N
        r.Head_Input(3);
        r.skipLine();
        for (int i = 1; i <= n; ++i) {
            g.XP(i) = r.readNumber();
            r.echo("XP(" + CStr(i) + ") = " + CStr(g.XP(i)));
        }
        r.skipLine();
        for (int i = 1; i <= n; ++i) {
            g.FP(i) = r.readNumber();
            r.echo("FP(" + CStr(i) + ") = " + CStr(g.FP(i)));
        }

        // 4..7
        r.Head_Input(4);
        r.Key_InputR("TMAX", g.TMAX);
        r.Key_InputR("HHH", g.HHH);
        r.Head_Input(5);
        r.Key_InputI("LSCREEN", g.LSCREEN);
        r.Key_InputR("TMIN", g.TMIN);
        r.Head_Input(6);
        r.Key_InputI("LGRAPH", g.LGRAPH);
        r.Head_Input(7);
        r.Key_InputI("LSTEP", g.LSTEP);

        // 8. plotted components (IC has 13 slots; more than 12 is refused before a run)
        r.Head_Input(8);
        r.skipLine();
        const std::vector<i16> ic = r.readList(std::min(n, 13));
        g.NCOMP = static_cast<i16>(ic.size());
        for (int k = 1; k <= g.NCOMP; ++k) {
            g.IC(k) = ic[static_cast<std::size_t>(k - 1)];
            r.echo("IC(" + CStr(k) + ") = " + CStr(g.IC(k)));
        }

        // 9, 10
        r.Head_Input(9);
        r.Key_InputI("NSC", g.NSC);
        r.Head_Input(10);
        r.Key_InputR("DLX", g.DLX);
        r.Key_InputR("DRX", g.DRX);
        r.Key_InputR("DLW", g.DLW);
        r.Key_InputR("DRW", g.DRW);
        r.Key_InputR("SCLT", g.SCLT);
    });
}

Sec8::Fields Sec8::fieldsFromStore() {
    const auto& g = mdlGlobal;
    Fields f;
    f.mclass = CStr(g.MCLASS);
    f.ndim = CStr(g.NDIM);
    f.kmod = CStr(g.KMOD);
    f.alfa = CStr(g.ALFA);
    f.beta = CStr(g.BETA);
    f.gama = CStr(g.GAMA);
    f.i1n = joinInts(g.INK, g.NK);
    for (int k = 1; k <= g.NK; ++k) {
        if (k > 1) f.xi1 += ',';
        f.xi1 += CStr(g.X1(g.INK(k)));
    }
    f.xp = vectorGrid(g.XP, g.NDIM, false);
    f.fp = vectorGrid(g.FP, g.NDIM, false);
    f.tmax = CStr(g.TMAX);
    f.hhh = CStr(g.HHH);
    f.lscreen = CStr(g.LSCREEN);
    f.tmin = CStr(g.TMIN);
    f.lgraph = CStr(g.LGRAPH);
    f.lstep = CStr(g.LSTEP);
    f.i1g = joinInts(g.IC, g.NCOMP);
    f.nsc = CStr(g.NSC);
    f.dlx = CStr(g.DLX);
    f.drx = CStr(g.DRX);
    f.dlw = CStr(g.DLW);
    f.drw = CStr(g.DRW);
    f.sclt = CStr(g.SCLT);
    return f;
}

void Sec8::Table_File(const std::string& path, const Fields& f) {
    auto w = TextWriter::create(path);
    TextWriter& o = *w;
    Head_File(o, 1);
    Key_File(o, "MCLASS", f.mclass);
    Key_File(o, "NDIM", f.ndim);
    Key_File(o, "KMOD", f.kmod);
    Key_File(o, "ALFA", f.alfa);
    Key_File(o, "BETA", f.beta);
    Key_File(o, "GAMA", f.gama);
    Head_File(o, 2);
    o.line("i1,...:");
    o.line(f.i1n);
    o.line("X(i1),...:");
    o.line(f.xi1);
    Head_File(o, 3);
    Vect_File(o, "XP(I):", f.xp);
    Vect_File(o, "FP(I):", f.fp);
    Head_File(o, 4);
    Key_File(o, "TMAX", f.tmax);
    Key_File(o, "HHH", f.hhh);
    Head_File(o, 5);
    Key_File(o, "LSCREEN", f.lscreen);
    Key_File(o, "TMIN", f.tmin);
    Head_File(o, 6);
    Key_File(o, "LGRAPH", f.lgraph);
    Head_File(o, 7);
    Key_File(o, "LSTEP", f.lstep);
    Head_File(o, 8);
    o.line("IC(I):");
    o.line(f.i1g);
    Head_File(o, 9);
    Key_File(o, "NSC", f.nsc);
    Head_File(o, 10);
    Key_File(o, "Dlx", f.dlx);
    Key_File(o, "Drx", f.drx);
    Key_File(o, "Dlw", f.dlw);
    Key_File(o, "Drw", f.drw);
    Key_File(o, "Sclt", f.sclt);
    o.flush();
}

// ---------------------------------------------------------------- model

void Sec8::Vych_PCH(Vec& rate) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n) throw VeltaError(kNotRead);
    if (g.KMOD < 1 || g.KMOD > n + 1)
        throw VeltaError("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) +
                         ", NDIM = " + CStr(g.NDIM) + ")");
    if (rate.upper() < n) rate.alloc(n);
    rhs(g.MCLASS, n, g.KMOD, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(),
        g.FV.data(), rate.data());
}

std::array<double, 7> Sec8::Psi(double z) {
    std::array<double, 7> p{};
    psiInto(z, p.data());
    return p;
}

// Newton's method as the model gives it, S <- S - G/G' until the correction is below 1E-4.
// A bracket [0, ALFA] (class 4: [0, K*ALFA]) holds the root: G(0) = -ALFA < 0 and G >= 0 at
// the right end. A Newton step that leaves the bracket or does not shrink |G| is replaced
// by a bisection of the bracket; without a bracket (GAMA < 0) plain Newton runs, capped.
void Sec8::Station() {
    auto& g = mdlGlobal;
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
    if (!std::isfinite(z) || z <= 0) {
        // KMOD = 1 or BETA = 0 leave the start undefined; the bracket's right end serves.
        if (!bracket)
            throw VeltaError("Начальное приближение стационарного решения не определено "
                             "(ALFA = " + CStr(g.ALFA) + ", BETA = " + CStr(g.BETA) +
                             ", KMOD = " + CStr(g.KMOD) + ")");
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

void Sec8::checkLimits() {
    const auto& g = mdlGlobal;
    auto fail = [](const std::string& s) { throw VeltaError(s); };
    if (g.NDIM < 1)
        fail("Число элементов NDIM должно быть не меньше 1 (NDIM = " + CStr(g.NDIM) + ")");
    if (!vectorsReady(g.NDIM)) fail(kNotRead);
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Номер класса MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    if (g.KMOD < 1 || g.KMOD > g.NDIM + 1)
        fail("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) +
             ", NDIM = " + CStr(g.NDIM) + ")");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA >= 0))
        fail("Параметр BETA не должен быть отрицательным (BETA = " + CStr(g.BETA) + ")");
    Sec21::checkRunLimits();
    // A negative concentration has no fractional power.
    if (g.GAMA != std::floor(g.GAMA))
        for (int i = 1; i <= g.NDIM; ++i)
            if (g.X1(i) < 0)
                fail("При нецелом GAMA концентрации не могут быть отрицательными (X(" + CStr(i) +
                     ") = " + CStr(g.X1(i)) + ", GAMA = " + CStr(g.GAMA) + ")");
}

// ---------------------------------------------------------------- results and canvas

void Sec8::Rezults(TextWriter& out, i32 j, double t) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    const std::string e = "0.00000E+00";
    if (j == 1) {
        out.line("");
        out.line("Mодель M" + CStr(g.MCLASS) + "(" + CStr(g.NDIM) + "," + CStr(g.KMOD) + ")");
        out.line("NDIM = " + Format(g.NDIM, "####"));
        out.line("KMOD = " + Format(g.KMOD, "####"));
        out.line("TMAX = " + Format(g.TMAX, e));
        out.line("ALFA = " + Format(g.ALFA, e));
        out.line("BETA = " + Format(g.BETA, e));
        out.line("GAMA = " + Format(g.GAMA, e));
        out.line("");
        out.line("Стационарное симметричное решение,");
        out.line("в котором все компоненты равны STAT:");
        out.line("STAT = " + Format(g.STAT, e));
        out.line("");
        out.line("                      Таблица");
        out.line("        зависимостей компонент вектора X от времени t");
        out.line("");
        std::string h = " No        t   ";
        for (int k = 1; k <= n; ++k) h += "         X(" + Format(k, "00") + ")";
        out.line(h);
        std::string d = "-----+-------------+";
        for (int k = 1; k <= n; ++k) d += "-------------+";
        out.line(d);
        g.NROW = 0;
    }
    if (j == 1 || (g.NSC > 0 && j % g.NSC == 0)) {
        std::string row;
        row.reserve(static_cast<std::size_t>(24 + 16 * n));
        row += Format(j, "00000");
        row += "   ";
        row += Format(t, e);
        row += "   ";
        const double* x = g.X1.data();
        for (int k = 1; k <= n; ++k) {
            row += Format(x[k], e);
            row += "   ";
        }
        out.line(row);
        ++g.NROW;
    }
}

void Sec8::DrawMesh1(Ctx& c) {
    const auto& g = mdlGlobal;
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", g.SCLT, g.TMAX, g.SCLX, g.SCRX);
    Nadpis(c, 8, "Phys", 0);
}

void Sec8::DrawMeshF1(Ctx& c) {
    const auto& g = mdlGlobal;
    const std::string title = g.LGRAPH == 2 ? "Графики компонент вектора X в фазовой плоскости"
                                            : "П Л О С К О С Т Ь   П У А Н К А Р Е";
    MeshMaskG(c, title, "X(i2)", "X(i1)", g.SCLX, g.SCRX, g.SCLX, g.SCRX);
    Nadpis(c, 8, "Phas", 0);
}

// ---------------------------------------------------------------- integration

void Sec8::Integr1(Ctx& c) {
    checkLimits();
    auto& g = mdlGlobal;
    const int n = g.NDIM;

    g.SCRT = g.TMAX;
    g.SCLX = g.ALFA * g.DLX;
    g.SCRX = g.ALFA * g.DRX;
    g.SCLW = g.ALFA * g.DLW;
    g.SCRW = g.ALFA * g.DRW;
    Station();
    const double h = g.HHH;
    g.NSTEP = CLng(g.TMAX / h);

    if (g.LGRAPH == 1) {
        DrawMesh1(c);
    } else {
        DrawMeshF1(c);
        if (g.LGRAPH == 2) {  // the stationary point (STAT, STAT)
            const Colour yellow = QBColor(14);
            c.surf.fillSolid = true;
            c.surf.fillColour = yellow;
            c.surf.circle((g.STAT - g.SCLX) * g.PWID / g.YRANGE + g.PX0,
                          (g.STAT - g.SCLX) * g.PHGT / g.YRANGE + g.PY0, 6, yellow);
        }
    }

    auto out = TextWriter::create(c.paths.userFile("Results.gse"));
    g.TOLD = 0;
    LAM1.alloc(n);
    LAM2.alloc(n);

    double* x1 = g.X1.data();
    double* xprev = g.XPREV.data();
    double* xnew = g.XNEW.data();
    double* f1 = g.F1.data();
    double* f2 = g.F2.data();
    double* xst = g.XST.data();
    double* xv = g.XV.data();
    double* fv = g.FV.data();
    double* xg = g.XG.data();
    double* lam1 = LAM1.data();
    double* lam2 = LAM2.data();
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);
    const int mclass = g.MCLASS, kmod = g.KMOD;
    const double alfa = g.ALFA, beta = g.BETA;
    const Power pw(g.GAMA);
    auto F = [&](double* lam) { rhs(mclass, n, kmod, alfa, beta, pw, xv, xg, fv, lam); };

    std::memcpy(xv + 1, x1 + 1, bytes);
    std::memcpy(xst + 1, x1 + 1, bytes);
    F(lam1);
    std::memcpy(f1 + 1, fv + 1, bytes);
    for (int i = 1; i <= n; ++i) xprev[i] = x1[i] - h * (f1[i] + lam1[i] * x1[i]);  // one step back

    double wmin = 1.0E10;
    g.WOLD = 0;
    const i32 last = g.NSTEP + 1;
    double p[7];

    for (i32 j = 1; j <= last; ++j) {
        c.surf.poll();
        Sec21::askPortion(c, j, "   Симметричные ГГС");
        const double t = (j - 1) * h;
        Rezults(*out, j, t);

        // Predictor: two-step explicit, from XPREV over 2*HHH.
        std::memcpy(xv + 1, x1 + 1, bytes);
        F(lam1);
        std::memcpy(f1 + 1, fv + 1, bytes);
        for (int i = 1; i <= n; ++i) xnew[i] = xprev[i] + 2 * h * (f1[i] + lam1[i] * x1[i]);
        std::memcpy(xv + 1, xnew + 1, bytes);
        F(lam2);
        std::memcpy(f2 + 1, fv + 1, bytes);

        // Corrector for dX/dt = F + lambda X, F linear from F1 to F2 and lambda from LAM1 to
        // LAM2: the exponential of the mean rate taken out, the rest to second order in
        // delta = -(HHH/2)(LAM2 - LAM1), with the weights psi_k(HHH LAM1).
        for (int i = 1; i <= n; ++i) {
            const double z = h * lam1[i];
            const double delta = -(h / 2) * (lam2[i] - lam1[i]);
            psiInto(z, p);
            const double c1 = (p[1] - p[2]) + (p[3] - p[4]) * delta + (p[5] - p[6]) * delta * delta / 2;
            const double c2 = p[2] + p[4] * delta + p[6] * delta * delta / 2;
            xnew[i] = std::exp(h * (lam1[i] + lam2[i]) / 2) * (x1[i] + h * (c1 * f1[i] + c2 * f2[i]));
        }

        double s = 0;
        for (int i = 1; i <= n; ++i) {
            const double d = xnew[i] - xst[i];
            s += d * d;
        }
        g.W = std::sqrt(s);
        g.TCUR = t;
        if (!std::isfinite(g.W))
            throw VeltaError("Счёт прерван: на шаге j = " + CStr(j) + ", t = " +
                             Format(t, "0.00000E+00") +
                             " получено нечисловое значение (переполнение)");

        if (g.LGRAPH == 1)
            Graphic1(c);
        else if (g.LGRAPH == 2)
            GraphicF1(c, j);
        else
            Sec21::PoincareTest(c);

        if (g.W < wmin && t > g.TMIN) {
            wmin = g.W;
            g.PERIOD = j * h;
        }
        std::memcpy(xprev + 1, x1 + 1, bytes);
        std::memcpy(x1 + 1, xnew + 1, bytes);
        g.WOLD = g.W;
        g.TOLD = g.TCUR;
    }
    out->flush();
    out.reset();
    g.LSTEP = 0;
}

}  // namespace velta
