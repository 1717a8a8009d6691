// The delay-window scheme: checks, first-portion preparation, whole windows, the
// remainder and the final shift, with the results rows and the plot of every window.
#include "models/delay/delayscheme.h"

#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/export/resultsink.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace velta {

namespace {

// R/h within this many ulps of an integer is taken as lying on that node.
constexpr double kTieUlps = 8.0;

bool badRange(double lo, double hi) { return !std::isfinite(lo) || !std::isfinite(hi) || lo == hi; }

// What a failed run puts back: the delays and step of the first portion and the window
// the run started from.
class Snapshot {
public:
    Snapshot(const Store& g, int m, int np1, int n) : m_(m), np1_(np1), n_(n) {
        hhh_ = g.HHH;
        tmax_ = g.TMAX;
        nper_ = g.NPER;
        for (int j = 1; j <= m; ++j) {
            tau_.push_back(g.TAU(j));
            ktau_.push_back(g.KTAU(j));
            rtau_.push_back(g.RTAU(j));
        }
        for (int p = 1; p <= np1; ++p)
            for (int k = 1; k <= n; ++k) ztab_.push_back(g.ZTAB(p, k));
        for (int k = 1; k <= n; ++k) fz_.push_back(g.FZ(k));
    }
    void restore(Store& g) const {
        g.HHH = hhh_;
        g.TMAX = tmax_;
        g.NPER = nper_;
        for (int j = 1; j <= m_; ++j) {
            g.TAU(j) = tau_[static_cast<std::size_t>(j - 1)];
            g.KTAU(j) = ktau_[static_cast<std::size_t>(j - 1)];
            g.RTAU(j) = rtau_[static_cast<std::size_t>(j - 1)];
        }
        std::size_t i = 0;
        for (int p = 1; p <= np1_; ++p)
            for (int k = 1; k <= n_; ++k) g.ZTAB(p, k) = ztab_[i++];
        for (int k = 1; k <= n_; ++k) g.FZ(k) = fz_[static_cast<std::size_t>(k - 1)];
    }

private:
    int m_, np1_, n_;
    double hhh_, tmax_;
    i16 nper_;
    std::vector<double> tau_, ktau_, rtau_, ztab_, fz_;
};

struct Plan {
    std::vector<double> tau;  // TAU(1..m) the run works with
    double h = 0;             // HHH
    double tmax = 0;          // TMAX after the first-portion raise
    int nper = 0;             // whole windows
    int nrem = 0;             // remainder steps - 1
    std::vector<int> ktau;    // delay nodes of j = 1..m-1
    std::vector<double> rtau;
};

// Everything a run needs, checked before anything is computed or written.
Plan checkAndPlan(const Store& g, DelayModel& model, bool first) {
    const int n = model.components(g);
    const int m = model.delays(g);
    if (g.ZTAB.rows() < 4 || g.ZTAB.cols() < 1) fail(kNotRead);
    if (n < 1 || n > g.ZTAB.cols())
        fail("Число уравнений MDIM должно быть от 1 до " + CStr(g.ZTAB.cols()) + " (MDIM = " + CStr(n) + ")");
    const int mmax = std::min({g.TAU.upper(), g.KTAU.upper(), g.RTAU.upper(), g.ZTAU.rows()});
    if (m < 1 || m > mmax)
        fail("Число запаздываний LTAU должно быть от 1 до " + CStr(mmax) + " (LTAU = " + CStr(m) + ")");
    if (g.ZTAU.cols() < n || g.FZ.upper() < n || g.F1.upper() < n || g.F2.upper() < n) fail(kNotRead);
    const int ndelMax = (g.ZTAB.rows() - 2) / 2;
    if (g.NDEL < 1 || g.NDEL > ndelMax)
        fail("Число шагов на наибольшем запаздывании NDEL должно быть от 1 до " + CStr(ndelMax) +
             " (NDEL = " + CStr(g.NDEL) + ")");
    if (g.NSC < 1) fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + CStr(g.NSC) + ")");
    if (!(g.TMAX > 0) || !std::isfinite(g.TMAX))
        fail("Длина порции TMAX должна быть больше 0 (TMAX = " + CStr(g.TMAX) + ")");

