// Section 6: reading and writing the ".suzd" data file, the right-hand sides of the four
// model classes, the initial function and the results table "\User\Results.suz".
#include "models/section6/sec6.h"

#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textlist.h"
#include "graphics/canvas.h"
#include "models/autonomous.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

constexpr int kNodes = 1000;  // ZTAB nodes 0..1000
constexpr int kComps = 5;     // at most five equations
constexpr int kDelays = 20;   // at most twenty delays
constexpr int kNdelMax = (kNodes - 2) / 2;

// Text of v(i), or "0" beyond the allocated vector (a dimension typed larger).
std::string cell(const Vec& v, int i, bool zeros) {
    return zeros || i > v.upper() ? std::string("0") : CStr(v(i));
}

void checkMdim(int mdim) {
    if (mdim < 1 || mdim > kComps)
        fail("Число уравнений MDIM должно быть от 1 до 5 (MDIM = " + CStr(mdim) + ")");
}

void checkLtau(int ltau) {
    if (ltau < 1 || ltau > kDelays)
        fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(ltau) + ")");
}

const char* const kParamNames[3] = {"ALFA", "GAMA", "TETA"};

using F = Sec6::Fields;
// The values the window's texts stand for, checked before they are saved.
struct Values {
    i16 MCLASS = 0, MDIM = 0, LTAU = 0, NDEL = 0, NSC = 0;
    double TMAX = 0, SCLX = 0, SCRX = 0, SCLT = 0;
};
// The keys of block 1 (before the parameter lines), 2 (before the delays), 4 and 7-8, for
// the store (O = Store) and for the values checked (O = Values), with the window's fields.
template <class O>
struct Keys {
    using K = Key<O, F>;
    static constexpr K cls[] = {
        K{1},
        K{"MClass", &O::MCLASS, &F::mclass}.checkedAs("MCLASS").shown("txtMclass", "Номер класса,  MCLASS ="),
        K{"MDIM", &O::MDIM, &F::mdim}.shown("txtMDIM", "Число уравнений,  MDIM =")};
    static constexpr K lags[] = {
        K{2}, K{"LTAU", &O::LTAU, &F::ltau}.shown("txtLTAU", "Число запаздываний,  LTAU =")};
    static constexpr K step[] = {K{4}, K{"TMAX", &O::TMAX, &F::tmax}.shown("txtTmax", "TMAX ="),
                                 K{"NDEL", &O::NDEL, &F::ndel}.shown("txtNDEL", "NDEL =")};
    static constexpr K tail[] = {K{7},
                                 K{"NSC", &O::NSC, &F::nsc}.shown("txtNsc", "NSC ="),
                                 K{8},
                                 K{"SCLX", &O::SCLX, &F::sclx}.shown("txtSCLX", "SCLX ="),
                                 K{"SCRX", &O::SCRX, &F::scrx}.shown("txtSCRX", "SCRX ="),
                                 K{"SCLT", &O::SCLT, &F::sclt}.shown("txtSCLT", "SCLT =")};
};
using Own = Keys<Store>;
using Checked = Keys<Values>;
constexpr KeyTable tClass{Own::cls};
constexpr KeyTable tDelays{Own::lags};
constexpr KeyTable tStep{Own::step};
constexpr KeyTable tTail{Own::tail};

}  // namespace

double& Sec6::BETA(Store& g, int i, int j, int k) {
    auto& b = g.BETAm;
    if (k < 1 || k >= static_cast<int>(b.size()))
        fail("Индекс " + CStr(k) + " вне границ массива BETA (1.." + CStr(static_cast<int>(b.size()) - 1) +
             ")");
    return b[static_cast<std::size_t>(k)](i, j);
}

// ---------------------------------------------------------------- data file

