// Predictor-corrector continuation of a curve of stationary solutions: Newton corrector
// with the fastest-changing unknown as current parameter, LU with complete pivoting,
// Hermite predictor and interpolants, step control, QSOLV and turning points.
#include "stationary/continuation.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velta {

namespace {

int sgn(double v) { return (v > 0) - (v < 0); }

constexpr double kTiny = 1e-30;  // smallest pivot magnitude GAUSS accepts
constexpr double kBisection = 0.00001;
constexpr int kMaxComp = 12;
// Halvings of the step within one correction: any finite step falls below EMIN*H long before
// (2098 halvings take the largest double to 0).
constexpr int kMaxHalvings = 2200;

}  // namespace

std::string printedNumber(double v) {
    std::string s(v >= 0 ? 1 : 0, ' ');
    s += CStr(v);
    s += ' ';
    return s;
}

// ---------------------------------------------------------------- set-up and limits

void Continuation::setup(int ndim) {
    if (ndim < 1 || ndim > kContMaxDim)
        throw VeltaError("Размерность системы NDIM должна быть от 1 до " + CStr(kContMaxDim) +
                         " (NDIM = " + CStr(ndim) + ")");
    NDIM = ndim;
    N1 = ndim + 1;
    for (Vec* v : {&Y, &DY, &B, &YR, &H, &UL, &UR, &YEND}) v->alloc(N1);
    A.alloc(NDIM, N1);
    P.alloc(N1);
    Q.alloc(N1);
    YY.alloc(N1, 2);
    TT.alloc(N1, 2);
    INDEX = static_cast<i16>(N1);
    PREV = INDEX;
}

void checkContSettings(const ContSettings& s, int ndim, const Vec& h, const std::vector<int>& plotIC) {
    const int NDIM = ndim, N1 = ndim + 1;
    const double EMIN = s.EMIN, EMAX = s.EMAX, ACCEL = s.ACCEL, EXACT = s.EXACT, QMIN = s.QMIN, QMAX = s.QMAX;
    const i16 LIMIT = s.LIMIT, LIMIT0 = s.LIMIT0;
    if (NDIM < 1 || NDIM > kContMaxDim)
        fail("Размерность системы NDIM должна быть от 1 до " + CStr(kContMaxDim) + " (NDIM = " + CStr(NDIM) +
             ")");
    if (!(EMIN > 0 && std::isfinite(EMIN)))
        fail("Ограничение на шаг EMIN должно быть больше 0 (EMIN = " + CStr(EMIN) + ")");
    if (!(EMAX > EMIN && std::isfinite(EMAX)))
        fail("Ограничение на шаг EMAX должно быть больше EMIN (EMIN = " + CStr(EMIN) +
             ", EMAX = " + CStr(EMAX) + ")");
    if (!std::isfinite(ACCEL))
        fail("Коэффициент ускорения ACCEL должен быть конечным числом (ACCEL = " + CStr(ACCEL) + ")");
    if (!(EXACT > 0)) fail("Точность метода EXACT должна быть больше 0 (EXACT = " + CStr(EXACT) + ")");
    if (LIMIT < 1)
        fail("Ограничение на число итераций LIMIT должно быть не меньше 1 (LIMIT = " + CStr(LIMIT) + ")");
    if (LIMIT0 < 1)
        fail("Ограничение на число итераций LIMIT0 должно быть не меньше 1 (LIMIT0 = " + CStr(LIMIT0) + ")");
    if (!(QMIN < QMAX))
        fail("Левая граница QMIN должна быть меньше правой QMAX (QMIN = " + CStr(QMIN) +
             ", QMAX = " + CStr(QMAX) + ")");
    for (int i = 1; i <= N1; ++i) {
        if (!(h(i) > 0))
            fail("Стандартный шаг H(" + CStr(i) + ") должен быть больше 0 (H(" + CStr(i) +
                 ") = " + CStr(h(i)) + ")");
        // The smallest admissible step EMIN*H(i) must not vanish, nor the largest overflow.
        if (!(EMIN * h(i) > 0 && std::isfinite(EMAX * h(i))))
            fail("Ограничения на шаг EMIN*H(" + CStr(i) + ") и EMAX*H(" + CStr(i) +
                 ") должны быть конечными положительными числами (H(" + CStr(i) + ") = " + CStr(h(i)) +
                 ", EMIN = " + CStr(EMIN) + ", EMAX = " + CStr(EMAX) + ")");
    }
    if (static_cast<int>(plotIC.size()) > std::min(kMaxComp, NDIM))
        fail("На график можно вывести не более min(12,NDIM) = " + CStr(std::min(kMaxComp, NDIM)) +
             " компонент (задано " + CStr(static_cast<int>(plotIC.size())) + ")");
    for (std::size_t j = 0; j < plotIC.size(); ++j)
        if (plotIC[j] < 1 || plotIC[j] > NDIM)
            fail("Номер компоненты графика IC(" + CStr(static_cast<int>(j + 1)) + ") = " + CStr(plotIC[j]) +
                 " вне диапазона 1..NDIM (NDIM = " + CStr(NDIM) + ")");
}

