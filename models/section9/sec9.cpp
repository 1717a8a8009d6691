// Section 9: reading and writing the ".chad" data file, the regulatory inputs of the
// three-element model, the semi-implicit integrator and its table "\User\Results.cha".
#include "models/section9/sec9.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// Largest step count for which the loop counter d = NSTEP9 still fits 32 bits.
constexpr double kMaxSteps = 2147483646.0;

int sgn(double v) { return (v > 0) - (v < 0); }

std::string notRead() {
    return "Исходные данные не введены: выполните «Ввод исходных данных»";
}

// f^(m)(v): v passed m times through f(v) = ALFA*v / (1 + v^GAMA).
// GAMA = 2 is done as v*v, the same value std::pow returns for an exponent of 2.
inline double regul(double v, double alfa, double gama, int m) {
    if (gama == 2.0) {
        for (int k = 0; k < m; ++k) v = alfa * v / (1 + v * v);
    } else {
        for (int k = 0; k < m; ++k) v = alfa * v / (1 + std::pow(v, gama));
    }
    return v;
}

// FR9(i) = f^(m)(S(i)), S(1) = X(2) + X(3), S(2) = X(1) + X(3), S(3) = X(1) + X(2).
inline void inputs(const double* x, double* fr, double alfa, double gama, int m) {
    fr[1] = regul(x[2] + x[3], alfa, gama, m);
    fr[2] = regul(x[1] + x[3], alfa, gama, m);
    fr[3] = regul(x[1] + x[2], alfa, gama, m);
}

// The W curve and its legend belong to the sections that compute W; this one does not,
// so LSCREEN reads 0 while the plot is framed and drawn, and is given back afterwards.
class WCurveOff {
public:
    WCurveOff() : saved_(mdlGlobal.LSCREEN) { mdlGlobal.LSCREEN = 0; }
    ~WCurveOff() { mdlGlobal.LSCREEN = saved_; }
    WCurveOff(const WCurveOff&) = delete;
    WCurveOff& operator=(const WCurveOff&) = delete;

private:
    i16 saved_;
};

} // namespace

// ---------------------------------------------------------------- data file

void Sec9::InputPar(Ctx& c) {
    readParFile(c.paths, dataPath, [this](ParReader& r) {
        auto& g = mdlGlobal;
        // 1. model
        r.Head_Input(1);
        r.Key_InputI("NDIM", g.NDIM);
        if (g.NDIM < 1)
            throw VeltaError("Число элементов NDIM должно быть не меньше 1 (NDIM = " +
                             CStr(g.NDIM) + ")");
        const int n = g.NDIM;
        // Every component is plotted; IC has 13 slots.
        g.NCOMP = static_cast<i16>(std::min(n, 13));
        g.XCROSS.alloc(n);
        g.FP.alloc(n);
        g.XP.alloc(n);
        r.Key_InputR("ALFA", g.ALFA);
        r.Key_InputR("GAMA", g.GAMA);
        r.Key_InputI("MCPZ", g.MCPZ);

        // 2. initial values; the model always has three components, a larger NDIM is
        // read so that the window can show it and is refused by the computation.
        r.Head_Input(2);
        r.skipLine();
        YO.alloc(std::max(3, n));
        for (int i = 1; i <= n; ++i) {
            YO(i) = r.readNumber();
            r.echo("YN(" + CStr(i) + ") = " + CStr(YO(i)));
        }

        // 3. interval, ranges, step
        r.Head_Input(3);
        r.Key_InputR("SCLT", g.SCLT);
        r.Key_InputR("SCRT", g.SCRT);
        r.Key_InputR("SCLX", g.SCLX);
        r.Key_InputR("SCRX", g.SCRX);
        r.Key_InputR("HHH", g.HHH);

        // 4. Poincaré plane: point Xo and normal N
        r.Head_Input(4);
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

        // 5. plotted components: one number for every component
        r.Head_Input(5);
        r.skipLine();
        const std::vector<i16> ic = r.readList(g.NCOMP);
        if (static_cast<int>(ic.size()) < g.NCOMP)
            throw VeltaError("Список номеров компонент IC(I) должен содержать NDIM = " +
                             CStr(g.NDIM) + " номеров (прочитано " +
                             CStr(static_cast<int>(ic.size())) + ")");
        for (int l = 1; l <= g.NCOMP; ++l) {
            g.IC(l) = ic[static_cast<std::size_t>(l - 1)];
            r.echo("IC(" + CStr(l) + ") = " + CStr(g.IC(l)));
        }

        // 6..8
        r.Head_Input(6);
        r.Key_InputI("LSCREEN", g.LSCREEN);
        r.Head_Input(7);
        r.Key_InputI("LGRAPH", g.LGRAPH);
        r.Head_Input(8);
        r.Key_InputI("NSC", g.NSC);
    });
}

