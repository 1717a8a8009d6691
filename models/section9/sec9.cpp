// Section 9: reading and writing the ".chad" data file, the regulatory inputs of the
// three-element model, the semi-implicit integrator and its table "\User\Results.cha".
#include "models/section9/sec9.h"

#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/surface.h"
#include "models/autonomous.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// f^(m)(v): v passed m times through f(v) = ALFA*v / (1 + v^GAMA).
// GAMA = 2 is done as v*v, the same value std::pow returns for an exponent of 2.
inline double regul(double v, double alfa, double gama, int m) {
    if (gama == 2.0) {
        for (int k = 0; k < m; ++k) v = alfa * v / (1 + v * v);
    } else {
        for (int k = 0; k < m; ++k) v = alfa * v / (1 + std::pow(v, gama));
    }
    return v;
}

// FR9(i) = f^(m)(S(i)), S(1) = X(2) + X(3), S(2) = X(1) + X(3), S(3) = X(1) + X(2).
inline void inputs(const double* x, double* fr, double alfa, double gama, int m) {
    fr[1] = regul(x[2] + x[3], alfa, gama, m);
    fr[2] = regul(x[1] + x[3], alfa, gama, m);
    fr[3] = regul(x[1] + x[2], alfa, gama, m);
}

// The W curve and its legend belong to the sections that compute W; this one does not,
// so LSCREEN reads 0 while the plot is framed and drawn, and is given back afterwards.
class WCurveOff {
public:
    explicit WCurveOff(Store& g) : g_(g), saved_(g.LSCREEN) { g.LSCREEN = 0; }
    ~WCurveOff() { g_.LSCREEN = saved_; }
    WCurveOff(const WCurveOff&) = delete;
    WCurveOff& operator=(const WCurveOff&) = delete;

private:
    Store& g_;
    i16 saved_;
};

using F = Sec9::Fields;
using K = Key<Store, F>;
// Block 1 (NDIM, checked before the rest is read, then the model), block 3 (interval,
// ranges, step) and blocks 6 to 8.
constexpr K kNdim[] = {K{1}, K{"NDIM", &Store::NDIM, &F::ndim}.shown(
                                 "txtNdim", "Число элементов ГГС (размерность системы),  NDIM =")};
constexpr K kModel[] = {K{"ALFA", &Store::ALFA, &F::alfa}.shown("txtAlfa", " ALFA ="),
                        K{"GAMA", &Store::GAMA, &F::gama}.shown("txtGama", " GAMA ="),
                        K{"MCPZ", &Store::MCPZ, &F::mcpz}.shown("txtMCPZ", "Число композиций,   MCPZ =")};
constexpr K kRange[] = {
    K{3},
    K{"SCLT", &Store::SCLT, &F::sclt}.shown("txtSCLT", "Интервал интегрирования:  SCLT <= t <= SCRT, SCLT ="),
    K{"SCRT", &Store::SCRT, &F::scrt}.shown("txtSCRT", "SCRT ="),
    K{"SCLX", &Store::SCLX, &F::sclx}.shown(
        "txtSCLX", "Интервал изменения компонент вектора X(t): SCLX <= X(t) <= SCRX,  SCLX ="),
    K{"SCRX", &Store::SCRX, &F::scrx}.shown("txtSCRX", "SCRX ="),
    K{"HHH", &Store::HHH, &F::hhh}.shown("txtHHH", "Шаг интегрирования,  HHH =")};
// LSCREEN and LGRAPH are laid out with their notes by the window's shared blocks.
constexpr K kTail[] = {K{6}, K{"LSCREEN", &Store::LSCREEN, &F::lscreen},
                       K{7}, K{"LGRAPH", &Store::LGRAPH, &F::lgraph},
                       K{8}, K{"NSC", &Store::NSC, &F::nsc}.shown("txtNsc", "NSC =")};
constexpr KeyTable tNdim{kNdim}, tModel{kModel}, tRange{kRange}, tTail{kTail};

}  // namespace

// ---------------------------------------------------------------- data file