void Sec6::InputPar(Ctx& c) {
    readParFile(c.store, c.paths, dataPath, [](ParReader& r) {
        Store& g = r.store();
        // 1. class, equations and their parameters
        tClass.read(r, g);
        checkMdim(g.MDIM);
        const int n = g.MDIM;
        g.ALFAm.alloc(n);
        g.GAMAm.alloc(n);
        g.TETAm.alloc(n);
        g.X1.alloc(n);
        Vec* params[3] = {&g.ALFAm, &g.GAMAm, &g.TETAm};
        for (int p = 0; p < 3; ++p) {
            r.skipLine();
            for (int k = 1; k <= n; ++k) {
                (*params[p])(k) = r.readNumber();
                r.echo(std::string(kParamNames[p]) + "m(" + CStr(k) + ") = " + CStr((*params[p])(k)));
            }
        }
        // 2. delays
        tDelays.read(r, g);
        checkLtau(g.LTAU);
        const int m = g.LTAU;
        allocDelayTables(g, kNodes, n, m);
        g.BETAm.assign(static_cast<std::size_t>(n) + 1, Mat());
        for (int k = 1; k <= n; ++k) g.BETAm[static_cast<std::size_t>(k)].alloc(m, n);
        r.skipLine();
        for (int i = 1; i <= m; ++i) {
            g.TAU(i) = r.readNumber();
            r.echo("TAUm(" + CStr(i) + ") = " + CStr(g.TAU(i)));
        }
        // 3. links: for k, for i the line BETA(i,1,k), ..., BETA(i,MDIM,k); an empty line
        r.Head_Input(3);
        for (int k = 1; k <= n; ++k)
            for (int i = 1; i <= m; ++i) {
                std::string echo;
                for (int j = 1; j <= n; ++j) {
                    BETA(g, i, j, k) = r.readNumber();
                    echo += CStr(BETA(g, i, j, k)) + "   ";
                }
                r.echo(echo);
            }
        r.skipEmptyValueLine();
        // 4. integration
        tStep.read(r, g);
        g.NP1 = toI16(g.NDEL + 1.0);
        g.NP2 = toI16(2.0 * g.NDEL);
        r.echo("NP1  = " + CStr(g.NP1));
        r.echo("NP2  = " + CStr(g.NP2));
        // 5. perturbed components and their values (kept, not used by the computation)
        readInitialData(r, 5, n, "MDIM");
        // 6. plotted components, at most MDIM of them
        r.Head_Input(6);
        r.skipLine();
        const std::vector<i16> ic = r.readList(n, "IC", n, "MDIM");
        g.NCOMP = static_cast<i16>(ic.size());
        for (int j = 1; j <= g.NCOMP; ++j) {
            g.IC(j) = ic[static_cast<std::size_t>(j - 1)];
            r.echo("IC(" + CStr(j) + ") = " + CStr(g.IC(j)));
        }
        // 7, 8
        tTail.read(r, g);
        g.L = 0;
    });
}

GridText Sec6::paramGrid(const Store& g, int mdim, bool zeros) {
    if (mdim < 0) throw VeltaError("Недопустимое число уравнений: " + CStr(mdim));
    GridText t(6, mdim + 3);
    t.at(0, 0) = "\\j";
    const Vec* v[3] = {&g.ALFAm, &g.GAMAm, &g.TETAm};
    for (int p = 0; p < 3; ++p) t.at(p + 2, 0) = kParamNames[p];
    for (int j = 1; j <= mdim; ++j) {
        t.at(0, j + 1) = CStr(j);
        for (int p = 0; p < 3; ++p) t.at(p + 2, j + 1) = cell(*v[p], j, zeros);
    }
    return t;
}

GridText Sec6::tauGrid(const Store& g, int ltau, bool zeros) {
    if (ltau < 0) throw VeltaError("Недопустимое число запаздываний: " + CStr(ltau));
    GridText t(4, ltau + 3);
    t.at(0, 0) = "\\i";
    t.at(2, 0) = "TAU";
    for (int i = 1; i <= ltau; ++i) {
        t.at(0, i + 1) = CStr(i);
        t.at(2, i + 1) = cell(g.TAU, i, zeros);
    }
    return t;
}

