// Section 2.1.7: the ".diud" data file, the diagram of stationary solutions against ALFA
// with its QSOLV and turning points, and the stability of every point of the diagram.
#include "stationary/section217/sec217.h"

#include "app/prompter.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "data/textlist.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/autonomous.h"
#include "stationary/paramplot.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <vector>

namespace velta {

namespace {

constexpr int kMaxComp = 12;
const std::string kE5 = "0.00000E+00";
// Title of the explanation boxes of the continuation in this section.
const std::string kAppTitle = "VELTA";

// Block 1: MCLASS as the file spells it, the labels as the window words them.
constexpr NetModelWording kModel{"MClass",
                                 "Номер класса,  MCLASS =",
                                 "Число элементов ГГС (размерность системы),  NDIM =",
                                 "Стартовое значение  ALFA =",
                                 "BETA =",
                                 "GAMA ="};

// Blocks 7 (stability) and 8 (portion, before the plotted components), and block 9 (the
// scales), for the section's values as read (O = Sec217) and as checked (O = Sec217::Values).
// The label of STAB is the second line of two.
template <class O>
struct Keys {
    using F = Sec217::Fields;
    using K = Key<O, F>;
    static constexpr K stab[] = {
        K{7}, K{"STAB", &O::STAB, &F::stab}.shown("txtStab", " характеристику устойчивости,  STAB ="), K{8},
        K{"NEND", &O::NEND, &F::nend}.shown("txtNend", "Порция шагов в методе продолжения,  NEND = ")};
    static constexpr K scales[] = {K{9}, K{"SCLX", &O::SCLX, &F::sclx}.shown("txtSclx", " SCLX ="),
                                   K{"SCRX", &O::SCRX, &F::scrx}.shown("txtScrx", "SCRX ="),
                                   K{"SCLY", &O::SCLY, &F::scly}.shown("txtScly", "SCLY ="),
                                   K{"SCRY", &O::SCRY, &F::scry}.shown("txtScry", "SCRY =")};
};
using Own = Keys<Sec217>;
using Checked = Keys<Sec217::Values>;
constexpr Sec217::FieldKeys kKeys{kModel, KeyTable{Own::stab}, KeyTable{Own::scales}};

Mat identity(int n) {
    Mat m(n, n);
    for (int i = 1; i <= n; ++i) m(i, i) = 1;
    return m;
}

// The matrix helpers of the stability test work on whole rows (row(i) is checked once).
Mat transposed(const Mat& a) {
    Mat t(a.cols(), a.rows());
    for (int i = 1; i <= a.rows(); ++i) {
        const double* ar = a.row(i);
        for (int j = 1; j <= a.cols(); ++j) t.row(j)[i] = ar[j];
    }
    return t;
}

// a + s*b, in place.
void addTo(Mat& a, const Mat& b, double s = 1) {
    if (b.rows() < a.rows() || b.cols() < a.cols()) {  // ends with the index error
        for (int i = 1; i <= a.rows(); ++i)
            for (int j = 1; j <= a.cols(); ++j) a(i, j) += s * b(i, j);
    }
    for (int i = 1; i <= a.rows(); ++i) {
        double* ar = a.row(i);
        const double* br = b.row(i);
        for (int j = 1; j <= a.cols(); ++j) ar[j] += s * br[j];
    }
}

void scale(Mat& a, double s) {
    for (int i = 1; i <= a.rows(); ++i) {
        double* ar = a.row(i);
        for (int j = 1; j <= a.cols(); ++j) ar[j] *= s;
    }
}

// One printed integer as the only line of a file.
void writeNumberFile(const std::string& path, int v) {
    auto w = TextWriter::create(path);
    w->line(printedNumber(v));
    w->close();
}

}  // namespace

// ---------------------------------------------------------------- data file

void Sec217::InputPar(Ctx& c) {
    Store& g = c.store;
    // 1. model, 2. connection matrix
    readNetFile(c, dataPath, kModel, true, [this, &g](ParReader& r, int n) {
        const int n1 = n + 1;
        ALFA0 = g.ALFA;
        Y0.alloc(n);
        H.alloc(n1);

        // 3. starting approximation
        r.Head_Input(3);
        readColumn(r, "Y", Y0, n);

        // 4. continuation
        readContBlock(r, 4, *this);

        // 5. Newton's method
        readNewtonBlock(r, 5, *this);

        // 6. standard steps
        r.Head_Input(6);
        readColumn(r, "H", H, n1);

        // 7. stability; 8. portion and plotted components
        KeyTable{Own::stab}.read(r, *this);
        readPlotComponents(r, n);

        // 9. scales of this section
        KeyTable{Own::scales}.read(r, *this);
    });
    // QMOD = ALFA is the first current parameter.
    k.INDEX = static_cast<i16>(g.NDIM + 1);
}

const Sec217::FieldKeys& Sec217::fieldKeys() { return kKeys; }

GridText Sec217::matrixGrid(const Mat& mc, int n, bool zeros) { return connectionGrid(mc, n, zeros); }

GridText Sec217::columnGrid(const Vec& v, int n, const std::string& head, bool zeros) {
    if (n < 0) throw VeltaError("Недопустимая размерность таблицы: " + CStr(n));
    GridText t(n + 3, 4);
    t.at(0, 0) = "Номера  компонент";
    t.at(0, 2) = head;
    for (int i = 1; i <= n; ++i) {
        t.at(i + 1, 0) = CStr(i);
        t.at(i + 1, 2) = zeros ? std::string("0") : CStr(v(i));
    }
    return t;
}

Sec217::Fields Sec217::fieldsFromStore(const Store& g) const {
    Fields f;
    fillNetModel(g, ALFA0, f);
    fillContFields(*this, f);
    f.mc = matrixGrid(g.MC, g.NDIM, false);
    f.y0 = columnGrid(Y0, g.NDIM, "Значения компонент", false);
    f.steps = columnGrid(H, g.NDIM + 1, "Стандартные шаги", false);
    KeyTable{Own::stab}.fill(*this, f);
    f.ic = joinInts(g.IC, g.NCOMP);
    KeyTable{Own::scales}.fill(*this, f);
    return f;
}

void Sec217::Table_File(const Store& g, const std::string& path, const Fields& f) {
    const int n = f.mc.rows() - 3;
    if (n < 1 || f.y0.rows() - 3 != n || f.steps.rows() - 3 != n + 1)
        throw VeltaError("Таблицы не соответствуют размерности NDIM");
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    writeNetModel(g, o, kModel, f);
    Head_File(g, o, 2);
    Matr_File(o, n, f.mc);
    Head_File(g, o, 3);
    Colm_File(o, "Y(I):", n, f.y0);
    writeContBlock(g, o, 4, f);
    writeNewtonBlock(g, o, 5, f);
    Head_File(g, o, 6);
    Colm_File(o, "H(I):", n + 1, f.steps);
    KeyTable{Own::stab}.write(g, o, f);
    o.line("IC(I):");
    o.line(f.ic);
    KeyTable{Own::scales}.write(g, o, f);
    o.close();
}

// ---------------------------------------------------------------- limits

Sec217::Values Sec217::valuesFromStore(const Store& g) const {
    Values v;
    static_cast<ContSettings&>(v) = *this;
    static_cast<NetModelValues&>(v) = netModelOf(g, ALFA0);
    v.Y0 = Y0;
    v.H = H;
    v.STAB = STAB;
    v.IC = plotComponents(g);
    v.SCLX = SCLX;
    v.SCRX = SCRX;
    v.SCLY = SCLY;
    v.SCRY = SCRY;
    return v;
}

Sec217::Values Sec217::valuesFromFields(const Fields& f) {
    Values v;
    static_cast<NetModelValues&>(v) = netModelOfFields(f, kModel, f.mc);
    v.Y0 = columnOfGrid(f.y0, "Y");
    contOfFields(f, "HSTEP", v);
    v.H = columnOfGrid(f.steps, "H");
    KeyTable{Checked::stab}.parse(f, v);
    for (const std::string& item : listItems(f.ic)) v.IC.push_back(keyInt("IC", item));
    KeyTable{Checked::scales}.parse(f, v);
    return v;
}

void Sec217::checkValues(const Values& v) {
    const int n = v.NDIM;
    if (n < 1 || n > kContMaxDim) fail(netDimText(n));
    if (v.MC.rows() != n || v.MC.cols() != n || v.Y0.upper() != n || v.H.upper() != n + 1) fail(kNotRead);
    checkContSettings(v, n, v.H, v.IC);
    if (v.HSTEP == 0 || !std::isfinite(v.HSTEP))
        fail("Стартовый шаг HSTEP не должен быть равен 0 (HSTEP = " + CStr(v.HSTEP) + ")");
    if (v.NEND < 1) fail("Порция шагов NEND должна быть не меньше 1 (NEND = " + CStr(v.NEND) + ")");
    // The doubling limit of the stability test needs ln(2*sqrt(STAB)) > 0.
    if (v.STAB > 0 && !(v.STAB > 0.25))
        fail("Параметр STAB должен быть больше 0.25 (STAB = " + CStr(v.STAB) +
             ");\nпри STAB <= 0 устойчивость не определяется");
    // The frame runs from 0 to SCRX and from 0 to SCRY.
    if (!(v.SCRX != 0 && std::isfinite(v.SCRX)))
        fail("Граница графика SCRX не должна быть равна 0 (SCRX = " + CStr(v.SCRX) + ")");
    if (!(v.SCRY != 0 && std::isfinite(v.SCRY)))
        fail("Граница графика SCRY не должна быть равна 0 (SCRY = " + CStr(v.SCRY) + ")");
}

// ---------------------------------------------------------------- model

void Sec217::Model::FUNCp() {
    const int n = NDIM;
    const double alfa = Y(N1);
    const double teta = beta * alfa * gama;
    if (store) {  // the store's ALFA and TETA follow the curve
        store->ALFA = alfa;
        store->TETA = teta;
    }
    double pw[kContMaxDim + 2], r[kContMaxDim + 2];
    networkPowers(Y, n, gama, pw, r);
    for (int i = 1; i <= n; ++i) {
        const double* mrow = mc->row(i);
        double s = 0;
        for (int j = 1; j <= n; ++j)
            if (mrow[j] == 1) s += r[j];
        const double gi = 1 / (beta * s + 1);
        const double g2 = gi * gi;
        DY(i) = alfa * gi - Y(i);
        double* arow = A.row(i);
        for (int j = 1; j <= n; ++j) arow[j] = mrow[j] == 1 ? -g2 * teta * pw[j] : 0;
        arow[i] -= 1;
        arow[N1] = gi;
    }
}

// ---------------------------------------------------------------- stability

double Sec217::NORMA(const Mat& m) {
    double best = 0;
    for (int i = 1; i <= m.rows(); ++i) {
        const double* mr = m.row(i);
        double s = 0;
        for (int j = 1; j <= m.cols(); ++j) s += std::fabs(mr[j]);
        if (!(s <= best)) best = s;  // a NaN row makes the norm NaN
    }
    return best;
}

Mat Sec217::MULTI(const Mat& x, const Mat& z) {
    const int r = x.rows(), n = x.cols(), c = z.cols();
    Mat m(r, c);
    if (r < 1 || c < 1) return m;
    if (z.rows() < n) z(z.rows() + 1, 1);  // the index error of factors that do not fit
    // The columns of z as contiguous rows; every sum still runs over i = 1..n in order.
    const std::size_t len = static_cast<std::size_t>(n) + 1;
    std::vector<double> zt(static_cast<std::size_t>(c + 1) * len);
    for (int i = 1; i <= n; ++i) {
        const double* zr = z.row(i);
        for (int k2 = 1; k2 <= c; ++k2)
            zt[static_cast<std::size_t>(k2) * len + static_cast<std::size_t>(i)] = zr[k2];
    }
    for (int j = 1; j <= r; ++j) {
        const double* xr = x.row(j);
        double* mr = m.row(j);
        for (int k2 = 1; k2 <= c; ++k2) {
            const double* zc = zt.data() + static_cast<std::size_t>(k2) * len;
            double s = 0;
            for (int i = 1; i <= n; ++i) {
                const double a = xr[i], b = zc[i];
                const double fa = std::fabs(a), fb = std::fabs(b);
                if ((fb < 1 && fa < 1e-18) || (fa < 1 && fb < 1e-18)) continue;
                s += a * b;
            }
            mr[k2] = s;
        }
    }
    return m;
}

int Sec217::doublingLimit(double STAB) {
    if (!(STAB > 0.25)) return 1;
    const double x = STAB * std::log(2 * std::sqrt(STAB));
    const double w = Int(std::log2(x)) + 5;
    if (!(w >= 1)) return 1;
    return w > 10000 ? 10000 : static_cast<int>(w);
}

Sec217::Stability Sec217::stabilityOf(const Mat& J, double STAB) {
    const int n = J.rows();
    const double norm = NORMA(J);
    if (!std::isfinite(norm)) throw VeltaError("Матрица Якоби не определена (NORMA = " + CStr(norm) + ")");
    if (norm == 0) throw VeltaError("Матрица Якоби равна нулю: устойчивость не определяется");
    Mat Jh = J;
    scale(Jh, 1 / norm);
    const Mat JhT = transposed(Jh);

    // E = exp(Ĵ) by its series.
    Mat E = identity(n), term = identity(n);
    for (int k = 1; k <= 10; ++k) {
        const Mat W = MULTI(Jh, term);
        term = W;
        scale(term, 1.0 / k);
        addTo(E, term);
        if (NORMA(W) < 1e-8) break;
    }
    // H = integral of exp(Ĵᵀt) exp(Ĵt) over [0, 1]: T_k = (T_(k-1)*Ĵ + Ĵᵀ*T_(k-1))/(k+1).
    Mat Hm = identity(n), T = identity(n);
    for (int k = 1; k <= 14; ++k) {
        Mat W1 = MULTI(T, Jh);
        const Mat W2 = MULTI(JhT, T);
        addTo(W1, W2);
        scale(W1, 1.0 / (k + 1));
        T = W1;
        addTo(Hm, T);
        if (NORMA(W2) < 1e-8) break;
    }
    // Doubling: H(2T) = H(T) + E(T)ᵀ H(T) E(T), E(2T) = E(T)².
    const int w = doublingLimit(STAB);
    Stability s;
    for (int m = 1;; ++m) {
        addTo(Hm, MULTI(MULTI(transposed(E), Hm), E));
        s.kappa = 2 * NORMA(Hm);
        s.doublings = m;
        if (!(s.kappa <= STAB)) {
            s.verdict = Verdict::Unstable;
            break;
        }
        if (m >= w) {
            s.verdict = Verdict::Undecided;
            break;
        }
        E = MULTI(E, E);
        if (NORMA(E) < 1e-6) {
            s.verdict = Verdict::Stable;
            break;
        }
    }
    s.STABIL = std::isfinite(s.kappa) ? STAB - s.kappa : -std::numeric_limits<double>::max();
    return s;
}

double Sec217::DETp(Continuation& k) {
    k.GAUSS();
    if (k.IGAUSS == 1) return 0;
    const int n = k.NDIM;
    // Pivots of the lower factor; every row or column exchange changes the sign.
    auto sg = [](double v) { return (v > 0) - (v < 0); };
    int s = sg(k.A(n, n));
    double L = std::log(std::fabs(k.A(n, n)));
    for (int i = 1; i <= n - 1; ++i) {
        if (k.P(i) != i) s = -s;
        if (k.Q(i) != i) s = -s;
        if (sg(k.A(i, i)) != 1) s = -s;
        L += std::log(std::fabs(k.A(i, i)));
    }
    return s * std::exp(L);
}

std::string Sec217::PRINTp(int istep, double qmod, const Stability& s, double det) {
    const std::string s1 = (s.STABIL > 0 ? " " : "") + Format(s.STABIL, kE5);
    const std::string s2 = (det > 0 ? " " : "") + Format(det, kE5);
    const std::string label = s.verdict == Verdict::Undecided ? "   UNDEF"
                              : s.STABIL > 0                  ? "   STAB"
                                                              : "   UNSTAB";
    return Format(istep, "0000") + "   " + Format(qmod, kE5) + "   " + s1 + "   " + s2 + "   " + label;
}

// ---------------------------------------------------------------- plot

void Sec217::DrawMesh3(Ctx& c) {
    Store& g = c.store;
    // The frame starts at 0 on both axes; Graphic0 draws from the same origin.
    g.SCLX = 0;
    g.SCLY = 0;
    g.SCRX = SCRX;
    g.SCRY = SCRY;
    MeshMaskG(c, "Зависимость компонент вектора Y от параметра QMOD", "", "QMOD", 0, SCRX, 0, SCRY);
    drawSolvedMarkAndLegend(c, g.PX0 + QSOLV * g.KX, QSOLV);
}

void Sec217::STABL(Ctx& c) {
    const Store& g = c.store;
    const int n = g.NDIM, n1 = n + 1;
    Surface& sf = c.surf;
    changes.clear();
    undecided = 0;

    // 1. The canvas anew: the frame of the diagram and the legend of the marks.
    sf.clear();
    DrawMesh3(c);
    const double cw = g.CHW, ch = g.CHH;
    const Colour yellow = QBColor(14);
    sf.fillSolid = true;
    sf.fillColour = yellow;
    sf.circle(g.TXTX + 3.5 * cw, g.TXTY + 22.5 * ch, 6, yellow);
    sf.fillSolid = false;
    sf.foreColour = g.CAXES;
    sf.setCurrent(g.TXTX + 4 * cw, g.TXTY + 22 * ch);
    sf.text("  - точка смены");
    sf.setCurrent(g.TXTX + 4 * cw, g.TXTY + 23 * ch);
    sf.text("    устойчивости");

    // 2. The last point of the run, the results file past its 17 header values.
    int last = 0;
    {
        auto nl = TextReader::open(c.paths.userFile("NLIST.diu"));
        const std::string line = nl->readLine();
        double v = 0;
        try {
            v = textToReal(line);
        } catch (const std::exception&) {
            nl->fail("номер последней точки");
        }
        if (!(v >= 0 && v <= 32767 && v == std::floor(v))) nl->fail("номер последней точки");
        last = static_cast<int>(v);
    }
    auto out = TextWriter::create(c.paths.userFile("STABL.diu"));
    out->line("         QMOD           STABIL         DET");
    auto in = TextReader::open(c.paths.userFile("Results.diu"));
    for (int i = 0; i < 17; ++i) in->readLine();

    // Stability of one point read from the results file into k.Y.
    int istep = 0;
    auto readPoint = [&] {
        const std::string line = in->readLine();
        const std::vector<std::string> w = words(line);
        if (static_cast<int>(w.size()) < 3 + n)
            in->fail("строка точки диаграммы (" + CStr(3 + n) + " чисел)");
        try {
            istep = static_cast<int>(textToReal(w[0]));
            k.Y(n1) = textToReal(w[2]);
            for (int i = 1; i <= n; ++i) k.Y(i) = textToReal(w[static_cast<std::size_t>(2 + i)]);
        } catch (const std::exception&) {
            in->fail("числа точки диаграммы");
        }
    };
    auto stabilOf = [&] {
        k.FUNCp();
        Mat J(n, n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) J(i, j) = k.A(i, j);
        const double det = DETp(k);
        const Stability s = stabilityOf(J, STAB);
        out->line(PRINTp(istep, k.Y(n1), s, det));
        if (s.verdict == Verdict::Undecided) ++undecided;
        return s;
    };

    const int ncomp = std::min<int>(g.NCOMP, kMaxComp);
    const int grey = 8;
    int D[kMaxComp + 1];
    auto setColours = [&](bool unstable) {
        for (int j = 1; j <= kMaxComp; ++j) D[j] = unstable ? grey : 14 - j;
    };

    // 3. Point 0 sets the stability state.
    readPoint();
    Stability s = stabilOf();
    int sign = 0;
    if (s.verdict != Verdict::Undecided) sign = (s.STABIL > 0) - (s.STABIL < 0);
    setColours(s.verdict != Verdict::Undecided && s.STABIL < 0);
    Vec prev(n1);
    for (int i = 1; i <= n1; ++i) prev(i) = k.Y(i);

    // 4. Every further point: its stability, a mark where it changes, the segments.
    for (int p = 1; p <= last; ++p) {
        if (p % 16 == 0) sf.poll();
        readPoint();
        s = stabilOf();
        if (s.verdict != Verdict::Undecided) {
            const int cs = (s.STABIL > 0) - (s.STABIL < 0);
            if (sign == 0) {
                // The first decided point after undecided ones only sets the state.
                sign = cs;
                setColours(s.STABIL < 0);
            } else if (sign + cs == 0) {
                if (sign < 0) {
                    setColours(false);
                    sign = 1;
                } else {
                    setColours(true);
                    sign = -1;
                }
                // The mark at the previous point (at the second point itself).
                const Vec& at = p == 1 ? k.Y : prev;
                sf.fillSolid = true;
                sf.fillColour = yellow;
                for (int j = 1; j <= ncomp; ++j)
                    sf.circle(g.PX0 + g.KX * at(n1), g.PY0 + g.KY * at(g.IC(j)), 6, yellow);
                sf.fillSolid = false;
                changes.push_back(k.Y(n1));
                c.ui.message(" QMOD = " + Format(k.Y(n1), "0.0000E+00"));
            }
        }
        for (int j = 1; j <= ncomp; ++j) {
            const int comp = g.IC(j);
            Graphic0(c, prev(n1), k.Y(n1), prev(comp), k.Y(comp), D[j]);
        }
        for (int i = 1; i <= n1; ++i) prev(i) = k.Y(i);
    }
    out->close();
}

// ---------------------------------------------------------------- run

void Sec217::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    const int n = g.NDIM, n1 = n + 1;