    model.checkLimits(g);

    Plan p;
    const int ndel = g.NDEL, np1 = ndel + 1;
    if (first) {
        p.tau = model.preparedDelays(g);
        if (static_cast<int>(p.tau.size()) < m) fail(kNotRead);
        p.tau.resize(static_cast<std::size_t>(m));
    } else {
        for (int j = 1; j <= m; ++j) p.tau.push_back(g.TAU(j));
    }
    for (int j = 1; j <= m; ++j)
        if (!std::isfinite(p.tau[static_cast<std::size_t>(j - 1)]))
            fail("Запаздывание TAU(" + CStr(j) + ") не является числом");
    for (int j = 1; j < m; ++j)
        if (p.tau[static_cast<std::size_t>(j - 1)] > p.tau[static_cast<std::size_t>(j)])
            fail("Запаздывания должны быть заданы в порядке возрастания: TAU(" + CStr(j) +
                 ") = " + CStr(p.tau[static_cast<std::size_t>(j - 1)]) + " > TAU(" + CStr(j + 1) +
                 ") = " + CStr(p.tau[static_cast<std::size_t>(j)]));
    if (!(p.tau[0] > 0)) fail("Запаздывания должны быть больше 0 (TAU(1) = " + CStr(p.tau[0]) + ")");
    const double taum = p.tau[static_cast<std::size_t>(m - 1)];
    p.h = first ? taum / ndel : g.HHH;
    if (!(p.h > 0) || !std::isfinite(p.h)) fail(kNotRead);

    // Every delayed time must lie on nodes computed before the new one: node k (and k + 1
    // when it is interpolated) at most NDEL.
    for (int j = 1; j < m; ++j) {
        double r = 0;
        const int k = delayNode(taum - p.tau[static_cast<std::size_t>(j - 1)], p.h, np1, r);
        if (k < 1 || k + (r > 0 ? 1 : 0) > ndel)
            fail("Запаздывание TAU(" + CStr(j) + ") = " + CStr(p.tau[static_cast<std::size_t>(j - 1)]) +
                 " меньше шага H = TAU(LTAU)/NDEL = " + CStr(p.h));
        p.ktau.push_back(k);
        p.rtau.push_back(r);
    }

    for (int k = 1; k <= n; ++k) {
        const double th = model.decay(g, k);
        if (!(th != 0) || !std::isfinite(th))
            fail("Скорость распада TETA(" + CStr(k) + ") должна быть отлична от 0 (TETA = " + CStr(th) + ")");
        const StepWeights w = stepWeights(th, p.h);
        if (!std::isfinite(w.c0) || !std::isfinite(w.c1) || !std::isfinite(w.c2))
            fail("Шаг H*TETA(" + CStr(k) + ") = " + CStr(p.h * th) + " слишком велик");
    }

    if (g.NCOMP < 1) fail("Не задано ни одной компоненты для графика (NCOMP = " + CStr(g.NCOMP) + ")");
    for (int i = 1; i <= std::min<int>(g.NCOMP, 13); ++i)
        if (g.IC(i) < 1 || g.IC(i) > n)
            fail("Номер компоненты графика IC(" + CStr(i) + ") = " + CStr(g.IC(i)) + " вне диапазона 1.." +
                 CStr(n));

    if (first) {
        p.tmax = g.TMAX;
        const double w = Int(p.tmax / taum);
        if (w > 32767)
            fail("Слишком много окон в порции: TMAX/TAU(LTAU) = " + CStr(p.tmax / taum) +
                 " (допустимо не более 32767)");
        p.nper = static_cast<int>(w);
        if (p.tmax <= taum) {
            p.tmax = taum;
            p.nper = 1;
        }
    } else {
        p.tmax = g.TMAX;
        p.nper = g.NPER;
        for (int j = 1; j < m; ++j) {
            p.ktau[static_cast<std::size_t>(j - 1)] = static_cast<int>(g.KTAU(j));
            p.rtau[static_cast<std::size_t>(j - 1)] = g.RTAU(j);
        }
    }
    if (p.nper < 1) fail(kNotRead);
    // The remainder; a difference a rounding makes slightly negative is no step at all.
    const double rem = Int((p.tmax - p.nper * taum) / p.h);
    p.nrem = rem < 0 ? 0 : static_cast<int>(std::min(rem, 1.0e6));
    if (np1 + p.nrem + 1 > g.ZTAB.rows())
        fail("Остаток порции длиннее окна (NREM = " + CStr(p.nrem) + "): выполните «Ввод исходных данных»");
    return p;
}

