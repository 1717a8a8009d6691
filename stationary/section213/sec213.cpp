// Section 2.1.3: the ".srgd" data file, the starting solution MNN (relaxation for U1, U2 and
// the group list), the homotopy model in QMOD and the run to the first QSOLV point with the
// files "\User\QSOLV.srg", "\User\BSOLV.srg" and "\User\Results.srg".
#include "stationary/section213/sec213.h"

#include "app/prompter.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textlist.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/autonomous.h"
#include "stationary/paramplot.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace velta {

namespace {

constexpr int kMaxComp = 12;
// Relaxation steps allowed for STARTp (TMAX / HHH).
constexpr double kMaxRelaxSteps = 1e8;

const std::string kLdimPrompt =
    "Введите LDIM -\n"
    "   число компонент стац. решения первой группы,\n"
    "   равных U1,  1 <= LDIM <= NDIM\n"
    "   (NDIM - LDIM - число компонент стац. решения\n"
    "   второй группы, равных U2)";
const std::string kGroupPrompt =
    "Введите список номеров \n"
    "   компонент вектора стац. решения Y:\n"
    "      первая группа - индекс 1,\n"
    "      вторая группа - индекс 2";

using F = Sec213::Fields;
using KS = Key<Store, F>;
using KO = Key<Sec213, F>;
// Block 1: MCLASS as the file spells it, the labels as the window words them.
constexpr NetModelWording kModel{"MCLASS",
                                 "Номер класса,  MCLASS =",
                                 "Число элементов ГГС (размерность системы),  NDIM =",
                                 " ALFA =",
                                 "BETA =",
                                 "GAMA ="};
// Block 3 (relaxation: the step and length in the store, the start in the section), the NEND
// of block 7 (before the plotted components) and block 8 (plot bounds).
constexpr KS kRelax[] = {
    KS{3}, KS{"HHH", &Store::HHH, &F::hhh}.shown("txtHHH", "Шаг интегрирования,  HHH ="),
    KS{"TMAX", &Store::TMAX, &F::tmax}.shown("txtTmax", "Длина отрезка интегрирования,  TMAX =")};
constexpr KO kStart[] = {
    KO{"U10", &Sec213::U10, &F::u10}.shown("txtU10", "Начальные данные в задаче Коши:   U10 ="),
    KO{"U20", &Sec213::U20, &F::u20}.shown("txtU20", "U20 =")};
constexpr KO kPortion[] = {KO{7}, KO{"NEND", &Sec213::NEND, &F::nend}.shown(
                                      "txtNend", "Порция шагов в методе продолжения,  NEND = ")};
constexpr KS kBounds[] = {KS{8}, KS{"SCLX", &Store::SCLX, &F::sclx}.shown("txtSclx", " SCLX ="),
                          KS{"SCRX", &Store::SCRX, &F::scrx}.shown("txtScrx", "SCRX ="),
                          KS{"SCLY", &Store::SCLY, &F::scly}.shown("txtScly", "SCLY ="),
                          KS{"SCRY", &Store::SCRY, &F::scry}.shown("txtScry", "SCRY =")};
constexpr KeyTable tRelax{kRelax};
constexpr KeyTable tStart{kStart};
constexpr KeyTable tPortion{kPortion};
constexpr KeyTable tBounds{kBounds};
constexpr Sec213::FieldKeys kKeys{kModel, tRelax, tStart, tPortion, tBounds};

}  // namespace

// ---------------------------------------------------------------- data file

void Sec213::InputPar(Ctx& c) {
    Store& g = c.store;
    // 1. model, 2. connection matrix, read as a stream row by row with its values as they stand
    readNetFile(c, dataPath, kModel, false, [this, &g](ParReader& r, int n) {
        const int n1 = n + 1;
        for (Vec* v : {&H, &UL, &UR}) v->alloc(n1);

        // 3. relaxation for U1, U2
        tRelax.read(r, g);
        tStart.read(r, *this);

        // 4. continuation
        readContBlock(r, 4, *this);

        // 5. standard steps and bounds
        r.Head_Input(5);
        readColumn(r, "H", H, n1);
        readColumn(r, "UL", UL, n1);
        readColumn(r, "UR", UR, n1);

        // 6. Newton's method
        readNewtonBlock(r, 6, *this);

        // 7. portion and plotted components
        tPortion.read(r, *this);
        readPlotComponents(r, n);

        // 8. plot bounds
        tBounds.read(r, g);
    });
    // QMOD starts at 1 with QMOD as the current parameter (set in the run's state).
    k.INDEX = static_cast<i16>(g.NDIM + 1);
}

