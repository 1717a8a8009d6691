// Section 3: the ".stbd" data file, the circulant spectrum, the point of loss of stability
// of the symmetric solution, the curve U(ALFA) with its stability ("\User\Results.stb") and
// the spectrum at one ALFA ("\User\Spectr.stb").
#include "stationary/section3/sec3.h"

#include "app/prompter.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace velta {

namespace {

// Newton's method for U stops when the correction is at most this (absolute) ...
constexpr double kNewtonTol = 1e-7;
// ... or below the rounding of U itself (large U never reaches an absolute 1e-7).
constexpr double kNewtonRel = 1e-14;
constexpr int kNewtonCap = 200;

const std::string kSpectrTitle = "   Спектр";

std::string fmt6(double v) { return Format(v, "0.000000E+00"); }

// "##0.000000000000" with a blank in place of the sign of a value that shows no minus.
std::string fmt12(double v) {
    const std::string t = Format(v, "##0.000000000000");
    return (t.empty() || t[0] != '-') ? " " + t : t;
}

std::string modelName(const Store& g, const std::string& word) {
    return word + CStr(g.MCLASS) + "(" + CStr(g.NDIM) + "," + CStr(g.KMOD) + ")";
}

using F = Sec3::Fields;
using K = Key<Store, F>;
// The whole file: block 1, the model; block 2, the ALFA range, the scale and the grid.
constexpr K kFile[] = {
    K{1},
    K{"MCLASS", &Store::MCLASS, &F::mclass}.shown("txtMclass", "Номер класса,  MCLASS ="),
    K{"NDIM", &Store::NDIM, &F::ndim}.shown("txtNdim", "Число элементов ГГС (размерность системы),  NDIM ="),
    K{"KMOD", &Store::KMOD, &F::kmod}.shown("txtKmod",
                                            "Число элементов, объединенных регуляторными связями,  KMOD ="),
    K{"BETA", &Store::BETA, &F::beta}.shown("txtBeta", "BETA ="),
    K{"GAMA", &Store::GAMA, &F::gama}.shown("txtGama", "GAMA ="),
    K{2},
    K{"Amin", &Store::Amin, &F::amin}.shown("txtAmin", "Amin ="),
    K{"Amax", &Store::Amax, &F::amax}.shown("txtAmax", "Amax ="),
    K{"Umin", &Store::Umin, &F::umin}.shown("txtUmin", "Umin ="),
    K{"Umax", &Store::Umax, &F::umax}.shown("txtUmax", "Umax ="),
    K{"NDEL", &Store::NDEL, &F::ndel}.shown("txtNdel", "Число разбиений отрезка [Amin,Amax],  NDEL =")};
constexpr KeyTable tFile{kFile};

bool positive(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

// ---------------------------------------------------------------- data file

void Sec3::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) { tFile.read(r, g); });
    // The arrays are sized as soon as the dimensions are known; a dimension below 1 is
    // refused when the computation starts.
    const int n = std::max<int>(g.NDIM, 0);
    for (Vec* v : {&Re, &Im, &ReL, &ImL}) v->alloc(n);
    const int m = std::max<int>(g.NDEL + 1, 0);
    for (Vec* v : {&g.AGRAPH, &g.UGRAPH, &g.SGRAPH}) v->alloc(m);
}

const KeyTable<Store, Sec3::Fields>& Sec3::keys() { return tFile; }

Sec3::Fields Sec3::fieldsFromStore(const Store& g) {
    Fields f;
    tFile.fill(g, f);
    return f;
}

void Sec3::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tFile.write(g, o, f);
    o.close();
}

// ---------------------------------------------------------------- limits

void Sec3::checkModel(const Store& g) {
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Номер класса MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    if (g.NDIM < 1) fail("Число элементов NDIM должно быть не меньше 1 (NDIM = " + CStr(g.NDIM) + ")");
    // Classes 1 and 4 divide by KMOD - 1; classes 2 and 3 allow an element without links.
    const int kmin = (g.MCLASS == 2 || g.MCLASS == 3) ? 1 : 2;
    if (g.KMOD < kmin || g.KMOD > g.NDIM + 1)
        fail("Для класса " + CStr(g.MCLASS) + " число KMOD должно быть от " + CStr(kmin) +
             " до NDIM + 1 (KMOD = " + CStr(g.KMOD) + ", NDIM = " + CStr(g.NDIM) + ")");
    if (!positive(g.BETA)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(g.BETA) + ")");
    if (!positive(g.GAMA)) fail("Параметр GAMA должен быть больше 0 (GAMA = " + CStr(g.GAMA) + ")");
}

