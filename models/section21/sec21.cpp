// Section 2.1: reading and writing the ".mtrd" data file, the right-hand sides of the four
// model classes over the connection matrix, the integrator and its results table
// "\User\Results.mtr".
#include "models/section21/sec21.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <vector>

namespace velta {

namespace {

// Largest step count for which the loop counter j = NSTEP + 1 still fits 32 bits.
constexpr double kMaxSteps = 2147483646.0;
// The input window lists at most 12 plotted components.
constexpr int kMaxComp = 12;

std::string joinInts(const IVec& v, int n) {
    std::string s;
    for (int j = 1; j <= n; ++j) {
        if (j > 1) s += ',';
        s += CStr(v(j));
    }
    return s;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(sep, start);
        if (p == std::string::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, p - start));
        start = p + 1;
    }
}

// The vectors of the section, indexes 0..NDIM, all zero; MC as NDIM x NDIM.
void allocVectors(int n) {
    auto& g = mdlGlobal;
    for (Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP, &g.XCROSS,
                   &g.FP, &g.XV, &g.FV})
        v->alloc(n);
    g.MC.alloc(n, n);
}

void needVectors(int n) {
    auto& g = mdlGlobal;
    for (const Vec* v : {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP,
                         &g.XCROSS, &g.FP, &g.XV, &g.FV})
        if (v->upper() < n)
            throw VeltaError("Исходные данные не введены: выполните «Ввод исходных данных»");
}

// x^GAMA; GAMA = 2 as x*x, the value std::pow gives for that exponent.
struct Power {
    double gama;
    bool square;
    explicit Power(double g) : gama(g), square(g == 2.0) {}
    double operator()(double x) const { return square ? x * x : std::pow(x, gama); }
};

// The links of every equation, in the order j = 1..NDIM: equation i uses
// idx[start[i] .. start[i+1]-1]. Class 1 counts MC(i,j) > 0, the others MC(i,j) = 1.
struct Links {
    std::vector<int> start, idx;
    Links(const Mat& mc, int n, int mclass) : start(static_cast<std::size_t>(n) + 2, 0) {
        for (int i = 1; i <= n; ++i) {
            start[static_cast<std::size_t>(i)] = static_cast<int>(idx.size());
            const double* row = mc.row(i);
            for (int j = 1; j <= n; ++j)
                if (mclass == 1 ? row[j] > 0 : row[j] == 1) idx.push_back(j);
        }
        start[static_cast<std::size_t>(n) + 1] = static_cast<int>(idx.size());
    }
};

// F(XV) into FV; sums and products over the links of each equation, empty sum 0 and
// empty product 1. Another class leaves FV as it was.
void rhs(int mclass, int n, const Links& L, double alfa, double beta, const Power& pw,
         const double* xv, double* xg, double* fv) {
    if (mclass == 1 || mclass == 2 || mclass == 4)
        for (int j = 1; j <= n; ++j) xg[j] = pw(xv[j]);
    const int* idx = L.idx.data();
    const int* st = L.start.data();
    switch (mclass) {
    case 1:  // ALFA / (1 + BETA * sum X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int k = st[i]; k < st[i + 1]; ++k) s += xg[idx[k]];
            fv[i] = alfa / (1 + beta * s);
        }
        break;
    case 2:  // ALFA / prod (1 + BETA * X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int k = st[i]; k < st[i + 1]; ++k) p *= 1 + beta * xg[idx[k]];
            fv[i] = alfa / p;
        }
        break;
    case 3:  // ALFA / (1 + BETA * (prod X(j))^GAMA)
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int k = st[i]; k < st[i + 1]; ++k) p *= xv[idx[k]];
            fv[i] = alfa / (1 + beta * pw(p));
        }
        break;
    case 4:  // ALFA * sum 1 / (1 + BETA * X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int k = st[i]; k < st[i + 1]; ++k) s += 1 / (1 + beta * xg[idx[k]]);
            fv[i] = alfa * s;
        }
        break;
    default:
        break;
    }
}

// NDIM*NDIM numbers row by row, separated by "," or line ends. The rest of the line after
// the last one is dropped, and so is the empty line the writer puts after the matrix.
void readMatrix(ParReader& r, int n) {
    auto& g = mdlGlobal;
    TextReader& in = r.in();
    std::vector<std::string> pieces;
    std::size_t next = 0;
    for (int i = 1; i <= n; ++i) {
        double* row = g.MC.row(i);
        std::string echo;
        for (int j = 1; j <= n; ++j) {
            if (next >= pieces.size()) {
                pieces = split(in.readLine(), ',');
                next = 0;
            }
            const std::string& p = pieces[next++];
            try {
                row[j] = textToReal(p);
            } catch (const std::exception&) {
                in.fail("число MC(" + CStr(i) + "," + CStr(j) + "), прочитано «" + p + "»");
            }
            echo += CStr(row[j]) + "   ";
        }
        r.echo(echo);
    }
    r.skipEmptyValueLine();
}