const Sec213::FieldKeys& Sec213::fieldKeys() { return kKeys; }

GridText Sec213::matrixGrid(const Mat& mc, int n, bool zeros) { return connectionGrid(mc, n, zeros); }

GridText Sec213::stepsGrid(const Vec& h, const Vec& ul, const Vec& ur, int n1, bool zeros) {
    if (n1 < 0) throw VeltaError("Недопустимая размерность таблицы: " + CStr(n1));
    GridText t(6, n1 + 3);
    t.at(0, 0) = "Номера  компонент";
    t.at(2, 0) = "Стандартные шаги";
    t.at(3, 0) = "Левые границы";
    t.at(4, 0) = "Правые границы";
    for (int i = 1; i <= n1; ++i) {
        t.at(0, i + 1) = CStr(i);
        t.at(2, i + 1) = zeros ? std::string("0") : CStr(h(i));
        t.at(3, i + 1) = zeros ? std::string("0") : CStr(ul(i));
        t.at(4, i + 1) = zeros ? std::string("0") : CStr(ur(i));
    }
    return t;
}

Sec213::Fields Sec213::fieldsFromStore(const Store& g) const {
    Fields f;
    fillNetModel(g, g.ALFA, f);
    fillContFields(*this, f);
    tRelax.fill(g, f);
    tStart.fill(*this, f);
    f.mc = matrixGrid(g.MC, g.NDIM, false);
    f.steps = stepsGrid(H, UL, UR, g.NDIM + 1, false);
    tPortion.fill(*this, f);
    f.ic = joinInts(g.IC, g.NCOMP);
    tBounds.fill(g, f);
    return f;
}

void Sec213::Table_File(const Store& g, const std::string& path, const Fields& f) {
    const int n = f.mc.cols() - 3;  // the matrix and the rows of steps at the grids' own size
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    writeNetModel(g, o, kModel, f);
    Head_File(g, o, 2);
    Matr_File(o, n, f.mc);
    tRelax.write(g, o, f);
    tStart.write(g, o, f);
    writeContBlock(g, o, 4, f);
    Head_File(g, o, 5);
    VectRow_File(o, "H(I):", 2, n, f.steps);
    VectRow_File(o, "UL(I):", 3, n, f.steps);
    VectRow_File(o, "UR(I):", 4, n, f.steps);
    writeNewtonBlock(g, o, 6, f);
    tPortion.write(g, o, f);
    o.line("IC(I):");
    o.line(f.ic);
    tBounds.write(g, o, f);
    o.close();
}

// ---------------------------------------------------------------- starting solution

Sec213::Relax Sec213::relax(int ndim, int ldim, double alfa, double beta, double gama, double hhh,
                            double tmax, double u10, double u20) {
    if (!(hhh > 0)) throw VeltaError("Шаг интегрирования HHH должен быть больше 0 (HHH = " + CStr(hhh) + ")");
    if (!(tmax / hhh <= kMaxRelaxSteps))
        throw VeltaError("Слишком много шагов при вычислении U1 и U2: TMAX/HHH = " + CStr(tmax / hhh) +
                         " (допустимо не более 1E+08)");
    // dU/dt = F(U) - U by the implicit Euler step in the decay term:
    // U_new = (HHH*F(U_old) + U_old) / (1 + HHH); group 1 is repressed by the LDIM - 1 other
    // U1 components and the NDIM - LDIM U2 ones, group 2 by LDIM U1 and NDIM - LDIM - 1 U2.
    double U1 = u10, U2 = u20, F1 = 0, F2 = 0, t = 0;
    do {
        const double P1 = std::pow(U1, gama), P2 = std::pow(U2, gama);
        F1 = alfa / (1 + beta * ((ndim - ldim) * P2 + (ldim - 1) * P1));
        F2 = alfa / (1 + beta * ((ndim - ldim - 1) * P2 + ldim * P1));
        U1 = (hhh * F1 + U1) / (1 + hhh);
        U2 = (hhh * F2 + U2) / (1 + hhh);
        t += hhh;
    } while (t < tmax);
    Relax r{U1, U2, F1 - U1, F2 - U2};
    if (!std::isfinite(U1) || !std::isfinite(U2))
        throw VeltaError("Значения U1 и U2 не определены (U1 = " + CStr(U1) + ", U2 = " + CStr(U2) +
                         "): проверьте ALFA, BETA, GAMA, U10, U20");
    return r;
}