// ---------------------------------------------------------------- messages

void Continuation::message(const std::string& text) {
    if (ctx) ctx->ui.message(text, MsgIcon::None, messageTitle);
}

std::string Continuation::shortText(int mark) const {
    switch (mark) {
    case 1:
    case 2: return "MARK = " + CStr(mark) + " => INFORM";
    case 3: return "MARK = 3 => INFORM\n ITER = " + CStr(ITER);
    case 5:
    case 6: return "MARK = " + CStr(mark) + " => INFORM\n ISTEP= " + CStr(ISTEP) + ", INDEX= " + CStr(INDEX);
    case 4: return "MARK = 4 => INFOR";
    case 7: return "MARK = 7 => INFOR\n ISTEP = " + CStr(ISTEP) + " ,INDEX = " + CStr(INDEX);
    default: return {};
    }
}

std::string Continuation::inforText(int mark, bool fullStops) {
    const std::string dot = fullStops ? "." : "";
    switch (mark) {
    case 1:
        return " ISTEP = 0, IREG = 1, < ADAPT >\n"
               " - 'плохое' начальное приближение стартового решения,\n"
               "    выходящее за указанную область определения правых\n"
               "    частей системы уравнений" +
               dot;
    case 2:
        return " ISTEP = 0, IGAUSS = 1, < ADAPT >\n"
               " - 'плохое' начальное приближение стартового решения,\n"
               "    при котором матрица Якоби оказалась вырожденной" +
               dot;
    case 3:
        return " ISTEP = 0, ITER = LIMIT0, < ADAPT >\n"
               " - 'плохое' начальное приближение стартового решения,\n"
               "    при котором итерационный процесс не сошелся за\n"
               "    заданное число итераций" +
               dot;
    case 4:
        return std::string(
                   " ISTEP = 0, IREG = 1, < SYSTEM >\n"
                   " -  В стартовой позиции заданное значение параметра QMOD\n") +
               (fullStops ? "    оказалось вне отрезка  [QMIN,QMAX]. Возможно в силу\n"
                          : "    оказалось вне отрезка  [QMIN,QMAX]. Возможно, в силу\n") +
               "    задания текущего параметра, отличного от QMOD" + dot;
    case 5:
        return " ISTEP = 1, abs(HSTEP) < EMIN * H(INDEX), < ADAPT >\n"
               " -  шаг по текущему параметру при выходе из стартовой\n"
               "    позиции стал меньше допустимого" +
               dot;
    case 6:
        return " ISTEP > 1,  abs(HSTEP) < EMIN * H(INDEX), < ADAPT > \n"
               " -  очередной шаг по текущему параметру стал меньше\n"
               "    допустимого" +
               dot;
    case 7:
        return " ISTEP > 1,  abs(HSTEP) < EMIN * H(INDEX), < SYSTEM >\n"
               " -  очередной шаг по текущему параметру стал меньше\n"
               "    допустимого";
    default: return {};
    }
}

void Continuation::INFOR() {
    if (MARK >= 1) message(inforText(MARK, style == ContStyle::Direct));
}

// ---------------------------------------------------------------- Newton corrector