int sgn(double v) { return (v > 0) - (v < 0); }

const std::string kPortionPrompt = "Для непрерывного вывода введите любой символ,\n"
                                   "при вводе пустой строки или нажатии 'Cancel' \n"
                                   "- вывод порциями";

}  // namespace

// ---------------------------------------------------------------- data file

void Sec21::InputPar(Ctx& c) {
    readParFile(c.paths, dataPath, [](ParReader& r) {
        auto& g = mdlGlobal;
        // 1. model
        r.Head_Input(1);
        r.Key_InputI("MClass", g.MCLASS);
        r.Key_InputI("NDIM", g.NDIM);
        r.Key_InputR("ALFA", g.ALFA);
        r.Key_InputR("BETA", g.BETA);
        r.Key_InputR("GAMA", g.GAMA);
        if (g.NDIM < 1)
            throw VeltaError("Число элементов NDIM должно быть не меньше 1 (NDIM = " +
                             CStr(g.NDIM) + ")");
        const int n = g.NDIM;
        allocVectors(n);

        // 2. connection matrix
        r.Head_Input(2);
        readMatrix(r, n);

        // 3. nonzero initial components and their values
        r.Head_Input(3);
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

        // 5..8
        r.Head_Input(5);
        r.Key_InputR("TMAX", g.TMAX);
        r.Key_InputR("HHH", g.HHH);
        r.Head_Input(6);
        r.Key_InputI("LSCREEN", g.LSCREEN);
        r.Key_InputR("TMIN", g.TMIN);
        r.Head_Input(7);
        r.Key_InputI("LGRAPH", g.LGRAPH);
        r.Head_Input(8);
        r.Key_InputI("LSTEP", g.LSTEP);

        // 9. plotted components (IC has 13 slots; more than 12 is refused before a run)
        r.Head_Input(9);
        r.skipLine();
        const std::vector<i16> ic = r.readList(std::min(n, 13));
        g.NCOMP = static_cast<i16>(ic.size());
        for (int k = 1; k <= g.NCOMP; ++k) {
            g.IC(k) = ic[static_cast<std::size_t>(k - 1)];
            r.echo("IC(" + CStr(k) + ") = " + CStr(g.IC(k)));
        }

        // 10, 11
        r.Head_Input(10);
        r.Key_InputI("NSC", g.NSC);
        r.Head_Input(11);
        r.Key_InputR("DLX", g.DLX);
        r.Key_InputR("DRX", g.DRX);
        r.Key_InputR("DLW", g.DLW);
        r.Key_InputR("DRW", g.DRW);
        r.Key_InputR("SCLT", g.SCLT);
    });
}

GridText Sec21::matrixGrid(const Mat& mc, int n, bool zeros) {
    if (n < 0) throw VeltaError("Недопустимая размерность матрицы: " + CStr(n));
    GridText t(n + 3, n + 3);
    t.at(0, 0) = "(i,j)";
    for (int i = 1; i <= n; ++i) {
        t.at(0, i + 1) = CStr(i);
        t.at(i + 1, 0) = CStr(i);
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) t.at(i + 1, j + 1) = zeros ? std::string("0") : CStr(mc(i, j));
    return t;
}