std::vector<int> Sec213::parseGroups(const std::string& text, int ndim) {
    const std::vector<std::string> parts = split(text, ',');
    if (static_cast<int>(parts.size()) != ndim) return {};
    std::vector<int> g;
    for (const std::string& p : parts) {
        double v = 0;
        try {
            v = textToReal(p);
        } catch (const std::exception&) {
            return {};
        }
        if (v != 1 && v != 2) return {};
        g.push_back(static_cast<int>(v));
    }
    return g;
}

Sec213::StartKey Sec213::currentKey(const Store& g) const {
    return StartKey{g.NDIM, g.ALFA, g.BETA, g.GAMA, g.HHH, g.TMAX, U10, U20};
}

bool Sec213::startValid(const Store& g) const {
    return startKey_.ndim >= 1 && startKey_ == currentKey(g) && YSTART.upper() == startKey_.ndim;
}

bool Sec213::askLDIM(Ctx& c) {
    const std::string ans = c.ui.inputBox(kLdimPrompt, kTitle, "1", 0, 0);
    if (ans.empty()) return false;
    try {
        LDIM = textToI16(ans);
    } catch (const std::exception&) {
        throw VeltaError("Недопустимое значение LDIM = " + quoteInput(ans));
    }
    return true;
}

bool Sec213::firstStage(Ctx& c) {
    if (!askLDIM(c)) return false;
    STARTp(c);
    return true;
}

bool Sec213::STARTp(Ctx& c) {
    const Store& g = c.store;
    const int n = g.NDIM;
    if (n < 1 || n > kContMaxDim) throw VeltaError(netDimText(n));
    const Relax r = relax(n, LDIM, g.ALFA, g.BETA, g.GAMA, g.HHH, g.TMAX, U10, U20);
    U1 = r.U1;
    U2 = r.U2;
    c.ui.message("Значения компонент вектора Y в 1-й и 2-й группах\n\n  U1 = " + Fmt_Exp(U1, 6) +
                 ",   err1 = " + Fmt_Exp(r.err1, 6) + "\n  U2 = " + Fmt_Exp(U2, 6) +
                 ",   err2 = " + Fmt_Exp(r.err2, 6));
    for (;;) {
        const std::string ans = c.ui.inputBox(kGroupPrompt, kTitle, "1,2,2", 0, 0);
        if (ans.empty()) return false;
        const std::vector<int> groups = parseGroups(ans, n);
        if (groups.empty()) {
            // The count is the documented condition; an entry other than 1 or 2 cannot
            // place its component in a group either.
            c.ui.message(static_cast<int>(split(ans, ',').size()) != n
                             ? "Повторите ввод номеров компонент вектора Y\n"
                               "(общее число номеров должно быть = NDIM)"
                             : "Повторите ввод номеров компонент вектора Y\n"
                               "(номера групп должны быть 1 или 2)");
            continue;
        }
        G.alloc(n);
        YSTART.alloc(n);
        for (int i = 1; i <= n; ++i) {
            G(i) = static_cast<i16>(groups[static_cast<std::size_t>(i - 1)]);
            YSTART(i) = G(i) == 1 ? U1 : U2;
        }
        startKey_ = currentKey(g);
        std::string text = "   Стартовое решение\n\n  NDIM =  " + CStr(n) + "\n  LDIM =  " + CStr(LDIM) +
                           "\n";
        for (int i = 1; i <= n; ++i) text += "\n  Y(" + CStr(i) + ") = " + Fmt_Exp(YSTART(i), 6);
        c.ui.message(text);
        return true;
    }
}

// ---------------------------------------------------------------- model

void Sec213::modelConstants(Model& k, const Mat& mc) {
    const int n = k.NDIM;
    k.S0.alloc(n);
    for (int i = 1; i <= n; ++i) {
        double s = 0;
        for (int j = 1; j <= n; ++j)
            if (j != i && mc(i, j) == 0) s += std::pow(k.Y(j), k.gama);
        k.S0(i) = s;
    }
}

