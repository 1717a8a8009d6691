// Each exportable section's equations as text, built from the values in the store in the
// same order of sums and products as the section's own right-hand sides. Nothing here
// changes a section's computation: the delay sections' initial function is built on a
// copy of the store that is put back afterwards.
#include "models/export/modeldesc.h"

#include "data/catalogue.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/store.h"
#include "models/section12/sec12.h"
#include "models/section22/sec22.h"
#include "models/section6/sec6.h"
#include "models/section9/sec9.h"
#include "synthesis/section512/sec512.h"
#include "synthesis/section522/sec522.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace velta {

namespace {

std::string X(int i) { return "X" + std::to_string(i); }
std::string Z(int i) { return "Z" + std::to_string(i); }
std::string num(double v) { return exactText(v); }

// a1 op a2 op ... (left to right), or empty when there are none.
std::string joined(const std::vector<std::string>& terms, const char* op) {
    std::string s;
    for (std::size_t k = 0; k < terms.size(); ++k) s += (k ? op : "") + terms[k];
    return s;
}

// The four model classes over a list of regulator terms: sum / product forms of the
// networks. pw(x) is the term x^GAMA of one regulator.
struct ClassForm {
    int mclass;
    // F of one element from the texts of its regulators (x: the regulator names).
    std::string operator()(const std::vector<std::string>& x, const std::string& alfa,
                           const std::string& self) const {
        std::vector<std::string> t;
        switch (mclass) {
        case 1:  // ALFA / (1 + BETA * sum x^GAMA)
            for (const auto& v : x) t.push_back(v + "^GAMA");
            return alfa + self + "/(1 + BETA*" + (t.empty() ? "0" : "(" + joined(t, " + ") + ")") + ")";
        case 2:  // ALFA / prod (1 + BETA * x^GAMA)
            for (const auto& v : x) t.push_back("(1 + BETA*" + v + "^GAMA)");
            return alfa + self + "/" + (t.empty() ? "1" : "(" + joined(t, "*") + ")");
        case 4:  // ALFA * sum 1 / (1 + BETA * x^GAMA)
            for (const auto& v : x) t.push_back("1/(1 + BETA*" + v + "^GAMA)");
            return alfa + self + "*" + (t.empty() ? "0" : "(" + joined(t, " + ") + ")");
        default: return {};
        }
    }
};

void needState(const Vec& v, int n) {
    if (n < 1 || v.upper() < n) fail(kNotRead);
}

void addRun(ModelDesc& m, double tmax, double step) {
    m.tmax = tmax;
    m.step = step;
}

// ---------------------------------------------------------------- autonomous sections

// Sections 1.1 and 8: the cyclic predecessors of element i, in the order the sums run.
std::vector<int> predecessors(int i, int n, int kmod, bool sec8) {
    std::vector<int> p;
    const int a = kmod - 1;
    int k = sec8 ? n - a + i : i + n - kmod + 1;
    if (k > n) k -= n;
    for (int j = 0; j < a; ++j) {
        p.push_back(k);
        if (++k > n) k = 1;
    }
    return p;
}

ModelDesc symmetric(const Store& g, bool sec8) {
    const int n = g.NDIM;
    needState(g.X1, n);
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Класс модели MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    if (g.KMOD < 1 || g.KMOD > n + 1)
        fail("Число KMOD должно быть от 1 до NDIM + 1 (KMOD = " + CStr(g.KMOD) + ")");
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}};
    for (int i = 1; i <= n; ++i) {
        std::vector<std::string> x;
        for (int k : predecessors(i, n, g.KMOD, sec8)) x.push_back(X(k));
        const std::string self = sec8 ? "*" + X(i) : "";
        std::string f;
        if (g.MCLASS == 3) {
            // Section 1.1: (prod X)^GAMA; section 8: prod X^GAMA.
            std::vector<std::string> t;
            for (const auto& v : x) t.push_back(sec8 ? v + "^GAMA" : v);
            const std::string p = t.empty() ? "1" : joined(t, "*");
            f = "ALFA" + self + "/(1 + BETA*" + (sec8 ? "(" + p + ")" : "(" + p + ")^GAMA") + ")";
        } else {
            f = ClassForm{g.MCLASS}(x, "ALFA", self);
        }
        m.vars.push_back({X(i), g.X1(i), f + (sec8 ? " - " + X(i) + "^2" : " - " + X(i))});
    }
    addRun(m, g.TMAX, g.HHH);
    m.notes.push_back("Модель M" + CStr(g.MCLASS) + "(" + CStr(n) + "," + CStr(g.KMOD) + ")");
    return m;
}

}  // namespace