void Sec9::InputPar(Ctx& c) {
    readParFile(c.store, c.paths, dataPath, [this](ParReader& r) {
        Store& g = r.store();
        // 1. model
        tNdim.read(r, g);
        checkNdim(g);
        const int n = g.NDIM;
        // Every component is plotted; IC has 13 slots.
        g.NCOMP = static_cast<i16>(std::min(n, 13));
        g.XCROSS.alloc(n);
        g.FP.alloc(n);
        g.XP.alloc(n);
        tModel.read(r, g);

        // 2. initial values; the model always has three components, a larger NDIM is
        // read so that the window can show it and is refused by the computation.
        r.Head_Input(2);
        r.skipLine();
        YO.alloc(std::max(3, n));
        for (int i = 1; i <= n; ++i) {
            YO(i) = r.readNumber();
            r.echo("YN(" + CStr(i) + ") = " + CStr(YO(i)));
        }

        // 3. interval, ranges, step
        tRange.read(r, g);

        readPoincarePlane(r, 4, n);  // 4. Poincaré plane: point Xo and normal N

        // 5. plotted components: one number for every component
        r.Head_Input(5);
        r.skipLine();
        const std::vector<i16> ic = r.readList(g.NCOMP, "IC", n, "NDIM");
        if (static_cast<int>(ic.size()) < g.NCOMP)
            throw VeltaError("Список номеров компонент IC(I) должен содержать NDIM = " + CStr(g.NDIM) +
                             " номеров (прочитано " + CStr(static_cast<int>(ic.size())) + ")");
        storePlotList(r, ic);

        // 6..8
        tTail.read(r, g);
    });
}

const KeyTable<Store, Sec9::Fields>& Sec9::ndimKeys() { return tNdim; }
const KeyTable<Store, Sec9::Fields>& Sec9::modelKeys() { return tModel; }
const KeyTable<Store, Sec9::Fields>& Sec9::rangeKeys() { return tRange; }
const KeyTable<Store, Sec9::Fields>& Sec9::tailKeys() { return tTail; }

void Sec9::checkKeys(const Fields& f) {
    for (const auto* t : {&tNdim, &tModel, &tRange, &tTail}) t->check(f);
}

Sec9::Fields Sec9::fieldsFromStore(const Store& g) const {
    Fields f;
    tNdim.fill(g, f);
    tModel.fill(g, f);
    const int ny = std::min<int>(g.NDIM, YO.upper());
    for (int i = 1; i <= ny; ++i) {
        if (i > 1) f.xi1 += ',';
        f.xi1 += CStr(YO(i));
    }
    tRange.fill(g, f);
    fillPlaneFields(g, f);
    f.ici = joinInts(g.IC, g.NCOMP);
    tTail.fill(g, f);
    return f;
}

void Sec9::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tNdim.write(g, o, f);
    tModel.write(g, o, f);
    Head_File(g, o, 2);
    o.line("Yo(i),...:");
    o.line(f.xi1);
    tRange.write(g, o, f);
    writePoincarePlane(g, o, 4, f);
    writePlotList(g, o, 5, f.ici);
    tTail.write(g, o, f);
    w->close();
}

// ---------------------------------------------------------------- model

double Sec9::Regul(double v, double alfa, double gama, int mcpz) { return regul(v, alfa, gama, mcpz); }

void Sec9::Vych_PCH(const Store& g) {
    if (XOLD9.upper() < 3 || FR9.upper() < 3) throw VeltaError(kNotRead);
    inputs(XOLD9.data(), FR9.data(), g.ALFA, g.GAMA, g.MCPZ);
}

void Sec9::checkLimits(const Store& g) const {
    if (g.NDIM < 1 || g.NDIM > 3)
        fail("Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = " + CStr(g.NDIM) +
             ")");
    const int n = g.NDIM;
    if (YO.upper() < n || g.XP.upper() < n || g.FP.upper() < n || g.XCROSS.upper() < n) fail(kNotRead);
    if (g.MCPZ < 0) fail("Число композиций MCPZ не должно быть отрицательным (MCPZ = " + CStr(g.MCPZ) + ")");
    checkStep(g, g.SCRT, "SCRT");  // the interval of this section ends at SCRT
    checkTableDensity(g);
    if (g.NCOMP < 0 || g.NCOMP > 12)
        fail("Число компонент графика должно быть не больше 12 (NCOMP = " + CStr(g.NCOMP) + ")");
    checkPlotIndexes(g);
    if (g.LGRAPH != 1 && g.NCOMP < 2)
        fail("При LGRAPH = " + CStr(g.LGRAPH) +
             " нужны две компоненты графика i1, i2 (NDIM = " + CStr(g.NDIM) + ")");
    if (!std::isfinite(g.SCLX) || !std::isfinite(g.SCRX) || g.SCLX == g.SCRX)
        fail("Пустой интервал изменения компонент: SCLX = " + CStr(g.SCLX) + ", SCRX = " + CStr(g.SCRX));
    if (g.LGRAPH == 1 && (!std::isfinite(g.SCLT) || g.SCLT == g.SCRT))
        fail("Пустой интервал времени на графике: SCLT = " + CStr(g.SCLT) + ", SCRT = " + CStr(g.SCRT));
}