GridText Sec6::betaGrid(const Store& g, int ltau, int mdim, bool zeros) {
    if (ltau < 0 || mdim < 0)
        throw VeltaError("Недопустимые размеры таблицы BETA: " + CStr(ltau) + " x " + CStr(mdim));
    const auto& b = g.BETAm;
    GridText t(ltau + 3, mdim * mdim + 3);
    t.at(0, 0) = "i\\j (k)";
    for (int k = 1; k <= mdim; ++k)
        for (int j = 1; j <= mdim; ++j) t.at(0, (k - 1) * mdim + j + 1) = CStr(j) + " (" + CStr(k) + ")";
    for (int i = 1; i <= ltau; ++i) {
        t.at(i + 1, 0) = CStr(i);
        for (int k = 1; k <= mdim; ++k)
            for (int j = 1; j <= mdim; ++j) {
                const bool stored = !zeros && k < static_cast<int>(b.size()) &&
                                    i <= b[static_cast<std::size_t>(k)].rows() &&
                                    j <= b[static_cast<std::size_t>(k)].cols();
                t.at(i + 1, (k - 1) * mdim + j + 1) = stored ? CStr(b[static_cast<std::size_t>(k)](i, j))
                                                             : std::string("0");
            }
    }
    return t;
}

const KeyTable<Store, Sec6::Fields>& Sec6::keys(int block) {
    switch (block) {
    case 1: return tClass;
    case 2: return tDelays;
    case 4: return tStep;
    case 7:
    case 8: return tTail;
    default: fail("Блок " + CStr(block) + " файла данных не задается ключами");
    }
}

Sec6::Fields Sec6::fieldsFromStore(const Store& g) {
    const int n = std::max<int>(g.MDIM, 0), m = std::max<int>(g.LTAU, 0);
    Fields f;
    tClass.fill(g, f);
    tDelays.fill(g, f);
    f.agt = paramGrid(g, n, false);
    f.tau = tauGrid(g, m, false);
    f.beta = betaGrid(g, m, n, false);
    tStep.fill(g, f);
    f.i1n = joinInts(g.INK, g.NK);
    f.zi1 = joinPerturbations(g);
    f.i1g = joinInts(g.IC, g.NCOMP);
    tTail.fill(g, f);
    return f;
}

void Sec6::Table_File(const Store& g, const std::string& path, const Fields& f) {
    // The sizes are the grids' own (the MDIM and LTAU fields may be newer than the store).
    const int n = f.agt.cols() - 3, m = f.tau.cols() - 3;
    if (n < 0 || m < 0 || f.beta.rows() != m + 3 || f.beta.cols() != n * n + 3)
        fail("Таблицы на Листах #2, #3, #4 не согласованы: выберите другой лист, чтобы их перестроить");
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tClass.write(g, o, f);
    for (int p = 0; p < 3; ++p) {
        o.line(std::string(kParamNames[p]) + "(K):");
        o.line(f.agt.joinRow(p + 2, 2, n + 1));
    }
    tDelays.write(g, o, f);
    o.line("TAUm(I):");
    o.line(f.tau.joinRow(2, 2, m + 1));
    Head_File(g, o, 3);
    for (int k = 1; k <= n; ++k)
        for (int i = 1; i <= m; ++i) o.line(f.beta.joinRow(i + 1, (k - 1) * n + 2, k * n + 1));
    o.line("");
    tStep.write(g, o, f);
    Head_File(g, o, 5);
    o.line("i1,...:");
    o.line(f.i1n);
    o.line("Zi1,...:");
    o.line(f.zi1);
    Head_File(g, o, 6);
    o.line("IC(I):");
    o.line(f.i1g);
    tTail.write(g, o, f);
    w->close();
}