ModelDesc describeSymmetric(Store& g, SectionCore&) { return symmetric(g, false); }
ModelDesc describeEcological(Store& g, SectionCore&) { return symmetric(g, true); }

ModelDesc describeGeneral(Store& g, SectionCore&) {
    const int n = g.NDIM;
    needState(g.X1, n);
    if (g.MC.rows() < n) fail(kNotRead);
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Класс модели MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}};
    for (int i = 1; i <= n; ++i) {
        std::vector<std::string> x;
        const double* row = g.MC.row(i);
        for (int j = 1; j <= n; ++j)
            if (g.MCLASS == 1 ? row[j] > 0 : row[j] == 1) x.push_back(X(j));
        std::string f;
        if (g.MCLASS == 3)
            f = "ALFA/(1 + BETA*(" + (x.empty() ? std::string("1") : joined(x, "*")) + ")^GAMA)";
        else f = ClassForm{g.MCLASS}(x, "ALFA", "");
        m.vars.push_back({X(i), g.X1(i), f + " - " + X(i)});
    }
    addRun(m, g.TMAX, g.HHH);
    m.notes.push_back("Класс " + CStr(g.MCLASS) + "; связи по матрице MC");
    return m;
}

ModelDesc describeChaos(Store& g, SectionCore& core) {
    const auto& s = dynamic_cast<const Sec9&>(core);
    const int n = g.NDIM;
    if (n < 1 || n > 3) fail("Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3");
    needState(s.YO, n);
    if (g.MCPZ < 0) fail("Число композиций MCPZ не должно быть отрицательным");
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"GAMA", g.GAMA}};
    auto xs = [n](int i) { return i <= n ? X(i) : std::string("0"); };
    const int other[4][2] = {{0, 0}, {2, 3}, {1, 3}, {1, 2}};
    for (int i = 1; i <= n; ++i) {
        // S(i), then MCPZ passes through f(v) = ALFA*v/(1 + v^GAMA).
        std::string v = "S" + std::to_string(i);
        m.aux.push_back({v, xs(other[i][0]) + " + " + xs(other[i][1])});
        for (int k = 1; k <= g.MCPZ; ++k) {
            const std::string r = "R" + std::to_string(i) + "_" + std::to_string(k);
            m.aux.push_back({r, "ALFA*" + v + "/(1 + " + v + "^GAMA)"});
            v = r;
        }
        m.vars.push_back({X(i), s.YO(i), v + " - " + X(i)});
    }
    addRun(m, g.SCRT, g.HHH);
    m.notes.push_back("f(v) = ALFA*v/(1 + v^GAMA) применяется MCPZ = " + CStr(g.MCPZ) + " раз");
    return m;
}

ModelDesc describeChain1(Store& g, SectionCore&) {
    const int n = g.NDIM;
    if (n < 3) fail("Число уравнений NDIM должно быть не меньше 3 (NDIM = " + CStr(g.NDIM) + ")");
    needState(g.X1, n);
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}, {"TAU1", g.TAU1},
                {"TAU2", g.TAU2}, {"TETA", g.TETA}, {"OMEG", g.OMEG}};
    // Forward and backward rates of the chain and the losses of compartments 1 and 2..NDIM-1.
    m.aux = {{"RA", num(n - 1) + "/TAU1"},
             {"RB", num(n - 1) + "/TAU2"},
             {"RC1", "RA + OMEG"},
             {"RC2", "RC1 + RB"}};
    m.vars.push_back({X(1), g.X1(1), "ALFA/(1 + BETA*" + X(n) + "^GAMA) + RB*" + X(2) + " - RC1*" + X(1)});
    for (int i = 2; i <= n - 2; ++i)
        m.vars.push_back({X(i), g.X1(i), "RA*" + X(i - 1) + " + RB*" + X(i + 1) + " - RC2*" + X(i)});
    m.vars.push_back({X(n - 1), g.X1(n - 1), "RA*" + X(n - 2) + " - RC2*" + X(n - 1)});
    m.vars.push_back({X(n), g.X1(n), "RA*" + X(n - 1) + " - TETA*" + X(n)});
    addRun(m, g.TMAX, g.HHH);
    return m;
}

