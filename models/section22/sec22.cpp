// Section 2.2: reading and writing the ".mtzd" data file, the "Tau0" model (right-hand
// sides, stationary solution, initial function) and its results table "\User\Results.mtz".
#include "models/section22/sec22.h"

#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
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
constexpr int kNewtonCap = 1000;

using F = Sec22::Fields;
// Block 1, the model, and the keys of block 2 before the delays.
constexpr KeyTable tModel{DelayModelKeys<F>::model};
constexpr KeyTable tLags{DelayModelKeys<F>::lags};

bool isTau0(const Store& g) {
    const std::string& t = g.TASKDIR;
    return t.size() == 4 && t.compare(0, 4, "Tau0") == 0;
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec22::InputPar(Ctx& c) {
    readParFile(c.store, c.paths, dataPath, [](ParReader& r) {
        Store& g = r.store();
        allocDelayTables(g, kNodes, kComps, kDelays);
        // 1. model; 2. equations and delays
        tModel.read(r, g);
        tLags.read(r, g);
        if (g.LTAU > kDelays)
            throw VeltaError("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
        readDelayList(r);
        readDelayRunBlocks(r);
    });
}

GridText Sec22::tauGrid(const Vec& tau, int ltau, bool zeros) { return delayTauGrid(tau, ltau, zeros); }

const KeyTable<Store, Sec22::Fields>& Sec22::keys(int block) {
    if (block == 1) return tModel;
    if (block == 2) return tLags;
    throw VeltaError("Блок " + CStr(block) + " файла данных не задается ключами");
}

Sec22::Fields Sec22::fieldsFromStore(const Store& g) {
    Fields f;
    tModel.fill(g, f);
    tLags.fill(g, f);
    f.tau = tauGrid(g.TAU, std::max<int>(g.LTAU, 0), false);
    delayRunTextsFromStore(g, f);
    return f;
}

void Sec22::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tModel.write(g, o, f);
    tLags.write(g, o, f);
    // The delays at the grid's own length (the LTAU field may be newer than the store).
    Colm_File(o, "TAUm(I):", f.tau.rows() - 3, f.tau);
    writeDelayRunBlocks(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- model

std::vector<double> Sec22::preparedDelays(const Store& g) const {
    std::vector<double> t;
    for (int j = 1; j <= g.LTAU; ++j) t.push_back(g.PTAU * g.TAU(j));
    return t;
}

void Sec22::checkLimits(const Store& g) const {
    if (g.MDIM < 1 || g.MDIM > kComps)
        throw VeltaError("Число уравнений MDIM должно быть от 1 до 5 (MDIM = " + CStr(g.MDIM) + ")");
    if (g.LTAU < 1 || g.LTAU > kDelays)
        throw VeltaError("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
    if (g.L < 1 && (!(g.PTAU > 0) || !std::isfinite(g.PTAU)))
        throw VeltaError("Период автоколебаний PTAU должен быть больше 0 (PTAU = " + CStr(g.PTAU) + ")");
    if (isTau0(g) && (g.MDIM < 2 || g.LTAU != 6))
        throw VeltaError("Модель задачи Tau0 требует MDIM >= 2 и LTAU = 6 (MDIM = " + CStr(g.MDIM) +
                         ", LTAU = " + CStr(g.LTAU) + ")");
}

// FZ from the delayed values; a task other than "Tau0" leaves FZ as it is.
void Sec22::Vych_PCH(Store& g) {
    if (!isTau0(g)) return;
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA;
    // Each delayed power once: Z1(t - TAU(2)) enters both equations.
    const double p62 = std::pow(g.ZTAU(6, 2), ga);
    double p1[7];
    for (int j = 1; j <= 6; ++j) p1[j] = std::pow(g.ZTAU(j, 1), ga);
    g.FZ(1) = a / (1 + b * (p62 + p1[2]));
    double s = 0;
    for (int j = 1; j <= 6; ++j) s += p1[j];
    g.FZ(2) = a / (1 + b * s);
}

// Z2 = ALFA/(1 + 6*BETA*Z1^GAMA) and Z1*(1 + BETA*(Z2^GAMA + Z1^GAMA)) = ALFA: Newton on
// Z1 from (ALFA/BETA)^(1 + 1/GAMA).
void Sec22::Station(Store& g) {
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA;
    const auto gdg = [a, b, ga](double z1) {
        const double d = 1 + 6 * b * std::pow(z1, ga);
        const double z2 = a / d;
        const double s = b * (std::pow(z2, ga) + std::pow(z1, ga));
        const double gv = (s + 1) * z1 - a;
        const double dz2 = -6 * a * b * ga * std::pow(z1, ga - 1) / (d * d);
        const double gp = s + 1 + b * ga * z1 * (std::pow(z1, ga - 1) + std::pow(z2, ga - 1) * dz2);
        return std::pair<double, double>(gv, gp);
    };
    const double z1 = dampedNewton(gdg, std::pow(a / b, 1 + 1 / ga), 1.0, 0.0001, kNewtonCap,
                                   "метода Ньютона для стационарного решения");
    g.ZS1 = z1;
    g.ZS2 = a / (1 + 6 * b * std::pow(z1, ga));
}

// Stationary solution, then the initial function on nodes 1..NP1 (the window before t = 0).
void Sec22::Nach_Rasp(Store& g) {
    Station(g);
    const int np1 = g.NDEL + 1;
    if (g.IND == 0) {
        for (int p = 1; p <= np1; ++p) {
            g.ZTAB(p, 1) = g.ZS1 + 0.001;
            g.ZTAB(p, 2) = g.ZS2;
        }
    } else {
        for (int p = 1; p <= np1; ++p)
            for (int k = 1; k <= g.MDIM; ++k) g.ZTAB(p, k) = 0;
        for (int p = 1; p <= np1; ++p) g.ZTAB(p, 1) = 0.0001;
    }
}

// ---------------------------------------------------------------- results and canvas

void Sec22::header(const Store& g, TextWriter& out) { writeDelayNetHeader(g, out, 6, false); }

void Sec22::DrawMesh1(Ctx& c) {
    const Store& g = c.store;
    MeshMaskG(c, "Графики функций Z1(t) и Z2(t), t = L*TAUmax + u", "Z", "u", g.SCLT, g.SCRT, g.SCLX, g.SCRX);
    Nadpis(c, 22, "Phys", 7);
}

void Sec22::Integr1(Ctx& c) { DelayIntegr(c, *this); }

}  // namespace velta