void Sec3::checkLimits(const Store& g) {
    checkModel(g);
    if (!std::isfinite(g.Amin) || g.Amin < 0)
        fail("Левая граница Amin должна быть не меньше 0 (Amin = " + CStr(g.Amin) + ")");
    if (!std::isfinite(g.Amax) || !(g.Amax > g.Amin))
        fail("Правая граница Amax должна быть больше Amin (Amin = " + CStr(g.Amin) +
             ", Amax = " + CStr(g.Amax) + ")");
    if (!std::isfinite(g.Umin) || !std::isfinite(g.Umax) || !(g.Umax > g.Umin))
        fail("Масштаб графика: Umax должно быть больше Umin (Umin = " + CStr(g.Umin) +
             ", Umax = " + CStr(g.Umax) + ")");
    if (g.NDEL < 1) fail("Число разбиений NDEL должно быть не меньше 1 (NDEL = " + CStr(g.NDEL) + ")");
}

// ---------------------------------------------------------------- the computation

void Sec3::Circulant(const Store& g, Surface* surf) {
    const int n = g.NDIM, k = g.KMOD - 1;
    if (Re.upper() != n) Re.alloc(n);
    if (Im.upper() != n) Im.alloc(n);
    for (int j = 1; j <= n; ++j) {
        if (surf) surf->poll();
        double re = 0, im = 0;
        for (int i = 1; i <= k; ++i) {
            // 2*pi*i with 2*pi split in two parts for precision.
            const double t = i * 6.28318530717958 + i * 6.476925287e-15;
            const double a = j * t / n;
            re += std::cos(a);
            im += std::sin(a);
        }
        Re(j) = re;
        Im(j) = im;
    }
}

void Sec3::Bifurcation(Store& g) const {
    const int n = g.NDIM;
    double mu = 0;
    for (int j = 1; j <= n; ++j) mu = std::max(mu, -Re(j));
    if (mu == 0) {
        // No eigenvalue of the circulant has a negative real part: -1 - X*Re(j) < 0 for
        // every gain X > 0, so the symmetric solution is stable at every GAMA.
        g.Gmin = std::numeric_limits<double>::infinity();
        g.KSTAB = 2;
        return;
    }
    // Stability is lost where X*mu = 1, i.e. X = r; each class's gain solved for U.
    const double r = 1 / mu, K = g.KMOD - 1, b = g.BETA, ga = g.GAMA;
    double d = 0, uc = 0, ac = 0;
    switch (g.MCLASS) {
    case 1:
        d = ga - K * r;
        g.Gmin = K * r;
        if (d > 0) {
            uc = std::pow(r / b / d, 1 / ga);
            ac = uc * ga / d;
        }
        break;
    case 2:
        d = ga - r;
        g.Gmin = r;
        if (d > 0) {
            uc = std::pow(r / b / d, 1 / ga);
            ac = std::pow(ga / d, K) * uc;
        }
        break;
    case 3:
        d = ga - r;
        g.Gmin = r;
        if (d > 0) {
            uc = std::pow(r / b / d, 1 / (ga * K));
            ac = uc * ga / d;
        }
        break;
    default:
        d = ga - K * r;
        g.Gmin = K * r;
        if (d > 0) {
            uc = std::pow(K * r / b / d, 1 / ga);
            ac = uc * ga / d / K;
        }
        break;
    }
    if (d > 0) {
        g.KSTAB = 1;
        g.ALFAc = ac;
        g.Uc = uc;
    } else {
        g.KSTAB = 2;  // ALFAc, Uc keep their values; the results say there is no such point
    }
}