// What the steps of a run read, taken once before the windows.
struct StepPlan {
    Surface* surf;
    Store* store;
    DelayModel* model;
    int n, m, ndel;
    const int* tapNode;         // KTAU(1..m-1)
    const double* tapFraction;  // RTAU(1..m-1)
    double* const* tapRow;      // rows 1..m of ZTAU
    double* table;              // ZTAB, stride values per node
    std::size_t stride;
    const StepWeights* w;  // 1..n
    double* f1;
    double* f2;
    const double* fz;
};

[[noreturn, gnu::noinline, gnu::cold]] void overflowStop(long long step, double u, int k) {
    fail("Счёт прерван: на шаге " + CStr(step) + ", u = " + Format(u, "0.00000E+00") +
         " получено нечисловое значение Z" + CStr(k) + " (переполнение)");
}

// ZTAU(j) = (1 - r)*ZTAB(d + k) + r*ZTAB(d + k + 1) and ZTAU(m) = ZTAB(d + 1), then FZ. A
// delay on a node reads that node alone (the next one may not be computed yet). N > 0 is
// the number of components fixed at compile time.
template <int N>
[[gnu::always_inline]] inline void tapValues(const StepPlan& p, int d) {
    const int n = N > 0 ? N : p.n;
    for (int j = 1; j < p.m; ++j) {
        const double r = p.tapFraction[j];
        double* zt = p.tapRow[j];
        const double* a = p.table + static_cast<std::size_t>(d + p.tapNode[j]) * p.stride;
        if (r == 0) {
            for (int k = 1; k <= n; ++k) zt[k] = a[k];
        } else {
            const double* b = a + p.stride;
            for (int k = 1; k <= n; ++k) zt[k] = (1 - r) * a[k] + r * b[k];
        }
    }
    double* zm = p.tapRow[p.m];
    const double* a = p.table + static_cast<std::size_t>(d + 1) * p.stride;
    for (int k = 1; k <= n; ++k) zm[k] = a[k];
    p.model->Vych_PCH(*p.store);
}

// The steps cc = from..to of a window, node cc + 1 from node cc: the delayed values of the
// new node give F2. steps counts the steps of the run (the overflow message names the step);
// u0 + (cc - NDEL)*h is the time of node cc.
template <int N>
long long runSteps(const StepPlan& plan, int from, int to, long long steps, double u0, double h) {
    const StepPlan p = plan;  // held in registers across the model's call
    const int n = N > 0 ? N : p.n;
    for (int cc = from; cc <= to; ++cc) {
        p.surf->poll();
        tapValues<N>(p, cc - p.ndel);
        double* zn = p.table + static_cast<std::size_t>(cc + 1) * p.stride;
        const double* zc = zn - p.stride;
        for (int k = 1; k <= n; ++k) {
            const double f2 = p.fz[k];
            p.f2[k] = f2;
            const StepWeights& wk = p.w[k];
            const double z = wk.c0 * (wk.c1 * p.f1[k] + zc[k] + wk.c2 * f2);
            zn[k] = z;
            p.f1[k] = f2;
            if (!std::isfinite(z)) [[unlikely]]
                overflowStop(steps + 1, u0 + (cc - p.ndel) * h, k);
        }
        ++steps;
    }
    return steps;
}

// runSteps for the number of components of the plan: one and two are compiled apart.
long long stepWindow(const StepPlan& p, int from, int to, long long steps, double u0, double h) {
    switch (p.n) {
    case 1: return runSteps<1>(p, from, to, steps, u0, h);
    case 2: return runSteps<2>(p, from, to, steps, u0, h);
    default: return runSteps<0>(p, from, to, steps, u0, h);
    }
}

}  // namespace

// ---------------------------------------------------------------- model defaults

