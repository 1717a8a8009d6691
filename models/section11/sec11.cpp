// Section 1.1: reading and writing the ".mnkd" data file, the right-hand sides of the
// four model classes, the stationary symmetric solution, the integrator and its results
// table "\User\Results.mnk".
#include "models/section11/sec11.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace velta {

namespace {

// Largest step count for which the loop counter j = NSTEP + 1 still fits 32 bits.
constexpr double kMaxSteps = 2147483646.0;
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

// The vectors of the section, indexes 0..NDIM, all zero.
void allocVectors(int n) {
    auto& g = mdlGlobal;
    for (Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP, &g.XCROSS,
                   &g.FP, &g.XV, &g.FV})
        v->alloc(n);
}

// x^GAMA. GAMA = 2 is done as x*x: a single rounded product, the same value std::pow
// returns for an exponent of 2 (tests compare both bit for bit).
struct Power {
    double gama;
    bool square;
    explicit Power(double g) : gama(g), square(g == 2.0) {}
    double operator()(double x) const { return square ? x * x : std::pow(x, gama); }
};

// F(XV) into FV for NDIM elements, each regulated by its KMOD - 1 cyclic predecessors
// k_1 = d, k_2 = d + 1, ... (wrapped once into 1..NDIM), d = i + NDIM - KMOD + 1.
// Sums and products are accumulated in the order k_1, k_2, ...
void rhs(int mclass, int n, int kmod, double alfa, double beta, const Power& pw,
         const double* xv, double* xg, double* fv) {
    const int m = kmod - 1;
    if (mclass == 1 || mclass == 2 || mclass == 4)
        for (int k = 1; k <= n; ++k) xg[k] = pw(xv[k]);
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

void needVectors(int n) {
    auto& g = mdlGlobal;
    for (const Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP,
                         &g.XCROSS, &g.FP, &g.XV, &g.FV})
        if (v->upper() < n)
            throw VeltaError("Исходные данные не введены: выполните «Ввод исходных данных»");
}

int sgn(double v) { return (v > 0) - (v < 0); }


}  // namespace

// ---------------------------------------------------------------- data file