ModelDesc describeChain2(Store& g, SectionCore&) {
    const int n = g.NDIM, n1 = g.NDIM1;
    if (g.NDIM1 < 2 || g.NDIM2 < 2 || n != g.NDIM1 + g.NDIM2 - 1)
        fail("Длины цепочек NDIM1, NDIM2 должны быть не меньше 2");
    needState(g.X1, n);
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA},   {"BETA1", g.BETA1}, {"BETA2", g.BETA2}, {"GAMA1", g.GAMA1},
                {"GAMA2", g.GAMA2}, {"TAU1", g.TAU1},   {"TAU2", g.TAU2},   {"TETA", g.TETA}};
    m.aux = {{"K1", num(g.NDIM1 - 1) + "/TAU1"}, {"K2", num(g.NDIM2 - 1) + "/TAU2"}};
    for (int i = 1; i <= n; ++i) {
        const std::string k = i == n ? "TETA" : (i < n1 ? "K1" : "K2");
        std::string f;
        if (i == 1) f = "ALFA/(1 + BETA1*" + X(n) + "^GAMA1)";
        else if (i == n1) f = "ALFA/(1 + BETA2*" + X(n) + "^GAMA2)";
        else if (i == n) f = "K2*" + X(n - 1) + " + K1*" + X(n1 - 1);  // the outflows of both chains
        else f = k + "*" + X(i - 1);
        m.vars.push_back({X(i), g.X1(i), f + " - " + k + "*" + X(i)});
    }
    addRun(m, g.TMAX, g.HHH);
    return m;
}

// ---------------------------------------------------------------- delay sections

namespace {

// delay(Zc, TAUj); the largest delay is read from the window's first node, the others
// between nodes: both are Z(c) at t - TAU(j).
std::string zd(int j, int c) { return "delay(" + Z(c) + ", TAU" + std::to_string(j) + ")"; }

// The delays, step, interval and initial function of a first portion, from a copy of
// the store (which is put back whatever happens).
void delayRun(Store& g, ModelDesc& m, DelayModel& model, const std::vector<std::string>& tauNames) {
    const Store saved = g;
    try {
        const int n = model.components(g), md = model.delays(g);
        if (g.NDEL < 1 || g.ZTAB.rows() < g.NDEL + 1 || g.ZTAB.cols() < n || n < 1 || md < 1 ||
            g.TAU.upper() < md)
            fail(kNotRead);
        std::vector<double> tau;
        if (g.L < 1) tau = model.preparedDelays(g);
        else
            for (int j = 1; j <= md; ++j) tau.push_back(g.TAU(j));
        for (int j = 1; j <= md; ++j) g.TAU(j) = tau[static_cast<std::size_t>(j - 1)];
        const double taum = tau.back();
        if (!(taum > 0)) fail("Запаздывания должны быть больше 0");
        g.HHH = taum / g.NDEL;
        g.NP1 = static_cast<i16>(g.NDEL + 1);
        g.NP2 = static_cast<i16>(2 * g.NDEL);
        model.Nach_Rasp(g);
        for (int k = 1; k <= n; ++k) m.vars[static_cast<std::size_t>(k - 1)].initial = g.ZTAB(g.NP1, k);
        for (int j = 1; j <= md && j <= static_cast<int>(tauNames.size()); ++j)
            m.params.push_back(
                {tauNames[static_cast<std::size_t>(j - 1)], tau[static_cast<std::size_t>(j - 1)]});
        m.hasDelays = true;
        m.maxDelay = taum;
        addRun(m, std::max(saved.TMAX, taum), g.HHH);
        if (g.L >= 1)
            m.notes.push_back("Начальные данные первой порции счёта (уже выполнено порций: " + CStr(saved.L) +
                              ")");
    } catch (...) {
        g = saved;
        throw;
    }
    g = saved;
}

std::vector<std::string> tauNames(int m, const std::string& base = "TAU") {
    std::vector<std::string> v;
    for (int j = 1; j <= m; ++j) v.push_back(base + std::to_string(j));
    return v;
}

}  // namespace