void Continuation::ADAPT() {
    MARK = 0;
    moved_ = false;
    ITER = 0;
    halvings_ = 0;
    const int n = NDIM;
    for (;;) {
        // 1. admissible region (a non-finite unknown is outside every region)
        IREG = 0;
        IGAUSS = 0;
        for (int i = 1; i <= N1; ++i)
            if (!std::isfinite(Y(i)) || Y(i) < UL(i) || Y(i) > UR(i)) IREG = 1;
        if (IREG == 0) {
            // 2. residual and Jacobian; a non-finite value means the right-hand sides are not
            // defined there, which is handled as leaving the region.
            FUNCp();
            for (int i = 1; i <= n && IREG == 0; ++i) {
                if (!std::isfinite(DY(i))) IREG = 1;
                const double* row = A.row(i);
                for (int k = 1; k <= N1; ++k)
                    if (!std::isfinite(row[k])) IREG = 1;
            }
        }
        if (IREG == 1) {
            INFORM();
            if (MARK >= 1) return;
            ITER = 0;
            continue;
        }
        // 3. the current parameter is held fixed, QMOD takes its column
        for (int j = 1; j <= n; ++j) {
            B(j) = A(j, INDEX);
            A(j, INDEX) = A(j, N1);
        }
        // 4, 5
        GAUSS();
        if (IGAUSS == 1) {
            INFORM();
            if (MARK >= 1) return;
            ITER = 0;
            continue;
        }
        SOLVE();
        ++newtonIterations;
        // 6. residual measure, relative when the solution is large
        double a = 0, b = 0;
        for (int k = 1; k <= n; ++k) {
            a = std::max(a, std::fabs(DY(k)));
            b = std::max(b, std::fabs(Y(k)));
        }
        if (b > 1) a /= b;
        // 7, 8
        DY(N1) = DY(INDEX);
        DY(INDEX) = 0;
        for (int k = 1; k <= N1; ++k) Y(k) -= DY(k);
        // 9. (a NaN measure is no convergence)
        if (!(a <= EXACT)) {
            ++ITER;
            const int limit = ISTEP == 0 ? LIMIT0 : LIMIT;
            if (ITER < limit) continue;
            INFORM();
            if (MARK >= 1) return;
            ITER = 0;
            continue;
        }
        // 10. tangent with the same factorisation: J_rest dY + J_Q dQ = -J_INDEX
        for (int l = 1; l <= n; ++l) DY(l) = -B(l);
        SOLVE();
        DY(N1) = DY(INDEX);
        DY(INDEX) = 1;
        return;
    }
}

void Continuation::INFORM() {
    if (ISTEP == 0) {
        if (style == ContStyle::Silent) MARK = 3;
        else MARK = IREG == 1 ? 1 : IGAUSS == 1 ? 2 : 3;
    } else {
        checkStep();
        HSTEP /= 2;
        // The bound on halvings ends the correction as a too-small step would.
        if (EMIN * H(INDEX) > std::fabs(HSTEP) || ++halvings_ > kMaxHalvings) {
            MARK = ISTEP == 1 ? 5 : 6;
        } else {
            MARK = 0;
            if (ISTEP == 1)
                for (int k = 1; k <= N1; ++k) Y(k) = YY(k, 2) + HSTEP * TT(k, 2);
            else PREDICT();
            return;
        }
    }
    if (style == ContStyle::Short) message(shortText(MARK));
    else if (style == ContStyle::Direct) message(inforText(MARK, true));
}

// ---------------------------------------------------------------- linear algebra

void Continuation::GAUSS() {
    IGAUSS = 0;
    const int n = NDIM;
    for (int i = 1; i <= n - 1; ++i) {
        // 1. complete pivoting; among equal magnitudes the last in row-then-column order
        double piv = 0;
        int pr = i, pc = i;
        for (int r = i; r <= n; ++r) {
            const double* row = A.row(r);
            for (int c = i; c <= n; ++c)
                if (std::fabs(row[c]) >= std::fabs(piv)) {
                    piv = row[c];
                    pr = r;
                    pc = c;
                }
        }
        P(i) = static_cast<i16>(pr);
        Q(i) = static_cast<i16>(pc);
        // 2
        if (std::fabs(piv) < kTiny) {
            IGAUSS = 1;
            return;
        }
        // 3. columns over every row
        if (pc != i)
            for (int r = 1; r <= n; ++r) std::swap(A(r, pc), A(r, i));
        // 4. rows over columns i..n; the multipliers left of i stay where they are
        if (pr != i)
            for (int c = i; c <= n; ++c) std::swap(A(pr, c), A(i, c));
        A(i, i) = piv;
        // 5. unit upper row, elimination below
        double* ri = A.row(i);
        for (int k = i + 1; k <= n; ++k) {
            ri[k] /= piv;
            for (int r = i + 1; r <= n; ++r) {
                double* rr = A.row(r);
                rr[k] -= ri[k] * rr[i];
            }
        }
    }
    if (std::fabs(A(n, n)) <= kTiny) IGAUSS = 1;
}

