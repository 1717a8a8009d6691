// Section 2.1.5: the ".srRd" data file, the homotopies from random starting points, the
// record of the refined solutions in "\User\QSOLV0.srR" and their selection MULTYp into
// "\User\QSOLV.srR".
#include "stationary/section215/sec215.h"

#include "app/prompter.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "data/textlist.h"
#include "graphics/surface.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <vector>

namespace velta {

namespace {

int sgn(double v) { return (v > 0) - (v < 0); }

const std::string kE5 = "0.00000E+00";

// Block 1: MCLASS as the file spells it, the labels as the window words them.
constexpr NetModelWording kModel{"MCLASS",
                                 "Номер класса,  MCLASS = ",
                                 "Число элементов ГГС (размерность системы),  NDIM = ",
                                 " ALFA = ",
                                 "BETA = ",
                                 "GAMA = "};

// Block 3 (continuation, the starting step spelled HSTEP0) and block 6 (selection of the
// solutions), for the section's values as read (O = Sec215) and as checked (O = Sec215::Values).
template <class O>
struct Keys {
    using F = Sec215::Fields;
    using K = Key<O, F>;
    static constexpr K cont[] = {
        K{3},
        K{"QMIN", &O::QMIN, &F::qmin}.shown("txtQmin", "QMIN = "),
        K{"QMAX", &O::QMAX, &F::qmax}.shown("txtQmax", "QMAX = "),
        K{"QSOLV", &O::QSOLV, &F::qsolv}.shown("txtQsolv", "QSOLV = "),
        K{"HSTEP0", &O::HSTEP, &F::hstep}.shown("txtHstep0", "Стартовый шаг,  HSTEP0 = "),
        K{"NEND", &O::NEND, &F::nend}.shown("txtNend", "Ограничение на число шагов,  NEND = "),
        K{"NSTEP", &O::NSTEP, &F::nstep}.shown("txtNstep", "Порция шагов,  NSTEP = "),
        K{"EMIN", &O::EMIN, &F::emin}.shown("txtEmin", "EMIN = "),
        K{"EMAX", &O::EMAX, &F::emax}.shown("txtEmax", "EMAX = "),
        K{"ACCEL", &O::ACCEL, &F::accel}.shown("txtAccel",
                                               "Коэффициент увеличения текущего шага,  ACCEL = ")};
    static constexpr K selection[] = {
        K{6},
        K{"LMAX", &O::LMAX, &F::lmax}.shown("txtLmax",
                                            "Число продолжений решений на отрезке [0,1],  LMAX = "),
        K{"FFERR", &O::FFERR, &F::fferr}.shown("txtFerr", "Оценка невязки правых частей,  FERR = "),
        K{"UUERR", &O::UUERR, &F::uuerr}.shown("txtUerr", "Оценка невязки решений,  UERR = ")};
};
using Own = Keys<Sec215>;
using Checked = Keys<Sec215::Values>;
constexpr Sec215::FieldKeys kKeys{kModel, KeyTable{Own::cont}, KeyTable{Own::selection}};

}  // namespace

// ---------------------------------------------------------------- data file

void Sec215::InputPar(Ctx& c) {
    // 1. model, 2. connection matrix
    readNetFile(c, dataPath, kModel, true, [this](ParReader& r, int n) {
        const int n1 = n + 1;
        H.alloc(n1);

        // 3. continuation
        KeyTable{Own::cont}.read(r, *this);

        // 4. standard steps
        r.Head_Input(4);
        readColumn(r, "H", H, n1);

        // 5. Newton's method
        readNewtonBlock(r, 5, *this);

        // 6. selection of the solutions
        KeyTable{Own::selection}.read(r, *this);
    });
    Store& g = c.store;
    g.TETA = g.BETA * g.ALFA * g.GAMA;
}

const Sec215::FieldKeys& Sec215::fieldKeys() { return kKeys; }

GridText Sec215::matrixGrid(const Mat& mc, int n, bool zeros) { return connectionGrid(mc, n, zeros); }

GridText Sec215::stepsGrid(const Vec& h, int n1, bool zeros) {
    if (n1 < 0) throw VeltaError("Недопустимая размерность таблицы: " + CStr(n1));
    GridText t(n1 + 3, 4);
    t.at(0, 0) = "Номера компонент";
    t.at(0, 2) = "Стандартные шаги";
    for (int i = 1; i <= n1; ++i) {
        t.at(i + 1, 0) = CStr(i);
        t.at(i + 1, 2) = zeros ? std::string("0") : CStr(h(i));
    }
    return t;
}

Sec215::Fields Sec215::fieldsFromStore(const Store& g) const {
    Fields f;
    fillNetModel(g, g.ALFA, f);
    KeyTable{Own::cont}.fill(*this, f);
    newtonKeys().fill(*this, f);
    KeyTable{Own::selection}.fill(*this, f);
    f.mc = matrixGrid(g.MC, g.NDIM, false);
    f.steps = stepsGrid(H, g.NDIM + 1, false);
    return f;
}

void Sec215::Table_File(const Store& g, const std::string& path, const Fields& f) {
    const int n = f.mc.rows() - 3;
    if (n < 1 || f.steps.rows() - 3 != n + 1) throw VeltaError("Таблицы не соответствуют размерности NDIM");
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    writeNetModel(g, o, kModel, f);
    Head_File(g, o, 2);
    Matr_File(o, n, f.mc);
    KeyTable{Own::cont}.write(g, o, f);
    Head_File(g, o, 4);
    Colm_File(o, "H(I):", n + 1, f.steps);
    writeNewtonBlock(g, o, 5, f);
    KeyTable{Own::selection}.write(g, o, f);
    o.close();
}

// ---------------------------------------------------------------- limits

Sec215::Values Sec215::valuesFromStore(const Store& g) const {
    Values v;
    static_cast<ContSettings&>(v) = *this;
    static_cast<NetModelValues&>(v) = netModelOf(g, g.ALFA);
    v.NSTEP = NSTEP;
    v.H = H;
    v.LMAX = LMAX;
    v.FFERR = FFERR;
    v.UUERR = UUERR;
    return v;
}

Sec215::Values Sec215::valuesFromFields(const Fields& f) {
    Values v;
    static_cast<NetModelValues&>(v) = netModelOfFields(f, kModel, f.mc);
    contOfFields(f, "HSTEP0", v);
    // NEND and NSTEP of block 3 after Newton's method, as the window has always checked them.
    v.NEND = keyInt("NEND", f.nend);
    v.NSTEP = keyInt("NSTEP", f.nstep);
    v.H = columnOfGrid(f.steps, "H");
    KeyTable{Checked::selection}.parse(f, v);
    return v;
}

void Sec215::checkValues(const Values& v) {
    const int n = v.NDIM;
    if (n < 1 || n > kContMaxDim) fail(netDimText(n));
    if (v.MC.rows() != n || v.MC.cols() != n || v.H.upper() != n + 1) fail(kNotRead);
    // The engine's own limits; H(NDIM+1) is replaced by 0.02 in a run.
    Vec h = v.H;
    h(n + 1) = 0.02;
    checkContSettings(v, n, h, {});
    // The random point and its homotopy weights: Y(i) in (0, ALFA), S0 = (ALFA/Y - 1)/BETA
    // divided by the sum over the links of the element.
    if (!(v.ALFA > 0)) fail("Параметр ALFA должен быть больше 0 (ALFA = " + CStr(v.ALFA) + ")");
    if (!(v.BETA > 0)) fail("Параметр BETA должен быть больше 0 (BETA = " + CStr(v.BETA) + ")");
    for (int k = 1; k <= n; ++k) {
        bool linked = false;
        for (int i = 1; i <= n; ++i) linked = linked || v.MC(k, i) == 1;
        if (!linked)
            fail("Элемент " + CStr(k) + " не имеет регуляторных связей (в строке " + CStr(k) +
                 " матрицы MC нет единиц):\nпостроить гомотопию для такой сети нельзя");
    }
    // Every continuation starts at QMOD = 0 and runs towards QSOLV; QMOD is kept in [0, 2].
    if (!(v.HSTEP > 0)) fail("Стартовый шаг HSTEP0 должен быть больше 0 (HSTEP0 = " + CStr(v.HSTEP) + ")");
    if (!(v.QMIN <= 0))
        fail("Продолжение начинается при QMOD = 0: QMIN должно быть не больше 0 (QMIN = " + CStr(v.QMIN) +
             ")");
    if (!(v.QSOLV > 0 && v.QSOLV <= v.QMAX && v.QSOLV <= 2))
        fail("Значение QSOLV должно лежать в интервале 0 < QSOLV <= min(QMAX, 2) (QSOLV = " + CStr(v.QSOLV) +
             ", QMAX = " + CStr(v.QMAX) + ")");
    if (v.LMAX < 1) fail("Число продолжений LMAX должно быть не меньше 1 (LMAX = " + CStr(v.LMAX) + ")");
    if (v.NEND < 1)
        fail("Ограничение на число шагов NEND должно быть не меньше 1 (NEND = " + CStr(v.NEND) + ")");
    if (!(v.FFERR > 0))
        fail("Оценка невязки правых частей FERR должна быть больше 0 (FERR = " + CStr(v.FFERR) + ")");
    if (!(v.UUERR >= 0))
        fail("Оценка невязки решений UERR не должна быть отрицательной (UERR = " + CStr(v.UUERR) + ")");
}

// ---------------------------------------------------------------- model

void Sec215::Model::homotopyWeights() {
    for (int j = 1; j <= NDIM; ++j) {
        double s = 0;
        for (int k = 1; k <= NDIM; ++k)
            if ((*mc)(j, k) == 1) s += std::pow(Y(k), gama);
        S0(j) = ((alfa / Y(j) - 1) / beta) / s;
    }
}

void Sec215::Model::FUNCp() {
    const int n = NDIM;
    const double q = Y(N1);
    // F_k = ALFA*g(k) - Y(k), g(k) = 1/(BETA*e(k)*S(k) + 1), e(k) = Q + (1 - Q)*S0(k),
    // S(k) = sum over MC(k,i) = 1 of Y(i)^GAMA.
    double pw[kContMaxDim + 2], r[kContMaxDim + 2];
    networkPowers(Y, n, gama, pw, r);
    for (int k = 1; k <= n; ++k) {
        const double* mrow = mc->row(k);
        double s = 0;
        for (int i = 1; i <= n; ++i)
            if (mrow[i] == 1) s += r[i];
        const double e = q + (1 - q) * S0(k);
        const double gk = 1 / (beta * e * s + 1);
        const double g2 = gk * gk;
        DY(k) = alfa * gk - Y(k);
        double* arow = A.row(k);
        for (int i = 1; i <= N1; ++i) arow[i] = 0;
        for (int i = 1; i <= n; ++i)
            if (mrow[i] == 1) arow[i] = -g2 * teta * e * pw[i];
        // The decay term joins a self-link's derivative when MC(k,k) = 1.
        arow[k] -= 1;
        arow[N1] = -g2 * alfa * beta * (1 - S0(k)) * s;
    }
}

void Sec215::Model::WRITEp() {
    if (!resultsOut) return;
    if (ISTEP == 0) resultsOut->line(" ISTEP, INDEX, QMOD, Y(I) =====>");
    const std::string e8 = "  0.00000000E+00";
    std::string s = Format(ISTEP, "0000") + Format(INDEX, " 0000") + Format(Y(N1), e8);
    for (int i = 1; i <= NDIM; ++i) s += Format(Y(i), e8);
    resultsOut->line(s);
}

Sec215::Model::Outcome Sec215::Model::attempt(Ctx* c, i16 nend) {
    // Y(1..NDIM) holds the random point; HSTEP the starting step.
    Y(N1) = 0;
    homotopyWeights();
    INDEX = static_cast<i16>(N1);
    PREV = INDEX;
    NEND = nend;
    NENDINC = nend;
    ISTEP = 0;
    NSOLV = 0;
    NTURN = 0;
    MARK = 0;

    // Starting point (QMOD held at 0) and the first step.
    ADAPT();
    if (MARK >= 1) return Outcome::Abandoned;
    if (Y(N1) < QMIN || Y(N1) > QMAX) return Outcome::Abandoned;
    WRITEp();
    INDEXp();
    firstStep();

    for (;;) {
        if (ISTEP == 32767) return Outcome::Abandoned;
        ++ISTEP;
        if (c) c->surf.poll();
        ADAPT();
        if (MARK >= 1) return Outcome::Abandoned;
        if (Y(N1) < QMIN || Y(N1) > QMAX) {
            // The point at the bound is recorded once; QSOLV may lie before it.
            leaveInterval();
            WRITEp();
            return QSOLVp() ? refine() : Outcome::Abandoned;
        }
        if (QSOLVp()) {
            WRITEp();
            return refine();
        }
        // A turning point in QMOD: this homotopy does not reach QSOLV.
        if (sgn(TT(N1, 2)) != sgn(DY(N1))) return Outcome::Abandoned;
        WRITEp();
        INDEXp();
        if (!stepControl()) return Outcome::Abandoned;
        if (ISTEP >= NEND) {
            if (c) c->ui.message("Дальше", MsgIcon::Information, kTitle);
            NEND = static_cast<i16>(std::min(32767, NEND + NENDINC));
        }
    }
}

Sec215::Model::Outcome Sec215::Model::refine() {
    // The point at QMOD = QSOLV, corrected at QMOD = 1 with QMOD held fixed (QMOD is the
    // current parameter), so the record is a solution of the network itself.
    for (int i = 1; i <= NDIM; ++i) Y(i) = YR(i);
    Y(N1) = 1;
    ISTEP = 0;
    const i16 keep = INDEX;
    INDEX = static_cast<i16>(N1);
    ADAPT();
    if (MARK >= 1) {
        INDEX = keep;
        return Outcome::RefineFailed;
    }
    FUNCp();
    for (int i = 1; i <= NDIM; ++i) F(i) = DY(i);
    return Outcome::Recorded;
}

// ---------------------------------------------------------------- random numbers

Sec215::Rnd::Rnd(std::uint64_t seed) : gen_(seed) {}

double Sec215::Rnd::next() {
    // 53 random bits: a uniform double in [0, 1).
    return static_cast<double>(gen_() >> 11) * 0x1.0p-53;
}

std::int64_t Sec215::clockSeed() {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    const std::int64_t s = static_cast<std::int64_t>(us % 2147483647);
    return s > 0 ? s : 1;
}

// ---------------------------------------------------------------- records and selection

void Sec215::writeRecord(TextWriter& out, int ncont, const Vec& y, const Vec& f, int n) {
    std::string a = Format(ncont, "0000") + "  ";
    for (int i = 1; i <= n; ++i) a += Format(y(i), kE5) + "  ";
    out.line(a);
    std::string b = "      ";
    for (int i = 1; i <= n; ++i) b += Format(f(i), kE5) + "  ";
    out.line(b);
}

int Sec215::MULTYp(const std::string& in, const std::string& out) {
    // The records as a stream of numbers: the header NDIM, LMAX, FFERR, UUERR, then per
    // record its number, X(1..NDIM) and err(1..NDIM).
    std::vector<double> num;
    {
        auto r = TextReader::open(in);
        while (!r->eof()) {
            const std::string line = r->readLine();
            for (const std::string& w : words(line)) {
                try {
                    num.push_back(textToReal(w));
                } catch (const std::exception&) {
                    r->fail("число, прочитано «" + quoteInput(w) + "»");
                }
            }
        }
    }
    auto w = TextWriter::create(out);
    if (num.empty()) {  // no solution was recorded
        w->close();
        return 0;
    }
    if (num.size() < 4) throw VeltaError("Файл " + in + " обрывается в заголовке");
    const double nd = num[0];
    if (!(nd >= 1 && nd <= kContMaxDim && nd == std::floor(nd)))
        throw VeltaError("Файл " + in + ": недопустимая размерность NDIM = " + CStr(nd));
    const int n = static_cast<int>(nd);
    const double fferr = num[2], uuerr = num[3];
    const std::size_t recLen = 1 + 2 * static_cast<std::size_t>(n);
    if ((num.size() - 4) % recLen != 0) throw VeltaError("Файл " + in + " обрывается внутри записи решения");

    std::vector<std::vector<double>> kept;
    int nsol = 0;
    for (std::size_t at = 4; at < num.size(); at += recLen) {
        const double rec = num[at];
        const double* x = &num[at + 1];
        const double* err = &num[at + 1 + n];
        double emax = 0;
        for (int i = 0; i < n; ++i) emax = std::max(emax, std::fabs(err[i]));
        if (!(emax < fferr)) continue;
        bool distinct = true;
        for (const auto& s : kept) {
            double d2 = 0;
            for (int i = 0; i < n; ++i)
                d2 += (x[i] - s[static_cast<std::size_t>(i)]) * (x[i] - s[static_cast<std::size_t>(i)]);
            if (!(std::sqrt(d2) >= uuerr)) {
                distinct = false;
                break;
            }
        }
        if (!distinct) continue;
        kept.emplace_back(x, x + n);
        ++nsol;
        w->line("");
        w->line("РЕШЕНИЕ" + printedNumber(nsol) + "(" + printedNumber(rec) + ")");
        w->line("   x(i)          err[f(i)]");
        w->line("-----------------------------");
        for (int i = 0; i < n; ++i) w->line(Format(x[i], kE5) + "  " + printedNumber(err[i]));
    }
    w->close();
    return nsol;
}

// ---------------------------------------------------------------- run

void Sec215::Integr1(Ctx& c) {
    Store& g = c.store;
    checkLimits(g);
    const int n = g.NDIM, n1 = n + 1;
    // This section draws nothing: the canvas is emptied of the previous picture.
    c.surf.clear();

    // Continuation state; fixed settings of this section.
    k = Model{};
    k.setup(n);
    k.use(*this);  // HSTEP and NEND are set again for every attempt
    for (int i = 1; i <= n1; ++i) {
        k.H(i) = H(i);
        k.UL(i) = 0;
        k.UR(i) = 10000;
    }
    k.H(n1) = 0.02;
    k.UR(n1) = 2;
    k.style = ContStyle::Silent;
    k.ctx = &c;
    g.TETA = g.BETA * g.ALFA * g.GAMA;
    k.alfa = g.ALFA;
    k.beta = g.BETA;
    k.gama = g.GAMA;
    k.teta = g.TETA;
    k.mc = &g.MC;
    k.S0.alloc(n);
    k.F.alloc(n);

    // One seed for the whole run, reported so that the run can be repeated.
    seedUsed = g.SEED >= 0 ? g.SEED : clockSeed();
    Rnd rnd(static_cast<std::uint64_t>(seedUsed));
    const std::string seedNote = "Начальное значение датчика случайных чисел  SEED = " +
                                 CStr(static_cast<long long>(seedUsed));
    c.ui.note(seedNote);

    attempts = 0;
    recorded = 0;
    NSOL = 0;
    capped = false;
    const int cap = kAttemptsPerSolution * LMAX;
    // Every file of the run must be writable before the first of them is emptied.
    checkCanCreate(
        {c.paths.userFile("QSOLV0.srR"), c.paths.userFile("Results.srR"), c.paths.userFile("QSOLV.srR")});
    c.ui.progressShow(LMAX);
    {
        auto q0 = TextWriter::create(c.paths.userFile("QSOLV0.srR"));
        int ncont = 1, shown = -1;
        for (;;) {
            if (attempts >= cap) {
                capped = true;
                break;
            }
            ++attempts;
            auto results = TextWriter::create(c.paths.userFile("Results.srR"));
            c.ui.progressValue(ncont);
            if (shown != ncont) {
                c.ui.note(" Число продолжений: " + CStr(ncont));
                shown = ncont;
            }
            k.HSTEP = HSTEP;
            k.INDEX = static_cast<i16>(n1);
            for (int i = 1; i <= n; ++i) {
                double r = 0;
                while (r == 0) r = rnd.next();  // Y(i) = 0 has no homotopy weight
                k.Y(i) = r * g.ALFA;
            }
            k.resultsOut = results.get();
            const Model::Outcome o = k.attempt(&c, NEND);
            k.resultsOut = nullptr;
            results->close();
            if (o != Model::Outcome::Recorded) continue;
            if (recorded == 0) {
                q0->line(Format(n, "0000"));
                q0->line(Format(LMAX, "0000"));
                q0->line(Format(FFERR, kE5));
                q0->line(Format(UUERR, kE5));
            }
            writeRecord(*q0, ncont, k.Y, k.F, n);
            ++recorded;
            if (ncont == LMAX) break;
            ++ncont;
        }
        q0->close();
    }
    if (capped)
        c.ui.message("Число попыток продолжения достигло предела " + CStr(cap) + " (" +
                         CStr(kAttemptsPerSolution) + " * LMAX):\nзаписано решений " + CStr(recorded) +
                         " из LMAX = " + CStr(LMAX),
                     MsgIcon::Exclamation);
    NSOL = MULTYp(c.paths.userFile("QSOLV0.srR"), c.paths.userFile("QSOLV.srR"));
    c.ui.message("Число решений: " + CStr(NSOL));
    c.ui.progressHide();
    c.ui.note(seedNote);
}

}  // namespace velta
