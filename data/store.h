// Store: the parameter store every window and section works on, handed to them through Ctx,
// Shell and FormHost; mdlGlobal is the program's one instance, owned by the front ends.
// Integers are 16-bit signed, reals 64-bit; vectors are indexed 1..N with slot 0 unused.
#pragma once
#include "data/error.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velta {

using i16 = std::int16_t;
using i32 = std::int32_t;

// Converts a real to a 16-bit integer: nearest, ties to even; overflow is an error.
i16 toI16(double v);

namespace detail {
// The errors of an index beyond a checked vector or matrix, kept out of the inlined tests.
[[noreturn, gnu::cold, gnu::noinline]] void indexError(int i, int upper);
[[noreturn, gnu::cold, gnu::noinline]] void indexError(int i, int j, int rows, int cols);
}  // namespace detail

// A vector allocated with indexes 0..N and used at 1..N; an index beyond it is an error.
template <typename T>
class CheckedVec {
public:
    CheckedVec() = default;
    explicit CheckedVec(int n) { alloc(n); }
    // Re-allocate with indexes 0..n, all zero (ReDim).
    void alloc(int n) {
        if (n < 0) throw VeltaError("Недопустимая размерность массива: " + std::to_string(n));
        v_.assign(static_cast<std::size_t>(n) + 1, T{});
    }
    int upper() const { return static_cast<int>(v_.size()) - 1; }  // N, or -1 when never allocated
    T& operator()(int i) {
        check(i);
        return v_[static_cast<std::size_t>(i)];
    }
    const T& operator()(int i) const {
        check(i);
        return v_[static_cast<std::size_t>(i)];
    }
    void fill(T value) {
        for (auto& x : v_) x = value;
    }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    bool operator==(const CheckedVec&) const = default;

private:
    // The test inlines into every access; the message is built out of line.
    void check(int i) const {
        if (static_cast<std::size_t>(static_cast<unsigned>(i)) >= v_.size()) [[unlikely]]
            detail::indexError(i, upper());
    }
    std::vector<T> v_;
};

using Vec = CheckedVec<double>;
using IVec = CheckedVec<i16>;

// A matrix allocated with indexes 0..R x 0..C and used at 1..R x 1..C (row 0 and column 0
// unused); an index beyond it is an error.
template <typename T>
class CheckedMat {
public:
    CheckedMat() = default;
    CheckedMat(int rows, int cols) { alloc(rows, cols); }
    // Re-allocate with indexes 0..rows x 0..cols, all zero (ReDim).
    void alloc(int rows, int cols) {
        if (rows < 0 || cols < 0)
            throw VeltaError("Недопустимая размерность матрицы: " + std::to_string(rows) + " x " +
                             std::to_string(cols));
        r_ = rows;
        c_ = cols;
        v_.assign(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), T{});
    }
    int rows() const { return r_; }  // R, or -1 when never allocated
    int cols() const { return c_; }
    T& operator()(int i, int j) {
        check(i, j);
        return v_[index(i, j)];
    }
    const T& operator()(int i, int j) const {
        check(i, j);
        return v_[index(i, j)];
    }
    // Row i as a plain array indexed 0..C (for inner loops over a checked row).
    T* row(int i) {
        check(i, 0);
        return v_.data() + index(i, 0);
    }
    const T* row(int i) const {
        check(i, 0);
        return v_.data() + index(i, 0);
    }
    void fill(T value) {
        for (auto& x : v_) x = value;
    }
    bool operator==(const CheckedMat&) const = default;

private:
    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(c_ + 1) + static_cast<std::size_t>(j);
    }
    void check(int i, int j) const {
        // r_ + 1 is 0 before the first allocation: every index fails.
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(r_ + 1) ||
            static_cast<unsigned>(j) >= static_cast<unsigned>(c_ + 1)) [[unlikely]]
            detail::indexError(i, j, r_, c_);
    }
    int r_ = -1, c_ = -1;
    std::vector<T> v_;
};

using Mat = CheckedMat<double>;

// Every shared value under its upper-case key. Sections add their own keys here.
struct Store {
    // ---- parameters of the data files (sections 1.1, 1.2 and shared ones)
    i16 MCLASS = 0, NDIM = 0, KMOD = 0;
    double ALFA = 0, BETA = 0, GAMA = 0;
    i16 MDIM = 0, LTAU = 0, NDEL = 0, IND = 0;
    double PTAU = 0, Z_1 = 0;
    double TMAX = 0, HHH = 0, TMIN = 0;
    i16 LSCREEN = 0, LGRAPH = 0, LSTEP = 0, NSC = 0;
    double DLX = 0, DRX = 0, DLW = 0, DRW = 0, SCLT = 0;
    Vec X1, XP, FP;
    IVec INK;
    i16 NK = 0;
    IVec IC = IVec(13);  // plotted components, fixed slots 0..13
    i16 NCOMP = 0;

    // ---- state of a time integration
    Vec XPREV, XNEW, F1, F2, XST, XG, XCROSS, XV, FV;
    double STAT = 0;
    double SCLX = 0, SCRX = 0, SCLW = 0, SCRW = 0, SCRT = 0, SCLY = 0, SCRY = 0;
    double EH = 0, EHI = 0, EQ = 0, EC1 = 0, EC2 = 0;
    i32 NSTEP = 0;
    double TCUR = 0, TOLD = 0, W = 0, WOLD = 0, PERIOD = 0;
    i32 NROW = 0;
    i16 LPERIOD = 0;
    i16 L = 0;  // portion counter of the delay sections