// Newton's method on G(U) = 0, S = BETA*U^GAMA, P = BETA*U^(K*GAMA), K = KMOD - 1:
//   1: (K*S + 1)*U = ALFA     2: (1 + S)^K*U = ALFA     3: (1 + P)*U = ALFA
//   4: (1 + S)*U/K = ALFA
// The gain X is d/dx of the regulation at the symmetric point, scaled by U.
Sec3::Sym Sec3::SUB_200(const Store& g, double alfa) {
    const double K = g.KMOD - 1, b = g.BETA, ga = g.GAMA;
    double u = 0;
    switch (g.MCLASS) {
    case 1: u = std::pow(alfa / b / K, 1 / (ga + 1)); break;
    case 2: u = std::pow(alfa / std::pow(b, K), 1 / (K * ga + 1)); break;
    case 3: u = std::pow(alfa / b, 1 / (K * ga + 1)); break;
    case 4: u = std::pow(K * alfa / b, 1 / (ga + 1)); break;
    default: return {};
    }
    auto noSolution = [&](const std::string& why) {
        throw VeltaError("Симметричное стационарное решение при ALFA = " + CStr(alfa) +
                         " не найдено: " + why);
    };
    if (!std::isfinite(u) || u <= 0) noSolution("недопустимое начальное приближение U = " + CStr(u));
    double S = 0, P = 0;
    for (int it = 1;; ++it) {
        S = b * std::pow(u, ga);
        P = b * std::pow(u, K * ga);
        double G = 0, Gp = 0;
        switch (g.MCLASS) {
        case 1:
            G = (K * S + 1) * u - alfa;
            Gp = K * S * (ga + 1) + 1;
            break;
        case 2:
            G = std::pow(1 + S, K) * u - alfa;
            Gp = std::pow(1 + S, K - 1) * (S * (K * ga + 1) + 1);
            break;
        case 3:
            G = (1 + P) * u - alfa;
            Gp = P * (K * ga + 1) + 1;
            break;
        default:
            G = (1 + S) * u / K - alfa;
            Gp = (S * (ga + 1) + 1) / K;
            break;
        }
        double du = G / Gp;
        if (!std::isfinite(du))
            noSolution("метод Ньютона дал нечисловое значение (итерация " + CStr(it) + ")");
        // G(0) = -ALFA < 0 < G(U) for large U: a step past zero is replaced by halving U.
        if (u - du <= 0) du = u / 2;
        u -= du;
        if (std::fabs(du) <= kNewtonTol || std::fabs(du) <= kNewtonRel * u) break;
        if (it >= kNewtonCap) noSolution("метод Ньютона не сошёлся за " + CStr(kNewtonCap) + " итераций");
    }
    S = b * std::pow(u, ga);
    P = b * std::pow(u, K * ga);
    Sym s;
    s.U = u;
    switch (g.MCLASS) {
    case 1: s.X = ga * S / (K * S + 1); break;
    case 2: s.X = ga * S / (S + 1); break;
    case 3: s.X = ga * P / (P + 1); break;
    default: s.X = ga * S / (S + 1) / K; break;
    }
    if (!std::isfinite(s.X)) noSolution("коэффициент X не является конечным числом");
    return s;
}

bool Sec3::Eigen(const Store& g, double x) {
    const int n = g.NDIM;
    if (ReL.upper() != n) ReL.alloc(n);
    if (ImL.upper() != n) ImL.alloc(n);
    bool unstable = false;
    for (int j = 1; j <= n; ++j) {
        ReL(j) = -1 - x * Re(j);
        ImL(j) = -x * Im(j);
        if (ReL(j) >= 0) unstable = true;
    }
    return unstable;
}

// ---------------------------------------------------------------- results and plot

void Sec3::SUB_300(const Store& g, TextWriter& out) {
    out.line("");
    out.line(modelName(g, "МОДЕЛЬ M"));
    out.line("");
    out.line("Параметры модели");
    out.line(" BETA  = " + fmt5(g.BETA));
    out.line(" GAMA  = " + fmt5(g.GAMA));
    out.line("");
    out.line("Координаты точки бифуркации");
    if (g.KSTAB >= 2) {
        // No loss of stability for these parameters: the coordinates of an earlier run
        // would be wrong here.
        out.line(" Точки бифуркации нет:");
        out.line(" решение асимптотически устойчиво при ALFA >= 0");
    } else {
        out.line(" ALFAc = " + fmt5(g.ALFAc));
        out.line(" Uc    = " + fmt5(g.Uc));
    }
    out.line("");
    out.line("  k       ALFA            U       STABILITY");
    out.line("-----+-------------+-------------+---------");
    for (int k = 1; k <= g.NDEL + 1; ++k)
        out.line(Format(k, "0000") + "   " + fmt5(g.AGRAPH(k)) + "   " + fmt5(g.UGRAPH(k)) + "   " +
                 (g.SGRAPH(k) == -1 ? "  STAB" : "UNSTAB"));
}

void Sec3::DrawMesh3(Ctx& c) {
    const Store& g = c.store;
    MeshMaskG(c, "Зависимость симметричного стационарного решения U от ALFA", "U", "ALFA", g.Amin, g.Amax,
              g.Umin, g.Umax);
    Nadpis(c, 3, "", 0);
}