Sec9::Fields Sec9::fieldsFromStore() const {
    const auto& g = mdlGlobal;
    Fields f;
    f.ndim = CStr(g.NDIM);
    f.alfa = CStr(g.ALFA);
    f.gama = CStr(g.GAMA);
    f.mcpz = CStr(g.MCPZ);
    const int ny = std::min<int>(g.NDIM, YO.upper());
    for (int i = 1; i <= ny; ++i) {
        if (i > 1) f.xi1 += ',';
        f.xi1 += CStr(YO(i));
    }
    f.sclt = CStr(g.SCLT);
    f.scrt = CStr(g.SCRT);
    f.hhh = CStr(g.HHH);
    f.sclx = CStr(g.SCLX);
    f.scrx = CStr(g.SCRX);
    f.xp = vectorGrid(g.XP, g.NDIM, false);
    f.fp = vectorGrid(g.FP, g.NDIM, false);
    for (int l = 1; l <= g.NCOMP; ++l) {
        if (l > 1) f.ici += ',';
        f.ici += CStr(g.IC(l));
    }
    f.lscreen = CStr(g.LSCREEN);
    f.lgraph = CStr(g.LGRAPH);
    f.nsc = CStr(g.NSC);
    return f;
}

void Sec9::Table_File(const std::string& path, const Fields& f) {
    auto w = TextWriter::create(path);
    TextWriter& o = *w;
    Head_File(o, 1);
    Key_File(o, "NDIM", f.ndim);
    Key_File(o, "ALFA", f.alfa);
    Key_File(o, "GAMA", f.gama);
    Key_File(o, "MCPZ", f.mcpz);
    Head_File(o, 2);
    o.line("Yo(i),...:");
    o.line(f.xi1);
    Head_File(o, 3);
    Key_File(o, "SCLT", f.sclt);
    Key_File(o, "SCRT", f.scrt);
    Key_File(o, "SCLX", f.sclx);
    Key_File(o, "SCRX", f.scrx);
    Key_File(o, "HHH", f.hhh);
    Head_File(o, 4);
    Vect_File(o, "XP(I):", f.xp);
    Vect_File(o, "FP(I):", f.fp);
    Head_File(o, 5);
    o.line("IC(I):");
    o.line(f.ici);
    Head_File(o, 6);
    Key_File(o, "LSCREEN", f.lscreen);
    Head_File(o, 7);
    Key_File(o, "LGRAPH", f.lgraph);
    Head_File(o, 8);
    Key_File(o, "NSC", f.nsc);
}

// ---------------------------------------------------------------- model

double Sec9::Regul(double v, double alfa, double gama, int mcpz) {
    return regul(v, alfa, gama, mcpz);
}

void Sec9::Vych_PCH() {
    const auto& g = mdlGlobal;
    if (XOLD9.upper() < 3 || FR9.upper() < 3) throw VeltaError(notRead());
    inputs(XOLD9.data(), FR9.data(), g.ALFA, g.GAMA, g.MCPZ);
}