    k = Model{};
    k.setup(n);
    k.use(*this);
    for (int i = 1; i <= n1; ++i) {
        k.H(i) = H(i);
        k.UL(i) = -10000;
        k.UR(i) = 10000;
    }
    for (int i = 1; i <= n; ++i) k.Y(i) = Y0(i);
    k.Y(n1) = ALFA0;
    k.INDEX = static_cast<i16>(n1);
    k.plotIC = plotComponents(g);
    k.ctx = &c;
    k.style = ContStyle::Direct;
    k.messageTitle = kAppTitle;
    k.mc = &g.MC;
    k.beta = g.BETA;
    k.gama = g.GAMA;
    k.store = &g;
    g.ALFA = ALFA0;

    // Files, none emptied unless all of them can be written; INFOR.diu holds MARK = 0 until
    // the run says otherwise.
    const std::string infor = c.paths.userFile("INFOR.diu");
    const std::string nlist = c.paths.userFile("NLIST.diu");
    checkCanCreate({infor, nlist, c.paths.userFile("STABL.diu")});
    auto files = TextWriter::createAll(
        {c.paths.userFile("QSOLV.diu"), c.paths.userFile("BSOLV.diu"), c.paths.userFile("Results.diu")});
    TextWriter& results = *files[2];
    writeNumberFile(infor, 0);
    k.qsolvOut = files[0].get();
    k.bsolvOut = files[1].get();
    k.resultsOut = &results;