ModelDesc describeSymmetricDelay(Store& g, SectionCore& core) {
    auto& s = dynamic_cast<Sec12&>(core);
    const int n = g.MDIM;
    if (n < 1 || n > 5) fail("Число уравнений MDIM должно быть от 1 до 5");
    const auto need = Sec12::taskNeeds(g.TASKDIR);
    if (need.ltau > 0 && (n < need.mdim || g.LTAU < need.ltau))
        fail("Модель задачи " + g.TASKDIR + " требует MDIM >= " + CStr(need.mdim) +
             " и LTAU >= " + CStr(need.ltau));
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}};
    std::vector<std::string> f(static_cast<std::size_t>(n) + 1);
    auto p = [](int j, int c) { return zd(j, c) + "^GAMA"; };
    const std::string& t = g.TASKDIR;
    if (t == "Tau0") {
        f[1] = "ALFA/(1 + BETA*((" + p(1, 1) + " + " + p(1, 2) + ") + " + p(2, 2) + "))";
        f[2] = "ALFA/(1 + BETA*((" + p(1, 1) + " + " + p(3, 1) + ") + " + p(1, 2) + "))";
    } else if (t == "Tau1") {
        f[1] = "ALFA/(1 + BETA*(" + p(1, 1) + " + " + p(2, 1) + " + " + p(3, 1) + "))";
    } else if (t == "Tau2") {
        f[1] = "ALFA/(1 + BETA*" + p(1, 1) + ")";
    } else if (t == "Tau3") {
        f[1] = "ALFA/(1 + BETA*(" + p(1, 1) + " + " + p(2, 1) + " + " + p(3, 1) + " + " + p(4, 1) + "))";
    } else {
        m.notes.push_back("Задача " + t + " не задаёт правых частей: компоненты затухают");
    }
    for (int k = 1; k <= n; ++k)
        m.vars.push_back({Z(k), 0,
                          f[static_cast<std::size_t>(k)].empty()
                              ? "-" + Z(k)
                              : f[static_cast<std::size_t>(k)] + " - " + Z(k)});
    m.notes.push_back("Задача " + t + "; запаздывания TAU(j) = PTAU*TAUm(j)");
    delayRun(g, m, s, tauNames(g.LTAU));
    return m;
}

ModelDesc describeGeneralDelay(Store& g, SectionCore& core) {
    auto& s = dynamic_cast<Sec22&>(core);
    const int n = g.MDIM;
    if (n < 1 || n > 5) fail("Число уравнений MDIM должно быть от 1 до 5");
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}};
    std::vector<std::string> f(static_cast<std::size_t>(n) + 1);
    if (g.TASKDIR == "Tau0") {
        if (n < 2 || g.LTAU != 6) fail("Модель задачи Tau0 требует MDIM >= 2 и LTAU = 6");
        f[1] = "ALFA/(1 + BETA*(" + zd(6, 2) + "^GAMA + " + zd(2, 1) + "^GAMA))";
        std::vector<std::string> t;
        for (int j = 1; j <= 6; ++j) t.push_back(zd(j, 1) + "^GAMA");
        f[2] = "ALFA/(1 + BETA*(" + joined(t, " + ") + "))";
    } else {
        m.notes.push_back("Задача " + g.TASKDIR + " не задаёт правых частей: компоненты затухают");
    }
    for (int k = 1; k <= n; ++k)
        m.vars.push_back({Z(k), 0,
                          f[static_cast<std::size_t>(k)].empty()
                              ? "-" + Z(k)
                              : f[static_cast<std::size_t>(k)] + " - " + Z(k)});
    m.notes.push_back("Запаздывания TAU(j) = PTAU*TAUm(j)");
    delayRun(g, m, s, tauNames(g.LTAU));
    return m;
}

