// Section 1.2: reading and writing the ".mnzd" data file, the right-hand sides of the task
// folders, the stationary value and the initial function, and the results table
// "\User\Results.mnz".
#include "models/section12/sec12.h"

#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textlist.h"
#include "graphics/canvas.h"
#include "models/delay/delaydata.h"
#include "models/modelkeys.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

constexpr int kNodes = 1000;  // ZTAB nodes 0..1000
constexpr int kComps = 5;     // components 0..5
constexpr int kDelays = 20;   // delays 0..20
constexpr int kNdelMax = (kNodes - 2) / 2;
// The damped iteration gains about a tenth of the distance per step; far more than the
// slowest sensible parameters need.
constexpr int kStationCap = 100000;
// How far from the root (|G|/G') the stopped iteration may be, relative and absolute,
// before Newton's method finishes it in at most kRefineCap steps.
constexpr double kStationRelative = 0.05, kStationAbsolute = 0.001;
constexpr int kRefineCap = 200;

// ---- texts of the window

using F = Sec12::Fields;
// The values the window's texts stand for, checked before they are saved.
struct Values : DelayRunValues {
    i16 MCLASS = 0, NDIM = 0, KMOD = 0, MDIM = 0, LTAU = 0;
    double ALFA = 0, BETA = 0, GAMA = 0, PTAU = 0;
};
// Block 1, the network M(NDIM,KMOD), with this window's fields and labels, and the keys of
// block 2 before the delays.
constexpr auto kNetwork = SymmetricModelKeys<F>::withNdim("Число элементов ГГС,  NDIM =");
constexpr KeyTable tNetwork{kNetwork};
constexpr KeyTable tLags{DelayModelKeys<F>::lags};

std::string needsText(const std::string& task, Sec12::TaskNeeds n) {
    std::string s = "Модель задачи " + task + " требует ";
    if (n.mdim > 1) s += "MDIM >= " + CStr(n.mdim) + " и ";
    return s + "LTAU >= " + CStr(n.ltau);
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec12::InputPar(Ctx& c) {
    readParFile(
        c.store, c.paths, dataPath,
        [](ParReader& r) {
            Store& g = r.store();
            allocDelayTables(g, kNodes, kComps, kDelays);
            // 1. the network M(NDIM,KMOD); 2. equations and delays
            tNetwork.read(r, g);
            tLags.read(r, g);
            // The delay list must fit the vector; none at all would shift every later block.
            if (g.LTAU < 1 || g.LTAU > kDelays)
                fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
            readDelayList(r);
            readDelayRunBlocks(r);
        },
        false);  // this section's check file has no blank third line
}

GridText Sec12::tauGrid(const Vec& tau, int ltau, bool zeros) { return delayTauGrid(tau, ltau, zeros); }

const KeyTable<Store, Sec12::Fields>& Sec12::keys(int block) {
    if (block == 1) return tNetwork;
    if (block == 2) return tLags;
    fail("Блок " + CStr(block) + " файла данных не задается ключами");
}

Sec12::Fields Sec12::fieldsFromStore(const Store& g) {
    Fields f;
    tNetwork.fill(g, f);
    tLags.fill(g, f);
    f.tau = tauGrid(g.TAU, std::max<int>(g.LTAU, 0), false);
    delayRunTextsFromStore(g, f);
    return f;
}

void Sec12::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tNetwork.write(g, o, f);
    tLags.write(g, o, f);
    // The delays at the grid's own length (the LTAU field may be newer than the store).
    Colm_File(o, "TAUm(I):", f.tau.rows() - 3, f.tau);
    writeDelayRunBlocks(g, o, f);
    w->close();
}