void Sec6::checkFields(const Fields& f) {
    Values vals;
    KeyTable{Checked::cls}.parse(f, vals);
    KeyTable{Checked::lags}.parse(f, vals);
    const int n = vals.MDIM, m = vals.LTAU;
    checkMdim(n);
    checkLtau(m);
    if (f.agt.cols() - 3 != n || f.beta.cols() != n * n + 3)
        fail("После изменения  MDIM  не забудьте\nскорректировать таблицу на Листах #2, #4");
    if (f.tau.cols() - 3 != m || f.beta.rows() != m + 3)
        fail("После изменения  LTAU  не забудьте\nскорректировать таблицу на Листах #3, #4");
    for (int p = 0; p < 3; ++p)
        for (int j = 1; j <= n; ++j) {
            const double v = keyReal(std::string(kParamNames[p]) + "(" + CStr(j) + ")",
                                     f.agt.at(p + 2, j + 1));
            if (p == 2 && v == 0) fail("Скорость распада TETA(" + CStr(j) + ") должна быть отлична от 0");
        }
    std::vector<double> tau;
    for (int i = 1; i <= m; ++i) tau.push_back(keyReal("TAU(" + CStr(i) + ")", f.tau.at(2, i + 1)));
    for (int k = 1; k <= n; ++k)
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= n; ++j)
                keyReal("BETA(" + CStr(i) + "," + CStr(j) + "," + CStr(k) + ")",
                        f.beta.at(i + 1, (k - 1) * n + j + 1));
    KeyTable{Checked::step}.parse(f, vals);
    KeyTable{Checked::tail}.parse(f, vals);
    const double tmax = vals.TMAX, sclx = vals.SCLX, scrx = vals.SCRX;
    const int ndel = vals.NDEL, nsc = vals.NSC;

    if (!(tau[0] > 0)) fail("Запаздывания должны быть больше 0 (TAU(1) = " + f.tau.at(2, 2) + ")");
    for (int i = 1; i < m; ++i)
        if (tau[static_cast<std::size_t>(i - 1)] > tau[static_cast<std::size_t>(i)])
            fail("Запаздывания должны быть заданы в порядке возрастания: TAU(" + CStr(i) +
                 ") = " + f.tau.at(2, i + 1) + " > TAU(" + CStr(i + 1) + ") = " + f.tau.at(2, i + 2));
    if (!(tmax > 0)) fail("Длина порции TMAX должна быть больше 0 (TMAX = " + f.tmax + ")");
    if (ndel < 1 || ndel > kNdelMax)
        fail("Число шагов на наибольшем запаздывании NDEL должно быть от 1 до 499 (NDEL = " + f.ndel + ")");
    // The same test as the run: every delayed time on nodes computed before the new one.
    const double taum = tau.back(), h = taum / ndel;
    for (int i = 1; i < m; ++i) {
        double r = 0;
        const int p = delayNode(taum - tau[static_cast<std::size_t>(i - 1)], h, ndel + 1, r);
        if (p < 1 || p + (r > 0 ? 1 : 0) > ndel)
            fail("Запаздывание TAU(" + CStr(i) + ") = " + f.tau.at(2, i + 1) +
                 " меньше шага H = TAU(LTAU)/NDEL = " + CStr(h));
    }
    if (nsc < 1) fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");
    if (!(sclx != scrx)) fail("Пустой диапазон графика: SCLX = SCRX = " + f.sclx);

    // The perturbation lists must agree, or every later block of the file shifts.
    const auto i1n = listItems(f.i1n), zi1 = listItems(f.zi1);
    for (const std::string& item : i1n) {
        const int k = keyInt("номера компоненты", item);
        if (k < 1 || k > n)
            fail("Номер возмущаемой компоненты " + CStr(k) + " вне диапазона 1..MDIM (MDIM = " + f.mdim +
                 ")");
    }
    if (i1n.size() > static_cast<std::size_t>(n))
        fail("Номеров возмущаемых компонент больше, чем MDIM = " + f.mdim);
    if (zi1.size() != i1n.size())
        fail("Число значений возмущений (" + CStr(static_cast<int>(zi1.size())) +
             ") не совпадает с числом номеров компонент (" + CStr(static_cast<int>(i1n.size())) + ")");
    for (const std::string& item : zi1) keyReal("возмущения", item);

    const auto i1g = listItems(f.i1g);
    if (i1g.empty()) fail("Не задано ни одной компоненты для графика");
    for (const std::string& item : i1g) {
        const int k = keyInt("номера компоненты графика", item);
        if (k < 1 || k > n)
            fail("Номер компоненты графика " + CStr(k) + " вне диапазона 1..MDIM (MDIM = " + f.mdim + ")");
    }
}

