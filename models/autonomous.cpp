// The data-file blocks, run limits, results-table pieces and step observers shared by the
// autonomous sections.
#include "models/autonomous.h"

#include "app/prompter.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/export/resultsink.h"
#include "models/modelkeys.h"

#include <algorithm>

namespace velta {

namespace {

int sgn(double v) { return (v > 0) - (v < 0); }

// A key read and refused as upper, written as the style asks ("LSCREEN" or "Lscreen").
template <KeyStyle S, class F>
constexpr Key<Store, F> styled(const char* upper, const char* mixed, i16 Store::*v, std::string F::*t) {
    return Key<Store, F>{upper, S == KeyStyle::Upper ? upper : mixed, v, t}.checkedAs(upper);
}

// The run blocks (headers 0..2 from their first block) and the LSTEP block, per style,
// with the fields of the run sheet.
template <KeyStyle S>
struct StyledKeys {
    using R = Key<Store, RunFields>;
    static constexpr R run[] = {
        R{0},
        R{"TMAX", &Store::TMAX, &RunFields::tmax}.shown("txtTmax",
                                                        "Интервал интегрирования:  0 <= t <= TMAX,  TMAX ="),
        R{"HHH", &Store::HHH, &RunFields::hhh}.shown("txtHHH", "Шаг интегрирования,  HHH ="),
        R{1},
        styled<S>("LSCREEN", "Lscreen", &Store::LSCREEN, &RunFields::lscreen)
            .shown("txtLscreen", "LSCREEN ="),
        R{"TMIN", &Store::TMIN, &RunFields::tmin}.shown("txtTmin", "TMIN ="),
        R{2},
        styled<S>("LGRAPH", "Lgraph", &Store::LGRAPH, &RunFields::lgraph).shown("txtLgraph", "LGRAPH =")};
    using N = Key<Store, NetworkFields>;
    static constexpr N step[] = {
        N{0}, styled<S>("LSTEP", "Lstep", &Store::LSTEP, &NetworkFields::lstep).shown("txtLstep", "LSTEP =")};
    static constexpr RunKeys tables{run, step};
};

// NSC, then the plot bounds (read upper, written mixed), headers from their first block.
using SK = Key<Store, ScaleFields>;
constexpr SK kScale[] = {
    SK{0},
    SK{"NSC", &Store::NSC, &ScaleFields::nsc}.shown("txtNsc", "NSC ="),
    SK{1},
    SK{"DLX", "Dlx", &Store::DLX, &ScaleFields::dlx}.checkedAs("DLX").shown("txtDlx", "DLX ="),
    SK{"DRX", "Drx", &Store::DRX, &ScaleFields::drx}.checkedAs("DRX").shown("txtDrx", "DRX ="),
    SK{"DLW", "Dlw", &Store::DLW, &ScaleFields::dlw}.checkedAs("DLW").shown("txtDlw", "DLW ="),
    SK{"DRW", "Drw", &Store::DRW, &ScaleFields::drw}.checkedAs("DRW").shown("txtDrw", "DRW ="),
    SK{"SCLT", "Sclt", &Store::SCLT, &ScaleFields::sclt}.checkedAs("SCLT").shown("txtSclt", "SCLT =")};
constexpr KeyTable tScale{kScale};

// Block 1 of the symmetric networks with the NDIM row of the windows of 1.1 and 8.
constexpr auto kSymmetricModel = SymmetricModelKeys<SymmetricFields>::withNdim(
    "Число элементов ГГС (размерность системы),  NDIM =");
constexpr KeyTable tSymmetricModel{kSymmetricModel};

const std::string kPortionPrompt =
    "Для непрерывного вывода введите любой символ,\n"
    "при вводе пустой строки или нажатии 'Cancel' \n"
    "- вывод порциями";

}  // namespace

const RunKeys& runKeys(KeyStyle s) {
    if (s == KeyStyle::Upper) return StyledKeys<KeyStyle::Upper>::tables;
    return StyledKeys<KeyStyle::Mixed>::tables;
}

const KeyTable<Store, ScaleFields>& scaleKeys() { return tScale; }

const KeyTable<Store, SymmetricFields>& symmetricModelKeys() { return tSymmetricModel; }

std::string joinInts(const IVec& v, int n) {
    std::string s;
    for (int j = 1; j <= n; ++j) {
        if (j > 1) s += ',';
        s += CStr(v(j));
    }
    return s;
}

std::string joinPerturbations(const Store& g) {
    std::string s;
    for (int k = 1; k <= g.NK; ++k) {
        if (k > 1) s += ',';
        s += CStr(g.X1(g.INK(k)));
    }
    return s;
}

std::vector<Vec*> autonomousVectors(Store& g) {
    return {&g.X1, &g.XPREV, &g.XNEW, &g.F1, &g.F2, &g.XST, &g.XG, &g.XP, &g.XCROSS, &g.FP, &g.XV, &g.FV};
}

void allocVectors(const std::vector<Vec*>& vs, int n) {
    for (Vec* v : vs) v->alloc(n);
}

void needVectors(const std::vector<Vec*>& vs, int n) {
    for (const Vec* v : vs)
        if (v->upper() < n) fail(kNotRead);
}

// ---------------------------------------------------------------- data-file blocks

void readInitialData(ParReader& r, int k, int n, const char* dimName) {
    Store& g = r.store();
    r.Head_Input(k);
    r.skipLine();
    const std::vector<i16> ink = r.readList(n, "INK", n, dimName);
    g.NK = static_cast<i16>(ink.size());
    g.INK.alloc(g.NK);
    for (int j = 1; j <= g.NK; ++j) {
        g.INK(j) = ink[static_cast<std::size_t>(j - 1)];
        r.echo("INK(" + CStr(j) + ") = " + CStr(g.INK(j)));
    }
    g.X1.fill(0);
    r.skipLine();
    for (int j = 1; j <= g.NK; ++j) {
        g.X1(g.INK(j)) = r.readNumber();
        r.echo("X1(INK(" + CStr(j) + ")) = " + CStr(g.X1(g.INK(j))));
    }
    // The writer leaves an empty value line behind an empty index list.
    if (g.NK == 0) r.skipEmptyValueLine();
}

void readPoincarePlane(ParReader& r, int k, int n) {
    Store& g = r.store();
    r.Head_Input(k);
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
}

void writePoincarePlane(const Store& g, TextWriter& o, int k, const PlaneFields& f) {
    Head_File(g, o, k);
    const int n = planeLength(f);
    Vect_File(o, "XP(I):", n, f.xp);
    Vect_File(o, "FP(I):", n, f.fp);
}

void fillPlaneFields(const Store& g, PlaneFields& f) {
    f.xp = vectorGrid(g.XP, g.NDIM, false);
    f.fp = vectorGrid(g.FP, g.NDIM, false);
}

void readRunBlocks(ParReader& r, int k) { runKeys().run.read(r, r.store(), k); }

void writeRunBlocks(const Store& g, TextWriter& o, int k, const RunFields& f, KeyStyle keys) {
    runKeys(keys).run.write(g, o, f, k);
}

void fillRunFields(const Store& g, RunFields& f) { runKeys().run.fill(g, f); }

void readPlotList(ParReader& r, int k, int limit) {
    r.Head_Input(k);
    r.skipLine();
    const std::vector<i16> ic = r.readList(limit, "IC", r.store().NDIM, "NDIM");
    if (ic.size() > 13)
        fail("Число компонент графика NCOMP должно быть не больше 12 (в списке " +
             CStr(static_cast<int>(ic.size())) + ")");
    storePlotList(r, ic);
}

void storePlotList(ParReader& r, const std::vector<i16>& ic) {
    Store& g = r.store();
    g.NCOMP = static_cast<i16>(ic.size());
    for (int j = 1; j <= g.NCOMP; ++j) {
        g.IC(j) = ic[static_cast<std::size_t>(j - 1)];
        r.echo("IC(" + CStr(j) + ") = " + CStr(g.IC(j)));
    }
}

void writePlotList(const Store& g, TextWriter& o, int k, const std::string& list) {
    Head_File(g, o, k);
    o.line("IC(I):");
    o.line(list);
}

void readScaleBlocks(ParReader& r, int k) { tScale.read(r, r.store(), k); }

void writeScaleBlocks(const Store& g, TextWriter& o, int k, const ScaleFields& f) {
    tScale.write(g, o, f, k);
}

void fillScaleFields(const Store& g, ScaleFields& f) { tScale.fill(g, f); }

void readNetworkBlocks(ParReader& r, int k, int n) {
    readInitialData(r, k, n);
    readPoincarePlane(r, k + 1, n);
    readRunBlocks(r, k + 2);
    runKeys().step.read(r, r.store(), k + 5);
    // IC has 13 slots; more than 12 is refused before a run.
    readPlotList(r, k + 6, std::min(n, 13));
    readScaleBlocks(r, k + 7);
}

void writeNetworkBlocks(const Store& g, TextWriter& o, int k, const NetworkFields& f, KeyStyle keys) {
    Head_File(g, o, k);
    o.line("i1,...:");
    o.line(f.i1n);
    o.line("X(i1),...:");
    o.line(f.xi1);
    writePoincarePlane(g, o, k + 1, f);
    writeRunBlocks(g, o, k + 2, f, keys);
    runKeys(keys).step.write(g, o, f, k + 5);
    writePlotList(g, o, k + 6, f.i1g);
    writeScaleBlocks(g, o, k + 7, f);
}

void fillNetworkFields(const Store& g, NetworkFields& f) {
    f.i1n = joinInts(g.INK, g.NK);
    f.xi1 = joinPerturbations(g);
    fillPlaneFields(g, f);
    fillRunFields(g, f);
    runKeys().step.fill(g, f);
    f.i1g = joinInts(g.IC, g.NCOMP);
    fillScaleFields(g, f);
}

void readSymmetricData(ParReader& r) {
    Store& g = r.store();
    tSymmetricModel.read(r, g);
    checkNdim(g);
    allocVectors(autonomousVectors(g), g.NDIM);
    readNetworkBlocks(r, 2, g.NDIM);
}

void writeSymmetricData(const Store& g, TextWriter& o, const SymmetricFields& f) {
    tSymmetricModel.write(g, o, f);
    writeNetworkBlocks(g, o, 2, f, KeyStyle::Upper);
}

SymmetricFields symmetricFieldsFromStore(const Store& g) {
    SymmetricFields f;
    tSymmetricModel.fill(g, f);
    fillNetworkFields(g, f);
    return f;
}

// ---------------------------------------------------------------- limits of a run

void checkNdim(const Store& g) {
    if (g.NDIM < 1) fail("Число элементов NDIM должно быть не меньше 1 (NDIM = " + CStr(g.NDIM) + ")");
}

void checkClass(const Store& g) {
    if (g.MCLASS < 1 || g.MCLASS > 4)
        fail("Номер класса MCLASS должен быть от 1 до 4 (MCLASS = " + CStr(g.MCLASS) + ")");
}

void checkStep(const Store& g, double end, const std::string& endName) {
    if (!(g.HHH > 0)) fail("Шаг интегрирования HHH должен быть больше 0 (HHH = " + CStr(g.HHH) + ")");
    if (!(end >= 0))
        fail("Конец интервала интегрирования " + endName + " не должен быть отрицательным (" + endName +
             " = " + CStr(end) + ")");
    if (!(end / g.HHH <= kMaxSteps))
        fail("Слишком много шагов интегрирования: " + endName + "/HHH = " + CStr(end / g.HHH) +
             " (допустимо не более " + CStr(static_cast<long long>(kMaxSteps)) + ")");
}

void checkTableDensity(const Store& g) {
    if (g.NSC < 1) fail("Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = " + CStr(g.NSC) + ")");
}

void checkPortions(const Store& g) {
    if (g.LSTEP < 0) fail("Порция шагов LSTEP не должна быть отрицательной (LSTEP = " + CStr(g.LSTEP) + ")");
}

void checkInitialList(const Store& g) {
    for (int k = 1; k <= g.NK; ++k)
        if (g.INK(k) < 1 || g.INK(k) > g.NDIM)
            fail("Номер ненулевой компоненты INK(" + CStr(k) + ") = " + CStr(g.INK(k)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
}

void checkStepForRates(const Store& g, double rate, const std::string& rates) {
    // exp(700) is still finite: a larger HHH * rate overflows the step weights.
    constexpr double kMaxExponent = 700;
    if (!(g.HHH * rate <= kMaxExponent))
        fail("Шаг интегрирования HHH слишком велик для " + rates + ": HHH * " + CStr(rate) + " = " +
             CStr(g.HHH * rate) + " (допустимо не более " + CStr(static_cast<int>(kMaxExponent)) + ")");
}

void checkPlotList(const Store& g, int maxComp, const std::string& tooMany) {
    if (g.NCOMP < 0 || g.NCOMP > maxComp) fail(tooMany + " (NCOMP = " + CStr(g.NCOMP) + ")");
    checkPlotIndexes(g);
    if (g.LGRAPH != 1 && g.NCOMP < 2)
        fail("При LGRAPH = " + CStr(g.LGRAPH) +
             " нужны две компоненты графика i1, i2 (NCOMP = " + CStr(g.NCOMP) + ")");
}

void checkPlotList(const Store& g, int maxComp) {
    checkPlotList(g, maxComp, "Число компонент графика NCOMP должно быть не больше " + CStr(maxComp));
}

void checkPlotIndexes(const Store& g) {
    for (int i = 1; i <= g.NCOMP; ++i)
        if (g.IC(i) < 1 || g.IC(i) > g.NDIM)
            fail("Номер компоненты графика IC(" + CStr(i) + ") = " + CStr(g.IC(i)) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(g.NDIM) + ")");
}

void checkNetworkRun(const Store& g) {
    checkStep(g);
    checkTableDensity(g);
    checkPortions(g);
    if (g.INK.upper() < g.NK) fail(kNotRead);
    checkInitialList(g);
    // The input window lists at most 12 plotted components.
    checkPlotList(g, 12, "На график можно вывести не более 12 компонент");
}

// ---------------------------------------------------------------- a run

void setPlotScales(Store& g) {
    g.SCLX = g.ALFA * g.DLX;
    g.SCRX = g.ALFA * g.DRX;
    g.SCLW = g.ALFA * g.DLW;
    g.SCRW = g.ALFA * g.DRW;
}

void setExpWeights(Store& g) {
    const double h = g.HHH;
    g.EH = std::exp(h);
    g.EHI = 1 / g.EH;
    g.EQ = (g.EH - 1) / h;
    g.EC1 = g.EQ - 1;
    g.EC2 = g.EH - g.EQ;
}

void drawMeshTime(Ctx& c, int section, double tEnd, double legendRow) {
    const Store& g = c.store;
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", g.SCLT, tEnd, g.SCLX, g.SCRX);
    Nadpis(c, section, "Phys", legendRow);
}

void drawMeshPhase(Ctx& c, int section, double legendRow, bool poincare) {
    const Store& g = c.store;
    const std::string title = poincare && g.LGRAPH != 2 ? "П Л О С К О С Т Ь   П У А Н К А Р Е"
                                                        : "Графики компонент вектора X в фазовой плоскости";
    MeshMaskG(c, title, "X(i2)", "X(i1)", g.SCLX, g.SCRX, g.SCLX, g.SCRX);
    Nadpis(c, section, "Phas", legendRow);
}

void markStationaryPoint(Ctx& c) {
    const Store& g = c.store;
    const Colour yellow = QBColor(14);
    c.surf.fillSolid = true;
    c.surf.fillColour = yellow;
    c.surf.circle((g.STAT - g.SCLX) * g.PWID / g.YRANGE + g.PX0,
                  (g.STAT - g.SCLX) * g.PHGT / g.YRANGE + g.PY0, 6, yellow);
}

bool stationOrWarn(Ctx& c, void (*station)(Store&)) {
    try {
        station(c.store);
    } catch (const VeltaError& e) {
        c.ui.message(e.what(), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void writeTableTitle(TextWriter& out) {
    out.line("                      Таблица");
    out.line("        зависимостей компонент вектора X от времени t");
    out.line("");
}

void writeColumnHead(TextWriter& out, int n) {
    std::string h = " No        t   ";
    for (int k = 1; k <= n; ++k) h += "         X(" + Format(k, "00") + ")";
    out.line(h);
    std::string d = "-----+-------------+";
    for (int k = 1; k <= n; ++k) d += "-------------+";
    out.line(d);
}

void writeTableRow(Store& g, TextWriter& out, i32 j, double t, const char* stepMask) {
    const int n = g.NDIM;
    std::string row;
    row.reserve(static_cast<std::size_t>(26 + 16 * n));
    row += Format(j, stepMask);
    row += "   ";
    row += Format(t, "0.00000E+00");
    row += "   ";
    const double* x = g.X1.data();
    for (int k = 1; k <= n; ++k) {
        row += Format(x[k], "0.00000E+00");
        row += "   ";
    }
    out.line(row);
    if (ResultsSink* sink = resultsSink()) {
        if (g.NROW == 0) sink->begin('X', n);
        sink->row(t, x, n);
    }
    ++g.NROW;
}

namespace {

void writeSymmetricHeader(const Store& g, TextWriter& out) {
    const std::string e = "0.00000E+00";
    out.line("");
    out.line("Mодель M" + CStr(g.MCLASS) + "(" + CStr(g.NDIM) + "," + CStr(g.KMOD) + ")");
    out.line("NDIM = " + Format(g.NDIM, "####"));
    out.line("KMOD = " + Format(g.KMOD, "####"));
    out.line("TMAX = " + Format(g.TMAX, e));
    out.line("ALFA = " + Format(g.ALFA, e));
    out.line("BETA = " + Format(g.BETA, e));
    out.line("GAMA = " + Format(g.GAMA, e));
    out.line("");
    out.line("Стационарное симметричное решение,");
    out.line("в котором все компоненты равны STAT:");
    out.line("STAT = " + Format(g.STAT, e));
    out.line("");
    writeTableTitle(out);
    writeColumnHead(out, g.NDIM);
}

}  // namespace

void writeSymmetricResults(Store& g, TextWriter& out, i32 j, double t) {
    if (j == 1) {
        writeSymmetricHeader(g, out);
        g.NROW = 0;
    }
    if (tableStep(g, j)) writeTableRow(g, out, j, t, "00000");
}

// ---------------------------------------------------------------- step observers

void poincareTest(Ctx& c, const double* xa, const double* xb, int n) {
    Store& g = c.store;
    const double* xp = g.XP.data();
    const double* fp = g.FP.data();
    double s1 = 0, s2 = 0;
    for (int i = 1; i <= n; ++i) s1 += (xa[i] - xp[i]) * fp[i];
    for (int i = 1; i <= n; ++i) s2 += (xb[i] - xp[i]) * fp[i];
    // Opposite signs, or both points on the plane.
    if (sgn(s1) + sgn(s2) != 0) return;
    double d = 0;
    for (int i = 1; i <= n; ++i) d += (xa[i] - xb[i]) * fp[i];
    // Two points on the plane (or nearly) give no direction: take the first one.
    const double lambda = std::fabs(d) >= 1.0E-6 ? s1 / d : 0;
    double* xcross = g.XCROSS.data();
    for (int i = 1; i <= n; ++i) xcross[i] = xa[i] + lambda * (xb[i] - xa[i]);
    GraphicP(c);
}

void askPortion(Ctx& c, const std::string& title) {
    if (!c.ui.inputBox(kPortionPrompt, title, "", 0, 0).empty()) c.store.LSTEP = 0;
}

void nonFiniteStep(i32 j, double t) {
    fail("Счёт прерван: на шаге j = " + CStr(j) + ", t = " + Format(t, "0.00000E+00") +
         " получено нечисловое значение (переполнение)");
}

}  // namespace velta