void Sec9::checkLimits() const {
    const auto& g = mdlGlobal;
    auto fail = [](const std::string& s) { throw VeltaError(s); };
    if (g.NDIM < 1 || g.NDIM > 3)
        fail("Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = " +
             CStr(g.NDIM) + ")");
    const int n = g.NDIM;
    if (YO.upper() < n || g.XP.upper() < n || g.FP.upper() < n || g.XCROSS.upper() < n)
        fail(notRead());
    if (g.MCPZ < 0)
        fail("Число композиций MCPZ не должно быть отрицательным (MCPZ = " + CStr(g.MCPZ) + ")");
    if (!(g.HHH > 0))
        fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + CStr(g.HHH) + ")");
    if (!(g.SCRT >= 0))
        fail("Конец интервала интегрирования SCRT не должен быть отрицательным (SCRT = " +
             CStr(g.SCRT) + ")");
    if (!(g.SCRT / g.HHH <= kMaxSteps))
        fail("Слишком много шагов интегрирования: SCRT/HHH = " + CStr(g.SCRT / g.HHH) +
             " (допустимо не более " + CStr(static_cast<long long>(kMaxSteps)) + ")");
    if (g.NSC < 1)
        fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + CStr(g.NSC) + ")");
    if (g.NCOMP < 0 || g.NCOMP > 12)
        fail("Число компонент графика должно быть не больше 12 (NCOMP = " + CStr(g.NCOMP) + ")");
    for (int i = 1; i <= g.NCOMP; ++i)
        if (g.IC(i) < 1 || g.IC(i) > n)
            fail("Номер компоненты графика IC(" + CStr(i) + ") = " + CStr(g.IC(i)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
    if (g.LGRAPH != 1 && g.NCOMP < 2)
        fail("При LGRAPH = " + CStr(g.LGRAPH) +
             " нужны две компоненты графика i1, i2 (NDIM = " + CStr(g.NDIM) + ")");
    if (!std::isfinite(g.SCLX) || !std::isfinite(g.SCRX) || g.SCLX == g.SCRX)
        fail("Пустой интервал изменения компонент: SCLX = " + CStr(g.SCLX) + ", SCRX = " +
             CStr(g.SCRX));
    if (g.LGRAPH == 1 && (!std::isfinite(g.SCLT) || g.SCLT == g.SCRT))
        fail("Пустой интервал времени на графике: SCLT = " + CStr(g.SCLT) + ", SCRT = " +
             CStr(g.SCRT));
}

// ---------------------------------------------------------------- results and canvas

void Sec9::RezultsHeader(TextWriter& out) {
    auto& g = mdlGlobal;
    const std::string e = "0.00000E+00";
    out.line("");
    out.line("NDIM = " + Format(g.NDIM, "####"));
    out.line("TMAX = " + Format(g.SCRT, e));
    out.line("ALFA = " + Format(g.ALFA, e));
    out.line("GAMA = " + Format(g.GAMA, e));
    out.line("MCPZ = " + Format(g.MCPZ, "####"));
    out.line("");
    out.line("Колебания хаотического типа в ГГС");
    out.line("");
    out.line("                      Таблица");
    out.line("        зависимостей компонент вектора X от времени t");
    out.line("");
    std::string h = " No        t   ";
    for (int k = 1; k <= g.NDIM; ++k) h += "         X(" + Format(k, "00") + ")";
    out.line(h);
    std::string d = "-----+-------------+";
    for (int k = 1; k <= g.NDIM; ++k) d += "-------------+";
    out.line(d);
    g.NROW = 0;
}

// The row pairs step d and its end time t = d*HHH with X1, the state at the start of
// the step; the 3D picture reads the table as written.
void Sec9::Rezults(TextWriter& out, i32 d, double t) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    std::string row;
    row.reserve(static_cast<std::size_t>(24 + 16 * n));
    row += Format(d, "00000");
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

void Sec9::DrawMesh1(Ctx& c) {
    const auto& g = mdlGlobal;
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", g.SCLT, g.SCRT, g.SCLX, g.SCRX);
    Nadpis(c, 9, "Phys", 0);
}

void Sec9::DrawMeshF1(Ctx& c) {
    const auto& g = mdlGlobal;
    const std::string title = g.LGRAPH == 2 ? "Графики компонент вектора X в фазовой плоскости"
                                            : "П Л О С К О С Т Ь   П У А Н К А Р Е";
    MeshMaskG(c, title, "X(i2)", "X(i1)", g.SCLX, g.SCRX, g.SCLX, g.SCRX);
    Nadpis(c, 9, "Phas", 0);
}

// ---------------------------------------------------------------- integration

void Sec9::Integr1(Ctx& c) {
    checkLimits();
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    const double h = g.HHH;
    WCurveOff noW;

    g.X1.alloc(3);
    g.XNEW.alloc(3);
    NSTEP9 = CLng(g.SCRT / h) + 1;
    if (g.LGRAPH == 1)
        DrawMesh1(c);
    else
        DrawMeshF1(c);

    auto out = TextWriter::create(c.paths.userFile("Results.cha"));
    RezultsHeader(*out);

    // Components beyond NDIM stay 0 and still enter the sums S(i).
    XOLD9.alloc(3);
    XNEW9.alloc(3);
    FR9.alloc(3);
    for (int i = 1; i <= n; ++i) XNEW9(i) = YO(i);

    double* xo = XOLD9.data();
    double* xn = XNEW9.data();
    double* fr = FR9.data();
    double* x1 = g.X1.data();
    double* xnew = g.XNEW.data();
    const double* xp = g.XP.data();
    const double* fp = g.FP.data();
    double* xcross = g.XCROSS.data();
    const double alfa = g.ALFA, gama = g.GAMA;
    const int mcpz = g.MCPZ;
    const i32 nsc = g.NSC;
    const int lgraph = g.LGRAPH;

    for (i32 d = 1; d <= NSTEP9; ++d) {
        c.surf.poll();
        g.TOLD = (d - 1) * h;
        for (int i = 1; i <= 3; ++i) xo[i] = xn[i];
        inputs(xo, fr, alfa, gama, mcpz);
        // Semi-implicit Euler: the decay term is taken at the end of the step,
        // (X_new - X_old)/h = FR9 - X_new.
        for (int i = 1; i <= n; ++i) xn[i] = (h * fr[i] + xo[i]) / (h + 1);
        g.TCUR = d * h;
        for (int k = 1; k <= 3; ++k) {
            x1[k] = xo[k];
            xnew[k] = xn[k];
        }
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(xn[i]))
                throw VeltaError("Счёт прерван: на шаге d = " + CStr(d) + ", t = " +
                                 Format(g.TCUR, "0.00000E+00") +
                                 " получено нечисловое значение X(" + CStr(i) +
                                 ") (переполнение или степень отрицательного числа)");

        if (lgraph == 1) {
            Graphic1(c);
        } else if (lgraph == 2) {
            GraphicF1(c, d);
        } else {  // Poincaré plane (N, X - Xo) = 0
            double s1 = 0, s2 = 0;
            for (int i = 1; i <= n; ++i) s1 += (xo[i] - xp[i]) * fp[i];
            for (int i = 1; i <= n; ++i) s2 += (xn[i] - xp[i]) * fp[i];
            if (sgn(s1) + sgn(s2) == 0) {
                double dd = 0;
                for (int i = 1; i <= n; ++i) dd += (xo[i] - xn[i]) * fp[i];
                // Two points on the plane (or nearly) give no direction: take the old one.
                const double lambda = std::fabs(dd) >= 1.0E-6 ? s1 / dd : 0;
                for (int i = 1; i <= n; ++i) xcross[i] = xo[i] + lambda * (xn[i] - xo[i]);
                GraphicP(c);
            }
        }

        if (d % nsc == 0) Rezults(*out, d, g.TCUR);
    }
    out.reset();
}

} // namespace velta