    // Header of the results file: 17 values, one per line.
    for (double v : {static_cast<double>(n), QMIN, QMAX, STAB, 3.0, static_cast<double>(g.IC(1)),
                     static_cast<double>(g.IC(2)), static_cast<double>(g.IC(3)), static_cast<double>(g.IC(4)),
                     SCLX, SCRX, SCLY, SCRY, QSOLV, ALFA0, g.BETA, g.GAMA})
        results.line(printedNumber(v));
    DrawMesh3(c);

    const ContEnd end = k.Syst_QB(false);
    k.qsolvOut = k.bsolvOut = k.resultsOut = nullptr;
    for (auto& f : files) f->close();  // with what was written
    switch (end) {
    case ContEnd::Stopped:
        // The explanation was shown where the stop arose.
        writeNumberFile(infor, k.MARK);
        return;
    case ContEnd::ContinueNo: writeNumberFile(nlist, k.ISTEP); return;
    default: break;
    }
    // At the interval bound or after another answer to the continue question: the number
    // of the last point is what STABL reads.
    writeNumberFile(nlist, k.ISTEP);
    if (STAB > 0) {
        const std::string ans = c.ui.inputBox("\n\n      Устойчивость?", kTitle, "YES", 380,
                                              0);  // 5700 twips
        if (ans == "YES") {
            STABL(c);
            return;
        }
        if (ans.empty() || ans == "NO") return;
    }
    writeNumberFile(infor, k.MARK);
}

}  // namespace velta