void Sec12::checkFields(const Fields& f) {
    Values vals;
    KeyTable{SymmetricModelKeys<F, Values>::model}.parse(f, vals);
    KeyTable{DelayModelKeys<F, Values>::lags}.parse(f, vals);
    delayRunValuesOf(f, vals);
    const int kmod = vals.KMOD, mdim = vals.MDIM, ltau = vals.LTAU, ndel = vals.NDEL, nsc = vals.NSC;
    const double gama = vals.GAMA, ptau = vals.PTAU, tmax = vals.TMAX;

    if (kmod < 1) fail("Число элементов KMOD должно быть не меньше 1 (KMOD = " + f.kmod + ")");
    if (!(gama >= 1))
        fail("Стационарное решение ищется от S = 0: GAMA должно быть не меньше 1 (GAMA = " + f.gama + ")");
    if (mdim < 1 || mdim > kComps) fail("Число уравнений MDIM должно быть от 1 до 5 (MDIM = " + f.mdim + ")");
    if (ltau < 1 || ltau > kDelays)
        fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + f.ltau + ")");
    if (f.tau.rows() - 3 != ltau)
        fail("После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");
    if (!(ptau > 0)) fail("Период автоколебаний PTAU должен быть больше 0 (PTAU = " + f.ptau + ")");
    if (!(tmax > 0)) fail("Длина порции TMAX должна быть больше 0 (TMAX = " + f.tmax + ")");
    if (ndel < 1 || ndel > kNdelMax)
        fail("Число шагов на наибольшем запаздывании NDEL должно быть от 1 до 499 (NDEL = " + f.ndel + ")");
    if (nsc < 1) fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + f.nsc + ")");

    std::vector<double> tau;
    for (int k = 1; k <= ltau; ++k) tau.push_back(keyReal("TAU(" + CStr(k) + ")", f.tau.at(k + 1, 2)));
    if (!(tau[0] > 0)) fail("Запаздывания должны быть больше 0 (TAU(1) = " + f.tau.at(2, 2) + ")");
    for (int k = 1; k < ltau; ++k)
        if (tau[static_cast<std::size_t>(k - 1)] > tau[static_cast<std::size_t>(k)])
            fail("Запаздывания должны быть заданы в порядке возрастания: TAU(" + CStr(k) +
                 ") = " + f.tau.at(k + 1, 2) + " > TAU(" + CStr(k + 1) + ") = " + f.tau.at(k + 2, 2));
    // The same test as the run: every delayed time on nodes computed before the new one.
    const double taum = ptau * tau.back(), h = taum / ndel;
    for (int k = 1; k < ltau; ++k) {
        double r = 0;
        const int p = delayNode(taum - ptau * tau[static_cast<std::size_t>(k - 1)], h, ndel + 1, r);
        if (p < 1 || p + (r > 0 ? 1 : 0) > ndel)
            fail("Запаздывание PTAU*TAU(" + CStr(k) +
                 ") = " + CStr(ptau * tau[static_cast<std::size_t>(k - 1)]) +
                 " меньше шага H = TAU(LTAU)/NDEL = " + CStr(h));
    }

    for (const std::string& item : listItems(f.i1g)) {
        const int k = keyInt("номера компоненты графика", item);
        if (k < 1 || k > mdim)
            fail("Номер компоненты графика " + CStr(k) + " вне диапазона 1..MDIM (MDIM = " + f.mdim + ")");
    }
    if (listItems(f.i1g).empty()) fail("Не задано ни одной компоненты для графика");
}

// ---------------------------------------------------------------- model

Sec12::TaskNeeds Sec12::taskNeeds(const std::string& taskdir) {
    if (taskdir == "Tau0") return {2, 3};
    if (taskdir == "Tau1") return {1, 3};
    if (taskdir == "Tau2") return {1, 1};
    if (taskdir == "Tau3") return {1, 4};
    return {0, 0};
}

std::vector<double> Sec12::preparedDelays(const Store& g) const {
    std::vector<double> t;
    for (int j = 1; j <= g.LTAU; ++j) t.push_back(g.PTAU * g.TAU(j));
    return t;
}

void Sec12::checkLimits(const Store& g) const {
    if (g.MDIM < 1 || g.MDIM > kComps)
        fail("Число уравнений MDIM должно быть от 1 до 5 (MDIM = " + CStr(g.MDIM) + ")");
    if (g.LTAU < 1 || g.LTAU > kDelays)
        fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
    const TaskNeeds need = taskNeeds(g.TASKDIR);
    if (g.MDIM < need.mdim || g.LTAU < need.ltau)
        fail(needsText(g.TASKDIR, need) + " (MDIM = " + CStr(g.MDIM) + ", LTAU = " + CStr(g.LTAU) + ")");
    if (g.L < 1) {
        // What the first portion computes: the delays times PTAU and the stationary value.
        if (!(g.PTAU > 0) || !std::isfinite(g.PTAU))
            fail("Период автоколебаний PTAU должен быть больше 0 (PTAU = " + CStr(g.PTAU) + ")");
        if (!(g.GAMA >= 1) || !std::isfinite(g.GAMA))
            fail("Стационарное решение ищется от S = 0: GAMA должно быть не меньше 1 (GAMA = " +
                 CStr(g.GAMA) + ")");
        if (g.KMOD < 1) fail("Число элементов KMOD должно быть не меньше 1 (KMOD = " + CStr(g.KMOD) + ")");
    }
}