void Sec11::InputPar(Ctx& c) {
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
        for (int j = 1; j <= g.NK; ++j) {
            g.INK(j) = ink[static_cast<std::size_t>(j - 1)];
            r.echo("INK(" + CStr(j) + ") = " + CStr(g.INK(j)));
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

        // 8. plotted components (IC has 13 slots)
        r.Head_Input(8);
        r.skipLine();
        const std::vector<i16> ic = r.readList(std::min(n, 13));
        g.NCOMP = static_cast<i16>(ic.size());
        for (int j = 1; j <= g.NCOMP; ++j) {
            g.IC(j) = ic[static_cast<std::size_t>(j - 1)];
            r.echo("IC(" + CStr(j) + ") = " + CStr(g.IC(j)));
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

Sec11::Fields Sec11::fieldsFromStore() {
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
    // An empty list shows as an empty field (not a stale IC(1)), so saving keeps it empty.
    f.i1g = joinInts(g.IC, g.NCOMP);
    f.nsc = CStr(g.NSC);
    f.dlx = CStr(g.DLX);
    f.drx = CStr(g.DRX);
    f.dlw = CStr(g.DLW);
    f.drw = CStr(g.DRW);
    f.sclt = CStr(g.SCLT);
    return f;
}

void Sec11::Table_File(const std::string& path, const Fields& f) {
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
}

// ---------------------------------------------------------------- model

void Sec11::Vych_PCH() {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n)
        throw VeltaError("Исходные данные не введены: выполните «Ввод исходных данных»");
    if (g.KMOD < 1 || g.KMOD > n + 1)
        throw VeltaError("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) +
                         ", NDIM = " + CStr(g.NDIM) + ")");
    rhs(g.MCLASS, n, g.KMOD, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(),
        g.FV.data());
}

// Newton's method on G(S) = 0, the model with every component equal to S (m = KMOD - 1).
void Sec11::Station() {
    auto& g = mdlGlobal;
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
            throw VeltaError("Метод Ньютона для стационарного решения дал нечисловое значение "
                             "(итерация " + CStr(it) + ")");
        if (std::fabs(ds) < kNewtonTol) break;
        if (it >= kNewtonCap)
            throw VeltaError("Метод Ньютона для стационарного решения не сошёлся за " +
                             CStr(kNewtonCap) + " итераций");
    }
    g.STAT = s;
}

void Sec11::checkLimits() {
    const auto& g = mdlGlobal;
    auto fail = [](const std::string& s) { throw VeltaError(s); };
    if (g.NDIM < 1)
        fail("Число элементов NDIM должно быть не меньше 1 (NDIM = " + CStr(g.NDIM) + ")");
    needVectors(g.NDIM);
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Номер класса MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    const int kmin = g.MCLASS == 3 ? 1 : 2;
    if (g.KMOD < kmin || g.KMOD > g.NDIM + 1)
        fail("Для класса " + CStr(g.MCLASS) + " число KMOD должно быть от " + CStr(kmin) +
             " до NDIM + 1 (KMOD = " + CStr(g.KMOD) + ", NDIM = " + CStr(g.NDIM) + ")");
    if (!(g.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(g.ALFA) + ")");
    if (!(g.BETA > 0)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(g.BETA) + ")");
    if (!(g.HHH > 0))
        fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + CStr(g.HHH) + ")");
    if (!(g.TMAX >= 0))
        fail("Конец интервала интегрирования TMAX не должен быть отрицательным (TMAX = " +
             CStr(g.TMAX) + ")");
    if (!(g.TMAX / g.HHH <= kMaxSteps))
        fail("Слишком много шагов интегрирования: TMAX/HHH = " + CStr(g.TMAX / g.HHH) +
             " (допустимо не более " + CStr(static_cast<long long>(kMaxSteps)) + ")");
    if (g.NSC < 1)
        fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + CStr(g.NSC) + ")");
    if (g.LSTEP < 0)
        fail("Порция шагов LSTEP не должна быть отрицательной (LSTEP = " + CStr(g.LSTEP) + ")");
    if (g.INK.upper() >= g.NK)
        for (int k = 1; k <= g.NK; ++k)
            if (g.INK(k) < 1 || g.INK(k) > g.NDIM)
                fail("Номер ненулевой компоненты INK(" + CStr(k) + ") = " + CStr(g.INK(k)) +
                     " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
    if (g.NCOMP < 0 || g.NCOMP > 13)
        fail("Число компонент графика NCOMP должно быть не больше 13 (NCOMP = " +
             CStr(g.NCOMP) + ")");
    for (int i = 1; i <= g.NCOMP; ++i)
        if (g.IC(i) < 1 || g.IC(i) > g.NDIM)
            fail("Номер компоненты графика IC(" + CStr(i) + ") = " + CStr(g.IC(i)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
    if (g.LGRAPH != 1 && g.NCOMP < 2)
        fail("При LGRAPH = " + CStr(g.LGRAPH) +
             " нужны две компоненты графика i1, i2 (NCOMP = " + CStr(g.NCOMP) + ")");
}

// ---------------------------------------------------------------- results and canvas

void Sec11::Rezults(TextWriter& out, i32 j, double t) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    if (j == 1) {
        const std::string e = "0.00000E+00";
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
        row += Format(t, "0.00000E+00");
        row += "   ";
        const double* x = g.X1.data();
        for (int k = 1; k <= n; ++k) {
            row += Format(x[k], "0.00000E+00");
            row += "   ";
        }
        out.line(row);
        ++g.NROW;
    }
}

void Sec11::DrawMesh1(Ctx& c) {
    const auto& g = mdlGlobal;
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", g.SCLT, g.TMAX, g.SCLX, g.SCRX);
    Nadpis(c, 11, "Phys", 0);
}

void Sec11::DrawMeshF1(Ctx& c) {
    const auto& g = mdlGlobal;
    const std::string title = g.LGRAPH == 2 ? "Графики компонент вектора X в фазовой плоскости"
                                            : "П Л О С К О С Т Ь   П У А Н К А Р Е";
    MeshMaskG(c, title, "X(i2)", "X(i1)", g.SCLX, g.SCRX, g.SCLX, g.SCRX);
    Nadpis(c, 11, "Phas", 0);
}

// ---------------------------------------------------------------- integration

void Sec11::Integr1(Ctx& c) {
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
    g.EH = std::exp(h);
    g.EHI = 1 / g.EH;
    g.EQ = (g.EH - 1) / h;
    g.EC1 = g.EQ - 1;
    g.EC2 = g.EH - g.EQ;

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

    auto out = TextWriter::create(c.paths.userFile("Results.mnk"));
    g.TOLD = 0;

    // The vectors do not change size during the run: work on their storage directly.
    double* x1 = g.X1.data();
    double* xprev = g.XPREV.data();
    double* xnew = g.XNEW.data();
    double* f1 = g.F1.data();
    double* f2 = g.F2.data();
    double* xst = g.XST.data();
    double* xv = g.XV.data();
    double* fv = g.FV.data();
    double* xg = g.XG.data();
    const double* xp = g.XP.data();
    const double* fp = g.FP.data();
    double* xcross = g.XCROSS.data();
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);
    const int mclass = g.MCLASS, kmod = g.KMOD;
    const double alfa = g.ALFA, beta = g.BETA;
    const Power pw(g.GAMA);
    auto F = [&] { rhs(mclass, n, kmod, alfa, beta, pw, xv, xg, fv); };

    std::memcpy(xv + 1, x1 + 1, bytes);
    std::memcpy(xst + 1, x1 + 1, bytes);
    F();
    std::memcpy(f1 + 1, fv + 1, bytes);
    for (int i = 1; i <= n; ++i) xprev[i] = x1[i] - (f1[i] - x1[i]) * h;  // backward Euler

    double wmin = 1.0E10;
    g.WOLD = 0;
    g.NSTEP = CLng(g.TMAX / h);
    const i32 last = g.NSTEP + 1;
    const double ehi = g.EHI, ec1 = g.EC1, ec2 = g.EC2;
    const std::string prompt = "Для непрерывного вывода введите любой символ,\n"
                               "при вводе пустой строки или нажатии 'Cancel' \n"
                               "- вывод порциями";

    for (i32 j = 1; j <= last; ++j) {
        c.surf.poll();
        if (g.LSTEP > 0 && j % g.LSTEP == 0) {
            if (!c.ui.inputBox(prompt, "   Симметричные ГГС", "", 0, 0).empty()) g.LSTEP = 0;
        }
        const double t = (j - 1) * h;
        Rezults(*out, j, t);

        // Predictor: two-step explicit, from XPREV over 2*HHH.
        std::memcpy(xv + 1, x1 + 1, bytes);
        F();
        std::memcpy(f1 + 1, fv + 1, bytes);
        for (int i = 1; i <= n; ++i) xnew[i] = xprev[i] + 2 * h * (f1[i] - x1[i]);
        // Corrector: exact solution of dX/dt = F - X with F linear from F1 to F2.
        std::memcpy(xv + 1, xnew + 1, bytes);
        F();
        std::memcpy(f2 + 1, fv + 1, bytes);
        for (int i = 1; i <= n; ++i) xnew[i] = ehi * (ec1 * f1[i] + x1[i] + ec2 * f2[i]);

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

        if (g.LGRAPH == 1) {
            Graphic1(c);
        } else if (g.LGRAPH == 2) {
            GraphicF1(c, j);
        } else {  // Poincaré plane (N, X - Xo) = 0
            double s1 = 0, s2 = 0;
            for (int i = 1; i <= n; ++i) s1 += (x1[i] - xp[i]) * fp[i];
            for (int i = 1; i <= n; ++i) s2 += (xnew[i] - xp[i]) * fp[i];
            if (sgn(s1) + sgn(s2) == 0) {
                double d = 0;
                for (int i = 1; i <= n; ++i) d += (x1[i] - xnew[i]) * fp[i];
                const double lambda = std::fabs(d) >= 1.0E-6 ? s1 / d : 0;
                for (int i = 1; i <= n; ++i) xcross[i] = x1[i] + lambda * (xnew[i] - x1[i]);
                GraphicP(c);
            }
        }

        if (g.W < wmin && t > g.TMIN) {
            wmin = g.W;
            g.PERIOD = j * h;
        }
        std::memcpy(xprev + 1, x1 + 1, bytes);
        std::memcpy(x1 + 1, xnew + 1, bytes);
        g.WOLD = g.W;
        g.TOLD = g.TCUR;
    }
    out.reset();
    g.LSTEP = 0;
}

}  // namespace velta