std::vector<double> DelayModel::preparedDelays(const Store& g) const {
    std::vector<double> t;
    for (int j = 1; j <= delays(g); ++j) t.push_back(g.TAU(j));
    return t;
}

void DelayModel::setScales(Store& g) {
    g.SCLX = g.ALFA * g.DLX;
    g.SCRX = g.ALFA * g.DRX;
    g.SCLT = 0;
}

// ---------------------------------------------------------------- pieces

void allocDelayTables(Store& g, int nodes, int ncomp, int ndelays) {
    g.ZTAB.alloc(nodes, ncomp);
    g.ZTAU.alloc(ndelays, ncomp);
    g.TAU.alloc(ndelays);
    g.KTAU.alloc(ndelays);
    g.RTAU.alloc(ndelays);
    g.FZ.alloc(ncomp);
    g.F1.alloc(ncomp);
    g.F2.alloc(ncomp);
}

int delayNode(double R, double h, int np1, double& r) {
    r = 0;
    // The plain test: node p with tp <= R < tp + h.
    int found = 0;
    double rf = 0;
    for (int p = 1; p <= np1; ++p) {
        const double tp = (p - 1) * h;
        if (tp + h > R && R >= tp) {
            found = p;
            rf = (R - tp) / h;
        }
    }
    // At a tie the test may fail for every p (or pass for two): R on node i exactly.
    const double q = R / h;
    const double i = std::nearbyint(q);
    if (std::fabs(q - i) <= kTieUlps * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(q)) &&
        i >= 0 && i + 1 <= np1)
        return static_cast<int>(i) + 1;
    r = rf;
    return found;
}

void delayNodes(Store& g, int m) {
    const int np1 = g.NDEL + 1;
    for (int j = 1; j < m; ++j) {
        double r = 0;
        const int k = delayNode(g.TAU(m) - g.TAU(j), g.HHH, np1, r);
        if (k < 1) fail("Запаздывание TAU(" + CStr(j) + ") = " + CStr(g.TAU(j)) + " вне окна");
        g.KTAU(j) = k;
        g.RTAU(j) = r;
    }
}

void delayedValues(Store& g, int d, int m, int n, DelayModel& model) {
    // ZTAU(j) = (1 - r)*ZTAB(d + k) + r*ZTAB(d + k + 1); a delay on a node reads that node
    // alone (the next one may not be computed yet).
    for (int j = 1; j < m; ++j) {
        const int k = static_cast<int>(g.KTAU(j));
        const double r = g.RTAU(j);
        double* zt = g.ZTAU.row(j);
        const double* a = g.ZTAB.row(d + k);
        if (r == 0) {
            for (int c = 1; c <= n; ++c) zt[c] = a[c];
        } else {
            const double* b = g.ZTAB.row(d + k + 1);
            for (int c = 1; c <= n; ++c) zt[c] = (1 - r) * a[c] + r * b[c];
        }
    }
    double* zm = g.ZTAU.row(m);
    const double* a = g.ZTAB.row(d + 1);
    for (int c = 1; c <= n; ++c) zm[c] = a[c];
    model.Vych_PCH(g);
}

StepWeights stepWeights(double theta, double h) {
    // z = h*theta, e = exp(z), q = (e - 1)/z: Z_new = (Z + c1*F_old + c2*F_new)/e.
    const double z = h * theta;
    const double e = std::exp(z);
    const double q = (e - 1) / z;
    return {1 / e, (q - 1) / theta, (e - q) / theta};
}

void writeDelayNetHeader(const Store& g, TextWriter& out, int ntau, bool withKmod) {
    const std::string e = "0.00000E+00";
    out.line("");
    out.line("ПАРАМЕТРЫ МОДЕЛИ");
    out.line("MDIM    = " + Format(g.MDIM, "####"));
    out.line("ALFA    = " + Format(g.ALFA, e));
    out.line("BETA    = " + Format(g.BETA, e));
    out.line("GAMA    = " + Format(g.GAMA, e));
    if (withKmod) out.line("KMOD    = " + Format(g.KMOD, "####"));
    for (int k = 1; k <= ntau; ++k) out.line("TAUm(" + CStr(k) + ") = " + Format(g.TAU(k), e));
    out.line("PTAU    = " + Format(g.PTAU, e));
    out.line("TMAX    = " + Format(g.TMAX, e));
    out.line("NDEL    = " + Format(g.NDEL, "####"));
    out.line("");
    out.line("              Таблица");
    out.line("зависимостей компонент вектора Z от времени t");
    out.line("");
    out.line(std::string(" No ") + "       t   " + "          Z1" + "            Z2");
    out.line(std::string("-----+-------------+") + "-------------+" + "-------------+");
}