// ---------------------------------------------------------------- model

void Sec6::checkLimits(const Store& g) const {
    checkMdim(g.MDIM);
    checkLtau(g.LTAU);
    if (g.ALFAm.upper() < g.MDIM || g.GAMAm.upper() < g.MDIM || g.TETAm.upper() < g.MDIM ||
        static_cast<int>(g.BETAm.size()) < g.MDIM + 1)
        fail(kNotRead);
}

// u(i,j,k) = (ZTAU(i,j)/BETA(i,j,k))^GAMA(j) over the links BETA(i,j,k) > 0; an empty
// sum is 0, an empty product 1.
void Sec6::Vych_PCH(Store& g) {
    const int n = g.MDIM, m = g.LTAU;
    for (int k = 1; k <= n; ++k) {
        const Mat& b = g.BETAm[static_cast<std::size_t>(k)];
        double sum = 0, prod = 1, inv = 0;
        double classProd = 1;  // class 2: product over i of (1 + sum over j)
        for (int i = 1; i <= m; ++i) {
            const double* bi = b.row(i);
            const double* zi = g.ZTAU.row(i);
            double si = 0;
            for (int j = 1; j <= n; ++j) {
                if (!(bi[j] > 0)) continue;
                const double u = std::pow(zi[j] / bi[j], g.GAMAm(j));
                si += u;
                prod *= u;
                inv += 1 / (1 + u);
            }
            sum += si;
            classProd *= 1 + si;
        }
        const double a = g.ALFAm(k);
        switch (g.MCLASS) {
        case 1: g.FZ(k) = a / (1 + sum); break;
        case 2: g.FZ(k) = a / classProd; break;
        case 3: g.FZ(k) = a / (1 + prod); break;
        case 4: g.FZ(k) = a * inv; break;
        default: break;
        }
    }
}

// Constant data on the window before t = 0: Z(1) = 0.1, the other components 0.
void Sec6::Nach_Rasp(Store& g) {
    const int np1 = g.NDEL + 1;
    for (int p = 1; p <= np1; ++p)
        for (int k = 1; k <= g.MDIM; ++k) g.ZTAB(p, k) = 0;
    for (int p = 1; p <= np1; ++p) g.ZTAB(p, 1) = 0.1;
}

// ---------------------------------------------------------------- results and canvas

void Sec6::header(const Store& g, TextWriter& out) {
    const std::string e5 = "0.00000E+00", e4 = "0.0000E+00";
    out.line("");
    out.line(" Модель класса " + CStr(g.MCLASS));
    out.line(" ПАРАМЕТРЫ МОДЕЛИ");
    out.line(" MDIM = " + CStr(g.MDIM));
    out.line(" LTAU = " + CStr(g.LTAU));
    out.line(" ALFA, GAMA, TETA");
    for (int k = 1; k <= g.MDIM; ++k)
        out.line(Format(g.ALFAm(k), e5) + "  " + Format(g.GAMAm(k), e5) + "  " + Format(g.TETAm(k), e5));
    out.line(" TAU");
    for (int i = 1; i <= g.LTAU; ++i) out.line(Format(g.TAU(i), e4));
    out.line(" TMAX = " + Format(g.TMAX, e4));
    out.line(" NDEL = " + CStr(g.NDEL));
    out.line("");
    out.line("              Таблица");
    out.line("зависимостей компонент вектора Z от времени t");
    out.line("");
    out.line(std::string(" No ") + "       t   " + "          Z1" + "            Z2" + "            Z3");
    out.line(std::string("-----+-------------+") + "-------------+" + "-------------+" + "-------------+");
}

void Sec6::DrawMesh1(Ctx& c) {
    const Store& g = c.store;
    MeshMaskG(c, "Графики компонент вектора Z(t), t = L*TAUmax + u", "Z", "u", g.SCLT, g.SCRT, g.SCLX,
              g.SCRX);
    Nadpis(c, 6, "Phys", 10);
}

void Sec6::Integr1(Ctx& c) { DelayIntegr(c, *this); }

}  // namespace velta