ModelDesc describeSystemDelay(Store& g, SectionCore& core) {
    auto& s = dynamic_cast<Sec6&>(core);
    const int n = g.MDIM, md = g.LTAU;
    if (n < 1 || md < 1 || g.ALFAm.upper() < n || g.GAMAm.upper() < n || g.TETAm.upper() < n ||
        static_cast<int>(g.BETAm.size()) <= n)
        fail(kNotRead);
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Класс модели MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
    ModelDesc m;
    for (int k = 1; k <= n; ++k) m.params.push_back({"ALFA" + std::to_string(k), g.ALFAm(k)});
    for (int k = 1; k <= n; ++k) m.params.push_back({"GAMA" + std::to_string(k), g.GAMAm(k)});
    for (int k = 1; k <= n; ++k) m.params.push_back({"TETA" + std::to_string(k), g.TETAm(k)});
    for (int k = 1; k <= n; ++k) {
        const Mat& b = g.BETAm[static_cast<std::size_t>(k)];
        // u(i,j,k) = (Z(j) at t - TAU(i) / BETA(i,j,k))^GAMA(j), grouped by delay i.
        std::vector<std::vector<std::string>> u;
        for (int i = 1; i <= md; ++i) {
            std::vector<std::string> ui;
            for (int j = 1; j <= n; ++j) {
                if (b.rows() < i || b.cols() < j || !(b(i, j) > 0)) continue;
                const std::string bn = "B" + std::to_string(i) + "_" + std::to_string(j) + "_" +
                                       std::to_string(k);
                m.params.push_back({bn, b(i, j)});
                ui.push_back("(" + zd(i, j) + "/" + bn + ")^GAMA" + std::to_string(j));
            }
            u.push_back(ui);
        }
        const std::string a = "ALFA" + std::to_string(k);
        std::vector<std::string> groups, all, inv;
        for (const auto& ui : u) {
            if (ui.empty()) continue;
            groups.push_back("(" + joined(ui, " + ") + ")");
            for (const auto& x : ui) {
                all.push_back(x);
                inv.push_back("1/(1 + " + x + ")");
            }
        }
        std::string f;
        switch (g.MCLASS) {
        case 1: f = a + "/(1 + " + (groups.empty() ? "0" : "(" + joined(groups, " + ") + ")") + ")"; break;
        case 2: {
            std::vector<std::string> fac;
            for (const auto& gr : groups) fac.push_back("(1 + " + gr + ")");
            f = a + "/" + (fac.empty() ? "1" : "(" + joined(fac, "*") + ")");
            break;
        }
        case 3: f = a + "/(1 + " + (all.empty() ? "1" : joined(all, "*")) + ")"; break;
        default: f = a + "*" + (inv.empty() ? "0" : "(" + joined(inv, " + ") + ")"); break;
        }
        m.vars.push_back({Z(k), 0, f + " - TETA" + std::to_string(k) + "*" + Z(k)});
    }
    m.notes.push_back("Класс " + CStr(g.MCLASS) + "; связи BETA(i,j,k) > 0 под именами Bi_j_k");
    delayRun(g, m, s, tauNames(md));
    return m;
}

ModelDesc describeOneElementDelay(Store& g, SectionCore& core) {
    auto& s = dynamic_cast<Sec512&>(core);
    if (g.TETAm.upper() < 1) fail(kNotRead);
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA}, {"BETA", g.BETA}, {"GAMA", g.GAMA}, {"TETA", g.TETAm(1)}};
    m.vars.push_back({Z(1), 0, "ALFA/(1 + BETA*" + zd(1, 1) + "^GAMA) - TETA*" + Z(1)});
    if (g.Z_1 != 0)
        m.notes.push_back("Возмущение Z_1 = " + CStr(g.Z_1) +
                          " на самом старом узле окна (t = -TAU1) в модель не входит: история постоянна");
    delayRun(g, m, s, tauNames(1));
    return m;
}