std::string delayRow(const Store& g, int num, double t, int node, int n) {
    const double* z = g.ZTAB.row(node);
    std::string row;
    row.reserve(static_cast<std::size_t>(24 + 14 * n));
    row += Format(num, "00000");
    row += "   ";
    row += Format(t, "0.00000E+00");
    row += "   ";
    for (int c = 1; c <= n; ++c) {
        row += Format(z[c], "0.00000E+00");
        row += "   ";
    }
    if (ResultsSink* sink = resultsSink()) sink->row(t, z, n);
    return row;
}

double dampedNewton(const std::function<std::pair<double, double>(double)>& gdg, double z0, double damp,
                    double tol, int cap, const std::string& what) {
    double z = z0;
    if (!std::isfinite(z)) fail("Начальное приближение " + what + " не является числом (" + CStr(z) + ")");
    for (int it = 1;; ++it) {
        const auto [gv, gp] = gdg(z);
        const double delta = (-damp * gv) / gp;
        z = z + delta;
        if (!std::isfinite(z))
            fail("Итерации " + what + " дали нечисловое значение (итерация " + CStr(it) + ")");
        if (std::fabs(delta) < tol) return z;
        if (it >= cap)
            fail("Итерации " + what + " не сошлись за " + CStr(cap) + " шагов (последнее значение " +
                 CStr(z) + ")");
    }
}

// ---------------------------------------------------------------- the run