// FZ from the delayed values z(j, c) = ZTAU(j, c); sums left to right as written. A task
// folder without a model of its own leaves FZ as it is.
void Sec12::Vych_PCH(Store& g) {
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA;
    const Mat& z = g.ZTAU;
    // The task folder by its digit: "Tau0" .. "Tau3", -1 for any other name.
    const std::string& t = g.TASKDIR;
    const int task = t.size() == 4 && t.compare(0, 3, "Tau") == 0 && t[3] >= '0' && t[3] <= '3' ? t[3] - '0'
                                                                                                : -1;
    switch (task) {
    case 0: {
        // Each delayed power once.
        const double p11 = std::pow(z(1, 1), ga), p12 = std::pow(z(1, 2), ga);
        const double p22 = std::pow(z(2, 2), ga), p31 = std::pow(z(3, 1), ga);
        g.FZ(1) = a / (1 + b * ((p11 + p12) + p22));
        g.FZ(2) = a / (1 + b * ((p11 + p31) + p12));
        break;
    }
    case 1: {
        const double p11 = std::pow(z(1, 1), ga), p21 = std::pow(z(2, 1), ga), p31 = std::pow(z(3, 1), ga);
        g.FZ(1) = a / (1 + b * (p11 + p21 + p31));
        break;
    }
    case 2: g.FZ(1) = a / (1 + b * std::pow(z(1, 1), ga)); break;
    case 3: {
        const double p11 = std::pow(z(1, 1), ga), p21 = std::pow(z(2, 1), ga), p31 = std::pow(z(3, 1), ga),
                     p41 = std::pow(z(4, 1), ga);
        g.FZ(1) = a / (1 + b * (p11 + p21 + p31 + p41));
        break;
    }
    default: break;
    }
}

// G(S) = S - ALFA*A(S), A = 1/(1 + m*BETA*S^GAMA), m = KMOD - 1; the step is
// -0.1*G/D with the slope D = 1 + A^2*ALFA*(ALFA*BETA*GAMA*S^(GAMA-1)), from S = 0 until
// the step is below 1E-4.
void Sec12::Station(Store& g) {
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA, m = g.KMOD - 1;
    const auto gd = [a, b, ga, m](double s) {
        const double A = 1 / (1 + m * b * std::pow(s, ga));
        const double G = s - a * A;
        const double D = 1 + A * A * a * (a * b * ga * std::pow(s, ga - 1));
        return std::pair<double, double>(G, D);
    };
    double s = dampedNewton(gd, 0.0, 0.1, 0.0001, kStationCap, "стационарного решения");
    // D is not G'(S): when it is much larger, a step falls below the tolerance far from
    // the root (KMOD = 1, a large ALFA). Such a stop is finished by Newton's method with
    // the true slope G'(S) = 1 + ALFA*A^2*m*BETA*GAMA*S^(GAMA-1).
    const auto gdTrue = [a, b, ga, m](double z) {
        const double A = 1 / (1 + m * b * std::pow(z, ga));
        return std::pair<double, double>(z - a * A, 1 + a * A * A * m * b * ga * std::pow(z, ga - 1));
    };
    const auto [res, slope] = gdTrue(s);
    const double dist = std::fabs(res) / (std::fabs(slope) > 1 ? std::fabs(slope) : 1.0);
    if (!(dist <= kStationRelative * std::fabs(s) + kStationAbsolute))
        s = dampedNewton(gdTrue, s, 1.0, 1e-12 * std::max(1.0, std::fabs(s)), kRefineCap,
                         "уточнения стационарного решения");
    g.STAT = s;
}

// Stationary value, then the initial function on nodes 1..NP1 (the window before t = 0).
void Sec12::Nach_Rasp(Store& g) {
    Station(g);
    const int np1 = g.NDEL + 1;
    if (g.IND != 0) {
        for (int p = 1; p <= np1; ++p)
            for (int k = 1; k <= g.MDIM; ++k) g.ZTAB(p, k) = 0;
        for (int p = 1; p <= np1; ++p) g.ZTAB(p, 1) = 0.0001;
    } else {
        for (int p = 1; p <= np1; ++p)
            for (int k = 1; k <= g.MDIM; ++k) g.ZTAB(p, k) = g.STAT;
        // The perturbation sits in Z2 (a spare column of the table when MDIM = 1).
        for (int p = 1; p <= np1; ++p) g.ZTAB(p, 2) = g.STAT + 0.0001;
    }
}

// ---------------------------------------------------------------- results and canvas

void Sec12::header(const Store& g, TextWriter& out) { writeDelayNetHeader(g, out, 3, true); }

void Sec12::DrawMesh1(Ctx& c) {
    const Store& g = c.store;
    MeshMaskG(c, "Графики функций Z1(t) и Z2(t), t = L*TAUmax + u", "Z", "u", g.SCLT, g.SCRT, g.SCLX, g.SCRX);
    Nadpis(c, 12, "Phys", 8);
}

void Sec12::Integr1(Ctx& c) { DelayIntegr(c, *this); }

}  // namespace velta