void Continuation::SOLVE() {
    const int n = NDIM;
    // 1. forward, with the row exchanges applied as they were made
    for (int i = 1; i <= n - 1; ++i) {
        const int p = P(i);
        const double t = DY(p);
        DY(p) = DY(i);
        DY(i) = t / A(i, i);
        for (int j = i + 1; j <= n; ++j) DY(j) -= A(j, i) * DY(i);
    }
    DY(n) /= A(n, n);
    // 2. backward over the unit upper factor
    for (int j = n - 1; j >= 1; --j)
        for (int e = n; e >= j + 1; --e) DY(j) -= DY(e) * A(j, e);
    // 3. column exchanges undone
    for (int k = n - 1; k >= 1; --k) std::swap(DY(Q(k)), DY(k));
}

// ---------------------------------------------------------------- parameter, predictor

void Continuation::INDEXp() {
    PREV = INDEX;
    double best = 0;
    int idx = INDEX;
    for (int i = 1; i <= N1; ++i) {
        const double d = ISTEP == 0 ? std::fabs(DY(i)) : std::fabs(Y(i) - YY(i, 2));
        if (d > best) {
            best = d;
            idx = i;
        }
    }
    // The divisor is read before the loop, so every component is normalised by the same
    // value. A zero tangent component cannot serve as parameter: keep the old one then.
    const double div = DY(idx);
    if (div == 0 || !std::isfinite(div)) return;
    INDEX = static_cast<i16>(idx);
    for (int j = 1; j <= N1; ++j) DY(j) /= div;
    DY(INDEX) = 1;
}

void Continuation::PREDICT() {
    if (ISTEP <= 1 || !prevValid_) {
        for (int k = 1; k <= N1; ++k) Y(k) = YY(k, 2) + HSTEP * TT(k, 2);
        return;
    }
    // Cubic through YY(.,1), YY(.,2) with their tangents, extrapolated by HSTEP.
    const double r = HSTEP / DS;
    for (int k = 1; k <= N1; ++k) {
        const double D = (YY(k, 2) - YY(k, 1)) / DS;
        const double Bv = TT(k, 2) + TT(k, 1) - 2 * D;
        const double Cv = Bv + TT(k, 2) - D;
        Y(k) = YY(k, 2) + HSTEP * (TT(k, 2) + r * (Cv + r * Bv));
    }
}

// ---------------------------------------------------------------- interpolants

void Continuation::hermite(double t) {
    const Vec& P1 = moved_ ? YEND : Y;
    const int tp = moved_ ? N1 : INDEX;
    const double d = P1(tp) - YY(tp, 2);
    const double u = 1 - t;
    const double h00 = u * u * (1 + 2 * t), h01 = t * t * (3 - 2 * t);
    for (int k = 1; k <= N1; ++k)
        YR(k) = h00 * YY(k, 2) + h01 * P1(k) + d * t * u * (u * TT(k, 2) - t * DY(k));
}

double Continuation::hermiteSlope(double t) const {
    const Vec& P1 = moved_ ? YEND : Y;
    const int tp = moved_ ? N1 : INDEX;
    const double d = P1(tp) - YY(tp, 2);
    return (1 - t) * (1 - 3 * t) * TT(N1, 2) - t * (2 - 3 * t) * DY(N1) +
           6 * t * (1 - t) * (P1(N1) - YY(N1, 2)) / d;
}

bool Continuation::QSOLVp() {
    if (qsolvOut && !headQ_) {
        qsolvOut->line("     QSOLV = " + Format(QSOLV, "0.00000E+00"));
        qsolvOut->line("------------------------- ");
    }
    headQ_ = true;
    const int e = sgn(QSOLV - YY(N1, 2));
    const int m = sgn(QSOLV - Y(N1));
    if (e == m) return false;
    // A previous point lying exactly at QSOLV was recorded at its own step already.
    if (e == 0 && ISTEP >= 2) return false;
    ++NSOLV;
    locate(e, m, [this](double) { return sgn(QSOLV - YR(N1)); });
    if (qsolvOut) {
        qsolvOut->line("Решение" + printedNumber(NSOLV));
        for (int i = 1; i <= NDIM; ++i)
            qsolvOut->line(Format(i, "###") + "  " + Format(YR(i), "0.00000E+00"));
        qsolvOut->line("");
    }
    return true;
}