void Sec213::Model::FUNCp() {
    const int n = NDIM;
    const double q = Y(N1);
    // F_i = ALFA / D(i) - Y(i), D(i) = 1 + BETA*(Q*S0(i) + sum over MC(i,j) = 1 of Y(j)^GAMA)
    double pw[kContMaxDim + 2], r[kContMaxDim + 2];
    networkPowers(Y, n, gama, pw, r);
    for (int i = 1; i <= n; ++i) {
        const double* mrow = mc->row(i);
        double s = q * S0(i);
        for (int j = 1; j <= n; ++j)
            if (j != i && mrow[j] == 1) s += r[j];
        const double d = 1 + beta * s;
        const double d2 = d * d;
        DY(i) = alfa / d - Y(i);
        double* arow = A.row(i);
        for (int k2 = 1; k2 <= N1; ++k2) arow[k2] = 0;
        arow[i] = -1;
        arow[N1] = -alfa * beta * S0(i) / d2;
        for (int j = 1; j <= n; ++j)
            if (j != i && mrow[j] == 1) arow[j] = -teta * pw[j] / d2;
    }
}

void Sec213::Model::WRITEp() {
    if (ISTEP == 0 && resultsOut) {
        resultsOut->line(printedNumber(alfa));
        resultsOut->line(printedNumber(beta));
        resultsOut->line(printedNumber(gama));
        resultsOut->line(printedNumber(teta));
    }
    Continuation::WRITEp();
}

// ---------------------------------------------------------------- run

void Sec213::checkLimits(const Store& g) const {
    const int n = g.NDIM;
    if (n < 1 || n > kContMaxDim) throw VeltaError(netDimText(n));
    if (g.MC.rows() != n || g.MC.cols() != n || H.upper() != n + 1 || UL.upper() != n + 1 ||
        UR.upper() != n + 1)
        fail(kNotRead);
    if (g.NCOMP > kMaxComp)
        throw VeltaError("На график можно вывести не более min(12,NDIM) = " + CStr(std::min(kMaxComp, n)) +
                         " компонент (задано " + CStr(g.NCOMP) + ")");
    // The engine's own limits.
    checkContSettings(*this, n, H, plotComponents(g));
    if (HSTEP == 0) throw VeltaError("Стартовый шаг HSTEP не должен быть равен 0");
    // The frame's ranges, refused here before any results file is emptied.
    checkPlotRanges("QMOD", g.SCLX, g.SCRX, "", g.SCLY, g.SCRY);
}

void Sec213::DrawMesh3(Ctx& c) const {
    const Store& g = c.store;
    MeshMaskG(c, "Зависимость компонент вектора Y от параметра QMOD", "", "QMOD", g.SCLX, g.SCRX, g.SCLY,
              g.SCRY);
    drawSolvedMarkAndLegend(c, g.PX0 + (QSOLV - g.SCLX) * g.KX, QSOLV);
}

void Sec213::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    // The starting solution belongs to the parameters it was made with.
    if (!startValid(g)) {
        if (!firstStage(c)) return;
        if (!startValid(g)) return;  // the group list was left empty
    }
    const int n = g.NDIM, n1 = n + 1;

    // Continuation state of this run.
    k = Model{};
    k.setup(n);
    k.use(*this);
    for (int i = 1; i <= n1; ++i) {
        k.H(i) = H(i);
        k.UL(i) = UL(i);
        k.UR(i) = UR(i);
    }
    for (int i = 1; i <= n; ++i) k.Y(i) = YSTART(i);
    k.Y(n1) = 1;  // QMOD: the fully connected network
    k.INDEX = static_cast<i16>(n1);
    k.plotIC = plotComponents(g);
    k.ctx = &c;
    k.style = ContStyle::Short;

    // Files (all three or none), model constants, frame.
    auto files = TextWriter::createAll(
        {c.paths.userFile("QSOLV.srg"), c.paths.userFile("BSOLV.srg"), c.paths.userFile("Results.srg")});
    k.qsolvOut = files[0].get();
    k.bsolvOut = files[1].get();
    k.resultsOut = files[2].get();
    g.TETA = g.BETA * g.ALFA * g.GAMA;
    k.alfa = g.ALFA;
    k.beta = g.BETA;
    k.gama = g.GAMA;
    k.teta = g.TETA;
    k.mc = &g.MC;
    modelConstants(k, g.MC);
    DrawMesh3(c);

    const ContEnd end = k.Syst_QB(true);
    k.qsolvOut = k.bsolvOut = k.resultsOut = nullptr;
    for (auto& f : files) f->close();  // with what was written
    if (end == ContEnd::ContinueNo) return;
    if (end == ContEnd::Stopped) k.INFOR();
    c.ui.inputBox("\n\n      QMOD = QSOLV", kTitle, "END", 380, 0);  // 5700 twips
}

}  // namespace velta