void DelayIntegr(Ctx& c, DelayModel& model) {
    Store& g = c.store;
    const bool first = g.L < 1;
    const Plan plan = checkAndPlan(g, model, first);
    const int n = model.components(g), m = model.delays(g);
    const int ndel = g.NDEL, np1 = ndel + 1, np2 = 2 * ndel;

    // 1. Plot ranges; SCRT is the portion length as it was entered.
    const double scrt = g.TMAX;
    model.setScales(g);
    g.SCRT = scrt;
    if (badRange(g.SCLT, g.SCRT))
        fail("Пустой диапазон графика: u от " + CStr(g.SCLT) + " до " + CStr(g.SCRT));
    if (badRange(g.SCLX, g.SCRX))
        fail("Пустой диапазон графика: Z от " + CStr(g.SCLX) + " до " + CStr(g.SCRX));

    const Snapshot snap(g, m, np1, n);
    try {
        // 2. First portion: delays, step, windows, initial function, delay nodes.
        if (first) {
            for (int j = 1; j <= m; ++j) g.TAU(j) = plan.tau[static_cast<std::size_t>(j - 1)];
            g.HHH = plan.h;
            g.NPER = toI16(plan.nper);
            g.TMAX = plan.tmax;
            model.Nach_Rasp(g);
            for (int j = 1; j < m; ++j) {
                g.KTAU(j) = plan.ktau[static_cast<std::size_t>(j - 1)];
                g.RTAU(j) = plan.rtau[static_cast<std::size_t>(j - 1)];
            }
        }
        const double h = g.HHH;
        const double taum = g.TAU(m);

        // 3. Results header and the plot frame.
        auto out = TextWriter::create(c.paths.userFile(model.resultsName()));
        model.header(g, *out);
        if (ResultsSink* sink = resultsSink()) sink->begin('Z', n);
        model.DrawMesh1(c);

        // 4. Step weights per equation (theta = 1 gives EH, EQ, EC1, EC2, EHI).
        std::vector<StepWeights> w(static_cast<std::size_t>(n) + 1);
        for (Vec* v : {&g.EC1m, &g.EC2m, &g.EHIm})
            if (v->upper() < n) v->alloc(n);
        for (int k = 1; k <= n; ++k) {
            w[static_cast<std::size_t>(k)] = stepWeights(model.decay(g, k), h);
            g.EHIm(k) = w[static_cast<std::size_t>(k)].c0;
            g.EC1m(k) = w[static_cast<std::size_t>(k)].c1;
            g.EC2m(k) = w[static_cast<std::size_t>(k)].c2;
        }
        g.EH = std::exp(h);
        g.EQ = (g.EH - 1) / h;
        g.EC1 = g.EQ - 1;
        g.EC2 = g.EH - g.EQ;
        g.EHI = 1 / g.EH;
        double t0 = 0;

        double* f1 = g.F1.data();
        const double* fz = g.FZ.data();
        long long steps = 0;
        // delayedValues with what stays fixed during the run taken once: the delay nodes and
        // fractions, the rows of ZTAU and the table.
        std::vector<int> tapNode(static_cast<std::size_t>(m) + 1);
        std::vector<double> tapFraction(static_cast<std::size_t>(m) + 1);
        std::vector<double*> tapRow(static_cast<std::size_t>(m) + 1);
        for (int j = 1; j <= m; ++j) {
            if (j < m) {
                tapNode[static_cast<std::size_t>(j)] = static_cast<int>(g.KTAU(j));
                tapFraction[static_cast<std::size_t>(j)] = g.RTAU(j);
            }
            tapRow[static_cast<std::size_t>(j)] = g.ZTAU.row(j);
        }
        // Rows d + node (and the next one) for d = 0 .. max(NDEL, NREM + 1), and the new
        // nodes up to max(NP2, NP1 + NREM) + 1: checked once here, with the error of the
        // first row out of range.
        int nodeMin = 1, nodeMax = 1;
        for (int j = 1; j < m; ++j) {
            nodeMin = std::min(nodeMin, tapNode[static_cast<std::size_t>(j)]);
            nodeMax = std::max(nodeMax, tapNode[static_cast<std::size_t>(j)] + 1);
        }
        g.ZTAB.row(nodeMin);
        g.ZTAB.row(std::max(ndel, plan.nrem + 1) + nodeMax);
        g.ZTAB.row(std::max(np2, np1 + plan.nrem) + 1);
        double* const table = g.ZTAB.row(0);
        const std::size_t stride = static_cast<std::size_t>(g.ZTAB.cols()) + 1;
        const StepPlan stepPlan{&c.surf,
                                &g,
                                &model,
                                n,
                                m,
                                ndel,
                                tapNode.data(),
                                tapFraction.data(),
                                tapRow.data(),
                                table,
                                stride,
                                w.data(),
                                f1,
                                g.F2.data(),
                                fz};
        auto startWindow = [&] {
            tapValues<0>(stepPlan, 0);
            for (int k = 1; k <= n; ++k) f1[k] = fz[k];
        };
        auto shift = [&](int by) {
            for (int p = 1; p <= np1; ++p) {
                const double* src = g.ZTAB.row(by + p);
                double* dst = g.ZTAB.row(p);
                for (int k = 1; k <= n; ++k) dst[k] = src[k];
            }
        };

        // 5. Whole windows.
        for (int win = 1; win <= plan.nper; ++win) {
            startWindow();
            steps = stepWindow(stepPlan, np1, np2, steps, t0, h);
            shift(ndel);
            GraphicZRun(c, t0, 1, ndel, 1);
            for (int p = 1; p <= np1; ++p)
                if (p == 1 || p % g.NSC == 0) out->line(delayRow(g, p, t0 + (p - 1) * h, p, n));
            t0 = t0 + taum;
        }

        // 6. Remainder: NREM + 1 steps, plotted and listed; the window moves by NREM.
        const int nrem = plan.nrem;
        startWindow();
        steps = stepWindow(stepPlan, np1, np1 + nrem, steps, t0, h);
        GraphicZRun(c, t0, np1, np1 + nrem, np1);
        for (int cc = np1; cc <= np1 + nrem; ++cc)
            if (cc % g.NSC == 0) out->line(delayRow(g, cc, t0 + (cc - ndel) * h, cc + 1, n));
        shift(nrem);

        // 7. A failed write of the table is reported.
        out->close();
    } catch (...) {
        snap.restore(g);
        throw;
    }
}

}  // namespace velta
