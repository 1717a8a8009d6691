// Section 5.1.2: reading and writing the ".syzd" data file, the stationary value and the
// initial function, the right-hand side and the results table "\User\Results.s1z".
#include "synthesis/section512/sec512.h"

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

constexpr int kNodes = 5000;  // ZTAB nodes 0..5000: NDEL <= 2499
constexpr int kComps = 1;     // the equation is scalar
constexpr int kDelays = 20;   // TAU, KTAU, RTAU 0..20
constexpr int kRates = 5;     // TETAm 0..5
constexpr int kNewtonCap = 1000;

using F = Sec512::Fields;
// Block 1, the model (the delay blocks follow), and the keys of block 2 before the delays,
// the same in sections 5.1.2 and 5.2.2.
constexpr KeyTable tModel{DelayModelKeys<F>::model};
constexpr KeyTable tCounts{DelayModelKeys<SyzFields>::counts};

}  // namespace

// ---------------------------------------------------------------- shared pieces

void Sec512::allocTables(Store& g) {
    allocDelayTables(g, kNodes, kComps, kDelays);
    g.TETAm.alloc(kRates);
}

void Sec512::readDelayBlocks(ParReader& r) {
    Store& g = r.store();
    // 2. equation and delays
    tCounts.read(r, g);
    if (g.LTAU > kDelays)
        fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
    readDelayList(r, true);
    r.skipLine();
    g.TETAm(1) = r.readNumber();
    r.echo("TETAm(1) = " + CStr(g.TETAm(1)));
    readDelayRunBlocks(r);
}

void Sec512::writeDelayBlocks(const Store& g, TextWriter& o, const SyzFields& f) {
    tCounts.write(g, o, f);
    // The delays at the grid's own length (the LTAU field may be newer than the store).
    Colm_File(o, "TAUm(I):", f.tau.rows() - 3, f.tau);
    o.line("TETAm(1):");
    o.line(f.teta);
    writeDelayRunBlocks(g, o, f);
}

void Sec512::delayFieldsFromStore(const Store& g, SyzFields& f) {
    tCounts.fill(g, f);
    f.tau = tauGrid(g.TAU, std::max<int>(g.LTAU, 0), false);
    f.teta = g.TETAm.upper() >= 1 ? CStr(g.TETAm(1)) : std::string("0");
    delayRunTextsFromStore(g, f);
}

const KeyTable<Store, Sec512::Fields>& Sec512::keys() { return tModel; }

const KeyTable<Store, SyzFields>& Sec512::delayKeys() { return tCounts; }

GridText Sec512::tauGrid(const Vec& tau, int ltau, bool zeros) { return delayTauGrid(tau, ltau, zeros); }

void Sec512::initialFunction(Store& g) {
    const int np1 = g.NDEL + 1;
    const double z = g.IND != 0 ? 0.0 : g.STAT;
    for (int p = 1; p <= np1; ++p) g.ZTAB(p, 1) = z;
    // The perturbation sits on the oldest node only (one delay before t = 0).
    g.ZTAB(1, 1) = g.ZTAB(1, 1) + g.Z_1;
}

void Sec512::checkCommon(const Store& g) {
    if (g.TETAm.upper() < 1 || g.ZTAB.rows() < kNodes) fail(kNotRead);
    if (!(g.TETAm(1) != 0) || !std::isfinite(g.TETAm(1)))
        fail("Скорость распада TETA должна быть отлична от 0 (TETA = " + CStr(g.TETAm(1)) + ")");
}

void Sec512::drawMesh(Ctx& c, int section, double v) {
    const Store& g = c.store;
    MeshMaskG(c, "Графики компонент вектора Z(t), t = L*TAUmax + u", "Z", "u", g.SCLT, g.SCRT, g.SCLX,
              g.SCRX);
    Nadpis(c, section, "Phys", v);
}

// ---------------------------------------------------------------- data file

void Sec512::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) {
        allocTables(g);
        // 1. model
        tModel.read(r, g);
        readDelayBlocks(r);
    });
}

Sec512::Fields Sec512::fieldsFromStore(const Store& g) {
    Fields f;
    tModel.fill(g, f);
    delayFieldsFromStore(g, f);
    return f;
}

void Sec512::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tModel.write(g, o, f);
    writeDelayBlocks(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec512::checkLimits(const Store& g) const {
    checkCommon(g);
    if (g.LTAU < 1 || g.LTAU > kDelays)
        fail("Число запаздываний LTAU должно быть от 1 до 20 (LTAU = " + CStr(g.LTAU) + ")");
    if (g.L < 1) {
        // Newton starts from (ALFA/BETA/TETA)^(1/(GAMA+1)): it must be a positive number.
        const double z0 = std::pow(g.ALFA / g.BETA / g.TETAm(1), 1 / (g.GAMA + 1));
        if (!(z0 > 0) || !std::isfinite(z0))
            fail(
                "Стационарное решение не может быть найдено: начальное приближение "
                "(ALFA/BETA/TETA)^(1/(GAMA+1)) = " +
                CStr(z0) + " (нужны ALFA/(BETA*TETA) > 0 и GAMA > -1; ALFA = " + CStr(g.ALFA) + ", BETA = " +
                CStr(g.BETA) + ", GAMA = " + CStr(g.GAMA) + ", TETA = " + CStr(g.TETAm(1)) + ")");
    }
}

double Sec512::rhs(const Store& g, double zd1) { return g.ALFA / (1 + g.BETA * std::pow(zd1, g.GAMA)); }

void Sec512::Vych_PCH(Store& g) {
    ZD1 = g.ZTAU(1, 1);
    g.FZ(1) = rhs(g, ZD1);
}

// g(z) = (1 + BETA*z^GAMA)*z*TETA - ALFA, g'(z) = ((GAMA + 1)*BETA*z^GAMA + 1)*TETA.
void Sec512::Station(Store& g) {
    const double a = g.ALFA, b = g.BETA, ga = g.GAMA, th = g.TETAm(1);
    const auto gdg = [a, b, ga, th](double z) {
        const double zg = std::pow(z, ga);
        return std::pair<double, double>((1 + b * zg) * z * th - a, ((ga + 1) * b * zg + 1) * th);
    };
    g.STAT = dampedNewton(gdg, std::pow(a / b / th, 1 / (ga + 1)), 1.0, 0.0001, kNewtonCap,
                          "метода Ньютона для стационарного решения");
}

void Sec512::Nach_Rasp(Store& g) {
    Station(g);
    initialFunction(g);
}

// ---------------------------------------------------------------- results

void Sec512::header(const Store& g, TextWriter& out) {
    out.line("");
    out.line("ПАРАМЕТРЫ МОДЕЛИ");
    out.line("ALFA = " + fmt5(g.ALFA));
    out.line("BETA = " + fmt5(g.BETA));
    out.line("GAMA = " + fmt5(g.GAMA));
    out.line("TAU  = " + fmt5(g.TAU(1)));
    out.line("TETA = " + fmt5(g.TETAm(1)));
    out.line("NDEL = " + Format(g.NDEL, "####"));
    writeTableHead(out);
}

void Sec512::writeTableHead(TextWriter& out) {
    out.line("");
    out.line("              Таблица");
    out.line("зависимостей компонент вектора Z от времени t");
    out.line("");
    out.line(std::string(" No ") + "       t   " + "          Z");
    out.line(std::string("-----+-------------+") + "-------------+");
}

void Sec512::Integr1(Ctx& c) { DelayIntegr(c, *this); }

}  // namespace velta
