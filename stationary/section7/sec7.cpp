// Section 7: the ".stRd" data file, the positivity interval of g(s), the symmetric branch
// ("\User\Symmetr.stR"), the partially symmetric branch ("\User\Results.stR") and their
// diagram.
#include "stationary/section7/sec7.h"

#include "app/prompter.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "stationary/continuation.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// Scan steps allowed before the interval is given up.
constexpr long kScanCap = 10000000;
// Table rows allowed on either branch.
constexpr int kMaxRows = 1000000;

bool positive(double v) { return std::isfinite(v) && v > 0; }

int sgn(double v) { return (v > 0) - (v < 0); }

using F = Sec7::Fields;
using K = Key<Store, F>;
// The whole file: the model, the scan, the ALFA bound and the plot ranges.
constexpr K kFile[] = {
    K{1}, K{"NDIM", &Store::NDIM, &F::ndim}.shown("txtNdim", "NDIM ="),
    K{"BETA", &Store::BETA, &F::beta}.shown("txtBeta", "BETA ="),
    K{"GAMA", &Store::GAMA, &F::gama}.shown("txtGama", "GAMA ="),
    K{"LL", &Store::LL, &F::ll}.shown(
        "txtLL", "LL - число компонент в 1-й группе частично-симметричного решения, LL <=[NDIM/2],"),
    K{2}, K{"Smax", &Store::Smax, &F::smax}.shown("txtSmax", "Smax ="),
    K{"SH", &Store::SH, &F::sh}.shown("txtSH", "Шаг по s,  SH ="),
    K{"HMAX", &Store::Hmax, &F::hmax}.shown("txtHmax", "Hmax ="),
    K{"DELTA", &Store::Delta, &F::delta}.shown("txtDelta",
                                               "Ограничение на табличные приращения ALFA и U1,  DELTA ="),
    // The heading of the block is the label of its one field.
    K{3},
    K{"ALmax", &Store::ALmax, &F::almax}.shown(
        "txtALmax", "3) Правая граница отрезка по ALFA,                          ALmax ="),
    K{4}, K{"DRX", &Store::DRX, &F::drx}.shown("txtDRX", "DRX ="),
    K{"DRY", &Store::DRY, &F::dry}.shown("txtDRY", "DRY =")};
constexpr KeyTable tFile{kFile};