ModelDesc describeTwoElementDelay(Store& g, SectionCore& core) {
    auto& s = dynamic_cast<Sec522&>(core);
    if (g.TETAm.upper() < 1) fail(kNotRead);
    ModelDesc m;
    m.params = {{"ALFA", g.ALFA},   {"ALFA1", g.ALFA1}, {"ALFA2", g.ALFA2}, {"BETA1", g.BETA1},
                {"BETA2", g.BETA2}, {"GAMA1", g.GAMA1}, {"GAMA2", g.GAMA2}, {"TETA", g.TETAm(1)}};
    m.vars.push_back({Z(1), 0,
                      "ALFA*(ALFA1/(1 + BETA1*" + zd(1, 1) + "^GAMA1) + ALFA2/(1 + BETA2*" + zd(2, 1) +
                          "^GAMA2)) - TETA*" + Z(1)});
    if (g.Z_1 != 0)
        m.notes.push_back("Возмущение Z_1 = " + CStr(g.Z_1) +
                          " на самом старом узле окна (t = -TAU2) в модель не входит: история постоянна");
    m.notes.push_back("Запаздывания упорядочены: TAU1 <= TAU2");
    delayRun(g, m, s, tauNames(2));
    return m;
}

bool hasModelExport(int code) { return modelDescriber(code) != nullptr; }

std::string noModelMessage(int code) {
    const SectionInfo* s = findSection(code);
    const std::string name = s ? s->caption : std::to_string(code);
    return "В разделе «" + name + "» нет системы уравнений для экспорта модели.";
}

ModelDesc describeModel(Store& g, SectionCore& core) {
    const int code = core.code();
    const ModelDescriber describe = modelDescriber(code);
    if (!describe) fail(noModelMessage(code));
    ModelDesc m = describe(g, core);
    m.section = code;
    const SectionInfo* s = findSection(code);
    m.title = s ? s->caption : std::to_string(code);
    if (!(m.step > 0) || !(m.tmax >= 0)) fail("Шаг HHH должен быть больше 0, TMAX не меньше 0");
    return m;
}

std::string exactText(double v) {
    if (!std::isfinite(v)) fail("Нечисловое значение в модели: " + CStr(v));
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s == "-0") s = "0";
    return s;
}

// ---------------------------------------------------------------- XPPAUT

std::string xppText(const ModelDesc& m) {
    std::string s;
    s += "# VELTA: " + m.title + "\n";
    for (const auto& n : m.notes) s += "# " + n + "\n";
    // XPP reads one declaration per line; a long list of parameters is split over lines.
    for (std::size_t k = 0; k < m.params.size(); k += 4) {
        s += "par ";
        for (std::size_t j = k; j < std::min(k + 4, m.params.size()); ++j)
            s += (j > k ? ", " : "") + m.params[j].name + "=" + exactText(m.params[j].value);
        s += "\n";
    }
    for (const auto& a : m.aux) s += a.name + "=" + a.expr + "\n";
    for (const auto& v : m.vars) s += v.name + "'=" + v.rate + "\n";
    // name(0)=value: the initial value, and for a delay model also its history before t = 0.
    for (const auto& v : m.vars) s += v.name + "(0)=" + exactText(v.initial) + "\n";
    const double steps = std::ceil(m.tmax / m.step) + 10;
    s += "@ total=" + exactText(m.tmax) + ", dt=" + exactText(m.step) + ", nout=1, meth=rungekutta\n";
    s += "@ maxstor=" + exactText(std::max(steps, 5000.0)) + ", bounds=1e12\n";
    if (m.hasDelays) s += "@ delay=" + exactText(m.maxDelay) + "\n";
    s += "done\n";
    return s;
}

void writeXpp(const ModelDesc& m, const std::string& path) {
    const std::string text = xppText(m);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    f.close();
    if (!f) fail("Не удалось записать файл " + path);
}

}  // namespace velta