    // ---- section 21
    Mat MC;  // connection matrix: MC(i,j) is the link from element j into equation i

    // ---- section 511 (TAU1, TAU2, TETA are shared with section 521)
    double TAU1 = 0, TAU2 = 0, TETA = 0, OMEG = 0;
    double X_Ndim = 0, X_1 = 0;  // perturbation of component NDIM (IND = 0) or 1 (IND <> 0)
    i16 NSS = 0;                 // step of the stationary-solution listing
    Vec DV, D1, D2, XS;          // coefficients D(i) of dX/dt = F + D*X; stationary solution

    // ---- section 521
    i16 NDIM1 = 0, NDIM2 = 0;  // NDIM = NDIM1 + NDIM2 - 1
    double BETA1 = 0, BETA2 = 0, GAMA1 = 0, GAMA2 = 0;
    double ZST1 = 0, ZST2 = 0;  // stationary values of chain 1 and chain 2 (STAT: the last one)
    Vec AK, EC1m, EC2m, EHIm;   // decay rate of each component and its step weights

    // ---- section 9
    i16 MCPZ = 0;  // number of compositions of the regulatory function

    // ---- section 22 (the delay-window scheme shared by sections 12, 22, 512, 522, 6)
    Vec TAU;                         // delays TAU(1..LTAU), scaled once at the first portion
    Mat ZTAB, ZTAU;                  // history table ZTAB(node, comp); delayed values ZTAU(delay, comp)
    Vec KTAU, RTAU;                  // node and fraction of TAU(LTAU) - TAU(j) in the window
    Vec FZ;                          // right-hand sides from the delayed values
    i16 NP1 = 0, NP2 = 0, NPER = 0;  // NDEL + 1, 2*NDEL, whole windows in TMAX
    double ZS1 = 0, ZS2 = 0;         // stationary solution of the "Tau0" model

    // ---- sections 512, 522 (synthesis with delays; BETA1, BETA2, GAMA1, GAMA2 as in 521)
    double ALFA1 = 0, ALFA2 = 0;  // synthesis rates of the two genetic elements (522)
    Vec TETAm;                    // decay rates 0..5; TETAm(1) is TETA of the delay equation

    // ---- section 6
    Vec ALFAm, GAMAm;  // ALFA(k), GAMA(k) of equation k = 1..MDIM; TETA(k) is TETAm(k)
    // BETA(i, j, k) = BETAm[k](i, j): delay i = 1..LTAU, source j, target equation k =
    // 1..MDIM (BETAm[0] unused); only positive entries are links.
    std::vector<Mat> BETAm;

    // ---- section 215
    std::int64_t SEED = -1;  // seed of the random starts; -1 = taken from the clock

    // ---- section 4
    Vec G;       // U-number assigned to each component X(1..NDIM)
    i16 NU = 0;  // number of new variables: the largest U-number

    // ---- section 3 (circulant stability; NDEL is the number of subintervals of [Amin, Amax])
    double Amin = 0, Amax = 0, Umin = 0, Umax = 0;  // ALFA range and U scale of the plot
    Vec AGRAPH, UGRAPH, SGRAPH;                     // 1..NDEL+1: ALFA grid, U on it, -1 stable / 1 unstable
    double ALFAc = 0, Uc = 0;                       // point of loss of stability
    double Gmin = 0;                                // smallest GAMA at which stability can be lost
    double KSTAB = 0;                               // 1: a loss of stability exists, 2: none

    // ---- section 7 (stationary solutions of M(NDIM,NDIM); SCRX, SCRY from DRX, DRY)
    i16 LL = 0;  // components of the first group of the partial solution
    double Smax = 0, SH = 0, Hmax = 0, Delta = 0, ALmax = 0, DRY = 0;

    // ---- canvas (colours are 24-bit, red in the low byte)
    i16 QBACK = 0, QFRAME = 0, QAXES = 0;
    std::uint32_t CBACK = 0, CFRAME = 0, CAXES = 0;
    i16 LEFTP = 0, TOPP = 0, RIGHTP = 0, BOTP = 0, SIDEX = 0, CANW = 0, CANH = 0;
    i16 PX0 = 0, PY1 = 0, PX1 = 0, PY0 = 0;
    i16 CHW = 0, CHH = 0, TXTX = 0, TXTY = 0;
    i16 PWID = 0, PHGT = 0;
    double XRANGE = 0, YRANGE = 0, KX = 0, KY = 0, KXY = 0, WRANGE = 0, KW = 0;

    // ---- header store: two header lines for each block 0..12
    std::array<std::array<std::string, 2>, 13> HEAD{};

    // ---- section record values read by section windows
    std::string SUBDIR, RESEXT, TASKDIR;
    std::int32_t HELPWND = 0;
    i16 SaveOK = 0;

    // Back to the state at start-up (the runner's workers between points, tests between cases).
    void reset() { *this = Store{}; }
};

// The one store of the desktop program and the runners (their main functions).
extern Store mdlGlobal;

}  // namespace velta