Sec21::Fields Sec21::fieldsFromStore() {
    const auto& g = mdlGlobal;
    Fields f;
    f.mclass = CStr(g.MCLASS);
    f.ndim = CStr(g.NDIM);
    f.alfa = CStr(g.ALFA);
    f.beta = CStr(g.BETA);
    f.gama = CStr(g.GAMA);
    f.i1n = joinInts(g.INK, g.NK);
    for (int k = 1; k <= g.NK; ++k) {
        if (k > 1) f.xi1 += ',';
        f.xi1 += CStr(g.X1(g.INK(k)));
    }
    f.mc = matrixGrid(g.MC, g.NDIM, false);
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

void Sec21::Table_File(const std::string& path, const Fields& f) {
    auto w = TextWriter::create(path);
    TextWriter& o = *w;
    Head_File(o, 1);
    Key_File(o, "MCLASS", f.mclass);
    Key_File(o, "NDIM", f.ndim);
    Key_File(o, "ALFA", f.alfa);
    Key_File(o, "BETA", f.beta);
    Key_File(o, "GAMA", f.gama);
    Head_File(o, 2);
    Matr_File(o, f.mc);
    Head_File(o, 3);
    o.line("i1,...:");
    o.line(f.i1n);
    o.line("X(i1),...:");
    o.line(f.xi1);
    Head_File(o, 4);
    Vect_File(o, "XP(I):", f.xp);
    Vect_File(o, "FP(I):", f.fp);
    Head_File(o, 5);
    Key_File(o, "TMAX", f.tmax);
    Key_File(o, "HHH", f.hhh);
    Head_File(o, 6);
    Key_File(o, "Lscreen", f.lscreen);
    Key_File(o, "TMIN", f.tmin);
    Head_File(o, 7);
    Key_File(o, "Lgraph", f.lgraph);
    Head_File(o, 8);
    Key_File(o, "Lstep", f.lstep);
    Head_File(o, 9);
    o.line("IC(I):");
    o.line(f.i1g);
    Head_File(o, 10);
    Key_File(o, "NSC", f.nsc);
    Head_File(o, 11);
    Key_File(o, "Dlx", f.dlx);
    Key_File(o, "Drx", f.drx);
    Key_File(o, "Dlw", f.dlw);
    Key_File(o, "Drw", f.drw);
    Key_File(o, "Sclt", f.sclt);
    o.flush();
}

// ---------------------------------------------------------------- model

void Sec21::Vych_PCH2() {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n || g.MC.rows() < n ||
        g.MC.cols() < n)
        throw VeltaError("Исходные данные не введены: выполните «Ввод исходных данных»");
    const Links L(g.MC, n, g.MCLASS);
    rhs(g.MCLASS, n, L, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(), g.FV.data());
}