void Sec3::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    Circulant(g, &c.surf);
    Bifurcation(g);

    const int m = g.NDEL + 1;
    for (Vec* v : {&g.AGRAPH, &g.UGRAPH, &g.SGRAPH})
        if (v->upper() != m) v->alloc(m);
    const double h = (g.Amax - g.Amin) / g.NDEL;
    // Node 1 sits just right of Amin (ALFA = 0 has U = 0); every node's stability is
    // tested, also the first one's.
    for (int k = 1; k <= m; ++k) {
        c.surf.poll();
        const double a = k == 1 ? g.Amin + 1e-7 : g.Amin + (k - 1) * h;
        const Sym s = SUB_200(g, a);
        g.AGRAPH(k) = a;
        g.UGRAPH(k) = s.U;
        g.SGRAPH(k) = Eigen(g, s.X) ? 1 : -1;
        g.ALFA = a;
    }

    {
        auto out = TextWriter::create(c.paths.userFile("Results.stb"));
        SUB_300(g, *out);
        out->close();
    }
    DrawMesh3(c);
    Graphic3(c);
}

// ---------------------------------------------------------------- spectrum

std::vector<std::string> Sec3::spectrFileLines(const Store& g, double alfa, const Sym& sol, const Vec& reL,
                                               const Vec& imL) {
    std::vector<std::string> l = {
        "",
        modelName(g, "    Mодель M"),
        "Спектр циркулянта, зависящий от параметра X",
        "",
        " NDIM = " + Format(g.NDIM, "####"),
        " KMOD = " + Format(g.KMOD, "####"),
        " ALFA = " + fmt6(alfa),
        " BETA = " + fmt6(g.BETA),
        " GAMA = " + fmt6(g.GAMA),
        " X    = " + fmt6(sol.X),
        "",
        "Стационарное симметричное решение: U = " + fmt6(sol.U),
        "",
        "",
        "                 Таблица",
        "вещественных (ReLj) и мнимых (ImLj) частей",
        "       собственных чисел циркулянта",
        "",
        "  j         ReLj              ImLj",
        " ---+-----------------+-----------------",
    };
    for (int j = 1; j <= g.NDIM; ++j) {
        std::string row = " ";
        row += Format(j, "00");
        row += "   ";
        row += fmt12(reL(j));
        row += "   ";
        row += fmt12(imL(j));
        l.push_back(row);
    }
    return l;
}

std::vector<std::string> Sec3::spectrViewLines(const Store& g, double alfa, const Sym& sol,
                                               bool unstable) const {
    return {
        "",
        "",
        "",
        "    Спектр циркулянта при ALFA = " + fmt5(alfa),
        "",
        "",
        modelName(g, "    МОДЕЛЬ M"),
        "",
        "    ALFA  = " + fmt5(alfa),
        "    BETA  = " + fmt5(g.BETA),
        "    GAMA  = " + fmt5(g.GAMA),
        "",
        "    Стационарное симметричное решение ",
        "        U = x(i) = " + fmt5(sol.U) + ", i = 1,2,...," + CStr(g.NDIM),
        "",
        unstable ? "    Решение НЕУСТОЙЧИВО" : "    Решение АСИМПТОТИЧЕСКИ УСТОЙЧИВО",
        "",
        "    (Значения собственных чисел циркулянта приведены в файле <Spectr.stb>)",
    };
}

void Sec3::Spectr(Ctx& c) {
    spectrView.clear();
    Store& g = c.store;
    checkModel(g);
    double alfa = 0;
    for (;;) {
        const std::string ans = c.ui.inputBox("Введите  ALFA  для вычисления спектра циркулянта",
                                              kSpectrTitle, CStr(g.ALFA));
        if (ans.empty()) {
            c.ui.message("Вы ничего не ввели или выбрали  Cancel", MsgIcon::None, kSpectrTitle);
            // Cancel ends the command (nothing computed, no file written); an empty
            // answer asks again.
            if (c.ui.emptyAnswerWasCancel()) return;
            continue;
        }
        try {
            alfa = textToReal(ans);
        } catch (const std::exception&) {
            c.ui.message(" Вы ввели не число", MsgIcon::None, kSpectrTitle);
            continue;
        }
        if (!positive(alfa)) {
            c.ui.message("Значение ALFA должно быть больше 0 (ALFA = " + quoteInput(ans) + ")", MsgIcon::None,
                         kSpectrTitle);
            continue;
        }
        break;
    }
    g.ALFA = alfa;
    // The spectrum is computed here for the current NDIM and KMOD: a run of the grid
    // need not have come first.
    Circulant(g, &c.surf);
    const Sym sol = SUB_200(g, alfa);
    const bool unstable = Eigen(g, sol.X);
    const std::vector<std::string> file = spectrFileLines(g, alfa, sol, ReL, ImL);
    {
        auto out = TextWriter::create(c.paths.userFile("Spectr.stb"));
        for (const std::string& l : file) out->line(l);
        out->close();
    }
    spectrView = spectrViewLines(g, alfa, sol, unstable);
}

}  // namespace velta