template <class SignAt>
void Continuation::locate(int e, int m, SignAt signAt) {
    if (e == 0) {
        for (int k = 1; k <= N1; ++k) YR(k) = YY(k, 2);
    } else if (m == 0) {
        for (int k = 1; k <= N1; ++k) YR(k) = Y(k);
    } else {
        // Bisection of the arc in t: the sign at t = 0 is e, the one at t = 1 is m.
        double lo = 0, hi = 1, t = 0.5;
        hermite(t);
        int s = signAt(t);
        while (hi - lo >= kBisection) {
            if (s != e) hi = t;
            else lo = t;
            t = (lo + hi) / 2;
            hermite(t);
            s = signAt(t);
        }
    }
}

bool Continuation::TURNp() {
    if (bsolvOut && !headB_) {
        bsolvOut->line("РЕШЕНИЕ В ТОЧКАХ ПОВОРОТА");
        bsolvOut->line("------------------------- ");
    }
    headB_ = true;
    const int gs = sgn(TT(N1, 2));
    const int m = sgn(DY(N1));
    if (gs == m) return false;
    ++NTURN;
    locate(gs, m, [this](double t) { return sgn(hermiteSlope(t)); });
    if (bsolvOut) {
        bsolvOut->line("Решение" + printedNumber(NTURN) + "," + "  QMOD = " + Format(YR(N1), "0.00000E+00"));
        for (int i = 1; i <= NDIM; ++i)
            bsolvOut->line("  " + Format(i, "###") + "  " + Format(YR(i), "0.00000E+00"));
        bsolvOut->line("");
    }
    return true;
}

// ---------------------------------------------------------------- record of a point

void Continuation::WRITEp() {
    if (ISTEP > 0 && ctx) {
        for (std::size_t j = 0; j < plotIC.size() && static_cast<int>(j) < kMaxComp; ++j) {
            const int c = plotIC[j];
            if (c < 1 || c > NDIM) continue;
            const int colour = 14 - static_cast<int>(j + 1);
            Graphic0(*ctx, YY(N1, 2), Y(N1), YY(c, 2), Y(c), colour);
        }
    }
    if (resultsOut) {
        const std::string e8 = "0.00000000E+00";
        std::string s = Format(ISTEP, "0000") + "   " + Format(INDEX, "0000") + "   " + Format(Y(N1), e8) +
                        "   ";
        for (int i = 1; i <= NDIM; ++i) s += Format(Y(i), e8) + "   ";
        resultsOut->line(s);
    }
}

// ---------------------------------------------------------------- steps

void Continuation::firstStep() {
    const int u = sgn(HSTEP);
    for (int k = 1; k <= N1; ++k)
        if (std::fabs(HSTEP * DY(k)) > H(k)) HSTEP = H(k) / std::fabs(DY(k));
    // QMOD first moves in the direction of the sign of the entered step.
    if (sgn(DY(N1) * HSTEP) != u) HSTEP = -HSTEP;
    for (int k = 1; k <= N1; ++k) {
        YY(k, 2) = Y(k);
        TT(k, 2) = DY(k);
        Y(k) = YY(k, 2) + HSTEP * TT(k, 2);
    }
    prevValid_ = false;
    checkStep();
}

void Continuation::checkStep() const {
    if (!std::isfinite(HSTEP))
        throw VeltaError(
            "Шаг по текущему параметру HSTEP не является конечным числом (HSTEP = " + CStr(HSTEP) +
            ", ISTEP = " + CStr(ISTEP) + ", INDEX = " + CStr(INDEX) + "): проверьте EMAX, ACCEL и H(I)");
}