void Sec21::checkRunLimits() {
    const auto& g = mdlGlobal;
    auto fail = [](const std::string& s) { throw VeltaError(s); };
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
    if (g.INK.upper() < g.NK)
        fail("Исходные данные не введены: выполните «Ввод исходных данных»");
    for (int k = 1; k <= g.NK; ++k)
        if (g.INK(k) < 1 || g.INK(k) > g.NDIM)
            fail("Номер ненулевой компоненты INK(" + CStr(k) + ") = " + CStr(g.INK(k)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
    if (g.NCOMP < 0 || g.NCOMP > kMaxComp)
        fail("На график можно вывести не более 12 компонент (NCOMP = " + CStr(g.NCOMP) + ")");
    for (int i = 1; i <= g.NCOMP; ++i)
        if (g.IC(i) < 1 || g.IC(i) > g.NDIM)
            fail("Номер компоненты графика IC(" + CStr(i) + ") = " + CStr(g.IC(i)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
    if (g.LGRAPH != 1 && g.NCOMP < 2)
        fail("При LGRAPH = " + CStr(g.LGRAPH) +
             " нужны две компоненты графика i1, i2 (NCOMP = " + CStr(g.NCOMP) + ")");
}

void Sec21::checkLimits() {
    const auto& g = mdlGlobal;
    if (g.NDIM < 1)
        throw VeltaError("Число элементов NDIM должно быть не меньше 1 (NDIM = " + CStr(g.NDIM) +
                         ")");
    needVectors(g.NDIM);
    if (g.MC.rows() != g.NDIM || g.MC.cols() != g.NDIM)
        throw VeltaError("Исходные данные не введены: выполните «Ввод исходных данных»");
    if (g.MCLASS < 1 || g.MCLASS > 4)
        throw VeltaError("Номер класса MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) +
                         ")");
    checkRunLimits();
}

// ---------------------------------------------------------------- results and canvas

void Sec21::Rezults(TextWriter& out, i32 j, double t) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    const std::string e = "0.00000E+00";
    if (j == 1) {
        out.line("");
        out.line("Модель ZORM" + CStr(g.MCLASS) + "(" + CStr(g.NDIM) + ")");
        out.line("NDIM = " + Format(g.NDIM, "####"));
        out.line("TMAX = " + Format(g.TMAX, e));
        out.line("ALFA = " + Format(g.ALFA, e));
        out.line("BETA = " + Format(g.BETA, e));
        out.line("GAMA = " + Format(g.GAMA, e));
        out.line("");
        out.line("Матрица связей:");
        for (int i = 1; i <= n; ++i) {
            std::string row;
            for (int k = 1; k <= n; ++k) row += CStr(g.MC(i, k)) + "   ";
            out.line(row);
        }
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
        row += Format(j, "0000");
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

void Sec21::DrawMesh2(Ctx& c) {
    const auto& g = mdlGlobal;
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", g.SCLT, g.TMAX, g.SCLX, g.SCRX);
    Nadpis(c, 21, "Phys", 0);
}

void Sec21::DrawMeshF2(Ctx& c) {
    const auto& g = mdlGlobal;
    const std::string title = g.LGRAPH == 2 ? "Графики компонент вектора X в фазовой плоскости"
                                            : "П Л О С К О С Т Ь   П У А Н К А Р Е";
    MeshMaskG(c, title, "X(i2)", "X(i1)", g.SCLX, g.SCRX, g.SCLX, g.SCRX);
    Nadpis(c, 21, "Phas", 0);
}

void Sec21::PoincareTest(Ctx& c) {
    auto& g = mdlGlobal;
    const int n = g.NDIM;
    const double* x1 = g.X1.data();
    const double* xnew = g.XNEW.data();
    const double* xp = g.XP.data();
    const double* fp = g.FP.data();
    double s1 = 0, s2 = 0;
    for (int i = 1; i <= n; ++i) s1 += (x1[i] - xp[i]) * fp[i];
    for (int i = 1; i <= n; ++i) s2 += (xnew[i] - xp[i]) * fp[i];
    // Opposite signs, or both points on the plane.
    if (sgn(s1) + sgn(s2) != 0) return;
    double d = 0;
    for (int i = 1; i <= n; ++i) d += (x1[i] - xnew[i]) * fp[i];
    const double lambda = std::fabs(d) >= 1.0E-6 ? s1 / d : 0;
    double* xcross = g.XCROSS.data();
    for (int i = 1; i <= n; ++i) xcross[i] = x1[i] + lambda * (xnew[i] - x1[i]);
    GraphicP(c);
}

void Sec21::askPortion(Ctx& c, i32 j, const std::string& title) {
    auto& g = mdlGlobal;
    if (g.LSTEP > 0 && j % g.LSTEP == 0) {
        if (!c.ui.inputBox(kPortionPrompt, title, "", 0, 0).empty()) g.LSTEP = 0;
    }
}

// ---------------------------------------------------------------- integration

void Sec21::Integr1(Ctx& c) {
    checkLimits();
    auto& g = mdlGlobal;
    const int n = g.NDIM;

    g.SCLX = g.ALFA * g.DLX;
    g.SCRX = g.ALFA * g.DRX;
    g.SCLW = g.ALFA * g.DLW;
    g.SCRW = g.ALFA * g.DRW;
    g.SCRT = g.TMAX;
    const double h = g.HHH;
    g.EH = std::exp(h);
    g.EHI = 1 / g.EH;
    g.EQ = (g.EH - 1) / h;
    g.EC1 = g.EQ - 1;
    g.EC2 = g.EH - g.EQ;

    if (g.LGRAPH == 1)
        DrawMesh2(c);
    else
        DrawMeshF2(c);

    auto out = TextWriter::create(c.paths.userFile("Results.mtr"));
    g.TOLD = 0;

    // The vectors keep their size during the run: work on their storage directly.
    double* x1 = g.X1.data();
    double* xprev = g.XPREV.data();
    double* xnew = g.XNEW.data();
    double* f1 = g.F1.data();
    double* f2 = g.F2.data();
    double* xst = g.XST.data();
    double* xv = g.XV.data();
    double* fv = g.FV.data();
    double* xg = g.XG.data();
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n);
    const Links links(g.MC, n, g.MCLASS);
    const int mclass = g.MCLASS;
    const double alfa = g.ALFA, beta = g.BETA;
    const Power pw(g.GAMA);
    auto F = [&] { rhs(mclass, n, links, alfa, beta, pw, xv, xg, fv); };

    std::memcpy(xv + 1, x1 + 1, bytes);
    std::memcpy(xst + 1, x1 + 1, bytes);
    F();
    std::memcpy(f1 + 1, fv + 1, bytes);
    for (int i = 1; i <= n; ++i) xprev[i] = x1[i] - h * (f1[i] - x1[i]);  // backward Euler

    double wmin = 1.0E10;
    g.WOLD = 0;
    g.NSTEP = CLng(g.TMAX / h);
    const i32 last = g.NSTEP + 1;
    const double ehi = g.EHI, ec1 = g.EC1, ec2 = g.EC2;

    for (i32 j = 1; j <= last; ++j) {
        c.surf.poll();
        askPortion(c, j, "   ГГС общего вида");
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
        for (int i = 1; i <= n; ++i) xnew[i] = ehi * (x1[i] + ec1 * f1[i] + ec2 * f2[i]);

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
            PoincareTest(c);

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
}

}  // namespace velta
