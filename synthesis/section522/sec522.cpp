// Section 5.2.2: reading and writing the ".syzd" data file with its combined fields, the
// damped stationary iteration, the right-hand side of the two elements and the results
// table "\User\Results.s2z".
#include "synthesis/section522/sec522.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "synthesis/combined.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// A tenth of the Newton step converges at the rate 0.9 per step: ten thousand steps are
// far beyond any root a file can ask for.
constexpr int kNewtonCap = 10000;

}  // namespace

// ---------------------------------------------------------------- data file

void Sec522::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) {
        Sec512::allocTables(g);
        // 1. model: three combined lines after their labels
        r.Head_Input(1);
        readCombined(r, "ALFA,ALFA1,ALFA2", {&g.ALFA, &g.ALFA1, &g.ALFA2});
        readCombined(r, "BETA1,BETA2", {&g.BETA1, &g.BETA2});
        readCombined(r, "GAMA1,GAMA2", {&g.GAMA1, &g.GAMA2});
        Sec512::readDelayBlocks(r);
    });
}

Sec522::Fields Sec522::fieldsFromStore(const Store& g) {
    Fields f;
    f.alfa3 = CStr(g.ALFA) + "," + CStr(g.ALFA1) + "," + CStr(g.ALFA2);
    f.beta12 = CStr(g.BETA1) + "," + CStr(g.BETA2);
    f.gama12 = CStr(g.GAMA1) + "," + CStr(g.GAMA2);
    Sec512::delayFieldsFromStore(g, f);
    return f;
}

void Sec522::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    Head_File(g, o, 1);
    o.line("ALFA,ALFA1,ALFA2:");
    o.line(f.alfa3);
    o.line("BETA1,BETA2:");
    o.line(f.beta12);
    o.line("GAMA1,GAMA2:");
    o.line(f.gama12);
    Sec512::writeDelayBlocks(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- model

std::vector<double> Sec522::preparedDelays(const Store& g) const {
    double t1 = g.TAU(1), t2 = g.TAU(2);
    if (t1 > t2) std::swap(t1, t2);
    return {t1, t2};
}

void Sec522::checkLimits(const Store& g) const {
    Sec512::checkCommon(g);
    if (g.LTAU != 2)
        fail("Модель раздела использует два запаздывания: должно быть LTAU = 2 (LTAU = " + CStr(g.LTAU) +
             ")");
    // The iteration starts at z = 0, where z^(GAMA - 1) is infinite for GAMA < 1.
    if (!(g.GAMA1 >= 1) || !(g.GAMA2 >= 1))
        fail(
            "Показатели GAMA1, GAMA2 должны быть не меньше 1: итерация стационарного решения "
            "начинается с Z = 0 (GAMA1 = " +
            CStr(g.GAMA1) + ", GAMA2 = " + CStr(g.GAMA2) + ")");
}

double Sec522::rhs(const Store& g, double zd1, double zd2) {
    return g.ALFA * (g.ALFA1 / (1 + g.BETA1 * std::pow(zd1, g.GAMA1)) +
                     g.ALFA2 / (1 + g.BETA2 * std::pow(zd2, g.GAMA2)));
}

void Sec522::Vych_PCH(Store& g) {
    ZD1 = g.ZTAU(1, 1);
    ZD2 = g.ZTAU(2, 1);
    g.FZ(1) = rhs(g, ZD1, ZD2);
}

std::pair<double, double> Sec522::stationGdg(const Store& g, double z) {
    const double c = 1 / (1 + g.BETA1 * std::pow(z, g.GAMA1));
    const double f = 1 / (1 + g.BETA2 * std::pow(z, g.GAMA2));
    const double th = g.TETAm(1);
    const double gv = th * z - g.ALFA * (g.ALFA1 * c + g.ALFA2 * f);
    const double gp = g.ALFA * (c * c * g.ALFA1 * g.BETA1 * g.GAMA1 * std::pow(z, g.GAMA1 - 1) +
                                f * f * g.ALFA2 * g.BETA2 * g.GAMA2 * std::pow(z, g.GAMA2 - 1)) +
                      th;
    return {gv, gp};
}

void Sec522::Station(Store& g) {
    g.STAT = dampedNewton([&g](double z) { return stationGdg(g, z); }, 0.0, 0.1, 0.0001, kNewtonCap,
                          "затухающего метода Ньютона для стационарного решения");
}

void Sec522::Nach_Rasp(Store& g) {
    Station(g);
    Sec512::initialFunction(g);
}

// ---------------------------------------------------------------- results

void Sec522::header(const Store& g, TextWriter& out) {
    out.line("");
    out.line("ПАРАМЕТРЫ МОДЕЛИ");
    out.line("ALFA  = " + fmt5(g.ALFA));
    out.line("ALFA1 = " + fmt5(g.ALFA1));
    out.line("ALFA2 = " + fmt5(g.ALFA2));
    out.line("BETA1 = " + fmt5(g.BETA1));
    out.line("BETA2 = " + fmt5(g.BETA2));
    out.line("GAMA1 = " + fmt5(g.GAMA1));
    out.line("GAMA2 = " + fmt5(g.GAMA2));
    out.line("TAU1  = " + fmt5(g.TAU(1)));
    out.line("TAU2  = " + fmt5(g.TAU(2)));
    out.line("TETA  = " + fmt5(g.TETAm(1)));
    out.line("TMAX  = " + fmt5(g.TMAX));
    out.line("NDEL  = " + Format(g.NDEL, "####"));
    Sec512::writeTableHead(out);
}

void Sec522::Integr1(Ctx& c) { DelayIntegr(c, *this); }

}  // namespace velta