void tooManyRows(const std::string& branch) {
    fail(branch + ": более " + CStr(kMaxRows) + " строк таблицы. Увеличьте шаг HMAX или ограничение DELTA");
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec7::InputPar(Ctx& c) {
    Store& g = c.store;
    readParFile(g, c.paths, dataPath, [&g](ParReader& r) { tFile.read(r, g); });
    g.SCRX = g.DRX * g.ALmax;
    g.SCRY = g.DRY * g.ALmax;
}

const KeyTable<Store, Sec7::Fields>& Sec7::keys() { return tFile; }

Sec7::Fields Sec7::fieldsFromStore(const Store& g) {
    Fields f;
    tFile.fill(g, f);
    return f;
}

void Sec7::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tFile.write(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- the model

double Sec7::F_GS(const Store& g, double s) {
    const double sg = std::pow(s, g.GAMA);
    // (s^GAMA - 1)/(s - 1) tends to GAMA at s = 1.
    const double q = s == 1 ? g.GAMA : (sg - 1) / (s - 1);
    return q - (g.LL - 1) * sg + g.LL - g.NDIM;
}

// From the two stationary equations with u1 = s*u2: BETA*u2^GAMA = 1/g(s), and ALFA is
// the first equation solved for ALFA.
Sec7::Point Sec7::F_AU12(const Store& g, double s, double gs) {
    Point p;
    p.u2 = std::pow(1 / (g.BETA * gs), 1 / g.GAMA);
    p.u1 = s * p.u2;
    p.alfa = (g.BETA * ((g.LL - 1) * std::pow(p.u1, g.GAMA) + (g.NDIM - g.LL) * std::pow(p.u2, g.GAMA)) + 1) *
             p.u1;
    return p;
}

double Sec7::symAlfa(const Store& g, double uu) {
    return (std::pow(uu, g.GAMA) * (g.NDIM - 1) * g.BETA + 1) * uu;
}

Sec7::Scan Sec7::scanPositivity(Ctx& c) {
    const Store& g = c.store;
    Scan r;
    double sPrev = 0;
    int signPrev = sgn(g.LL - g.NDIM);
    int phase = 1;
    for (;;) {
        const double s = sPrev + g.SH;
        ++r.IT;
        if (r.IT % 4096 == 0) c.surf.poll();
        if (r.IT > kScanCap || s > g.Smax) return r;
        // A zero of g at a scan point is no sign change: its sign 0 is carried on.
        const int cs = sgn(F_GS(g, s));
        if (cs + signPrev != 0) {
            sPrev = s;
            signPrev = cs;
            continue;
        }
        if (phase == 1) {
            r.sL = s;
            r.lines.push_back(" Левая граница : sL = " + fmt5(s));
            if (g.LL <= 1) {
                r.lines.push_back(" g(s) > 0 при всех s > sL");
                r.ok = true;
                return r;
            }
            phase = 2;
            sPrev = s;
            signPrev = cs;
            continue;
        }
        r.sR = sPrev;
        r.lines.push_back(" Правая граница: sR = " + fmt5(sPrev));
        r.ok = true;
        return r;
    }
}

// ---------------------------------------------------------------- limits and frame

void Sec7::checkLimits(const Store& g) {
    if (g.NDIM < 2) fail("Число элементов NDIM должно быть не меньше 2 (NDIM = " + CStr(g.NDIM) + ")");
    if (g.LL < 1 || g.LL > g.NDIM - 1)
        fail("Число компонент 1-й группы LL должно быть от 1 до NDIM - 1 (LL = " + CStr(g.LL) +
             ", NDIM = " + CStr(g.NDIM) + ")");
    if (!positive(g.BETA)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(g.BETA) + ")");
    if (!positive(g.GAMA)) fail("Параметр GAMA должен быть больше 0 (GAMA = " + CStr(g.GAMA) + ")");
    if (!positive(g.Smax)) fail("Граница отрезка Smax должна быть больше 0 (Smax = " + CStr(g.Smax) + ")");
    if (!positive(g.SH)) fail("Шаг по s  SH должен быть больше 0 (SH = " + CStr(g.SH) + ")");
    if (!positive(g.Hmax)) fail("Наибольший шаг HMAX должен быть больше 0 (HMAX = " + CStr(g.Hmax) + ")");
    if (!positive(g.Delta)) fail("Ограничение DELTA должно быть больше 0 (DELTA = " + CStr(g.Delta) + ")");
    if (!positive(g.ALmax)) fail("Граница ALmax должна быть больше 0 (ALmax = " + CStr(g.ALmax) + ")");
    // Every table row advances ALFA by DELTA at most, from about 0 up to ALmax.
    if (g.ALmax / g.Delta > kMaxRows)
        fail("Слишком малое ограничение DELTA: ALmax/DELTA = " + CStr(g.ALmax / g.Delta) +
             " (допустимо не более " + CStr(kMaxRows) + ")");
    if (!positive(g.DRX) || !positive(g.DRY))
        fail("Границы графика DRX и DRY должны быть больше 0 (DRX = " + CStr(g.DRX) +
             ", DRY = " + CStr(g.DRY) + ")");
    // The frame runs to DRX*ALmax and DRY*ALmax: both must be numbers.
    checkPlotRanges("ALFA", 0, g.DRX * g.ALmax, "U", 0, g.DRY * g.ALmax);
}

void Sec7::DrawMesh3(Ctx& c) {
    Store& g = c.store;
    // The diagram starts at 0 on both axes, and Graphic0 draws from the origin SCLX, SCLY.
    g.SCLX = 0;
    g.SCLY = 0;
    MeshMaskG(c, "СТАЦИОНАРНЫЕ РЕШЕНИЯ МОДЕЛИ M(NDIM,NDIM)", "U", "ALFA", 0, g.SCRX, 0, g.SCRY);
    Surface& sf = c.surf;
    const double x4 = g.TXTX + 4.0 * g.CHW, x6 = g.TXTX + 6.0 * g.CHW;
    auto sample = [&](double row, int colour) {
        const double y = g.TXTY + (row + 0.5) * g.CHH;
        sf.segment(g.TXTX, y, x4, y, QBColor(colour));
    };
    sf.foreColour = g.CAXES;
    rowText(c, g.TXTX, 0, " Параметры модели");
    rowText(c, g.TXTX, 2, "NDIM = " + Format(g.NDIM, "###"));
    rowText(c, g.TXTX, 3, "BETA = " + fmt5(g.BETA));
    rowText(c, g.TXTX, 4, "GAMA = " + fmt5(g.GAMA));
    rowText(c, g.TXTX, 5, "LL   = " + CStr(g.LL));
    sample(8, 12);
    rowText(c, x6, 8, "UU -");
    rowText(c, x6, 9, "симметричное");
    rowText(c, x6, 10, "решение");
    sample(13, 9);
    rowText(c, x6, 13, "U1 \\");
    sample(14, 10);
    rowText(c, x6, 14, "U2 / частично");
    rowText(c, g.TXTX, 21, "ALFA >= ALmin - ");
    rowText(c, g.TXTX, 22, "область определения");
    rowText(c, g.TXTX, 23, "U1 и U2,");
}

// ---------------------------------------------------------------- run

void Sec7::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    g.SCRX = g.DRX * g.ALmax;
    g.SCRY = g.DRY * g.ALmax;
    symRows = partRows = 0;

    // Symmetr.stR is written later in the run: it must be writable before Results.stR is emptied.
    checkCanCreate({c.paths.userFile("Results.stR"), c.paths.userFile("Symmetr.stR")});
    auto res = TextWriter::create(c.paths.userFile("Results.stR"));
    res->line("");
    res->line(" ЧАСТИЧНО СИММЕТРИЧНОЕ РЕШЕНИЕ, LL=" + printedNumber(g.LL));
    res->line(" NDIM = " + Format(g.NDIM, "###"));
    res->line(" BETA = " + fmt5(g.BETA));
    res->line(" GAMA = " + fmt5(g.GAMA));
    res->line("");
    res->line(" Границы области положительности функции g(s)");

    // ---- 1. the interval of s where g > 0
    const Scan scan = scanPositivity(c);
    for (const std::string& l : scan.lines) res->line(l);
    if (!scan.ok) {
        // The results file keeps what was found; the diagram is not started.
        res->close();
        c.ui.message(" SS > Smax, STOP, IT = " + CStr(static_cast<long long>(scan.IT)), MsgIcon::None, "");
        return;
    }
    sL = scan.sL;
    sR = scan.sR;
    res->line("");
    res->line("           Параметрическая зависимость ALFA, u1 и u2 от s");
    res->line("");
    res->line("           ALFA         U1           U2           s");
    res->line("          -+------------+------------+------------+-----------");
    DrawMesh3(c);

    // ---- 2. the symmetric branch, UU from 0.0001 by steps that change ALFA by DELTA at most
    {
        auto sym = TextWriter::create(c.paths.userFile("Symmetr.stR"));
        sym->line(" CИММЕТРИЧНОЕ РЕШЕНИЕ МОДЕЛИ M(NDIM,NDIM)");
        sym->line(" NDIM = " + Format(g.NDIM, "###"));
        sym->line(" BETA = " + fmt5(g.BETA));
        sym->line(" GAMA = " + fmt5(g.GAMA));
        sym->line("");
        sym->line("      Зависимость UU от ALFA в симметричном решении");
        sym->line("");
        sym->line("           ALFA         UU           ");
        sym->line("          -+------------+------------");
        UU = 0.0001;
        double alfa = symAlfa(g, UU);
        for (;;) {
            c.surf.poll();
            const double aPrev = alfa, uPrev = UU;
            if (++symRows > kMaxRows) tooManyRows("Симметричное решение");
            sym->line("   " + std::string("  ") + Format(symRows, "0000") + "  " + fmt5(alfa) + "  " +
                      fmt5(UU));
            double step = g.Hmax;
            for (;;) {
                UU = uPrev + step;
                if (UU == uPrev)
                    fail("Симметричное решение: шаг по UU стал меньше точности вычислений при ALFA = " +
                         CStr(aPrev) + ". Проверьте DELTA и HMAX");
                alfa = symAlfa(g, UU);
                if (std::isfinite(alfa) && !(std::fabs(alfa - aPrev) > g.Delta)) break;
                step /= 2;
            }
            g.ALFA = alfa;
            if (alfa > g.ALmax) break;
            if (UU < g.SCRY) Graphic0(c, aPrev, alfa, uPrev, UU, 12);
        }
        sym->close();
    }

    // ---- 3. the partially symmetric branch along s from sL
    ALmin = 1e10;
    s = sL;
    Point p;
    bool started = false;
    for (;;) {
        // Beyond Smax the branch is not followed (with LL = 1 g stays positive for ever).
        if (s > g.Smax) break;
        const double gs = F_GS(g, s);
        if (!(gs > 0)) break;
        p = F_AU12(g, s, gs);
        ALmin = std::min(ALmin, p.alfa);
        if (p.alfa > g.ALmax) {
            c.surf.poll();
            s += g.SH;
            continue;
        }
        started = true;
        break;
    }
    while (started) {
        c.surf.poll();
        if (++partRows > kMaxRows) tooManyRows("Частично симметричное решение");
        const Point prev = p;
        const double sPrev = s;
        res->line("     " + Format(partRows, "0000") + "  " + fmt5(p.alfa) + "  " + fmt5(p.u1) + "  " +
                  fmt5(p.u2) + "  " + fmt5(s));
        double step = g.Hmax;
        bool stuck = false;
        for (;;) {
            s = sPrev + step;
            if (s == sPrev) {
                // The step fell below the resolution of s: the branch has reached sR.
                stuck = true;
                break;
            }
            if (g.LL > 1 && s >= sR) {
                step /= 2;
                continue;
            }
            p = F_AU12(g, s, F_GS(g, s));
            if (std::fabs(p.alfa - prev.alfa) <= g.Delta && std::fabs(p.u1 - prev.u1) <= g.Delta) break;
            step /= 2;
        }
        if (stuck) {
            p = prev;
            s = sPrev;
            break;
        }
        g.ALFA = p.alfa;
        if (p.alfa > g.ALmax || s > g.Smax) break;
        if (p.u1 < g.SCRY) Graphic0(c, prev.alfa, p.alfa, prev.u1, p.u1, 9);
        if (p.u2 < g.SCRY) Graphic0(c, prev.alfa, p.alfa, prev.u2, p.u2, 10);
        ALmin = std::min(ALmin, p.alfa);
    }
    u1 = p.u1;
    u2 = p.u2;
    res->line(" ALmin =" + fmt5(ALmin));
    res->close();

    c.surf.foreColour = g.CAXES;
    c.surf.setCurrent(g.TXTX, g.TXTY + 25.0 * g.CHH);
    c.surf.text("ALmin = " + fmt5(ALmin));
}

}  // namespace velta