void Continuation::leaveInterval() {
    const double QB = Y(N1) < QMIN ? QMIN : QMAX;
    const double d = Y(N1) - YY(N1, 2);
    const double G = (QB - YY(N1, 2)) / d;
    // Both tangents renormalised to QMOD (divisors read before the loops). At a turning
    // point in QMOD that is impossible: the point is then taken on the chord.
    const double dq = DY(N1), tq = TT(N1, 2);
    const bool arc = dq != 0 && tq != 0 && std::isfinite(1 / dq) && std::isfinite(1 / tq);
    for (int l = 1; l <= N1; ++l) YEND(l) = Y(l);
    if (arc)
        for (int l = 1; l <= N1; ++l) {
            DY(l) /= dq;
            TT(l, 2) /= tq;
        }
    for (int l = 1; l <= N1; ++l) {
        double K1 = 0, K2 = 0;
        if (arc) {
            K1 = YY(l, 2) - Y(l) + d * TT(l, 2);
            K2 = Y(l) - YY(l, 2) - d * DY(l);
        }
        Y(l) = (1 - G) * YY(l, 2) + G * Y(l) + G * (1 - G) * ((1 - G) * K1 + G * K2);
    }
    Y(N1) = QB;
    // The interpolants of this step now run in QMOD from YY(.,2) to the point before the
    // move (YEND); on the chord both tangents are its slope.
    if (!arc)
        for (int l = 1; l <= N1; ++l) DY(l) = TT(l, 2) = (YEND(l) - YY(l, 2)) / d;
    moved_ = true;
}

bool Continuation::stepControl() {
    DS = Y(INDEX) - YY(INDEX, 2);
    if (0.001 * EMIN * H(INDEX) > std::fabs(DS)) {
        MARK = 7;
        if (style == ContStyle::Short) message(shortText(7));
        else if (style == ContStyle::Direct) message(inforText(7, true));
        return false;
    }
    HSTEP = ACCEL * DS;
    for (int l = 1; l <= N1; ++l)
        if (std::fabs(DY(l) * HSTEP) > EMAX * H(l)) HSTEP = EMAX * H(l) / std::fabs(DY(l));
    // The curve keeps its direction of travel, judged on the previous current parameter.
    if (sgn(Y(PREV) - YY(PREV, 2)) != sgn(DY(PREV) * HSTEP)) HSTEP = -HSTEP;
    checkStep();
    // History shift; the old tangent is renormalised to the new current parameter by its
    // INDEX component as it was before the loop.
    const double div = TT(INDEX, 2);
    prevValid_ = div != 0 && std::isfinite(1 / div);
    for (int m = 1; m <= N1; ++m) {
        YY(m, 1) = YY(m, 2);
        TT(m, 1) = prevValid_ ? TT(m, 2) / div : 0;
        YY(m, 2) = Y(m);
        TT(m, 2) = DY(m);
    }
    PREDICT();
    return true;
}

// ---------------------------------------------------------------- driver

void Continuation::beginCurve() {
    ISTEP = 0;
    NSOLV = 0;
    NTURN = 0;
    MARK = 0;
    headQ_ = headB_ = false;
    prevValid_ = false;
    moved_ = false;
}

ContEnd Continuation::Syst_QB(bool endAtQsolv) {
    NENDINC = NEND;
    beginCurve();

    // starting point (QMOD held fixed when INDEX = N1)
    ADAPT();
    if (MARK >= 1) return ContEnd::Stopped;
    if (Y(N1) < QMIN || Y(N1) > QMAX) {
        MARK = 4;
        if (style == ContStyle::Short) message(shortText(4));
        else if (style == ContStyle::Direct) message(inforText(4, true));
        return ContEnd::Stopped;
    }
    WRITEp();
    INDEXp();
    firstStep();

    for (;;) {
        if (ISTEP == 32767)
            throw VeltaError("Число шагов продолжения достигло предела 32767 (ISTEP = 32767)");
        ++ISTEP;
        if (ctx) ctx->surf.poll();
        ADAPT();
        if (MARK >= 1) return ContEnd::Stopped;
        if (Y(N1) < QMIN || Y(N1) > QMAX) {
            leaveInterval();
            WRITEp();
            QSOLVp();
            return ContEnd::IntervalBound;
        }
        if (QSOLVp() && endAtQsolv) return ContEnd::QsolvPoint;
        TURNp();
        WRITEp();
        INDEXp();
        if (!stepControl()) return ContEnd::Stopped;
        if (ISTEP < NEND) continue;
        const std::string ans = ctx ? ctx->ui.inputBox("\n\n      Продолжить?", kTitle, "YES", 0, 0)
                                    : std::string();
        if (ans == "YES") {
            NEND = static_cast<i16>(std::min(32767, NEND + NENDINC));
            continue;
        }
        if (ans.empty() || ans == "NO") return ContEnd::ContinueNo;
        return ContEnd::ContinueOther;
    }
}

}  // namespace velta