// ---------------------------------------------------------------- results and canvas

void Sec9::RezultsHeader(Store& g, TextWriter& out) {
    const std::string e = "0.00000E+00";
    out.line("");
    out.line("NDIM = " + Format(g.NDIM, "####"));
    out.line("TMAX = " + Format(g.SCRT, e));
    out.line("ALFA = " + Format(g.ALFA, e));
    out.line("GAMA = " + Format(g.GAMA, e));
    out.line("MCPZ = " + Format(g.MCPZ, "####"));
    out.line("");
    out.line("Колебания хаотического типа в ГГС");
    out.line("");
    writeTableTitle(out);
    writeColumnHead(out, g.NDIM);
    g.NROW = 0;
}

// The row pairs step d and its end time t = d*HHH with X1, the state at the start of
// the step; the 3D picture reads the table as written.
void Sec9::Rezults(Store& g, TextWriter& out, i32 d, double t) { writeTableRow(g, out, d, t, "00000"); }

void Sec9::DrawMesh1(Ctx& c) { drawMeshTime(c, 9, c.store.SCRT, 0); }

void Sec9::DrawMeshF1(Ctx& c) { drawMeshPhase(c, 9, 0, true); }

// ---------------------------------------------------------------- integration

void Sec9::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    const int n = g.NDIM;
    const double h = g.HHH;
    WCurveOff noW(g);

    g.X1.alloc(3);
    g.XNEW.alloc(3);
    NSTEP9 = CLng(g.SCRT / h) + 1;
    if (g.LGRAPH == 1) DrawMesh1(c);
    else DrawMeshF1(c);

    auto out = TextWriter::create(c.paths.userFile("Results.cha"));
    RezultsHeader(g, *out);

    // Components beyond NDIM stay 0 and still enter the sums S(i).
    XOLD9.alloc(3);
    XNEW9.alloc(3);
    FR9.alloc(3);
    for (int i = 1; i <= n; ++i) XNEW9(i) = YO(i);

    double* xo = XOLD9.data();
    double* xn = XNEW9.data();
    double* fr = FR9.data();
    double* x1 = g.X1.data();
    double* xnew = g.XNEW.data();
    const double alfa = g.ALFA, gama = g.GAMA;
    const int mcpz = g.MCPZ;
    const i32 nsc = g.NSC;

    for (i32 d = 1; d <= NSTEP9; ++d) {
        c.surf.poll();
        g.TOLD = (d - 1) * h;
        for (int i = 1; i <= 3; ++i) xo[i] = xn[i];
        inputs(xo, fr, alfa, gama, mcpz);
        // Semi-implicit Euler: the decay term is taken at the end of the step,
        // (X_new - X_old)/h = FR9 - X_new.
        for (int i = 1; i <= n; ++i) xn[i] = (h * fr[i] + xo[i]) / (h + 1);
        g.TCUR = d * h;
        for (int k = 1; k <= 3; ++k) {
            x1[k] = xo[k];
            xnew[k] = xn[k];
        }
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(xn[i]))
                throw VeltaError("Счёт прерван: на шаге d = " + CStr(d) + ", t = " +
                                 Format(g.TCUR, "0.00000E+00") + " получено нечисловое значение X(" +
                                 CStr(i) + ") (переполнение или степень отрицательного числа)");

        plotStep(c, d, xo, xn, n);
        if (d % nsc == 0) Rezults(g, *out, d, g.TCUR);
    }
    out->close();  // a failed write of the table is reported
    out.reset();
}

}  // namespace velta
